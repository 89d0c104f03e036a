#include "transform/typeset.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "engine/format.h"
#include "engine/sjis.h"
#include "transform/line_marks.h"

namespace solvari {

namespace {

// Rows are 16 pixels apart; the bar sits between the numerator row and the denominator row.
constexpr int ROW_STEP = 16;
constexpr int BAR_DROP = 24;
// Centring shift per missing character, whatever the cell width.
constexpr int CENTRE_SHIFT = 4;
// The drawing must end this far before the right edge to count as fitting (room for the label).
constexpr int FIT_MARGIN = 32;
constexpr int LONG_LINE_TERMS = 20;

struct Mode {
    int size;
    int charWidth;
};
constexpr Mode NORMAL{16, 10};
constexpr Mode LONG_LINE{12, 7};
constexpr Mode COMPACT{9, 6};

// Lengths count Shift-JIS bytes. Pieces are nearly always ASCII, which needs no conversion.
int byteLength(const std::string& text) {
    const bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return static_cast<int>(ascii ? text.size() : sjisLength(text));
}

bool isUnit(Term t) { return t.den == 1 && (t.num == 1 || t.num == -1); }

bool isNumberKind(char k) { return k == KIND_NUMBER || k == KIND_BAR; }

std::string decimalOrFraction(Term t, bool showDecimals) {
    if (showDecimals) {
        std::string d = formatDecimal(t);
        if (!d.empty()) return d;
    }
    auto [num, den] = Typesetter::fractionText(t.den, t.num);
    return den.empty() ? num : num + "/" + den;
}

}  // namespace

// A bar number and the bracket group after it, drawn as one stacked fraction: the group's
// text is collected into the numerator and drawn when its own closing bracket arrives.
struct Typesetter::BarGroup {
    bool open = false;
    Term coefficient{};
    std::string num;
    std::string den;
    int depth = 0;  // brackets opened inside the group and not yet closed, its own included
    // A coefficient 1 over a denominator needs no brackets: 1|3(x+1) shows x+1 over 3.
    bool bare() const { return std::abs(coefficient.num) == 1 && coefficient.den != 1; }
};

Typesetter::Typesetter(Engine& engine, PageBoxes& boxes) : engine_(engine), boxes_(boxes) {}

int Typesetter::rowOffset(const Canvas& box) { return box.height() > 50 ? 19 : 0; }

FontSpec Typesetter::sentenceFont() const {
    return FontSpec{fntKnj.face, fntKnj.pixelSize, CHARSET_SHIFTJIS, fntKnj.bold, false};
}

FontSpec Typesetter::equationFont(int pixelSize) const {
    return FontSpec{fntNum.face, pixelSize, CHARSET_ANSI, fntNum.bold, true};
}

int Typesetter::drawFraction(Canvas& box, const std::string& num, const std::string& den, int column) {
    if (num.empty()) return 0;
    const int top = rowOffset(box);
    const int x = column * charWidth;
    const int numLen = byteLength(num);
    if (den.empty()) {
        penX_ = box.textOut(x, top + ROW_STEP, num);
        lowestRow_ = std::max(lowestRow_, 1);
        return numLen + 1;
    }
    lowestRow_ = 2;
    const int denLen = byteLength(den);
    int w = std::max(numLen, denLen);
    w += w % 2;
    box.line(x + 2, top + BAR_DROP, x + 2 + charWidth * w, top + BAR_DROP, BLACK);
    penX_ = box.textOut(x + (w - numLen) * CENTRE_SHIFT, top, num);
    // The middle row of a fraction stays empty; writing "" there would show nothing.
    penX_ = box.textOut(x + (w - denLen) * CENTRE_SHIFT, top + 2 * ROW_STEP, den);
    return w + 1;
}

void Typesetter::piece(Canvas& box, const FractionTexts& texts, int& x) {
    x += drawFraction(box, texts.first, texts.second, x);
}

void Typesetter::signPiece(Canvas& box, const EquationLine& line, int i, int& x) {
    const Term& t = line.terms[static_cast<size_t>(i)];
    if (t.num >= 0 && needsPlusSign(line, i)) piece(box, {"+", ""}, x);
    else if (t.num < 0) piece(box, {"-", ""}, x);
}

// One term of a bar group as plain text: sign, magnitude and letter. The stacked layout has
// only one numerator row, so a fraction inside the group reads "1/2" and a decimal "0.5"
// (while decimals are shown) rather than being dropped. A coefficient ±1 before a bracket
// shows only its sign, as outside a group.
std::string Typesetter::groupTermText(const EquationLine& line, int i, bool afterOpen) {
    const Term& u = line.terms[static_cast<size_t>(i)];
    const bool letter = isLetterKind(u.kind);
    if (!letter && !isNumberKind(u.kind)) return "";  // corner brackets and stray kinds
    std::string text;
    if (u.num < 0) text = "-";
    else if (!afterOpen) text = "+";
    if (letter) {
        engine_.letter = u.kind;
        const std::string d = engine_.hasDecimal ? formatDecimal(u) : std::string();
        if (!d.empty()) {
            text += d;
        } else {
            auto [num, den] = termText(u);
            text += den.empty() ? num : num + "/" + den;
        }
        text += u.kind;
        return text;
    }
    const char next = i + 1 < line.count ? line.terms[static_cast<size_t>(i + 1)].kind : '\0';
    if (isUnit(u) && isOpenBracket(next)) return text;
    return text + decimalOrFraction(u, engine_.hasDecimal);
}

void Typesetter::closeGroup(Canvas& box, BarGroup& g, int& x) {
    if (g.coefficient.den != 1) {
        piece(box, {g.num, g.den}, x);
    } else {
        // Nothing to stack: the group reads like the rest of the line, a number (with its
        // point or slash) or one sign, letter or bracket per piece. As one text it would
        // stand squeezed in proportional type, with the cells of its bytes left empty after it.
        for (size_t i = 0; i < g.num.size();) {
            size_t end = i + 1;
            auto numeric = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '/'; };
            if (numeric(g.num[i])) {
                while (end < g.num.size() && numeric(g.num[end])) ++end;
            }
            if (g.num[i] != ' ') piece(box, {g.num.substr(i, end - i), ""}, x);
            i = end;
        }
    }
    g.open = false;
}

