// The legend.
//   symbol and settings      TLegendSymbol, setters, stored properties
//   what is listed           style, item count, texts
//   layout and drawing       DrawLegend: rows and columns, placement, items, room
//   hit test                 Clicked, DoMouseDown; PaintSeriesLegend for editors
#include "chart/control/teelegend.h"
#include "chart/control/chart.h"
#include "chart/engine/teeconst.h"
#include "chart/engine/teegeometry.h"
#include "chart/engine/teeprocs.h"
#include "platform/classes/props.h"
#include "platform/rtl/rtlmath.h"
#include <algorithm>
#include <cmath>

QM_CLASS_PLAIN(TLegendSymbol, TPersistent)
QM_CLASS_PLAIN(TChartLegendGradient, TTeeGradient)
QM_CLASS_OWNED(TCustomChartLegend, TTeeCustomShapePosition, TCustomTeePanel)
QM_CLASS_OWNED(TChartLegend, TCustomChartLegend, TCustomTeePanel)

QM_PUBLISHED(
    TChartLegendGradient,
    Prop("Direction", &Self::Direction, &Self::SetDirection).Default(gdRightLeft),
    Prop("EndColor", &Self::EndColor, &Self::SetEndColor).Default(clWhite).Idents("TColor"),
    Prop("StartColor", &Self::StartColor, &Self::SetStartColor).Default(clSilver).Idents("TColor"));

QM_PUBLISHED(TLegendSymbol,
             Prop("Continuous", &Self::Continuous, &Self::SetContinuous).Default(false),
             Prop("DefaultPen", &Self::DefaultPen, &Self::SetDefaultPen).Default(true),
             Prop("Pen", &Self::Pen, &Self::SetPen),
             Prop("Position", &Self::Position, &Self::SetPosition).Default(spLeft),
             Prop("Squared", &Self::Squared, &Self::SetSquared).Default(false),
             Prop("Visible", &Self::Visible, &Self::SetVisible).Default(true),
             Prop("Width", &Self::Width, &Self::SetWidth).Default(20),
             Prop("WidthUnits", &Self::WidthUnits, &Self::SetWidthUnits).Default(lcsPercent));

QM_PUBLISHED(
    TChartLegend, Prop("Alignment", &Self::Alignment, &Self::SetAlignment).Default(laRight),
    Prop("Bevel", &Self::Bevel, &Self::SetBevel).Default(bvNone),
    Prop("BevelWidth", &Self::BevelWidth, &Self::SetBevelWidth).Default(2),
    Prop("Brush", &Self::Brush, &Self::SetBrush),
    Prop("CheckBoxes", &Self::CheckBoxes, &Self::SetCheckBoxes).Default(false),
    Prop("Color", &Self::Color, &Self::SetColor).Default(clWhite).Idents("TColor"),
    Prop("ColorWidth", &Self::ColorWidth, &Self::SetColorWidth).Default(20),
    Prop("CurrentPage", &Self::CurrentPage, &Self::SetCurrentPage).Default(true),
    Prop("DividingLines", &Self::DividingLines, &Self::SetDividingLines),
    Prop("FirstValue", &Self::FirstValue, &Self::SetFirstValue).Default(0),
    Prop("Font", &Self::Font, &Self::SetFont),
    Prop("FontSeriesColor", &Self::FontSeriesColor, &Self::SetFontSeriesColor).Default(false),
    Prop("Frame", &Self::Frame, &Self::SetFrame),
    Prop("Gradient", &Self::Gradient, &Self::SetGradient),
    Prop("HorizMargin", &Self::HorizMargin, &Self::SetHorizMargin).Default(0),
    Prop("Inverted", &Self::Inverted, &Self::SetInverted).Default(false),
    Prop("LegendStyle", &Self::LegendStyle, &Self::SetLegendStyle).Default(lsAuto),
    Prop("MaxNumRows", &Self::MaxNumRows, &Self::SetMaxNumRows).Default(10),
    Prop("ResizeChart", &Self::ResizeChart, &Self::SetResizeChart).Default(true),
    Prop("Shadow", &Self::Shadow, &Self::SetShadow),
    Prop("ShapeStyle", &Self::ShapeStyle, &Self::SetShapeStyle).Default(fosRectangle),
    Prop("Symbol", &Self::Symbol, &Self::SetSymbol),
    Prop("TextStyle", &Self::TextStyle, &Self::SetTextStyle).Default(ltsLeftValue),
    Prop("TopPos", &Self::TopPos, &Self::SetTopPos).Default(10),
    Prop("Transparency", &Self::Transparency, &Self::SetTransparency).Default(0),
    Prop("Transparent", &Self::Transparent, &Self::SetTransparent).Default(false),
    Prop("VertMargin", &Self::VertMargin, &Self::SetVertMargin).Default(0),
    Prop("VertSpacing", &Self::VertSpacing, &Self::SetVertSpacing).Default(0),
    Prop("Visible", &Self::Visible, &Self::SetVisible).Default(true));

