#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "engine/engine.h"
#include "engine/format.h"
#include "tests/support/fake_prompter.h"
#include "tests/support/read_text.h"

namespace solvari {
namespace {

using testing::readEquation;
using testing::shownAs;

// Parses texts into lines 1, 2, ... and runs one operation into the next line.
class LineOps : public ::testing::Test {
protected:
    Engine engine;
    // Everything the engine has said in the test so far, as the boxes would show it.
    std::vector<std::string> said;
    const std::vector<std::string>& heard() {
        for (std::string& s : shownAs(engine.takeDiagnostics())) said.push_back(std::move(s));
        return said;
    }
    std::string lastSaid() { return heard().empty() ? std::string() : said.back(); }

    void lines(std::initializer_list<const char*> texts) {
        int i = 1;
        for (const char* t : texts) {
            ASSERT_TRUE(readEquation(engine, i, t)) << t;
            ++i;
        }
        engine.targetLine = i;
        engine.clearLine(i);
    }
    std::string result() const { return lineToText(engine.line(engine.targetLine), false); }
    std::string dump() const { return lineDump(engine.line(engine.targetLine)); }
};

TEST_F(LineOps, CollectLikeTerms) {
    struct Row { const char* in; const char* out; };
    const Row rows[] = {
        {"2x+3-x=7+1", "x+3=8"}, {"x-x=5", "0=5"}, {"0x+3=3", "3=3"},
        {"1/2x+1/2x=1/3+1/6", "x=1/2"}, {"x-x=0", "0=0"}, {"2x=x", "2x=x"},
    };
    for (const Row& r : rows) {
        lines({r.in});
        EXPECT_EQ(engine.collectLikeTerms(1), OpStatus::Done);
        EXPECT_EQ(result(), r.out) << r.in;
    }
    lines({"x-x=5"});
    engine.collectLikeTerms(1);
    EXPECT_EQ(dump(), "0/1 0=1 5/1");  // the left side is the single number 0
}

TEST_F(LineOps, CollectKeepsAZeroSumsDenominator) {
    lines({"x-x=-1/2+1/2"});
    engine.collectLikeTerms(1);
    EXPECT_EQ(dump(), "0/1 0=1 0/2");
    lines({"1/2-1/2+x=x"});
    engine.collectLikeTerms(1);
    EXPECT_EQ(dump(), "1x1 0=1 1x1");
    lines({"1/2x-1/2x=1"});
    engine.collectLikeTerms(1);
    EXPECT_EQ(dump(), "0/1 0=1 1/1");
}

TEST_F(LineOps, CollectInPlace) {
    lines({"2x+3-x=7+1"});
    engine.targetLine = 1;
    engine.collectLikeTerms(1);
    EXPECT_EQ(lineToText(engine.line(1), false), "x+3=8");
}

TEST_F(LineOps, CombineAndSubtract) {
    lines({"2x+1=5", "x-1=2"});
    engine.combineLines(1, 2);
    EXPECT_EQ(result(), "3x=7");
    lines({"2x+1=5", "x-1=2"});
    engine.subtractLines(1, 2);
    EXPECT_EQ(result(), "x+2=3");
    EXPECT_EQ(lineToText(engine.line(2), false), "x-1=2");  // line b as it was
}

TEST_F(LineOps, LineMinusItselfIsZeroEqualsZero) {
    lines({"2x+1=5"});
    engine.subtractLines(1, 1);
    EXPECT_EQ(result(), "0=0");
    EXPECT_EQ(lineToText(engine.line(1), false), "2x+1=5");
}

TEST_F(LineOps, TransposeOrderAndMoves) {
    lines({"2x+3=x+5"});
    EXPECT_EQ(engine.transposeTerms(1), OpStatus::Done);
    EXPECT_EQ(dump(), "2x1 -1x1 0=1 -3/1 5/1");
    lines({"3=x"});
    EXPECT_EQ(engine.transposeTerms(1), OpStatus::Done);
    EXPECT_EQ(result(), "-x=-3");
    lines({"2x=4"});
    EXPECT_EQ(engine.transposeTerms(1), OpStatus::NoChange);
    EXPECT_EQ(result(), "2x=4");
    lines({"x+0=5"});
    EXPECT_EQ(engine.transposeTerms(1), OpStatus::NoChange);
    EXPECT_EQ(result(), "x=5");
    lines({"x=x"});
    engine.transposeTerms(1);
    EXPECT_EQ(result(), "x-x=0");  // nothing on the right: the number 0
}

TEST_F(LineOps, AddToBothSides) {
    lines({"2x+3=7"});
    engine.addToBothSides(1, '+', Term{1, -3, '/'});
    EXPECT_EQ(result(), "2x=4");
    lines({"5x=3x+4"});
    engine.addToBothSides(1, '-', Term{1, 3, 'x'});
    EXPECT_EQ(result(), "2x=4");
    lines({"x-5=3"});
    engine.addToBothSides(1, '+', Term{1, 5, '/'});
    EXPECT_EQ(result(), "x=8");
    lines({"x=4-2x"});
    engine.addToBothSides(1, '+', Term{1, 2, 'x'});
    EXPECT_EQ(result(), "3x=4");
}

TEST_F(LineOps, ScaleLine) {
    lines({"3(x+1)=6"});
    engine.scaleLine(1, '*', Term{1, 2, '/'});
    EXPECT_EQ(result(), "6(x+1)=12");
    lines({"1/2x=3"});
    engine.scaleLine(1, '*', Term{1, 2, '/'});
    EXPECT_EQ(result(), "x=6");
    lines({"4x=8"});
    engine.scaleLine(1, '/', Term{1, 4, '/'});
    EXPECT_EQ(result(), "x=2");
    lines({"4x=8"});
    engine.scaleLine(1, '/', Term{1, -2, '/'});
    EXPECT_EQ(dump(), "-2x1 0=1 -4/1");  // '=' carries no value and is not scaled
    lines({"2x=1"});
    engine.scaleLine(1, '*', Term{4, 2, '/'});  // a keypad fraction 4分の2 is reduced on use
    EXPECT_EQ(dump(), "1x1 0=1 1/2");
}

TEST_F(LineOps, ScaleIgnoresCornerBracketsForDepth) {
    lines({"\uff62x\uff63=1"});
    engine.scaleLine(1, '*', Term{1, 2, '/'});
    EXPECT_EQ(dump(), "0｢1 2x1 0｣1 0=1 2/1");
}

TEST_F(LineOps, RemoveParentheses) {
    struct Row { const char* in; const char* out; };
    const Row rows[] = {
        {"3(x-2)=6", "3x-6=6"}, {"-(x+1)=2", "-x-1=2"}, {"2(x+1)+3(x-1)=0", "2x+2+3x-3=0"},
        {"2(3(x+1)+1)=8", "2(3x+3+1)=8"}, {"1|2(x+1)=3", "1/2x+1/2=3"}, {"-2(x-3)=x", "-2x+6=x"},
    };
    for (const Row& r : rows) {
        lines({r.in});
        EXPECT_EQ(engine.removeParentheses(1), OpStatus::Done);
        EXPECT_EQ(result(), r.out) << r.in;
    }
}

TEST_F(LineOps, RemoveParenthesesWithoutBracketTouchesNothing) {
    lines({"2x=5", "7x=1"});
    engine.targetLine = 2;  // pretend line 2 is the target: it must survive
    EXPECT_EQ(engine.removeParentheses(1), OpStatus::NoChange);
    EXPECT_EQ(lineToText(engine.line(2), false), "7x=1");
}

TEST_F(LineOps, PopAndClear) {
    lines({"2x+3=7"});
    Term t = engine.popTerm(1);
    EXPECT_EQ(termDump(t), "7/1");  // the last of 4 terms
    EXPECT_EQ(engine.line(1).count, 3);
    engine.clearLine(1);
    EXPECT_EQ(engine.line(1).count, 0);
    EXPECT_EQ(termDump(engine.line(1).terms[0]), "2x1");  // the old terms stay in the array
}

TEST_F(LineOps, OverflowIsRefusedAndWritesNoLine) {
    // 99999x=99998 multiplied by 99999 again and again: the numbers outgrow 32 bits.
    lines({"99999x=99998"});
    int refusedAt = 0;
    for (int step = 2; step <= 6 && !refusedAt; ++step) {
        engine.targetLine = step;
        engine.clearLine(step);
        OpStatus s = engine.scaleLine(step - 1, '*', Term{1, 99999, '/'});
        if (s == OpStatus::Refused) refusedAt = step;
    }
    ASSERT_NE(refusedAt, 0);
    EXPECT_EQ(engine.line(refusedAt).count, 0);
    EXPECT_EQ(lastSaid(), "数が大きすぎて計算できません");
    EXPECT_EQ(refusedAt, 2);  // 99999^2 already exceeds 32 bits
    EXPECT_EQ(lineToText(engine.line(1), false), "99999x=99998");
    // a smaller factor goes a few steps before it is refused, each step exact
    lines({"7x=3"});
    for (int step = 2; step <= 12; ++step) {
        engine.targetLine = step;
        engine.clearLine(step);
        if (engine.scaleLine(step - 1, '*', Term{1, 99, '/'}) == OpStatus::Refused) {
            EXPECT_EQ(step, 6);  // 7 * 99^4 fits, 7 * 99^5 does not
            EXPECT_EQ(lineToText(engine.line(5), false), "672417207x=288178803");
            break;
        }
    }
}

// A sum was once checked against 32 bits term by term, so a result that fits was refused on
// the way to it.
TEST_F(LineOps, SumsRefuseOnlyAResultThatDoesNotFit) {
    lines({"x-99999+99999=5"});
    ASSERT_EQ(engine.scaleLine(1, '*', Term{1, 9999, '/'}), OpStatus::Done);
    EXPECT_EQ(result(), "9999x-999890001+999890001=49995");
    engine.targetLine = 3;
    EXPECT_EQ(engine.addToBothSides(2, '+', Term{4, 1, '/'}), OpStatus::Done);
    EXPECT_EQ(result(), "9999x+1/4=199981/4");
    lines({"x=1/99991+1/99989-1/99989"});
    EXPECT_EQ(engine.collectLikeTerms(1), OpStatus::Done);
    EXPECT_EQ(result(), "x=1/99991");
    EXPECT_TRUE(heard().empty());
    // a result that does not fit is still refused, and writes nothing
    lines({"x=1/99991+1/99989+1/99971"});
    EXPECT_EQ(engine.collectLikeTerms(1), OpStatus::Refused);
    EXPECT_EQ(engine.line(engine.targetLine).count, 0);
    EXPECT_EQ(lastSaid(), "数が大きすぎて計算できません");
}

// A keypad fraction is kept as typed until it is used: 0=5-x plus 2分の2x once wrote 2/2x=5,
// which no verdict takes for x=5.
TEST_F(LineOps, AKeypadFractionIsWrittenByItsValue) {
    lines({"0=5-x"});
    engine.addToBothSides(1, '+', Term{2, 2, 'x'});
    EXPECT_EQ(dump(), "1x1 0=1 5/1");
    lines({"x=3"});
    engine.addToBothSides(1, '-', Term{4, 2, '/'});
    EXPECT_EQ(dump(), "1x1 -1/2 0=1 5/2");
}

// Two long lines once had to fit side by side before they were collected, so ①＋① of a
// 17-term line was refused as too long although its result has five terms.
// ＋/－ once read a group's coefficient as a loose number and kept its inner terms
// unmultiplied: 5-2(x-1)=1 minus 5 gave x-3=-4, and the drill went on to a wrong answer.
TEST_F(LineOps, AddingCarriesBracketGroupsWhole) {
    struct Row { const char* in; char op; Term operand; const char* out; };
    const Row rows[] = {
        {"5-2(x-1)=1", '-', {1, 5, '/'}, "-2(x-1)=-4"},
        {"3(x+1)=6", '+', {1, 3, '/'}, "3(x+1)+3=9"},
        {"3(x+1)=6", '-', {1, 1, 'x'}, "-x+3(x+1)=-x+6"},
        {"1|2(x+1)=3", '+', {1, 1, '/'}, "1|2(x+1)+1=4"},
        {"6-(x+2)=3(x-4)", '-', {1, 6, '/'}, "-(x+2)=3(x-4)-6"},
        {"2x+2(3(x+1)-1)=x", '-', {1, 1, 'x'}, "x+2(3(x+1)-1)=0"},
        {"x+3=2[x-1]+3", '-', {1, 3, '/'}, "x=2[x-1]"},
    };
    for (const Row& r : rows) {
        lines({r.in});
        EXPECT_EQ(engine.addToBothSides(1, r.op, r.operand), OpStatus::Done) << r.in;
        EXPECT_EQ(result(), r.out) << r.in;
    }
}

TEST_F(LineOps, OperationsThatCannotCarryGroupsRefuseThem) {
    lines({"2(x+3)=10"});
    EXPECT_EQ(engine.combineLines(1, 1), OpStatus::Refused);
    EXPECT_EQ(lastSaid(), "かっこをはずしてから式をたしてください");
    lines({"2x=4", "3(x-1)=3"});
    EXPECT_EQ(engine.subtractLines(1, 2), OpStatus::Refused);
    EXPECT_EQ(lastSaid(), "かっこをはずしてから式をひいてください");
    lines({"2(x+1)=4"});
    EXPECT_EQ(engine.collectLikeTerms(1), OpStatus::Refused);
    EXPECT_EQ(lastSaid(), "かっこをはずしてから整理してください");
    EXPECT_EQ(engine.transposeTerms(1), OpStatus::Refused);
    EXPECT_EQ(lastSaid(), "かっこをはずしてから移項してください");
    EXPECT_EQ(engine.line(engine.targetLine).count, 0);
}

// '=' and brackets were multiplied like numbers, so their zero values grew denominators
// until a short line was refused as too large (2x=6 after ÷9999 ×9999 ÷9999 ×9999 ÷9999).
TEST_F(LineOps, StructureAndZerosNeverOverflow) {
    lines({"2(x+1)=6"});
    for (int step = 2; step <= 10; ++step) {
        engine.targetLine = step;
        engine.clearLine(step);
        ASSERT_EQ(engine.scaleLine(step - 1, step % 2 ? '*' : '/', Term{1, 9999, '/'}), OpStatus::Done) << step;
    }
    EXPECT_EQ(lineDump(engine.line(10)), "2/9999 0(1 1x1 1/1 0)1 0=1 2/3333");
    // zeros whose common denominator does not fit stay zero instead of refusing
    const Term zero = engine.addTerms(Term{2147483629, 0, '/'}, Term{2147483587, 0, '/'});
    EXPECT_EQ(termDump(zero), "0/1");
    EXPECT_TRUE(heard().empty());
}

TEST_F(LineOps, LineSumsAreJudgedOnTheirResult) {
    lines({"x+1+x+1+x+1+x+1=2+x+1+x+1+x+1+x"});
    EXPECT_EQ(engine.combineLines(1, 1), OpStatus::Done);
    EXPECT_EQ(result(), "8x+8=8x+10");
    lines({"x+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1=1", "x+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1=1"});
    EXPECT_EQ(engine.subtractLines(1, 2), OpStatus::Done);
    EXPECT_EQ(result(), "0=0");
}

}  // namespace
}  // namespace solvari
