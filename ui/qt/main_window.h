// The game's window: the board of nine squares, the status field, "Play O", "Reset" and
// "Exit", and the File and Help menus, laid out as the Windows program's dialog template.
#pragma once

#include <QWidget>
#include <array>
#include <memory>

#include "game/session.h"
#include "resources/resource_ids.h"

class QAction;
class QBoxLayout;
class QLineEdit;
class QMenuBar;
class QPushButton;

namespace qrv::qt {

class Announcer;
class SettingsStore;
struct Remembered;
class SquareButton;
class ThinkingPanel;

inline constexpr char kWindowCaption[] = QRV_MAIN_CAPTION;
inline constexpr char kLibraryErrorCaption[] = "Error...Failed to load libSynaptra.so!";
inline constexpr char kLibraryErrorText[] =
    "Close app, place libSynaptra.so & qrv.bpn in same folder as the program";

// Writes the path tried and the reason to standard error, for a terminal or the journal, then
// shows the modal error box about a missing or unusable network library.
void ReportLibraryFailure(const LoadFailure& failure);

// What the window's session starts from: the program's own, or, in tests, their own string
// table or library, and no box when their library fails.
using WindowSetup = SessionSetup;
WindowSetup ProgramSetup();

// The one main window of the process. It starts the process's one game session (in static
// storage), turns clicks and menu commands into the session's operations and draws what each
// operation changed.
class MainWindow final : public QWidget, private SessionView {
    Q_OBJECT
public:
    explicit MainWindow(const WindowSetup& setup = ProgramSetup());
    ~MainWindow() override;

    // Whether the set-up got as far as a game: false when the pattern table failed to load.
    bool HasGame() const;
    static const Session& GameSession();

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

    void ShowUpdate(const SessionUpdate& update) override;

    void OnOpponent(int kind);
    void OnAbout();
    // The network's thinking, and what the program remembers of it.
    Remembered BuildThinking(QBoxLayout* row);
    void OnShowThinking(bool shown);
    void Remember();
    void PostClose();
    void Shutdown();

    QMenuBar* menuBar_ = nullptr;
    QWidget* client_ = nullptr;
    QPushButton* exitButton_ = nullptr;
    QPushButton* playButton_ = nullptr;
    QPushButton* resetButton_ = nullptr;
    QLineEdit* statusField_ = nullptr;
    Announcer* announcer_ = nullptr;
    std::array<SquareButton*, kSquareCount> squares_{};
    ThinkingPanel* thinking_ = nullptr;
    QAction* showThinking_ = nullptr;
    std::unique_ptr<SettingsStore> settings_;
};

}  // namespace qrv::qt
