// The print window: the printed geometry exactly, the preview and its up-downs, and real PDF
// output read back with poppler's pdftotext and pdftoppm.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "transform/verdict.h"
#include "ui/image_box.h"
#include "ui/page_window.h"
#include "flow/print_layout.h"
#include "ui/print_window.h"
#include "ui/fonts.h"
#include "tests/support/fake_prompter.h"
#include "tests/support/files.h"
#include "tests/support/practice_rig.h"
#include "tests/ui/modal.h"

namespace solvari {

// Found by GoogleTest through the argument's namespace, so failures name the command.
void PrintTo(const PrintCommand& c, std::ostream* os) {
    *os << (c.kind == PrintCommand::Kind::Text ? "Text" : "Image") << "{" << c.x << "," << c.y << "," << c.w << ","
        << c.h << ",\"" << c.text << "\",box " << c.box << "}";
}

namespace {

using testing::answerNextModal;
using Kind = PrintCommand::Kind;

PrintCommand text(int x, int y, const std::string& t) { return {Kind::Text, x, y, 0, 0, t, 0}; }
PrintCommand image(int box, int x, int y, int w, int h) { return {Kind::Image, x, y, w, h, {}, box}; }

const std::string TITLE = "一次方程式（１）";
const std::string DATE = "2004.03.09";

// ---------------------------------------------------------------- the window

// A page window of an 800-pixel screen with a picture in some boxes, in a folder of its own.
class PrintWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        oldCwd = QDir::currentPath();
        QDir::setCurrent(dir.path());
        setScreenForTesting(QRect(0, 0, 800, 600));
        frame.setWindowTitle(QString::fromStdString(TITLE));
        frame.resize(660, 560);
        page = new TfrmPage(&frame);
        page->resize(650, 550);
        page->layoutForScreen(145, [](const std::string&) {});
        // The screen pictures (what 全画面印刷 prints) and the lines 印刷開始 typesets again.
        fill(1, Qt::black);
        fill(2, Qt::blue);
        fill(16, Qt::red);
        std::vector<Diagnostic> read;
        ASSERT_TRUE(rig.engine.parseEquation(1, "1/3x+2=5", read));
        rig.engine.line(1).text = "（1） 次の方程式を解きなさい";
        ASSERT_TRUE(rig.engine.parseEquation(2, "x+6=15", read));
        rig.engine.line(2).text = "①式の両辺を3倍すると";
        ASSERT_TRUE(rig.engine.parseEquation(ANSWER_BOX, "x=9", read));
        targetLine = 2;
        window = std::make_unique<TfrmPrintS>(PrintSource{*page, frame, rig.engine, rig.practice}, prompter);
        window->clock = [] { return QDateTime(QDate(2004, 3, 9), QTime(10, 0)); };
    }
    void TearDown() override {
        window.reset();
        setScreenForTesting(QRect());
        QDir::setCurrent(oldCwd);
    }

