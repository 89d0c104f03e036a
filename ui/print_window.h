#pragma once
#include <QDialog>
#include <QPointer>
#include <QSizeF>
#include <functional>
#include <memory>
#include <vector>

#include "engine/engine.h"
#include "flow/prompter.h"
#include "flow/practice.h"
#include "flow/record_file.h"  // Clock
#include "flow/print_layout.h"

class QLabel;
class QLineEdit;
class QPainter;
class QPrinter;
class QPushButton;
class QToolButton;

namespace solvari {

class TfrmPage;

// An up-down control bound to a read-only edit: the arrows (and the Up and Down keys in the
// edit) step the position between min and max without wrapping, and write it into the edit.
class UpDown : public QWidget {
    Q_OBJECT
public:
    UpDown(QLineEdit* buddy, int min, int max, int start, QWidget* parent = nullptr);
    int position() const { return position_; }
    void setPosition(int value);  // clamped; updates the edit
    void stepUp() { setPosition(position_ + 1); emit clicked(); }
    void stepDown() { setPosition(position_ - 1); emit clicked(); }

    QToolButton* btnUp;
    QToolButton* btnDown;

signals:
    void clicked();  // after an arrow or key changed (or tried to change) the position

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QLineEdit* buddy_;
    int min_, max_, position_;
};

// What the print window prints, read at print time: the page's boxes, the page window's
// title (the unit title), the engine's targetLine and whether the question is finished.
struct PrintSource {
    TfrmPage& page;
    QWidget& pageWindow;  // the page's frame
    const Engine& engine;
    const Practice& practice;
};

// "frmPrintS": prints the worked lines of the current question, enlarged and indented, or
// the whole page window. Margin and size keep their values while the program runs.
class TfrmPrintS : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* CANNOT_START = "印刷を開始できません。［プリンタの設定］を確かめてください";
    // After the printer's name, when the job failed part-way or was cancelled.
    static constexpr const char* PRINT_FAILED = " への印刷に失敗しました。［プリンタの設定］を確かめてください";
    static constexpr const char* PRINT_ABORTED = " への印刷は取り消されました";
    static constexpr int PDF_RESOLUTION = 600;
    // Said once a job is complete, after the printer's name or the PDF file's path.
    static constexpr const char* PRINTED_TO = " に印刷しました";
    static constexpr const char* SETUP_ACCEPT = "設定";  // the setup dialog prints nothing itself

    TfrmPrintS(const PrintSource& source, Prompter& prompter, QWidget* parent = nullptr);
    ~TfrmPrintS() override;

    QLabel* lblSample;
    QLineEdit* edtSample;
    QLabel* lblLMargin;
    QLineEdit* edtLMargin;
    UpDown* updLMargin;
    QLabel* lblSize;
    QLineEdit* edtSize;
    UpDown* updSize;
    QPushButton* btnSettei;
    QPushButton* btnStart;
    QPushButton* btnCancel;
    QPushButton* btnPrintAll;

    // The date printed above the work; tests fix it.
    Clock clock = systemClock;
    // Asks for the name of a PDF file when there is no printer and none was chosen; "" when
    // cancelled. Starts in the practice folder; tests replace it.
    std::function<QString()> choosePdfPath;
    // A PDF file is normally drawn in memory and written atomically. Set, the printer object
    // draws it itself, exactly as for a printer queue (whose engine is Qt's PDF engine): tests
    // print through the printer's own path this way.
    bool pdfThroughPrinter = false;

    void refreshSample();
    void btnSetteiClick();
    // Both return whether the document was printed; a failure has been shown to the user.
    bool btnStartClick();
    bool btnPrintAllClick();
    void btnCancelClick();

    // What "印刷開始" prints now, in printer pixels.
    std::vector<PrintCommand> currentLayout() const;

    // The printer, made on first use (finding the system's printers can take a moment).
    QPrinter& printer();
    // Prints into a PDF file at PDF_RESOLUTION dots per inch instead of a printer.
    void setOutputPdf(const QString& path);

public slots:
    void reject() override;  // the close box and Escape close like "閉じる"

protected:
    void showEvent(QShowEvent* event) override;

private:
    // What the setup dialog chose, else (no printer) a PDF file named now; false if cancelled.
    bool chooseOutput();
    // Opens the document, lets paint draw on it, ends it; false when no output was chosen, or
    // (after a message) on failure. The painter counts 1/600 inch from the printable area's
    // corner, whatever the device's resolution; paint gets the printable area's size in
    // those units.
    bool printDocument(const std::function<void(QPainter&, QSizeF)>& paint);
    // Typesets line n (16: the answer box) again onto the paper, into `place` (1/600 inch):
    // the box's screen picture, scaled up, would print soft.
    void paintBox(QPainter& painter, Engine& engine, int n, const QRect& place);

    PrintSource source_;
    Prompter& prompter_;
    std::unique_ptr<QPrinter> printer_;
};

}  // namespace solvari
