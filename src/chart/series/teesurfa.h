#pragma once
// 3D series with Z values (unit TeeSurfa):
//   TCustom3DSeries, TCustom3DPaletteSeries, TCustom3DGridSeries   teesurfa.cpp
//   TSurfaceSeries, TWaterFallSeries                                teesurfa_surface.cpp
//   TContourSeries and its levels                                   teesurfa_contour.cpp
//   TColorGridSeries, TVector3DSeries, TTowerSeries                 teesurfa_grids.cpp
#include "chart/control/series.h"
#include "chart/control/tool_series.h"
#include "chart/series/contourchains.h"
#include <functional>
#include <memory>
#include <vector>

class TCustom3DSeries : public TChartSeries {
    QM_CLASS(TCustom3DSeries)
public:
    explicit TCustom3DSeries(TComponent* AOwner);

    void Assign(TPersistent* Source) override;
    void CalcZOrder() override;
    void DrawMark(int ValueIndex, const AnsiString& St, TSeriesMarkPosition* APosition) override;
    double MaxZValue() override;
    double MinZValue() override;
    void PrepareLegendCanvas(int ValueIndex, TColor& BackColor, TBrushStyle& BrushStyle) override;
    bool IsValidSourceOf(TChartSeries* Value) override;
    // X values are positions here, never replaced by the point sequence.
    void CheckOrder() override;

    virtual int AddXYZ(double X, double Y, double Z, const AnsiString& Label, TColor Color);
    int AddXYZ(double X, double Y, double Z) { return AddXYZ(X, Y, Z, "", clTeeColor); }
    using TChartSeries::AddArray;
    // X = inner index, Y = the element, Z = outer index.
    int AddArray(const std::vector<std::vector<double>>& Values);
    // The screen depth of the point's Z value on the depth axis.
    int CalcZPos(int ValueIndex);

    double ZValue(int Index) const { return FZValues->Value(Index); }
    void SetZValue(int Index, double Value) { FZValues->SetValue(Index, Value); }
    TChartValueList* ZValues() const { return FZValues; }
    void SetZValues(TChartValueList* Value) { SetChartValueList(FZValues, Value); }
    int TimesZOrder() const { return FTimesZOrder; }
    void SetTimesZOrder(int Value) { SetIntegerProperty(FTimesZOrder, Value); }

private:
    int FTimesZOrder = 3;
    TChartValueList* FZValues; // owned by the series' value lists
};

enum TTeePaletteStyle { psPale, psStrong, psGrayScale };
QM_ENUM_NAMES(TTeePaletteStyle, psPale, psStrong, psGrayScale)

struct TTeePaletteEntry {
    double UpToValue = 0;
    TColor Color = clBlack;
};
using TCustom3DPalette = std::vector<TTeePaletteEntry>;

using TChartSurfaceGetColor =
    std::function<void(TChartSeries* Sender, int ValueIndex, TColor& Color)>;

