// Steps that more than one opponent takes; each writes its 'O' and returns the square.
#pragma once

#include "opponents/move_reason.h"
#include "rules/board.h"

namespace qrv {

// The first steps of every opponent: a turn outside 1 to 4 gives kCannotMove with nothing
// written; from turn 3 a line of two O is completed (outcome kOutcomeCompletedLine). Returns
// kNoSquare when the move is still to be decided.
int CheckTurnThenWin(int turn, Board& board, int& outcome, MoveReason* reason);

// An 'O' on a random empty square; on a full board kBoardFull, with nothing written.
int PlayRandomSquare(Board& board);

// Records the path taken, when the caller asked for a reason.
inline void Record(MoveReason* reason, MovePath path) {
    if (reason != nullptr) {
        reason->Path = path;
    }
}

}  // namespace qrv
