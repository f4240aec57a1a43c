#include "opponents/opponent_steps.h"

#include "opponents/opponents.h"
#include "rules/random.h"

namespace qrv {

int CheckTurnThenWin(int turn, Board& board, int& outcome, MoveReason* reason) {
    if (turn < 1 || turn > 4) {
        return kCannotMove;
    }
    const int win = turn >= 3 ? FindOpenSquareInLine(board, kSumTwoOOpen) : kNoSquare;
    if (win >= 0) {
        board[win] = kComputerMark;
        outcome = kOutcomeCompletedLine;
        Record(reason, MovePath::CompletedLine);
    }
    return win;
}

int PlayRandomSquare(Board& board) {
    const int square = RandomEmptySquare(board);
    if (!IsSquare(square)) {
        return kBoardFull;
    }
    board[square] = kComputerMark;
    return square;
}

}  // namespace qrv
