#include "web/records.h"

#include <algorithm>
#include <cctype>
#include <ctime>
#include <string_view>

#include "engine/sjis.h"
#include "flow/class_summary.h"
#include "flow/settings_document.h"

namespace solvari::web {

namespace {
// A damaged count cannot build a row of gigabytes (the desktop viewer's limit).
constexpr const char* DATE_KEY = "DATE";

// Applies finishes to bytes; one the record refuses is left out (its title cannot be stored,
// so it never could be).
std::string applied(const std::string& bytes, const auto& finishes) {
    if (finishes.empty()) return bytes;
    ProfileDocument doc = ProfileDocument::fromBytes(bytes);
    for (const auto& f : finishes) {
        ProfileDocument tried = doc;
        if (addFinish(tried, f.title, f.question, f.when, f.finish, f.mistakes).empty()) doc = std::move(tried);
    }
    return doc.toBytes();
}
}  // namespace

RecordTime recordTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    return RecordTime{t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min};
}

std::string RecordBook::addFinish(const std::string& unitTitle, int question, bool afterHint, const RecordTime& when,
                                  const MistakeTally& mistakes) {
    if (question < 1 || question > MAX_QUESTIONS) return "";
    const Pending finish{unitTitle, question, afterHint ? Finish::AfterHint : Finish::Plain, when, mistakes};
    ProfileDocument doc = ProfileDocument::fromBytes(shown_);
    if (std::string why = solvari::addFinish(doc, finish.title, finish.question, finish.when, finish.finish, finish.mistakes);
        !why.empty())
        return why;
    pending_.push_back(finish);
    shown_ = doc.toBytes();
    ++version_;
    return "";
}

std::string RecordBook::withPending(const std::string& stored) const { return applied(stored, pending_); }

void RecordBook::written(const std::string& stored, std::size_t count) {
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(std::min(count, pending_.size())));
    stored_ = stored;
    show();
}

void RecordBook::adopt(const std::string& stored) {
    stored_ = stored;
    show();
}

void RecordBook::replace(const std::string& bytes) {
    pending_.clear();
    stored_ = bytes;
    show();
}

void RecordBook::show() {
    std::string shown = applied(stored_, pending_);
    if (shown == shown_) return;
    shown_ = std::move(shown);
    ++version_;
}

std::vector<std::string> RecordBook::listing(const QuestionSet& set) const { return recordRows(ProfileIndex(shown_), set); }

std::string recordProblem(const std::string& bytes) {
    if (bytes.size() > MAX_RECORD_FILE_BYTES) return "記録のファイルとしては大きすぎます";
    if (bytes.find('\0') != std::string::npos) return SUMMARY_NOT_RECORD;
    if (firstInvalidSjis(bytes) != bytes.size()) return "Shift-JIS で書かれた記録ではありません";
    // The class summary's rule: headers, entries inside a section and ';' comments only.
    bool inSection = false;
    size_t start = 0;
    while (start <= bytes.size()) {
        size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string::npos) end = bytes.size();
        const std::string_view line(bytes.data() + start, end - start);
        const size_t first = line.find_first_not_of(" \t");
        if (first != std::string_view::npos) {
            if (line[first] == '[' && line.find(']') != std::string_view::npos) inSection = true;
            else if ((!inSection || line.find('=') == std::string_view::npos) && line[first] != ';') return SUMMARY_NOT_RECORD;
        }
        start = end + 1;
    }
    if (ProfileDocument::fromBytes(bytes).sectionNames().empty()) return "単元の記録がひとつもありません";
    return "";
}

}  // namespace solvari::web
