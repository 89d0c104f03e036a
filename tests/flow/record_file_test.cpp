#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <string>
#include <vector>

#include "engine/sjis.h"
#include "flow/file_io.h"
#include "flow/record_file.h"
#include "flow/session.h"

#include "tests/support/record_wait.h"
#include "tests/support/fake_prompter.h"
#include "tests/support/files.h"

namespace solvari {
namespace {

using testing::readAll;
using testing::writeAll;

QDateTime at(int y, int mo, int d, int h, int mi) { return QDateTime(QDate(y, mo, d), QTime(h, mi)); }

// ---------------------------------------------------------------- the in-memory rules

struct SetCase {
    const char* name;
    std::string before;
    const char* section;
    const char* key;
    const char* value;
    std::string after;
};

class ProfileSetValue : public ::testing::TestWithParam<SetCase> {};

TEST_P(ProfileSetValue, WritesExactBytes) {
    const SetCase& c = GetParam();
    ProfileDocument doc = ProfileDocument::fromBytes(c.before);
    ASSERT_EQ(doc.setValue(c.section, c.key, c.value), "");
    EXPECT_EQ(doc.toBytes(), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ProfileSetValue,
    ::testing::Values(
        SetCase{"new_file", "", "A", "1", "1", "[A]\r\n1=1\r\n"},
        SetCase{"replace_in_place", "[A]\r\n1=1\r\nDATE=d\r\n", "A", "1", "2", "[A]\r\n1=2\r\nDATE=d\r\n"},
        SetCase{"section_case", "[Unit]\r\n1=1\r\n", "UNIT", "1", "5", "[Unit]\r\n1=5\r\n"},
        SetCase{"key_case_keeps_file_spelling", "[A]\r\nDate=x\r\n", "a", "DATE", "y", "[A]\r\nDate=y\r\n"},
        SetCase{"blanks_around_names", "[ A ]\r\n 1 = 4 \r\n", "A", "1", "5", "[ A ]\r\n1=5\r\n"},
        SetCase{"new_key_at_end_of_section", "[A]\r\n1=1\r\n[B]\r\n1=5\r\n", "A", "2", "1",
                "[A]\r\n1=1\r\n2=1\r\n[B]\r\n1=5\r\n"},
        SetCase{"new_key_before_blank_lines", "[A]\r\n1=1\r\n\r\n[B]\r\n", "A", "2", "1",
                "[A]\r\n1=1\r\n2=1\r\n\r\n[B]\r\n"},
        SetCase{"new_key_in_empty_section", "[A]\r\n[B]\r\n", "A", "3", "1", "[A]\r\n3=1\r\n[B]\r\n"},
        SetCase{"new_section_at_end", "[A]\r\n1=1\r\n", "B", "1", "1", "[A]\r\n1=1\r\n[B]\r\n1=1\r\n"},
        SetCase{"lf_file_becomes_crlf", "[A]\n1=1\n", "A", "1", "2", "[A]\r\n1=2\r\n"},
        SetCase{"cr_file_becomes_crlf", "[A]\r1=1", "A", "1", "2", "[A]\r\n1=2\r\n"},
        SetCase{"lines_before_first_section_kept", "junk\r\n1=9\r\n[A]\r\n", "A", "1", "1",
                "junk\r\n1=9\r\n[A]\r\n1=1\r\n"},
        SetCase{"first_duplicate_section_wins", "[A]\r\n1=1\r\n[a]\r\n1=7\r\n", "A", "1", "2",
                "[A]\r\n1=2\r\n[a]\r\n1=7\r\n"},
        SetCase{"japanese_section_in_shift_jis", "", "一次", "DATE", "2024年05月03日09:05",
                "[\x88\xea\x8e\x9f]\r\nDATE=2024\x94N05\x8c\x8e" "03\x93\xfa" "09:05\r\n"},
        // ゾーン is 83 5D 81 5B 83 93: its trail bytes are ']' and '['
        SetCase{"trail_bytes_that_look_like_brackets", "[\x83\x5d\x81\x5b\x83\x93]\r\n1=1\r\n", "ゾーン", "1", "2",
                "[\x83\x5d\x81\x5b\x83\x93]\r\n1=2\r\n"},
        // bytes that are not Shift-JIS survive untouched lines
        SetCase{"foreign_bytes_survive", "[X]\r\nk=\xff\xfe\r\n[A]\r\n", "A", "1", "1",
                "[X]\r\nk=\xff\xfe\r\n[A]\r\n1=1\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProfileDocument, NamesFoldOnlyAsciiLetters) {
    ProfileDocument doc = ProfileDocument::fromBytes("[\x82\x60" "bc]\r\nKey=1\r\n");  // Ａbc in Shift-JIS
    EXPECT_EQ(doc.value("Ａ" "BC", "key"), std::optional<std::string>("1"));
    EXPECT_EQ(doc.value("ａbc", "key"), std::nullopt);  // full-width letters are not folded
}

TEST(ProfileDocument, ReadingRules) {
    ProfileDocument doc = ProfileDocument::fromBytes("1=0\r\n[A]\r\n1 = 3 \r\nnoequals\r\n2=\r\n[B]\r\n1=9\r\n");
    EXPECT_EQ(doc.value("A", "1"), std::optional<std::string>("3"));
    EXPECT_EQ(doc.value("A", "2"), std::optional<std::string>(""));
    EXPECT_EQ(doc.value("A", "noequals"), std::nullopt);
    EXPECT_EQ(doc.value("A", "3"), std::nullopt);
    EXPECT_EQ(doc.value("C", "1"), std::nullopt);
    EXPECT_EQ(doc.value("b", "1"), std::optional<std::string>("9"));
    EXPECT_EQ(doc.sectionNames(), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(doc.keyNames("a"), (std::vector<std::string>{"1", "2"}));
}

TEST(ProfileDocument, RefusesWhatCannotBeWrittenAndStaysUnchanged) {
    const std::string before = "[A]\r\n1=1\r\n";
    for (auto [section, key, value] : {std::tuple{"A", "1", "x\r\ny"}, std::tuple{"A", "k=v", "1"},
                                       std::tuple{"A", "", "1"}, std::tuple{"A", " [k", "1"}, std::tuple{"A", "1", "−"},
                                       std::tuple{"単元😀", "1", "1"}}) {
        SCOPED_TRACE(std::string(section) + "/" + key + "/" + value);
        ProfileDocument doc = ProfileDocument::fromBytes(before);
        EXPECT_NE(doc.setValue(section, key, value), "");
        EXPECT_EQ(doc.toBytes(), before);
    }
}

TEST(ProfileDocument, RemoveSectionTakesAllItsLinesAndEveryDuplicate) {
    ProfileDocument doc = ProfileDocument::fromBytes("[A]\r\n1=1\r\n[B]\r\n1=2\r\nDATE=d\r\n[C]\r\n1=3\r\n[b]\r\n2=2\r\n");
    EXPECT_TRUE(doc.removeSection("B"));
    EXPECT_EQ(doc.toBytes(), "[A]\r\n1=1\r\n[C]\r\n1=3\r\n");
    EXPECT_FALSE(doc.removeSection("B"));
}

// ---------------------------------------------------------------- the file

class RecordFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath(RECORD_FILE_NAME);
    RecordFile file{path.toStdString()};
};

TEST_F(RecordFileTest, MissingFileReadsDefaultsAndIsCreatedByTheFirstWrite) {
    EXPECT_EQ(file.readString("A", "1", "0"), "0");
    EXPECT_FALSE(QFile::exists(path));
    ASSERT_TRUE(file.eraseSection("A").ok);
    EXPECT_FALSE(QFile::exists(path));  // erasing in a missing file creates nothing
    ASSERT_TRUE(file.writeString("A", "1", "1").ok);
    EXPECT_EQ(readAll(path), "[A]\r\n1=1\r\n");
    EXPECT_EQ(file.readString("a", "1", "0"), "1");
}

TEST_F(RecordFileTest, EraseSectionRewritesTheFile) {
    writeAll(path, "[A]\r\n1=1\r\n[B]\r\n1=2\r\n");
    ASSERT_TRUE(file.eraseSection("a").ok);
    EXPECT_EQ(readAll(path), "[B]\r\n1=2\r\n");
}

TEST_F(RecordFileTest, AWriteIntoAMissingFolderIsRefusedWithTheFullPath) {
    const QString plain = dir.filePath("plain");
    writeAll(plain, "x");
    RecordFile unwritable((plain + "/sub/" + RECORD_FILE_NAME).toStdString());
    FileResult r = unwritable.writeString("A", "1", "1");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, unwritable.path() + " に書き込めません\n書き込みに失敗しました");
}

TEST_F(RecordFileTest, ARecordThatCannotBeReadIsNotReplacedAndSaysWhy) {
    struct Row {
        const char* name;
        std::function<void(const QString&)> make;
        const char* reason;
    };
    const Row rows[] = {
        {"folder", [](const QString& p) { ASSERT_TRUE(QDir().mkdir(p)); }, "ファイルではありません（フォルダなど）"},
        {"fifo", [](const QString& p) { ASSERT_EQ(mkfifo(p.toLocal8Bit().constData(), 0644), 0); },
         "ファイルではありません（フォルダなど）"},
        {"too_large",
         [](const QString& p) {
             QFile f(p);
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
             ASSERT_TRUE(f.resize(static_cast<qint64>(MAX_RECORD_FILE_BYTES) + 1));
         },
         "ファイルが大きすぎます（16 MB まで）"},
        // root reads it anyway: then the row checks nothing that the others do not
        {"no_read_permission",
         [](const QString& p) {
             writeAll(p, geteuid() == 0 ? "" : "[A]\r\n1=1\r\n");
             if (geteuid() == 0) ASSERT_TRUE(QDir().remove(p) && QDir().mkdir(p));
             else ASSERT_TRUE(QFile::setPermissions(p, QFile::WriteOwner));
         },
         nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir d;
        const QString p = d.filePath(RECORD_FILE_NAME);
        row.make(p);
        RecordFile f(p.toStdString());
        EXPECT_EQ(f.readString("A", "1", "d"), "d");
        EXPECT_FALSE(f.read().ok);
        const RecordResult r = writeRecord(f, "A", 1);
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.unreadable);
        const std::string reason = row.reason ? row.reason
                                   : geteuid() == 0 ? "ファイルではありません（フォルダなど）"
                                                    : "ファイルを読み込めません";
        EXPECT_EQ(r.error, p.toStdString() + " に書き込めません\n" + reason);
        EXPECT_FALSE(f.eraseSection("A").ok);
        if (std::string(row.name) == "too_large") {
            EXPECT_EQ(QFileInfo(p).size(), static_cast<qint64>(MAX_RECORD_FILE_BYTES) + 1);
        }
        EXPECT_EQ(QDir(d.path()).entryList({".solvari-tmp-*"}, QDir::AllEntries | QDir::Hidden | QDir::System),
                  QStringList{});  // no temporary file was made
    }
}

// ---------------------------------------------------------------- the practice record

TEST(FormatRecordDate, TwoDigitFieldsAndTheFullYear) {
    EXPECT_EQ(formatRecordDate(at(2024, 5, 3, 9, 5)), "2024年05月03日09:05");
    EXPECT_EQ(formatRecordDate(at(2025, 12, 31, 23, 59)), "2025年12月31日23:59");
    EXPECT_EQ(formatRecordDate(at(2024, 1, 1, 0, 0)), "2024年01月01日00:00");
}

TEST(ParseRecordCount, DecimalHexAndDamagedValues) {
    struct Row {
        const char* text;
        int value;
    };
    for (const Row& r : {Row{"", 0}, Row{"0", 0}, Row{"7", 7}, Row{" 12 ", 12}, Row{"0x1F", 31}, Row{"0X10", 16},
                         Row{"0x", 0}, Row{"0xG", 0}, Row{"abc", 0}, Row{"3a", 0}, Row{"-2", 0},
                         Row{"99999999999", 0}, Row{"2147483647", 2147483647}}) {
        EXPECT_EQ(parseRecordCount(r.text), r.value) << r.text;
    }
}

TEST_F(RecordFileTest, TheFirstVerdictCreatesTheSection) {
    ASSERT_TRUE(writeRecord(file, "一次", 1, [] { return at(2024, 5, 3, 9, 5); }).ok);
    EXPECT_EQ(readAll(path), "[\x88\xea\x8e\x9f]\r\n1=1\r\nDATE=2024\x94N05\x8c\x8e" "03\x93\xfa" "09:05\r\n");
}

TEST_F(RecordFileTest, CountsGrowAndOnlyTheUnitsDateChanges) {
    ASSERT_TRUE(writeRecord(file, "B", 1, [] { return at(2024, 1, 1, 8, 0); }).ok);
    for (int minute = 1; minute <= 3; ++minute)
        ASSERT_TRUE(writeRecord(file, "A", 2, [=] { return at(2024, 5, 3, 9, minute); }).ok);
    ASSERT_TRUE(writeRecord(file, "a", 1, [] { return at(2024, 5, 4, 10, 0); }).ok);
    EXPECT_EQ(readAll(path),
              "[B]\r\n1=1\r\nDATE=2024\x94N01\x8c\x8e" "01\x93\xfa" "08:00\r\n"
              "[A]\r\n2=3\r\nDATE=2024\x94N05\x8c\x8e" "04\x93\xfa" "10:00\r\n1=1\r\n");
    EXPECT_EQ(readCount(file, "A", 2), 3);
    EXPECT_EQ(readCount(file, "A", 3), 0);
    EXPECT_EQ(readCount(file, "Z", 1), 0);
}

TEST_F(RecordFileTest, AFinishAfterAHintIsAlsoCountedUnderH) {
    const Clock clock = [] { return at(2024, 5, 3, 9, 5); };
    ASSERT_TRUE(writeRecord(file, "A", 1, clock, Finish::AfterHint).ok);
    ASSERT_TRUE(writeRecord(file, "A", 1, clock).ok);
    ASSERT_TRUE(writeRecord(file, "A", 1, clock, Finish::AfterHint).ok);
    EXPECT_EQ(readAll(path), "[A]\r\n1=3\r\nDATE=2024\x94N05\x8c\x8e" "03\x93\xfa" "09:05\r\nH1=2\r\n");
}

// The wrong lines of 自分で計算する go in with the finish, in keys the viewer passes by.
TEST_F(RecordFileTest, WrongLinesAreAddedUnderTheirCodes) {
    const Clock clock = [] { return at(2024, 5, 3, 9, 5); };
    ASSERT_TRUE(writeRecord(file, "A", 2, clock, Finish::Plain, {{"one-side", 2}, {"transpose-sign", 1}}).ok);
    ASSERT_TRUE(writeRecord(file, "A", 2, clock, Finish::AfterHint, {{"one-side", 1}}).ok);
    EXPECT_EQ(readAll(path), "[A]\r\n2=2\r\nDATE=2024\x94N05\x8c\x8e" "03\x93\xfa" "09:05\r\n"
                             "M2.one-side=3\r\nM2.transpose-sign=1\r\nH2=1\r\n");
    const ProfileDocument doc = file.load();
    EXPECT_EQ(readCount(doc, "A", 2), 2);
}

TEST_F(RecordFileTest, HexAndDamagedStoredCounts) {
    writeAll(path, "[A]\r\n1=0x1F\r\n2=broken\r\n3=-4\r\n");
    const Clock clock = [] { return at(2024, 5, 3, 9, 5); };
    ASSERT_TRUE(writeRecord(file, "A", 1, clock).ok);
    ASSERT_TRUE(writeRecord(file, "A", 2, clock).ok);
    ASSERT_TRUE(writeRecord(file, "A", 3, clock).ok);
    EXPECT_EQ(file.readString("A", "1", ""), "32");
    EXPECT_EQ(file.readString("A", "2", ""), "1");
    EXPECT_EQ(file.readString("A", "3", ""), "1");
}

// A count at the largest value an int holds stays there. One more finish would wrap it to
// -2147483648: the viewer then shows the question as damaged, and the finish after that
// starts counting again from 1.
TEST_F(RecordFileTest, ACountAtTheTopOfTheRangeStaysThere) {
    writeAll(path, "[A]\r\n1=2147483646\r\n2=2147483647\r\n3=0x7FFFFFFF\r\n4=2147483647\r\nH4=2147483647\r\n");
    const Clock clock = [] { return at(2024, 5, 3, 9, 5); };
    for (int q = 1; q <= 3; ++q) ASSERT_TRUE(writeRecord(file, "A", q, clock).ok) << q;
    ASSERT_TRUE(writeRecord(file, "A", 4, clock, Finish::AfterHint).ok);
    ASSERT_TRUE(writeRecord(file, "A", 1, clock).ok);  // 2147483646 + 1, then one more
    EXPECT_EQ(readAll(path), "[A]\r\n1=2147483647\r\n2=2147483647\r\n3=2147483647\r\n4=2147483647\r\n"
                             "H4=2147483647\r\nDATE=2024\x94N05\x8c\x8e" "03\x93\xfa" "09:05\r\n");
    const ProfileDocument doc = file.load();
    for (int q = 1; q <= 4; ++q) EXPECT_EQ(readCount(doc, "A", q), 2147483647) << q;
    EXPECT_EQ(readHintCount(doc, "A", 4), 2147483647);
}

TEST_F(RecordFileTest, ReadCountReportsWhatIsNotADecimalNumber) {
    writeAll(path, "[A]\r\n1=2\r\n2=0x10\r\n3=abc\r\n4=\r\n5=-1\r\n");
    EXPECT_EQ(readCount(file, "A", 1), 2);
    EXPECT_EQ(readCount(file, "A", 2), std::nullopt);
    EXPECT_EQ(readCount(file, "A", 3), std::nullopt);
    EXPECT_EQ(readCount(file, "A", 4), std::nullopt);
    EXPECT_EQ(readCount(file, "A", 5), -1);
    EXPECT_EQ(readCount(file, "A", 6), 0);
}

// Titles with blanks at either end or with brackets keep one section whose count grows, as the
// Windows profile functions treat them.
TEST_F(RecordFileTest, TitlesWithBlanksAndBracketsKeepOneSection) {
    const Clock clock = [] { return at(2024, 5, 3, 9, 5); };
    const std::vector<std::string> titles{"空白あり ", " 前に空白", "[発展]一次", "a]b", "Ab"};
    for (int round = 0; round < 3; ++round) {
        for (const std::string& t : titles) ASSERT_TRUE(writeRecord(file, t, 1, clock).ok) << t;
    }
    ASSERT_TRUE(writeRecord(file, "aB", 1, clock).ok);  // the same section as "Ab"
    const ProfileDocument doc = file.load();
    EXPECT_EQ(doc.sectionNames(), (std::vector<std::string>{"空白あり", "前に空白", "[発展]一次", "a]b", "Ab"}));
    const ProfileIndex index(file.read().bytes);
    for (const std::string& t : titles) {
        SCOPED_TRACE(t);
        EXPECT_EQ(readCount(doc, t, 1), t == "Ab" ? 4 : 3);
        EXPECT_EQ(readCount(index, t, 1), t == "Ab" ? 4 : 3);
        EXPECT_EQ(index.value(t, " date "), std::optional<std::string>("2024年05月03日09:05"));
    }
    ASSERT_TRUE(file.eraseSection("[発展]一次 ").ok);
    EXPECT_EQ(file.load().sectionNames(), (std::vector<std::string>{"空白あり", "前に空白", "a]b", "Ab"}));
}

TEST(ProfileDocument, AHeaderRunsToTheLastBracketAndTheIndexAgrees) {
    const std::string bytes = "[a]b]\r\n1=1\r\n[x]\r\n[no close\r\n1=5\r\n[ A]B ] tail\r\n1=2\r\n[A]b]\r\n1=9\r\n";
    const ProfileDocument doc = ProfileDocument::fromBytes(bytes);
    const ProfileIndex index(bytes);
    EXPECT_EQ(doc.sectionNames(), (std::vector<std::string>{"a]b", "x", "A]B", "A]b"}));
    for (auto [section, key] : {std::pair{"a]b", "1"}, std::pair{"x", "1"}, std::pair{"x", "[no close"},
                                std::pair{"A]B", "1"}, std::pair{"a]b ", "1"}, std::pair{"none", "1"}}) {
        EXPECT_EQ(index.value(section, key), doc.value(section, key)) << section << "/" << key;
    }
    EXPECT_EQ(doc.value("x", "1"), std::optional<std::string>("5"));  // "[no close" opens no section
    EXPECT_EQ(doc.value("a]b", "1"), std::optional<std::string>("1"));
}

// An '=' byte right after a lead byte belongs to that (broken) character: the line is no entry,
// for the document and the listing's index alike (found by fuzzing).
TEST(ProfileDocument, AnEqualsByteInsideADoubleByteCharacterMakesNoEntry) {
    const std::string bytes = "[u]\r\n\xe0\xb4\x9a=\xff\r\n\x9a=1\r\nk=2\r\n";
    const ProfileDocument doc = ProfileDocument::fromBytes(bytes);
    const ProfileIndex index(bytes);
    EXPECT_EQ(doc.keyNames("u"), (std::vector<std::string>{"k"}));
    for (const char* key : {"\xe0\xb4?", "?", "k"}) EXPECT_EQ(index.value("u", key), doc.value("u", key)) << key;
}

TEST_F(RecordFileTest, AFinishReadsOnceAndReplacesOnce) {
    writeAll(path, "[A]\r\n1=1\r\nDATE=old\r\n");
    const FileIoCounts before = fileIoCounts();
    ASSERT_TRUE(writeRecord(file, "A", 1, [] { return at(2024, 5, 3, 9, 5); }).ok);
    const FileIoCounts after = fileIoCounts();
    EXPECT_EQ(after.reads - before.reads, 1);
    EXPECT_EQ(after.replaces - before.replaces, 1);
    EXPECT_EQ(file.readString("A", "1", ""), "2");
}

// The file object remembers what it wrote; what another window or program wrote in between
// must still be read, even when the file keeps its size.
TEST_F(RecordFileTest, AFinishKeepsWhatWasWrittenInBetween) {
    const Clock clock = [] { return at(2024, 5, 3, 9, 5); };
    ASSERT_TRUE(writeRecord(file, "A", 1, clock).ok);
    std::string bytes = readAll(path);
    bytes.replace(bytes.find("1=1"), 3, "1=7");
    writeAll(path, bytes);
    ASSERT_TRUE(writeRecord(file, "A", 1, clock).ok);
    EXPECT_EQ(file.readString("A", "1", ""), "8");
    ASSERT_TRUE(RecordFile(file.path()).writeString("B", "1", "5").ok);
    ASSERT_TRUE(RecordFile(file.path()).eraseSection("A").ok);
    ASSERT_TRUE(writeRecord(file, "A", 2, clock).ok);
    EXPECT_EQ(readAll(path), "[B]\r\n1=5\r\n[A]\r\n2=1\r\nDATE=2024\x94N05\x8c\x8e" "03\x93\xfa" "09:05\r\n");
}

TEST_F(RecordFileTest, ManyFinishesThroughOneFileWriteWhatSeparateReadsWrite) {
    QTemporaryDir other;
    const std::string otherPath = other.filePath(RECORD_FILE_NAME).toStdString();
    const std::string start = "[\x92\x50\x8c\xb3]\r\n 1 = 0x10 \r\nk=\xff\r\n[B]\n1=1\r";
    writeAll(path, start);
    writeAll(QString::fromStdString(otherPath), start);
    for (int i = 0; i < 150; ++i) {
        const std::string title = i % 3 == 0 ? "単元" : i % 3 == 1 ? "b" : "C" + std::to_string(i % 7);
        const Clock clock = [i] { return at(2024, 5, 3, 9, i % 60); };
        const Finish finish = i % 4 == 0 ? Finish::AfterHint : Finish::Plain;
        ASSERT_TRUE(writeRecord(file, title, 1 + i % 5, clock, finish).ok);
        RecordFile fresh(otherPath);
        ASSERT_TRUE(writeRecord(fresh, title, 1 + i % 5, clock, finish).ok);
    }
    EXPECT_EQ(readAll(path), readAll(QString::fromStdString(otherPath)));
}

TEST(ProfileDocument, AValueWrittenBackUnchangedKeepsItsBytes) {
    const std::string bytes = "[A]\r\n 1 = 4 \r\nk=\xff\xfe\r\n";
    ProfileDocument doc = ProfileDocument::fromBytes(bytes);
    for (const std::string& key : doc.keyNames("A")) ASSERT_EQ(doc.setValue("A", key, *doc.value("A", key)), "");
    EXPECT_EQ(doc.toBytes(), bytes);
}

// ---------------------------------------------------------------- the lock beside the record

std::string thisHost() {
    char name[256] = {};
    gethostname(name, sizeof name - 1);
    return name;
}

// A lock left beside the record: taken over when its holder is gone (a dead process of this
// machine, or a lock older than half a minute from another machine); otherwise the finish and
// the deletion wait, then give up with a message and leave the record and the lock as they were.
TEST(RecordLock, StaleLocksAreTakenOverLiveOnesAreWaitedFor) {
    const pid_t dead = fork();
    if (dead == 0) _exit(0);
    ASSERT_GT(dead, 0);
    waitpid(dead, nullptr, 0);
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    const auto lock = [](long pid, const std::string& host, qint64 time) {
        return "pid=" + std::to_string(pid) + "\nhost=" + host + "\ntime=" + std::to_string(time) + "\ntoken=1\n";
    };
    struct Row {
        const char* name;
        std::string lock;
        int fileAge;  // seconds, by the file's time
        bool takenOver;
    };
    const Row rows[] = {
        {"dead_holder_here", lock(dead, thisHost(), now), 0, true},
        {"old_lock_elsewhere", lock(1, "another-pc", now - 60), 60, true},
        {"live_holder_here", lock(getpid(), thisHost(), now), 0, false},
        {"fresh_lock_elsewhere", lock(1, "another-pc", now), 0, false},
        // a machine whose clock runs a minute behind: the file's own time says it is fresh
        {"clock_behind_elsewhere", lock(1, "another-pc", now - 60), 0, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        const QString path = dir.filePath(RECORD_FILE_NAME);
        const QString lockFile = dir.filePath(".solvari-lock-Miradosh.rec.lock");
        writeAll(path, "[A]\r\n1=1\r\n[B]\r\n1=1\r\n");
        writeAll(lockFile, row.lock);
        if (row.fileAge > 0) {
            QFile f(lockFile);
            ASSERT_TRUE(f.open(QIODevice::ReadWrite));
            ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTime().addSecs(-row.fileAge), QFileDevice::FileModificationTime));
        }
        RecordFile file(path.toStdString(), LockTiming{200, 30});
        const RecordResult finished = writeRecord(file, "A", 1);
        const RecordResult erased = file.eraseSection("B");
        EXPECT_EQ(finished.ok, row.takenOver);
        EXPECT_EQ(erased.ok, row.takenOver);
        if (row.takenOver) {
            EXPECT_EQ(file.readString("A", "1", ""), "2");
            EXPECT_FALSE(QFile::exists(lockFile));
            EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{RECORD_FILE_NAME});
        } else {
            EXPECT_EQ(finished.error, path.toStdString() + " に書き込めません\nほかのプログラムが書き込み中のまま終わりません（1 秒待ちました）");
            EXPECT_EQ(readAll(path), "[A]\r\n1=1\r\n[B]\r\n1=1\r\n");
            EXPECT_EQ(readAll(lockFile), row.lock);
        }
    }
}

// ---------------------------------------------------------------- where the file lives

TEST(DataDirectory, TheWorkingFolderWhenItCanBeWritten) {
    QTemporaryDir dir;
    EXPECT_EQ(dataDirectory(dir.path().toStdString()), QDir(dir.path()).absolutePath().toStdString());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{});  // the probe is gone
    EXPECT_EQ(recordFilePath("/a/b"), "/a/b/Miradosh.rec");
}

TEST(DataDirectory, TheUsersDataFolderOtherwise) {
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir dir;
    const QString plain = dir.filePath("plain");
    writeAll(plain, "x");
    const std::string chosen = dataDirectory((plain + "/sub").toStdString());
    const QString appData = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QStandardPaths::setTestModeEnabled(false);
    ASSERT_FALSE(appData.isEmpty());
    EXPECT_EQ(QString::fromStdString(chosen).left(appData.size() + 13), QDir::cleanPath(appData) + "/classes/sub-");
    EXPECT_TRUE(QDir(QString::fromStdString(chosen)).exists());
}

// A read-only practice folder: the record in the user's data folder goes on from the folder's
// record instead of starting empty, and once copied it is not copied again.
TEST(DataDirectory, TheFallbackRecordStartsAsACopyOfTheFoldersRecord) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    QStandardPaths::setTestModeEnabled(true);
    const QString appData = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir(appData).removeRecursively();
    QTemporaryDir dir;
    writeAll(dir.filePath(RECORD_FILE_NAME), "[A]\r\n1=3\r\n");
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    const std::string chosen = dataDirectory(dir.path().toStdString());
    RecordFile moved(recordFilePath(chosen));
    ASSERT_TRUE(writeRecord(moved, "A", 1).ok);
    const std::string again = dataDirectory(dir.path().toStdString());
    const std::string count = RecordFile(recordFilePath(again)).readString("A", "1", "");
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QDir(appData).removeRecursively();
    QStandardPaths::setTestModeEnabled(false);
    EXPECT_EQ(QString::fromStdString(chosen).left(appData.size() + 9), QDir::cleanPath(appData) + "/classes/");
    EXPECT_EQ(again, chosen);
    EXPECT_EQ(count, "4");  // the folder's 3, one more, and no second copy over it
    EXPECT_EQ(readAll(dir.filePath(RECORD_FILE_NAME)), "[A]\r\n1=3\r\n");
}

