// Build-time tool: turns the program icon's pixel map into the PNG that the desktop shows.
#include <QFile>
#include <QImage>
#include <QString>
#include <cstdio>

#include "ui/qt/icon_map.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s ICON_MAP.txt OUTPUT.png\n", argv[0]);
        return 2;
    }
    QFile input(QString::fromLocal8Bit(argv[1]));
    if (!input.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
        return 1;
    }
    QString error;
    const QImage image = qrv::qt::ParseIconMap(input.readAll(), &error);
    if (image.isNull()) {
        std::fprintf(stderr, "%s: %s: %s\n", argv[0], argv[1], qPrintable(error));
        return 1;
    }
    if (!image.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
        return 1;
    }
    return 0;
}
