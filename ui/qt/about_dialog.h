// Help > About: the program icon, its name and version, its maker and the maker's address.
#pragma once

#include <QDialog>

namespace qrv::qt {

inline constexpr char kAboutCaption[] = "About";
inline constexpr char kAboutVersionText[] = "Quorvane Version 1.2";
inline constexpr char kAboutMakerText[] = "Made by the Quorvane developers";
inline constexpr char kAboutAddressText[] = "https://quorvane.example.org";

class AboutDialog final : public QDialog {
    Q_OBJECT
public:
    // Placed 22 by 17 dialog units from the top left of the owner's client area (the widget
    // `anchor`), as the Windows box is.
    AboutDialog(QWidget* owner, QWidget* anchor);
};

}  // namespace qrv::qt
