#pragma once
// A chart canvas that logs every drawing call with its arguments, then (unless
// Forward is off) draws it for real on its own bitmap. Calls the canvas makes
// itself while drawing (the faces of a cube, the lines of a frame) are logged
// one level deeper, so tests can look at the caller's calls or at the pieces.
//
//   TRecordingCanvas c;              // draws on a 400 x 300 bitmap
//   c.Cube(10, 50, 10, 50, 0, 20);
//   EXPECT_EQ(c.Text(), "Cube(10,50,10,50,0,20,true)");
//   EXPECT_EQ(c.Count("PolygonFour", 1), 3);
//   c.Find("TextOut")[0].TextBox;   // where the text lies
//
// Arguments print as plain integers, doubles with %g, booleans as true/false,
// texts in double quotes, points as (x,y) and colours as 0xBBGGRR.
#include "chart/engine/tecanvas.h"
#include <memory>
#include <string>
#include <vector>

struct TRecordedCall {
    std::string Name;           // "Rectangle"
    std::string Text;           // "Rectangle(1,2,3,4)"
    int Depth = 0;              // 0: called from outside; 1+: made by the canvas itself
    std::vector<TPoint> Points; // of Polygon, Polyline, PolygonWithZ and PolygonFour
    // Drawing state when the call was made.
    TColor PenColor = clBlack;
    TPenStyle PenStyle = psSolid;
    int PenWidth = 1;
    TColor BrushColor = clWhite;
    TBrushStyle BrushStyle = bsSolid;
    // Of TextOut and TextOut3D: the box the text's advance covers in the font
    // and alignment it was drawn with (empty for other calls).
    TRect TextBox;
    std::string TextDrawn;
};

class TRecordingCanvas : public TTeeCanvas3D {
public:
    using TTeeCanvas3D::Calculate3DPosition;
    using TTeeCanvas3D::Cube;
    using TTeeCanvas3D::Ellipse;
    using TTeeCanvas3D::Line;
    using TTeeCanvas3D::LineWithZ;
    using TTeeCanvas3D::PlaneWithZ;
    using TTeeCanvas3D::Polyline;
    using TTeeCanvas3D::Rectangle;
    using TTeeCanvas3D::RoundRect;
    using TTeeCanvas3D::StretchDraw;

    explicit TRecordingCanvas(int Width = 400, int Height = 300);
    ~TRecordingCanvas() override;

    // Pass each call on to the real canvas after logging it (default on).
    bool Forward = true;

    const std::vector<TRecordedCall>& Calls() const { return FCalls; }
    // Texts of the calls made at depth MaxDepth or less.
    std::vector<std::string> Log(int MaxDepth = 0) const;
    std::vector<std::string> Names(int MaxDepth = 0) const;
    // Log joined with newlines.
    std::string Text(int MaxDepth = 0) const;
    int Count(const std::string& Name, int MaxDepth = 0) const;
    // The calls of one name (at any depth up to MaxDepth), in order.
    std::vector<TRecordedCall> Find(const std::string& Name, int MaxDepth = 99) const;
    void Clear() { FCalls.clear(); }

    // The bitmap the canvas draws on until an InitWindow says otherwise.
    TBitmap* Surface() const { return FSurface.get(); }

    // Every drawing call of the canvas, logged.
    TEE_CANVAS_CALLS(TEE_CANVAS_DECLARE);

    // TTeeCanvas3D
    void PolygonFour() override;

    class TScope; // one logged call, open while the real canvas draws it

private:
    std::unique_ptr<TBitmap> FSurface;
    std::vector<TRecordedCall> FCalls;
    int FDepth = 0;
};
