// Metafiles: recording, playback, and EMF / placeable WMF files read back by
// independent readers (emf2svg-conv, wmf2svg) and by our own reader.
#include "pixelart.h"
#include "platform/graphics/gdi.h"
#include "platform/graphics/metafile.h"
#include "support/external_tool.h"
#include "support/recording_printer.h"
#include <QByteArray>
#include <QImage>
#include <QString>
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

namespace {

std::string TempPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() / ("qmgfx_" + name)).string();
}

std::string ReadText(const std::string& path) {
    std::ifstream f(path);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

// The text of all <text> elements, in order (readers may split a string
// into one element per character).
std::string SvgText(const std::string& svg) {
    std::string out;
    size_t at = 0;
    while ((at = svg.find("<text", at)) != std::string::npos) {
        const size_t open = svg.find('>', at);
        const size_t close = svg.find("</text>", open);
        if (open == std::string::npos || close == std::string::npos) break;
        out += svg.substr(open + 1, close - open - 1);
        at = close;
    }
    return out;
}

// What charts put into metafiles: shapes, lines, text, a bitmap, clipping.
void DrawSample(TCanvas* c) {
    c->Brush()->SetColor(clYellow);
    c->Rectangle(10, 10, 190, 110);
    c->Pen()->SetColor(clRed);
    c->Pen()->SetWidth(2);
    c->MoveTo(20, 100);
    c->LineTo(60, 40);
    c->LineTo(100, 80);
    c->Brush()->SetColor(clBlue);
    c->Ellipse(120, 20, 180, 60);
    const TPoint tri[3] = {{130, 100}, {150, 70}, {170, 100}};
    c->Polygon(tri, 3);
    c->Pie(20, 20, 60, 60, 60, 40, 40, 20);
    c->Font()->SetName("Arial");
    c->Font()->SetSize(10);
    c->Brush()->SetStyle(bsClear);
    c->TextOut(30, 112, "Hello chart");
    TBitmap bmp(8, 8);
    bmp.Canvas()->Brush()->SetColor(clGreen);
    bmp.Canvas()->FillRect(TRect(0, 0, 4, 8));
    c->Draw(180, 100, &bmp);
    c->IntersectClipRect(0, 0, 100, 100);
    c->Pen()->SetWidth(1);
    c->Pen()->SetColor(clBlack);
    c->MoveTo(0, 0);
    c->LineTo(200, 130);
}

TMetafile Sample(bool enhanced) {
    TMetafile m;
    m.SetWidth(200);
    m.SetHeight(130);
    m.SetEnhanced(enhanced);
    {
        TMetafileCanvas c(&m, nullptr);
        DrawSample(&c);
    }
    return m;
}

} // namespace

TEST(Metafile, CanvasRecordsIntoTheMetafileWhenFreed) {
    TMetafile m;
    m.SetWidth(50);
    m.SetHeight(50);
    {
        TMetafileCanvas c(&m, nullptr);
        c.Rectangle(0, 0, 10, 10);
        EXPECT_EQ(m.RecordCount(), 0);
        EXPECT_EQ(c.GetDeviceCaps(TECHNOLOGY), DT_METAFILE);
    }
    EXPECT_GT(m.RecordCount(), 0);
}

TEST(Metafile, PlaybackDrawsWhatDirectDrawingDraws) {
    TMetafile m = Sample(true);
    TBitmap direct(200, 130), played(200, 130);
    DrawSample(direct.Canvas());
    played.Canvas()->StretchDraw(TRect(0, 0, 200, 130), &m);
    // Same pixels apart from antialiased text edges.
    int differ = 0;
    const auto a = Art(direct), b = Art(played);
    for (size_t y = 0; y < a.size(); ++y)
        for (size_t x = 0; x < a[y].size(); ++x)
            differ += a[y][x] != b[y][x];
    EXPECT_LT(differ, 60);
    EXPECT_EQ(b[30][15], a[30][15]);
    EXPECT_EQ(played.Canvas()->Pixels(150, 40), clBlue);
}

TEST(Metafile, PlaybackScalesIntoTheTargetRectangle) {
    TMetafile m;
    m.SetWidth(10);
    m.SetHeight(10);
    {
        TMetafileCanvas c(&m, nullptr);
        c.Pen()->SetStyle(psClear);
        c.Brush()->SetColor(clRed);
        c.Rectangle(0, 0, 6, 6); // 5 x 5 pixels
    }
    TBitmap b(40, 40);
    b.Canvas()->StretchDraw(TRect(10, 10, 30, 30), &m);
    EXPECT_EQ(InkBox(b), TRect(10, 10, 21, 21)); // the missing pen takes one device pixel
}

TEST(Metafile, EmfFileIsReadByAnIndependentReader) {
    QM_REQUIRE_TOOL("emf2svg-conv");
    TMetafile m = Sample(true);
    const std::string emf = TempPath("sample.emf"), svg = TempPath("sample_emf.svg");
    m.SaveToFile(emf.c_str());
    ASSERT_EQ(std::system(("emf2svg-conv -i " + emf + " -o " + svg + " >/dev/null 2>&1").c_str()),
              0);
    const std::string out = ReadText(svg);
    EXPECT_NE(SvgText(out).find("Hello chart"), std::string::npos);
    EXPECT_NE(out.find("<ellipse"), std::string::npos);
    EXPECT_NE(out.find("<image"), std::string::npos);
    std::remove(emf.c_str());
    std::remove(svg.c_str());
}

