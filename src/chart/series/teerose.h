#pragma once
// Wind rose and clock (unit TeeRose): polar series that always draw in 2D. The
// wind rose labels its spokes with compass directions; the clock shows the
// current time with three hands and repaints itself every second.
#include "chart/series/teepolar.h"
#include "platform/rtl/datetime.h"
#include <functional>
#include <memory>

class TTimer;

class TCustom2DPolarSeries : public TCustomPolarSeries {
    QM_CLASS(TCustom2DPolarSeries)
public:
    explicit TCustom2DPolarSeries(TComponent* AOwner) : TCustomPolarSeries(AOwner) {}
    void GalleryChanged3D(bool Is3D) override;
    void PrepareForGallery(bool IsEnabled) override;
};

class TWindRoseSeries : public TCustom2DPolarSeries {
    QM_CLASS(TWindRoseSeries)
public:
    explicit TWindRoseSeries(TComponent* AOwner);
    AnsiString GetEditorClass() override { return "TWindRoseEditor"; }
    AnsiString GetCircleLabel(double Angle, int Index) override;
    void PrepareForGallery(bool IsEnabled) override;
};

enum TClockSeriesStyle { cssDecimal, cssRoman };
QM_ENUM_NAMES(TClockSeriesStyle, cssDecimal, cssRoman)

class TClockSeries;
using TClockSeriesGetTimeEvent = std::function<void(TClockSeries* Sender, TDateTime& ATime)>;

class TClockSeries : public TCustom2DPolarSeries {
    QM_CLASS(TClockSeries)
public:
    explicit TClockSeries(TComponent* AOwner);
    ~TClockSeries() override;

    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "TClockEditor"; }
    void SetParentChart(TCustomAxisPanel* Value) override;
    void DoBeforeDrawValues() override;
    void DrawAllValues() override;
    AnsiString GetCircleLabel(double Angle, int Index) override;
    int NumSampleValues() override { return 1; }
    void AddSampleValues(int NumValues) override;

    // Degrees of each hand (measured like polar angles) at a time.
    static void HandAngles(TDateTime Time, double& Hours, double& Minutes, double& Seconds);
    // End point of a hand whose length is Factor half radii.
    TPoint HandEnd(double AngleDeg, double Factor) const;

    TChartPen* PenHours() const { return FPenHours.get(); }
    void SetPenHours(TChartPen* Value) { FPenHours->Assign(Value); }
    TChartPen* PenMinutes() const { return FPenMinutes.get(); }
    void SetPenMinutes(TChartPen* Value) { FPenMinutes->Assign(Value); }
    TChartPen* PenSeconds() const { return FPenSeconds.get(); }
    void SetPenSeconds(TChartPen* Value) { FPenSeconds->Assign(Value); }
    TClockSeriesStyle Style() const { return FStyle; }
    void SetStyle(TClockSeriesStyle Value);
    TTimer* Timer() const { return FTimer.get(); }

    TClockSeriesGetTimeEvent OnGetTime;

private:
    std::unique_ptr<TChartPen> FPenHours;
    std::unique_ptr<TChartPen> FPenMinutes;
    std::unique_ptr<TChartPen> FPenSeconds;
    TClockSeriesStyle FStyle = cssRoman;
    std::unique_ptr<TTimer> FTimer;
    TTeeBlend* FBlend = nullptr;
};
