// The computer's three opponents and the dispatch between them.
#pragma once

#include "netlib/network_binding.h"
#include "opponents/move_reason.h"
#include "opponents/pattern_table.h"
#include "rules/board.h"

namespace qrv {

inline constexpr int kRuleOpponent = 1;
inline constexpr int kNetworkOpponent = 2;  // also every kind that is neither 1 nor 3
inline constexpr int kGeneticOpponent = 3;

// Negative results of the opponents.
inline constexpr int kBoardFull = -3;
inline constexpr int kCannotMove = -4;
// Inside the network opponent's direct search.
inline constexpr int kNoPatternFound = -1;
inline constexpr int kAnswerUnusable = -2;  // no square, or a taken one

// What the network-based opponents read: the stored positions and the network.
struct OpponentResources {
    const PatternTable& patterns;
    const NetworkBinding& network;
};

// The slice of the pattern table searched for the computer's move number `turn` (1 to 3; the
// opponents decide turn 4 without the table). Any other turn gets an empty slice.
struct SearchWindow {
    int first;
    int stop;
};
SearchWindow SearchWindowForTurn(int turn);

// The computer's answer for the person's X number `turn`: the square into which the chosen
// opponent wrote its 'O', or a negative code. A completed line is reported by its line code.
// When `reason` is given, the opponent says there how it chose.
int ChooseComputerMove(Board& board, int turn, int kind, int& outcome,
                       const OpponentResources& resources, MoveReason* reason = nullptr);

// Complete a line of O, else block a line of X, else a random empty square.
int RuleOpponentMove(int turn, Board& board, int& outcome, MoveReason* reason = nullptr);

// Win, block, at turn 4 a random square; otherwise the network's answer for the stored
// position that the board equals, mirrored or turned, carried back onto the board.
int NetworkOpponentMove(int turn, Board& board, const OpponentResources& resources, int& outcome,
                        MoveReason* reason = nullptr);

// The network opponent's search without turns: the board unchanged, then mirrored. Returns the
// square it wrote its 'O' into, kNoPatternFound, or kAnswerUnusable with the board unchanged.
int DirectPatternMove(Board& board, const OpponentResources& resources, int first, int stop,
                      MoveReason* reason = nullptr);

// The same opening as the network opponent, then one search under turns and mirroring, with
// no fallback: an unknown position or an unusable answer gives kCannotMove.
int GeneticOpponentMove(int turn, Board& board, const OpponentResources& resources, int& outcome,
                        MoveReason* reason = nullptr);

}  // namespace qrv