TEST(Metafile, WmfFileIsReadByAnIndependentReader) {
    QM_REQUIRE_TOOL("wmf2svg");
    TMetafile m = Sample(false);
    const std::string wmf = TempPath("sample.wmf"), svg = TempPath("sample_wmf.svg");
    m.SaveToFile(wmf.c_str());
    ASSERT_EQ(std::system(("wmf2svg -o " + svg + " " + wmf + " >/dev/null 2>&1").c_str()), 0);
    const std::string out = ReadText(svg);
    EXPECT_NE(SvgText(out).find("Hello chart"), std::string::npos);
    EXPECT_NE(out.find("<ellipse"), std::string::npos);
    if (!HasFailure()) {
        std::remove(wmf.c_str());
        std::remove(svg.c_str());
    }
}

TEST(Metafile, OwnFilesReadBackAndPlayTheSame) {
    for (bool enhanced : {true, false}) {
        TMetafile m = Sample(enhanced);
        TMetafile r;
        r.LoadFromBytes(m.SaveToBytes());
        EXPECT_EQ(r.Enhanced(), enhanced);
        EXPECT_EQ(r.Width(), 200);
        EXPECT_EQ(r.Height(), 130);
        TBitmap a(200, 130), b(200, 130);
        a.Canvas()->Draw(0, 0, &m);
        b.Canvas()->Draw(0, 0, &r);
        int differ = 0;
        const auto x = Art(a), y = Art(b);
        for (size_t i = 0; i < x.size(); ++i)
            for (size_t j = 0; j < x[i].size(); ++j)
                differ += x[i][j] != y[i][j];
        EXPECT_LT(differ, 80) << (enhanced ? "emf" : "wmf");
    }
}

TEST(Metafile, DamagedFilesRaise) {
    const std::vector<uint8_t> emf = Sample(true).SaveToBytes();
    TMetafile m;
    EXPECT_THROW(m.LoadFromBytes({}), EInvalidGraphic);
    EXPECT_THROW(m.LoadFromBytes(std::vector<uint8_t>(emf.begin(), emf.begin() + emf.size() / 2)),
                 EInvalidGraphic);
    auto bad = emf;
    bad[108 + 4] = 0xFF; // first record after the header claims a huge size
    bad[108 + 5] = 0xFF;
    EXPECT_THROW(m.LoadFromBytes(bad), EInvalidGraphic);
    const std::vector<uint8_t> wmf = Sample(false).SaveToBytes();
    EXPECT_THROW(m.LoadFromBytes(std::vector<uint8_t>(wmf.begin(), wmf.begin() + 60)),
                 EInvalidGraphic);
    EXPECT_TRUE(m.Empty());
}

TEST(Metafile, MappedDrawingIsWrittenInDeviceUnits) {
    // A chart printed into a metafile: logical units mapped onto the frame.
    TMetafile m;
    m.SetWidth(100);
    m.SetHeight(100);
    {
        TMetafileCanvas c(&m, nullptr);
        c.SetMapMode(MM_ANISOTROPIC);
        c.SetWindowExtEx(50, 50);
        c.SetViewportExtEx(100, 100);
        c.Pen()->SetStyle(psClear);
        c.Brush()->SetColor(clRed);
        c.Rectangle(10, 10, 20, 20);
    }
    for (bool enhanced : {true, false}) {
        m.SetEnhanced(enhanced);
        TMetafile r;
        r.LoadFromBytes(m.SaveToBytes());
        TBitmap b(100, 100);
        b.Canvas()->Draw(0, 0, &r);
        EXPECT_EQ(InkBox(b), TRect(20, 20, 39, 39)) << (enhanced ? "emf" : "wmf");
    }
}

TEST(Metafile, ClipAndSavedStatesPlayBack) {
    TMetafile m;
    m.SetWidth(20);
    m.SetHeight(10);
    {
        TMetafileCanvas c(&m, nullptr);
        c.Brush()->SetColor(clRed);
        c.SaveDC();
        c.IntersectClipRect(0, 0, 5, 10);
        c.FillRect(TRect(0, 0, 20, 10));
        c.RestoreDC(-1);
        c.Brush()->SetColor(clBlue);
        c.FillRect(TRect(0, 8, 20, 10));
    }
    for (bool enhanced : {true, false}) {
        m.SetEnhanced(enhanced);
        TMetafile r;
        r.LoadFromBytes(m.SaveToBytes());
        TBitmap b(20, 10);
        b.Canvas()->Draw(0, 0, &r);
        EXPECT_EQ(Art(b)[2], "rrrrr...............") << (enhanced ? "emf" : "wmf");
        EXPECT_EQ(Art(b)[9], "bbbbbbbbbbbbbbbbbbbb") << (enhanced ? "emf" : "wmf");
    }
}

