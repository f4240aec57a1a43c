// The trainer's search for training targets: one square for each stored position such that
// both network-based opponents, answered that way, never lose a game and never meet a
// position outside the table.
#pragma once

#include <array>
#include <cstdint>

#include "opponents/pattern_table.h"

namespace qrv::trainer {

inline constexpr int kNoTarget = -1;

using Targets = std::array<int, qrv::kPatternCount>;

struct TargetSearchResult {
    bool found = false;
    // Where the game never asks for a stored position: its first empty square in the order
    // centre, corners, edges, so that the network still gives every stored position an answer.
    Targets targets{};
    std::uint32_t askedSlots = 0;         // bit s set when stored position s is asked for
    std::uint64_t expandedPositions = 0;  // positions where the person was to move
    std::uint64_t backtracks = 0;         // target choices given up
};

TargetSearchResult SearchTargets(const qrv::PatternTable& patterns);

// Why a set of targets fails.
enum class Failure {
    kNone,
    kPersonWins,  // some sequence of the person's squares wins
    kNoMove,      // an opponent fails to move (the game's error line)
    kLeftTable,   // a position before the fourth O that no stored position matches
    kRandomMove,  // a random square where the table should decide
};

// What the whole game tree looks like for fixed targets, for both network-based opponents.
struct TreeCheck {
    bool safe = false;
    Failure failure = Failure::kNone;
    std::uint64_t games = 0;
    std::uint64_t computerWins = 0;
    std::uint64_t draws = 0;
    std::uint32_t askedSlots = 0;  // bit s set when stored position s was asked for
};

TreeCheck CheckTargets(const qrv::PatternTable& patterns, const Targets& targets);

}  // namespace qrv::trainer
