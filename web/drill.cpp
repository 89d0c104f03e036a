#include "web/drill.h"

#include <utility>

#include "engine/format.h"
#include "engine/solution_set.h"
#include "flow/question_set.h"
#include "transform/check_by_substitution.h"

namespace solvari::web {

// ---------------------------------------------------------------- boxes

int RecordingBox::textOut(int x, int y, const std::string& utf8) {
    DrawOp op;
    op.kind = DrawOp::Text;
    op.font = font_;
    op.x1 = x;
    op.y1 = y;
    op.text = utf8;
    ops_.push_back(std::move(op));
    changed();
    return x + (measure_ && *measure_ ? (*measure_)(font_, utf8) : 0);
}

void RecordingBox::line(int x1, int y1, int x2, int y2, Color pen) {
    ops_.push_back(DrawOp{DrawOp::Line, {}, x1, y1, x2, y2, pen, {}});
    changed();
}

void RecordingBox::rectangle(int left, int top, int right, int bottom, Color pen) {
    // The same frame again on top of everything changes no pixel.
    if (!ops_.empty()) {
        const DrawOp& last = ops_.back();
        if (last.kind == DrawOp::Rectangle && last.x1 == left && last.y1 == top && last.x2 == right && last.y2 == bottom && last.pen == pen)
            return;
    }
    // A frame drawn again over the same place covers the earlier one entirely: keep only the
    // newest, so hovering back and forth does not grow the list.
    std::erase_if(ops_, [&](const DrawOp& op) {
        return op.kind == DrawOp::Rectangle && op.x1 == left && op.y1 == top && op.x2 == right && op.y2 == bottom;
    });
    ops_.push_back(DrawOp{DrawOp::Rectangle, {}, left, top, right, bottom, pen, {}});
    changed();
}

void RecordingBox::clear() {
    ops_.clear();
    changed();
}

class Drill::Boxes : public PageBoxes {
public:
    explicit Boxes(Drill& d) : d_(d) {}
    Canvas* lineBox(int n) override { return d_.lineBox(n); }

private:
    Drill& d_;
};

Canvas* Drill::lineBox(int n) {
    if ((n >= 1 && n <= LINE_CAPACITY) || n == ANSWER_LINE) return &live_.boxes[static_cast<size_t>(n)];
    return nullptr;
}

// ---------------------------------------------------------------- the views

class Drill::View : public PracticeView {
public:
    explicit View(Drill& d) : d_(d) {}
    void showMessage(const std::string& text) override { page().message = text; }
    void showDisplay(const std::string& text) override { page().display = text; }
    void setExecuteEnabled(bool on) override { page().executeEnabled = on; }
    void setNextEnabled(bool on) override { page().nextEnabled = on; }
    void setLineButtonEnabled(int n, bool on) override {
        if (n >= 1 && n <= 12) page().lineButtonEnabled[static_cast<size_t>(n)] = on;
    }
    void focusExecute() override { focus("execute"); }
    void focusNext() override { focus("next"); }
    void setBlinking(bool on) override { page().blinking = on; }
    void setNextPicture(bool second) override { page().nextPicture = second; }
    void setPageCaption(const std::string& text) override { page().caption = text; }
    void setLetterCaption(char letter) override { page().letter = letter; }
    // The answer group beside the newest line: on a page of two columns of six, the solution
    // on line 5 or 6 stands at the top of the right column, on line 12 it stays where it was.
    void placeSolutionBox(int line) override {
        SolutionPlace& s = page().solution;
        if (line < LINE_CAPACITY) {
            const int half = LINE_CAPACITY / 2;
            if (line == half - 1 || line == half) s.box = half + 1, s.below = false;
            else s.box = line >= 1 && line <= LINE_CAPACITY ? line : half, s.below = true;
        }
        s.visible = true;
        d_.describeAnswer();
    }
    void hideSolutionBox() override {
        page().solution.visible = false;
        page().answer.clear();
        page().check.clear();
    }
    void clearHoverFrames() override { d_.eraseFrames(); }
    void ask(Asking) override {}  // the page reads it from the core and shows its box

private:
    Drill& d_;
    PageState& page() { return d_.live_; }
    void focus(const char* what) {
        page().focus = what;
        ++page().focusCount;
    }
};

class Drill::Asker : public Prompter {
public:
    explicit Asker(Drill& d) : d_(d) {}
    void inform(const std::string& text) override { d_.notice(text); }
    void warn(const std::string& text, const std::string& caption) override { d_.notice(caption + "|" + text); }
    // Its answer changes nothing (the work went on without it): a notice.
    Answer askAbortRetryIgnore(const std::string& text, const std::string& caption) override {
        d_.notice(caption + "|" + text);
        return Answer::Ignore;
    }
    // The drill's own questions wait in the core (Practice::asking); nothing in the page's
    // drill asks through a modal box.
    Answer askYesNo(const std::string&, const std::string&) override { return Answer::No; }
    Answer askYesNoCancel(const std::string&, const std::string&) override { return Answer::Cancel; }
    Outcome chooseSpecialSolution() override { return Outcome::Open; }
    std::optional<std::string> askText(const std::string&, const std::string&, const std::string&) override {
        return std::nullopt;
    }

private:
    Drill& d_;
};

// The page's record keeps a finish at once: there is no slow file to wait for.
class Drill::Recorder : public FinishRecorder {
public:
    explicit Recorder(Drill& d) : d_(d) {}
    void recordFinish(const std::string& unitTitle, int question, Finish finish, Done done,
                      const MistakeTally& mistakes) override {
        std::string why = d_.recordFinish(unitTitle, question, finish, mistakes);
        if (done) done(FileResult{why.empty(), why, {}});
    }

private:
    Drill& d_;
};

// ---------------------------------------------------------------- the drill

Drill::Drill(Measure measure, int lineBoxWidth)
    : measure_(std::move(measure)),
      boxes_(std::make_unique<Boxes>(*this)),
      view_(std::make_unique<View>(*this)),
      asker_(std::make_unique<Asker>(*this)),
      recorder_(std::make_unique<Recorder>(*this)) {
    for (int n = 1; n <= LINE_CAPACITY; ++n) live_.boxes[static_cast<size_t>(n)] = RecordingBox(lineBoxWidth, LINE_BOX_HEIGHT, &measure_, &stamps_);
    live_.boxes[ANSWER_LINE] = RecordingBox(ANSWER_BOX_WIDTH, ANSWER_BOX_HEIGHT, &measure_, &stamps_);
    typesetter_.emplace(engine_, *boxes_);
    practice_.emplace(engine_, set_, *typesetter_, *boxes_, *asker_, *view_, *recorder_);
    practice_->lineCapacity = LINE_CAPACITY;
}

Drill::~Drill() = default;

bool Drill::start(std::string_view questionSetBytes) {
    bool started = false;
    const DecodedQuestionText text = decodeQuestionText(questionSetBytes);
    std::vector<Diagnostic> said;
    QuestionSet set;
    if (text.ok && parseQuestionSet(text.lines, set, said)) {
        practice_->questionSet = set;
        for (const Diagnostic& d : said) notice(d.text);
        started = practice_->startQuestionSet();
    } else {
        for (const Diagnostic& d : said) notice(d.text);
    }
    if (!started) notice("問題が不正です" + std::to_string(engine_.engineError) + ":致命的なエラーです");
    return started;
}

void Drill::notice(std::string text) { notices_.push_back(std::move(text)); }

std::vector<std::string> Drill::takeNotices() { return std::exchange(notices_, {}); }

PendingQuestion Drill::pendingQuestion() const {
    const Asking a = practice_->asking;
    switch (a) {
        case Asking::Nothing: return {};
        case Asking::SpecialSolution: return {PendingQuestion::Special, askingText(a), askingCaption(a)};
        case Asking::Unit: return {PendingQuestion::Unit, "", ""};
        default: return {PendingQuestion::YesNo, askingText(a), askingCaption(a)};
    }
}

void Drill::answer(Answer a) {
    if (a == Answer::Yes || a == Answer::No) practice_->answer(a == Answer::Yes);
}

void Drill::answerSpecial(Outcome c) { practice_->answerSpecial(c); }

void Drill::answerUnit(bool ok, int unit, int question) {
    practice_->answerUnit(ok ? std::optional<UnitChoice>(UnitChoice{unit, question}) : std::nullopt);
}

void Drill::selectLine(int n) { practice_->selectLine(n); }
void Drill::chooseOperation(Operation op) { practice_->chooseOperationChecked(op); }
void Drill::keypad(Key key) { practice_->keypad(key); }
void Drill::minusButton() { practice_->minusButton(); }
void Drill::execute() { practice_->execute(); }
void Drill::correct() { practice_->correct(); }
void Drill::hint() { practice_->hint(); }
void Drill::nextQuestion() { practice_->nextQuestion(); }
void Drill::chooseUnit() { practice_->chooseUnit(); }
void Drill::blinkTick() { practice_->timBlinkTimer(); }
void Drill::keyDown(int keyCode, bool shift) { practice_->formKeyDown(keyCode, shift); }
void Drill::keyPress(char key) { practice_->formKeyPress(key); }

// The hover frame of the page window: the line under the mouse is framed in red while no step
// is being built and the solution is not being shown; a picked line keeps its frame as its mark.
void Drill::hover(int n) {
    if (waiting() || live_.blinking || practice_->stepPending) return;
    if (n <= 0) {
        if (live_.hoverLine >= 1) {
            if (Canvas* box = lineBox(live_.hoverLine)) Typesetter::drawFrame(*box, WHITE);
        }
        live_.hoverLine = -1;
        return;
    }
    if (n == live_.hoverLine) return;
    eraseFrames();
    if (n <= engine_.targetLine) {
        if (Canvas* box = lineBox(n)) {
            Typesetter::drawFrame(*box, RED);
            live_.hoverLine = n;
        }
    }
}

void Drill::eraseFrames() {
    for (int n = 1; n <= engine_.targetLine; ++n)
        if (Canvas* box = lineBox(n)) Typesetter::drawFrame(*box, WHITE);
    live_.hoverLine = -1;
}

// The answer group in words, for the page's text beside its picture.
void Drill::describeAnswer() {
    live_.answer = practice_->answerText();
    live_.check = practice_->checkText();
}

std::string Drill::recordFinish(const std::string& unitTitle, int question, Finish finish, const MistakeTally& mistakes) {
    return records_.addFinish(unitTitle, question, finish == Finish::AfterHint, clock_(), mistakes);
}

bool Drill::openQuestionSet(std::string_view bytes, const std::string& name) {
    const SetCheck check = checkSetBytes(bytes, name);
    // The unit window offers the set; whether it opens or is refused, the window has closed.
    practice_->answerUnit(std::nullopt);
    bool opened = false;
    if (check.ok) {
        const QuestionSet before = practice_->questionSet;
        practice_->questionSet = check.set;
        opened = practice_->startQuestionSet();
        if (!opened) {
            // The check passed, so this is not expected; the drill goes back to the set it had.
            practice_->questionSet = before;
            practice_->startQuestionSet();
        }
    }
    if (!opened) {
        std::string report;
        for (const std::string& line : check.report) report += line + "\n";
        notice("問題集を開けません|「" + name + "」には誤りがあるので使えません。問題集はこれまでのままです。\n\n" + report);
    }
    return opened;
}

void Drill::refuseQuestionSet(const std::string& name, SetRefusal why) {
    switch (why) {
            case SetRefusal::Name:
                notice("問題集を開けません|「" + name + "」は問題集のファイル名ではありません。" +
                       "?set= のあとには、このページと同じ場所に置いた .leq ファイルの名前だけを書きます。");
                break;
            case SetRefusal::Missing:
                notice("問題集を開けません|問題集「" + name + "」がこのページの場所にありません。問題集はこれまでのままです。");
                break;
            case SetRefusal::Unreachable:
                notice("問題集を開けません|問題集「" + name + "」を読み込めません（ネットワークにつながっていません）。問題集はこれまでのままです。");
                break;
    }
}

int Drill::currentQuestion(int unit) const {
    if (unit < 1 || unit > MAX_UNITS) return 1;
    return practice_->currentQuestion[static_cast<size_t>(unit)];
}

RecordingBox Drill::preview(int unit, int question) {
    RecordingBox box(PREVIEW_BOX_WIDTH, PREVIEW_BOX_HEIGHT, &measure_, nullptr);
    const QuestionSet& set = practice_->questionSet;
    if (unit < 1 || unit > MAX_UNITS || question < 1 || question > set.questionCount[static_cast<size_t>(unit)]) return box;
    // The unit window draws with an engine of its own: nothing it parses reaches the page.
    class One : public PageBoxes {
    public:
        explicit One(Canvas& c) : c_(c) {}
        Canvas* lineBox(int n) override { return n == SCRATCH_LINE ? &c_ : nullptr; }

    private:
        Canvas& c_;
    } one(box);
    Engine engine;
    Typesetter typesetter(engine, one);
    std::vector<Diagnostic> ignored;
    engine.parseEquation(SCRATCH_LINE, set.questionText[static_cast<size_t>(unit)][static_cast<size_t>(question)], ignored);
    Typesetter::clearBox(box);
    typesetter.layoutLine(box, SCRATCH_LINE, false, engine.line(SCRATCH_LINE));
    return box;
}

}  // namespace solvari::web
