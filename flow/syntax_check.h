#pragma once
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/diagnostic.h"
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

// A diagnostic as the check reports it: its text, with the caption before a bar when it has
// one ("警告|空白があります").
std::string reportedText(const Diagnostic& d);

// One question that did not pass, or a unit title that cannot be saved (question 0).
struct QuestionFault {
    int unit = 0;
    int question = 0;
    std::string text;                   // the question line as written ("<<" + title for a title)
    std::vector<std::string> messages;  // the parser's messages, in order (as reportedText)
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
    // What the editor shows, in order: the structure's diagnostics and those of the units up to
    // the first faulty one (the editor stops there; the fields above go on to list every unit).
    std::vector<Diagnostic> editorDiagnostics;
};

// The question editor's check, without the window: the structure with parseQuestionSet (a
// success replaces inUse, as the editor's check does), then every question of every unit
// with Engine::parseEquation into line 0. The readers' diagnostics are collected, not shown.
// Also refuses any question line or title that Shift-JIS cannot hold, since saving would lose
// it. It parses with an engine of its own.
SyntaxCheckResult checkQuestionSet(const std::vector<std::string>& lines, QuestionSet& inUse);

// How a check's report quotes a line of the file: control bytes shown as '?', and a line longer
// than a question can be cut (a damaged file may hold one line of a megabyte).
std::string quotedLine(const std::string& text);
// "単元<unit> 問題<question>": where a report places a fault.
std::string questionPlace(int unit, int question);

}  // namespace solvari
