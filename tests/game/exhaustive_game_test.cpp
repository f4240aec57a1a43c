// Plays every game a person can play, against every opponent and every random draw, and
// checks the game's invariants after each operation.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <tuple>

#include "game/game_state.h"
#include "netlib/network_binding.h"
#include "support/fake_network.h"

namespace qrv {
namespace {

using testing::RecordingScreen;
using testing::SeedForDraw;
using testing::StoredPatterns;
using testing::Text;

int Count(const Board& board, char mark) {
    return static_cast<int>(std::count(board.begin(), board.begin() + kSquareCount, mark));
}

struct Tally {
    long games = 0;
    long personWins = 0;
    long computerWins = 0;
    long draws = 0;
    long errors = 0;
};

class ExhaustivePlay {
public:
    ExhaustivePlay(const NetworkBinding& network, int kind) : network_(network), kind_(kind) {}

    Tally Run() {
        GameState game;
        InitGameState(game, screen_, StoredPatterns(), network_);
        SetOpponent(game, kind_);
        NewGame(game);
        PersonMoves(game);
        return tally_;
    }

private:
    // Every empty square for the person's next X. Each X is first put on another empty square
    // and then moved, so moving the pending X is exercised in every game.
    void PersonMoves(const GameState& game) {
        for (int square = 0; square < kSquareCount; ++square) {
            if (game.Board[square] != kEmptyMark) {
                continue;
            }
            GameState next = game;
            const int detour = HarmlessDetour(next.Board, square);
            if (detour >= 0) {
                Select(next, detour);
                if (HasFatalFailure()) {
                    return;
                }
            }
            Select(next, square);
            if (HasFatalFailure()) {
                return;
            }
            if (next.Turn == kGameOver) {
                Finish(next);
            } else {
                ComputerMoves(next);
            }
        }
    }

    // Every random draw the computer's move could make.
    void ComputerMoves(const GameState& game) {
        const int empty = Count(game.Board, kEmptyMark);
        std::set<std::tuple<std::string, int, std::string>> seen;
        for (int k = 0; k < empty; ++k) {
            GameState next = game;
            SeedForDraw(empty, k);
            Play(next);
            if (HasFatalFailure()) {
                return;
            }
            // Moves that drew nothing give the same result for every k.
            if (!seen.emplace(Text(next.Board), next.Turn, screen_.LastText()).second) {
                continue;
            }
            if (next.Turn == kGameOver) {
                Finish(next);
            } else {
                PersonMoves(next);
            }
        }
    }

    void Select(GameState& game, int square) {
        const GameState before = game;
        screen_.Clear();
        SelectSquare(game, square);
        CheckNoMarkLost(before, game, before.PendingSquare);
        ASSERT_EQ(game.Board[square], kPersonMark);
        ASSERT_EQ(game.PendingSquare, square);
        if (game.Turn == kGameOver) {
            ASSERT_EQ(screen_.texts.size(), 1u);
            const bool won = FindLineWithSum(game.Board, kSumThreeX) != 0;
            ASSERT_EQ(screen_.texts[0], won ? kYouWinText : kDrawnText);
            CheckHighlight(game, won ? kPersonMark : 0);
            if (!won) {
                ASSERT_EQ(before.Turn, kLastTurn);
            }
        } else {
            ASSERT_TRUE(screen_.texts.empty());
            ASSERT_EQ(game.Turn, before.Turn);
            CheckRunning(game);
        }
    }

    void Play(GameState& game) {
        const GameState before = game;
        screen_.Clear();
        PlayComputerMove(game);
        CheckNoMarkLost(before, game, kNoPendingSquare);
        if (game.Turn == kGameOver) {
            ASSERT_EQ(screen_.texts.size(), 1u);
            if (screen_.texts[0] == kErrorText) {
                // Only the genetic opponent may fail, and nothing is written then.
                ASSERT_EQ(kind_, kGeneticOpponent);
                ASSERT_EQ(game.Board, before.Board);
                ASSERT_EQ(game.PendingSquare, before.PendingSquare);
                CheckHighlight(game, 0);
                return;
            }
            ASSERT_EQ(screen_.texts[0], kYouLoseText);
            CheckHighlight(game, kComputerMark);
        } else {
            ASSERT_EQ(game.Turn, before.Turn + 1);
            ASSERT_LE(screen_.texts.size(), 1u);
            if (!screen_.texts.empty()) {
                const std::string& text = screen_.texts[0];
                ASSERT_TRUE(text == kBlockedText || (text == kDrawnText && game.Turn == kLastTurn))
                    << text;
            }
            CheckRunning(game);
        }
        ASSERT_EQ(Count(game.Board, kComputerMark), Count(before.Board, kComputerMark) + 1);
        ASSERT_EQ(game.PendingSquare, kNoPendingSquare);
    }

