#include "ui/print_window.h"

#include <QApplication>
#include <QBuffer>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFont>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QShowEvent>
#include <QToolButton>
#include <algorithm>

#include "engine/solution_set.h"
#include "flow/file_io.h"
#include "transform/check_by_substitution.h"
#include "transform/typeset.h"
#include "transform/verdict.h"
#include "ui/image_box.h"
#include "ui/page_window.h"
#include "ui/window_frame.h"
#include "ui/fonts.h"
#include "ui/sheet_pdf.h"

namespace solvari {

namespace {

// The hourglass for as long as printing runs; restored on every way out.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

QLineEdit* numberEdit(const QString& name, const QString& text, QWidget* parent) {
    auto* e = new QLineEdit(text, parent);
    e->setObjectName(name);
    e->setReadOnly(true);
    QFont f = faceFont("ＭＳ ゴシック");
    f.setPixelSize(27);
    e->setFont(f);
    return e;
}

}  // namespace

// ---------------------------------------------------------------- UpDown

UpDown::UpDown(QLineEdit* buddy, int min, int max, int start, QWidget* parent)
    : QWidget(parent), buddy_(buddy), min_(min), max_(max), position_(start) {
    btnUp = new QToolButton(this);
    btnUp->setObjectName("btnUp");
    btnUp->setArrowType(Qt::UpArrow);
    btnUp->setAutoRepeat(true);
    btnDown = new QToolButton(this);
    btnDown->setObjectName("btnDown");
    btnDown->setArrowType(Qt::DownArrow);
    btnDown->setAutoRepeat(true);
    for (QToolButton* b : {btnUp, btnDown}) b->setFocusPolicy(Qt::NoFocus);
    connect(btnUp, &QToolButton::clicked, this, [this] { stepUp(); });
    connect(btnDown, &QToolButton::clicked, this, [this] { stepDown(); });
    buddy_->installEventFilter(this);
    setPosition(start);
}

void UpDown::setPosition(int value) {
    position_ = std::clamp(value, min_, max_);
    buddy_->setText(QString::number(position_));
}

bool UpDown::eventFilter(QObject* watched, QEvent* event) {
    if (watched == buddy_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up) {
            stepUp();
            return true;
        }
        if (key == Qt::Key_Down) {
            stepDown();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void UpDown::resizeEvent(QResizeEvent* event) {
    const int half = height() / 2;
    btnUp->setGeometry(0, 0, width(), half);
    btnDown->setGeometry(0, half, width(), height() - half);
    QWidget::resizeEvent(event);
}

// ---------------------------------------------------------------- TfrmPrintS

TfrmPrintS::TfrmPrintS(const PrintSource& source, Prompter& prompter, QWidget* parent)
    : QDialog(parent), source_(source), prompter_(prompter) {
    frameDialog(this, "frmPrintS", "frmPrintS", designFont("ＭＳ Ｐゴシック", 12));
    setFixedSize(363, 248);

    lblSample = placedLabel(this, "lblSample", "プリントイメージ", 16, 8);
    edtSample = new QLineEdit(this);
    edtSample->setObjectName("edtSample");
    edtSample->setGeometry(16, 26, 225, 65);

    lblLMargin = placedLabel(this, "lblLMargin", "左側空白（文字数）", 16, 104);
    edtLMargin = numberEdit("edtLMargin", "6", this);
    edtLMargin->setGeometry(16, 122, 57, 37);
    updLMargin = new UpDown(edtLMargin, 0, 10, 6, this);
    updLMargin->setObjectName("updLMargin");
    updLMargin->setGeometry(73, 122, 17, 37);

    lblSize = placedLabel(this, "lblSize", "文字の大きさ", 136, 104);
    edtSize = numberEdit("edtSize", "3", this);
    edtSize->setGeometry(136, 122, 57, 37);
    updSize = new UpDown(edtSize, 1, 5, 3, this);
    updSize->setObjectName("updSize");
    updSize->setGeometry(193, 122, 17, 37);

    connect(updLMargin, &UpDown::clicked, this, [this] { refreshSample(); });
    connect(updSize, &UpDown::clicked, this, [this] { refreshSample(); });

    btnSettei = placedButton(this, "btnSettei", "プリンタの設定", QRect(252, 16, 101, 33));
    btnStart = placedButton(this, "btnStart", "印刷開始", QRect(252, 60, 101, 33));
    btnPrintAll = placedButton(this, "btnPrintAll", "全画面印刷", QRect(252, 104, 101, 33));
    btnCancel = placedButton(this, "btnCancel", "閉じる", QRect(252, 196, 101, 33));
    connect(btnSettei, &QPushButton::clicked, this, [this] { btnSetteiClick(); });
    connect(btnStart, &QPushButton::clicked, this, [this] { btnStartClick(); });
    connect(btnPrintAll, &QPushButton::clicked, this, [this] { btnPrintAllClick(); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { btnCancelClick(); });

    refreshSample();

    choosePdfPath = [this] {
        QFileDialog dialog(this, QString(), QDir::currentPath(), "PDFファイル (*.pdf)");
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix("pdf");
        return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().first()
                                                                                       : QString();
    };
}

TfrmPrintS::~TfrmPrintS() = default;

void TfrmPrintS::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        centreOnScreen(this);
        refreshSample();
    }
    QDialog::showEvent(event);
}

void TfrmPrintS::refreshSample() {
    QFont f = edtSample->font();
    f.setPointSize(samplePointSize(updSize->position()));
    edtSample->setFont(f);
    edtSample->setText(QString::fromStdString(sampleText(updLMargin->position())));
}

QPrinter& TfrmPrintS::printer() {
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

void TfrmPrintS::setOutputPdf(const QString& path) {
    QPrinter& p = printer();
    p.setOutputFormat(QPrinter::PdfFormat);
    p.setOutputFileName(path);
    p.setResolution(PDF_RESOLUTION);
}

void TfrmPrintS::btnSetteiClick() {
    // The choices land in the printer itself; whether the dialog was accepted does not matter
    // (a cancelled dialog leaves the printer as it was).
    QPrintDialog dialog(&printer(), this);
    // Accepting only keeps the choice; printing starts from this window's own buttons.
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>()) {
        if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok)) ok->setText(SETUP_ACCEPT);
    }
    dialog.exec();
}