bool Typesetter::layoutLine(Canvas& box, int n, bool compact, const EquationLine& line) {
    int x = 1;
    penX_ = 0;
    if (n == ANSWER_LINE) {
        penX_ = drawTextAt(0, box.height() / 2, box, ANSWER_PREFIX);
        x = penX_ / 16 + 2;
    }
    const Mode mode = compact ? COMPACT : (line.count >= LONG_LINE_TERMS ? LONG_LINE : NORMAL);
    box.setFont(equationFont(mode.size));
    charWidth = mode.charWidth;

    const int count = std::clamp(line.count, 0, LINE_CAPACITY);
    BarGroup group;
    for (int i = 0; i < count; ++i) {
        const Term& t = line.terms[static_cast<size_t>(i)];
        const char next = i + 1 < count ? line.terms[static_cast<size_t>(i + 1)].kind : '\0';
        const char prev = i > 0 ? line.terms[static_cast<size_t>(i - 1)].kind : '(';

        if (group.open) {
            if (isOpenBracket(t.kind)) {
                if (group.depth == 0) {
                    if (std::abs(group.coefficient.num) == 1) group.num.clear();
                    if (!group.bare()) group.num += t.kind;
                } else {
                    group.num += t.kind;
                }
                ++group.depth;
                continue;
            }
            if (isCloseBracket(t.kind)) {
                if (--group.depth > 0) {
                    group.num += t.kind;
                    continue;
                }
                if (!group.bare()) {
                    group.num += t.kind;
                    group.num += ' ';
                }
                closeGroup(box, group, x);
                continue;
            }
            if (t.kind != KIND_EQUALS) {
                group.num += groupTermText(line, i, isOpenBracket(prev));
                continue;
            }
            // A group left open at '=' (only a hand-built line has one) is drawn as it stands.
            closeGroup(box, group, x);
        }

        if (t.kind == KIND_EQUALS) {
            piece(box, {"=", ""}, x);
        } else if (isOpenBracket(t.kind) || isCloseBracket(t.kind)) {
            piece(box, {std::string(1, t.kind), ""}, x);
        } else if (t.kind == KIND_NUMBER || (t.kind == KIND_BAR && !isOpenBracket(next))) {
            // A bar number with no bracket after it has no group to carry: it is drawn as the
            // plain number it is, so the rest of the line still shows.
            signPiece(box, line, i, x);
            const std::string d = engine_.hasDecimal ? formatDecimal(t) : std::string();
            if (!d.empty()) piece(box, {d, ""}, x);
            else if (!(isUnit(t) && isOpenBracket(next))) piece(box, termText(t), x);
        } else if (isLetterKind(t.kind)) {
            engine_.letter = t.kind;
            signPiece(box, line, i, x);
            const std::string d = engine_.hasDecimal ? formatDecimal(t) : std::string();
            if (!d.empty()) {
                piece(box, {d + t.kind, ""}, x);
            } else {
                piece(box, termText(t), x);
                piece(box, {std::string(1, t.kind), ""}, x);
            }
        } else if (t.kind == KIND_BAR) {
            group = BarGroup{};
            group.open = true;
            group.coefficient = t;
            group.num = std::to_string(std::llabs(static_cast<long long>(t.num)));
            group.den = std::to_string(t.den);
            signPiece(box, line, i, x);
        }
        // Any other kind (the corner brackets) draws nothing.
    }
    // A line that ends inside a group still shows what the group collected.
    if (group.open) closeGroup(box, group, x);
    return penX_ < box.width() - FIT_MARGIN;
}