    // While a game runs: X and O counts follow the turn and nothing is highlighted.
    void CheckRunning(const GameState& game) {
        ASSERT_GE(game.Turn, kFirstTurn);
        ASSERT_LE(game.Turn, kLastTurn);
        const int pending = game.PendingSquare == kNoPendingSquare ? 0 : 1;
        ASSERT_EQ(Count(game.Board, kPersonMark), game.Turn - 1 + pending);
        ASSERT_EQ(Count(game.Board, kComputerMark), game.Turn - 1);
        ASSERT_EQ(std::count(game.Highlighted.begin(), game.Highlighted.end(), true), 0);
    }

    // A finished game highlights exactly one completed line of `mark`, or nothing.
    void CheckHighlight(const GameState& game, char mark) {
        const auto lit = std::count(game.Highlighted.begin(), game.Highlighted.end(), true);
        if (mark == 0) {
            ASSERT_EQ(lit, 0);
            return;
        }
        ASSERT_EQ(lit, 3);
        bool isLine = false;
        for (const Line& line : LineTable) {
            if (game.Highlighted[line[0]] && game.Highlighted[line[1]] &&
                game.Highlighted[line[2]]) {
                isLine = game.Board[line[0]] == mark && game.Board[line[1]] == mark &&
                         game.Board[line[2]] == mark;
            }
        }
        ASSERT_TRUE(isLine);
    }

    // Every mark stays where it was, but for the pending X that may move.
    void CheckNoMarkLost(const GameState& before, const GameState& after, int movable) {
        for (int square = 0; square < kSquareCount; ++square) {
            if (before.Board[square] != kEmptyMark && square != movable) {
                ASSERT_EQ(after.Board[square], before.Board[square]) << "square " << square;
            }
        }
    }

    void Finish(const GameState& game) {
        ++tally_.games;
        const std::string& text = screen_.LastText();
        if (text == kYouWinText) {
            ++tally_.personWins;
        } else if (text == kYouLoseText) {
            ++tally_.computerWins;
        } else if (text == kDrawnText) {
            ++tally_.draws;
        } else {
            ++tally_.errors;
        }
        ASSERT_EQ(game.Turn, kGameOver);
    }

    // An empty square other than `square` on which an X would not end the game, or -1.
    static int HarmlessDetour(const Board& board, int square) {
        for (int other = 0; other < kSquareCount; ++other) {
            if (other == square || board[other] != kEmptyMark) {
                continue;
            }
            Board tried = board;
            tried[other] = kPersonMark;
            if (FindLineWithSum(tried, kSumThreeX) == 0 && Count(tried, kEmptyMark) > 0) {
                return other;
            }
        }
        return -1;
    }

    static bool HasFatalFailure() { return ::testing::Test::HasFatalFailure(); }

    const NetworkBinding& network_;
    const int kind_;
    RecordingScreen screen_;
    Tally tally_;
};

class ExhaustiveGames : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        ASSERT_TRUE(LoadNetworkLibrary(binding_, QRV_FAKE_LIBRARY_ROOT "fake_ready/"));
    }
    void TearDown() override { ReleaseNetworkLibrary(binding_); }

    NetworkBinding binding_;
};

TEST_P(ExhaustiveGames, KeepEveryRuleAfterEveryOperation) {
    const int kind = GetParam();
    const Tally tally = ExhaustivePlay(binding_, kind).Run();
    std::printf(
        "opponent %d: %ld games, person wins %ld, computer wins %ld, draws %ld, errors %ld\n", kind,
        tally.games, tally.personWins, tally.computerWins, tally.draws, tally.errors);
    EXPECT_EQ(tally.games, tally.personWins + tally.computerWins + tally.draws + tally.errors);
    EXPECT_GT(tally.personWins, 0);
    EXPECT_GT(tally.computerWins, 0);
    EXPECT_GT(tally.draws, 0);
    if (kind != kGeneticOpponent) {
        EXPECT_EQ(tally.errors, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Opponents, ExhaustiveGames,
                         ::testing::Values(kRuleOpponent, kNetworkOpponent, kGeneticOpponent));

}  // namespace
}  // namespace qrv
