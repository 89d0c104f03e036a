#pragma once
#include <optional>
#include <string>
#include <vector>

#include "engine/diagnostic.h"
#include "engine/solution_set.h"

namespace solvari {

enum class Answer { Yes, No, Cancel, Abort, Retry, Ignore };

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
    // The special-solution choice: NoSolution (解なし), AllValues (解は無数にある), or Open
    // when the student closes it without a choice.
    virtual Outcome chooseSpecialSolution() = 0;
    // A line of text, with initial filled in; nullopt when the student cancels.
    virtual std::optional<std::string> askText(const std::string& text, const std::string& caption,
                                               const std::string& initial) = 0;
};

// Shows diagnostics in their order, each in the box it names. The abort/retry/ignore box's
// answer changes nothing: the work it was shown for has gone on without it.
inline void showDiagnostics(const std::vector<Diagnostic>& diagnostics, Prompter& prompter) {
    for (const Diagnostic& d : diagnostics) {
        switch (d.box) {
            case DiagnosticBox::Information: prompter.inform(d.text); break;
            case DiagnosticBox::Warning: prompter.warn(d.text, d.caption); break;
            case DiagnosticBox::AbortRetryIgnore: prompter.askAbortRetryIgnore(d.text, d.caption); break;
        }
    }
}

}  // namespace solvari
