#include "ui/sheet_pdf.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "flow/file_io.h"
#include "transform/typeset.h"
#include "ui/fonts.h"

namespace solvari {
namespace {

// One page box drawn straight onto the PDF page at its place: the typesetting speaks box
// pixels, the painter's transform puts them on the sheet. The page is white already.
class PainterCanvas : public Canvas, public PageBoxes {
public:
    PainterCanvas(QPainter& painter, const SheetItem& item) : p_(painter), item_(item) {}

    void setFont(const FontSpec& font) override {
        font_ = font;
        qfont_ = qfontFor(font);
    }
    FontSpec font() const override { return font_; }
    // Measuring only: the page cannot be wiped, so whether a line fits is found out first.
    bool dry = false;

    int textOut(int x, int y, const std::string& utf8) override {
        const QString text = QString::fromStdString(utf8);
        const QFontMetrics fm(qfont_, p_.device());
        if (dry) return x + fm.horizontalAdvance(text);
        p_.setFont(qfont_);
        p_.setPen(Qt::black);
        p_.drawText(item_.x + x, item_.y + y + fm.ascent(), text);
        return x + fm.horizontalAdvance(text);
    }
    void line(int x1, int y1, int x2, int y2, Color pen) override {
        if (dry) return;
        p_.setPen(QPen(QColor(pen.r, pen.g, pen.b), 1));
        p_.drawLine(item_.x + x1, item_.y + y1, item_.x + x2, item_.y + y2);
    }
    void rectangle(int left, int top, int right, int bottom, Color pen) override {
        if (dry) return;
        p_.setPen(QPen(QColor(pen.r, pen.g, pen.b), 1));
        p_.setBrush(Qt::NoBrush);
        p_.drawRect(item_.x + left, item_.y + top, right - left, bottom - top);
    }
    void clear() override {}
    int width() const override { return item_.w; }
    int height() const override { return item_.h; }
    void setVisible(bool) override {}
    Canvas* lineBox(int n) override { return n == item_.line ? this : nullptr; }

private:
    QPainter& p_;
    const SheetItem& item_;
    FontSpec font_;
    QFont qfont_;
};

}  // namespace

std::string sheetPdfBytes(const SheetLayout& layout) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setResolution(SHEET_DPI);
        pdf.setCreator("Solvari");
        pdf.setTitle(QString::fromUtf8(layout.kind == SheetKind::AnswerKey ? ANSWER_KEY_TITLE : WORKSHEET_TITLE));
        QPainter painter(&pdf);
        Engine engine;  // the lines are copied in one at a time; nothing is parsed
        int page = 0;
        for (const SheetItem& item : layout.items) {
            while (page < item.page) {
                pdf.newPage();
                ++page;
            }
            switch (item.kind) {
            case SheetItem::Kind::Text: {
                if (item.text.empty()) break;
                PainterCanvas c(painter, item);
                Typesetter t(engine, c);
                FontSpec font = t.sentenceFont();
                font.pixelSize = item.pixelSize;
                font.bold = item.bold;
                c.setFont(font);
                c.textOut(0, 0, item.text);
                break;
            }
            case SheetItem::Kind::Frame: {
                PainterCanvas c(painter, item);
                c.rectangle(0, 0, item.w, item.h - 16, Color{160, 160, 160});
                break;
            }
            case SheetItem::Kind::Equation: {
                PainterCanvas c(painter, item);
                Typesetter t(engine, c);
                engine.line(item.line) = item.equation;
                engine.hasDecimal = item.decimal;
                c.dry = true;
                const bool fits = t.layoutLine(c, item.line, false, item.equation);
                c.dry = false;
                if (!item.text.empty()) t.drawSentence(item.line, item.text);
                t.layoutLine(c, item.line, !fits, item.equation);
                t.drawLineLabel(item.line);
                break;
            }
            }
        }
    }
    return bytes.toStdString();
}

FileResult writeSheetPdf(const std::string& path, const SheetLayout& layout) {
    return writeFileAtomically(path, sheetPdfBytes(layout));
}

}  // namespace solvari
