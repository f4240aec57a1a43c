// Every possible game from a position, with the real opponents, and how the games end against
// two kinds of person: exact chances, not samples.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "opponents/opponents.h"
#include "rules/board.h"

namespace qrv::trainer {

// The persons the opponents are measured against. The person moves first.
enum class Person {
    kRandom,  // a uniformly random empty square
    kNovice,  // completes its own line if it can, else blocks two O in a line, else at random
};

// How the games from a position end, each game weighted by its chance. A random choice among
// k squares gives each a share of 1/k; with n empty squares on the board every chance is a
// whole multiple of 1/n!, so the counts are whole numbers out of Total() = n!.
struct Ends {
    std::uint64_t wins = 0;  // the computer completes a line
    std::uint64_t draws = 0;
    std::uint64_t losses = 0;    // the person completes a line
    std::uint64_t failures = 0;  // the opponent produces no move

    std::uint64_t Total() const { return wins + draws + losses + failures; }
    double Share(std::uint64_t part) const {
        return static_cast<double>(part) / static_cast<double>(Total());
    }
    Ends& operator+=(const Ends& other);
    Ends Times(std::uint64_t factor) const;
    friend bool operator==(const Ends&, const Ends&) = default;
};

// A position with the person to move: how its games end against each person, and whether any
// person, whatever the draws, can win or make the opponent fail from it.
struct Outlook {
    Ends random;
    Ends novice;
    bool canGoWrong = false;

    const Ends& Against(Person person) const { return person == Person::kRandom ? random : novice; }
};

// The games against one of the real opponents, its random draws followed one by one. Positions
// are remembered, so a tree costs each position once.
class OpponentTree {
public:
    OpponentTree(int kind, const OpponentResources& resources);

    // The board has the person to move: as many O as X.
    const Outlook& PersonToMove(const Board& board);
    // After the computer writes its O at `square` of a board where it is to move.
    Outlook AfterComputerSquare(const Board& board, int square);
    Outlook WholeGame() { return PersonToMove(EmptyBoard()); }

private:
    Outlook ComputerToMove(const Board& board, int turn);

    const int kind_;
    const OpponentResources& resources_;
    std::vector<std::optional<Outlook>> memo_;  // by the board's number in base 3
};

// The best the computer can do against a person while it never loses against any person: on
// every move, of the squares that keep a game that cannot be lost, the one with the highest
// chance of a win. Over the whole game.
Ends LimitOfTheGame(Person person);

}  // namespace qrv::trainer
