// One executed step end to end, on the real page: the operand parsed, the operation applied,
// the sentence and the line typeset into the page's picture box, the verdict. Each step is
// taken back afterwards so the page never fills. Prints the median and p99 over many steps.
#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "flow/practice.h"
#include "tests/support/keypad.h"
#include "tests/support/practice_rig.h"
#include "ui/page_window.h"

namespace {

// Steps are timed without a user: nothing is shown, every question is answered No.
class SilentPrompter : public solvari::Prompter {
public:
    void inform(const std::string&) override {}
    void warn(const std::string&, const std::string&) override {}
    solvari::Answer askYesNo(const std::string&, const std::string&) override { return solvari::Answer::No; }
    solvari::Answer askYesNoCancel(const std::string&, const std::string&) override { return solvari::Answer::Cancel; }
    solvari::Answer askAbortRetryIgnore(const std::string&, const std::string&) override { return solvari::Answer::Ignore; }
    solvari::Outcome chooseSpecialSolution() override { return solvari::Outcome::Open; }
    std::optional<std::string> askText(const std::string&, const std::string&, const std::string&) override {
        return std::nullopt;
    }
};

class NullView : public solvari::PracticeView {
public:
    void showMessage(const std::string&) override {}
    void showDisplay(const std::string&) override {}
    void setExecuteEnabled(bool) override {}
    void setNextEnabled(bool) override {}
    void setLineButtonEnabled(int, bool) override {}
    void focusExecute() override {}
    void focusNext() override {}
    void setBlinking(bool) override {}
    void setNextPicture(bool) override {}
    void setPageCaption(const std::string&) override {}
    void setLetterCaption(char) override {}
    void placeSolutionBox(int) override {}
    void hideSolutionBox() override {}
    void clearHoverFrames() override {}
    // Every question is answered at once from the silent prompter, as a modal box would.
    void ask(solvari::Asking) override {
        if (practice && prompter) solvari::answerModally(*practice, *prompter, nullptr);
    }
    solvari::Practice* practice = nullptr;
    solvari::Prompter* prompter = nullptr;
    void attach(solvari::Practice& p, solvari::Prompter& voice) {
        practice = &p;
        prompter = &voice;
    }
};

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    using namespace solvari;
    solvari::setScreenForTesting(QRect(0, 0, 1024, 740));
    testing::PracticeRig<TfrmPage, NullView, SilentPrompter> rig;
    TfrmPage& page = rig.boxes;
    Engine& engine = rig.engine;
    Practice& practice = rig.practice;
    Typesetter& typesetter = rig.typesetter;
    page.resize(871, 681);
    practice.lineCapacity = page.layoutForScreen(145, [](const std::string&) {});
    page.attach(&practice, &typesetter);

    struct Case { const char* question; Operation op; const char* operand; };
    const Case cases[] = {
        {"3(x-2)+1/2x=5(x+1)-4", Operation::Brackets, ""},
        {"2x+3-1/2x+5=7x-4+2/3x+1", Operation::Transpose, ""},
        {"2x+3-1/2x+5=7x-4+2/3x+1", Operation::Collect, ""},
        {"1/2x-3/4=5/6x+1", Operation::Multiply, "12"},
        {"4x=18", Operation::Divide, "4"},  // reaches a verdict
        {"0.5x+1.25=2.75", Operation::Add, "3分の2"},
    };
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 4000;
    std::vector<double> micros;
    micros.reserve(static_cast<size_t>(rounds));
    QElapsedTimer timer;
    for (int i = 0; i < rounds; ++i) {
        const Case& c = cases[static_cast<size_t>(i) % std::size(cases)];
        practice.questionSet.unitCount = 1;
        practice.questionSet.questionCount[1] = 1;
        practice.questionSet.questionText[1][1] = c.question;
        practice.startQuestionSet();
        practice.selectLine(1);
        practice.chooseOperation(c.op);
        testing::press(practice, c.operand);
        timer.start();
        practice.execute();
        micros.push_back(static_cast<double>(timer.nsecsElapsed()) / 1000.0);
        if (engine.targetLine != 2) {
            std::fprintf(stderr, "step %d did not write line 2\n", i);
            return 1;
        }
    }
    std::sort(micros.begin(), micros.end());
    auto at = [&](double p) { return micros[static_cast<size_t>(p * static_cast<double>(micros.size() - 1))]; };
    std::printf("executed step (parse, operate, typeset, verdict): median %.1f us, p99 %.1f us, max %.1f us over %d steps\n",
                at(0.5), at(0.99), micros.back(), rounds);
    return 0;
}
