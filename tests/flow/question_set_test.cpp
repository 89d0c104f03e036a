#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "flow/question_set.h"
#include "tests/support/fake_prompter.h"

#include "tests/support/files.h"

namespace solvari {
namespace {

using Lines = std::vector<std::string>;

using testing::readAll;
using testing::writeAll;

// ---------------------------------------------------------------- line ends and decoding

struct DecodeCase {
    const char* name;
    std::string bytes;
    Lines lines;
};

class DecodeQuestionBytes : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeQuestionBytes, SplitsOnEveryLineEnd) {
    std::vector<std::string> lines{"stale"};
    ASSERT_TRUE(decodeQuestionBytes(GetParam().bytes, lines));
    EXPECT_EQ(lines, GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DecodeQuestionBytes,
    ::testing::Values(
        DecodeCase{"crlf", "a\r\nb\r\n", {"a", "b"}},
        DecodeCase{"crlf_no_final_end", "a\r\nb", {"a", "b"}},
        DecodeCase{"lone_cr", "a\rb\r", {"a", "b"}},
        DecodeCase{"lone_lf", "a\nb\n", {"a", "b"}},
        DecodeCase{"mixed", "a\rb\nc\r\nd", {"a", "b", "c", "d"}},
        DecodeCase{"lf_then_cr_is_two_ends", "a\n\rb", {"a", "", "b"}},
        DecodeCase{"empty_line_inside", "a\r\n\r\nb\r\n", {"a", "", "b"}},
        DecodeCase{"ends_with_empty_line", "a\r\n\r\n", {"a", ""}},
        DecodeCase{"only_a_line_end", "\r\n", {""}},
        DecodeCase{"empty_file", "", {}},
        DecodeCase{"shift_jis_title", "<<\x88\xea\x8e\x9f\r\n", {"<<一次"}},
        DecodeCase{"half_width_kana_and_corner", "\xa2x\xa3=1", {"｢x｣=1"}},
        // 0x5C is a trail byte of ソ: it is part of the character, not a backslash
        DecodeCase{"trail_byte_5c", "\x83\x5c\n", {"ソ"}},
        // UTF-8 as Linux editors write it: with or without a byte order mark, JIS forms mapped
        DecodeCase{"utf8", "<<\xe4\xb8\x80\xe6\xac\xa1\nx=1\n", {"<<一次", "x=1"}},
        DecodeCase{"utf8_bom", "\xef\xbb\xbf<<\xe4\xb8\x80\r\n", {"<<一"}},
        DecodeCase{"utf8_bom_ascii_only", "\xef\xbb\xbfx=1", {"x=1"}},
        DecodeCase{"utf8_jis_forms", "<<\u301c\u2016\u2212\u00a2\u00a3\u00ac", {"<<～∥－￠￡￢"}},
        // Half-width kana whose CP932 bytes happen to be two-byte UTF-8 ("ϲŽ", a Syriac letter):
        // characters CP932 cannot hold, so the set is CP932
        DecodeCase{"cp932_kana_that_is_also_utf8", "<<\xcf\xb2\xc5\xbd\r\n2x=6\r\n", {"<<ﾏｲﾅｽ", "2x=6"}},
        DecodeCase{"cp932_kana_wai", "<<\xdc\xb2", {"<<ﾜｲ"}},
        // a UTF-8 character CP932 holds too (α) keeps the UTF-8 reading
        DecodeCase{"utf8_two_byte_letter", "<<\xce\xb1", {"<<α"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadBytesCase {
    const char* name;
    std::string bytes;
    size_t offset;
    int line;
};

class RefusesUnreadableBytes : public ::testing::TestWithParam<BadBytesCase> {};

TEST_P(RefusesUnreadableBytes, NoLinesTheOffsetAndTheLine) {
    std::vector<std::string> lines{"stale"};
    size_t offset = 999;
    EXPECT_FALSE(decodeQuestionBytes(GetParam().bytes, lines, &offset));
    EXPECT_TRUE(lines.empty());
    EXPECT_EQ(offset, GetParam().offset);
    const DecodedQuestionText d = decodeQuestionText(GetParam().bytes);
    EXPECT_EQ(d.errorLine, GetParam().line);
    EXPECT_FALSE(d.problem.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, RefusesUnreadableBytes,
    ::testing::Values(BadBytesCase{"truncated_lead", "2x=6\r\n\x88", 6, 2}, BadBytesCase{"bad_trail", "x=1\x81\x0a", 3, 1},
                      BadBytesCase{"byte_ff", "\xff", 0, 1},
                      // the damage of a UTF-8 file is found where UTF-8 stops, not where CP932 does
                      BadBytesCase{"utf8_with_a_stray_byte", "<<\xe4\xb8\x80\r\n\nx=1\xff\r\n", 11, 3},
                      BadBytesCase{"bom_then_shift_jis", "\xef\xbb\xbf<<\x88\xea", 5, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DecodeQuestionText, SaysWhatIsWrong) {
    EXPECT_EQ(decodeQuestionText("x=1\r\n\x81\x0a").problem, "Shift-JIS としても UTF-8 としても読めないバイト(0x81)があります");
    EXPECT_EQ(decodeQuestionText("\xef\xbb\xbf\xff").problem, "UTF-8 として読めないバイト(0xFF)があります");
    EXPECT_EQ(decodeQuestionText("<<\xe4\xb8\x80").encoding, TextEncoding::Utf8);
    EXPECT_EQ(decodeQuestionText("<<\x88\xea").encoding, TextEncoding::ShiftJis);
}

// ---------------------------------------------------------------- reading a file

TEST(ReadQuestionFile, ReadsLinesOfAShiftJisFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Question.leq");
    writeAll(path, "<<\x88\xea\x8e\x9f\r\n2x=6\r\n>>");
    QuestionLinesResult r = readQuestionFile(path.toStdString());
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.error, "");
    EXPECT_EQ(r.lines, (Lines{"<<一次", "2x=6", ">>"}));
}

TEST(ReadQuestionFile, FailureRows) {
    QTemporaryDir dir;
    const std::string missing = dir.filePath("none.leq").toStdString();
    const std::string folder = dir.filePath("folder.leq").toStdString();
    const std::string huge = dir.filePath("huge.leq").toStdString();
    const std::string garbage = dir.filePath("garbage.leq").toStdString();
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folder)));
    {
        QFile f(QString::fromStdString(huge));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(static_cast<qint64>(MAX_QUESTION_FILE_BYTES) + 1));  // sparse, instant
    }
    writeAll(QString::fromStdString(garbage), std::string("<<a\r\n\x80\xff\xfe", 8));
    const std::string garbageReason = "2行目:Shift-JIS としても UTF-8 としても読めないバイト(0x80)があります";

    struct Row {
        std::string path;
        std::string error;
    };
    for (const Row& row : {Row{missing, missing + ":FileNot Exists"}, Row{folder, folder + ":File Can't Load"},
                           Row{huge, huge + ":File Can't Load"}, Row{garbage, garbage + ":File Can't Load"}}) {
        SCOPED_TRACE(row.path);
        QuestionLinesResult r = readQuestionFile(row.path);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error, row.error);
        EXPECT_FALSE(r.reason.empty());
        EXPECT_TRUE(r.lines.empty());
        if (row.path == garbage) {
            EXPECT_EQ(r.reason, garbageReason);
        }
    }
}

// ---------------------------------------------------------------- the structure

struct ParseCase {
    const char* name;
    Lines lines;
    bool ok;
    std::vector<std::string> messages;
    int unitCount;                // after a success
    std::vector<int> counts;      // questionCount[1..] after a success
};

Lines unit(const std::string& title, int questions) {
    Lines l{"<<" + title};
    for (int q = 1; q <= questions; ++q) l.push_back("x=" + std::to_string(q));
    l.push_back(">>");
    return l;
}

Lines concat(std::initializer_list<Lines> parts) {
    Lines out;
    for (const Lines& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

Lines units(int n) {
    Lines out;
    for (int u = 1; u <= n; ++u) {
        Lines one = unit("u" + std::to_string(u), 1);
        out.insert(out.end(), one.begin(), one.end());
    }
    return out;
}

class ParseQuestionSet : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseQuestionSet, ResultMessagesAndTables) {
    const ParseCase& c = GetParam();
    std::vector<Diagnostic> said;
    QuestionSet set;
    set.unitCount = 99;  // a marker: a failed parse must leave it
    EXPECT_EQ(parseQuestionSet(c.lines, set, said), c.ok);
    EXPECT_EQ(testing::shownAs(said), c.messages);
    if (!c.ok) {
        EXPECT_EQ(set.unitCount, 99);
        return;
    }
    EXPECT_EQ(set.unitCount, c.unitCount);
    for (size_t u = 0; u < c.counts.size(); ++u) EXPECT_EQ(set.questionCount[u + 1], c.counts[u]) << "unit " << u + 1;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParseQuestionSet,
    ::testing::Values(
        ParseCase{"empty_text", {}, false, {}, 0, {}},
        ParseCase{"one_unit", unit("a", 2), true, {}, 1, {2}},
        ParseCase{"two_units", concat({unit("a", 1), unit("b", 3)}), true, {}, 2, {1, 3}},
        ParseCase{"seven_questions", unit("a", 7), true, {}, 1, {7}},
        ParseCase{"eight_questions", unit("a", 8), false, {"問題は7問以下です"}, 0, {}},
        ParseCase{"twenty_units", units(20), true, {}, 20, {1, 1, 1}},
        ParseCase{"twenty_one_units", units(21), false, {"項目が多すぎます"}, 0, {}},
        ParseCase{"header_while_open", {"<<a", "x=1", "<<b", "x=2", ">>"}, false, {}, 0, {}},
        ParseCase{"close_without_questions", {"<<a", ">>"}, false, {}, 0, {}},
        ParseCase{"close_outside_unit", {">>", "<<a", "x=1", ">>"}, false, {}, 0, {}},
        ParseCase{"close_twice", {"<<a", "x=1", ">>", ">>"}, false, {}, 0, {}},
        ParseCase{"empty_line_inside", {"<<a", "x=1", "", ">>"}, false, {}, 0, {}},
        ParseCase{"ends_with_empty_line", {"<<a", "x=1", ">>", ""}, false, {}, 0, {}},
        ParseCase{"question_before_first_unit", {"x=1", "<<a", "x=1", ">>"}, false, {}, 0, {}},
        ParseCase{"question_then_close_before_any_unit", {"x=1", ">>"}, false, {}, 0, {}},
        ParseCase{"last_unit_not_closed", {"<<a", "x=1", ">>", "<<b", "x=2"}, true, {}, 2, {1, 0}},
        ParseCase{"close_with_blank_is_a_question", {"<<a", "x=1", ">> "}, true, {}, 1, {0}},
        ParseCase{"close_with_blank_then_header", {"<<a", "x=1", ">> ", "<<b", "x=1", ">>"}, false, {}, 0, {}},
        ParseCase{"eighth_after_close_of_last_unit", concat({unit("a", 1), Lines(8, "x=9")}), false,
                  {"問題は7問以下です"}, 0, {}},
        ParseCase{"header_after_trailing_questions", concat({unit("a", 1), {"x=9", "<<b", "x=1", ">>"}}), false, {}, 0,
                  {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParseQuestionSet, TitlesAndTextsAreKeptExactly) {
    std::vector<Diagnostic> said;
    QuestionSet set;
    ASSERT_TRUE(parseQuestionSet({"<< 一次方程式（１） ", "2x = 6", ">>", "<<", "x=1", ">>"}, set, said));
    EXPECT_EQ(set.unitTitle[1], " 一次方程式（１） ");
    EXPECT_EQ(set.questionText[1][1], "2x = 6");
    EXPECT_EQ(set.unitTitle[2], "");  // "<<" alone: an empty title
    EXPECT_EQ(set.questionCount[2], 1);
}

TEST(ParseQuestionSet, QuestionsAfterTheLastCloseOverwriteWithoutCounting) {
    std::vector<Diagnostic> said;
    QuestionSet set;
    ASSERT_TRUE(parseQuestionSet({"<<a", "x=1", "x=2", "x=3", ">>", "x=7", "x=8"}, set, said));
    EXPECT_EQ(set.questionCount[1], 3);
    EXPECT_EQ(set.questionText[1][1], "x=7");
    EXPECT_EQ(set.questionText[1][2], "x=8");
    EXPECT_EQ(set.questionText[1][3], "x=3");
    EXPECT_TRUE(said.empty());
}

TEST(ParseQuestionSet, AFailedParseKeepsTheSetInUse) {
    std::vector<Diagnostic> said;
    QuestionSet set;
    ASSERT_TRUE(parseQuestionSet(unit("kept", 2), set, said));
    EXPECT_FALSE(parseQuestionSet(unit("new", 8), set, said));
    EXPECT_EQ(set.unitCount, 1);
    EXPECT_EQ(set.unitTitle[1], "kept");
    EXPECT_EQ(set.questionCount[1], 2);
}

TEST(ParseQuestionSet, ASmallerSetClearsTheTitlesAboveIt) {
    std::vector<Diagnostic> said;
    QuestionSet set;
    ASSERT_TRUE(parseQuestionSet(units(5), set, said));
    ASSERT_TRUE(parseQuestionSet(units(3), set, said));
    EXPECT_EQ(set.unitCount, 3);
    EXPECT_EQ(set.unitTitle[4], "");
    EXPECT_EQ(set.unitTitle[5], "");
    EXPECT_EQ(set.questionCount[4], 0);
    EXPECT_EQ(set.questionText[5][1], "");
}

// ---------------------------------------------------------------- writing

TEST(WriteQuestionFile, ShiftJisWithCrLfAfterEveryLine) {
    QTemporaryDir dir;
    const QString path = dir.filePath("out.leq");
    FileResult r = writeQuestionFile(path.toStdString(), {"<<一次", "2x=6", "｢x｣=1", ">>"});
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(readAll(path), "<<\x88\xea\x8e\x9f\r\n2x=6\r\n\xa2x\xa3=1\r\n>>\r\n");
    // and it reads back to the same lines
    EXPECT_EQ(readQuestionFile(path.toStdString()).lines, (Lines{"<<一次", "2x=6", "｢x｣=1", ">>"}));
}

TEST(WriteQuestionFile, ALineShiftJisCannotHoldIsRefusedAndNothingIsWritten) {
    QTemporaryDir dir;
    const QString path = dir.filePath("out.leq");
    writeAll(path, "old\r\n");
    for (const std::string& bad : {std::string("x=1−2"), std::string("x=1😀"), std::string("x=\xff")}) {
        SCOPED_TRACE(bad);
        FileResult r = writeQuestionFile(path.toStdString(), {"<<a", "2x=6", bad, ">>"});
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(readAll(path), "old\r\n");
    }
    // the refusal names the character and its line
    EXPECT_EQ(writeQuestionFile(path.toStdString(), {"<<a", "2x=6", "x=1😀"}).error, "3行目の「😀」は Shift-JIS で保存できません");
    EXPECT_EQ(writeQuestionFile(path.toStdString(), {"x=\xff"}).error, "1行目に Shift-JIS で保存できない文字があります");
}

TEST(WriteQuestionFile, UntouchedLinesKeepTheBytesTheyWereReadWith) {
    QTemporaryDir dir;
    const QString in = dir.filePath("in.leq");
    // ∵ ￢ 纊 ⅰ in their NEC and IBM codes; CP932 itself would write 81 E6 81 CA FA 5C FA 40
    const std::string title = "<<\x87\x9a\xfa\x54\xed\x40\xee\xef";
    writeAll(in, title + "\n2x=6\n>>\n<<b\n" + title.substr(2) + "x=1\n>>");
    const QuestionLinesResult read = readQuestionFile(in.toStdString());
    ASSERT_TRUE(read.ok) << read.reason;
    const OriginalLineBytes originals = originalLineBytes(read);
    const QString out = dir.filePath("out.leq");

    struct Row {
        const char* name;
        Lines lines;
        std::string bytes;
    };
    Lines moved = read.lines;
    std::swap(moved[0], moved[3]);
    Lines edited = read.lines;
    edited[4] = "∵x=2";
    for (const Row& row : {Row{"unchanged, line ends become CR LF", read.lines,
                               title + "\r\n2x=6\r\n>>\r\n<<b\r\n" + title.substr(2) + "x=1\r\n>>\r\n"},
                           Row{"moved lines keep their bytes", moved,
                               "<<b\r\n2x=6\r\n>>\r\n" + title + "\r\n" + title.substr(2) + "x=1\r\n>>\r\n"},
                           Row{"an edited line is written afresh", edited,
                               title + "\r\n2x=6\r\n>>\r\n<<b\r\n\x81\xe6x=2\r\n>>\r\n"}}) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(writeQuestionFile(out.toStdString(), row.lines, &originals).ok);
        EXPECT_EQ(readAll(out), row.bytes);
    }
    // a file read as UTF-8 has no original Shift-JIS bytes
    writeAll(in, "<<\xe4\xb8\x80\n");
    EXPECT_TRUE(originalLineBytes(readQuestionFile(in.toStdString())).empty());
}

// The drill reads sets up to 1 MB; a larger one would be saved and then refused at the next
// start, so it is not saved, and the old file stays.
TEST(WriteQuestionFile, ASetTooLargeToReadBackIsNotSaved) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Question.leq");
    writeAll(path, "<<a\r\n2x=6\r\n>>\r\n");
    const Lines lines{"<<" + std::string(MAX_QUESTION_FILE_BYTES, 'a'), "2x=6", ">>"};
    const FileResult r = writeQuestionFile(path.toStdString(), lines);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "問題集が 1025 KB になり、1 MB を超えるので保存しません（1 MB を超える問題集は読み込めません）");
    EXPECT_EQ(readAll(path), "<<a\r\n2x=6\r\n>>\r\n");
}

TEST(WriteQuestionFile, ARefusedWriteNamesTheFullPath) {
    QTemporaryDir dir;
    const QString plain = dir.filePath("plain");
    writeAll(plain, "x");
    // A folder below a regular file cannot exist, even for root.
    const std::string path = (plain + "/sub/out.leq").toStdString();
    FileResult r = writeQuestionFile(path, {"<<a", "x=1", ">>"});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, path + " に書き込めません\n書き込みに失敗しました");
    EXPECT_EQ(readAll(plain), "x");
}

TEST(WriteQuestionFile, ReplacesAnOldFileWhole) {
    QTemporaryDir dir;
    const QString path = dir.filePath("out.leq");
    writeAll(path, "a much longer old content that must not survive at the end\r\n");
    ASSERT_TRUE(writeQuestionFile(path.toStdString(), {"<<a"}).ok);
    EXPECT_EQ(readAll(path), "<<a\r\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"out.leq"});  // no temporary left
}

}  // namespace
}  // namespace solvari
