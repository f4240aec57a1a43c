#include "game/game_state.h"

#include <gtest/gtest.h>

#include <vector>

#include "game/square_name.h"
#include "rules/random.h"
#include "support/fake_network.h"

namespace qrv {
namespace {

using testing::MakeBoard;
using testing::RecordingScreen;
using testing::ScriptedNetwork;
using testing::StoredPatterns;
using testing::Text;

class Game : public ::testing::Test {
protected:
    void Start(const NetworkBinding& network) {
        InitGameState(game, screen, StoredPatterns(), network);
    }

    // A game whose board is set up directly, as if the moves had been played.
    void Arrange(const char* board, int turn) {
        game.Board = MakeBoard(board);
        game.Turn = turn;
        game.PendingSquare = kNoPendingSquare;
        screen.Clear();
    }

    ScriptedNetwork network;  // answers the first empty square
    RecordingScreen screen;
    GameState game;
};

TEST_F(Game, InitialisationShowsTheOpeningTextOnly) {
    game.OpponentKind = kRuleOpponent;
    game.Highlighted[3] = true;
    Start(network.Binding());
    EXPECT_EQ(Text(game.Board), "         ");
    EXPECT_EQ(game.Turn, 1);
    EXPECT_EQ(game.PendingSquare, kNoPendingSquare);
    EXPECT_EQ(game.OpponentKind, kNetworkOpponent);
    EXPECT_EQ(game.Highlighted, (std::array<bool, 9>{}));
    EXPECT_TRUE(screen.repaints.empty());
    EXPECT_EQ(screen.texts, std::vector<std::string>{kOpeningText});
}

TEST_F(Game, MovingThePendingXRepaintsBothSquaresInOrder) {
    Start(network.Binding());
    SelectSquare(game, 4);
    SelectSquare(game, 0);
    EXPECT_EQ(Text(game.Board), "X        ");
    EXPECT_EQ(game.PendingSquare, 0);
    EXPECT_EQ(screen.repaints, (std::vector<int>{4, 4, 0}));
    EXPECT_EQ(screen.texts.size(), 1u);  // no status change

    PlayComputerMove(game);
    EXPECT_EQ(game.Turn, 2);
    EXPECT_EQ(game.PendingSquare, kNoPendingSquare);
    EXPECT_EQ(std::count(game.Board.begin(), game.Board.end(), 'O'), 1);
}

TEST_F(Game, ClicksThatDoNotFitAreIgnored) {
    Start(network.Binding());
    SelectSquare(game, 4);
    PlayComputerMove(game);  // O on 0, the first empty square
    SelectSquare(game, 8);
    screen.Clear();
    const Board before = game.Board;
    for (int square : {8, 4, 0, -1, 9, 100}) {  // pending X, committed X, O, no square
        SelectSquare(game, square);
    }
    EXPECT_EQ(game.Board, before);
    EXPECT_EQ(game.PendingSquare, 8);
    EXPECT_TRUE(screen.repaints.empty());
    EXPECT_TRUE(screen.texts.empty());
}

TEST_F(Game, PlayWithoutAPendingXDoesNothing) {
    Start(network.Binding());
    PlayComputerMove(game);
    SelectSquare(game, 4);
    PlayComputerMove(game);
    PlayComputerMove(game);  // the second press has no new X
    EXPECT_EQ(game.Turn, 2);
    EXPECT_EQ(std::count(game.Board.begin(), game.Board.end(), 'O'), 1);
    EXPECT_EQ(screen.texts, std::vector<std::string>{kOpeningText});
}

TEST_F(Game, APendingXThatCompletesALineWinsAtOnce) {
    Start(network.Binding());
    Arrange("XX OO    ", 3);
    SelectSquare(game, 2);
    EXPECT_EQ(game.Turn, kGameOver);
    EXPECT_EQ(screen.LastText(), kYouWinText);
    EXPECT_EQ(screen.repaints, (std::vector<int>{2, 0, 1, 2}));
    EXPECT_EQ(game.Highlighted, (std::array<bool, 9>{true, true, true}));
    // Over: the X cannot move and "Play O" does nothing.
    screen.Clear();
    SelectSquare(game, 5);
    PlayComputerMove(game);
    EXPECT_EQ(Text(game.Board), "XXXOO    ");
    EXPECT_TRUE(screen.texts.empty());
}

TEST_F(Game, TwoLinesAtOnceHighlightTheLowerCode) {
    Start(network.Binding());
    Arrange("X XOXOOXO", 5);  // the last square completes the top row and the middle column
    SelectSquare(game, 1);
    EXPECT_EQ(screen.LastText(), kYouWinText);
    EXPECT_EQ(game.Highlighted, (std::array<bool, 9>{true, true, true}));
}

TEST_F(Game, TheFifthXWithoutALineIsADraw) {
    Start(network.Binding());
    Arrange("XOXXOOOX ", 5);
    SelectSquare(game, 8);
    EXPECT_EQ(game.Turn, kGameOver);
    EXPECT_EQ(screen.LastText(), kDrawnText);
    EXPECT_EQ(game.Highlighted, (std::array<bool, 9>{}));
}

TEST_F(Game, ABlockIsAnnouncedAndTheTextStaysForAnOrdinaryMove) {
    Start(network.Binding());
    Arrange("X   O    ", 2);
    SelectSquare(game, 1);
    PlayComputerMove(game);
    EXPECT_EQ(Text(game.Board), "XXO O    ");
    EXPECT_EQ(screen.LastText(), kBlockedText);
    EXPECT_EQ(game.Turn, 3);
}

TEST_F(Game, AComputerLineLosesTheGame) {
    Start(network.Binding());
    Arrange("OO XX    ", 3);
    SelectSquare(game, 8);
    PlayComputerMove(game);
    EXPECT_EQ(game.Turn, kGameOver);
    EXPECT_EQ(game.PendingSquare, kNoPendingSquare);
    EXPECT_EQ(screen.LastText(), kYouLoseText);
    EXPECT_EQ(screen.repaints, (std::vector<int>{8, 2, 0, 1, 2}));
    EXPECT_EQ(game.Highlighted, (std::array<bool, 9>{true, true, true}));
}

TEST_F(Game, ADrawReportedByTheComputerLetsTheLastXBePlaced) {
    Start(network.Binding());
    Arrange("X X XOO O", 4);
    SelectSquare(game, 7);  // the O blocks the top row, which a turn-4 block reports as a draw
    PlayComputerMove(game);
    EXPECT_EQ(game.Turn, 5);
    EXPECT_EQ(screen.LastText(), kDrawnText);
    PlayComputerMove(game);  // turn 5: nothing
    EXPECT_EQ(game.Turn, 5);
    SelectSquare(game, 3);
    EXPECT_EQ(game.Turn, kGameOver);
    EXPECT_EQ(screen.LastText(), kDrawnText);
}

TEST_F(Game, AnOpponentFailureShowsTheErrorLine) {
    const NetworkBinding noNetwork;
    Start(noNetwork);
    SetOpponent(game, kGeneticOpponent);
    NewGame(game);
    SelectSquare(game, 4);
    PlayComputerMove(game);
    EXPECT_EQ(game.Turn, kGameOver);
    EXPECT_EQ(screen.LastText(), kErrorText);
    EXPECT_EQ(Text(game.Board), "    X    ");  // the X stays, no O
    EXPECT_EQ(game.PendingSquare, 4);
    screen.Clear();
    SelectSquare(game, 0);
    PlayComputerMove(game);
    EXPECT_TRUE(screen.repaints.empty());
    NewGame(game);
    EXPECT_EQ(game.Turn, 1);
    EXPECT_EQ(game.OpponentKind, kGeneticOpponent);
}

TEST_F(Game, NewGameClearsEverythingButTheOpponent) {
    Start(network.Binding());
    SetOpponent(game, kRuleOpponent);
    Arrange("XX OO    ", 3);
    SelectSquare(game, 2);
    screen.Clear();
    NewGame(game);
    EXPECT_EQ(Text(game.Board), "         ");
    EXPECT_EQ(game.Turn, 1);
    EXPECT_EQ(game.PendingSquare, kNoPendingSquare);
    EXPECT_EQ(game.Highlighted, (std::array<bool, 9>{}));
    EXPECT_EQ(game.OpponentKind, kRuleOpponent);
    EXPECT_EQ(screen.repaints, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(screen.texts, std::vector<std::string>{kOpeningText});
}

TEST_F(Game, SetOpponentChangesOnlyTheKind) {
    Start(network.Binding());
    SelectSquare(game, 4);
    screen.Clear();
    SetOpponent(game, kRuleOpponent);
    EXPECT_EQ(game.OpponentKind, kRuleOpponent);
    EXPECT_EQ(game.PendingSquare, 4);
    EXPECT_TRUE(screen.repaints.empty());
    EXPECT_TRUE(screen.texts.empty());
}

TEST_F(Game, CanSelectSquareFollowsTheGuard) {
    Start(network.Binding());
    SelectSquare(game, 4);
    EXPECT_TRUE(CanSelectSquare(game, 0));
    EXPECT_FALSE(CanSelectSquare(game, 4));
    EXPECT_FALSE(CanSelectSquare(game, 9));
    game.Turn = kGameOver;
    EXPECT_FALSE(CanSelectSquare(game, 0));
}

// Names through a game: pending, committed, a win by the pending X and a loss.
TEST_F(Game, SquareNamesFollowTheGame) {
    Start(network.Binding());  // the network answers the first empty square
    const auto name = [&](int square) { return std::string(DescribeSquare(game, square).data()); };
    screen.game = &game;
    SelectSquare(game, 4);
    EXPECT_EQ(name(4), "Centre: X, not played yet");
    // Already so when the square is repainted: the screen names it then.
    EXPECT_EQ(screen.names, std::vector<std::string>{"Centre: X, not played yet"});
    EXPECT_EQ(name(8), "Bottom right: empty");
    PlayComputerMove(game);
    EXPECT_EQ(name(4), "Centre: X");
    EXPECT_EQ(name(0), "Top left: O");
    EXPECT_EQ(name(9), "");

    Arrange("XX OO    ", 3);
    SelectSquare(game, 2);
    EXPECT_EQ(name(2), "Top right: X, in the winning line");
    EXPECT_EQ(name(3), "Middle left: O");

    Arrange("OO XX  X ", 3);
    game.Highlighted.fill(false);
    HighlightLine(game, 9);
    EXPECT_EQ(name(1), "Top centre: O, in the losing line");
    EXPECT_EQ(name(7), "Bottom centre: X");
}

}  // namespace
}  // namespace qrv
