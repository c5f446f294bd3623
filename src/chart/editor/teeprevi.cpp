// The print preview window.
//   layout    printer bar, left column of options, the preview panel
//   show      printers, orientation, the panel's margins and detail
//   options   margin fields, proportional box, reset, detail, orientation, printers
//   print     one page, or every page through the navigator
#include "chart/editor/teeprevi.h"
#include "platform/classes/watched.h"

#include "chart/control/chart.h"
#include "chart/editor/teeedigene.h"
#include "chart/editor/teeformbuild.h"
#include "chart/editor/teepreviewpanel.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/dialogs.h"
#include "platform/forms/modalwatch.h"
#include "platform/graphics/printers.h"
#include "platform/rtl/sysutils.h"

QM_CLASS_OWNED(TChartPreview, TForm, TComponent)

bool TeeChangePaperOrientation = true;

namespace {
TRect SideSet(TRect R, int Side, int Value) {
    switch (Side) {
    case 0:
        R.Left = Value;
        break;
    case 1:
        R.Top = Value;
        break;
    case 2:
        R.Right = Value;
        break;
    default:
        R.Bottom = Value;
        break;
    }
    return R;
}
int SideOf(const TRect& R, int Side) {
    return Side == 0 ? R.Left : Side == 1 ? R.Top : Side == 2 ? R.Right : R.Bottom;
}
bool SameRect(const TRect& A, const TRect& B) {
    return A.Left == B.Left && A.Top == B.Top && A.Right == B.Right && A.Bottom == B.Bottom;
}
} // namespace

// ---------------------------------------------------------------------------
// Layout

