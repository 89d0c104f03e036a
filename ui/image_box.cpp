#include "ui/image_box.h"

#include <QFontMetrics>
#include <QGlyphRun>
#include <QHash>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTextLayout>
#include <QWheelEvent>
#include <algorithm>
#include <memory>
#include <vector>

#include "ui/fonts.h"

namespace solvari {

namespace {

QColor qcolor(Color c) { return QColor(c.r, c.g, c.b); }

int sign(int v) { return (v > 0) - (v < 0); }

constexpr int kScrollPad = 12;     // white after a scrolled line's last text: an italic ")" leans past its advance
constexpr int kBarHeight = 4;      // the scroll bar along the bottom of a wide box
constexpr int kBarGrip = 10;       // the bottom rows a press grabs the bar in
constexpr int kWheelStep = 40;     // pixels a wheel notch scrolls
const QColor kBarTrack(210, 210, 210);
const QColor kBarThumb(0, 128, 128);

// A copy of `old` at a new logical size, white where it grows.
QImage regrown(const QImage& old, QSize logical, qreal ratio) {
    QImage grown(logical * ratio, QImage::Format_RGB32);
    grown.setDevicePixelRatio(ratio);
    grown.fill(Qt::white);
    if (!old.isNull()) {
        QPainter p(&grown);
        p.drawImage(0, 0, old);
    }
    return grown;
}

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

// Text with an opaque cell, as the Windows canvas writes it: a redraw covers what was there.
void paintShaped(QImage& target, int x, int y, const ShapedText& t) {
    QPainter p(&target);
    p.fillRect(x, y, t.advance, t.height, Qt::white);
    p.setPen(Qt::black);
    for (const QGlyphRun& run : t.runs) p.drawGlyphRun(QPointF(x, y), run);
}

}  // namespace

// The canvas of a wide box: as wide as any line, drawing the line into the box's growing
// image and the last pinnedWidth pixels into its pinned strip.
class ImageBox::Wide : public Canvas {
public:
    Wide(ImageBox& box, int pinnedWidth, int pinnedTop) : pinnedWidth(pinnedWidth), pinnedTop(pinnedTop), box_(box) {}
    const int pinnedWidth;
    const int pinnedTop;
    int pinnedLeft() const { return WIDE_CANVAS_WIDTH - pinnedWidth; }

    void setFont(const FontSpec& font) override { box_.setFont(font); }
    FontSpec font() const override { return box_.font(); }
    int textOut(int x, int y, const std::string& utf8) override {
        box_.fitImage();
        const QString text = QString::fromStdString(utf8);
        if (text.isEmpty()) return x;
        const ShapedText& t = box_.cache_->shaped(box_.qfont_, box_.fontKey_, text);
        if (x >= pinnedLeft()) {
            paintShaped(box_.pinned_, x - pinnedLeft(), y, t);
            box_.update(box_.lineViewport().right() + 1, 0, pinnedWidth, box_.height());
        } else {
            box_.growTo(x + t.advance);
            paintShaped(box_.image_, x, y, t);
            int& ink = y < pinnedTop ? box_.inkRightTop_ : box_.inkRight_;
            ink = std::max(ink, x + t.advance);
            box_.unpainted_ |= QRect(x - box_.scroll_, y, t.advance, t.height) & box_.rect();
            box_.update(box_.unpainted_);
        }
        return x + t.advance;
    }
    void line(int x1, int y1, int x2, int y2, Color pen) override {
        box_.fitImage();
        if (x1 == x2 && y1 == y2) return;
        if (x1 == x2 || y1 == y2) {  // the end point is left out, as on a narrow box
            x2 -= sign(x2 - x1);
            y2 -= sign(y2 - y1);
        }
        const int right = std::max(x1, x2);
        if (right < pinnedLeft()) {
            box_.growTo(right + 1);
            int& ink = std::min(y1, y2) < pinnedTop ? box_.inkRightTop_ : box_.inkRight_;
            ink = std::max(ink, right + 1);
        }
        // A line reaching into the pinned strip (a frame's edge) is drawn into both parts.
        draw([&](QPainter& p) {
            p.setPen(QPen(QColor(pen.r, pen.g, pen.b), 1));
            p.drawLine(x1, y1, x2, y2);
        });
    }
    void rectangle(int left, int top, int right, int bottom, Color pen) override {
        box_.fitImage();
        if (right - left < 1 || bottom - top < 1) return;
        draw([&](QPainter& p) {
            p.setPen(QPen(QColor(pen.r, pen.g, pen.b), 1));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRect(left, top, right - left - 1, bottom - top - 1));
        });
    }
    void clear() override { box_.clear(); }
    int width() const override { return WIDE_CANVAS_WIDTH; }
    int height() const override { return box_.height(); }
    void setVisible(bool visible) override { box_.setVisible(visible); }

private:
    ImageBox& box_;

