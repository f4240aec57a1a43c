#include <algorithm>

#include "opponents/opponent_steps.h"
#include "opponents/opponents.h"

namespace qrv {

namespace {

inline constexpr int kUndecided = -100;

// The opening both network-based opponents share: win, block, and at turn 4 a random square.
// Returns kUndecided when the stored positions must be consulted.
int NetworkOpening(int turn, Board& board, int& outcome, MoveReason* reason) {
    outcome = kOutcomeNone;
    const int win = CheckTurnThenWin(turn, board, outcome, reason);
    if (win != kNoSquare) {
        return win;
    }
    const int block = FindOpenSquareInLine(board, kSumTwoXOpen);
    if (block >= 0) {
        board[block] = kComputerMark;
        // At turn 4 any block reports a draw, without checking for a second open line.
        outcome = turn == 4 ? kOutcomeDrawn : kOutcomeBlocked;
        Record(reason, MovePath::BlockedLine);
        return block;
    }
    if (turn == 4) {
        outcome = kOutcomeDrawn;
        Record(reason, MovePath::RandomLastMove);
        return PlayRandomSquare(board);
    }
    return kUndecided;
}

Board SlotPosition(const PatternSlot& slot) {
    Board position{};
    std::copy_n(slot.begin(), kSquareCount, position.begin());
    position[kSquareCount] = '\0';
    return position;
}

// The rotated search over the window: the board turned, then mirrored and turned. Returns the
// slot found (or the count) and how the board was transformed to equal it.
int FindRotatedPattern(const Board& board, const PatternTable& patterns, SearchWindow window,
                       int& turns, bool& mirrored) {
    Board copy = board;
    turns = 0;
    mirrored = false;
    int found =
        MatchPatternRotated(copy, patterns.slots, turns, window.first, window.stop, patterns.count);
    if (found >= patterns.count) {
        MirrorBoard(copy);
        mirrored = true;
        found = MatchPatternRotated(copy, patterns.slots, turns, window.first, window.stop,
                                    patterns.count);
    }
    return found;
}

// Records the stored position found, how the board was carried onto it, and the answer.
void Found(MoveReason* reason, int slot, int turns, bool mirrored, int answer) {
    if (reason != nullptr) {
        *reason = MoveReason{MovePath::NetworkAnswer, slot, turns, mirrored, answer};
    }
}

// The last step of every network move: the 'O' on the answer's square, if that square is
// empty. Returns the square, or kAnswerUnusable with the board unchanged.
int PlayAnswer(Board& board, int square) {
    if (!IsSquare(square) || board[square] != kEmptyMark) {
        return kAnswerUnusable;
    }
    board[square] = kComputerMark;
    return square;
}

// The network's answer for a stored position carried back onto the board and played there, or
// kAnswerUnusable when it names no empty square.
int PlayRotatedAnswer(Board& board, const OpponentResources& resources, int slot, int turns,
                      bool mirrored, MoveReason* reason) {
    int square = AskNetwork(resources.network, SlotPosition(resources.patterns.slots[slot]));
    Found(reason, slot, turns, mirrored, square);
    if (!IsSquare(square)) {
        return kAnswerUnusable;
    }
    UnrotateSquare(turns, square);  // leaves the centre and zero turns alone
    return PlayAnswer(board, mirrored ? MirrorSquare(square) : square);
}

}  // namespace

SearchWindow SearchWindowForTurn(int turn) {
    switch (turn) {
        case 1:
            return {0, 3};
        case 2:
            return {3, 11};
        case 3:
            // Runs to the table's capacity; the count ends the search after slot 16.
            return {11, kPatternSlotCapacity};
        default:
            return {0, 0};
    }
}

int DirectPatternMove(Board& board, const OpponentResources& resources, int first, int stop,
                      MoveReason* reason) {
    const PatternTable& patterns = resources.patterns;
    Board copy = board;
    bool mirrored = false;
    int slot = FindPattern(patterns.slots, copy, first, stop, patterns.count);
    if (slot >= patterns.count) {
        MirrorBoard(copy);
        mirrored = true;
        slot = FindPattern(patterns.slots, copy, first, stop, patterns.count);
        if (slot >= patterns.count) {
            return kNoPatternFound;
        }
    }
    int square = AskNetwork(resources.network, copy);
    Found(reason, slot, 0, mirrored, square);
    // An answer that names no square is as unusable as one on a taken square.
    if (!IsSquare(square)) {
        return kAnswerUnusable;
    }
    return PlayAnswer(board, mirrored ? MirrorSquare(square) : square);
}

int NetworkOpponentMove(int turn, Board& board, const OpponentResources& resources, int& outcome,
                        MoveReason* reason) {
    const int opening = NetworkOpening(turn, board, outcome, reason);
    if (opening != kUndecided) {
        return opening;
    }
    // Without a network this opponent still plays: its own fallback for an unknown position.
    if (!HasNetMove(resources.network)) {
        Record(reason, MovePath::RandomNoNetwork);
        return PlayRandomSquare(board);
    }
    const SearchWindow window = SearchWindowForTurn(turn);
    const int direct = DirectPatternMove(board, resources, window.first, window.stop, reason);
    if (direct >= 0) {
        return direct;
    }
    if (direct == kAnswerUnusable) {
        Record(reason, MovePath::Failed);
        return kCannotMove;
    }
    int turns = 0;
    bool mirrored = false;
    const int slot = FindRotatedPattern(board, resources.patterns, window, turns, mirrored);
    if (slot >= resources.patterns.count) {
        Record(reason, MovePath::RandomNoPattern);
        return PlayRandomSquare(board);
    }
    const int square = PlayRotatedAnswer(board, resources, slot, turns, mirrored, reason);
    if (square >= 0) {
        return square;
    }
    Record(reason, MovePath::RandomTakenAnswer);
    return PlayRandomSquare(board);
}

int GeneticOpponentMove(int turn, Board& board, const OpponentResources& resources, int& outcome,
                        MoveReason* reason) {
    const int opening = NetworkOpening(turn, board, outcome, reason);
    if (opening != kUndecided) {
        return opening;
    }
    // Every way that this opponent finds no square is a failure; the record keeps how far it got.
    Record(reason, MovePath::Failed);
    if (!HasNetMove(resources.network)) {
        return kCannotMove;
    }
    int turns = 0;
    bool mirrored = false;
    const int slot =
        FindRotatedPattern(board, resources.patterns, SearchWindowForTurn(turn), turns, mirrored);
    if (slot >= resources.patterns.count) {
        return kCannotMove;
    }
    const int square = PlayRotatedAnswer(board, resources, slot, turns, mirrored, reason);
    if (square >= 0) {
        return square;
    }
    Record(reason, MovePath::Failed);
    return kCannotMove;
}

}  // namespace qrv
