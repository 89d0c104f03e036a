#pragma once
#include <QDialog>
#include <QTranslator>
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
class TfrmSheet;

// The whole program: the session, the drill's logic and every window, created once at start
// in the order the program has always created them, and wired together here.
struct Program : OtherWindows, ProgramActions {
    // Made before any window and destroyed after them.
    std::unique_ptr<QtPrompter> prompter;
    std::unique_ptr<Session> session;
    // The drill on the main window's page, made right after the main window.
    std::unique_ptr<Typesetter> typesetter;
    std::unique_ptr<Practice> practice;
    std::unique_ptr<QuestionCommands> commands;
    TfrmMain* frmMain = nullptr;
    TfrmDump* frmDump = nullptr;
    TfrmDelete* frmDelete = nullptr;
    TfrmEditQues* frmEditQues = nullptr;
    TfrmKiroku* frmKiroku = nullptr;
    TfrmPrintS* frmPrintS = nullptr;
    TfrmSheet* frmSheet = nullptr;
    TfrmSentaku* frmSentaku = nullptr;
    TfrmVersion* frmVersion = nullptr;
    TfrmMondai* frmMondai = nullptr;
    TfrmHelp* help = nullptr;
    ~Program() override;

    // The question set named on the command line (absolute); "" for "Question.leq" of the
    // working folder.
    std::string setFile;

    bool startDrill() override;
    void saveSheet(SheetKind kind) override;
    void settleRecords() override;
    void setWritesLines(bool on) override;
    std::optional<UnitChoice> runUnitWindow() override;
    int runEditorWindow() override;
    void showRecordWindow() override;
    void showPrintWindow() override;
    void showStackWindow() override;
    void showVersionWindow() override;
    void showHelpContents() override;
    void showHelpPoint() override;

    // Makes every window but the main one, in the program's creation order, and wires them.
    // Runs once, right after question 1 is first painted (or before the first input, if that
    // comes sooner); later calls do nothing.
    void buildOtherWindows();
    bool otherWindowsBuilt() const { return othersBuilt_; }

private:
    friend std::unique_ptr<Program> createProgram();
    bool othersBuilt_ = false;
    QString sheetFolder_;  // where the last PDF of this run went; "" before the first
    QObject* builder_ = nullptr;  // owned by the main window; gone once the windows are built
};

// Creates the session and the main window. The main window is not shown yet: showing it runs the
// start-up (loading "Question.leq"); the other windows are built right after its first paint.
std::unique_ptr<Program> createProgram();

// The start-up main() makes and the start-up benchmark measures, in two halves. Before the
// application object: the program's name and version. After it, before any window: the desktop
// entry, the pictures, Qt's Japanese standard buttons (loaded into japanese, which must outlive
// the windows), the font stand-ins, the style and the window icon.
void nameApplication();
void prepareApplication(QTranslator& japanese);

}  // namespace solvari
