// The panel beside the board that shows the network's thinking about the computer's last move:
// the stored position and the values as two small boards, and everything in words in a text
// that the keyboard and a screen reader can read.
#pragma once

#include <QString>
#include <QWidget>

#include "game/thinking.h"

class QPlainTextEdit;

namespace qrv::qt {

// Its size in dialog units; it is as tall as the client area.
inline constexpr int kThinkingWidthUnits = 250;

// The panel's words, one entry a line: the opponent, how it chose, the values by square, and
// the person's record against each opponent.
QString ThinkingText(const Thinking& thinking, const GameRecords& records);

class ThinkingBoards;

class ThinkingPanel final : public QWidget {
public:
    explicit ThinkingPanel(QWidget* parent);

    void Show(const Thinking& thinking, const GameRecords& records);
    // The one control of the panel that takes the keyboard focus.
    QWidget* Text() const;

private:
    ThinkingBoards* boards_;
    QPlainTextEdit* text_;
};

}  // namespace qrv::qt