    template <class Paint>
    void draw(Paint paint) {
        {
            QPainter p(&box_.image_);
            p.setClipRect(QRect(0, 0, pinnedLeft(), box_.height()));
            paint(p);
        }
        if (pinnedWidth > 0) {
            QPainter p(&box_.pinned_);
            p.translate(-pinnedLeft(), 0);
            paint(p);
        }
        box_.update();
    }
};

ImageBox::ImageBox(QWidget* parent)
    : ClickableWidget(parent), cache_(sharedTextCache()), qfont_(cache_->font(font_).font), fontKey_(cache_->font(font_).key) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // No image yet: most boxes of a page stay blank for a long time, and a blank box is white.
}

ImageBox::~ImageBox() = default;

void ImageBox::fitImage() const {
    // One image pixel per device pixel, so equations are as sharp as the menus on HiDPI;
    // every drawing call still speaks logical pixels (the image carries the ratio).
    const qreal ratio = devicePixelRatioF();
    QSize wanted = size().expandedTo(QSize(1, 1));
    if (wide_) {
        // The line's image is never narrower than the part of the box that shows it, and
        // keeps what a long line drew beyond it.
        int w = std::max(1, lineViewport().width());
        if (!image_.isNull()) w = std::max(w, image_.deviceIndependentSize().toSize().width());
        wanted.setWidth(w);
        const QSize strip(std::max(1, wide_->pinnedWidth), wanted.height());
        if (pinned_.isNull() || pinned_.deviceIndependentSize().toSize() != strip || pinned_.devicePixelRatio() != ratio)
            pinned_ = regrown(pinned_, strip, ratio);
    }
    if (!image_.isNull() && image_.deviceIndependentSize().toSize() == wanted && image_.devicePixelRatio() == ratio) return;
    image_ = regrown(image_, wanted, ratio);
}

Canvas& ImageBox::wideCanvas(int pinnedWidth, int pinnedTop) {
    if (!wide_) {
        wide_ = std::make_unique<Wide>(*this, std::max(0, pinnedWidth), std::max(0, pinnedTop));
        image_ = QImage();  // whatever stood there was drawn for a narrow box
    }
    return *wide_;
}

QRect ImageBox::lineViewport() const {
    const int pinned = wide_ ? wide_->pinnedWidth : 0;
    return QRect(0, 0, std::max(0, QWidget::width() - pinned), QWidget::height());
}

int ImageBox::scrollRange() const {
    if (!wide_) return 0;
    const int rows = inkRight_ + kScrollPad - lineViewport().width();
    const int top = inkRightTop_ + kScrollPad - QWidget::width();
    return std::max({0, rows, top});
}

void ImageBox::setScrollOffset(int offset) {
    offset = std::clamp(offset, 0, scrollRange());
    if (offset == scroll_) return;
    scroll_ = offset;
    update();
}

void ImageBox::growTo(int width) {
    if (image_.deviceIndependentSize().toSize().width() >= width) return;
    image_ = regrown(image_, QSize(width, QWidget::height()), devicePixelRatioF());
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
    if (wide_) {
        // back to a blank box as wide as it shows, from the line's start
        image_ = QImage();
        pinned_ = QImage();
        inkRight_ = 0;
        inkRightTop_ = 0;
        scroll_ = 0;
        dragFrom_ = -1;
    }
    if (!image_.isNull()) image_.fill(Qt::white);  // a box never drawn into is white already
    update();
}

int ImageBox::width() const { return QWidget::width(); }

int ImageBox::height() const { return QWidget::height(); }

void ImageBox::setVisible(bool visible) { QWidget::setVisible(visible); }

const QImage& ImageBox::image() const {
    fitImage();
    if (!wide_) return image_;
    // The whole line, then the pinned strip: what the box shows when the line fits it.
    const int drawn = image_.deviceIndependentSize().toSize().width();
    const int line = std::max(lineViewport().width(), std::min(inkRight_ + kScrollPad, drawn));
    const int top = std::min(inkRightTop_ + kScrollPad, drawn);
    const int width = std::max(line + wide_->pinnedWidth, top);
    const qreal ratio = image_.devicePixelRatio();
    whole_ = QImage(QSize(width, QWidget::height()) * ratio, QImage::Format_RGB32);
    whole_.setDevicePixelRatio(ratio);
    whole_.fill(Qt::white);
    QPainter p(&whole_);
    p.drawImage(0, 0, image_, 0, 0, qRound(width * ratio), -1);
    if (wide_->pinnedWidth > 0) drawPinned(p, line);
    return whole_;
}