#define QM_SET_REPAINT(Field, Value, Changed)                                                      \
    if (Field == Value) return;                                                                    \
    Field = Value;                                                                                 \
    Changed;

// ---------------------------------------------------------------------------
// Symbol and settings.

TLegendSymbol::TLegendSymbol(TCustomChartLegend* ALegend)
    : FLegend(ALegend), FPen(std::make_unique<TChartPen>([this](TObject*) { Changed(); })) {}

TLegendSymbol::~TLegendSymbol() = default;

void TLegendSymbol::Assign(TPersistent* Source) {
    auto* s = dynamic_cast<TLegendSymbol*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    FContinuous = s->FContinuous;
    FDefaultPen = s->FDefaultPen;
    FPen->Assign(s->FPen.get());
    FPosition = s->FPosition;
    FSquared = s->FSquared;
    FVisible = s->FVisible;
    FWidth = s->FWidth;
    FWidthUnits = s->FWidthUnits;
    Changed();
}

void TLegendSymbol::Changed() {
    if (FLegend) FLegend->Repaint();
}

void TLegendSymbol::SetContinuous(bool Value) {
    QM_SET_REPAINT(FContinuous, Value, Changed())
}
void TLegendSymbol::SetDefaultPen(bool Value) {
    QM_SET_REPAINT(FDefaultPen, Value, Changed())
}
void TLegendSymbol::SetPosition(TLegendSymbolPosition Value) {
    QM_SET_REPAINT(FPosition, Value, Changed())
}
void TLegendSymbol::SetSquared(bool Value) {
    QM_SET_REPAINT(FSquared, Value, Changed())
}
void TLegendSymbol::SetVisible(bool Value) {
    QM_SET_REPAINT(FVisible, Value, Changed())
}
void TLegendSymbol::SetWidth(int Value) {
    QM_SET_REPAINT(FWidth, Value, Changed())
}
void TLegendSymbol::SetWidthUnits(TLegendSymbolSize Value) {
    QM_SET_REPAINT(FWidthUnits, Value, Changed())
}

int TLegendSymbol::CalcWidth(int Value) {
    if (!FVisible) return 0;
    if (FSquared) return FLegend ? FLegend->CalcItemHeight() - 5 : FWidth;
    if (FWidthUnits == lcsPercent) return PixelPos(FWidth * Value * 0.01);
    return FWidth;
}

TChartLegendGradient::TChartLegendGradient(TNotifyEvent OnChange) : TTeeGradient(OnChange) {
    SetDirection(gdRightLeft);
    SetStartColor(clSilver);
    SetEndColor(clWhite);
}

TCustomChartLegend::TCustomChartLegend(TCustomTeePanel* AOwner)
    : TTeeCustomShapePosition(AOwner), FDividingLines(std::make_unique<TChartHiddenPen>(Changer())),
      FSymbol(std::make_unique<TLegendSymbol>(this)) {}

TCustomChartLegend::~TCustomChartLegend() = default;

std::unique_ptr<TTeeGradient> TCustomChartLegend::NewGradient() {
    return std::make_unique<TChartLegendGradient>();
}

