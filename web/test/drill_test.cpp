#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "web/bundled_set.h"
#include "engine/sjis.h"
#include "web/drill.h"

// The browser's drill: a question stays open over the page until the page sends its answer.

namespace solvari::web {
namespace {

// Every character is 8 pixels wide: positions are the same on every machine.
int fixedAdvance(const FontSpec&, const std::string& text) {
    int chars = 0;
    for (unsigned char c : text) chars += (c & 0xC0) != 0x80;
    return 8 * chars;
}

std::string texts(const RecordingBox& box) {
    std::string all;
    for (const DrawOp& op : box.ops())
        if (op.kind == DrawOp::Text) all += op.text;
    return all;
}

// A set of one unit in the file's own bytes (UTF-8 is read as such).
std::string oneUnit(const std::vector<std::string>& questions, const std::string& title = "テスト") {
    std::string bytes = "<<" + title + "\r\n";
    for (const std::string& q : questions) bytes += q + "\r\n";
    return bytes + ">>\r\n";
}

// The key that types c: a digit, '.', '-', else the letter.
Key keyOf(char c) {
    if (c >= '0' && c <= '9') return digitKey(c - '0');
    if (c == '.') return Key::Point;
    if (c == '-') return Key::Minus;
    return Key::Letter;
}

struct DrillTest : ::testing::Test {
    Drill drill{fixedAdvance, 560};
    const PageState& page() const { return drill.page(); }
    void step(int line, Operation op, const std::string& operand = "") {
        drill.selectLine(line);
        drill.chooseOperation(op);
        for (char c : operand) drill.keypad(keyOf(c));
        drill.execute();
    }
};

TEST_F(DrillTest, OpensTheBundledSetOnUnitOneQuestionOne) {
    ASSERT_TRUE(drill.start(bundledQuestionSet()));
    EXPECT_EQ(page().message, "式を指定してください");
    EXPECT_EQ(page().caption, "一次方程式（１）基本");
    EXPECT_TRUE(page().lineButtonEnabled[1]);
    EXPECT_FALSE(page().lineButtonEnabled[2]);
    EXPECT_EQ(texts(page().boxes[1]).find("（1） 次の方程式を解きなさい") != std::string::npos, true) << texts(page().boxes[1]);
    EXPECT_NE(texts(page().boxes[1]).find("①"), std::string::npos);
    EXPECT_TRUE(drill.takeNotices().empty());
}

TEST_F(DrillTest, AQuestionSetThatCannotBePractisedIsFatal) {
    EXPECT_FALSE(drill.start("not a set"));
    const std::vector<std::string> said = drill.takeNotices();
    ASSERT_FALSE(said.empty());
    EXPECT_NE(said.back().find(":致命的なエラーです"), std::string::npos);
}

TEST_F(DrillTest, SolvingCountsOneFinishInTheRecord) {
    ASSERT_TRUE(drill.start(bundledQuestionSet()));
    step(1, Operation::Divide, "2");
    EXPECT_EQ(page().message, "解が出ました");
    EXPECT_TRUE(page().solution.visible);
    EXPECT_EQ(page().solution.box, 2);
    EXPECT_TRUE(page().blinking);
    EXPECT_NE(texts(page().boxes[ANSWER_LINE]).find("【答】"), std::string::npos);
    EXPECT_EQ(page().answer, "【答】x=3");
    EXPECT_EQ(page().check.rfind("検算", 0), 0u) << page().check;
    const std::vector<std::string> rows = drill.recordRows();
    ASSERT_GE(rows.size(), 3u);
    EXPECT_EQ(rows[0], "一次方程式（１）基本");
    EXPECT_EQ(rows[2], "  1★");
    EXPECT_EQ(rows[3], "  2");
}

TEST_F(DrillTest, ARefusedPickSaysWhyAndChangesNothing) {
    ASSERT_TRUE(drill.start(bundledQuestionSet()));
    drill.selectLine(1);
    drill.selectLine(1);
    EXPECT_EQ(drill.takeNotices(), std::vector<std::string>{"操作が誤りです。例①＋②［実行］"});
    EXPECT_EQ(page().message, "①式");
}

TEST_F(DrillTest, TheSpecialChoiceIsAskedOverThePageWithTheNewLine) {
    ASSERT_TRUE(drill.start(oneUnit({"x+1=x+1", "x=x+1"})));
    step(1, Operation::Transpose);
    step(2, Operation::Collect);
    // asked over the page with line 3 on it
    ASSERT_EQ(drill.pendingQuestion().kind, PendingQuestion::Special);
    EXPECT_NE(texts(page().boxes[3]), "");
    // while the box is up, nothing else is taken
    drill.correct();
    EXPECT_TRUE(drill.waiting());
    drill.answerSpecial(Outcome::NoSolution);
    EXPECT_EQ(drill.takeNotices(), std::vector<std::string>{"解なし？？もう一度考えてみましょう"});
    ASSERT_EQ(drill.pendingQuestion().kind, PendingQuestion::Special);
    drill.answerSpecial(Outcome::AllValues);
    EXPECT_FALSE(drill.waiting());
    EXPECT_EQ(drill.engine().targetLine, 3);
    EXPECT_NE(texts(page().boxes[ANSWER_LINE]).find("【答】解は無数にある"), std::string::npos);
    EXPECT_EQ(page().answer, "【答】解は無数にある");
    EXPECT_TRUE(drill.practice().questionFinished);
    EXPECT_EQ(drill.recordRows().at(2), "  1★");
}

TEST_F(DrillTest, ClosingTheSpecialChoiceLeavesTheVerdictToExecute) {
    ASSERT_TRUE(drill.start(oneUnit({"x=x+1"})));
    step(1, Operation::Transpose);
    step(2, Operation::Collect);
    ASSERT_EQ(drill.pendingQuestion().kind, PendingQuestion::Special);
    drill.answerSpecial(Outcome::Open);
    EXPECT_FALSE(drill.waiting());
    EXPECT_FALSE(drill.practice().questionFinished);
    EXPECT_EQ(drill.engine().targetLine, 3);
    drill.execute();  // 実行 with nothing built asks again
    ASSERT_EQ(drill.pendingQuestion().kind, PendingQuestion::Special);
    drill.answerSpecial(Outcome::NoSolution);
    EXPECT_NE(texts(page().boxes[ANSWER_LINE]).find("【答】解なし"), std::string::npos);
}

TEST_F(DrillTest, MovingOnUnsolvedAsksFirst) {
    ASSERT_TRUE(drill.start(bundledQuestionSet()));
    drill.nextQuestion();
    ASSERT_EQ(drill.pendingQuestion().kind, PendingQuestion::YesNo);
    EXPECT_EQ(drill.pendingQuestion().text, "まだ解が出ていませんが次の問題に進みますか");
    EXPECT_EQ(drill.pendingQuestion().caption, "確認");
    drill.answer(Answer::No);
    EXPECT_EQ(drill.currentQuestion(1), 1);
    drill.nextQuestion();
    drill.answer(Answer::Yes);
    EXPECT_EQ(drill.currentQuestion(1), 2);
    EXPECT_NE(texts(page().boxes[1]).find("（2）"), std::string::npos);
    EXPECT_TRUE(drill.recordRows().at(1) == "  1");  // moving on counts nothing
}

TEST_F(DrillTest, TheEndOfAUnitOffersTheUnitWindow) {
    ASSERT_TRUE(drill.start(oneUnit({"x=1+1"}, "一") + oneUnit({"2x=4", "3x=9"}, "二")));
    step(1, Operation::Collect);
    ASSERT_TRUE(drill.practice().questionFinished);
    drill.nextQuestion();
    ASSERT_EQ(drill.pendingQuestion().text, "終了しました。単元を変えますか");
    drill.answer(Answer::Yes);
    ASSERT_EQ(drill.pendingQuestion().kind, PendingQuestion::Unit);
    drill.answerUnit(true, 2, 9);  // no such question: the window cannot send it
    ASSERT_EQ(drill.pendingQuestion().kind, PendingQuestion::Unit);
    drill.answerUnit(true, 2, 2);
    EXPECT_FALSE(drill.waiting());
    EXPECT_EQ(drill.currentUnit(), 2);
    EXPECT_EQ(page().caption, "二");
    EXPECT_NE(texts(page().boxes[1]).find("（2）"), std::string::npos);
    EXPECT_FALSE(page().blinking);
}

TEST_F(DrillTest, CancellingTheUnitWindowKeepsThePage) {
    ASSERT_TRUE(drill.start(bundledQuestionSet()));
    drill.selectLine(1);
    drill.chooseUnit();
    ASSERT_EQ(drill.pendingQuestion().kind, PendingQuestion::Unit);
    drill.answerUnit(false, 0, 0);
    EXPECT_FALSE(drill.waiting());
    EXPECT_EQ(page().message, "①式");
    EXPECT_EQ(page().letter, 'x');
}

TEST_F(DrillTest, NoticesBeforeAQuestionAreShownOnceAndInOrder) {
    // A transpose that moves nothing: the step is written, then 訂正 is offered.
    ASSERT_TRUE(drill.start(oneUnit({"2x=6"})));
    step(1, Operation::Transpose);
    ASSERT_EQ(drill.pendingQuestion().kind, PendingQuestion::YesNo);
    EXPECT_EQ(drill.pendingQuestion().text, "移項する項はありません。訂正しますか");
    drill.takeNotices();
    drill.answer(Answer::Yes);
    EXPECT_FALSE(drill.waiting());
    EXPECT_TRUE(drill.takeNotices().empty()) << "nothing is said twice";
    EXPECT_EQ(drill.engine().targetLine, 1);
    EXPECT_TRUE(texts(page().boxes[2]).empty());
    EXPECT_EQ(page().message, "");
}

TEST_F(DrillTest, KeepingAStepThatMovedNothingKeepsItsLine) {
    ASSERT_TRUE(drill.start(oneUnit({"2x=6"})));
    step(1, Operation::Transpose);
    drill.answer(Answer::No);
    EXPECT_FALSE(drill.waiting());
    EXPECT_EQ(drill.engine().targetLine, 2);
    EXPECT_TRUE(page().lineButtonEnabled[2]);
}

TEST_F(DrillTest, HoverFramesFollowTheMouseUntilALineIsPicked) {
    ASSERT_TRUE(drill.start(bundledQuestionSet()));
    auto framed = [&](int n) {
        for (const DrawOp& op : page().boxes[static_cast<size_t>(n)].ops())
            if (op.kind == DrawOp::Rectangle) return op.pen == RED;
        return false;
    };
    drill.hover(1);
    EXPECT_TRUE(framed(1));
    drill.hover(0);
    EXPECT_FALSE(framed(1));
    drill.hover(2);  // above the newest line: nothing
    EXPECT_FALSE(framed(2));
    drill.hover(1);
    drill.selectLine(1);
    drill.hover(0);  // a picked line keeps its frame as its mark
    EXPECT_TRUE(framed(1));
    const size_t ops = page().boxes[1].ops().size();
    for (int i = 0; i < 20; ++i) drill.hover(i % 2);
    EXPECT_LE(page().boxes[1].ops().size(), ops + 1) << "frames drawn again replace the old ones";
}

// ---------------------------------------------------------------- the record's bytes

std::string sjis(const std::string& utf8) { return toSjis(utf8).value(); }

const RecordTime kMay3{2026, 5, 3, 9, 5};

QuestionSet unitOf(const std::string& title, int questions) {
    QuestionSet set;
    set.unitCount = 1;
    set.unitTitle[1] = title;
    set.questionCount[1] = questions;
    return set;
}

TEST(RecordBook, HoldsTheBytesOfTheDesktopsRecordFile) {
    RecordBook book;
    ASSERT_EQ(book.addFinish("一次方程式", 1, false, kMay3), "");
    ASSERT_EQ(book.addFinish("一次方程式", 1, true, kMay3), "");
    ASSERT_EQ(book.addFinish("一次方程式", 3, false, RecordTime{2026, 5, 4, 14, 30}), "");
    EXPECT_EQ(book.bytes(), sjis("[一次方程式]\r\n1=2\r\nDATE=2026年05月04日14:30\r\nH1=1\r\n3=1\r\n"));
    const std::vector<std::string> rows = book.listing(unitOf("一次方程式", 3));
    EXPECT_EQ(rows, (std::vector<std::string>{"一次方程式", "2026年05月04日14:30", "  1★☆", "  2", "  3★"}));
}

TEST(RecordBook, ListsADesktopRecordByTheViewersRules) {
    RecordBook book;
    // written by hand on the desktop: blanks, a hex count, a damaged count, a hint count above it
    book.adopt(sjis("[ 一次方程式 ]\r\n1 = 0x3\r\n2=abc\r\nH3=9\r\n3=2\r\n[他の単元]\r\n1=5\r\n"));
    EXPECT_EQ(book.listing(unitOf("一次方程式", 3)), (std::vector<std::string>{"一次方程式", "  1", "  2", "  3☆☆"}));
    ASSERT_EQ(book.addFinish("一次方程式", 1, false, kMay3), "");
    EXPECT_EQ(book.listing(unitOf("一次方程式", 1)).at(2), "  1★★★★") << "the hex count counts on";
    EXPECT_NE(book.bytes().find(sjis("[他の単元]\r\n1=5\r\n")), std::string::npos) << "other units are kept as they were";
}

TEST(RecordBook, PendingFinishesGoOntoWhatStorageHoldsNow) {
    RecordBook book;
    book.adopt(sjis("[一]\r\n1=1\r\n"));
    ASSERT_EQ(book.addFinish("一", 1, false, kMay3), "");
    ASSERT_EQ(book.addFinish("二", 2, true, kMay3), "");
    EXPECT_EQ(book.pendingCount(), 2u);
    // another tab wrote a finish of its own meanwhile: both tabs' finishes are kept
    const std::string other = sjis("[一]\r\n1=4\r\n");
    const std::string merged = book.withPending(other);
    EXPECT_EQ(merged, sjis("[一]\r\n1=5\r\nDATE=2026年05月03日09:05\r\n[二]\r\n2=1\r\nDATE=2026年05月03日09:05\r\nH2=1\r\n"));
    // a finish made while the write was under way stays pending
    ASSERT_EQ(book.addFinish("一", 1, false, kMay3), "");
    book.written(merged, 2);
    EXPECT_EQ(book.pendingCount(), 1u);
    EXPECT_EQ(book.listing(unitOf("一", 1)).at(2), "  1★★★★★★");
    // a write that failed leaves everything pending for the next one
    const unsigned before = book.version();
    book.adopt(merged);
    EXPECT_EQ(book.version(), before) << "nothing new to show";
    book.replace(sjis("[一]\r\n1=1\r\n"));
    EXPECT_EQ(book.pendingCount(), 0u);
    EXPECT_EQ(book.bytes(), sjis("[一]\r\n1=1\r\n"));
}

TEST(RecordBook, RefusesBytesThatAreNoRecord) {
    EXPECT_EQ(recordProblem(sjis("[一次方程式]\r\n1=2\r\n; a comment\r\n\r\nDATE=2026年05月03日09:05\r\n")), "");
    EXPECT_NE(recordProblem(""), "") << "nothing to take in";
    EXPECT_NE(recordProblem("1=2\r\n[一]\r\n"), "") << "an entry before any section";
    EXPECT_NE(recordProblem("[一]\r\njust text\r\n"), "");
    EXPECT_NE(recordProblem(std::string("[a]\r\n1=2\r\n\0", 11)), "");
    EXPECT_NE(recordProblem("[a]\r\n1=\x81\x20\r\n"), "") << "not Shift-JIS";
    EXPECT_NE(recordProblem("%PDF-1.4\n"), "");
    std::string huge = "[a]\r\n";
    huge += std::string(MAX_RECORD_FILE_BYTES, ';');
    EXPECT_NE(recordProblem(huge), "");
}

TEST(RecordBook, AStudentsNameNamesTheFileAsOnTheDesktop) {
    EXPECT_EQ(studentRecordName("　山田 花子 "), "山田 花子");
    EXPECT_EQ(studentRecordName(std::string(30, 'a')), std::string(30, 'a'));
    EXPECT_EQ(studentRecordName(std::string(31, 'a')), "");
    std::string thirty;
    for (int i = 0; i < 30; ++i) thirty += "字";
    EXPECT_EQ(studentRecordName(thirty), thirty);
    EXPECT_EQ(studentRecordName(thirty + "字"), "");
    for (const char* refused : {"", "  ", ".hidden", "a/b", "a\\b", "a:b", "a*", "a?", "\"a\"", "<a>", "a|b", "a\tb", "miradosh", "MIRADOSH"})
        EXPECT_EQ(studentRecordName(refused), "") << refused;
    EXPECT_EQ(studentRecordName("Miradosh2"), "Miradosh2");
    EXPECT_EQ(studentRecordName("\xff"), "") << "not UTF-8";
}

TEST_F(DrillTest, AFinishIsRecordedWithTheClocksTime) {
    drill.setClock([] { return kMay3; });
    ASSERT_TRUE(drill.start(bundledQuestionSet()));
    step(1, Operation::Divide, "2");
    ASSERT_TRUE(drill.practice().questionFinished);
    EXPECT_EQ(drill.record().bytes(), sjis("[一次方程式（１）基本]\r\n1=1\r\nDATE=2026年05月03日09:05\r\n"));
    EXPECT_EQ(drill.record().pendingCount(), 1u);
}

// ---------------------------------------------------------------- a teacher's set

TEST_F(DrillTest, ATeachersSetIsCheckedBeforeItIsUsed) {
    ASSERT_TRUE(drill.start(bundledQuestionSet()));
    // Shift-JIS, as the desktop writes it
    ASSERT_TRUE(drill.openQuestionSet(sjis(oneUnit({"2x=6", "x+1=3"}, "三組の復習")), "3-1.leq"));
    EXPECT_TRUE(drill.takeNotices().empty());
    EXPECT_EQ(page().caption, "三組の復習");
    EXPECT_EQ(drill.questionSet().questionCount[1], 2);
    step(1, Operation::Divide, "2");
    EXPECT_EQ(drill.recordRows().at(2), "  1★");

    // a faulty question: refused with the checker's report, the drill stays where it was
    EXPECT_FALSE(drill.openQuestionSet(oneUnit({"2x=6", "x=3=4"}, "誤り"), "bad.leq"));
    std::vector<std::string> said = drill.takeNotices();
    ASSERT_EQ(said.size(), 1u);
    EXPECT_EQ(said[0].substr(0, said[0].find('|')), "問題集を開けません");
    EXPECT_NE(said[0].find("「bad.leq」"), std::string::npos);
    EXPECT_NE(said[0].find("エラーチェックの結果: ??? 誤りがあります ???"), std::string::npos) << said[0];
    EXPECT_NE(said[0].find("単元1 問題2: x=3=4\n    ＝の数が不正です"), std::string::npos) << said[0];
    EXPECT_EQ(page().caption, "三組の復習");
    EXPECT_TRUE(drill.practice().questionFinished) << "the solved question is still on the page";

    // bytes that are no text, and a broken structure
    EXPECT_FALSE(drill.openQuestionSet(std::string("<<a\r\n\x81\x20x=1\r\n>>\r\n"), "bytes.leq"));
    said = drill.takeNotices();
    ASSERT_EQ(said.size(), 1u);
    EXPECT_NE(said[0].find("2行目:"), std::string::npos) << said[0];
    EXPECT_FALSE(drill.openQuestionSet("x=1\r\n", "nounit.leq"));
    said = drill.takeNotices();
    ASSERT_EQ(said.size(), 1u);
    EXPECT_NE(said[0].find("??? 問題に誤りがあります"), std::string::npos) << said[0];
    EXPECT_EQ(drill.questionSet().unitTitle[1], "三組の復習");
}

TEST(QuestionSets, OnlyAPlainFileNameBesideTheSiteIsOpened) {
    for (const char* good : {"set.leq", "QUESTION.LEQ", "3年1組.leq", "a b.Leq"}) EXPECT_TRUE(plainSetName(good)) << good;
    for (const char* bad : {"", ".leq", "set", "set.txt", "../set.leq", "a/set.leq", "a\\set.leq", "http://x/set.leq",
                            ".hidden.leq", "set.leq?x", "a%2fb.leq", "set.leq#x"})
        EXPECT_FALSE(plainSetName(bad)) << bad;
}

}  // namespace
}  // namespace solvari::web
