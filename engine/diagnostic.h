#pragma once
#include <string>
#include <vector>

#include "engine/prompter.h"

namespace solvari {

enum class Severity { Error, Warning, Notice };

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
};

// Shows diagnostics in their order, as the boxes the program has always shown for them.
inline void showDiagnostics(const std::vector<Diagnostic>& diagnostics, Prompter& prompter) {
    for (const Diagnostic& d : diagnostics) {
        if (d.caption.empty()) prompter.inform(d.text);
        else prompter.warn(d.text, d.caption);
    }
}

}  // namespace solvari
