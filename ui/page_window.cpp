#include "ui/page_window.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

#include "flow/practice.h"
#include "ui/image_box.h"
#include "ui/fonts.h"
#include "transform/typeset.h"

namespace solvari {

namespace {
QRect g_testScreen;  // the usable screen a test stands in for; empty: the real one
constexpr int kStars = 17;
// The typesetter writes a line's circled number this far from the box's right edge: a line
// box keeps that strip for it and scrolls a long line beside it.
constexpr int kLabelStrip = 32;
// The solution group, top to bottom: caption, stars, answer picture (its top rows, where
// nothing is drawn, under the stars), 検算, stars.
constexpr int kGroupWidth = 297;
constexpr int kInnerLeft = 14, kInnerWidth = 272;
constexpr int kStarTop = 16, kStarHeight = 16;
constexpr int kAnswerTop = 16, kAnswerHeight = 76;
constexpr int kLowerStarTop = 96;  // without a check
constexpr int kGroupBottomMargin = 9;
// A line box as the typesetter draws into it: the strip for the circled number stands beside
// the equation's rows; the sentence above them may run through it.
Canvas& wideBox(ImageBox& box) { return box.wideCanvas(kLabelStrip, Typesetter::rowOffset(box)); }
}  // namespace

// The answer box as the practice logic and the typesetter see it: the answer picture, except
// for the 検算 line, which the logic writes at its own row (Practice::CHECK_TOP) and which
// goes to lblKensan below the picture. Written into the picture, it stood over the answer.
class TfrmPage::AnswerCanvas : public Canvas {
public:
    AnswerCanvas(TfrmPage& page, ImageBox& box) : page_(page), picture_(box.wideCanvas(0)) {}

