// The page's view of the drill (embind): commands in, typed state out. drill.js sends every
// click and key here and draws what it reads back; it decides nothing of its own.
#include <emscripten.h>
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <cstdio>

#include "web/bundled_set.h"
#include "web/drill.h"

using emscripten::val;

namespace solvari::web {
namespace {

// The browser measures text in the fonts it draws with (drill.js: Module.measureText).
EM_JS(int, measureInPage, (const char* face, int pixelSize, int bold, int italic, const char* text), {
    return Module.measureText(UTF8ToString(face), pixelSize, !!bold, !!italic, UTF8ToString(text));
});

int measure(const FontSpec& font, const std::string& text) {
    return measureInPage(font.face.c_str(), font.pixelSize, font.bold, font.italic, text.c_str());
}

std::string colour(Color c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", c.r, c.g, c.b);
    return text;
}

val opsOf(const RecordingBox& box) {
    val ops = val::array();
    for (const DrawOp& op : box.ops()) {
        val o = val::array();
        switch (op.kind) {
            case DrawOp::Text:
                o.call<void>("push", std::string("text"), op.x1, op.y1, op.text, op.font.face, op.font.pixelSize, op.font.bold,
                             op.font.italic);
                break;
            case DrawOp::Line: o.call<void>("push", std::string("line"), op.x1, op.y1, op.x2, op.y2, colour(op.pen)); break;
            case DrawOp::Rectangle: o.call<void>("push", std::string("rect"), op.x1, op.y1, op.x2, op.y2, colour(op.pen)); break;
        }
        ops.call<void>("push", o);
    }
    return ops;
}

// A copy of bytes as a Uint8Array (a std::string would come back decoded as UTF-8).
val bytesOf(const std::string& bytes) {
    return val::global("Uint8Array").new_(emscripten::typed_memory_view(bytes.size(), reinterpret_cast<const unsigned char*>(bytes.data())));
}

val strings(const std::vector<std::string>& list) {
    val a = val::array();
    for (const std::string& s : list) a.call<void>("push", s);
    return a;
}

const char* kindName(PendingQuestion::Kind k) {
    switch (k) {
        case PendingQuestion::YesNo: return "yesno";
        case PendingQuestion::Special: return "special";
        case PendingQuestion::Unit: return "unit";
        case PendingQuestion::None: break;
    }
    return "";
}

class PageDrill {
public:
    explicit PageDrill(int lineBoxWidth) : drill_(measure, lineBoxWidth) {}

    bool start() { return drill_.start(bundledQuestionSet()); }

    // A teacher's set (a file's bytes, a Uint8Array): true when it is now in use.
    bool openSet(const std::string& bytes, const std::string& name) { return drill_.openQuestionSet(bytes, name); }
    bool plainSetName(const std::string& name) const { return web::plainSetName(name); }
    // why: "name", "missing" or "unreachable".
    void refuseSet(const std::string& name, const std::string& why) {
        drill_.refuseQuestionSet(name, why == "name"      ? Drill::SetRefusal::Name
                                       : why == "missing" ? Drill::SetRefusal::Missing
                                                          : Drill::SetRefusal::Unreachable);
    }

    void selectLine(int n) { drill_.selectLine(n); }
    // The operation by its code: '*', '/', '+', '-', 'K' かっこ, 'S' 整理, 'I' 移項.
    void operation(const std::string& code) {
        if (code.size() != 1) return;
        switch (code[0]) {
            case '*': case '/': case '+': case '-': case 'K': case 'S': case 'I':
                drill_.chooseOperation(static_cast<Operation>(code[0]));
                break;
            default: break;
        }
    }
    void keypad(solvari::Key key) { drill_.keypad(key); }
    void minus() { drill_.minusButton(); }
    void execute() { drill_.execute(); }
    void correct() { drill_.correct(); }
    void hint() { drill_.hint(); }
    void next() { drill_.nextQuestion(); }
    void chooseUnit() { drill_.chooseUnit(); }
    void blink() { drill_.blinkTick(); }
    void keyDown(int code, bool shift) { drill_.keyDown(code, shift); }
    void keyPress(int code) {
        if (code > 0 && code < 0x80) drill_.keyPress(static_cast<char>(code));
    }
    void hover(int n) { drill_.hover(n); }
    void setWritesLines(bool on) { drill_.setWritesLines(on); }
    // The keys of a written line beyond the keypad's, by their text: + = ( ) / and "Back".
    void lineKey(const std::string& key) {
        if (key == "+") drill_.lineKey(LineKey::Plus);
        else if (key == "=") drill_.lineKey(LineKey::Equals);
        else if (key == "(") drill_.lineKey(LineKey::Open);
        else if (key == ")") drill_.lineKey(LineKey::Close);
        else if (key == "/") drill_.lineKey(LineKey::Slash);
        else if (key == "Back") drill_.lineKey(LineKey::Back);
    }
    void showLine() { drill_.showLine(); }
    bool writesLines() const { return drill_.writesLines(); }
    bool writing() const { return drill_.writing(); }
    bool lineOffered() const { return drill_.lineOffered(); }

