#include "game/game_state.h"

namespace qrv {

void InitGameState(GameState& game, GameScreen& screen, const PatternTable& patterns,
                   const NetworkBinding& network) {
    game.Screen = &screen;
    game.Patterns = &patterns;
    game.Network = &network;
    game.OpponentKind = kNetworkOpponent;
    game.Highlighted.fill(false);
    game.Board = EmptyBoard();
    game.PendingSquare = kNoPendingSquare;
    game.Turn = kFirstTurn;
    game.LastOutcome = kOutcomeNone;
    screen.SetStatusText(kOpeningText);
}

void NewGame(GameState& game) {
    game.PendingSquare = kNoPendingSquare;
    game.Highlighted.fill(false);
    game.Turn = kFirstTurn;
    game.Board = EmptyBoard();
    for (int square = 0; square < kSquareCount; ++square) {
        game.Screen->RepaintSquare(square);
    }
    game.Screen->SetStatusText(kOpeningText);
}

bool CanSelectSquare(const GameState& game, int square) {
    return game.Turn != kGameOver && IsSquare(square) && game.Board[square] == kEmptyMark;
}

void SelectSquare(GameState& game, int square) {
    if (!CanSelectSquare(game, square)) {
        return;
    }
    if (game.PendingSquare != kNoPendingSquare) {
        game.Board[game.PendingSquare] = kEmptyMark;
        game.Screen->RepaintSquare(game.PendingSquare);
    }
    game.Board[square] = kPersonMark;
    // Pending before it is repainted, so that the square's name says so when the screen asks.
    game.PendingSquare = square;
    game.Screen->RepaintSquare(square);

    // The X counts as soon as it stands on the board, committed or not.
    const int result = CheckHumanMove(game.Board, game.Turn, game.LastOutcome);
    if (result == kGameGoesOn) {
        return;
    }
    game.Turn = kGameOver;
    if (result == kHumanWon) {
        HighlightLine(game, game.LastOutcome);
        game.Screen->SetStatusText(kYouWinText);
    } else {
        game.Screen->SetStatusText(kDrawnText);
    }
}

void PlayComputerMove(GameState& game) {
    if (game.Turn >= kLastTurn || game.PendingSquare == kNoPendingSquare) {
        return;
    }
    const int turn = game.Turn;
    game.Turn = turn + 1;
    const OpponentResources resources{*game.Patterns, *game.Network};
    const int square = ChooseComputerMove(game.Board, turn, game.OpponentKind, game.LastOutcome,
                                          resources, &game.LastReason);
    if (!IsSquare(square)) {
        game.Turn = kGameOver;
        game.Screen->SetStatusText(kErrorText);
        return;
    }
    game.Board[square] = kComputerMark;
    game.Screen->RepaintSquare(square);
    game.PendingSquare = kNoPendingSquare;

    const int outcome = game.LastOutcome;
    if (outcome >= kFirstLineCode && outcome <= kLastLineCode) {
        game.Turn = kGameOver;
        HighlightLine(game, outcome);
        game.Screen->SetStatusText(kYouLoseText);
    } else if (outcome == kOutcomeDrawn) {
        // The game goes on: the person still places the last X.
        game.Screen->SetStatusText(kDrawnText);
    } else if (outcome == kOutcomeBlocked) {
        game.Screen->SetStatusText(kBlockedText);
    }
}

void SetOpponent(GameState& game, int kind) {
    game.OpponentKind = kind;
}

void HighlightLine(GameState& game, int lineCode) {
    if (lineCode < kFirstLineCode || lineCode > kLastLineCode) {
        return;
    }
    for (int square : LineSquares(lineCode)) {
        game.Highlighted[square] = true;
        game.Screen->RepaintSquare(square);
    }
}

}  // namespace qrv
