// The legend: what it lists, its layout, symbols, check boxes and hit test.
#include "chart/control/teelegend.h"
#include "chart/control/chart.h"
#include "chart/engine/teeconst.h"

QM_CLASS_PLAIN(TLegendSymbol, TPersistent)
QM_CLASS_PLAIN(TChartLegendGradient, TTeeGradient)
QM_CLASS_OWNED(TCustomChartLegend, TTeeCustomShapePosition, TCustomTeePanel)
QM_CLASS_OWNED(TChartLegend, TCustomChartLegend, TCustomTeePanel)

TLegendSymbol::TLegendSymbol(TCustomChartLegend* ALegend)
    : FLegend(ALegend), FPen(std::make_unique<TChartPen>([this](TObject*) { Changed(); })) {}
TLegendSymbol::~TLegendSymbol() = default;
void TLegendSymbol::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TLegendSymbol*>(Source)) {
        FContinuous = s->FContinuous;
        FDefaultPen = s->FDefaultPen;
        FPen->Assign(s->FPen.get());
        FPosition = s->FPosition;
        FSquared = s->FSquared;
        FVisible = s->FVisible;
        FWidth = s->FWidth;
        FWidthUnits = s->FWidthUnits;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}
void TLegendSymbol::Changed() {
    if (FLegend) FLegend->Repaint();
}
#define QM_SET(Field, Value)                                                                       \
    if (Field == Value) return;                                                                    \
    Field = Value;                                                                                 \
    Changed();
void TLegendSymbol::SetContinuous(bool Value) {
    QM_SET(FContinuous, Value)
}
void TLegendSymbol::SetDefaultPen(bool Value) {
    QM_SET(FDefaultPen, Value)
}
void TLegendSymbol::SetPosition(TLegendSymbolPosition Value) {
    QM_SET(FPosition, Value)
}
void TLegendSymbol::SetSquared(bool Value) {
    QM_SET(FSquared, Value)
}
void TLegendSymbol::SetVisible(bool Value) {
    QM_SET(FVisible, Value)
}
void TLegendSymbol::SetWidth(int Value) {
    QM_SET(FWidth, Value)
}
void TLegendSymbol::SetWidthUnits(TLegendSymbolSize Value) {
    QM_SET(FWidthUnits, Value)
}
#undef QM_SET
int TLegendSymbol::CalcWidth(int Value) {
    (void)Value;
    return FWidth;
}

TChartLegendGradient::TChartLegendGradient(TNotifyEvent OnChange) : TTeeGradient(OnChange) {}

TCustomChartLegend::TCustomChartLegend(TCustomTeePanel* AOwner)
    : TTeeCustomShapePosition(AOwner), FDividingLines(std::make_unique<TChartHiddenPen>(Changer())),
      FSymbol(std::make_unique<TLegendSymbol>(this)) {}
TCustomChartLegend::~TCustomChartLegend() = default;
void TCustomChartLegend::Assign(TPersistent* Source) {
    TTeeCustomShapePosition::Assign(Source);
}
void TCustomChartLegend::SetFirstValue(int Value) {
    if (Value < 0) throw LegendException(TeeMsg_LegendFirstValue);
    FFirstValue = Value;
}
TCustomChart* TCustomChartLegend::Chart() const {
    return dynamic_cast<TCustomChart*>(ParentChart());
}
AnsiString TCustomChartLegend::FormattedLegend(int) {
    return AnsiString();
}
AnsiString TCustomChartLegend::FormattedValue(TChartSeries*, int) {
    return AnsiString();
}
void TCustomChartLegend::DrawLegend() {}
int TCustomChartLegend::Clicked(int, int) {
    return -1;
}
