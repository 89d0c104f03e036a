// Typesetting of equation lines onto a recording canvas: every piece, font and pixel position.
#include "transform/typeset.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

#include "engine/format.h"
#include "tests/support/fake_prompter.h"
#include "transform/recording_canvas.h"
#include "tests/support/read_text.h"

namespace solvari {
namespace {

using testing::readEquation;

using Op = RecordingCanvas::Op;
using Strings = std::vector<std::string>;

// Page boxes of chosen sizes; a number without a box yields nullptr.
class FakeBoxes : public PageBoxes {
public:
    RecordingCanvas& add(int n, int width, int height) {
        boxes[n] = std::make_unique<RecordingCanvas>(width, height);
        return *boxes[n];
    }
    Canvas* lineBox(int n) override {
        auto it = boxes.find(n);
        return it == boxes.end() ? nullptr : it->second.get();
    }
    std::map<int, std::unique_ptr<RecordingCanvas>> boxes;
};

Term T(int32_t num, int32_t den, char kind) { return Term{den, num, kind}; }

EquationLine lineOf(std::vector<Term> terms, std::string text = {}) {
    EquationLine line;
    for (const Term& t : terms) line.terms[static_cast<size_t>(line.count++)] = t;
    line.text = std::move(text);
    return line;
}

class TypesetTest : public ::testing::Test {
protected:
    Engine engine;
    FakeBoxes boxes;
    Typesetter ts{engine, boxes};
    // A page box as the 800-pixel layout makes it: 309 x 75, rowOffset 19.
    RecordingCanvas box{309, 75};

