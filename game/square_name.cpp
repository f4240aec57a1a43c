#include "game/square_name.h"

#include <cstring>

namespace qrv {
namespace {

constexpr const char* kPositionNames[kSquareCount] = {
    "Top left",     "Top centre",  "Top right",     "Middle left",  "Centre",
    "Middle right", "Bottom left", "Bottom centre", "Bottom right",
};

void Append(SquareName& name, std::size_t& length, const char* text) {
    const std::size_t room = name.size() - 1 - length;
    const std::size_t count = std::min(std::strlen(text), room);
    std::memcpy(name.data() + length, text, count);
    length += count;
    name[length] = '\0';
}

}  // namespace

const char* SquarePosition(int square) {
    return IsSquare(square) ? kPositionNames[square] : nullptr;
}

SquareName DescribeSquare(const GameState& game, int square) {
    SquareName name{};
    if (!IsSquare(square)) {
        return name;
    }
    std::size_t length = 0;
    Append(name, length, kPositionNames[square]);
    const char mark = game.Board[square];
    if (mark == kPersonMark) {
        Append(name, length, ": X");
    } else if (mark == kComputerMark) {
        Append(name, length, ": O");
    } else {
        Append(name, length, ": empty");
        return name;
    }
    // A highlighted line is the game's last word: the X that completed it stays pending.
    if (game.Highlighted[square]) {
        Append(name, length,
               mark == kPersonMark ? ", in the winning line" : ", in the losing line");
    } else if (square == game.PendingSquare && game.Turn != kGameOver) {
        Append(name, length, ", not played yet");
    }
    return name;
}

}  // namespace qrv
