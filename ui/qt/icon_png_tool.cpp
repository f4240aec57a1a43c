// Build-time tool: turns the program icon's pixel map into the PNG that the desktop shows,
// optionally scaled to SIZE pixels square with nearest-neighbour, so the pixel art stays crisp.
#include <QFile>
#include <QImage>
#include <QString>
#include <cstdio>
#include <cstdlib>

#include "ui/qt/icon_map.h"

int main(int argc, char** argv) {
    const int size = argc == 4 ? std::atoi(argv[3]) : 0;
    if ((argc != 3 && argc != 4) || (argc == 4 && size <= 0)) {
        std::fprintf(stderr, "usage: %s ICON_MAP.txt OUTPUT.png [SIZE]\n", argv[0]);
        return 2;
    }
    QFile input(QString::fromLocal8Bit(argv[1]));
    if (!input.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
        return 1;
    }
    QString error;
    QImage image = qrv::qt::ParseIconMap(input.readAll(), &error);
    if (image.isNull()) {
        std::fprintf(stderr, "%s: %s: %s\n", argv[0], argv[1], qPrintable(error));
        return 1;
    }
    if (size > 0) {
        image = image.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    }
    if (!image.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
        return 1;
    }
    return 0;
}
