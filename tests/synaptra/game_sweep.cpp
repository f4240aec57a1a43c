#include "game_sweep.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "trainer/draw_seeds.h"

namespace synaptra::testing {

namespace {

// Keeps the status text the game shows, as the window would.
class RecordingScreen final : public qrv::GameScreen {
public:
    void RepaintSquare(int) override {}
    void SetStatusText(const char* text) override { last_ = text; }
    bool Shows(const char* text) const { return last_ != nullptr && std::strcmp(last_, text) == 0; }
    void Forget() { last_ = nullptr; }

private:
    const char* last_ = nullptr;
};

class Sweep {
public:
    explicit Sweep(SweepCounts& counts) : counts_(counts) {}

    RecordingScreen& Screen() { return screen_; }

    // The person is about to choose a square for the pending X.
    void PersonToMove(const qrv::GameState& game) {
        for (int square = 0; square < qrv::kSquareCount; ++square) {
            if (!qrv::CanSelectSquare(game, square)) {
                continue;
            }
            qrv::GameState next = game;
            screen_.Forget();
            qrv::SelectSquare(next, square);
            if (next.Turn == qrv::kGameOver) {
                ++counts_.games;
                if (screen_.Shows(qrv::kYouWinText)) {
                    ++counts_.personWins;
                } else {
                    ++counts_.draws;
                }
                continue;
            }
            ComputerToMove(next);
        }
    }

private:
    // "Play O" once for every square the random draw could choose; draws that lead to the same
    // board are one game.
    void ComputerToMove(const qrv::GameState& game) {
        const int empty = static_cast<int>(
            std::count(game.Board.begin(), game.Board.begin() + qrv::kSquareCount, ' '));
        std::vector<qrv::Board> seen;
        for (int draw = 0; draw < empty; ++draw) {
            qrv::GameState next = game;
            qrv::SeedRandom(DrawSeed(empty, draw));
            screen_.Forget();
            qrv::PlayComputerMove(next);
            if (std::find(seen.begin(), seen.end(), next.Board) != seen.end()) {
                continue;
            }
            seen.push_back(next.Board);
            if (next.Turn != qrv::kGameOver) {
                PersonToMove(next);
                continue;
            }
            ++counts_.games;
            if (screen_.Shows(qrv::kYouLoseText)) {
                ++counts_.computerWins;
            } else {
                ++counts_.errors;
            }
        }
    }

    SweepCounts& counts_;
    RecordingScreen screen_;
};

}  // namespace

SweepCounts SweepAllGames(int opponentKind, const qrv::PatternTable& patterns,
                          const qrv::NetworkBinding& network) {
    SweepCounts counts;
    Sweep sweep(counts);
    qrv::GameState game;
    qrv::InitGameState(game, sweep.Screen(), patterns, network);
    qrv::SetOpponent(game, opponentKind);
    qrv::NewGame(game);
    sweep.PersonToMove(game);
    return counts;
}

}  // namespace synaptra::testing
