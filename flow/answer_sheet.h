#pragma once
#include <string>
#include <vector>

#include "engine/engine.h"
#include "flow/question_set.h"

namespace solvari {

// The teacher's printouts of a question set, A4 pages in two columns:
// - the worksheet (問題用紙): the questions, a chosen number to a page, each with room to work
//   and a blank for its answer, under a header with 組・番・名前 and 日付 to fill in;
// - the answer key (解答集): every question worked step by step as the drill's page does it,
//   each step's sentence in small type beside the line it leads to, and its 【答】;
// - the answers (答えの一覧): each question and its 【答】 on one row, for quick marking.
// Questions are numbered through the sheet, (1), (2), …, the same on all three for the same
// units. Units run on, a unit need not start a page: the instruction stands once at a unit's
// head, and the unit is named again at the top of every further page it reaches. Equations
// are typeset in the textbook style and never printed as their source text: a question that
// does not parse makes the sheet faulty, and a faulty sheet is not written.
// The layout is plain logic, a list of what to draw where, so every position can be checked
// without a printer; ui/sheet_pdf draws it into a PDF.
enum class SheetKind { AnswerKey, Worksheet, Answers };

// Sheet pixels: A4 at 96 per inch.
constexpr int SHEET_DPI = 96;
constexpr int SHEET_WIDTH = 794;
constexpr int SHEET_HEIGHT = 1123;
constexpr int SHEET_MARGIN = 48;

// An italic letter's ink leans past its pen on either side by up to this much: an equation's
// place reaches this far beyond where its pieces start and end.
constexpr int SHEET_INK_LEAN = 2;

constexpr int WORKSHEET_PER_PAGE = 6;
constexpr int WORKSHEET_MAX_PER_PAGE = 12;

inline constexpr const char* ANSWER_KEY_TITLE = "解答集";
inline constexpr const char* WORKSHEET_TITLE = "問題用紙";
inline constexpr const char* ANSWERS_TITLE = "答えの一覧";
inline constexpr const char* SHEET_INSTRUCTION = "次の方程式を解きなさい。";

// 解答集, 問題用紙 or 答えの一覧.
const char* sheetName(SheetKind kind);

struct SheetOptions {
    std::vector<int> units;  // the units printed, in the set's order; empty: every unit
    int perPage = WORKSHEET_PER_PAGE;  // worksheet: questions to a page, 1..WORKSHEET_MAX_PER_PAGE
    std::string title;  // the set's name in the header (its file's name), "" for none
};

struct SheetItem {
    enum class Kind {
        Text,      // text in the sheet's face at pixelSize, its line's top at y, within x..x+w
                   // (placed by align; drawn smaller when it would be wider)
        Equation,  // `equation` in the textbook style at pixelSize, its baseline at `baseline`,
                   // its pieces from x + SHEET_INK_LEAN to at most x + w - SHEET_INK_LEAN
                   // (drawn smaller when they would reach further)
        Rule       // a filled rectangle: a line to write on, a rule under the header, a divider
    };
    enum class Align { Left, Right, Centre };
    Kind kind = Kind::Text;
    int page = 0;  // from 0
    int x = 0, y = 0, w = 0, h = 0;  // where the item's ink stays
    std::string text;  // Text
    int pixelSize = 16;
    bool bold = false;
    Align align = Align::Left;
    bool light = false;     // Rule: grey, a divider rather than a line to write on
    int baseline = 0;       // Equation
    int line = 0;           // Equation: its line on the drill's page (1 the question, 16 the answer)
    EquationLine equation;  // Equation
    bool decimal = false;   // Equation: drawn with decimals, as the question was written
    int question = 0;       // the number (k) of the question the item belongs to; 0 for none
};

struct SheetLayout {
    SheetKind kind = SheetKind::AnswerKey;
    std::string title;  // "Question　問題用紙": the header's and the PDF's title
    int pageCount = 0;
    std::vector<SheetItem> items;  // page by page
    // Questions the solver could not finish, "単元u 問題q: why"; the answer key and the answers
    // say so in place of their solution.
    std::vector<std::string> unsolved;
    // Questions that do not parse, "単元u 問題q: 「text」 why". Such a sheet is not written.
    std::vector<std::string> faulty;
    int questions = 0;
};

// The sheet of a parsed set, with its own engine: nothing solved here reaches the drill.
SheetLayout sheetLayout(const QuestionSet& set, SheetKind kind, const SheetOptions& options = {});

// Every question of the set that does not parse, as in SheetLayout::faulty; empty when the
// set can be printed.
std::vector<std::string> sheetFaults(const QuestionSet& set);

// The units named by a list such as "1,3-5" (numbers and ranges, blanks allowed around them),
// sorted, each once; error says in Japanese what is wrong with the list.
struct UnitList {
    bool ok = false;
    std::vector<int> units;
    std::string error;
};
UnitList parseUnitList(const std::string& text, int unitCount);

// The name of a set in the header: its file's name without the folder and the extension.
std::string setTitleOf(const std::string& path);

// Refused before anything is written: the teacher's set is never replaced by a PDF.
inline constexpr const char* SHEET_OVER_SET = "PDF の出力先が問題集と同じファイルです: ";

// Printed in place of the solution of a question the solver cannot finish.
inline constexpr const char* SHEET_UNSOLVED = "（この問題は自動では解けませんでした: ";

// Said instead of writing a sheet of a set with a question that does not parse.
inline constexpr const char* SHEET_FAULTY = "問題集に誤りがあるため印刷できません";

// SHEET_FAULTY and the faults, the first few of them, one to a line.
std::string sheetFaultNotice(const std::vector<std::string>& faults);

}  // namespace solvari