    void fill(int n, Qt::GlobalColor colour) {
        ImageBox* box = page->imageBox(n);
        QImage picture(box->width(), box->height(), QImage::Format_RGB32);
        picture.fill(colour);
        box->setImage(picture);
    }

    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }

    static QString run(const QString& program, const QStringList& args) {
        QProcess p;
        p.start(program, args);
        if (!p.waitForFinished(30000) || p.exitCode() != 0) {
            ADD_FAILURE() << program.toStdString() << " failed: " << p.readAllStandardError().toStdString();
            return {};
        }
        return QString::fromUtf8(p.readAllStandardOutput());
    }

    // The first page of a PDF at 50 dots per inch.
    QImage render(const QString& pdf) {
        run("pdftoppm", {"-r", "50", "-png", "-f", "1", "-l", "1", "-singlefile", pdf, path("page")});
        return QImage(path("page.png"));
    }

    // The ink's bounding box on a page rendered at 50 dpi, in 600-dpi printer pixels from the
    // paint area's corner; empty when the page is blank.
    QRect inkBox(const QImage& shot) {
        const QPoint origin = window->printer().pageLayout().paintRectPixels(TfrmPrintS::PDF_RESOLUTION).topLeft();
        QRect ink;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                if (shot.pixelColor(x, y).lightness() < 200) ink |= QRect(x, y, 1, 1);
        return ink.isEmpty() ? ink : QRect(ink.x() * 12 - origin.x(), ink.y() * 12 - origin.y(), ink.width() * 12, ink.height() * 12);
    }

    // How many pixels of the rectangle (given in 600-dpi printer pixels of the paint area) are
    // not white, on a page rendered at 50 dpi.
    int inked(const QImage& shot, const QRect& printerRect) {
        const QPoint origin = window->printer().pageLayout().paintRectPixels(TfrmPrintS::PDF_RESOLUTION).topLeft();
        const QRect r = printerRect.translated(origin);
        const QRect scaled(r.x() / 12 + 1, r.y() / 12 + 1, r.width() / 12 - 2, r.height() / 12 - 2);
        int count = 0;
        for (int y = scaled.top(); y <= scaled.bottom(); ++y)
            for (int x = scaled.left(); x <= scaled.right(); ++x)
                if (shot.valid(x, y) && shot.pixelColor(x, y).lightness() < 200) ++count;
        return count;
    }

    QTemporaryDir dir;
    QString oldCwd;
    QWidget frame;
    TfrmPage* page = nullptr;
    testing::PracticeRig<> rig;  // the drill whose question is printed
    int& targetLine = rig.engine.targetLine;
    bool& finished = rig.practice.questionFinished;
    testing::FakePrompter prompter;
    std::unique_ptr<TfrmPrintS> window;
};

TEST_F(PrintWindowTest, LooksAsDesigned) {
    TfrmPrintS& w = *window;
    EXPECT_EQ(w.windowTitle(), "frmPrintS");
    EXPECT_EQ(w.size(), QSize(363, 248));
    EXPECT_EQ(w.lblSample->text(), "プリントイメージ");
    EXPECT_EQ(w.edtSample->size(), QSize(225, 65));
    EXPECT_EQ(w.lblLMargin->text(), "左側空白（文字数）");
    EXPECT_EQ(w.lblSize->text(), "文字の大きさ");
    for (QLineEdit* e : {w.edtLMargin, w.edtSize}) {
        EXPECT_TRUE(e->isReadOnly());
        EXPECT_EQ(e->font().family(), faceFont("ＭＳ ゴシック").family());
        EXPECT_EQ(e->font().pixelSize(), 27);
    }
    EXPECT_EQ(w.edtLMargin->text(), "6");
    EXPECT_EQ(w.edtSize->text(), "3");
    EXPECT_EQ(w.btnSettei->text(), "プリンタの設定");
    EXPECT_EQ(w.btnStart->text(), "印刷開始");
    EXPECT_EQ(w.btnCancel->text(), "閉じる");
    EXPECT_EQ(w.btnPrintAll->text(), "全画面印刷");
    EXPECT_EQ(w.edtSample->text(), "      ax+by=c");
    EXPECT_EQ(w.edtSample->font().pointSize(), 22);
    for (QWidget* c : std::initializer_list<QWidget*>{w.lblSample, w.edtSample, w.lblLMargin, w.edtLMargin, w.updLMargin, w.lblSize,
                                                     w.edtSize, w.updSize, w.btnSettei, w.btnStart, w.btnCancel,
                                                     w.btnPrintAll})
        EXPECT_TRUE(QRect(0, 0, 363, 248).contains(c->geometry())) << c->objectName().toStdString();
}

