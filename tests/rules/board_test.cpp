#include "rules/board.h"

#include <gtest/gtest.h>

#include "support/fake_network.h"

namespace qrv {
namespace {

using testing::MakeBoard;

struct SumCase {
    const char* board;
    int target;
    int line;        // FindLineWithSum
    int openSquare;  // FindOpenSquareInLine
};

class LineSearch : public ::testing::TestWithParam<SumCase> {};

TEST_P(LineSearch, FindsFirstLineInLineOrder) {
    const SumCase& c = GetParam();
    const Board board = MakeBoard(c.board);
    EXPECT_EQ(FindLineWithSum(board, c.target), c.line);
    EXPECT_EQ(FindOpenSquareInLine(board, c.target), c.openSquare);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LineSearch,
    ::testing::Values(
        // An empty board: only three blanks (96) form a line, the top row first.
        SumCase{"         ", 96, 9, 0}, SumCase{"         ", kSumTwoXOpen, 0, -1},
        SumCase{"         ", kSumTwoOOpen, 0, -1},
        // Two X in the top row: the block is the third square.
        SumCase{"XX       ", kSumTwoXOpen, 9, 2},
        // Two threats, top row and left column: the row comes first.
        SumCase{"X X   X  ", kSumTwoXOpen, 9, 1},
        // The anti-diagonal alone.
        SumCase{"  X   X  ", kSumTwoXOpen, 16, 4},
        // O threatens the top row, X the middle row.
        SumCase{"OO XX    ", kSumTwoOOpen, 9, 2}, SumCase{"OO XX    ", kSumTwoXOpen, 10, 5},
        // Completed lines: found by sum, but they have no open square.
        SumCase{"  X X X  ", kSumThreeX, 16, -1}, SumCase{"X  X  X  ", kSumThreeX, 12, -1},
        SumCase{"OOO XX X ", kSumThreeO, 9, -1},
        // The two diagonals, told apart by line code.
        SumCase{"O   O    ", kSumTwoOOpen, 15, 8}, SumCase{"  O O    ", kSumTwoOOpen, 16, 6},
        // The open square is the first blank in the line's own order, even mid-line.
        SumCase{" X  X  X ", kSumThreeX, 13, -1}, SumCase{"X       X", kSumTwoXOpen, 15, 4}));

TEST(LineTable, HoldsTheEightLinesInCodeOrder) {
    const std::array<Line, kLineCount> expected = {
        {{0, 1, 2}, {3, 4, 5}, {6, 7, 8}, {0, 3, 6}, {1, 4, 7}, {2, 5, 8}, {0, 4, 8}, {2, 4, 6}}};
    EXPECT_EQ(LineTable, expected);
    EXPECT_EQ(LineSquares(16), (Line{2, 4, 6}));
}

struct HumanCase {
    const char* board;
    int turn;
    int result;
    int outcome;  // kept at -7 when untouched
};

class HumanMove : public ::testing::TestWithParam<HumanCase> {};

TEST_P(HumanMove, ReportsWinDrawOrNothing) {
    const HumanCase& c = GetParam();
    int outcome = -7;
    EXPECT_EQ(CheckHumanMove(MakeBoard(c.board), c.turn, outcome), c.result);
    EXPECT_EQ(outcome, c.outcome);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HumanMove,
    ::testing::Values(
        // Turns 1 and 2 never test for a line, whatever the board holds.
        HumanCase{"XXX      ", 1, kGameGoesOn, -7}, HumanCase{"XXXO     ", 2, kGameGoesOn, -7},
        HumanCase{"XXXOO    ", 3, kHumanWon, 9}, HumanCase{"XO  X O X", 3, kHumanWon, 15},
        HumanCase{"XX OO    ", 3, kGameGoesOn, -7}, HumanCase{"XOXXOOOX ", 4, kGameGoesOn, -7},
        // The fifth X: a line wins over a draw; otherwise the board is full and drawn.
        HumanCase{"XOXOXOOXX", 5, kHumanWon, 15}, HumanCase{"XOXXOOOXX", 5, kHumanDrew, 3},
        // Two lines at once: the lower code is reported.
        HumanCase{"XXXOOXOOX", 5, kHumanWon, 9}));

}  // namespace
}  // namespace qrv
