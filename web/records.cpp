#include "web/records.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace solvari::web {

namespace {
constexpr int MAX_LISTED_STARS = 1000;  // a damaged count cannot build a row of gigabytes

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == separator) parts.emplace_back();
        else parts.back() += c;
    }
    return parts;
}

bool readCount(const std::string& text, int& value) {
    if (text.empty() || text.size() > 9 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    value = std::stoi(text);
    return true;
}
}  // namespace

std::string recordDateNow() {
    const std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    char text[64];
    std::snprintf(text, sizeof text, "%d年%02d月%02d日%02d:%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min);
    return text;
}

RecordBook::Unit* RecordBook::find(const std::string& title) {
    for (Unit& u : units_)
        if (u.title == title) return &u;
    return nullptr;
}

const RecordBook::Unit* RecordBook::find(const std::string& title) const {
    for (const Unit& u : units_)
        if (u.title == title) return &u;
    return nullptr;
}

void RecordBook::addFinish(const std::string& unitTitle, int question, bool afterHint) {
    if (question < 1 || question > MAX_QUESTIONS) return;
    Unit* u = find(unitTitle);
    if (!u) {
        units_.push_back(Unit{unitTitle, {}, {}, {}});
        u = &units_.back();
    }
    const auto q = static_cast<size_t>(question);
    u->finishes[q] = std::min(u->finishes[q] + 1, MAX_LISTED_STARS);
    if (afterHint) u->afterHint[q] = std::min(u->afterHint[q] + 1, u->finishes[q]);
    u->date = recordDateNow();
    ++version_;
}

std::vector<std::string> RecordBook::listing(const QuestionSet& set) const {
    std::vector<std::string> rows;
    for (int n = 1; n <= MAX_UNITS; ++n) {
        const std::string& title = set.unitTitle[static_cast<size_t>(n)];
        if (title.empty()) break;
        rows.push_back(title);
        const Unit* u = find(title);
        if (u && !u->date.empty()) rows.push_back(u->date);
        const int questions = std::clamp(set.questionCount[static_cast<size_t>(n)], 0, MAX_QUESTIONS);
        for (int q = 1; q <= questions; ++q) {
            std::string row = "  " + std::to_string(q);
            const int stars = u ? u->finishes[static_cast<size_t>(q)] : 0;
            const int hinted = u ? std::clamp(u->afterHint[static_cast<size_t>(q)], 0, stars) : 0;
            for (int i = 0; i < stars - hinted; ++i) row += "★";
            for (int i = 0; i < hinted; ++i) row += "☆";
            rows.push_back(std::move(row));
        }
    }
    return rows;
}

std::string RecordBook::serialize() const {
    std::string out;
    for (const Unit& u : units_) {
        out += u.title + "\t" + u.date;
        for (int q = 1; q <= MAX_QUESTIONS; ++q)
            out += "\t" + std::to_string(u.finishes[static_cast<size_t>(q)]) + "," + std::to_string(u.afterHint[static_cast<size_t>(q)]);
        out += "\n";
    }
    return out;
}

void RecordBook::load(const std::string& text) {
    units_.clear();
    for (const std::string& line : split(text, '\n')) {
        const std::vector<std::string> f = split(line, '\t');
        if (f.size() != 2 + MAX_QUESTIONS || f[0].empty() || find(f[0])) continue;
        Unit u{f[0], f[1], {}, {}};
        bool ok = true;
        for (int q = 1; q <= MAX_QUESTIONS && ok; ++q) {
            const std::vector<std::string> c = split(f[static_cast<size_t>(q) + 1], ',');
            int finishes = 0, hinted = 0;
            ok = c.size() == 2 && readCount(c[0], finishes) && readCount(c[1], hinted);
            u.finishes[static_cast<size_t>(q)] = std::min(finishes, MAX_LISTED_STARS);
            u.afterHint[static_cast<size_t>(q)] = std::min(hinted, u.finishes[static_cast<size_t>(q)]);
        }
        if (ok) units_.push_back(std::move(u));
    }
    ++version_;
}

}  // namespace solvari::web