TChartPreview::TChartPreview(TComponent* AOwner) : TForm(AOwner) {
    SetCaption("Chart Print Preview");
    SetClientWidth(543);
    SetClientHeight(379);
    SetPosition(poScreenCenter);
    SetKeyPreview(true);

    Panel1 = TeeNew<TPanel>(this, this, "Panel1", 0, 0, 543, 38);
    Panel1->SetAlign(alTop);
    Panel1->SetCaption("");
    CBPrinters = TeeNewCombo(this, Panel1, "CBPrinters", 56, 8, 156, {});
    TeeNewLabel(this, Panel1, "P&rinter:", 8, 12, CBPrinters);
    BSetupPrinter = TeeNewButton(this, Panel1, "BSetupPrinter", "&Setup...", 220, 6);
    BPrint = TeeNewButton(this, Panel1, "BPrint", "&Print", 300, 6);
    BClose = TeeNewButton(this, Panel1, "BClose", "Close", 380, 6);
    BClose->SetDefault(true);
    BClose->SetCancel(true);
    BClose->SetModalResult(mrOk);

    Panel2 = TeeNew<TPanel>(this, this, "Panel2", 0, 38, 112, 341);
    Panel2->SetAlign(alLeft);
    Panel2->SetCaption("");
    Orientation = TeeNewRadio(this, Panel2, "Orientation", "Orien&tation:", 4, 2, 104, 58,
                              {"P&ortrait", "&Landscape"});
    GBMargins = TeeNew<TGroupBox>(this, Panel2, "GBMargins", 4, 62, 104, 104);
    GBMargins->SetCaption("Margins (%)");
    auto margin = [this](const char* E, const char* U, int L, int T, TEdit** Edit) {
        TUpDown* ud = TeeNewUpDown(this, GBMargins, E, U, L, T, 36, 0, 100, Edit, 5);
        (*Edit)->SetText("0");
        // The margins bound each other, and a new one ends the proportional print.
        static_cast<TNumberEdit*>(*Edit)->SetWholeFigures(true);
        return ud;
    };
    UDTopMa = margin("SETopMa", "UDTopMa", 34, 18, &SETopMa);
    UDLeftMa = margin("SELeftMa", "UDLeftMa", 2, 46, &SELeftMa);
    UDRightMa = margin("SERightMa", "UDRightMa", 66, 46, &SERightMa);
    UDBotMa = margin("SEBotMa", "UDBotMa", 34, 74, &SEBotMa);
    PanelMargins = TeeNew<TPanel>(this, Panel2, "PanelMargins", 4, 168, 104, 52);
    PanelMargins->SetBevelOuter(bvNone);
    PanelMargins->SetCaption("");
    BReset = TeeNewButton(this, PanelMargins, "BReset", "Reset &Margins", 2, 2, 100);
    BReset->SetEnabled(false);
    ShowMargins = TeeNewCheck(this, PanelMargins, "ShowMargins", "&View Margins", 4, 30, 98);
    ShowMargins->SetChecked(true);
    ChangeDetailGroup = TeeNew<TGroupBox>(this, Panel2, "ChangeDetailGroup", 4, 222, 104, 80);
    ChangeDetailGroup->SetCaption("Detail:");
    TeeNewLabel(this, ChangeDetailGroup, "More", 6, 18)->SetName("Label2");
    TLabel* normal = TeeNewLabel(this, ChangeDetailGroup, "Normal", 60, 18);
    normal->SetName("Label3");
    Resolution = TeeNew<TTrackBar>(this, ChangeDetailGroup, "Resolution", 4, 36, 96, 36);
    Resolution->SetMin(0);
    Resolution->SetMax(100);
    Resolution->SetLineSize(2);
    Resolution->SetFrequency(10);
    Resolution->SetPosition(99);
    Panel4 = TeeNew<TPanel>(this, Panel2, "Panel4", 0, 315, 112, 26);
    Panel4->SetAlign(alBottom);
    Panel4->SetBevelOuter(bvNone);
    Panel4->SetCaption("");
    CBProp = TeeNewCheck(this, Panel4, "CBProp", "Proport&ional", 8, 4, 100);
    CBProp->SetChecked(true);
    // Stacked from the top, so a group hidden by an embedding page leaves no gap.
    for (TControl* c :
         std::initializer_list<TControl*>{Orientation, GBMargins, PanelMargins, ChangeDetailGroup})
        c->SetAlign(alTop);

    TeePreviewPanel1 = new TTeePreviewPanel(this);
    TeePreviewPanel1->SetName("TeePreviewPanel1");
    TeePreviewPanel1->SetParent(this);
    TeePreviewPanel1->SetAlign(alClient);
    TeePreviewPanel1->Shadow()->SetColor(clGray);
    TeePreviewPanel1->Shadow()->SetSize(4);
    TeePreviewPanel1->Gradient()->SetVisible(true);
    TeePreviewPanel1->Gradient()->SetDirection(gdFromTopLeft);
    TeePreviewPanel1->Gradient()->SetEndColor(clGray);
    TeePreviewPanel1->OnChangeMargins = [this](TObject* S, bool D, const TRect& M) {
        TeePreviewPanel1ChangeMargins(S, D, M);
    };

    FSetupDialog = new TPrinterSetupDialog(this);

    CBPrinters->OnChange = [this](TObject* S) { CBPrintersChange(S); };
    BSetupPrinter->OnClick = [this](TObject* S) { BSetupPrinterClick(S); };
    BPrint->OnClick = [this](TObject* S) { BPrintClick(S); };
    BClose->OnClick = [this](TObject*) { Close(); };
    Orientation->OnClick = [this](TObject* S) { OrientationClick(S); };
    MarginChange(UDTopMa, UDBotMa, 1);
    MarginChange(UDBotMa, UDTopMa, 3);
    MarginChange(UDLeftMa, UDRightMa, 0);
    MarginChange(UDRightMa, UDLeftMa, 2);
    BReset->OnClick = [this](TObject* S) { BResetClick(S); };
    ShowMargins->OnClick = [this](TObject*) {
        TeePreviewPanel1->Margins()->SetVisible(ShowMargins->Checked());
    };
    Resolution->OnChange = [this](TObject*) {
        // Showing the chart's detail stores none, even one the slider cannot reach.
        if (FChangingMargins) return;
        if (TCustomTeePanel* p = ShownPanel()) {
            p->SetPrintResolution(Resolution->Position() - 100);
            TeePreviewPanel1->Invalidate();
        }
    };
    CBProp->OnClick = [this](TObject* S) { CBPropClick(S); };
    OnShow = [this](TObject* S) { FormShow(S); };
}

