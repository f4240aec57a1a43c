#include "trainer/target_search.h"

#include <cstring>

#include "opponents/opponents.h"
#include "trainer/game_tree.h"

namespace qrv::trainer {

namespace {

// The binding's entry point is a plain function; it reaches the answers through here.
const PatternTable* answeringPatterns = nullptr;
const Answers* answeringAnswers = nullptr;

int AnswerStoredPosition(const std::int32_t* input) {
    char position[kSquareCount];
    for (int square = 0; square < kSquareCount; ++square) {
        position[square] = input[2 * square] != 0       ? kComputerMark
                           : input[2 * square + 1] != 0 ? kPersonMark
                                                        : kEmptyMark;
    }
    for (int slot = 0; slot < kPatternCount; ++slot) {
        if (std::memcmp(answeringPatterns->slots[slot].data(), position, kSquareCount) == 0) {
            return (*answeringAnswers)[slot];
        }
    }
    return -1;  // the opponents only ever ask for stored positions
}

// A stored position with its terminating zero, as a board.
Board AsBoard(const PatternSlot& slot) {
    Board board = EmptyBoard();
    std::memcpy(board.data(), slot.data(), kSquareCount);
    return board;
}

// Answers and values settle in at most one round per group of the table and one to confirm
// them, since each group's values depend only on the answers of the later groups.
constexpr int kMaxRounds = 8;

}  // namespace

NetworkBinding AnsweringNetwork(const PatternTable& patterns, const Answers& answers) {
    answeringPatterns = &patterns;
    answeringAnswers = &answers;
    NetworkBinding binding;
    binding.GetNetMove = &AnswerStoredPosition;
    return binding;
}

Valuation ValueStoredPositions(const PatternTable& patterns, const NetworkBinding& network) {
    const OpponentResources resources{patterns, network};
    OpponentTree tree(kNetworkOpponent, resources);
    Valuation valuation;
    for (int slot = 0; slot < kPatternCount; ++slot) {
        const Board position = AsBoard(patterns.slots[slot]);
        SquareValues& values = valuation.values[slot];
        for (int square = 0; square < kSquareCount; ++square) {
            if (position[square] != kEmptyMark) {
                values[square] = kTakenValue;
                continue;
            }
            const Outlook after = tree.AfterComputerSquare(position, square);
            if (after.canGoWrong) {
                values[square] = kLosingValue;
                continue;
            }
            values[square] = after.novice.Share(after.novice.wins);
            valuation.againstRandom[slot][square] = after.random.Share(after.random.wins);
        }
    }
    return valuation;
}

int BestSquare(const PatternSlot& position, const SquareValues& values,
               const SquareValues& againstRandom) {
    int best = kNoSquare;
    for (int square = 0; square < kSquareCount; ++square) {
        if (position[square] != kEmptyMark) {
            continue;
        }
        if (best == kNoSquare || values[square] > values[best] ||
            (values[square] == values[best] && againstRandom[square] > againstRandom[best])) {
            best = square;
        }
    }
    return best;
}

Targets SearchTargets(const PatternTable& patterns) {
    Targets targets;
    for (int slot = 0; slot < kPatternCount; ++slot) {
        targets.answers[slot] = BestSquare(patterns.slots[slot], {}, {});
    }
    while (targets.rounds < kMaxRounds && !targets.fixedPoint) {
        ++targets.rounds;
        targets.valuation =
            ValueStoredPositions(patterns, AnsweringNetwork(patterns, targets.answers));
        targets.fixedPoint = true;
        for (int slot = 0; slot < kPatternCount; ++slot) {
            const int best = BestSquare(patterns.slots[slot], targets.valuation.values[slot],
                                        targets.valuation.againstRandom[slot]);
            targets.fixedPoint = targets.fixedPoint && best == targets.answers[slot];
            targets.answers[slot] = best;
        }
    }
    return targets;
}

}  // namespace qrv::trainer
