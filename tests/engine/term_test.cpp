#include <gtest/gtest.h>

#include "engine/engine.h"
#include <string>
#include <vector>

#include "engine/format.h"
#include "tests/support/fake_prompter.h"

namespace solvari {
namespace {

using testing::shownAs;

TEST(Gcd, ZeroAndSignsAndEqualValues) {
    EXPECT_EQ(gcd(0, 7), 0);
    EXPECT_EQ(gcd(7, 0), 0);
    EXPECT_EQ(gcd(-12, 18), 6);
    EXPECT_EQ(gcd(7, 7), 7);
    EXPECT_EQ(gcd(13, 4), 1);
}

TEST(ReduceTerm, KeepsZeroAndNegativeDenominators) {
    EXPECT_EQ(termDump(reduceTerm(10, 0, '/')), "0/10");
    Term t = reduceTerm(-4, 6, '/');
    EXPECT_EQ(t.den, -2);
    EXPECT_EQ(t.num, 3);
    EXPECT_EQ(termDump(reduceTerm(6, 4, 'x')), "2x3");
    EXPECT_EQ(makeTerm(5, 1, '_').kind, '/');
}

TEST(TermsEqual, FieldByFieldIgnoringKind) {
    EXPECT_FALSE(termsEqual(Term{2, 1, '/'}, Term{4, 2, '/'}));
    EXPECT_TRUE(termsEqual(Term{1, 3, 'x'}, Term{1, 3, '/'}));
    EXPECT_TRUE(sameValue(Term{2, 0, '/'}, Term{1, 0, '/'}));
    EXPECT_FALSE(sameValue(Term{2, 1, '/'}, Term{3, 1, '/'}));
}

class Arithmetic : public ::testing::Test {
protected:
    Engine engine;
    // What the arithmetic has said so far, as the boxes would show it.
    std::vector<std::string> said() { return shownAs(engine.takeDiagnostics()); }
};

TEST_F(Arithmetic, WorkedValues) {
    EXPECT_EQ(termDump(engine.addTerms({2, 1, '/'}, {3, 1, '/'})), "5/6");
    EXPECT_EQ(termDump(engine.subtractTerms({4, 3, '/'}, {4, 3, '/'})), "0/4");
    EXPECT_EQ(termDump(engine.multiplyTerms({2, -1, '/'}, {1, -2, '/'})), "1/1");
    EXPECT_EQ(termDump(engine.divideTerms({3, 2, '/'}, {5, -4, '/'})), "-5/6");
    EXPECT_EQ(termDump(engine.multiplyTerms({4, 6, '/'}, {3, 2, '/'})), "1/1");
    EXPECT_EQ(termDump(engine.addTerms({6, 1, '/'}, {4, 1, '/'})), "5/12");
    EXPECT_EQ(termDump(engine.multiplyTerms({5, 0, '/'}, {1, 3, '/'})), "0/5");
    EXPECT_EQ(termDump(engine.divideTerms({5, 2, '/'}, {1, -3, '/'})), "-2/15");
    EXPECT_TRUE(said().empty());
}

TEST_F(Arithmetic, ResultTakesTheFirstKind) {
    EXPECT_EQ(engine.addTerms({1, 2, 'x'}, {1, 3, '/'}).kind, 'x');
    EXPECT_EQ(engine.addTerms({1, 3, '/'}, {1, 2, 'x'}).kind, '/');
}

TEST_F(Arithmetic, ZeroDivisorAsksAndGivesZeroOfTheLetter) {
    engine.letter = 'y';
    Term r = engine.divideTerms({1, 3, '/'}, {1, 0, '/'});
    EXPECT_EQ(termDump(r), "0y1");
    const std::vector<Diagnostic> told = engine.takeDiagnostics();
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(shownAs(told)[0], "確認|0 で割ることはできません");
    EXPECT_EQ(told[0].box, DiagnosticBox::AbortRetryIgnore);
}

TEST_F(Arithmetic, ZeroDenominatorReachingLcmIsReported) {
    Term r = engine.addTerms({0, 1, 'x'}, {3, 1, '/'});
    EXPECT_EQ(termDump(r), "0x1");
    const std::vector<std::string> told = said();
    ASSERT_FALSE(told.empty());
    EXPECT_EQ(told.back(), "x=0,y=3GCDが０です");
}

TEST_F(Arithmetic, WideIntermediatesStayExact) {
    // 46341^2 exceeds 32 bits, but the reduced result fits.
    Term r = engine.multiplyTerms({46341, 46340, '/'}, {46340, 46341, '/'});
    EXPECT_EQ(termDump(r), "1/1");
    Term s = engine.addTerms({65536, 1, '/'}, {32768, 1, '/'});
    EXPECT_EQ(termDump(s), "3/65536");
}

}  // namespace
}  // namespace solvari
