#pragma once
// The circled series and the pie (unit Series), bodies in series_pie.cpp:
//   TCircledSeries                              series drawn inside a circle
//   TExplodedSlices, TPieOtherSlice, TPieShadow   parts of a pie
//   TPieSeries
#include "chart/engine/teengine.h"
#include <memory>
#include <vector>

class TChartLegend;

// Series drawn inside a circle instead of against axes.
class TCircledSeries : public TChartSeries {
    QM_CLASS(TCircledSeries)
public:
    explicit TCircledSeries(TComponent* AOwner);
    ~TCircledSeries() override;

    void Assign(TPersistent* Source) override;
    void SetActive(bool Value) override;
    void SetParentChart(TCustomAxisPanel* Value) override;
    void DoBeforeDrawValues() override;
    void PrepareLegendCanvas(int ValueIndex, TColor& BackColor, TBrushStyle& BrushStyle) override;
    bool AssociatedToAxis(TChartAxis* Axis) override {
        (void)Axis;
        return true;
    }
    bool UseAxis() override { return false; }
    virtual void DrawCircleGradient();

    void AngleToPos(double Angle, double AXRadius, double AYRadius, int& X, int& Y) const;
    double PointToAngle(int X, int Y) const;
    bool HasBackColor() const;
    TColor CalcCircleBackColor();
    void Rotate(int Angle);
    void AdjustCircleRect();
    void CalcRadius();

    TColor CircleBackColor() const { return FCircleBackColor; }
    void SetCircleBackColor(TColor Value) { SetColorProperty(FCircleBackColor, Value); }
    bool Circled() const { return FCircled; }
    void SetCircled(bool Value);
    TTeeGradient* CircleGradient() const { return FCircleGradient.get(); }
    void SetCircleGradient(TTeeGradient* Value) { FCircleGradient->Assign(Value); }
    int CustomXRadius() const { return FCustomXRadius; }
    void SetCustomXRadius(int Value);
    int CustomYRadius() const { return FCustomYRadius; }
    void SetCustomYRadius(int Value);
    int RotationAngle() const { return FRotationAngle; }
    void SetRotationAngle(int Value);

    int RadiusX() const { return FRadiusX; }
    int RadiusY() const { return FRadiusY; }
    int CircleSizeX() const { return FCircleSizeX; }
    int CircleSizeY() const { return FCircleSizeY; }
    int CircleCenterX() const { return FCircleCenterX; }
    int CircleCenterY() const { return FCircleCenterY; }
    TRect CircleRect() const { return FCircleRect; }

protected:
    void SetParentProperties(bool EnableParentProps);
    bool OnFullRotationCanvas() const;
    // The series' own hit test, else the first visible point whose pointer holds (X, Y).
    int ClickedPointer(TSeriesPointer* Pointer, int X, int Y);
    // The first active series of the chart of exactly this series' class.
    TCircledSeries* FirstActiveOfClass() const;

    TColor FCircleBackColor = clAutoColor;
    bool FCircled = false;
    std::unique_ptr<TTeeGradient> FCircleGradient;
    int FCustomXRadius = 0;
    int FCustomYRadius = 0;
    int FRotationAngle = 0;
    double FRotationRad = 0;
    int FRadiusX = 0;
    int FRadiusY = 0;
    std::unique_ptr<TView3DOptions> FOld3DOptions;
    int FCircleSizeX = 0;
    int FCircleSizeY = 0;
    int FCircleCenterX = 0;
    int FCircleCenterY = 0;
    TRect FCircleRect;
};

class TPieSeries;

// Per-slice explode percentages.
class TExplodedSlices {
public:
    explicit TExplodedSlices(TPieSeries* AOwner) : FOwner(AOwner) {}
    int Get(int Index) const;
    void Put(int Index, int Value);
    int operator[](int Index) const { return Get(Index); }
    int Count() const { return static_cast<int>(FItems.size()); }
    void Clear() { FItems.clear(); }
    void Exchange(int a, int b);
    void Grow(int ACount);

private:
    TPieSeries* FOwner;
    std::vector<int> FItems;
};

enum TPieOtherStyle { poNone, poBelowPercent, poBelowValue };
QM_ENUM_NAMES(TPieOtherStyle, poNone, poBelowPercent, poBelowValue)

class TPieOtherSlice : public TPersistent {
    QM_CLASS(TPieOtherSlice)
public:
    explicit TPieOtherSlice(TPieSeries* AOwner = nullptr);
    ~TPieOtherSlice() override;
    void Assign(TPersistent* Source) override;
    TPersistent* GetOwner() override;

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TPieOtherStyle Style() const { return FStyle; }
    void SetStyle(TPieOtherStyle Value);
    // Empty means "Other".
    AnsiString Text() const;
    void SetText(const AnsiString& Value);
    bool IsTextStored() const { return !FText.IsEmpty(); }
    double Value() const { return FValue; }
    void SetValue(double Value);
    // The legend of the grouped slices: made on first use, hidden, listing
    // the pie's grouped values.
    TChartLegend* Legend();
    void SetLegend(TChartLegend* Value);
    TChartLegend* LegendIfAny() const { return FLegend.get(); }
    bool IsLegendStored() const { return FLegend != nullptr; }
    // Draws the legend of the grouped slices when it exists and is visible.
    void DrawLegend();

private:
    void Changed();
    TPieSeries* FOwner;
    TColor FColor = clAutoColor;
    TPieOtherStyle FStyle = poNone;
    AnsiString FText;
    double FValue = 0;
    std::unique_ptr<TChartLegend> FLegend;
};