void TCustomChartLegend::Assign(TPersistent* Source) {
    if (auto* l = dynamic_cast<TCustomChartLegend*>(Source)) {
        FAlignment = l->FAlignment;
        FCheckBoxes = l->FCheckBoxes;
        FCurrentPage = l->FCurrentPage;
        FDividingLines->Assign(l->FDividingLines.get());
        FFirstValue = l->FFirstValue;
        FFontSeriesColor = l->FFontSeriesColor;
        FHorizMargin = l->FHorizMargin;
        FInverted = l->FInverted;
        FLegendStyle = l->FLegendStyle;
        FMaxNumRows = l->FMaxNumRows;
        FResizeChart = l->FResizeChart;
        FSymbol->Assign(l->FSymbol.get());
        FTextStyle = l->FTextStyle;
        FTopPos = l->FTopPos;
        FVertMargin = l->FVertMargin;
        FVertSpacing = l->FVertSpacing;
    }
    TTeeCustomShapePosition::Assign(Source);
}

void TCustomChartLegend::SetAlignment(TLegendAlignment Value) {
    QM_SET_REPAINT(FAlignment, Value, Repaint())
}
void TCustomChartLegend::SetCheckBoxes(bool Value) {
    QM_SET_REPAINT(FCheckBoxes, Value, Repaint())
}
void TCustomChartLegend::SetCurrentPage(bool Value) {
    QM_SET_REPAINT(FCurrentPage, Value, Repaint())
}
void TCustomChartLegend::SetFirstValue(int Value) {
    if (Value < 0) throw LegendException(TeeMsg_LegendFirstValue);
    QM_SET_REPAINT(FFirstValue, Value, Repaint())
}
void TCustomChartLegend::SetFontSeriesColor(bool Value) {
    QM_SET_REPAINT(FFontSeriesColor, Value, Repaint())
}
void TCustomChartLegend::SetHorizMargin(int Value) {
    QM_SET_REPAINT(FHorizMargin, Value, Repaint())
}
void TCustomChartLegend::SetInverted(bool Value) {
    QM_SET_REPAINT(FInverted, Value, Repaint())
}
void TCustomChartLegend::SetLegendStyle(TLegendStyle Value) {
    QM_SET_REPAINT(FLegendStyle, Value, Repaint())
}
void TCustomChartLegend::SetMaxNumRows(int Value) {
    QM_SET_REPAINT(FMaxNumRows, Value, Repaint())
}
void TCustomChartLegend::SetResizeChart(bool Value) {
    QM_SET_REPAINT(FResizeChart, Value, Repaint())
}
void TCustomChartLegend::SetTextStyle(TLegendTextStyle Value) {
    QM_SET_REPAINT(FTextStyle, Value, Repaint())
}
void TCustomChartLegend::SetTopPos(int Value) {
    QM_SET_REPAINT(FTopPos, Value, Repaint())
}
void TCustomChartLegend::SetVertMargin(int Value) {
    QM_SET_REPAINT(FVertMargin, Value, Repaint())
}
void TCustomChartLegend::SetVertSpacing(int Value) {
    QM_SET_REPAINT(FVertSpacing, Value, Repaint())
}
void TCustomChartLegend::SetSeries(TChartSeries* Value) {
    if (FSeries == Value) return;
    FSeries = Value;
    Repaint();
}

TCustomChart* TCustomChartLegend::Chart() const {
    return dynamic_cast<TCustomChart*>(ParentChart());
}

// ---------------------------------------------------------------------------
// What is listed.

void TCustomChartLegend::CalcLegendStyle() {
    if (FLegendStyle != lsAuto) {
        FLegendStyleUsed = FLegendStyle;
        return;
    }
    TCustomChart* c = Chart();
    FLegendStyleUsed = (!FCheckBoxes && c && c->CountActiveSeries() < 2) ? lsValues : lsSeries;
}

TChartSeries* TCustomChartLegend::LegendSeries() const {
    if (FSeries) return FSeries;
    TCustomChart* c = Chart();
    return c ? c->GetASeries() : nullptr;
}

TLegendStyle TCustomChartLegend::LegendStyleUsed() {
    CalcLegendStyle();
    return FLegendStyleUsed;
}

bool TCustomChartLegend::HasCheckBoxes() {
    return FCheckBoxes && LegendStyleUsed() != lsValues;
}

