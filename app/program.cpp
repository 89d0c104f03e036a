#include "app/program.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QEvent>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>

#include "ui/stack_view_window.h"
#include "ui/question_editor_window.h"
#include "ui/main_window.h"
#include "ui/page_window.h"
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
#include "ui/sheet_pdf.h"
#include "ui/sheet_window.h"
#include "ui/style.h"
#include "solvari_version.h"

namespace solvari {

Program::~Program() {
    // The logic goes first: nothing it holds is drawn on a window being torn down.
    commands.reset();
    practice.reset();
    typesetter.reset();
    delete help;
    delete frmMain;  // owns the other windows
}

// The fatal box: text + the engine's error code + ":致命的なエラーです", then why, if given.
static void fatal(Prompter& prompter, const Engine& engine, const std::string& text, const std::string& reason = "") {
    std::string message = text + std::to_string(engine.engineError) + ":致命的なエラーです";
    if (!reason.empty()) message += "\n" + reason;
    prompter.inform(message);
}

bool Program::startDrill() {
    session->homeDirectory = QDir::currentPath().toStdString() + "/";
    session->document.path = setFile.empty() ? session->homeDirectory + "Question.leq" : setFile;
    const FileResult r = commands->load(session->document.path);
    if (!r.error.empty()) fatal(*prompter, session->engine, r.error, r.reason);
    if (!r.ok) {
        fatal(*prompter, session->engine, "問題が不正です");
        return false;
    }
    session->chooseRecord(QDir::currentPath().toStdString());
    return true;
}

void Program::saveSheet(SheetKind kind) {
    const QuestionSet& set = session->document.set;
    // Before anything is asked: a question that does not parse could only be printed as text.
    if (const std::vector<std::string> faults = sheetFaults(set); !faults.empty()) {
        prompter->inform(sheetFaultNotice(faults));
        return;
    }
    buildOtherWindows();
    std::optional<SheetOptions> options = frmSheet->run(kind, set);
    if (!options) return;
    // The PDFs are for handing out: the dialog opens in the documents folder (then where the
    // last one went), never in the hidden practice folder the drill works in.
    QString folder = sheetFolder_;
    if (folder.isEmpty()) folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QDir::homePath();
    const std::string title = sheetName(kind);
    const std::string path = frmMain->pdfDialog(QDir(folder).filePath(QString::fromStdString(title + ".pdf")).toStdString());
    if (path.empty()) return;
    const std::string& setPath = session->document.path;
    if (!setPath.empty() && absolutePath(path) == absolutePath(setPath)) {
        prompter->inform(SHEET_OVER_SET + path);
        return;
    }
    options->title = setTitleOf(setPath);
    const FileResult written = writeSheetPdf(path, sheetLayout(set, kind, *options));
    if (!written.ok) {
        prompter->inform(written.error);
        return;
    }
    sheetFolder_ = QFileInfo(QString::fromStdString(path)).absolutePath();
    // The teacher is told where it went: the dialog's folder is easily overlooked.
    prompter->inform(title + "を PDF に書きました:\n" +
                     QDir::toNativeSeparators(QString::fromStdString(absolutePath(path))).toStdString());
}

void Program::settleRecords() {
    if (const std::string notice = unrecordedNotice(session->settleRecords(std::chrono::seconds(5))); !notice.empty())
        prompter->inform(notice);
}

// The student's choices that outlive a run (~/.config/solvari/solvari.conf; QSettings replaces
// the file whole and under a lock).
static QSettings preferences() {
    return QSettings(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + "/solvari.conf",
                     QSettings::IniFormat);
}
static constexpr const char* WRITES_LINES_KEY = "drill/writesLines";

void Program::setWritesLines(bool on) {
    practice->setWritesLines(on);
    frmMain->showWritesLines(practice->writesLines);
    QSettings kept = preferences();
    kept.setValue(WRITES_LINES_KEY, practice->writesLines);
    kept.sync();
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
    frmDump = new TfrmDump(&s->engine, m);
    const RecordSource records{*s, s->document.set};
    frmDelete = new TfrmDelete(records, *prompter, m);
    frmEditQues = new TfrmEditQues(s->document, *prompter, m);
    frmKiroku = new TfrmKiroku(records, frmDelete, m);
    frmPrintS = new TfrmPrintS(PrintSource{*m->page, *m->pageWindow, s->engine, *practice}, *prompter, m);
    frmSheet = new TfrmSheet(m);
    frmSentaku = new TfrmSentaku(m);
    frmVersion = new TfrmVersion(m);
    frmMondai = new TfrmMondai(*practice, *this, m);
    help = new TfrmHelp();

    prompter->setChoiceDialog(frmSentaku);
    commands->pathSaved = [this](const std::string& path) {
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
    Session& session = *p->session;
    TfrmMain* m = p->frmMain = new TfrmMain(*p->prompter, *p, *p);
    p->typesetter = std::make_unique<Typesetter>(session.engine, *m->page);
    p->practice = std::make_unique<Practice>(session.engine, session.document.set, *p->typesetter, *m->page, *p->prompter, *m, session);
    p->commands = std::make_unique<QuestionCommands>(session.document, *p->practice, *p->prompter, *m, *m);
    m->attach(*p->practice, *p->commands, *p->typesetter);
    p->practice->setWritesLines(preferences().value(WRITES_LINES_KEY, false).toBool());
    m->showWritesLines(p->practice->writesLines);
    p->builder_ = new HiddenWindowBuilder(*p);
    return p;
}

}  // namespace solvari