void ImageBox::setImage(const QImage& picture) {
    fitImage();
    {
        QPainter p(&image_);
        p.drawImage(0, 0, picture);
    }
    if (wide_ && wide_->pinnedWidth > 0) {
        QPainter p(&pinned_);
        p.drawImage(-lineViewport().width(), 0, picture);
    }
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
    if (!wide_) {
        p.drawImage(0, 0, image_);
        return;
    }
    const QRect view = lineViewport();
    const int top = std::min(wide_->pinnedTop, view.height());
    p.fillRect(event->rect(), Qt::white);  // past the line's image, scrolled to its end
    p.save();
    p.setClipRegion(QRegion(0, 0, QWidget::width(), top) + QRegion(0, top, view.width(), view.height() - top));
    p.drawImage(-scroll_, 0, image_);
    p.restore();
    if (wide_->pinnedWidth > 0) drawPinned(p, view.width());
    if (const int range = scrollRange(); range > 0) {
        // Where the line stands: a thin bar along the bottom, its thumb as long as the share shown.
        const int thumb = std::max(16, view.width() * view.width() / (view.width() + range));
        const int x = (view.width() - thumb) * scroll_ / range;
        p.fillRect(0, view.height() - kBarHeight, view.width(), kBarHeight, kBarTrack);
        p.fillRect(x, view.height() - kBarHeight, thumb, kBarHeight, kBarThumb);
    }
}

void ImageBox::resizeEvent(QResizeEvent* event) {
    if (!image_.isNull()) fitImage();
    scroll_ = std::clamp(scroll_, 0, scrollRange());
    QWidget::resizeEvent(event);
}

void ImageBox::drawPinned(QPainter& p, int x) const {
    // Below pinnedTop the strip covers the line; above it only its marks (a frame's edge)
    // join the sentence that may run through there.
    const qreal ratio = pinned_.devicePixelRatio();
    const int top = std::min(wide_->pinnedTop, QWidget::height());
    const QRect below(0, qRound(top * ratio), pinned_.width(), pinned_.height() - qRound(top * ratio));
    p.drawImage(QPointF(x, top), pinned_, below);
    if (top > 0) {
        p.save();
        p.setCompositionMode(QPainter::CompositionMode_Darken);
        p.drawImage(QPointF(x, 0), pinned_, QRect(0, 0, pinned_.width(), qRound(top * ratio)));
        p.restore();
    }
}

bool ImageBox::onScrollBar(const QPoint& p) const {
    return scrollRange() > 0 && p.y() >= QWidget::height() - kBarGrip && p.x() < lineViewport().width();
}

void ImageBox::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton && onScrollBar(at)) {
        // A press on the bar scrolls; it is not a click on the line.
        const int view = lineViewport().width();
        const int range = scrollRange();
        const int thumb = std::max(16, view * view / (view + range));
        const int thumbX = (view - thumb) * scroll_ / range;
        if (at.x() < thumbX || at.x() >= thumbX + thumb)
            setScrollOffset((at.x() - thumb / 2) * range / std::max(1, view - thumb));
        dragFrom_ = at.x();
        dragScroll_ = scroll_;
        event->accept();
        return;
    }
    ClickableWidget::mousePressEvent(event);
}

void ImageBox::mouseReleaseEvent(QMouseEvent* event) {
    if (dragFrom_ >= 0) {
        dragFrom_ = -1;
        event->accept();
        return;
    }
    ClickableWidget::mouseReleaseEvent(event);
}

void ImageBox::wheelEvent(QWheelEvent* event) {
    if (scrollRange() == 0) {
        QWidget::wheelEvent(event);
        return;
    }
    const QPoint turn = event->angleDelta();
    const int delta = turn.x() != 0 ? turn.x() : turn.y();
    setScrollOffset(scroll_ - delta * kWheelStep / 120);
    event->accept();
}

// Accepted here: passed on, the move would reach the page as a move outside every box, and
// the page would erase the frame just drawn.
void ImageBox::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    if (dragFrom_ >= 0) {
        const int view = lineViewport().width();
        const int range = scrollRange();
        const int thumb = std::max(16, view * view / (view + range));
        setScrollOffset(dragScroll_ + (qRound(event->position().x()) - dragFrom_) * range / std::max(1, view - thumb));
        return;
    }
    emit mouseMoved();
}

}  // namespace solvari
