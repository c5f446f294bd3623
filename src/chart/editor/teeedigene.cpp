// General and paging pages of the chart editor.
//   general     margins with their units, zoom, scroll and cursor
//   navigator   first, prior, next and last page of a chart
//   paging      points per page, last page scaling, legend of the page
#include "chart/editor/teeedigene.h"
#include "platform/classes/watched.h"

#include "chart/control/chart.h"
#include "chart/control/teeeditorhooks.h"
#include "chart/control/teelegend.h"
#include "chart/control/tool_series.h"
#include "chart/control/tooledit.h"
#include "chart/engine/teeprocs.h"
#include "chart/engine/teetools.h"
#include "chart/editor/teeformbuild.h"
#include "chart/editor/teependlg.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/buttons.h"
#include "platform/forms/dialogs.h"
#include "platform/rtl/format.h"
#include "platform/rtl/sysutils.h"

QM_CLASS_OWNED(TFormTeeGeneral, TForm, TComponent)
QM_CLASS_OWNED(TChartPageNavigator, TCustomTeeNavigator, TComponent)
QM_CLASS_OWNED(TFormTeePage, TForm, TComponent)

namespace {
const TMouseButton MouseButtons[] = {mbLeft, mbRight, mbMiddle};
int MouseIndex(TMouseButton B) {
    return B == mbRight ? 1 : B == mbMiddle ? 2 : 0;
}
} // namespace

// ---------------------------------------------------------------------------
// General

