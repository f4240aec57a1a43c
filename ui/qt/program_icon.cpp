#include "ui/qt/program_icon.h"

#include <QPixmap>

#include "ui/qt/icon_map.h"
#include "ui/qt/program_icon_text.h"

namespace qrv::qt {

QImage ProgramIconImage() {
    static const QImage image = ParseIconMap(QByteArray(kProgramIconText));
    return image;
}

QIcon ProgramIcon() {
    return QIcon(QPixmap::fromImage(ProgramIconImage()));
}

}  // namespace qrv::qt
