#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

#include "ui/page_window.h"
#include "ui/greeting_window.h"
#include "ui/window_frame.h"
#include "ui/pictures.h"
#include "ui/fonts.h"

namespace solvari {

namespace {
constexpr int kPanelWidth = 145;
constexpr int kPanelHeight = 620;  // below the last button of the panel
const QColor kMainColour(0, 192, 192);
const QColor kTeal(0, 128, 128);

QString q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

TfrmMain::TfrmMain(QtPrompter& prompter, OtherWindows& windows, ProgramActions& program, QWidget* parent)
    : QMainWindow(parent), prompter(prompter), windows(&windows), program(program) {
    setObjectName("frmMain");
    setWindowTitle(APP_TITLE);
    prompter.setParentWidget(this);
    fntNum = faceFont("Bookman Old Style");
    fntNum.setItalic(true);
    fntNum.setPixelSize(12);
    fntKnj = faceFont("ＭＳ Ｐゴシック");
    fntKnj.setPixelSize(16);
    openDialog = [this](const std::string& preset) {
        return QFileDialog::getOpenFileName(this, QString(), q(preset), "LEQファイル (*.LEQ *.leq)").toStdString();
    };
    saveDialog = [this](const std::string& preset) {
        // Qt's own overwrite confirmation stays on: a teacher is asked before a file is replaced.
        return QFileDialog::getSaveFileName(this, QString(), q(preset), "LEQﾌｧｲﾙ (*.LEQ *.leq)").toStdString();
    };
    pdfDialog = [this](const std::string& preset) {
        return QFileDialog::getSaveFileName(this, QString(), q(preset), "PDFファイル (*.pdf)").toStdString();
    };
    formCreate();
}

TfrmMain::~TfrmMain() {
    disconnect(followFocus_);
    qApp->removeEventFilter(this);
}

// ---------------------------------------------------------------- creation

void TfrmMain::formCreate() {
    greeting_ = new TfrmGreet();
    greeting_->setAttribute(Qt::WA_DeleteOnClose);
    greeting_->show();

    QPalette pal = palette();
    pal.setColor(QPalette::Window, kMainColour);
    setPalette(pal);
    setAutoFillBackground(true);

    auto* central = new QWidget(this);
    setCentralWidget(central);
    buildMenu();
    buildPanel();

    mdi_ = new QMdiArea(central);
    mdi_->setBackground(kMainColour);
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    // The usable part of the screen, in logical pixels: task bars and HiDPI scaling are
    // already taken off; 28 pixels are left for the window's title bar.
    const QRect screen = availableScreenGeometry();
    move(screen.topLeft());
    resize(screen.width(), std::max(200, screen.height() - 28));
    layoutFrame();

    timBlink = new QTimer(this);
    timBlink->setInterval(1000);
    connect(timBlink, &QTimer::timeout, this, [this] { practice->timBlinkTimer(); });
    nextQ_ = pictureIcon("next_q");
    nextR_ = pictureIcon("next_r");
    btnNext->setIcon(nextQ_);

    // The page lives as long as the window; the start-up only places it and loads the set.
    page = new TfrmPage();
    pageWindow = mdi_->addSubWindow(page, Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    prompter.setLineBoxLocator([this] {
        QWidget* box = dynamic_cast<QWidget*>(page->lineBox(1));
        return box ? QRect(box->mapToGlobal(QPoint(0, 0)), box->size()) : QRect();
    });
}

void TfrmMain::attach(Practice& drill, QuestionCommands& questionCommands, Typesetter& typesetter) {
    practice = &drill;
    commands = &questionCommands;
    page->attach(&drill, &typesetter);
    // Keys reach the drill only from now on.
    qApp->installEventFilter(this);
}

std::string TfrmMain::chooseOpenFile(const std::string& preset) { return openDialog ? openDialog(preset) : std::string(); }
std::string TfrmMain::chooseSaveFile(const std::string& preset) { return saveDialog ? saveDialog(preset) : std::string(); }

void TfrmMain::buildMenu() {
    QMenu* file = menuBar()->addMenu("ファイル(&F)");
    mnuOpen = file->addAction("開く(&O)", this, [this] { mnuOpenClick(); });
    mnuSave = file->addAction("保存(&S)", this, [this] { saveQuestionSet(); });
    file->addSeparator();
    mnuPrint = file->addAction("印刷(&P)", this, [this] { windows->showPrintWindow(); });
    // The teacher's printouts of the set as it stands (edited or not), each into a PDF.
    mnuAnswerKey = file->addAction("解答集(&K)...", this, [this] { program.saveSheet(SheetKind::AnswerKey); });
    mnuWorksheet = file->addAction("問題用紙(&W)...", this, [this] { program.saveSheet(SheetKind::Worksheet); });
    mnuAnswers = file->addAction("答えの一覧(&L)...", this, [this] { program.saveSheet(SheetKind::Answers); });
    file->addSeparator();
    mnuEnd = file->addAction("終了(&X)", this, [this] { close(); });
    QMenu* edit = menuBar()->addMenu("編集(&E)");
    mnuEditCWare = edit->addAction("編集(&E)", this, [this] { mnuEditCWareClick(); });
    QMenu* view = menuBar()->addMenu("表示(&V)");
    mnuShowRecord = view->addAction("練習の記録(&R)", this, [this] { windows->showRecordWindow(); });
    mnuDispStack = view->addAction("スタック(&S)", this, [this] { windows->showStackWindow(); });
    view->addSeparator();
    mnuWriteLines = view->addAction("自分で計算する(&C)");
    mnuWriteLines->setCheckable(true);
    connect(mnuWriteLines, &QAction::triggered, this, [this](bool on) { program.setWritesLines(on); });
    QMenu* change = menuBar()->addMenu("問題変更(&C)");
    mnuNext = change->addAction("次の問題(&N)", this, [this] { practice->nextQuestion(); });
    mnuTangen = change->addAction("選択(&S)", this, [this] { practice->chooseUnit(); });
    QMenu* help = menuBar()->addMenu("ヘルプ(&H)");
    mnuUsage = help->addAction("使い方(&U)", this, [this] { windows->showHelpContents(); });
    mnuPoint = help->addAction("ポイント(&P)", this, [this] { windows->showHelpPoint(); });
    help->addSeparator();
    mnuVersion = help->addAction("バージョン情報(&A)", this, [this] { windows->showVersionWindow(); });
}

void TfrmMain::layoutFrame() {
    QWidget* central = centralWidget();
    const int height = central->height();
    // Lower than the panel's controls: a scroll bar beside them, and the page moves over.
    const int bar = height < pnlMain->height() ? scrPanel->verticalScrollBar()->sizeHint().width() : 0;
    const int panelWidth = kPanelWidth + bar;
    scrPanel->setGeometry(0, 0, panelWidth, height);
    mdi_->setGeometry(panelWidth, 0, std::max(100, central->width() - panelWidth), height);
}

void TfrmMain::buildPanel() {
    scrPanel = new QScrollArea(centralWidget());
    scrPanel->setObjectName("scrPanel");
    scrPanel->setFrameShape(QFrame::NoFrame);
    scrPanel->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scrPanel->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scrPanel->viewport()->setAutoFillBackground(false);  // the frame's colour shows through
    pnlMain = new QFrame();
    pnlMain->setObjectName("pnlMain");
    pnlMain->setFrameShape(QFrame::NoFrame);
    pnlMain->setFixedSize(kPanelWidth, kPanelHeight);
    pnlMain->setAutoFillBackground(false);
    scrPanel->setWidget(pnlMain);
    // A control that takes the focus after a key (実行, 次の問題 after Enter) is
    // scrolled into view, so a keyboard user sees where the focus is.
    followFocus_ = connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (keyInput_ && now && pnlMain->isAncestorOf(now)) scrPanel->ensureWidgetVisible(now);
    });
    setToolTipDuration(-1);