void TfrmPrintS::btnCancelClick() { done(1); }

void TfrmPrintS::reject() { btnCancelClick(); }

std::vector<PrintCommand> TfrmPrintS::currentLayout() const {
    PrintBoxes boxes{};
    for (int n = 1; n <= ANSWER_BOX; ++n) {
        if (ImageBox* box = source_.page.imageBox(n)) boxes[static_cast<size_t>(n)] = BoxSize{box->width(), box->height()};
    }
    const QString title = source_.pageWindow.windowTitle();
    const int image1Width = boxes[1] ? boxes[1]->width : 0;
    return printLayout(updLMargin->position(), updSize->position(), image1Width, boxes, source_.engine.targetLine,
                       source_.practice.questionFinished, title.toStdString(),
                       printDate(clock ? clock() : systemClock()));
}

bool TfrmPrintS::btnStartClick() {
    const std::vector<PrintCommand> commands = currentLayout();
    // The lines are typeset again from a copy of the drill's engine: typesetting records the
    // letter it draws, and the student's page must not change by being printed.
    Engine engine = source_.engine;
    return printDocument([&](QPainter& painter, QSizeF) {
        QFont font = faceFont("ＭＳ Ｐゴシック");
        // In layout units: a point size would be turned into device pixels and then scaled again.
        font.setPixelSize(qRound(PRINT_FONT_POINT_SIZE * PRINT_LAYOUT_DPI / 72.0));
        for (const PrintCommand& c : commands) {
            if (c.kind == PrintCommand::Kind::Text) {
                painter.setFont(font);
                painter.setPen(Qt::black);
                // The layout gives the top of the text; QPainter places text on its baseline.
                painter.drawText(c.x, c.y + painter.fontMetrics().ascent(), QString::fromStdString(c.text));
            } else {
                paintBox(painter, engine, c.box, QRect(c.x, c.y, c.w, c.h));
            }
        }
    });
}

void TfrmPrintS::paintBox(QPainter& painter, Engine& engine, int n, const QRect& place) {
    const ImageBox* shown = source_.page.imageBox(n);
    if (!shown || shown->width() <= 0 || shown->height() <= 0) return;
    painter.save();
    painter.translate(place.topLeft());
    painter.scale(place.width() / double(shown->width()), place.height() / double(shown->height()));
    // A screen pixel's line, in box pixels; scaled with the box, it prints as the screen shows it.
    PainterCanvas box(painter, QRect(0, 0, shown->width(), shown->height()), n, 1.0);
    Typesetter typesetter(engine, box);
    const Outcome verdict = source_.practice.questionResult;
    if (n == ANSWER_BOX && (verdict == Outcome::NoSolution || verdict == Outcome::AllValues)) {
        typesetter.drawAnswerText(n, verdict == Outcome::NoSolution ? "【答】解なし" : "【答】解は無数にある");
    } else {
        // As the page draws it: the sentence, the line, compact when the normal layout does
        // not fit (found out dry: paper cannot be wiped), and the label.
        const EquationLine& line = engine.line(n);
        box.dry = true;
        const bool fits = typesetter.layoutLine(box, n, false, line);
        box.dry = false;
        if (n != ANSWER_BOX || !fits) typesetter.drawSentence(n, line.text);
        typesetter.layoutLine(box, n, !fits, line);
        typesetter.drawLineLabel(n);
    }
    if (n == ANSWER_BOX) {
        // the check by substitution, as the drill writes it under the answer
        const std::optional<SolutionSet> solution = solutionSetOf(engine.line(QUESTION_LINE));
        const std::string check =
            solution ? checkBySubstitution(engine.line(QUESTION_LINE), *solution, engine.letter, engine.hasDecimal) : "";
        Practice::writeCheck(box, typesetter.sentenceFont(), check);
    }
    painter.restore();
}

