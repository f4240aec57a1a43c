#include "rules/random.h"

namespace qrv {

namespace {

// Process-wide by design: one sequence runs on from game to game for the life of the program.
std::uint32_t randomState = kInitialRandomState;

}  // namespace

void SeedRandom(std::uint32_t seed) {
    randomState = seed;
}

int NextRandom() {
    randomState = randomState * 214013u + 2531011u;
    return static_cast<int>((randomState >> 16) & 0x7FFFu);
}

int RandomEmptySquare(const Board& board) {
    int count = 0;
    for (int square = 0; square < kSquareCount; ++square) {
        count += board[square] == kEmptyMark ? 1 : 0;
    }
    // A full board still draws once, so that the sequence of a game does not depend on it.
    const int drawn = NextRandom();
    if (count == 0) {
        return kNoSquare;
    }
    int wanted = drawn % count;
    for (int square = 0; square < kSquareCount; ++square) {
        if (board[square] == kEmptyMark && wanted-- == 0) {
            return square;
        }
    }
    return kNoSquare;
}

}  // namespace qrv
