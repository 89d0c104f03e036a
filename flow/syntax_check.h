#pragma once
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/prompter.h"
#include "flow/question_set.h"

namespace solvari {

// The texts the editor shows.
inline constexpr const char* CHECK_SUCCESS = "☆☆☆　構文チェック成功　☆☆☆";
inline constexpr const char* CHECK_STRUCTURE_FAILED = "??? 問題に誤りがあります";
inline constexpr const char* CHECK_STRUCTURE_UNIT = "問題に誤りです";
inline constexpr const char* CHECK_QUESTIONS_FAILED = "??? 誤りがあります ???";
inline constexpr const char* CHECK_NONE = "なし";

// Added to the parser's messages for a line the question file could not hold: names the first
// such character and the line of the text where it stands ("3行目の「😀」は Shift-JIS で保存で
// きません"). lineText is the line as written ("<<" + title for a title).
std::string unsavableMessage(const std::vector<std::string>& lines, const std::string& lineText);

// Keeps every notice instead of showing it, and passes it on to another prompter when one is
// given. Questions get the silent answers (No / Cancel / Ignore / Closed); the parsers ask none.
class RecordingPrompter : public Prompter {
public:
    explicit RecordingPrompter(Prompter* forward = nullptr) : forward_(forward) {}
    std::vector<std::string> said;  // inform texts; warnings as "caption|text"
    bool forwarding = true;         // pass notices on while set (and a prompter was given)

    void inform(const std::string& text) override;
    void warn(const std::string& text, const std::string& caption) override;
    Answer askYesNo(const std::string& text, const std::string& caption) override;
    Answer askYesNoCancel(const std::string& text, const std::string& caption) override;
    Answer askAbortRetryIgnore(const std::string& text, const std::string& caption) override;
    SpecialChoice chooseSpecialSolution() override;

private:
    Prompter* forward_;
};

// One question that did not pass, or a unit title that cannot be saved (question 0).
struct QuestionFault {
    int unit = 0;
    int question = 0;
    std::string text;                   // the question line as written ("<<" + title for a title)
    std::vector<std::string> messages;  // the parser's messages, in order
    int engineError = 0;
};

// Notices for questions that are still valid (each space warns).
struct QuestionWarning {
    int unit = 0;
    int question = 0;
    std::vector<std::string> messages;
};

struct SyntaxCheckResult {
    bool structureOk = false;  // the unit / question structure parsed
    bool ok = false;           // structure and every question valid
    int unitCount = 0;
    // What the editor's fields show.
    std::string unitCountText;               // edtTangen: the unit count after success, else ""
    std::string resultText;                  // edtResult
    std::string errorUnitText;               // edtErTangen
    std::vector<std::string> errorQuestions; // lstErQues: first faulty unit's texts, or "なし"
    // What the checker reports: the structure parser's messages and every fault of every unit.
    std::vector<std::string> structureMessages;
    std::vector<QuestionFault> faults;
    std::vector<QuestionWarning> warnings;
};

// The question editor's check, without the window: the structure with parseQuestionSet (a
// success replaces inUse, as the editor's check does), then every question of every unit
// with Engine::parseEquation into line 0. The parser's notices are recorded rather than shown.
// Given forward, the notices the editor would show are shown there as well: those of the
// structure and of the units up to the first faulty one (the editor stops there, the result
// goes on to list every unit). Also refuses any question line or title that Shift-JIS cannot
// hold, since saving would lose it. It parses with an engine of its own.
SyntaxCheckResult checkQuestionSet(const std::vector<std::string>& lines, QuestionSet& inUse,
                                   Prompter* forward = nullptr);

}  // namespace solvari
