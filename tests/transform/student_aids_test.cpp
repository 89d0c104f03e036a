#include <gtest/gtest.h>

#include <string>

#include "engine/format.h"
#include "engine/solution_set.h"
#include "flow/question_set.h"
#include "tests/support/fake_prompter.h"
#include "tests/support/follow_hints.h"
#include "transform/check_by_substitution.h"
#include "transform/hint.h"
#include "transform/operations.h"
#include "transform/repeated_line.h"
#include "transform/verdict.h"
#include "tests/support/read_text.h"

namespace solvari {
namespace {

using testing::readOperand;

using testing::readEquation;


// ---------------------------------------------------------------- ヒント

struct HintCase {
    const char* name;
    const char* line;
    const char* sentence;
};

class HintTable : public ::testing::TestWithParam<HintCase> {};

TEST_P(HintTable, ProposesTheSolversNextStep) {
    Engine engine;
    ASSERT_TRUE(readEquation(engine, 2, GetParam().line));
    engine.targetLine = 2;
    const auto h = hintFor(engine, 2);
    ASSERT_TRUE(h);
    EXPECT_EQ(h->sentence, GetParam().sentence);
    EXPECT_EQ(lineToText(engine.line(2), engine.hasDecimal), GetParam().line) << "the page is only read";
}

INSTANTIATE_TEST_SUITE_P(
    Table, HintTable,
    ::testing::Values(HintCase{"divide", "2x=6", "ヒント：②式の両辺を2で割ってみましょう"},
                      HintCase{"divide_by_minus_one", "-x=3", "ヒント：②式の両辺を-1で割ってみましょう"},
                      HintCase{"brackets_first", "3(x-2)=x+4", "ヒント：②式のかっこをはずしてみましょう"},
                      HintCase{"transpose", "2x+3=7", "ヒント：②式を移項してみましょう"},
                      HintCase{"collect", "2x=-3+7", "ヒント：②式を整理してみましょう"},
                      HintCase{"clear_fractions", "1/2x+1/3x=5", "ヒント：②式の両辺を6倍してみましょう"},
                      HintCase{"clear_decimals_by_ten", "0.2x+1=0.6x-3", "ヒント：②式の両辺を10倍してみましょう"},
                      HintCase{"divide_by_a_fraction", "2/3x=4", "ヒント：②式の両辺を3倍してみましょう"}),
    [](const auto& info) { return std::string(info.param.name); });

// A line 0=5 left open (the verdict dialog closed) once got 整理, which only wrote it again;
// a line x=5 got no hint at all. Both need 実行, which takes the verdict.
TEST(HintTable, ALineWithItsVerdictAsksForTheVerdict) {
    Engine engine;
    for (Term t : {Term{1, 0, KIND_NUMBER}, Term{1, 0, KIND_EQUALS}, Term{1, 5, KIND_NUMBER}}) engine.appendTerm(3, t);
    engine.targetLine = 3;
    auto h = hintFor(engine, 3);
    ASSERT_TRUE(h);
    EXPECT_EQ(h->sentence, "ヒント：［実行］で解の種類を選びましょう");
    ASSERT_TRUE(readEquation(engine, 3, "x=5"));
    h = hintFor(engine, 3);
    ASSERT_TRUE(h);
    EXPECT_EQ(h->sentence, "ヒント：解が出ています。［実行］しましょう");
}

// A hint names only what the keypad takes. The solver's own step once named 10301 or 10000,
// which the keypad refuses (数値は４桁以下にしてください), and the student was stuck.
TEST(HintTable, FollowingHintsAloneReachesTheAnswer) {
    for (const char* q : {"10301x=8", "-0.2994=x", "67.4x=13/8", "99991x=2", "13/97x+5/89=7/83x-11/79",
                          "1/99991x=1/99989", "0=5-x", "87/98x-43/97=-62/95x+5/99"}) {
        const testing::HintWalkResult r = testing::followHints(q);
        EXPECT_EQ(r.outcome, testing::HintWalk::Reached) << q << ": " << r.stuckAt;
    }
    // and on random questions of two-digit numbers (the harness bench_hint_rate runs 10,000)
    for (const bool bracket : {false, true}) {
        testing::HintQuestionMaker maker(bracket ? 7u : 3u);
        int reached = 0;
        std::string stuck;
        for (int i = 0; i < 300; ++i) {
            const std::string q = maker.next(bracket);
            const testing::HintWalkResult r = testing::followHints(q);
            if (r.outcome == testing::HintWalk::Reached) ++reached;
            else stuck += q + ": " + r.stuckAt + "\n";
        }
        EXPECT_GE(reached, 298) << stuck;
    }
}

// Following the hints from the question of every bundled question reaches the verdict, and no
// hinted step changes the solution set.
TEST(HintTable, HintsAloneSolveEveryBundledQuestion) {
    QuestionLinesResult file = readQuestionFile(SOLVARI_SOURCE_DIR "/data/Question.leq");
    ASSERT_TRUE(file.ok) << file.error;
    std::vector<Diagnostic> said;  // by the set's reader and every hinted step
    QuestionSet set;
    ASSERT_TRUE(parseQuestionSet(file.lines, set, said));
    for (int u = 1; u <= set.unitCount; ++u) {
        for (int q = 1; q <= set.questionCount[static_cast<size_t>(u)]; ++q) {
            const std::string& text = set.questionText[static_cast<size_t>(u)][static_cast<size_t>(q)];
            SCOPED_TRACE(text);
            Engine engine;
            ASSERT_TRUE(readEquation(engine, 1, text));
            engine.targetLine = 1;
            const auto want = solutionSetOf(engine.line(1));
            ASSERT_TRUE(want);
            Outcome verdict = classifyLine(engine, 1);
            while (verdict == Outcome::Open) {
                const int n = engine.targetLine;
                ASSERT_LT(n, 12) << "the hints go round";
                const auto h = hintFor(engine, n);
                ASSERT_TRUE(h);
                const Term operand = h->operand.empty() ? ZERO_TERM : readOperand(engine, h->operand);
                ASSERT_NE(operand.den, 0) << h->operand;
                engine.targetLine = n + 1;
                const StepResult step = applyOperation(engine, Step{h->operation, n, 0, false, operand, h->operand});
                ASSERT_TRUE(step.written);
                EXPECT_FALSE(step.askCorrection) << h->sentence;
                said.insert(said.end(), step.diagnostics.begin(), step.diagnostics.end());
                const auto got = solutionSetOf(engine.line(n + 1));
                ASSERT_TRUE(got);
                EXPECT_EQ(*got, *want) << h->sentence;
                verdict = classifyLine(engine, n + 1);
            }
        }
    }
    EXPECT_TRUE(said.empty());
}

// ---------------------------------------------------------------- 検算

struct CheckCase {
    const char* name;
    const char* question;
    const char* check;
};

class CheckTable : public ::testing::TestWithParam<CheckCase> {};

TEST_P(CheckTable, SubstitutesExactly) {
    Engine engine;
    ASSERT_TRUE(readEquation(engine, 1, GetParam().question));
    const auto set = solutionSetOf(engine.line(1));
    ASSERT_TRUE(set);
    EXPECT_EQ(checkBySubstitution(engine.line(1), *set, engine.letter, engine.hasDecimal), GetParam().check);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CheckTable,
    ::testing::Values(
        CheckCase{"integer", "2x=6", "検算：x=3 のとき 左辺＝6，右辺＝6"},
        CheckCase{"both_sides_move", "3(x-2)=x+4", "検算：x=5 のとき 左辺＝9，右辺＝9"},
        CheckCase{"fraction_answer", "2x=3", "検算：x=3/2 のとき 左辺＝3，右辺＝3"},
        CheckCase{"fraction_sides", "x+1/3=1/2", "検算：x=1/6 のとき 左辺＝1/2，右辺＝1/2"},
        CheckCase{"negative", "-(x+1)=2", "検算：x=-3 のとき 左辺＝2，右辺＝2"},
        CheckCase{"bar_group", "2|3(x-1)=4", "検算：x=7 のとき 左辺＝4，右辺＝4"},
        CheckCase{"decimals", "0.5x=0.25", "検算：x=0.5 のとき 左辺＝0.25，右辺＝0.25"},
        CheckCase{"decimal_question_fraction_answer", "0.3x=0.1", "検算：x=1/3 のとき 左辺＝0.1，右辺＝0.1"},
        CheckCase{"negative_decimal", "x+1=0.25", "検算：x=-0.75 のとき 左辺＝0.25，右辺＝0.25"},
        // a 0 right after the decimal point is a digit of its own: 1.05, not 1.5
        CheckCase{"zero_after_the_point", "x+1=1.05", "検算：x=0.05 のとき 左辺＝1.05，右辺＝1.05"},
        CheckCase{"two_zeros_after_the_point", "x-2=0.007", "検算：x=2.007 のとき 左辺＝0.007，右辺＝0.007"},
        CheckCase{"negative_with_zero_after_the_point", "x+0.1=0.05", "検算：x=-0.05 のとき 左辺＝0.05，右辺＝0.05"},
        CheckCase{"four_places", "10x=0.001", "検算：x=0.0001 のとき 左辺＝0.001，右辺＝0.001"},
        CheckCase{"no_solution_with_zero_after_the_point", "x+0.05=x", "どんな x でも 0.05＝0 にはなりません"},
        CheckCase{"other_letter", "2y-1=y", "検算：y=1 のとき 左辺＝1，右辺＝1"},
        CheckCase{"no_solution", "x+5=x", "どんな x でも 5＝0 にはなりません"},
        CheckCase{"every_value", "2(x+1)=2x+2", "どんな x でも成り立ちます"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- the same line again

struct RepeatCase {
    const char* name;
    const char* first;
    const char* second;
    bool same;
};

class RepeatTable : public ::testing::TestWithParam<RepeatCase> {};

TEST_P(RepeatTable, ComparesTermByTermByValue) {
    Engine engine;
    ASSERT_TRUE(readEquation(engine, 1, GetParam().first));
    ASSERT_TRUE(readEquation(engine, 2, GetParam().second));
    EXPECT_EQ(sameWrittenLine(engine.line(1), engine.line(2)), GetParam().same);
}

INSTANTIATE_TEST_SUITE_P(Table, RepeatTable,
                         ::testing::Values(RepeatCase{"identical", "2x+3=7", "2x+3=7", true},
                                           RepeatCase{"unreduced_fraction", "1/2x=3", "2/4x=3", true},
                                           RepeatCase{"order_differs", "x+2=5", "2+x=5", false},
                                           RepeatCase{"sides_swapped", "2x=6", "6=2x", false},
                                           RepeatCase{"value_differs", "2x=6", "2x=8", false},
                                           RepeatCase{"other_letter", "2x=6", "2y=6", false},
                                           RepeatCase{"brackets_kept", "2(x+1)=4", "2(x+1)=4", true},
                                           RepeatCase{"brackets_removed", "2(x+1)=4", "2x+2=4", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RepeatedLine, NamesTheFirstEarlierLine) {
    Engine engine;
    for (auto [n, text] : {std::pair{1, "2x=6"}, {2, "4x=12"}, {3, "2x=6"}, {4, "4x=12"}}) ASSERT_TRUE(readEquation(engine, n, text));
    EXPECT_EQ(repeatedLine(engine, 2), 0);
    EXPECT_EQ(repeatedLine(engine, 3), 1);
    EXPECT_EQ(repeatedLine(engine, 4), 2);
    EXPECT_EQ(repeatedLineMessage(3, 1), "③式は①式と同じ式です");
    EXPECT_EQ(repeatedLineMessage(15, 2), "この式は②式と同じ式です");
}

}  // namespace
}  // namespace solvari
