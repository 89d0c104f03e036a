#include <gtest/gtest.h>

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <optional>
#include <string>

#include "engine/cp932_table.h"

// The generated CP932 tables (used where iconv has no CP932) against glibc's iconv on every
// code: every byte and byte pair decoded, every code point encoded.

namespace solvari {
namespace {

class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (ok()) iconv_close(cd_);
    }
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    // As engine/sjis.cpp converts: the whole input with no irreversible step, or nothing.
    std::optional<std::string> operator()(const std::string& in) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::string out(in.size() * 4 + 16, '\0');
        char* inPtr = const_cast<char*>(in.data());
        size_t inLeft = in.size();
        char* outPtr = out.data();
        size_t outLeft = out.size();
        const size_t r = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
        if (r == static_cast<size_t>(-1) || r > 0) return std::nullopt;
        out.resize(out.size() - outLeft);
        return out;
    }

private:
    iconv_t cd_;
};

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

std::string hex(const std::string& bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string s;
    for (unsigned char c : bytes) s += std::string{digits[c >> 4], digits[c & 15], ' '};
    return s;
}

std::string shown(const std::optional<std::string>& r) { return r ? hex(*r) : "(fails)"; }

TEST(Cp932Table, DecodesEveryByteAndPairAsIconv) {
    Iconv glibc("UTF-8", "CP932");
    ASSERT_TRUE(glibc.ok());
    int mismatches = 0;
    for (int a = 0; a < 256; ++a) {
        const std::string one(1, static_cast<char>(a));
        if (cp932ToUtf8(one) != glibc(one) && ++mismatches < 10)
            ADD_FAILURE() << hex(one) << ": table " << shown(cp932ToUtf8(one)) << ", iconv " << shown(glibc(one));
        for (int b = 0; b < 256; ++b) {
            const std::string two{static_cast<char>(a), static_cast<char>(b)};
            if (cp932ToUtf8(two) != glibc(two) && ++mismatches < 10)
                ADD_FAILURE() << hex(two) << ": table " << shown(cp932ToUtf8(two)) << ", iconv " << shown(glibc(two));
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(Cp932Table, EncodesEveryCodePointAsIconv) {
    Iconv glibc("CP932", "UTF-8");
    ASSERT_TRUE(glibc.ok());
    int mismatches = 0;
    for (uint32_t cp = 0; cp <= 0x10FFFF; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        const std::string text = utf8Of(cp);
        if (cp932FromUtf8(text) != glibc(text) && ++mismatches < 10)
            ADD_FAILURE() << "U+" << std::hex << cp << ": table " << shown(cp932FromUtf8(text)) << ", iconv " << shown(glibc(text));
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(Cp932Table, TextsAndMalformedInputAsIconv) {
    Iconv toSjis("CP932", "UTF-8"), fromSjis("UTF-8", "CP932");
    const char* utf8Rows[] = {
        "①式の両辺を3倍すると", "ⅰⅱ∵¬￢", "\u00a5\u203e\u2212\u301c", "x=1\U000E0001y",
        "\xff\xfe", "\xc0\x80", "\xe0\x80\x80", "\xed\xa0\x80", "\xf4\x90\x80\x80", "\xe3\x81", "a\x80", "",
    };
    for (const char* row : utf8Rows) EXPECT_EQ(cp932FromUtf8(row), toSjis(row)) << hex(row);
    const char* sjisRows[] = {
        "\x87\x40\x8e\xae", "\xed\x40\xfa\x40\xee\xef", "\x82", "a\x82", "\x85\x40", "\xf0\x40\xf9\xfc", "\x80\xa0\xfd\xfe\xff", "",
    };
    for (const char* row : sjisRows) EXPECT_EQ(cp932ToUtf8(row), fromSjis(row)) << hex(row);
}

}  // namespace
}  // namespace solvari
