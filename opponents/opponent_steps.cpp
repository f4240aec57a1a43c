#include "opponents/opponent_steps.h"

#include "opponents/opponents.h"
#include "rules/random.h"

namespace qrv {

int CompleteOwnLine(Board& board, int& outcome) {
    const int win = FindOpenSquareInLine(board, kSumTwoOOpen);
    if (win >= 0) {
        board[win] = kComputerMark;
        outcome = kOutcomeCompletedLine;
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
