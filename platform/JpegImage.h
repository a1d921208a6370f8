#pragma once

#include <QByteArray>
#include <QImage>

namespace rm {

// Decodes a JPEG picture (the splash screen, the about boxes) into an
// RGB32 image. A corrupt, cut or oversized picture gives a null image; it
// never ends the program.
QImage decodeJpeg(const QByteArray& data);

} // namespace rm
