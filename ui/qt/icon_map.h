// The program icon, kept as a text pixel map: one character a pixel, a palette legend in a
// comment naming the colour of each character.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace qrv::qt {

// Reads a pixel map. Lines starting with '#' are comments; the one with "Palette:" lists
// entries such as 'K' black, each a quoted character and a colour name. Every other non-empty
// line is a row of pixels, all rows equally long. A null image, with the reason in error, when
// the map is malformed or uses a character the palette does not name.
QImage ParseIconMap(const QByteArray& text, QString* error = nullptr);

}  // namespace qrv::qt
