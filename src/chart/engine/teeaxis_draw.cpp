// Drawing of one axis: title, labels, line, ticks, grid, inner and minor ticks.
#include "chart/engine/teeaxis.h"
#include "chart/engine/teeaxispanel.h"
#include "chart/engine/teeseries.h"
#include "platform/rtl/rtlmath.h"
#include <cmath>
#include <vector>

namespace {
// Lines of a text split at TeeLineSeparator; a trailing empty part is no line.
std::vector<AnsiString> SplitLines(const AnsiString& Text) {
    std::vector<AnsiString> result;
    const std::string& s = Text.str();
    size_t start = 0;
    while (start < s.size()) {
        size_t end = s.find(TeeLineSeparator, start);
        if (end == std::string::npos) end = s.size();
        result.emplace_back(s.substr(start, end - start));
        start = end + 1;
    }
    return result;
}

// Alignment of a label by axis kind: [horizontal][other side].
constexpr UINT AlignT[2][2] = {{TA_RIGHT, TA_LEFT}, {TA_CENTER, TA_CENTER | TA_BOTTOM}};
constexpr UINT AlignU[2] = {TA_CENTER, TA_CENTER | TA_BOTTOM};
} // namespace

void TChartAxis::Draw(bool CalcPosAxis) {
    if (!FParentChart) return;
    TCanvas3D* canvas = FParentChart->Canvas();
    const TRect r = FParentChart->ChartRect();
    IAxisDateTime = IsDateTime();
    if (CalcPosAxis) PosAxis = ApplyPosition(GetRectangleEdge(r), r);
    if (FTitle->Visible() && !FTitle->Caption().IsEmpty()) {
        if (IsDepthAxis)
            DrawTitle(PosTitle, r.Bottom);
        else if (FHorizontal)
            DrawTitle(ICenterPos, PosTitle);
        else
            DrawTitle(PosTitle, ICenterPos);
    }
    Tick.clear();
    DrawLabelsAndCollectTicks();

    canvas->Brush()->SetStyle(bsClear);
    canvas->SetBackMode(cbmTransparent);
    if (FAxis->Visible()) {
        canvas->AssignVisiblePen(FAxis.get());
        DrawAxisLine();
    }
    if (FTicks->Visible()) {
        canvas->AssignVisiblePen(FTicks.get());
        for (int t : Tick)
            DrawTick(t, 1, FTickLength);
    }
    if (FGrid->Visible()) {
        if (FGrid->Color() == clAutoColor)
            canvas->AssignVisiblePenColor(FGrid.get(), clGray);
        else
            canvas->AssignVisiblePen(FGrid.get());
        FParentChart->CheckPenWidth(canvas->Pen());
        if (OnDrawGrids) OnDrawGrids(this);
        for (size_t i = 0; i < Tick.size(); ++i) {
            int p;
            if (FGrid->Centered()) {
                if (i == 0) continue;
                p = AxisPixel((Tick[i] + Tick[i - 1]) * 0.5);
            } else {
                p = Tick[i];
            }
            if (IStartPos < p && p < IEndPos) DrawGridLine(p);
        }
    }
    if (FTicksInner->Visible()) {
        canvas->AssignVisiblePen(FTicksInner.get());
        for (int t : Tick)
            DrawTick(t, -1, -FTickInnerLength);
    }
    if (FMinorTicks->Visible()) DrawMinor(false);
    if (FMinorGrid->Visible()) DrawMinor(true);
    canvas->SetBackMode(cbmOpaque);
}

void TChartAxis::DrawTitle(int X, int Y) {
    TCanvas3D* canvas = FParentChart->Canvas();
    canvas->AssignFont(FTitle->Font());
    canvas->SetBackMode(cbmTransparent);
    if (IsDepthAxis) {
        canvas->SetTextAlign(TA_LEFT);
        canvas->TextOut3D(X, Y, FParentChart->Width3D() / 2, FTitle->Caption());
        return;
    }
    // The title never draws with exponents, whatever the labels do.
    TTeeValueScope noExponent(FLabelsExponent, false);
    DrawAxisLabel(X, Y, FTitle->Angle(), FTitle->Caption(), FTitle.get());
}

void TChartAxis::DrawThisLabel(TLabelWalk& W, int LabelPos, const AnsiString& Text,
                               TAxisItem* Item) {
    (void)W;
    if (FTickOnLabelsOnly) AddTick(LabelPos);
    TCanvas3D* canvas = FParentChart->Canvas();
    canvas->AssignFont(Item ? Item->Font() : LabelsFont());
    if (IsDepthAxis) {
        canvas->SetTextAlign(TA_LEFT);
        int depth = LabelPos;
        TView3DOptions* o = FParentChart->View3DOptions();
        if (o && (o->Orthogonal() || o->Rotation() == 360)) depth += canvas->FontHeight() / 2;
        canvas->TextOut3D(PosLabels, FParentChart->ChartRect().Bottom, depth, Text);
    } else if (FHorizontal) {
        DrawAxisLabel(LabelPos, PosLabels, FLabelsAngle, Text, Item);
    } else {
        DrawAxisLabel(PosLabels, LabelPos, FLabelsAngle, Text, Item);
    }
}

