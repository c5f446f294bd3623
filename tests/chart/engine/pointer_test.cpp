#include "axis_fixture.h"
#include "chart/engine/teeconst.h"

class PointerTest : public AxisPanelTest {
protected:
    PointerTest() {
        S = AddSeries();
        Pointer = std::make_unique<TSeriesPointer>(S);
        Canvas->Forward = false;
    }
    std::string Draw(TSeriesPointerStyle Style, bool Is3D = false) {
        Canvas->Clear();
        Pointer->DrawPointer(Canvas, Is3D, 100, 50, 4, 4, clRed, Style);
        return Canvas->Text();
    }
    TAxisTestSeries* S;
    std::unique_ptr<TSeriesPointer> Pointer;
};

TEST_F(PointerTest, ShapesIn2D) {
    const std::pair<TSeriesPointerStyle, std::string> rows[] = {
        {psRectangle, "Rectangle(96,46,105,55)"},
        {psCircle, "Ellipse(96,46,104,54)"},
        {psTriangle, "Polygon((96,54),(104,54),(100,46))"},
        {psDownTriangle, "Polygon((96,46),(104,46),(100,54))"},
        {psLeftTriangle, "Polygon((96,50),(104,46),(104,54))"},
        {psRightTriangle, "Polygon((104,50),(96,46),(96,54))"},
        {psCross, "DoVertLine(100,46,55)\nDoHorizLine(96,105,50)"},
        {psDiagCross, "Line(96,46,105,55)\nLine(104,46,95,55)"},
        {psDiamond, "Polygon((96,50),(100,46),(104,50),(100,54))"},
        {psNothing, ""},
    };
    for (const auto& [style, want] : rows)
        EXPECT_EQ(Draw(style), want) << style;
    EXPECT_EQ(Draw(psStar), "DoVertLine(100,46,55)\nDoHorizLine(96,105,50)\n"
                            "Line(96,46,105,55)\nLine(104,46,95,55)");
    EXPECT_NE(Draw(psSmallDot).find("SetPixel(100,50"), std::string::npos);
}

TEST_F(PointerTest, FlatOrSolidIn3D) {
    S->SetDepthSlot(10, 15, 20);
    EXPECT_EQ(Draw(psRectangle, true), "Cube(96,104,46,54,10,20,true)");
    Pointer->SetDraw3D(false);
    EXPECT_EQ(Draw(psRectangle, true), "RectangleWithZ(96,46,105,55,10)");
    EXPECT_EQ(Draw(psTriangle, true), "PolygonWithZ((96,54),(104,54),(100,46),10)");
}

TEST_F(PointerTest, SizesAreCheckedAndMarginsFollowThem) {
    try {
        Pointer->SetHorizSize(0);
        ADD_FAILURE();
    } catch (const ChartException& e) {
        EXPECT_EQ(e.Message, TeeMsg_CheckPointerSize);
    }
    EXPECT_THROW(Pointer->SetVertSize(-3), ChartException);
    EXPECT_EQ(Pointer->HorizSize(), 4);
    EXPECT_EQ(Pointer->VertSize(), 4);
    Pointer->SetHorizSize(6);
    int l = 2, r = 9;
    Pointer->CalcHorizMargins(l, r);
    EXPECT_EQ(l, 7);
    EXPECT_EQ(r, 9);
    Pointer->SetInflateMargins(false);
    l = 0;
    Pointer->CalcHorizMargins(l, r);
    EXPECT_EQ(l, 0);
}

TEST_F(PointerTest, GradientOnlyForShapesThatTakeOne) {
    Pointer->Gradient()->SetVisible(true);
    Draw(psStar);
    EXPECT_EQ(Canvas->Count("GradientFill", 9), 0);
    EXPECT_EQ(Canvas->Count("ClipRectangle", 9) + Canvas->Count("Polygon", 0), 0);
    const TColor own = Pointer->Gradient()->EndColor();
    Draw(psRectangle);
    EXPECT_GT(Canvas->Count("GradientFill", 9) + Canvas->Count("Polygon", 9), 0);
    // The drawn gradient ends in the point's colour unless told to keep its
    // own; the setting stays as it was, so a paint stores nothing.
    const auto fills = Canvas->Find("GradientFill");
    ASSERT_FALSE(fills.empty());
    EXPECT_NE(fills[0].Text.find(",0x0000FF,"), std::string::npos) << fills[0].Text;
    EXPECT_EQ(Pointer->Gradient()->EndColor(), own);
    Pointer->FixedGradientEnd = true;
    Draw(psRectangle);
    EXPECT_EQ(Canvas->Find("GradientFill").at(0).Text.find(",0x0000FF,"), std::string::npos);
}

TEST_F(PointerTest, CalloutArrowsAndContrast) {
    TCallout callout(S);
    callout.Arrow()->SetColor(clWhite);
    Canvas->Clear();
    callout.Draw(clRed, TPoint(10, 10), TPoint(10, 40), 0);
    auto lines = Canvas->Find("Line", 0);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].Text, "Line(10,10,10,40)");
    EXPECT_EQ(lines[0].PenColor, clWhite);
    // The pointer at the series point.
    EXPECT_EQ(Canvas->Count("Rectangle", 0), 1);

    TeeCheckMarkArrowColor = true;
    Chart->SetColor(clWhite);
    Canvas->Clear();
    callout.Draw(clRed, TPoint(10, 10), TPoint(10, 40), 0);
    EXPECT_EQ(Canvas->Find("Line", 0).at(0).PenColor, clBlack);
    TeeCheckMarkArrowColor = false;

    callout.SetArrowHead(ahSolid);
    callout.SetArrowHeadSize(6);
    Canvas->Clear();
    callout.Draw(clRed, TPoint(10, 10), TPoint(10, 40), 0);
    // The head sits at the series point; no pointer with a head.
    EXPECT_EQ(Canvas->Names().back(), "Arrow");
    EXPECT_EQ(Canvas->Find("Arrow", 0).at(0).Text, "Arrow(true,(10,40),(10,10),6,6,0)");
    EXPECT_EQ(Canvas->Count("Rectangle", 0), 0);
}
