#include "ui/qt/about_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "ui/qt/dialog_units.h"
#include "ui/qt/program_icon.h"

namespace qrv::qt {

namespace {

// A line of text in its template box; never narrower than its text, so nothing is cut off in
// a font wider than the one the template was laid out for.
QLabel* AddText(QWidget* parent, const DialogUnits& units, const char* text, QRect box,
                Qt::Alignment alignment) {
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(alignment | Qt::AlignTop);
    QRect pixels = units.Rect(box.x(), box.y(), box.width(), box.height());
    const int needed = label->sizeHint().width();
    if (needed > pixels.width()) {
        if (alignment & Qt::AlignHCenter) {
            pixels.moveLeft(pixels.left() - (needed - pixels.width()) / 2);
        }
        pixels.setWidth(needed);
    }
    pixels.setHeight(std::max(pixels.height(), label->sizeHint().height()));
    label->setGeometry(pixels);
    return label;
}

}  // namespace

AboutDialog::AboutDialog(QWidget* owner, QWidget* anchor) : QDialog(owner) {
    setObjectName(QStringLiteral("about"));
    setWindowTitle(QString::fromLatin1(kAboutCaption));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setModal(true);
    const DialogUnits units(fontMetrics());

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("aboutIcon"));
    icon->setPixmap(QPixmap::fromImage(ProgramIconImage()));
    // A static icon control takes the icon's own size at the template's position.
    icon->setGeometry(QRect(units.X(14), units.Y(9), kProgramIconSize, kProgramIconSize));

    AddText(this, units, kAboutVersionText, {79, 5, 77, 8}, Qt::AlignLeft)
        ->setObjectName(QStringLiteral("aboutVersion"));
    AddText(this, units, kAboutMakerText, {44, 21, 148, 8}, Qt::AlignLeft)
        ->setObjectName(QStringLiteral("aboutMaker"));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("aboutOk"));
    ok->setGeometry(units.Rect(97, 50, 30, 11));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    AddText(this, units, kAboutAddressText, {43, 33, 150, 8}, Qt::AlignHCenter)
        ->setObjectName(QStringLiteral("aboutAddress"));

    setFixedSize(units.Size(225, 66));
    if (anchor != nullptr) {
        move(anchor->mapToGlobal(QPoint(units.X(22), units.Y(17))));
    }
    ok->setFocus();
}

}  // namespace qrv::qt
