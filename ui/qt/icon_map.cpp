#include "ui/qt/icon_map.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QRegularExpression>

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
    static const QRegularExpression entry(QStringLiteral("'(.)'\\s+([A-Za-z]+)"));
    const QString text = QString::fromLatin1(line);
    auto matches = entry.globalMatch(text, text.indexOf(QLatin1String("Palette:")));
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        const char symbol = match.captured(1).at(0).toLatin1();
        const QColor colour = QColor::fromString(match.captured(2));
        if (!colour.isValid()) {
            Fail(error, QStringLiteral("unknown colour '%1'").arg(match.captured(2)));
            return false;
        }
        if (palette.contains(symbol)) {
            Fail(error, QStringLiteral("'%1' named twice in the palette").arg(QChar(symbol)));
            return false;
        }
        palette.insert(symbol, colour.rgba());
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