    val pending() const {
        const PendingQuestion p = drill_.pendingQuestion();
        if (p.kind == PendingQuestion::None) return val::null();
        val q = val::object();
        q.set("kind", std::string(kindName(p.kind)));
        q.set("text", p.text);
        q.set("caption", p.caption);
        return q;
    }
    void answerYes(bool yes) { drill_.answer(yes ? Answer::Yes : Answer::No); }
    // 8 解は無数にある, 3 解なし, 2 closed: the dialog's modal results.
    void answerSpecial(int result) {
        if (result == 8) drill_.answerSpecial(Outcome::AllValues);
        else if (result == 3) drill_.answerSpecial(Outcome::NoSolution);
        else if (result == 2) drill_.answerSpecial(Outcome::Open);
    }
    void answerUnit(bool ok, int unit, int question) { drill_.answerUnit(ok, unit, question); }
    val notices() { return strings(drill_.takeNotices()); }

    std::string message() const { return page().message; }
    std::string display() const { return page().display; }
    bool executeEnabled() const { return page().executeEnabled; }
    bool nextEnabled() const { return page().nextEnabled; }
    bool lineEnabled(int n) const { return n >= 1 && n <= 12 && page().lineButtonEnabled[static_cast<size_t>(n)]; }
    // All twelve line buttons at once: bit n set when button n is enabled.
    int lineButtons() const {
        int bits = 0;
        for (int n = 1; n <= 12; ++n)
            if (page().lineButtonEnabled[static_cast<size_t>(n)]) bits |= 1 << n;
        return bits;
    }
    std::string letter() const { return std::string(1, page().letter); }
    std::string caption() const { return page().caption; }
    val solution() const {
        val s = val::object();
        s.set("visible", page().solution.visible);
        s.set("box", page().solution.box);
        s.set("below", page().solution.below);
        return s;
    }
    std::string answer() const { return page().answer; }
    std::string check() const { return page().check; }
    bool blinking() const { return page().blinking; }
    bool nextPicture() const { return page().nextPicture; }
    std::string focus() const { return page().focus; }
    unsigned focusCount() const { return page().focusCount; }
    unsigned boxVersion(int n) const { return box(n) ? box(n)->version() : 0; }
    val boxOps(int n) const { return box(n) ? opsOf(*box(n)) : val::array(); }
    bool boxVisible(int n) const { return box(n) && box(n)->visible(); }
    int boxWidth(int n) const { return box(n) ? box(n)->width() : 0; }
    int boxHeight(int n) const { return box(n) ? box(n)->height() : 0; }
    int lineCapacity() const { return Drill::LINE_CAPACITY; }
    int targetLine() const { return drill_.engine().targetLine; }
    bool questionFinished() const { return drill_.practice().questionFinished; }

    val unitTitles() const {
        std::vector<std::string> titles;
        for (int u = 1; u <= MAX_UNITS; ++u) {
            const std::string& t = drill_.questionSet().unitTitle[static_cast<size_t>(u)];
            if (t.empty()) break;
            titles.push_back(t);
        }
        return strings(titles);
    }
    int questionCount(int unit) const {
        return unit >= 1 && unit <= MAX_UNITS ? drill_.questionSet().questionCount[static_cast<size_t>(unit)] : 0;
    }
    int currentUnit() const { return drill_.currentUnit(); }
    int currentQuestion(int unit) const { return drill_.currentQuestion(unit); }
    val preview(int unit, int question) { return opsOf(drill_.preview(unit, question)); }

    // The record travels as its Shift-JIS bytes (Uint8Array both ways), never as text.
    val recordRows() const { return strings(drill_.recordRows()); }
    val recordBytes() const { return bytesOf(drill_.record().bytes()); }
    val recordWithPending(const std::string& stored) const { return bytesOf(drill_.record().withPending(stored)); }
    int recordPending() const { return static_cast<int>(drill_.record().pendingCount()); }
    void recordWritten(const std::string& stored, int count) {
        if (count >= 0) drill_.record().written(stored, static_cast<size_t>(count));
    }
    void adoptRecord(const std::string& stored) { drill_.record().adopt(stored); }
    // "" when bytes are a record that 記録を読み込む may take, else why not.
    std::string recordProblem(const std::string& bytes) const { return web::recordProblem(bytes); }
    void replaceRecord(const std::string& bytes) {
        if (web::recordProblem(bytes).empty()) drill_.record().replace(bytes);
    }
    // The file 記録を書き出す saves: "<名前>.rec" for a name the student entered, "Miradosh.rec"
    // for none, "" for a name that cannot name a record file.
    std::string recordFileName(const std::string& entered) const {
        if (entered.find_first_not_of(" \t\u3000") == std::string::npos) return RECORD_FILE_NAME;
        const std::string name = studentRecordName(entered);
        return name.empty() ? std::string() : name + ".rec";
    }
    unsigned recordVersion() const { return drill_.recordVersion(); }
    // The most the page reads of a chosen file: one byte more than a record or a set may hold,
    // so that a larger file is refused as too large without being read whole.
    double recordByteLimit() const { return static_cast<double>(MAX_RECORD_FILE_BYTES) + 1; }
    double setByteLimit() const { return static_cast<double>(MAX_QUESTION_FILE_BYTES) + 1; }

private:
    Drill drill_;
    const PageState& page() const { return drill_.page(); }
    const RecordingBox* box(int n) const {
        if ((n >= 1 && n <= Drill::LINE_CAPACITY) || n == ANSWER_LINE) return &page().boxes[static_cast<size_t>(n)];
        return nullptr;
    }
};

}  // namespace
}  // namespace solvari::web

