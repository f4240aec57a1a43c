// The one game in progress and the four things a person can do to it.
#pragma once

#include <array>

#include "opponents/opponents.h"
#include "rules/board.h"

namespace qrv {

// How the game reaches a screen: the front end that owns the game carries out both requests.
class GameScreen {
public:
    // Redraw one square from its current mark and highlight before returning.
    virtual void RepaintSquare(int square) = 0;
    // Replace the whole text of the status line.
    virtual void SetStatusText(const char* text) = 0;

protected:
    ~GameScreen() = default;
};

// The status texts, exactly as the person sees them.
inline constexpr char kOpeningText[] = "Your move. Click on a square, then 'Play O'...";
inline constexpr char kYouWinText[] = "Game over - you win!";
inline constexpr char kDrawnText[] = "Give up - it's a drawn game!";
inline constexpr char kYouLoseText[] = "Game over - you lose!";
inline constexpr char kBlockedText[] = "Blocked you there!";
inline constexpr char kErrorText[] = "I'm sorry, there was some kind of an error...";

inline constexpr int kFirstTurn = 1;
inline constexpr int kLastTurn = 5;
inline constexpr int kGameOver = 6;
inline constexpr int kNoPendingSquare = -1;

struct GameState {
    qrv::Board Board = EmptyBoard();
    int Turn = kFirstTurn;  // the number of the X being placed; kGameOver once the game has ended
    int PendingSquare = kNoPendingSquare;  // the person's X not yet committed by "Play O"
    int OpponentKind = kNetworkOpponent;
    int LastOutcome = kOutcomeNone;
    MoveReason LastReason;  // how the computer chose its last move
    std::array<bool, kSquareCount> Highlighted{};

    GameScreen* Screen = nullptr;
    const PatternTable* Patterns = nullptr;
    const NetworkBinding* Network = nullptr;
};

// Puts the game into its first state and shows the opening text; repaints nothing, since the
// window is not on screen yet.
void InitGameState(GameState& game, GameScreen& screen, const PatternTable& patterns,
                   const NetworkBinding& network);

// A new game against the same opponent ("Reset").
void NewGame(GameState& game);

// The person clicked a square: place or move the pending X. Ignored when the square is not
// empty, is no square at all, or the game is over.
void SelectSquare(GameState& game, int square);

// The person pressed "Play O": commit the pending X and let the computer answer.
void PlayComputerMove(GameState& game);

// The person chose an opponent; the caller starts a new game afterwards.
void SetOpponent(GameState& game, int kind);

// Marks the three squares of a completed line and repaints them.
void HighlightLine(GameState& game, int lineCode);

// Whether the square holds the pending X of a running game, which "Play O" has yet to commit.
inline bool IsPendingX(const GameState& game, int square) {
    return square == game.PendingSquare && game.Turn != kGameOver;
}

// Whether a click on the square counts: the game is running and the square is empty.
bool CanSelectSquare(const GameState& game, int square);

}  // namespace qrv
