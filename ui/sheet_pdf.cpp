#include "ui/sheet_pdf.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cstdlib>

#include "flow/file_io.h"
#include "transform/typeset.h"
#include "ui/fonts.h"

namespace solvari {

PainterCanvas::PainterCanvas(QPainter& painter, const QRect& box, int line, double barWeight)
    : p_(painter), box_(box), line_(line), barWeight_(barWeight) {}

void PainterCanvas::setFont(const FontSpec& font) {
    font_ = font;
    qfont_ = qfontFor(font);
}

int PainterCanvas::textOut(int x, int y, const std::string& utf8) {
    const QString text = QString::fromStdString(utf8);
    const QFontMetrics fm(qfont_, p_.device());
    if (!dry) {
        p_.setFont(qfont_);
        p_.setPen(Qt::black);
        p_.drawText(box_.x() + x, box_.y() + y + fm.ascent(), text);
    }
    return x + fm.horizontalAdvance(text);
}

void PainterCanvas::line(int x1, int y1, int x2, int y2, Color pen) {
    if (dry) return;
    const QColor colour(pen.r, pen.g, pen.b);
    if (y1 == y2) {
        // On screen the line covers the pixel row below y and stops before x2; on paper it
        // grows downwards from there to its weight.
        p_.fillRect(QRectF(box_.x() + std::min(x1, x2), box_.y() + y1, std::abs(x2 - x1), barWeight_), colour);
        return;
    }
    p_.setPen(QPen(colour, barWeight_, Qt::SolidLine, Qt::FlatCap));
    p_.drawLine(QPointF(box_.x() + x1, box_.y() + y1), QPointF(box_.x() + x2, box_.y() + y2));
}

void PainterCanvas::rectangle(int left, int top, int right, int bottom, Color pen) {
    if (dry) return;
    // The pixels left..right-1 and top..bottom-1, as on screen: a one-pixel pen centred on
    // the pixels' middles, so no ink falls outside the box.
    p_.setPen(QPen(QColor(pen.r, pen.g, pen.b), 1));
    p_.setBrush(Qt::NoBrush);
    p_.drawRect(QRectF(box_.x() + left + 0.5, box_.y() + top + 0.5, right - left - 1, bottom - top - 1));
}

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
                PainterCanvas c(painter, QRect(item.x, item.y, item.w, item.h), item.line, SHEET_BAR_WEIGHT);
                Typesetter t(engine, c);
                FontSpec font = t.sentenceFont();
                font.pixelSize = item.pixelSize;
                font.bold = item.bold;
                c.setFont(font);
                c.textOut(0, 0, item.text);
                break;
            }
            case SheetItem::Kind::Frame: {
                PainterCanvas c(painter, QRect(item.x, item.y, item.w, item.h), item.line, SHEET_BAR_WEIGHT);
                c.rectangle(0, 0, item.w, item.h - 16, Color{160, 160, 160});
                break;
            }
            case SheetItem::Kind::Equation: {
                PainterCanvas c(painter, QRect(item.x, item.y, item.w, item.h), item.line, SHEET_BAR_WEIGHT);
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
