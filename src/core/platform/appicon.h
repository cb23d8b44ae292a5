#pragma once

#include <QByteArray>
#include <QImage>

namespace mb {

// The application's icon: a framed stage with a hill, a bramble of three berries and a mouse
// pointer. One list of shapes feeds both forms, so the PNG sizes and the SVG always agree.

// The icon as an ARGB image of size x size pixels, antialiased.
QImage drawAppIcon(int size);
// The same icon as a scalable SVG document (64 x 64 user units).
QByteArray appIconSvg();

} // namespace mb
