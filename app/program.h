#pragma once
#include <QDialog>
#include <memory>

#include "flow/session.h"
#include "ui/main_window.h"
#include "ui/qt_prompter.h"

namespace solvari {

class TfrmDump;
class TfrmSentaku;
class TfrmVersion;
class TfrmHelp;
class TfrmEditQues;
class TfrmMondai;
class TfrmDelete;
class TfrmKiroku;
class TfrmPrintS;

// Every window of the program, created once at start in the order the program has always
// created them, and wired to the main window's commands.
struct Program : OtherWindows {
    // Made before any window and destroyed after them.
    std::unique_ptr<QtPrompter> prompter;
    std::unique_ptr<Session> session;
    TfrmMain* frmMain = nullptr;
    TfrmDump* frmDump = nullptr;
    TfrmDelete* frmDelete = nullptr;
    TfrmEditQues* frmEditQues = nullptr;
    TfrmKiroku* frmKiroku = nullptr;
    TfrmPrintS* frmPrintS = nullptr;
    TfrmSentaku* frmSentaku = nullptr;
    TfrmVersion* frmVersion = nullptr;
    TfrmMondai* frmMondai = nullptr;
    TfrmHelp* help = nullptr;
    ~Program() override;

    int runUnitWindow() override;
    int runEditorWindow() override;
    void showRecordWindow() override;
    void showPrintWindow() override;
    void showStackWindow() override;
    void showVersionWindow() override;
    void showHelpContents() override;
    void showHelpPoint() override;
};

// Creates the session, then the windows (the main window first, so its greeting shows at once) and wires them.
// The main window is not shown yet: showing it runs the start-up (loading "Question.leq").
std::unique_ptr<Program> createProgram();

}  // namespace solvari
