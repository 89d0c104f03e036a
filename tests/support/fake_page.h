#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "flow/practice.h"
#include "transform/recording_canvas.h"

namespace solvari::testing {

// Page boxes 1..14 (309 × 75) and the answer box 16 (272 × 76), recorded.
class FakeBoxes : public PageBoxes {
public:
    FakeBoxes() {
        for (int n = 1; n <= 14; ++n) boxes_[n] = std::make_unique<RecordingCanvas>(309, 75);
        boxes_[16] = std::make_unique<RecordingCanvas>(272, 76);
    }
    Canvas* lineBox(int n) override {
        auto it = boxes_.find(n);
        return it == boxes_.end() ? nullptr : it->second.get();
    }
    RecordingCanvas& box(int n) { return *boxes_.at(n); }

private:
    std::map<int, std::unique_ptr<RecordingCanvas>> boxes_;
};

// Records what the practice logic tells the windows.
class FakeView : public PracticeView {
public:
    std::string messageShown, displayShown, caption, focus;
    bool execute = false, next = false, blinking = false, solutionShown = false, nextSecond = false;
    int solutionLine = 0, hoverClears = 0, unitRuns = 0;
    char letter = '?';
    std::map<int, bool> lineButtons;
    std::function<std::optional<UnitChoice>()> unitSelection = [] { return std::optional<UnitChoice>(); };
    std::vector<Asking> asked;
    // Answers like the desktop's modal boxes, from the prompter's script, once attached.
    Practice* practice = nullptr;
    Prompter* prompter = nullptr;
    void attach(Practice& p, Prompter& voice) {
        practice = &p;
        prompter = &voice;
    }

    void showMessage(const std::string& t) override { messageShown = t; }
    void showDisplay(const std::string& t) override { displayShown = t; }
    void setExecuteEnabled(bool on) override { execute = on; }
    void setNextEnabled(bool on) override { next = on; }
    void setLineButtonEnabled(int n, bool on) override { lineButtons[n] = on; }
    void focusExecute() override { focus = "execute"; }
    void focusNext() override { focus = "next"; }
    void setBlinking(bool on) override { blinking = on; }
    void setNextPicture(bool second) override { nextSecond = second; }
    void setPageCaption(const std::string& t) override { caption = t; }
    void setLetterCaption(char l) override { letter = l; }
    void placeSolutionBox(int line) override {
        solutionShown = true;
        solutionLine = line;
    }
    void hideSolutionBox() override { solutionShown = false; }
    void clearHoverFrames() override { ++hoverClears; }
    void ask(Asking what) override {
        asked.push_back(what);
        if (what == Asking::Unit) ++unitRuns;
        if (practice && prompter) answerModally(*practice, *prompter, unitSelection);
    }
};

}  // namespace solvari::testing
