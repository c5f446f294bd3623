// Pictures: BMP files of every bit depth, JPEG and PNG round trips, damaged
// files, scan lines, the file-format registry.
#include "pixelart.h"
#include "platform/classes/streams.h"
#include "platform/graphics/jpeg.h"
#include <gtest/gtest.h>
#include <cstdio>
#include <filesystem>

namespace {

std::string TempPath(const char* name) {
    return (std::filesystem::temp_directory_path() / (std::string("qmgfx_") + name)).string();
}

// A picture with a few exact colours and a gradient.
void Paint(TBitmap& b) {
    b.SetSize(21, 13);
    TCanvas* c = b.Canvas();
    for (int x = 0; x < 21; ++x)
        for (int y = 0; y < 13; ++y)
            c->SetPixel(x, y, TColor(RGB(x * 12, y * 20, 128)));
    c->SetPixel(0, 0, clRed);
    c->SetPixel(20, 12, clBlue);
    c->SetPixel(5, 5, clBlack);
    c->SetPixel(6, 5, clWhite);
}

} // namespace

TEST(Bitmaps, TrueColourFilesRoundTripExactly) {
    for (TPixelFormat f : {pf24bit, pf32bit, pfDevice}) {
        TBitmap a;
        Paint(a);
        a.SetPixelFormat(f);
        TBitmap b;
        b.LoadFromBytes(a.SaveToBytes());
        EXPECT_EQ(b.Width(), 21);
        EXPECT_EQ(b.Height(), 13);
        for (int y = 0; y < 13; ++y)
            for (int x = 0; x < 21; ++x)
                ASSERT_EQ(b.Canvas()->Pixels(x, y), a.Canvas()->Pixels(x, y)) << x << "," << y;
    }
}

TEST(Bitmaps, PaletteAndSixteenBitFilesKeepTheirColours) {
    struct Case {
        TPixelFormat Format;
        int Bits;
    };
    for (Case c : {Case{pf1bit, 1}, Case{pf4bit, 4}, Case{pf8bit, 8}, Case{pf15bit, 16},
                   Case{pf16bit, 16}}) {
        TBitmap a(9, 5);
        a.Canvas()->Brush()->SetColor(clBlack);
        a.Canvas()->FillRect(TRect(0, 0, 4, 5));
        a.SetPixelFormat(c.Format);
        const std::vector<uint8_t> file = a.SaveToBytes();
        EXPECT_EQ(file[28], c.Bits);
        TBitmap b;
        b.LoadFromBytes(file);
        EXPECT_EQ(b.PixelFormat(), c.Format);
        EXPECT_EQ(Art(b)[2], "####.....");
    }
}

TEST(Bitmaps, ReadsTopDownAndRleFiles) {
    // 2x2 top-down 24-bit, then 4x2 8-bit RLE: hand-made files.
    std::vector<uint8_t> topDown = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 2,
                                    0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF, 1, 0, 24, 0, 0, 0, 0, 0, 16, 0,
                                    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                    // row 0 (top): blue, red
                                    255, 0, 0, 0, 0, 255, 0, 0,
                                    // row 1: white, black
                                    255, 255, 255, 0, 0, 0, 0, 0};
    TBitmap a;
    a.LoadFromBytes(topDown);
    EXPECT_EQ(Art(a), (std::vector<std::string>{"br", ".#"}));

    std::vector<uint8_t> rle = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 62, 0, 0, 0, 40, 0, 0, 0, 4, 0, 0,
                                0, 2, 0, 0, 0, 1, 0, 8, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                0, 0, 2, 0, 0, 0, 0, 0, 0, 0,
                                // palette: 0 black, 1 white (BGRA)
                                0, 0, 0, 0, 255, 255, 255, 0,
                                // bottom row: 4 x index 1; end of line; top: 2x0, 2x1; end
                                4, 1, 0, 0, 2, 0, 2, 1, 0, 1};
    TBitmap b;
    b.LoadFromBytes(rle);
    EXPECT_EQ(Art(b), (std::vector<std::string>{"##..", "...."}));
}

TEST(Bitmaps, DamagedFilesRaiseAndLeaveTheBitmapAsItWas) {
    TBitmap good;
    Paint(good);
    const std::vector<uint8_t> file = good.SaveToBytes();
    const std::vector<std::vector<uint8_t>> damaged = {
        {},
        {'B', 'M'},
        std::vector<uint8_t>(file.begin(), file.begin() + 30), // header cut
        std::vector<uint8_t>(file.begin(), file.end() - 10),   // pixels cut
        [&] {                                                  // absurd size
            auto f = file;
            f[18] = f[19] = f[20] = 0x7F;
            f[22] = f[23] = 0x7F;
            return f;
        }(),
        [&] { // bit count 7
            auto f = file;
            f[28] = 7;
            return f;
        }(),
        [&] { // palette larger than the file
            auto f = file;
            f[28] = 8;
            f[46] = 0xFF;
            f[47] = 0xFF;
            return f;
        }(),
    };
    TBitmap target(3, 3);
    target.Canvas()->SetPixel(1, 1, clRed);
    for (const auto& d : damaged) {
        EXPECT_THROW(target.LoadFromBytes(d), EInvalidGraphic);
        EXPECT_EQ(target.Width(), 3);
        EXPECT_EQ(target.Canvas()->Pixels(1, 1), clRed);
    }
}

