#pragma once
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "engine/diagnostic.h"
#include "engine/term.h"

namespace solvari {

constexpr int LINE_CAPACITY = 30;   // terms per line
constexpr int LINE_COUNT = 20;      // lines in the table
constexpr int SCRATCH_LINE = 0;
constexpr int QUESTION_LINE = 1;
constexpr int LAST_WORK_LINE = 15;  // no step may write a line above this
constexpr int ANSWER_LINE = 16;
constexpr int GROUP_BUFFER = 17;    // groupBuffer
constexpr int COLLECT_BUFFER = 19;  // collectBuffer

struct EquationLine {
    std::array<Term, LINE_CAPACITY> terms{};
    int count = 0;     // 0..LINE_CAPACITY; only the first count terms are valid
    std::string text;  // the caption or step sentence; never read by the engine
};

// Term by term, kinds and fields alike (1/2 and 2/4 differ): the same line written again.
inline bool sameLine(const EquationLine& a, const EquationLine& b) {
    if (a.count != b.count) return false;
    for (int i = 0; i < a.count; ++i) {
        const Term& x = a.terms[static_cast<size_t>(i)];
        const Term& y = b.terms[static_cast<size_t>(i)];
        if (x.kind != y.kind || !termsEqual(x, y)) return false;
    }
    return true;
}

// Whether the line still has a bracket group, which 整理, 移項 and line sums cannot carry.
inline bool hasGroup(const EquationLine& l) {
    for (int i = 0; i < l.count; ++i)
        if (isOpenBracket(l.terms[static_cast<size_t>(i)].kind)) return true;
    return false;
}

// What a line operation did.
enum class OpStatus {
    Done,      // the target line holds the result
    NoChange,  // transposeTerms: nothing moved (the line is still written);
               // removeParentheses: no bracket (the target line is untouched)
    Refused,   // a number grew too large, the line too long or a group is in the way: the
               // reason waits in takeDiagnostics() and the target line is empty
};

// The equation engine: the table of lines, the values shared with its callers, exact
// arithmetic, the two text readers and the operations on whole lines. It shows nothing: the
// readers return what they have to say, and what the operations and the arithmetic say waits
// in takeDiagnostics() for the caller to show.
class Engine {
public:
    // What the operations and the arithmetic have said since the last call, in order, and
    // no longer kept here.
    std::vector<Diagnostic> takeDiagnostics();

    // --- the model ---
    std::array<EquationLine, LINE_COUNT> lineTable{};
    int targetLine = 0;
    char letter = 'x';
    bool hasDecimal = false;
    int engineError = 0;
    Term operandTerm{};
    // The longest equation text the reader takes, in Shift-JIS bytes, and whether it needs a
    // letter: a question set's line. A line the student writes in the drill may be longer, and
    // may have lost its letter (0=2).
    size_t maxEquationBytes = 38;
    bool letterRequired = true;

    EquationLine& line(int i) { return lineTable.at(static_cast<size_t>(i)); }
    const EquationLine& line(int i) const { return lineTable.at(static_cast<size_t>(i)); }
    // A 31st term is not stored; it marks the running operation as refused instead.
    void appendTerm(int lineIndex, Term t);
    void clearLine(int lineIndex);
    // Popping an empty line is a programming error: asserted in debug, ZERO_TERM otherwise.
    Term popTerm(int lineIndex);

    // --- exact arithmetic (checked; an out-of-range result marks the operation refused) ---
    int64_t lcm(int64_t a, int64_t b);
    Term addTerms(Term a, Term b);
    Term subtractTerms(Term a, Term b);
    Term multiplyTerms(Term a, Term b);
    Term divideTerms(Term a, Term b);

