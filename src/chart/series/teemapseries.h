#pragma once
// Map series (unit Teemapseries): filled polygons, each with a text and a Z
// value that colours it through the palette.
//   TPolygonSeries    the vertices of one polygon
//   TTeePolygon       one polygon: vertices, own brush/pen switches, gradient
//   TTeePolygonList   the polygons of a map, one per map value
//   TMapSeries        drawing, ranges, clicks, deletion, sample shapes
#include "chart/series/teesurfa.h"
#include <memory>
#include <vector>

class TMapSeries;
class TTeePolygon;

class TPolygonSeries : public TChartSeries {
    QM_CLASS(TPolygonSeries)
public:
    explicit TPolygonSeries(TComponent* AOwner);
    void NotifyValue(TValueEvent ValueEvent, int ValueIndex) override;
    void SetActive(bool Value) override;
    void SetSeriesColor(TColor Value) override;
    void FillSampleValues(int) override {}
    // Bounding rectangle of screen points (all zero for none).
    static TRect GetBounds(const std::vector<TPoint>& Points);

    TTeePolygon* Polygon = nullptr;
};

// Its brush, pen, colour, text and Z are those of its points series and of
// the map's value at its index; chart files carry them in the map's
// "Polygons" block and point data.
class TTeePolygon : public TPersistent {
    QM_CLASS(TTeePolygon)
public:
    explicit TTeePolygon(TMapSeries* AOwner);
    ~TTeePolygon() override;

    int Index() const;
    // Takes another polygon's vertices, brush, pen, gradient, colour, text and Z.
    void Assign(TPersistent* Source) override;
    void AddXY(double X, double Y) { FPoints->AddXY(X, Y); }
    // Screen positions of the vertices.
    std::vector<TPoint> GetPoints();
    void Draw(TCanvas3D* Canvas, int ValueIndex);

    TChartBrush* Brush() const { return FPoints->Brush(); }
    void SetBrush(TChartBrush* Value) { Brush()->Assign(Value); }
    TChartPen* Pen() const { return FPoints->Pen(); }
    void SetPen(TChartPen* Value) { Pen()->Assign(Value); }
    TColor Color() const;
    void SetColor(TColor Value) { FPoints->SetSeriesColor(Value); }
    AnsiString Text() const;
    void SetText(const AnsiString& Value);
    double Z() const;
    void SetZ(double Value);
    bool ParentBrush() const { return FParentBrush; }
    void SetParentBrush(bool Value);
    bool ParentPen() const { return FParentPen; }
    void SetParentPen(bool Value);
    TTeeGradient* Gradient() const { return FGradient.get(); }
    void SetGradient(TTeeGradient* Value) { FGradient->Assign(Value); }
    TPolygonSeries* Points() const { return FPoints.get(); }
    TMapSeries* Owner() const { return FOwner; }

private:
    TMapSeries* FOwner;
    std::unique_ptr<TTeeGradient> FGradient;
    bool FParentBrush = true;
    bool FParentPen = true;
    std::unique_ptr<TPolygonSeries> FPoints;
};

// Polygon i is always value i of the map: deleting or clearing polygons here
// deletes their values too, and so does freeing a polygon; swapping swaps the
// values, and putting a polygon sets value i from it.
class TTeePolygonList : public TObject {
    QM_CLASS(TTeePolygonList)
public:
    explicit TTeePolygonList(TMapSeries* AOwner) : FOwner(AOwner) {}
    ~TTeePolygonList() override;
    // The polygon of the first value without one, given a new value when there is none.
    TTeePolygon* Add();
    void Delete(int Start, int Quantity = 1);
    int Count() const { return static_cast<int>(FItems.size()); }
    // Raises EListError outside 0..Count-1.
    TTeePolygon* Get(int Index) const;
    TTeePolygon* operator[](int Index) const { return Get(Index); }
    // Polygon Index takes Value's settings (Value stays its owner's); raises
    // EListError outside 0..Count-1.
    void Put(int Index, TTeePolygon* Value);
    int IndexOf(const TTeePolygon* Item) const;
    void Swap(int a, int b);
    void Clear();
    TMapSeries* Owner() const { return FOwner; }

private:
    friend class TMapSeries;
    friend class TTeePolygon;
    // Frees polygons only, their values staying (the map's own deletes).
    void FreePolygons(int Start, int Quantity);
    // Swaps polygons only (the map's own swap moves the values).
    void SwapPolygons(int a, int b);
    TMapSeries* FOwner;
    std::vector<std::unique_ptr<TTeePolygon>> FItems;
};

class TMapSeries : public TCustom3DPaletteSeries {
    QM_CLASS(TMapSeries)
public:
    explicit TMapSeries(TComponent* AOwner);
    ~TMapSeries() override;

    AnsiString GetEditorClass() override { return "TMapSeriesEditor"; }
    void CalcHorizMargins(int& LeftMargin, int& RightMargin) override;
    void CalcVerticalMargins(int& TopMargin, int& BottomMargin) override;
    void DrawValue(int ValueIndex) override;
    void DrawMark(int ValueIndex, const AnsiString& St, TSeriesMarkPosition* APosition) override;
    TColor GetValueColor(int ValueIndex) override;
    double MaxXValue() override;
    double MinXValue() override;
    double MaxYValue() override;
    double MinYValue() override;
    int Clicked(int X, int Y) override;
    using TChartSeries::Clicked;
    void Delete(int ValueIndex) override;
    void Delete(int Start, int Quantity, bool RemoveGap = false) override;
    void SwapValueIndex(int a, int b) override;
    void Clear() override;
    void AddSampleValues(int NumValues) override;
    int NumSampleValues() override { return 12; }
    void PrepareForGallery(bool IsEnabled) override;
    void CreateSubGallery(const TChartSubGalleryProc& AddSubChart) override;
    void SetSubGallery(TChartSeries* Series, int Index) override;
    void GalleryChanged3D(bool Is3D) override;

    TTeePolygonList* Shapes() { return &FShapes; }

protected:
    // The polygons travel in chart files as the binary property "Polygons".
    void DefineProperties(TFiler* Filer) override;

private:
    void ReadPolygons(TStream* Stream);
    void WritePolygons(TStream* Stream);
    friend class TTeePolygon;
    TTeePolygonList FShapes{this};
};
