// The marks of the squares and the program icon, checked pixel by pixel.
#include <QFile>
#include <QPainter>
#include <QTest>

#include "ui/qt/icon_map.h"
#include "ui/qt/program_icon.h"
#include "ui/qt/square_button.h"

namespace qrv::qt::test {

namespace {

const QColor kFace(239, 239, 239);

QImage Paint(char mark, bool highlighted, QSize size = {88, 62}) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(kFace);
    QPainter painter(&image);
    DrawSquareMark(painter, image.rect(), mark, highlighted, kFace);
    return image;
}

// The smallest rectangle holding every pixel of the colour.
QRect Extent(const QImage& image, const QColor& colour) {
    QRect extent;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) == colour) {
                extent |= QRect(x, y, 1, 1);
            }
        }
    }
    return extent;
}

}  // namespace

class PaintingTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void marksUseTheirPenAndStayInTheirBox_data() {
        QTest::addColumn<char>("mark");
        QTest::addColumn<bool>("highlighted");
        QTest::newRow("X") << 'X' << false;
        QTest::newRow("O") << 'O' << false;
        QTest::newRow("highlighted X") << 'X' << true;
        QTest::newRow("highlighted O") << 'O' << true;
    }
    void marksUseTheirPenAndStayInTheirBox() {
        QFETCH(char, mark);
        QFETCH(bool, highlighted);
        const QImage image = Paint(mark, highlighted);
        const QColor pen = highlighted ? kHighlightMarkColour : kNormalMarkColour;
        const QColor other = highlighted ? kNormalMarkColour : kHighlightMarkColour;
        QVERIFY(Extent(image, other).isNull());
        const QRect extent = Extent(image, pen);
        // The box runs from (4, 4) to (width - 6, height - 6); the 3-pixel pen reaches a
        // pixel beyond it on either side.
        QVERIFY2(qAbs(extent.left() - 4) <= 1 && qAbs(extent.top() - 4) <= 1,
                 qPrintable(QStringLiteral("%1,%2").arg(extent.left()).arg(extent.top())));
        QVERIFY2(qAbs(extent.right() - (image.width() - 6)) <= 1 &&
                     qAbs(extent.bottom() - (image.height() - 6)) <= 1,
                 qPrintable(QStringLiteral("%1,%2").arg(extent.right()).arg(extent.bottom())));
        // Off centre towards the top left: less room there than at the right and bottom.
        QVERIFY(extent.left() < image.width() - 1 - extent.right());
        QVERIFY(extent.top() < image.height() - 1 - extent.bottom());
        // Nothing but the pen and the face colour.
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                QVERIFY(c == pen || c == kFace);
            }
        }
        const QPoint middle((4 + image.width() - 6) / 2, (4 + image.height() - 6) / 2);
        if (mark == 'X') {
            // Two diagonals: they cross in the middle and reach all four corners of the box.
            QCOMPARE(image.pixelColor(middle), pen);
            for (QPoint corner :
                 {QPoint(5, 5), QPoint(image.width() - 7, 5), QPoint(5, image.height() - 7),
                  QPoint(image.width() - 7, image.height() - 7)}) {
                QCOMPARE(image.pixelColor(corner), pen);
            }
        } else {
            // An ellipse, wider than high, filled with the face colour; its box's corners
            // stay empty.
            QCOMPARE(image.pixelColor(middle), kFace);
            QCOMPARE(image.pixelColor(QPoint(5, 5)), kFace);
            QCOMPARE(image.pixelColor(QPoint(middle.x(), 5)), pen);
            QCOMPARE(image.pixelColor(QPoint(5, middle.y())), pen);
            QVERIFY(extent.width() > extent.height());
        }
    }

    void anEmptySquareDrawsNothing() {
        const QImage image = Paint(' ', true);
        QCOMPARE(Extent(image, kFace), image.rect());
    }

    void theIconMapIsReadWithItsPalette() {
        const QImage icon = ProgramIconImage();
        QCOMPARE(icon.size(), QSize(kProgramIconSize, kProgramIconSize));
        QCOMPARE(qAlpha(icon.pixel(0, 0)), 0);                // '.' transparent
        QCOMPARE(icon.pixelColor(10, 1), QColor(Qt::black));  // the grid
        QCOMPARE(icon.pixelColor(14, 2), QColor(Qt::magenta));
        QCOMPARE(icon.pixelColor(27, 1), QColor(Qt::yellow));
        QCOMPARE(icon.pixelColor(30, 1), QColor(Qt::red));
    }

    void theDesktopIconIsTheSameImage() {
        QImage png(QStringLiteral(QRV_DESKTOP_ICON));
        QVERIFY(!png.isNull());
        QCOMPARE(png.convertToFormat(QImage::Format_ARGB32),
                 ProgramIconImage().convertToFormat(QImage::Format_ARGB32));
        QFile source(QStringLiteral(QRV_ICON_MAP));
        QVERIFY(source.open(QIODevice::ReadOnly));
        QCOMPARE(ParseIconMap(source.readAll()), ProgramIconImage());
    }

    void malformedIconMapsAreRefused_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("reason");
        const QByteArray legend = "# Palette: '.' transparent, 'K' black\n";
        QTest::newRow("no legend") << QByteArray("..\nKK\n") << "no palette legend";
        QTest::newRow("no rows") << legend << "no pixel rows";
        QTest::newRow("ragged rows") << legend + "..K\n.K\n"
                                     << "row 2 is 2 pixels wide, not 3";
        QTest::newRow("unknown character") << legend + "..\n.Z\n"
                                           << "row 2 uses 'Z', which the palette lacks";
        QTest::newRow("unknown colour")
            << QByteArray("# Palette: 'Q' notacolour\nQ\n") << "unknown colour 'notacolour'";
        QTest::newRow("character named twice")
            << QByteArray("# Palette: 'K' black, 'K' red\nK\n") << "'K' named twice in the palette";
    }
    void malformedIconMapsAreRefused() {
        QFETCH(QByteArray, text);
        QFETCH(QString, reason);
        QString error;
        QVERIFY(ParseIconMap(text, &error).isNull());
        QCOMPARE(error, reason);
    }

    void iconMapsToleratesWindowsLineEndsAndBlankLines() {
        QString error;
        const QImage image =
            ParseIconMap("# Palette: '.' transparent, 'R' red\r\n\r\n.R\r\nR.\r\n\r\n", &error);
        QVERIFY2(!image.isNull(), qPrintable(error));
        QCOMPARE(image.size(), QSize(2, 2));
        QCOMPARE(image.pixelColor(1, 0), QColor(Qt::red));
        QCOMPARE(image.pixelColor(0, 1), QColor(Qt::red));
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    }
};

}  // namespace qrv::qt::test

QTEST_MAIN(qrv::qt::test::PaintingTest)
#include "painting_test.moc"
