#pragma once
#include <QFont>
#include <QImage>
#include <QWidget>
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

    // The picture as it stands, and copying a picture onto the box (printing, snapshots).
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

private:
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
};

}  // namespace solvari
