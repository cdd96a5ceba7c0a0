#pragma once

#include <QByteArray>

// A picture decoded by libjpeg: rows of 8-bit RGB triples, no padding.
struct DecodedPicture {
    int width = 0;
    int height = 0;
    QByteArray rgb;  // width * height * 3 bytes
};

// True when the bytes start like a JPEG file (SOI marker).
bool looksLikeJpeg(const QByteArray &data);

// Decodes JPEG data; a damaged or unsupported file throws AppError with a
// French message (libjpeg's own errors never end the program).
DecodedPicture decodeJpeg(const QByteArray &data);
