// The trainer's search for targets, and its check of a set of targets against the game tree.
#include <gtest/gtest.h>

#include "opponents/pattern_table.h"
#include "resources/pattern_strings.h"
#include "trainer/target_search.h"

namespace qrv::trainer {
namespace {

class TargetSearch : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(qrv::LoadPatternTable(table_, qrv::LoadPatternString, qrv::kFirstPatternId));
        search_ = SearchTargets(table_);
        ASSERT_TRUE(search_.found);
    }

    qrv::PatternTable table_;
    TargetSearchResult search_;
};

TEST_F(TargetSearch, FindsSafeTargetsOnEmptySquaresOfEveryStoredPosition) {
    for (int slot = 0; slot < qrv::kPatternCount; ++slot) {
        ASSERT_TRUE(qrv::IsSquare(search_.targets[slot])) << slot;
        EXPECT_EQ(table_.slots[slot][search_.targets[slot]], ' ') << slot;
    }
    const TreeCheck check = CheckTargets(table_, search_.targets);
    EXPECT_TRUE(check.safe);
    EXPECT_EQ(check.failure, Failure::kNone);
    EXPECT_EQ(check.askedSlots, search_.askedSlots);
    EXPECT_EQ(check.games, check.computerWins + check.draws);
    // Every opening is asked about: the person can start on an edge, the centre or a corner.
    EXPECT_EQ(check.askedSlots & 0x7u, 0x7u);
}

TEST_F(TargetSearch, CheckRefusesAnEdgeAgainstTheCentre) {
    Targets targets = search_.targets;
    targets[1] = 1;  // X in the centre, O on an edge: X can force a win
    const TreeCheck check = CheckTargets(table_, targets);
    EXPECT_FALSE(check.safe);
    EXPECT_NE(check.failure, Failure::kNone);
}

TEST_F(TargetSearch, CheckTellsTheKindsOfFailureApart) {
    // Each asked stored position with each other empty square in turn: some of these lose a
    // game, some lead off the table, and the check must name which.
    int failures[5] = {};
    for (int slot = 0; slot < qrv::kPatternCount; ++slot) {
        if ((search_.askedSlots & (1u << slot)) == 0) {
            continue;
        }
        for (int square = 0; square < qrv::kSquareCount; ++square) {
            if (table_.slots[slot][square] != ' ' || square == search_.targets[slot]) {
                continue;
            }
            Targets targets = search_.targets;
            targets[slot] = square;
            const TreeCheck check = CheckTargets(table_, targets);
            EXPECT_EQ(check.safe, check.failure == Failure::kNone) << slot << " " << square;
            ++failures[static_cast<int>(check.failure)];
        }
    }
    EXPECT_GT(failures[static_cast<int>(Failure::kPersonWins)], 0);
    EXPECT_GT(failures[static_cast<int>(Failure::kLeftTable)], 0);
}

TEST_F(TargetSearch, CheckRefusesAStoredPositionWithoutTarget) {
    Targets targets = search_.targets;
    targets[0] = kNoTarget;
    const TreeCheck check = CheckTargets(table_, targets);
    EXPECT_FALSE(check.safe);
    EXPECT_EQ(check.failure, Failure::kNoMove);
}

}  // namespace
}  // namespace qrv::trainer
