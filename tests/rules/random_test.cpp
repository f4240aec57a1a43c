#include "rules/random.h"

#include <gtest/gtest.h>

#include <array>

#include "support/fake_network.h"

namespace qrv {
namespace {

using testing::MakeBoard;

TEST(RandomSource, PublishedSequences) {
    SeedRandom(kInitialRandomState);
    for (int expected : {41, 18467, 6334, 26500, 19169, 15724}) {
        EXPECT_EQ(NextRandom(), expected);
    }
    SeedRandom(0);
    for (int expected : {38, 7719, 21238}) {
        EXPECT_EQ(NextRandom(), expected);
    }
}

TEST(RandomSource, ValuesStayWithinFifteenBits) {
    // Seeds with the top bit set would leak bit 31 without the mask.
    SeedRandom(0xFFFFFFFFu);
    for (int i = 0; i < 1000; ++i) {
        const int value = NextRandom();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, 32767);
    }
}

TEST(RandomEmptySquare, PicksTheEmptySquareNumberedByTheDraw) {
    SeedRandom(kInitialRandomState);                          // draws 41
    EXPECT_EQ(RandomEmptySquare(MakeBoard("    X    ")), 1);  // 41 mod 8 = 1

    const Board fourAndEight = MakeBoard("XOXO XXO ");
    SeedRandom(kInitialRandomState);  // 41 mod 2 = 1: the second empty square
    EXPECT_EQ(RandomEmptySquare(fourAndEight), 8);
    SeedRandom(kInitialRandomState);
    NextRandom();
    NextRandom();  // the next value is 6334, even
    EXPECT_EQ(RandomEmptySquare(fourAndEight), 4);
}

TEST(RandomEmptySquare, DrawsExactlyOnceEvenWithOneChoice) {
    SeedRandom(kInitialRandomState);
    EXPECT_EQ(RandomEmptySquare(MakeBoard("XOXOXOXO ")), 8);
    EXPECT_EQ(NextRandom(), 18467);  // 41 went to the one-choice draw
}

TEST(RandomEmptySquare, NeverAnswersATakenSquare) {
    std::array<int, kSquareCount> hits{};
    SeedRandom(12345);
    const Board board = MakeBoard("X O X O  ");
    for (int i = 0; i < 3000; ++i) {
        const int square = RandomEmptySquare(board);
        ASSERT_TRUE(IsSquare(square));
        ASSERT_EQ(board[square], ' ');
        ++hits[square];
    }
    // Every empty square is reachable.
    for (int square : {1, 3, 5, 7, 8}) {
        EXPECT_GT(hits[square], 0) << square;
    }
}

}  // namespace
}  // namespace qrv