TEST_F(PrintWindowTest, UpDownsStepWithoutWrappingAndRefreshThePreview) {
    TfrmPrintS& w = *window;
    for (int i = 0; i < 6; ++i) w.updLMargin->btnUp->click();
    EXPECT_EQ(w.edtLMargin->text(), "10");
    EXPECT_EQ(w.edtSample->text(), QString(10, ' ') + "ax+by=c");
    for (int i = 0; i < 12; ++i) w.updLMargin->btnDown->click();
    EXPECT_EQ(w.edtLMargin->text(), "0");
    EXPECT_EQ(w.edtSample->text(), "ax+by=c");

    const int points[] = {14, 18, 22, 26, 30};
    for (int i = 0; i < 3; ++i) w.updSize->btnDown->click();
    EXPECT_EQ(w.edtSize->text(), "1");
    for (int size = 1; size <= 5; ++size) {
        EXPECT_EQ(w.edtSample->font().pointSize(), points[size - 1]) << size;
        w.updSize->btnUp->click();
    }
    EXPECT_EQ(w.edtSize->text(), "5");

    // the arrow keys in the edit step the same way
    QTest::keyClick(w.edtSize, Qt::Key_Down);
    EXPECT_EQ(w.edtSize->text(), "4");
    EXPECT_EQ(w.edtSample->font().pointSize(), 26);
    QTest::keyClick(w.edtLMargin, Qt::Key_Up);
    EXPECT_EQ(w.edtLMargin->text(), "1");
}

TEST_F(PrintWindowTest, ValuesLastWhileTheProgramRunsAndEveryWayOutGives1) {
    TfrmPrintS& w = *window;
    answerNextModal([&](QWidget*) {
        w.updLMargin->btnDown->click();
        w.updSize->btnUp->click();
        w.btnCancel->click();
    });
    EXPECT_EQ(w.exec(), 1);
    answerNextModal([&](QWidget*) {
        EXPECT_EQ(w.edtLMargin->text(), "5");
        EXPECT_EQ(w.edtSize->text(), "4");
        EXPECT_EQ(w.edtSample->text(), "     ax+by=c");
        EXPECT_EQ(w.edtSample->font().pointSize(), 26);
        w.close();
    });
    EXPECT_EQ(w.exec(), 1);
    answerNextModal([&](QWidget*) { QTest::keyClick(&w, Qt::Key_Escape); });
    EXPECT_EQ(w.exec(), 1);
}

TEST_F(PrintWindowTest, TheLayoutReadsThePageAsItStands) {
    const auto out = window->currentLayout();
    const std::vector<PrintCommand> expected = {
        text(309 * 4 + 192, 160, DATE),
        text(192, 560, TITLE),
        image(1, 192, 720, 309 * 4, 75 * 4),
        image(2, 192, 720 + 77 * 4, 309 * 4, 75 * 4),
    };
    EXPECT_EQ(out, expected);
    finished = true;
    targetLine = 1;
    frame.setWindowTitle("別の単元");
    EXPECT_EQ(window->currentLayout(), (std::vector<PrintCommand>{text(309 * 4 + 192, 160, DATE),
                                                                  text(192, 560, "別の単元"),
                                                                  image(1, 192, 720, 1236, 300),
                                                                  image(16, 192, 1028, 272 * 4, 76 * 4)}));
}

TEST_F(PrintWindowTest, PrintsTheLinesIntoAPdf) {
    const QString pdf = path("work.pdf");
    window->setOutputPdf(pdf);
    ASSERT_TRUE(window->btnStartClick());
    EXPECT_EQ(prompter.said, (std::vector<std::string>{pdf.toStdString() + TfrmPrintS::PRINTED_TO}));
    EXPECT_EQ(prompter.said.front(), pdf.toStdString() + " に印刷しました");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);  // the hourglass is gone
    ASSERT_TRUE(QFile::exists(pdf));

    // The lines are typeset again onto the paper as text and bars: no picture of a screen box
    // (once stretched four times, 150 pixels per inch, as JPEG) is left in the file.
    const QString words = run("pdftotext", {pdf, "-"});
    for (const char* w : {"2004.03.09", "一次方程式（１）", "次の方程式を解きなさい", "①式の両辺を3倍すると", "15", "①", "②"})
        EXPECT_TRUE(words.contains(QString::fromUtf8(w))) << w << "\n" << words.toStdString();
    EXPECT_FALSE(words.contains(QString::fromUtf8("【答】"))) << "an unfinished question prints no answer box";
    const QStringList images = run("pdfimages", {"-list", pdf}).split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(images.size(), 2) << "only the header of the list: " << images.join('\n').toStdString();

    const QImage shot = render(pdf);
    ASSERT_FALSE(shot.isNull());
    const QRect box1(192, 720, 1236, 300);
    const QRect box2(192, 1028, 1236, 300);
    EXPECT_GT(inked(shot, box1), 20);
    EXPECT_GT(inked(shot, box2), 20);
    // the answer box of an unfinished question stays off the paper, and so does the margin
    EXPECT_EQ(inked(shot, QRect(192, 1336, 1088, 304)), 0);
    EXPECT_EQ(inked(shot, QRect(0, 720, 192, 600)), 0);
}