Canvas* Typesetter::box(int n) { return boxes_.lineBox(n); }

std::vector<Diagnostic> Typesetter::drawLine(int n) {
    Canvas* b = n >= 0 && n < LINE_COUNT ? box(n) : nullptr;
    if (!b) return {Diagnostic::information(std::to_string(n) + MISSING_BOX)};
    const EquationLine& line = engine_.line(n);
    if (!layoutLine(*b, n, false, line)) {
        clearBox(*b);
        drawSentence(n, line.text);
        layoutLine(*b, n, true, line);
    }
    drawLineLabel(n);
    return {};
}

namespace {
// A tall box that keeps nothing: laying a line out on it only tells which rows it takes.
class MeasuringBox : public Canvas {
public:
    void setFont(const FontSpec& font) override { font_ = font; }
    FontSpec font() const override { return font_; }
    int textOut(int x, int, const std::string& utf8) override { return x + static_cast<int>(utf8.size()) * 8; }
    void line(int, int, int, int, Color) override {}
    void rectangle(int, int, int, int, Color) override {}
    void clear() override {}
    int width() const override { return 1 << 20; }
    int height() const override { return 64; }
    void setVisible(bool) override {}

private:
    FontSpec font_;
};
}  // namespace

int Typesetter::lowestRowTop(const EquationLine& line) {
    MeasuringBox box;
    const char letter = engine_.letter;
    const int cellWidth = charWidth;
    lowestRow_ = 1;
    layoutLine(box, 0, false, line);
    engine_.letter = letter;
    charWidth = cellWidth;
    return rowOffset(box) + lowestRow_ * ROW_STEP;
}

int Typesetter::drawSentence(int n, const std::string& text) {
    Canvas* b = box(n);
    if (!b) return 0;
    return drawTextAt(0, 0, *b, text);
}

int Typesetter::drawTextAt(int x, int y, Canvas& box, const std::string& text) {
    box.setFont(sentenceFont());
    return box.textOut(x, y, text);
}

