#pragma once
// Gantt series (series_gantt.cpp): tasks as bars from a start to an end on a
// row, with lines that lead to each task's next task.
#include "chart/control/series.h"

class TGanttSeries : public TPointSeries {
    QM_CLASS(TGanttSeries)
public:
    explicit TGanttSeries(TComponent* AOwner);

    AnsiString GetEditorClass() override { return "TGanttSeriesEditor"; }
    int AddXY(double X, double Y, const AnsiString& Label = "",
              TColor Color = clAutoColor) override;
    using TChartSeries::AddXY;
    void AddSampleValues(int NumValues) override;
    void PrepareForGallery(bool IsEnabled) override;
    bool IsValidSourceOf(TChartSeries* Value) override;
    void DrawValue(int ValueIndex) override;
    void DrawMark(int ValueIndex, const AnsiString& St, TSeriesMarkPosition* APosition) override;
    bool ClickedPointer(int ValueIndex, int PX, int PY, int X, int Y) override;
    double MaxXValue() override;

    int AddGanttColor(double AStart, double AEnd, double AY, const AnsiString& ALabel,
                      TColor AColor);
    int AddGantt(double AStart, double AEnd, double AY, const AnsiString& ALabel = "") {
        return AddGanttColor(AStart, AEnd, AY, ALabel, clAutoColor);
    }

    TChartPen* ConnectingPen() const { return LinePen(); }
    void SetConnectingPen(TChartPen* Value) { SetLinePen(Value); }
    TChartValueList* StartValues() const { return XValues(); }
    void SetStartValues(TChartValueList* Value) { SetXValues(Value); }
    TChartValueList* EndValues() const { return FEndValues; }
    void SetEndValues(TChartValueList* Value) { SetChartValueList(FEndValues, Value); }
    TChartValueList* NextTask() const { return FNextTask; }
    void SetNextTask(TChartValueList* Value) { SetChartValueList(FNextTask, Value); }

private:
    TChartValueList* FEndValues; // owned by the series' value lists
    TChartValueList* FNextTask;
};
