#pragma once
#include <optional>

#include "flow/answer_sheet.h"
#include "flow/practice.h"

namespace solvari {

// What the main window leaves to the program, which holds the session: the start-up, the
// printed sheets and the wait for the record at closing.
class ProgramActions {
public:
    virtual ~ProgramActions() = default;
    // Loads "Question.leq" from the working folder onto question 1 and picks the record. False,
    // after the fatal boxes, when the set cannot be practised.
    virtual bool startDrill() = 0;
    // 解答集, 問題用紙 or 答えの一覧 of the set in use, of the units the teacher chooses, into a
    // PDF the teacher names; nothing for a set with a question that does not parse.
    virtual void saveSheet(SheetKind kind) = 0;
    // At closing: finishes still on their way to the record get a few seconds, and the student
    // hears of any that did not make it.
    virtual void settleRecords() = 0;
    // 表示 → 自分で計算する: tells the drill and keeps the choice for the next start.
    virtual void setWritesLines(bool on) = 0;
};

// The windows the main window and the unit window open. The program implements it with its
// windows; the window tests stand in a scripted one where a real modal window would be in the way.
class OtherWindows {
public:
    virtual ~OtherWindows() = default;
    virtual std::optional<UnitChoice> runUnitWindow() = 0;  // TfrmMondai, modal: nothing when cancelled
    virtual int runEditorWindow() = 0;  // TfrmEditQues, modal: 1 OK, 2 cancel
    virtual void showRecordWindow() = 0;   // TfrmKiroku
    virtual void showPrintWindow() = 0;    // TfrmPrintS
    virtual void showStackWindow() = 0;    // TfrmDump
    virtual void showVersionWindow() = 0;  // TfrmVersion
    virtual void showHelpContents() = 0;
    virtual void showHelpPoint() = 0;
};

}  // namespace solvari
