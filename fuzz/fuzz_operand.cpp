// Arbitrary bytes as a keypad operand, applied with every line operation to a fixed line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/line_ops_driver.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    solvari::Engine engine;
    std::vector<solvari::Diagnostic> said;
    if (!engine.parseEquation(1, "3(x-2)+1/2x=0.5-2|3(x+1)", said)) std::abort();
    std::string text(reinterpret_cast<const char*>(data), size);
    solvari::Term t = engine.parseOperand(text, said);
    if (t.den == 0) return 0;
    if (t.den < 0) std::abort();
    solvari::fuzz::runAllOperations(engine, 1, t);
    return 0;
}
