// Pictures from files are untrusted: sizes checked against the data before
// anything is allocated, records held to the picture they draw, every saved
// metafile readable again, and the fuzzers' corpus replayed.
#include "picture_fuzz_harness.h"
#include "pixelart.h"
#include "platform/graphics/gdi.h"
#include "platform/rtl/rtlmath.h"
#include <gtest/gtest.h>
#include <climits>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <sys/resource.h>

namespace {

using TBytes = std::vector<uint8_t>;

void Put(TBytes& b, std::initializer_list<int64_t> dwords) {
    for (int64_t v : dwords)
        for (int i = 0; i < 4; ++i)
            b.push_back(uint8_t(uint64_t(v) >> (8 * i)));
}

// An info header (and palette) for Bits, the way files and metafiles hold it.
TBytes Dib(int W, int H, int Bpp, int Compression, int Colours, const TBytes& Bits) {
    TBytes d;
    Put(d, {40, W, H, 1 | Bpp << 16, Compression, int64_t(Bits.size()), 0, 0, Colours, 0});
    for (int i = 0; i < Colours; ++i)
        Put(d, {i ? 0xFFFFFF : 0});
    d.insert(d.end(), Bits.begin(), Bits.end());
    return d;
}

TBytes BmpFile(const TBytes& DibBytes, int Colours) {
    TBytes f = {'B', 'M'};
    Put(f, {int64_t(14 + DibBytes.size()), 0, 14 + 40 + 4 * Colours});
    f.insert(f.end(), DibBytes.begin(), DibBytes.end());
    return f;
}

// An enhanced file: header with Bounds (pixels) and Frame (0.01 mm), records, end.
TBytes Emf(std::initializer_list<int64_t> Bounds, std::initializer_list<int64_t> Frame,
           const TBytes& Records = {}) {
    TBytes f;
    Put(f, {1, 88});
    Put(f, Bounds);
    Put(f, Frame);
    Put(f, {0x464D4520, 0x10000, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    f.insert(f.end(), Records.begin(), Records.end());
    Put(f, {14, 20, 0, 16, 20});
    return f;
}

// A stretched block of a 2 x 1 bitmap (red, blue) into Dest.
TBytes StretchRecord(int64_t Xs, int64_t Ys, int64_t Cxs, int64_t Cys, TRect Dest) {
    const TBytes bmi = Dib(2, 1, 24, 0, 0, {0, 0, 255, 255, 0, 0, 0, 0});
    const int64_t n = int64_t(bmi.size());
    TBytes r;
    Put(r, {81, 80 + n, 0, 0, 0, 0, Dest.Left, Dest.Top, Xs, Ys, Cxs, Cys});
    Put(r, {80, 40, 120, n - 40, 0, SRCCOPY, Dest.Width(), Dest.Height()});
    r.insert(r.end(), bmi.begin(), bmi.end());
    return r;
}

} // namespace

// Inputs the picture fuzzer found worth keeping, replayed through its checks.
TEST(PictureDamage, FuzzCorpusReplaysWithoutFaults) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(QM_PICTURE_CORPUS)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const TBytes data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        picture_fuzz::Picture(data.data(), data.size());
        ++files;
    }
    EXPECT_GT(files, 20);
}

TEST(PictureDamage, PicturesLargerThanTheirDataAreRefusedBeforeTheirPixelsExist) {
    const TBytes header24 = BmpFile(Dib(8192, 8192, 24, 0, 0, {1, 2, 3, 4}), 0); // 58 bytes
    TBytes rle4 = BmpFile(Dib(12000, 7000, 4, 2, 2, {0, 1}), 2);                 // 84 Mpixel
    rle4.resize(165, 0);
    TBytes jpeg = EncodeJpeg(std::vector<uint32_t>(256, 0x808080).data(), 16, 16, 90, true, false);
    for (size_t i = 0; i + 8 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) { // frame header: 8192 x 8192
            jpeg[i + 5] = jpeg[i + 7] = 0x20;
            jpeg[i + 6] = jpeg[i + 8] = 0;
        }
    const struct {
        const char* What;
        TBytes File;
        bool Loads;
    } cases[] = {
        {"BMP without its pixels", header24, false},
        {"RLE4 expanding to 84 Mpixel", rle4, false},
        {"RLE8 of 9 Mpixel in 64 bytes", BmpFile(Dib(3000, 3000, 8, 1, 2, {0, 1}), 2), false},
        {"RLE8 of 4 Mpixel left blank", BmpFile(Dib(2048, 2048, 8, 1, 2, {0, 1}), 2), true},
        {"JPEG claiming 8192 x 8192", jpeg, false},
    };
    // The highest resident memory the process has had, in megabytes.
    auto peak = [] {
        rusage u{};
        getrusage(RUSAGE_SELF, &u);
        return u.ru_maxrss / 1024;
    };
    const long before = peak();
    for (const auto& c : cases) {
        std::unique_ptr<TGraphic> g;
        if (c.File[0] == 'B')
            g = std::make_unique<TBitmap>();
        else
            g = std::make_unique<TJPEGImage>();
        if (c.Loads)
            EXPECT_NO_THROW(g->LoadFromBytes(c.File)) << c.What;
        else
            EXPECT_THROW(g->LoadFromBytes(c.File), EInvalidGraphic) << c.What;
    }
    EXPECT_LT(peak() - before, 100) << "a refused picture was allocated first";
}