TEST(Metafile, PlaybackStaysInsideTheTargetsClip) {
    TMetafile m = Sample(true);
    TBitmap b(200, 130);
    b.Canvas()->IntersectClipRect(0, 0, 50, 130);
    b.Canvas()->Draw(0, 0, &m);
    b.Canvas()->SelectClipRgn(nullptr);
    EXPECT_LE(InkBox(b).Right, 50);
}

TEST(Metafile, TextRecordsListTheTexts) {
    TMetafile m = Sample(true);
    const auto texts = m.TextRecords();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].Text, "Hello chart");
    EXPECT_EQ(texts[0].Pos, TPoint(30, 112));
}

TEST(Metafile, AssignSharesTheRecordingAndBitmapsBecomeMetafiles) {
    TMetafile m = Sample(true);
    TMetafile copy;
    copy.Assign(&m);
    EXPECT_EQ(copy.RecordCount(), m.RecordCount());
    TBitmap b(6, 4);
    b.Canvas()->SetPixel(2, 2, clRed);
    TMetafile fromBitmap;
    fromBitmap.Assign(&b);
    TBitmap out(6, 4);
    out.Canvas()->Draw(0, 0, &fromBitmap);
    EXPECT_EQ(Art(out), Art(b));
}

TEST(Metafile, SizesInHundredthsOfAMillimetre) {
    TMetafile m;
    m.SetMMWidth(2540);
    EXPECT_EQ(m.Width(), 96);
    EXPECT_EQ(m.MMWidth(), 2540);
}

namespace {

// A chart printed with clipping: the clip is given in logical units after an
// anisotropic mapping is set, then the page is filled. Logical x 10..2010 lands
// on device 5..105 and the clip's 210..810 on 15..45; y likewise, or upside down.
struct TMappedClipCase {
    bool FlipY;
    TRect Clip; // device pixels at 100 x 80
};
const TMappedClipCase MappedClipCases[] = {{false, TRect(15, 15, 45, 35)},
                                           {true, TRect(15, 55, 45, 75)}};

void DrawMappedClip(TCanvas* c, bool FlipY) {
    c->SetMapMode(MM_ANISOTROPIC);
    c->SetWindowOrgEx(10, 10);
    c->SetWindowExtEx(1000, 1000);
    c->SetViewportOrgEx(5, FlipY ? 85 : 5);
    c->SetViewportExtEx(50, FlipY ? -50 : 50);
    c->IntersectClipRect(210, 210, 810, 610);
    c->Brush()->SetColor(clRed);
    c->FillRect(TRect(10, 10, 2010, 1610));
}

TMetafile MappedClip(bool FlipY) {
    TMetafile m;
    m.SetWidth(100);
    m.SetHeight(80);
    TMetafileCanvas c(&m, nullptr);
    DrawMappedClip(&c, FlipY);
    return m;
}

} // namespace

TEST(MetafileMappedClip, DirectDrawingClipsToTheMappedRectangle) {
    for (const auto& k : MappedClipCases) {
        TBitmap b(100, 80);
        DrawMappedClip(b.Canvas(), k.FlipY);
        EXPECT_EQ(InkBox(b), k.Clip) << k.FlipY;
    }
}

TEST(MetafileMappedClip, PlaybackAndFilesClipToTheMappedRectangle) {
    for (const auto& k : MappedClipCases) {
        TMetafile m = MappedClip(k.FlipY);
        TMetafile emf, wmf;
        emf.LoadFromBytes(m.SaveToEmf());
        wmf.LoadFromBytes(m.SaveToWmf());
        for (TMetafile* p : {&m, &emf, &wmf}) {
            SCOPED_TRACE(p == &m ? "recorded" : p == &emf ? "emf" : "wmf");
            TBitmap b(100, 80);
            b.Canvas()->Draw(0, 0, p);
            const auto art = Art(b);
            const TRect& c = k.Clip;
            EXPECT_EQ(art[c.Top].substr(13, 34), ".." + std::string(30, 'r') + "..");
            EXPECT_EQ(art[c.Top - 1][20], '.');
            EXPECT_EQ(art[c.Bottom - 1][44], 'r');
            EXPECT_EQ(art[c.Bottom][20], '.');
            EXPECT_EQ(InkBox(b), c);
            // Played at twice the size, the clip scales with the picture.
            TBitmap big(200, 160);
            big.Canvas()->StretchDraw(TRect(0, 0, 200, 160), p);
            EXPECT_EQ(InkBox(big), TRect(2 * c.Left, 2 * c.Top, 2 * c.Right, 2 * c.Bottom));
        }
    }
}

TEST(MetafileMappedClip, PrinterPageKeepsTheClippedDrawing) {
    TRecordingPrinter rec(TSize(1000, 800), 300);
    rec.BeginDoc();
    TCanvas* c = rec.Canvas();
    c->SetMapMode(MM_ANISOTROPIC);
    c->SetWindowExtEx(100, 100);
    c->SetViewportExtEx(1000, 1000); // ten page pixels a logical unit
    c->IntersectClipRect(20, 10, 60, 30);
    c->ExcludeClipRect(30, 15, 40, 20);
    c->Pen()->SetStyle(psClear);
    c->Brush()->SetColor(clRed);
    c->Rectangle(0, 0, 101, 81);
    rec.EndDoc();
    TBitmap page;
    rec.RenderPage(0, page, 5); // two page pixels a logical unit
    EXPECT_EQ(InkBox(page), TRect(40, 20, 120, 60));
    const auto art = Art(page);
    EXPECT_EQ(art[20].substr(39, 82), "." + std::string(80, 'r') + ".");
    EXPECT_EQ(art[30].substr(39, 82),
              "." + std::string(20, 'r') + std::string(20, '.') + std::string(40, 'r') + ".");
    EXPECT_EQ(art[59][119], 'r');
    EXPECT_EQ(art[60][119], '.');
}

