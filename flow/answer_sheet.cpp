#include "flow/answer_sheet.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <functional>
#include <utility>

#include "engine/sjis.h"
#include "flow/syntax_check.h"
#include "transform/line_marks.h"
#include "transform/solver.h"
#include "transform/typeset.h"

namespace solvari {
namespace {

using Align = SheetItem::Align;

constexpr int kTop = 40;
constexpr int kBodyBottom = SHEET_HEIGHT - 56;
constexpr int kFooterY = SHEET_HEIGHT - 44;
constexpr int kBodyWidth = SHEET_WIDTH - 2 * SHEET_MARGIN;
constexpr int kGutter = 24;
constexpr int kColumnWidth = (kBodyWidth - kGutter) / 2;

// Type sizes in sheet pixels (12 pixels are 9 points).
constexpr int kTitleSize = 18;
constexpr int kFieldSize = 14;     // 組・番・名前, 日付
constexpr int kUnitSize = 15;      // a unit's name on the worksheet
constexpr int kInstructionSize = 14;
constexpr int kWorksheetEquation = 17;
constexpr int kWorksheetLabel = 15;
constexpr int kListUnitSize = 13;  // a unit's name on the key and the answers
constexpr int kKeyEquation = 14;
constexpr int kSentenceSize = 11;
constexpr int kListLabel = 13;
constexpr int kListEquation = 15;
constexpr int kAnswerMarkSize = 12;  // 【答】
constexpr int kPageNumberSize = 11;

// The worksheet: a unit's head (its name and the instruction) above its first row; the name
// alone at the top of a page the unit runs on to.
constexpr int kUnitHead = 50;
constexpr int kUnitContinued = 30;

std::string cut(const std::string& s) {
    constexpr size_t kMaxChars = 40;
    size_t i = 0;
    for (size_t chars = 0; i < s.size() && chars < kMaxChars; ++chars) i += utf8CharLength(s, i);
    return i < s.size() ? s.substr(0, i) + "…" : s;
}

std::string unitName(const QuestionSet& set, int u) {
    return "単元" + std::to_string(u) + "　" + cut(set.unitTitle[static_cast<size_t>(u)]);
}

// Draws nothing and keeps no picture: the layout measures on it. Its widths are estimates a
// little over the printed type's, so what the layout finds fitting fits on paper.
class EstimatingBox : public Canvas {
public:
    void setFont(const FontSpec& font) override { font_ = font; }
    FontSpec font() const override { return font_; }
    int textOut(int x, int, const std::string& utf8) override { return x + textWidth(utf8); }
    void line(int, int, int, int, Color) override {}
    void rectangle(int, int, int, int, Color) override {}
    void clear() override {}
    int width() const override { return 1 << 20; }
    int height() const override { return 1 << 20; }
    void setVisible(bool) override {}

private:
    FontSpec font_;
};

class NoBoxes : public PageBoxes {
public:
    Canvas* lineBox(int) override { return nullptr; }
};

int estimatedTextWidth(const std::string& text, int pixelSize) {
    EstimatingBox box;
    box.setFont(FontSpec{"", pixelSize, CHARSET_SHIFTJIS, false, false});
    return box.textWidth(text);
}

// How far above the top of its line a Japanese face at this size sets its baseline: text
// items stand on an equation's baseline by it.
int textAscent(int pixelSize) { return (pixelSize * 88 + 50) / 100; }

SheetItem text(int x, int y, int w, std::string s, int pixelSize, bool bold = false, Align align = Align::Left) {
    SheetItem i;
    i.x = x;
    i.y = y;
    i.w = w;
    i.h = pixelSize + pixelSize / 3 + 1;
    i.text = std::move(s);
    i.pixelSize = pixelSize;
    i.bold = bold;
    i.align = align;
    return i;
}

SheetItem rule(int x, int y, int w, int h, bool light) {
    SheetItem i;
    i.kind = SheetItem::Kind::Rule;
    i.x = x;
    i.y = y;
    i.w = w;
    i.h = h;
    i.light = light;
    return i;
}

// One question's lines, typeset and measured, with the engine they were worked in.
class Lines {
public:
    Lines() : typesetter_(engine_, none_) {}
    Engine& engine() { return engine_; }