bool TCustomChartLegend::ShouldDraw() {
    if (!Visible()) return false;
    CalcLegendStyle();
    TCustomChart* c = Chart();
    return HasCheckBoxes() || (c && c->CountActiveSeries() > 0);
}

AnsiString TCustomChartLegend::FormattedValue(TChartSeries* ASeries, int ValueIndex) {
    if (!ASeries || ValueIndex == -1) return AnsiString();
    std::string s = ASeries->LegendString(ValueIndex, FTextStyle).str();
    std::replace(s.begin(), s.end(), TeeLineSeparator, ' ');
    return AnsiString(s);
}

AnsiString TCustomChartLegend::FormattedLegend(int Index) {
    TCustomChart* c = Chart();
    if (!c) return AnsiString();
    switch (LegendStyleUsed()) {
    case lsSeries:
        return c->SeriesTitleLegend(Index, !FCheckBoxes);
    case lsValues:
        return c->FormattedValueLegend(LegendSeries(), Index);
    case lsLastValues: {
        TChartSeries* s = c->SeriesLegend(Index, !FCheckBoxes);
        return s ? c->FormattedValueLegend(s, s->Count() - 1) : AnsiString();
    }
    default:
        return AnsiString();
    }
}

int TCustomChartLegend::CountItems() {
    TCustomChart* c = Chart();
    if (!c) return 0;
    if (FLegendStyleUsed == lsValues) {
        TChartSeries* s = LegendSeries();
        return s ? s->CountLegendItems() : 0;
    }
    int n = 0;
    for (int i = 0; i < c->SeriesCount(); ++i) {
        TChartSeries* s = c->GetSeries(i);
        if (s->ShowInLegend() && (FCheckBoxes || s->Active())) ++n;
    }
    return n;
}

int TCustomChartLegend::CalcItemHeight() {
    TCustomTeePanel* c = ParentChart();
    // In the legend's font, whatever the canvas last wrote in.
    if (c) c->Canvas()->AssignFont(Font());
    int h = c ? c->Canvas()->FontHeight() : 0;
    if (HasCheckBoxes()) h = std::max(h, 17);
    h += FVertSpacing;
    if (Vertical() && FDividingLines->Visible()) h += FDividingLines->Width();
    return h;
}

// Splits each item's text at the column separator into two cells and measures them.
void TCustomChartLegend::CalcTexts(int FirstIndex, int LastIndex) {
    TCustomChart* c = Chart();
    for (auto& v : FCells)
        v.clear();
    FColumnWidths[0] = FColumnWidths[1] = 0;
    for (int i = FirstIndex; i <= LastIndex; ++i) {
        const std::string t = c->FormattedLegend(i).str();
        const size_t sep = t.find(TeeColumnSeparator);
        AnsiString cell0(sep == std::string::npos ? t : t.substr(0, sep));
        AnsiString cell1(sep == std::string::npos ? std::string() : t.substr(sep + 1));
        FColumnWidths[0] = std::max(FColumnWidths[0], c->Canvas()->TextWidth(cell0));
        FColumnWidths[1] = std::max(FColumnWidths[1], c->Canvas()->TextWidth(cell1));
        FCells[0].push_back(cell0);
        FCells[1].push_back(cell1);
    }
}

bool TCustomChartLegend::RightAligned(int Cell) const {
    if (FLegendStyleUsed == lsSeries) return false;
    switch (FTextStyle) {
    case ltsLeftValue:
    case ltsLeftPercent:
    case ltsXValue:
    case ltsValue:
    case ltsPercent:
        return Cell == 0;
    case ltsRightValue:
    case ltsRightPercent:
        return Cell == 1;
    case ltsXAndValue:
    case ltsXAndPercent:
        return true;
    default:
        return false;
    }
}

// ---------------------------------------------------------------------------
// Layout and drawing.

