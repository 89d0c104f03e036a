#pragma once
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "flow/prompter.h"
#include "flow/file_io.h"
#include "flow/finish_recorder.h"
#include "flow/question_set.h"
#include "transform/operation.h"
#include "transform/typeset.h"
#include "transform/verdict.h"

namespace solvari {

class Practice;

// A unit and a question of it, as the unit window gives them.
struct UnitChoice {
    int unit = 1;
    int question = 1;
};

// A question the drill puts to the student and waits on: while one is open it takes no other
// command. The yes/no ones have their words in askingText and askingCaption.
enum class Asking {
    Nothing,
    TakeBackStep,     // the step moved nothing: 訂正しますか (yes takes the new line back)
    LeaveUnsolved,    // 次の問題 on an open question
    ChangeUnit,       // 次の問題 after the unit's last question
    SpecialSolution,  // 解なし or 解は無数 (TfrmSentaku)
    Unit,             // the unit window (TfrmMondai)
};
std::string askingText(Asking a);
std::string askingCaption(Asking a);

// What the practice logic asks of the main window and the page window. The windows draw what
// they are told and forward every click and key back to Practice.
class PracticeView {
public:
    virtual ~PracticeView() = default;
    virtual void showMessage(const std::string& text) = 0;  // the strip lblMess on the page
    virtual void showDisplay(const std::string& text) = 0;  // the keypad display pnlNumber
    virtual void setExecuteEnabled(bool on) = 0;            // btnJikkou
    virtual void setNextEnabled(bool on) = 0;               // btnNext
    virtual void setLineButtonEnabled(int n, bool on) = 0;  // btnShiki1..12
    virtual void focusExecute() = 0;
    virtual void focusNext() = 0;
    virtual void setBlinking(bool on) = 0;                  // timBlink
    virtual void setNextPicture(bool second) = 0;           // imgNextR when true, else imgNextQ
    virtual void setPageCaption(const std::string& text) = 0;
    virtual void setLetterCaption(char letter) = 0;         // btnMoji
    virtual void placeSolutionBox(int line) = 0;            // grbKai beside a line, shown
    virtual void hideSolutionBox() = 0;
    virtual void clearHoverFrames() = 0;
    // The drill now waits on a question (Practice::asking). Its answer comes back as one of
    // Practice's answer commands: at once from a modal box (answerModally), or later from a page.
    virtual void ask(Asking what) = 0;
    // 自分で計算する: the drill now waits (or no longer waits) for the student's own line; the
    // keys that write one are wanted, and 答えを見る once two tries were wrong.
    virtual void showWriting(bool writing, bool lineOffered) { (void)writing, (void)lineOffered; }
};

// How far the student has built the step.
// WritingLine: 自分で計算する, the step was made and the student writes its line.
enum class Stage { Nothing, FirstLine, OperationChosen, SecondLine, WritingLine };
// What the student entered last: a line button makes the operand of ＋/－ a second line.
enum class LastInput { Nothing, Line, OperationButton, Keypad };

// For front ends whose question boxes are modal (the desktop): puts the question the drill waits
// on to the prompter, or runs the unit window, and gives the answer back at once.
void answerModally(Practice& practice, Prompter& prompter, const std::function<std::optional<UnitChoice>()>& unitWindow);

// Key codes of FormKeyDown.
enum KeyCode { KEY_BACKSPACE = 8, KEY_ENTER = 13, KEY_ESCAPE = 27, KEY_DELETE = 46, KEY_SHIFT = 16 };

// The keypad: digits, ．, −, 分の, the letter, CL.
enum class Key { Digit0, Digit1, Digit2, Digit3, Digit4, Digit5, Digit6, Digit7, Digit8, Digit9, Point, Minus, Fraction, Letter, Clear };
constexpr Key digitKey(int d) { return static_cast<Key>(static_cast<int>(Key::Digit0) + d); }
// The text a key types into the operand ("" for CL).
std::string keyText(Key k, char letter);
// The keys of a line the student writes, besides the keypad's (Slash: 1/2 typed on a keyboard).
enum class LineKey { Plus, Equals, Open, Close, Slash, Back };
// A written line as the keys typed it ("3分の2x+1=5") in the syntax of a question set
// ("2/3x+1=5"): 分の stands between the denominator and the numerator, as on the keypad.
std::string writtenLineSyntax(const std::string& typed);

// One piece of a step as the message strip shows it while the step is built, in the order the
// student entered them: a line ("①式"), the operation ("÷", "を移項する"), a key ("(-" for −),
// and the closing bracket 実行 adds after a −.
struct StepPiece {
    enum class Kind { Line, Operation, Key, Close };
    Kind kind = Kind::Line;
    int line = 0;
    Operation operation = Operation::None;
    Key key = Key::Clear;
    bool operator==(const StepPiece&) const = default;
    static StepPiece ofLine(int n) { return {Kind::Line, n, Operation::None, Key::Clear}; }
    static StepPiece ofOperation(Operation op) { return {Kind::Operation, 0, op, Key::Clear}; }
    static StepPiece ofKey(Key k) { return {Kind::Key, 0, Operation::None, k}; }
    static StepPiece close() { return {Kind::Close, 0, Operation::None, Key::Clear}; }
};

// What the message strip says, as a kind with its parameters; messageText makes its words.
struct Message {
    enum class Kind { None, ChooseLine, Step, Solved, Hint, RepeatedLine, Notice, WriteLine };
    Kind kind = Kind::None;
    std::vector<StepPiece> step;  // Step
    std::string text;             // Hint: the hint's sentence; Notice: what the set's loader tells
    int line = 0, earlier = 0;    // RepeatedLine: line n repeats line earlier
    bool operator==(const Message&) const = default;
    static Message of(Kind k, std::string text = "") { return {k, {}, std::move(text), 0, 0}; }
    static Message repeated(int n, int earlier) { return {Kind::RepeatedLine, {}, "", n, earlier}; }
};
std::string messageText(const Message& m, char letter);

// The main window's state and the practice loop: showing a question, building a step from
// lines, an operation and a keypad operand, executing and judging it, correcting, and moving
// on. Plain logic: it talks to the windows only through PracticeView and the Prompter.
class Practice {
public:
    // set: the set practised, owned by the question document (or the page's drill).
    Practice(Engine& engine, QuestionSet& set, Typesetter& typesetter, PageBoxes& boxes, Prompter& prompter,
             PracticeView& view, FinishRecorder& recorder);

