#pragma once
// Bezier series (unit Teebezie): a curve through the points taken as control points.
#include "chart/control/series.h"

enum TBezierStyle { bsWindows, bsBezier3, bsBezier4 };
QM_ENUM_NAMES(TBezierStyle, bsWindows, bsBezier3, bsBezier4)

class TBezierSeries : public TCustomSeries {
    QM_CLASS(TBezierSeries)
public:
    explicit TBezierSeries(TComponent* AOwner);

    void Assign(TPersistent* Source) override;
    void DrawAllValues() override;
    void SetSeriesColor(TColor Value) override;
    void PrepareForGallery(bool IsEnabled) override;

    TBezierStyle BezierStyle() const { return FBezierStyle; }
    void SetBezierStyle(TBezierStyle Value);
    int NumBezierPoints() const { return FNumBezierPoints; }
    // Raises ChartException below 2.
    void SetNumBezierPoints(int Value);

private:
    TBezierStyle FBezierStyle = bsWindows;
    int FNumBezierPoints = 32;
};
