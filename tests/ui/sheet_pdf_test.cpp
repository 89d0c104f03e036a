// The answer key and the worksheet as real PDFs, read back with poppler's pdftotext: every
// question is there, with its 【答】 on the key and without it on the worksheet.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>

#include "flow/check_command.h"
#include "flow/file_io.h"
#include "flow/question_set.h"
#include "tests/support/files.h"
#include "tests/ui/modal.h"
#include "tests/ui/program_fixture.h"
#include "ui/fonts.h"
#include "ui/sheet_pdf.h"
#include "ui/sheet_window.h"

namespace solvari {
namespace {

// The PDF's words with every blank taken out: pdftotext may give the ideographic space as a
// plain one, and the typeset pieces of a line stand apart.
QString squeezed(QString s) {
    s.removeIf([](QChar c) { return c.isSpace(); });
    return s;
}

QString pdfText(const QString& pdf) {
    QProcess p;
    p.start("pdftotext", {pdf, "-"});
    if (!p.waitForFinished(30000) || p.exitCode() != 0) {
        ADD_FAILURE() << "pdftotext failed: " << p.readAllStandardError().toStdString();
        return {};
    }
    return squeezed(QString::fromUtf8(p.readAllStandardOutput()));
}

bool holds(const QString& text, const char* words) { return text.contains(squeezed(QString::fromUtf8(words))); }

TEST(SheetPdf, TheSheetsHoldEveryQuestionTypesetAndTheKeyAndTheAnswersItsAnswer) {
    installFontSubstitutions();
    QTemporaryDir dir;
    const QString set = dir.filePath("set.leq");
    // units 一 and 二 in Shift-JIS; one decimal question, one with brackets, one without a solution
    testing::writeAll(set, "<<\x88\xea\r\n2x=6\r\n0.5x+1=2\r\n>>\r\n<<\x93\xf1\r\n3(x-1)=x\r\nx+1=x+2\r\n>>\r\n");
    const QString key = dir.filePath("key.pdf"), sheet = dir.filePath("sheet.pdf"), list = dir.filePath("list.pdf");
    const CheckOutput o = runCheckCommand({"--answer-key", key.toStdString(), "--worksheet", sheet.toStdString(), "--answers",
                                           list.toStdString(), set.toStdString()}, writeSheetPdf);
    ASSERT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 4) << "no temporary file is left";

    // the questions as typeset, with true minus signs, and numbered; never their source text
    const char* questions[] = {"2x=6", "0.5x+1=2", "3(x\u22121)=x", "x+1=x+2", "(1)", "(2)", "(3)", "(4)"};
    const QString k = pdfText(key), w = pdfText(sheet), a = pdfText(list);
    for (const QString& text : {k, w, a}) {
        for (const char* q : questions) EXPECT_TRUE(holds(text, q)) << q << "\n" << text.toStdString();
        EXPECT_TRUE(holds(text, "単元2　二"));
        EXPECT_FALSE(text.contains("3(x-1)")) << "a source text printed";
    }
    EXPECT_TRUE(holds(k, "set　解答集"));
    EXPECT_EQ(k.count(QString::fromUtf8("【答】")), 4) << k.toStdString();
    EXPECT_TRUE(holds(k, "【答】解なし"));
    EXPECT_TRUE(holds(k, "①式の両辺を2で割ると")) << "the steps' sentences are on the key";

    EXPECT_TRUE(holds(w, "set　問題用紙"));
    EXPECT_TRUE(holds(w, "次の方程式を解きなさい"));
    EXPECT_FALSE(w.contains(QString::fromUtf8("【答】"))) << w.toStdString();

