// The opponents a person can choose, in one table from which every front end builds its menu.
#pragma once

#include <iterator>

#include "opponents/opponents.h"

namespace qrv {

struct OpponentChoice {
    int Kind;              // the OpponentKind it sets
    const char* MenuText;  // "Play against the &Neural Network": '&' before its letter
    const char* Name;      // "Neural Network", as in "New game against the Neural Network"
    const char* Word;      // "network": one lower-case word, for addresses and object names
    bool IsDefault;        // plays until another is chosen
};

inline constexpr OpponentChoice kOpponentChoices[] = {
#define QRV_OPPONENT(kind, menuText, name, word, isDefault) \
    {kind, menuText, name, word, (isDefault) != 0},
#include "game/opponents.inc"
#undef QRV_OPPONENT
};

// Where the table lists `kind`, or -1 when it does not. An index, not a pointer: GCC cannot
// compare pointers in a constant expression under its sanitizers.
constexpr int OpponentChoiceIndex(int kind) {
    for (int index = 0; index < static_cast<int>(std::size(kOpponentChoices)); ++index) {
        if (kOpponentChoices[index].Kind == kind) {
            return index;
        }
    }
    return -1;
}

// The entry for `kind`; a kind the table does not list plays the network opponent, as the
// dispatch has it.
constexpr const OpponentChoice& OpponentChoiceOf(int kind) {
    const int index = OpponentChoiceIndex(kind);
    return kOpponentChoices[index >= 0 ? index : OpponentChoiceIndex(kNetworkOpponent)];
}

constexpr const OpponentChoice& DefaultOpponentChoice() {
    for (const OpponentChoice& choice : kOpponentChoices) {
        if (choice.IsDefault) {
            return choice;
        }
    }
    return kOpponentChoices[0];
}

static_assert(OpponentChoiceOf(kRuleOpponent).Kind == kRuleOpponent &&
                  OpponentChoiceOf(kNetworkOpponent).Kind == kNetworkOpponent &&
                  OpponentChoiceOf(kGeneticOpponent).Kind == kGeneticOpponent,
              "every opponent can be chosen");
static_assert(DefaultOpponentChoice().Kind == kNetworkOpponent,
              "the game starts against the opponent the table calls the default");

}  // namespace qrv