    auto button = [](QWidget* parent, const QString& name, const QString& text, QRect geometry) {
        QPushButton* b = placedButton(parent, name, text, geometry);
        b->setAutoDefault(false);
        return b;
    };
    const char* circled[] = {"", "①", "②", "③", "④", "⑤", "⑥", "⑦", "⑧", "⑨", "⑩", "⑪", "⑫"};
    for (int n = 1; n <= 12; ++n) {
        QPushButton* b = button(pnlMain, QString("btnShiki%1").arg(n), circled[n], QRect(4, 6 + (n - 1) * 25, 25, 25));
        b->setEnabled(false);
        b->setFocusPolicy(Qt::NoFocus);
        b->setAccessibleName(QString("式") + circled[n]);  // a bare circled digit reads badly
        connect(b, &QPushButton::clicked, this, [this, n] { practice->selectLine(n); });
        btnShiki[static_cast<size_t>(n)] = b;
    }
    btnShiki[1]->setToolTip("①式");

    const QString tealBox = "QGroupBox { background-color: rgb(0,128,128); color: white; border: 1px solid rgb(0,96,96); margin-top: 14px; }"
                            "QGroupBox::title { subcontrol-origin: margin; left: 6px; }";
    grbSousa = new QGroupBox("操作", pnlMain);
    grbSousa->setObjectName("grbSousa");
    grbSousa->setStyleSheet(tealBox);
    grbSousa->setGeometry(34, 2, 108, 150);
    // The picture buttons have no text: their accessible names say what they do.
    auto picture = [&](const QString& name, const char* image, const QString& tip, const QString& spoken, int y) {
        QPushButton* b = button(grbSousa, name, QString(), QRect(6, y, 34, 30));
        b->setAccessibleName(spoken);
        b->setIcon(pictureIcon(image));
        b->setIconSize(QSize(24, 24));
        b->setToolTip(tip);
        b->setFocusPolicy(Qt::NoFocus);
        return b;
    };
    btnKake = picture("btnKake", "kake", "かける", "掛ける", 18);
    btnWaru = picture("btnWaru", "waru", "わる", "割る", 50);
    btnTasu = picture("btnTasu", "tasu", "たす", "足す", 82);
    btnHiku = picture("btnHiku", "hiku", "ひく", "引く", 114);
    auto word = [&](const QString& name, const QString& text, const QString& tip, int y) {
        QPushButton* b = button(grbSousa, name, text, QRect(44, y, 58, 40));
        QFont f = b->font();
        f.setBold(true);
        b->setFont(f);
        b->setStyleSheet("QPushButton { color: blue; }");
        b->setToolTip(tip);
        b->setFocusPolicy(Qt::NoFocus);  // not reachable by the Tab key
        return b;
    };
    btnKakko = word("btnKakko", "かっこ", "かっこをはずす", 18);
    btnSeiri = word("btnSeiri", "整理", "同類項を計算して簡単にする", 62);
    btnIkou = word("btnIkou", "移項", "移項する", 106);
    connect(btnKake, &QPushButton::clicked, this, [this] { practice->chooseOperation(Operation::Multiply); });
    connect(btnWaru, &QPushButton::clicked, this, [this] { practice->chooseOperation(Operation::Divide); });
    connect(btnTasu, &QPushButton::clicked, this, [this] { practice->chooseOperation(Operation::Add); });
    connect(btnHiku, &QPushButton::clicked, this, [this] { practice->chooseOperation(Operation::Subtract); });
    connect(btnKakko, &QPushButton::clicked, this, [this] { practice->chooseOperation(Operation::Brackets); });
    connect(btnSeiri, &QPushButton::clicked, this, [this] { practice->chooseOperationChecked(Operation::Collect); });
    connect(btnIkou, &QPushButton::clicked, this, [this] { practice->chooseOperationChecked(Operation::Transpose); });