    void setFont(const FontSpec& font) override { picture_.setFont(font); }
    FontSpec font() const override { return picture_.font(); }
    int textOut(int x, int y, const std::string& utf8) override {
        if (y != Practice::CHECK_TOP) return picture_.textOut(x, y, utf8);
        FontSpec checkFont = picture_.font();
        checkFont.pixelSize = Practice::CHECK_FONT_PIXELS;  // the label wraps instead of shrinking
        const QFont font = qfontFor(checkFont);
        const QString text = QString::fromStdString(utf8);
        page_.lblKensan->setFont(font);
        page_.lblKensan->setText(text);
        page_.layoutSolutionGroup();
        return x + QFontMetrics(font).horizontalAdvance(text);
    }
    void line(int x1, int y1, int x2, int y2, Color pen) override { picture_.line(x1, y1, x2, y2, pen); }
    void rectangle(int left, int top, int right, int bottom, Color pen) override {
        picture_.rectangle(left, top, right, bottom, pen);
    }
    void clear() override {
        picture_.clear();
        if (!page_.lblKensan->text().isEmpty()) {
            page_.lblKensan->clear();
            page_.layoutSolutionGroup();
        }
    }
    int width() const override { return picture_.width(); }
    int height() const override { return picture_.height(); }
    void setVisible(bool visible) override { picture_.setVisible(visible); }

private:
    TfrmPage& page_;
    Canvas& picture_;
};

int screenWidth() {
    if (!g_testScreen.isEmpty()) return g_testScreen.width();
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().width() : 800;
}

QRect availableScreenGeometry() {
    if (!g_testScreen.isEmpty()) return g_testScreen;
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->availableGeometry() : QRect(0, 0, 800, 600);
}

void setScreenForTesting(const QRect& area) { g_testScreen = area; }

TfrmPage::TfrmPage(QWidget* parent) : QWidget(parent) {
    setObjectName("frmPage");
    setFont(faceFont("ＭＳ Ｐゴシック"));
    setMouseTracking(true);
    setAutoFillBackground(true);

    lblMess = new QLabel(this);
    lblMess->setObjectName("lblMess");
    lblMess->setGeometry(8, 0, 400, 25);
    QFont messFont = faceFont("ＭＳ ゴシック");
    messFont.setPixelSize(MESSAGE_PIXELS);
    messFont.setBold(true);
    lblMess->setFont(messFont);
    lblMess->setStyleSheet("QLabel { color: white; background-color: rgb(0,128,128); }");
    lblMess->setMouseTracking(true);

    for (int n = 1; n <= 14; ++n) {
        auto* box = new ImageBox(this);
        box->setObjectName(QString("Image%1").arg(n));
        // first places, used only until the page is laid out
        box->setGeometry(352 + 8 * (n - 7), 32 + 8 * (n - 7), 201, 70);
        boxes_[static_cast<size_t>(n)] = box;
        connect(box, &ImageBox::clicked, this, [this, n] {
            if (practice_) practice_->selectLine(n);
        });
        connect(box, &ImageBox::mouseMoved, this, [this, n] { hoverOver(n); });
    }

    grbKai = new QGroupBox("解", this);
    grbKai->setObjectName("grbKai");
    grbKai->setGeometry(8, 30, kGroupWidth, kLowerStarTop + kStarHeight + kGroupBottomMargin);
    // The group stands over line boxes: it paints its own ground, and its caption sits inside
    // the frame, above the answer picture.
    grbKai->setAttribute(Qt::WA_StyledBackground);
    grbKai->setStyleSheet("QGroupBox#grbKai { background-color: palette(window); border: 1px solid gray; margin-top: 0px; }"
                          "QGroupBox#grbKai::title { subcontrol-origin: padding; subcontrol-position: top left; left: 4px; top: 1px; }");
    grbKai->hide();
    auto* answer = new ImageBox(grbKai);
    answer->setObjectName("Image" + QString::number(ANSWER_LINE));
    answer->setGeometry(kInnerLeft, kAnswerTop, kInnerWidth, kAnswerHeight);
    boxes_[ANSWER_LINE] = answer;
    answerCanvas_ = std::make_unique<AnswerCanvas>(*this, *answer);
    connect(answer, &ImageBox::clicked, this, [this] {
        if (practice_) practice_->nextQuestion();
    });
    const QString stars = QString("★").repeated(kStars);
    lblStarX = new QLabel(stars, grbKai);
    lblStarX->setObjectName("lblStarX");
    lblStarX->setGeometry(kInnerLeft, kStarTop, kInnerWidth, kStarHeight);
    lblStarY = new QLabel(stars, grbKai);
    lblStarY->setObjectName("lblStarY");
    for (QLabel* l : {lblStarX, lblStarY}) {
        l->setStyleSheet("QLabel { background-color: yellow; }");
        l->setAlignment(Qt::AlignCenter);
        l->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    lblKensan = new QLabel(grbKai);
    lblKensan->setObjectName("lblKensan");
    lblKensan->setWordWrap(true);
    lblKensan->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblKensan->setStyleSheet("QLabel { background-color: white; color: black; padding-left: 2px; }");
    lblKensan->setAttribute(Qt::WA_TransparentForMouseEvents);  // a click on the group goes on
    layoutSolutionGroup();
}

TfrmPage::~TfrmPage() = default;

void TfrmPage::layoutSolutionGroup() {
    int starTop = kLowerStarTop;
    if (lblKensan->text().isEmpty()) {
        lblKensan->hide();
    } else {
        // as many rows as the check needs at the group's width; nothing of it is cut
        const int top = kAnswerTop + kAnswerHeight;
        const int height = lblKensan->heightForWidth(kInnerWidth);
        lblKensan->setGeometry(kInnerLeft, top, kInnerWidth, height);
        lblKensan->show();
        starTop = std::max(starTop, top + height + 2);
    }
    lblStarY->setGeometry(kInnerLeft, starTop, kInnerWidth, kStarHeight);
    grbKai->resize(kGroupWidth, starTop + kStarHeight + kGroupBottomMargin);
}

void TfrmPage::attach(Practice* practice, Typesetter* typesetter) {
    practice_ = practice;
    typesetter_ = typesetter;
}

int TfrmPage::layoutForScreen(int panelWidth, const std::function<void(const std::string&)>& inform) {
    const int screen = screenWidth();
    if (screen == 640) {
        inform("できれば８００×６００以上の解像度にしてください");
        lineCapacity = 8;
    } else if (screen == 800) {
        lineCapacity = 12;
    } else if (screen == 1024) {
        lineCapacity = 14;
    } else {
        lineCapacity = 12;
    }
    lblMess->setGeometry(8, 0, width() - 22, 25);
    const int half = lineCapacity / 2;
    const int column = (screen - panelWidth) / 2 - 18;
    const int top = lblMess->height() + 5;
    for (int n = 1; n <= 14; ++n) {
        ImageBox* box = boxes_[static_cast<size_t>(n)];
        if (n > lineCapacity) {
            // boxes beyond the page's capacity would only cover the right column
            box->hide();
            continue;
        }
        const bool left = n <= half;
        const int row = left ? n - 1 : n - half - 1;
        box->setGeometry(left ? 8 : column + 10, row * 76 + top, column, 75);
        box->setFont(FontSpec{"ＭＳ 明朝", 16, CHARSET_SHIFTJIS, false, false});
        box->show();
    }
    return lineCapacity;
}

Canvas* TfrmPage::lineBox(int n) {
    if (n == ANSWER_LINE) return answerCanvas_.get();
    ImageBox* box = imageBox(n);
    return box ? &wideBox(*box) : nullptr;
}

ImageBox* TfrmPage::imageBox(int n) {
    if (n < 1 || n > ANSWER_LINE) return nullptr;
    return boxes_[static_cast<size_t>(n)];
}

void TfrmPage::placeSolutionBox(int n) {
    if (n < 12) {
        if (n == 5 || n == 6) {
            grbKai->move(boxes_[7]->pos());
        } else {
            ImageBox* box = imageBox(n);
            if (!box || n >= LAST_WORK_LINE) box = boxes_[6];
            grbKai->move(box->x(), box->y() + box->height() + 3);
        }
    }
    // The whole group stays on the page. On a short page (8 lines) the place below a line
    // of the left column can lie past the bottom: the right column's first box is free then.
    const QRect page = rect();
    const int half = lineCapacity / 2;
    if (grbKai->geometry().bottom() > page.bottom() && n >= 1 && n <= half && boxes_[static_cast<size_t>(half + 1)]->isVisibleTo(this))
        grbKai->move(boxes_[static_cast<size_t>(half + 1)]->pos());
    const int x = std::max(0, std::min(grbKai->x(), page.width() - grbKai->width()));
    const int y = std::max(0, std::min(grbKai->y(), page.height() - grbKai->height()));
    grbKai->move(x, y);
    grbKai->show();
    grbKai->raise();
}

void TfrmPage::frame(int n, bool on) {
    ImageBox* box = imageBox(n);
    if (!box || n > 14) return;
    if (!on && !redFrame_[static_cast<size_t>(n)]) return;  // white already
    Typesetter::drawFrame(wideBox(*box), on ? RED : WHITE);
    redFrame_[static_cast<size_t>(n)] = on;
}

void TfrmPage::clearHoverFrames() {
    const int last = practice_ ? practice_->engine().targetLine : 14;
    for (int n = 1; n <= std::min(last, 14); ++n) frame(n, false);
    hoverLine = -1;
}

void TfrmPage::hoverOver(int n) {
    if (!practice_ || practice_->blinking || practice_->stepPending) return;
    clearHoverFrames();
    if (n <= practice_->engine().targetLine) {
        frame(n, true);
        hoverLine = n;
    }
}

void TfrmPage::hoverOutside() {
    if (practice_ && practice_->stepPending) return;
    if (hoverLine >= 1) frame(hoverLine, false);
    hoverLine = -1;
}

void TfrmPage::mouseMoveEvent(QMouseEvent* event) {
    hoverOutside();
    QWidget::mouseMoveEvent(event);
}

void TfrmPage::mousePressEvent(QMouseEvent* event) {
    if (grbKai->isVisible() && grbKai->geometry().contains(event->pos()) && practice_) {
        practice_->nextQuestion();
        return;
    }
    QWidget::mousePressEvent(event);
}

}  // namespace solvari
