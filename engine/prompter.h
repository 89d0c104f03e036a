#pragma once
#include <string>

namespace solvari {

enum class Answer { Yes, No, Cancel, Abort, Retry, Ignore };

// Result of the special-solution choice dialog; the values are the dialog's modal results.
enum class SpecialChoice { Infinite = 8, NoSolution = 3, Closed = 2 };

// Every question and notice the program puts to the user. The logic layers talk only to this
// interface; the Qt implementation is the one place that shows message boxes, and tests use a
// scripted fake that records what was asked.
class Prompter {
public:
    virtual ~Prompter() = default;
    // A plain modal information box with an OK button.
    virtual void inform(const std::string& text) = 0;
    // An information box with its own caption (the space warning "警告").
    virtual void warn(const std::string& text, const std::string& caption) = 0;
    virtual Answer askYesNo(const std::string& text, const std::string& caption) = 0;
    virtual Answer askYesNoCancel(const std::string& text, const std::string& caption) = 0;
    virtual Answer askAbortRetryIgnore(const std::string& text, const std::string& caption) = 0;
    virtual SpecialChoice chooseSpecialSolution() = 0;
};

// A prompter that says nothing and answers No / Ignore / Closed: for the checker and fuzzers.
class SilentPrompter : public Prompter {
public:
    void inform(const std::string&) override {}
    void warn(const std::string&, const std::string&) override {}
    Answer askYesNo(const std::string&, const std::string&) override { return Answer::No; }
    Answer askYesNoCancel(const std::string&, const std::string&) override { return Answer::Cancel; }
    Answer askAbortRetryIgnore(const std::string&, const std::string&) override { return Answer::Ignore; }
    SpecialChoice chooseSpecialSolution() override { return SpecialChoice::Closed; }
};

}  // namespace solvari
