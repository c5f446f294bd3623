#pragma once
// One fuzz input read as a metafile, a bitmap and a JPEG picture. Damage must
// end in EInvalidGraphic; whatever loads must draw, and every file saved from
// it must load again with the same size. Shared by the libFuzzer target and
// the corpus replay test.
#include "platform/graphics/graphics.h"
#include "platform/graphics/jpeg.h"
#include "platform/graphics/metafile.h"
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace picture_fuzz {

inline void Require(bool Condition, const char* What) {
    if (!Condition) {
        std::fprintf(stderr, "picture fuzz: %s\n", What);
        std::abort();
    }
}

template <typename T> bool Load(T& Graphic, const std::vector<uint8_t>& Data) {
    try {
        Graphic.LoadFromBytes(Data);
        return true;
    } catch (const EInvalidGraphic&) {
        return false;
    }
}

// Small targets keep each input fast; the second one maps the picture well
// beyond the target, so what lies outside is clipped.
inline void DrawSmall(TGraphic& Graphic) {
    TBitmap target(40, 30);
    target.Canvas()->StretchDraw(TRect(0, 0, 40, 30), &Graphic);
    target.Canvas()->StretchDraw(TRect(-400, -300, 1200, 900), &Graphic);
}

inline void Metafile(const std::vector<uint8_t>& Data) {
    TMetafile m;
    if (!Load(m, Data)) return;
    DrawSmall(m);
    for (bool enhanced : {true, false}) {
        const std::vector<uint8_t> saved = enhanced ? m.SaveToEmf() : m.SaveToWmf();
        TMetafile again;
        Require(Load(again, saved),
                enhanced ? "saved EMF does not load" : "saved WMF does not load");
        Require(again.Width() == m.Width() && again.Height() == m.Height(),
                "saved metafile changed its size");
        Require(again.Enhanced() == enhanced, "saved metafile changed its kind");
        DrawSmall(again);
    }
}

inline void Bitmap(const std::vector<uint8_t>& Data) {
    TBitmap b;
    if (!Load(b, Data)) return;
    DrawSmall(b);
    TBitmap again;
    Require(Load(again, b.SaveToBytes()), "saved bitmap does not load");
    Require(again.Width() == b.Width() && again.Height() == b.Height(),
            "saved bitmap changed its size");
    Require(again.PixelFormat() == b.PixelFormat(), "saved bitmap changed its format");
    if (b.PixelFormat() == pf24bit || b.PixelFormat() == pf32bit)
        for (int y = 0; y < b.Height(); y += 1 + b.Height() / 8)
            for (int x = 0; x < b.Width(); x += 1 + b.Width() / 8)
                Require(again.Canvas()->Pixels(x, y) == b.Canvas()->Pixels(x, y),
                        "saved true-colour bitmap changed a pixel");
}

inline void Jpeg(const std::vector<uint8_t>& Data) {
    TJPEGImage j;
    if (!Load(j, Data)) return;
    Require(j.Width() > 0 && j.Height() > 0, "a loaded JPEG has no size");
    DrawSmall(j);
    TJPEGImage again;
    Require(Load(again, j.SaveToBytes()), "saved JPEG does not load");
    again.SetScale(jsEighth);
    Require(again.Width() > 0, "an eighth of a JPEG has no size");
}

inline void Picture(const uint8_t* Data, size_t Size) {
    const std::vector<uint8_t> data(Data, Data + Size);
    Metafile(data);
    Bitmap(data);
    Jpeg(data);
}

} // namespace picture_fuzz