TFormTeeGeneral::TFormTeeGeneral(TComponent* AOwner, TCustomChart* AChart)
    : TForm(AOwner), FChart(AChart) {
    SetCaption("General");
    SetClientWidth(400);
    SetClientHeight(230);
    BPrint = TeeNewButton(this, this, "BPrint", "Print &Preview...", 8, 8, 120);
    GBMargins = TeeNew<TGroupBox>(this, this, "GBMargins", 8, 44, 150, 150);
    GBMargins->SetCaption("Margins (%)");
    // As wide as margins in pixels need; the units chosen set the range on show.
    auto margin = [this](const char* E, const char* U, int L, int T, TEdit** Edit) {
        TUpDown* u = TeeNewUpDown(this, GBMargins, E, U, L, T, 36, -2000, 2000, Edit, 5);
        // A margin that would meet the opposite one is refused whole.
        static_cast<TNumberEdit*>(*Edit)->SetWholeFigures(true);
        return u;
    };
    UDTopMa = margin("SETopMa", "UDTopMa", 48, 20, &SETopMa);
    UDLeftMa = margin("SELeftMa", "UDLeftMa", 6, 50, &SELeftMa);
    UDRightMa = margin("SERightMa", "UDRightMa", 88, 50, &SERightMa);
    UDBotMa = margin("SEBotMa", "UDBotMa", 48, 80, &SEBotMa);
    SetMarginRanges();
    CBMarUnits = TeeNewCombo(this, GBMargins, "CBMarUnits", 56, 116, 84, {"Percent", "Pixels"});
    TeeNewLabel(this, GBMargins, "&Units:", 8, 120, CBMarUnits);

    PageControl1 = TeeNew<TPageControl>(this, this, "PageControl1", 166, 0, 234, 230);
    TabZoom = TeeNewTab(PageControl1, "TabZoom", "Zoom");
    TabScroll = TeeNewTab(PageControl1, "TabScroll", "Scroll");
    PageControl1->SetActivePage(TabZoom);
    TWinControl* z = TabZoom;
    CBAllowZoom = TeeNewCheck(this, z, "CBAllowZoom", "&Allow", 8, 8, 80);
    CBAnimatedZoom = TeeNewCheck(this, z, "CBAnimatedZoom", "An&imated", 8, 30, 80);
    UDAniZoomSteps = TeeNewUpDown(this, z, "SEAniZoomSteps", "UDAniZoomSteps", 150, 28, 36, 1, 100,
                                  &SEAniZoomSteps);
    TeeNewLabel(this, z, "&Steps:", 100, 32, SEAniZoomSteps);
    BZoomPen = TeeNewButton<TButtonPen>(this, z, "BZoomPen", "P&en...", 8, 56, 80);
    BZoomColor = TeeNewButton(this, z, "BZoomColor", "P&attern...", 100, 56, 80);
    UDMinPix = TeeNewUpDown(this, z, "EMinPix", "UDMinPix", 120, 90, 40, 1, 1000, &EMinPix);
    TeeNewLabel(this, z, "&Minimum pixels:", 8, 94, EMinPix);
    CBDir = TeeNewCombo(this, z, "CBDir", 120, 118, 90, {"Horizontal", "Vertical", "Both"});
    TeeNewLabel(this, z, "&Direction:", 8, 122, CBDir);
    CBZoomMouse = TeeNewCombo(this, z, "CBZoomMouse", 120, 146, 90, {"Left", "Right", "Middle"});
    TeeNewLabel(this, z, "M&ouse Button:", 8, 150, CBZoomMouse);
    TWinControl* s = TabScroll;
    RGPanning = TeeNewRadio(this, s, "RGPanning", "Allow Scroll:", 8, 4, 110, 100,
                            {"&None", "&Horizontal", "&Vertical", "&Both"});
    CBScrollMouse =
        TeeNewCombo(this, s, "CBScrollMouse", 120, 116, 90, {"Left", "Right", "Middle"});
    TeeNewLabel(this, s, "&Mouse Button:", 8, 120, CBScrollMouse);
    CBCursor = TeeNewCombo(this, s, "CBCursor", 120, 146, 90, {});
    TeeNewLabel(this, s, "&Cursor:", 8, 150, CBCursor);

    BPrint->OnClick = [this](TObject*) {
        if (FChart) ChartPreview(this, FChart);
    };
    // The ranges follow the units before the margins are read (FormShow).
    FBind.Index(
        CBMarUnits, [this] { return FChart->MarginUnits() == muPercent ? 0 : 1; },
        [this](int I) {
            FChart->SetMarginUnits(I == 0 ? muPercent : muPixels);
            SetMarginRanges();
        });
    MarginChange(UDTopMa, 1);
    MarginChange(UDLeftMa, 0);
    MarginChange(UDBotMa, 3);
    MarginChange(UDRightMa, 2);
    FBind.Check(
        CBAllowZoom, [this] { return FChart->Zoom()->Allow(); },
        [this](bool V) {
            FChart->Zoom()->SetAllow(V);
            EnableZoom();
        });
    FBind.Check(
        CBAnimatedZoom, [this] { return FChart->Zoom()->Animated(); },
        [this](bool V) { FChart->Zoom()->SetAnimated(V); });
    FBind.UpDown(
        UDAniZoomSteps, [this] { return FChart->Zoom()->AnimatedSteps(); },
        [this](int V) {
            if (V > 0) FChart->Zoom()->SetAnimatedSteps(V);
        });
    FBind.UpDown(
        UDMinPix, [this] { return FChart->Zoom()->MinimumPixels(); },
        [this](int V) {
            if (V > 0) FChart->Zoom()->SetMinimumPixels(V);
        });
    BZoomColor->OnClick = [this](TObject*) {
        if (FChart) EditChartBrush(this, FChart->Zoom()->Brush());
    };
    FBind.Index(
        CBDir, [this] { return static_cast<int>(FChart->Zoom()->Direction()); },
        [this](int I) { FChart->Zoom()->SetDirection(static_cast<TTeeZoomDirection>(I)); });
    FBind.Index(
        CBZoomMouse, [this] { return MouseIndex(FChart->Zoom()->MouseButton()); },
        [this](int I) { FChart->Zoom()->SetMouseButton(MouseButtons[I]); });
    FBind.Index(
        RGPanning, [this] { return static_cast<int>(FChart->AllowPanning()); },
        [this](int I) {
            FChart->SetAllowPanning(static_cast<TPanningMode>(I));
            CBScrollMouse->SetEnabled(FChart->AllowPanning() != pmNone);
        });
    FBind.Index(
        CBScrollMouse, [this] { return MouseIndex(FChart->ScrollMouseButton()); },
        [this](int I) { FChart->SetScrollMouseButton(MouseButtons[I]); });
    // The cursor list is filled on show, with the chart's cursor chosen.
    CBCursor->OnChange = [this](TObject*) {
        if (!FBind.Loading() && FChart)
            FChart->SetCursor(TeeSetCursor(FChart->StoredCursor(), CBCursor->Text()));
    };
    OnShow = [this](TObject* s) { FormShow(s); };
}

void TFormTeeGeneral::MarginChange(TUpDown* UD, int Index) {
    FBind.UpDown(
        UD, [this, Index] { return FChart->GetMargin(Index); },
        [this, UD, Index](int V) {
            if (FChart->MarginUnits() == muPercent && V + FChart->GetMargin(Index ^ 2) >= 100) {
                // The two margins would leave no room for the chart.
                auto guard = FBind.Guard();
                UD->SetPosition(FChart->GetMargin(Index));
                return;
            }
            FChart->SetMargin(Index, V);
        });
}

