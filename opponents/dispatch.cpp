#include "opponents/opponent_steps.h"
#include "opponents/opponents.h"

namespace qrv {

int ChooseComputerMove(Board& board, int turn, int kind, int& outcome,
                       const OpponentResources& resources) {
    if (turn == 5) {
        return kBoardFull;
    }
    int square = 0;
    if (kind == kRuleOpponent) {
        square = RuleOpponentMove(turn, board, outcome);
    } else if (kind == kGeneticOpponent) {
        square = GeneticOpponentMove(turn, board, resources, outcome);
    } else {
        square = NetworkOpponentMove(turn, board, resources, outcome);
    }
    if (outcome == kOutcomeCompletedLine) {
        outcome = FindLineWithSum(board, kSumThreeO);
    }
    return square;
}

int RuleOpponentMove(int turn, Board& board, int& outcome) {
    if (turn < 1 || turn > 4) {
        return kCannotMove;
    }
    if (turn >= 3) {
        const int win = CompleteOwnLine(board, outcome);
        if (win >= 0) {
            return win;
        }
    }
    int square = turn >= 2 ? FindOpenSquareInLine(board, kSumTwoXOpen) : kNoSquare;
    if (square >= 0) {
        board[square] = kComputerMark;
        outcome = kOutcomeBlocked;
    } else {
        square = PlayRandomSquare(board);
        outcome = kOutcomeNone;
    }
    // After the fourth O one square is left; with no line of two X open the last X cannot win.
    if (turn == 4 && FindOpenSquareInLine(board, kSumTwoXOpen) < 0) {
        outcome = kOutcomeDrawn;
    }
    return square;
}

}  // namespace qrv
