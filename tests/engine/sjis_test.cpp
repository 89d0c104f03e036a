#include <gtest/gtest.h>

#include "engine/sjis.h"

namespace solvari {
namespace {

TEST(Sjis, RoundTripsJapaneseAndCircledDigits) {
    auto b = toSjis("①式の両辺を3倍すると");
    ASSERT_TRUE(b.has_value());
    EXPECT_EQ(b->substr(0, 2), std::string("\x87\x40", 2));  // ① exists only in CP932
    EXPECT_EQ(fromSjis(*b), "①式の両辺を3倍すると");
    EXPECT_EQ(sjisLength("①式x"), 5u);
    EXPECT_EQ(sjisLength("\uff62\uff63\uff65"), 3u);  // half-width forms are one byte each
}

TEST(Sjis, RefusesWhatItCannotHold) {
    EXPECT_FALSE(toSjis("x=\U0001F600").has_value());
    EXPECT_FALSE(toSjis("\u2212").has_value());  // would come back as U+FF0D
    EXPECT_FALSE(toSjis("\xff\xfe").has_value());  // not UTF-8
    EXPECT_FALSE(fromSjis("\x82").has_value());    // truncated double-byte character
    EXPECT_FALSE(fromSjis("\x85\x40").has_value());  // unassigned
    EXPECT_EQ(toSjisReplacing("a\U0001F600b", '?'), "a??b");
    EXPECT_EQ(fromSjisLossy("a\x82"), "a?");
}

TEST(Sjis, JisFormsTypedOnLinuxBecomeCp932Characters) {
    // 〜 ‖ − ¢ £ ¬ as Linux input methods type them; CP932 holds ～ ∥ － ￠ ￡ ￢
    const std::string typed = "<<\u301c\u2016\u2212\u00a2\u00a3\u00ac x=1";
    EXPECT_FALSE(fitsSjis(typed));
    const std::string mapped = toCp932Forms(typed);
    EXPECT_EQ(mapped, "<<\uff5e\u2225\uff0d\uffe0\uffe1\uffe2 x=1");
    EXPECT_EQ(toSjis(mapped), "<<\x81\x60\x81\x61\x81\x7c\x81\x91\x81\x92\x81\xca x=1");
    EXPECT_EQ(firstUnsavableCharacter(typed), "\u301c");
    EXPECT_EQ(firstUnsavableCharacter("x=1\U0001F600"), "\U0001F600");
    EXPECT_EQ(firstUnsavableCharacter(mapped), "");
}

TEST(Sjis, FirstInvalidUtf8) {
    struct Row {
        const char* name;
        std::string bytes;
        size_t offset;
    };
    for (const Row& r : {Row{"ascii", "x=1", 3}, Row{"japanese", "\u4e00\u6b21", 6},
                         Row{"four_bytes", "a\U0001F600", 5}, Row{"lone_continuation", "a\x80", 1},
                         Row{"truncated", "a\xe4\xb8", 1}, Row{"overlong", "\xc0\xaf", 0},
                         Row{"surrogate", "\xed\xa0\x80", 0}, Row{"above_10ffff", "\xf4\x90\x80\x80", 0},
                         Row{"shift_jis", "\x88\xea\x8e\x9f", 0}}) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(firstInvalidUtf8(r.bytes), r.offset);
    }
}

// Every loop over text walks it with these two, so a stray byte counts the same everywhere:
// one step, and two Shift-JIS bytes of width, like any character CP932 cannot hold.
TEST(Sjis, CharacterWalkersAgreeOnStrayBytes) {
    const std::string stray = "a\x80\xBF" "b\xE3\x81";  // two continuation bytes, a cut-off character
    std::vector<size_t> steps;
    for (size_t i = 0; i < stray.size(); i += utf8CharLength(stray, i)) steps.push_back(utf8CharLength(stray, i));
    EXPECT_EQ(steps, (std::vector<size_t>{1, 1, 1, 1, 2}));
    EXPECT_EQ(sjisLength(stray), 8u);
    const std::string sjis = "\x82\xA0" "a\x82";  // あ, a, and a lead byte with nothing after it
    EXPECT_EQ(sjisCharLength(sjis, 0), 2u);
    EXPECT_EQ(sjisCharLength(sjis, 2), 1u);
    EXPECT_EQ(sjisCharLength(sjis, 3), 1u);
}

}  // namespace
}  // namespace solvari
