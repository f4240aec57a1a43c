// What the computer thought about its last move, in numbers and in words, for the view that
// shows the network's thinking. Written here once so that every front end says the same.
#pragma once

#include <array>

#include "game/game_state.h"
#include "game/opponent_choices.h"
#include "netlib/network_binding.h"
#include "opponents/move_reason.h"

namespace qrv {

// A network value below this says that the person can win after O plays there; the values of
// squares O can play safely are win chances from 0 up.
inline constexpr float kLosingValueBelow = -0.25F;

// The View menu's item, '&' before the letter that chooses it, and the view's name, for
// assistive technology as for the eye; the page's generator reads both from here.
inline constexpr char kShowThinkingItem[] = "Show the Network's &Thinking";
inline constexpr char kThinkingName[] = "The Network's Thinking";
// What the view says for a network answer when the library cannot give the values behind it.
inline constexpr char kNoValuesText[] = "This network library gives no values";

inline constexpr int kThinkingTextSize = 128;
using ThinkingText = std::array<char, kThinkingTextSize>;
// "Bottom centre: taken, chosen" and the like.
inline constexpr int kValueTextSize = 40;
using ValueText = std::array<char, kValueTextSize>;

// The person's games against one opponent that ended in a result.
struct GameRecord {
    int Won = 0;
    int Drawn = 0;
    int Lost = 0;
};
inline constexpr int kOpponentCount = static_cast<int>(std::size(kOpponentChoices));
// Indexed by OpponentIndex.
using GameRecords = std::array<GameRecord, kOpponentCount>;
// The opponent's place in the table of choices; a kind it does not list plays the network's.
int OpponentIndex(int kind);

struct Thinking {
    int Opponent = kNetworkOpponent;  // the kind that moved
    MoveReason Reason;                // MovePath::None before the computer's first move
    int Square = -1;                  // where its O went, -1 when it found none
    Board Before = EmptyBoard();      // the board as the computer found it
    Board Stored = EmptyBoard();      // the stored position consulted, when Reason.Slot >= 0
    bool HasValues = false;           // the library gave the network's values
    NetValues StoredValues{};         // one per square of the stored position
    NetValues BoardValues{};          // the same carried onto the real board

    // How the move was chosen, as a sentence.
    ThinkingText How{};
    // One short reason for the spoken sentence, e.g. "The network rated it 26%."
    ThinkingText Short{};
    // One entry per square of the real board, e.g. "Top left: 26%", "Centre: taken"; empty
    // without values.
    std::array<ValueText, kSquareCount> Values{};
    // The same values' own words, "26%", "loses" or "taken", for a square drawn small.
    std::array<ValueText, kSquareCount> Words{};
};

// Fills the record's words and, for a network answer, the stored position and the values
// carried back; `network` is asked once, through GetNetOutputs, when it can give values.
void ExplainMove(Thinking& thinking, const PatternTable& patterns, const NetworkBinding& network);

// Where square s of a stored position stands on the real board, undoing the turns, then the
// mirror, as the opponents carry an answer back.
int CarryBack(const MoveReason& reason, int storedSquare);

// "Against the Neural Network: 0 won, 5 drawn, 1 lost".
ThinkingText DescribeRecord(int kind, const GameRecord& record);

// "Random Number Generator", "Neural Network", "Genetic Algorithm", from the table of choices.
const char* OpponentName(int kind);

}  // namespace qrv
