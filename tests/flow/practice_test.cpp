#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "engine/format.h"
#include "flow/practice.h"
#include "transform/line_judge.h"
#include "transform/verdict.h"
#include "tests/support/keypad.h"
#include "tests/support/fake_page.h"
#include "tests/support/practice_rig.h"
#include "tests/support/fake_prompter.h"
#include "tests/support/read_text.h"

namespace solvari {
namespace {

using testing::readEquation;

using testing::FakeBoxes;
using testing::FakePrompter;
using testing::FakeView;

// A practice screen on a set of given questions (one unit), with every window faked.
class PracticeTest : public ::testing::Test, protected testing::PracticeRig<> {
protected:
    void start(std::vector<std::string> questions, int capacity = 12) {
        QuestionSet set;
        set.unitCount = 1;
        set.unitTitle[1] = "一次方程式（１）";
        set.questionCount[1] = static_cast<int>(questions.size());
        for (size_t i = 0; i < questions.size(); ++i) set.questionText[1][i + 1] = questions[i];
        practice.questionSet = set;
        practice.lineCapacity = capacity;
        ASSERT_TRUE(practice.startQuestionSet());
        prompter.clear();
    }
    // One step from the buttons: line, operation, keypad keys, execute.
    void step(int line, Operation op, std::vector<std::string> keys = {}) {
        practice.selectLine(line);
        practice.chooseOperationChecked(op);
        for (const auto& k : keys) testing::press(practice, k);
        practice.execute();
    }
    std::string lineText(int n) { return lineToText(engine.line(n), engine.hasDecimal); }
};

TEST_F(PracticeTest, StartShowsTheFirstQuestion) {
    start({"2x=6", "3x=9"});
    EXPECT_EQ(engine.targetLine, 1);
    EXPECT_EQ(engine.line(1).text, "（1） 次の方程式を解きなさい");
    EXPECT_EQ(view.messageShown, "式を指定してください");
    EXPECT_EQ(view.caption, "一次方程式（１）");
    EXPECT_EQ(view.letter, 'x');
    EXPECT_TRUE(view.lineButtons[1]);
    EXPECT_FALSE(practice.executeEnabled);
    EXPECT_TRUE(practice.nextEnabled);
}

TEST_F(PracticeTest, OneStepFromPickToVerdict) {
    start({"2x=6"});
    practice.selectLine(1);
    EXPECT_EQ(view.messageShown, "①式");
    EXPECT_EQ(practice.selectionStage, Stage::FirstLine);
    practice.chooseOperation(Operation::Divide);
    EXPECT_EQ(view.messageShown, "①式÷");
    EXPECT_TRUE(practice.executeEnabled);
    testing::press(practice, "2");
    EXPECT_EQ(view.displayShown, "2");
    EXPECT_EQ(view.messageShown, "①式÷2");
    EXPECT_EQ(practice.lastInput, LastInput::Keypad);
    practice.execute();
    EXPECT_EQ(engine.targetLine, 2);
    EXPECT_EQ(lineText(2), "x=3");
    EXPECT_EQ(engine.line(2).text, "①式の両辺を2で割ると");
    EXPECT_EQ(practice.questionResult, Outcome::Solved);
    EXPECT_TRUE(practice.questionFinished);
    EXPECT_EQ(view.messageShown, "解が出ました");
    EXPECT_TRUE(view.blinking);
    EXPECT_EQ(view.solutionLine, 2);
    EXPECT_EQ(view.focus, "next");
    EXPECT_EQ(lineText(ANSWER_LINE), "x=3");
    EXPECT_EQ(boxes.box(16).textStrings().front(), "【答】　");
    ASSERT_EQ(recorder.finishes.size(), 1u);
    EXPECT_EQ(recorder.finishes[0].unitTitle, "一次方程式（１）");
    EXPECT_EQ(recorder.finishes[0].question, 1);
    EXPECT_TRUE(prompter.said.empty());
}

TEST_F(PracticeTest, KeypadSentenceGrowth) {
    start({"2x=6"});
    practice.selectLine(1);
    practice.chooseOperation(Operation::Add);
    for (auto k : {"3", "分の", "2"}) testing::press(practice, k);
    EXPECT_EQ(view.displayShown, "3分の2");
    EXPECT_EQ(view.messageShown, "①式＋3分の2");
    testing::press(practice, "分の");  // a second 分の is ignored
    testing::press(practice, "x");
    testing::press(practice, "x");  // so is a second letter
    EXPECT_EQ(view.displayShown, "3分の2x");
}

TEST_F(PracticeTest, MinusAndClear) {
    start({"2x=6"});
    practice.selectLine(1);
    practice.chooseOperation(Operation::Multiply);
    practice.minusButton();
    EXPECT_EQ(view.displayShown, "-");
    EXPECT_EQ(view.messageShown, "①式×(-");
    testing::press(practice, "5");
    EXPECT_EQ(view.displayShown, "-5");
    practice.minusButton();
    EXPECT_EQ(prompter.last(), "－の位置が間違っています");
    EXPECT_EQ(view.displayShown, "-5");
    practice.formKeyPress('-');  // the key replaces the display without the check
    EXPECT_EQ(view.displayShown, "-");
    EXPECT_EQ(view.messageShown, "①式×(-5(-");
    testing::press(practice, "CL");
    EXPECT_EQ(view.messageShown, "①式×");
    EXPECT_EQ(view.displayShown, "");
    for (auto k : {"1", "2"}) testing::press(practice, k);
    practice.formKeyDown(KEY_DELETE, false);
    EXPECT_EQ(view.messageShown, "①式×");
}

TEST_F(PracticeTest, ClearCutsAtTheFirstOccurrence) {
    start({"12x=12"});
    practice.lineCapacity = 12;
    practice.selectLine(1);
    practice.chooseOperation(Operation::Multiply);
    testing::press(practice, "1");
    testing::press(practice, "CL");
    EXPECT_EQ(view.messageShown, "①式×");
}

TEST_F(PracticeTest, NegativeOperandReadsInBrackets) {
    start({"-2x=6"});
    step(1, Operation::Divide, {"-", "2"});
    EXPECT_EQ(lineText(2), "x=-3");
    EXPECT_EQ(engine.line(2).text, "①式の両辺を-2で割ると");
    EXPECT_EQ(view.messageShown, "解が出ました");
}

TEST_F(PracticeTest, WrongOrderIsRefused) {
    start({"2x=6"});
    step(1, Operation::Add, {"1"});
    practice.selectLine(1);
    practice.selectLine(2);
    EXPECT_EQ(prompter.last(), Practice::MSG_WRONG_STEP);
    EXPECT_EQ(view.messageShown, "①式");
    practice.resetStep();
    practice.chooseOperation(Operation::Add);  // no line picked
    EXPECT_EQ(prompter.said.size(), 2u);
    practice.selectLine(1);
    practice.execute();  // only a line
    EXPECT_EQ(prompter.last(), Practice::MSG_WRONG_STEP);
    practice.chooseOperation(Operation::Multiply);
    practice.execute();  // × needs an operand
    EXPECT_EQ(prompter.said.size(), 4u);
    practice.selectLine(2);  // × a line
    practice.execute();
    EXPECT_EQ(prompter.said.size(), 5u);
    EXPECT_EQ(engine.targetLine, 2);
}

TEST_F(PracticeTest, TwoLineSteps) {
    start({"2x+1=5"});
    step(1, Operation::Subtract, {"1"});  // ② 2x=4
    practice.selectLine(1);
    practice.chooseOperation(Operation::Add);
    practice.selectLine(2);
    EXPECT_EQ(view.messageShown, "①式＋②式");
    EXPECT_EQ(practice.selectionStage, Stage::SecondLine);
    practice.execute();
    EXPECT_EQ(lineText(3), "4x+1=9");
    EXPECT_EQ(engine.line(3).text, "①式と②式をたすと");
    EXPECT_EQ(engine.line(2).text, "①式の両辺から1をひくと");
}

TEST_F(PracticeTest, BracketCheckForButtonsAndKeys) {
    start({"2(x+1)=4"});
    practice.selectLine(1);
    practice.chooseOperationChecked(Operation::Collect);
    EXPECT_EQ(prompter.last(), "かっこをはずしてから整理してください");
    practice.formKeyPress('S');  // the key is checked too: collecting would drop the brackets
    EXPECT_EQ(prompter.said.size(), 2u);
    practice.formKeyPress('i');
    EXPECT_EQ(prompter.last(), "かっこをはずしてから移項してください");
    EXPECT_EQ(practice.selectionStage, Stage::FirstLine);
    practice.formKeyPress('k');
    EXPECT_EQ(view.messageShown, "①式のかっこをはずす");
    practice.formKeyDown(KEY_ENTER, false);
    EXPECT_EQ(lineText(2), "2x+2=4");
    EXPECT_EQ(engine.line(2).text, "①式のかっこをはずすと");
}

TEST_F(PracticeTest, CollectNeedsNoOperand) {
    start({"2x+3x=10"});
    practice.selectLine(1);
    practice.chooseOperationChecked(Operation::Collect);
    EXPECT_EQ(view.messageShown, "①式の両辺を計算して整理する");
    EXPECT_TRUE(practice.executeEnabled);
    practice.execute();
    EXPECT_EQ(lineText(2), "5x=10");
    EXPECT_EQ(engine.line(2).text, "①式を整理すると");
}

TEST_F(PracticeTest, RefusalsResetTheStepAndWriteNothing) {
    start({"2x=6"});
    struct Row { Operation op; const char* key; const char* message; };
    const Row rows[] = {
        {Operation::Multiply, "0", "０をかけることはできません"},
        {Operation::Divide, "0", "０では割れません"},
        {Operation::Multiply, "x", "文字式をかけることはできません"},
        {Operation::Divide, "x", "文字式で割ることはできません"},
        {Operation::Brackets, nullptr, "①式にはかっこがありません"},
    };
    for (const Row& r : rows) {
        practice.selectLine(1);
        practice.chooseOperation(r.op);
        if (r.key) testing::press(practice, r.key);
        practice.execute();
        EXPECT_EQ(prompter.last(), r.message);
        EXPECT_EQ(engine.targetLine, 1);
        EXPECT_EQ(engine.line(2).count, 0);
        EXPECT_EQ(practice.selectionStage, Stage::Nothing);
        EXPECT_EQ(view.messageShown, "");
    }
}

TEST_F(PracticeTest, TransposeWithNothingToMove) {
    start({"2x=6"});
    prompter.answers = {Answer::Yes};
    step(1, Operation::Transpose);
    EXPECT_EQ(prompter.last(), "確認|移項する項はありません。訂正しますか");
    EXPECT_EQ(engine.targetLine, 1);
    EXPECT_EQ(engine.line(2).count, 0);
    prompter.answers = {Answer::No};
    step(1, Operation::Transpose);
    EXPECT_EQ(engine.targetLine, 2);
    EXPECT_EQ(lineText(2), "2x=6");
    EXPECT_EQ(engine.line(2).text, "①式を移項すると");
}

TEST_F(PracticeTest, CorrectionDropsTheStepThenTheNewestLine) {
    start({"2x=6"});
    step(1, Operation::Multiply, {"2"});
    ASSERT_EQ(engine.targetLine, 2);
    practice.selectLine(2);
    practice.chooseOperation(Operation::Add);
    practice.correct();
    EXPECT_EQ(engine.targetLine, 2);
    EXPECT_EQ(view.messageShown, "");
    practice.formKeyDown(KEY_ESCAPE, false);
    EXPECT_EQ(engine.targetLine, 1);
    EXPECT_EQ(engine.line(2).count, 0);
    EXPECT_FALSE(view.lineButtons[2]);
    practice.correct();
    EXPECT_EQ(engine.targetLine, 1);  // the question itself is never taken back
}

TEST_F(PracticeTest, ShiftPicksTheNewestLine) {
    start({"2x=6"});
    step(1, Operation::Multiply, {"2"});
    practice.formKeyDown(KEY_SHIFT, true);
    EXPECT_EQ(practice.firstLine, 2);
    EXPECT_EQ(view.messageShown, "②式");
}

// ---------------------------------------------------------------- what helps the student

TEST_F(PracticeTest, HintProposesTheNextStepWithoutDoingIt) {
    start({"2x+3=7", "2x=6"});
    practice.formKeyPress('?');
    EXPECT_EQ(view.messageShown, "ヒント：①式を移項してみましょう");
    EXPECT_EQ(engine.targetLine, 1);
    EXPECT_TRUE(practice.hintUsed);
    step(1, Operation::Transpose);
    // A step half built survives the hint: it once was dropped silently, and Enter then
    // said 操作が誤りです. The next key takes the strip back.
    practice.selectLine(2);
    practice.chooseOperation(Operation::Multiply);
    testing::press(practice, "3");
    practice.hint();
    EXPECT_EQ(view.messageShown, "ヒント：②式を整理してみましょう");
    EXPECT_EQ(practice.selectionStage, Stage::OperationChosen);
    EXPECT_EQ(engine.targetLine, 2);
    testing::press(practice, "0");
    EXPECT_EQ(view.messageShown, "②式×30");
    practice.hint();
    practice.correct();  // the first 訂正 drops the step, not the line
    EXPECT_EQ(engine.targetLine, 2);
    EXPECT_EQ(view.messageShown, "");
    practice.selectLine(2);
    practice.chooseOperation(Operation::Multiply);
    testing::press(practice, "3");
    practice.hint();
    practice.execute();
    EXPECT_EQ(engine.targetLine, 3);
    EXPECT_EQ(lineText(3), "6x=-9+21");
    practice.correct();
    ASSERT_EQ(engine.targetLine, 2);
    step(2, Operation::Collect);
    step(3, Operation::Divide, {"2"});
    ASSERT_TRUE(practice.questionFinished);
    EXPECT_TRUE(practice.hintUsed) << "the finish is written as one after a hint";
    // no hint for a finished question
    practice.hint();
    EXPECT_EQ(view.messageShown, "解が出ました");
    practice.nextQuestion();
    EXPECT_FALSE(practice.hintUsed);
    EXPECT_TRUE(prompter.said.empty());
}

TEST_F(PracticeTest, SolvedAnswerShowsTheCheck) {
    start({"3(x-2)=x+4"});
    step(1, Operation::Brackets);
    step(2, Operation::Transpose);
    step(3, Operation::Collect);
    step(4, Operation::Divide, {"2"});
    ASSERT_EQ(practice.questionResult, Outcome::Solved);
    EXPECT_EQ(boxes.box(16).textStrings().back(), "検算：x=5 のとき 左辺＝9，右辺＝9");
    // the window lays its star strip over the box's top 16 rows: the check stands below it
    EXPECT_GE(boxes.box(16).calls.back().y1, 16);
}

TEST_F(PracticeTest, AStepBackToAnEarlierLineIsNamed) {
    start({"2x=6"});
    step(1, Operation::Multiply, {"2"});
    EXPECT_EQ(view.messageShown, "①式×2");
    step(2, Operation::Divide, {"2"});
    EXPECT_EQ(lineText(3), "2x=6");
    EXPECT_EQ(view.messageShown, "③式は①式と同じ式です");
    EXPECT_EQ(engine.targetLine, 3) << "the step stays";
    EXPECT_TRUE(prompter.said.empty());
    practice.correct();
    EXPECT_EQ(engine.targetLine, 2);
}

TEST_F(PracticeTest, NoSolutionDialogLoop) {
    start({"x+1=x+2"});
    step(1, Operation::Transpose);
    prompter.choices = {Outcome::AllValues, Outcome::NoSolution};
    step(2, Operation::Collect);
    EXPECT_EQ(lineText(3), "0=1");
    EXPECT_EQ(prompter.specialAsked, 2);
    EXPECT_EQ(prompter.last(), "解が無数？？もう一度考えてみましょう");
    EXPECT_EQ(practice.questionResult, Outcome::NoSolution);
    EXPECT_TRUE(practice.questionFinished);
    EXPECT_EQ(practice.answerText(), "【答】解なし");
    // the answer, then the check by substitution above it
    const std::vector<std::string> answer = boxes.box(16).textStrings();
    ASSERT_GE(answer.size(), 2u);
    EXPECT_EQ(answer[answer.size() - 2], "【答】解なし");
    EXPECT_EQ(answer.back(), "どんな x でも 1＝2 にはなりません");
    EXPECT_EQ(recorder.finishes.size(), 1u);
}

// A page cannot hold a modal box open inside a command: the question stays open in the drill,
// which takes no other command until the answer comes, and then goes on from where it asked.
TEST_F(PracticeTest, AQuestionAnsweredLaterHoldsTheDrillUntilItsAnswer) {
    start({"x+1=x+2", "3x=9"});
    view.practice = nullptr;  // nobody answers at once
    step(1, Operation::Transpose);
    step(2, Operation::Collect);
    ASSERT_EQ(practice.asking, Asking::SpecialSolution);
    EXPECT_EQ(askingText(practice.asking), "解の種類を選んでください");
    practice.correct();
    practice.nextQuestion();
    practice.selectLine(3);
    EXPECT_EQ(engine.targetLine, 3) << "訂正 while the choice is open takes nothing back";
    EXPECT_EQ(practice.asking, Asking::SpecialSolution);
    practice.answer(true);  // not this question's answer
    practice.answerSpecial(Outcome::AllValues);
    EXPECT_EQ(practice.asking, Asking::SpecialSolution) << "the wrong case is asked again";
    EXPECT_EQ(prompter.last(), "解が無数？？もう一度考えてみましょう");
    practice.answerSpecial(Outcome::NoSolution);
    EXPECT_EQ(practice.asking, Asking::Nothing);
    EXPECT_EQ(practice.answerText(), "【答】解なし");
    EXPECT_EQ(recorder.finishes.size(), 1u);

    practice.nextQuestion();  // finished: no question, straight on
    EXPECT_EQ(practice.currentQuestion[1], 2);
    practice.nextQuestion();
    ASSERT_EQ(practice.asking, Asking::LeaveUnsolved);
    practice.answer(true);
    ASSERT_EQ(practice.asking, Asking::ChangeUnit) << "question 2 was the unit's last";
    practice.answer(true);
    ASSERT_EQ(practice.asking, Asking::Unit);
    practice.answerUnit(UnitChoice{1, 1});
    EXPECT_EQ(practice.asking, Asking::Nothing);
    EXPECT_EQ(practice.currentQuestion[1], 1);
    EXPECT_EQ(lineText(1), "x+1=x+2");
}

TEST_F(PracticeTest, IdentityWithZerosOfDifferentDenominators) {
    // x+1/2=x+1/2 collects to 0 = 0/2: by value the two zeros are equal
    start({"x+1/2=x+1/2"});
    step(1, Operation::Transpose);
    prompter.choices = {Outcome::NoSolution, Outcome::AllValues};
    step(2, Operation::Collect);
    EXPECT_EQ(lineDump(engine.line(3)), "0/1 0=1 0/2");
    EXPECT_EQ(prompter.last(), "解なし？？もう一度考えてみましょう");
    EXPECT_EQ(practice.questionResult, Outcome::AllValues);
    const std::vector<std::string> answer = boxes.box(16).textStrings();
    ASSERT_GE(answer.size(), 2u);
    EXPECT_EQ(answer[answer.size() - 2], "【答】解は無数にある");
    EXPECT_EQ(answer.back(), "どんな x でも成り立ちます");
}

// A line combined with itself or with its negation reads 0=0, which once "finished" 2x=6
// and 2(x-1)=2x (no solution) as 解は無数にある and recorded it.
TEST_F(PracticeTest, StepsThatChangeTheSolutionSetAreRefused) {
    start({"2x=6"});
    step(1, Operation::Multiply, {"-", "1"});  // ② -2x=-6
    ASSERT_EQ(lineText(2), "-2x=-6");
    struct Row { int a; Operation op; int b; };
    for (const Row& r : {Row{1, Operation::Subtract, 1}, Row{1, Operation::Add, 2}, Row{2, Operation::Subtract, 2}}) {
        practice.selectLine(r.a);
        practice.chooseOperation(r.op);
        practice.selectLine(r.b);
        practice.execute();
        EXPECT_EQ(prompter.last(), "この計算をすると解が変わってしまいます");
        EXPECT_EQ(engine.targetLine, 2);
        EXPECT_EQ(engine.line(3).count, 0);
        EXPECT_EQ(practice.selectionStage, Stage::Nothing);
    }
    EXPECT_EQ(prompter.specialAsked, 0);
    EXPECT_FALSE(practice.questionFinished);
    EXPECT_TRUE(recorder.finishes.empty());
    // ①＋① without groups is twice the line and stays allowed
    practice.selectLine(1);
    practice.chooseOperation(Operation::Add);
    practice.selectLine(1);
    practice.execute();
    EXPECT_EQ(lineText(3), "4x=12");
}

// Subtracting the constant first, as many students do, on a line that still has brackets.
TEST_F(PracticeTest, AddingToALineWithBracketsReachesTheTrueAnswer) {
    start({"5-2(x-1)=1"});
    step(1, Operation::Subtract, {"5"});
    EXPECT_EQ(lineText(2), "-2(x-1)=-4");
    step(2, Operation::Divide, {"-", "2"});
    step(3, Operation::Brackets);
    step(4, Operation::Add, {"1"});
    EXPECT_EQ(lineText(5), "x=3");
    EXPECT_EQ(practice.questionResult, Outcome::Solved);
    EXPECT_TRUE(prompter.said.empty());
}

TEST(Outcome, OnlyAVerdictThatMatchesTheQuestionIsAccepted) {
    Engine engine;
    ASSERT_TRUE(readEquation(engine, QUESTION_LINE, "2x=6"));
    ASSERT_TRUE(readEquation(engine, ANSWER_LINE, "x=4"));
    const SolutionSet three = *solutionSetOf(engine.line(QUESTION_LINE));
    EXPECT_FALSE(verdictAgrees(engine, Outcome::Solved, three));
    EXPECT_FALSE(verdictAgrees(engine, Outcome::AllValues, three));
    EXPECT_FALSE(verdictAgrees(engine, Outcome::NoSolution, three));
    ASSERT_TRUE(readEquation(engine, ANSWER_LINE, "x=3"));
    EXPECT_TRUE(verdictAgrees(engine, Outcome::Solved, three));
    ASSERT_TRUE(readEquation(engine, QUESTION_LINE, "2(x-1)=2x"));
    const SolutionSet none = *solutionSetOf(engine.line(QUESTION_LINE));
    EXPECT_TRUE(verdictAgrees(engine, Outcome::NoSolution, none));
    EXPECT_FALSE(verdictAgrees(engine, Outcome::AllValues, none));
}

TEST_F(PracticeTest, ClosingTheDialogLeavesTheQuestionOpen) {
    start({"x=x+2"});
    prompter.choices = {Outcome::Open};
    step(1, Operation::Transpose);
    step(2, Operation::Collect);
    EXPECT_EQ(practice.questionResult, Outcome::Open);
    EXPECT_FALSE(practice.questionFinished);
    EXPECT_EQ(engine.targetLine, 3);
    EXPECT_TRUE(recorder.finishes.empty());
    // The hint once said 整理, which only writes 0=2 again: it names the choice, and 実行
    // with nothing built asks it again.
    practice.hint();
    EXPECT_EQ(view.messageShown, "ヒント：［実行］で解の種類を選びましょう");
    prompter.choices = {Outcome::NoSolution};
    practice.execute();
    EXPECT_EQ(engine.targetLine, 3);
    EXPECT_EQ(practice.questionResult, Outcome::NoSolution);
    EXPECT_TRUE(practice.questionFinished);
    EXPECT_EQ(recorder.finishes.size(), 1u);
}

// Only the first question of a set was shown finished when it is its own answer; a later one
// stayed open, and its hint found no step.
TEST_F(PracticeTest, ALaterQuestionThatIsItsOwnAnswerIsShownFinished) {
    start({"2x=6", "x=5"});
    prompter.answers = {Answer::Yes};  // question 1 is not solved: move on all the same
    practice.nextQuestion();
    ASSERT_EQ(engine.targetLine, 1);
    EXPECT_EQ(lineText(1), "x=5");
    EXPECT_TRUE(practice.questionFinished);
    EXPECT_TRUE(view.solutionShown);
    EXPECT_TRUE(recorder.finishes.empty());
}

TEST_F(PracticeTest, FullPageConsolesThenRefusesMoreLines) {
    start({"2x=6"}, 8);
    for (int i = 1; i < 8; ++i) step(i, Operation::Multiply, {"1"});
    EXPECT_EQ(engine.targetLine, 8);
    EXPECT_EQ(prompter.last(), "残念ですが7回の操作では解けませんでした");
    EXPECT_EQ(prompter.said.size(), 1u);
    step(8, Operation::Multiply, {"1"});
    EXPECT_EQ(prompter.last(), Practice::MSG_PAGE_FULL);
    EXPECT_EQ(engine.targetLine, 8);
    EXPECT_EQ(engine.line(9).count, 0);
    practice.correct();
    practice.correct();
    EXPECT_EQ(engine.targetLine, 7);
}

TEST_F(PracticeTest, OverflowEndsTheStepLikeARefusal) {
    start({"99999x=99998"});
    step(1, Operation::Multiply, {"9", "9", "9", "9"});
    ASSERT_EQ(engine.targetLine, 2);
    step(2, Operation::Multiply, {"9", "9", "9", "9"});
    EXPECT_EQ(prompter.last(), "数が大きすぎて計算できません");
    EXPECT_EQ(engine.targetLine, 2);
    EXPECT_EQ(engine.line(3).count, 0);
    EXPECT_EQ(practice.selectionStage, Stage::Nothing);
}

TEST_F(PracticeTest, FinishedQuestionRefusesPicksAndCorrection) {
    start({"2x=6", "3x=6"});
    step(1, Operation::Divide, {"2"});
    ASSERT_TRUE(practice.questionFinished);
    practice.selectLine(1);
    EXPECT_EQ(practice.selectionStage, Stage::Nothing);
    practice.correct();
    EXPECT_EQ(engine.targetLine, 2);
    practice.nextQuestion();  // no confirmation after a verdict
    EXPECT_TRUE(prompter.said.empty());
    EXPECT_EQ(engine.line(1).text, "（2） 次の方程式を解きなさい");
    EXPECT_FALSE(view.blinking);
    EXPECT_FALSE(practice.questionFinished);
}

TEST_F(PracticeTest, MovingOnWithoutAVerdictWritesNoRecord) {
    start({"2x=6", "3x=6"});
    prompter.answers = {Answer::No};
    practice.nextQuestion();
    EXPECT_EQ(prompter.last(), "確認|まだ解が出ていませんが次の問題に進みますか");
    EXPECT_EQ(practice.currentQuestion[1], 1);
    prompter.answers = {Answer::Yes};
    practice.nextQuestion();
    EXPECT_EQ(practice.currentQuestion[1], 2);
    EXPECT_TRUE(recorder.finishes.empty());
}

TEST_F(PracticeTest, EndOfUnitAsksToChangeUnits) {
    start({"2x=6"});
    step(1, Operation::Divide, {"2"});
    prompter.answers = {Answer::No};
    practice.nextQuestion();
    EXPECT_EQ(prompter.last(), "確認|終了しました。単元を変えますか");
    EXPECT_EQ(view.unitRuns, 0);
    EXPECT_FALSE(view.blinking);
    EXPECT_FALSE(practice.questionFinished);
    EXPECT_EQ(engine.targetLine, 2);  // the finished work stays on the page
    prompter.answers = {Answer::Yes};
    practice.nextQuestion();
    EXPECT_EQ(view.unitRuns, 1);
}

TEST_F(PracticeTest, AcceptedUnitChoiceShowsTheChosenQuestion) {
    start({"2y=6"});
    view.unitSelection = [] { return std::optional<UnitChoice>(UnitChoice{1, 1}); };
    practice.chooseUnit();
    EXPECT_EQ(engine.targetLine, 1);
    EXPECT_EQ(engine.letter, 'y');
}

TEST_F(PracticeTest, QuestionThatIsItsOwnAnswerStartsFinished) {
    start({"x=3"});
    EXPECT_TRUE(practice.questionFinished);
    EXPECT_EQ(practice.questionResult, Outcome::Open);
    EXPECT_TRUE(view.solutionShown);
    EXPECT_TRUE(view.blinking);
    // The answer and its check are the drill's state, for a front end that writes them as text.
    EXPECT_EQ(practice.answerText(), "【答】x=3");
    EXPECT_FALSE(practice.checkText().empty());
    practice.nextQuestion();
    EXPECT_EQ(prompter.last(), "確認|まだ解が出ていませんが次の問題に進みますか");
}

TEST_F(PracticeTest, TheAnswerInWordsFollowsTheVerdict) {
    start({"2x=6", "3x=6"});
    EXPECT_EQ(practice.answerText(), "");
    EXPECT_EQ(practice.checkText(), "");
    step(1, Operation::Divide, {"2"});
    EXPECT_EQ(practice.answerText(), "【答】x=3");
    EXPECT_NE(practice.checkText().find("3"), std::string::npos);
    practice.nextQuestion();
    EXPECT_EQ(practice.answerText(), "");
}

TEST_F(PracticeTest, BlinkAlternatesPictures) {
    start({"2x=6"});
    practice.timBlinkTimer();
    EXPECT_FALSE(view.nextSecond);
    practice.timBlinkTimer();
    EXPECT_TRUE(view.nextSecond);
}

TEST_F(PracticeTest, RecordFailureIsShownAndTheQuestionStaysClosed) {
    start({"2x=6", "3x=6", "4x=6"});
    recorder.outcome = {false, "/ro/Miradosh.rec に書き込めません", ""};
    step(1, Operation::Divide, {"2"});
    EXPECT_TRUE(practice.questionFinished);
    EXPECT_EQ(prompter.last(), "/ro/Miradosh.rec に書き込めません");
    // After the first failed finish of a run, later ones said nothing: the caption keeps a
    // mark until a finish is recorded again.
    EXPECT_EQ(view.caption, "一次方程式（１）　※記録できなかった問題があります");
    recorder.outcome = {false, "", ""};  // told once already
    prompter.answers = {Answer::Yes};
    practice.nextQuestion();
    step(1, Operation::Divide, {"3"});
    EXPECT_EQ(view.caption, "一次方程式（１）　※記録できなかった問題があります");
    recorder.outcome = {true, "", ""};
    practice.nextQuestion();
    step(1, Operation::Divide, {"4"});
    EXPECT_EQ(view.caption, "一次方程式（１）");
}

TEST_F(PracticeTest, LinesThirteenAndFourteenHaveLabels) {
    start({"2x=6"}, 14);
    for (int i = 1; i < 13; ++i) step(i, Operation::Multiply, {"1"});
    ASSERT_EQ(engine.targetLine, 13);
    EXPECT_EQ(engine.line(13).text, "⑫式の両辺を1倍すると");
    step(13, Operation::Multiply, {"1"});
    EXPECT_EQ(engine.line(14).text, "⑬式の両辺を1倍すると");
}

// ---------------------------------------------------------------- 自分で計算する

// The student's own line, typed on the keyboard as a student would ("2x=7-3", "3分の2x=1"
// with B for 分の), then 実行.
class WritingTest : public PracticeTest {
protected:
    void write(std::string_view typed) {
        for (char c : typed) practice.formKeyPress(c);
        practice.execute();
    }
    void clearWritten() { practice.keypad(Key::Clear); }
};

TEST_F(WritingTest, TheStudentsLineIsJudgedAndTakenAsWritten) {
    start({"2x+3=7"});
    practice.setWritesLines(true);
    step(1, Operation::Transpose);
    // the sentence is the program's, the line waits for the student
    EXPECT_TRUE(practice.writing());
    EXPECT_EQ(engine.targetLine, 2);
    EXPECT_EQ(engine.line(2).text, "①式を移項すると");
    EXPECT_EQ(view.messageShown, "計算した式を書いて［実行］を押してください");
    EXPECT_EQ(lineText(2), "");

    write("2x=7+3");  // kept its sign
    EXPECT_TRUE(practice.writing());
    EXPECT_EQ(practice.wrongLines, 1);
    EXPECT_NE(view.messageShown.find("移項"), std::string::npos) << view.messageShown;
    EXPECT_EQ(view.messageShown.find("7-3"), std::string::npos) << "the line is not given away";
    EXPECT_FALSE(practice.lineOffered());

    clearWritten();
    write("2x=-3+7");  // the operation's line, its terms in another order
    EXPECT_FALSE(practice.writing());
    EXPECT_EQ(view.messageShown, "①式を移項する") << "the strip tells the step again, as after any step";
    EXPECT_EQ(lineText(2), "2x=-3+7") << "the page keeps the line as the student wrote it";
    practice.correct();
    ASSERT_EQ(engine.targetLine, 1);

    step(1, Operation::Transpose);
    write("4x=8");  // right, but not what 移項 gives: taken with a note
    EXPECT_EQ(lineText(2), "4x=8");
    EXPECT_EQ(view.messageShown, JUDGE_NOTE_OTHER_STEP);
    step(2, Operation::Divide, {"4"});
    write("x=2");
    EXPECT_EQ(practice.questionResult, Outcome::Solved);
    ASSERT_EQ(recorder.finishes.size(), 1u);
    EXPECT_EQ(recorder.finishes[0].finish, Finish::Plain);
    EXPECT_EQ(recorder.finishes[0].mistakes, (MistakeTally{{"transpose-sign", 1}}));
}

TEST_F(WritingTest, AfterTwoWrongLinesTheProgramsLineCountsAsAHint) {
    start({"3x=12", "x+1=2"});
    practice.setWritesLines(true);
    step(1, Operation::Divide, {"3"});
    write("x=9");  // the coefficient subtracted
    practice.showLine();
    EXPECT_TRUE(practice.writing()) << "not offered after one wrong line";
    write("x=");  // unreadable: the reader's message, not a wrong line
    EXPECT_EQ(practice.wrongLines, 1);
    clearWritten();
    write("x=12");  // one side only
    EXPECT_TRUE(practice.lineOffered());
    EXPECT_FALSE(practice.hintUsed);
    practice.showLine();
    EXPECT_EQ(lineText(2), "x=4");
    EXPECT_EQ(practice.questionResult, Outcome::Solved);
    ASSERT_EQ(recorder.finishes.size(), 1u);
    EXPECT_EQ(recorder.finishes[0].finish, Finish::AfterHint);
    EXPECT_EQ(recorder.finishes[0].mistakes, (MistakeTally{{"coef-as-term", 1}, {"one-side", 1}}));

    // the next question starts with no wrong lines of its own
    practice.nextQuestion();
    EXPECT_TRUE(practice.mistakes.empty());
}

TEST_F(WritingTest, CorrectGivesUpTheStepAndLineSumsStayComputed) {
    start({"2x=6"});
    practice.setWritesLines(true);
    step(1, Operation::Multiply, {"2"});
    ASSERT_TRUE(practice.writing());
    practice.formKeyPress('4');
    practice.hint();
    EXPECT_EQ(practice.writtenLine, "4") << "no hint while a line is written";
    practice.correct();
    EXPECT_FALSE(practice.writing());
    EXPECT_EQ(engine.targetLine, 1);
    EXPECT_EQ(view.displayShown, "");

    // ① − ① would be refused; ① + ① is a line sum: written by the program at once
    practice.selectLine(1);
    practice.chooseOperation(Operation::Add);
    practice.selectLine(1);
    practice.execute();
    EXPECT_FALSE(practice.writing());
    EXPECT_EQ(lineText(2), "4x=12");

    // turning the mode off gives up a line being written
    step(2, Operation::Divide, {"4"});
    ASSERT_TRUE(practice.writing());
    practice.setWritesLines(false);
    EXPECT_FALSE(practice.writing());
    EXPECT_EQ(engine.targetLine, 2);
}

TEST(WrittenLineSyntax, FractionsAreTypedDenominatorFirst) {
    EXPECT_EQ(writtenLineSyntax("3分の2x+1=5"), "2/3x+1=5");
    EXPECT_EQ(writtenLineSyntax("-4分の1=x"), "-1/4=x");
    EXPECT_EQ(writtenLineSyntax("x=12分の35"), "x=35/12");
    // an unfinished fraction is left for the reader to refuse
    EXPECT_EQ(writtenLineSyntax("x=3分の"), "x=3分の");
    EXPECT_EQ(writtenLineSyntax("1/2x=3"), "1/2x=3");
}

}  // namespace
}  // namespace solvari

