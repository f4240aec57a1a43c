// Steps that more than one opponent takes; each writes its 'O' and returns the square.
#pragma once

#include "rules/board.h"

namespace qrv {

// Completes a line of two O: the square, with outcome kOutcomeCompletedLine; else kNoSquare
// with nothing written.
int CompleteOwnLine(Board& board, int& outcome);

// An 'O' on a random empty square; on a full board kBoardFull, with nothing written.
int PlayRandomSquare(Board& board);

}  // namespace qrv
