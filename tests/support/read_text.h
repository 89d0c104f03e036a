#pragma once
// Setting up a test's lines from text. What the readers say is dropped here: the readers' own
// tests assert it, and a setup that fails says so through its result.
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine.h"

namespace solvari::testing {

inline bool readEquation(Engine& engine, int line, std::string_view text) {
    std::vector<Diagnostic> unshown;
    return engine.parseEquation(line, text, unshown);
}

inline Term readOperand(Engine& engine, std::string_view text) {
    std::vector<Diagnostic> unshown;
    return engine.parseOperand(text, unshown);
}

}  // namespace solvari::testing
