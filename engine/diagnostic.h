#pragma once
#include <string>
#include <utility>
#include <vector>

namespace solvari {

enum class Severity { Error, Warning, Notice };

// The box a diagnostic is shown in: a plain information box, a box with its own caption, or
// the abort/retry/ignore box (whose answer changes nothing).
enum class DiagnosticBox { Information, Warning, AbortRetryIgnore };

// One thing a reader or an operation has to tell the user, returned with its result instead
// of shown while it works. `line` counts from 1 (0: not about one line); `byte` counts from 0
// within that line (-1: no position).
struct Diagnostic {
    int code = 0;
    std::string text;
    std::string caption;  // "" for a plain information box
    Severity severity = Severity::Error;
    int line = 0;
    int byte = -1;
    DiagnosticBox box = DiagnosticBox::Information;

    // A refusal or notice in a plain information box, about no line.
    static Diagnostic information(std::string text) {
        return Diagnostic{0, std::move(text), "", Severity::Error, 0, -1, DiagnosticBox::Information};
    }
};

}  // namespace solvari