    // --- state, by its Windows-era names (glossary in ui/README.md) ---
    QuestionSet& questionSet;
    int currentUnit = 1;
    std::array<int, 21> currentQuestion{};  // by unit 1..20
    Stage selectionStage = Stage::Nothing;
    LastInput lastInput = LastInput::Nothing;
    int firstLine = 0;
    int secondLine = 0;
    Operation pendingOperation = Operation::None;
    bool stepPending = false;
    Outcome questionResult = Outcome::Open;  // the accepted verdict of the question shown
    bool questionFinished = false;
    bool blinkPhase = false;
    bool blinking = false;
    int lineCapacity = 12;
    Message message;             // lblMess
    std::vector<Key> operandKeys;  // pnlNumber: the operand as typed since the operation (a − starts it afresh)
    std::string messageText() const { return solvari::messageText(message, engine_.letter); }
    std::string operandText() const;  // the operand as the keys typed it: "-3分の2x"
    bool executeEnabled = false;
    bool nextEnabled = true;
    std::array<bool, 13> lineButtonEnabled{};  // btnShiki1..12
    bool hintUsed = false;  // a hint was shown on the question on the page
    Asking asking = Asking::Nothing;
    bool waiting() const { return asking != Asking::Nothing; }
    // 自分で計算する: after 実行 the program writes the sentence and the student the line.
    bool writesLines = false;
    std::string writtenLine;  // the line being written, as typed ("2x=7-3", "3分の2x=1")
    int wrongLines = 0;       // wrong tries at it; from the second on, 答えを見る is offered
    bool writing() const { return selectionStage == Stage::WritingLine; }
    bool lineOffered() const { return writing() && wrongLines >= 2; }
    // The question's wrong lines by mistake code, recorded with its finish.
    MistakeTally mistakes;

    // --- the step flow ---
    void selectLine(int n);
    void chooseOperation(Operation op);
    // The buttons "整理" and "移項" (and their keys) refuse a line that still has brackets.
    void chooseOperationChecked(Operation op);
    void keypad(Key key);
    void minusButton();
    void resetStep();
    void correct();  // btnTeiseiClick: only while the question is open
    // btnHint and the key '?': the solver's next step from the newest line, in the strip.
    void hint();
    // A notice in the message strip (the set was read as UTF-8, …), until the next input.
    void notice(std::string text);
    void refocus();
    void execute();  // btnJikkouClick
    void closeQuestion();
    void timBlinkTimer();
    void nextQuestion();
    void chooseUnit();
    // Shows question `question` of unit `unit` (the unit window's "Ｏ　Ｋ").
    void chooseQuestion(UnitChoice choice);

