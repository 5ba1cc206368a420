// The 16-colour picture shown in the main dialog, held the way StretchDIBits takes it.
#pragma once

#include "platform/Owners.h"
#include "platform/Win.h"

#include <cstddef>

// The info header directly followed by a colour table of 16 entries, 104 bytes.
struct DibInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colors[16];
};

class DibImage {
public:
    DibImage() = default;
    DibImage(const DibImage&) = delete;
    DibImage& operator=(const DibImage&) = delete;
    virtual ~DibImage();

    // Reads a 16-colour uncompressed BMP file. Reports the first fault it finds with
    // one of the messages 1200-1205 and returns 0; 1 when the picture was read.
    int Load(const char* path);
    // Draws the top-left 190 by 102 pixels of the picture at (x, y); nothing before a
    // successful Load.
    int Paint(HDC dc, int x, int y) const;

    BITMAPFILEHEADER fileHeader{};
    DibInfo info{};
    ScopedHandle file;  // open only while Load runs
    HeapBuffer bits;    // the pixel rows

private:
    int Fail(unsigned messageId);
};

// The size of the drawn area in pixels.
constexpr int kPictureWidth = 190;
constexpr int kPictureHeight = 102;

// The message that refuses this info header (0 when it is acceptable), in the order the
// loader checks: planes, bit count, compression, then rows that no dialog picture needs.
unsigned CheckDibHeader(const BITMAPINFOHEADER& header);
// Bytes of the pixel rows the header describes (4-bit rows padded to 4 bytes).
std::size_t DibRowsSize(const BITMAPINFOHEADER& header);