    TextbookExtent extent(int line, int pixelSize) {
        EstimatingBox box;
        return typesetter_.measureTextbook(box, engine_.line(line), pixelSize);
    }
    // An equation item of engine line `line` whose pieces start at x, within w, on `baseline`.
    SheetItem item(int line, int x, int baseline, int w, int pixelSize) {
        const TextbookExtent e = extent(line, pixelSize);
        SheetItem i;
        i.kind = SheetItem::Kind::Equation;
        i.x = x - SHEET_INK_LEAN;
        i.w = w + 2 * SHEET_INK_LEAN;
        i.baseline = baseline;
        i.y = baseline - e.above;
        i.h = e.above + e.below;
        i.pixelSize = pixelSize;
        i.line = line;
        i.equation = engine_.line(line);
        i.decimal = engine_.hasDecimal;
        return i;
    }

private:
    Engine engine_;
    NoBoxes none_;
    Typesetter typesetter_;
};

// Pages with their header and, at the end, their numbers.
class Pages {
public:
    Pages(SheetLayout& layout) : layout_(layout) {}

    // Opens a page and returns where its body starts.
    int open() {
        page_ = layout_.pageCount++;
        add(text(SHEET_MARGIN, kTop, kBodyWidth / 2, layout_.title, kTitleSize, true));
        if (layout_.kind != SheetKind::Worksheet) {
            add(rule(SHEET_MARGIN, kTop + 30, kBodyWidth, 2, false));
            return kTop + 42;
        }
        // 日付, then 組・番・名前 with lines to write on, as a class's printouts have them.
        const int right = SHEET_MARGIN + kBodyWidth;
        int x = right - 170;
        const int dateY = kTop + 2;
        place(x, dateY, "日付", 30);
        x += 30;
        add(rule(x, dateY + 20, 44, 1, false));
        place(x + 46, dateY, "月", 16);
        add(rule(x + 64, dateY + 20, 44, 1, false));
        place(x + 110, dateY, "日", 16);
        const int nameY = kTop + 38;
        x = right - 420;
        add(rule(x, nameY + 20, 48, 1, false));
        place(x + 50, nameY, "組", 16);
        add(rule(x + 70, nameY + 20, 48, 1, false));
        place(x + 120, nameY, "番", 16);
        place(x + 150, nameY, "名前", 32);
        add(rule(x + 184, nameY + 20, right - x - 184, 1, false));
        add(rule(SHEET_MARGIN, nameY + 32, kBodyWidth, 2, false));
        return nameY + 44;
    }

    void add(SheetItem i) {
        i.page = page_;
        layout_.items.push_back(std::move(i));
    }

    bool any() const { return page_ >= 0; }

    void finish() {
        if (layout_.pageCount == 0) open();  // nothing chosen: one page that says what it is
        for (int p = 0; p < layout_.pageCount; ++p) {
            SheetItem n = text(SHEET_WIDTH / 2 - 48, kFooterY, 96,
                               std::to_string(p + 1) + " / " + std::to_string(layout_.pageCount), kPageNumberSize, false,
                               Align::Centre);
            n.page = p;
            layout_.items.push_back(std::move(n));
        }
        std::stable_sort(layout_.items.begin(), layout_.items.end(),
                         [](const SheetItem& a, const SheetItem& b) { return a.page < b.page; });
    }

private:
    void place(int x, int y, const char* s, int w) { add(text(x, y, w, s, kFieldSize)); }

    SheetLayout& layout_;
    int page_ = -1;
};

// A row of items, positioned from the row's top and the column's left, and its height.
struct Row {
    std::vector<SheetItem> items;
    int height = 0;
};

// Two columns that fill top to bottom, left then right, page after page. A question's rows
// move together to the next column when they fit there, so a solution is not cut from its
// question; only a question taller than a column is cut, between its rows.
class Columns {
public:
    explicit Columns(Pages& pages) : pages_(pages) {}

    // The rows that name the unit again when it runs on to a new page (none between units).
    std::vector<Row> continued;

    void block(const std::vector<Row>& rows, int gapBefore) {
        int height = 0;
        for (const Row& r : rows) height += r.height;
        if (!pages_.any()) newPage();
        if (y_ > top_) {
            if (y_ + gapBefore + height > kBodyBottom) nextColumn();
            else y_ += gapBefore;
        }
        for (const Row& r : rows) {
            if (y_ + r.height > kBodyBottom && y_ > top_) nextColumn();
            put(r);
        }
    }

private:
    void put(const Row& r) {
        const int x = SHEET_MARGIN + column_ * (kColumnWidth + kGutter);
        for (SheetItem i : r.items) {
            i.x += x;
            i.y += y_;
            if (i.kind == SheetItem::Kind::Equation) i.baseline += y_;
            pages_.add(std::move(i));
        }
        y_ += r.height;
    }
    void nextColumn() {
        if (column_ == 0) {
            column_ = 1;
            y_ = top_;
            return;
        }
        newPage();
    }
    void newPage() {
        top_ = pages_.open();
        column_ = 0;
        y_ = top_;
        for (const Row& r : continued) put(r);
    }