TEST(MetafileMappedClip, IndependentReaderGetsTheClipInDeviceUnits) {
    QM_REQUIRE_TOOL("emf2svg-conv");
    for (const auto& k : MappedClipCases) {
        TMetafile m = MappedClip(k.FlipY);
        const std::string emf = TempPath("mappedclip.emf"), svg = TempPath("mappedclip.svg");
        m.SaveToFile(emf.c_str());
        ASSERT_EQ(
            std::system(("emf2svg-conv -i " + emf + " -o " + svg + " >/dev/null 2>&1").c_str()), 0);
        const std::string out = ReadText(svg);
        const size_t clip = out.find("<clipPath");
        ASSERT_NE(clip, std::string::npos);
        const TRect& c = k.Clip;
        char corner[64];
        std::snprintf(corner, sizeof corner, "M %d.0000,%d.0000 L %d.0000,%d.0000", c.Left,
                      k.FlipY ? c.Bottom : c.Top, c.Right, k.FlipY ? c.Bottom : c.Top);
        EXPECT_NE(out.find(corner, clip), std::string::npos) << out;
        std::remove(emf.c_str());
        std::remove(svg.c_str());
    }
}

namespace {

// Draws into a bitmap and into a metafile played back (as recorded, and read
// back from its EMF and, where old-style files can hold it, WMF bytes).
void ExpectPlaybackAsDrawn(const std::function<void(TCanvas*)>& Draw, bool Wmf,
                           TSize Size = TSize(12, 8)) {
    TBitmap direct(Size.cx, Size.cy);
    Draw(direct.Canvas());
    TMetafile m;
    m.SetWidth(Size.cx);
    m.SetHeight(Size.cy);
    {
        TMetafileCanvas c(&m, nullptr);
        Draw(&c);
    }
    TMetafile emf, wmf;
    emf.LoadFromBytes(m.SaveToEmf());
    wmf.LoadFromBytes(m.SaveToWmf());
    for (TMetafile* p : {&m, &emf, &wmf}) {
        if (p == &wmf && !Wmf) continue;
        TBitmap played(Size.cx, Size.cy);
        played.Canvas()->Draw(0, 0, p);
        EXPECT_EQ(Art(played), Art(direct)) << (p == &m ? "recorded" : p == &emf ? "emf" : "wmf");
    }
}

} // namespace

TEST(MetafilePlayback, RefusedClipCallsChangeNothing) {
    ExpectPlaybackAsDrawn(
        [](TCanvas* c) {
            c->IntersectClipRect(0, 0, 5, 8);
            EXPECT_EQ(c->ExtSelectClipRgn(nullptr, RGN_AND), RGN_ERROR);
            HRGN r = CreateRectRgn(0, 0, 2, 2);
            EXPECT_EQ(c->ExtSelectClipRgn(r, 99), RGN_ERROR);
            DeleteObject(r);
            c->Brush()->SetColor(clRed);
            c->FillRect(TRect(0, 0, 12, 8));
        },
        true);
}

TEST(MetafilePlayback, AnEmptyClipSurvivesSaveAndRestore) {
    ExpectPlaybackAsDrawn(
        [](TCanvas* c) {
            c->IntersectClipRect(0, 0, 0, 0);
            c->SaveDC();
            c->RestoreDC(-1);
            c->Brush()->SetColor(clRed);
            c->FillRect(TRect(0, 0, 12, 8));
        },
        true);
}

TEST(MetafilePlayback, AbsoluteRestoreLevelsAreWrittenRelative) {
    const auto draw = [](TCanvas* c) {
        const int first = c->SaveDC();
        c->IntersectClipRect(0, 0, 6, 8);
        c->SaveDC();
        c->IntersectClipRect(0, 0, 3, 8);
        c->RestoreDC(first); // both levels at once
        c->Brush()->SetColor(clRed);
        c->FillRect(TRect(0, 0, 12, 8));
    };
    ExpectPlaybackAsDrawn(draw, true);
    TMetafile m;
    m.SetWidth(12);
    m.SetHeight(8);
    {
        TMetafileCanvas c(&m, nullptr);
        draw(&c);
    }
    // Enhanced files know only negative (relative) levels.
    const std::vector<uint8_t> emf = m.SaveToEmf();
    int restores = 0;
    for (size_t at = 0; at + 12 <= emf.size();) {
        uint32_t type, size;
        std::memcpy(&type, &emf[at], 4);
        std::memcpy(&size, &emf[at + 4], 4);
        if (type == 34) { // EMR_RESTOREDC
            int32_t level;
            std::memcpy(&level, &emf[at + 8], 4);
            EXPECT_EQ(level, -2);
            ++restores;
        }
        if (size < 8) break;
        at += size;
    }
    EXPECT_EQ(restores, 1);
}

