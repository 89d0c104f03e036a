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

std::unique_ptr<Program> createProgram() {
    auto p = std::make_unique<Program>();
    p->prompter = std::make_unique<QtPrompter>();
    p->session = std::make_unique<Session>(*p->prompter);
    p->frmMain = new TfrmMain(*p->session, *p->prompter);
    TfrmMain* m = p->frmMain;
    Session* session = p->session.get();
    p->frmDump = new TfrmDump(&m->engine, m);
    // The record windows ask for the file and the units when shown: both are fixed later.
    const RecordSource records{[session] { return recordFilePath(session->dataDirectory); },
                               [m]() -> const QuestionSet* { return &m->practice->questionSet; }};
    p->frmDelete = new TfrmDelete(records, m->prompter, m);
    p->frmEditQues = new TfrmEditQues(session->document.lines, m->engine, m->prompter, m);
    p->frmEditQues->setQuestionSet([m]() -> QuestionSet* { return &m->practice->questionSet; });
    p->frmEditQues->setSavedFlag(&session->document.saved);
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
    m->showStackWindow = [raw] { raw->frmDump->exec(); };
    m->showVersionWindow = [raw] { raw->frmVersion->exec(); };
    m->showHelpContents = [raw] { raw->help->showContents(); };
    m->showHelpPoint = [raw] { raw->help->showPoint(); };
    m->showRecordWindow = [raw] { raw->frmKiroku->exec(); };
    m->showPrintWindow = [raw] { raw->frmPrintS->exec(); };
    m->runUnitWindow = [raw] { return raw->frmMondai->exec(); };
    raw->frmMondai->showRecordWindow = [raw] { raw->frmKiroku->exec(); };
    m->commands->pathSaved = [raw](const std::string& path) {
        raw->frmEditQues->setCaptionNote("");  // saved in Shift-JIS now
        raw->frmEditQues->setQuestionPath(path);
    };
    m->runEditorWindow = [raw, session] {
        raw->frmEditQues->setCaptionNote(session->document.readAsUtf8 ? QuestionCommands::UTF8_CAPTION_NOTE : "");
        raw->frmEditQues->setQuestionPath(session->document.path);
        return raw->frmEditQues->exec();
    };
    return p;
}

}  // namespace solvari
