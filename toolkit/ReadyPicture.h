#pragma once

#include <QByteArray>
#include <QImage>

// The form in which the build stores the screens' large pictures: a short header and
// the rows of 32-bit pixels, which the resource compiler then compresses. Showing one
// costs a decompression instead of a PNG or JPEG decoding, several times longer for a
// whole screen, which every opening of a screen (and the start) would pay.
namespace ReadyPicture {

// The bytes of a picture in that form.
QByteArray encode(const QImage& image);

// The picture of such bytes, sharing them; null when they are not in that form or do
// not hold the pixels their header promises.
QImage decode(const QByteArray& bytes);

bool isReadyPicture(const QByteArray& bytes);

} // namespace ReadyPicture
