#include "opponents/pattern_table.h"

#include <algorithm>
#include <cstring>

namespace qrv {

bool LoadPatternTable(PatternTable& table, StringLookup resources, int firstId) {
    table.count = kPatternCount;
    for (PatternSlot& slot : table.slots) {
        slot.fill('\0');
        std::fill_n(slot.begin(), kSquareCount, kEmptyMark);
    }
    if (resources == nullptr) {
        return false;
    }
    for (int index = 0; index < kPatternCount; ++index) {
        PatternSlot& slot = table.slots[index];
        const int stored =
            resources(static_cast<unsigned>(firstId + index), slot.data(), kPatternSlotSize);
        if (stored != kSquareCount) {
            return false;
        }
        std::replace(slot.begin(), slot.begin() + kSquareCount, '*', kEmptyMark);
    }
    return true;
}

int FindPattern(const PatternSlots& slots, const Board& board, int first, int stop, int count) {
    const int end = std::min({stop, count, kPatternSlotCapacity});
    for (int index = std::max(first, 0); index < end; ++index) {
        // Compared as terminated texts: a slot left short by a failed load never matches.
        if (std::strncmp(slots[index].data(), board.data(), kPatternSlotSize) == 0) {
            return index;
        }
    }
    return count;
}

int MatchPatternRotated(const Board& board, const PatternSlots& slots, int& turns, int first,
                        int stop, int count) {
    Board turned = board;
    for (int made = 0; made < 4; ++made) {
        if (made > 0) {
            RotateBoard(turned);
        }
        const int found = FindPattern(slots, turned, first, stop, count);
        if (found < count) {
            turns = made;
            return found;
        }
    }
    return count;
}

void RotateBoard(Board& board) {
    static constexpr std::array<int, kSquareCount> kFrom = {6, 3, 0, 7, 4, 1, 8, 5, 2};
    Board turned{};
    for (int square = 0; square < kSquareCount; ++square) {
        turned[square] = board[kFrom[square]];
    }
    turned[kSquareCount] = '\0';
    board = turned;
}

void MirrorBoard(Board& board) {
    std::swap(board[0], board[2]);
    std::swap(board[3], board[5]);
    std::swap(board[6], board[8]);
}

void UnrotateSquare(int turns, int& square) {
    // Row q of the table gives, for 1, 2 and 3 turns, the square of the unturned board.
    static constexpr std::array<std::array<int, 3>, kSquareCount> kBack = {{
        {6, 8, 2},
        {3, 7, 5},
        {0, 6, 8},
        {7, 5, 1},
        {4, 4, 4},
        {1, 3, 7},
        {8, 2, 0},
        {5, 1, 3},
        {2, 0, 6},
    }};
    if (turns >= 1 && turns <= 3 && IsSquare(square)) {
        square = kBack[square][turns - 1];
    }
}

int MirrorSquare(int square) {
    if (!IsSquare(square)) {
        return square;
    }
    const int column = square % 3;
    return square - column + (2 - column);
}

}  // namespace qrv
