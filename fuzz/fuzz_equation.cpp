// Arbitrary bytes as an equation text, then every line operation on what parsed.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/line_ops_driver.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    solvari::Engine engine;
    std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<solvari::Diagnostic> said;
    if (!engine.parseEquation(1, text, said)) {
        solvari::fuzz::checkLine(engine, 1);
        return 0;
    }
    solvari::fuzz::checkLine(engine, 1);
    solvari::fuzz::runAllOperations(engine, 1, solvari::Term{3, -7, '/'});
    return 0;
}