bool TfrmPrintS::btnPrintAllClick() {
    const QImage shot = source_.pageWindow.grab().toImage();
    return printDocument([&](QPainter& painter, QSizeF area) {
        // The whole window, as large as the printable area allows, keeping its proportions.
        const QSizeF fitted = QSizeF(shot.size()).scaled(area, Qt::KeepAspectRatio);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRectF(QPointF(0, 0), fitted), shot);
    });
}

bool TfrmPrintS::chooseOutput() {
    QPrinter& p = printer();
    const bool chosen = p.outputFormat() == QPrinter::PdfFormat ? !p.outputFileName().isEmpty()
                                                               : !QPrinterInfo::availablePrinters().isEmpty();
    if (chosen) return true;
    const QString path = choosePdfPath ? choosePdfPath() : QString();
    if (path.isEmpty()) return false;
    setOutputPdf(path);
    return true;
}

bool TfrmPrintS::printDocument(const std::function<void(QPainter&, QSizeF)>& paint) {
    if (!chooseOutput()) return false;
    QPrinter& p = printer();
    // Every device gets the same page: the painter counts 1/600 inch whatever the resolution,
    // and the printable area comes from the page layout in inches, not from the device's
    // pixel counts.
    const QSizeF area = p.pageLayout().paintRect(QPageLayout::Inch).size() * PRINT_LAYOUT_DPI;
    auto draw = [&](QPainter& painter) {
        const QPaintDevice* device = painter.device();
        painter.scale(device->logicalDpiX() / double(PRINT_LAYOUT_DPI), device->logicalDpiY() / double(PRINT_LAYOUT_DPI));
        paint(painter, area);
    };
    if (p.outputFormat() == QPrinter::PdfFormat && !pdfThroughPrinter) {
        const QString path = p.outputFileName();
        // A PDF is a file like any other we write: drawn in memory, then written whole or
        // not at all, with the reason when the system refuses it.
        QBuffer pdf;
        std::string error = path.toStdString() + " に書き込めません";
        bool ok = false;
        {
            WaitCursor wait;
            pdf.open(QIODevice::WriteOnly);
            QPdfWriter writer(&pdf);
            writer.setResolution(p.resolution());
            writer.setPageLayout(p.pageLayout());
            writer.setCreator(QApplication::applicationName());
            QPainter painter;
            if (painter.begin(&writer)) {
                draw(painter);
                if (painter.end()) {
                    pdf.close();
                    const QByteArray& bytes = pdf.data();
                    error = writeFileAtomically(path.toStdString(),
                                                std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())))
                                .error;
                    ok = error.empty();
                }
            }
        }
        // A file chosen once in the setup dialog is replaced by every print: say where it went.
        prompter_.inform(ok ? path.toStdString() + PRINTED_TO : error);
        return ok;
    }

    // A printer queue, or a file the print dialog's own output wrote: say where it went, or
    // what Qt says went wrong.
    const QString where = p.outputFormat() == QPrinter::PdfFormat ? p.outputFileName() : p.printerName();
    bool begun = false;
    bool ended = false;
    {
        WaitCursor wait;
        QPainter painter;
        begun = painter.begin(&p);
        if (begun) {
            draw(painter);
            ended = painter.end();
        }
    }
    if (!begun) {
        prompter_.inform(CANNOT_START);
        return false;
    }
    if (p.printerState() == QPrinter::Aborted) {
        prompter_.inform(where.toStdString() + PRINT_ABORTED);
        return false;
    }
    if (!ended || p.printerState() == QPrinter::Error) {
        prompter_.inform(where.toStdString() + PRINT_FAILED);
        return false;
    }
    prompter_.inform(where.toStdString() + PRINTED_TO);
    return true;
}

}  // namespace solvari
