#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "flow/syntax_check.h"
#include "tests/support/fake_prompter.h"

namespace solvari {
namespace {

using Lines = std::vector<std::string>;

struct Checker {
    QuestionSet set;
    SyntaxCheckResult run(const Lines& lines) { return checkQuestionSet(lines, set); }
};

Lines fiveGoodUnits() {
    Lines l;
    for (int u = 1; u <= 5; ++u) {
        l.push_back("<<単元" + std::to_string(u));
        l.push_back("2x=" + std::to_string(u));
        l.push_back("x+1=3");
        l.push_back(">>");
    }
    return l;
}

TEST(SyntaxCheck, SuccessShowsTheUnitCountAndNone) {
    Checker c;
    SyntaxCheckResult r = c.run(fiveGoodUnits());
    EXPECT_TRUE(r.structureOk);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.unitCount, 5);
    EXPECT_EQ(r.unitCountText, "5");
    EXPECT_EQ(r.resultText, "☆☆☆　構文チェック成功　☆☆☆");
    EXPECT_EQ(r.errorUnitText, "なし");
    EXPECT_EQ(r.errorQuestions, Lines{"なし"});
    EXPECT_TRUE(r.faults.empty());
    EXPECT_EQ(c.set.unitCount, 5);  // a sound structure replaces the set in use
}

TEST(SyntaxCheck, AStructuralFaultKeepsTheSetInUse) {
    Checker c;
    ASSERT_TRUE(c.run(fiveGoodUnits()).ok);
    Lines broken = fiveGoodUnits();
    broken.insert(broken.begin() + 2, "");  // an empty line
    SyntaxCheckResult r = c.run(broken);
    EXPECT_FALSE(r.structureOk);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.resultText, "??? 問題に誤りがあります");
    EXPECT_EQ(r.errorUnitText, "問題に誤りです");
    EXPECT_EQ(r.unitCountText, "");
    EXPECT_TRUE(r.errorQuestions.empty());
    EXPECT_EQ(c.set.unitCount, 5);
}

TEST(SyntaxCheck, TooManyQuestionsIsReportedWithItsMessage) {
    Checker c;
    Lines l{"<<a"};
    for (int q = 0; q < 8; ++q) l.push_back("x=1");
    l.push_back(">>");
    SyntaxCheckResult r = c.run(l);
    EXPECT_FALSE(r.structureOk);
    EXPECT_EQ(r.structureMessages, Lines{"問題は7問以下です"});
}

TEST(SyntaxCheck, TheEditorSeesTheFirstFaultyUnitTheCheckerSeesAll) {
    Checker c;
    const Lines lines{"<<一", "x=1", ">>",           "<<二", "2x+3y=7", "x=2", "x=3=4", ">>",
                      "<<三", "x=5", ">>",           "<<四", "123456x=1", ">>"};
    SyntaxCheckResult r = c.run(lines);
    EXPECT_TRUE(r.structureOk);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.resultText, "??? 誤りがあります ???");
    EXPECT_EQ(r.errorUnitText, "二");
    EXPECT_EQ(r.errorQuestions, (Lines{"2x+3y=7", "x=3=4"}));
    EXPECT_EQ(r.unitCountText, "");
    ASSERT_EQ(r.faults.size(), 3u);
    EXPECT_EQ(r.faults[0].unit, 2);
    EXPECT_EQ(r.faults[0].question, 1);
    EXPECT_EQ(r.faults[0].messages, Lines{"文字が多すぎます"});
    EXPECT_EQ(r.faults[1].question, 3);
    EXPECT_EQ(r.faults[1].messages, Lines{"＝の数が不正です"});
    EXPECT_EQ(r.faults[2].unit, 4);
    EXPECT_EQ(r.faults[2].question, 1);
    EXPECT_EQ(r.faults[2].messages, Lines{"123456：エラー！数字は５桁以下です"});
    EXPECT_EQ(r.faults[2].engineError, 999);
}

TEST(SyntaxCheck, ParserNoticesAreRecordedWithTheirQuestion) {
    Checker c;
    SyntaxCheckResult r = c.run({"<<a", "2x + 3=7", "x++1=2", ">>"});
    ASSERT_EQ(r.warnings.size(), 1u);
    EXPECT_EQ(r.warnings[0].question, 1);
    EXPECT_EQ(r.warnings[0].messages, (Lines{"警告|空白があります", "警告|空白があります"}));
    ASSERT_EQ(r.faults.size(), 1u);
    EXPECT_TRUE(r.faults[0].messages.empty());  // a doubled sign fails silently
    EXPECT_EQ(r.faults[0].engineError, 110);
}

TEST(SyntaxCheck, ForwardsOnlyWhatTheEditorWouldShow) {
    Checker c;
    const SyntaxCheckResult r = c.run({"<<a", "2 x=1", ">>", "<<b", "x=1=2", ">>", "<<c", "2x+3y=7", ">>"});
    // unit c comes after the first faulty unit: the editor never parses it
    EXPECT_EQ(testing::shownAs(r.editorDiagnostics), (Lines{"警告|空白があります", "＝の数が不正です"}));
}

TEST(SyntaxCheck, LinesShiftJisCannotHoldAreFaults) {
    Checker c;
    SyntaxCheckResult r = c.run({"<<単元😀", "x=1", ">>", "<<b", "x=1😀", ">>"});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.errorUnitText, "単元😀");
    EXPECT_EQ(r.errorQuestions, Lines{"<<単元😀"});
    ASSERT_EQ(r.faults.size(), 2u);
    EXPECT_EQ(r.faults[0].question, 0);
    // each names the character and its line
    EXPECT_EQ(r.faults[0].messages, Lines{"1行目の「😀」は Shift-JIS で保存できません"});
    EXPECT_EQ(r.faults[1].unit, 2);
    EXPECT_EQ(r.faults[1].messages.back(), "5行目の「😀」は Shift-JIS で保存できません");
}

}  // namespace
}  // namespace solvari
