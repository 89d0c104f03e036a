#pragma once
#include <QFont>
#include <QImage>
#include <QWidget>

class QPainter;
#include <memory>
#include <string>

#include "transform/canvas.h"
#include "ui/clickable_widget.h"

namespace solvari {

struct TextCache;

// A picture box of the equation page: a widget that shows a QImage of its own size and lets
// the typesetting draw into that image through Canvas. Drawing follows the Windows canvas the
// layout rules were made for: text paints its cell background white, a line leaves out its end
// point and a rectangle its right and bottom edge, so pixel positions match the layout rules.
// The picture survives hiding and resizing (a larger box grows white at the right and bottom).
class ImageBox : public ClickableWidget, public Canvas {
    Q_OBJECT
public:
    explicit ImageBox(QWidget* parent = nullptr);
    ~ImageBox() override;

    // Canvas. The character set of a FontSpec has no Qt counterpart: Qt picks glyphs by
    // Unicode, and the Windows faces reach real fonts through installFontSubstitutions().
    using QWidget::setFont;
    void setFont(const FontSpec& font) override;
    FontSpec font() const override;
    int textOut(int x, int y, const std::string& utf8) override;
    void line(int x1, int y1, int x2, int y2, Color pen) override;
    void rectangle(int left, int top, int right, int bottom, Color pen) override;
    void clear() override;
    int width() const override;
    int height() const override;
    void setVisible(bool visible) override;  // both QWidget's and Canvas's

    // A box whose line may run past its right edge. The returned canvas is as wide as any
    // line can be, so the typesetting never shrinks the type to squeeze a line in; the box
    // shows the line from its start and scrolls it sideways (the wheel, or the bar along its
    // bottom). What is drawn in the canvas's rightmost `pinnedWidth` pixels (the line's
    // circled number) stays at the box's right edge, and no part of the line is ever shown
    // under it; above `pinnedTop` (the sentence's band) the strip holds nothing but a frame's
    // edge, and the text there may use the whole width. Draw through this canvas only, once
    // asked for; the first call fixes both values.
    Canvas& wideCanvas(int pinnedWidth, int pinnedTop = 0);
    bool isWide() const { return wide_ != nullptr; }
    static constexpr int WIDE_CANVAS_WIDTH = 8192;  // more than 30 terms of 10-digit fractions need
    // How far the line is scrolled, and how far it can be (0 when it fits in the box).
    int scrollOffset() const { return scroll_; }
    int scrollRange() const;
    void setScrollOffset(int offset);
    // The part of the box that shows the line (the box less its pinned strip).
    QRect lineViewport() const;

    // The picture as it stands, and copying a picture onto the box (printing, snapshots). A
    // wide box gives its whole line with the pinned strip after it.
    const QImage& image() const;
    bool holdsImage() const { return !image_.isNull(); }
    void setImage(const QImage& picture);

    QSize sizeHint() const override;

signals:
    void mouseMoved();  // the mouse moved over the box (tracking is on, no button needed)

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    class Wide;
    friend class Wide;

    // The image, once made, always has the widget's size; a resize may reach us only when the
    // widget is shown, so every drawing call checks first. It is made on the first drawing
    // call (or when asked for): a box never drawn into holds no image and paints white.
    void fitImage() const;

    mutable QImage image_;
    // What the text written since the last paint covers, as one rectangle: a line typeset
    // piece by piece would otherwise be repainted through a region of many small rectangles,
    // which costs the raster engine far more than the few pixels between them.
    QRect unpainted_;
    std::shared_ptr<TextCache> cache_;  // made before the fonts below, which come from it
    FontSpec font_;
    QFont qfont_;
    QString fontKey_;  // qfont_.key(), the text cache's half of its key

    // Wide boxes: image_ holds the line from its start and grows to the right as far as
    // the line runs (never narrower than the viewport); pinned_ holds the canvas's last
    // pinnedWidth pixels.
    std::unique_ptr<Wide> wide_;
    mutable QImage pinned_;
    mutable QImage whole_;  // image() of a wide box, made when asked
    int inkRight_ = 0;      // right end of what the line has drawn below pinnedTop
    int inkRightTop_ = 0;   // and above it
    int scroll_ = 0;
    int dragFrom_ = -1;     // the mouse drags the scroll bar from this x (-1: no drag)
    int dragScroll_ = 0;
    void growTo(int width);
    void drawText(QImage& target, int x, int y, const QString& text);
    bool onScrollBar(const QPoint& p) const;
    void drawPinned(QPainter& p, int x) const;  // the pinned strip with its left edge at x
};

}  // namespace solvari
