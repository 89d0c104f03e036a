#include "flow/record_listing.h"

#include <algorithm>

#include "flow/file_io.h"

namespace solvari {

namespace {

constexpr const char* DATE_KEY = "DATE";

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
    return recordRows(ProfileIndex(std::move(read.bytes)), set);
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