// ---------------------------------------------------------------- a class folder

// A record the teacher made read-only is not replaced behind the permission (root included).
TEST(ClassFolder, AWriteProtectedRecordIsNotReplaced) {
    QTemporaryDir dir;
    const QString path = dir.filePath(RECORD_FILE_NAME);
    writeAll(path, "[A]\r\n1=1\r\n");
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    Session session;
    session.homeDirectory = dir.path().toStdString() + "/";
    session.dataDirectory = dir.path().toStdString();
    const FileResult r = testing::finishAndWait(session, "A", 1, Finish::Plain, std::chrono::milliseconds(300));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, path.toStdString() + " は書き込み禁止になっています。保存できません。");
    EXPECT_EQ(readAll(path), "[A]\r\n1=1\r\n");
}

// Two class folders the drill cannot write (as any user: a folder under a plain file) each get
// a record of their own in the user's data folder, and the student is told once per run where
// the record goes.
TEST(ClassFolder, EachUnwritableClassFolderKeepsItsOwnRecordAndSaysSoOnce) {
    QStandardPaths::setTestModeEnabled(true);
    const QString appData = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir(appData + "/classes").removeRecursively();
    QTemporaryDir dir;
    std::vector<std::string> classes, records;
    std::vector<std::vector<std::string>> said;
    for (const char* name : {"1組", "2組"}) {
        const QString plain = dir.filePath(name);
        writeAll(plain, "x");
        classes.push_back((plain + "/class").toStdString());
        testing::FakePrompter prompter;
        Session session;
        session.prompter = &prompter;
        session.homeDirectory = classes.back() + "/";
        session.dataDirectory = dataDirectory(classes.back());
        for (int i = 0; i < 2; ++i) ASSERT_TRUE(testing::finishAndWait(session, "A", 1 + (records.size() > 0)).ok);
        said.push_back(prompter.said);
        records.push_back(recordFilePath(session.dataDirectory));
    }
    const std::string first = readAll(QString::fromStdString(records[0]));
    const std::string second = readAll(QString::fromStdString(records[1]));
    QDir(appData + "/classes").removeRecursively();
    QStandardPaths::setTestModeEnabled(false);
    ASSERT_NE(records[0], records[1]);
    EXPECT_NE(first.find("1=2"), std::string::npos);
    EXPECT_EQ(first.find("2="), std::string::npos);
    EXPECT_NE(second.find("2=2"), std::string::npos);
    EXPECT_EQ(second.find("1="), std::string::npos);
    for (std::size_t c = 0; c < 2; ++c) {
        const std::string folder = records[c].substr(0, records[c].rfind('/'));
        EXPECT_EQ(said[c], std::vector<std::string>{classes[c] + " に書き込めません（フォルダがありません）。記録は " + folder +
                                                    " に書きます。"});
    }
}

