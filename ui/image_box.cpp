#include "ui/image_box.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "ui/fonts.h"

namespace solvari {

namespace {

QColor qcolor(Color c) { return QColor(c.r, c.g, c.b); }

int sign(int v) { return (v > 0) - (v < 0); }

}  // namespace

ImageBox::ImageBox(QWidget* parent) : ClickableWidget(parent), qfont_(qfontFor(font_)) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // No image yet: most boxes of a page stay blank for a long time, and a blank box is white.
}

void ImageBox::fitImage() const {
    // One image pixel per device pixel, so equations are as sharp as the menus on HiDPI;
    // every drawing call still speaks logical pixels (the image carries the ratio).
    const qreal ratio = devicePixelRatioF();
    const QSize wanted = size().expandedTo(QSize(1, 1));
    if (!image_.isNull() && image_.deviceIndependentSize().toSize() == wanted && image_.devicePixelRatio() == ratio) return;
    QImage grown(wanted * ratio, QImage::Format_RGB32);
    grown.setDevicePixelRatio(ratio);
    grown.fill(Qt::white);
    if (!image_.isNull()) {
        QPainter p(&grown);
        p.drawImage(0, 0, image_);
    }
    image_ = grown;
}

void ImageBox::setFont(const FontSpec& font) {
    font_ = font;
    qfont_ = qfontFor(font);
}

FontSpec ImageBox::font() const { return font_; }

int ImageBox::textOut(int x, int y, const std::string& utf8) {
    fitImage();
    const QString text = QString::fromStdString(utf8);
    QPainter p(&image_);
    p.setFont(qfont_);
    const QFontMetrics fm = p.fontMetrics();
    const int advance = fm.horizontalAdvance(text);
    if (!text.isEmpty()) {
        // An opaque text cell, as the Windows canvas writes it: a redraw covers what was there.
        p.fillRect(x, y, advance, fm.height(), Qt::white);
        p.setPen(Qt::black);
        p.drawText(x, y + fm.ascent(), text);
        update(x, y, advance, fm.height());
    }
    return x + advance;
}

void ImageBox::line(int x1, int y1, int x2, int y2, Color pen) {
    fitImage();
    if (x1 == x2 && y1 == y2) return;
    // The end point is not drawn; for a slanted line the last pixel is left as it falls.
    if (x1 == x2 || y1 == y2) {
        x2 -= sign(x2 - x1);
        y2 -= sign(y2 - y1);
    }
    QPainter p(&image_);
    p.setPen(QPen(qcolor(pen), 1));
    p.drawLine(x1, y1, x2, y2);
    update();
}

void ImageBox::rectangle(int left, int top, int right, int bottom, Color pen) {
    fitImage();
    if (right - left < 1 || bottom - top < 1) return;
    QPainter p(&image_);
    p.setPen(QPen(qcolor(pen), 1));
    p.setBrush(Qt::NoBrush);
    // A stroked QRect covers width + 1 pixels: this outline spans left..right-1, top..bottom-1.
    p.drawRect(QRect(left, top, right - left - 1, bottom - top - 1));
    update();
}

void ImageBox::clear() {
    if (!image_.isNull()) image_.fill(Qt::white);  // a box never drawn into is white already
    update();
}

int ImageBox::width() const { return QWidget::width(); }

int ImageBox::height() const { return QWidget::height(); }

void ImageBox::setVisible(bool visible) { QWidget::setVisible(visible); }

const QImage& ImageBox::image() const {
    fitImage();
    return image_;
}

void ImageBox::setImage(const QImage& picture) {
    fitImage();
    QPainter p(&image_);
    p.drawImage(0, 0, picture);
    update();
}

QSize ImageBox::sizeHint() const { return size(); }

void ImageBox::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    if (image_.isNull()) {
        p.fillRect(event->rect(), Qt::white);
        return;
    }
    fitImage();
    p.drawImage(0, 0, image_);
}

void ImageBox::resizeEvent(QResizeEvent* event) {
    if (!image_.isNull()) fitImage();
    QWidget::resizeEvent(event);
}

// Accepted here: passed on, the move would reach the page as a move outside every box, and
// the page would erase the frame just drawn.
void ImageBox::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    emit mouseMoved();
}

}  // namespace solvari