void TCustomChartLegend::DrawLegend() {
    TCustomChart* c = Chart();
    if (!c) return;
    TCanvas3D* canvas = c->Canvas();
    CalcLegendStyle();
    const bool paging = FLegendStyleUsed == lsValues && FCurrentPage && c->MaxPointsPerPage() > 0;
    FFirstShown = paging ? (c->Page() - 1) * c->MaxPointsPerPage() : FFirstValue;

    int n = std::max(0, CountItems() - FFirstShown);
    if (paging) n = std::min(n, c->MaxPointsPerPage());
    FTotalLegendItems = n;

    c->LegendColor = Color();
    canvas->AssignFont(Font());
    const int sw = canvas->TextWidth(" ");
    const int h = CalcItemHeight();
    FItemHeight = h;
    int fw = Pen()->Visible() ? Pen()->Width() : 0;
    if (Bevel() != bvNone) fw = BevelWidth();
    const int framePen = Pen()->Visible() ? Pen()->Width() : 0;
    const bool boxes = HasCheckBoxes();
    TRect r = ShapeBounds();
    const TRect chartRect = c->ChartRect();
    const int chartShadow = c->Shadow()->Size();

    int tw = 0;
    if (!Vertical()) {
        FLastValue = FFirstShown + n - 1;
        CalcTexts(FFirstShown, FLastValue);
        tw = sw * 2 - 1 + FColumnWidths[0] + FColumnWidths[1];
        FSymbolWidth = FSymbol->CalcWidth(tw);
        if (!CustomPosition()) {
            if (FAlignment == laBottom)
                r.Bottom = chartRect.Bottom - chartShadow - fw - 1;
            else
                r.Top = chartRect.Top + fw + 1;
        }
        const int first = FSymbolWidth + tw + 8 + (boxes ? 27 : 0);
        FNumCols = chartRect.Right > 8 && first > 0
                       ? std::min(n, (c->ChartWidth() - 2 * framePen - 8) / first)
                       : 0;
        FNumRows = FNumCols > 0 ? std::min(FMaxNumRows, (n + FNumCols - 1) / FNumCols) : 0;
        FLastValue = FFirstShown + std::min(n, FNumCols * FNumRows) - 1;
    } else {
        if (!CustomPosition()) {
            const TRect b = c->ChartBounds();
            const int top = b.Top + PixelPos(FTopPos * b.Height() * 0.01);
            r.Bottom += top - r.Top;
            r.Top = top;
        }
        FNumCols = 1;
        FNumRows = (chartRect.Bottom > r.Top && h >= 1)
                       ? std::min(n, (c->ChartHeight() + chartRect.Top - r.Top - 2 * framePen) / h)
                       : 0;
        FNumRows = std::max(FNumRows, 0);
        FLastValue = FFirstShown + std::min(n, FNumRows) - 1;
        CalcTexts(FFirstShown, FLastValue);
        // The blank drawn between the two cells is part of the text, so a
        // symbol placed after the text stands clear of the second cell.
        tw = FColumnWidths[0] + FColumnWidths[1] + (FColumnWidths[1] > 0 ? sw : 0);
        FSymbolWidth = FSymbol->CalcWidth(tw + 10);
    }
    if (FLastValue < FFirstShown) return;

    const int height = h * FNumRows + 2;
    if (!Vertical() && FAlignment == laBottom && !CustomPosition())
        r.Top = r.Bottom - height;
    else
        r.Bottom = r.Top + height;

    int checkX = 0, start = 0;
    if (!Vertical()) {
        const int iw = tw + FSymbolWidth;
        int total = iw * FNumCols + 12 + (FNumCols - 1) * 6;
        if (boxes) total += FNumCols * 13 + 8;
        const int half = std::min(c->ChartWidth(), total) / 2;
        if (!CustomPosition())
            r.Left = PixelPos(FTopPos * 1.0 * (c->ChartBounds().Width() - 2 * half) * 0.01) +
                     c->ChartXCenter() - half;
        r.Right = r.Left + 2 * half;
        checkX = r.Left + 4;
        start = boxes ? r.Left + 15 : r.Left;
    } else {
        // As wide as its texts need, and a space and its frame after the
        // last, so the last digit shows whole.
        const int width = tw + 10 + FSymbolWidth + sw + fw;
        if (FAlignment == laLeft || CustomPosition()) {
            if (!CustomPosition()) r.Left = chartRect.Left + (Pen()->Visible() ? fw + 1 : 0);
        } else {
            r.Right = chartRect.Right - ShadowSize() - (Pen()->Visible() ? fw + 1 : 0);
            r.Left = r.Right - width - (boxes ? 15 : 0);
        }
        checkX = r.Left + 4;
        start = boxes ? checkX + 11 : r.Left;
        r.Right = start + width;
    }
    if (c->OnGetLegendRect) c->OnGetLegendRect(c, r);
    SetShapeBounds(r);
    Draw();

    const int count = FLastValue - FFirstShown + 1;
    for (int p = 0; p < count; ++p) {
        const int item = FInverted ? count - 1 - p : p;
        const int row = Vertical() ? p : p / FNumCols;
        int y = r.Top + 1 + h * row + FVertSpacing / 2;
        int x = start;
        int cx = checkX;
        if (!Vertical()) {
            const int step = (p % FNumCols) * (tw + FSymbolWidth + (boxes ? 21 : 6));
            x += step;
            cx += step;
        }
        int textX, symX;
        if (FSymbol->Position() == spRight) {
            textX = x + 6;
            symX = textX + tw;
        } else {
            symX = x + 6;
            textX = symX + FSymbolWidth + 4;
        }
        if (c->OnGetLegendPos) c->OnGetLegendPos(c, FFirstShown + item, textX, y, symX);
        DrawItem(FFirstShown + item, item, p, count, textX, symX, cx, y, h);
        if (p > 0 && FDividingLines->Visible()) {
            canvas->AssignVisiblePen(FDividingLines.get());
            if (Vertical())
                canvas->DoHorizLine(r.Left, r.Right, y - FVertSpacing / 2);
            else
                canvas->DoVertLine(x, r.Top, r.Bottom);
        }
    }

    // The room the legend takes from the plotting area.
    TRect cr = c->ChartRect();
    if (FResizeChart && !CustomPosition()) {
        switch (FAlignment) {
        case laLeft:
            cr.Left = r.Right;
            break;
        case laRight:
            cr.Right = r.Left;
            break;
        case laTop:
            cr.Top = r.Bottom + chartShadow;
            break;
        case laBottom:
            cr.Bottom = r.Top;
            break;
        }
    }
    if (Vertical()) {
        const int m = FHorizMargin ? FHorizMargin : 3 * c->ChartWidth() / 100;
        if (FAlignment == laRight)
            cr.Right -= m;
        else
            cr.Left += m;
    } else {
        const int m = FVertMargin ? FVertMargin : 4 * c->ChartHeight() / 100;
        if (FAlignment == laTop)
            cr.Top += m;
        else
            cr.Bottom -= m;
    }
    c->SetChartRect(cr);
    c->ReCalcWidthHeight();
}

