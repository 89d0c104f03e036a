#include <gtest/gtest.h>

#include "transform/sentences.h"

namespace solvari {
namespace {

// Every sentence, with line A = ①, line B = ② and the keypad showing 3. Two of them differ
// from the pattern and are easy to "fix" by mistake: ＋ with a number has no 式 after the mark.
TEST(StepSentence, AllNine) {
    struct Row { Operation op; bool lineOperand; const char* text; };
    const Row rows[] = {
        {Operation::Multiply, false, "①式の両辺を3倍すると"},   {Operation::Divide, false, "①式の両辺を3で割ると"},
        {Operation::Add, false, "①の両辺に3をたすと"},      {Operation::Subtract, false, "①式の両辺から3をひくと"},
        {Operation::Add, true, "①式と②式をたすと"},        {Operation::Subtract, true, "①式から②式をひくと"},
        {Operation::Brackets, false, "①式のかっこをはずすと"},   {Operation::Transpose, false, "①式を移項すると"},
        {Operation::Collect, false, "①式を整理すると"},
    };
    for (const Row& r : rows) EXPECT_EQ(stepSentence(r.op, 1, 2, r.lineOperand, "3"), r.text) << static_cast<char>(r.op);
    EXPECT_EQ(stepSentence(Operation::Add, 1, 2, false, "3分の2"), "①の両辺に3分の2をたすと");  // quoted as typed
}

}  // namespace
}  // namespace solvari