    EquationLine parsed(const std::string& text) {
        EXPECT_TRUE(readEquation(engine, 1, text)) << text;
        return engine.line(1);
    }
    Strings layout(const EquationLine& line, int n = 1) {
        box.reset();
        ts.layoutLine(box, n, false, line);
        return box.textStrings();
    }
};

// --- drawFraction and rowOffset ---

struct FractionCase {
    const char* name;
    const char* num;
    const char* den;
    int column;
    int charWidth;
    int boxHeight;
    int result;
    int barFrom, barTo, barY;  // barFrom < 0: no bar
    int numX, numY, denX, denY;  // denX < 0: no denominator text
};

class DrawFractionTest : public TypesetTest, public ::testing::WithParamInterface<FractionCase> {};

TEST_P(DrawFractionTest, PlacesTextsAndBar) {
    const FractionCase& c = GetParam();
    RecordingCanvas canvas(309, c.boxHeight);
    ts.charWidth = c.charWidth;
    EXPECT_EQ(ts.drawFraction(canvas, c.num, c.den, c.column), c.result);

    auto lines = canvas.only(Op::Line);
    if (c.barFrom < 0) {
        EXPECT_TRUE(lines.empty());
    } else {
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].x1, c.barFrom);
        EXPECT_EQ(lines[0].x2, c.barTo);
        EXPECT_EQ(lines[0].y1, c.barY);
        EXPECT_EQ(lines[0].y2, c.barY);
        EXPECT_EQ(lines[0].pen, BLACK);
    }
    auto texts = canvas.texts();
    const size_t expected = std::string(c.num).empty() ? 0 : c.denX < 0 ? 1 : 2;
    ASSERT_EQ(texts.size(), expected);
    if (expected >= 1) {
        EXPECT_EQ(texts[0].text, c.num);
        EXPECT_EQ(texts[0].x1, c.numX);
        EXPECT_EQ(texts[0].y1, c.numY);
    }
    if (expected == 2) {
        EXPECT_EQ(texts[1].text, c.den);
        EXPECT_EQ(texts[1].x1, c.denX);
        EXPECT_EQ(texts[1].y1, c.denY);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DrawFractionTest,
    ::testing::Values(
        FractionCase{"ThreeOverFour", "3", "4", 5, 10, 75, 3, 52, 72, 43, 54, 19, 54, 51},
        FractionCase{"TwelveOverFive", "12", "5", 5, 10, 75, 3, 52, 72, 43, 50, 19, 54, 51},
        FractionCase{"OneTwoFiveOverEight", "125", "8", 5, 10, 75, 5, 52, 92, 43, 54, 19, 62, 51},
        FractionCase{"EqualLengths", "25", "12", 2, 7, 75, 3, 16, 30, 43, 14, 19, 14, 51},
        FractionCase{"LowBoxHasNoOffset", "3", "4", 1, 10, 50, 3, 12, 32, 24, 14, 0, 14, 32},
        FractionCase{"NumeratorAloneInMiddleRow", "7", "", 3, 10, 75, 2, -1, 0, 0, 30, 35, -1, 0},
        FractionCase{"DecimalAlone", "0.25", "", 0, 6, 75, 5, -1, 0, 0, 0, 35, -1, 0},
        FractionCase{"EmptyNumeratorDrawsNothing", "", "4", 5, 10, 75, 0, -1, 0, 0, 0, 0, -1, 0},
        FractionCase{"EmptyBoth", "", "", 5, 10, 75, 0, -1, 0, 0, 0, 0, -1, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TypesetTest, RowOffsetDependsOnBoxHeight) {
    EXPECT_EQ(Typesetter::rowOffset(RecordingCanvas(300, 50)), 0);
    EXPECT_EQ(Typesetter::rowOffset(RecordingCanvas(300, 51)), 19);
    EXPECT_EQ(Typesetter::rowOffset(RecordingCanvas(300, 75)), 19);
}

// --- termText and fractionText ---

TEST_F(TypesetTest, TermTexts) {
    struct Row {
        Term t;
        FractionTexts expected;
    };
    const std::vector<Row> rows = {
        {T(3, 4, '/'), {"3", "4"}},       {T(-3, 4, '/'), {"3", "4"}},
        {T(5, 1, '/'), {"5", ""}},        {T(0, 5, '/'), {"0", ""}},
        {T(2, 3, '|'), {"2", "3"}},       {T(1, 1, '='), {"=", ""}},
        {T(1, 1, 'x'), {"", ""}},         {T(-1, 1, 'x'), {"", ""}},
        {T(0, 3, 'x'), {"0", ""}},         {T(1, 2, 'x'), {"1", "2"}},
        {T(-7, 1, 'y'), {"7", ""}},       {T(0, 1, '('), {"", ""}},
        {T(0, 1, KIND_CORNER_OPEN), {"", ""}},
    };
    for (const Row& r : rows) EXPECT_EQ(Typesetter::termText(r.t), r.expected) << termDump(r.t);
}

TEST_F(TypesetTest, FractionTextNeverSigned) {
    EXPECT_EQ(Typesetter::fractionText(4, -3), (FractionTexts{"3", "4"}));
    EXPECT_EQ(Typesetter::fractionText(1, -3), (FractionTexts{"3", ""}));
    EXPECT_EQ(Typesetter::fractionText(7, 0), (FractionTexts{"0", ""}));
}

// --- the pieces of a line ---

struct LayoutCase {
    const char* name;
    const char* text;  // parsed into line 1
    Strings pieces;
};

class LayoutPiecesTest : public TypesetTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(LayoutPiecesTest, DrawsThePieces) {
    EXPECT_EQ(layout(parsed(GetParam().text)), GetParam().pieces);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, LayoutPiecesTest,
    ::testing::Values(
        LayoutCase{"NoPlusAtStartOrAfterEquals", "2x-3=5", {"2", "x", "-", "3", "=", "5"}},
        LayoutCase{"PlusAfterTerm", "x+3=-5", {"x", "+", "3", "=", "-", "5"}},
        LayoutCase{"MinusOneBeforeBracketShowsSign", "x-(x+1)=2",
                   {"x", "-", "(", "x", "+", "1", ")", "=", "2"}},
        LayoutCase{"OneBeforeBracketShowsNothing", "(x+1)+2=5",
                   {"(", "x", "+", "1", ")", "+", "2", "=", "5"}},
        LayoutCase{"CoefficientBeforeBracket", "3(x-2)=x",
                   {"3", "(", "x", "-", "2", ")", "=", "x"}},
        LayoutCase{"OtherBrackets", "2[x+1]=-{x}", {"2", "[", "x", "+", "1", "]", "=", "-", "{", "x", "}"}},
        LayoutCase{"HalfXStacked", "1/2x=3", {"1", "2", "x", "=", "3"}},
        LayoutCase{"MinusOneX", "-x=3", {"-", "x", "=", "3"}},
        LayoutCase{"ZeroLetterTermKeepsItsZero", "1x+0x=4", {"x", "+", "0", "x", "=", "4"}},
        LayoutCase{"DecimalLetterIsOneText", "0.5x=2", {"0.5x", "=", "2"}},
        LayoutCase{"DecimalNumber", "x=0.25", {"x", "=", "0.25"}},
        LayoutCase{"BarGroup", "2|3(x+1)=4", {"2(x+1) ", "3", "=", "4"}},
        LayoutCase{"BarGroupOneOverThree", "1|3(x+1)=4", {"x+1", "3", "=", "4"}},
        LayoutCase{"NegativeBarGroup", "x-2|3(x+1)=4", {"x", "-", "2(x+1) ", "3", "=", "4"}},
        LayoutCase{"BarGroupWithFraction", "2|3(1/2x-1)=4", {"2(1/2x-1) ", "3", "=", "4"}},
        LayoutCase{"BarGroupNested", "1|2(x-(x+1))=3", {"x-(x+1)", "2", "=", "3"}},
        LayoutCase{"BarGroupSquareBrackets", "2|3[x+1]=4", {"2[x+1] ", "3", "=", "4"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TypesetTest, PiecePositionsAdvanceByCells) {
    layout(parsed("2x-3=5"));
    auto texts = box.texts();
    ASSERT_EQ(texts.size(), 6u);
    const int xs[] = {10, 30, 50, 70, 90, 110};  // x starts at cell 1; each piece 2 cells wide
    for (size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(texts[i].x1, xs[i]) << texts[i].text;
        EXPECT_EQ(texts[i].y1, 35) << texts[i].text;  // middle row: rowOffset 19 + 16
    }
}

TEST_F(TypesetTest, StackedCoefficientRowsAndBar) {
    layout(parsed("1/2x=3"));
    auto texts = box.texts();
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[0].y1, 19);  // numerator row
    EXPECT_EQ(texts[1].y1, 51);  // denominator row
    EXPECT_EQ(texts[2].x1, 40);  // the letter after the 3 cells of the fraction
    auto lines = box.only(Op::Line);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].x1, 12);
    EXPECT_EQ(lines[0].x2, 32);
    EXPECT_EQ(lines[0].y1, 43);
}

TEST_F(TypesetTest, DecimalsFallBackToFractions) {
    engine.hasDecimal = true;
    EXPECT_EQ(layout(lineOf({T(1, 3, 'x'), T(0, 1, '='), T(1, 2, '/')})), (Strings{"1", "3", "x", "=", "0.5"}));
    EXPECT_EQ(layout(lineOf({T(-3, 4, 'x'), T(0, 1, '='), T(2, 1, '/')})), (Strings{"-", "0.75x", "=", "2"}));
    engine.hasDecimal = false;
    EXPECT_EQ(layout(lineOf({T(1, 2, 'x'), T(0, 1, '='), T(1, 4, '/')})), (Strings{"1", "2", "x", "=", "1", "4"}));
}

TEST_F(TypesetTest, BarGroupIsOneStackedPiece) {
    layout(parsed("2|3(x+1)=4"));
    auto texts = box.texts();
    ASSERT_EQ(texts.size(), 4u);
    // "2(x+1) " is 7 bytes: w = 8, the numerator shifted 4 pixels and the denominator 28.
    EXPECT_EQ(texts[0].x1, 14);
    EXPECT_EQ(texts[0].y1, 19);
    EXPECT_EQ(texts[1].x1, 38);
    EXPECT_EQ(texts[1].y1, 51);
    EXPECT_EQ(texts[2].x1, 100);  // 1 + 9 cells
    auto lines = box.only(Op::Line);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].x2, 92);
}

TEST_F(TypesetTest, BarGroupHandBuilt) {
    // Coefficient 1 over 1: nothing to stack, so the brackets stay and each piece takes its
    // cells as elsewhere in the line: no squeezed text, no gap of empty cells before "=".
    EXPECT_EQ(layout(lineOf({T(1, 1, '|'), T(0, 1, '('), T(1, 1, 'x'), T(12, 1, '/'), T(0, 1, ')'),
                             T(0, 1, '='), T(2, 1, '/')})),
              (Strings{"(", "x", "+", "12", ")", "=", "2"}));
    EXPECT_TRUE(box.only(Op::Line).empty());
    EXPECT_EQ(box.texts()[5].x1, (1 + 2 + 2 + 2 + 3 + 2) * 10);  // "=" in the cell after ")"
    // While decimals are shown, the terms inside read as decimals.
    engine.hasDecimal = true;
    EXPECT_EQ(layout(lineOf({T(2, 3, '|'), T(0, 1, '('), T(1, 2, 'x'), T(1, 4, '/'), T(0, 1, ')'),
                             T(0, 1, '='), T(1, 1, '/')})),
              (Strings{"2(0.5x+0.25) ", "3", "=", "1"}));
}

TEST_F(TypesetTest, LoneBarNumberIsAPlainFraction) {
    // No bracket after the bar number: it is drawn as a number and the rest of the line shows.
    EXPECT_EQ(layout(lineOf({T(1, 2, '|'), T(1, 1, 'x'), T(0, 1, '='), T(3, 1, '/')})),
              (Strings{"1", "2", "+", "x", "=", "3"}));
    EXPECT_EQ(box.only(Op::Line).size(), 1u);
    EXPECT_EQ(layout(lineOf({T(1, 1, 'x'), T(0, 1, '='), T(-1, 2, '|')})), (Strings{"x", "=", "-", "1", "2"}));
}

TEST_F(TypesetTest, UnclosedBarGroupStillShows) {
    EXPECT_EQ(layout(lineOf({T(2, 3, '|'), T(0, 1, '('), T(1, 1, 'x'), T(1, 1, '/')})),
              (Strings{"2(x+1", "3"}));
    EXPECT_EQ(layout(lineOf({T(2, 3, '|'), T(0, 1, '('), T(1, 1, 'x'), T(0, 1, '='), T(5, 1, '/')})),
              (Strings{"2(x", "3", "=", "5"}));
}

TEST_F(TypesetTest, CornerBracketsDrawNothing) {
    EXPECT_EQ(layout(lineOf({T(0, 1, KIND_CORNER_OPEN), T(2, 1, 'x'), T(0, 1, KIND_CORNER_CLOSE),
                             T(0, 1, '='), T(1, 1, '/')})),
              (Strings{"+", "2", "x", "=", "1"}));
}

// --- fonts and modes ---

TEST_F(TypesetTest, ModeBySizeAndTermCount) {
    std::vector<Term> terms;
    for (int i = 0; i < 9; ++i) {
        terms.push_back(T(1, 1, 'x'));
        terms.push_back(T(1, 1, '/'));
    }
    terms.push_back(T(0, 1, '='));
    EquationLine nineteen = lineOf(terms);
    terms.push_back(T(1, 1, '/'));
    EquationLine twenty = lineOf(terms);

    struct Row {
        const EquationLine* line;
        bool compact;
        int size;
        int charWidth;
    };
    for (const Row& r : {Row{&nineteen, false, 16, 10}, Row{&twenty, false, 12, 7},
                         Row{&nineteen, true, 9, 6}, Row{&twenty, true, 9, 6}}) {
        RecordingCanvas canvas(2000, 75);
        ts.layoutLine(canvas, 1, r.compact, *r.line);
        auto fonts = canvas.only(Op::Font);
        ASSERT_EQ(fonts.size(), 1u);
        EXPECT_EQ(fonts[0].font, (FontSpec{"Bookman Old Style", r.size, CHARSET_ANSI, false, true}));
        EXPECT_EQ(ts.charWidth, r.charWidth);
        EXPECT_EQ(canvas.texts().front().x1, r.charWidth);  // the first piece at cell 1
    }
}

TEST_F(TypesetTest, FontsFollowTheHolders) {
    ts.fntNum = FontSpec{"Century", 12, CHARSET_ANSI, true, false};
    ts.fntKnj = FontSpec{"ＭＳ 明朝", 14, CHARSET_ANSI, false, true};
    EXPECT_EQ(ts.equationFont(16), (FontSpec{"Century", 16, CHARSET_ANSI, true, true}));
    EXPECT_EQ(ts.sentenceFont(), (FontSpec{"ＭＳ 明朝", 14, CHARSET_SHIFTJIS, false, false}));
}

// --- fitting and drawLine ---

TEST_F(TypesetTest, FitsOnlyWhenEndingMoreThan32PixelsBeforeTheEdge) {
    EquationLine line = parsed("2x-3=5");  // the last piece "5" at 110 ends at 118
    RecordingCanvas tight(150, 75), roomy(151, 75);
    EXPECT_FALSE(ts.layoutLine(tight, 1, false, line));
    EXPECT_TRUE(ts.layoutLine(roomy, 1, false, line));
}

TEST_F(TypesetTest, DrawLineThatFitsKeepsSentenceAndAddsLabel) {
    RecordingCanvas& b = boxes.add(1, 309, 75);
    parsed("2x-3=5");
    EXPECT_TRUE(ts.drawLine(1).empty());
    EXPECT_TRUE(b.only(Op::Clear).empty());
    EXPECT_EQ(b.textStrings(), (Strings{"2", "x", "-", "3", "=", "5", "①"}));
    auto label = b.texts().back();
    EXPECT_EQ(label.x1, 277);
    EXPECT_EQ(label.y1, 35);
    EXPECT_EQ(label.font, ts.sentenceFont());
}

TEST_F(TypesetTest, DrawLineTooWideIsRedrawnCompactWithSentence) {
    RecordingCanvas& b = boxes.add(3, 120, 75);
    engine.line(3) = parsed("2x-3=5");
    engine.line(3).text = "①式を整理すると";
    EXPECT_TRUE(ts.drawLine(3).empty());
    EXPECT_EQ(b.textStrings(), (Strings{"2", "x", "-", "3", "=", "5", "①式を整理すると", "2", "x", "-", "3",
                                        "=", "5", "③"}));
    std::vector<Op> ops;
    for (const auto& c : b.calls)
        if (c.op != Op::Text) ops.push_back(c.op);
    EXPECT_EQ(ops, (std::vector<Op>{Op::Font, Op::Clear, Op::Font, Op::Font, Op::Font}));
    auto fonts = b.only(Op::Font);
    EXPECT_EQ(fonts[0].font.pixelSize, 16);
    EXPECT_EQ(fonts[1].font, ts.sentenceFont());
    EXPECT_EQ(fonts[2].font.pixelSize, 9);
    EXPECT_EQ(ts.charWidth, 6);
    auto texts = b.texts();
    EXPECT_EQ(texts[6].x1, 0);
    EXPECT_EQ(texts[6].y1, 0);
    EXPECT_EQ(texts[7].x1, 6);  // compact cells are 6 pixels
}

TEST_F(TypesetTest, CompactDrawingStandsEvenWhenItDoesNotFit) {
    RecordingCanvas& b = boxes.add(2, 40, 75);
    engine.line(2) = parsed("2x-3=5");
    EXPECT_TRUE(ts.drawLine(2).empty());
    EXPECT_EQ(b.only(Op::Clear).size(), 1u);
    EXPECT_EQ(b.textStrings().back(), "②");
}

TEST_F(TypesetTest, DrawLineOfMissingBoxSaysSo) {
    boxes.add(1, 309, 75);
    EXPECT_EQ(testing::shownAs(ts.drawLine(15)), (Strings{"15box not fond"}));
    EXPECT_TRUE(boxes.boxes[1]->calls.empty());
}

TEST_F(TypesetTest, AnswerLineStartsAfterPrefixHalfWayDown) {
    RecordingCanvas& b = boxes.add(ANSWER_LINE, 272, 76);
    engine.line(ANSWER_LINE) = parsed("x=3");
    EXPECT_TRUE(ts.drawLine(ANSWER_LINE).empty());
    auto texts = b.texts();
    ASSERT_EQ(texts.size(), 4u);  // no label for the answer line
    EXPECT_EQ(texts[0].text, "【答】　");
    EXPECT_EQ(texts[0].x1, 0);
    EXPECT_EQ(texts[0].y1, 38);
    EXPECT_EQ(texts[0].font, ts.sentenceFont());
    // The prefix ends at 64: x = 64 / 16 + 2 = 6 cells.
    EXPECT_EQ(texts[1].text, "x");
    EXPECT_EQ(texts[1].x1, 60);
    EXPECT_EQ(texts[1].y1, 35);
    EXPECT_EQ(texts[3].text, "3");
}

TEST_F(TypesetTest, AnswerPrefixOnlyForTheAnswerLine) {
    EXPECT_EQ(layout(parsed("x=3"), 15), (Strings{"x", "=", "3"}));
}

// --- sentences, answer texts, labels, frames ---

TEST_F(TypesetTest, DrawSentenceReturnsPenX) {
    RecordingCanvas& b = boxes.add(2, 309, 75);
    EXPECT_EQ(ts.drawSentence(2, "①式の両辺を2で割ると"), 6 * 16 + 8 + 4 * 16);
    auto texts = b.texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].x1, 0);
    EXPECT_EQ(texts[0].y1, 0);
    EXPECT_EQ(texts[0].font, ts.sentenceFont());
    EXPECT_EQ(ts.drawSentence(9, "①式"), 0);
}

