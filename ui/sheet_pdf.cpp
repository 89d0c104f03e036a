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
    metrics_.reset();
}

const QFontMetrics& PainterCanvas::metrics() const {
    if (!metrics_) metrics_.emplace(qfont_, p_.device());
    return *metrics_;
}

int PainterCanvas::textOut(int x, int y, const std::string& utf8) {
    const QString text = QString::fromStdString(utf8);
    const QFontMetrics& fm = metrics();
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

int PainterCanvas::textWidth(const std::string& utf8) const {
    return metrics().horizontalAdvance(QString::fromStdString(utf8));
}

int PainterCanvas::ascent() const { return metrics().ascent(); }

namespace {

// The smallest a squeezed text or line is drawn, as a share of its size.
constexpr int kLeastShare = 55;

void drawText(PainterCanvas& paper, const Typesetter& t, const SheetItem& item) {
    if (item.text.empty()) return;
    FontSpec font = t.sentenceFont();
    font.pixelSize = item.pixelSize;
    font.bold = item.bold;
    paper.setFont(font);
    const int baseline = item.y + paper.ascent();
    int width = paper.textWidth(item.text);
    // Too wide for its place (a long title, a long reason): smaller rather than over its neighbour.
    while (width > item.w && font.pixelSize * 100 > item.pixelSize * kLeastShare) {
        --font.pixelSize;
        paper.setFont(font);
        width = paper.textWidth(item.text);
    }
    int x = item.x;
    if (item.align == SheetItem::Align::Right) x += item.w - width;
    else if (item.align == SheetItem::Align::Centre) x += (item.w - width) / 2;
    // smaller type stands on the same baseline
    paper.textOut(x, baseline - paper.ascent(), item.text);
}

void drawEquation(PainterCanvas& paper, Typesetter& t, Engine& engine, const SheetItem& item) {
    engine.hasDecimal = item.decimal;
    const int room = item.w - 2 * SHEET_INK_LEAN;
    int size = item.pixelSize;
    while (t.measureTextbook(paper, item.equation, size).width > room && size * 100 > item.pixelSize * kLeastShare) --size;
    t.drawTextbook(paper, item.x + SHEET_INK_LEAN, item.baseline, item.equation, size);
}

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
        pdf.setTitle(QString::fromStdString(layout.title));
        QPainter painter(&pdf);
        // The whole page is one canvas in sheet pixels; nothing is parsed here, the lines come
        // with the layout.
        PainterCanvas paper(painter, QRect(0, 0, SHEET_WIDTH, SHEET_HEIGHT), 0, SHEET_BAR_WEIGHT);
        Engine engine;
        Typesetter t(engine, paper);
        int page = 0;
        for (const SheetItem& item : layout.items) {
            while (page < item.page) {
                pdf.newPage();
                ++page;
            }
            switch (item.kind) {
                case SheetItem::Kind::Text: drawText(paper, t, item); break;
                case SheetItem::Kind::Equation: drawEquation(paper, t, engine, item); break;
                case SheetItem::Kind::Rule:
                    painter.fillRect(QRect(item.x, item.y, item.w, item.h), item.light ? QColor(185, 185, 185) : Qt::black);
                    break;
            }
        }
    }
    return bytes.toStdString();
}

FileResult writeSheetPdf(const std::string& path, const SheetLayout& layout) {
    if (!layout.faulty.empty()) {
        FileResult refused;
        refused.error = std::string(SHEET_FAULTY) + ": " + layout.faulty.front();
        return refused;
    }
    return writeFileAtomically(path, sheetPdfBytes(layout));
}

}  // namespace solvari
