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

}  // namespace
}  // namespace solvari