TEST(PictureDamage, DamagedJpegsLeaveNothingAllocated) {
    // A table with a bad number after the picture's data: the error comes
    // when the last rows are done.
    TBytes jpeg =
        EncodeJpeg(std::vector<uint32_t>(4000 * 8, 0x336699).data(), 4000, 8, 90, false, false);
    jpeg.insert(jpeg.end() - 2, {0xFF, 0xDB, 0x00, 0x43, 0x07});
    jpeg.insert(jpeg.end() - 2, 64, 1);
    auto inUse = [] { return mallinfo2().uordblks + mallinfo2().hblkhd; };
    TJPEGImage j;
    EXPECT_THROW(j.LoadFromBytes(jpeg), EInvalidGraphic);
    const size_t before = inUse();
    for (int i = 0; i < 200; ++i)
        EXPECT_THROW(j.LoadFromBytes(jpeg), EInvalidGraphic);
    EXPECT_LT(inUse() - before, size_t(1) << 20); // a 12 KB row each time would be 2.4 MB
}

TEST(MetafileDamage, FrameSizesOutsideWhatBothFormsHoldAreRefused) {
    const int64_t far = int64_t(40000) * 2540 / 96, edge = int64_t(32767) * 2540 / 96;
    const struct {
        TBytes File;
        int Width; // 0: refused
    } cases[] = {
        {Emf({0, 0, 99, 79}, {0, 0, 0, 0}), 100},
        {Emf({INT_MAX, 0, INT_MIN, 79}, {0, 0, 0, 0}), 0}, // wraps to 2 in 32 bits
        {Emf({0, 0, 99, 79}, {0, 0, far, 2000}), 0},
        {Emf({0, 0, 99, 79}, {0, 0, edge, 2000}), 32767},
    };
    for (const auto& c : cases) {
        TMetafile m;
        if (!c.Width) {
            EXPECT_THROW(m.LoadFromBytes(c.File), EInvalidGraphic);
            continue;
        }
        m.LoadFromBytes(c.File);
        EXPECT_EQ(m.Width(), c.Width);
        for (bool enhanced : {true, false}) {
            TMetafile again;
            again.LoadFromBytes(enhanced ? m.SaveToEmf() : m.SaveToWmf());
            EXPECT_EQ(again.Width(), c.Width) << enhanced;
        }
    }
    TMetafile made;
    made.SetWidth(40000);
    EXPECT_EQ(made.Width(), MaxMetafileSide);
}

TEST(MetafileDamage, StretchedBitmapSourcesAreCutToTheBitmap) {
    const struct {
        int64_t Xs, Ys, Cxs, Cys;
        const char* Row; // "": refused
    } cases[] = {
        {0, 0, 2, 1, "rrrrrbbbbb"},
        {1, 0, 2, 1, "bbbbb....."},                   // half outside: half the destination
        {0, 0, 0x7FFF0000, 0x7FFF0000, ".........."}, // 41 GB asked: shrinks to nothing
        {5, 0, 2, 1, ""},                             // wholly outside
        {0, INT_MIN, 2, INT_MAX, ""},                 // rows from the bottom overflow 32 bits
    };
    for (const auto& c : cases) {
        const TBytes file = Emf({0, 0, 9, 0}, {0, 0, 0, 0},
                                StretchRecord(c.Xs, c.Ys, c.Cxs, c.Cys, TRect(0, 0, 10, 1)));
        TMetafile m;
        if (!*c.Row) {
            EXPECT_THROW(m.LoadFromBytes(file), EInvalidGraphic) << c.Xs << "," << c.Ys;
            continue;
        }
        m.LoadFromBytes(file);
        for (bool enhanced : {true, false}) {
            TMetafile again;
            ASSERT_NO_THROW(again.LoadFromBytes(enhanced ? m.SaveToEmf() : m.SaveToWmf()))
                << c.Cxs << (enhanced ? " emf" : " wmf");
            TBitmap b(10, 1);
            b.Canvas()->Draw(0, 0, &again);
            EXPECT_EQ(Art(b)[0], c.Row) << c.Xs << "," << c.Cxs << (enhanced ? " emf" : " wmf");
        }
    }
}

