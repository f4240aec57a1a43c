// The game's window: the board of nine squares, the status field, "Play O", "Reset" and
// "Exit", and the File and Help menus, laid out as the Windows program's dialog template.
#pragma once

#include <QWidget>
#include <array>

#include "game/game_state.h"
#include "netlib/network_binding.h"
#include "opponents/pattern_table.h"

class QAction;
class QFrame;
class QLineEdit;
class QMenuBar;
class QPushButton;

namespace qrv::qt {

class SquareButton;

inline constexpr char kWindowCaption[] = "Play Xs & Os with Neural Network...";
inline constexpr char kLibraryErrorCaption[] = "Error...Failed to load libSynaptra.so!";
inline constexpr char kLibraryErrorText[] =
    "Close app, place libSynaptra.so & qrv.bpn in same folder as the program";

// The template's size of the client area, in dialog units.
inline constexpr int kClientWidthUnits = 198;
inline constexpr int kClientHeightUnits = 194;

// Writes the path tried and the reason to standard error, for a terminal or the journal, then
// shows the modal error box about a missing or unusable network library.
void ReportLibraryFailure(const LoadFailure& failure);

// Seeds the random source and loads the library from the program's folder, reporting a failure
// with the error box: the program's own start of the library.
bool StartNetworkBesideProgram(NetworkBinding& binding);

// What the window's set-up uses; tests hand in their own string table or library.
struct WindowSetup {
    StringLookup patternStrings;
    bool (*startNetwork)(NetworkBinding& binding);
};
WindowSetup ProgramSetup();

// The one main window of the process. It owns the game, the pattern table and the network
// binding (in static storage) and turns clicks and menu commands into operations of the game.
class MainWindow final : public QWidget, private GameScreen {
    Q_OBJECT
public:
    explicit MainWindow(const WindowSetup& setup = ProgramSetup());
    ~MainWindow() override;

    // Whether the set-up got as far as a game: false when the pattern table failed to load.
    bool HasGame() const { return hasGame_; }
    static const GameState& Game();
    static const NetworkBinding& Network();

    QMenuBar* MenuBar() const { return menuBar_; }
    // The client area, below the menu bar, which the template lays out.
    QWidget* ClientArea() const { return client_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    void BuildMenus();
    void CenterOnScreen();

    void RepaintSquare(int square) override;
    // The square's accessible name, from its position and content.
    void NameSquare(int square);
    void NameSquares();
    void SetStatusText(const char* text) override;

    void OnSquare(int square);
    void OnPlayComputerMove();
    void OnReset();
    void OnOpponent(int kind);
    void OnAbout();
    void PostClose();
    void Shutdown();

    QMenuBar* menuBar_ = nullptr;
    QWidget* client_ = nullptr;
    QPushButton* exitButton_ = nullptr;
    QPushButton* playButton_ = nullptr;
    QPushButton* resetButton_ = nullptr;
    QLineEdit* statusField_ = nullptr;
    std::array<QFrame*, kSquareCount> frames_{};
    std::array<SquareButton*, kSquareCount> squares_{};
    bool hasGame_ = false;
    bool shutDown_ = false;
};

}  // namespace qrv::qt
