#pragma once
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "flow/prompter.h"
#include "flow/practice.h"
#include "transform/canvas.h"
#include "transform/typeset.h"
#include "web/question_sets.h"
#include "web/records.h"

namespace solvari::web {

// Pixel width of a text in a font: the page measures with the browser's own fonts, tests with
// fixed advances.
using Measure = std::function<int(const FontSpec&, const std::string&)>;

// One drawing call on a box, as the page replays it onto an HTML canvas.
struct DrawOp {
    enum Kind { Text, Line, Rectangle } kind = Text;
    FontSpec font;  // Text
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    Color pen;
    std::string text;
};

// A picture box that keeps its drawing as a list of calls. Painting it white empties the list,
// so a box holds only what is visible.
class RecordingBox : public Canvas {
public:
    RecordingBox() = default;
    // stamps: the drill's change counter, shared by all its boxes (see version()).
    RecordingBox(int width, int height, const Measure* measure, unsigned* stamps)
        : width_(width), height_(height), measure_(measure), stamps_(stamps) {}

    void setFont(const FontSpec& font) override { font_ = font; }
    FontSpec font() const override { return font_; }
    int textOut(int x, int y, const std::string& utf8) override;
    void line(int x1, int y1, int x2, int y2, Color pen) override;
    void rectangle(int left, int top, int right, int bottom, Color pen) override;
    void clear() override;
    int width() const override { return width_; }
    int height() const override { return height_; }
    void setVisible(bool visible) override { visible_ = visible; }

    bool visible() const { return visible_; }
    const std::vector<DrawOp>& ops() const { return ops_; }
    // A new number with every change: the page redraws a box only when this differs from what
    // it drew.
    unsigned version() const { return version_; }

private:
    int width_ = 0, height_ = 0;
    const Measure* measure_ = nullptr;
    unsigned* stamps_ = nullptr;
    FontSpec font_;
    bool visible_ = true;
    std::vector<DrawOp> ops_;
    unsigned version_ = 0;
    void changed() { version_ = stamps_ ? ++*stamps_ : version_ + 1; }
};

// Where the answer group stands: beside line box `box`, either on its top-left corner or 3
// pixels below its bottom edge.
struct SolutionPlace {
    bool visible = false;
    int box = 6;
    bool below = true;
};

// Everything the page shows: what PracticeView was told, and the boxes.
struct PageState {
    std::string message;  // lblMess
    std::string display;  // pnlNumber
    bool executeEnabled = false;
    bool nextEnabled = true;
    std::array<bool, 13> lineButtonEnabled{};
    char letter = 'x';
    std::string caption;
    SolutionPlace solution;
    bool blinking = false;
    bool nextPicture = false;  // the second picture of the blinking next button
    // Which button holds the focus ("execute", "next" or ""); focusCount grows with every move.
    std::string focus;
    unsigned focusCount = 0;
    int hoverLine = -1;
    std::array<RecordingBox, ANSWER_LINE + 1> boxes{};  // 1..12 lines, 16 the answer box
    // The answer group's text: the answer ("【答】x=3", "【答】解なし") and its check.
    std::string answer;
    std::string check;
};

// The question the drill waits on, as the page's question box shows it.
struct PendingQuestion {
    enum Kind { None, YesNo, Special, Unit } kind = None;
    std::string text;
    std::string caption;
};

// The drill behind the browser page: the practice core with a prompter and views that need
// no modal box. A question the core asks stays open in the core (Practice::asking) until the
// page sends its answer; information boxes become notices the page shows in order.
class Drill {
public:
    static constexpr int LINE_CAPACITY = 12;  // two columns of six line boxes
    static constexpr int LINE_BOX_HEIGHT = 75;
    static constexpr int ANSWER_BOX_WIDTH = 272;
    static constexpr int ANSWER_BOX_HEIGHT = 76;
    static constexpr int PREVIEW_BOX_WIDTH = 297;
    static constexpr int PREVIEW_BOX_HEIGHT = 75;

    Drill(Measure measure, int lineBoxWidth);
    ~Drill();
    Drill(const Drill&) = delete;
    Drill& operator=(const Drill&) = delete;