TChartPreview::~TChartPreview() = default;

TCustomTeePanel* TChartPreview::ShownPanel() const {
    return TeePreviewPanel1->Panel();
}

// ---------------------------------------------------------------------------
// Show

void TChartPreview::FillPrinters() {
    CBPrinters->Items()->Assign(Printer()->Printers());
    const int i = Printer()->PrinterIndex();
    CBPrinters->SetItemIndex(i >= 0 && i < CBPrinters->Items()->Count() ? i : 0);
}

void TChartPreview::OrientationFromPrinter() {
    Orientation->SetItemIndex(Printer()->Orientation() == poPortrait ? 0 : 1);
}

void TChartPreview::FormShow(TObject*) {
    FChangingMargins = true;
    if (PageNavigatorClass && !FNavigator && PageNavigatorClass->Factory) {
        FNavigator = dynamic_cast<TCustomTeeNavigator*>(PageNavigatorClass->Factory(this));
        if (FNavigator) {
            FNavigator->SetParent(Panel2);
            FNavigator->SetAlign(alBottom);
            FNavigator->SetHelpContext(1488);
            FNavigator->OnButtonClicked = [this](TObject*, TTeeNavigateBtn) {
                TeePreviewPanel1->Invalidate();
            };
        }
    }
    Screen->SetCursor(crDefault);
    if (Subject()) TeePreviewPanel1->SetPanel(SubjectAs<TCustomTeePanel>());
    FillPrinters();
    const bool printers = Printer()->Printers()->Count() > 0;
    if (printers) {
        if (TeeChangePaperOrientation && !Printer()->Printing())
            Printer()->SetOrientation(poLandscape);
        OrientationFromPrinter();
    } else {
        BPrint->SetEnabled(false);
        BSetupPrinter->SetEnabled(false);
        Orientation->SetEnabled(false);
    }
    if (TCustomTeePanel* p = ShownPanel()) {
        FChangingProp = true;
        CBProp->SetChecked(p->PrintProportional());
        FChangingProp = false;
        Resolution->SetPosition(p->PrintResolution() + 100);
        FOldMargins = p->PrintMargins();
        ResetMargins();
        if (FNavigator) FNavigator->SetPanel(p);
    } else {
        CBProp->SetEnabled(false);
        Resolution->SetEnabled(false);
        GBMargins->SetEnabled(false);
        BPrint->SetEnabled(false);
    }
    FChangingMargins = false;
    TeeTranslateControl(this);
}

void TChartPreview::ResetMargins() {
    TCustomTeePanel* p = ShownPanel();
    if (!p) return;
    // Proportional margins are shown, not stored: opening the preview leaves
    // the chart as it was until the user moves a margin.
    TRect shown = p->PrintMargins();
    if (p->PrintProportional() && Printer()->Printers()->Count() > 0) {
        shown = p->ProportionalMargins();
        FOldMargins = shown;
    }
    const bool old = FChangingMargins;
    FChangingMargins = true;
    TeePreviewPanel1ChangeMargins(TeePreviewPanel1, false, shown);
    FChangingMargins = old;
    TeePreviewPanel1->Invalidate();
}

// ---------------------------------------------------------------------------
// Options

void TChartPreview::TeePreviewPanel1ChangeMargins(TObject*, bool DisableProportional,
                                                  const TRect& NewMargins) {
    const bool old = FChangingMargins;
    FChangingMargins = true;
    FShownMargins = NewMargins;
    UDLeftMa->SetPosition(NewMargins.Left);
    UDRightMa->SetPosition(NewMargins.Right);
    UDTopMa->SetPosition(NewMargins.Top);
    UDBotMa->SetPosition(NewMargins.Bottom);
    if (DisableProportional) {
        if (TCustomTeePanel* p = ShownPanel()) p->SetPrintProportional(false);
        FChangingProp = true;
        CBProp->SetChecked(false);
        FChangingProp = false;
    }
    FChangingMargins = old;
}