void TFormTeeGeneral::SetMarginRanges() {
    const bool pixels = FChart && FChart->MarginUnits() == muPixels;
    for (TUpDown* u : {UDTopMa, UDLeftMa, UDBotMa, UDRightMa}) {
        u->SetMin(pixels ? -2000 : 0);
        u->SetMax(pixels ? 2000 : 100);
    }
    GBMargins->SetCaption(pixels ? "Margins (px)" : "Margins (%)");
}

void TFormTeeGeneral::EnableZoom() {
    const bool on = CBAllowZoom->Checked();
    for (TControl* c :
         std::initializer_list<TControl*>{CBAnimatedZoom, SEAniZoomSteps, UDAniZoomSteps, BZoomPen,
                                          BZoomColor, EMinPix, UDMinPix, CBDir, CBZoomMouse})
        c->SetEnabled(on);
}

void TFormTeeGeneral::FormShow(TObject*) {
    if (!FChart) FChart = SubjectAs<TCustomChart>();
    if (!FChart) return;
    SetMarginRanges();
    FBind.Load();
    auto guard = FBind.Guard();
    BZoomPen->LinkPen(FChart->Zoom()->Pen());
    EnableZoom();
    CBScrollMouse->SetEnabled(FChart->AllowPanning() != pmNone);
    TeeFillCursors(CBCursor, FChart->StoredCursor());
}

// ---------------------------------------------------------------------------
// Page navigator

TChartPageNavigator::TChartPageNavigator(TComponent* AOwner) : TCustomTeeNavigator(AOwner) {
    BFirst = Buttons(nbFirst);
    BPrior = Buttons(nbPrior);
    BNext = Buttons(nbNext);
    BLast = Buttons(nbLast);
    BFirst->SetName("BFirst");
    BPrior->SetName("BPrior");
    BNext->SetName("BNext");
    BLast->SetName("BLast");
    EnableButtons();
}

TCustomChart* TChartPageNavigator::Chart() const {
    return dynamic_cast<TCustomChart*>(Panel());
}

void TChartPageNavigator::SetChart(TCustomChart* Value) {
    SetPanel(Value);
}

void TChartPageNavigator::Notification(TComponent* AComponent, TOperation Operation) {
    const bool chart = Operation == opRemove && PanelIs(AComponent);
    TCustomTeeNavigator::Notification(AComponent, Operation);
    if (chart) EnableButtons();
}

void TChartPageNavigator::DoTeeEvent(TTeeEvent* Event) {
    auto* series = dynamic_cast<TTeeSeriesEvent*>(Event);
    if (dynamic_cast<TChartChangePage*>(Event) || (series && series->Event == seDataChanged))
        EnableButtons();
}

int TChartPageNavigator::PageCount() {
    TCustomChart* chart = Chart();
    return chart ? chart->NumPages() : 1;
}

void TChartPageNavigator::Print() {
    TCustomChart* chart = Chart();
    if (!chart) return;
    const int pages = chart->NumPages();
    if (pages <= 1) {
        chart->PrintPages(1, 1);
        return;
    }
    TPrintDialog dlg(this);
    dlg.SetOptions({poPageNums});
    dlg.SetMinPage(1);
    dlg.SetMaxPage(pages);
    dlg.SetFromPage(1);
    dlg.SetToPage(pages);
    TCallOut held{this, chart};
    const bool chosen = dlg.Execute();
    if (held.Gone()) return;
    if (!chosen) return;
    if (dlg.PrintRange() == prAllPages)
        chart->PrintPages(1, pages);
    else
        chart->PrintPages(std::max(1, dlg.FromPage()), std::min(pages, dlg.ToPage()));
}

void TChartPageNavigator::BtnClick(TTeeNavigateBtn Index) {
    TCustomChart* chart = Chart();
    if (!chart) return;
    const int page = chart->Page();
    const int pages = chart->NumPages();
    int to = page;
    switch (Index) {
    case nbFirst:
        to = 1;
        break;
    case nbPrior:
        to = page - 1;
        break;
    case nbNext:
        to = page + 1;
        break;
    case nbLast:
        to = pages;
        break;
    default:
        return;
    }
    if (to >= 1 && to <= pages && to != page) chart->SetPage(to);
}

