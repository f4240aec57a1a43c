#include "rules/board.h"

namespace qrv {

const std::array<Line, kLineCount> LineTable = {{
    {0, 1, 2},  // 9: top row
    {3, 4, 5},  // 10: middle row
    {6, 7, 8},  // 11: bottom row
    {0, 3, 6},  // 12: left column
    {1, 4, 7},  // 13: middle column
    {2, 5, 8},  // 14: right column
    {0, 4, 8},  // 15: diagonal from the top left
    {2, 4, 6},  // 16: diagonal from the top right
}};

namespace {

int LineSum(const Board& board, const Line& line) {
    return board[line[0]] + board[line[1]] + board[line[2]];
}

}  // namespace

int FindLineWithSum(const Board& board, int targetSum) {
    for (int code = kFirstLineCode; code <= kLastLineCode; ++code) {
        if (LineSum(board, LineSquares(code)) == targetSum) {
            return code;
        }
    }
    return 0;
}

int FindOpenSquareInLine(const Board& board, int targetSum) {
    for (const Line& line : LineTable) {
        if (LineSum(board, line) != targetSum) {
            continue;
        }
        for (int square : line) {
            if (board[square] == kEmptyMark) {
                return square;
            }
        }
    }
    return kNoSquare;
}

int CheckHumanMove(const Board& board, int turn, int& outcome) {
    // No line of three X is possible before the third X.
    if (turn >= 3) {
        const int code = FindLineWithSum(board, kSumThreeX);
        if (code != 0) {
            outcome = code;
            return kHumanWon;
        }
    }
    if (turn == 5) {
        outcome = kOutcomeDrawn;
        return kHumanDrew;
    }
    return kGameGoesOn;
}

}  // namespace qrv
