// How an opponent chose its square, for a person who wants to see why.
#pragma once

#include <cstdint>

namespace qrv {

enum class MovePath : std::uint8_t {
    None,               // no move has been made
    CompletedLine,      // the opponent's own line of three
    BlockedLine,        // the person's two in a line
    RandomSquare,       // the random-number opponent's last rule
    RandomLastMove,     // turn 4 with nothing to complete or block
    NetworkAnswer,      // a stored position was found and the network's answer played
    RandomNoPattern,    // no stored position matched the board
    RandomTakenAnswer,  // the network named a taken square, so a random one was played
    RandomNoNetwork,    // there is no network to ask
    Failed,             // no square at all; Slot and Answer say how far it got
};

// Filled where the decision is made; the opponents take it as an optional pointer, so that a
// caller that does not ask pays nothing.
struct MoveReason {
    MovePath Path = MovePath::None;
    int Slot = -1;          // the stored position consulted, -1 when none matched
    int Turns = 0;          // quarter turns clockwise that took the board onto it
    bool Mirrored = false;  // mirrored before the turns
    int Answer = -1;        // the network's answer as it came, in the stored position's frame
};

}  // namespace qrv