    btnJikkou = button(pnlMain, "btnJikkou", "実行", QRect(34, 156, 108, 32));
    btnJikkou->setIcon(pictureIcon("jikkou"));
    btnJikkou->setEnabled(false);
    btnTeisei = button(pnlMain, "btnTeisei", "訂正", QRect(34, 190, 108, 32));
    btnTeisei->setIcon(pictureIcon("teisei"));
    connect(btnJikkou, &QPushButton::clicked, this, [this] { practice->execute(); });
    connect(btnTeisei, &QPushButton::clicked, this, [this] { practice->correct(); });

    grbNumber = new QGroupBox("数字", pnlMain);
    grbNumber->setObjectName("grbNumber");
    grbNumber->setStyleSheet(tealBox);
    grbNumber->setGeometry(34, 226, 108, 214);
    pnlNumber = new QLabel(grbNumber);
    pnlNumber->setObjectName("pnlNumber");
    pnlNumber->setGeometry(6, 18, 96, 28);
    pnlNumber->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    pnlNumber->setStyleSheet("QLabel { background-color: black; color: aqua; font-weight: bold; font-size: 16px; padding-right: 4px; }");
    const char* digitCaptions[] = {"０", "１", "２", "３", "４", "５", "６", "７", "８", "９"};
    const int rowOf[] = {3, 2, 2, 2, 1, 1, 1, 0, 0, 0};
    const int colOf[] = {0, 0, 1, 2, 0, 1, 2, 0, 1, 2};
    auto keyRect = [](int row, int col) { return QRect(6 + col * 32, 50 + row * 32, 32, 30); };
    for (int d = 0; d <= 9; ++d) {
        // the 7 key's caption is a half-width digit, unlike the other keys
        QPushButton* b = button(grbNumber, QString("btn%1").arg(d), d == 7 ? "7" : digitCaptions[d], keyRect(rowOf[d], colOf[d]));
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QPushButton::clicked, this, [this, d] { practice->keypad(digitKey(d)); });
        btnDigit[static_cast<size_t>(d)] = b;
    }
    btnDecimal = button(grbNumber, "btnDecimal", "．", keyRect(3, 1));
    btnMinus = button(grbNumber, "btnMinus", "-", keyRect(3, 2));
    btnClear = button(grbNumber, "btnClear", "CL", keyRect(4, 0));
    btnClear->setStyleSheet("QPushButton { color: red; font-weight: bold; }");
    btnClear->setToolTip("クリアする");
    btnBunsu = button(grbNumber, "btnBunsu", "分の", keyRect(4, 1));
    btnBunsu->setToolTip("分数の入力");
    btnMoji = button(grbNumber, "btnMoji", "x", keyRect(4, 2));
    btnMoji->setToolTip("文字を入力する");
    QFont letterFont = faceFont("Bookman Old Style");
    letterFont.setItalic(true);
    letterFont.setPixelSize(18);
    btnMoji->setFont(letterFont);
    btnMoji->setStyleSheet("QPushButton { color: fuchsia; }");
    for (QPushButton* b : {btnDecimal, btnMinus, btnClear, btnBunsu, btnMoji}) b->setFocusPolicy(Qt::NoFocus);
    // Symbols and the changing letter get names a screen reader can say.
    btnDecimal->setAccessibleName("小数点");
    btnMinus->setAccessibleName("マイナス");
    btnClear->setAccessibleName("クリア");
    btnMoji->setAccessibleName("文字");
    pnlNumber->setAccessibleName("入力した数");
    connect(btnDecimal, &QPushButton::clicked, this, [this] { practice->keypad(Key::Point); });
    connect(btnMinus, &QPushButton::clicked, this, [this] { practice->minusButton(); });
    connect(btnClear, &QPushButton::clicked, this, [this] { practice->keypad(Key::Clear); });
    connect(btnBunsu, &QPushButton::clicked, this, [this] { practice->keypad(Key::Fraction); });
    connect(btnMoji, &QPushButton::clicked, this, [this] { practice->keypad(Key::Letter); });

