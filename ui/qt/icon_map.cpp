#include "ui/qt/icon_map.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <cctype>

namespace qrv::qt {

namespace {

QImage Fail(QString* error, const QString& reason) {
    if (error != nullptr) {
        *error = reason;
    }
    return {};
}

// Entries of a legend line: a quoted character followed by a colour name.
bool ReadPalette(const QByteArray& line, QHash<char, QRgb>& palette, QString* error) {
    qsizetype at = line.indexOf("Palette:");
    while ((at = line.indexOf('\'', at)) >= 0 && at + 2 < line.size()) {
        if (line[at + 2] != '\'') {
            ++at;
            continue;
        }
        const char symbol = line[at + 1];
        qsizetype name = at + 3;
        while (name < line.size() && (line[name] == ' ' || line[name] == '\t')) {
            ++name;
        }
        qsizetype end = name;
        while (end < line.size() && std::isalpha(static_cast<unsigned char>(line[end]))) {
            ++end;
        }
        const QString colourName = QString::fromLatin1(line.mid(name, end - name));
        const QColor colour = QColor::fromString(colourName);
        if (!colour.isValid()) {
            Fail(error, QStringLiteral("unknown colour '%1'").arg(colourName));
            return false;
        }
        if (palette.contains(symbol)) {
            Fail(error, QStringLiteral("'%1' named twice in the palette").arg(QChar(symbol)));
            return false;
        }
        palette.insert(symbol, colour.rgba());
        at = end;
    }
    return true;
}

}  // namespace

QImage ParseIconMap(const QByteArray& text, QString* error) {
    QHash<char, QRgb> palette;
    QList<QByteArray> rows;
    for (QByteArray line : text.split('\n')) {
        if (line.endsWith('\r')) {
            line.chop(1);
        }
        if (line.startsWith('#')) {
            if (line.contains("Palette:") && !ReadPalette(line, palette, error)) {
                return {};
            }
            continue;
        }
        if (line.trimmed().isEmpty()) {
            continue;
        }
        rows.append(line);
    }
    if (palette.isEmpty()) {
        return Fail(error, QStringLiteral("no palette legend"));
    }
    if (rows.isEmpty()) {
        return Fail(error, QStringLiteral("no pixel rows"));
    }
    const qsizetype width = rows.front().size();
    QImage image(static_cast<int>(width), static_cast<int>(rows.size()), QImage::Format_ARGB32);
    for (int y = 0; y < rows.size(); ++y) {
        const QByteArray& row = rows[y];
        if (row.size() != width) {
            return Fail(error, QStringLiteral("row %1 is %2 pixels wide, not %3")
                                   .arg(y + 1)
                                   .arg(row.size())
                                   .arg(width));
        }
        for (int x = 0; x < width; ++x) {
            const auto colour = palette.constFind(row[x]);
            if (colour == palette.constEnd()) {
                return Fail(error, QStringLiteral("row %1 uses '%2', which the palette lacks")
                                       .arg(y + 1)
                                       .arg(QChar(row[x])));
            }
            image.setPixel(x, y, *colour);
        }
    }
    return image;
}

}  // namespace qrv::qt
