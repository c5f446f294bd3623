#include "panel_fixture.h"
#include "stream_text.h"
#include "support/recording_canvas.h"

namespace {
// Shapes drawn on a panel whose canvas logs every call.
class ShapeTest : public PanelTest {
protected:
    ShapeTest() : Shape(Panel.get()) {
        auto canvas = std::make_unique<TRecordingCanvas>();
        Recorder = canvas.get();
        Panel->SetInternalCanvas(std::move(canvas));
        // Draw on the recorder's own surface.
        Recorder->SetCanvas(Recorder->Surface()->Canvas());
        Recorder->Clear();
    }
    // The drawing calls, without the state settings around them.
    std::string Drawn() const {
        std::string result;
        for (const std::string& line : Recorder->Log())
            if (line.rfind("Set", 0) != 0) result += (result.empty() ? "" : "\n") + line;
        return result;
    }
    TTeeShape Shape;
    TRecordingCanvas* Recorder = nullptr;
};

// Holds a shape so streams can carry it.
class THolder : public TComponent {
    QM_CLASS(THolder)
public:
    explicit THolder(TComponent* AOwner) : TComponent(AOwner) {}
    TTeeShape* Shape() { return &FShape; }
    TTeeShape FShape;
};
} // namespace

QM_CLASS_OWNED(THolder, TComponent, TComponent)
QM_PUBLISHED(THolder, Prop("Shape", &Self::Shape));

TEST_F(ShapeTest, PlainBoxWithShadow) {
    Shape.Pen()->SetColor(clBlue);
    Recorder->Clear();
    Shape.DrawRectRotated(TRect(10, 20, 110, 70));
    // Shadow 3 grown by the pen width, then the box itself.
    EXPECT_EQ(Drawn(), "Rectangle(14,24,114,74)\nRectangle(10,20,110,70)");
    const auto calls = Recorder->Find("Rectangle", 0);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].PenStyle, psClear);
    EXPECT_EQ(calls[0].BrushColor, clBlack);
    EXPECT_EQ(calls[1].PenColor, clBlue);
    EXPECT_EQ(calls[1].BrushColor, clWhite);
}

TEST_F(ShapeTest, WhatIsLeftOut) {
    struct Row {
        const char* What;
        std::function<void(TTeeShape&)> Setup;
        const char* Log;
    };
    const Row rows[] = {
        {"transparent draws nothing, not even the shadow",
         [](TTeeShape& s) { s.SetTransparent(true); }, ""},
        {"shadow size 0", [](TTeeShape& s) { s.SetShadowSize(0); }, "Rectangle(10,20,110,70)"},
        {"clear brush: no shadow", [](TTeeShape& s) { s.Brush()->SetStyle(bsClear); },
         "Rectangle(10,20,110,70)"},
        {"hidden pen: shadow not grown", [](TTeeShape& s) { s.Pen()->SetVisible(false); },
         "Rectangle(13,23,113,73)\nRectangle(10,20,110,70)"},
        {"round corners",
         [](TTeeShape& s) {
             s.SetShadowSize(0);
             s.SetShapeStyle(fosRoundRectangle);
         },
         "RoundRect(10,20,110,70,16,16)"},
        {"bevel",
         [](TTeeShape& s) {
             s.SetShadowSize(0);
             s.SetBevel(bvRaised);
             s.SetBevelWidth(2);
         },
         "Rectangle(10,20,110,70)\nFrame3D(10,20,110,70,0x000014,0x000010,2)"},
    };
    for (const Row& row : rows) {
        TTeeShape shape(Panel.get());
        row.Setup(shape);
        Recorder->Clear();
        shape.DrawRectRotated(TRect(10, 20, 110, 70));
        EXPECT_EQ(Drawn(), row.Log) << row.What;
    }
}

TEST_F(ShapeTest, RotatedBoxIsAPolygonWithoutBevel) {
    Shape.SetShadowSize(0);
    Shape.SetBevel(bvLowered);
    Shape.DrawRectRotated(TRect(0, 0, 100, 40), 90);
    const auto calls = Recorder->Find("Polygon", 0);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].Points, (std::vector<TPoint>{{30, 70}, {30, -30}, {70, -30}, {70, 70}}));
    EXPECT_EQ(Recorder->Count("Frame3D"), 0);
}

TEST_F(ShapeTest, GradientIsCreatedOnReadAndFreedBySettingNone) {
    EXPECT_EQ(Shape.GradientIfAny(), nullptr);
    EXPECT_FALSE(Shape.Gradient()->Visible());
    Shape.SetShadowSize(0);
    Shape.Gradient()->SetVisible(true);
    Shape.DrawRectRotated(TRect(10, 20, 110, 70));
    const auto rects = Recorder->Find("Rectangle", 0);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].BrushStyle, bsClear); // the gradient did the fill
    Shape.SetGradient(nullptr);
    EXPECT_EQ(Shape.GradientIfAny(), nullptr);
    Recorder->Clear();
    Shape.DrawRectRotated(TRect(10, 20, 110, 70));
    EXPECT_EQ(Recorder->Find("Rectangle", 0)[0].BrushStyle, bsSolid);
}

TEST_F(ShapeTest, TransparencyBlendsTheBoxAndItsShadow) {
    TBitmap* surface = Recorder->Surface();
    surface->Canvas()->Brush()->SetColor(clWhite);
    surface->Canvas()->FillRect(TRect(0, 0, 400, 300));
    Shape.SetColor(clBlack);
    Shape.Pen()->SetVisible(false);
    Shape.SetShadowColor(clBlack);
    Shape.SetTransparency(50);
    Shape.DrawRectRotated(TRect(10, 10, 50, 50));
    TCanvas* c = surface->Canvas();
    const TColor inside = c->Pixels(30, 30);
    const TColor shadowOnly = c->Pixels(51, 51);
    EXPECT_NEAR(inside & 0xFF, 128, 2);
    EXPECT_NEAR(shadowOnly & 0xFF, 128, 2);
    EXPECT_EQ(c->Pixels(60, 60), clWhite);
    Shape.SetTransparency(0);
    Shape.DrawRectRotated(TRect(100, 10, 140, 50));
    EXPECT_EQ(c->Pixels(120, 30), clBlack);
}

TEST(TeeShapeStreaming, LegacyShadowPropertiesAndDefaults) {
    RegisterClass(&THolder::ClassInfo);
    for (const char* colour : {"clBlack", "255"}) {
        THolder holder(nullptr);
        holder.Shape()->SetShadowColor(clGreen);
        const std::string text = std::string("object H: THolder\r\n  Shape.ShadowColor = ") +
                                 colour + "\r\n  Shape.ShadowSize = 6\r\nend\r\n";
        LoadText(text, &holder);
        EXPECT_EQ(holder.Shape()->ShadowColor(), std::string(colour) == "255" ? clRed : clBlack);
        EXPECT_EQ(holder.Shape()->ShadowSize(), 6);
    }
    // A fresh shape writes none of its defaults (shadow black, size 3).
    THolder fresh(nullptr);
    EXPECT_EQ(SaveText(&fresh), "object THolder\r\nend\r\n");
}