class TCustom3DPaletteSeries : public TCustom3DSeries {
    QM_CLASS(TCustom3DPaletteSeries)
public:
    explicit TCustom3DPaletteSeries(TComponent* AOwner);

    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "TGrid3DSeriesEditor"; }
    void Clear() override;
    void DoBeforeDrawChart() override;
    TColor GetValueColor(int ValueIndex) override;
    int CountLegendItems() override;
    int LegendToValueIndex(int LegendIndex) override;
    AnsiString LegendString(int LegendIndex, TLegendTextStyle LegendTextStyle) override;
    TColor LegendItemColor(int LegendIndex) override;
    void DrawLegendShape(int ValueIndex, const TRect& Rect) override;
    void PrepareForGallery(bool IsEnabled) override;
    void CreateSubGallery(const TChartSubGalleryProc& AddSubChart) override;
    void SetSubGallery(TChartSeries* Series, int Index) override;
    void GalleryChanged3D(bool Is3D) override;

    int AddPalette(double Value, TColor Color);
    void ClearPalette() { FPalette.clear(); }
    void CreateDefaultPalette(int NumSteps);
    void CreateRangePalette();
    void CheckPaletteEmpty();
    TColor GetSurfacePaletteColor(double Value) const;
    TColor GetValueColorValue(double Value);
    TColor RangePercent(double Percent) const;
    void CalcColorRange();
    const TCustom3DPalette& Palette() const { return FPalette; }
    // 1 / (Y range) of the last paint preparation; 0 for an empty or flat range.
    double RangeFactor() const { return FRangeFactor; }

    TColor EndColor() const { return FEndColor; }
    void SetEndColor(TColor Value);
    TColor MidColor() const { return FMidColor; }
    void SetMidColor(TColor Value);
    TColor StartColor() const { return FStartColor; }
    void SetStartColor(TColor Value);
    int LegendEvery() const { return FLegendEvery; }
    void SetLegendEvery(int Value) { SetIntegerProperty(FLegendEvery, Value); }
    double PaletteMin() const { return FPaletteMin; }
    void SetPaletteMin(double Value);
    double PaletteStep() const { return FPaletteStep; }
    void SetPaletteStep(double Value);
    int PaletteSteps() const { return FPaletteSteps; }
    // Raises ChartException above MaxPaletteSteps (keeping the old value).
    void SetPaletteSteps(int Value);
    TTeePaletteStyle PaletteStyle() const { return FPaletteStyle; }
    void SetPaletteStyle(TTeePaletteStyle Value);
    bool UseColorRange() const { return FUseColorRange; }
    void SetUseColorRange(bool Value);
    bool UsePalette() const { return FUsePalette; }
    void SetUsePalette(bool Value);
    bool UsePaletteMin() const { return FUsePaletteMin; }
    void SetUsePaletteMin(bool Value);

    static constexpr int MaxPaletteSteps = 65536;
    double RedFactor = 2.0;
    double GreenFactor = 1.0;
    double BlueFactor = 1.0;
    TChartSurfaceGetColor OnGetColor;

protected:
    // Palette entry of legend item LegendIndex (highest value first).
    int LegendPaletteIndex(int LegendIndex) const;
    bool PaletteLegend() const;

private:
    TColor FEndColor = clWhite;
    TColor FMidColor = clNone;
    TCustom3DPalette FPalette;
    int FLegendEvery = 1;
    double FPaletteMin = 0;
    double FPaletteStep = 0;
    int FPaletteSteps = 32;
    TTeePaletteStyle FPaletteStyle = psPale;
    TColor FStartColor = 0x800000;
    bool FUseColorRange = true;
    bool FUsePalette = false;
    bool FUsePaletteMin = false;
    int FEndRGB[3] = {255, 255, 255};
    int FMidRGB[3] = {0, 0, 0};
    int FRangeRGB[3] = {0, 0, 0};
    int FRangeMidRGB[3] = {0, 0, 0};
    double FRangeFactor = 0;
};

using TChartSurfaceGetY = std::function<double(TChartSeries* Sender, int X, int Z)>;

class TCustom3DGridSeries : public TCustom3DPaletteSeries, public ITeeGridSeries {
    QM_CLASS(TCustom3DGridSeries)
public:
    explicit TCustom3DGridSeries(TComponent* AOwner);

    // What the grid-transpose tool asks of a grid.
    TChartValueList* GridZValues() const override { return ZValues(); }
    TChartSeries* NewGridSeries() const override { return new TCustom3DGridSeries(nullptr); }
    void AddGridXYZ(TChartSeries* Target, double X, double Y, double Z) const override {
        static_cast<TCustom3DGridSeries*>(Target)->AddXYZ(X, Y, Z);
    }

    void Assign(TPersistent* Source) override;
    // Data that make no drawable grid refuse the file instead of every paint.
    void Loaded() override;
    void Clear() override;
    void DoBeforeDrawChart() override;
    void AddValues(TChartSeries* Source) override;
    bool IsValidSeriesSource(TChartSeries* Value) override;
    void AddSampleValues(int NumValues) override;
    int NumSampleValues() override { return FNumXValues; }

    virtual void CreateValues(int NumX, int NumZ);
    virtual double GetXZValue(int X, int Z);

