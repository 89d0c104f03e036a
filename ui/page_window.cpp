#include "ui/page_window.h"

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
}  // namespace

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
    messFont.setPixelSize(21);
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
    grbKai->setGeometry(8, 30, 297, 121);
    // The group stands over line boxes: it paints its own ground, and its caption sits inside
    // the frame, above the answer picture.
    grbKai->setAttribute(Qt::WA_StyledBackground);
    grbKai->setStyleSheet("QGroupBox#grbKai { background-color: palette(window); border: 1px solid gray; margin-top: 0px; }"
                          "QGroupBox#grbKai::title { subcontrol-origin: padding; subcontrol-position: top left; left: 4px; top: 1px; }");
    grbKai->hide();
    auto* answer = new ImageBox(grbKai);
    answer->setObjectName("Image" + QString::number(ANSWER_LINE));
    answer->setGeometry(14, 16, 272, 76);
    boxes_[ANSWER_LINE] = answer;
    connect(answer, &ImageBox::clicked, this, [this] {
        if (practice_) practice_->nextQuestion();
    });
    const QString stars = QString("★").repeated(kStars);
    lblStarX = new QLabel(stars, grbKai);
    lblStarX->setObjectName("lblStarX");
    lblStarX->setGeometry(14, 16, 272, 16);
    lblStarY = new QLabel(stars, grbKai);
    lblStarY->setObjectName("lblStarY");
    lblStarY->setGeometry(14, 96, 272, 16);
    for (QLabel* l : {lblStarX, lblStarY}) {
        l->setStyleSheet("QLabel { background-color: yellow; }");
        l->setAlignment(Qt::AlignCenter);
        l->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
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

Canvas* TfrmPage::lineBox(int n) { return imageBox(n); }

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
    grbKai->show();
    grbKai->raise();
}

void TfrmPage::frame(int n, bool on) {
    ImageBox* box = imageBox(n);
    if (!box || n > 14) return;
    if (!on && !redFrame_[static_cast<size_t>(n)]) return;  // white already
    Typesetter::drawFrame(*box, on ? RED : WHITE);
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
