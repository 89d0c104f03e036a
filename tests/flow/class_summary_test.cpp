// The class summary of record files collected from the students' machines.
#include <gtest/gtest.h>

#include "tests/support/files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "flow/check_command.h"
#include "flow/class_summary.h"
#include "flow/question_set.h"
#include "flow/record_file.h"

namespace solvari {
namespace {

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The line of a table that starts with `start`, blanks after its first cell squeezed to one.
std::string rowOf(const std::string& table, const std::string& start) {
    size_t at = table.starts_with(start) ? 0 : table.find("\n" + start);
    if (at == std::string::npos) return "";
    if (at > 0) ++at;
    std::string line = table.substr(at, table.find('\n', at) - at), out;
    for (char c : line)
        if (!(c == ' ' && !out.empty() && out.back() == ' ')) out += c;
    return out;
}

class ClassSummaryTest : public testing::ScratchFolder {
protected:
    // A record as the drill writes it.
    std::string record(const std::string& name, const std::vector<std::pair<std::string, int>>& finishes) {
        const std::string path = dir.filePath(QString::fromStdString(name)).toStdString();
        RecordFile f(path);
        const QDateTime when(QDate(2026, 12, 1), QTime(9, 5));
        for (const auto& [title, q] : finishes) EXPECT_TRUE(writeRecord(f, title, q, [&] { return when; }).ok);
        return path;
    }
};

TEST_F(ClassSummaryTest, AFolderGivesOneRowPerFileAndUnit) {
    record("a.rec", {{"一次方程式（１）", 1}, {"一次方程式（１）", 1}, {"一次方程式（１）", 3}, {"かっこ", 7}});
    record("b.REC", {{"一次方程式（１）", 2}});
    {  // one of a.rec's finishes of question 1 came after a hint and two wrong lines
        RecordFile f(dir.filePath("a.rec").toStdString());
        const QDateTime when(QDate(2026, 12, 1), QTime(9, 5));
        EXPECT_TRUE(writeRecord(f, "一次方程式（１）", 1, [&] { return when; }, Finish::AfterHint, {{"one-side", 2}}).ok);
        RecordFile g(dir.filePath("b.REC").toStdString());
        EXPECT_TRUE(writeRecord(g, "一次方程式（１）", 2, [&] { return when; }, Finish::Plain, {{"transpose-sign", 3}, {"one-side", 1}}).ok);
    }
    file("notes.txt", "not a record");
    CheckOutput o = runCheckCommand({"--records", "--tsv", dir.path().toStdString()});
    EXPECT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(o.err, "");
    const std::string a = dir.filePath("a.rec").toStdString(), b = dir.filePath("b.REC").toStdString();
    const std::string none = "\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0";
    EXPECT_EQ(o.out,
              "file\tunit\tq1\tq2\tq3\tq4\tq5\tq6\tq7\ttotal\tlatest\th1\th2\th3\th4\th5\th6\th7"
              "\ttranspose-sign\tstay-sign\tone-side\tbracket-first\tbracket-sign\tcoef-as-term\tdivide-inverted"
              "\tdenominator-term\tunlike-terms\tarithmetic\tother\n" +
              a + "\t一次方程式（１）\t3\t0\t1\t0\t0\t0\t0\t4\t2026年12月01日09:05\t1\t0\t0\t0\t0\t0\t0"
                  "\t0\t0\t2\t0\t0\t0\t0\t0\t0\t0\t0\n" +
              a + "\tかっこ\t0\t0\t0\t0\t0\t0\t1\t1\t2026年12月01日09:05\t0\t0\t0\t0\t0\t0\t0" + none + "\n" +
              b + "\t一次方程式（１）\t0\t2\t0\t0\t0\t0\t0\t2\t2026年12月01日09:05\t0\t0\t0\t0\t0\t0\t0"
                  "\t3\t0\t1\t0\t0\t0\t0\t0\t0\t0\t0\n");
    // the table closes with the most frequent mistakes of each file and of them all, per unit
    const std::string table = runCheckCommand({"--records", dir.path().toStdString()}).out;
    EXPECT_TRUE(contains(table, "片方の辺だけ 2\n")) << table;
    EXPECT_TRUE(contains(table, "移項の符号 3・片方の辺だけ 1\n")) << table;
    const std::string all = table.substr(table.rfind("\n全体") + 1);
    EXPECT_TRUE(all.ends_with("一次方程式（１）  移項の符号 3・片方の辺だけ 3\n")) << table;

    // a class folder's shared Miradosh.rec is listed as shared, never as a student
    record("Miradosh.rec", {{"かっこ", 1}});
    o = runCheckCommand({"--records", dir.path().toStdString()});
    EXPECT_TRUE(contains(o.out, dir.filePath("Miradosh.rec").toStdString() + "（共有の記録）")) << o.out;
    EXPECT_FALSE(contains(o.out, a + "（共有の記録）")) << o.out;
    ASSERT_TRUE(QFile::remove(dir.filePath("Miradosh.rec")));

    // the table shows the same, aligned, never-finished questions as "-"
    o = runCheckCommand({"--records", dir.filePath("a.rec").toStdString()});
    EXPECT_EQ(o.exitCode, 0);
    EXPECT_TRUE(contains(o.out, "生徒")) << o.out;
    EXPECT_TRUE(contains(o.out, "a     一次方程式（１）  3    -    1    -    -    -    -    4   2026年12月01日09:05  問1☆1\n")) << o.out;
}

// Records collected from a class's PCs into folders: each names its student, odd values read
// as the drill reads them or are reported, and the grid and the CSV show the same.
TEST_F(ClassSummaryTest, ACollectedClassFolderNamesEveryStudent) {
    for (const char* sub : {"class", "class/3-2-05", "class/3-2-06", "class/3-2-07", "class/sub", "class/empty"})
        ASSERT_TRUE(QDir(dir.path()).mkpath(sub));
    record("class/Miradosh.rec", {{"一次方程式（１）", 1}});          // the class folder's own
    record("class/hanako.rec", {{"一次方程式（１）", 2}});
    record("class/3-2-05/Miradosh.rec", {{"一次方程式（１）", 1}, {"一次方程式（１）", 1}});
    file("class/3-2-06/MIRADOSH.REC", "[A]\r\n1=0x10\r\n2=-3\r\n");  // hexadecimal, and a negative count
    file("class/3-2-07/Miradosh.rec", "[一次方程式（１）]\r\n3=2\r\n");  // written in UTF-8
    record("class/sub/hanako.rec", {{"A", 1}});
    file("class/empty/taro.rec", "");
    const std::string root = dir.filePath("class").toStdString();
    CheckOutput o = runCheckCommand({"--records", root});
    EXPECT_EQ(o.exitCode, 0) << o.err;
    const std::string& t = o.out;
    EXPECT_TRUE(contains(t, root + "/Miradosh.rec（共有の記録）  一次方程式（１）")) << t;
    EXPECT_TRUE(contains(t, "\n3-2-05 ")) << t;
    EXPECT_TRUE(contains(t, "\n3-2-06 ")) << t;
    EXPECT_EQ(rowOf(t, "3-2-06"), "3-2-06 A 16 ? - - - - - 16 -") << t;  // 0x10 is 16; -3 is damaged, not summed
    EXPECT_EQ(rowOf(t, "hanako（class）"), "hanako（class） 一次方程式（１） - 1 - - - - - 1 2026年12月01日09:05") << t;
    EXPECT_EQ(rowOf(t, "hanako（class/sub）"), "hanako（class/sub） A 1 - - - - - - 1 2026年12月01日09:05") << t;
    EXPECT_EQ(std::count(t.begin(), t.end(), '\n'), 8) << t;  // header + 7 files, the empty one too
    EXPECT_TRUE(contains(t, "\ntaro ")) << t;
    EXPECT_TRUE(contains(t, "（記録なし）")) << t;
    EXPECT_TRUE(contains(o.err, "UTF-8")) << o.err;
    EXPECT_TRUE(contains(o.err, "2=-3 はこわれています")) << o.err;
    EXPECT_EQ(rowOf(t, "3-2-07"), "3-2-07 一次方程式（１） - - 2 - - - - 2 -") << t << "(the UTF-8 record's title reads right)";

    const std::string set = file("set.leq", "<<A\r\n2x=6\r\n3x=9\r\n>>\r\n");
    o = runCheckCommand({"--records", "--grid", "--set", set, root});
    EXPECT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(o.out.rfind("■ A\n生徒", 0), 0u) << o.out;  // the set's one unit, its two questions
    EXPECT_EQ(rowOf(o.out, "3-2-06"), "3-2-06 16 ? 16") << o.out;
    EXPECT_FALSE(contains(o.out, "問3")) << o.out;
    EXPECT_EQ(runCheckCommand({"--records", "--grid", "--unit", "B", root}).exitCode, 2);

    o = runCheckCommand({"--records", "--csv", root});
    EXPECT_EQ(o.out.rfind("\xEF\xBB\xBF記録ファイル,単元,問1,", 0), 0u) << o.out;
    EXPECT_TRUE(contains(o.out, ",移項の符号,")) << o.out;
}

TEST_F(ClassSummaryTest, ADamagedOrMissingFileIsReportedAndSkipped) {
    const std::string good = record("good.rec", {{"かっこ", 1}});
    const std::string binary = file("broken.rec", std::string("\x89PNG\r\n\x1a\n\0\0", 10));
    const std::string prose = file("prose.rec", "これは記録ではありません\r\n[かっこ]\r\n1=4\r\n");
    const std::string folder = dir.filePath("sub.rec").toStdString();
    ASSERT_TRUE(QDir().mkdir(QString::fromStdString(folder)));  // a folder named like a record: no files in it
    struct Row { const char* name; std::vector<std::string> args; int exit; std::vector<std::string> errors; int rows; };
    const Row rows[] = {
        {"damaged", {"--records", "--tsv", good, binary, prose}, 1, {binary + ": 練習記録のファイルではありません", prose + ": 練習記録のファイルではありません"}, 1},
        {"missing", {"--records", "--tsv", good, good + "x"}, 1, {good + "x: ファイルがありません"}, 1},
        {"empty folder", {"--records", "--tsv", folder}, 1, {folder + ": 記録ファイル (*.rec) がありません"}, 0},
        {"nothing given", {"--records"}, 2, {"記録ファイルかフォルダを指定してください"}, -1},
        {"with --solve", {"--records", "--solve", good}, 2, {"--records は --tsv --csv --grid のほかのオプションと一緒に使えません"}, -1},
        {"with the sheets' --units", {"--records", "--units", "1", good}, 2, {"--records は --tsv --csv --grid のほかのオプションと一緒に使えません"}, -1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const CheckOutput o = runCheckCommand(r.args);
        EXPECT_EQ(o.exitCode, r.exit);
        for (const std::string& e : r.errors) EXPECT_TRUE(contains(o.err, e)) << o.err;
        if (r.rows >= 0) {
            EXPECT_EQ(std::count(o.out.begin(), o.out.end(), '\n'), r.rows + 1) << o.out;
        }
    }
    // nothing was written: the damaged files are as they were
    QFile f(QString::fromStdString(prose));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll().toStdString(), "これは記録ではありません\r\n[かっこ]\r\n1=4\r\n");
}

TEST_F(ClassSummaryTest, ADamagedCountShowsAsUnknownAndTheFirstOfTwoSectionsCounts) {
    std::vector<SummaryRow> rows;
    EXPECT_EQ(summarizeRecordBytes("[u]\r\n1=abc\r\n2=3\r\n[U ]\r\n1=9\r\n", "f", rows), "");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].counts[0], "?");
    EXPECT_EQ(rows[0].counts[1], "3");
    EXPECT_EQ(rows[0].total, 3);
}