// Every student's finishes once went into one Miradosh.rec in a shared class folder. Each
// student now has "<名前>.rec", the name asked at the first finish of a run; the shared record
// stays as it was.
TEST(ClassFolder, EachStudentHasARecordOfTheirOwn) {
    QTemporaryDir dir;
    writeAll(dir.filePath("Question.leq"), "<<A\r\n2x=6\r\n>>\r\n");
    writeAll(dir.filePath(RECORD_FILE_NAME), "[A]\r\n1=5\r\n");
    const std::string nameFile = dir.filePath("remembered").toStdString();
    auto finishAs = [&](std::vector<std::optional<std::string>> answers, int finishes) {
        testing::FakePrompter prompter;
        prompter.texts.assign(answers.begin(), answers.end());
        Session session;
        session.prompter = &prompter;
        session.homeDirectory = dir.path().toStdString() + "/";
        session.chooseRecord(dir.path().toStdString());
        session.studentNameFile = nameFile;
        session.studentName = rememberedStudentName(nameFile, "school");
        for (int i = 0; i < finishes; ++i) EXPECT_TRUE(testing::finishAndWait(session, "A", 1).ok);
        EXPECT_TRUE(session.classFolder);
        return prompter.said;
    };
    // asked once per run, offering the login name the first time
    EXPECT_EQ(finishAs({"  さくら　"}, 2), std::vector<std::string>{std::string("練習の記録|") + STUDENT_NAME_QUESTION + "|school"});
    // the next run offers the remembered name; a name that cannot name a file is refused
    EXPECT_EQ(finishAs({"../x", "Miradosh", "たろう"}, 1),
              (std::vector<std::string>{std::string("練習の記録|") + STUDENT_NAME_QUESTION + "|さくら", STUDENT_NAME_REFUSED,
                                        std::string("練習の記録|") + STUDENT_NAME_QUESTION + "|さくら", STUDENT_NAME_REFUSED,
                                        std::string("練習の記録|") + STUDENT_NAME_QUESTION + "|さくら"}));
    finishAs({std::nullopt}, 1);  // cancelled: the name offered (たろう, remembered) is used
    EXPECT_EQ(readAll(dir.filePath("さくら.rec")).substr(0, 10), "[A]\r\n1=2\r\n");
    EXPECT_EQ(readAll(dir.filePath("たろう.rec")).substr(0, 10), "[A]\r\n1=2\r\n");
    EXPECT_EQ(readAll(dir.filePath(RECORD_FILE_NAME)), "[A]\r\n1=5\r\n");
    // elsewhere (no set in the folder) the single Miradosh.rec is kept
    QTemporaryDir plain;
    Session session;
    session.chooseRecord(plain.path().toStdString());
    EXPECT_FALSE(session.classFolder);
    EXPECT_EQ(session.recordPath(), recordFilePath(plain.path().toStdString()));
}

