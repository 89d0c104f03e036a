#include "app/program.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QEvent>
#include <QMdiSubWindow>
#include <QTimer>

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
#include "ui/fonts.h"
#include "ui/pictures.h"
#include "ui/resources.h"
#include "ui/style.h"
#include "solvari_version.h"

namespace solvari {

Program::~Program() {
    delete help;
    delete frmMain;  // owns the other windows
}

std::optional<UnitChoice> Program::runUnitWindow() { return frmMondai->run(); }
int Program::runEditorWindow() {
    const QuestionDocument& document = session->document;
    frmEditQues->setCaptionNote(document.readAsUtf8 ? QuestionCommands::UTF8_CAPTION_NOTE : "");
    frmEditQues->setQuestionPath(document.path);
    return frmEditQues->exec();
}
void Program::showRecordWindow() {
    // The record shown (or changed) holds the finishes made so far.
    session->settleRecords(std::chrono::seconds(2));
    frmKiroku->exec();
}
void Program::showPrintWindow() { frmPrintS->exec(); }
void Program::showStackWindow() { frmDump->exec(); }
void Program::showVersionWindow() { frmVersion->exec(); }
void Program::showHelpContents() { help->showContents(); }
void Program::showHelpPoint() { help->showPoint(); }

namespace {

// Builds the hidden windows once question 1 has been painted, so the pupil sees the page before
// they are made; any input that comes first builds them before it is handled.
class HiddenWindowBuilder : public QObject {
public:
    explicit HiddenWindowBuilder(Program& program) : QObject(program.frmMain), program_(program) {
        qApp->installEventFilter(this);
    }
    bool eventFilter(QObject* target, QEvent* event) override {
        switch (event->type()) {
        case QEvent::Paint:
            if (!queued_ && target->isWidgetType() && isInMainWindow(static_cast<QWidget*>(target))) {
                queued_ = true;
                QTimer::singleShot(0, this, [this] { program_.buildOtherWindows(); });
            }
            break;
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::TouchBegin:
        case QEvent::ContextMenu:
            program_.buildOtherWindows();
            break;
        default:
            break;
        }
        return false;
    }

private:
    bool isInMainWindow(QWidget* w) const { return w == program_.frmMain || program_.frmMain->isAncestorOf(w); }
    Program& program_;
    bool queued_ = false;
};

}  // namespace

void Program::buildOtherWindows() {
    if (othersBuilt_) return;
    othersBuilt_ = true;
    delete builder_;
    builder_ = nullptr;
    TfrmMain* m = frmMain;
    Session* s = session.get();
    frmDump = new TfrmDump(&m->engine, m);
    const RecordSource records{*s, m->practice->questionSet};
    frmDelete = new TfrmDelete(records, m->prompter, m);
    frmEditQues = new TfrmEditQues(s->document, m->practice->questionSet, m->prompter, m);
    frmKiroku = new TfrmKiroku(records, frmDelete, m);
    frmPrintS = new TfrmPrintS(PrintSource{*m->page, *m->pageWindow, m->engine, *m->practice}, m->prompter, m);
    frmSentaku = new TfrmSentaku(m);
    frmVersion = new TfrmVersion(m);
    frmMondai = new TfrmMondai(*m->practice, *this, m);
    help = new TfrmHelp();

    m->prompter.setChoiceDialog(frmSentaku);
    m->commands->pathSaved = [this](const std::string& path) {
        frmEditQues->setCaptionNote("");  // saved in Shift-JIS now
        frmEditQues->setQuestionPath(path);
    };
}

void nameApplication() {
    QCoreApplication::setApplicationName("solvari");
    QCoreApplication::setApplicationVersion(SOLVARI_VERSION);
}

void prepareApplication(QTranslator& japanese) {
    // No display name: Qt would append it to every window's title on the task bar, and each
    // window already carries its own title.
    QGuiApplication::setDesktopFileName("org.nelvora.Solvari");
    initSolvariResources();
    if (japanese.load("qtbase_ja", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&japanese);
    useUiFace(installFontSubstitutions());
    QApplication::setStyle(new LazyIconStyle);
    QApplication::setWindowIcon(pictureIcon("icon"));
}

std::unique_ptr<Program> createProgram() {
    auto p = std::make_unique<Program>();
    p->prompter = std::make_unique<QtPrompter>();
    p->session = std::make_unique<Session>();
    p->session->prompter = p->prompter.get();
    p->frmMain = new TfrmMain(*p->session, *p->prompter, *p);
    p->builder_ = new HiddenWindowBuilder(*p);
    return p;
}

}  // namespace solvari
