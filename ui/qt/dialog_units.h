// Dialog units: the layout of the Windows dialog templates, measured in the window's font.
#pragma once

#include <QFontMetrics>
#include <QRect>
#include <QSize>

namespace qrv::qt {

// A horizontal unit is a quarter of the font's average character width, a vertical unit an
// eighth of its height.
class DialogUnits {
public:
    explicit DialogUnits(const QFontMetrics& metrics);

    int BaseWidth() const { return baseWidth_; }
    int BaseHeight() const { return baseHeight_; }

    int X(int units) const;
    int Y(int units) const;
    QSize Size(int width, int height) const { return {X(width), Y(height)}; }
    QRect Rect(int x, int y, int width, int height) const;

private:
    int baseWidth_;
    int baseHeight_;
};

}  // namespace qrv::qt
