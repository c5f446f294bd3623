#pragma once
// Triangulated surface series (unit TeeTriSurface): scattered X/Z points
// triangulated in the plane, each triangle drawn in 3D coloured by value.
#include "chart/series/teesurfa.h"

QM_DECLARE_EXCEPTION(ETriSurfaceException, ChartException)

struct TTriangulation {
    // Three point indexes a triangle, counter-clockwise in X/Z.
    std::vector<int> Triangles;
    // Two end points and the triangle of each border line.
    std::vector<int> Borders;
    int NumTriangles() const { return static_cast<int>(Triangles.size() / 3); }
    int NumBorders() const { return static_cast<int>(Borders.size() / 3); }
};

// Triangulates the points (X[i], Z[i]); Improve exchanges diagonals for the
// largest smallest angle. Raises ETriSurfaceException for fewer than 4 points,
// two equal points and points all on one line.
TTriangulation TeeTriangulate(const std::vector<double>& X, const std::vector<double>& Z,
                              bool Improve = true);

class TCustomTriSurfaceSeries : public TCustom3DPaletteSeries {
    QM_CLASS(TCustomTriSurfaceSeries)
public:
    explicit TCustomTriSurfaceSeries(TComponent* AOwner);
    ~TCustomTriSurfaceSeries() override;

    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "TTriSurfaceSeriesEditor"; }
    void Clear() override;
    // Refuses a file holding a point without a finite X and Z, which no
    // triangle can take: every paint of it would fail.
    void Loaded() override;
    void DoBeforeDrawValues() override;
    void DrawAllValues() override;
    void DrawMark(int ValueIndex, const AnsiString& St, TSeriesMarkPosition* APosition) override;
    int NumSampleValues() override { return 15; }
    void AddSampleValues(int NumValues) override;
    void CreateSubGallery(const TChartSubGalleryProc& AddSubChart) override;
    void SetSubGallery(TChartSeries* Series, int Index) override;

    static bool IDxchg(double X1, double Y1, double X2, double Y2, double X3, double Y3, double X4,
                       double Y4);
    void Triangulate();

    TChartHiddenPen* Border() const { return FBorder.get(); }
    void SetBorder(TChartHiddenPen* Value) { FBorder->Assign(Value); }
    bool Hide() const { return FHide; }
    void SetHide(bool Value) { SetBooleanProperty(FHide, Value); }
    bool ImproveTriangles() const { return FImprove; }
    void SetImproveTriangles(bool Value) { FImprove = Value; }
    bool Triangulated() const { return FTriangulated; }
    const TTriangulation& Triangulation() const { return FTri; }
    int NumTriangles() const { return FTri.NumTriangles(); }
    int NumLines() const { return FTri.NumBorders(); }

private:
    std::unique_ptr<TChartHiddenPen> FBorder;
    bool FHide = true;
    bool FImprove = true;
    bool FTriangulated = false;
    TTriangulation FTri;
};

class TTriSurfaceSeries : public TCustomTriSurfaceSeries {
    QM_CLASS(TTriSurfaceSeries)
public:
    explicit TTriSurfaceSeries(TComponent* AOwner) : TCustomTriSurfaceSeries(AOwner) {}
};
