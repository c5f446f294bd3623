#pragma once
// Platform-internal: BMP files to and from 32-bit images.
#include "platform/graphics/graphics.h"
#include <QImage>

// Raises EInvalidGraphic for anything damaged, truncated or absurdly large.
QImage DecodeBmp(const std::vector<uint8_t>& Data, TPixelFormat* Format);
std::vector<uint8_t> EncodeBmp(const QImage& Image, TPixelFormat Format);
// Rows in a pixel format's own layout (4-byte aligned), and back.
std::vector<uint8_t> ImageToRows(const QImage& Image, TPixelFormat Format, int* Stride);
void RowsToImage(const std::vector<uint8_t>& Rows, int Stride, TPixelFormat Format, QImage& Image);