TEST(Bitmaps, TruncatedRleRaises) {
    std::vector<uint8_t> rle = {
        'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 62, 0, 0, 0, 40,  0,   0,   0, 4, 0, 0, 0,
        2,   0,   0, 0, 1, 0, 8, 0, 1, 0, 0,  0, 0, 0, 0,   0,   0,   0, 0, 0, 0, 0,
        0,   0,   2, 0, 0, 0, 0, 0, 0, 0, 0,  0, 0, 0, 255, 255, 255, 0, 0, 5, 1}; // absolute run
                                                                                   // of 5 with one
                                                                                   // byte left
    TBitmap b;
    EXPECT_THROW(b.LoadFromBytes(rle), EInvalidGraphic);
}

TEST(Bitmaps, ScanLinesOf24BitBitmapsAreBgrRowsTheCanvasSees) {
    TBitmap b(4, 2);
    b.SetPixelFormat(pf24bit);
    b.Canvas()->SetPixel(1, 0, clRed);
    uint8_t* row = static_cast<uint8_t*>(b.ScanLine(0));
    EXPECT_EQ(row[3 + 2], 255); // red byte of pixel 1
    EXPECT_EQ(row[3 + 0], 0);
    row[0] = 255; // pixel 0 becomes blue
    row[1] = 0;
    row[2] = 0;
    EXPECT_EQ(b.Canvas()->Pixels(0, 0), clBlue);
    EXPECT_THROW(b.ScanLine(2), EInvalidGraphicOperation);
    EXPECT_THROW(b.ScanLine(-1), EInvalidGraphicOperation);
}

TEST(Bitmaps, ResizeKeepsPixelsAndFillsWhite) {
    TBitmap b(2, 2);
    b.Canvas()->SetPixel(1, 1, clRed);
    b.SetSize(3, 3);
    EXPECT_EQ(Art(b), (std::vector<std::string>{"...", ".r.", "..."}));
    b.SetWidth(0);
    EXPECT_TRUE(b.Empty());
}

TEST(Bitmaps, TransparentColourIsTheBottomLeftPixelUnlessFixed) {
    TBitmap b(3, 3);
    b.Canvas()->SetPixel(0, 2, clLime);
    EXPECT_EQ(b.TransparentColor(), clLime);
    b.SetTransparentColor(clRed);
    EXPECT_EQ(b.TransparentMode(), tmFixed);
    EXPECT_EQ(b.TransparentColor(), clRed);
}

TEST(Jpeg, RoundTripStaysCloseToTheOriginal) {
    TBitmap a;
    Paint(a);
    TJPEGImage j;
    j.Assign(&a);
    j.SetCompressionQuality(95);
    const std::vector<uint8_t> data = j.SaveToBytes();
    ASSERT_GT(data.size(), 100u);
    EXPECT_EQ(data[0], 0xFF);
    EXPECT_EQ(data[1], 0xD8);
    TJPEGImage k;
    k.LoadFromBytes(data);
    ASSERT_EQ(k.Width(), 21);
    ASSERT_EQ(k.Height(), 13);
    TBitmap* b = k.Bitmap();
    long total = 0;
    for (int y = 2; y < 11; ++y)
        for (int x = 2; x < 19; ++x) {
            const COLORREF p = ColorToRGB(a.Canvas()->Pixels(x, y)),
                           q = ColorToRGB(b->Canvas()->Pixels(x, y));
            total += std::abs(GetRValue(p) - GetRValue(q)) + std::abs(GetGValue(p) - GetGValue(q)) +
                     std::abs(GetBValue(p) - GetBValue(q));
        }
    EXPECT_LT(total / (9 * 17 * 3), 12);
}

TEST(Jpeg, DamagedAndTruncatedFilesRaise) {
    TBitmap a;
    Paint(a);
    TJPEGImage j;
    j.Assign(&a);
    const std::vector<uint8_t> data = j.SaveToBytes();
    TJPEGImage k;
    EXPECT_THROW(
        k.LoadFromBytes(std::vector<uint8_t>(data.begin(), data.begin() + data.size() / 2)),
        EInvalidGraphic);
    EXPECT_THROW(k.LoadFromBytes({0xFF, 0xD8, 0xFF, 0xE0, 1, 2, 3}), EInvalidGraphic);
    EXPECT_THROW(k.LoadFromBytes({'G', 'I', 'F', '8'}), EInvalidGraphic);
    auto scrambled = data;
    for (size_t i = 20; i < 200 && i < scrambled.size(); ++i)
        scrambled[i] ^= 0x5A;
    EXPECT_THROW(k.LoadFromBytes(scrambled), EInvalidGraphic);
    EXPECT_TRUE(k.Empty());
}

