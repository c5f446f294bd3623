#include "platform/graphics/bmpcodec.h"
#include <cstring>

namespace {

// A compressed bitmap up to this size (2048 x 2048) may be mostly left out.
constexpr int64_t RleFreePixels = int64_t(1) << 22;

[[noreturn]] void Invalid(const char* why) {
    throw EInvalidGraphic(AnsiString("Bitmap image is not valid (") + why + ")");
}

struct TReader {
    const std::vector<uint8_t>& D;
    uint32_t U16(size_t at) const {
        if (at + 2 > D.size()) Invalid("truncated header");
        return uint32_t(D[at]) | uint32_t(D[at + 1]) << 8;
    }
    uint32_t U32(size_t at) const {
        if (at + 4 > D.size()) Invalid("truncated header");
        return uint32_t(D[at]) | uint32_t(D[at + 1]) << 8 | uint32_t(D[at + 2]) << 16 |
               uint32_t(D[at + 3]) << 24;
    }
};

int MaskShift(uint32_t m) {
    int s = 0;
    if (!m) return 0;
    while (!(m & 1)) {
        m >>= 1;
        ++s;
    }
    return s;
}

int MaskBits(uint32_t m) {
    m >>= MaskShift(m);
    int b = 0;
    while (m & 1) {
        m >>= 1;
        ++b;
    }
    return b;
}

uint32_t Channel(uint32_t v, uint32_t mask) {
    if (!mask) return 0;
    const int bits = MaskBits(mask);
    const uint32_t c = (v & mask) >> MaskShift(mask);
    if (bits >= 8) return c >> (bits - 8);
    const uint32_t max = (1u << bits) - 1;
    return (c * 255 + max / 2) / max;
}

void Put(std::vector<uint8_t>& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(uint8_t(v >> (8 * i)));
}

int RowStride(int width, int bpp) {
    return int(((int64_t(width) * bpp + 31) / 32) * 4);
}

int BitsOf(TPixelFormat f) {
    switch (f) {
    case pf1bit:
        return 1;
    case pf4bit:
        return 4;
    case pf8bit:
        return 8;
    case pf15bit:
    case pf16bit:
        return 16;
    case pf32bit:
        return 32;
    default:
        return 24;
    }
}

// The standard 16-colour palette.
constexpr QRgb Vga[16] = {0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080,
                          0xFF008080, 0xFFC0C0C0, 0xFF808080, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00,
                          0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF};

std::vector<QRgb> PaletteFor(TPixelFormat f) {
    std::vector<QRgb> pal;
    if (f == pf1bit)
        pal = {0xFF000000, 0xFFFFFFFF};
    else if (f == pf4bit)
        pal.assign(Vga, Vga + 16);
    else if (f == pf8bit) {
        // 3-3-2 levels: every colour maps by its top bits.
        for (int i = 0; i < 256; ++i) {
            const int r = (i >> 5) & 7, g = (i >> 2) & 7, b = i & 3;
            pal.push_back(qRgb(r * 255 / 7, g * 255 / 7, b * 255 / 3));
        }
    }
    return pal;
}

int NearestIndex(QRgb c, TPixelFormat f, const std::vector<QRgb>& pal) {
    if (f == pf1bit) return qGray(c) >= 128 ? 1 : 0;
    if (f == pf8bit) return (qRed(c) >> 5) << 5 | (qGreen(c) >> 5) << 2 | (qBlue(c) >> 6);
    int best = 0, bestD = INT32_MAX;
    for (size_t i = 0; i < pal.size(); ++i) {
        const int dr = qRed(c) - qRed(pal[i]), dg = qGreen(c) - qGreen(pal[i]),
                  db = qBlue(c) - qBlue(pal[i]);
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestD) {
            bestD = d;
            best = int(i);
        }
    }
    return best;
}