void TChartPageNavigator::EnableButtons() {
    if (!BFirst) return;
    TCustomChart* chart = Chart();
    const int page = chart ? chart->Page() : 1;
    const int pages = chart ? chart->NumPages() : 1;
    BFirst->SetEnabled(page > 1);
    BPrior->SetEnabled(page > 1);
    BNext->SetEnabled(pages > page);
    BLast->SetEnabled(pages > page);
}

// ---------------------------------------------------------------------------
// Paging

TFormTeePage::TFormTeePage(TComponent* AOwner, TCustomChart* AChart)
    : TForm(AOwner), FChart(AChart) {
    SetCaption("Paging");
    SetClientWidth(300);
    SetClientHeight(170);
    UDPointsPerPage = TeeNewUpDown(this, this, "SEPointsPerPage", "UDPointsPerPage", 120, 8, 50, 0,
                                   32000, &SEPointsPerPage);
    TeeNewLabel(this, this, "P&oints per Page:", 8, 12, SEPointsPerPage);
    CBScaleLast = TeeNewCheck(this, this, "CBScaleLast", "&Scale Last Page", 8, 40, 160);
    CBPageLegend = TeeNewCheck(this, this, "CBPageLegend", "&Current page Legend", 8, 62, 160);
    CBPageNum = TeeNewCheck(this, this, "CBPageNum", "Show &Page Number", 170, 40, 126);
    LabelPages = TeeNewLabel(this, this, "", 8, 96);
    LabelPages->SetAutoSize(false);
    LabelPages->SetWidth(200);
    LabelPages->SetAlignment(taCenter);
    ChartPageNavigator1 =
        TeeNew<TChartPageNavigator>(this, this, "ChartPageNavigator1", 58, 116, 100, 25);
    ChartPageNavigator1->OnButtonClicked = [this](TObject*, TTeeNavigateBtn) { RefreshLabel(); };
    // Empty text is no paging; the field is read on show.
    FBind.Text(SEPointsPerPage, nullptr, [this](const AnsiString& T) {
        int v = 0;
        if (!T.IsEmpty() && (!TryStrToInt(T, v) || v < 0)) return;
        // The chart's page changes, which tells its handlers.
        TCallOut held{this};
        FChart->SetMaxPointsPerPage(v);
        if (held.Gone()) return;
        RefreshLabel();
    });
    FBind.Check(
        CBScaleLast, [this] { return FChart->ScaleLastPage(); },
        [this](bool V) { FChart->SetScaleLastPage(V); });
    FBind.Check(
        CBPageLegend, [this] { return FChart->Legend()->CurrentPage(); },
        [this](bool V) { FChart->Legend()->SetCurrentPage(V); });
    FBind.Check(
        CBPageNum,
        [this] {
            TTeeCustomTool* tool = PageNumTool();
            return tool && tool->Active();
        },
        [this](bool) { CBPageNumClick(CBPageNum); });
    OnShow = [this](TObject* s) { FormShow(s); };
}

void TFormTeePage::FormShow(TObject*) {
    if (!FChart) FChart = SubjectAs<TCustomChart>();
    if (!FChart) return;
    FBind.Load();
    auto guard = FBind.Guard();
    UDPointsPerPage->SetPosition(FChart->MaxPointsPerPage());
    CBPageNum->SetVisible(TeePageNumToolClass != nullptr);
    ChartPageNavigator1->SetChart(FChart);
    RefreshLabel();
}

void TFormTeePage::RefreshLabel() {
    if (!FChart) return;
    LabelPages->SetCaption(Format("Page %d of %d", {FChart->Page(), FChart->NumPages()}));
    ChartPageNavigator1->EnableButtons();
}

TTeeCustomTool* TFormTeePage::PageNumTool() const {
    if (!FChart || !TeePageNumToolClass) return nullptr;
    for (int i = 0; i < FChart->Tools()->Count(); ++i) {
        TTeeCustomTool* t = FChart->Tools()->Get(i);
        if (t->ClassType()->InheritsFrom(TeePageNumToolClass)) return t;
    }
    return nullptr;
}

void TFormTeePage::CBPageNumClick(TObject*) {
    if (FBind.Loading() || !FChart || !TeePageNumToolClass) return;
    TTeeCustomTool* tool = PageNumTool();
    if (!tool) {
        if (!CBPageNum->Checked()) return;
        TComponent* owner = FChart->Owner();
        tool = static_cast<TTeeCustomTool*>(TeePageNumToolClass->Factory(owner));
        tool->SetName(TeeGetUniqueName(owner, "ChartTool"));
        tool->SetParentChart(FChart);
    } else {
        tool->SetActive(CBPageNum->Checked());
    }
    FChart->Invalidate();
}
