#include "ui/qt/about_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "resources/window_layout.h"
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
    const QRect iconBox{QRV_ABOUT_ICON_BOX};
    icon->setGeometry(
        QRect(units.X(iconBox.x()), units.Y(iconBox.y()), kProgramIconSize, kProgramIconSize));

    AddText(this, units, kAboutVersionText, {QRV_ABOUT_VERSION_BOX}, Qt::AlignLeft)
        ->setObjectName(QStringLiteral("aboutVersion"));
    AddText(this, units, kAboutMakerText, {QRV_ABOUT_MAKER_BOX}, Qt::AlignLeft)
        ->setObjectName(QStringLiteral("aboutMaker"));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("aboutOk"));
    ok->setGeometry(units.Rect(QRV_ABOUT_OK_BOX));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    AddText(this, units, kAboutAddressText, {QRV_ABOUT_ADDRESS_BOX}, Qt::AlignHCenter)
        ->setObjectName(QStringLiteral("aboutAddress"));

    setFixedSize(units.Size(QRV_ABOUT_SIZE));
    if (anchor != nullptr) {
        const QPoint place{QRV_ABOUT_PLACE};
        move(anchor->mapToGlobal(QPoint(units.X(place.x()), units.Y(place.y()))));
    }
    ok->setFocus();
}

}  // namespace qrv::qt
