#pragma once
#include <optional>
#include <string>

#include "engine/engine.h"
#include "transform/operation.h"

namespace solvari {

// The next step the solver would take from a line of the page, for a student who is stuck.
struct Hint {
    Operation operation = Operation::None;
    std::string operand;   // as typed on the keypad ("2", "3分の2", "10"); empty without one
    std::string sentence;  // "ヒント：②式の両辺を2で割ってみましょう"
};

// The hint for line n of the engine's page: the first step of the solver's work from that
// line, or, on a line that already reads number = number, 整理 (which asks the student for the
// verdict again). nullopt when the solver finds no step. The engine is only read: the work
// runs in a scratch engine of its own, silently.
std::optional<Hint> hintFor(const Engine& engine, int n);

// The sentence of a hint on line n.
std::string hintSentence(Operation op, int n, const std::string& operand);

inline constexpr const char* HINT_NONE = "ヒント：この式から先の手順が見つかりません";

}  // namespace solvari