    EXPECT_TRUE(holds(a, "(1)2x=6【答】x=3")) << "question and answer on one row\n" << a.toStdString();
}

TEST(SheetPdf, AFailedWriteLeavesTheOldFile) {
    QTemporaryDir dir;
    const QString old = dir.filePath("key.pdf");
    testing::writeAll(old, "old");
    SheetLayout layout;
    layout.pageCount = 1;
    FileResult failed;
    {
        testing::FileSizeLimit full(200);  // as on a full disk
        ASSERT_TRUE(full.ok());
        failed = writeSheetPdf(old.toStdString(), layout);
    }
    EXPECT_FALSE(failed.ok);
    EXPECT_NE(failed.error.find("に書き込めません"), std::string::npos) << failed.error;
    EXPECT_EQ(testing::readAll(old), "old");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);

    // a sheet with a question that does not parse is refused, whoever asks
    layout.faulty = {"単元1 問題2: 「3x==6」"};
    failed = writeSheetPdf(old.toStdString(), layout);
    EXPECT_FALSE(failed.ok);
    EXPECT_NE(failed.error.find(SHEET_FAULTY), std::string::npos) << failed.error;
    EXPECT_EQ(testing::readAll(old), "old");
}

// The pages of a PDF at 96 dots per inch, one sheet pixel to a pixel.
std::vector<QImage> sheetPages(const QString& pdf, const QString& stem) {
    QProcess p;
    p.start("pdftoppm", {"-r", QString::number(SHEET_DPI), "-gray", "-png", pdf, stem});
    if (!p.waitForFinished(120000) || p.exitCode() != 0) {
        ADD_FAILURE() << "pdftoppm failed: " << p.readAllStandardError().toStdString();
        return {};
    }
    std::vector<QImage> pages;
    const QDir dir = QFileInfo(stem).dir();
    QStringList names = dir.entryList({QFileInfo(stem).fileName() + "-*.png"}, QDir::Files, QDir::Name);
    // pdftoppm pads the page number to the width of the last one, so the names sort by page
    for (const QString& name : names) pages.push_back(QImage(dir.filePath(name)).convertToFormat(QImage::Format_Grayscale8));
    return pages;
}

bool inked(const QImage& page, int x, int y, int limit = 128) { return page.constScanLine(y)[x] < limit; }

QuestionSet bundledSet() {
    QuestionSet set;
    const QuestionLinesResult file = readQuestionFile(SOLVARI_SOURCE_DIR "/data/Question.leq");
    std::vector<Diagnostic> said;
    EXPECT_TRUE(file.ok && parseQuestionSet(file.lines, set, said)) << file.error;
    return set;
}

QRect placeOf(const SheetItem& i) { return QRect(i.x, i.y, i.w, i.h); }