TEST_F(TypesetTest, DrawTextAtUsesTheSentenceFont) {
    RecordingCanvas c(100, 40);
    EXPECT_EQ(ts.drawTextAt(5, 7, c, "ab"), 21);
    ASSERT_EQ(c.texts().size(), 1u);
    EXPECT_EQ(c.texts()[0].y1, 7);
    EXPECT_EQ(c.font(), ts.sentenceFont());
}

TEST_F(TypesetTest, DrawAnswerTextShowsClearsAndWritesAThirdDown) {
    RecordingCanvas& b = boxes.add(ANSWER_LINE, 272, 76);
    b.visible = false;
    ts.fntKnj.pixelSize = 12;
    ts.drawAnswerText(ANSWER_LINE, "【答】解なし");
    EXPECT_TRUE(b.visible);
    std::vector<Op> ops;
    for (const auto& c : b.calls) ops.push_back(c.op);
    EXPECT_EQ(ops, (std::vector<Op>{Op::Visible, Op::Clear, Op::Font, Op::Text}));
    EXPECT_EQ(b.font(), (FontSpec{"ＭＳ Ｐゴシック", 16, CHARSET_SHIFTJIS, false, false}));
    EXPECT_EQ(b.texts()[0].x1, 0);
    EXPECT_EQ(b.texts()[0].y1, 25);
    ts.drawAnswerText(7, "【答】解なし");  // no box: nothing
}