// Runs of an RLE8 or RLE4 bitmap, bottom row first, handed to Put(x, y, index)
// until the end-of-bitmap mark or the row past the top. Work is bounded by the
// bytes present (at most 255 pixels for every two).
template <typename Fn>
void DecodeRle(const std::vector<uint8_t>& D, size_t p, uint32_t bpp, int height, Fn&& Put) {
    int64_t x = 0, y = 0;
    auto need = [&](size_t n) {
        if (p + n > D.size()) Invalid("truncated pixel data");
    };
    while (y < height) {
        need(2);
        const uint8_t n = D[p], c = D[p + 1];
        p += 2;
        if (n > 0) {
            for (int i = 0; i < n; ++i)
                Put(x++, y, bpp == 8 ? c : ((i & 1) ? c & 15 : c >> 4));
        } else if (c == 0) {
            x = 0;
            ++y;
        } else if (c == 1) {
            return;
        } else if (c == 2) {
            need(2);
            x += D[p];
            y += D[p + 1];
            p += 2;
        } else {
            const size_t bytes = bpp == 8 ? c : (c + 1u) / 2;
            need(bytes);
            for (int i = 0; i < c; ++i)
                Put(x++, y,
                    bpp == 8 ? D[p + i] : ((i & 1) ? D[p + i / 2] & 15 : D[p + i / 2] >> 4));
            p += (bytes + 1) & ~size_t(1);
        }
    }
}

} // namespace

QImage DecodeBmp(const std::vector<uint8_t>& D, TPixelFormat* Format) {
    const TReader r{D};
    if (D.size() < 14 + 12 || D[0] != 'B' || D[1] != 'M') Invalid("no bitmap file header");
    const uint32_t offBits = r.U32(10);
    const uint32_t hsize = r.U32(14);
    if (hsize != 12 && hsize < 40) Invalid("unknown header");
    if (14 + uint64_t(hsize) > D.size()) Invalid("truncated header");
    int64_t width, height;
    uint32_t bpp, compression = 0, clrUsed = 0;
    uint32_t masks[4] = {0, 0, 0, 0};
    size_t palAt;
    int palEntry;
    if (hsize == 12) {
        width = r.U16(18);
        height = int16_t(r.U16(20));
        bpp = r.U16(24);
        palAt = 14 + 12;
        palEntry = 3;
    } else {
        width = int32_t(r.U32(18));
        height = int32_t(r.U32(22));
        bpp = r.U16(28);
        compression = r.U32(30);
        clrUsed = r.U32(46);
        palAt = 14 + hsize;
        palEntry = 4;
        if (compression == 3 || compression == 6) {
            if (hsize >= 52) {
                masks[0] = r.U32(54);
                masks[1] = r.U32(58);
                masks[2] = r.U32(62);
                if (hsize >= 56) masks[3] = r.U32(66);
            } else {
                masks[0] = r.U32(palAt);
                masks[1] = r.U32(palAt + 4);
                masks[2] = r.U32(palAt + 8);
                palAt += compression == 6 ? 16 : 12;
                if (compression == 6) masks[3] = r.U32(palAt - 4);
            }
        }
    }
    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (width <= 0 || height <= 0) Invalid("empty size");
    if (width * height > MaxPicturePixels) Invalid("size too large");
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        Invalid("unsupported bit count");
    const bool rle = compression == 1 || compression == 2;
    if (compression > 3 && compression != 6) Invalid("unsupported compression");
    if ((compression == 1 && bpp != 8) || (compression == 2 && bpp != 4))
        Invalid("bad compression");
    if (topDown && rle) Invalid("top-down compressed bitmap");
    if ((compression == 3 || compression == 6) && bpp != 16 && bpp != 32) Invalid("bad bit fields");
    if (compression == 0 && bpp == 16) masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
    if (compression == 0 && bpp == 32) masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;

    std::vector<QRgb> palette;
    if (bpp <= 8) {
        const uint32_t count = clrUsed ? clrUsed : (1u << bpp);
        if (count > 256) Invalid("palette too large");
        if (palAt + uint64_t(count) * palEntry > D.size()) Invalid("truncated palette");
        for (uint32_t i = 0; i < count; ++i) {
            const size_t p = palAt + size_t(i) * palEntry;
            palette.push_back(qRgb(D[p + 2], D[p + 1], D[p]));
        }
    }
    if (offBits >= D.size()) Invalid("no pixel data");
    const int stride = RowStride(int(width), int(bpp));
    // The pixel data must all be there before the picture is allocated. Runs
    // may leave pixels out, so a compressed size is held to what its data
    // could plausibly describe (no encoder comes near a kilopixel a byte).
    if (rle &&
        width * height > std::max<int64_t>(RleFreePixels, 1024 * int64_t(D.size() - offBits)))
        Invalid("size too large for its data");
    if (rle)
        DecodeRle(D, offBits, bpp, int(height), [](int64_t, int64_t, uint32_t) {});
    else if (offBits + uint64_t(stride) * height > D.size())
        Invalid("truncated pixel data");

    QImage img(int(width), int(height), QImage::Format_RGB32);
    if (img.isNull()) Invalid("out of memory");
    img.fill(Qt::black);
    auto setIndex = [&](int64_t x, int64_t y, uint32_t idx) {
        if (x < 0 || x >= width || y < 0 || y >= height) return;
        const int64_t row = topDown ? y : height - 1 - y;
        reinterpret_cast<QRgb*>(img.scanLine(int(row)))[x] =
            idx < palette.size() ? palette[idx] : 0xFF000000u;
    };

    if (!rle) {
        for (int y = 0; y < height; ++y) {
            const uint8_t* src = D.data() + offBits + size_t(stride) * y;
            const int row = topDown ? y : int(height) - 1 - y;
            QRgb* dst = reinterpret_cast<QRgb*>(img.scanLine(row));
            for (int x = 0; x < width; ++x) {
                switch (bpp) {
                case 1:
                    setIndex(x, y, (src[x >> 3] >> (7 - (x & 7))) & 1);
                    break;
                case 4:
                    setIndex(x, y, (src[x >> 1] >> ((x & 1) ? 0 : 4)) & 15);
                    break;
                case 8:
                    setIndex(x, y, src[x]);
                    break;
                case 24:
                    dst[x] = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
                    break;
                case 16: {
                    const uint32_t v = uint32_t(src[2 * x]) | uint32_t(src[2 * x + 1]) << 8;
                    dst[x] = qRgb(Channel(v, masks[0]), Channel(v, masks[1]), Channel(v, masks[2]));
                    break;
                }
                default: {
                    uint32_t v;
                    std::memcpy(&v, src + 4 * x, 4);
                    dst[x] = qRgb(Channel(v, masks[0]), Channel(v, masks[1]), Channel(v, masks[2]));
                    break;
                }
                }
            }
        }
    } else {
        DecodeRle(D, offBits, bpp, int(height), setIndex);
    }
    if (Format) {
        switch (bpp) {
        case 1:
            *Format = pf1bit;
            break;
        case 4:
            *Format = pf4bit;
            break;
        case 8:
            *Format = pf8bit;
            break;
        case 16:
            *Format = masks[1] == 0x07E0 ? pf16bit : pf15bit;
            break;
        case 24:
            *Format = pf24bit;
            break;
        default:
            *Format = pf32bit;
            break;
        }
    }
    return img;
}

