#include "trainer/target_search.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "opponents/opponents.h"
#include "trainer/draw_seeds.h"

namespace qrv::trainer {

namespace {

// The network stand-in the opponents ask while the search runs. The opponents hand it the
// stored position itself (turned and mirrored into the table's frame), so it answers from the
// candidate targets; it notes which stored positions were asked, and the first one that has no
// target yet.
struct CandidateNetwork {
    const qrv::PatternTable* patterns = nullptr;
    Targets targets{};
    std::uint32_t asked = 0;
    int missing = kNoTarget;
};

CandidateNetwork candidate;

int AnswerFromTargets(const std::int32_t* input) {
    char position[qrv::kSquareCount];
    for (int square = 0; square < qrv::kSquareCount; ++square) {
        position[square] = input[2 * square] != 0       ? qrv::kComputerMark
                           : input[2 * square + 1] != 0 ? qrv::kPersonMark
                                                        : qrv::kEmptyMark;
    }
    for (int slot = 0; slot < qrv::kPatternCount; ++slot) {
        if (std::memcmp(candidate.patterns->slots[slot].data(), position, qrv::kSquareCount) != 0) {
            continue;
        }
        candidate.asked |= 1u << slot;
        if (candidate.targets[slot] == kNoTarget && candidate.missing == kNoTarget) {
            candidate.missing = slot;
        }
        return candidate.targets[slot];
    }
    return -1;  // not a stored position: the opponents never ask for one
}

// A position where the person is about to place X number `turn`, against one opponent, with
// the stored positions whose targets led to it.
struct Position {
    qrv::Board board;
    int turn;
    int kind;
    std::uint32_t dependsOn;
};

struct Tally {
    std::uint64_t expanded = 0;
    std::uint64_t games = 0;
    std::uint64_t computerWins = 0;
    std::uint64_t draws = 0;
    std::uint32_t asked = 0;
    Failure failure = Failure::kNone;
};

enum class Expansion { kSafe, kUnsafe, kNeedsTarget };

int EmptyCount(const qrv::Board& board) {
    return static_cast<int>(
        std::count(board.begin(), board.begin() + qrv::kSquareCount, qrv::kEmptyMark));
}

// Tries every square for the person and every square a random draw could choose for the
// computer. kUnsafe when the person can win or the computer fails or leaves the table, with the
// stored positions that decided it in `conflict`; kNeedsTarget when a stored position without a
// target was asked (its slot in candidate.missing).
Expansion Expand(const Position& position, std::vector<Position>& next, std::uint32_t& conflict,
                 Tally& tally) {
    ++tally.expanded;
    const qrv::NetworkBinding network{nullptr, nullptr, nullptr, &AnswerFromTargets};
    const qrv::OpponentResources resources{*candidate.patterns, network};
    for (int square = 0; square < qrv::kSquareCount; ++square) {
        if (position.board[square] != qrv::kEmptyMark) {
            continue;
        }
        qrv::Board afterPerson = position.board;
        afterPerson[square] = qrv::kPersonMark;
        int outcome = qrv::kOutcomeNone;
        const int check = qrv::CheckHumanMove(afterPerson, position.turn, outcome);
        if (check == qrv::kHumanWon) {
            conflict = position.dependsOn;
            tally.failure = Failure::kPersonWins;
            return Expansion::kUnsafe;
        }
        if (check == qrv::kHumanDrew) {
            ++tally.games;
            ++tally.draws;
            continue;
        }
        const int empty = EmptyCount(afterPerson);
        std::vector<qrv::Board> seen;
        for (int draw = 0; draw < empty; ++draw) {
            qrv::SeedRandom(DrawSeed(empty, draw));
            qrv::Board afterComputer = afterPerson;
            candidate.asked = 0;
            candidate.missing = kNoTarget;
            outcome = qrv::kOutcomeNone;
            const int move = qrv::ChooseComputerMove(afterComputer, position.turn, position.kind,
                                                     outcome, resources);
            const std::uint32_t dependsOn = position.dependsOn | candidate.asked;
            tally.asked |= candidate.asked;
            if (candidate.missing != kNoTarget) {
                return Expansion::kNeedsTarget;
            }
            // An ordinary move before turn 4 that asked no stored position: the board was
            // outside the table, and the network opponent fell back on a random square.
            const bool leftTable =
                position.turn < 4 && outcome == qrv::kOutcomeNone && candidate.asked == 0;
            if (!qrv::IsSquare(move) || leftTable) {
                conflict = dependsOn;
                tally.failure = qrv::IsSquare(move) ? Failure::kLeftTable : Failure::kNoMove;
                return Expansion::kUnsafe;
            }
            if (std::find(seen.begin(), seen.end(), afterComputer) != seen.end()) {
                continue;  // this draw chose a square another draw chose already
            }
            seen.push_back(afterComputer);
            if (position.turn < 4 && seen.size() > 1) {
                // Two draws, two squares: a random move where the table should decide, as after
                // an answer that could not be carried back onto the board.
                conflict = dependsOn;
                tally.failure = Failure::kRandomMove;
                return Expansion::kUnsafe;
            }
            if (outcome >= qrv::kFirstLineCode && outcome <= qrv::kLastLineCode) {
                ++tally.games;
                ++tally.computerWins;
                continue;
            }
            next.push_back({afterComputer, position.turn + 1, position.kind, dependsOn});
        }
    }
    return Expansion::kSafe;
}

// The squares worth trying first: the centre, the corners, then the edges.
constexpr int kPreferredSquares[qrv::kSquareCount] = {4, 0, 2, 6, 8, 1, 3, 5, 7};

struct Outcome {
    bool safe;
    std::uint32_t conflict;  // when unsafe: targets that together make it unsafe
};

// Depth-first over every position still to visit. A stored position met without a target
// branches over its empty squares. A failure names the targets it depends on, so that the
// search jumps straight back past choices that played no part in it.
Outcome Explore(std::vector<Position> work, Tally& tally, std::uint64_t& backtracks) {
    std::vector<Position> next;
    while (!work.empty()) {
        const Position position = work.back();
        work.pop_back();
        next.clear();
        std::uint32_t conflict = 0;
        const Expansion expansion = Expand(position, next, conflict, tally);
        if (expansion == Expansion::kUnsafe) {
            return {false, conflict};
        }
        if (expansion == Expansion::kSafe) {
            work.insert(work.end(), next.rbegin(), next.rend());
            continue;
        }
        const int slot = candidate.missing;
        const std::uint32_t slotBit = 1u << slot;
        std::uint32_t conflicts = 0;
        for (int square : kPreferredSquares) {
            if (candidate.patterns->slots[slot][square] != qrv::kEmptyMark) {
                continue;
            }
            candidate.targets[slot] = square;
            std::vector<Position> retry = work;
            retry.push_back(position);
            const Outcome tried = Explore(std::move(retry), tally, backtracks);
            if (tried.safe) {
                return tried;
            }
            ++backtracks;
            if ((tried.conflict & slotBit) == 0) {
                candidate.targets[slot] = kNoTarget;
                return tried;  // no other square here can mend that failure
            }
            conflicts |= tried.conflict & ~slotBit;
        }
        candidate.targets[slot] = kNoTarget;
        return {false, conflicts};
    }
    return {true, 0};
}

std::vector<Position> Openings() {
    return {{qrv::EmptyBoard(), 1, qrv::kGeneticOpponent, 0},
            {qrv::EmptyBoard(), 1, qrv::kNetworkOpponent, 0}};
}

}  // namespace

TargetSearchResult SearchTargets(const qrv::PatternTable& patterns) {
    candidate = CandidateNetwork{};
    candidate.patterns = &patterns;
    candidate.targets.fill(kNoTarget);
    TargetSearchResult result;
    Tally tally;
    const Outcome outcome = Explore(Openings(), tally, result.backtracks);
    result.found = outcome.safe;
    result.targets = candidate.targets;
    for (int slot = 0; slot < qrv::kPatternCount; ++slot) {
        if (result.targets[slot] != kNoTarget) {
            result.askedSlots |= 1u << slot;
            continue;
        }
        for (int square : kPreferredSquares) {
            if (patterns.slots[slot][square] == qrv::kEmptyMark) {
                result.targets[slot] = square;
                break;
            }
        }
    }
    result.expandedPositions = tally.expanded;
    return result;
}

TreeCheck CheckTargets(const qrv::PatternTable& patterns, const Targets& targets) {
    candidate = CandidateNetwork{};
    candidate.patterns = &patterns;
    candidate.targets = targets;
    TreeCheck check;
    Tally tally;
    std::vector<Position> work = Openings();
    std::vector<Position> next;
    while (!work.empty()) {
        const Position position = work.back();
        work.pop_back();
        next.clear();
        std::uint32_t conflict = 0;
        const Expansion expansion = Expand(position, next, conflict, tally);
        if (expansion != Expansion::kSafe) {
            // A stored position without a target leaves its opponent without a move.
            check.failure = expansion == Expansion::kNeedsTarget ? Failure::kNoMove : tally.failure;
            return check;
        }
        work.insert(work.end(), next.begin(), next.end());
    }
    check.safe = true;
    check.games = tally.games;
    check.computerWins = tally.computerWins;
    check.draws = tally.draws;
    check.askedSlots = tally.asked;
    return check;
}

}  // namespace qrv::trainer
