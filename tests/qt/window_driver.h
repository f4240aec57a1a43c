// Drives the main window as a person would, and reads back what the screen shows.
#pragma once

#include <QImage>
#include <QString>
#include <memory>

#include "ui/qt/main_window.h"

class QLineEdit;
class QPushButton;

namespace qrv::qt::test {

// Loads this fake network library variant (a folder under the fake library root) instead of
// the one beside the program; null for none at all.
void UseFakeLibrary(const char* variant);
WindowSetup FakeSetup();

// Hands the fake library its answers; none answers the first empty square of each position.
void SetFakeAnswers(std::initializer_list<int> answers);
int FakeCallCount();

// The pixels of the focus frame: those of a square's outer ring that are not its face colour.
inline constexpr int kFocusRing = 3;
int FocusPixels(const QImage& square);

class WindowDriver {
public:
    explicit WindowDriver(const WindowSetup& setup = FakeSetup());

    MainWindow& Window() { return *window_; }
    QPushButton* Button(const char* name) const;
    QWidget* Square(int square) const;
    QLineEdit* Status() const;
    QString StatusText() const;

    void Click(int square);
    void PlayO();
    void Reset();
    // Chooses an opponent in the File menu and lets the posted Reset run.
    void ChooseOpponent(const char* actionName);
    // Clicks squares, pressing "Play O" after each but the last.
    void PlaySequence(std::initializer_list<int> squares);

    // The board as drawn: 'X', 'O' or ' ' a square, lower case where drawn in the highlight
    // colour, '?' for anything else.
    QString Drawn() const;
    QImage Grab(int square) const;
    void SaveScreenshot(const QString& name) const;

private:
    std::unique_ptr<MainWindow> window_;
};

}  // namespace qrv::qt::test