    // --- the answers to what the drill asks (each only while that question is open) ---
    void answer(bool yes);  // TakeBackStep, LeaveUnsolved, ChangeUnit
    void answerSpecial(Outcome choice);
    void answerUnit(std::optional<UnitChoice> choice);  // nothing: the window was cancelled
    bool offers(UnitChoice choice) const;  // a unit and question of the set

    void clearPage();
    bool showQuestion(int u, int q);
    bool startQuestionSet();

    // --- keys (the page window passes its keys on to these) ---
    void formKeyDown(int keyCode, bool shiftHeld);
    void formKeyPress(char key);

    // --- 自分で計算する ---
    void setWritesLines(bool on);  // a line being written is given up when the mode goes off
    void lineKey(LineKey key);
    void showLine();  // 答えを見る: the program's line, counted like a hint

    // The answer in words ("【答】x=3", "【答】解なし", "【答】解は無数にある") and its check by
    // substitution, as the answer box shows them; "" while the question is open.
    std::string answerText() const;
    std::string checkText() const;

    Engine& engine() { return engine_; }
    Typesetter& typesetter() { return typesetter_; }

    static constexpr int CHECK_FONT_PIXELS = 12;     // the check by substitution in the answer box
    static constexpr int CHECK_MIN_FONT_PIXELS = 8;
    static constexpr int CHECK_TOP = 17;  // the answer box's rows 0..15 lie under the star strip
    // Writes the check by substitution into an answer box (the page's, or the printed one's).
    static void writeCheck(Canvas& box, FontSpec font, const std::string& text);
    static constexpr const char* MSG_WRONG_STEP = "操作が誤りです。例①＋②［実行］";
    static constexpr const char* MSG_PAGE_FULL = "これ以上式を書けません。訂正してください";
    static constexpr const char* MSG_CHANGES_SOLUTION = "この計算をすると解が変わってしまいます";
    // After the unit's title in the page caption while the last finish could not be recorded.
    static constexpr const char* MSG_NOT_RECORDED = "　※記録できなかった問題があります";
    static constexpr const char* MSG_VERDICT_DISAGREES = "この式はもとの方程式と解が一致しません。訂正してください";

private:
    Engine& engine_;
    Typesetter& typesetter_;
    PageBoxes& boxes_;
    Prompter& prompter_;
    PracticeView& view_;
    FinishRecorder& recorder_;
    // The outcome of a finish comes back after the page was drawn; one for a drill that is gone
    // by then is dropped.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
    void recorded(const FileResult& r);

    // Everything the readers, the operations and the drawing have to tell the student goes
    // through here, in the order it came up.
    void tell(const std::vector<Diagnostic>& diagnostics);
    void setMessage(Message m);
    void addToStep(StepPiece piece);
    void setOperand(std::vector<Key> keys);
    void setExecute(bool on);
    void setNext(bool on);
    void setLineButton(int n, bool on);
    void setBlink(bool on);
    void ask(Asking what);
    // The new line of a step, once nothing is left to ask: checked, drawn and judged.
    void writeStep();
    // The verdict of the newest line and what follows from it (answer, record, consolation).
    void judge(int n);
    void concludeJudgement(int n);
    Outcome specialVerdict_ = Outcome::Open;  // what the line shows while SpecialSolution is asked
    int judgedLine_ = 0;
    void advance();
    void leaveQuestion(bool advanced);
    void dropNewLine();
    // Empties line n: its terms, sentence, box and line button.
    void eraseLine(int n);
    // The verdict the newest line already stands for, held against the question; OPEN when
    // the student still has a step to make.
    Outcome standingVerdict();
    // The strip of a half-built step while a hint borrows it.
    std::optional<Message> heldStepMessage_;
    void takeBackStrip();
    void closeIfOwnAnswer();
    bool unrecorded_ = false;  // the last finish could not be written
    void showCaption();
    // The question line's solution set, computed when it is shown: every step and verdict is
    // held against it. Empty when the line outgrows the exact arithmetic.
    std::optional<SolutionSet> questionSolution_;
    void drawCheck();  // the check by substitution, at the top of the answer box

    // The line being written: the step it answers and the line the program would write.
    Operation writingOperation_ = Operation::None;
    Term writingOperand_ = ZERO_TERM;
    EquationLine writingSource_, writingExpected_;
    Message writingStep_;  // the strip's words for the step, shown again once its line is written
    Engine scratch_;  // reads and judges written lines, never the page's engine
    void writeOrAwaitLine();
    void typeLine(const std::string& piece);
    void drawWrittenLine();
    void judgeWrittenLine();
    void endWriting();
};

}  // namespace solvari
