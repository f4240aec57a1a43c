// Plays every possible game against one opponent through the game-state operations: every
// square the person can choose at every turn, and every square each random draw can pick.
#pragma once

#include <cstdint>

#include "game/game_state.h"

namespace qrv::testing {

struct SweepCounts {
    std::uint64_t games = 0;         // distinct finished games
    std::uint64_t computerWins = 0;  // "Game over - you lose!"
    std::uint64_t draws = 0;         // ended by the person's last X without a line
    std::uint64_t personWins = 0;    // "Game over - you win!"
    std::uint64_t errors = 0;        // the error line
};

SweepCounts SweepAllGames(int opponentKind, const qrv::PatternTable& patterns,
                          const qrv::NetworkBinding& network);

}  // namespace qrv::testing