TEST(MetafileDamage, ExtremeCoordinatesStayInThePixelRange) {
    // Text at x = INT_MAX under a window origin of -1000: held at the edge of
    // the range when read and when saved.
    TBytes records;
    Put(records, {10, 16, -1000, 0});
    Put(records, {84, 80, 0, 0, 0, 0, 1, 0, 0, INT_MAX, 5, 1, 76, 0, 0, 0, 0, 0, 0});
    records.insert(records.end(), {'A', 0, 0, 0});
    TMetafile m;
    m.LoadFromBytes(Emf({0, 0, 99, 79}, {0, 0, 0, 0}, records));
    ASSERT_EQ(m.TextRecords().size(), 1u);
    EXPECT_EQ(m.TextRecords()[0].Pos.x, PixelLimit);
    TMetafile again;
    again.LoadFromBytes(m.SaveToEmf());
    ASSERT_EQ(again.TextRecords().size(), 1u);
    EXPECT_EQ(again.TextRecords()[0].Pos.x, PixelLimit);
}

TEST(MetafileDamage, OldStyleBitmapsWithColourMasksReadTheirPixels) {
    // A 16-bit 5-6-5 bitmap (red, blue) in a placeable file: pixels follow the masks.
    TBytes dib = Dib(2, 1, 16, 3, 0, {});
    Put(dib, {0xF800, 0x07E0, 0x001F, 0x001FF800});
    const uint16_t size = uint16_t(14 + dib.size() / 2);
    std::vector<uint16_t> words = {
        0xCDD7, 0x9AC6, 0,     0, 0, 2, 1, 96, 0, 0,    0, // 2 x 1, 96 an inch
        1,      9,      0x300, 0, 0, 0, 0, 0,  0, size, 0, 0x0F43,
        0x0020, 0x00CC, 0,     1, 2, 0, 0, 1,  2, 0,    0};
    for (size_t i = 0; i < dib.size(); i += 2)
        words.push_back(uint16_t(dib[i] | dib[i + 1] << 8));
    words.insert(words.end(), {3, 0, 0});
    TBytes f;
    for (uint16_t w : words)
        f.insert(f.end(), {uint8_t(w), uint8_t(w >> 8)});
    TMetafile m;
    m.LoadFromBytes(f);
    TBitmap b(2, 1);
    b.Canvas()->Draw(0, 0, &m);
    EXPECT_EQ(Art(b)[0], "rb");
}

TEST(MetafileDamage, LargeMetafilesDrawIntoMetafilesAsABoundedPicture) {
    TMetafile big;
    big.SetWidth(MaxMetafileSide);
    big.SetHeight(MaxMetafileSide);
    {
        TMetafileCanvas c(&big, nullptr);
        c.Brush()->SetColor(clRed);
        c.FillRect(TRect(0, 0, MaxMetafileSide, MaxMetafileSide));
    }
    TMetafile outer;
    outer.SetWidth(4);
    outer.SetHeight(4);
    {
        TMetafileCanvas c(&outer, nullptr);
        ASSERT_NO_THROW(c.StretchDraw(TRect(0, 0, 4, 4), &big));
    }
    TBitmap b(4, 4);
    b.Canvas()->Draw(0, 0, &outer);
    EXPECT_EQ(Art(b)[2], "rrrr");
}

TEST(PictureDamage, PieOfAFlatBoxStaysInItsBox) {
    // Radials nearly straight up and down meet a flat ellipse at its ends.
    TBitmap b(40, 40);
    b.Canvas()->Pie(10, 20, 30, 21, 21, 0, 18, 39);
    const TRect ink = InkBox(b);
    EXPECT_GE(ink.Top, 20);
    EXPECT_LE(ink.Bottom, 21);
}