void TCustomChartLegend::DrawItem(int Index, int Cell, int Position, int Count, int TextX, int SymX,
                                  int CheckX, int Y, int H) {
    TCustomChart* c = Chart();
    TCanvas3D* canvas = c->Canvas();
    TChartSeries* series = nullptr;
    int valueIndex = -1;
    if (FLegendStyleUsed == lsValues) {
        series = LegendSeries();
        if (series) valueIndex = series->LegendToValueIndex(Index);
    } else {
        series = c->SeriesLegend(Index, !FCheckBoxes);
    }
    canvas->AssignFont(Font());
    if (FFontSeriesColor && series)
        canvas->Font()->SetColor(valueIndex >= 0 ? series->ValueColor(valueIndex)
                                                 : series->SeriesColor());
    // The previous item's symbol may have left the background opaque in its colour,
    // and the series' marks (drawn before a legend placed by hand) their texts centred.
    canvas->SetBackMode(cbmTransparent);
    canvas->SetTextAlign(TA_LEFT | TA_TOP);
    int x = TextX;
    const int sw = canvas->TextWidth(" ");
    for (int k = 0; k < 2; ++k) {
        const AnsiString& text = FCells[k][static_cast<size_t>(Cell)];
        const bool right = RightAligned(k);
        if (!text.IsEmpty()) {
            const int tx = right ? x + FColumnWidths[k] - canvas->TextWidth(text) : x;
            canvas->TextOut(tx, Y, text);
        }
        x += FColumnWidths[k] + sw;
    }

    TRect sym(SymX, Y, SymX + FSymbolWidth, Y + H + 1);
    if (!FSymbol->Continuous() || Position == 0) sym.Top += 2;
    if (!FSymbol->Continuous() || Position == Count - 1) sym.Bottom -= FVertSpacing + 3;
    if (HasCheckBoxes() && series)
        TeeDrawCheckBox(CheckX, Y + (H - 11) / 2, canvas->PlatformCanvas(), series->Active(),
                        Color());
    if (FSymbolWidth <= 0) return;
    c->LegendPen = FSymbol->DefaultPen() ? nullptr : FSymbol->Pen();
    TTeeFinally forget([c] { c->LegendPen = nullptr; });
    if (series) {
        if (FLegendStyleUsed == lsValues)
            series->DrawLegend(valueIndex, sym);
        else if (series->Active() || !HasCheckBoxes())
            series->DrawLegend(-1, sym);
    } else {
        canvas->Brush()->SetColor(Color());
        canvas->Rectangle(sym);
    }
}

