#include "flow/record_rules.h"

#include "engine/sjis.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string_view>
#include <limits>

namespace solvari {

std::string formatRecordDate(const RecordTime& when) {
    // a fixed format, never the locale's: the record is read back by this text
    char text[64];
    std::snprintf(text, sizeof text, "%04d年%02d月%02d日%02d:%02d", when.year, when.month, when.day, when.hour, when.minute);
    return text;
}

namespace {

std::string_view trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

// Digits of the given base only, fitting in an int; nullopt otherwise.
std::optional<int> digitsValue(std::string_view s, int base) {
    if (s.empty()) return std::nullopt;
    long long v = 0;
    for (char c : s) {
        int d = -1;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        if (d < 0) return std::nullopt;
        v = v * base + d;
        if (v > std::numeric_limits<int>::max()) return std::nullopt;
    }
    return static_cast<int>(v);
}

}  // namespace

namespace {

std::optional<int> countValue(std::string_view text) {
    std::string_view s = trim(text);
    bool negative = false;
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    auto v = digitsValue(s, 10);
    if (!v) return std::nullopt;
    return negative ? -*v : *v;
}

// Where the finishes of question q reached after a hint are counted.
std::string hintKey(int q) { return "H" + std::to_string(q); }

}  // namespace

int parseRecordCount(std::string_view text) {
    std::string_view s = trim(text);
    std::optional<int> v;
    if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) v = digitsValue(s.substr(2), 16);
    else v = digitsValue(s, 10);
    return v.value_or(0);
}

std::string mistakeKey(int q, const std::string& code) { return "M" + std::to_string(q) + "." + code; }

std::string addFinish(ProfileDocument& record, const std::string& title, int q, const RecordTime& when, Finish finish,
                      const MistakeTally& mistakes) {
    // A count at the top of the range stays there rather than wrapping to a negative value.
    const auto add = [&](const std::string& k, int more) {
        const int n = parseRecordCount(record.value(title, k).value_or(""));
        return record.setValue(title, k, std::to_string(n > std::numeric_limits<int>::max() - more ? std::numeric_limits<int>::max() : n + more));
    };
    if (std::string why = add(std::to_string(q), 1); !why.empty()) return why;
    if (std::string why = record.setValue(title, "DATE", formatRecordDate(when)); !why.empty()) return why;
    if (finish == Finish::AfterHint)
        if (std::string why = add(hintKey(q), 1); !why.empty()) return why;
    for (const auto& [code, n] : mistakes)
        if (n > 0)
            if (std::string why = add(mistakeKey(q, code), n); !why.empty()) return why;
    return "";
}

std::optional<int> readCount(const ProfileDocument& record, const std::string& title, int q) {
    return countValue(record.value(title, std::to_string(q)).value_or("0"));
}

std::optional<int> readCount(const ProfileIndex& record, const std::string& title, int q) {
    return countValue(record.value(title, std::to_string(q)).value_or("0"));
}

std::optional<int> readHintCount(const ProfileDocument& record, const std::string& title, int q) {
    return countValue(record.value(title, hintKey(q)).value_or("0"));
}

std::optional<int> readHintCount(const ProfileIndex& record, const std::string& title, int q) {
    return countValue(record.value(title, hintKey(q)).value_or("0"));
}

std::optional<int> readMistakeCount(const ProfileIndex& record, const std::string& title, int q, const std::string& code) {
    return countValue(record.value(title, mistakeKey(q, code)).value_or("0"));
}

std::optional<int> readMistakeCount(const ProfileDocument& record, const std::string& title, int q, const std::string& code) {
    return countValue(record.value(title, mistakeKey(q, code)).value_or("0"));
}

std::vector<std::string> recordRows(const ProfileIndex& record, const QuestionSet& set) {
    std::vector<std::string> rows;
    // Units up to the first empty title: the set may hold fewer titles than unitCount after a
    // damaged edit, and the viewer must not list blanks.
    for (int u = 1; u <= MAX_UNITS; ++u) {
        const std::string& title = set.unitTitle[static_cast<size_t>(u)];
        if (title.empty()) break;
        rows.push_back(title);
        std::string date = record.value(title, "DATE").value_or("");
        if (!date.empty()) rows.push_back(std::move(date));
        const int questions = std::clamp(set.questionCount[static_cast<size_t>(u)], 0, MAX_QUESTIONS);
        for (int q = 1; q <= questions; ++q) {
            std::string row = "  " + std::to_string(q);
            // A damaged count (nullopt) or a negative one shows no stars.
            const int stars = std::clamp(readCount(record, title, q).value_or(0), 0, MAX_LISTED_STARS);
            // Hinted finishes are part of the count; a damaged or larger H value cannot add stars.
            const int hinted = std::clamp(readHintCount(record, title, q).value_or(0), 0, stars);
            for (int i = 0; i < stars - hinted; ++i) row += "★";
            for (int i = 0; i < hinted; ++i) row += "☆";
            rows.push_back(std::move(row));
        }
    }
    return rows;
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

}  // namespace solvari
