#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Reads a picture stored as a Windows bitmap: a BMP file image, optionally behind the
// 8-byte header of the bank (count 1, type 0x0100, length of the rest). Every size the
// bitmap announces is checked against the bytes that are really there before the image
// is decoded. Returns a null image, with the reason in error, for anything else.
QImage readBitmapBlob(const QByteArray& blob, QString* error = nullptr);

// Reads a device-independent bitmap given as its info header (colour table included)
// and its pixel bits, as a video clip stores its frames; checked the same way.
QImage readDib(const QByteArray& info, const QByteArray& bits, QString* error = nullptr);