    // 自分で計算する: two more rows of the keypad, shown while the mode is on.
    const struct { QPushButton** b; const char* name; const char* text; const char* spoken; int row, col; LineKey key; } lineKeys[] = {
        {&btnPlus, "btnPlus", "＋", "プラス", 5, 0, LineKey::Plus},
        {&btnEqual, "btnEqual", "＝", "イコール", 5, 1, LineKey::Equals},
        {&btnBack, "btnBack", "←", "一文字消す", 5, 2, LineKey::Back},
        {&btnOpen, "btnOpen", "(", "かっこ開き", 6, 0, LineKey::Open},
        {&btnClose, "btnClose", ")", "かっこ閉じ", 6, 1, LineKey::Close},
    };
    for (const auto& k : lineKeys) {
        QPushButton* b = button(grbNumber, k.name, k.text, keyRect(k.row, k.col));
        b->setFocusPolicy(Qt::NoFocus);
        b->setAccessibleName(k.spoken);
        b->setEnabled(false);
        b->hide();
        const LineKey key = k.key;
        connect(b, &QPushButton::clicked, this, [this, key] { practice->lineKey(key); });
        *k.b = b;
    }
    btnMiru = button(pnlMain, "btnMiru", "答えを見る", QRect(34, 446, 108, 30));
    btnMiru->setToolTip("この式の正しい書き方を見ます（ヒントを使ったことになります）");
    btnMiru->setEnabled(false);
    btnMiru->hide();
    connect(btnMiru, &QPushButton::clicked, this, [this] { practice->showLine(); });