    Pages& pages_;
    int column_ = 0;
    int top_ = 0;
    int y_ = 0;
};

// The name of a unit above its rows on the key and the answers.
Row unitRow(const std::string& name) {
    Row r;
    r.items.push_back(text(0, 4, kColumnWidth, name, kListUnitSize, true));
    r.height = 26;
    return r;
}

// The units to print: those chosen that the set has, in its order.
std::vector<int> chosenUnits(const QuestionSet& set, const SheetOptions& options) {
    std::vector<int> units;
    for (int u = 1; u <= set.unitCount; ++u) {
        if (options.units.empty() || std::find(options.units.begin(), options.units.end(), u) != options.units.end())
            units.push_back(u);
    }
    return units;
}

// Parses the question into line 1; a fault goes to the layout's list.
bool readQuestion(Lines& lines, const QuestionSet& set, int u, int q, SheetLayout& layout) {
    const std::string& question = set.questionText[static_cast<size_t>(u)][static_cast<size_t>(q)];
    std::vector<Diagnostic> said;
    if (lines.engine().parseEquation(QUESTION_LINE, question, said)) return true;
    std::string why;
    for (const Diagnostic& d : said) why += (why.empty() ? "" : " | ") + reportedText(d);
    layout.faulty.push_back(questionPlace(u, q) + ": 「" + quotedLine(question) + "」 " + why);
    return false;
}

std::string label(int number) { return "(" + std::to_string(number) + ")"; }

// A step's sentence with a true minus, as its line has ("両辺を−5で割ると").
std::string withMinusSigns(std::string s) {
    for (size_t i = s.find('-'); i != std::string::npos; i = s.find('-', i)) s.replace(i, 1, Typesetter::MINUS_SIGN);
    return s;
}

// ---------------------------------------------------------------- the worksheet

void layWorksheet(const QuestionSet& set, const SheetOptions& options, SheetLayout& layout) {
    Pages pages(layout);
    const int perPage = std::clamp(options.perPage, 1, WORKSHEET_MAX_PER_PAGE);
    const int columns = perPage == 1 ? 1 : 2;
    const int rows = (perPage + columns - 1) / columns;
    const int cellWidth = columns == 1 ? kBodyWidth : kColumnWidth;
    // Every row the same height, whichever rows carry a unit's head.
    int bodyTop = 0;
    int rowHeight = 0;
    int rowsOnPage = 0, onPage = 0, column = columns, rowTop = 0, y = 0;
    Lines lines;
    for (const int u : chosenUnits(set, options)) {
        const auto uu = static_cast<size_t>(u);
        bool first = true;
        for (int q = 1; q <= set.questionCount[uu]; ++q) {
            const int number = ++layout.questions;
            if (!readQuestion(lines, set, u, q, layout)) continue;
            if (first || column == columns || onPage == perPage) {
                if (!pages.any() || rowsOnPage == rows || onPage == perPage) {
                    bodyTop = pages.open();
                    rowHeight = (kBodyBottom - bodyTop - rows * kUnitHead) / rows;
                    y = bodyTop;
                    rowsOnPage = onPage = 0;
                }
                if (first) {
                    pages.add(text(SHEET_MARGIN, y + 4, kBodyWidth, unitName(set, u), kUnitSize, true));
                    pages.add(text(SHEET_MARGIN + 16, y + 27, kBodyWidth - 16, SHEET_INSTRUCTION, kInstructionSize));
                    y += kUnitHead;
                } else if (rowsOnPage == 0) {
                    pages.add(text(SHEET_MARGIN, y + 4, kBodyWidth, unitName(set, u) + "（つづき）", kUnitSize, true));
                    y += kUnitContinued;
                }
                rowTop = y;
                y += rowHeight;
                ++rowsOnPage;
                column = 0;
                // a grey rule closes the row; a grey line parts its two questions
                pages.add(rule(SHEET_MARGIN, rowTop + rowHeight - 2, kBodyWidth, 1, true));
                if (columns == 2)
                    pages.add(rule(SHEET_MARGIN + kColumnWidth + kGutter / 2, rowTop + 6, 1, rowHeight - 14, true));
            }
            const int x = SHEET_MARGIN + column * (cellWidth + kGutter);
            const TextbookExtent e = lines.extent(QUESTION_LINE, kWorksheetEquation);
            const int baseline = rowTop + 10 + std::max(e.above, textAscent(kWorksheetLabel));
            SheetItem mark = text(x, baseline - textAscent(kWorksheetLabel), 40, label(number), kWorksheetLabel);
            mark.question = number;
            pages.add(std::move(mark));
            SheetItem equation = lines.item(QUESTION_LINE, x + 44, baseline, cellWidth - 48, kWorksheetEquation);
            equation.question = number;
            pages.add(std::move(equation));
            // the blank for the answer, at the foot of the room to work in
            const int foot = rowTop + rowHeight - 14;
            SheetItem answer = text(x + cellWidth - 168, foot - 22, 24, "答", kFieldSize);
            answer.question = number;
            pages.add(std::move(answer));
            pages.add(rule(x + cellWidth - 140, foot, 128, 1, false));
            ++column;
            ++onPage;
            first = false;
        }
    }
    pages.finish();
}

// ---------------------------------------------------------------- the answer key

// Within a column of the key: the steps' sentences stand right-aligned before the lines'
// marks, the lines start at one place, so the work reads down like a textbook's.
constexpr int kKeySentenceRight = 154;
constexpr int kKeyLineX = 178;
constexpr int kKeyIndent = 22;

// A row holding engine line `line` (the mark before it, or 【答】 for the answer) and, to its
// left, `sentence`; a sentence or a line too wide for its place takes a row of its own.
void keyLine(Lines& lines, int line, const std::string& sentence, std::vector<Row>& rows) {
    const TextbookExtent e = lines.extent(line, kKeyEquation);
    const bool wide = e.width > kColumnWidth - kKeyLineX;
    const bool longSentence = estimatedTextWidth(sentence, kSentenceSize) > kKeySentenceRight - 4;
    if (!sentence.empty() && (wide || longSentence)) {
        Row r;
        r.items.push_back(text(kKeyIndent, 2, kColumnWidth - kKeyIndent, sentence, kSentenceSize));
        r.height = kSentenceSize + 7;
        rows.push_back(std::move(r));
    }
    Row r;
    const int baseline = 3 + std::max(e.above, textAscent(kAnswerMarkSize));
    const int lineX = wide ? kKeyIndent + 38 : kKeyLineX;  // the mark clear of the question's number
    const int markX = lineX - 20;
    if (line == ANSWER_LINE) {
        r.items.push_back(text(0, baseline - textAscent(kAnswerMarkSize), lineX - 2, "【答】", kAnswerMarkSize, true, Align::Right));
    } else {
        r.items.push_back(text(markX, baseline - textAscent(kAnswerMarkSize), 18, lineMark(line), kAnswerMarkSize));
        if (!sentence.empty() && !wide && !longSentence)
            r.items.push_back(text(4, baseline - textAscent(kSentenceSize), kKeySentenceRight - 4, sentence, kSentenceSize,
                                   false, Align::Right));
    }
    r.items.push_back(lines.item(line, lineX, baseline, kColumnWidth - lineX, kKeyEquation));
    r.height = baseline + std::max(e.below, kAnswerMarkSize / 3 + 2) + 3;
    rows.push_back(std::move(r));
}

Row textRow(int x, const std::string& s, int pixelSize, bool bold = false) {
    Row r;
    r.items.push_back(text(x, 2, kColumnWidth - x, s, pixelSize, bold));
    r.height = pixelSize + pixelSize / 3 + 5;
    return r;
}

std::string specialAnswer(Outcome kind) { return kind == Outcome::NoSolution ? "解なし" : "解は無数にある"; }

// The answer key and the answers list alike: every chosen question in sheet order, numbered
// through the sheet, its rows from rowsOf(u, q, number, first unit's question) set into the
// running columns (gaps before a unit's first question and before the others), and the unit's
// heading carried onto each page it runs over.
template <class RowsOf>
void setInColumns(const QuestionSet& set, const SheetOptions& options, SheetLayout& layout, Lines& lines, int unitGap,
                  int gap, RowsOf rowsOf) {
    Pages pages(layout);
    Columns columns(pages);
    for (const int u : chosenUnits(set, options)) {
        bool first = true;
        for (int q = 1; q <= set.questionCount[static_cast<size_t>(u)]; ++q) {
            const int number = ++layout.questions;
            if (!readQuestion(lines, set, u, q, layout)) continue;
            std::vector<Row> rows = rowsOf(u, q, number, first);
            columns.block(rows, first ? unitGap : gap);
            if (first) columns.continued = {unitRow(unitName(set, u) + "（つづき）")};
            first = false;
        }
        columns.continued.clear();
    }
    pages.finish();
}

void layAnswerKey(const QuestionSet& set, const SheetOptions& options, SheetLayout& layout) {
    Lines lines;
    setInColumns(set, options, layout, lines, 10, 8, [&](int u, int q, int number, bool first) {
        const auto uu = static_cast<size_t>(u);
        const Solution s = solveQuestion(lines.engine(), set.questionText[uu][static_cast<size_t>(q)]);
        std::vector<Row> rows;
        if (first) rows.push_back(unitRow(unitName(set, u)));
        const size_t head = rows.size();
        for (const SolvedLine& l : s.lines) keyLine(lines, l.line, withMinusSigns(l.sentence), rows);
        if (s.kind == Outcome::Solved) {
            keyLine(lines, ANSWER_LINE, "", rows);
        } else if (s.kind != Outcome::Open) {
            Row r;
            r.items.push_back(text(0, 3, kKeyLineX - 2, "【答】", kAnswerMarkSize, true, Align::Right));
            r.items.push_back(text(kKeyLineX, 3, kColumnWidth - kKeyLineX, specialAnswer(s.kind), kKeyEquation));
            r.height = kKeyEquation + 10;
            rows.push_back(std::move(r));
        } else {
            rows.push_back(textRow(kKeyIndent, std::string(SHEET_UNSOLVED) + s.failure + "）", kSentenceSize));
            layout.unsolved.push_back(questionPlace(u, q) + ": " + s.failure);
        }
        // the number before the question's own row
        if (rows.size() > head) {
            Row& r = rows[head];
            const SheetItem& last = r.items.back();
            const int top = last.kind == SheetItem::Kind::Equation ? last.baseline - textAscent(kListLabel) : last.y;
            SheetItem n = text(0, top, 34, label(number), kListLabel, true);
            r.items.insert(r.items.begin(), std::move(n));
        }
        for (size_t i = head; i < rows.size(); ++i)
            for (SheetItem& item : rows[i].items) item.question = number;
        return rows;
    });
}

// ---------------------------------------------------------------- the answers

constexpr int kListLineX = 36;
constexpr int kListAnswerWidth = 92;
constexpr int kListAnswerMarkX = kColumnWidth - kListAnswerWidth - 40;

void layAnswers(const QuestionSet& set, const SheetOptions& options, SheetLayout& layout) {
    Lines lines;
    setInColumns(set, options, layout, lines, 8, 0, [&](int u, int q, int number, bool first) {
        const auto uu = static_cast<size_t>(u);
        const TextbookExtent question = lines.extent(QUESTION_LINE, kListEquation);
        // the question before it is solved: the solver writes over the engine's lines
        SheetItem questionItem = lines.item(QUESTION_LINE, kListLineX, 0, 0, kListEquation);
        const Solution s = solveQuestion(lines.engine(), set.questionText[uu][static_cast<size_t>(q)]);
        TextbookExtent answer{0, textAscent(kListEquation), kListEquation / 3};
        if (s.kind == Outcome::Solved) answer = lines.extent(ANSWER_LINE, kListEquation);

        // question and answer on one row when both fit, else one under the other
        const bool oneRow = question.width <= kListAnswerMarkX - kListLineX - 8;
        std::vector<Row> rows;
        if (first) rows.push_back(unitRow(unitName(set, u)));
        Row r;
        int baseline = 3 + std::max({question.above, textAscent(kListLabel), oneRow ? answer.above : 0});
        r.items.push_back(text(0, baseline - textAscent(kListLabel), 34, label(number), kListLabel, true));
        questionItem.baseline = baseline;
        questionItem.y = baseline - question.above;
        questionItem.w = (oneRow ? kListAnswerMarkX - 4 : kColumnWidth) - kListLineX + 2 * SHEET_INK_LEAN;
        r.items.push_back(questionItem);
        if (!oneRow) {
            r.height = baseline + question.below + 3;
            rows.push_back(std::move(r));
            r = Row{};
            baseline = 3 + std::max(answer.above, textAscent(kAnswerMarkSize));
        }
        r.items.push_back(text(kListAnswerMarkX, baseline - textAscent(kAnswerMarkSize), 38, "【答】", kAnswerMarkSize, true));
        const int answerX = kListAnswerMarkX + 40;
        if (s.kind == Outcome::Solved) {
            r.items.push_back(lines.item(ANSWER_LINE, answerX, baseline, kColumnWidth - answerX, kListEquation));
        } else {
            std::string said = s.kind == Outcome::Open ? "（自動では解けません）" : specialAnswer(s.kind);
            if (s.kind == Outcome::Open) layout.unsolved.push_back(questionPlace(u, q) + ": " + s.failure);
            r.items.push_back(text(answerX, baseline - textAscent(kListLabel), kColumnWidth - answerX, said, kListLabel));
        }
        r.height = baseline + std::max({oneRow ? question.below : 0, answer.below, kListLabel / 3 + 2}) + 4;
        rows.push_back(std::move(r));
        for (size_t i = first ? 1 : 0; i < rows.size(); ++i)
            for (SheetItem& item : rows[i].items) item.question = number;
        return rows;
    });
}

}  // namespace

const char* sheetName(SheetKind kind) {
    switch (kind) {
        case SheetKind::AnswerKey: return ANSWER_KEY_TITLE;
        case SheetKind::Worksheet: return WORKSHEET_TITLE;
        case SheetKind::Answers: return ANSWERS_TITLE;
    }
    return WORKSHEET_TITLE;
}

SheetLayout sheetLayout(const QuestionSet& set, SheetKind kind, const SheetOptions& options) {
    SheetLayout layout;
    layout.kind = kind;
    layout.title = options.title.empty() ? sheetName(kind) : cut(options.title) + "　" + sheetName(kind);
    switch (kind) {
        case SheetKind::Worksheet: layWorksheet(set, options, layout); break;
        case SheetKind::AnswerKey: layAnswerKey(set, options, layout); break;
        case SheetKind::Answers: layAnswers(set, options, layout); break;
    }
    return layout;
}

std::vector<std::string> sheetFaults(const QuestionSet& set) {
    SheetLayout layout;
    Lines lines;
    for (int u = 1; u <= set.unitCount; ++u)
        for (int q = 1; q <= set.questionCount[static_cast<size_t>(u)]; ++q) readQuestion(lines, set, u, q, layout);
    return layout.faulty;
}

std::string sheetFaultNotice(const std::vector<std::string>& faults) {
    constexpr size_t kShown = 5;
    std::string notice = SHEET_FAULTY;
    for (size_t i = 0; i < faults.size() && i < kShown; ++i) notice += "\n" + faults[i];
    if (faults.size() > kShown) notice += "\nほか " + std::to_string(faults.size() - kShown) + " 問";
    return notice;
}

UnitList parseUnitList(const std::string& text, int unitCount) {
    UnitList out;
    const std::string example = "（例: 1,3-5）";
    auto number = [](const std::string& s, int& value) {
        if (s.empty() || !std::all_of(s.begin(), s.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
            return false;
        value = s.size() > 4 ? 10000 : std::stoi(s);  // past any set's units
        return true;
    };
    auto trimmed = [](std::string s) {
        const size_t b = s.find_first_not_of(" \t");
        if (b == std::string::npos) return std::string();
        return s.substr(b, s.find_last_not_of(" \t") - b + 1);
    };
    size_t start = 0;
    while (true) {
        const size_t comma = text.find(',', start);
        const std::string item = trimmed(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        const size_t dash = item.find('-');
        int from = 0, to = 0;
        const bool read = dash == std::string::npos ? number(item, from) && number(item, to)
                                                    : number(trimmed(item.substr(0, dash)), from) &&
                                                          number(trimmed(item.substr(dash + 1)), to);
        if (!read) {
            return UnitList{false, {}, item.empty() ? "単元の指定に空の項目があります" + example
                                                    : "単元の指定が読めません: 「" + quotedLine(item) + "」" + example};
        }
        if (from > to) return UnitList{false, {}, "単元の範囲は小さい番号から書いてください: 「" + item + "」" + example};
        if (from < 1 || to > unitCount) {
            return UnitList{false, {}, "単元「" + quotedLine(item) + "」はありません。この問題集の単元は 1〜" +
                                           std::to_string(unitCount) + " です"};
        }
        for (int u = from; u <= to; ++u) out.units.push_back(u);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    std::sort(out.units.begin(), out.units.end());
    out.units.erase(std::unique(out.units.begin(), out.units.end()), out.units.end());
    out.ok = true;
    return out;
}

std::string setTitleOf(const std::string& path) { return std::filesystem::path(path).stem().string(); }

}  // namespace solvari