// Finishes after a hint are some of the finishes: a hint count larger than the count (a record
// edited by hand, or a count reset by an older program that knows no hints) is shown as the
// count, a damaged or negative one as none, and none at all for a damaged count.
TEST_F(ClassSummaryTest, AHintCountNeverExceedsTheCount) {
    struct Row { const char* name; std::string entries; std::string count; int hinted; std::string cell; };
    const Row rows[] = {
        {"more hints than finishes", "1=2\r\nH1=5\r\n", "2", 2, "2"},
        {"as many", "1=2\r\nH1=2\r\n", "2", 2, "2"},
        {"fewer", "1=3\r\nH1=1\r\n", "3", 1, "3"},
        {"negative hints", "1=2\r\nH1=-3\r\n", "2", 0, "2"},
        {"damaged hints", "1=2\r\nH1=x\r\n", "2", 0, "2"},
        {"hints without finishes", "H1=4\r\n", "", 0, "-"},
        {"damaged count", "1=abc\r\nH1=4\r\n", "?", 0, "?"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        ClassSummary summary;
        ASSERT_EQ(summarizeRecordBytes("[u]\r\n" + r.entries, "f", summary.rows), "");
        ASSERT_EQ(summary.rows.size(), 1u);
        const SummaryRow& row = summary.rows[0];
        EXPECT_EQ(row.counts[0], r.count);
        EXPECT_EQ(row.hinted[0], r.hinted);
        EXPECT_EQ(row.hintedTotal, r.hinted);
        // the table's row: file, unit, then question 1's cell
        const std::string table = summaryTable(summary);
        std::istringstream cells(table.substr(table.find('\n') + 1));
        std::string file, unit, cell;
        cells >> file >> unit >> cell;
        EXPECT_EQ(cell, r.cell) << table;
        // the finishes after a hint stand in the last column, where ☆'s width cannot shift others
        const std::string row1 = table.substr(table.find('\n') + 1);
        EXPECT_EQ(contains(row1, "問1☆" + std::to_string(r.hinted) + "\n"), r.hinted > 0) << table;
        EXPECT_TRUE(contains(summaryTsv(summary), "\t" + std::to_string(r.hinted) + "\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\n"));
    }
}

}  // namespace
}  // namespace solvari
