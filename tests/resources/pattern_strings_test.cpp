#include "resources/pattern_strings.h"

#include <gtest/gtest.h>

#include <cstring>

namespace qrv {
namespace {

TEST(PatternStrings, BehaveLikeTheStringTable) {
    char buffer[16];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(LoadPatternString(1, buffer, sizeof buffer), 9);
    EXPECT_STREQ(buffer, "*X*******");
    EXPECT_EQ(LoadPatternString(17, buffer, sizeof buffer), 9);
    EXPECT_STREQ(buffer, "**XO*X*XO");

    // Missing ids give 0 and an empty text.
    for (unsigned id : {0u, 18u, 4000000000u}) {
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(LoadPatternString(id, buffer, sizeof buffer), 0) << id;
        EXPECT_EQ(buffer[0], '\0');
    }

    // A small buffer gets a cut, terminated text and never more than its size.
    char small[6];
    std::memset(small, '#', sizeof small);
    EXPECT_EQ(LoadPatternString(3, small, 4), 3);
    EXPECT_STREQ(small, "X**");
    EXPECT_EQ(small[4], '#');
    EXPECT_EQ(LoadPatternString(3, small, 0), 0);
    EXPECT_EQ(LoadPatternString(3, nullptr, 16), 0);
}

TEST(PatternStrings, AllSeventeenAreNineMarks) {
    char buffer[32];
    for (unsigned id = 1; id <= 17; ++id) {
        ASSERT_EQ(LoadPatternString(id, buffer, sizeof buffer), 9) << id;
        EXPECT_EQ(std::strspn(buffer, "*XO"), 9u) << id;
    }
}

}  // namespace
}  // namespace qrv
