#include "flow/record_listing.h"

#include <algorithm>

#include "flow/file_io.h"

namespace solvari {

namespace {

constexpr const char* DATE_KEY = "DATE";
constexpr const char* STAR = "★";
constexpr const char* HINT_STAR = "☆";  // a finish reached after a hint

// Units 1.. up to the first empty title: the question set may hold fewer than unitCount
// titles after a damaged edit, and the viewer must not list blanks.
template <typename Visit>
void forEachUnit(const QuestionSet& set, Visit visit) {
    for (int u = 1; u <= MAX_UNITS; ++u) {
        const std::string& title = set.unitTitle[static_cast<size_t>(u)];
        if (title.empty()) return;
        visit(u, title);
    }
}

}  // namespace

std::vector<std::string> recordListing(const RecordFile& file, const QuestionSet& set) {
    RecordRead read = file.read();  // one read and one pass for the whole listing
    if (!read.ok) return {absolutePath(file.path()) + " を読み込めません", read.reason};
    const ProfileIndex record(std::move(read.bytes));
    std::vector<std::string> rows;
    forEachUnit(set, [&](int u, const std::string& title) {
        rows.push_back(title);
        std::string date = record.value(title, DATE_KEY).value_or("");
        if (!date.empty()) rows.push_back(std::move(date));
        const int questions = std::clamp(set.questionCount[static_cast<size_t>(u)], 0, MAX_QUESTIONS);
        for (int q = 1; q <= questions; ++q) {
            std::string row = "  " + std::to_string(q);
            // A damaged count (nullopt) or a negative one shows no stars.
            const int stars = std::clamp(readCount(record, title, q).value_or(0), 0, MAX_LISTED_STARS);
            // Hinted finishes are part of the count; a damaged or larger H value cannot add stars.
            const int hinted = std::clamp(readHintCount(record, title, q).value_or(0), 0, stars);
            for (int i = 0; i < stars - hinted; ++i) row += STAR;
            for (int i = 0; i < hinted; ++i) row += HINT_STAR;
            rows.push_back(std::move(row));
        }
    });
    return rows;
}

std::vector<std::string> deletableUnits(const RecordFile& file, const QuestionSet& set) {
    const ProfileIndex record(file.read().bytes);
    std::vector<std::string> titles;
    forEachUnit(set, [&](int, const std::string& title) {
        if (!record.value(title, DATE_KEY).value_or("").empty()) titles.push_back(title);
    });
    return titles;
}

}  // namespace solvari
