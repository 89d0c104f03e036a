#include "app/program.h"

#include <QMdiSubWindow>

#include "ui/stack_view_window.h"
#include "ui/question_editor_window.h"
#include "ui/main_window.h"
#include "ui/unit_selection_window.h"
#include "ui/answer_choice_dialog.h"
#include "ui/record_deletion_window.h"
#include "ui/help_window.h"
#include "ui/record_viewer_window.h"
#include "ui/print_window.h"
#include "ui/about_dialog.h"

namespace solvari {

Program::~Program() {
    delete help;
    delete frmMain;  // owns the other windows
}

int Program::runUnitWindow() { return frmMondai->exec(); }
int Program::runEditorWindow() {
    const QuestionDocument& document = session->document;
    frmEditQues->setCaptionNote(document.readAsUtf8 ? QuestionCommands::UTF8_CAPTION_NOTE : "");
    frmEditQues->setQuestionPath(document.path);
    return frmEditQues->exec();
}
void Program::showRecordWindow() { frmKiroku->exec(); }
void Program::showPrintWindow() { frmPrintS->exec(); }
void Program::showStackWindow() { frmDump->exec(); }
void Program::showVersionWindow() { frmVersion->exec(); }
void Program::showHelpContents() { help->showContents(); }
void Program::showHelpPoint() { help->showPoint(); }

std::unique_ptr<Program> createProgram() {
    auto p = std::make_unique<Program>();
    p->prompter = std::make_unique<QtPrompter>();
    p->session = std::make_unique<Session>(*p->prompter);
    p->frmMain = new TfrmMain(*p->session, *p->prompter, *p);
    TfrmMain* m = p->frmMain;
    Session* session = p->session.get();
    p->frmDump = new TfrmDump(&m->engine, m);
    // The record windows ask for the file and the units when shown: both are fixed later.
    const RecordSource records{[session] { return recordFilePath(session->dataDirectory); },
                               [m]() -> const QuestionSet* { return &m->practice->questionSet; }};
    p->frmDelete = new TfrmDelete(records, m->prompter, m);
    p->frmEditQues = new TfrmEditQues(session->document, m->prompter, m);
    p->frmEditQues->setQuestionSet([m]() -> QuestionSet* { return &m->practice->questionSet; });
    p->frmKiroku = new TfrmKiroku(records, p->frmDelete, m);
    p->frmPrintS = new TfrmPrintS(PrintSource{[m] { return m->page; },
                                              [m]() -> QWidget* { return m->pageWindow; },
                                              [m] { return m->engine.targetLine; },
                                              [m] { return m->practice->questionFinished; }},
                                  m->prompter, m);
    p->frmSentaku = new TfrmSentaku(m);
    p->frmVersion = new TfrmVersion(m);
    p->frmMondai = new TfrmMondai([m] { return m->practice.get(); }, m);
    p->help = new TfrmHelp();

    m->prompter.setChoiceDialog(p->frmSentaku);
    Program* raw = p.get();
    raw->frmMondai->showRecordWindow = [raw] { raw->frmKiroku->exec(); };
    m->commands->pathSaved = [raw](const std::string& path) {
        raw->frmEditQues->setCaptionNote("");  // saved in Shift-JIS now
        raw->frmEditQues->setQuestionPath(path);
    };
    return p;
}

}  // namespace solvari
