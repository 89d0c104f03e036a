#include <gtest/gtest.h>

#include "tests/support/files.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <string>
#include <utility>
#include <vector>

#include "flow/check_command.h"
#include "solvari_version.h"

namespace solvari {
namespace {

using Lines = std::vector<std::string>;

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class CheckCommand : public testing::ScratchFolder {};

// Shift-JIS of 一 and 二.
const std::string kIchi = "\x88\xea";
const std::string kNi = "\x93\xf1";

TEST_F(CheckCommand, AValidSetExitsZero) {
    const std::string p = file("ok.leq", "<<" + kIchi + "\r\n2x=6\r\nx+5=9\r\n>>\r\n<<" + kNi + "\r\n3(x-1)=x\r\n>>\r\n");
    CheckOutput o = runCheckCommand({p});
    EXPECT_EQ(o.exitCode, 0);
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(o.out, "ファイル: " + p +
                         "\nエラーチェックの結果: ☆☆☆　構文チェック成功　☆☆☆\n単元数: 2\nエラーの単元: なし\n");
}

TEST_F(CheckCommand, EveryFaultyQuestionOfEveryUnitIsListed) {
    const std::string p = file("bad.leq", "<<" + kIchi + "\r\nx=1=2\r\nx=1\r\n>>\r\n<<" + kNi + "\r\n2x+3y=7\r\n>>\r\n");
    CheckOutput o = runCheckCommand({p});
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_TRUE(contains(o.out, "エラーチェックの結果: ??? 誤りがあります ???\n")) << o.out;
    EXPECT_TRUE(contains(o.out, "エラーの単元: 一\n")) << o.out;
    EXPECT_TRUE(contains(o.out, "  単元1 問題1: x=1=2\n    ＝の数が不正です\n")) << o.out;
    EXPECT_TRUE(contains(o.out, "  単元2 問題1: 2x+3y=7\n    文字が多すぎます\n")) << o.out;
}

TEST_F(CheckCommand, AStructuralFaultNamesItsLine) {
    const std::string p = file("struct.leq", "<<a\r\nx=1\r\n<<b\r\nx=2\r\n>>\r\n");
    CheckOutput o = runCheckCommand({p});
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_TRUE(contains(o.out, "エラーチェックの結果: ??? 問題に誤りがあります\nエラーの単元: 問題に誤りです\n  3行目: <<b\n"))
        << o.out;
}

TEST_F(CheckCommand, UnreadableInputExitsTwoWithAMessage) {
    const std::string missing = dir.filePath("missing.leq").toStdString();
    const std::string garbage = file("garbage.leq", std::string("\x00\xff\xfe\x80\x81", 5));
    const std::string huge = dir.filePath("huge.leq").toStdString();
    {
        QFile f(QString::fromStdString(huge));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(50LL * 1024 * 1024));  // sparse: the check must refuse it unread
    }
    struct Row {
        std::string path;
        std::string error;
    };
    for (const Row& row : {Row{missing, missing + ":FileNot Exists"}, Row{dir.path().toStdString(), ":File Can't Load"},
                           Row{garbage, garbage + ":File Can't Load"}, Row{huge, huge + ":File Can't Load"}}) {
        SCOPED_TRACE(row.path);
        QElapsedTimer timer;
        timer.start();
        CheckOutput o = runCheckCommand({row.path});
        EXPECT_LT(timer.elapsed(), 5000);
        EXPECT_EQ(o.exitCode, 2);
        EXPECT_EQ(o.out, "");
        EXPECT_TRUE(contains(o.err, row.error)) << o.err;
    }
}

TEST_F(CheckCommand, BadArguments) {
    const std::string p = file("ok.leq", "<<a\r\nx=1\r\n>>\r\n");
    struct Row {
        Lines args;
        int code;
        const char* inErr;
        const char* inOut;
    };
    for (const Row& r : {Row{{}, 2, "ファイルを指定してください", ""}, Row{{"--frobnicate", p}, 2, "不明なオプションです: frobnicate", ""},
                         Row{{"-x", p}, 2, "不明なオプション", ""}, Row{{p, p}, 2, "一つだけ", ""},
                         Row{{p, "--answer-key"}, 2, "オプションの値が足りないか、余分です: ", ""},
                         Row{{"--help=1"}, 2, "オプションの値が足りないか、余分です: --help=1", ""},
                         Row{{"--help"}, 0, "", "使い方"}, Row{{"-h", p}, 0, "", "使い方"},
                         Row{{"--version"}, 0, "", "solvari-check " SOLVARI_VERSION "\n"}, Row{{"--", p}, 0, "", "単元数: 1"}}) {
        SCOPED_TRACE(r.args.empty() ? "" : r.args.front());
        CheckOutput o = runCheckCommand(r.args);
        EXPECT_EQ(o.exitCode, r.code);
        EXPECT_TRUE(contains(o.err, r.inErr)) << o.err;
        EXPECT_TRUE(contains(o.out, r.inOut)) << o.out;
        if (r.code == 2) {
            EXPECT_TRUE(contains(o.err, "使い方")) << "a wrong call shows the usage";
        }
    }
}

TEST_F(CheckCommand, TsvHasOneRowPerQuestion) {
    const std::string p = file("t.leq", "<<a\r\n2x=6\r\n2x=3\r\n2x+1=2x\r\nx-x=0\r\n2 x=1\r\nx=1=2\r\n>>\r\n");
    CheckOutput o = runCheckCommand({"--tsv", p});
    EXPECT_EQ(o.exitCode, 1);  // the last question does not parse
    EXPECT_EQ(o.out,
              "unit\tquestion\ttext\tanswer\terror\tmessages\n"
              "1\t1\t2x=6\t3\t0\t\n"
              "1\t2\t2x=3\t3/2\t0\t\n"
              "1\t3\t2x+1=2x\tNONE\t0\t\n"
              "1\t4\tx-x=0\tALL\t0\t\n"
              "1\t5\t2 x=1\t1/2\t0\t空白があります\n"
              "1\t6\tx=1=2\tERROR\t0\t＝の数が不正です\n");
}

TEST_F(CheckCommand, SolvePrintsSentenceLineAndAnswer) {
    const std::string p = file("s.leq", "<<" + kIchi + "\r\n2x+3=7\r\n>>\r\n");
    CheckOutput o = runCheckCommand({"--solve", p});
    EXPECT_EQ(o.exitCode, 0);
    EXPECT_EQ(o.out,
              "[単元1] 一\n"
              "問題1: 2x+3=7\n"
              "    ① 2x+3=7\n"
              "  ①式を移項すると\n"
              "    ② 2x=-3+7\n"
              "  ②式を整理すると\n"
              "    ③ 2x=4\n"
              "  ③式の両辺を2で割ると\n"
              "    ④ x=2\n"
              "  【答】x=2\n");
}

TEST_F(CheckCommand, ALongDamagedLineIsQuotedShortAndVisible) {
    const std::string p = file("zeros.leq", std::string(200000, '\0'));
    CheckOutput o = runCheckCommand({p});
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_TRUE(contains(o.out, "  1行目: " + std::string(60, '?') + "…\n")) << o.out.substr(0, 300);
    EXPECT_LT(o.out.size(), 1000u);
}

// A teacher's table of written lines, in Shift-JIS with CR LF and a header: one row out per data
// row, and a row the program cannot judge makes the exit 1 without stopping the rest.
TEST_F(CheckCommand, JudgeGivesOneRowPerWrittenLine) {
    const std::string p = file("lines.tsv", "line\top\toperand\twritten\r\n"
                                            "2x+3=7\tI\t\t2x=7+3\r\n"
                                            "2x=6\t/\t2\tx=3\r\n"
                                            "\r\n"
                                            "2x=6\t/\t0\tx=3\r\n"
                                            "3x=12\t/\t3\tx=9\r\n"
                                            "2x=6\t/\t2\tx=(3\r\n"
                                            "2x=6\tI\n");
    CheckOutput o = runCheckCommand({"--judge", p});
    EXPECT_EQ(o.exitCode, 1);
    const std::vector<std::string> rows = [&] {
        std::vector<std::string> r;
        std::string row;
        for (char c : o.out) {
            if (c == '\n') r.push_back(std::exchange(row, ""));
            else row += c;
        }
        return r;
    }();
    ASSERT_EQ(rows.size(), 6u) << o.out;
    EXPECT_EQ(rows[0], "1\tNG\ttranspose-sign\t＋3 を移項するときは、符号を変えます");
    EXPECT_EQ(rows[1], "2\tOK\t\t");
    EXPECT_TRUE(rows[2].starts_with("3\tINVALID\t\t")) << rows[2];
    EXPECT_TRUE(rows[3].starts_with("4\tNG\tcoef-as-term\t")) << rows[3];
    EXPECT_TRUE(rows[4].starts_with("5\tNG\tunreadable\t")) << rows[4];
    EXPECT_TRUE(rows[5].starts_with("6\tINVALID\t\t")) << rows[5];

    const std::string good = file("good.tsv", "2x=6\t/\t2\tx=3\n");
    EXPECT_EQ(runCheckCommand({"--judge", good}).exitCode, 0);
    EXPECT_EQ(runCheckCommand({"--judge", dir.filePath("none.tsv").toStdString()}).exitCode, 2);
    EXPECT_EQ(runCheckCommand({"--judge", "--tsv", good}).exitCode, 2);
}

TEST(StructureFaultLine, FindsTheFirstFailingLine) {
    struct Row {
        Lines lines;
        int line;
    };
    for (const Row& r : {Row{{"<<a", "x=1", ">>"}, 0}, Row{{}, 0}, Row{{">>"}, 1}, Row{{"<<a", "x=1", "", ">>"}, 3},
                         Row{{"<<a", "x=1", ">>", "<<b", ">>"}, 5}, Row{{"<<a", "x=1", "<<b"}, 3}}) {
        EXPECT_EQ(structureFaultLine(r.lines), r.line);
    }
}

}  // namespace
}  // namespace solvari