TEST_F(TypesetTest, LineLabels) {
    struct Row {
        int n, width, height;
        const char* label;
        int x, y;
    };
    for (const Row& r : {Row{1, 309, 75, "①", 277, 35}, Row{2, 200, 50, "②", 168, 16},
                         Row{12, 309, 75, "⑫", 277, 35}, Row{13, 309, 75, "⑬", 277, 35},
                         Row{14, 201, 70, "⑭", 169, 35}}) {
        RecordingCanvas& b = boxes.add(r.n, r.width, r.height);
        ts.drawLineLabel(r.n);
        auto texts = b.texts();
        ASSERT_EQ(texts.size(), 1u) << r.n;
        EXPECT_EQ(texts[0].text, r.label);
        EXPECT_EQ(texts[0].x1, r.x) << r.n;
        EXPECT_EQ(texts[0].y1, r.y) << r.n;
        EXPECT_EQ(texts[0].font, ts.sentenceFont());
    }
    RecordingCanvas& answer = boxes.add(ANSWER_LINE, 272, 76);
    ts.drawLineLabel(ANSWER_LINE);
    ts.drawLineLabel(5);  // no box
    EXPECT_TRUE(answer.calls.empty());
}

TEST_F(TypesetTest, HoverFrame) {
    RecordingCanvas c(309, 75);
    Typesetter::drawFrame(c, RED);
    Typesetter::drawFrame(c, WHITE);
    auto rects = c.only(Op::Rectangle);
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[0].x1, 1);
    EXPECT_EQ(rects[0].y1, 0);
    EXPECT_EQ(rects[0].x2, 308);
    EXPECT_EQ(rects[0].y2, 74);
    EXPECT_EQ(rects[0].pen, RED);
    EXPECT_EQ(rects[1].pen, WHITE);
}

