#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "flow/question_set.h"

namespace solvari::web {

// A teacher's question set as the page receives it (a file from the device, or one beside the
// site), checked as the desktop's editor and checker check it before the drill uses it.
struct SetCheck {
    bool ok = false;
    QuestionSet set;
    bool readAsUtf8 = false;
    // Why a set is refused, in the checker's words (solvari-check FILE.LEQ), one line each.
    std::vector<std::string> report;
};

// Decodes bytes as the desktop reads a .LEQ file (Shift-JIS or UTF-8), then runs the syntax
// check. ok only when the structure and every question pass.
SetCheck checkSetBytes(std::string_view bytes, const std::string& name);

// Whether name is a plain file name of a set beside the site ("3年1組.leq"): no folder, no
// part of an address, not hidden, ending in .leq in any letter case.
bool plainSetName(const std::string& name);

}  // namespace solvari::web