// ---------------------------------------------------------------------------
// Hit test.

int TCustomChartLegend::Clicked(int X, int Y) {
    const TRect r = ShapeBounds();
    if (!PtInRect(r, TPoint(X, Y)) || FNumRows <= 0) return -1;
    if (TCustomTeePanel* c = ParentChart()) c->Canvas()->AssignFont(Font());
    const int h = CalcItemHeight();
    int rowHit = -1;
    for (int row = 0; row < FNumRows; ++row) {
        const int top = r.Top + 1 + h * row;
        if (Y >= top && Y <= top + h) {
            rowHit = FInverted ? FNumRows - row - 1 : row;
            break;
        }
    }
    if (Vertical()) return rowHit;
    if (FNumCols <= 0 || rowHit == -1) return -1;
    const int width = (r.Right - r.Left) / FNumCols;
    int result = -1;
    for (int col = 0; col < FNumCols; ++col) {
        const int left = r.Left + 1 + col * width;
        if (X >= left && X <= left + width)
            result = FNumCols * rowHit + (FInverted ? FNumCols - col - 1 : col);
    }
    if (result > FTotalLegendItems - 1) return -1;
    return result;
}

bool TCustomChartLegend::DoMouseDown(int X, int Y) {
    if (!HasCheckBoxes()) return false;
    const int i = Clicked(X, Y);
    if (i == -1) return false;
    TCustomChart* c = Chart();
    TChartSeries* s = c ? c->SeriesLegend(FFirstShown + i, false) : nullptr;
    if (!s) return false;
    s->SetActive(!s->Active());
    return true;
}

void PaintSeriesLegend(TChartSeries* Series, TCanvas* ACanvas, const TRect& R) {
    std::unique_ptr<TChart> temp;
    TCustomAxisPanel* chart = Series->ParentChart();
    if (!chart) {
        temp = std::make_unique<TChart>();
        temp->SetAutoRepaint(false);
        Series->SetParentChart(temp.get());
        chart = temp.get();
    }
    TTeeFinally detach([&] {
        if (temp) Series->SetParentChart(nullptr);
    });
    auto* c = dynamic_cast<TCustomChart*>(chart);
    ACanvas->Brush()->SetStyle(bsSolid);
    if (c) ACanvas->Brush()->SetColor(c->Legend()->Color());
    TCanvas3D* canvas = chart->Canvas();
    if (canvas->SupportsFullRotation()) return;
    // The symbol is outlined as the chart's own legend outlines it.
    if (c)
        c->LegendPen = c->Legend()->Symbol()->DefaultPen() ? nullptr : c->Legend()->Symbol()->Pen();
    TCanvas* old = canvas->PlatformCanvas();
    canvas->SetCanvas(ACanvas);
    TTeeFinally back([&] {
        canvas->SetCanvas(old);
        if (c) c->LegendPen = nullptr;
    });
    Series->DrawLegend(-1, R);
}