TEST(PictureDamage, DashesOfAFarReachingWidePenKeepTheirPlaceInThePattern) {
    // Dashes are made only near the bitmap for a line reaching far beyond it;
    // they fall where a line starting a whole number of periods (8) later
    // puts them, give or take the rounding of a dash's end.
    auto row = [](int x0, int x1) {
        TBitmap b(40, 6);
        LOGBRUSH lb{};
        b.Canvas()->Pen()->SetHandle(ExtCreatePen(PS_GEOMETRIC | PS_DASH | PS_ENDCAP_FLAT, 2, lb));
        b.Canvas()->SetBkMode(TRANSPARENT);
        b.Canvas()->MoveTo(x0, 3);
        b.Canvas()->LineTo(x1, 3);
        return Art(b)[3];
    };
    for (int x0 : {-1, -3, -6}) {
        const std::string far = row(x0 - 8 * 4000, 60000), near = row(x0, 60);
        for (size_t i = 0; i < near.size(); ++i) {
            const bool end = (i > 0 && near[i - 1] != near[i]) ||
                             (i + 1 < near.size() && near[i + 1] != near[i]);
            EXPECT_TRUE(far[i] == near[i] || end) << x0 << "\n" << far << "\n" << near;
        }
    }
}

namespace {

// A placeable old-style file of W x H units (96 an inch) with these records
// (words: size in words, function, parameters), ended.
TBytes Wmf(int W, int H, const std::vector<std::vector<uint16_t>>& Records) {
    std::vector<uint16_t> words = {0xCDD7, 0x9AC6, 0, 0, 0, uint16_t(W), uint16_t(H), 96, 0, 0};
    uint16_t sum = 0;
    for (uint16_t w : words)
        sum ^= w;
    words.push_back(sum);
    std::vector<uint16_t> body;
    for (const auto& r : Records) {
        const uint32_t size = uint32_t(r.size() + 2);
        body.insert(body.end(), {uint16_t(size), uint16_t(size >> 16)});
        body.insert(body.end(), r.begin(), r.end());
    }
    body.insert(body.end(), {3, 0, 0});
    words.insert(words.end(), {1, 9, 0x300, uint16_t(9 + body.size()), 0, 1, 0, 0, 0});
    words.insert(words.end(), body.begin(), body.end());
    TBytes f;
    for (uint16_t w : words)
        f.insert(f.end(), {uint8_t(w), uint8_t(w >> 8)});
    return f;
}

std::vector<uint16_t> Words(const TBytes& b) {
    std::vector<uint16_t> w;
    for (size_t i = 0; i + 1 < b.size(); i += 2)
        w.push_back(uint16_t(b[i] | b[i + 1] << 8));
    return w;
}

std::vector<uint16_t> Join(std::vector<uint16_t> a, const std::vector<uint16_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A red brush selected and a 4 x 2 picture filled after Clip's records.
TBytes ClippedFill(const std::vector<std::vector<uint16_t>>& Clip) {
    std::vector<std::vector<uint16_t>> r = {{0x02FC, 0, 0x00FF, 0, 0}, {0x012D, 0}};
    r.insert(r.end(), Clip.begin(), Clip.end());
    r.push_back({0x061D, 0x0021, 0x00F0, 2, 4, 0, 0}); // pattern copy of the whole picture
    return Wmf(4, 2, r);
}

// A region record: header, then scans of (count, top, bottom, edges..., count).
std::vector<uint16_t> RegionRecord(uint16_t Scans, const std::vector<uint16_t>& ScanWords) {
    return Join({0x06FF, 0, 6, 0, 0, uint16_t(22 + 2 * ScanWords.size()), Scans, 2, 0, 0, 4, 2},
                ScanWords);
}

// A 2 x 1 DIB (red, blue) as a pattern brush record of each format.
const TBytes PatternDib = Dib(2, 1, 24, 0, 0, {0, 0, 255, 255, 0, 0, 0, 0});

} // namespace

TEST(MetafileDamage, OldStyleRegionsAreHeldToTheirRecord) {
    const struct {
        const char* What;
        std::vector<std::vector<uint16_t>> Clip;
        const char* Rows; // "": refused
    } cases[] = {
        {"region of the first column and row",
         {RegionRecord(2, {2, 0, 1, 0, 4, 2, 2, 1, 2, 0, 1, 2}), {0x012C, 1}},
         "rrrr|r..."},
        {"overlapping runs out of order",
         {RegionRecord(2, {2, 1, 2, 0, 1, 2, 2, 0, 2, 1, 3, 2}), {0x012C, 1}},
         ".rr.|rrr."},
        {"more scans than the record holds", {RegionRecord(0xFFFF, {2, 0, 2, 0, 1, 2})}, ""},
        {"a scan with an odd number of edges", {RegionRecord(1, {1, 0, 2, 0, 2})}, ""},
        {"a scan's edges beyond the record", {RegionRecord(1, {0xFFFE, 0, 2, 0, 1, 2})}, ""},
        {"a header cut short", {{0x06FF, 0, 6, 0}}, ""},
        {"a brush selected as the clip", {{0x012C, 0}}, "rrrr|rrrr"},
        {"a slot never filled", {{0x012C, 7}}, "rrrr|rrrr"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        const TBytes file = ClippedFill(c.Clip);
        TMetafile m;
        if (!*c.Rows) {
            EXPECT_THROW(m.LoadFromBytes(file), EInvalidGraphic);
            continue;
        }
        ASSERT_NO_THROW(m.LoadFromBytes(file));
        for (bool enhanced : {true, false}) {
            TMetafile again;
            ASSERT_NO_THROW(again.LoadFromBytes(enhanced ? m.SaveToEmf() : m.SaveToWmf()));
            TBitmap b(4, 2);
            b.Canvas()->Draw(0, 0, &again);
            EXPECT_EQ(Art(b)[0] + "|" + Art(b)[1], c.Rows) << (enhanced ? "emf" : "wmf");
        }
    }
}

TEST(MetafileDamage, PatternBrushBitmapsAreHeldToTheirRecord) {
    const TBytes huge = Dib(8192, 8192, 24, 0, 0, {1, 2, 3, 4});
    auto wmf = [](const TBytes& dib) {
        return Wmf(
            4, 1,
            {Join({0x0142, 5, 0}, Words(dib)), {0x012D, 0}, {0x061D, 0x0021, 0x00F0, 1, 4, 0, 0}});
    };
    auto emf = [](const TBytes& dib, int64_t offBmi, int64_t cbBits) {
        TBytes r;
        Put(r, {94, int64_t(32 + dib.size()), 1, 0, offBmi, 40, 72, cbBits});
        r.insert(r.end(), dib.begin(), dib.end());
        Put(r, {37, 12, 1});
        Put(r, {37, 12, 0x80000000 | NULL_PEN});
        Put(r, {43, 24, 0, 0, 5, 2}); // a rectangle over the picture
        return Emf({0, 0, 3, 0}, {0, 0, 0, 0}, r);
    };
    const struct {
        const char* What;
        TBytes File;
        bool Loads;
    } cases[] = {
        {"old-style pattern", wmf(PatternDib), true},
        {"old-style pattern without its pixels", wmf(huge), false},
        {"enhanced pattern", emf(PatternDib, 32, 8), true},
        {"enhanced pattern placed beyond its record", emf(PatternDib, 0x7FFFFFF0, 8), false},
        {"enhanced pattern claiming more pixels than it has", emf(PatternDib, 32, 0x10000), false},
        {"enhanced pattern without its pixels", emf(huge, 32, 4), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        TMetafile m;
        if (!c.Loads) {
            EXPECT_THROW(m.LoadFromBytes(c.File), EInvalidGraphic);
            continue;
        }
        ASSERT_NO_THROW(m.LoadFromBytes(c.File));
        for (bool enhanced : {true, false}) {
            TMetafile again;
            ASSERT_NO_THROW(again.LoadFromBytes(enhanced ? m.SaveToEmf() : m.SaveToWmf()));
            TBitmap b(4, 1);
            b.Canvas()->Draw(0, 0, &again);
            EXPECT_EQ(Art(b)[0], "rbrb") << (enhanced ? "emf" : "wmf");
        }
    }
}

TEST(MetafileDamage, ARegionSelectedOverAndOverIsHeldOnce) {
    // A thousand rows of different runs, selected four thousand times; what
    // the selections add up to is bounded.
    std::vector<uint16_t> scans;
    for (uint16_t y = 0; y < 1000; ++y)
        scans.insert(scans.end(), {2, y, uint16_t(y + 1), uint16_t(y % 7), 8, 2});
    auto file = [&scans](size_t Selects) {
        std::vector<std::vector<uint16_t>> records = {RegionRecord(1000, scans)};
        records.insert(records.end(), Selects, {0x012C, 0});
        return Wmf(8, 1000, records);
    };
    auto inUse = [] { return mallinfo2().uordblks + mallinfo2().hblkhd; };
    const size_t before = inUse();
    TMetafile m;
    m.LoadFromBytes(file(4000));
    EXPECT_LT(inUse() - before, size_t(32) << 20); // 4000 copies would be 64 MB
    EXPECT_THROW(m.LoadFromBytes(file(5000)), EInvalidGraphic);
}