    // --- readers (equation text and keypad operand, UTF-8) ---
    // What is wrong with the text comes back as diagnostics, in the order the reader met it;
    // nothing is shown. engineError keeps its codes (also each diagnostic's code).
    bool parseEquation(int lineIndex, std::string_view text, std::vector<Diagnostic>& diagnostics);
    Term parseOperand(std::string_view text, std::vector<Diagnostic>& diagnostics);
    // Pieces of the equation reader; they work on Shift-JIS bytes with 1-based positions and
    // leave the position on the last byte they read. Called on their own, what they say waits
    // in takeDiagnostics().
    Term parseNumber(const std::string& sjis, size_t& pos);
    int readDigits(const std::string& sjis, size_t& pos);
    std::string readFractionDigits(const std::string& sjis, size_t& pos);
    // "" gives 0; any non-digit byte fails with a message.
    bool digitsToInt(const std::string& sjisPart, int& value);

    // --- line operations; each writes line targetLine ---
    OpStatus combineLines(int a, int b);
    OpStatus subtractLines(int a, int b);
    OpStatus collectLikeTerms(int a);
    OpStatus transposeTerms(int a);
    OpStatus addToBothSides(int a, char op, Term operand);
    OpStatus scaleLine(int a, char op, Term operand);
    OpStatus removeParentheses(int a);

    // Messages of the range and length guards.
    static constexpr const char* MSG_TOO_LARGE = "数が大きすぎて計算できません";
    static constexpr const char* MSG_TOO_LONG = "式が長すぎて計算できません";
    // Brackets of an equation text that do not pair up on their side.
    static constexpr const char* MSG_BRACKETS = "かっこの対応が正しくありません";
    static constexpr int ERROR_BRACKETS = 120;
    // Two terms side by side with no sign between them, other than a number before the letter
    // or a bracket: a product, not a linear equation.
    static constexpr const char* MSG_PRODUCT = "かけ算は、数を文字やかっこの前に書く形だけが使えます";
    static constexpr int ERROR_PRODUCT = 121;
    // Nothing after the "=".
    static constexpr const char* MSG_EMPTY_SIDE = "＝の右側に式がありません";
    static constexpr int ERROR_EMPTY_SIDE = 122;
    // Operations that cannot carry bracket groups refuse a line that still has one.
    static constexpr const char* MSG_COLLECT_GROUPS = "かっこをはずしてから整理してください";
    static constexpr const char* MSG_TRANSPOSE_GROUPS = "かっこをはずしてから移項してください";
    static constexpr const char* MSG_ADD_LINES_GROUPS = "かっこをはずしてから式をたしてください";
    static constexpr const char* MSG_SUBTRACT_LINES_GROUPS = "かっこをはずしてから式をひいてください";

private:
    // A running sum of terms, exact in wide integers: the terms of one side may pass through
    // values that do not fit 32 bits on the way to a result that does. Only the stored result
    // is checked (stored()). A zero keeps its common denominator, as the term sums always did.
    struct WideSum {
        Wide num = 0;
        Wide den = 1;
        bool overflow = false;  // beyond even the wide range: refused when stored
        void add(Term t);
    };
    Term stored(const WideSum& sum, char kind);

    std::vector<Diagnostic> pending_;  // what takeDiagnostics() hands over
    bool overflowed_ = false;  // a value left the 31-bit range during the running operation
    bool tooLong_ = false;     // a line would have held a 31st term

    Term checkedTerm(Wide den, Wide num, char kind);
    std::string readDigitRun(const std::string& sjis, size_t& pos);
    std::vector<Diagnostic>* said_ = nullptr;  // where the running reader puts its messages
    // Everything the engine says goes through here: into the running reader's list, else
    // into pending_.
    void tell(std::string text, int code, size_t pos);
    void tell(Diagnostic d);
    bool readEquation(int lineIndex, std::string_view text);
    Term readOperand(std::string_view text);
    void beginOp();
    OpStatus finishOp(OpStatus ok);
    OpStatus refuse(const char* message);
    void appendSide(int lineIndex, Term numberSum, Term letterSum);
    void collectInto(const EquationLine& source);
    OpStatus combineCopies(EquationLine first, EquationLine second);
};

}  // namespace solvari