    // Raises ChartException when the index would pass MaxGridNodes entries.
    void InitGridIndex(int NumX, int NumZ);
    void FillGridIndex();
    // The point at node [X][Z] (1-based), -1 for none or outside the grid.
    // Inline: the grid walks of drawing and contouring ask for every node.
    int GridIndex(int X, int Z) const {
        if (X < 0 || Z < 0 || X > FGridX || Z > FGridZ) return -1;
        return FGridIndex[static_cast<size_t>(X) * static_cast<size_t>(FGridZ + 1) +
                          static_cast<size_t>(Z)];
    }
    int GridColumns() const { return FGridX; }
    int GridRows() const { return FGridZ; }
    // Raises ChartException "No value found at XZ: x z" for an empty node.
    double GetValue(int X, int Z);
    void SetValue(int X, int Z, double Value);
    bool ExistFourGridIndex(int X, int Z);
    bool CanCreateValues();
    void ReCreateValues() { CreateValues(FNumXValues, FNumZValues); }

    bool IrregularGrid() const { return FIrregularGrid; }
    void SetIrregularGrid(bool Value) { SetBooleanProperty(FIrregularGrid, Value); }
    int NumXValues() const { return FNumXValues; }
    void SetNumXValues(int Value);
    int NumZValues() const { return FNumZValues; }
    void SetNumZValues(int Value);

    // Grid nodes a series may hold (about 16 million, 64 MB of index).
    static constexpr long long MaxGridNodes = 1LL << 24;
    TChartSurfaceGetY OnGetYValue;

    // Corner point indexes of the cell last tested by ExistFourGridIndex.
    int ValueIndex0 = -1, ValueIndex1 = -1, ValueIndex2 = -1, ValueIndex3 = -1;
    int IInc = 1;  // step x
    int IZInc = 1; // step z

protected:
    bool Sampling() const { return FSampling; }
    void SetSampling(bool Value) { FSampling = Value; }

private:
    void CheckGridSize(int NumX, int NumZ) const;

    bool FIrregularGrid = false;
    int FNumXValues = 10;
    int FNumZValues = 10;
    bool FSampling = false;
    std::vector<int> FGridIndex;
    int FGridX = 0;
    int FGridZ = 0;
};

// ---------------------------------------------------------------------------

class TSurfaceSeries : public TCustom3DGridSeries {
    QM_CLASS(TSurfaceSeries)
public:
    explicit TSurfaceSeries(TComponent* AOwner);
    ~TSurfaceSeries() override;

    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override {
        return FWaterFall ? "TWaterFallEditor" : "TSurfaceSeriesEditor";
    }
    void DrawAllValues() override;
    int Clicked(int X, int Y) override;
    using TChartSeries::Clicked;
    void PrepareForGallery(bool IsEnabled) override;
    void CreateSubGallery(const TChartSubGalleryProc& AddSubChart) override;
    void SetSubGallery(TChartSeries* Series, int Index) override;

    virtual void DrawCell(int X, int Z);
    TPoint CalcPointPos(int ValueIndex);
    bool FourGridIndex(int X, int Z);

    bool DotFrame() const { return FDotFrame; }
    void SetDotFrame(bool Value);
    bool WireFrame() const { return FWireFrame; }
    void SetWireFrame(bool Value);
    bool SmoothPalette() const { return FSmoothPalette; }
    void SetSmoothPalette(bool Value) { SetBooleanProperty(FSmoothPalette, Value); }
    TTeeTransparency Transparency() const { return FTransparency; }
    void SetTransparency(TTeeTransparency Value) { SetIntegerProperty(FTransparency, Value); }
    bool WaterFall() const { return FWaterFall; }
    void SetWaterFall(bool Value) { SetBooleanProperty(FWaterFall, Value); }
    TChartBrush* SideBrush() const { return FSideBrush.get(); }
    void SetSideBrush(TChartBrush* Value) { FSideBrush->Assign(Value); }
    TChartHiddenPen* SideLines() const { return FSideLines.get(); }
    void SetSideLines(TChartHiddenPen* Value) { FSideLines->Assign(Value); }
    TChartPen* WaterLines() const { return FWaterLines.get(); }
    void SetWaterLines(TChartPen* Value) { FWaterLines->Assign(Value); }

    // Screen points of the current cell.
    TFourPoints Points{};

protected:
    bool FWaterFall = false;

private:
    void PrepareCanvas();
    void DrawSides(bool Behind);
    void DrawSideWall(bool Column, int Index, int Floor);
    bool IsValidNode(int ValueIndex);
    void DrawWholeGrid(TCanvas3D* Canvas);

