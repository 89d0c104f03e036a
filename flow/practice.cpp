#include "flow/practice.h"

#include <algorithm>

#include "engine/format.h"
#include "engine/sjis.h"
#include "engine/solution_set.h"
#include "transform/check_by_substitution.h"
#include "transform/hint.h"
#include "transform/line_judge.h"
#include "transform/line_marks.h"
#include "transform/operations.h"
#include "transform/repeated_line.h"

namespace solvari {

Practice::Practice(Engine& engine, QuestionSet& set, Typesetter& typesetter, PageBoxes& boxes, Prompter& prompter,
                   PracticeView& view, FinishRecorder& recorder)
    : questionSet(set),
      engine_(engine), typesetter_(typesetter), boxes_(boxes), prompter_(prompter), view_(view), recorder_(recorder) {
    currentQuestion.fill(1);
}

// ---------------------------------------------------------------- the strip's words

std::string keyText(Key k, char letter) {
    switch (k) {
        case Key::Point: return ".";
        case Key::Minus: return "-";
        case Key::Fraction: return "分の";
        case Key::Letter: return std::string(1, letter);
        case Key::Clear: return "";
        default: return std::string(1, static_cast<char>('0' + (static_cast<int>(k) - static_cast<int>(Key::Digit0))));
    }
}

std::string writtenLineSyntax(const std::string& typed) {
    static const std::string kBunno = "分の";
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    std::string out;
    for (size_t i = 0; i < typed.size();) {
        if (typed.compare(i, kBunno.size(), kBunno) != 0) {
            out += typed[i++];
            continue;
        }
        size_t d = out.size();
        while (d > 0 && isDigit(out[d - 1])) --d;
        size_t end = i + kBunno.size();
        while (end < typed.size() && isDigit(typed[end])) ++end;
        const std::string numerator = typed.substr(i + kBunno.size(), end - i - kBunno.size());
        if (d == out.size() || numerator.empty()) {  // left for the reader to refuse
            out += kBunno;
            i += kBunno.size();
            continue;
        }
        const std::string denominator = out.substr(d);
        out.resize(d);
        out += numerator + "/" + denominator;
        i = end;
    }
    return out;
}

static const char* operationWords(Operation op) {
    switch (op) {
        case Operation::Multiply: return "×";
        case Operation::Divide: return "÷";
        case Operation::Add: return "＋";
        case Operation::Subtract: return "－";
        case Operation::Collect: return "の両辺を計算して整理する";
        case Operation::Transpose: return "を移項する";
        case Operation::Brackets: return "のかっこをはずす";
        case Operation::None: break;
    }
    return "";
}

std::string messageText(const Message& m, char letter) {
    switch (m.kind) {
        case Message::Kind::None: return "";
        case Message::Kind::ChooseLine: return "式を指定してください";
        case Message::Kind::Solved: return "解が出ました";
        case Message::Kind::Hint:
        case Message::Kind::Notice: return m.text;
        case Message::Kind::RepeatedLine: return repeatedLineMessage(m.line, m.earlier);
        case Message::Kind::WriteLine: return "計算した式を書いて［実行］を押してください";
        case Message::Kind::Step: break;
    }
    std::string text;
    for (const StepPiece& p : m.step) {
        switch (p.kind) {
            case StepPiece::Kind::Line: text += lineMark(p.line) + "式"; break;
            case StepPiece::Kind::Operation: text += operationWords(p.operation); break;
            // A negative operand reads in brackets: "×(-5)".
            case StepPiece::Kind::Key: text += p.key == Key::Minus ? "(-" : keyText(p.key, letter); break;
            case StepPiece::Kind::Close: text += ")"; break;
        }
    }
    return text;
}

std::string askingText(Asking a) {
    switch (a) {
        case Asking::TakeBackStep: return ASK_NOTHING_TO_TRANSPOSE;
        case Asking::LeaveUnsolved: return "まだ解が出ていませんが次の問題に進みますか";
        case Asking::ChangeUnit: return "終了しました。単元を変えますか";
        case Asking::SpecialSolution: return "解の種類を選んでください";
        case Asking::Nothing:
        case Asking::Unit: break;
    }
    return "";
}

std::string askingCaption(Asking a) {
    switch (a) {
        case Asking::TakeBackStep: return ASK_NOTHING_TO_TRANSPOSE_CAPTION;
        case Asking::LeaveUnsolved:
        case Asking::ChangeUnit: return "確認";
        case Asking::SpecialSolution: return "特殊な解";
        case Asking::Nothing:
        case Asking::Unit: break;
    }
    return "";
}

void answerModally(Practice& practice, Prompter& prompter, const std::function<std::optional<UnitChoice>()>& unitWindow) {
    switch (const Asking a = practice.asking) {
        case Asking::Nothing: return;
        case Asking::SpecialSolution: return practice.answerSpecial(prompter.chooseSpecialSolution());
        case Asking::Unit: return practice.answerUnit(unitWindow ? unitWindow() : std::nullopt);
        case Asking::TakeBackStep:
        case Asking::LeaveUnsolved:
        case Asking::ChangeUnit: return practice.answer(prompter.askYesNo(askingText(a), askingCaption(a)) == Answer::Yes);
    }
}

std::string Practice::operandText() const {
    std::string text;
    for (Key k : operandKeys) text += keyText(k, engine_.letter);
    return text;
}

// ---------------------------------------------------------------- view state

void Practice::tell(const std::vector<Diagnostic>& diagnostics) { showDiagnostics(diagnostics, prompter_); }

void Practice::setMessage(Message m) {
    message = std::move(m);
    view_.showMessage(messageText());
}

void Practice::addToStep(StepPiece piece) {
    Message m = message.kind == Message::Kind::Step ? message : Message::of(Message::Kind::Step);
    m.step.push_back(piece);
    setMessage(std::move(m));
}

void Practice::setOperand(std::vector<Key> keys) {
    operandKeys = std::move(keys);
    view_.showDisplay(operandText());
}

void Practice::setExecute(bool on) {
    executeEnabled = on;
    view_.setExecuteEnabled(on);
}

void Practice::setNext(bool on) {
    nextEnabled = on;
    view_.setNextEnabled(on);
}

void Practice::setLineButton(int n, bool on) {
    if (n < 1 || n > 12) return;  // there are line buttons for lines 1..12 only
    lineButtonEnabled[static_cast<size_t>(n)] = on;
    view_.setLineButtonEnabled(n, on);
}

void Practice::setBlink(bool on) {
    blinking = on;
    view_.setBlinking(on);
}

void Practice::refocus() {
    if (executeEnabled) view_.focusExecute();
    else if (nextEnabled) view_.focusNext();
}

// ---------------------------------------------------------------- building a step

void Practice::selectLine(int n) {
    if (waiting()) return;
    takeBackStrip();
    if (questionFinished || writing() || n < 1 || n > engine_.targetLine) return;
    if (lastInput == LastInput::Line || lastInput == LastInput::Keypad) {
        prompter_.inform(MSG_WRONG_STEP);
        return;
    }
    if (lastInput == LastInput::Nothing) setMessage({});
    if (selectionStage == Stage::Nothing) {
        firstLine = n;
        selectionStage = Stage::FirstLine;
    } else if (selectionStage == Stage::OperationChosen) {
        secondLine = n;
        selectionStage = Stage::SecondLine;
    }
    lastInput = LastInput::Line;
    stepPending = true;
    addToStep(StepPiece::ofLine(n));
}

void Practice::chooseOperation(Operation op) {
    if (waiting()) return;
    takeBackStrip();
    if (selectionStage != Stage::FirstLine) {
        prompter_.inform(MSG_WRONG_STEP);
        return;
    }
    if (op == Operation::None) return;
    pendingOperation = op;
    addToStep(StepPiece::ofOperation(op));
    setExecute(true);
    selectionStage = Stage::OperationChosen;
    lastInput = LastInput::OperationButton;
    refocus();
}

void Practice::chooseOperationChecked(Operation op) {
    if (waiting()) return;
    if ((op == Operation::Collect || op == Operation::Transpose) && selectionStage == Stage::FirstLine &&
        hasGroup(engine_.line(firstLine))) {
        prompter_.inform(op == Operation::Collect ? Engine::MSG_COLLECT_GROUPS : Engine::MSG_TRANSPOSE_GROUPS);
        return;
    }
    chooseOperation(op);
}

void Practice::keypad(Key key) {
    if (waiting()) return;
    takeBackStrip();
    if (writing()) {
        if (key == Key::Clear) writtenLine.clear();
        typeLine(keyText(key, engine_.letter));
        return;
    }
    if (selectionStage != Stage::OperationChosen) return;
    std::vector<StepPiece>& typed = message.step;
    const auto typedBefore = [&](Key k) {
        return std::any_of(typed.begin(), typed.end(),
                           [k](const StepPiece& p) { return p.kind == StepPiece::Kind::Key && p.key == k; });
    };
    // One 分の, one letter and one point to an operand.
    if ((key == Key::Fraction || key == Key::Letter || key == Key::Point) && typedBefore(key)) return;
    if (key == Key::Clear) {
        Message m = message;
        // CL takes back the operand: from its first − when it has one, else what the display holds.
        const auto minus = std::find(m.step.begin(), m.step.end(), StepPiece::ofKey(Key::Minus));
        if (minus != m.step.end()) {
            m.step.erase(minus, m.step.end());
        } else {
            const std::size_t keep = m.step.size() - std::min(m.step.size(), operandKeys.size());
            m.step.resize(keep);
        }
        if (m.kind == Message::Kind::Step) setMessage(std::move(m));
        setOperand({});
        refocus();
        return;
    }
    if (key == Key::Minus) {
        setOperand({Key::Minus});
        addToStep(StepPiece::ofKey(Key::Minus));
        refocus();
        return;
    }
    std::vector<Key> keys = operandKeys;
    keys.push_back(key);
    setOperand(std::move(keys));
    addToStep(StepPiece::ofKey(key));
    lastInput = LastInput::Keypad;
    setExecute(true);
    refocus();
}

void Practice::minusButton() {
    if (waiting()) return;
    if (operandKeys.empty() || writing()) keypad(Key::Minus);
    else prompter_.inform("－の位置が間違っています");
}

void Practice::resetStep() {
    takeBackStrip();
    endWriting();
    stepPending = false;
    view_.clearHoverFrames();
    if ((lastInput == LastInput::Nothing || messageText().empty()) && engine_.targetLine > 1) {
        // no step is being built: take back the newest line (never the question)
        eraseLine(engine_.targetLine);
        engine_.targetLine -= 1;
    }
    setMessage({});
    lastInput = LastInput::Nothing;
    selectionStage = Stage::Nothing;
    firstLine = 0;
    secondLine = 0;
    pendingOperation = Operation::None;
    setExecute(false);
    setOperand({});
}

void Practice::correct() {
    if (waiting()) return;
    if (!questionFinished) resetStep();
}

void Practice::hint() {
    if (waiting()) return;
    // The line being written is the student's to work out; 答えを見る is there for it.
    if (questionFinished || writing() || engine_.targetLine < QUESTION_LINE) return;
    // A line picked and nothing more is dropped: typing '?' takes Shift, which alone picks the
    // newest line. A step with its operation chosen stays: the hint borrows the strip, and
    // the student's next input takes it back.
    if (selectionStage == Stage::FirstLine && !heldStepMessage_) resetStep();
    const std::optional<Hint> h = hintFor(engine_, engine_.targetLine);
    if (h) hintUsed = true;
    if (selectionStage != Stage::Nothing && !heldStepMessage_) heldStepMessage_ = message;
    setMessage(Message::of(Message::Kind::Hint, h ? h->sentence : HINT_NONE));
}

void Practice::notice(std::string text) { setMessage(Message::of(Message::Kind::Notice, std::move(text))); }

void Practice::takeBackStrip() {
    if (!heldStepMessage_) return;
    setMessage(std::move(*heldStepMessage_));
    heldStepMessage_.reset();
}

Outcome Practice::standingVerdict() {
    const int n = engine_.targetLine;
    if (n < QUESTION_LINE || !questionSolution_) return Outcome::Open;
    const EquationLine answer = engine_.line(ANSWER_LINE);
    const Outcome v = classifyLine(engine_, n);
    const bool agrees = v != Outcome::Open && verdictAgrees(engine_, v, *questionSolution_);
    engine_.line(ANSWER_LINE) = answer;  // only asked, not yet the answer
    return agrees ? v : Outcome::Open;
}

// ---------------------------------------------------------------- executing a step

void Practice::execute() {
    if (waiting()) return;
    takeBackStrip();
    if (writing()) return judgeWrittenLine();
    // 実行 with nothing built on a line that already has its verdict (the choice closed
    // unanswered, or a question that is its own answer): take the verdict now.
    if (selectionStage == Stage::Nothing && lastInput == LastInput::Nothing && !questionFinished &&
        standingVerdict() != Outcome::Open) {
        judge(engine_.targetLine);
        return;
    }
    view_.clearHoverFrames();
    stepPending = false;
    if (message.kind == Message::Kind::Step &&
        std::find(message.step.begin(), message.step.end(), StepPiece::ofKey(Key::Minus)) !=
            message.step.end())
        addToStep(StepPiece::close());

    const std::string typed = operandText();
    std::vector<Diagnostic> read;
    Term operand = engine_.parseOperand(typed, read);
    tell(read);
    if (operand.den == 0) return;  // the reader has said what is wrong
    engine_.operandTerm = operand;

    const bool scaling = pendingOperation == Operation::Multiply || pendingOperation == Operation::Divide;
    const bool needsOperand = scaling || pendingOperation == Operation::Add || pendingOperation == Operation::Subtract;
    if (selectionStage == Stage::Nothing || selectionStage == Stage::FirstLine ||
        (selectionStage == Stage::OperationChosen && operandKeys.empty() && needsOperand) ||
        (selectionStage == Stage::SecondLine && scaling && lastInput == LastInput::Line)) {
        prompter_.inform(MSG_WRONG_STEP);
        return;
    }
    // A step never writes beyond the last box of the page (nor into the answer line above it).
    if (engine_.targetLine + 1 > lineCapacity || engine_.targetLine + 1 > LAST_WORK_LINE) {
        prompter_.inform(MSG_PAGE_FULL);
        return;
    }

    engine_.targetLine += 1;
    engine_.clearLine(engine_.targetLine);
    setOperand({});
    selectionStage = Stage::Nothing;
    Step step{pendingOperation, firstLine, secondLine, lastInput == LastInput::Line, operand, typed};
    const StepResult result = applyOperation(engine_, step);
    tell(result.diagnostics);
    if (!result.written) return dropNewLine();
    if (result.askCorrection) return ask(Asking::TakeBackStep);
    writeOrAwaitLine();
}

void Practice::writeStep() {
    const int n = engine_.targetLine;
    // Whatever path built it, a line that does not have the question's solution set is never
    // written: combining a line with itself or with its negation would otherwise "solve" it.
    const auto& questionSet = questionSolution_;
    const auto lineSet = solutionSetOf(engine_.line(n));
    if (!questionSet || !lineSet || !(*questionSet == *lineSet)) {
        prompter_.inform(questionSet && lineSet ? MSG_CHANGES_SOLUTION : Engine::MSG_TOO_LARGE);
        return dropNewLine();
    }
    typesetter_.drawSentence(n, engine_.line(n).text);
    tell(typesetter_.drawLine(n));
    firstLine = 0;

    stepPending = false;
    if (n <= lineCapacity) setLineButton(n, true);
    judge(n);
}

// A step that is not written: the line reserved for it is emptied and the step starts again.
void Practice::dropNewLine() {
    eraseLine(engine_.targetLine);
    resetStep();
    engine_.targetLine -= 1;
}

void Practice::eraseLine(int n) {
    engine_.clearLine(n);
    engine_.line(n).text.clear();
    if (Canvas* box = boxes_.lineBox(n)) Typesetter::clearBox(*box);
    setLineButton(n, false);
}

void Practice::judge(int n) {
    Outcome verdict = classifyLine(engine_, n);
    if (verdict != Outcome::Open && !verdictAgrees(engine_, verdict, *questionSolution_)) {
        prompter_.inform(MSG_VERDICT_DISAGREES);
        verdict = Outcome::Open;
    }
    if (verdict == Outcome::Open) {
        questionResult = Outcome::Open;
        // The step stays; the student sees the circle and can take it back with 訂正.
        if (const int earlier = repeatedLine(engine_, n)) setMessage(Message::repeated(n, earlier));
    } else if (verdict == Outcome::Solved) {
        questionResult = Outcome::Solved;
        setMessage(Message::of(Message::Kind::Solved));
        tell(typesetter_.drawLine(ANSWER_LINE));
        drawCheck();
    } else {
        // The student names the special case before the question closes.
        specialVerdict_ = verdict;
        judgedLine_ = n;
        return ask(Asking::SpecialSolution);
    }
    concludeJudgement(n);
}

void Practice::concludeJudgement(int n) {
    if (questionResult != Outcome::Open) {
        closeQuestion();
        // The verdict is on the page already; the record is written after it.
        recorder_.recordFinish(questionSet.unitTitle.at(static_cast<size_t>(currentUnit)),
                               currentQuestion[static_cast<size_t>(currentUnit)],
                               hintUsed ? Finish::AfterHint : Finish::Plain,
                               [this, alive = std::weak_ptr<int>(alive_)](const FileResult& r) {
                                   if (alive.lock()) recorded(r);
                               },
                               mistakes);
    } else if (n >= lineCapacity) {
        prompter_.inform("残念ですが" + std::to_string(lineCapacity - 1) + "回の操作では解けませんでした");
    }
    selectionStage = Stage::Nothing;
    lastInput = LastInput::Nothing;
    setExecute(false);
    refocus();
}

// ---------------------------------------------------------------- questions to the student

void Practice::ask(Asking what) {
    asking = what;
    view_.ask(what);
}

void Practice::answer(bool yes) {
    const Asking was = asking;
    if (was != Asking::TakeBackStep && was != Asking::LeaveUnsolved && was != Asking::ChangeUnit) return;
    asking = Asking::Nothing;
    switch (was) {
        case Asking::TakeBackStep:
            if (yes) dropNewLine();
            else writeOrAwaitLine();
            break;
        case Asking::LeaveUnsolved:
            if (yes) advance();
            else leaveQuestion(false);
            break;
        case Asking::ChangeUnit:
            if (yes) chooseUnit();
            break;
        default: break;
    }
}

// The choice is asked again until the student names the case the line shows, or closes it;
// closed, the verdict waits for the next 実行.
void Practice::answerSpecial(Outcome choice) {
    if (asking != Asking::SpecialSolution) return;
    asking = Asking::Nothing;
    if (choice == Outcome::Solved) return ask(Asking::SpecialSolution);  // no button of the choice
    if (choice != Outcome::Open) {
        const bool none = specialVerdict_ == Outcome::NoSolution;
        if (choice != (none ? Outcome::NoSolution : Outcome::AllValues)) {
            prompter_.inform(none ? "解が無数？？もう一度考えてみましょう" : "解なし？？もう一度考えてみましょう");
            return ask(Asking::SpecialSolution);
        }
        questionResult = none ? Outcome::NoSolution : Outcome::AllValues;
        typesetter_.drawAnswerText(ANSWER_LINE, answerText());
        drawCheck();
    }
    concludeJudgement(judgedLine_);
}

// A choice of no unit or question of the set leaves the window open: it cannot offer one.
void Practice::answerUnit(std::optional<UnitChoice> choice) {
    if (asking != Asking::Unit || (choice && !offers(*choice))) return;
    asking = Asking::Nothing;
    if (choice) chooseQuestion(*choice);
}

std::string Practice::answerText() const {
    if (questionResult == Outcome::NoSolution) return "【答】解なし";
    if (questionResult == Outcome::AllValues) return "【答】解は無数にある";
    // A question that is its own answer (x=3) is answered with no verdict taken.
    if (questionResult == Outcome::Solved || questionFinished)
        return "【答】" + lineToText(engine_.line(ANSWER_LINE), engine_.hasDecimal);
    return "";
}

std::string Practice::checkText() const {
    if (answerText().empty() || !questionSolution_) return "";
    return checkBySubstitution(engine_.line(QUESTION_LINE), *questionSolution_, engine_.letter, engine_.hasDecimal);
}

void Practice::drawCheck() {
    Canvas* box = boxes_.lineBox(ANSWER_LINE);
    if (!box) return;
    writeCheck(*box, typesetter_.sentenceFont(), checkText());
}

void Practice::writeCheck(Canvas& box, FontSpec font, const std::string& text) {
    if (text.empty()) return;
    // Between the star strip laid over the box's top 16 rows and the answer's text row. A
    // Shift-JIS byte is about half the pixel size wide: a long check (large fractions) gets a
    // smaller font rather than a clipped right side.
    const int bytes = std::max(1, static_cast<int>(sjisLength(text)));
    font.pixelSize = std::clamp(box.width() * 2 / bytes, CHECK_MIN_FONT_PIXELS, CHECK_FONT_PIXELS);
    box.setFont(font);
    box.textOut(0, CHECK_TOP, text);
}

// ---------------------------------------------------------------- questions

void Practice::recorded(const FileResult& r) {
    if (!r.ok && !r.error.empty()) prompter_.inform(r.error);
    // The box is told once per run; the caption keeps saying it until a finish is recorded
    // again, so a later failure is never silent.
    if (r.ok == unrecorded_) {
        unrecorded_ = !r.ok;
        showCaption();
    }
}

void Practice::showCaption() {
    std::string caption = questionSet.unitTitle.at(static_cast<size_t>(currentUnit));
    if (unrecorded_) caption += MSG_NOT_RECORDED;
    view_.setPageCaption(caption);
}

void Practice::closeQuestion() {
    questionFinished = true;  // before the box is placed: it shows the answer
    view_.placeSolutionBox(engine_.targetLine);
    setMessage(Message::of(Message::Kind::Solved));
    setBlink(true);
    setNext(true);
    view_.focusNext();
}

void Practice::timBlinkTimer() {
    view_.setNextPicture(blinkPhase);
    blinkPhase = !blinkPhase;
}

void Practice::clearPage() {
    for (int n = 1; n <= lineCapacity; ++n) eraseLine(n);
    if (Canvas* box = boxes_.lineBox(ANSWER_LINE)) Typesetter::clearBox(*box);
    engine_.clearLine(ANSWER_LINE);
    questionResult = Outcome::Open;
    engine_.targetLine = 0;
    firstLine = 0;
    secondLine = 0;
    endWriting();
    selectionStage = Stage::Nothing;
    view_.hideSolutionBox();
    setMessage({});
    setExecute(false);
    setNext(true);
    lastInput = LastInput::Nothing;
}

bool Practice::showQuestion(int u, int q) {
    std::vector<Diagnostic> read;
    const bool parsed =
        engine_.parseEquation(QUESTION_LINE, questionSet.questionText.at(static_cast<size_t>(u)).at(static_cast<size_t>(q)), read);
    tell(read);
    if (!parsed) return false;
    engine_.targetLine = 1;
    questionSolution_ = solutionSetOf(engine_.line(QUESTION_LINE));
    engine_.line(1).text = "（" + std::to_string(q) + "）" + " " + "次の方程式を解きなさい";
    tell(typesetter_.drawLine(1));
    typesetter_.drawSentence(1, engine_.line(1).text);
    view_.setLetterCaption(engine_.letter);
    setMessage(Message::of(Message::Kind::ChooseLine));
    setLineButton(1, true);
    hintUsed = false;
    mistakes.clear();
    return true;
}

bool Practice::startQuestionSet() {
    asking = Asking::Nothing;  // a new set answers nothing of the old one
    clearPage();
    if (!showQuestion(1, 1)) return false;
    currentUnit = 1;
    currentQuestion.fill(1);
    showCaption();
    setBlink(false);
    questionFinished = false;
    closeIfOwnAnswer();
    return true;
}

// A question that is its own answer already (x=3) is shown finished, with no finish recorded.
void Practice::closeIfOwnAnswer() {
    if (engine_.targetLine != QUESTION_LINE || classifyLine(engine_, QUESTION_LINE) != Outcome::Solved) return;
    tell(typesetter_.drawLine(ANSWER_LINE));
    closeQuestion();
    drawCheck();
    selectionStage = Stage::Nothing;
    lastInput = LastInput::Nothing;
}

void Practice::nextQuestion() {
    if (waiting()) return;
    if (questionResult != Outcome::Open) advance();
    else ask(Asking::LeaveUnsolved);
}

// The unit's next question; after its last one the student is asked whether to change the unit.
void Practice::advance() {
    const int u = currentUnit;
    int& q = currentQuestion[static_cast<size_t>(u)];
    const bool last = q >= questionSet.questionCount.at(static_cast<size_t>(u));
    if (!last) {
        clearPage();
        ++q;
        showQuestion(u, q);
        showCaption();
    }
    leaveQuestion(true);
    if (last) ask(Asking::ChangeUnit);
}

void Practice::leaveQuestion(bool advanced) {
    setBlink(false);
    view_.setNextPicture(false);
    questionFinished = false;
    if (advanced) closeIfOwnAnswer();
}

void Practice::chooseUnit() {
    if (!waiting()) ask(Asking::Unit);
}

bool Practice::offers(UnitChoice c) const {
    return c.unit >= 1 && c.unit <= questionSet.unitCount && c.question >= 1 &&
           c.question <= questionSet.questionCount.at(static_cast<size_t>(c.unit));
}

void Practice::chooseQuestion(UnitChoice choice) {
    if (waiting() || !offers(choice)) return;
    currentUnit = choice.unit;
    currentQuestion[static_cast<size_t>(choice.unit)] = choice.question;
    questionFinished = false;
    setBlink(false);
    resetStep();
    clearPage();
    showQuestion(currentUnit, choice.question);
    showCaption();
    closeIfOwnAnswer();
}

// ---------------------------------------------------------------- keys

void Practice::formKeyDown(int keyCode, bool shiftHeld) {
    if (waiting()) return;
    if (shiftHeld && selectionStage == Stage::Nothing) {
        selectLine(engine_.targetLine);
        return;
    }
    if (keyCode == KEY_ENTER) execute();
    else if (keyCode == KEY_ESCAPE) correct();
    else if (keyCode == KEY_DELETE) keypad(Key::Clear);
    else if (keyCode == KEY_BACKSPACE && writing()) lineKey(LineKey::Back);
    refocus();
}

void Practice::formKeyPress(char key) {
    if (waiting()) return;
    if (key == '?') {
        hint();
        refocus();
        return;
    }
    if (writing()) {
        switch (key) {
            case '+': lineKey(LineKey::Plus); break;
            case '=': lineKey(LineKey::Equals); break;
            case '(': lineKey(LineKey::Open); break;
            case ')': lineKey(LineKey::Close); break;
            case '/': lineKey(LineKey::Slash); break;
            case '-': keypad(Key::Minus); break;
            case '.': keypad(Key::Point); break;
            case 'B': case 'b': keypad(Key::Fraction); break;
            default:
                if (key >= '0' && key <= '9') keypad(digitKey(key - '0'));
                else if (key == engine_.letter) keypad(Key::Letter);
                break;
        }
    } else if (selectionStage == Stage::FirstLine) {
        switch (key) {
            case '*': chooseOperation(Operation::Multiply); break;
            case '/': chooseOperation(Operation::Divide); break;
            case '+': chooseOperation(Operation::Add); break;
            case '-': chooseOperation(Operation::Subtract); break;
            case 'S': case 's': chooseOperationChecked(Operation::Collect); break;
            case 'I': case 'i': chooseOperationChecked(Operation::Transpose); break;
            case 'K': case 'k': chooseOperation(Operation::Brackets); break;
            default: break;
        }
    } else if (selectionStage == Stage::OperationChosen) {
        if (key >= '0' && key <= '9') keypad(digitKey(key - '0'));
        else if (key == '-') keypad(Key::Minus);
        else if (key == '.') keypad(Key::Point);
        else if (key == 'B' || key == 'b') keypad(Key::Fraction);
        else if (key == engine_.letter) keypad(Key::Letter);
    }
    refocus();
}

// ---------------------------------------------------------------- 自分で計算する

void Practice::setWritesLines(bool on) {
    if (waiting() || on == writesLines) return;
    if (writing()) resetStep();  // the reserved line goes with the line being written
    writesLines = on;
}

// A step's new line, once nothing is left to ask: written by the program, or, in 自分で計算する,
// by the student (line sums stay the program's).
void Practice::writeOrAwaitLine() {
    const int n = engine_.targetLine;
    const bool lineSum = (pendingOperation == Operation::Add || pendingOperation == Operation::Subtract) &&
                         lastInput == LastInput::Line;
    if (!writesLines || lineSum) return writeStep();
    const auto lineSet = solutionSetOf(engine_.line(n));
    if (!questionSolution_ || !lineSet || !(*questionSolution_ == *lineSet)) return writeStep();  // refused there
    writingOperation_ = pendingOperation;
    writingOperand_ = engine_.operandTerm;
    writingSource_ = engine_.line(firstLine);
    writingExpected_ = engine_.line(n);
    writingStep_ = message;
    selectionStage = Stage::WritingLine;
    lastInput = LastInput::Nothing;  // 訂正 takes the reserved line back
    writtenLine.clear();
    wrongLines = 0;
    setMessage(Message::of(Message::Kind::WriteLine));
    drawWrittenLine();
    setExecute(true);
    view_.showWriting(true, false);
    refocus();
}

void Practice::lineKey(LineKey key) {
    if (waiting() || !writing()) return;
    switch (key) {
        case LineKey::Plus: return typeLine("+");
        case LineKey::Equals: return typeLine("=");
        case LineKey::Open: return typeLine("(");
        case LineKey::Close: return typeLine(")");
        case LineKey::Slash: return typeLine("/");
        case LineKey::Back: {
            const std::string bunno = keyText(Key::Fraction, engine_.letter);  // one key, taken back whole
            if (writtenLine.ends_with(bunno)) writtenLine.resize(writtenLine.size() - bunno.size());
            else if (!writtenLine.empty()) writtenLine.pop_back();
            return typeLine("");
        }
    }
}

void Practice::typeLine(const std::string& piece) {
    // A line the page could not hold is not worth typing on: the reader refuses it anyway.
    if (writtenLine.size() + piece.size() > 120) return;
    writtenLine += piece;  // the strip keeps what was said of the last try while it is mended
    drawWrittenLine();
    refocus();
}

// What is typed, on its line of the page as it will stand there (the box keeps the sentence
// alone while the text cannot be read yet), and in the keypad's display as typed.
void Practice::drawWrittenLine() {
    const int n = engine_.targetLine;
    view_.showDisplay(writtenLine);
    EquationLine shown;
    std::vector<Diagnostic> ignored;
    scratch_.maxEquationBytes = 255;
    scratch_.letterRequired = false;
    const bool read = !writtenLine.empty() && scratch_.parseEquation(0, writtenLineSyntax(writtenLine), ignored);
    if (read) shown = scratch_.line(0);
    shown.text = writingExpected_.text;
    engine_.line(n) = shown;
    if (Canvas* box = boxes_.lineBox(n)) Typesetter::clearBox(*box);
    typesetter_.drawSentence(n, shown.text);
    if (read) (void)typesetter_.drawLine(n);  // a line too wide is told when it is taken
}

void Practice::judgeWrittenLine() {
    const int n = engine_.targetLine;
    if (writtenLine.empty()) return setMessage(Message::of(Message::Kind::WriteLine));
    const LineJudgement j = solvari::judgeWrittenLine(scratch_, writingSource_, writingOperation_, writingOperand_,
                                                      writtenLineSyntax(writtenLine));
    if (j.verdict == LineJudgement::Verdict::Invalid) {  // the step itself could not be made
        prompter_.inform(j.message);
        return resetStep();
    }
    if (j.verdict == LineJudgement::Verdict::Refused) {
        // An unreadable line is the reader's business, not a wrong line.
        if (j.mistake != Mistake::Unreadable) {
            ++mistakes[mistakeCode(j.mistake)];
            ++wrongLines;
        }
        notice(j.message);
        view_.showWriting(true, lineOffered());
        return refocus();
    }
    EquationLine line = j.written;
    line.text = writingExpected_.text;
    engine_.line(n) = line;
    endWriting();
    setMessage(writingStep_);  // the step, as the strip says it once a line is written
    writeStep();
    if (j.verdict == LineJudgement::Verdict::Noted && !questionFinished && !waiting() &&
        message.kind != Message::Kind::RepeatedLine)
        notice(j.message);
}

void Practice::showLine() {
    if (waiting() || !lineOffered()) return;
    engine_.line(engine_.targetLine) = writingExpected_;
    hintUsed = true;  // a finish after it counts as one after a hint
    endWriting();
    setMessage(writingStep_);
    writeStep();
}

// Leaves the writing of a line (the line was taken, shown, or given up with its step).
void Practice::endWriting() {
    const bool was = writing() || !writtenLine.empty();
    if (selectionStage == Stage::WritingLine) selectionStage = Stage::Nothing;
    writtenLine.clear();
    wrongLines = 0;
    if (was) {
        view_.showDisplay("");
        view_.showWriting(false, false);
    }
}

}  // namespace solvari