    // Opens a question set (its file's bytes) on question 1 of unit 1. False, with the fatal
    // notice, when it cannot be practised.
    bool start(std::string_view questionSetBytes);

    // --- commands (the controls of the desktop's control panel and page) ---
    void selectLine(int n);
    void chooseOperation(Operation op);  // the buttons: 整理 and 移項 check for brackets
    void keypad(Key key);
    void minusButton();
    void execute();
    void correct();
    void hint();
    void nextQuestion();
    void chooseUnit();
    void blinkTick();
    void keyDown(int keyCode, bool shift);
    void keyPress(char key);
    // The mouse over line box n (0: over the page outside the boxes).
    void hover(int n);
    // 自分で計算する: the switch, the keys of a written line, 答えを見る.
    void setWritesLines(bool on) { practice_->setWritesLines(on); }
    void lineKey(LineKey key) { practice_->lineKey(key); }
    void showLine() { practice_->showLine(); }
    bool writesLines() const { return practice_->writesLines; }
    bool writing() const { return practice_->writing(); }
    bool lineOffered() const { return practice_->lineOffered(); }

    // --- the question the drill waits on, and its answers ---
    PendingQuestion pendingQuestion() const;
    bool waiting() const { return practice_->waiting(); }
    void answer(Answer a);  // Yes or No
    void answerSpecial(Outcome c);
    void answerUnit(bool ok, int unit, int question);

    // Notices the page has not shown yet, in order ("caption|text" when there is a caption);
    // taking them empties the list.
    std::vector<std::string> takeNotices();

    // --- what the page shows ---
    const PageState& page() const { return live_; }

    // --- the unit selection window ---
    const QuestionSet& questionSet() const { return practice_->questionSet; }
    int currentUnit() const { return practice_->currentUnit; }
    int currentQuestion(int unit) const;
    // Question q of unit u typeset into a box of the unit window, by an engine of its own.
    RecordingBox preview(int unit, int question);

    // --- a teacher's question set ---
    // Opens a set from the bytes of its file on question 1 of unit 1 when the syntax check
    // passes; otherwise the drill stays on the set it had and a notice gives the checker's
    // report. name is the file's name, as the report names it.
    bool openQuestionSet(std::string_view bytes, const std::string& name);
    // A set the page could not get (told as a notice): a name that is no plain file name,
    // or a file the site does not hold or could not send.
    enum class SetRefusal { Name, Missing, Unreachable };
    void refuseQuestionSet(const std::string& name, SetRefusal why);

    // --- the practice record ---
    std::vector<std::string> recordRows() const { return records_.listing(practice_->questionSet); }
    RecordBook& record() { return records_; }
    const RecordBook& record() const { return records_; }
    unsigned recordVersion() const { return records_.version(); }
    // Where the time of a finish comes from (local time now unless a test sets one).
    void setClock(std::function<RecordTime()> clock) { clock_ = std::move(clock); }

    const Practice& practice() const { return *practice_; }
    const Engine& engine() const { return engine_; }

private:
    class Boxes;
    class View;
    class Asker;
    class Recorder;

    Measure measure_;
    unsigned stamps_ = 0;
    Engine engine_;
    PageState live_;
    QuestionSet set_;  // the set in use
    std::unique_ptr<Boxes> boxes_;
    std::unique_ptr<View> view_;
    std::unique_ptr<Asker> asker_;
    std::unique_ptr<Recorder> recorder_;
    std::optional<Typesetter> typesetter_;
    std::optional<Practice> practice_;
    RecordBook records_;
    std::function<RecordTime()> clock_ = recordTimeNow;

    std::vector<std::string> notices_;  // not yet taken by the page

    void notice(std::string text);
    std::string recordFinish(const std::string& unitTitle, int question, Finish finish, const MistakeTally& mistakes = {});
    void describeAnswer();
    void eraseFrames();
    Canvas* lineBox(int n);

    friend class Boxes;
    friend class View;
    friend class Asker;
    friend class Recorder;
};

}  // namespace solvari::web
