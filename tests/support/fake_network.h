// Test doubles for the network and the screen, in process.
#pragma once

#include <string>
#include <vector>

#include "game/game_state.h"
#include "game/square_name.h"
#include "netlib/network_binding.h"
#include "opponents/pattern_table.h"
#include "rules/board.h"

namespace qrv::testing {

// A network answering from a script: the k-th question gets answers[k], the last answer
// repeating. An empty script answers the first empty square of the position. Every position
// asked is recorded.
class ScriptedNetwork {
public:
    explicit ScriptedNetwork(std::vector<int> answers = {});
    ~ScriptedNetwork();
    ScriptedNetwork(const ScriptedNetwork&) = delete;
    ScriptedNetwork& operator=(const ScriptedNetwork&) = delete;

    const NetworkBinding& Binding() const { return binding_; }
    // The positions asked, decoded into board form.
    const std::vector<std::string>& Asked() const { return asked_; }

private:
    static int Answer(const std::int32_t* input);

    NetworkBinding binding_;
    std::vector<int> answers_;
    std::vector<std::string> asked_;
};

// The stored positions, loaded from the program's own strings.
const PatternTable& StoredPatterns();

// A board from nine characters, e.g. "XO  X   O".
Board MakeBoard(const char* nine);
std::string Text(const Board& board);

// Sets the random source so that the next draw among `emptyCount` squares picks number k.
void SeedForDraw(int emptyCount, int k);

// Records what the game asks of its screen.
class RecordingScreen : public GameScreen {
public:
    void RepaintSquare(int square) override {
        repaints.push_back(square);
        if (game != nullptr) {
            names.emplace_back(DescribeSquare(*game, square).data());
        }
    }
    void SetStatusText(const char* text) override { texts.emplace_back(text); }

    std::string LastText() const { return texts.empty() ? std::string() : texts.back(); }
    void Clear() {
        repaints.clear();
        texts.clear();
    }

    std::vector<int> repaints;
    std::vector<std::string> texts;
    // With a game: each repainted square's name at the moment it is repainted.
    const GameState* game = nullptr;
    std::vector<std::string> names;
};

}  // namespace qrv::testing
