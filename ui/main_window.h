#pragma once
#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "flow/practice.h"
#include "flow/question_commands.h"
#include "ui/qt_prompter.h"
#include "flow/question_set.h"
#include "ui/answer_choice_dialog.h"  // completes the type QtPrompter keeps a pointer to
#include "ui/other_windows.h"
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
class TfrmMain : public QMainWindow, public PracticeView, public FileChooser {
    Q_OBJECT
public:
    static constexpr const char* UTF8_NOTICE = QuestionCommands::UTF8_NOTICE;
    static constexpr const char* UTF8_CAPTION_NOTE = QuestionCommands::UTF8_CAPTION_NOTE;
    static constexpr const char* MSG_NOTHING_TO_SAVE = QuestionCommands::MSG_NOTHING_TO_SAVE;

    // The prompter and the program outlive the window. The window makes its controls and the
    // page; the program makes the logic on them and attaches it before the window is shown.
    TfrmMain(QtPrompter& prompter, OtherWindows& windows, ProgramActions& program, QWidget* parent = nullptr);
    ~TfrmMain() override;
    void attach(Practice& practice, QuestionCommands& commands, Typesetter& typesetter);

    QtPrompter& prompter;
    bool fatalAtStart = false;  // the start failed and the program is ending

    TfrmPage* page = nullptr;
    Practice* practice = nullptr;
    QuestionCommands* commands = nullptr;

    // The windows owned elsewhere; never null (tests may stand in their own).
    OtherWindows* windows;
    ProgramActions& program;
    // The open and save dialogs behind FileChooser; return "" when cancelled. Tests replace them.
    std::function<std::string(const std::string& preset)> openDialog;
    std::function<std::string(const std::string& preset)> saveDialog;
    // Where the answer key, worksheet or answers PDF goes; "" when cancelled.
    std::function<std::string(const std::string& preset)> pdfDialog;

    // --- start-up and closing ---
    void formShow();
    bool saveQuestionSet() { return commands->save(); }
    void mnuOpenClick() { commands->open(); }
    void mnuEditCWareClick() { commands->edit([this] { return windows->runEditorWindow(); }); }

    // --- FileChooser ---
    std::string chooseOpenFile(const std::string& preset) override;
    std::string chooseSaveFile(const std::string& preset) override;

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
    void ask(Asking what) override;
    void showWriting(bool writing, bool lineOffered) override;
    // 自分で計算する on or off: the menu's check and the keys that write a line.
    void showWritesLines(bool on);

    // --- controls, by their Windows-era names (glossary in ui/README.md) ---
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
    QPushButton *btnNext = nullptr, *btnChangeTangen = nullptr, *btnPrint = nullptr, *btnRecord = nullptr;
    QPushButton* btnHint = nullptr;  // ヒント: the solver's next step, as a sentence
    // 自分で計算する: the keys a written line needs beyond the keypad's, and 答えを見る.
    QPushButton *btnPlus = nullptr, *btnEqual = nullptr, *btnOpen = nullptr, *btnClose = nullptr, *btnBack = nullptr;
    QPushButton* btnMiru = nullptr;
    QTimer* timBlink = nullptr;
    QMdiSubWindow* pageWindow = nullptr;
    QAction *mnuOpen = nullptr, *mnuSave = nullptr, *mnuPrint = nullptr, *mnuAnswerKey = nullptr, *mnuWorksheet = nullptr,
            *mnuAnswers = nullptr, *mnuEnd = nullptr, *mnuEditCWare = nullptr,
            *mnuShowRecord = nullptr, *mnuDispStack = nullptr, *mnuNext = nullptr, *mnuTangen = nullptr,
            *mnuUsage = nullptr, *mnuPoint = nullptr, *mnuVersion = nullptr, *mnuWriteLines = nullptr;
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
    // The last input to this window was a key: a panel control that takes the focus now is
    // scrolled into view. Focus moved by the program at start or after a click leaves the
    // panel where the student has it (at the top at start, with ① to ④ and × ÷ in view).
    bool keyInput_ = false;
    // Dropped first in the destructor: hiding the window while it is torn down moves the focus,
    // and the handler must not run on a half-destroyed window.
    QMetaObject::Connection followFocus_;
    QIcon nextQ_, nextR_;

    void formCreate();
    void buildPanel();
    void layoutFrame();  // the panel and the page area fill the window below the menu
    void layoutPanel(bool writesLines);  // the keypad grows by the writing keys
    void buildMenu();
};

}  // namespace solvari
