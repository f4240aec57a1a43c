#include "opponents/opponents.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "rules/random.h"
#include "support/fake_network.h"

namespace qrv {
namespace {

using testing::MakeBoard;
using testing::ScriptedNetwork;
using testing::SeedForDraw;
using testing::StoredPatterns;
using testing::Text;

struct Move {
    int square;
    int outcome;
    std::string board;
};

constexpr int kUntouched = -7;

Move Choose(int kind, const char* position, int turn, const NetworkBinding& network) {
    Board board = MakeBoard(position);
    int outcome = kUntouched;
    const int square = ChooseComputerMove(board, turn, kind, outcome,
                                          OpponentResources{StoredPatterns(), network});
    return {square, outcome, Text(board)};
}

// The board after an 'O' on square.
std::string With(const char* position, int square) {
    std::string after = position;
    after[static_cast<std::size_t>(square)] = 'O';
    return after;
}

TEST(Dispatch, TurnFiveAsksNoOpponent) {
    ScriptedNetwork network;
    for (int kind : {0, 1, 2, 3, 7}) {
        const Move move = Choose(kind, "XOXOXOXO ", 5, network.Binding());
        EXPECT_EQ(move.square, kBoardFull);
        EXPECT_EQ(move.outcome, kUntouched);
        EXPECT_EQ(move.board, "XOXOXOXO ");
    }
    EXPECT_TRUE(network.Asked().empty());
}

TEST(Dispatch, TurnsOutsideOneToFourAreRefusedUnwritten) {
    ScriptedNetwork network;
    for (int kind : {1, 2, 3}) {
        for (int turn : {0, 6, -1}) {
            const Move move = Choose(kind, "X        ", turn, network.Binding());
            EXPECT_EQ(move.square, kCannotMove) << kind << " " << turn;
            EXPECT_EQ(move.board, "X        ");
            // The rule opponent writes nothing; the network-based ones clear the outcome first.
            EXPECT_EQ(move.outcome, kind == 1 ? kUntouched : kOutcomeNone);
        }
    }
}

// A full board reaches the random step only by a direct call: it refuses and writes nothing
// (the sanitizers catch a write outside the board).
TEST(Dispatch, TheRandomStepRefusesAFullBoard) {
    for (int kind : {1, 2}) {
        const Move move = Choose(kind, "XOXOXOXOX", kind == 1 ? 2 : 4, NetworkBinding{});
        EXPECT_EQ(move.square, kBoardFull) << kind;
        EXPECT_EQ(move.board, "XOXOXOXOX");
    }
}

TEST(Dispatch, EveryOtherKindIsTheNetworkOpponent) {
    // X on square 2 tells the opponents apart: the network opponent finds slot 2 mirrored and
    // keeps an answer of 1, the genetic one finds it after three turns and plays 5.
    for (int kind : {0, 2, 7, -3}) {
        ScriptedNetwork network({1});
        EXPECT_EQ(Choose(kind, "  X      ", 1, network.Binding()).square, 1) << kind;
    }
    ScriptedNetwork network({1});
    EXPECT_EQ(Choose(kGeneticOpponent, "  X      ", 1, network.Binding()).square, 5);
}

TEST(Dispatch, ACompletedLineIsReportedByItsCode) {
    ScriptedNetwork network;
    for (int kind : {1, 2, 3}) {
        // O can complete the top row and must not block the middle row instead.
        const Move move = Choose(kind, "OO XX   X", 3, network.Binding());
        EXPECT_EQ(move.square, 2);
        EXPECT_EQ(move.outcome, 9);
        EXPECT_EQ(move.board, "OOOXX   X");
    }
    const Move diagonal = Choose(kNetworkOpponent, "O XXO X  ", 3, network.Binding());
    EXPECT_EQ(diagonal.square, 8);
    EXPECT_EQ(diagonal.outcome, 15);
}

struct RuleCase {
    const char* board;
    int turn;
    int square;
    int outcome;
};

class RuleOpponent : public ::testing::TestWithParam<RuleCase> {};

TEST_P(RuleOpponent, WinsElseBlocksElseReportsTheDraw) {
    const RuleCase& c = GetParam();
    Board board = MakeBoard(c.board);
    int outcome = kUntouched;
    EXPECT_EQ(RuleOpponentMove(c.turn, board, outcome), c.square);
    EXPECT_EQ(outcome, c.outcome);
    EXPECT_EQ(Text(board), With(c.board, c.square));
}

INSTANTIATE_TEST_SUITE_P(Cases, RuleOpponent,
                         ::testing::Values(
                             // Turn 2 blocks.
                             RuleCase{"XX  O    ", 2, 2, kOutcomeBlocked},
                             // Turn 3 wins before it blocks (outcome 1 until the dispatch).
                             RuleCase{"OO XX   X", 3, 2, kOutcomeCompletedLine},
                             // Turn 4: a block that leaves the left column open is a block.
                             RuleCase{"XX XOO OX", 4, 2, kOutcomeBlocked},
                             // Turn 4: one O closing both open lines draws the game.
                             RuleCase{"X X XOOXO", 4, 1, kOutcomeDrawn}));

TEST(RuleOpponent, TurnOnePlaysAtRandomWhateverTheBoard) {
    // Even two X in a row do not make turn 1 block.
    for (int k = 0; k < 7; ++k) {
        SeedForDraw(7, k);
        Board board = MakeBoard("XX       ");
        int outcome = kUntouched;
        const int square = RuleOpponentMove(1, board, outcome);
        EXPECT_EQ(square, k + 2);
        EXPECT_EQ(outcome, kOutcomeNone);
    }
}

TEST(RuleOpponent, TurnFourRandomMoveAlwaysDraws) {
    // No line to win or block: whichever square the draw picks, the last X cannot win.
    for (int k = 0; k < 2; ++k) {
        SeedForDraw(2, k);
        Board board = MakeBoard("XXOOOXX  ");
        int outcome = kUntouched;
        EXPECT_EQ(RuleOpponentMove(4, board, outcome), 7 + k);
        EXPECT_EQ(outcome, kOutcomeDrawn);
    }
}

struct NetworkCase {
    const char* name;
    int kind;
    const char* board;
    int turn;
    std::vector<int> answers;
    int square;         // the result
    const char* asked;  // the position the network saw, or null when it was not asked
};

class NetworkBasedOpponents : public ::testing::TestWithParam<NetworkCase> {};

TEST_P(NetworkBasedOpponents, CarryTheAnswerBackOntoTheBoard) {
    const NetworkCase& c = GetParam();
    ScriptedNetwork network(c.answers);
    const Move move = Choose(c.kind, c.board, c.turn, network.Binding());
    EXPECT_EQ(move.square, c.square);
    if (IsSquare(c.square)) {
        EXPECT_EQ(move.board, With(c.board, c.square));
        EXPECT_EQ(move.outcome, kOutcomeNone);
    } else {
        EXPECT_EQ(move.board, c.board);  // a failure leaves the board as it was
    }
    if (c.asked == nullptr) {
        EXPECT_TRUE(network.Asked().empty());
    } else {
        ASSERT_FALSE(network.Asked().empty());
        EXPECT_EQ(network.Asked().back(), c.asked);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NetworkBasedOpponents,
    ::testing::Values(
        // Turn 1: edge, centre and corner are stored as they stand.
        NetworkCase{"EdgeUnchanged", 2, " X       ", 1, {0}, 0, " X       "},
        NetworkCase{"CentreUnchanged", 2, "    X    ", 1, {0}, 0, "    X    "},
        NetworkCase{"CornerUnchanged", 2, "X        ", 1, {4}, 4, "X        "},
        // The network opponent finds a top-right corner mirrored: 1 stays 1, 2 becomes 0.
        NetworkCase{"CornerMirrored", 2, "  X      ", 1, {1}, 1, "X        "},
        NetworkCase{"CornerMirroredBack", 2, "  X      ", 1, {6}, 8, "X        "},
        // The genetic opponent finds it after three turns: 1 becomes 5.
        NetworkCase{"GeneticCornerTurned", 3, "  X      ", 1, {1}, 5, "X        "},
        // Left edge: one quarter turn, an answer of 0 lands on 6 for both.
        NetworkCase{"EdgeTurned", 2, "   X     ", 1, {0}, 6, " X       "},
        NetworkCase{"GeneticEdgeTurned", 3, "   X     ", 1, {0}, 6, " X       "},
        // The centre stays the centre under every transformation.
        NetworkCase{"CentreAnswerTurned", 2, "   X     ", 1, {4}, 4, " X       "},
        // Slot 10 after one turn (genetic) or mirrored (network) for the same board.
        NetworkCase{"GeneticSlot10", 3, "X   O   X", 2, {1}, 3, "  X O X  "},
        NetworkCase{"NetworkSlot10", 2, "X   O   X", 2, {1}, 1, "  X O X  "},
        // X on 0 and 3 with O on 6: mirrored and turned once; 0 in the slot's frame is 8.
        NetworkCase{"MirroredAndTurned", 2, "X  X  O  ", 2, {0}, 8, "      OXX"},
        NetworkCase{"GeneticMirroredAndTurned", 3, "X  X  O  ", 2, {0}, 8, "      OXX"},
        // An answer on a taken square after the direct search fails the network opponent.
        NetworkCase{"DirectAnswerTaken", 2, " X       ", 1, {1}, kCannotMove, " X       "},
        NetworkCase{"GeneticAnswerTaken", 3, "X   O   X", 2, {4}, kCannotMove, "  X O X  "},
        // Answers that name no square are as unusable as taken ones.
        NetworkCase{"DirectAnswerTooBig", 2, " X       ", 1, {9}, kCannotMove, " X       "},
        NetworkCase{"DirectAnswerNegative", 2, "X        ", 1, {-1}, kCannotMove, "X        "},
        NetworkCase{"GeneticAnswerHuge", 3, "   X     ", 1, {1000}, kCannotMove, " X       "},
        NetworkCase{"GeneticAnswerMinus", 3, "  X      ", 1, {-2}, kCannotMove, "X        "},
        // A position outside the table: the genetic opponent gives up without asking.
        NetworkCase{"GeneticUnknown", 3, "XO     X ", 2, {0}, kCannotMove, nullptr}),
    [](const ::testing::TestParamInfo<NetworkCase>& info) { return info.param.name; });

TEST(NetworkOpponent, FallsBackToARandomSquareAfterTheRotatedSearch) {
    // Left edge: found after one turn. An answer that maps back onto the X itself, one that
    // names no square, and a position outside the table all give a random empty square.
    struct Fallback {
        const char* board;
        int turn;
        int answer;
        bool asked;
    };
    for (const Fallback& f :
         {Fallback{"   X     ", 1, 1, true}, Fallback{"   X     ", 1, 9, true},
          Fallback{"   X     ", 1, -1, true}, Fallback{"XO     X ", 2, 0, false}}) {
        std::set<int> seen;
        const int emptyCount = f.turn == 1 ? 8 : 6;
        for (int k = 0; k < emptyCount; ++k) {
            ScriptedNetwork network({f.answer});
            SeedForDraw(emptyCount, k);
            const Move move = Choose(kNetworkOpponent, f.board, f.turn, network.Binding());
            ASSERT_TRUE(IsSquare(move.square)) << f.board;
            EXPECT_EQ(f.board[move.square], ' ');
            EXPECT_EQ(move.outcome, kOutcomeNone);
            EXPECT_EQ(network.Asked().empty(), !f.asked);
            seen.insert(move.square);
        }
        EXPECT_EQ(static_cast<int>(seen.size()), emptyCount) << "every empty square is reachable";
    }
}

TEST(NetworkOpponent, TurnFourNeverConsultsTheTable) {
    ScriptedNetwork network({0});
    // A block reports the draw even with the left column still open.
    Move move = Choose(kNetworkOpponent, "XX XOO OX", 4, network.Binding());
    EXPECT_EQ(move.square, 2);
    EXPECT_EQ(move.outcome, kOutcomeDrawn);
    // No win and no block: a random square, also reported as a draw.
    for (int k = 0; k < 2; ++k) {
        SeedForDraw(2, k);
        move = Choose(kGeneticOpponent, "XXOOOXX  ", 4, network.Binding());
        EXPECT_EQ(move.square, 7 + k);
        EXPECT_EQ(move.outcome, kOutcomeDrawn);
    }
    EXPECT_TRUE(network.Asked().empty());
}

TEST(NetworkOpponent, BlocksBeforeAskingTheNetwork) {
    ScriptedNetwork network({0});
    const Move move = Choose(kNetworkOpponent, "XX  O    ", 2, network.Binding());
    EXPECT_EQ(move.square, 2);
    EXPECT_EQ(move.outcome, kOutcomeBlocked);
    EXPECT_TRUE(network.Asked().empty());
}

TEST(WithoutNetwork, NetworkOpponentStillPlaysAndGeneticOpponentFails) {
    const NetworkBinding none;
    // Wins and blocks need no network.
    EXPECT_EQ(Choose(kNetworkOpponent, "XX  O    ", 2, none).square, 2);
    EXPECT_EQ(Choose(kGeneticOpponent, "XX  O    ", 2, none).outcome, kOutcomeBlocked);
    // Otherwise the network opponent plays a random empty square with nothing to announce.
    for (int k = 0; k < 8; ++k) {
        SeedForDraw(8, k);
        const Move move = Choose(kNetworkOpponent, " X       ", 1, none);
        EXPECT_EQ(move.square, k == 0 ? 0 : k + 1);
        EXPECT_EQ(move.outcome, kOutcomeNone);
    }
    const Move genetic = Choose(kGeneticOpponent, " X       ", 1, none);
    EXPECT_EQ(genetic.square, kCannotMove);
    EXPECT_EQ(genetic.board, " X       ");
    // The direct search on its own treats a missing network as an unusable answer.
    Board board = MakeBoard(" X       ");
    EXPECT_EQ(DirectPatternMove(board, OpponentResources{StoredPatterns(), none}, 0, 3),
              kAnswerUnusable);
}

TEST(DirectPatternMove, ReportsAMissWithoutAskingTheNetwork) {
    ScriptedNetwork network({0});
    Board board = MakeBoard("   X     ");
    EXPECT_EQ(
        DirectPatternMove(board, OpponentResources{StoredPatterns(), network.Binding()}, 0, 3),
        kNoPatternFound);
    EXPECT_EQ(Text(board), "   X     ");
    EXPECT_TRUE(network.Asked().empty());
}

TEST(SearchWindows, CoverTheirGroups) {
    EXPECT_EQ(SearchWindowForTurn(1).first, 0);
    EXPECT_EQ(SearchWindowForTurn(1).stop, 3);
    EXPECT_EQ(SearchWindowForTurn(2).first, 3);
    EXPECT_EQ(SearchWindowForTurn(2).stop, 11);
    EXPECT_EQ(SearchWindowForTurn(3).first, 11);
    EXPECT_EQ(SearchWindowForTurn(3).stop, 32);
}

}  // namespace
}  // namespace qrv
