// What a square tells assistive technology: its position and content, in one wording that
// every front end uses.
#pragma once

#include <array>

#include "game/game_state.h"

namespace qrv {

// The accessible names of the rest of the window that carry no visible caption.
inline constexpr char kBoardName[] = "Board";
inline constexpr char kStatusName[] = "Status";

// Long enough for the longest name, "Bottom centre: X, in the winning line", and its zero.
inline constexpr int kSquareNameSize = 48;
using SquareName = std::array<char, kSquareNameSize>;

// "Top left", "Centre" and so on; null outside 0 to 8.
const char* SquarePosition(int square);

// "Centre: empty", "Centre: X, not played yet", "Top left: O, in the losing line" and so on.
// A square outside 0 to 8 gets an empty name. Allocates nothing.
SquareName DescribeSquare(const GameState& game, int square);

}  // namespace qrv