// The answer texts use the sentence face with the Shift-JIS character set at size 16, rather
// than whatever face the box's last drawing happened to leave.
void Typesetter::drawAnswerText(int n, const std::string& text) {
    Canvas* b = box(n);
    if (!b) return;
    b->setVisible(true);
    clearBox(*b);
    FontSpec font = sentenceFont();
    font.pixelSize = 16;
    b->setFont(font);
    b->textOut(0, b->height() / 3, text);
}

void Typesetter::clearBox(Canvas& box) { box.clear(); }

void Typesetter::drawLineLabel(int n) {
    if (n == ANSWER_LINE) return;
    Canvas* b = box(n);
    if (!b) return;
    b->setFont(sentenceFont());
    b->textOut(b->width() - FIT_MARGIN, rowOffset(*b) + ROW_STEP, lineMark(n));
}

void Typesetter::drawFrame(Canvas& box, Color pen) {
    box.rectangle(1, 0, box.width() - 1, box.height() - 1, pen);
}

FractionTexts Typesetter::termText(Term t) {
    if (isNumberKind(t.kind)) return fractionText(t.den, t.num);
    if (t.kind == KIND_EQUALS) return {"=", ""};
    if (isLetterKind(t.kind)) {
        // A zero coefficient is drawn: "x+0x=4" must not read as "x+x=4".
        if (isUnit(t)) return {"", ""};
        if (t.num == 0) return {"0", ""};
        return fractionText(t.den, t.num);
    }
    return {"", ""};
}

FractionTexts Typesetter::fractionText(int32_t den, int32_t num) {
    std::string n = std::to_string(std::llabs(static_cast<long long>(num)));
    if (den == 1 || num == 0) return {n, ""};
    return {n, std::to_string(den)};
}

// ---------------------------------------------------------------- the textbook style

struct Typesetter::Atom {
    enum class Kind { Number, Letter, Open, Close, Binary, Sign, Relation, Fraction };
    Kind kind = Kind::Number;
    std::string text;  // all but Fraction
    Run num, den;      // Fraction
};

namespace {

// Thousandths of the type size, in whole pixels.
int part(int pixelSize, int thousandths) { return (pixelSize * thousandths + 500) / 1000; }

// The vertical measures of the textbook style, from its size.
struct TextbookGeometry {
    int axis;      // the bar's middle (the minus sign's height) above the baseline
    int numRaise;  // a numerator's baseline above the bar's top
    int denDrop;   // a denominator's baseline below the bar's top: the bar, air, a digit's height
    int typeTop;   // how far type (brackets, digits) reaches above its baseline
    int typeDepth; // and below it (brackets, the descender of y)
};

TextbookGeometry textbookGeometry(int pixelSize) {
    return {part(pixelSize, 270), part(pixelSize, 220), 2 + part(pixelSize, 200) + part(pixelSize, 730),
            part(pixelSize, 780), part(pixelSize, 260)};
}

}  // namespace

FontSpec Typesetter::textbookFont(int pixelSize, bool italic) const {
    return FontSpec{fntTextbook.face, pixelSize, CHARSET_ANSI, fntTextbook.bold, italic};
}

void Typesetter::pushSign(Run& run, bool negative) {
    using K = Atom::Kind;
    // After a number, a letter, a closing bracket or a fraction the sign joins two terms;
    // anywhere else (the start of a side, after '(' or '=') it belongs to the number after it.
    const bool joins = !run.empty() && (run.back().kind == K::Number || run.back().kind == K::Letter ||
                                        run.back().kind == K::Close || run.back().kind == K::Fraction);
    run.push_back(Atom{joins ? K::Binary : K::Sign, negative ? MINUS_SIGN : "+", {}, {}});
}

