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
constexpr int MAX_LISTED_STARS = 1000;
constexpr const char* DATE_KEY = "DATE";

// Applies finishes to bytes; one the record refuses is left out (its title cannot be stored,
// so it never could be).
std::string applied(const std::string& bytes, const auto& finishes) {
    if (finishes.empty()) return bytes;
    ProfileDocument doc = ProfileDocument::fromBytes(bytes);
    for (const auto& f : finishes) {
        ProfileDocument tried = doc;
        if (addFinish(tried, f.title, f.question, f.when, f.finish).empty()) doc = std::move(tried);
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

std::string RecordBook::addFinish(const std::string& unitTitle, int question, bool afterHint, const RecordTime& when) {
    if (question < 1 || question > MAX_QUESTIONS) return "";
    const Pending finish{unitTitle, question, afterHint ? Finish::AfterHint : Finish::Plain, when};
    ProfileDocument doc = ProfileDocument::fromBytes(shown_);
    if (std::string why = solvari::addFinish(doc, finish.title, finish.question, finish.when, finish.finish); !why.empty())
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

std::vector<std::string> RecordBook::listing(const QuestionSet& set) const {
    const ProfileIndex record(shown_);
    std::vector<std::string> rows;
    for (int n = 1; n <= MAX_UNITS; ++n) {
        const std::string& title = set.unitTitle[static_cast<size_t>(n)];
        if (title.empty()) break;
        rows.push_back(title);
        std::string date = record.value(title, DATE_KEY).value_or("");
        if (!date.empty()) rows.push_back(std::move(date));
        const int questions = std::clamp(set.questionCount[static_cast<size_t>(n)], 0, MAX_QUESTIONS);
        for (int q = 1; q <= questions; ++q) {
            std::string row = "  " + std::to_string(q);
            // A damaged or negative count shows no stars; hinted finishes are part of the count.
            const int stars = std::clamp(readCount(record, title, q).value_or(0), 0, MAX_LISTED_STARS);
            const int hinted = std::clamp(readHintCount(record, title, q).value_or(0), 0, stars);
            for (int i = 0; i < stars - hinted; ++i) row += "★";
            for (int i = 0; i < hinted; ++i) row += "☆";
            rows.push_back(std::move(row));
        }
    }
    return rows;
}

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

std::string studentRecordName(const std::string& entered) {
    // The desktop compares and counts in UTF-16 and trims every Unicode blank: so do we.
    if (firstInvalidUtf8(entered) != entered.size()) return "";
    std::u32string name;
    for (size_t i = 0; i < entered.size();) {
        const size_t n = utf8CharLength(entered, i);
        const auto b = [&](size_t k) { return static_cast<unsigned char>(entered[i + k]) & 0x3F; };
        const auto c0 = static_cast<unsigned char>(entered[i]);
        char32_t c = c0;
        if (n == 2) c = (c0 & 0x1F) << 6 | b(1);
        else if (n == 3) c = (c0 & 0x0F) << 12 | b(1) << 6 | b(2);
        else if (n == 4) c = (c0 & 0x07) << 18 | b(1) << 12 | b(2) << 6 | b(3);
        name += c;
        i += n;
    }
    const auto blank = [](char32_t c) {
        return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
               (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
    };
    size_t from = 0, to = name.size();
    while (from < to && blank(name[from])) ++from;
    while (to > from && blank(name[to - 1])) --to;
    name = name.substr(from, to - from);
    size_t utf16 = 0;
    for (char32_t c : name) utf16 += c > 0xFFFF ? 2 : 1;
    if (name.empty() || utf16 > 30 || name[0] == U'.') return "";
    for (char32_t c : name)
        if (c < 0x20 || std::u32string_view(U"/\\:*?\"<>|").find(c) != std::u32string_view::npos) return "";
    // "Miradosh" would name the shared record itself.
    const std::string shared = std::string(RECORD_FILE_NAME);
    if (name.size() + 1 <= shared.size()) {
        bool same = shared[name.size()] == '.';
        for (size_t i = 0; i < name.size() && same; ++i)
            same = name[i] < 0x80 && std::tolower(static_cast<int>(name[i])) == std::tolower(static_cast<unsigned char>(shared[i]));
        if (same) return "";
    }
    // the trimmed name, in UTF-8 again
    const size_t first = [&] {
        size_t i = 0;
        for (size_t k = 0; k < from; ++k) i += utf8CharLength(entered, i);
        return i;
    }();
    size_t last = first;
    for (size_t k = 0; k < name.size(); ++k) last += utf8CharLength(entered, last);
    return entered.substr(first, last - first);
}

}  // namespace solvari::web
