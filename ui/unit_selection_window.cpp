#include "ui/unit_selection_window.h"

#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>

#include "engine/engine.h"
#include "flow/practice.h"
#include "ui/image_box.h"
#include "transform/typeset.h"
#include "ui/window_frame.h"
#include "ui/fonts.h"

namespace solvari {

namespace {

const QColor kMarkGreen(0, 128, 0);

struct Place {
    int left, top;
};
// Index = question number; 0 is unused.
constexpr Place kImagePlace[] = {{0, 0}, {48, 32}, {48, 112}, {48, 192}, {48, 272}, {48, 352}, {423, 8}, {423, 96}};
constexpr Place kMarkPlace[] = {{0, 0}, {24, 32}, {24, 112}, {24, 192}, {24, 272}, {24, 352}, {400, 8}, {400, 96}};
constexpr Place kButtonPlace[] = {{0, 0}, {344, 56}, {344, 136}, {344, 216}, {344, 296}, {344, 376}, {719, 40}, {719, 120}};
const char* const kCircled[] = {"", "①", "②", "③", "④", "⑤", "⑥", "⑦"};
// A question box's last column lies under its numbered button: the line never scrolls there.
constexpr int QUESTION_BOX_STRIP = 2;

QImage solidPicture(const QColor& colour) {
    QImage picture(MarkBox::PICTURE_WIDTH, MarkBox::PICTURE_HEIGHT, QImage::Format_RGB32);
    picture.fill(colour);
    return picture;
}

}  // namespace

// ---------------------------------------------------------------- MarkBox

MarkBox::MarkBox(QWidget* parent) : ClickableWidget(parent), picture_(solidPicture(Qt::white)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void MarkBox::copyPicture(int x, int y, const QImage& picture) {
    QPainter p(&picture_);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(x, y, picture);
    update();
}

void MarkBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(rect(), picture_);  // stretched to the box
}

// ---------------------------------------------------------------- TfrmMondai

// The question boxes as the typesetter's boxes: box n is Image n.
class TfrmMondai::QuestionBoxes : public PageBoxes {
public:
    explicit QuestionBoxes(const TfrmMondai& window) : window_(window) {}
    Canvas* lineBox(int n) override {
        ImageBox* box = window_.questionBox(n);
        return box ? &box->wideCanvas(QUESTION_BOX_STRIP) : nullptr;
    }

private:
    const TfrmMondai& window_;
};

TfrmMondai::TfrmMondai(Practice& practice, OtherWindows& windows, QWidget* parent)
    : QDialog(parent), practice_(practice), windows_(windows), boxes_(std::make_unique<QuestionBoxes>(*this)),
      typesetter_(std::make_unique<Typesetter>(engine_, *boxes_)) {
    frameDialog(this, "frmMondai", "frmMondai", designFont("ＭＳ Ｐゴシック", 12));
    // The fixed 758 × 480 layout scrolls inside the window on a smaller screen.
    surface_ = scrollingSurface(this, QSize(758, 480));
    QWidget* const surface = surface_;
    QFont listFont = faceFont("ＭＳ Ｐゴシック");
    listFont.setPixelSize(16);

    imgKakkoB = solidPicture(kMarkGreen);
    imgKakkoW = solidPicture(Qt::white);

    lblMidashi = new QLabel(surface);
    lblMidashi->setObjectName("lblMidashi");
    lblMidashi->setGeometry(24, 2, 321, 25);
    lblMidashi->setFont(listFont);
    lblMidashi->setStyleSheet("QLabel { color: black; background-color: white; }");

    for (int n = 1; n <= BOX_COUNT; ++n) {
        const auto i = static_cast<size_t>(n);
        auto* image = new ImageBox(surface);
        image->setObjectName(QString("Image%1").arg(n));
        image->setGeometry(kImagePlace[i].left, kImagePlace[i].top, 297, 75);
        connect(image, &ImageBox::clicked, this, [this, n] { markQuestion(n); });

        auto* mark = new MarkBox(surface);
        mark->setObjectName(QString("imgKakko%1").arg(n));
        mark->setGeometry(kMarkPlace[i].left, kMarkPlace[i].top, 25, 75);
        // Every mark box answers a click like its picture and its button do, so the student
        // can click anywhere on a question's row.
        connect(mark, &MarkBox::clicked, this, [this, n] { markQuestion(n); });

        auto* button = new QPushButton(kCircled[i], surface);
        button->setObjectName(QString("btnShiki%1").arg(n));
        button->setGeometry(kButtonPlace[i].left, kButtonPlace[i].top, 25, 25);
        button->setAutoDefault(false);
        // No question is drawn yet: a button only becomes usable with its question.
        button->setEnabled(false);
        connect(button, &QPushButton::clicked, this, [this, n] { markQuestion(n); });
    }

    lblGuide = new QLabel("単元を選んでください", surface);
    lblGuide->setObjectName("lblGuide");
    lblGuide->setGeometry(367, 184, 321, 25);
    lblGuide->setAlignment(Qt::AlignCenter);
    lblGuide->setFrameShape(QFrame::Panel);
    lblGuide->setFrameShadow(QFrame::Raised);
    lblGuide->setStyleSheet("QLabel { background-color: aqua; }");

    lstTangen = new QListWidget(surface);
    lstTangen->setObjectName("lstTangen");
    lstTangen->setGeometry(367, 224, 321, 169);
    lstTangen->setFont(listFont);
    lstTangen->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstTangen->viewport()->installEventFilter(this);
    // A click on a row, also on the row already shown, and a row change by the keys both
    // show that unit; a mouse press changes the row before the click, so it waits for the click.
    connect(lstTangen, &QListWidget::itemClicked, this, [this] { lstTangenClick(); });
    connect(lstTangen, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!filling_ && !pressing_ && row >= 0) lstTangenClick();
    });

    btnOK = new QPushButton("Ｏ　Ｋ", surface);
    btnOK->setObjectName("btnOK");
    btnOK->setGeometry(400, 392, 81, 33);
    btnCancel = new QPushButton("キャンセル", surface);
    btnCancel->setObjectName("btnCancel");
    btnCancel->setGeometry(512, 392, 81, 33);
    btnShowRecord = new QPushButton("練習の記録", surface);
    btnShowRecord->setObjectName("btnShowRecord");
    btnShowRecord->setGeometry(599, 392, 89, 33);
    for (QPushButton* b : {btnOK, btnCancel, btnShowRecord}) b->setAutoDefault(false);
    // Enter accepts the marked question wherever the focus is (the list passes Enter on).
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &TfrmMondai::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmMondai::btnCancelClick);
    connect(btnShowRecord, &QPushButton::clicked, this, &TfrmMondai::btnShowRecordClick);
}

