#include "opponents/opponent_steps.h"
#include "opponents/opponents.h"

namespace qrv {

int ChooseComputerMove(Board& board, int turn, int kind, int& outcome,
                       const OpponentResources& resources, MoveReason* reason) {
    if (reason != nullptr) {
        *reason = MoveReason{};
    }
    if (turn == 5) {
        return kBoardFull;
    }
    int square = 0;
    if (kind == kRuleOpponent) {
        square = RuleOpponentMove(turn, board, outcome, reason);
    } else if (kind == kGeneticOpponent) {
        square = GeneticOpponentMove(turn, board, resources, outcome, reason);
    } else {
        square = NetworkOpponentMove(turn, board, resources, outcome, reason);
    }
    if (outcome == kOutcomeCompletedLine) {
        outcome = FindLineWithSum(board, kSumThreeO);
    }
    return square;
}

int RuleOpponentMove(int turn, Board& board, int& outcome, MoveReason* reason) {
    const int win = CheckTurnThenWin(turn, board, outcome, reason);
    if (win != kNoSquare) {
        return win;
    }
    int square = turn >= 2 ? FindOpenSquareInLine(board, kSumTwoXOpen) : kNoSquare;
    if (square >= 0) {
        board[square] = kComputerMark;
        outcome = kOutcomeBlocked;
        Record(reason, MovePath::BlockedLine);
    } else {
        square = PlayRandomSquare(board);
        outcome = kOutcomeNone;
        Record(reason, MovePath::RandomSquare);
    }
    // After the fourth O one square is left; with no line of two X open the last X cannot win.
    if (turn == 4 && FindOpenSquareInLine(board, kSumTwoXOpen) < 0) {
        outcome = kOutcomeDrawn;
    }
    return square;
}

}  // namespace qrv