TEST_F(PrintWindowTest, AFinishedQuestionPrintsItsAnswerBox) {
    finished = true;
    rig.practice.questionResult = Outcome::Solved;
    const QString pdf = path("answer.pdf");
    window->setOutputPdf(pdf);
    ASSERT_TRUE(window->btnStartClick());
    QString words = run("pdftotext", {pdf, "-"});
    EXPECT_TRUE(words.contains(QString::fromUtf8("【答】"))) << words.toStdString();
    EXPECT_TRUE(words.contains(QString::fromUtf8("検算"))) << "the check under the answer: " << words.toStdString();
    const QImage shot = render(pdf);
    ASSERT_FALSE(shot.isNull());
    EXPECT_GT(inked(shot, QRect(192, 1336, 1088, 304)), 20);
    EXPECT_EQ(inked(shot, QRect(192, 1644, 1236, 300)), 0);

    // a question without a solution prints what its answer box says
    rig.practice.questionResult = Outcome::NoSolution;
    ASSERT_TRUE(window->btnStartClick());
    words = run("pdftotext", {pdf, "-"}).remove(' ');
    EXPECT_TRUE(words.contains(QString::fromUtf8("【答】解なし"))) << words.toStdString();
}

TEST_F(PrintWindowTest, PrintsTheWholePageWindow) {
    const QString pdf = path("whole.pdf");
    window->setOutputPdf(pdf);
    ASSERT_TRUE(window->btnPrintAllClick());
    EXPECT_EQ(prompter.said, (std::vector<std::string>{pdf.toStdString() + TfrmPrintS::PRINTED_TO}));
    const QImage shot = render(pdf);
    ASSERT_FALSE(shot.isNull());
    // the window fills the width of the paper; its first box is black near the top
    int dark = 0;
    for (int y = 0; y < shot.height() / 3; ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (shot.pixelColor(x, y).lightness() < 60) ++dark;
    EXPECT_GT(dark, 100);
}

// On a printer queue the painter draws on the printer object itself, whose engine is Qt's PDF
// engine: through it, at a low and a high resolution, the whole window still fits the page (it
// once came out twice the page's width, its right half and bottom cut off), and the job says
// where it went.
TEST_F(PrintWindowTest, TheWholeWindowFitsThePageOnAnyPrinter) {
    frame.setStyleSheet("background: black");  // ink to the window's very edges
    const QRect page = window->printer().pageLayout().paintRectPixels(TfrmPrintS::PDF_RESOLUTION);
    for (const bool throughPrinter : {true, false}) {
        for (const int dpi : {300, 1200}) {
            SCOPED_TRACE((throughPrinter ? "printer, " : "file, ") + std::to_string(dpi) + " dpi");
            prompter.said.clear();
            const QString pdf = path(QString("whole%1%2.pdf").arg(dpi).arg(throughPrinter));
            window->setOutputPdf(pdf);
            window->printer().setResolution(dpi);
            window->pdfThroughPrinter = throughPrinter;
            ASSERT_TRUE(window->btnPrintAllClick());
            EXPECT_EQ(prompter.said, (std::vector<std::string>{pdf.toStdString() + " に印刷しました"}));
            const QRect ink = inkBox(render(pdf));
            // within the printable area, as wide as it (the window is wider than the page is)
            EXPECT_GE(ink.left(), -12);
            EXPECT_GE(ink.top(), -12);
            EXPECT_LE(ink.right(), page.width() + 12);
            EXPECT_LE(ink.bottom(), page.height() + 12);
            EXPECT_NEAR(ink.width(), page.width(), 48);
            EXPECT_NEAR(ink.height(), page.width() * 560 / 660, 48);
        }
    }
}

TEST_F(PrintWindowTest, APrinterThatFailsSaysSo) {
    window->pdfThroughPrinter = true;
    window->setOutputPdf(path("no/such/folder/work.pdf"));
    EXPECT_FALSE(window->btnStartClick());
    EXPECT_FALSE(window->btnPrintAllClick());
    EXPECT_EQ(prompter.said, (std::vector<std::string>{TfrmPrintS::CANNOT_START, TfrmPrintS::CANNOT_START}));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(PrintWindowTest, AnUnwritablePdfGivesItsMessageAndNoFile) {
    QFile plain(path("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    const QString pdf = path("plain/sub/work.pdf");
    window->setOutputPdf(pdf);
    EXPECT_FALSE(window->btnStartClick());
    EXPECT_EQ(prompter.said, (std::vector<std::string>{pdf.toStdString() + " に書き込めません\n書き込みに失敗しました"}));
    EXPECT_FALSE(window->btnPrintAllClick());
    EXPECT_EQ(prompter.said.size(), 2u);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(PrintWindowTest, AFailedPrintLeavesTheOldPdf) {
    const QString pdf = path("keep.pdf");
    window->setOutputPdf(pdf);
    ASSERT_TRUE(window->btnStartClick());
    const qint64 before = QFileInfo(pdf).size();
    ASSERT_GT(before, 0);
    window->printer().setOutputFileName(pdf + "/nested.pdf");  // a path under a file
    EXPECT_FALSE(window->btnStartClick());
    EXPECT_EQ(QFileInfo(pdf).size(), before);
    // a disk that fills up part-way through the new PDF
    window->printer().setOutputFileName(pdf);
    prompter.said.clear();
    {
        testing::FileSizeLimit limit(static_cast<rlim_t>(before / 2));
        ASSERT_TRUE(limit.ok());
        EXPECT_FALSE(window->btnStartClick());
    }
    EXPECT_EQ(prompter.said, (std::vector<std::string>{pdf.toStdString() + " に書き込めません\nディスクの空きがありません"}));
    EXPECT_EQ(QFileInfo(pdf).size(), before);
    EXPECT_EQ(QDir(QFileInfo(pdf).absolutePath()).entryList({"keep.pdf.*"}, QDir::Files | QDir::Hidden), QStringList{});
}

TEST_F(PrintWindowTest, WithoutAPrinterItAsksForAPdfFile) {
    if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "this machine has a printer";
    int asked = 0;
    QString answer;  // cancelled
    window->choosePdfPath = [&] {
        ++asked;
        return answer;
    };
    // as the program starts nothing is chosen: a cancelled file dialog prints and says nothing
    EXPECT_FALSE(window->btnStartClick());
    window->printer().setOutputFormat(QPrinter::NativeFormat);
    EXPECT_FALSE(window->btnPrintAllClick());
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(prompter.said.empty());
    EXPECT_FALSE(QFile::exists(path("print.pdf")));

    answer = path("named.pdf");
    ASSERT_TRUE(window->btnStartClick());
    EXPECT_TRUE(QFile::exists(answer));
    // the name is kept: the next print goes there without asking
    ASSERT_TRUE(window->btnPrintAllClick());
    EXPECT_EQ(asked, 3);
    const std::string said = answer.toStdString() + TfrmPrintS::PRINTED_TO;
    EXPECT_EQ(prompter.said, (std::vector<std::string>{said, said}));
}

// Where the typeset lines and the caption stand on the paper, in inches from the printable
// area's corner, printed at `dpi` and read back at 100 dpi.
struct PrintedPlaces {
    double linesLeft = -1, linesTop = -1, linesRight = -1, captionLeft = -1, captionTop = -1, captionBottom = -1;
};

TEST_F(PrintWindowTest, ThePageHasOneSizeAtEveryResolution) {
    auto printAt = [&](int dpi) {
        PrintedPlaces at;
        const QString pdf = path(QString("dpi%1.pdf").arg(dpi));
        window->setOutputPdf(pdf);
        window->printer().setResolution(dpi);
        if (!window->btnStartClick()) return at;
        run("pdftoppm", {"-r", "100", "-png", "-f", "1", "-l", "1", "-singlefile", pdf, path("dpi")});
        const QImage shot(path("dpi.png"));
        const QPointF corner = window->printer().pageLayout().paintRect(QPageLayout::Inch).topLeft() * 100;
        auto dark = [&](int x, int y) { return shot.pixelColor(x, y).lightness() < 100; };
        // ink from (x0, y0) to (x1, y1) on the paper, in inches
        auto ink = [&](double x0, double y0, double x1, double y1) {
            QRect r;
            for (int y = int(corner.y() + y0 * 100); y < std::min(shot.height(), int(corner.y() + y1 * 100)); ++y)
                for (int x = int(corner.x() + x0 * 100); x < std::min(shot.width(), int(corner.x() + x1 * 100)); ++x)
                    if (dark(x, y)) r |= QRect(x, y, 1, 1);
            return QRectF((r.x() - corner.x()) / 100, (r.y() - corner.y()) / 100, r.width() / 100.0, r.height() / 100.0);
        };
        // the lines: everything below the caption's row
        const QRectF lines = ink(0, 1.15, 8, 11);
        at.linesLeft = lines.left();
        at.linesTop = lines.top();
        at.linesRight = lines.right();
        // the caption: ink above the lines, left of where the date stands
        const QRectF caption = ink(0, 0, 2.2, 1.15);
        at.captionLeft = caption.left();
        at.captionTop = caption.top();
        at.captionBottom = caption.bottom();
        return at;
    };
    const double tolerance = 1.0 / 20;
    const PrintedPlaces low = printAt(300);
    const PrintedPlaces high = printAt(1200);
    for (const PrintedPlaces& at : {low, high}) {
        // size 3, margin 6: 192/600 inch in, the boxes 4 × 309 pixels wide from 720/600 inch; the
        // sentence stands at the box's left edge, the line's label near its right end
        EXPECT_GT(at.linesLeft, 0.32 - tolerance);
        EXPECT_LT(at.linesLeft, 0.32 + 0.15);
        EXPECT_NEAR(at.linesTop, 1.2, tolerance);
        EXPECT_LT(at.linesRight, 0.32 + 1236 / 600.0);
        EXPECT_GT(at.linesRight, 0.32 + 1108 / 600.0);
        EXPECT_NEAR(at.captionLeft, 0.32, tolerance);
        EXPECT_NEAR(at.captionTop, 560 / 600.0, tolerance);
        // 14-point glyphs, whole above the lines
        EXPECT_GT(at.captionBottom - at.captionTop, 0.1);
        EXPECT_LT(at.captionBottom, at.linesTop - 0.01);
    }
    EXPECT_NEAR(low.linesLeft, high.linesLeft, tolerance);
    EXPECT_NEAR(low.linesTop, high.linesTop, tolerance);
    EXPECT_NEAR(low.linesRight, high.linesRight, tolerance);
    EXPECT_NEAR(low.captionTop, high.captionTop, tolerance);
}

TEST_F(PrintWindowTest, TheSetupDialogOpensAndACancelChangesNothing) {
    const QString pdf = path("chosen.pdf");
    window->setOutputPdf(pdf);
    answerNextModal([](QWidget* w) {
        auto* dialog = qobject_cast<QDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        // accepting it prints nothing, so its button does not say so
        auto* buttons = dialog->findChild<QDialogButtonBox*>();
        ASSERT_NE(buttons, nullptr);
        EXPECT_EQ(buttons->button(QDialogButtonBox::Ok)->text(), "設定");
        dialog->reject();
    }, 15000);
    window->btnSetteiClick();
    EXPECT_EQ(window->printer().outputFormat(), QPrinter::PdfFormat);
    EXPECT_EQ(window->printer().outputFileName(), pdf);
    EXPECT_TRUE(prompter.said.empty());
}

}  // namespace
}  // namespace solvari