void TChartPreview::MarginChange(TUpDown* Field, TUpDown* Opposite, int Side) {
    auto* edit = dynamic_cast<TEdit*>(Field->Associate());
    edit->OnChange = [this, Field, Opposite, Side](TObject*) {
        TCustomTeePanel* p = ShownPanel();
        if (!Showing() || !p || FChangingMargins) return;
        int v;
        if (!TryStrToInt(dynamic_cast<TEdit*>(Field->Associate())->Text(), v)) return;
        const int position = Field->Position();
        if (position + Opposite->Position() < 100) {
            // The other sides as shown, proportional ones included.
            FShownMargins = SideSet(FShownMargins, Side, position);
            p->SetPrintMargins(FShownMargins);
            TeePreviewPanel1->Invalidate();
            BReset->SetEnabled(!SameRect(p->PrintMargins(), FOldMargins));
            p->SetPrintProportional(false);
            FChangingProp = true;
            CBProp->SetChecked(false);
            FChangingProp = false;
        } else {
            // The pair would leave no room for the chart: the field goes back.
            FChangingMargins = true;
            Field->SetPosition(SideOf(FShownMargins, Side));
            FChangingMargins = false;
        }
    };
}

void TChartPreview::CBPropClick(TObject*) {
    if (FChangingProp) return;
    if (TCustomTeePanel* p = ShownPanel()) {
        p->SetPrintProportional(CBProp->Checked());
        ResetMargins();
    }
}

void TChartPreview::BResetClick(TObject*) {
    TCustomTeePanel* p = ShownPanel();
    if (!p) return;
    p->SetPrintMargins(FOldMargins);
    TeePreviewPanel1ChangeMargins(TeePreviewPanel1, false, FOldMargins);
    TeePreviewPanel1->Invalidate();
    BReset->SetEnabled(false);
}

void TChartPreview::OrientationClick(TObject*) {
    if (Printer()->Printing() || Orientation->ItemIndex() < 0) return;
    Printer()->SetOrientation(Orientation->ItemIndex() == 0 ? poPortrait : poLandscape);
    ResetMargins();
    TeePreviewPanel1->Invalidate();
}

void TChartPreview::CBPrintersChange(TObject*) {
    if (CBPrinters->ItemIndex() < 0) return;
    Printer()->SetPrinterIndex(CBPrinters->ItemIndex());
    OrientationFromPrinter();
    OrientationClick(Orientation);
}

void TChartPreview::BSetupPrinterClick(TObject*) {
    TCallOut held{this};
    FSetupDialog->Execute();
    if (held.Gone()) return;
    FillPrinters();
    OrientationFromPrinter();
    TeePreviewPanel1->Invalidate();
}

// ---------------------------------------------------------------------------
// Print

void TChartPreview::BPrintClick(TObject*) {
    Screen->SetCursor(crHourGlass);
    TTeeFinally restore([] { Screen->SetCursor(crDefault); });
    // Every page of a chart of several; the previewed page otherwise.
    auto* chart = FNavigator ? dynamic_cast<TCustomChart*>(FNavigator->Panel()) : nullptr;
    if (chart && FNavigator->PageCount() > 1)
        chart->PrintPages();
    else
        TeePreviewPanel1->Print();
}

void TeePreview(TComponent* Owner, TCustomTeePanel* Panel, TClass NavigatorClass) {
    TModalOutcome shown;
    {
        std::unique_ptr<TChartPreview> form = std::make_unique<TChartPreview>(Owner);
        form->PageNavigatorClass = NavigatorClass;
        form->TeePreviewPanel1->SetPanel(Panel);
        shown = ShowModalWatching(form.get(), {Panel});
    }
    if (Panel && !shown.Gone) Panel->Invalidate();
}
