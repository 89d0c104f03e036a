#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/format.h"
#include "flow/question_set.h"
#include "transform/line_judge.h"
#include "transform/solver.h"

namespace solvari {
namespace {

struct Row {
    const char* source;
    Operation op;
    const char* operand;  // keypad text; "" for かっこ, 整理, 移項
    const char* written;
};

LineJudgement judge(const Row& r) {
    Engine e;
    e.maxEquationBytes = 200;
    std::vector<Diagnostic> said;
    EXPECT_TRUE(e.parseEquation(SCRATCH_LINE, r.source, said)) << r.source;
    const EquationLine source = e.line(SCRATCH_LINE);
    const Term operand = *r.operand ? e.parseOperand(r.operand, said) : ZERO_TERM;
    return judgeWrittenLine(e, source, r.op, operand, r.written);
}

std::string describe(const Row& r) {
    return std::string(r.source) + " " + static_cast<char>(r.op) + r.operand + " → " + r.written;
}

constexpr Operation T = Operation::Transpose, S = Operation::Collect, K = Operation::Brackets, M = Operation::Multiply,
                    D = Operation::Divide, A = Operation::Add, B = Operation::Subtract;

// Lines students write, each with the mistake it shows. Where two mistakes could explain a
// line the earlier in Mistake's order is named: 2x=6 ÷2 → x=4 is 6−2, the coefficient taken
// as a term, before it is a slip of arithmetic.
TEST(LineJudge, NamesTheMistakeOfAWrongLine) {
    const std::pair<Row, Mistake> rows[] = {
        {{"2x+3=7", T, "", "2x=7+3"}, Mistake::TransposeSign},
        {{"5x-4=3x+6", T, "", "5x+3x=6+4"}, Mistake::TransposeSign},
        {{"5x-4=3x+6", T, "", "5x-3x=6-4"}, Mistake::TransposeSign},
        {{"x+1/2=3", T, "", "x=3+1/2"}, Mistake::TransposeSign},
        {{"2x+3=7", T, "", "-2x=7-3"}, Mistake::StaySign},
        {{"4x-1=2x+5", T, "", "4x-2x=-5+1"}, Mistake::StaySign},
        {{"2x=6", D, "2", "x=6"}, Mistake::OneSide},
        {{"1/3x=4", M, "3", "x=4"}, Mistake::OneSide},
        {{"x-5=2", A, "5", "x=2"}, Mistake::OneSide},
        {{"3x=12", D, "3", "3x=4"}, Mistake::OneSide},
        {{"3(x+2)=12", K, "", "3x+2=12"}, Mistake::BracketFirst},
        {{"2(3x-1)=4x", K, "", "6x-1=4x"}, Mistake::BracketFirst},
        {{"4(x-3)=2(x+1)", K, "", "4x-3=2x+2"}, Mistake::BracketFirst},
        {{"5-(x-2)=1", K, "", "5-x-2=1"}, Mistake::BracketSign},
        {{"-3(x-2)=12", K, "", "-3x-6=12"}, Mistake::BracketSign},
        {{"10-2(x+1)=4", K, "", "10-2x+2=4"}, Mistake::BracketSign},
        {{"3x=12", D, "3", "x=9"}, Mistake::CoefAsTerm},
        {{"5x=20", D, "5", "x=15"}, Mistake::CoefAsTerm},
        {{"2x=6", D, "2", "x=4"}, Mistake::CoefAsTerm},
        {{"4x=-1", D, "4", "x=-4"}, Mistake::DivideInverted},
        {{"6x=3", D, "6", "x=2"}, Mistake::DivideInverted},
        {{"3x=2", D, "3", "x=3/2"}, Mistake::DivideInverted},
        {{"1/2x+1=3", M, "2", "x+1=6"}, Mistake::DenominatorTerm},
        {{"1/3x-2=1/2", M, "6", "2x-2=3"}, Mistake::DenominatorTerm},
        {{"1/4x+1/2=3", M, "4", "x+1/2=12"}, Mistake::DenominatorTerm},
        {{"2x+3=9", S, "", "5x=9"}, Mistake::UnlikeTerms},
        {{"4x-1=7", S, "", "3x=7"}, Mistake::UnlikeTerms},
        {{"2x+3x=4+6", S, "", "5x=4x"}, Mistake::Other},
        {{"2x=6", D, "2", "x=5"}, Mistake::Arithmetic},
        {{"2x+3x=4+6", S, "", "5x=9"}, Mistake::Arithmetic},
        {{"3x=5+7", S, "", "3x=13"}, Mistake::Arithmetic},
        {{"2x=6", D, "2", "2=x"}, Mistake::Other},
        {{"2x=6", D, "2", "x=2x"}, Mistake::Other},
        {{"2x=6", D, "2", "y=3"}, Mistake::Other},
        {{"2x=6", D, "2", "x=(3"}, Mistake::Unreadable},
        {{"2x=6", D, "2", "x(x)=3"}, Mistake::Unreadable},
    };
    for (const auto& [row, mistake] : rows) {
        const LineJudgement j = judge(row);
        EXPECT_EQ(j.verdict, LineJudgement::Verdict::Refused) << describe(row);
        EXPECT_STREQ(mistakeCode(j.mistake), mistakeCode(mistake)) << describe(row) << "\n" << j.message;
        EXPECT_FALSE(j.message.empty()) << describe(row);
    }
}

TEST(LineJudge, NamesTheTermAndNeverTheAnswer) {
    const LineJudgement moved = judge({"2x+3=7", T, "", "2x=7+3"});
    EXPECT_EQ(moved.message, "＋3 を移項するときは、符号を変えます");
    const LineJudgement bracket = judge({"3(x+2)=12", K, "", "3x+2=12"});
    EXPECT_NE(bracket.message.find("＋2"), std::string::npos) << bracket.message;
    const LineJudgement side = judge({"2x=6", D, "2", "x=6"});
    EXPECT_NE(side.message.find("右辺にも ÷2"), std::string::npos) << side.message;
    // what the line should be is never in the message
    for (const Row& r : {Row{"2x=6", D, "2", "x=5"}, Row{"3x=12", D, "3", "x=9"}, Row{"4x=-1", D, "4", "x=-4"}}) {
        const LineJudgement j = judge(r);
        EXPECT_EQ(j.message.find(lineToText(j.expected, false)), std::string::npos) << j.message;
    }
}

TEST(LineJudge, TakesTheResultInAnyOrderAndFormAndNotesARightLineOfAnotherStep) {
    const Row accepted[] = {
        {"2x+3=7", T, "", "2x=7-3"},   {"2x+3=7", T, "", "2x=-3+7"},   {"2x+3=7", T, "", "2x=4"},
        {"2x=6", D, "2", "x=3"},       {"2x=6", D, "2", "x=6/2"},       {"4x=2", D, "4", "x=0.5"},
        {"3(x+2)=12", K, "", "2*3+3x=12"}, {"3(x+2)=12", K, "", "6+3x=12"}, {"1/2x+1=3", M, "2", "2+x=6"},
        {"5x-4=3x+6", T, "", "-3x+5x=4+6"}, {"x+1=x+2", T, "", "x-x=2-1"},
    };
    for (const Row& r : accepted) {
        const LineJudgement j = judge(r);
        if (std::string(r.written).find('*') != std::string::npos) {
            EXPECT_EQ(j.mistake, Mistake::Unreadable) << describe(r);  // a product is no line of the drill
            continue;
        }
        EXPECT_EQ(j.verdict, LineJudgement::Verdict::Accepted) << describe(r) << "\n" << j.message;
    }
    const LineJudgement noted = judge({"2x=6", D, "2", "4x=12"});
    EXPECT_EQ(noted.verdict, LineJudgement::Verdict::Noted);
    EXPECT_EQ(noted.message, JUDGE_NOTE_OTHER_STEP);
    const LineJudgement refused = judge({"2x=6", D, "0", "x=3"});
    EXPECT_EQ(refused.verdict, LineJudgement::Verdict::Invalid);
    EXPECT_FALSE(refused.message.empty());
}

// Every step of the worked solutions, written as the program writes it and with each side's
// terms in reverse order, is taken without a word.
TEST(LineJudge, NoFalseAlarmOnTheWorkedSolutions) {
    std::ifstream in(std::string(SOLVARI_SOURCE_DIR) + "/data/Question.leq", std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    std::vector<std::string> lines;
    ASSERT_TRUE(decodeQuestionBytes(bytes.str(), lines));
    std::vector<std::string> questions = {"3(x-2)+1/2x=5(x+1)-4", "0.3x-1.2=0.5x+0.4", "2(x-3)-(4x-5)=7",
                                          "1/3x-1/4=1/6x+1/2", "-(x+1)=2(3-x)", "1/2(x+4)=2/3(x-1)"};
    for (const std::string& l : lines)
        if (!l.empty() && l[0] != '<' && l[0] != '>' && l[0] != ';') questions.push_back(l);
    int judged = 0;
    for (const std::string& q : questions) {
        Engine solverEngine;
        const Solution s = solveQuestion(solverEngine, q);
        if (!s.parsed || s.lines.size() < 2) continue;
        for (size_t k = 1; k < s.lines.size(); ++k) {
            Engine e;
            e.maxEquationBytes = 200;
            std::vector<Diagnostic> said;
            ASSERT_TRUE(e.parseEquation(SCRATCH_LINE, s.lines[k - 1].text, said)) << s.lines[k - 1].text;
            e.hasDecimal = solverEngine.hasDecimal;
            const EquationLine source = e.line(SCRATCH_LINE);
            const Term operand = s.lines[k].operand.empty() ? ZERO_TERM : e.parseOperand(s.lines[k].operand, said);
            const LineJudgement j = judgeWrittenLine(e, source, s.lines[k].operation, operand, s.lines[k].text);
            EXPECT_EQ(j.verdict, LineJudgement::Verdict::Accepted) << q << ": " << s.lines[k - 1].text << " → " << s.lines[k].text
                                                                   << "\n" << j.message;
            // each side's terms reversed (lines without brackets)
            EquationLine reversed = j.expected;
            const auto eq = std::find_if(reversed.terms.begin(), reversed.terms.begin() + reversed.count,
                                         [](const Term& t) { return t.kind == KIND_EQUALS; });
            if (!hasGroup(reversed) && eq != reversed.terms.begin() + reversed.count) {
                std::reverse(reversed.terms.begin(), eq);
                std::reverse(eq + 1, reversed.terms.begin() + reversed.count);
                const std::string text = lineToText(reversed, solverEngine.hasDecimal);
                const LineJudgement r = judgeWrittenLine(e, source, s.lines[k].operation, operand, text);
                EXPECT_EQ(r.verdict, LineJudgement::Verdict::Accepted) << q << ": " << text << "\n" << r.message;
            }
            ++judged;
        }
    }
    EXPECT_GT(judged, 100);
}

}  // namespace
}  // namespace solvari
