#include "ui/qt/thinking_panel.h"

#include <QHBoxLayout>
#include <QPaintEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <algorithm>

#include "ui/qt/accessibility.h"
#include "ui/qt/dialog_units.h"

namespace qrv::qt {

namespace {

// In dialog units, as the client area's template.
constexpr int kTopUnits = 17;  // level with the board's frames
constexpr int kRightUnits = 12;
constexpr int kBottomUnits = 9;  // level with the buttons' bottom edge
constexpr int kCellWidthUnits = 18;
constexpr int kCellHeightUnits = 12;
constexpr int kBoardGapUnits = 12;
constexpr int kTextGapUnits = 8;

QColor Mix(const QColor& base, const QColor& tint, double amount) {
    const auto blend = [amount](int a, int b) {
        return static_cast<int>(a + (b - a) * amount + 0.5);
    };
    return {blend(base.red(), tint.red()), blend(base.green(), tint.green()),
            blend(base.blue(), tint.blue())};
}

// A square's value as a colour over the panel's base: red where the person can win after it,
// else green, the deeper the likelier the win. The words say the same.
QColor Heat(float value, const QColor& base) {
    if (value < kLosingValueBelow) {
        return Mix(base, QColor(220, 40, 40), 0.6);
    }
    return Mix(base, QColor(30, 170, 60), 0.12 + 0.63 * std::clamp(value, 0.0F, 1.0F));
}

}  // namespace

// The stored position consulted above the values carried onto the real board. Only for the
// eye: the panel's text says all of it.
class ThinkingBoards final : public QWidget {
public:
    ThinkingBoards(const DialogUnits& units, QWidget* parent)
        : QWidget(parent),
          cell_(units.X(kCellWidthUnits), units.Y(kCellHeightUnits)),
          gap_(units.X(kBoardGapUnits)) {
        setFixedSize(3 * cell_.width() + 1, 6 * cell_.height() + gap_ + 1);
        HideFromAssistiveTechnology(this);
    }

    void Show(const Thinking& thinking) {
        thinking_ = thinking;
        update();
    }

protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        if (thinking_.Reason.Slot >= 0) {
            DrawBoard(painter, 0, thinking_.Stored, nullptr, thinking_.Reason.Answer);
        }
        if (thinking_.HasValues) {
            DrawBoard(painter, 3 * cell_.height() + gap_, thinking_.Before, &thinking_,
                      thinking_.Square);
        }
    }

private:
    // A board of marks at `top`; with `values`, its empty squares tinted and labelled by their
    // values. The square `marked` gets a frame in the highlight colour.
    void DrawBoard(QPainter& painter, int top, const Board& board, const Thinking* values,
                   int marked) const {
        const QPalette& colours = palette();
        for (int square = 0; square < kSquareCount; ++square) {
            const QRect box(cell_.width() * (square % 3), top + cell_.height() * (square / 3),
                            cell_.width(), cell_.height());
            const bool empty = board[square] == kEmptyMark;
            QColor fill = colours.color(QPalette::Base);
            if (values != nullptr && empty) {
                fill = Heat(values->BoardValues[square], fill);
            }
            painter.fillRect(box, fill);
            // Lines that show on a light base and a dark one alike.
            painter.setPen(Mix(colours.color(QPalette::Base), colours.color(QPalette::Text), 0.4));
            painter.drawRect(box);
            painter.setPen(colours.color(QPalette::Text));
            const QString text = empty && values != nullptr
                                     ? QString::fromLatin1(values->Words[square].data())
                                 : empty ? QString()
                                         : QString(QChar(board[square]));
            painter.drawText(box, Qt::AlignCenter, text);
            if (square == marked) {
                QPen pen(colours.color(QPalette::Highlight));
                pen.setWidth(2);
                painter.setPen(pen);
                painter.drawRect(box.adjusted(1, 1, -1, -1));
            }
        }
    }

    QSize cell_;
    int gap_;
    Thinking thinking_;
};

QString ThinkingText(const Thinking& thinking, const GameRecords& records) {
    QStringList lines;
    lines << QString::fromLatin1(OpponentName(thinking.Opponent));
    lines << QString::fromLatin1(thinking.How.data());
    if (thinking.HasValues) {
        for (const ValueText& entry : thinking.Values) {
            if (entry[0] != '\0') {
                lines << QString::fromLatin1(entry.data());
            }
        }
    } else if (thinking.Reason.Path == MovePath::NetworkAnswer) {
        lines << QString::fromLatin1(kNoValuesText);
    }
    for (int k = 0; k < kOpponentCount; ++k) {
        lines << QString::fromLatin1(DescribeRecord(kOpponentChoices[k].Kind, records[k]).data());
    }
    return lines.join(QLatin1Char('\n'));
}

ThinkingPanel::ThinkingPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("thinking"));
    ShowAsGroup(this, kThinkingName);
    const DialogUnits units(fontMetrics());
    boards_ = new ThinkingBoards(units, this);
    boards_->setObjectName(QStringLiteral("thinkingBoards"));

    // Read-only, yet with a caret that the arrow keys move, so that a screen reader reads it
    // line by line; Tab goes on to the next control.
    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("thinkingText"));
    text_->setAccessibleName(QString::fromLatin1(kThinkingName));
    text_->setReadOnly(true);
    text_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    text_->setFocusPolicy(Qt::StrongFocus);
    text_->setTabChangesFocus(true);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, units.Y(kTopUnits), units.X(kRightUnits), units.Y(kBottomUnits));
    layout->setSpacing(units.X(kTextGapUnits));
    layout->addWidget(boards_, 0, Qt::AlignTop);
    layout->addWidget(text_, 1);
    setFixedWidth(units.X(kThinkingWidthUnits));
}

void ThinkingPanel::Show(const Thinking& thinking, const GameRecords& records) {
    boards_->Show(thinking);
    const QString text = ThinkingText(thinking, records);
    if (text != text_->toPlainText()) {
        text_->setPlainText(text);
    }
}

QWidget* ThinkingPanel::Text() const {
    return text_;
}

}  // namespace qrv::qt