    btnNext = button(pnlMain, "btnNext", "次の問題", QRect(34, 446, 108, 32));
    btnNext->setIconSize(QSize(25, 25));
    btnNext->setToolTip("次の問題に移ります");
    btnChangeTangen = button(pnlMain, "btnChangeTangen", "単元変更", QRect(34, 482, 108, 30));
    btnPrint = button(pnlMain, "btnPrint", "　印　　刷　", QRect(34, 516, 108, 30));
    btnRecord = button(pnlMain, "btnRecord", "練習の記録", QRect(34, 550, 108, 30));
    btnHint = button(pnlMain, "btnHint", "ヒント", QRect(34, 584, 108, 30));
    btnHint->setToolTip("次にする計算を教えます（?キー）");
    connect(btnHint, &QPushButton::clicked, this, [this] {
        practice->hint();
        practice->refocus();
    });
    connect(btnNext, &QPushButton::clicked, this, [this] { practice->nextQuestion(); });
    connect(btnChangeTangen, &QPushButton::clicked, this, [this] { practice->chooseUnit(); });
    connect(btnPrint, &QPushButton::clicked, this, [this] { windows->showPrintWindow(); });
    connect(btnRecord, &QPushButton::clicked, this, [this] { windows->showRecordWindow(); });
}

// ---------------------------------------------------------------- start-up

void TfrmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shown_) {
        shown_ = true;
        // Now that the frame is known: the whole window, title bar and borders included,
        // stays inside the usable part of the screen.
        const QRect screen = availableScreenGeometry();
        if (!screen.contains(frameGeometry())) {
            const QSize frame = frameGeometry().size() - size();
            resize(std::min(width(), screen.width() - frame.width()), std::min(height(), screen.height() - frame.height()));
            move(screen.topLeft());  // a top-level window's position is its frame's
        }
        formShow();
    }
}

void TfrmMain::formShow() {
    layoutFrame();
    pageWindow->setGeometry(0, 0, std::max(100, mdi_->width() - 8), mdi_->height());
    pageWindow->show();
    practice->lineCapacity = page->layoutForScreen(scrPanel->width(), [this](const std::string& t) { prompter.inform(t); });

    // Every box of a failed start is shown before the window closes: the close is queued
    // once, after them, for the event loop the program runs next.
    fatalAtStart = !program.startDrill();
    if (greeting_) greeting_->close();
    if (fatalAtStart) {
        QTimer::singleShot(0, this, [this] { close(); });
        return;
    }
    practice->refocus();
}

// ---------------------------------------------------------------- closing

void TfrmMain::closeEvent(QCloseEvent* event) {
    if (!commands->mayClose()) {
        fatalAtStart = false;
        event->ignore();
        return;
    }
    timBlink->stop();
    program.settleRecords();
    event->accept();
    QApplication::closeAllWindows();
}

// ---------------------------------------------------------------- the view

void TfrmMain::showMessage(const std::string& text) {
    // A long message (a mistake named with its term, on a narrow screen) gets a smaller font
    // rather than losing its end at the strip's edge.
    QLabel* strip = page->lblMess;
    const QString words = q(text);
    QFont font = strip->font();
    int pixels = TfrmPage::MESSAGE_PIXELS;
    font.setPixelSize(pixels);
    while (pixels > TfrmPage::MESSAGE_MIN_PIXELS && QFontMetrics(font).horizontalAdvance(words) > strip->width() - 4)
        font.setPixelSize(--pixels);
    if (font != strip->font()) strip->setFont(font);
    strip->setText(words);
}
void TfrmMain::showDisplay(const std::string& text) { pnlNumber->setText(q(text)); }
void TfrmMain::showWriting(bool writing, bool lineOffered) {
    for (QPushButton* b : {btnPlus, btnEqual, btnOpen, btnClose, btnBack}) b->setEnabled(writing);
    btnMiru->setEnabled(lineOffered);
}
void TfrmMain::showWritesLines(bool on) {
    mnuWriteLines->setChecked(on);
    layoutPanel(on);
}
void TfrmMain::layoutPanel(bool writesLines) {
    // The keypad's two writing rows and 答えを見る push what lies below them down.
    const int grow = writesLines ? 64 : 0;
    const int below = writesLines ? grow + 34 : 0;
    for (QPushButton* b : {btnPlus, btnEqual, btnOpen, btnClose, btnBack, btnMiru}) b->setVisible(writesLines);
    grbNumber->setGeometry(34, 226, 108, 214 + grow);
    btnMiru->setGeometry(34, 446 + grow, 108, 30);
    btnNext->setGeometry(34, 446 + below, 108, 32);
    btnChangeTangen->setGeometry(34, 482 + below, 108, 30);
    btnPrint->setGeometry(34, 516 + below, 108, 30);
    btnRecord->setGeometry(34, 550 + below, 108, 30);
    btnHint->setGeometry(34, 584 + below, 108, 30);
    pnlMain->setFixedSize(kPanelWidth, kPanelHeight + below);
    layoutFrame();
}
void TfrmMain::setExecuteEnabled(bool on) { btnJikkou->setEnabled(on); }
void TfrmMain::setNextEnabled(bool on) { btnNext->setEnabled(on); }
void TfrmMain::setLineButtonEnabled(int n, bool on) {
    if (n >= 1 && n <= 12) btnShiki[static_cast<size_t>(n)]->setEnabled(on);
}
void TfrmMain::focusExecute() { btnJikkou->setFocus(); }
void TfrmMain::focusNext() { btnNext->setFocus(); }
void TfrmMain::setBlinking(bool on) {
    if (on) timBlink->start();
    else timBlink->stop();
}
void TfrmMain::setNextPicture(bool second) { btnNext->setIcon(second ? nextR_ : nextQ_); }
void TfrmMain::setPageCaption(const std::string& text) { pageWindow->setWindowTitle(q(text)); }
void TfrmMain::setLetterCaption(char letter) { btnMoji->setText(QString(QChar(letter))); }
void TfrmMain::placeSolutionBox(int line) { page->placeSolutionBox(line); }
void TfrmMain::hideSolutionBox() { page->grbKai->hide(); }
void TfrmMain::clearHoverFrames() { page->clearHoverFrames(); }
void TfrmMain::ask(Asking) {
    answerModally(*practice, prompter, [this] { return windows->runUnitWindow(); });
}

