#pragma once
#include <QFont>
#include <QFontMetrics>
#include <optional>
#include <QRect>
#include <string>

#include "flow/answer_sheet.h"
#include "flow/file_io.h"
#include "transform/canvas.h"

class QPainter;

namespace solvari {

// A fraction bar on paper, in sheet pixels (about 0.4 mm): a screen's one-pixel line would
// print as a faint hairline.
constexpr double SHEET_BAR_WEIGHT = 1.5;

// One page box drawn straight onto paper through a painter (a PDF page, a printer's page): the
// typesetting speaks box pixels, `box` says where they stand in the painter's coordinates, so
// text and bars are drawn as vectors at the paper's own resolution. The paper is white and
// cannot be wiped: a caller that needs to know whether a line fits lays it out dry first.
class PainterCanvas : public Canvas, public PageBoxes {
public:
    // barWeight: the thickness of a line (a fraction bar), in box pixels.
    PainterCanvas(QPainter& painter, const QRect& box, int line, double barWeight);

    bool dry = false;  // measure only, draw nothing

    void setFont(const FontSpec& font) override;
    FontSpec font() const override { return font_; }
    int textOut(int x, int y, const std::string& utf8) override;
    void line(int x1, int y1, int x2, int y2, Color pen) override;
    void rectangle(int left, int top, int right, int bottom, Color pen) override;
    void clear() override {}
    int width() const override { return box_.width(); }
    int height() const override { return box_.height(); }
    void setVisible(bool) override {}
    int textWidth(const std::string& utf8) const override;
    int ascent() const override;
    Canvas* lineBox(int n) override { return n == line_ ? this : nullptr; }

private:
    QPainter& p_;
    QRect box_;
    int line_;
    double barWeight_;
    FontSpec font_;
    QFont qfont_;
    // qfont_'s metrics on the painter's device, made once per font: a sheet measures every piece
    mutable std::optional<QFontMetrics> metrics_;
    const QFontMetrics& metrics() const;
};

// Draws a sheet into a PDF (A4, the equations typeset in the textbook style, as text, so the
// PDF can be searched and copied from) and writes it atomically. A sheet with faulty questions
// is refused without writing anything. Needs a QGuiApplication with
// the font substitutions installed; the offscreen platform will do. A failure's error is
// the message to show.
FileResult writeSheetPdf(const std::string& path, const SheetLayout& layout);

// The PDF's bytes alone (benchmarks, tests).
std::string sheetPdfBytes(const SheetLayout& layout);

}  // namespace solvari
