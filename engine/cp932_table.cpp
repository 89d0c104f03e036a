#include "engine/cp932_table.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace solvari {
namespace {

#include "engine/cp932_table_data.inc"

constexpr uint16_t NOT_SINGLE = 0xFFFF;
constexpr uint32_t REFUSED = 0xFFFF;
constexpr uint32_t DROPPED = 0xFFFE;

void appendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The next code point of well-formed UTF-8 at i (advancing i), or nothing: overlong forms,
// surrogates, values above U+10FFFF and truncated characters are refused, as iconv refuses them.
std::optional<uint32_t> nextCodePoint(std::string_view s, size_t& i) {
    const auto c = static_cast<unsigned char>(s[i]);
    size_t len = 0;
    uint32_t cp = 0, min = 0;
    if (c < 0x80) len = 1, cp = c;
    else if (c >= 0xC2 && c <= 0xDF) len = 2, cp = c & 0x1F, min = 0x80;
    else if (c >= 0xE0 && c <= 0xEF) len = 3, cp = c & 0x0F, min = 0x800;
    else if (c >= 0xF0 && c <= 0xF4) len = 4, cp = c & 0x07, min = 0x10000;
    else return std::nullopt;
    if (i + len > s.size()) return std::nullopt;
    for (size_t k = 1; k < len; ++k) {
        const auto t = static_cast<unsigned char>(s[i + k]);
        if ((t & 0xC0) != 0x80) return std::nullopt;
        cp = (cp << 6) | (t & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
    i += len;
    return cp;
}

// Code point -> code for the BMP (every character CP932 has lies there), by the reader's rule
// (the lowest code that decodes to it) with the generated exceptions laid over it. One pass over
// the tables and a direct index: the browser builds it while the page starts.
const std::vector<uint16_t>& encodeTable() {
    static const std::vector<uint16_t> table = [] {
        std::vector<uint16_t> t(0x10000, static_cast<uint16_t>(REFUSED));
        for (uint32_t b = 0; b < 256; ++b)
            if (kCp932Single[b] != NOT_SINGLE && t[kCp932Single[b]] == REFUSED) t[kCp932Single[b]] = static_cast<uint16_t>(b);
        // in code order, so the first code met for a code point is its lowest
        for (const auto& p : kCp932Pairs)
            if (t[p[1]] == REFUSED) t[p[1]] = p[0];
        for (const auto& e : kCp932EncodeExceptions)
            if (e[0] < t.size()) t[e[0]] = static_cast<uint16_t>(e[1]);
        return t;
    }();
    return table;
}

// Above the BMP only the exceptions speak (iconv drops the tag characters); the rest is refused.
uint32_t beyondBmp(uint32_t cp) {
    const auto* end = std::end(kCp932EncodeExceptions);
    const auto* it = std::lower_bound(std::begin(kCp932EncodeExceptions), end, cp, [](const auto& e, uint32_t v) { return e[0] < v; });
    return it != end && (*it)[0] == cp ? (*it)[1] : REFUSED;
}

}  // namespace

std::optional<std::string> cp932FromUtf8(std::string_view utf8) {
    const auto& table = encodeTable();
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const auto cp = nextCodePoint(utf8, i);
        if (!cp) return std::nullopt;
        const uint32_t code = *cp < table.size() ? table[*cp] : beyondBmp(*cp);
        if (code == REFUSED) return std::nullopt;
        if (code == DROPPED) continue;
        if (code > 0xFF) out += static_cast<char>(code >> 8);
        out += static_cast<char>(code & 0xFF);
    }
    return out;
}

std::optional<std::string> cp932ToUtf8(std::string_view sjis) {
    std::string out;
    out.reserve(sjis.size() * 3 / 2);
    for (size_t i = 0; i < sjis.size();) {
        const auto lead = static_cast<unsigned char>(sjis[i]);
        if (kCp932Single[lead] != NOT_SINGLE) {
            appendUtf8(out, kCp932Single[lead]);
            ++i;
            continue;
        }
        if (i + 1 >= sjis.size()) return std::nullopt;
        const auto code = static_cast<uint16_t>(lead << 8 | static_cast<unsigned char>(sjis[i + 1]));
        const auto* end = std::end(kCp932Pairs);
        const auto* it = std::lower_bound(std::begin(kCp932Pairs), end, code, [](const auto& p, uint16_t c) { return p[0] < c; });
        if (it == end || (*it)[0] != code) return std::nullopt;
        appendUtf8(out, (*it)[1]);
        i += 2;
    }
    return out;
}

}  // namespace solvari
