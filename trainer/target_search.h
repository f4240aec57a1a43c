// The trainer's targets: what each square of each stored position is worth, taken as a board
// with O to move and the network opponent playing on, and the square the network must answer.
#pragma once

#include <array>

#include "netlib/network_binding.h"
#include "opponents/pattern_table.h"

namespace qrv::trainer {

// Where a person can win afterwards, with any chance at all, or the opponent can fail.
inline constexpr double kLosingValue = -1.0;
// Below every empty square.
inline constexpr double kTakenValue = -2.0;

// Per square: the chance of a win against the novice after O plays there (0 to 1),
// kLosingValue or kTakenValue.
using SquareValues = std::array<double, kSquareCount>;
using StoredValues = std::array<SquareValues, kPatternCount>;
using Answers = std::array<int, kPatternCount>;

// The values of every stored position with the network opponent asking `network`, and beside
// them each square's chance of a win against a random person (0 where the value is negative),
// which decides between squares of equal value.
struct Valuation {
    StoredValues values{};
    StoredValues againstRandom{};
};
Valuation ValueStoredPositions(const PatternTable& patterns, const NetworkBinding& network);

// The empty square with the highest value; of equal ones, the one that wins more often against
// a random person, then the lowest.
int BestSquare(const PatternSlot& position, const SquareValues& values,
               const SquareValues& againstRandom);

struct Targets {
    Answers answers{};
    Valuation valuation;
    int rounds = 0;           // rounds of answering and valuing until the answers stood still
    bool fixedPoint = false;  // the values computed with these answers choose them again
};

// Gives each stored position its best square, values the squares again with those answers
// and repeats until the answers no longer change.
Targets SearchTargets(const PatternTable& patterns);

// A network that answers each stored position from `answers` (kept by reference, as is the
// table), and -1 for anything else.
NetworkBinding AnsweringNetwork(const PatternTable& patterns, const Answers& answers);

}  // namespace qrv::trainer
