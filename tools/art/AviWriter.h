#pragma once

#include <QByteArray>
#include <QImage>
#include <vector>

// How the frames of a clip are stored.
enum class AviCodec
{
    Dib8,  // device-independent bitmaps with one colour table for the clip
    Dib24, // device-independent bitmaps, 24 bits a pixel
    Dib32, // device-independent bitmaps, 32 bits a pixel
    MotionJpeg
};

struct AviOptions
{
    AviCodec codec = AviCodec::Dib24;
    int framesPerSecond = 10;
    bool topDown = false; // bitmap rows stored top row first
    // Motion-JPEG frames without Huffman tables, relying on the standard ones, as
    // capture cards write them.
    bool omitHuffmanTables = false;
    int jpegQuality = 90; // 0 to 100
};

// A RIFF AVI file with one video stream holding the frames, all at the size of the first,
// with an index.
QByteArray writeAvi(const std::vector<QImage>& frames, const AviOptions& options = {});
