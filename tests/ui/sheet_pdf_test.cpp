// The answer key and the worksheet as real PDFs, read back with poppler's pdftotext: every
// question is there, with its 【答】 on the key and without it on the worksheet.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "flow/check_command.h"
#include "tests/support/files.h"
#include "tests/ui/program_fixture.h"
#include "ui/fonts.h"
#include "ui/sheet_pdf.h"

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

TEST(SheetPdf, TheKeyHoldsEveryQuestionAndItsAnswerAndTheWorksheetNoAnswer) {
    installFontSubstitutions();
    QTemporaryDir dir;
    const QString set = dir.filePath("set.leq");
    // units 一 and 二 in Shift-JIS; one decimal question, one with brackets, one without a solution
    testing::writeAll(set, "<<\x88\xea\r\n2x=6\r\n0.5x+1=2\r\n>>\r\n<<\x93\xf1\r\n3(x-1)=x\r\nx+1=x+2\r\n>>\r\n");
    const QString key = dir.filePath("key.pdf"), sheet = dir.filePath("sheet.pdf");
    const CheckOutput o = runCheckCommand({"--answer-key", key.toStdString(), "--worksheet", sheet.toStdString(),
                                           set.toStdString()}, writeSheetPdf);
    ASSERT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 3) << "no temporary file is left";

    const QString k = pdfText(key);
    for (const char* q : {"問題1　2x=6", "問題2　0.5x+1=2", "問題1　3(x-1)=x", "問題2　x+1=x+2", "解答集", "単元2　二"})
        EXPECT_TRUE(holds(k, q)) << q << "\n" << k.toStdString();
    EXPECT_EQ(k.count(QString::fromUtf8("【答】")), 4) << k.toStdString();
    EXPECT_TRUE(holds(k, "【答】解なし"));
    EXPECT_TRUE(holds(k, "①式の両辺を2で割ると")) << "the steps' sentences are on the key";

    const QString w = pdfText(sheet);
    EXPECT_TRUE(holds(w, "問題用紙"));
    EXPECT_TRUE(holds(w, "問題1　3(x-1)=x"));
    EXPECT_FALSE(w.contains(QString::fromUtf8("【答】"))) << w.toStdString();
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
}

// ファイル → 解答集 lays out the set the drill holds, which the teacher may have edited unsaved.
class SheetMenu : public testing::ProgramInFolder {};

TEST_F(SheetMenu, TheMenuWritesTheKeyOfTheSetInUse) {
    writeSet({"<<一", "2x=6", ">>"});
    start();
    ASSERT_NE(m->mnuAnswerKey, nullptr);
    std::string preset;
    const std::string out = path("key.pdf");
    m->pdfDialog = [&](const std::string& p) {
        preset = p;
        return out;
    };
    m->practice->questionSet.questionText[1][1] = "3x=12";
    m->mnuAnswerKey->trigger();
    EXPECT_EQ(preset, "解答集.pdf");
    const QString k = pdfText(QString::fromStdString(out));
    EXPECT_TRUE(holds(k, "問題1　3x=12")) << k.toStdString();
    EXPECT_TRUE(holds(k, "【答】x=4")) << k.toStdString();

    // cancelled: nothing is written
    m->pdfDialog = [](const std::string&) { return std::string(); };
    QFile::remove(QString::fromStdString(out));
    m->mnuWorksheet->trigger();
    EXPECT_FALSE(QFile::exists(QString::fromStdString(out)));
}

}  // namespace
}  // namespace solvari