TfrmMondai::~TfrmMondai() = default;

ImageBox* TfrmMondai::questionBox(int n) const {
    return surface_->findChild<ImageBox*>(QString("Image%1").arg(n), Qt::FindDirectChildrenOnly);
}

MarkBox* TfrmMondai::markBox(int n) const {
    return surface_->findChild<MarkBox*>(QString("imgKakko%1").arg(n), Qt::FindDirectChildrenOnly);
}

QPushButton* TfrmMondai::questionButton(int n) const {
    return surface_->findChild<QPushButton*>(QString("btnShiki%1").arg(n), Qt::FindDirectChildrenOnly);
}

void TfrmMondai::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) fitOnScreen(this, true);
    QDialog::showEvent(event);
    if (!event->spontaneous()) formShow();
}

bool TfrmMondai::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lstTangen->viewport()) {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) pressing_ = true;
        else if (event->type() == QEvent::MouseButtonRelease) pressing_ = false;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmMondai::showTitle() {
    const Practice& p = practice_;
    if (shownUnit < 1 || shownUnit > MAX_UNITS) return;
    lblMidashi->setText(QString::fromStdString(p.questionSet.unitTitle[static_cast<size_t>(shownUnit)]));
}

void TfrmMondai::formShow() {
    const Practice& p = practice_;
    const QuestionSet& set = p.questionSet;
    shownUnit = p.currentUnit;
    showTitle();
    markedQuestion = p.currentQuestion.at(static_cast<size_t>(shownUnit));

    filling_ = true;
    lstTangen->clear();
    for (int u = 1; u <= MAX_UNITS; ++u) {
        const std::string& title = set.unitTitle[static_cast<size_t>(u)];
        if (title.empty()) break;
        lstTangen->addItem(QString::fromStdString(title));
    }
    filling_ = false;

    drawUnitQuestions();
    for (int n = 1; n <= BOX_COUNT; ++n) {
        if (MarkBox* mark = markBox(n)) mark->copyPicture(0, 0, imgKakkoW);
    }
    filling_ = true;
    lstTangen->clearSelection();
    lstTangen->setCurrentRow(shownUnit - 1);
    filling_ = false;
    markQuestion(p.currentQuestion.at(static_cast<size_t>(shownUnit)));
    lstTangen->setFocus();
}

