#pragma once
// The practice logic with its collaborators, built in the one order they need: what the logic
// tests, the unit window's tests and the step benchmark share. The page boxes, the view and
// the prompter can be real or fake.
#include "engine/engine.h"
#include "flow/practice.h"
#include "tests/support/fake_page.h"
#include "tests/support/fake_prompter.h"
#include "transform/typeset.h"

namespace solvari::testing {

// A record that answers at once: it keeps each finish and tells the outcome set in `outcome`.
struct FakeRecorder : FinishRecorder {
    struct Entry {
        std::string unitTitle;
        int question;
        Finish finish;
        MistakeTally mistakes;
    };
    std::vector<Entry> finishes;
    FileResult outcome{true, "", ""};
    void recordFinish(const std::string& unitTitle, int question, Finish finish, Done done,
                      const MistakeTally& mistakes) override {
        finishes.push_back({unitTitle, question, finish, mistakes});
        if (done) done(outcome);
    }
};

template <class Boxes = FakeBoxes, class View = FakeView, class Voice = FakePrompter>
struct PracticeRig {
    Voice prompter;
    Engine engine;
    Boxes boxes;
    Typesetter typesetter{engine, boxes};
    View view;
    FakeRecorder recorder;
    QuestionSet set;
    Practice practice{engine, set, typesetter, boxes, prompter, view, recorder};
    PracticeRig() {
        if constexpr (requires { view.attach(practice, prompter); }) view.attach(practice, prompter);
    }
};

}  // namespace solvari::testing
