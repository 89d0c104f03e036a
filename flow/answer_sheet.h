#pragma once
#include <string>
#include <vector>

#include "engine/engine.h"
#include "flow/question_set.h"

namespace solvari {

// The teacher's printouts of a question set: the answer key (every question worked step by
// step, as the page shows it, with its answer) and the worksheet (every question with blank
// space to work in). The layout is plain logic, a list of what to draw where, so every
// position and text can be checked without a printer; ui/sheet_pdf draws it into a PDF.
enum class SheetKind { AnswerKey, Worksheet };

// Sheet pixels: A4 at 96 per inch, the size the page's boxes are typeset in.
constexpr int SHEET_DPI = 96;
constexpr int SHEET_WIDTH = 794;
constexpr int SHEET_HEIGHT = 1123;
constexpr int SHEET_MARGIN = 48;
constexpr int SHEET_BOX_WIDTH = 640;
constexpr int SHEET_BOX_HEIGHT = 64;   // higher than 50: the sentence fits above the line
// The type of a row reaches this far below the row's top: the equation face at 16 pixels
// (ascent 17, descent 5) and a little air. A box is as high as its lowest row needs, at least
// SHEET_BOX_HEIGHT: a stacked fraction's denominator needs two rows more than a plain line.
constexpr int SHEET_ROW_DEPTH = 26;
constexpr int SHEET_WORK_SPACE = 208;  // the blank space under a worksheet question: three to a page

inline constexpr const char* ANSWER_KEY_TITLE = "解答集";
inline constexpr const char* WORKSHEET_TITLE = "問題用紙";

struct SheetItem {
    enum class Kind {
        Text,      // text in the sentence face at pixelSize, top-left at (x, y), within w × h
        Equation,  // a page box of w × h at (x, y): the sentence above, the line typeset, its label
        Frame      // an empty rectangle to work in
    };
    Kind kind = Kind::Text;
    int page = 0;  // from 0
    int x = 0, y = 0, w = 0, h = 0;
    std::string text;  // Text; Equation: the step sentence ("" for the question)
    int pixelSize = 16;
    bool bold = false;
    int line = 0;           // Equation: the line's number on the page (1 the question, 16 the answer)
    EquationLine equation;  // Equation
    bool decimal = false;   // Equation: drawn with decimals, as the question was written
};

struct SheetLayout {
    SheetKind kind = SheetKind::AnswerKey;
    int pageCount = 0;
    std::vector<SheetItem> items;  // page by page, top to bottom
    // Questions the solver could not finish, "単元u 問題q: why"; the answer key says so in
    // place of their solution.
    std::vector<std::string> unsolved;
    int questions = 0;
};

// The sheet of a parsed set, unit by unit.
SheetLayout sheetLayout(const QuestionSet& set, SheetKind kind);

// Refused before anything is written: the teacher's set is never replaced by a PDF.
inline constexpr const char* SHEET_OVER_SET = "PDF の出力先が問題集と同じファイルです: ";

// Printed in place of the solution of a question the solver cannot finish.
inline constexpr const char* SHEET_UNSOLVED = "（この問題は自動では解けませんでした: ";

}  // namespace solvari
