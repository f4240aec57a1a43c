// The program's one random source: a 32-bit linear congruential generator, seeded once per run.
#pragma once

#include <cstdint>

#include "rules/board.h"

namespace qrv {

inline constexpr std::uint32_t kInitialRandomState = 1;

void SeedRandom(std::uint32_t seed);

// Advances the state and returns its bits 16 to 30: a value 0 to 32767.
int NextRandom();

// One draw picks among the board's empty squares; the board is only read. A full board still
// costs the draw and gives kNoSquare.
int RandomEmptySquare(const Board& board);

}  // namespace qrv