    bool FDotFrame = false;
    std::unique_ptr<TChartBrush> FSideBrush;
    std::unique_ptr<TChartHiddenPen> FSideLines;
    bool FSmoothPalette = false;
    TTeeTransparency FTransparency = 0;
    std::unique_ptr<TChartPen> FWaterLines;
    bool FWireFrame = false;
    bool FBrushImage = false;
    std::unique_ptr<TTeeBlend> FBlend; // of the current paint only
};

class TWaterFallSeries : public TSurfaceSeries {
    QM_CLASS(TWaterFallSeries)
public:
    explicit TWaterFallSeries(TComponent* AOwner);
    void CreateSubGallery(const TChartSubGalleryProc& AddSubChart) override;
    void SetSubGallery(TChartSeries* Series, int Index) override;
    void GalleryChanged3D(bool Is3D) override;
};

// ---------------------------------------------------------------------------

class TContourSeries;

class TContourLevel : public TCollectionItem {
    QM_CLASS(TContourLevel)
public:
    explicit TContourLevel(TCollection* Collection);
    ~TContourLevel() override;
    void Assign(TPersistent* Source) override;

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    double UpToValue() const { return FUpToValue; }
    void SetUpToValue(double Value);
    // Made on first read with the pen defaults and the level's colour; the
    // level's own pen once changed or set.
    TChartPen* Pen();
    void SetPen(TChartPen* Value);
    TChartPen* PenIfAny() const { return FPenOwn ? FPen.get() : nullptr; }
    bool IsPenStored() const { return FPenOwn; }
    TChartPen* InternalPen();

    void ClearSegments() { Segments.clear(); }
    int SegmentCount() const { return static_cast<int>(Segments.size()); }
    std::vector<TPoint> GetSegmentPoints(int SegmentIndex);
    bool Clicked(int X, int Y, int& SegmentIndex, int& PointIndex);
    bool ClickedSegment(int X, int Y, int& PointIndex, int Segment);
    TContourSeries* Series() const;

    std::vector<TContourSegment> Segments;

private:
    void CheckAuto();
    void PenChanged();
    TColor FColor = clBlack;
    std::unique_ptr<TChartPen> FPen;
    bool FPenOwn = false;
    double FUpToValue = 0;
};

class TContourLevels : public TOwnedCollection {
    QM_CLASS(TContourLevels)
public:
    explicit TContourLevels(TContourSeries* AOwner);
    TContourLevel* Get(int Index) const { return static_cast<TContourLevel*>(Items(Index)); }
    TContourLevel* operator[](int Index) const { return Get(Index); }
    void Put(int Index, TContourLevel* Value) { SetItems(Index, Value); }
    TContourLevel* AddLevel() { return static_cast<TContourLevel*>(Add()); }
    int Clicked(int X, int Y, int& SegmentIndex, int& PointIndex);
    TContourSeries* Series() const { return FSeries; }

private:
    TContourSeries* FSeries;
};

class TSmoothPoints : public TPersistent {
    QM_CLASS(TSmoothPoints)
public:
    explicit TSmoothPoints(TContourSeries* AOwner = nullptr) : FSeries(AOwner) {}
    void Assign(TPersistent* Source) override;
    bool Active() const { return FActive; }
    void SetActive(bool Value);
    bool Interpolate() const { return FInterpolate; }
    void SetInterpolate(bool Value);
    int Factor() const { return FFactor; }
    // Factor x count + 1 points along a B-spline through (or near) Points.
    std::vector<TPoint> Calculate(const std::vector<TPoint>& Points) const;

private:
    TContourSeries* FSeries;
    bool FActive = false;
    bool FInterpolate = false;
    int FFactor = 4;
};

using TOnBeforeDrawLevelEvent = std::function<void(TContourSeries* Sender, int LevelIndex)>;
using TOnGetLevelEvent =
    std::function<void(TContourSeries* Sender, int LevelIndex, double& Value, TColor& Color)>;

