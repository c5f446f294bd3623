// What chart pens, brushes, fonts, gradients and shadows write into a form file,
// by name and default, and that it reads back.
#include "stream_text.h"
#include "chart/engine/tecanvas.h"
#include <gtest/gtest.h>

namespace {

class TCanvasKinds : public TComponent {
    QM_CLASS(TCanvasKinds)
public:
    explicit TCanvasKinds(TComponent* AOwner) : TComponent(AOwner) {}
    TChartPen* Pen() { return &FPen; }
    TDottedGrayPen* Grid() { return &FGrid; }
    TChartBrush* Brush() { return &FBrush; }
    TTeeFont* Font() { return &FFont; }
    TTeeGradient* Gradient() { return &FGradient; }
    TChartPen FPen;
    TDottedGrayPen FGrid;
    TChartBrush FBrush;
    TTeeFont FFont;
    TTeeGradient FGradient;
};

} // namespace

QM_CLASS_OWNED(TCanvasKinds, TComponent, TComponent)
QM_PUBLISHED(TCanvasKinds, Prop("Pen", &Self::Pen), Prop("Grid", &Self::Grid),
             Prop("Brush", &Self::Brush), Prop("Font", &Self::Font),
             Prop("Gradient", &Self::Gradient));

TEST(CanvasStreaming, DefaultsWriteNothing) {
    TCanvasKinds fresh(nullptr);
    EXPECT_EQ(SaveText(&fresh), "object TCanvasKinds\r\nend\r\n");
}

TEST(CanvasStreaming, PlatformPropertiesAreStoredByNameAndReadBack) {
    TCanvasKinds kinds(nullptr);
    kinds.Pen()->SetColor(clRed);
    kinds.Pen()->SetMode(pmXor);
    kinds.Pen()->SetStyle(psDash);
    kinds.Pen()->SetWidth(3);
    kinds.Pen()->SetEndStyle(esFlat);
    kinds.Grid()->SetStyle(psSolid); // its own default is the dot
    kinds.Brush()->SetStyle(bsCross);
    kinds.Font()->SetStyle(TFontStyles() << fsBold << fsItalic);
    kinds.Font()->SetPitch(fpFixed);
    kinds.Gradient()->SetDirection(gdFromCenter);
    const std::string text = SaveText(&kinds);
    EXPECT_EQ(text, "object TCanvasKinds\r\n"
                    "  Pen.Color = clRed\r\n"
                    "  Pen.Mode = pmXor\r\n"
                    "  Pen.Style = psDash\r\n"
                    "  Pen.Width = 3\r\n"
                    "  Pen.EndStyle = esFlat\r\n"
                    "  Grid.Style = psSolid\r\n"
                    "  Brush.Style = bsCross\r\n"
                    "  Font.Pitch = fpFixed\r\n"
                    "  Font.Style = [fsBold, fsItalic]\r\n"
                    "  Gradient.Direction = gdFromCenter\r\n"
                    "end\r\n");

    // Read back, the same properties write the same text.
    TCanvasKinds back(nullptr);
    LoadText(text, &back);
    EXPECT_EQ(back.Pen()->Mode(), pmXor);
    EXPECT_EQ(SaveText(&back), text);
}