TEST(MetafilePlayback, PathsAndBlocksPlayAsDrawn) {
    ExpectPlaybackAsDrawn(
        [](TCanvas* c) {
            c->SetPolyFillMode(WINDING);
            c->BeginPath();
            c->Rectangle(0, 0, 12, 8);
            c->Rectangle(3, 2, 9, 6);
            c->EndPath();
            c->SetPolyFillMode(ALTERNATE);
            c->SelectClipPath(RGN_COPY);
            c->Brush()->SetColor(clRed);
            c->FillRect(TRect(11, 7, 0, 0));
        },
        true);
    ExpectPlaybackAsDrawn(
        [](TCanvas* c) {
            c->Brush()->SetColor(clBlue);
            c->PatBlt(6, 5, -4, -3, PATCOPY);
            c->FillRect(TRect(10, 2, 8, 0));
        },
        true);
}

TEST(MetafilePlayback, ArcsInAndOutOfPathsPlayAsDrawn) {
    // The flat donut sector: two arcs joined by lines, filled as one figure.
    ExpectPlaybackAsDrawn(
        [](TCanvas* c) {
            c->Brush()->SetColor(clRed);
            c->BeginPath();
            c->MoveToEx(29, 15);
            c->ArcTo(0, 0, 30, 30, 29, 15, 15, 1);
            c->LineTo(15, 8);
            c->SetArcDirection(AD_CLOCKWISE);
            c->ArcTo(8, 8, 22, 22, 15, 8, 22, 15);
            c->SetArcDirection(AD_COUNTERCLOCKWISE);
            c->LineTo(29, 15);
            c->EndPath();
            c->StrokeAndFillPath();
        },
        true, TSize(30, 30));
    // Outside a path an arc-to leaves the position at the arc's end.
    ExpectPlaybackAsDrawn(
        [](TCanvas* c) {
            c->MoveTo(0, 29);
            c->ArcTo(4, 0, 24, 20, 24, 10, 4, 10);
            c->LineTo(20, 29);
            const TPoint curve[3] = {{10, 20}, {15, 25}, {29, 29}};
            c->PolyBezierTo(curve, 3);
            c->LineTo(29, 0);
        },
        false, TSize(30, 30));
}

TEST(MetafilePlayback, TextAtTheCurrentPositionPlaysWhereItWasDrawn) {
    ExpectPlaybackAsDrawn(
        [](TCanvas* c) {
            c->Font()->SetName("Arial");
            c->Font()->SetHeight(-14);
            c->SetTextAlign(TA_UPDATECP);
            c->MoveTo(20, 4);
            c->ExtTextOutA(0, 0, 0, nullptr, "Ab", 2);
            c->LineTo(c->PenPos().x + 10, 20);
        },
        true, TSize(60, 24));
}

TEST(MetafilePlayback, OldStyleFilesKeepArcDirectionAndArcTo) {
    // Old-style files have no arc direction and no arc-to record.
    ExpectPlaybackAsDrawn(
        [](TCanvas* c) {
            c->Brush()->SetColor(clRed);
            c->SetArcDirection(AD_CLOCKWISE);
            c->Pie(0, 0, 20, 20, 20, 10, 10, 0);
            c->Arc(20, 0, 40, 20, 40, 10, 30, 0);
            c->SetArcDirection(AD_COUNTERCLOCKWISE);
            c->MoveTo(0, 29);
            c->ArcTo(4, 10, 24, 30, 24, 20, 4, 20);
            c->LineTo(20, 29);
        },
        true, TSize(40, 30));
}

