#include "game/square_name.h"

#include "game/bounded_text.h"

namespace qrv {
namespace {

constexpr const char* kPositionNames[kSquareCount] = {
    "Top left",     "Top centre",  "Top right",     "Middle left",  "Centre",
    "Middle right", "Bottom left", "Bottom centre", "Bottom right",
};

}  // namespace

const char* SquarePosition(int square) {
    return IsSquare(square) ? kPositionNames[square] : nullptr;
}

SquareName DescribeSquare(const GameState& game, int square) {
    SquareName name{};
    if (!IsSquare(square)) {
        return name;
    }
    TextWriter text(name);
    text << kPositionNames[square];
    const char mark = game.Board[square];
    if (mark == kPersonMark) {
        text << ": X";
    } else if (mark == kComputerMark) {
        text << ": O";
    } else {
        text << ": empty";
        return name;
    }
    // A highlighted line is the game's last word: the X that completed it stays pending.
    if (game.Highlighted[square]) {
        text << (mark == kPersonMark ? ", in the winning line" : ", in the losing line");
    } else if (IsPendingX(game, square)) {
        text << ", not played yet";
    }
    return name;
}

}  // namespace qrv
