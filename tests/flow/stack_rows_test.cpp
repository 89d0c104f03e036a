#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "flow/stack_rows.h"
#include "engine/engine.h"
#include "tests/support/fake_prompter.h"
#include "tests/support/read_text.h"

namespace solvari {
namespace {

using testing::readEquation;

using Rows = std::vector<std::string>;

class StackRows : public ::testing::Test {
protected:
    Engine engine;
};

TEST_F(StackRows, NoLineOnThePageGivesNoRow) {
    engine.targetLine = 0;
    engine.line(0).text = "scratch";  // the scratch line is never listed
    engine.appendTerm(0, ONE_TERM);
    EXPECT_TRUE(stackRows(engine).empty());
}

TEST_F(StackRows, EmptyLineGivesTextThenSeparator) {
    engine.targetLine = 1;
    engine.line(1).text = "（1） 次の方程式を解きなさい";
    EXPECT_EQ(stackRows(engine), (Rows{"（1） 次の方程式を解きなさい", "--------------------①"}));
}

TEST_F(StackRows, EveryTermAsNumeratorKindDenominatorAndTwoBlanks) {
    ASSERT_TRUE(readEquation(engine, 1, "2x+3/4=7"));
    engine.line(1).text = "問題";
    engine.targetLine = 1;
    EXPECT_EQ(stackRows(engine), (Rows{"問題", "2x1  ", "3/4  ", "0=1  ", "7/1  ", "--------------------①"}));
}

TEST_F(StackRows, SignsBarsAndBracketsAsStored) {
    ASSERT_TRUE(readEquation(engine, 1, "-1|2(x-5)=3"));
    engine.targetLine = 1;
    const Rows rows = stackRows(engine);
    const Rows expected{"", "-1|2  ", "0(1  ", "1x1  ", "-5/1  ", "0)1  ", "0=1  ", "3/1  ", "--------------------①"};
    EXPECT_EQ(rows, expected);
}

TEST_F(StackRows, CornerBracketsShowAsHalfWidthCornerMarks) {
    engine.targetLine = 1;
    engine.appendTerm(1, Term{1, 0, KIND_CORNER_OPEN});
    engine.appendTerm(1, Term{1, 0, KIND_CORNER_CLOSE});
    EXPECT_EQ(stackRows(engine), (Rows{"", "0｢1  ", "0｣1  ", "--------------------①"}));
}

TEST_F(StackRows, EveryLineUpToTheNewestInOrderWithItsLabel) {
    ASSERT_TRUE(readEquation(engine, 1, "2x=6"));
    engine.line(1).text = "a";
    engine.targetLine = 2;
    ASSERT_EQ(engine.scaleLine(1, '/', Term{1, 2, '/'}), OpStatus::Done);
    engine.line(2).text = "①式の両辺を2で割ると";
    engine.line(3).text = "beyond the newest line";
    engine.appendTerm(3, ONE_TERM);
    // The raw slots show what the page hides: scaling divides the '=' slot's 0/1 too.
    EXPECT_EQ(stackRows(engine), (Rows{"a", "2x1  ", "0=1  ", "6/1  ", "--------------------①",
                                       "①式の両辺を2で割ると", "1x1  ", "0=1  ", "3/1  ",
                                       "--------------------②"}));
}

TEST_F(StackRows, SeparatorLabelsOfAFullPage) {
    engine.targetLine = 14;
    const Rows rows = stackRows(engine);
    ASSERT_EQ(rows.size(), 28u);  // 14 empty lines: text and separator each
    struct Row { int line; const char* separator; };
    const Row table[] = {{1, "--------------------①"}, {10, "--------------------⑩"},
                         {12, "--------------------⑫"}, {13, "--------------------⑬"},
                         {14, "--------------------⑭"}};
    for (const Row& r : table)
        EXPECT_EQ(rows[static_cast<size_t>(2 * r.line - 1)], r.separator) << "line " << r.line;
}

TEST_F(StackRows, NeverReadsPastTheTable) {
    engine.targetLine = 99;
    engine.line(5).count = 1000;  // corrupt count: clamped to the line's capacity
    const Rows rows = stackRows(engine);
    EXPECT_EQ(rows.size(), static_cast<size_t>((LINE_COUNT - 1) * 2 + LINE_CAPACITY));
}

}  // namespace
}  // namespace solvari
