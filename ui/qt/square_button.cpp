#include "ui/qt/square_button.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPen>
#include <QRegion>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include "resources/window_layout.h"

namespace qrv::qt {

void DrawSquareMark(QPainter& painter, const QRect& area, char mark, bool highlighted,
                    const QColor& face) {
    if (mark != kPersonMark && mark != kComputerMark) {
        return;
    }
    // The box's right and bottom edges are exclusive, as the platform's rectangles are.
    const int left = area.left() + QRV_MARK_NEAR_INSET;
    const int top = area.top() + QRV_MARK_NEAR_INSET;
    const int right = area.left() + area.width() - QRV_MARK_FAR_INSET;
    const int bottom = area.top() + area.height() - QRV_MARK_FAR_INSET;

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(highlighted ? kHighlightMarkColour : kNormalMarkColour);
    pen.setWidth(kMarkPenWidth);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    painter.setPen(pen);
    if (mark == kPersonMark) {
        painter.drawLine(left, top, right, bottom);
        painter.drawLine(left, bottom, right, top);
    } else {
        painter.setBrush(face);
        painter.drawEllipse(QRect(left, top, right - left, bottom - top));
    }
    painter.restore();
}

SquareButton::SquareButton(int square, QWidget* parent) : QAbstractButton(parent), square_(square) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void SquareButton::Show(char mark, bool highlighted) {
    mark_ = mark;
    highlighted_ = highlighted;
    repaint();
}

QSize SquareButton::sizeHint() const {
    return QRect{QRV_SQUARE_BOX(0, 0)}.size();
}

void SquareButton::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QColor face = palette().color(QPalette::Button);
    // The whole square is erased first, so a square that has become empty shows no trace.
    painter.fillRect(rect(), face);
    DrawSquareMark(painter, rect(), mark_, highlighted_, face);
    if (hasFocus()) {
        // The style's focus frame along the square's edges; the style shows it only once the
        // keyboard has moved the focus in this window. Some styles fill the frame with a tint:
        // it is kept to the edges, so that the mark looks the same with and without the focus.
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect();
        option.backgroundColor = face;
        painter.setClipRegion(QRegion(rect()) - QRegion(rect().adjusted(2, 2, -2, -2)));
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

}  // namespace qrv::qt