// The bundled set's sheets, drawn and read back: every item's ink stays inside its own place
// on the page, so nothing prints over anything else. Items alternate between two PDFs, so
// ink that runs out of an item falls where that PDF has no item. (A fraction's denominator
// once printed over the next step's sentence on the key, and into the writing box on the
// worksheet.) Every fraction bar is black and of print weight.
TEST(SheetPdf, NothingPrintsOverAnythingElse) {
    installFontSubstitutions();
    const QuestionSet set = bundledSet();
    QTemporaryDir dir;
    for (const SheetKind kind : {SheetKind::AnswerKey, SheetKind::Worksheet, SheetKind::Answers}) {
        const SheetLayout layout = sheetLayout(set, kind);
        const char* name = kind == SheetKind::AnswerKey ? "key" : kind == SheetKind::Worksheet ? "worksheet" : "answers";
        SCOPED_TRACE(name);
        for (size_t a = 0; a < layout.items.size(); ++a) {
            for (size_t b = a + 1; b < layout.items.size() && layout.items[b].page == layout.items[a].page; ++b) {
                ASSERT_FALSE(placeOf(layout.items[a]).intersects(placeOf(layout.items[b])))
                    << "items " << a << " and " << b << " on page " << layout.items[a].page;
            }
            ASSERT_TRUE(QRect(0, 0, SHEET_WIDTH, SHEET_HEIGHT).contains(placeOf(layout.items[a]))) << a;
        }
        int fractions = 0;
        for (int half = 0; half < 2; ++half) {
            SheetLayout part = layout;
            part.items.clear();
            for (size_t i = static_cast<size_t>(half); i < layout.items.size(); i += 2) part.items.push_back(layout.items[i]);
            const QString pdf = dir.filePath(QString("%1%2.pdf").arg(name).arg(half));
            ASSERT_TRUE(writeSheetPdf(pdf.toStdString(), part).ok);
            const std::vector<QImage> pages = sheetPages(pdf, dir.filePath(QString("%1%2").arg(name).arg(half)));
            ASSERT_EQ(static_cast<int>(pages.size()), layout.pageCount);
            for (int page = 0; page < layout.pageCount; ++page) {
                const QImage& shot = pages[static_cast<size_t>(page)];
                std::vector<const SheetItem*> here;
                for (const SheetItem& i : part.items)
                    if (i.page == page) here.push_back(&i);
                int stray = 0;
                QPoint first;
                for (int y = 0; y < shot.height(); ++y) {
                    for (int x = 0; x < shot.width(); ++x) {
                        if (!inked(shot, x, y)) continue;
                        const bool inside = std::any_of(here.begin(), here.end(),
                                                        [&](const SheetItem* i) { return placeOf(*i).contains(x, y); });
                        if (!inside && stray++ == 0) first = QPoint(x, y);
                    }
                }
                EXPECT_EQ(stray, 0) << "ink outside its item on page " << page + 1 << ", first at " << first.x() << ","
                                    << first.y();
                // A bar is the only long run of black on one row of ink: it stands at the minus
                // sign's height above the line's baseline.
                for (const SheetItem* i : here) {
                    if (i->kind != SheetItem::Kind::Equation) continue;
                    const int top = i->baseline - (i->pixelSize * 270 + 500) / 1000 - 1;
                    for (int x = i->x, run = 0; x < i->x + i->w; ++x) {
                        run = inked(shot, x, top) ? run + 1 : 0;
                        if (run != 14) continue;
                        ++fractions;
                        // its weight, down one column: how much of a pixel each row is black
                        double weight = 0, darkest = 0;
                        for (int y = top - 3; y <= top + 3; ++y) {
                            const double ink = 1 - shot.constScanLine(y)[x - 7] / 255.0;
                            weight += ink;
                            darkest = std::max(darkest, ink);
                        }
                        EXPECT_GT(darkest, 0.9) << "a black bar, page " << page + 1 << " y " << top;
                        EXPECT_GT(weight, 1.3) << "of print weight, page " << page + 1 << " y " << top;
                    }
                }
            }
        }
        EXPECT_GT(fractions, 8) << "the set's fraction units were drawn";
    }
}

// ファイル → 解答集 lays out the set the drill holds, which the teacher may have edited unsaved,
// after the teacher has chosen its units in the print window (all of them to start with). The
// dialog opens in the documents folder (not the hidden practice folder the drill works in),
// then where the last PDF went, and the teacher is told where the PDF was written.
class SheetMenu : public testing::ProgramInFolder {};