void TChartAxis::DrawAxisLabel(int X, int Y, int Angle, const AnsiString& St,
                               TTeeCustomShape* Format) {
    TCanvas3D* canvas = FParentChart->Canvas();
    const int fontHeight = canvas->FontHeight();
    const int hf = fontHeight / 2;
    const int hz = FHorizontal ? 1 : 0;
    const int os = FOtherSide ? 1 : 0;
    UINT align = TA_LEFT;
    switch (Angle) {
    case 0:
    case 360:
        if (FHorizontal || FLabelsAlign == alDefault) {
            align = AlignT[hz][os];
        } else if (FOtherSide) {
            align = TA_RIGHT;
            X += SizeLabels();
        } else {
            align = TA_LEFT;
            X -= SizeLabels();
        }
        if (!FHorizontal) Y -= hf;
        break;
    case 90:
        if (FHorizontal) {
            align = AlignT[0][os];
            X -= hf;
        } else {
            align = AlignU[FOtherSide ? 0 : 1];
        }
        break;
    case 180:
        align = AlignT[hz][1 - os];
        if (!FHorizontal) Y += hf;
        break;
    case 270:
        if (FHorizontal) {
            align = AlignT[0][1 - os];
            X += hf;
        } else {
            align = AlignU[os];
        }
        break;
    case 45:
        align = TA_LEFT;
        if (FHorizontal) {
            if (FOtherSide) {
                const int w = canvas->TextWidth("Wj");
                X -= w;
                Y -= w;
            } else {
                const int s = AxisPixel(canvas->TextWidth(St) * std::sin(M_PI / 4));
                X -= s;
                Y += s;
            }
        }
        break;
    default:
        align = TA_LEFT;
        break;
    }

    const std::vector<AnsiString> lines = SplitLines(St);
    const int n = static_cast<int>(lines.size());
    int h = fontHeight;
    if (Angle == 180 || Angle == 270) h = -h;
    const int t = AxisPixel(double(h) * n);
    const int half = AxisPixel(h * 0.5 * (n + 1));
    if (FHorizontal) {
        if (Angle == 0)
            Y -= FOtherSide ? t : h;
        else if (Angle == 180)
            Y -= FOtherSide ? h : t;
        else if (Angle == 90 || Angle == 270)
            X -= half;
    } else {
        if (Angle == 0 || Angle == 180)
            Y -= half;
        else if (Angle == 90)
            X -= FOtherSide ? h : t;
        else if (Angle == 270)
            X -= FOtherSide ? t : h;
    }

    TTeeCustomShape* shape = Format ? Format : FItems->Format();
    if (!shape->Transparent()) {
        const int m = canvas->TextWidth("W") / 2;
        int numLines = 0;
        const int width = FParentChart->MultiLineTextWidth(St, numLines);
        TRect r(X, Y + h, X + width, Y + h + fontHeight * n);
        if (align & TA_BOTTOM) {
            r.Top -= r.Bottom - r.Top;
            r.Bottom = Y + h;
        }
        if ((align & TA_HORZ_MASK) == TA_CENTER) {
            r.Left -= width / 2;
            r.Right -= width / 2;
        } else if ((align & TA_HORZ_MASK) == TA_RIGHT) {
            r.Left = X - width;
            r.Right = X;
        }
        r.Left -= m;
        r.Right += m;
        if (IZPos != 0) r = canvas->CalcRect3D(r, IZPos);
        shape->DrawRectRotated(r, FLabelsAngle, IZPos);
        canvas->Brush()->SetStyle(bsClear);
    }

    // The grids leave the back mode opaque; a label's box is its shape's only.
    canvas->SetBackMode(cbmTransparent);
    canvas->SetTextAlign(align);
    for (const AnsiString& line : lines) {
        if (Angle == 0) {
            Y += h;
            if (FLabelsExponent)
                DrawExponentLabel(X, Y, line, align);
            else
                canvas->TextOut3D(X, Y, IZPos, line);
            continue;
        }
        if (Angle == 180)
            Y += h;
        else if (Angle == 90 || Angle == 270)
            X += h;
        canvas->RotateLabel3D(X, Y, IZPos, line, Angle);
    }
    canvas->SetTextAlign(TA_LEFT);
}