class TPieShadow : public TTeeShadow {
    QM_CLASS(TPieShadow)
public:
    explicit TPieShadow(TNotifyEvent ChangedEvent = nullptr);
};

struct TPieAngle {
    double StartAngle = 0;
    double MidAngle = 0;
    double EndAngle = 0;
};

class TPieSeries : public TCircledSeries {
    QM_CLASS(TPieSeries)
public:
    explicit TPieSeries(TComponent* AOwner);
    ~TPieSeries() override;

    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "TPieSeriesEditor"; }
    void SetParentChart(TCustomAxisPanel* Value) override;
    void DoBeforeDrawChart() override;
    void ClearLists() override;
    void CreateSubGallery(const TChartSubGalleryProc& AddSubChart) override;
    void DrawAllValues() override;
    void DrawMark(int ValueIndex, const AnsiString& St, TSeriesMarkPosition* APosition) override;
    void DrawValue(int ValueIndex) override;
    void PrepareLegendCanvas(int ValueIndex, TColor& BackColor, TBrushStyle& BrushStyle) override;
    void SetSubGallery(TChartSeries* Series, int Index) override;
    int CountLegendItems() override;
    int LegendToValueIndex(int LegendIndex) override;
    double MaxXValue() override;
    double MaxYValue() override;
    double MinXValue() override;
    double MinYValue() override;
    int CalcXPos(int ValueIndex) override;
    int Clicked(int X, int Y) override;
    using TChartSeries::Clicked;
    void SwapValueIndex(int a, int b) override;
    void CheckOrder() override;
    void WriteData(TStream* Stream) override;
    int NumSampleValues() override { return 8; }
    void AddSampleValues(int NumValues) override;
    void PrepareForGallery(bool IsEnabled) override;
    void GalleryChanged3D(bool Is3D) override;
    virtual void DrawPie(int ValueIndex);

    int AddPie(double Value, const AnsiString& Label = "", TColor Color = clAutoColor) {
        return Add(Value, Label, Color);
    }
    TChartValueList* PieValues() const { return YValues(); }
    void SetPieValues(TChartValueList* Value) { SetYValues(Value); }
    bool BelongsToOtherSlice(int ValueIndex);
    void CalcAngles();
    void CalcExplodeBiggest();
    void CalcExplodedOffset(int ValueIndex, int& OffsetX, int& OffsetY);
    void CalcExplodedRadius(int ValueIndex, int& AXRadius, int& AYRadius);
    int CalcClickedPie(int X, int Y);
    void DisableRotation();
    void PreparePiePen(int ValueIndex);
    TBrushStyle SliceBrushStyle(int ValueIndex);
    void RemoveOtherSlice();
    const std::vector<TPieAngle>& Angles() const { return FAngles; }
    // Where the next 2D slice starts; a caller drawing one slice alone sets it first.
    TPoint StartPoint() const { return FPrevEnd; }
    void SetStartPoint(TPoint Value) { FPrevEnd = Value; }

    int AngleSize() const { return FAngleSize; }
    void SetAngleSize(int Value) { SetIntegerProperty(FAngleSize, Value); }
    bool AutoMarkPosition() const { return FAutoMarkPosition; }
    void SetAutoMarkPosition(bool Value) { SetBooleanProperty(FAutoMarkPosition, Value); }
    bool Dark3D() const { return FDark3D; }
    void SetDark3D(bool Value) { SetBooleanProperty(FDark3D, Value); }
    bool DarkPen() const { return FDarkPen; }
    void SetDarkPen(bool Value) { SetBooleanProperty(FDarkPen, Value); }
    int DonutPercent() const { return FDonutPercent; }
    void SetDonutPercent(int Value) { SetIntegerProperty(FDonutPercent, Value); }
    TExplodedSlices* ExplodedSlice() { return &FExplodedSlice; }
    int ExplodeBiggest() const { return FExplodeBiggest; }
    void SetExplodeBiggest(int Value);
    TPieOtherSlice* OtherSlice() const { return FOtherSlice.get(); }
    void SetOtherSlice(TPieOtherSlice* Value) { FOtherSlice->Assign(Value); }
    TPieShadow* Shadow() const { return FShadow.get(); }
    void SetShadow(TPieShadow* Value) { FShadow->Assign(Value); }
    bool UsePatterns() const { return FUsePatterns; }
    void SetUsePatterns(bool Value) { SetBooleanProperty(FUsePatterns, Value); }
    TChartPen* PiePen() const { return Pen(); }

    // Set while the other slice's own legend is drawn.
    bool DrawingOtherLegend = false;

private:
    int CompareSlice(int a, int b) const;
    int GroupedCount();

    int FAngleSize = 360;
    bool FAutoMarkPosition = true;
    bool FDark3D = true;
    bool FDarkPen = false;
    int FDonutPercent = 0;
    TExplodedSlices FExplodedSlice{this};
    int FExplodeBiggest = 0;
    std::unique_ptr<TPieOtherSlice> FOtherSlice;
    std::unique_ptr<TPieShadow> FShadow;
    bool FUsePatterns = false;
    std::vector<int> FSortedSlice;
    std::vector<TPieAngle> FAngles;
    TPoint FPrevEnd{0, 0};
    bool FIsExploded = false;
};
