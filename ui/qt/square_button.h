// One square of the board: a flat button that draws only its mark.
#pragma once

#include <QAbstractButton>
#include <QColor>

#include "rules/board.h"

class QPainter;

namespace qrv::qt {

inline const QColor kNormalMarkColour{127, 127, 255};
inline const QColor kHighlightMarkColour{255, 0, 0};
inline constexpr int kMarkPenWidth = 3;

// Draws a square's mark into area: a cross for 'X', an ellipse filled with face for 'O',
// nothing for a space. The figure's box is inset by the layout's mark insets, 4 at the left
// and top and 6 at the right and bottom, so it sits a pixel off centre towards the top left.
void DrawSquareMark(QPainter& painter, const QRect& area, char mark, bool highlighted,
                    const QColor& face);

// Draws the mark and highlight it was last shown. Pressing it shows nothing of
// its own (no sunken look): only the mark that the game then places shows. With the keyboard
// focus it draws the style's focus frame inside its edges.
class SquareButton final : public QAbstractButton {
public:
    SquareButton(int square, QWidget* parent);

    int Square() const { return square_; }
    // Shows a new mark and highlight, drawn at once.
    void Show(char mark, bool highlighted);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int square_;
    char mark_ = kEmptyMark;
    bool highlighted_ = false;
};

}  // namespace qrv::qt