TEST_F(TypesetTest, ClearBoxPaintsWhite) {
    RecordingCanvas c(10, 10);
    Typesetter::clearBox(c);
    EXPECT_EQ(c.only(Op::Clear).size(), 1u);
}

// --- the letter side effect ---

TEST_F(TypesetTest, DrawingRecordsTheLetter) {
    EquationLine line = parsed("2y=4");
    engine.letter = 'x';
    layout(line);
    EXPECT_EQ(engine.letter, 'y');

    engine.letter = '@';
    layout(lineOf({T(1, 2, '|'), T(0, 1, '('), T(1, 1, 'a'), T(1, 1, '/'), T(0, 1, ')'), T(0, 1, '='),
                   T(3, 1, '/')}));
    EXPECT_EQ(engine.letter, 'a');
    EXPECT_EQ(box.textStrings().front(), "a+1");

    engine.letter = '@';
    layout(lineOf({T(3, 1, '/'), T(0, 1, '='), T(4, 1, '/')}));
    EXPECT_EQ(engine.letter, '@');  // a line without a letter leaves it as it was
}

// --- the textbook style of the printed sheets ---

// 3(x−1) as a textbook prints it: a true minus, no blank inside the pieces, the pieces of a
// term touching, the same air on both sides of a sign between terms and none after the sign
// of a negative number; digits upright and the letter italic.
TEST_F(TypesetTest, TextbookStyleSetsMinusSignsAndSpacingLikeAPrintedPage) {
    RecordingCanvas paper(600, 100);
    ts.drawTextbook(paper, 10, 50, parsed("3(x-1)=-2x"), 16);
    const std::vector<RecordingCanvas::Call> t = paper.texts();
    std::string joined;
    for (const RecordingCanvas::Call& c : t) {
        EXPECT_EQ(c.text.find(' '), std::string::npos) << c.text;
        EXPECT_EQ(c.text.find('-'), std::string::npos) << "a hyphen for a minus: " << c.text;
        EXPECT_EQ(c.font.italic, c.text == "x") << c.text;
        joined += c.text;
    }
    ASSERT_EQ(joined, "3(x\u22121)=\u22122x");
    ASSERT_EQ(t.size(), 10u);
    EXPECT_EQ(t[0].x1, 10);
    for (size_t i : {1u, 2u, 5u, 8u, 9u}) EXPECT_EQ(t[i].x1, t[i - 1].x2) << "tight before " << t[i].text;
    const int beforeMinus = t[3].x1 - t[2].x2, afterMinus = t[4].x1 - t[3].x2;
    EXPECT_GT(beforeMinus, 0);
    EXPECT_EQ(beforeMinus, afterMinus) << "a sign between terms stands in even air";
    EXPECT_EQ(t[7].x1, t[6].x2 + (t[6].x1 - t[5].x2)) << "the sign after = as far from it as = from x";
    EXPECT_EQ(t[8].x1, t[7].x2) << "a negative number's sign is tight to it";

    // the page's own layout of the same line is untouched: its cells and its hyphen
    EXPECT_EQ(layout(parsed("3(x-1)=-2x")), (Strings{"3", "(", "x", "-", "1", ")", "=", "-", "2", "x"}));
}