class TContourSeries : public TCustom3DGridSeries {
    QM_CLASS(TContourSeries)
public:
    explicit TContourSeries(TComponent* AOwner);
    ~TContourSeries() override;

    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "TContourSeriesEditor"; }
    void DoBeforeDrawChart() override;
    void DrawAllValues() override;
    double MaxYValue() override;
    double MinYValue() override;
    int Clicked(int X, int Y) override;
    using TChartSeries::Clicked;
    int CountLegendItems() override;
    int LegendToValueIndex(int LegendIndex) override { return LegendIndex; }
    AnsiString LegendString(int LegendIndex, TLegendTextStyle LegendTextStyle) override;
    TColor LegendItemColor(int LegendIndex) override;
    void DrawLegendShape(int ValueIndex, const TRect& Rect) override;
    void AddSampleValues(int NumValues) override;
    void PrepareForGallery(bool IsEnabled) override;
    void CreateSubGallery(const TChartSubGalleryProc& AddSubChart) override;
    void SetSubGallery(TChartSeries* Series, int Index) override;

    void CreateAutoLevels();
    // Contours every cell into the levels' segments (no drawing).
    void ContourLevels();
    TChartAxis* GetZAxis();

    bool AutomaticLevels() const { return FAutomaticLevels; }
    void SetAutomaticLevels(bool Value) { SetBooleanProperty(FAutomaticLevels, Value); }
    TContourLevels* Levels() const { return FLevels.get(); }
    void SetLevels(TContourLevels* Value) { FLevels->Assign(Value); }
    bool IsLevelsStored() const { return !FAutomaticLevels; }
    int NumLevels() const;
    void SetNumLevels(int Value);
    TSmoothPoints* Smoothing() const { return FSmoothing.get(); }
    void SetSmoothing(TSmoothPoints* Value) { FSmoothing->Assign(Value); }
    double YPosition() const { return FYPosition; }
    void SetYPosition(double Value) { SetDoubleProperty(FYPosition, Value); }
    bool YPositionLevel() const { return FYPositionLevel; }
    void SetYPositionLevel(bool Value) { SetBooleanProperty(FYPositionLevel, Value); }
    bool CreatingLevels() const { return FCreatingLevels; }

    static constexpr int MaxLevels = 10000;
    TOnBeforeDrawLevelEvent OnBeforeDrawLevel;
    TOnGetLevelEvent OnGetLevel;

private:
    bool FAutomaticLevels = true;
    std::unique_ptr<TContourLevels> FLevels;
    int FNumLevels = 10;
    std::unique_ptr<TSmoothPoints> FSmoothing;
    double FYPosition = 0;
    bool FYPositionLevel = false;
    bool FCreatingLevels = false;
};

// ---------------------------------------------------------------------------

class TColorGridSeries : public TCustom3DGridSeries {
    QM_CLASS(TColorGridSeries)
public:
    explicit TColorGridSeries(TComponent* AOwner);
    ~TColorGridSeries() override;

    AnsiString GetEditorClass() override { return "TColorGridEditor"; }
    void DrawAllValues() override;
    void DrawMark(int ValueIndex, const AnsiString& St, TSeriesMarkPosition* APosition) override;
    int Clicked(int X, int Y) override;
    using TChartSeries::Clicked;
    double MaxXValue() override;
    double MinXValue() override;
    double MaxYValue() override;
    double MinYValue() override;
    double MaxZValue() override;
    double MinZValue() override;
    int CalcYPos(int ValueIndex) override;
    void PrepareForGallery(bool IsEnabled) override;
    void GalleryChanged3D(bool Is3D) override;
    void CreateSubGallery(const TChartSubGalleryProc& AddSubChart) override;
    void SetSubGallery(TChartSeries* Series, int Index) override;

    TBitmap* Bitmap() const { return FBitmap.get(); }
    // Refuses (ChartException) a picture of more than MaxGridNodes pixels.
    void SetBitmap(TBitmap* Value);
    bool CenteredPoints() const { return FCenteredPoints; }
    void SetCenteredPoints(bool Value) { SetBooleanProperty(FCenteredPoints, Value); }

private:
    std::unique_ptr<TBitmap> FBitmap;
    bool FCenteredPoints = false;
};

