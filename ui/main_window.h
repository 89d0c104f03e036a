#pragma once
#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "flow/practice.h"
#include "ui/qt_prompter.h"
#include "flow/question_set.h"
#include "ui/answer_choice_dialog.h"  // completes the type QtPrompter keeps a pointer to
#include "transform/typeset.h"

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QPushButton;
class QGroupBox;
class QFrame;
class QAction;
class QScrollArea;

namespace solvari {

class TfrmPage;
class TfrmGreet;

// The frame of the program: the control panel on the left (line buttons, operations, keypad,
// commands), the menu bar, and the equation page as its one child window. Every handler only
// forwards to the practice logic (Practice) or to a command; the window draws what it is told.
class TfrmMain : public QMainWindow, public PracticeView {
    Q_OBJECT
public:
    // Said once, in the message strip and the editor's caption, when a set was read as UTF-8.
    static constexpr const char* UTF8_NOTICE = "UTF-8 のファイルとして読みました。保存すると Shift-JIS で書き込みます";
    static constexpr const char* UTF8_CAPTION_NOTE = "（UTF-8 から読込・保存は Shift-JIS）";
    static constexpr const char* MSG_NOTHING_TO_SAVE = "問題が1問もないので保存しません";

    explicit TfrmMain(QWidget* parent = nullptr);
    ~TfrmMain() override;

    // --- state of the main window that is not the practice loop's ---
    std::vector<std::string> questionLines;  // the question-set text, one entry a line
    std::string questionPath;
    // The bytes the lines of the last file read had: an untouched line is saved with them.
    OriginalLineBytes questionLineBytes;
    bool questionReadAsUtf8 = false;  // until the set is saved (in Shift-JIS) or replaced
    std::string homeDirectory;
    std::string dataDirectory;
    bool questionSetSaved = true;
    // A copy taken before "開く" and "編集": the text, the set and the positions.
    struct Backup {
        std::vector<std::string> lines;
        OriginalLineBytes lineBytes;
        bool readAsUtf8 = false;
        QuestionSet set;
        int unit = 1;
        std::array<int, 21> questions{};
    } backup;
    bool fatalAtStart = false;  // the start failed and the program is ending

    QtPrompter prompter;
    Engine engine{prompter};
    TfrmPage* page = nullptr;
    std::unique_ptr<Typesetter> typesetter;
    std::unique_ptr<Practice> practice;

    // Windows owned elsewhere, reached through these (set by the program's start-up).
    std::function<int()> runUnitWindow;         // TfrmMondai, modal: 1 OK
    std::function<int()> runEditorWindow;       // TfrmEditQues, modal: 1 OK, 2 cancel
    std::function<void()> showRecordWindow;     // TfrmKiroku
    std::function<void()> showPrintWindow;      // TfrmPrintS
    std::function<void()> showStackWindow;      // TfrmDump
    std::function<void()> showVersionWindow;    // TfrmVersion
    std::function<void()> showHelpContents;
    std::function<void()> showHelpPoint;
    // The open and save dialogs; return "" when cancelled. Tests replace them.
    std::function<std::string(const std::string& preset)> openDialog;
    std::function<std::string(const std::string& preset)> saveDialog;
    // Where the answer key or worksheet PDF goes; "" when cancelled.
    std::function<std::string(const std::string& preset)> pdfDialog;
    // Told the new name after a save: the editor's caption follows it.
    std::function<void(const std::string& path)> questionPathSaved;
    // The clock of the record's DATE; tests fix it.
    std::function<QDateTime()> clock;

    // --- start-up and closing ---
    void formShow();
    bool loadQuestionSet(const std::string& path);
    // The fatal box: text + the engine's error code + ":致命的なエラーです", then why, if given.
    void fatalError(const std::string& text, const std::string& reason = "");
    bool saveQuestionSet();
    void mnuOpenClick();
    void mnuEditCWareClick();
    void takeBackup();
    void restoreBackup();

    // --- PracticeView ---
    void showMessage(const std::string& text) override;
    void showDisplay(const std::string& text) override;
    void setExecuteEnabled(bool on) override;
    void setNextEnabled(bool on) override;
    void setLineButtonEnabled(int n, bool on) override;
    void focusExecute() override;
    void focusNext() override;
    void setBlinking(bool on) override;
    void setNextPicture(bool second) override;
    void setPageCaption(const std::string& text) override;
    void setLetterCaption(char letter) override;
    void placeSolutionBox(int line) override;
    void hideSolutionBox() override;
    void clearHoverFrames() override;
    int runUnitSelection() override;

    // --- controls, by their Windows-era names (glossary in flow/README.md) ---
    QFrame* pnlMain = nullptr;
    std::array<QPushButton*, 13> btnShiki{};
    QGroupBox* grbSousa = nullptr;
    QPushButton *btnKake = nullptr, *btnWaru = nullptr, *btnTasu = nullptr, *btnHiku = nullptr;
    QPushButton *btnKakko = nullptr, *btnSeiri = nullptr, *btnIkou = nullptr;
    QPushButton *btnJikkou = nullptr, *btnTeisei = nullptr;
    QGroupBox* grbNumber = nullptr;
    QLabel* pnlNumber = nullptr;
    std::array<QPushButton*, 10> btnDigit{};
    QPushButton *btnDecimal = nullptr, *btnMinus = nullptr, *btnClear = nullptr, *btnBunsu = nullptr, *btnMoji = nullptr;
    QPushButton *btnNext = nullptr, *btnChangeTangen = nullptr, *btnPrint = nullptr, *BitBtn1 = nullptr;
    QPushButton* btnHint = nullptr;  // ヒント: the solver's next step, as a sentence
    QTimer* timBlink = nullptr;
    QMdiSubWindow* pageWindow = nullptr;
    QAction *mnuOpen = nullptr, *mnuSave = nullptr, *mnuPrint = nullptr, *mnuAnswerKey = nullptr, *mnuWorksheet = nullptr,
            *mnuEnd = nullptr, *mnuEditCWare = nullptr,
            *mnuShowRecord = nullptr, *mnuDispStack = nullptr, *mnuNext = nullptr, *mnuTangen = nullptr,
            *mnuUsage = nullptr, *mnuPoint = nullptr, *mnuVersion = nullptr;
    QFont fntNum;  // the two font holders the line drawing uses; never shown
    QFont fntKnj;

    // The panel scrolls when the window is lower than its controls (small screens, HiDPI).
    QScrollArea* scrPanel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<TfrmGreet> greeting_;
    QMdiArea* mdi_ = nullptr;
    bool shown_ = false;
    bool starting_ = false;                     // formShow is loading the first set
    std::set<std::string> reportedRecordErrors_;  // record failures already told this run
    QIcon nextQ_, nextR_;

    void formCreate();
    void buildPanel();
    void layoutFrame();  // the panel and the page area fill the window below the menu
    void buildMenu();
    void startPractice();
    bool saveQuestionSetQuiet();
    bool useQuestionFile(const std::string& path, const QuestionLinesResult& read);
    void tellReadAsUtf8();
};

}  // namespace solvari