std::vector<uint8_t> ImageToRows(const QImage& Image, TPixelFormat Format, int* Stride) {
    const int bpp = BitsOf(Format);
    const int w = Image.width(), h = Image.height();
    const int stride = RowStride(w, bpp);
    if (Stride) *Stride = stride;
    std::vector<uint8_t> rows(size_t(stride) * h, 0);
    const std::vector<QRgb> pal = PaletteFor(Format);
    for (int y = 0; y < h; ++y) {
        const QRgb* src = reinterpret_cast<const QRgb*>(Image.constScanLine(y));
        uint8_t* dst = rows.data() + size_t(stride) * y;
        for (int x = 0; x < w; ++x) {
            const QRgb c = src[x];
            switch (bpp) {
            case 1:
                if (NearestIndex(c, Format, pal)) dst[x >> 3] |= uint8_t(0x80 >> (x & 7));
                break;
            case 4:
                dst[x >> 1] |= uint8_t(NearestIndex(c, Format, pal) << ((x & 1) ? 0 : 4));
                break;
            case 8:
                dst[x] = uint8_t(NearestIndex(c, Format, pal));
                break;
            case 16: {
                const uint32_t v =
                    Format == pf16bit
                        ? (qRed(c) >> 3) << 11 | (qGreen(c) >> 2) << 5 | (qBlue(c) >> 3)
                        : (qRed(c) >> 3) << 10 | (qGreen(c) >> 3) << 5 | (qBlue(c) >> 3);
                dst[2 * x] = uint8_t(v);
                dst[2 * x + 1] = uint8_t(v >> 8);
                break;
            }
            case 24:
                dst[3 * x] = uint8_t(qBlue(c));
                dst[3 * x + 1] = uint8_t(qGreen(c));
                dst[3 * x + 2] = uint8_t(qRed(c));
                break;
            default:
                dst[4 * x] = uint8_t(qBlue(c));
                dst[4 * x + 1] = uint8_t(qGreen(c));
                dst[4 * x + 2] = uint8_t(qRed(c));
                dst[4 * x + 3] = 0;
                break;
            }
        }
    }
    return rows;
}

