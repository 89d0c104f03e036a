#pragma once
#include <string>
#include <string_view>

#include "engine/engine.h"
#include "transform/operation.h"

namespace solvari {

// What went wrong in a line the student wrote, in the order the judge names them when two
// could explain the same line.
enum class Mistake {
    None,
    TransposeSign,    // a term moved across ＝ kept its sign
    StaySign,         // a term that did not move changed its sign
    OneSide,          // × ÷ ＋ － on one side only
    BracketFirst,     // only the first term of a bracket multiplied
    BracketSign,      // a bracket after − or a negative factor, inner signs kept
    CoefAsTerm,       // the coefficient subtracted instead of divided by
    DivideInverted,   // divided the wrong way round
    DenominatorTerm,  // clearing denominators, a term left unmultiplied
    UnlikeTerms,      // letter and number terms joined
    Arithmetic,       // the right shape, a wrong number
    Other,
    Unreadable,       // the reader could not read the line
};

// The short code of a mistake, as the batch judge prints it and the record keeps it
// ("transpose-sign", …); "" for None.
const char* mistakeCode(Mistake m);
// Its name for the teacher's summary ("移項の符号", …).
const char* mistakeName(Mistake m);
// The mistakes a record counts, in the judge's order (an unreadable line is no mistake).
inline constexpr Mistake RECORDED_MISTAKES[] = {
    Mistake::TransposeSign, Mistake::StaySign,       Mistake::OneSide,         Mistake::BracketFirst,
    Mistake::BracketSign,   Mistake::CoefAsTerm,     Mistake::DivideInverted,  Mistake::DenominatorTerm,
    Mistake::UnlikeTerms,   Mistake::Arithmetic,     Mistake::Other,
};

struct LineJudgement {
    enum class Verdict {
        Accepted,  // the operation's result (terms in any order, values in any form, collected or not)
        Noted,     // right, but not what the operation gives: accepted with `message` as a note
        Refused,   // `mistake` and `message` say what is wrong, without giving the line away
        Invalid,   // the step itself cannot be made (÷0, 移項 with brackets): `message` is the refusal
    };
    Verdict verdict = Verdict::Refused;
    Mistake mistake = Mistake::None;
    std::string message;
    EquationLine expected;  // the line the operation gives (Invalid: empty)
    EquationLine written;   // the student's line as read (Unreadable: empty)
};

inline constexpr const char* JUDGE_NOTE_OTHER_STEP = "正しい式ですが、指定した操作の結果とはちがいます";

// Judges a line the student wrote after choosing a step on `source`: the operation with its
// operand (a keypad value; ZERO_TERM for かっこ, 整理, 移項). `written` is in question-set syntax
// (UTF-8), without the question's length limit. Line sums are not judged: the program writes them.
// `engine` is scratch: its lines 0..3 are overwritten.
LineJudgement judgeWrittenLine(Engine& engine, const EquationLine& source, Operation op, Term operand,
                               std::string_view written);

}  // namespace solvari