// ---------------------------------------------------------------- keys

// The main window sees every key first (its own and the page's), as its key preview did.
bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == centralWidget() && event->type() == QEvent::Resize) layoutFrame();
    if (event->type() == QEvent::MouseButtonPress) keyInput_ = false;
    if (event->type() != QEvent::KeyPress) return QMainWindow::eventFilter(watched, event);
    auto* w = qobject_cast<QWidget*>(watched);
    if (w && w->window() == this) keyInput_ = true;
    if (!w || w->window() != this || QApplication::activeModalWidget()) return QMainWindow::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    // Alt and Ctrl chords are the menus' mnemonics and the system's, not the drill's.
    if (key->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier))
        return QMainWindow::eventFilter(watched, event);
    // Space presses the focused button. The drill's focus rule is applied before the press
    // is delivered, so that press and release reach the same button (the release goes to
    // whatever has the focus by then).
    if (key->key() == Qt::Key_Space && !(key->modifiers() & Qt::ShiftModifier)) {
        QWidget* before = QApplication::focusWidget();
        practice->refocus();
        QWidget* target = QApplication::focusWidget();
        if (target && target != before) {
            QKeyEvent copy(key->type(), key->key(), key->modifiers(), key->text(), key->isAutoRepeat(), key->count());
            QCoreApplication::sendEvent(target, &copy);
            return true;
        }
        return QMainWindow::eventFilter(watched, event);
    }
    int code = 0;
    switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: code = KEY_ENTER; break;
        case Qt::Key_Escape: code = KEY_ESCAPE; break;
        case Qt::Key_Delete: code = KEY_DELETE; break;
        case Qt::Key_Backspace: code = KEY_BACKSPACE; break;
        case Qt::Key_Shift: code = KEY_SHIFT; break;
        default: break;
    }
    // '?' is typed with Shift, which would otherwise pick the newest line first.
    if (key->text() == "?") {
        practice->formKeyPress('?');
        return true;
    }
    const bool shift = key->modifiers() & Qt::ShiftModifier;
    const Stage stageBefore = practice->selectionStage;
    practice->formKeyDown(code, shift);
    if (shift && stageBefore == Stage::Nothing) return true;  // Shift picked the newest line, nothing else
    const QString text = key->text();
    if (text.size() == 1 && text[0].unicode() >= 0x20 && text[0].unicode() < 0x7F)
        practice->formKeyPress(static_cast<char>(text[0].unicode()));
    // Enter, Escape, Delete and the typed characters belong to the drill; Space still presses
    // the focused button (the next-question button after a verdict).
    return code == KEY_ENTER || code == KEY_ESCAPE || code == KEY_DELETE || (!text.isEmpty() && text != " ");
}

}  // namespace solvari