EMSCRIPTEN_BINDINGS(solvari_drill) {
    using solvari::web::PageDrill;
    using solvari::Key;
    // The keypad's keys by name: the page's buttons carry them in data-key.
    emscripten::enum_<Key>("Key")
        .value("Digit0", Key::Digit0).value("Digit1", Key::Digit1).value("Digit2", Key::Digit2)
        .value("Digit3", Key::Digit3).value("Digit4", Key::Digit4).value("Digit5", Key::Digit5)
        .value("Digit6", Key::Digit6).value("Digit7", Key::Digit7).value("Digit8", Key::Digit8)
        .value("Digit9", Key::Digit9).value("Point", Key::Point).value("Minus", Key::Minus)
        .value("Fraction", Key::Fraction).value("Letter", Key::Letter).value("Clear", Key::Clear);
    emscripten::class_<PageDrill>("Drill")
        .constructor<int>()
        .function("start", &PageDrill::start)
        .function("openSet", &PageDrill::openSet)
        .function("plainSetName", &PageDrill::plainSetName)
        .function("refuseSet", &PageDrill::refuseSet)
        .function("selectLine", &PageDrill::selectLine)
        .function("operation", &PageDrill::operation)
        .function("keypad", &PageDrill::keypad)
        .function("minus", &PageDrill::minus)
        .function("execute", &PageDrill::execute)
        .function("correct", &PageDrill::correct)
        .function("hint", &PageDrill::hint)
        .function("next", &PageDrill::next)
        .function("chooseUnit", &PageDrill::chooseUnit)
        .function("blink", &PageDrill::blink)
        .function("keyDown", &PageDrill::keyDown)
        .function("keyPress", &PageDrill::keyPress)
        .function("hover", &PageDrill::hover)
        .function("setWritesLines", &PageDrill::setWritesLines)
        .function("lineKey", &PageDrill::lineKey)
        .function("showLine", &PageDrill::showLine)
        .function("writesLines", &PageDrill::writesLines)
        .function("writing", &PageDrill::writing)
        .function("lineOffered", &PageDrill::lineOffered)
        .function("pending", &PageDrill::pending)
        .function("answerYes", &PageDrill::answerYes)
        .function("answerSpecial", &PageDrill::answerSpecial)
        .function("answerUnit", &PageDrill::answerUnit)
        .function("notices", &PageDrill::notices)
        .function("message", &PageDrill::message)
        .function("display", &PageDrill::display)
        .function("executeEnabled", &PageDrill::executeEnabled)
        .function("nextEnabled", &PageDrill::nextEnabled)
        .function("lineEnabled", &PageDrill::lineEnabled)
        .function("lineButtons", &PageDrill::lineButtons)
        .function("letter", &PageDrill::letter)
        .function("caption", &PageDrill::caption)
        .function("solution", &PageDrill::solution)
        .function("answer", &PageDrill::answer)
        .function("check", &PageDrill::check)
        .function("blinking", &PageDrill::blinking)
        .function("nextPicture", &PageDrill::nextPicture)
        .function("focus", &PageDrill::focus)
        .function("focusCount", &PageDrill::focusCount)
        .function("boxVersion", &PageDrill::boxVersion)
        .function("boxOps", &PageDrill::boxOps)
        .function("boxVisible", &PageDrill::boxVisible)
        .function("boxWidth", &PageDrill::boxWidth)
        .function("boxHeight", &PageDrill::boxHeight)
        .function("lineCapacity", &PageDrill::lineCapacity)
        .function("targetLine", &PageDrill::targetLine)
        .function("questionFinished", &PageDrill::questionFinished)
        .function("unitTitles", &PageDrill::unitTitles)
        .function("questionCount", &PageDrill::questionCount)
        .function("currentUnit", &PageDrill::currentUnit)
        .function("currentQuestion", &PageDrill::currentQuestion)
        .function("preview", &PageDrill::preview)
        .function("recordRows", &PageDrill::recordRows)
        .function("recordBytes", &PageDrill::recordBytes)
        .function("recordWithPending", &PageDrill::recordWithPending)
        .function("recordPending", &PageDrill::recordPending)
        .function("recordWritten", &PageDrill::recordWritten)
        .function("adoptRecord", &PageDrill::adoptRecord)
        .function("recordProblem", &PageDrill::recordProblem)
        .function("replaceRecord", &PageDrill::replaceRecord)
        .function("recordFileName", &PageDrill::recordFileName)
        .function("recordByteLimit", &PageDrill::recordByteLimit)
        .function("setByteLimit", &PageDrill::setByteLimit)
        .function("recordVersion", &PageDrill::recordVersion);
}
