#include "ui/qt/dialog_units.h"

#include <QString>

namespace qrv::qt {

namespace {

// The average width is that of the letters, rounded, as the dialog manager measures it; the
// font's own declared average is often wider than its text.
int AverageCharWidth(const QFontMetrics& metrics) {
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
}

// Multiplies and divides with rounding to the nearest, halves away from zero.
int Scale(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : -((-product + half) / denominator));
}

}  // namespace

DialogUnits::DialogUnits(const QFontMetrics& metrics)
    : baseWidth_(AverageCharWidth(metrics)), baseHeight_(metrics.height()) {}

int DialogUnits::X(int units) const {
    return Scale(units, baseWidth_, 4);
}

int DialogUnits::Y(int units) const {
    return Scale(units, baseHeight_, 8);
}

QRect DialogUnits::Rect(int x, int y, int width, int height) const {
    return {X(x), Y(y), X(width), Y(height)};
}

}  // namespace qrv::qt
