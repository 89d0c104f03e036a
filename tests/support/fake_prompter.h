#pragma once
#include <deque>
#include <string>
#include <vector>

#include "engine/diagnostic.h"
#include "flow/prompter.h"

namespace solvari::testing {

// Records every notice and question; answers questions from a script (default: No / Closed).
class FakePrompter : public Prompter {
public:
    std::vector<std::string> said;  // every text shown, in order ("caption|text" for captions)
    std::deque<Answer> answers;
    std::deque<Outcome> choices;
    int specialAsked = 0;

    void inform(const std::string& text) override { said.push_back(text); }
    void warn(const std::string& text, const std::string& caption) override { said.push_back(caption + "|" + text); }
    Answer askYesNo(const std::string& text, const std::string& caption) override {
        said.push_back(caption + "|" + text);
        return next(Answer::No);
    }
    Answer askYesNoCancel(const std::string& text, const std::string& caption) override {
        said.push_back(caption + "|" + text);
        return next(Answer::Cancel);
    }
    Answer askAbortRetryIgnore(const std::string& text, const std::string& caption) override {
        said.push_back(caption + "|" + text);
        return next(Answer::Abort);
    }
    // Text answers, in order; when none is left the question counts as cancelled.
    std::deque<std::optional<std::string>> texts;
    std::optional<std::string> askText(const std::string& text, const std::string& caption, const std::string& initial) override {
        said.push_back(caption + "|" + text + "|" + initial);
        if (texts.empty()) return std::nullopt;
        std::optional<std::string> t = texts.front();
        texts.pop_front();
        return t;
    }
    Outcome chooseSpecialSolution() override {
        ++specialAsked;
        if (choices.empty()) return Outcome::Open;
        Outcome c = choices.front();
        choices.pop_front();
        return c;
    }
    std::string last() const { return said.empty() ? std::string() : said.back(); }
    void clear() { said.clear(); }

private:
    Answer next(Answer fallback) {
        if (answers.empty()) return fallback;
        Answer a = answers.front();
        answers.pop_front();
        return a;
    }
};

// Diagnostics as the fake would have recorded them once shown ("caption|text" for captions).
inline std::vector<std::string> shownAs(const std::vector<Diagnostic>& diagnostics) {
    FakePrompter shown;
    showDiagnostics(diagnostics, shown);
    return shown.said;
}

}  // namespace solvari::testing