TEST(MetafileRead, ForeignEnhancedFilesMapLogicalUnits) {
    // Other programs write logical units and the mapping records; ours never do.
    std::vector<uint8_t> f;
    auto dw = [&f](std::initializer_list<uint32_t> v) {
        for (uint32_t x : v)
            for (int i = 0; i < 4; ++i)
                f.push_back(uint8_t(x >> (8 * i)));
    };
    dw({1, 88, 0, 0, 99, 79, 0, 0, 0, 0, 0x464D4520, 0x10000, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    dw({17, 12, MM_ANISOTROPIC});         // map mode
    dw({9, 16, 1000, 1000});              // window extent
    dw({11, 16, 100, 100});               // viewport extent
    dw({39, 24, 1, BS_SOLID, clRed, 0});  // brush 1
    dw({37, 12, 1});                      // selected
    dw({37, 12, 0x80000000u | NULL_PEN}); // no outline
    dw({43, 24, 100, 100, 500, 400});     // rectangle
    dw({14, 20, 0, 16, 20});              // end
    TMetafile m;
    m.LoadFromBytes(f);
    EXPECT_EQ(m.Width(), 100);
    TBitmap b(100, 80);
    b.Canvas()->Draw(0, 0, &m);
    EXPECT_EQ(InkBox(b), TRect(10, 10, 49, 39));
    EXPECT_EQ(b.Canvas()->Pixels(20, 20), clRed);
}

TEST(MetafilePlayback, OldStyleFilesDrawPathsAsTheirOutline) {
    // Outlined text: the letters' path filled and stroked, and a widened line
    // (whole pixels wide, as old-style files hold whole units).
    ExpectPlaybackAsDrawn(
        [](TCanvas* c) {
            c->Font()->SetName("Arial");
            c->Font()->SetHeight(-28);
            c->Brush()->SetColor(clRed);
            c->SetBkMode(TRANSPARENT);
            c->BeginPath();
            c->TextOut(2, 0, "OK");
            c->EndPath();
            c->StrokeAndFillPath();
            LOGBRUSH black{BS_SOLID, 0, 0};
            c->Pen()->SetHandle(ExtCreatePen(PS_GEOMETRIC | PS_ENDCAP_FLAT, 4, black));
            c->BeginPath();
            c->MoveTo(2, 34);
            c->LineTo(40, 34);
            c->EndPath();
            c->WidenPath();
            c->Brush()->SetColor(clBlue);
            c->FillPath();
        },
        true, TSize(48, 40));
}

TEST(MetafilePlayback, PenWidthsFollowTheMappingAsDrawn) {
    ExpectPlaybackAsDrawn(
        [](TCanvas* c) {
            c->SetMapMode(MM_ANISOTROPIC);
            c->SetWindowExtEx(1, 1);
            c->SetViewportExtEx(4, 4);
            c->Pen()->SetStyle(psDash);
            c->MoveTo(1, 1);
            c->LineTo(10, 1); // four pixels wide, solid
            c->Pen()->SetWidth(0);
            c->MoveTo(1, 3);
            c->LineTo(10, 3); // one pixel, dashed
            LOGBRUSH lb{BS_SOLID, 0, 0};
            c->Pen()->SetHandle(ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, lb));
            c->MoveTo(1, 5);
            c->LineTo(10, 5);
        },
        true, TSize(48, 24));
}

namespace {

// Eight by eight pixels of four colours, no two rows or columns alike: a
// pattern turned over, shifted or read with its channels swapped shows.
std::unique_ptr<TBitmap> ColourPattern() {
    static const char* const Rows[8] = {"rrb.#g..", "r.b.#gg.", "..b.#...", "bbbb#bbb",
                                        "g...#..r", "gg..#.rr", "#####rrr", "...r#..."};
    auto b = std::make_unique<TBitmap>(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const char c = Rows[y][x];
            b->Canvas()->SetPixel(x, y,
                                  c == 'r'   ? clRed
                                  : c == 'b' ? clBlue
                                  : c == 'g' ? clLime
                                  : c == '#' ? clBlack
                                             : clWhite);
        }
    return b;
}

// The function numbers of an old-style file's records, in order.
std::vector<uint16_t> WmfFunctions(const std::vector<uint8_t>& f) {
    std::vector<uint16_t> out;
    for (size_t at = 22 + 18; at + 6 <= f.size();) {
        uint32_t words;
        uint16_t fn;
        std::memcpy(&words, &f[at], 4);
        std::memcpy(&fn, &f[at + 4], 2);
        out.push_back(fn);
        if (words < 3 || fn == 0) break;
        at += size_t(words) * 2;
    }
    return out;
}

// The types of an enhanced file's records, in order.
std::vector<uint32_t> EmfTypes(const std::vector<uint8_t>& f) {
    std::vector<uint32_t> out;
    for (size_t at = 0; at + 8 <= f.size();) {
        uint32_t type, size;
        std::memcpy(&type, &f[at], 4);
        std::memcpy(&size, &f[at + 4], 4);
        out.push_back(type);
        if (size < 8) break;
        at += size;
    }
    return out;
}

template <typename T> size_t CountOf(const std::vector<T>& v, T fn) {
    return size_t(std::count(v.begin(), v.end(), fn));
}

constexpr uint32_t EmfPatternBrush = 94;

constexpr uint16_t WmfCreateRegion = 0x06FF, WmfSelectClipRegion = 0x012C, WmfDeleteObject = 0x01F0,
                   WmfIntersectClipRect = 0x0416, WmfExcludeClipRect = 0x0415,
                   WmfPatternBrush = 0x0142;

void DrawPatterns(TCanvas* c) {
    const auto pattern = ColourPattern();
    c->Pen()->SetStyle(psClear);
    c->Brush()->SetBitmap(pattern.get());
    c->Rectangle(1, 1, 20, 14);
    c->Ellipse(22, 0, 40, 16);
    c->FillRect(TRect(3, 16, 37, 20));
    c->Brush()->SetBitmap(nullptr);
    c->Brush()->SetStyle(bsDiagCross);
    c->Brush()->SetColor(clBlue);
    c->Rectangle(0, 21, 40, 30);
}

} // namespace

TEST(MetafilePlayback, PatternAndHatchBrushesPlayAsDrawn) {
    ExpectPlaybackAsDrawn(DrawPatterns, true, TSize(40, 30));
}

TEST(MetafilePlayback, ShapesOfOnePatternHoldItsPixelsOnce) {
    // Every shape takes a new snapshot of the brush's bitmap.
    TMetafile m;
    m.SetWidth(40);
    m.SetHeight(10);
    {
        TMetafileCanvas c(&m, nullptr);
        const auto pattern = ColourPattern();
        for (int i = 0; i < 4; ++i) {
            c.Brush()->SetBitmap(pattern.get());
            c.Rectangle(10 * i, 0, 10 * i + 9, 9);
            c.FillRect(TRect(10 * i, 0, 10 * i + 2, 2));
            c.Brush()->SetBitmap(nullptr);
        }
    }
    EXPECT_EQ(CountOf(WmfFunctions(m.SaveToWmf()), WmfPatternBrush), 1u);
    EXPECT_EQ(CountOf(EmfTypes(m.SaveToEmf()), EmfPatternBrush), 1u);
}

namespace {

struct TRegionClipCase {
    const char* Name;
    HRGN (*Make)();
    TPoint Outside; // a pixel of the bounding box the shape leaves out
};

const TRegionClipCase RegionClipCases[] = {
    {"rounded rectangle", [] { return CreateRoundRectRgn(2, 2, 38, 28, 16, 16); }, {2, 2}},
    {"ellipse", [] { return CreateEllipticRgn(2, 2, 38, 28); }, {4, 26}},
    {"polygon",
     [] {
         const TPoint p[4] = {{2, 2}, {38, 2}, {20, 28}, {20, 10}};
         return CreatePolygonRgn(p, 4, ALTERNATE);
     },
     {36, 26}},
};

// A shape clipped by a region on top of an earlier clip, then the clip given
// back (as charts do) and finally removed.
void DrawRegionClip(TCanvas* c, const TRegionClipCase& k) {
    c->Pen()->SetStyle(psClear);
    c->IntersectClipRect(1, 1, 39, 29);
    HRGN saved = CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(c->GetClipRgn(saved), 1);
    HRGN r = k.Make();
    c->ExtSelectClipRgn(r, RGN_AND);
    DeleteObject(r);
    c->Brush()->SetColor(clRed);
    c->Rectangle(0, 0, 40, 30);
    c->SelectClipRgn(saved);
    DeleteObject(saved);
    c->Brush()->SetColor(clBlue);
    c->Rectangle(0, 27, 40, 30); // the earlier clip holds again
    c->SelectClipRgn(nullptr);
    c->Brush()->SetColor(clLime);
    c->Rectangle(0, 0, 40, 3); // no clip at all
}

} // namespace

TEST(MetafilePlayback, ClipRegionsPlayAsDrawnInBothForms) {
    for (const auto& k : RegionClipCases) {
        SCOPED_TRACE(k.Name);
        TBitmap direct(40, 30);
        DrawRegionClip(direct.Canvas(), k);
        ASSERT_EQ(Art(direct)[size_t(k.Outside.y)][size_t(k.Outside.x)], '.');
        ExpectPlaybackAsDrawn([&k](TCanvas* c) { DrawRegionClip(c, k); }, true, TSize(40, 30));
    }
}

TEST(MetafilePlayback, OldStyleClipRegionsAreRegionRecordsFreedAfterUse) {
    TMetafile m;
    m.SetWidth(40);
    m.SetHeight(30);
    {
        TMetafileCanvas c(&m, nullptr);
        DrawRegionClip(&c, RegionClipCases[0]);
    }
    const std::vector<uint16_t> fns = WmfFunctions(m.SaveToWmf());
    EXPECT_EQ(CountOf(fns, WmfCreateRegion), 3u); // clipped, given back, removed
    EXPECT_EQ(CountOf(fns, WmfSelectClipRegion), 3u);
    for (size_t i = 0; i < fns.size(); ++i)
        if (fns[i] == WmfSelectClipRegion) {
            EXPECT_EQ(fns[i - 1], WmfCreateRegion);
            ASSERT_LT(i + 1, fns.size());
            EXPECT_EQ(fns[i + 1], WmfDeleteObject);
        }
    EXPECT_EQ(CountOf(fns, WmfIntersectClipRect), 1u); // the earlier clip only
}

TEST(MetafilePlayback, RegionsTooLargeForOneRecordClipAlike) {
    // No two rows alike: more bands than a region record's 16-bit size holds.
    const auto draw = [](TCanvas* c) {
        HRGN r = CreateRectRgn(0, 0, 0, 0);
        for (int y = 0; y < 3000; ++y) {
            HRGN row = CreateRectRgn(y % 3, y, 3 + y % 2, y + 1);
            CombineRgn(r, r, row, RGN_OR);
            DeleteObject(row);
        }
        c->ExtSelectClipRgn(r, RGN_AND);
        DeleteObject(r);
        c->Brush()->SetColor(clRed);
        c->FillRect(TRect(0, 0, 5, 3000));
    };
    ExpectPlaybackAsDrawn(draw, true, TSize(5, 3000));
    TMetafile m;
    m.SetWidth(5);
    m.SetHeight(3000);
    {
        TMetafileCanvas c(&m, nullptr);
        draw(&c);
    }
    EXPECT_GT(CountOf(WmfFunctions(m.SaveToWmf()), WmfExcludeClipRect), 1000u);
}

namespace {

// A canvas colour as the 0xRRGGBB of a read picture's pixel.
uint32_t Rgb(TColor c) {
    const uint32_t v = uint32_t(c);
    return (v & 0xFF) << 16 | (v & 0xFF00) | (v >> 16 & 0xFF);
}

// Runs an independent reader; its messages go to Log.
bool RunReader(const std::string& command, const std::string& log) {
    return std::system((command + " >" + log + " 2>&1").c_str()) == 0;
}

// A picture filled with the colour pattern from corner to corner, so readers
// that size the picture by what it draws keep it at one pixel a unit.
TMetafile PatternPicture(bool Enhanced) {
    TMetafile m;
    m.SetWidth(64);
    m.SetHeight(48);
    m.SetEnhanced(Enhanced);
    TMetafileCanvas c(&m, nullptr);
    const auto pattern = ColourPattern();
    c.Pen()->SetStyle(psClear);
    c.Brush()->SetBitmap(pattern.get());
    c.Rectangle(0, 0, 65, 49);
    return m;
}

} // namespace

TEST(MetafileIndependentReaders, EnhancedPatternBrushKeepsItsPixels) {
    QM_REQUIRE_TOOL("emf2svg-conv");
    const std::string emf = TempPath("pattern.emf"), svg = TempPath("pattern_emf.svg");
    PatternPicture(true).SaveToFile(emf.c_str());
    ASSERT_TRUE(RunReader("emf2svg-conv -i " + emf + " -o " + svg, TempPath("pattern_emf.log")));
    // The reader makes the brush a tiled picture of the pattern's pixels.
    const std::string out = ReadText(svg);
    const std::string data = "data:image/png;base64,";
    const size_t at = out.find(data), end = out.find('"', at);
    ASSERT_NE(at, std::string::npos) << out;
    ASSERT_NE(out.find("<pattern", end), std::string::npos) << out;
    const QImage tile = QImage::fromData(QByteArray::fromBase64(
        QByteArray::fromStdString(out.substr(at + data.size(), end - at - data.size()))));
    ASSERT_EQ(tile.size(), QSize(8, 8));
    const auto pattern = ColourPattern();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(tile.pixel(x, y) & 0xFFFFFF, Rgb(pattern->Canvas()->Pixels(x, y)))
                << x << "," << y;
    std::remove(emf.c_str());
    std::remove(svg.c_str());
}

TEST(MetafileIndependentReaders, OldStylePatternBrushPaintsItsPixels) {
    QM_REQUIRE_TOOL("wmf2gd");
    const std::string wmf = TempPath("pattern.wmf"), png = TempPath("pattern_wmf.png");
    PatternPicture(false).SaveToFile(wmf.c_str());
    ASSERT_TRUE(
        RunReader("wmf2gd --maxwidth=64 --maxheight=48 --maxsize -t png -o " + png + " " + wmf,
                  TempPath("pattern_wmf.log")));
    const QImage read(QString::fromStdString(png));
    ASSERT_EQ(read.size(), QSize(64, 48));
    // This reader tiles a brush's pattern bottom row first (the enhanced
    // reader above and its own bitmaps are upright): rows are taken turned.
    const auto pattern = ColourPattern();
    int differ = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            differ +=
                (read.pixel(x, y) & 0xFFFFFF) != Rgb(pattern->Canvas()->Pixels(x % 8, 7 - y % 8));
    EXPECT_EQ(differ, 0);
    if (!HasFailure()) {
        std::remove(wmf.c_str());
        std::remove(png.c_str());
    }
}

TEST(MetafileIndependentReaders, OldStyleRegionRecordsAreRead) {
    // These readers take the region records without clipping by them: what
    // is checked is that each record reads whole and what follows is drawn.
    QM_REQUIRE_TOOL("wmf2gd");
    QM_REQUIRE_TOOL("wmf2svg");
    for (const auto& k : RegionClipCases) {
        SCOPED_TRACE(k.Name);
        TMetafile m;
        m.SetWidth(40);
        m.SetHeight(30);
        m.SetEnhanced(false);
        {
            TMetafileCanvas c(&m, nullptr);
            DrawRegionClip(&c, k);
        }
        const std::string wmf = TempPath("region.wmf"), png = TempPath("region.png"),
                          svg = TempPath("region.svg"), log = TempPath("region.log");
        m.SaveToFile(wmf.c_str());
        ASSERT_TRUE(RunReader("wmf2svg -o " + svg + " " + wmf, log));
        EXPECT_EQ(ReadText(log).find("ERROR"), std::string::npos) << ReadText(log);
        ASSERT_TRUE(RunReader(
            "wmf2gd --maxwidth=40 --maxheight=30 --maxsize -t png -o " + png + " " + wmf, log));
        EXPECT_EQ(ReadText(log).find("ERROR"), std::string::npos) << ReadText(log);
        const QImage read(QString::fromStdString(png));
        ASSERT_EQ(read.size(), QSize(40, 30));
        EXPECT_EQ(read.pixel(20, 2) & 0xFFFFFF, Rgb(clLime));
        EXPECT_EQ(read.pixel(20, 27) & 0xFFFFFF, Rgb(clBlue));
        if (!HasFailure())
            for (const std::string& f : {wmf, png, svg, log})
                std::remove(f.c_str());
    }
}
