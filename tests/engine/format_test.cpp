#include <gtest/gtest.h>

#include "engine/engine.h"
#include "engine/format.h"
#include "tests/support/read_text.h"

namespace solvari {
namespace {

using testing::readEquation;

TEST(FormatDecimal, WorkedExamples) {
    struct Row { int num, den; const char* text; };
    const Row rows[] = {
        {1, 4, "0.25"}, {5, 2, "2.5"}, {-3, 4, "0.75"}, {1, 16, "0.0625"}, {1, 3, ""},
        {1, 32, ""}, {4, 2, "2"}, {7, 1, ""}, {0, 5, ""}, {9999, 10000, "0.9999"},
        {1, 10000, "0.0001"}, {1, 20000, ""}, {12345, 2, "6172.5"}, {-7, 2, "3.5"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(formatDecimal(Term{r.den, r.num, '/'}), r.text) << r.num << "/" << r.den;
}

TEST(FormatDecimal, LargeRemainderGivesUp) {
    // the remainder reaches 32768 or more: no short decimal form is attempted
    EXPECT_EQ(formatDecimal(Term{40000, 32768, '/'}), "");
}

TEST(LineToText, PlainForms) {
    Engine engine;
    struct Row { const char* in; const char* out; };
    const Row rows[] = {
        {"2x-3=5", "2x-3=5"}, {"1/2x=3", "1/2x=3"}, {"-(x+1)=2", "-(x+1)=2"},
        {"0.5x=2", "0.5x=2"}, {"1|2(x+1)=3", "1|2(x+1)=3"}, {"x-3(x+1)=0", "x-3(x+1)=0"},
        {"=3x", "=3x"}, {"-x=-1/3", "-x=-1/3"}, {"0.3x=1", "0.3x=1"},
        {"x+0=5", "x+0=5"}, {"0=0+x", "0=0+x"},  // a zero inside a side keeps its sign
    };
    for (const Row& r : rows) {
        ASSERT_TRUE(readEquation(engine, 1, r.in)) << r.in;
        EXPECT_EQ(lineToText(engine.line(1), engine.hasDecimal), r.out);
    }
    // 1/3 has no short decimal form even while decimals are shown
    ASSERT_TRUE(readEquation(engine, 1, "0.3x=1"));
    engine.targetLine = 2;
    ASSERT_EQ(engine.scaleLine(1, '/', Term{10, 3, '/'}), OpStatus::Done);
    EXPECT_EQ(lineToText(engine.line(2), true), "x=10/3");
}

TEST(OperandText, AsTypedOnTheKeypad) {
    EXPECT_EQ(operandText(Term{1, -3, '/'}, false), "-3");
    EXPECT_EQ(operandText(Term{3, 2, '/'}, false), "3分の2");
    EXPECT_EQ(operandText(Term{2, 1, '/'}, true), "0.5");
    EXPECT_EQ(operandText(Term{3, 1, '/'}, true), "3分の1");
}

}  // namespace
}  // namespace solvari
