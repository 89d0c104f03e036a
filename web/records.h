#pragma once
#include <array>
#include <string>
#include <vector>

#include "flow/question_set.h"

namespace solvari::web {

// The practice record of the browser edition, kept by the page (in the browser's storage) as
// the text serialize() gives. The same content as the desktop's record file: per unit title,
// the finishes of each question, how many of them came after a hint, and the date and time of
// the unit's latest finish.
class RecordBook {
public:
    void addFinish(const std::string& unitTitle, int question, bool afterHint);
    // The record viewer's rows for the units of the set: each title, its date when it has
    // one, then "  " + q + one "★" per finish ("☆" for a finish after a hint).
    std::vector<std::string> listing(const QuestionSet& set) const;

    // One line per unit: title, date and the counts, separated by tabs. load() takes what
    // serialize() gave and skips a line it cannot read.
    std::string serialize() const;
    void load(const std::string& text);
    unsigned version() const { return version_; }

private:
    struct Unit {
        std::string title;
        std::string date;
        std::array<int, MAX_QUESTIONS + 1> finishes{};
        std::array<int, MAX_QUESTIONS + 1> afterHint{};
    };
    std::vector<Unit> units_;  // in the order they were first finished
    unsigned version_ = 0;
    Unit* find(const std::string& title);
    const Unit* find(const std::string& title) const;
};

// "2026年05月03日09:05": the record's date of a finish now, in local time.
std::string recordDateNow();

}  // namespace solvari::web
