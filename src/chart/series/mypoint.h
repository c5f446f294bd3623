#pragma once
// Joined series (unit Mypoint):
//   TMyPointSeries   points with lines to both axes ("Line Point")
//   TBarJoinSeries   bars whose tops are joined by a line
#include "chart/control/series.h"

class TMyPointSeries : public TPointSeries {
    QM_CLASS(TMyPointSeries)
public:
    explicit TMyPointSeries(TComponent* AOwner);
    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "TLinePointEditor"; }
    void DrawValue(int ValueIndex) override;

    TChartPen* LinesPen() const { return FLinesPen.get(); }
    void SetLinesPen(TChartPen* Value) { FLinesPen->Assign(Value); }

private:
    std::unique_ptr<TChartPen> FLinesPen;
};

class TBarJoinSeries : public TBarSeries {
    QM_CLASS(TBarJoinSeries)
public:
    explicit TBarJoinSeries(TComponent* AOwner);
    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "TBarJoinEditor"; }
    void DoBeforeDrawChart() override;
    void DrawAllValues() override;
    void DrawBar(int BarIndex, int StartPos, int EndPos) override;
    int NumSampleValues() override { return 3; }
    void PrepareForGallery(bool IsEnabled) override;

    TChartPen* JoinPen() const { return FJoinPen.get(); }
    void SetJoinPen(TChartPen* Value) { FJoinPen->Assign(Value); }

private:
    std::unique_ptr<TChartPen> FJoinPen;
    TRect FPrevious;
    bool FFirst = true;
};