void RowsToImage(const std::vector<uint8_t>& Rows, int Stride, TPixelFormat Format, QImage& Image) {
    const int bpp = BitsOf(Format);
    const std::vector<QRgb> pal = PaletteFor(Format);
    for (int y = 0; y < Image.height(); ++y) {
        const uint8_t* src = Rows.data() + size_t(Stride) * y;
        QRgb* dst = reinterpret_cast<QRgb*>(Image.scanLine(y));
        for (int x = 0; x < Image.width(); ++x) {
            switch (bpp) {
            case 1:
                dst[x] = pal[(src[x >> 3] >> (7 - (x & 7))) & 1];
                break;
            case 4:
                dst[x] = pal[(src[x >> 1] >> ((x & 1) ? 0 : 4)) & 15];
                break;
            case 8:
                dst[x] = pal[src[x]];
                break;
            case 16: {
                const uint32_t v = uint32_t(src[2 * x]) | uint32_t(src[2 * x + 1]) << 8;
                dst[x] = Format == pf16bit
                             ? qRgb(Channel(v, 0xF800), Channel(v, 0x07E0), Channel(v, 0x001F))
                             : qRgb(Channel(v, 0x7C00), Channel(v, 0x03E0), Channel(v, 0x001F));
                break;
            }
            case 24:
                dst[x] = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
                break;
            default:
                dst[x] = qRgb(src[4 * x + 2], src[4 * x + 1], src[4 * x]);
                break;
            }
        }
    }
}

std::vector<uint8_t> EncodeBmp(const QImage& Image, TPixelFormat Format) {
    if (Format == pfDevice || Format == pfCustom) Format = pf24bit;
    const int bpp = BitsOf(Format);
    int stride = 0;
    const std::vector<uint8_t> rows = ImageToRows(Image, Format, &stride);
    const std::vector<QRgb> pal = PaletteFor(Format);
    const bool fields = Format == pf16bit;
    const uint32_t headerBytes = 14 + 40 + (fields ? 12 : 0) + uint32_t(pal.size()) * 4;
    const uint32_t imageBytes = uint32_t(rows.size());
    std::vector<uint8_t> out;
    out.reserve(headerBytes + imageBytes);
    out.push_back('B');
    out.push_back('M');
    Put(out, headerBytes + imageBytes, 4);
    Put(out, 0, 4);
    Put(out, headerBytes, 4);
    Put(out, 40, 4);
    Put(out, uint32_t(Image.width()), 4);
    Put(out, uint32_t(Image.height()), 4);
    Put(out, 1, 2);
    Put(out, uint32_t(bpp), 2);
    Put(out, fields ? 3 : 0, 4);
    Put(out, imageBytes, 4);
    Put(out, 0, 4);
    Put(out, 0, 4);
    Put(out, uint32_t(pal.size()), 4);
    Put(out, 0, 4);
    if (fields) {
        Put(out, 0xF800, 4);
        Put(out, 0x07E0, 4);
        Put(out, 0x001F, 4);
    }
    for (QRgb c : pal) {
        out.push_back(uint8_t(qBlue(c)));
        out.push_back(uint8_t(qGreen(c)));
        out.push_back(uint8_t(qRed(c)));
        out.push_back(0);
    }
    // Bottom-up rows.
    for (int y = Image.height() - 1; y >= 0; --y) {
        const uint8_t* row = rows.data() + size_t(stride) * y;
        out.insert(out.end(), row, row + stride);
    }
    return out;
}