int Typesetter::gapBetween(const Atom* before, const Atom& next, int pixelSize) {
    using K = Atom::Kind;
    if (!before || before->kind == K::Sign) return 0;  // a sign stands tight to its number
    auto around = [](K k) { return k == K::Binary ? 200 : k == K::Relation ? 280 : 0; };
    int gap = std::max(around(before->kind), around(next.kind));
    // A fraction stands a little apart from a number or letter beside it.
    auto plain = [](K k) { return k == K::Number || k == K::Letter || k == K::Fraction; };
    if ((before->kind == K::Fraction && plain(next.kind)) || (next.kind == K::Fraction && plain(before->kind)))
        gap = std::max(gap, 80);
    // An italic letter leans into a closing bracket after it.
    if (before->kind == K::Letter && next.kind == K::Close) gap = std::max(gap, 60);
    return part(pixelSize, gap);
}

void Typesetter::textbookGroupTerm(Run& run, const EquationLine& line, int i, bool afterOpen) {
    using K = Atom::Kind;
    const Term& u = line.terms[static_cast<size_t>(i)];
    const bool letter = isLetterKind(u.kind);
    if (!letter && !isNumberKind(u.kind)) return;  // corner brackets and stray kinds
    if (u.num < 0) pushSign(run, true);
    else if (!afterOpen) pushSign(run, false);
    // A numerator has one row: a fraction inside it reads 1/2, as on the page.
    if (letter) {
        const std::string d = engine_.hasDecimal ? formatDecimal(u) : std::string();
        auto [num, den] = termText(u);
        const std::string coefficient = !d.empty() ? d : den.empty() ? num : num + "/" + den;
        if (!coefficient.empty()) run.push_back(Atom{K::Number, coefficient, {}, {}});
        run.push_back(Atom{K::Letter, std::string(1, u.kind), {}, {}});
        return;
    }
    const char next = i + 1 < line.count ? line.terms[static_cast<size_t>(i + 1)].kind : '\0';
    if (isUnit(u) && isOpenBracket(next)) return;
    run.push_back(Atom{K::Number, decimalOrFraction(u, engine_.hasDecimal), {}, {}});
}

// The pieces of a line, read as layoutLine reads it: the same signs, the same bar groups.
Typesetter::Run Typesetter::textbookRun(const EquationLine& line) {
    using K = Atom::Kind;
    Run run;
    struct Group {
        bool open = false;
        Term coefficient{};
        Run num;
        int depth = 0;
        bool bare() const { return std::abs(coefficient.num) == 1 && coefficient.den != 1; }
    } group;
    auto number = [](Run& r, const FractionTexts& t) {
        if (t.first.empty()) return;
        if (t.second.empty()) r.push_back(Atom{K::Number, t.first, {}, {}});
        else r.push_back(Atom{K::Fraction, "", {Atom{K::Number, t.first, {}, {}}}, {Atom{K::Number, t.second, {}, {}}}});
    };
    auto closeGroup = [&] {
        if (group.coefficient.den != 1) {
            run.push_back(Atom{K::Fraction, "", std::move(group.num), {Atom{K::Number, std::to_string(group.coefficient.den), {}, {}}}});
        } else {
            run.insert(run.end(), group.num.begin(), group.num.end());
        }
        group = Group{};
    };
    auto bracket = [](char kind) { return Atom{isOpenBracket(kind) ? K::Open : K::Close, std::string(1, kind), {}, {}}; };

    const int count = std::clamp(line.count, 0, LINE_CAPACITY);
    for (int i = 0; i < count; ++i) {
        const Term& t = line.terms[static_cast<size_t>(i)];
        const char next = i + 1 < count ? line.terms[static_cast<size_t>(i + 1)].kind : '\0';
        const char prev = i > 0 ? line.terms[static_cast<size_t>(i - 1)].kind : '(';
        if (group.open) {
            if (isOpenBracket(t.kind)) {
                if (group.depth == 0 && std::abs(group.coefficient.num) == 1) group.num.clear();
                if (group.depth > 0 || !group.bare()) group.num.push_back(bracket(t.kind));
                ++group.depth;
                continue;
            }
            if (isCloseBracket(t.kind)) {
                if (--group.depth > 0 || !group.bare()) group.num.push_back(bracket(t.kind));
                if (group.depth == 0) closeGroup();
                continue;
            }
            if (t.kind != KIND_EQUALS) {
                textbookGroupTerm(group.num, line, i, isOpenBracket(prev));
                continue;
            }
            closeGroup();  // left open at '=': drawn as it stands
        }
        const bool signed_ = t.num < 0 || needsPlusSign(line, i);
        if (t.kind == KIND_EQUALS) {
            run.push_back(Atom{K::Relation, "=", {}, {}});
        } else if (isOpenBracket(t.kind) || isCloseBracket(t.kind)) {
            run.push_back(bracket(t.kind));
        } else if (t.kind == KIND_NUMBER || (t.kind == KIND_BAR && !isOpenBracket(next))) {
            if (signed_) pushSign(run, t.num < 0);
            const std::string d = engine_.hasDecimal ? formatDecimal(t) : std::string();
            if (!d.empty()) run.push_back(Atom{K::Number, d, {}, {}});
            else if (!(isUnit(t) && isOpenBracket(next))) number(run, termText(t));
        } else if (isLetterKind(t.kind)) {
            if (signed_) pushSign(run, t.num < 0);
            const std::string d = engine_.hasDecimal ? formatDecimal(t) : std::string();
            if (!d.empty()) run.push_back(Atom{K::Number, d, {}, {}});
            else number(run, termText(t));
            run.push_back(Atom{K::Letter, std::string(1, t.kind), {}, {}});
        } else if (t.kind == KIND_BAR) {
            if (signed_) pushSign(run, t.num < 0);
            group = Group{};
            group.open = true;
            group.coefficient = t;
            group.num.push_back(Atom{K::Number, std::to_string(std::llabs(static_cast<long long>(t.num))), {}, {}});
        }
    }
    if (group.open) closeGroup();
    return run;
}

