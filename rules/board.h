// The board, its eight lines and the line-sum searches every game decision rests on.
#pragma once

#include <array>

namespace qrv {

// Nine squares row by row (0 1 2 / 3 4 5 / 6 7 8) and a terminating zero, so a board can be
// copied and compared as an ordinary string.
using Board = std::array<char, 10>;

inline constexpr int kSquareCount = 9;
inline constexpr char kEmptyMark = ' ';
inline constexpr char kPersonMark = 'X';
inline constexpr char kComputerMark = 'O';

constexpr Board EmptyBoard() {
    return {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', '\0'};
}

constexpr bool IsSquare(int square) {
    return square >= 0 && square < kSquareCount;
}

// A line's content is read from the sum of its three character codes.
inline constexpr int kSumThreeX = 3 * 'X';          // 264: the person completed a line
inline constexpr int kSumThreeO = 3 * 'O';          // 237: the computer completed a line
inline constexpr int kSumTwoXOpen = 2 * 'X' + ' ';  // 208: the person threatens a line
inline constexpr int kSumTwoOOpen = 2 * 'O' + ' ';  // 190: the computer can complete a line

// Line codes: rows 9 to 11, columns 12 to 14, diagonal 0-4-8 is 15, diagonal 2-4-6 is 16.
inline constexpr int kFirstLineCode = 9;
inline constexpr int kLastLineCode = 16;
inline constexpr int kLineCount = kLastLineCode - kFirstLineCode + 1;

using Line = std::array<int, 3>;
extern const std::array<Line, kLineCount> LineTable;

// The squares of a line code (9 to 16).
inline const Line& LineSquares(int lineCode) {
    return LineTable[lineCode - kFirstLineCode];
}

// What a move achieved, as written beside the square that an opponent took.
inline constexpr int kOutcomeNone = 0;
inline constexpr int kOutcomeCompletedLine =
    1;  // replaced by the line's code before the game sees it
inline constexpr int kOutcomeBlocked = 2;
inline constexpr int kOutcomeDrawn = 3;

// Results of CheckHumanMove.
inline constexpr int kGameGoesOn = 0;
inline constexpr int kHumanDrew = -1;
inline constexpr int kHumanWon = -2;

// "No square" from FindOpenSquareInLine.
inline constexpr int kNoSquare = -1;

// The first line, in increasing line code, whose sum equals targetSum; 0 when none does.
int FindLineWithSum(const Board& board, int targetSum);

// The first empty square of the first line whose sum equals targetSum and which has one; else -1.
int FindOpenSquareInLine(const Board& board, int targetSum);

// After the person's X number `turn` (1 to 5) is on the board: kHumanWon with the line's code in
// outcome, kHumanDrew with kOutcomeDrawn in outcome, or kGameGoesOn with outcome untouched.
int CheckHumanMove(const Board& board, int turn, int& outcome);

}  // namespace qrv
