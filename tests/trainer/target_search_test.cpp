// The trainer's walk over every game, and the values and answers it finds for the stored
// positions.
#include <gtest/gtest.h>

#include <cstring>

#include "opponents/pattern_table.h"
#include "resources/pattern_strings.h"
#include "trainer/game_tree.h"
#include "trainer/target_search.h"

namespace qrv::trainer {
namespace {

class TargetSearch : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(LoadPatternTable(table_, LoadPatternString, kFirstPatternId));
        targets_ = SearchTargets(table_);
    }

    static PatternTable table_;
    static Targets targets_;
};

PatternTable TargetSearch::table_;
Targets TargetSearch::targets_;

TEST_F(TargetSearch, SettlesOnTheBestEmptySquareOfEveryStoredPosition) {
    EXPECT_TRUE(targets_.fixedPoint);
    EXPECT_LE(targets_.rounds, 4);
    for (int slot = 0; slot < kPatternCount; ++slot) {
        SCOPED_TRACE(slot);
        const int answer = targets_.answers[slot];
        ASSERT_TRUE(IsSquare(answer));
        EXPECT_EQ(table_.slots[slot][answer], kEmptyMark);
        for (int square = 0; square < kSquareCount; ++square) {
            const double value = targets_.valuation.values[slot][square];
            if (table_.slots[slot][square] != kEmptyMark) {
                EXPECT_EQ(value, kTakenValue);
                continue;
            }
            EXPECT_TRUE(value == kLosingValue || (value >= 0 && value <= 1)) << value;
            EXPECT_LE(value, targets_.valuation.values[slot][answer]) << square;
        }
        // Every answer can be played without a chance of losing.
        EXPECT_GE(targets_.valuation.values[slot][answer], 0.0);
    }
}

TEST_F(TargetSearch, ValuesSquaresAsTheGameTreeDoes) {
    const SquareValues& centre = targets_.valuation.values[1];  // X in the centre
    for (int edge : {1, 3, 5, 7}) {
        EXPECT_EQ(centre[edge], kLosingValue) << edge;  // X forces a win against an edge
    }
    EXPECT_GT(centre[0], 0.0);
    // O on 6 with X on 7 and 8: O on 3 makes two lines at once against the novice.
    EXPECT_EQ(targets_.valuation.values[3][3], 1.0);
}

TEST_F(TargetSearch, ValuesHoldOnEveryTurnedOrMirroredBoardOfAStoredPosition) {
    // The game shows a stored position's values on the real board, carried back: they must be
    // that board's own values, whichever of the eight forms it is.
    const NetworkBinding network = AnsweringNetwork(table_, targets_.answers);
    const OpponentResources resources{table_, network};
    OpponentTree tree(kNetworkOpponent, resources);
    for (int slot = 0; slot < kPatternCount; ++slot) {
        for (int form = 0; form < 8; ++form) {
            Board board = EmptyBoard();
            std::memcpy(board.data(), table_.slots[slot].data(), kSquareCount);
            Board origin = {'0', '1', '2', '3', '4', '5', '6', '7', '8', '\0'};
            for (Board* each : {&board, &origin}) {
                if (form >= 4) {
                    MirrorBoard(*each);
                }
                for (int turn = 0; turn < form % 4; ++turn) {
                    RotateBoard(*each);
                }
            }
            for (int square = 0; square < kSquareCount; ++square) {
                if (board[square] != kEmptyMark) {
                    continue;
                }
                const Outlook after = tree.AfterComputerSquare(board, square);
                const double value =
                    after.canGoWrong ? kLosingValue : after.novice.Share(after.novice.wins);
                EXPECT_EQ(value, targets_.valuation.values[slot][origin[square] - '0'])
                    << slot << " " << form << " " << square;
            }
        }
    }
}

TEST(GameTree, KnowsTheLimitOfASecondPlayerAgainstARandomFirstPlayer) {
    // The widely quoted 91.6% of wins for a perfect second player.
    const Ends random = LimitOfTheGame(Person::kRandom);
    EXPECT_EQ(random.Total(), 362880u);  // 9!
    EXPECT_NEAR(random.Share(random.wins), 0.916, 0.0005);
    EXPECT_EQ(random.losses + random.failures, 0u);
    const Ends novice = LimitOfTheGame(Person::kNovice);
    EXPECT_NEAR(novice.Share(novice.wins), 0.260, 0.0005);
}

}  // namespace
}  // namespace qrv::trainer