int Typesetter::placeRun(Canvas& box, const Run& run, int x, int baseline, int pixelSize, bool draw) {
    const TextbookGeometry g = textbookGeometry(pixelSize);
    const Atom* before = nullptr;
    for (const Atom& a : run) {
        x += gapBetween(before, a, pixelSize);
        before = &a;
        if (a.kind == Atom::Kind::Fraction) {
            const int numWidth = placeRun(box, a.num, 0, 0, pixelSize, false);
            const int denWidth = placeRun(box, a.den, 0, 0, pixelSize, false);
            // the bar reaches a little past the wider of the two
            const int width = std::max(numWidth, denWidth) + 2 * part(pixelSize, 80);
            if (draw) {
                const int barTop = baseline - g.axis - 1;
                box.line(x, barTop, x + width, barTop, BLACK);
                placeRun(box, a.num, x + (width - numWidth) / 2, barTop - g.numRaise, pixelSize, true);
                placeRun(box, a.den, x + (width - denWidth) / 2, barTop + g.denDrop, pixelSize, true);
            }
            x += width;
            continue;
        }
        const FontSpec font = textbookFont(pixelSize, a.kind == Atom::Kind::Letter);
        if (!(box.font() == font)) box.setFont(font);
        x = draw ? box.textOut(x, baseline - box.ascent(), a.text) : x + box.textWidth(a.text);
    }
    return x;
}

TextbookExtent Typesetter::measureTextbook(Canvas& box, const EquationLine& line, int pixelSize) {
    const Run run = textbookRun(line);
    const TextbookGeometry g = textbookGeometry(pixelSize);
    TextbookExtent e{placeRun(box, run, 0, 0, pixelSize, false), g.typeTop, g.typeDepth};
    const bool stacked = std::any_of(run.begin(), run.end(), [](const Atom& a) { return a.kind == Atom::Kind::Fraction; });
    if (stacked) {
        e.above = g.axis + 1 + g.numRaise + g.typeTop;
        e.below = g.denDrop - g.axis - 1 + g.typeDepth;
    }
    return e;
}

int Typesetter::drawTextbook(Canvas& box, int x, int baseline, const EquationLine& line, int pixelSize) {
    return placeRun(box, textbookRun(line), x, baseline, pixelSize, true);
}

}  // namespace solvari
