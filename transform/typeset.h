#pragma once
#include <string>
#include <utility>
#include <vector>

#include "engine/engine.h"
#include "transform/canvas.h"

namespace solvari {

// A piece of a typeset line: numerator text and denominator text. An empty denominator means
// the piece stands alone in the middle row; an empty numerator means nothing is drawn.
using FractionTexts = std::pair<std::string, std::string>;

// Where a line set in the textbook style reaches, about its baseline, in pixels.
struct TextbookExtent {
    int width = 0;  // from the left of the first piece to the pen after the last
    int above = 0;  // how far its type may reach above the baseline
    int below = 0;  // and below it
};

// Typesets equation lines onto the boxes of the equation page: numbers as stacked fractions
// (or decimals while the engine shows decimals), signs, brackets, '=' and the letter as
// separate pieces left to right on three text rows; the sentence above the line, the answer
// prefix and the circled line label at the right edge.
//
// State kept between calls: only charWidth (the cell width of the last mode drawn) and the
// engine's letter (the last letter drawn, which the verdict compares against).
class Typesetter {
public:
    Typesetter(Engine& engine, PageBoxes& boxes);

    // Width in pixels of one layout cell; set by layoutLine from the mode it draws in.
    int charWidth = 12;
    // The main window's two font holders: the equation face and the sentence face.
    FontSpec fntNum{"Bookman Old Style", 12, CHARSET_ANSI, false, true};
    FontSpec fntKnj{"ＭＳ Ｐゴシック", 16, CHARSET_SHIFTJIS, false, false};

    // 19 for a box higher than 50 pixels, else 0: the top of row 0. Rows lie 16 pixels apart;
    // a fraction bar lies at rowOffset + 24.
    static int rowOffset(const Canvas& box);

    // Draws one number at layout column `column` and returns the cells it used, one cell of
    // spacing included: 0 for an empty numerator; numerator alone in row 1 when the
    // denominator is empty; otherwise numerator over a bar over denominator.
    int drawFraction(Canvas& box, const std::string& num, const std::string& den, int column);

    // Draws the terms of `line` into `box`; true when the drawing ends more than 32 pixels
    // before the box's right edge. n only tells whether this is the answer line (16).
    bool layoutLine(Canvas& box, int n, bool compact, const EquationLine& line);

    // Draws engine line n into page box n (16: the answer box), redrawing it compact with its
    // sentence when the normal layout does not fit, then the line's label. Without box n it
    // draws nothing and returns the notice for the caller to show.
    [[nodiscard]] std::vector<Diagnostic> drawLine(int n);

    // How far below the top of a box higher than 50 pixels the lowest text row of `line`
    // starts (a stacked fraction's denominator row lies two rows below a plain line's row);
    // the type's own depth below that top is the caller's to add. Draws nothing and keeps
    // the engine's letter.
    int lowestRowTop(const EquationLine& line);

    // Writes text in the sentence font at (0, 0) of page box n; the pen's x after it, or 0
    // when there is no box n.
    int drawSentence(int n, const std::string& text);

    // Writes text in the sentence font at (x, y) of `box`; the pen's x after it.
    int drawTextAt(int x, int y, Canvas& box, const std::string& text);

    // Shows page box n, clears it and writes text (size 16) a third of the way down.
    void drawAnswerText(int n, const std::string& text);

    static void clearBox(Canvas& box);

    // The line's circled number in row 1, 32 pixels from the right edge; nothing for the
    // answer line or a missing box.
    void drawLineLabel(int n);

    // The hover frame of a line box: red to draw it, white to erase it.
    static void drawFrame(Canvas& box, Color pen);

    // Numerator and denominator text of a term (never signed).
    static FractionTexts termText(Term t);
    static FractionTexts fractionText(int32_t den, int32_t num);

    // The sentence font: fntKnj's face and size, Shift-JIS, never italic.
    FontSpec sentenceFont() const;
    // The equation font at a pixel size: fntNum's face, ANSI, always italic.
    FontSpec equationFont(int pixelSize) const;

    // The printed sheets' style, the way a textbook sets an equation: digits, signs and
    // brackets upright, the letter italic, a true minus sign (U+2212), each piece placed by its
    // own width, with a medium space around a + or − between terms, a wider one around =, and
    // none after the sign of a negative number; a fraction stacked over a bar at the minus
    // sign's height, numerator and denominator centred on it. Drawn by the baseline, at any
    // size. The screen keeps its layout in cells (layoutLine); nothing here touches it.
    // Decimals follow the engine's hasDecimal, as on the page; the engine's letter is kept.
    FontSpec fntTextbook{"Century", 16, CHARSET_ANSI, false, false};
    FontSpec textbookFont(int pixelSize, bool italic) const;
    // Measures without drawing (the canvas's font changes).
    TextbookExtent measureTextbook(Canvas& box, const EquationLine& line, int pixelSize);
    // Draws with the first piece's left at x; returns the pen's x after the last piece.
    int drawTextbook(Canvas& box, int x, int baseline, const EquationLine& line, int pixelSize);
    static constexpr const char* MINUS_SIGN = "\u2212";

    static constexpr const char* ANSWER_PREFIX = "【答】　";
    static constexpr const char* MISSING_BOX = "box not fond";

private:
    struct BarGroup;
    struct Atom;
    using Run = std::vector<Atom>;

    Run textbookRun(const EquationLine& line);
    void textbookGroupTerm(Run& run, const EquationLine& line, int i, bool afterOpen);
    int placeRun(Canvas& box, const Run& run, int x, int baseline, int pixelSize, bool draw);
    static void pushSign(Run& run, bool negative);
    static int gapBetween(const Atom* before, const Atom& next, int pixelSize);

    Engine& engine_;
    PageBoxes& boxes_;
    int penX_ = 0;  // pen x after the last text drawn by layoutLine's pieces
    int lowestRow_ = 0;  // the lowest row drawFraction wrote on (1 the middle row, 2 a denominator)

    Canvas* box(int n);
    void piece(Canvas& box, const FractionTexts& texts, int& x);
    void signPiece(Canvas& box, const EquationLine& line, int i, int& x);
    std::string groupTermText(const EquationLine& line, int i, bool afterOpen);
    void closeGroup(Canvas& box, BarGroup& g, int& x);
};

}  // namespace solvari
