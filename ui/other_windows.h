#pragma once
#include <optional>

#include "flow/practice.h"

namespace solvari {

// The windows the main window and the unit window open. The program implements it with its windows; the
// window tests stand in a scripted one where a real modal window would be in the way.
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