void TChartAxis::DrawExponentLabel(int X, int Y, const AnsiString& Text, UINT Align) {
    TCanvas3D* canvas = FParentChart->Canvas();
    const int i = Text.UpperCase().Pos("E");
    if (i == 0) {
        canvas->TextOut3D(X, Y, IZPos, Text);
        return;
    }
    const AnsiString mantissa = Text.SubString(1, i - 1);
    const AnsiString exponent = Text.SubString(i + 1, Text.Length() - i);
    const int g = canvas->FontHeight() - 1;
    TFont* font = canvas->Font();
    const int oldSize = font->Size();
    const int smallSize = oldSize - oldSize / 4;
    const int ey = Y - g / 2 + 2;
    if ((Align & TA_HORZ_MASK) == TA_LEFT) {
        canvas->TextOut3D(X, Y, IZPos, mantissa);
        const int w = canvas->TextWidth(mantissa);
        font->SetSize(smallSize);
        canvas->TextOut3D(X + w + 1, ey, IZPos, exponent);
    } else {
        font->SetSize(smallSize);
        canvas->TextOut3D(X, ey, IZPos, exponent);
        const int w = canvas->TextWidth(exponent);
        font->SetSize(oldSize);
        canvas->TextOut3D(X - (w + 1), Y, IZPos, mantissa);
    }
    font->SetSize(oldSize);
}

// ---------------------------------------------------------------------------
// Lines

void TChartAxis::DrawAxisLine() {
    TCanvas3D* canvas = FParentChart->Canvas();
    const TRect r = FParentChart->ChartRect();
    const int w = FParentChart->CalcWallSize(this);
    if (IsDepthAxis) {
        const int b = FParentChart->CalcWallSize(FParentChart->BottomAxis());
        canvas->ZLine3D(PosAxis, r.Bottom + b - IZPos, IStartPos, IEndPos);
    } else if (FHorizontal) {
        if (FOtherSide) {
            canvas->HorizLine3D(IStartPos, IEndPos, PosAxis, IZPos);
        } else {
            const int l = FParentChart->CalcWallSize(FParentChart->LeftAxis());
            const int rr = FParentChart->CalcWallSize(FParentChart->RightAxis());
            canvas->HorizLine3D(IStartPos - l, IEndPos + rr, PosAxis + w, IZPos);
        }
    } else {
        const int b = FParentChart->CalcWallSize(FParentChart->BottomAxis());
        canvas->VertLine3D(FOtherSide ? PosAxis + w : PosAxis - w, IStartPos, IEndPos + b, IZPos);
    }
}

void TChartAxis::DrawTick(int P, int Delta, int Length) {
    TCanvas3D* canvas = FParentChart->Canvas();
    const bool is3D = FParentChart->View3D();
    const int w = FParentChart->CalcWallSize(this);
    if (IsDepthAxis) {
        canvas->HorizLine3D(PosAxis + Delta, PosAxis + Delta + Length,
                            FParentChart->ChartRect().Bottom, P);
    } else if (FHorizontal) {
        if (FOtherSide) {
            canvas->VertLine3D(P, PosAxis - Delta, PosAxis - Delta - Length, IZPos);
        } else {
            const int y0 = PosAxis + Delta + w;
            if (is3D)
                canvas->VertLine3D(P, y0, y0 + Length, IZPos);
            else
                canvas->DoVertLine(P, y0, y0 + Length);
        }
    } else if (FOtherSide) {
        canvas->HorizLine3D(PosAxis + Delta + w, PosAxis + Delta + w + Length, P, IZPos);
    } else {
        const int x0 = PosAxis - Delta - w;
        if (is3D)
            canvas->HorizLine3D(x0, x0 - Length, P, IZPos);
        else
            canvas->DoHorizLine(x0, x0 - Length, P);
    }
}

void TChartAxis::DrawGridLine(int P) {
    TCanvas3D* canvas = FParentChart->Canvas();
    const TRect r = FParentChart->ChartRect();
    if (IsDepthAxis) {
        canvas->VertLine3D(r.Left, r.Top, r.Bottom, P);
        canvas->HorizLine3D(r.Left, r.Right, r.Bottom, P);
        return;
    }
    if (!FParentChart->View3D()) {
        if (FHorizontal)
            canvas->DoVertLine(P, r.Top + 1, r.Bottom);
        else
            canvas->DoHorizLine(r.Left + 1, r.Right, P);
        return;
    }
    const int depth = FParentChart->Width3D();
    if (!FParentChart->View3DWalls()) {
        if (FHorizontal)
            canvas->VertLine3D(P, r.Top + 1, r.Bottom, 0);
        else
            canvas->HorizLine3D(r.Left + 1, r.Right, P, 0);
        return;
    }
    if (!HideBackGrid) {
        if (FHorizontal)
            canvas->VertLine3D(P, r.Top + 1, r.Bottom, depth);
        else
            canvas->HorizLine3D(r.Left + 1, r.Right, P, depth);
    }
    const int z = AxisPixel(depth * FGrid->ZPosition() * 0.01);
    if (z != depth) {
        if (FHorizontal)
            canvas->ZLine3D(P, PosAxis, z, depth);
        else
            canvas->ZLine3D(PosAxis, P, z, depth);
    }
}