void TfrmMondai::drawUnitQuestions() {
    const Practice& p = practice_;
    if (shownUnit < 1 || shownUnit > MAX_UNITS) return;
    const auto u = static_cast<size_t>(shownUnit);
    const int count = p.questionSet.questionCount[u];
    for (int q = 1; q <= count; ++q) {
        {
            // A faulty question is drawn as far as the parser got, without a message: the
            // list is for choosing, the editor's check is where faults are reported.
            std::vector<Diagnostic> unshown;
            engine_.parseEquation(SCRATCH_LINE, p.questionSet.questionText[u][static_cast<size_t>(q)], unshown);
        }
        ImageBox* box = questionBox(q);
        if (box) Typesetter::clearBox(*box);
        if (QPushButton* b = questionButton(q)) b->setEnabled(true);
        // A long question keeps its type size and scrolls in its box: shrunk to the compact
        // size it was hard to read, and still cut at the edge.
        if (box) typesetter_->layoutLine(*boxes_->lineBox(q), SCRATCH_LINE, false, engine_.line(SCRATCH_LINE));
    }
    for (int q = count + 1; q <= drawnCount; ++q) {
        if (ImageBox* box = questionBox(q)) Typesetter::clearBox(*box);
        if (QPushButton* b = questionButton(q)) b->setEnabled(false);
    }
    drawnCount = count;
}

void TfrmMondai::eraseMark() {
    if (MarkBox* mark = markBox(markedQuestion)) mark->copyPicture(1, 1, imgKakkoW);
}

void TfrmMondai::markQuestion(int n) {
    const Practice& p = practice_;
    if (shownUnit < 1 || shownUnit > MAX_UNITS) return;
    if (n < 1 || n > p.questionSet.questionCount[static_cast<size_t>(shownUnit)]) return;
    eraseMark();
    if (MarkBox* mark = markBox(n)) mark->copyPicture(1, 1, imgKakkoB);
    markedQuestion = n;
}

void TfrmMondai::lstTangenClick() {
    const Practice& p = practice_;
    const int row = lstTangen->currentRow();
    if (row < 0) return;
    eraseMark();
    shownUnit = row + 1;
    showTitle();
    drawUnitQuestions();
    markQuestion(p.currentQuestion.at(static_cast<size_t>(shownUnit)));
}

std::optional<UnitChoice> TfrmMondai::run() {
    choice_.reset();
    exec();
    return choice_;
}

void TfrmMondai::btnOKClick() {
    choice_ = UnitChoice{shownUnit, markedQuestion};
    eraseMark();
    done(RESULT_OK);
}

void TfrmMondai::btnCancelClick() {
    eraseMark();
    done(RESULT_CANCEL);
}

void TfrmMondai::btnShowRecordClick() {
    windows_.showRecordWindow();
}

void TfrmMondai::reject() { done(RESULT_CANCEL); }

}  // namespace solvari