class TVector3DSeries : public TCustom3DPaletteSeries {
    QM_CLASS(TVector3DSeries)
public:
    explicit TVector3DSeries(TComponent* AOwner);

    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "TVectorSeriesEditor"; }
    void DrawValue(int ValueIndex) override;
    double MaxXValue() override;
    double MinXValue() override;
    double MaxYValue() override;
    double MinYValue() override;
    double MaxZValue() override;
    double MinZValue() override;
    bool IsValidSourceOf(TChartSeries* Value) override;
    int NumSampleValues() override { return 250; }
    void AddSampleValues(int NumValues) override;

    int AddVector(double X, double Y, double Z, double EndX, double EndY, double EndZ,
                  const AnsiString& Label = "", TColor Color = clTeeColor);

    int ArrowHeight() const { return FArrowHeight; }
    void SetArrowHeight(int Value) { SetIntegerProperty(FArrowHeight, Value); }
    int ArrowWidth() const { return FArrowWidth; }
    void SetArrowWidth(int Value) { SetIntegerProperty(FArrowWidth, Value); }
    TChartHiddenPen* StartArrow() const { return FStartArrow.get(); }
    void SetStartArrow(TChartHiddenPen* Value) { FStartArrow->Assign(Value); }
    TChartPen* EndArrow() const { return FEndArrow.get(); }
    void SetEndArrow(TChartPen* Value) { FEndArrow->Assign(Value); }
    TChartValueList* EndXValues() const { return FEndX; }
    void SetEndXValues(TChartValueList* Value) { SetChartValueList(FEndX, Value); }
    TChartValueList* EndYValues() const { return FEndY; }
    void SetEndYValues(TChartValueList* Value) { SetChartValueList(FEndY, Value); }
    TChartValueList* EndZValues() const { return FEndZ; }
    void SetEndZValues(TChartValueList* Value) { SetChartValueList(FEndZ, Value); }

private:
    void DrawArrowHead(TChartPen* APen, TColor AColor, const TPoint& Tip, double S, double C);

    int FArrowHeight = 4;
    int FArrowWidth = 4;
    std::unique_ptr<TChartHiddenPen> FStartArrow;
    std::unique_ptr<TChartPen> FEndArrow;
    TChartValueList* FEndX;
    TChartValueList* FEndY;
    TChartValueList* FEndZ;
};

enum TTowerStyle { tsCube, tsRectangle, tsCover, tsCylinder, tsArrow, tsCone, tsPyramid };
QM_ENUM_NAMES(TTowerStyle, tsCube, tsRectangle, tsCover, tsCylinder, tsArrow, tsCone, tsPyramid)

class TTowerSeries : public TCustom3DGridSeries {
    QM_CLASS(TTowerSeries)
public:
    explicit TTowerSeries(TComponent* AOwner);

    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "TTowerSeriesEditor"; }
    void DrawAllValues() override;
    void DrawMark(int ValueIndex, const AnsiString& St, TSeriesMarkPosition* APosition) override;
    int Clicked(int X, int Y) override;
    using TChartSeries::Clicked;
    double MaxXValue() override;
    double MinXValue() override;
    double MaxZValue() override;
    double MinZValue() override;
    void PrepareForGallery(bool IsEnabled) override;
    void CreateSubGallery(const TChartSubGalleryProc& AddSubChart) override;
    void SetSubGallery(TChartSeries* Series, int Index) override;

    // The screen box of the tower at point ValueIndex.
    void CalcCell(int ValueIndex, TRect& R, int& Z0, int& Z1);

    bool Dark3D() const { return FDark3D; }
    void SetDark3D(bool Value) { SetBooleanProperty(FDark3D, Value); }
    double Origin() const { return FOrigin; }
    void SetOrigin(double Value) { SetDoubleProperty(FOrigin, Value); }
    int PercentDepth() const { return FPercentDepth; }
    void SetPercentDepth(int Value) { SetIntegerProperty(FPercentDepth, Value); }
    int PercentWidth() const { return FPercentWidth; }
    void SetPercentWidth(int Value) { SetIntegerProperty(FPercentWidth, Value); }
    TTowerStyle TowerStyle() const { return FTowerStyle; }
    void SetTowerStyle(TTowerStyle Value);
    TTeeTransparency Transparency() const { return FTransparency; }
    void SetTransparency(TTeeTransparency Value) { SetIntegerProperty(FTransparency, Value); }
    bool UseOrigin() const { return FUseOrigin; }
    void SetUseOrigin(bool Value) { SetBooleanProperty(FUseOrigin, Value); }

private:
    bool FDark3D = true;
    double FOrigin = 0;
    int FPercentDepth = 100;
    int FPercentWidth = 100;
    TTowerStyle FTowerStyle = tsCube;
    TTeeTransparency FTransparency = 0;
    bool FUseOrigin = false;
    double FHalfWidth = 0.5;
    double FHalfDepth = 0.5;
};
