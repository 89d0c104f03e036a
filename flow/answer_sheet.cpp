#include "flow/answer_sheet.h"

#include <algorithm>

#include "engine/sjis.h"
#include "transform/solver.h"
#include "transform/typeset.h"

namespace solvari {
namespace {

constexpr int kTitleSize = 20;
constexpr int kTitleHeight = 40;
constexpr int kUnitSize = 18;
constexpr int kUnitHeight = 36;
constexpr int kTextHeight = 28;
constexpr int kFooterY = SHEET_HEIGHT - SHEET_MARGIN + 8;
constexpr int kBottom = SHEET_HEIGHT - SHEET_MARGIN;
constexpr int kAnswerBoxHeight = 19 + 2 * 16 + SHEET_ROW_DEPTH;  // a fraction's: rows at 19, 35, 51

// Places items top to bottom and starts a new page when the next one does not fit. A question
// is one block: it moves whole to the next page when it fits there, so a solution is not cut
// from its question; only a block taller than a page is cut, between its lines.
class Pager {
public:
    Pager(SheetLayout& layout, const char* title) : layout_(layout), title_(title) { newPage(); }

    void block(std::vector<SheetItem> items) {
        int height = 0;
        for (const SheetItem& i : items) height += i.h;
        if (y_ + height > kBottom && y_ > top_) newPage();
        for (SheetItem& i : items) {
            if (y_ + i.h > kBottom && y_ > top_) newPage();
            place(std::move(i));
        }
    }

    void finish() {
        // The page numbers are known only at the end.
        for (int p = 0; p < layout_.pageCount; ++p) {
            SheetItem n;
            n.page = p;
            n.x = SHEET_WIDTH / 2 - 24;
            n.y = kFooterY;
            n.w = 96;
            n.h = kTextHeight;
            n.pixelSize = 12;
            n.text = std::to_string(p + 1) + " / " + std::to_string(layout_.pageCount);
            layout_.items.push_back(std::move(n));
        }
        // drawn in order, a page at a time
        std::stable_sort(layout_.items.begin(), layout_.items.end(),
                         [](const SheetItem& a, const SheetItem& b) { return a.page < b.page; });
    }

private:
    void newPage() {
        page_ = layout_.pageCount++;
        y_ = SHEET_MARGIN;
        SheetItem t;
        t.x = SHEET_MARGIN;
        t.w = SHEET_WIDTH - 2 * SHEET_MARGIN;
        t.h = kTitleHeight;
        t.pixelSize = kTitleSize;
        t.bold = true;
        t.text = title_;
        if (layout_.kind == SheetKind::Worksheet) t.text += "　　　　組　　番　名前";
        place(std::move(t));
        top_ = y_;
    }
    void place(SheetItem i) {
        i.page = page_;
        i.y = y_;
        y_ += i.h;
        layout_.items.push_back(std::move(i));
    }

    SheetLayout& layout_;
    std::string title_;
    int page_ = 0;
    int y_ = 0;
    int top_ = 0;
};

// A damaged set may hold a line of a megabyte: the sheet shows its start, as the checker does.
std::string cut(const std::string& s) {
    constexpr size_t kMaxChars = 60;
    size_t i = 0;
    for (size_t chars = 0; i < s.size() && chars < kMaxChars; ++chars) i += utf8CharLength(s, i);
    return i < s.size() ? s.substr(0, i) + "…" : s;
}

SheetItem text(std::string s, int pixelSize, int height, bool bold = false) {
    SheetItem i;
    i.x = SHEET_MARGIN;
    i.w = SHEET_WIDTH - 2 * SHEET_MARGIN;
    i.h = height;
    i.pixelSize = pixelSize;
    i.bold = bold;
    i.text = std::move(s);
    return i;
}

// The typesetter here only measures: it draws into no box.
class NoBoxes : public PageBoxes {
public:
    Canvas* lineBox(int) override { return nullptr; }
};

SheetItem equation(Engine& engine, int line, const std::string& sentence) {
    NoBoxes none;
    Typesetter measure(engine, none);
    SheetItem i;
    i.kind = SheetItem::Kind::Equation;
    i.x = SHEET_MARGIN;
    i.w = SHEET_BOX_WIDTH;
    // By its rows: a fraction's denominator would otherwise print over what follows.
    i.h = std::max(SHEET_BOX_HEIGHT, measure.lowestRowTop(engine.line(line)) + SHEET_ROW_DEPTH);
    // "【答】" is written half-way down the answer box: in a box as high as a fraction's (as
    // on the page) it stands on the line's baseline, in a lower one above it.
    if (line == ANSWER_LINE) i.h = std::max(i.h, kAnswerBoxHeight);
    i.line = line;
    i.text = sentence;
    i.equation = engine.line(line);
    i.decimal = engine.hasDecimal;
    return i;
}

}  // namespace

SheetLayout sheetLayout(const QuestionSet& set, SheetKind kind) {
    SheetLayout layout;
    layout.kind = kind;
    Pager pager(layout, kind == SheetKind::AnswerKey ? ANSWER_KEY_TITLE : WORKSHEET_TITLE);
    // Its own engine: nothing solved here reaches the practice page.
    Engine engine;
    for (int u = 1; u <= set.unitCount; ++u) {
        const auto uu = static_cast<size_t>(u);
        std::vector<SheetItem> heading{text("単元" + std::to_string(u) + "　" + cut(set.unitTitle[uu]), kUnitSize, kUnitHeight, true)};
        for (int q = 1; q <= set.questionCount[uu]; ++q) {
            const std::string& question = set.questionText[uu][static_cast<size_t>(q)];
            ++layout.questions;
            std::vector<SheetItem> items = std::move(heading);
            heading.clear();
            items.push_back(text("問題" + std::to_string(q) + "　" + cut(question), 16, kTextHeight));
            const Solution s = solveQuestion(engine, question);
            if (kind == SheetKind::Worksheet) {
                if (s.parsed) items.push_back(equation(engine, QUESTION_LINE, ""));
                SheetItem space;
                space.kind = SheetItem::Kind::Frame;
                space.x = SHEET_MARGIN;
                space.w = SHEET_BOX_WIDTH;
                space.h = SHEET_WORK_SPACE;
                items.push_back(std::move(space));
            } else {
                for (const SolvedLine& l : s.lines) items.push_back(equation(engine, l.line, l.sentence));
                if (s.kind == Outcome::Solved) {
                    items.push_back(equation(engine, ANSWER_LINE, ""));
                } else if (s.kind != Outcome::Open) {
                    items.push_back(text(s.answerText, 16, kTextHeight));
                } else {
                    items.push_back(text(std::string(SHEET_UNSOLVED) + s.failure + "）", 16, kTextHeight));
                    layout.unsolved.push_back("単元" + std::to_string(u) + " 問題" + std::to_string(q) + ": " + s.failure);
                }
            }
            // breathing room between questions
            items.push_back(text("", 16, 16));
            pager.block(std::move(items));
        }
        if (!heading.empty()) pager.block(std::move(heading));
    }
    pager.finish();
    return layout;
}

}  // namespace solvari