void TChartAxis::DrawMinorMark(int P, bool AsGrid) {
    if (!(IStartPos < P && P < IEndPos)) return;
    if (AsGrid)
        DrawGridLine(P);
    else
        DrawTick(P, 1, FMinorTickLength);
}

void TChartAxis::DrawMinor(bool AsGrid) {
    if (Tick.empty()) return;
    TCanvas3D* canvas = FParentChart->Canvas();
    canvas->AssignVisiblePen(AsGrid ? static_cast<TChartPen*>(FMinorGrid.get())
                                    : static_cast<TChartPen*>(FMinorTicks.get()));
    const int n = FMinorTickCount;
    if (n < 1) return;
    const double f = 1.0 / (n + 1);
    if (Tick.size() >= 2 && !FLogarithmic) {
        const double d = (Tick[1] - Tick[0]) * f;
        for (int i = 1; i <= n; ++i) {
            DrawMinorMark(Tick.front() - AxisPixel(i * d), AsGrid);
            DrawMinorMark(Tick.back() + AxisPixel(i * d), AsGrid);
        }
    }
    for (size_t t = 1; t < Tick.size(); ++t) {
        if (FLogarithmic) {
            double v = CalcPosPoint(Tick[t - 1]);
            const double step = (v * FLogarithmicBase - v) * f;
            for (int i = 1; i <= n; ++i) {
                v += step;
                if (v > IMaximum) break;
                DrawMinorMark(CalcPosValue(v), AsGrid);
            }
        } else {
            const double d = (Tick[t] - Tick[t - 1]) * f;
            for (int i = 1; i <= n; ++i)
                DrawMinorMark(Tick[t] - AxisPixel(i * d), AsGrid);
        }
    }
}

// ---------------------------------------------------------------------------
// Extra copies of an axis

void TChartAxis::CustomDrawMinMaxStartEnd(int APosLabels, int APosTitle, int APosAxis,
                                          bool GridVisible, double AMinimum, double AMaximum,
                                          double AIncrement, int AStartPos, int AEndPos) {
    const double oldMin = FMinimumValue, oldMax = FMaximumValue, oldInc = FDesiredIncrement;
    const bool oldAuto = FAutomatic, oldAutoMin = FAutomaticMinimum, oldAutoMax = FAutomaticMaximum;
    TTeeFinally restore([&] {
        FMinimumValue = oldMin;
        FMaximumValue = oldMax;
        FDesiredIncrement = oldInc;
        FAutomatic = oldAuto;
        FAutomaticMinimum = oldAutoMin;
        FAutomaticMaximum = oldAutoMax;
        AdjustMaxMin();
    });
    FAutomatic = FAutomaticMinimum = FAutomaticMaximum = false;
    FMinimumValue = AMinimum;
    FMaximumValue = AMaximum;
    FDesiredIncrement = AIncrement;
    AdjustMaxMin();
    CustomDrawStartEnd(APosLabels, APosTitle, APosAxis, GridVisible, AStartPos, AEndPos);
}

void TChartAxis::CustomDrawMinMax(int APosLabels, int APosTitle, int APosAxis, bool GridVisible,
                                  double AMinimum, double AMaximum, double AIncrement) {
    InternalCalcPositions();
    CustomDrawMinMaxStartEnd(APosLabels, APosTitle, APosAxis, GridVisible, AMinimum, AMaximum,
                             AIncrement, IStartPos, IEndPos);
}

void TChartAxis::CustomDraw(int APosLabels, int APosTitle, int APosAxis, bool GridVisible) {
    InternalCalcPositions();
    CustomDrawStartEnd(APosLabels, APosTitle, APosAxis, GridVisible, IStartPos, IEndPos);
}

void TChartAxis::CustomDrawStartEnd(int APosLabels, int APosTitle, int APosAxis, bool GridVisible,
                                    int AStartPos, int AEndPos) {
    PosLabels = APosLabels;
    PosTitle = APosTitle;
    PosAxis = APosAxis;
    IStartPos = AStartPos;
    IEndPos = AEndPos;
    RecalcSizeCenter();
    // The grid shows or hides for this one drawing, without telling anyone.
    const bool oldVisible = FGrid->Visible();
    TTeeValueScope quiet(FGrid->OnChange, nullptr);
    FGrid->SetVisible(GridVisible);
    TTeeFinally restore([&] { FGrid->SetVisible(oldVisible); });
    Draw(false);
}
