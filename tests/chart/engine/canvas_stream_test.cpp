// What chart pens, brushes, fonts, gradients and shadows write into a form file,
// by name and default, and that it reads back.
#include "chart/engine/tecanvas.h"
#include "platform/classes/filer.h"
#include "platform/classes/objtext.h"
#include "platform/classes/streams.h"
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

std::string SaveText(TComponent* C) {
    TMemoryStream bin;
    WriteComponentToStream(&bin, C);
    bin.SetPosition(0);
    TStringStream text;
    ObjectBinaryToText(&bin, &text);
    return text.DataString().str();
}

void LoadText(const std::string& Text, TComponent* C) {
    TStringStream in(Text), bin;
    ObjectTextToBinary(&in, &bin);
    bin.SetPosition(0);
    ReadComponentFromStream(&bin, C);
}

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

    TCanvasKinds back(nullptr);
    LoadText(text, &back);
    EXPECT_EQ(back.Pen()->Color(), clRed);
    EXPECT_EQ(back.Pen()->Mode(), pmXor);
    EXPECT_EQ(back.Pen()->Style(), psDash);
    EXPECT_EQ(back.Pen()->Width(), 3);
    EXPECT_EQ(back.Pen()->EndStyle(), esFlat);
    EXPECT_EQ(back.Grid()->Style(), psSolid);
    EXPECT_EQ(back.Grid()->Color(), clGray);
    EXPECT_EQ(back.Brush()->Style(), bsCross);
    EXPECT_EQ(back.Font()->Style(), TFontStyles() << fsBold << fsItalic);
    EXPECT_EQ(back.Font()->Pitch(), fpFixed);
    EXPECT_EQ(back.Gradient()->Direction(), gdFromCenter);
    EXPECT_EQ(SaveText(&back), text);
}
