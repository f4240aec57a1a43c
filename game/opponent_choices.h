// The opponents a person can choose, in one table from which every front end builds its menu.
#pragma once

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

// The table's entry for `kind`, or null when it lists none.
constexpr const OpponentChoice* FindOpponentChoice(int kind) {
    for (const OpponentChoice& choice : kOpponentChoices) {
        if (choice.Kind == kind) {
            return &choice;
        }
    }
    return nullptr;
}

// The entry for `kind`; a kind the table does not list plays the network opponent, as the
// dispatch has it.
constexpr const OpponentChoice& OpponentChoiceOf(int kind) {
    const OpponentChoice* choice = FindOpponentChoice(kind);
    return choice != nullptr ? *choice : *FindOpponentChoice(kNetworkOpponent);
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
