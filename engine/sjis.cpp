#include "engine/sjis.h"

#include <algorithm>

#ifdef __EMSCRIPTEN__
#include "engine/cp932_table.h"
#else
#include <cerrno>
#include <iconv.h>
#endif

namespace solvari {
namespace {

#ifdef __EMSCRIPTEN__
// The browser's libc has no CP932 in iconv (and its Shift_JIS lacks the NEC and IBM rows):
// the tables generated from glibc's CP932 stand in for it, code for code.
std::optional<std::string> encodeCp932(std::string_view utf8) { return cp932FromUtf8(utf8); }
std::optional<std::string> decodeCp932(std::string_view sjis) { return cp932ToUtf8(sjis); }
#else

// One conversion descriptor per direction and thread, opened on first use: opening iconv
// costs far more than converting a short line.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (valid()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
        return cd_;
    }

private:
    iconv_t cd_;
};

Converter& toSjisConverter() {
    thread_local Converter c("CP932", "UTF-8");
    return c;
}

Converter& fromSjisConverter() {
    thread_local Converter c("UTF-8", "CP932");
    return c;
}

// Converts the whole input or fails; never drops or replaces bytes.
std::optional<std::string> convert(Converter& converter, std::string_view in) {
    if (!converter.valid()) return std::nullopt;
    iconv_t cd = converter.get();
    std::string out;
    out.resize(in.size() * 2 + 16);
    char* inPtr = const_cast<char*>(in.data());
    size_t inLeft = in.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    while (inLeft > 0) {
        size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        if (r == static_cast<size_t>(-1)) {
            if (errno == E2BIG) {
                size_t used = out.size() - outLeft;
                out.resize(out.size() * 2);
                outPtr = out.data() + used;
                outLeft = out.size() - used;
                continue;
            }
            return std::nullopt;  // EILSEQ or EINVAL: invalid or truncated input
        }
        if (r > 0) return std::nullopt;  // irreversible conversions count as failures
    }
    out.resize(out.size() - outLeft);
    return out;
}

std::optional<std::string> encodeCp932(std::string_view utf8) { return convert(toSjisConverter(), utf8); }
std::optional<std::string> decodeCp932(std::string_view sjis) { return convert(fromSjisConverter(), sjis); }
#endif

}  // namespace

// ASCII is the same in both encodings (CP932 keeps 0x5C as the backslash and 0x7E as the tilde).
static bool isAscii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

std::optional<std::string> toSjis(std::string_view utf8) {
    if (isAscii(utf8)) return std::string(utf8);
    auto bytes = encodeCp932(utf8);
    if (!bytes) return std::nullopt;
    auto back = decodeCp932(*bytes);
    if (!back || *back != utf8) return std::nullopt;
    return bytes;
}

std::size_t utf8CharLength(std::string_view utf8, std::size_t i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    const std::size_t len = c < 0xC0 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : c < 0xF8 ? 4 : 1;
    return std::min(len, utf8.size() - i);
}

std::size_t sjisCharLength(std::string_view sjis, std::size_t i) {
    const auto c = static_cast<unsigned char>(sjis[i]);
    const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    return lead && i + 1 < sjis.size() ? 2 : 1;
}

std::string toSjisReplacing(std::string_view utf8, char placeholder) {
    if (auto whole = toSjis(utf8)) return *whole;
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        const size_t len = utf8CharLength(utf8, i);
        auto piece = toSjis(utf8.substr(i, len));
        out += piece ? *piece : std::string(2, placeholder);
        i += len;
    }
    return out;
}

std::optional<std::string> fromSjis(std::string_view sjis) {
    if (isAscii(sjis)) return std::string(sjis);
    return decodeCp932(sjis);
}

std::string fromSjisLossy(std::string_view sjis) {
    if (auto s = fromSjis(sjis)) return *s;
    std::string out;
    for (size_t i = 0; i < sjis.size();) {
        const size_t len = sjisCharLength(sjis, i);
        auto piece = fromSjis(sjis.substr(i, len));
        out += piece ? *piece : std::string("?");
        i += len;
    }
    return out;
}

std::string toCp932Forms(std::string_view utf8) {
    static constexpr struct {
        std::string_view jis, cp932;
    } kPairs[] = {
        {"\u301c", "\uff5e"}, {"\u2016", "\u2225"}, {"\u2212", "\uff0d"},
        {"\u00a2", "\uffe0"}, {"\u00a3", "\uffe1"}, {"\u00ac", "\uffe2"},
    };
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        bool replaced = false;
        if (static_cast<unsigned char>(utf8[i]) >= 0x80) {
            for (const auto& p : kPairs) {
                if (utf8.substr(i, p.jis.size()) == p.jis) {
                    out += p.cp932;
                    i += p.jis.size();
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced) out += utf8[i++];
    }
    return out;
}

std::size_t firstInvalidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        std::size_t len = 0;
        unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
        if (c < 0x80) len = 1;
        else if (c >= 0xC2 && c <= 0xDF) len = 2;
        else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            if (c == 0xE0) lo = 0xA0;        // overlong
            else if (c == 0xED) hi = 0x9F;   // surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            if (c == 0xF0) lo = 0x90;        // overlong
            else if (c == 0xF4) hi = 0x8F;   // above U+10FFFF
        } else {
            return i;
        }
        if (i + len > bytes.size()) return i;
        for (std::size_t k = 1; k < len; ++k) {
            const auto t = static_cast<unsigned char>(bytes[i + k]);
            const unsigned char min = k == 1 ? lo : 0x80, max = k == 1 ? hi : 0xBF;
            if (t < min || t > max) return i;
        }
        i += len;
    }
    return bytes.size();
}

std::size_t firstInvalidSjis(std::string_view sjis) {
    if (fromSjis(sjis)) return sjis.size();
    std::size_t i = 0;
    while (i < sjis.size()) {
        const std::size_t len = sjisCharLength(sjis, i);
        if (!fromSjis(sjis.substr(i, len))) return i;
        i += len;
    }
    return sjis.size();
}

std::string firstUnsavableCharacter(std::string_view utf8) {
    if (fitsSjis(utf8)) return "";
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t len = utf8CharLength(utf8, i);
        const std::string_view piece = utf8.substr(i, len);
        if (!fitsSjis(piece)) return firstInvalidUtf8(piece) == piece.size() ? std::string(piece) : "";
        i += len;
    }
    return "";  // each character fits alone; only their sequence did not (never seen in CP932)
}

std::size_t sjisLength(std::string_view utf8) {
    if (auto b = toSjis(utf8)) return b->size();
    std::size_t n = 0;
    for (std::size_t i = 0; i < utf8.size(); i += utf8CharLength(utf8, i))
        n += static_cast<unsigned char>(utf8[i]) < 0x80 ? 1 : 2;
    return n;
}

}  // namespace solvari
