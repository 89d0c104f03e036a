// The teacher's sheets as the checker lays them out: what stands on which page (the PDF itself
// is drawn and read back in the window tests). A fake writer keeps the layouts, so the
// checker's side is seen without QtGui.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "flow/answer_sheet.h"
#include "flow/check_command.h"
#include "flow/question_set.h"
#include "tests/support/files.h"

namespace solvari {
namespace {

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class SheetCommand : public testing::ScratchFolder {
protected:
    std::vector<std::pair<std::string, SheetLayout>> written;
    SheetWriter writer = [this](const std::string& path, const SheetLayout& l) {
        written.emplace_back(path, l);
        return FileResult{true, "", ""};
    };
    static std::vector<std::string> texts(const SheetLayout& l) {
        std::vector<std::string> out;
        for (const SheetItem& i : l.items)
            if (i.kind == SheetItem::Kind::Text && !i.text.empty()) out.push_back(i.text);
        return out;
    }
    static bool has(const std::vector<std::string>& t, const std::string& s) { return std::find(t.begin(), t.end(), s) != t.end(); }
};

// Shift-JIS of 一 and 二.
const std::string kIchi = "\x88\xea";
const std::string kNi = "\x93\xf1";

TEST_F(SheetCommand, TheThreeSheetsHoldEveryQuestionTypesetAndNumberedThrough) {
    const std::string set = file("set.leq", "<<" + kIchi + "\r\n2x=6\r\n2x=2x+1\r\n>>\r\n<<" + kNi + "\r\n3(x-1)=x\r\n2x=2x\r\n>>\r\n");
    const std::string key = dir.filePath("key.pdf").toStdString(), sheet = dir.filePath("ws.pdf").toStdString(),
                      list = dir.filePath("list.pdf").toStdString();
    const CheckOutput o = runCheckCommand({"--answer-key", key, "--worksheet", sheet, "--answers", list, set}, writer);
    ASSERT_EQ(o.exitCode, 0) << o.err;
    ASSERT_EQ(written.size(), 3u);
    EXPECT_TRUE(contains(o.out, "答えの一覧: " + list + " (2単元, 4問, 1ページ)")) << o.out;

    for (const auto& [path, l] : written) {
        SCOPED_TRACE(path);
        const std::vector<std::string> t = texts(l);
        EXPECT_EQ(l.questions, 4);
        EXPECT_TRUE(has(t, "set　" + std::string(sheetName(l.kind)))) << "the set's name and the sheet's in the header";
        for (const char* unit : {"単元1　一", "単元2　二"}) EXPECT_TRUE(has(t, unit)) << unit;
        for (const char* number : {"(1)", "(2)", "(3)", "(4)"}) EXPECT_TRUE(has(t, number)) << number;
        // the questions are typeset, never written out as their source text
        for (const std::string& s : t) EXPECT_FALSE(contains(s, "=")) << s;
        std::set<int> typeset;
        for (const SheetItem& i : l.items)
            if (i.kind == SheetItem::Kind::Equation && i.line == QUESTION_LINE) typeset.insert(i.question);
        EXPECT_EQ(typeset, (std::set<int>{1, 2, 3, 4}));
    }

    const SheetLayout& k = written[0].second;
    int answers = 0, steps = 0;
    for (const SheetItem& i : k.items) {
        answers += i.kind == SheetItem::Kind::Equation && i.line == ANSWER_LINE;
        steps += i.kind == SheetItem::Kind::Text && contains(i.text, "すると");
    }
    EXPECT_EQ(answers, 2);  // 2x=6 and 3(x-1)=x end in x = …; the others say so in words
    EXPECT_GE(steps, 4);
    EXPECT_TRUE(has(texts(k), "解は無数にある"));
    EXPECT_TRUE(has(texts(k), "解なし"));

    const SheetLayout& w = written[1].second;
    const std::vector<std::string> wt = texts(w);
    EXPECT_EQ(std::count(wt.begin(), wt.end(), SHEET_INSTRUCTION), 2) << "once for each unit";
    for (const char* field : {"組", "番", "名前", "日付"}) EXPECT_TRUE(has(wt, field)) << field;
    for (const SheetItem& i : w.items) EXPECT_NE(i.line, ANSWER_LINE) << "no answer on the worksheet";

    const SheetLayout& a = written[2].second;
    for (int q = 1; q <= 4; ++q) {
        int marks = 0;
        for (const SheetItem& i : a.items) marks += i.question == q && i.text == "【答】";
        EXPECT_EQ(marks, 1) << "question " << q;
    }
}

// Twenty units of seven questions, on each sheet: drawn page after page, each page numbered,
// a question's items never parted, and a unit named on every page where its questions stand.
TEST_F(SheetCommand, UnitsRunOnAndAreNamedOnEveryPageTheyReach) {
    std::vector<std::string> lines;
    for (int u = 1; u <= 20; ++u) {
        lines.push_back("<<" + std::to_string(u) + "組");
        for (const char* q : {"2(x+1)=3(x-2)", "3x+4=x-6", "1|2(x+1)=3", "2x=6", "0.5x=1", "x-(2x-3)=5", "2/3x=x-1"})
            lines.push_back(q);
        lines.push_back(">>");
    }
    QuestionSet set;
    std::vector<Diagnostic> said;
    ASSERT_TRUE(parseQuestionSet(lines, set, said));
    struct Case {
        SheetKind kind;
        int perPage;
    };
    for (const Case c : {Case{SheetKind::Worksheet, 6}, Case{SheetKind::Worksheet, 5}, Case{SheetKind::AnswerKey, 6},
                         Case{SheetKind::Answers, 6}}) {
        SheetOptions options;
        options.perPage = c.perPage;
        const SheetLayout l = sheetLayout(set, c.kind, options);
        SCOPED_TRACE(std::string(sheetName(c.kind)) + " " + std::to_string(c.perPage));
        EXPECT_EQ(l.questions, 140);
        EXPECT_TRUE(l.faulty.empty());
        EXPECT_TRUE(std::is_sorted(l.items.begin(), l.items.end(), [](const SheetItem& a, const SheetItem& b) { return a.page < b.page; }));
        EXPECT_EQ(l.items.back().text, std::to_string(l.pageCount) + " / " + std::to_string(l.pageCount));
        std::map<int, int> pageOf;  // question → its page
        std::map<int, std::set<std::string>> named;  // page → the units named on it
        for (const SheetItem& i : l.items) {
            EXPECT_TRUE(i.x >= 0 && i.y >= 0 && i.x + i.w <= SHEET_WIDTH && i.y + i.h <= SHEET_HEIGHT) << i.text;
            if (i.kind == SheetItem::Kind::Text && i.text.rfind("単元", 0) == 0) named[i.page].insert(i.text.substr(0, i.text.find("　")));
            if (i.question == 0) continue;
            const auto [at, fresh] = pageOf.emplace(i.question, i.page);
            EXPECT_EQ(at->second, i.page) << "question " << i.question << " parted";
        }
        ASSERT_EQ(pageOf.size(), 140u);
        std::map<int, int> onPage;
        for (const auto& [question, page] : pageOf) {
            const int unit = (question - 1) / 7 + 1;
            EXPECT_TRUE(named[page].count("単元" + std::to_string(unit))) << "question " << question << " on page " << page + 1;
            ++onPage[page];
        }
        if (c.kind == SheetKind::Worksheet) {
            for (const auto& [page, count] : onPage) EXPECT_LE(count, c.perPage) << "page " << page + 1;
        }
    }
}

QuestionSet bundledSet() {
    const QuestionLinesResult file = readQuestionFile(SOLVARI_SOURCE_DIR "/data/Question.leq");
    QuestionSet set;
    std::vector<Diagnostic> said;
    EXPECT_TRUE(file.ok && parseQuestionSet(file.lines, set, said)) << file.error;
    return set;
}

// The bundled set on paper: a worksheet with room to work on a dozen pages, an answer key as
// compact as a textbook's, the answers on a few pages.
TEST_F(SheetCommand, TheBundledSetFitsItsPages) {
    const QuestionSet set = bundledSet();
    EXPECT_LE(sheetLayout(set, SheetKind::Worksheet).pageCount, 12);
    EXPECT_LE(sheetLayout(set, SheetKind::AnswerKey).pageCount, 8);
    EXPECT_LE(sheetLayout(set, SheetKind::Answers).pageCount, 3);

    // units 1 and 3 to 5 only, through the command line
    const std::string bundled = SOLVARI_SOURCE_DIR "/data/Question.leq";
    const CheckOutput o = runCheckCommand({"--worksheet", dir.filePath("w.pdf").toStdString(), "--units", "1, 3-5", bundled}, writer);
    ASSERT_EQ(o.exitCode, 0) << o.err;
    ASSERT_EQ(written.size(), 1u);
    const SheetLayout& w = written[0].second;
    EXPECT_EQ(w.questions, 7 + 6 + 5 + 6);
    const std::vector<std::string> t = texts(w);
    for (const char* unit : {"単元2", "単元6", "単元11"})
        EXPECT_FALSE(std::any_of(t.begin(), t.end(), [&](const std::string& s) { return s.rfind(unit, 0) == 0 && s.find("　") == std::string(unit).size(); })) << unit;
    EXPECT_TRUE(contains(o.out, "(4単元, 24問,")) << o.out;
}

TEST(UnitList, ReadsNumbersAndRangesAndSaysWhatIsWrong) {
    struct Row {
        const char* name;
        const char* text;
        std::vector<int> units;  // empty: refused
        const char* error;
    };
    const Row rows[] = {
        {"one", "2", {2}, ""},
        {"list and range", "1,3-5", {1, 3, 4, 5}, ""},
        {"blanks, order, repeats", " 5 , 1-2 ,2 ", {1, 2, 5}, ""},
        {"whole set", "1-11", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, ""},
        {"empty", "", {}, "空の項目"},
        {"trailing comma", "1,", {}, "空の項目"},
        {"not a number", "1,a", {}, "読めません: 「a」"},
        {"full-width digit", "１", {}, "読めません"},
        {"open range", "3-", {}, "読めません"},
        {"negative", "-1", {}, "読めません"},
        {"backwards", "5-3", {}, "小さい番号から"},
        {"zero", "0", {}, "この問題集の単元は 1〜11"},
        {"past the set", "1,12", {}, "単元「12」はありません"},
        {"huge", "99999999999", {}, "はありません"},
    };
    for (const Row& r : rows) {
        const UnitList l = parseUnitList(r.text, 11);
        EXPECT_EQ(l.ok, !r.units.empty()) << r.name;
        EXPECT_EQ(l.units, r.units) << r.name;
        EXPECT_TRUE(contains(l.error, r.error)) << r.name << ": " << l.error;
    }
}

TEST_F(SheetCommand, NothingIsWrittenForAFaultySetABadRequestOrOverTheSetItself) {
    const std::string bad = file("bad.leq", "2x=6\r\n");
    const std::string wrong = file("wrong.leq", "<<" + kIchi + "\r\n2x=6\r\n3x==6\r\n>>\r\n");
    const std::string good = file("good.leq", "<<" + kIchi + "\r\n2x=6\r\n>>\r\n");
    const std::string k = dir.filePath("k.pdf").toStdString();
    struct Row { const char* name; std::vector<std::string> args; int exit; const char* err; const char* out; };
    const Row rows[] = {
        {"faulty structure", {"--answer-key", k, bad}, 1, "問題集に誤りがあるため PDF を書きません", ""},
        {"a question that does not parse", {"--worksheet", k, "--answers", k + "2", wrong}, 1,
         "問題集に誤りがあるため PDF を書きません", "単元1 問題2: 3x==6"},
        {"over the set", {"--worksheet", good, good}, 2, "PDF の出力先が問題集と同じファイルです", ""},
        {"with --tsv", {"--answer-key", "k.pdf", "--tsv", good}, 2, "一緒に使えません", ""},
        {"no file", {"--answer-key", k, good + "x"}, 2, "", ""},
        {"a unit the set lacks", {"--answers", k, "--units", "1-2", good}, 2, "この問題集の単元は 1〜1", ""},
        {"a list that does not read", {"--answers", k, "--units", "1;2", good}, 2, "単元の指定が読めません", ""},
        {"units without a sheet", {"--units", "1", good}, 2, "--units は", ""},
        {"per page out of range", {"--worksheet", k, "--per-page", "13", good}, 2, "1〜12 の数", ""},
        {"per page not a number", {"--worksheet", k, "--per-page", "six", good}, 2, "1〜12 の数", ""},
        {"per page without the worksheet", {"--answer-key", k, "--per-page", "4", good}, 2, "--per-page は --worksheet と", ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const CheckOutput o = runCheckCommand(r.args, writer);
        EXPECT_EQ(o.exitCode, r.exit);
        EXPECT_TRUE(contains(o.err, r.err)) << o.err;
        EXPECT_TRUE(contains(o.out, r.out)) << o.out;
    }
    EXPECT_TRUE(written.empty());
    // a program without a PDF writer refuses the option instead of pretending
    EXPECT_EQ(runCheckCommand({"--answer-key", "k.pdf", good}).exitCode, 2);

    // the layout itself never prints a question it cannot read, and says which
    QuestionSet set;
    std::vector<Diagnostic> said;
    ASSERT_TRUE(parseQuestionSet({"<<a", "2x=6", "3x==6", ">>"}, set, said));
    const SheetLayout l = sheetLayout(set, SheetKind::Worksheet);
    ASSERT_EQ(l.faulty.size(), 1u);
    EXPECT_TRUE(contains(l.faulty[0], "単元1 問題2: 「3x==6」")) << l.faulty[0];
    EXPECT_EQ(sheetFaults(set), l.faulty);
    for (const SheetItem& i : l.items) EXPECT_NE(i.question, 2);
}

}  // namespace
}  // namespace solvari
