#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/format.h"
#include "tests/support/fake_prompter.h"
#include "tests/support/read_text.h"

namespace solvari {
namespace {

using testing::readEquation;
using testing::shownAs;

struct EquationCase {
    const char* name;
    const char* text;
    bool ok;
    int code;
    const char* terms;  // lineDump of the line when ok
    std::vector<std::string> messages;
};

void PrintTo(const EquationCase& c, std::ostream* os) { *os << c.text; }

class ParseEquation : public ::testing::TestWithParam<EquationCase> {};

TEST_P(ParseEquation, TermsCodeAndMessages) {
    const EquationCase& c = GetParam();
    Engine engine;
    std::vector<Diagnostic> diagnostics;
    bool ok = engine.parseEquation(1, c.text, diagnostics);
    EXPECT_EQ(ok, c.ok);
    EXPECT_EQ(engine.engineError, c.code);
    // the messages come back with the result, as the boxes would show them; none is left behind
    EXPECT_EQ(shownAs(diagnostics), c.messages);
    EXPECT_TRUE(engine.takeDiagnostics().empty());
    if (c.ok) {
        EXPECT_EQ(lineDump(engine.line(1)), c.terms);
    }
}

const std::string k38 = "x=1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+11";  // 38 bytes

INSTANTIATE_TEST_SUITE_P(
    Table, ParseEquation,
    ::testing::Values(
        EquationCase{"simple", "2x+3=7", true, 0, "2x1 3/1 0=1 7/1", {}},
        EquationCase{"negative_end", "x=-5", true, 0, "1x1 0=1 -5/1", {}},
        EquationCase{"letters_both_sides", "3x=2x+5x", true, 0, "3x1 0=1 2x1 5x1", {}},
        EquationCase{"letter_y", "3y+1=7", true, 0, "3y1 1/1 0=1 7/1", {}},
        EquationCase{"two_letters", "2x+3y=7", false, 0, "", {"文字が多すぎます"}},
        EquationCase{"minus_group", "-(x-3)=5", true, 0, "-1/1 0(1 1x1 -3/1 0)1 0=1 5/1", {}},
        EquationCase{"bare_group", "(x+1)=3", true, 0, "1/1 0(1 1x1 1/1 0)1 0=1 3/1", {}},
        EquationCase{"coefficient_group", "2(x+1)=4", true, 0, "2/1 0(1 1x1 1/1 0)1 0=1 4/1", {}},
        EquationCase{"model_example", "3(x-2)=-x+4", true, 0, "3/1 0(1 1x1 -2/1 0)1 0=1 -1x1 4/1", {}},
        EquationCase{"plus_group", "x+(x+1)=3", true, 0, "1x1 1/1 0(1 1x1 1/1 0)1 0=1 3/1", {}},
        EquationCase{"minus_number_group", "x-3(x+1)=0", true, 0, "1x1 -3/1 0(1 1x1 1/1 0)1 0=1 0/1", {}},
        EquationCase{"nested", "2(3(x+1)+1)=8", true, 0, "2/1 0(1 3/1 0(1 1x1 1/1 0)1 1/1 0)1 0=1 8/1", {}},
        EquationCase{"square_and_curly", "{x+[x]}=2", true, 0, "1/1 0{1 1x1 1/1 0[1 1x1 0]1 0}1 0=1 2/1", {}},
        EquationCase{"decimal", "0.5x=2", true, 0, "1x2 0=1 2/1", {}},
        EquationCase{"five_digit_decimal", "123.45=x", true, 0, "2469/20 0=1 1x1", {}},
        EquationCase{"too_many_decimal_digits", "123.456=x", false, 1111, "", {"整数部と小数部の合計桁数は５以内です"}},
        EquationCase{"leading_zero_does_not_count", "0.1234=x", true, 0, "617/5000 0=1 1x1", {}},
        EquationCase{"zero_denominator", "1/0=x", false, 998, "", {}},
        EquationCase{"missing_denominator", "1/x=2", false, 998, "", {"エラー！数字の表現が不正です"}},
        EquationCase{"six_digits", "123456x=1", false, 999, "", {"123456：エラー！数字は５桁以下です"}},
        EquationCase{"five_digits", "99999x=1", true, 0, "99999x1 0=1 1/1", {}},
        EquationCase{"six_decimal_digits", "0.123456=x", false, 999, "", {"123456：エラー！数字は５桁以下です"}},
        EquationCase{"double_sign", "x++1=3", false, 110, "", {}},
        EquationCase{"minus_after_plus", "x+-1=3", false, 110, "", {}},
        EquationCase{"star", "x*2=3", false, 110, "", {"不要な文字があります"}},
        EquationCase{"no_letter", "2+3=5", false, 87, "", {"moji"}},
        EquationCase{"two_equals", "x=3=5", false, 0, "", {"＝の数が不正です"}},
        EquationCase{"no_equals", "2x+1", false, 0, "", {"＝の数が不正です"}},
        EquationCase{"minimal", "x=1", true, 0, "1x1 0=1 1/1", {}},
        EquationCase{"empty_left", "=3x", true, 0, "0=1 3x1", {}},
        EquationCase{"middle_dot", "2\uff65x=4", true, 0, "2x1 0=1 4/1", {}},
        EquationCase{"full_width_digit", "\uff12x=4", false, 110, "", {"不要な文字があります"}},
        EquationCase{"emoji", "x=\U0001F600", false, 110, "", {"不要な文字があります"}},
        EquationCase{"spaces_warn_each", "2x + 3=7", true, 0, "2x1 3/1 0=1 7/1", {"警告|空白があります", "警告|空白があります"}},
        EquationCase{"space_letter_takes_last_number", "2 x=4", true, 0, "2x1 0=1 4/1", {"警告|空白があります"}},
        EquationCase{"empty", "", false, 0, "", {}},
        EquationCase{"too_long", "x=1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+111", false, 111, "", {"問題が長すぎます"}},
        EquationCase{"bar_group", "1|2(x+1)=3", true, 0, "1|2 0(1 1x1 1/1 0)1 0=1 3/1", {}},
        EquationCase{"bar_at_end_is_a_number", "x=1|2", true, 0, "1x1 0=1 1/2", {}},
        EquationCase{"bar_before_sign_is_a_number", "1|2+x=3", true, 0, "1/2 1x1 0=1 3/1", {}},
        EquationCase{"fraction_coefficient", "1/2x=3", true, 0, "1x2 0=1 3/1", {}},
        EquationCase{"corner_brackets", "\uff62x\uff63=1", true, 0, "0｢1 1x1 0｣1 0=1 1/1", {}},
        EquationCase{"missing_decimal_part_reads_zero", "5.=x", true, 0, "5/1 0=1 1x1", {"エラー！数字の表現が不正です"}},
        EquationCase{"unclosed_bracket", "2(x+1=6", false, 120, "", {"かっこの対応が正しくありません"}},
        EquationCase{"stray_closing_bracket", "x)=1", false, 120, "", {"かっこの対応が正しくありません"}},
        EquationCase{"stray_closing_after_fraction", "1/2x)=3", false, 120, "", {"かっこの対応が正しくありません"}},
        EquationCase{"stray_closing_after_bar", "1|2)x=1", false, 120, "", {"かっこの対応が正しくありません"}},
        EquationCase{"mismatched_brackets", "(x]=1", false, 120, "", {"かっこの対応が正しくありません"}},
        EquationCase{"group_across_equals", "(x=1)", false, 120, "", {"かっこの対応が正しくありません"}},
        EquationCase{"nested_mixed_brackets", "{2[x+(1)]}=4", true, 0, "1/1 0{1 2/1 0[1 1x1 1/1 0(1 1/1 0)1 0]1 0}1 0=1 4/1", {}},
        // Side by side with no sign, only a number may stand before the letter or a bracket;
        // anything else is a product and was once read as a sum.
        EquationCase{"letter_times_group", "x(x+1)=3", false, 121, "", {"かけ算は、数を文字やかっこの前に書く形だけが使えます"}},
        EquationCase{"group_times_group", "(x+1)(x-1)=3", false, 121, "", {"かけ算は、数を文字やかっこの前に書く形だけが使えます"}},
        EquationCase{"term_times_group", "2x(x-1)=4", false, 121, "", {"かけ算は、数を文字やかっこの前に書く形だけが使えます"}},
        EquationCase{"digit_after_letter", "x2=4", false, 121, "", {"かけ算は、数を文字やかっこの前に書く形だけが使えます"}},
        EquationCase{"dot_between_letter_and_group", "x\uff65(x+9)=15", false, 121, "", {"かけ算は、数を文字やかっこの前に書く形だけが使えます"}},
        EquationCase{"letter_after_group", "(x+1)x=5", false, 121, "", {"かけ算は、数を文字やかっこの前に書く形だけが使えます"}},
        EquationCase{"number_after_group", "3=(x+1)2", false, 121, "", {"かけ算は、数を文字やかっこの前に書く形だけが使えます"}},
        EquationCase{"letter_after_letter", "2xx=4", false, 121, "", {"かけ算は、数を文字やかっこの前に書く形だけが使えます"}},
        EquationCase{"number_after_number_across_space", "2 3x=6", false, 121, "", {"警告|空白があります", "かけ算は、数を文字やかっこの前に書く形だけが使えます"}},
        EquationCase{"empty_right_side", "2x=", false, 122, "", {"＝の右側に式がありません"}},
        EquationCase{"sign_only_right_side", "2x=-", false, 122, "", {"＝の右側に式がありません"}},
        EquationCase{"thirty_one_terms", "x=((((((((((((((((()))))))))))))))))", false, 0, "", {"式が長すぎて計算できません"}}),
    [](const ::testing::TestParamInfo<EquationCase>& info) { return std::string(info.param.name); });

// A diagnostic says where in the text (Shift-JIS bytes from 0) the reader stopped, and carries
// the error code the engine keeps.
TEST(ParseEquationDiagnostics, NamePositionAndCode) {
    struct Row {
        const char* text;
        int code;
        int byte;
        Severity severity;
    };
    const Row rows[] = {
        {"2x=3#", 110, 4, Severity::Error},
        {"x=123456", 999, 7, Severity::Error},
        {"2(=x", Engine::ERROR_BRACKETS, -1, Severity::Error},
        {"x(x+1)=3", Engine::ERROR_PRODUCT, 1, Severity::Error},
        {"2x =1", 0, 2, Severity::Warning},
    };
    for (const Row& r : rows) {
        Engine engine;
        std::vector<Diagnostic> diagnostics;
        engine.parseEquation(1, r.text, diagnostics);
        ASSERT_EQ(diagnostics.size(), 1u) << r.text;
        EXPECT_EQ(diagnostics[0].code, r.code) << r.text;
        EXPECT_EQ(diagnostics[0].byte, r.byte) << r.text;
        EXPECT_EQ(diagnostics[0].severity, r.severity) << r.text;
    }
}

TEST(ParseEquationLimits, ThirtyEightBytesAreRead) {
    Engine engine;
    ASSERT_EQ(k38.size(), 38u);
    EXPECT_TRUE(readEquation(engine, 1, k38));
    EXPECT_FALSE(readEquation(engine, 1, k38 + "1"));
    EXPECT_EQ(engine.engineError, 111);
}

TEST(ParseEquationLimits, DoubleByteCharactersCountTwo) {
    Engine engine;
    // 19 full-width characters are 38 Shift-JIS bytes: read (and refused as stray characters)
    std::string text;
    for (int i = 0; i < 19; ++i) text += "＝";
    readEquation(engine, 1, text);
    EXPECT_EQ(engine.engineError, 110);
    readEquation(engine, 1, text + "x");
    EXPECT_EQ(engine.engineError, 111);
}

TEST(ParseEquationState, SetsLetterAndDecimalFlag) {
    Engine engine;
    ASSERT_TRUE(readEquation(engine, 0, "0.5a=2"));
    EXPECT_EQ(engine.letter, 'a');
    EXPECT_TRUE(engine.hasDecimal);
    ASSERT_TRUE(readEquation(engine, 0, "2b=3"));
    EXPECT_EQ(engine.letter, 'b');
    EXPECT_FALSE(engine.hasDecimal);
}

struct OperandCase {
    const char* name;
    const char* text;
    const char* result;  // termDump, or "invalid"
    std::vector<std::string> messages;
};

void PrintTo(const OperandCase& c, std::ostream* os) { *os << c.text; }

class ParseOperand : public ::testing::TestWithParam<OperandCase> {};

TEST_P(ParseOperand, ValueAndMessages) {
    const OperandCase& c = GetParam();
    Engine engine;
    engine.letter = 'x';
    std::vector<Diagnostic> diagnostics;
    Term t = engine.parseOperand(c.text, diagnostics);
    if (std::string(c.result) == "invalid") {
        EXPECT_EQ(t.den, 0);
    } else {
        EXPECT_EQ(termDump(t), c.result);
    }
    EXPECT_EQ(shownAs(diagnostics), c.messages);
    EXPECT_TRUE(engine.takeDiagnostics().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParseOperand,
    ::testing::Values(
        OperandCase{"integer", "3", "3/1", {}},
        OperandCase{"negative_letter", "-3x", "-3x1", {}},
        OperandCase{"letter", "x", "1x1", {}},
        OperandCase{"minus_letter", "-x", "-1x1", {}},
        OperandCase{"decimal", "0.25", "1/4", {}},
        OperandCase{"negative_decimal", "-1.5", "-3/2", {}},
        OperandCase{"empty_integer_part", ".5", "1/2", {}},
        OperandCase{"empty_decimal_part", "2.", "2/1", {}},
        OperandCase{"six_digit_decimal", "123.456", "15432/125", {}},
        OperandCase{"long_decimal", "1234.567", "invalid", {"1234.567 ←小数の長さが長すぎます"}},
        OperandCase{"fraction", "3分の2", "2/3", {}},
        OperandCase{"fraction_unreduced", "4分の2", "2/4", {}},
        OperandCase{"negative_fraction", "-3分の2", "-2/3", {}},
        OperandCase{"fraction_letter", "3分の2x", "2x3", {}},
        OperandCase{"five_digits", "12345", "invalid", {"12345 ←数値は４桁以下にしてください"}},
        OperandCase{"zero_denominator", "0分の1", "invalid", {"0分の1 ←分母が０です"}},
        OperandCase{"no_numerator", "3分の", "invalid", {"3分の ←分数の表現があやまりです"}},
        OperandCase{"no_denominator", "分の2", "invalid", {"分の2 ←分数の表現があやまりです"}},
        OperandCase{"long_fraction_part", "12345分の1", "invalid", {"12345分の1 ←数値は４桁以下にしてください"}},
        OperandCase{"two_points", "1.2.3", "invalid", {"2.3 ←分数の表現があやまりです.."}},
        OperandCase{"lone_minus", "-", "invalid", {}},
        OperandCase{"empty", "", "0/1", {}},
        OperandCase{"zero", "0", "0/1", {}}),
    [](const ::testing::TestParamInfo<OperandCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace solvari
