#include "game_sweep.h"

#include <algorithm>
#include <vector>

#include "support/fake_network.h"
#include "trainer/draw_seeds.h"

namespace qrv::testing {

namespace {

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
            screen_.Clear();
            qrv::SelectSquare(next, square);
            if (next.Turn == qrv::kGameOver) {
                ++counts_.games;
                if (screen_.LastText() == qrv::kYouWinText) {
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
            qrv::SeedRandom(trainer::DrawSeed(empty, draw));
            screen_.Clear();
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
            if (screen_.LastText() == qrv::kYouLoseText) {
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

}  // namespace qrv::testing
