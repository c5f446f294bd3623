// Pictures a chart holds come back from its file: the back image, a series'
// brush image and the image tool's picture, pixel for pixel, in both forms.
#include "chart/control/series.h"
#include "chart/control/teestore.h"
#include "chart/control/tool_hints.h"
#include "platform/classes/streams.h"
#include "platform/graphics/graphics.h"
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

// A 3 x 2 picture whose every pixel tells where it is.
void Stripes(TPicture* P, TColor Base) {
    TBitmap b(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            b.Canvas()->SetPixel(x, y, Base + x * 0x10 + y * 0x1000);
    P->SetGraphic(&b);
}

std::vector<TColor> PixelsOf(TPicture* P) {
    std::vector<TColor> r;
    auto* b = dynamic_cast<TBitmap*>(P->Graphic());
    if (!b) return r;
    for (int y = 0; y < b->Height(); ++y)
        for (int x = 0; x < b->Width(); ++x)
            r.push_back(b->Canvas()->Pixels(x, y));
    return r;
}

TEST(ChartFilePictures, EveryPictureOfTheChartComesBack) {
    const std::vector<std::function<TPicture*(TChart*)>> pictures = {
        [](TChart* C) { return C->BackImage(); },
        [](TChart* C) { return C->GetSeries(0)->Brush()->Image(); },
        [](TChart* C) { return static_cast<TChartImageTool*>(C->Tools()->Get(0))->Picture(); },
    };
    auto make = [] {
        auto c = std::make_unique<TChart>(nullptr);
        auto* s = new TBarSeries(c.get());
        s->SetParentChart(c.get());
        auto* tool = new TChartImageTool(c.get());
        tool->SetParentChart(c.get());
        return c;
    };
    for (bool text : {false, true}) {
        SCOPED_TRACE(text ? "text" : "binary");
        std::unique_ptr<TChart> chart = make();
        TColor base = 0x202020;
        for (const auto& p : pictures)
            Stripes(p(chart.get()), base += 0x30);
        TMemoryStream m;
        SaveChartToStream(chart.get(), &m, false, text);
        m.SetPosition(0);
        std::unique_ptr<TChart> back = make();
        TCustomChart* target = back.get();
        LoadChartFromStream(target, &m);
        ASSERT_EQ(back->SeriesCount(), 1);
        ASSERT_EQ(back->Tools()->Count(), 1);
        for (size_t i = 0; i < pictures.size(); ++i) {
            const std::vector<TColor> want = PixelsOf(pictures[i](chart.get()));
            ASSERT_EQ(want.size(), 6u);
            EXPECT_EQ(PixelsOf(pictures[i](back.get())), want) << i;
        }
    }
}

} // namespace
