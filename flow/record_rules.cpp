#include "flow/record_rules.h"

#include <cstdio>
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

std::string addFinish(ProfileDocument& record, const std::string& title, int q, const RecordTime& when, Finish finish) {
    // A count at the top of the range stays there rather than wrapping to a negative value.
    const auto increment = [&](const std::string& k) {
        const int n = parseRecordCount(record.value(title, k).value_or(""));
        return record.setValue(title, k, std::to_string(n == std::numeric_limits<int>::max() ? n : n + 1));
    };
    if (std::string why = increment(std::to_string(q)); !why.empty()) return why;
    if (std::string why = record.setValue(title, "DATE", formatRecordDate(when)); !why.empty()) return why;
    return finish == Finish::AfterHint ? increment(hintKey(q)) : std::string();
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

}  // namespace solvari
