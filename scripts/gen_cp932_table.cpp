// Writes engine/cp932_table_data.inc: code page 932 as glibc's iconv ("CP932") converts it, for
// builds whose iconv has no CP932 (the WebAssembly build). Run through scripts/gen_cp932_table;
// tests/engine/cp932_table_test.cpp holds the table against iconv on every code.
//
// What is recorded is exactly what engine/sjis.cpp's conversion accepts: a character converts
// only when iconv converts it with no irreversible step.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iconv.h>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr uint32_t NONE = 0xFFFFFFFF;

std::optional<std::string> convert(iconv_t cd, const std::string& in) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::string out(in.size() * 4 + 16, '\0');
    char* inPtr = const_cast<char*>(in.data());
    size_t inLeft = in.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    const size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    if (r == static_cast<size_t>(-1) || r > 0 || inLeft != 0) return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

std::string utf8Of(uint32_t cp) {
    std::string s;
    if (cp < 0x80) {
        s += static_cast<char>(cp);
    } else if (cp < 0x800) {
        s += static_cast<char>(0xC0 | (cp >> 6));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        s += static_cast<char>(0xE0 | (cp >> 12));
        s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        s += static_cast<char>(0xF0 | (cp >> 18));
        s += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return s;
}

// The one code point of a UTF-8 text, or NONE when it holds another count.
uint32_t singleCodePoint(const std::string& utf8) {
    if (utf8.empty()) return NONE;
    const auto c = static_cast<unsigned char>(utf8[0]);
    const size_t len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    if (utf8.size() != len) return NONE;
    uint32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
    for (size_t i = 1; i < len; ++i) cp = (cp << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3F);
    return cp;
}

void fail(const char* what) {
    std::fprintf(stderr, "gen_cp932_table: %s\n", what);
    std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) fail("usage: gen_cp932_table OUTPUT");
    iconv_t dec = iconv_open("UTF-8", "CP932");
    iconv_t enc = iconv_open("CP932", "UTF-8");
    if (dec == reinterpret_cast<iconv_t>(-1) || enc == reinterpret_cast<iconv_t>(-1)) fail("iconv has no CP932");

    // Decoding: single bytes, then the pairs of every byte that is not a character alone.
    uint32_t single[256];
    std::map<uint32_t, uint32_t> decode;  // code (byte, or lead << 8 | trail) -> code point
    for (int b = 0; b < 256; ++b) {
        auto out = convert(dec, std::string(1, static_cast<char>(b)));
        single[b] = out ? singleCodePoint(*out) : NONE;
        if (out && single[b] == NONE) fail("a single byte decodes to several characters");
        if (single[b] != NONE) decode[static_cast<uint32_t>(b)] = single[b];
    }
    std::vector<std::pair<uint32_t, uint32_t>> pairs;
    for (int lead = 0; lead < 256; ++lead) {
        for (int trail = 0; trail < 256; ++trail) {
            std::string two{static_cast<char>(lead), static_cast<char>(trail)};
            auto out = convert(dec, two);
            if (!out) continue;
            if (single[lead] != NONE) {
                // both bytes stand alone; a pair mapping here would make the split ambiguous
                if (single[trail] == NONE) fail("a single byte starts a pair");
                continue;
            }
            const uint32_t cp = singleCodePoint(*out);
            if (cp == NONE || cp > 0xFFFF) fail("a pair decodes to something other than one BMP character");
            const uint32_t code = static_cast<uint32_t>(lead << 8 | trail);
            pairs.emplace_back(code, cp);
            decode[code] = cp;
        }
    }

    // Encoding: every code point; what the reader's rule (the lowest code that decodes to it)
    // does not give is listed.
    std::map<uint32_t, uint32_t> lowest;  // code point -> lowest code decoding to it
    for (const auto& [code, cp] : decode)
        if (!lowest.count(cp)) lowest[cp] = code;
    std::vector<std::pair<uint32_t, uint32_t>> exceptions;  // code point -> code, 0xFFFF refused, 0xFFFE dropped
    for (uint32_t cp = 0; cp <= 0x10FFFF; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        auto out = convert(enc, utf8Of(cp));
        uint32_t code = NONE;
        if (out) {
            if (out->empty()) code = 0xFFFE;  // glibc drops the tag characters U+E0000..U+E007F
            else if (out->size() == 1) code = static_cast<unsigned char>((*out)[0]);
            else if (out->size() == 2) code = static_cast<uint32_t>(static_cast<unsigned char>((*out)[0]) << 8 | static_cast<unsigned char>((*out)[1]));
            else { std::fprintf(stderr, "U+%04X -> %zu bytes\n", cp, out->size()); fail("a character encodes to more than two bytes"); }
        }
        auto it = lowest.find(cp);
        const uint32_t byRule = it == lowest.end() ? NONE : it->second;
        if (code != byRule) exceptions.emplace_back(cp, code == NONE ? 0xFFFF : code);
    }

    FILE* f = std::fopen(argv[1], "w");
    if (!f) fail("cannot write the output");
    std::fprintf(f, "// Generated by scripts/gen_cp932_table from glibc iconv \"CP932\"; do not edit.\n");
    std::fprintf(f, "// Single bytes: the code point, or 0xFFFF when the byte is not a character alone.\n");
    std::fprintf(f, "static constexpr uint16_t kCp932Single[256] = {");
    for (int b = 0; b < 256; ++b)
        std::fprintf(f, "%s0x%04X,", b % 12 == 0 ? "\n    " : " ", single[b] == NONE ? 0xFFFF : single[b]);
    std::fprintf(f, "\n};\n");
    std::fprintf(f, "// Two-byte codes in ascending order: {lead << 8 | trail, code point}.\n");
    std::fprintf(f, "static constexpr uint16_t kCp932Pairs[%zu][2] = {", pairs.size());
    for (size_t i = 0; i < pairs.size(); ++i)
        std::fprintf(f, "%s{0x%04X, 0x%04X},", i % 6 == 0 ? "\n    " : " ", pairs[i].first, pairs[i].second);
    std::fprintf(f, "\n};\n");
    std::fprintf(f, "// Encoding where it is not the lowest code that decodes to the character:\n");
    std::fprintf(f, "// {code point, code}; code 0xFFFF: iconv refuses the character; 0xFFFE: iconv drops it.\n");
    std::fprintf(f, "static constexpr uint32_t kCp932EncodeExceptions[%zu][2] = {", exceptions.size());
    for (size_t i = 0; i < exceptions.size(); ++i)
        std::fprintf(f, "%s{0x%04X, 0x%04X},", i % 6 == 0 ? "\n    " : " ", exceptions[i].first, exceptions[i].second);
    std::fprintf(f, "\n};\n");
    std::fclose(f);
    std::fprintf(stderr, "gen_cp932_table: %zu pairs, %zu encoding exceptions\n", pairs.size(), exceptions.size());
    return 0;
}