// A bracket group over its denominator: one bar, as wide as the numerator and a little more,
// the numerator centred over it on a higher baseline and the denominator under it.
TEST_F(TypesetTest, TextbookStyleStacksAGroupOverItsBar) {
    RecordingCanvas paper(600, 100);
    const int end = ts.drawTextbook(paper, 0, 50, parsed("2|3(x-1)=4"), 16);
    const std::vector<RecordingCanvas::Call> bars = paper.only(Op::Line), t = paper.texts();
    ASSERT_EQ(bars.size(), 1u);
    ASSERT_EQ(paper.textStrings(), (Strings{"2", "(", "x", "\u2212", "1", ")", "3", "=", "4"}));
    const int numLeft = t[0].x1, numRight = t[5].x2;
    EXPECT_LT(bars[0].x1, numLeft);
    EXPECT_GT(bars[0].x2, numRight);
    EXPECT_EQ(numLeft - bars[0].x1, bars[0].x2 - numRight);
    EXPECT_EQ(t[6].x1 - bars[0].x1, bars[0].x2 - t[6].x2) << "the denominator centred";
    EXPECT_LT(t[0].y1, bars[0].y1);
    EXPECT_GT(t[6].y1, bars[0].y1);
    EXPECT_EQ(t[8].x2, end);
    // the measure agrees with the drawing, and a stacked line reaches higher than a plain one
    RecordingCanvas dry(600, 100);
    const TextbookExtent stacked = ts.measureTextbook(dry, parsed("2|3(x-1)=4"), 16);
    EXPECT_EQ(stacked.width, end);
    EXPECT_TRUE(dry.texts().empty());
    EXPECT_GT(stacked.above, ts.measureTextbook(dry, parsed("3x=4"), 16).above);
}

}  // namespace
}  // namespace solvari