// The verdict never waits for the record: a finish is handed to the queue while another drill
// holds the record's lock, and is written once the lock is free.
TEST(RecordQueue, AFinishDoesNotWaitForTheRecordsLock) {
    QTemporaryDir dir;
    Session session;
    session.homeDirectory = dir.path().toStdString() + "/";
    session.dataDirectory = dir.path().toStdString();
    const std::string record = recordFilePath(session.dataDirectory);
    {
        const FileLock held(record);
        ASSERT_TRUE(held.held());
        session.recordFinish("A", 1, Finish::AfterHint, {});
        EXPECT_FALSE(QFile::exists(QString::fromStdString(record)));
    }
    EXPECT_TRUE(session.settleRecords(std::chrono::seconds(20)).empty());
    EXPECT_NE(readAll(QString::fromStdString(record)).find("[A]\r\n1=1\r\nDATE="), std::string::npos);
    EXPECT_NE(readAll(QString::fromStdString(record)).find("H1=1\r\n"), std::string::npos);
}

// A finish that cannot be written is kept, not dropped: once the record can be written again,
// it goes in at the next finish, before that one, with the time it was made.
TEST(RecordQueue, AFailedFinishIsKeptAndWrittenAtTheNextChance) {
    QTemporaryDir dir;
    Session session;
    session.homeDirectory = dir.path().toStdString() + "/";
    session.dataDirectory = dir.path().toStdString();
    int minute = 0;
    session.clock = [&] { return QDateTime(QDate(2026, 12, 7), QTime(9, minute++)); };
    const QString record = QString::fromStdString(recordFilePath(session.dataDirectory));
    ASSERT_TRUE(QDir().mkdir(record));  // in the way, as a folder
    std::vector<FileResult> told;
    session.recordFinish("A", 1, Finish::Plain, [&](const FileResult& r) { told.push_back(r); });
    EXPECT_EQ(session.settleRecords(std::chrono::milliseconds(300)).size(), 1u);
    ASSERT_FALSE(told.empty());
    EXPECT_FALSE(told.front().ok);
    ASSERT_TRUE(QDir().rmdir(record));
    session.recordFinish("A", 2, Finish::Plain, {});
    EXPECT_TRUE(session.settleRecords(std::chrono::seconds(20)).empty());
    EXPECT_TRUE(told.back().ok) << "the student hears that the kept finish got through";
    EXPECT_EQ(readAll(record), toSjis("[A]\r\n1=1\r\nDATE=2026年12月07日09:01\r\n2=1\r\n"));
}

}  // namespace
}  // namespace solvari
