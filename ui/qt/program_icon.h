// The program icon, from the same pixel map as the Windows program's icon.
#pragma once

#include <QIcon>
#include <QImage>

namespace qrv::qt {

inline constexpr int kProgramIconSize = 32;

// The 32 by 32 image, read from the map built into the program.
QImage ProgramIconImage();
QIcon ProgramIcon();

}  // namespace qrv::qt