TEST(Jpeg, ScaleAndGrayscale) {
    TBitmap a(40, 24);
    a.Canvas()->Brush()->SetColor(clRed);
    a.Canvas()->FillRect(TRect(0, 0, 40, 24));
    TJPEGImage j;
    j.Assign(&a);
    TJPEGImage k;
    k.SetScale(jsQuarter);
    k.SetGrayscale(true);
    k.LoadFromBytes(j.SaveToBytes());
    EXPECT_EQ(k.Width(), 10);
    const COLORREF c = ColorToRGB(k.Bitmap()->Canvas()->Pixels(5, 3));
    EXPECT_EQ(GetRValue(c), GetGValue(c));
}

TEST(Png, RoundTripIsExact) {
    TBitmap a;
    Paint(a);
    TPngImage p;
    p.Assign(&a);
    TPngImage q;
    q.LoadFromBytes(p.SaveToBytes());
    EXPECT_EQ(Art(*q.Bitmap()), Art(a));
    EXPECT_THROW(q.LoadFromBytes({0x89, 'P', 'N', 'G', 1, 2}), EInvalidGraphic);
}

TEST(Pictures, FormatChosenByExtension) {
    TBitmap a;
    Paint(a);
    const std::string bmp = TempPath("pic.bmp"), jpg = TempPath("pic.JPG");
    a.SaveToFile(bmp.c_str());
    TJPEGImage j;
    j.Assign(&a);
    j.SaveToFile(jpg.c_str());
    TPicture p;
    p.LoadFromFile(bmp.c_str());
    EXPECT_STREQ(p.Graphic()->ClassName().c_str(), "TBitmap");
    EXPECT_EQ(p.Width(), 21);
    p.LoadFromFile(jpg.c_str());
    EXPECT_STREQ(p.Graphic()->ClassName().c_str(), "TJPEGImage");
    EXPECT_THROW(p.LoadFromFile(TempPath("pic.xyz").c_str()), EInvalidGraphic);
    EXPECT_STREQ(p.Graphic()->ClassName().c_str(), "TJPEGImage"); // unchanged
    EXPECT_TRUE(TPicture::SupportsExtension(".emf"));
    EXPECT_NE(TPicture::GraphicFilter().Pos("*.wmf"), 0);
    std::remove(bmp.c_str());
    std::remove(jpg.c_str());
}

// The message says what is wrong with the name; saving writes nothing.
TEST(Pictures, NameWithoutAKnownExtensionIsRefusedSayingWhy) {
    TBitmap a;
    Paint(a);
    TPicture p;
    p.SetGraphic(&a);
    // The folder's dot is no extension of the names in it.
    const std::filesystem::path dir = TempPath("names.d");
    std::filesystem::create_directories(dir);
    const struct {
        const char* Name;
        const char* Message;
    } cases[] = {{"pic", "Picture file name has no extension"},
                 {"pic.", "Picture file name has no extension"},
                 {"pic.xyz", "Unknown picture file extension (.xyz)"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string name = (dir / c.Name).string();
        for (const bool save : {true, false}) {
            try {
                save ? p.SaveToFile(name.c_str()) : p.LoadFromFile(name.c_str());
                ADD_FAILURE() << "no EInvalidGraphic";
            } catch (const EInvalidGraphic& e) {
                EXPECT_STREQ(e.what(), c.Message);
            }
        }
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir));
    std::filesystem::remove_all(dir);
}

TEST(Pictures, StreamsCarryTheFileBytes) {
    TBitmap a;
    Paint(a);
    TMemoryStream s;
    a.SaveToStream(&s);
    s.SetPosition(0);
    TBitmap b;
    b.LoadFromStream(&s);
    EXPECT_EQ(Art(b), Art(a));
}

TEST(Pictures, PictureBitmapReplacesOtherGraphics) {
    TPicture p;
    int changes = 0;
    p.OnChange = [&](TObject*) { ++changes; };
    TJPEGImage j;
    TBitmap a(2, 2);
    j.Assign(&a);
    p.SetGraphic(&j);
    TBitmap* b = p.Bitmap();
    EXPECT_TRUE(b->Empty());
    b->SetSize(4, 4);
    EXPECT_EQ(p.Width(), 4);
    EXPECT_GE(changes, 3);
}

TEST(Bitmaps, WidthThenHeightMakesAWhiteBitmapOfThatSize) {
    TBitmap b;
    b.SetWidth(5);
    EXPECT_EQ(b.Width(), 5);
    EXPECT_EQ(b.Height(), 0);
    b.SetHeight(3);
    ASSERT_EQ(b.Width(), 5);
    ASSERT_EQ(b.Height(), 3);
    EXPECT_EQ(b.Canvas()->Pixels(4, 2), clWhite);
    TBitmap copy;
    copy.SetHeight(7);
    b.Assign(&copy);
    EXPECT_EQ(b.Width(), 0);
    EXPECT_EQ(b.Height(), 7);
}
