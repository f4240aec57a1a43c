#include "game/thinking.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "game/bounded_text.h"
#include "game/square_name.h"
#include "opponents/pattern_table.h"

namespace qrv {
namespace {

int Percent(float value) {
    return static_cast<int>(std::lround(std::clamp(value, 0.0F, 1.0F) * 100.0F));
}

// "as it stands", "mirrored", "turned twice", "mirrored and turned once".
const char* FormName(const MoveReason& reason) {
    static constexpr const char* kTurned[] = {"as it stands", "turned once", "turned twice",
                                              "turned three times"};
    static constexpr const char* kMirrored[] = {"mirrored", "mirrored and turned once",
                                                "mirrored and turned twice",
                                                "mirrored and turned three times"};
    const int turns = std::clamp(reason.Turns, 0, 3);
    return reason.Mirrored ? kMirrored[turns] : kTurned[turns];
}

void Explain(Thinking& thinking, bool networkReady) {
    const MoveReason& reason = thinking.Reason;
    TextWriter how(thinking.How);
    TextWriter brief(thinking.Short);
    switch (reason.Path) {
        case MovePath::None:
            how << "The computer has not moved yet in this game.";
            break;
        case MovePath::CompletedLine:
            how << "It completed its line.";
            brief << "It completed its line.";
            break;
        case MovePath::BlockedLine:
            how << "It blocked your line.";
            brief << "It blocked your line.";
            break;
        case MovePath::RandomSquare:
            how << "A random square: there was no line to complete or block.";
            brief << "A random square.";
            break;
        case MovePath::RandomLastMove:
            how << "A random square at turn 4: there was no line to complete or block.";
            brief << "A random square at turn 4.";
            break;
        case MovePath::NetworkAnswer:
            how << "Stored position " << reason.Slot + 1 << " of " << kPatternCount << " was found "
                << FormName(reason) << ", and the network was asked.";
            if (thinking.HasValues && IsSquare(thinking.Square)) {
                const float value = thinking.BoardValues[thinking.Square];
                if (value < kLosingValueBelow) {
                    brief << "The network rated it a loss.";
                } else {
                    brief << "The network rated it " << Percent(value) << "%.";
                }
            } else {
                brief << "The network chose it.";
            }
            break;
        case MovePath::RandomNoPattern:
            how << "A random square: no stored position matched the board.";
            brief << "No stored position matched, so a random square.";
            break;
        case MovePath::RandomTakenAnswer:
            how << "Stored position " << reason.Slot + 1 << " of " << kPatternCount << " was found "
                << FormName(reason)
                << ", but the network named a taken square, so a random square.";
            brief << "The network named a taken square, so a random square.";
            break;
        case MovePath::RandomNoNetwork:
            how << "A random square: there is no network to ask.";
            brief << "There is no network, so a random square.";
            break;
        case MovePath::Failed:
            if (!networkReady) {
                how << "There is no network to ask, so the " << OpponentName(thinking.Opponent)
                    << " could not move.";
            } else if (reason.Slot < 0) {
                how << "No stored position matched the board, so the "
                    << OpponentName(thinking.Opponent) << " could not move.";
            } else {
                how << "Stored position " << reason.Slot + 1 << " of " << kPatternCount
                    << " was found " << FormName(reason) << ", but the network named a taken "
                    << "square, so the " << OpponentName(thinking.Opponent) << " could not move.";
            }
            brief << "It could not move.";
            break;
    }
}

void DescribeValues(Thinking& thinking) {
    for (int square = 0; square < kSquareCount; ++square) {
        TextWriter word(thinking.Words[square]);
        const float value = thinking.BoardValues[square];
        if (thinking.Before[square] != kEmptyMark) {
            word << "taken";
        } else if (value < kLosingValueBelow) {
            word << "loses";
        } else {
            word << Percent(value) << "%";
        }
        TextWriter entry(thinking.Values[square]);
        entry << SquarePosition(square) << ": " << thinking.Words[square].data();
        if (square == thinking.Square) {
            entry << ", chosen";
        }
    }
}

}  // namespace

int OpponentIndex(int kind) {
    return OpponentChoiceIndex(OpponentChoiceOf(kind).Kind);
}

const char* OpponentName(int kind) {
    return OpponentChoiceOf(kind).Name;
}

int CarryBack(const MoveReason& reason, int storedSquare) {
    int square = storedSquare;
    UnrotateSquare(reason.Turns, square);
    return reason.Mirrored ? MirrorSquare(square) : square;
}

void ExplainMove(Thinking& thinking, const PatternTable& patterns, const NetworkBinding& network) {
    const MoveReason& reason = thinking.Reason;
    thinking.HasValues = false;
    thinking.Values = {};
    thinking.Words = {};
    const bool found = reason.Slot >= 0 && reason.Slot < patterns.count;
    if (found) {
        std::copy_n(patterns.slots[reason.Slot].begin(), kSquareCount, thinking.Stored.begin());
    }
    // Only an answer that was played has values worth showing; the record of a failure names
    // the stored position without them.
    if (found && reason.Path == MovePath::NetworkAnswer &&
        AskNetworkValues(network, thinking.Stored, thinking.StoredValues)) {
        thinking.HasValues = true;
        for (int square = 0; square < kSquareCount; ++square) {
            thinking.BoardValues[CarryBack(reason, square)] = thinking.StoredValues[square];
        }
        DescribeValues(thinking);
    }
    Explain(thinking, HasNetMove(network));
}

ThinkingText DescribeRecord(int kind, const GameRecord& record) {
    ThinkingText text{};
    TextWriter(text) << "Against the " << OpponentName(kind) << ": " << record.Won << " won, "
                     << record.Drawn << " drawn, " << record.Lost << " lost";
    return text;
}

}  // namespace qrv
