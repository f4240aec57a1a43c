// The 17 stored positions and the search for a board among them under turns and mirroring.
#pragma once

#include <array>

#include "rules/board.h"

namespace qrv {

inline constexpr int kPatternSlotSize = 16;
inline constexpr int kPatternSlotCapacity = 32;
inline constexpr int kPatternCount = 17;

using PatternSlot = std::array<char, kPatternSlotSize>;
using PatternSlots = std::array<PatternSlot, kPatternSlotCapacity>;

struct PatternTable {
    PatternSlots slots{};
    int count = 0;
};

// A string resource lookup with the behaviour of LoadStringA: copies the text of `id` into
// buffer, cut to size - 1 characters and terminated, and returns the number of characters
// stored; 0 when there is no such string.
using StringLookup = int (*)(unsigned id, char* buffer, int size);

// Loads slots 0 to 16 from the strings firstId to firstId + 16, '*' standing for an empty
// square. False at the first string that is missing or not exactly nine characters long.
bool LoadPatternTable(PatternTable& table, StringLookup resources, int firstId);

// The lowest slot in [first, min(stop, count)) equal to board, or count when none is.
int FindPattern(const PatternSlots& slots, const Board& board, int first, int stop, int count);

// The first slot matching board unturned or turned clockwise one to three quarter turns,
// smallest number of turns first; writes the turns on a match. Returns count when nothing
// matches, leaving turns as it was.
int MatchPatternRotated(const Board& board, const PatternSlots& slots, int& turns, int first,
                        int stop, int count);

// Quarter turn clockwise, in place.
void RotateBoard(Board& board);

// Mirror left to right, in place.
void MirrorBoard(Board& board);

// Replaces a square of a board turned `turns` quarter turns clockwise (1 to 3) by the square of
// the unturned board. Any other turns or square is left unchanged.
void UnrotateSquare(int turns, int& square);

// The square's mirror image left to right.
int MirrorSquare(int square);

}  // namespace qrv
