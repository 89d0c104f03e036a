#include "ui/image_box.h"

#include <QFontMetrics>
#include <QGlyphRun>
#include <QHash>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTextLayout>
#include <memory>
#include <vector>

#include "ui/fonts.h"

namespace solvari {

namespace {

QColor qcolor(Color c) { return QColor(c.r, c.g, c.b); }

int sign(int v) { return (v > 0) - (v < 0); }

// A piece of text shaped once: a page draws the same digits, letters, signs and sentences over
// and over, and shaping them (twice: to measure, then to draw) was most of a step's time.
struct ShapedText {
    QList<QGlyphRun> runs;  // positioned from the cell's top left, baseline at the ascent
    int advance = 0;
    int height = 0;
};

// The Qt font and its key for a FontSpec: a line switches fonts at every piece, and a font's key
// is slow to make.
struct MadeFont {
    FontSpec asked;
    QFont font;
    QString key;
};

}  // namespace

// Shared by every box, and kept only while a box exists: what it holds refers to font engines,
// which must go before the application object does.
struct TextCache {
    std::vector<MadeFont> fonts;  // a page uses a dozen
    QHash<QString, ShapedText> texts;

    const MadeFont& font(const FontSpec& asked) {
        for (const MadeFont& m : fonts)
            if (m.asked == asked) return m;
        if (fonts.size() > 64) fonts.clear();
        const QFont made = qfontFor(asked);
        fonts.push_back(MadeFont{asked, made, made.key()});
        return fonts.back();
    }

    const ShapedText& shaped(const QFont& font, const QString& fontKey, const QString& text) {
        const QString key = fontKey + QChar(0x1f) + text;
        if (auto it = texts.constFind(key); it != texts.constEnd()) return *it;
        if (texts.size() > 4000) texts.clear();  // a bound far above what a question set uses
        ShapedText t;
        QTextLayout layout(text, font);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        layout.endLayout();
        if (line.isValid()) {
            t.runs = line.glyphRuns();
            t.advance = qRound(line.horizontalAdvance());
        }
        t.height = QFontMetrics(font).height();
        return *texts.insert(key, t);
    }
};

namespace {

std::shared_ptr<TextCache> sharedTextCache() {
    static std::weak_ptr<TextCache> cache;
    std::shared_ptr<TextCache> c = cache.lock();
    if (!c) {
        c = std::make_shared<TextCache>();
        cache = c;
    }
    return c;
}

}  // namespace

ImageBox::ImageBox(QWidget* parent)
    : ClickableWidget(parent), cache_(sharedTextCache()), qfont_(cache_->font(font_).font), fontKey_(cache_->font(font_).key) {
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
    if (font == font_) return;
    font_ = font;
    const MadeFont& made = cache_->font(font);
    qfont_ = made.font;
    fontKey_ = made.key;
}

FontSpec ImageBox::font() const { return font_; }

int ImageBox::textOut(int x, int y, const std::string& utf8) {
    fitImage();
    const QString text = QString::fromStdString(utf8);
    if (text.isEmpty()) return x;
    const ShapedText& t = cache_->shaped(qfont_, fontKey_, text);
    QPainter p(&image_);
    // An opaque text cell, as the Windows canvas writes it: a redraw covers what was there.
    p.fillRect(x, y, t.advance, t.height, Qt::white);
    p.setPen(Qt::black);
    for (const QGlyphRun& run : t.runs) p.drawGlyphRun(QPointF(x, y), run);
    unpainted_ |= QRect(x, y, t.advance, t.height);
    update(unpainted_);
    return x + t.advance;
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
    unpainted_ = QRect();
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