TEST_F(SheetMenu, TheMenuWritesTheChosenUnitsOfTheSetInUseAndSaysWhere) {
    writeSet({"<<一", "2x=6", ">>", "<<二", "5x=10", ">>"});
    // the user's documents folder as the desktop names it (XDG user dirs)
    const QString config = dir.filePath("config"), documents = dir.filePath("書類"), handouts = dir.filePath("配布");
    ASSERT_TRUE(QDir().mkpath(config) && QDir().mkpath(documents) && QDir().mkpath(handouts));
    testing::writeAll(config + "/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"" + documents.toStdString() + "\"\n");
    struct ConfigHome {
        QByteArray old = qgetenv("XDG_CONFIG_HOME");
        ~ConfigHome() { old.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", old); }
    } restore;
    qputenv("XDG_CONFIG_HOME", config.toUtf8());
    start();
    ASSERT_NE(m->mnuAnswers, nullptr);
    std::string preset;
    const std::string out = (handouts + "/key.pdf").toStdString();
    m->pdfDialog = [&](const std::string& p) {
        preset = p;
        return out;
    };
    QString told;
    program->practice->questionSet.questionText[1][1] = "3x=12";
    testing::answerNextModal([&](QWidget* w) {
        auto* sheet = qobject_cast<TfrmSheet*>(w);
        ASSERT_NE(sheet, nullptr);
        EXPECT_EQ(sheet->windowTitle(), QString::fromUtf8("解答集の印刷"));
        ASSERT_EQ(sheet->lstTangen->count(), 2);
        EXPECT_EQ(sheet->chosenUnits(), (std::vector<int>{1, 2})) << "every unit to start with";
        EXPECT_FALSE(sheet->spnPerPage->isVisibleTo(sheet)) << "the number per page is the worksheet's";
        sheet->btnNone->click();
        EXPECT_FALSE(sheet->btnOk->isEnabled()) << "a sheet of no unit";
        sheet->lstTangen->item(0)->setCheckState(Qt::Checked);
        // then where the PDF went (the sheet window, open now, is not the box answered)
        testing::answerNextModal([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            ASSERT_NE(box, nullptr);
            told = box->text();
            box->accept();
        });
        sheet->btnOk->click();
    });
    m->mnuAnswerKey->trigger();
    EXPECT_EQ(QString::fromStdString(preset), documents + "/解答集.pdf");
    EXPECT_TRUE(told.contains(QString::fromStdString(out))) << told.toStdString();
    const QString k = pdfText(QString::fromStdString(out));
    EXPECT_TRUE(holds(k, "Question　解答集")) << k.toStdString();
    EXPECT_TRUE(holds(k, "(1)①3x=12")) << k.toStdString();
    EXPECT_TRUE(holds(k, "【答】x=4")) << k.toStdString();
    EXPECT_FALSE(holds(k, "二")) << "unit 2 was not chosen";

    // closed in the print window, or cancelled in the file dialog: nothing is written or told;
    // the dialog starts where the key went
    m->pdfDialog = [&](const std::string& p) {
        preset = p;
        return std::string();
    };
    QFile::remove(QString::fromStdString(out));
    testing::answerNextModal([](QWidget* w) {
        auto* sheet = qobject_cast<TfrmSheet*>(w);
        ASSERT_NE(sheet, nullptr);
        EXPECT_TRUE(sheet->spnPerPage->isVisibleTo(sheet));
        sheet->reject();
    });
    m->mnuWorksheet->trigger();
    testing::answerNextModal([](QWidget* w) { qobject_cast<TfrmSheet*>(w)->btnOk->click(); });
    m->mnuAnswers->trigger();
    EXPECT_EQ(QString::fromStdString(preset), handouts + "/答えの一覧.pdf");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(out)));
}

TEST_F(SheetMenu, ASetWithAFaultyQuestionGetsNoSheet) {
    writeSet({"<<一", "2x=6", "x+1=3", ">>"});
    start();
    program->practice->questionSet.questionText[1][2] = "3x==6";
    m->pdfDialog = [&](const std::string&) {
        ADD_FAILURE() << "asked where to write";
        return path("ws.pdf");
    };
    testing::answerNextModal([](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr) << "the print window opened";
        EXPECT_TRUE(box->text().startsWith(QString::fromUtf8(SHEET_FAULTY))) << box->text().toStdString();
        EXPECT_TRUE(box->text().contains(QString::fromUtf8("単元1 問題2: 「3x==6」"))) << box->text().toStdString();
        box->accept();
    });
    m->mnuWorksheet->trigger();
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path("ws.pdf"))));
}

}  // namespace
}  // namespace solvari
