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
// line, named as the keypad takes it (another step when the keypad cannot take the solver's
// number); on a line that already has its verdict, to take it with 実行 (operation None).
// nullopt when no step is found. The engine is only read: the work runs in a scratch engine
// of its own, silently.
std::optional<Hint> hintFor(const Engine& engine, int n);

// The sentence of a hint on line n.
std::string hintSentence(Operation op, int n, const std::string& operand);

// Hints on a line that already has its verdict, which 実行 takes; short enough for the strip
// of a 640-pixel screen, like the step hints.
inline constexpr const char* HINT_SOLVED = "ヒント：解が出ています。［実行］しましょう";
inline constexpr const char* HINT_CHOICE = "ヒント：［実行］で解の種類を選びましょう";

inline constexpr const char* HINT_NONE = "ヒント：この式から先の手順が見つかりません";

}  // namespace solvari
