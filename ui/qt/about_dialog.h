// Help > About: the program icon, its name and version, its maker and the maker's address.
#pragma once

#include <QDialog>

#include "resources/resource_ids.h"

namespace qrv::qt {

inline constexpr char kAboutCaption[] = "About";
inline constexpr char kAboutVersionText[] = QRV_ABOUT_VERSION_TEXT;
inline constexpr char kAboutMakerText[] = QRV_ABOUT_MAKER_TEXT;
inline constexpr char kAboutAddressText[] = QRV_ABOUT_WEB_ADDRESS;

class AboutDialog final : public QDialog {
    Q_OBJECT
public:
    // Placed 22 by 17 dialog units from the top left of the owner's client area (the widget
    // `anchor`), as the Windows box is.
    AboutDialog(QWidget* owner, QWidget* anchor);
};

}  // namespace qrv::qt
