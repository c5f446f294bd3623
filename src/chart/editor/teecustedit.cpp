// Editors of the connected-point series.
//   TCustomSeriesEditor     line, point relatives: line mode, stacking, pens, brush
//   TFastLineSeriesEditor   the pen dialog on the fast line's pen, plus its switches
//   TAreaSeriesEditor       multiple areas, origin, pens, brushes, transparency
#include "chart/editor/teecustedit.h"
#include "chart/editor/teeediseri.h"

#include "chart/control/series.h"
#include "chart/editor/teeformbuild.h"
#include "chart/editor/teepoiedi.h"
#include "chart/engine/teeconst.h"
#include "platform/classes/stringlist.h"
#include "platform/rtl/sysutils.h"
#include <algorithm>
#include <functional>

namespace {
// The stairs and colour-each boxes the line and area pages share; a colour
// for each point leaves the series colour button nothing to set.
void BindStairsAndColorEach(TControlBinder& Bind, std::function<TCustomSeries*()> Series,
                            TCheckBox* Stairs, TCheckBox* InvStairs, TCheckBox* ColorEach,
                            TControl* ColorButton) {
    Bind.Check(
        Stairs, [Series] { return Series()->Stairs(); },
        [Series, InvStairs](bool V) {
            InvStairs->SetEnabled(V);
            Series()->SetStairs(V);
        });
    Bind.Check(
        InvStairs, [Series] { return Series()->InvertedStairs(); },
        [Series](bool V) { Series()->SetInvertedStairs(V); });
    Bind.Check(
        ColorEach, [Series] { return Series()->ColorEachPoint(); },
        [Series, ColorButton](bool V) {
            ColorButton->SetEnabled(!V);
            Series()->SetColorEachPoint(V);
        });
}
} // namespace

QM_CLASS_OWNED(TCustomSeriesEditor, TForm, TComponent)
QM_CLASS_OWNED(TFastLineSeriesEditor, TPenDialog, TComponent)
QM_CLASS_OWNED(TAreaSeriesEditor, TForm, TComponent)

// ---------------------------------------------------------------------------
// TCustomSeriesEditor

TCustomSeriesEditor::TCustomSeriesEditor(TComponent* AOwner) : TForm(AOwner) {
    SetClientWidth(340);
    SetClientHeight(160);
    GBLineMode = TeeNew<TGroupBox>(this, this, "GBLineMode", 8, 4, 110, 66);
    GBLineMode->SetCaption("Line Mode:");
    CBStairs = TeeNewCheck(this, GBLineMode, "CBStairs", "&Stairs", 8, 18, 90);
    CBInvStairs = TeeNewCheck(this, GBLineMode, "CBInvStairs", "&Inverted", 8, 40, 90);
    CBColorEach = TeeNewCheck(this, this, "CBColorEach", "Color &Each", 8, 76, 110);
    CheckBox1 = TeeNewCheck(this, this, "CheckBox1", "Color Each line", 8, 98, 120);
    CBDark3D = TeeNewCheck(this, this, "CBDark3D", "&Dark 3D", 8, 120, 110);
    CBClick = TeeNewCheck(this, this, "CBClick", "Clic&kable", 8, 142, 110);
    CBStack =
        TeeNewCombo(this, this, "CBStack", 188, 8, 90, {"None", "Overlap", "Stack", "Stack 100%"});
    TeeNewLabel(this, this, "S&tack:", 134, 12, CBStack);
    UDHeight = TeeNewUpDown(this, this, "EHeight", "UDHeight", 208, 36, 40, 0, 1000, &EHeight);
    LHeight = TeeNewLabel(this, this, "&Height 3D:", 134, 40, EHeight);
    BLineColor = TeeNewButton<TButtonColor>(this, this, "BLineColor", "&Color...", 134, 66, 95);
    BLineBorder = TeeNewButton<TButtonPen>(this, this, "BLineBorder", "&Border...", 236, 66, 95);
    BOutline = TeeNewButton<TButtonPen>(this, this, "BOutline", "&Outline...", 134, 96, 95);
    BBrush = TeeNewButton(this, this, "BBrush", "&Pattern...", 236, 96, 95);

    BindStairsAndColorEach(
        FBind, [this] { return FSeries; }, CBStairs, CBInvStairs, CBColorEach, BLineColor);
    FBind.Check(
        CheckBox1, [this] { return FSeries->ColorEachLine(); },
        [this](bool V) { FSeries->SetColorEachLine(V); });
    FBind.Check(
        CBDark3D, [this] { return FSeries->Dark3D(); }, [this](bool V) { FSeries->SetDark3D(V); });
    FBind.Check(
        CBClick, [this] { return FSeries->ClickableLine(); },
        [this](bool V) { FSeries->SetClickableLine(V); });
    FBind.Index(
        CBStack, [this] { return static_cast<int>(FSeries->Stacked()); },
        [this](int I) { FSeries->SetStacked(static_cast<TCustomSeriesStack>(I)); });
    FBind.UpDown(
        UDHeight, [this] { return FSeries->LineHeight(); },
        [this](int V) {
            if (Showing()) FSeries->SetLineHeight(V);
        });
    BBrush->OnClick = [this](TObject*) {
        if (FSeries) EditChartBrush(this, FSeries->Brush());
    };
    OnShow = [this](TObject* s) { FormShow(s); };
}

void TCustomSeriesEditor::FormShow(TObject*) {
    FSeries = SubjectAs<TCustomSeries>();
    if (!FSeries) return;
    FBind.Load();
    {
        auto guard = FBind.Guard();
        const bool line = dynamic_cast<TLineSeries*>(FSeries.Get()) != nullptr;
        for (TControl* c : std::initializer_list<TControl*>{GBLineMode, CBDark3D, LHeight, EHeight,
                                                            UDHeight, BOutline, BBrush})
            c->SetVisible(line);
        CBInvStairs->SetEnabled(FSeries->Stairs());
        BLineColor->SetEnabled(!FSeries->ColorEachPoint());
        BLineColor->LinkProperty(FSeries, "SeriesColor");
        BLineBorder->LinkPen(FSeries->LinePen());
        BOutline->LinkPen(FSeries->OutLine());
    }
    if (!FPointerForm)
        FPointerForm = TeeInsertPointerForm(this, FSeries->Pointer(), TeeMsg_GalleryPoint);
}

// ---------------------------------------------------------------------------
// TFastLineSeriesEditor

TFastLineSeriesEditor::TFastLineSeriesEditor(TComponent* AOwner) : TPenDialog(AOwner) {
    BOk->Hide();
    BCancel->Hide();
    SetClientHeight(196);
    CBDrawAll = TeeNewCheck(this, this, "CBDrawAll", "Draw &All", 8, 110, 100);
    auto* mode = TeeNew<TGroupBox>(this, this, "GBLineMode", 120, 104, 120, 66);
    mode->SetCaption("Line Mode:");
    CBStairs = TeeNewCheck(this, mode, "CBStairs", "&Stairs", 8, 18, 100);
    CBInvStairs = TeeNewCheck(this, mode, "CBInvStairs", "&Inverted", 8, 40, 100);
    CBNulls = TeeNewCheck(this, this, "CBNulls", "&Ignore Nulls", 8, 134, 100);
    CBNulls->SetChecked(true);
    FBind.Check(
        CBDrawAll, [this] { return FSeries->DrawAllPoints(); },
        [this](bool V) { FSeries->SetDrawAll(V); });
    FBind.Check(
        CBStairs, [this] { return FSeries->Stairs(); }, [this](bool V) { FSeries->SetStairs(V); });
    FBind.Check(
        CBInvStairs, [this] { return FSeries->InvertedStairs(); },
        [this](bool V) { FSeries->SetInvertedStairs(V); });
    FBind.Check(
        CBNulls, [this] { return FSeries->IgnoreNulls(); },
        [this](bool V) { FSeries->SetIgnoreNulls(V); });
    OnShow = [this](TObject* s) { FastLineShow(s); };
}

void TFastLineSeriesEditor::FastLineShow(TObject* Sender) {
    FSeries = SubjectAs<TFastLineSeries>();
    if (!FSeries) return;
    ThePen = FSeries->LinePen();
    FormShow(Sender);
    FBind.Load();
}

// ---------------------------------------------------------------------------
// TAreaSeriesEditor

TAreaSeriesEditor::TAreaSeriesEditor(TComponent* AOwner) : TForm(AOwner) {
    SetClientWidth(350);
    SetClientHeight(170);
    RGMultiArea = TeeNewRadio(this, this, "RGMultiArea", "&Multiple Areas:", 8, 4, 110, 80,
                              {"None", "Stacked", "Stacked 100%"});
    CBStairs = TeeNewCheck(this, this, "CBStairs", "&Stairs", 8, 90, 100);
    CBInvStairs = TeeNewCheck(this, this, "CBInvStairs", "Inverted", 8, 112, 100);
    CBColorEach = TeeNewCheck(this, this, "CBColorEach", "Color &Each", 8, 134, 100);
    CBUseOrigin = TeeNewCheck(this, this, "CBUseOrigin", "&Use Origin", 126, 8, 90);
    UDOrigin = TeeNewUpDown(this, this, "EOrigin", "UDOrigin", 270, 6, 56, -30000, 30000, &EOrigin);
    TeeNewLabel(this, this, "&Origin:", 222, 10, EOrigin);
    BAreaColor = TeeNewButton<TButtonColor>(this, this, "BAreaColor", "&Color...", 126, 36, 105);
    BAreaLinesPen =
        TeeNewButton<TButtonPen>(this, this, "BAreaLinesPen", "Area &Lines...", 238, 36, 105);
    BAreaLinePen = TeeNewButton<TButtonPen>(this, this, "BAreaLinePen", "&Border...", 126, 66, 105);
    BPattern = TeeNewButton(this, this, "BPattern", "&Pattern...", 238, 66, 105);
    Button1 = TeeNewButton(this, this, "Button1", "&Top...", 126, 96, 105);
    UDTransp = TeeNewUpDown(this, this, "ETransp", "UDTransp", 222, 132, 40, 0, 100, &ETransp);
    TeeNewLabel(this, this, "Tra&nsparency:", 126, 136, ETransp);

    FBind.Index(
        RGMultiArea, [this] { return static_cast<int>(FSeries->MultiArea()); },
        [this](int I) { FSeries->SetMultiArea(static_cast<TMultiArea>(I)); });
    BindStairsAndColorEach(
        FBind, [this] { return FSeries; }, CBStairs, CBInvStairs, CBColorEach, BAreaColor);
    FBind.Check(
        CBUseOrigin, [this] { return FSeries->UseYOrigin(); },
        [this](bool V) {
            EOrigin->SetEnabled(V);
            UDOrigin->SetEnabled(V);
            FSeries->SetUseOrigin(V);
        });
    FBind.UpDown(
        UDOrigin,
        [this] { return static_cast<int>(std::clamp(FSeries->YOrigin(), -30000.0, 30000.0)); },
        [this](int V) {
            if (Showing()) FSeries->SetOrigin(V);
        });
    FBind.UpDown(
        UDTransp, [this] { return FSeries->Transparency(); },
        [this](int V) {
            if (Showing()) FSeries->SetTransparency(V);
        });
    // The area takes the series colour until it has one of its own.
    BAreaColor->GetColorProc = [this]() -> TColor {
        if (!FSeries) return clNone;
        return static_cast<TColor>(
            ColorToRGB(FSeries->AreaColor() == clTeeColor || FSeries->AreaColor() == clAutoColor
                           ? FSeries->SeriesColor()
                           : FSeries->AreaColor()));
    };
    BPattern->OnClick = [this](TObject*) {
        if (FSeries) EditChartBrush(this, FSeries->AreaChartBrush());
    };
    Button1->OnClick = [this](TObject*) {
        if (FSeries) EditChartBrush(this, FSeries->Brush());
    };
    OnShow = [this](TObject* s) { FormShow(s); };
}

void TAreaSeriesEditor::FormShow(TObject*) {
    FSeries = SubjectAs<TAreaSeries>();
    if (!FSeries) return;
    FBind.Load();
    {
        auto guard = FBind.Guard();
        CBInvStairs->SetEnabled(FSeries->Stairs());
        BAreaColor->SetEnabled(!FSeries->ColorEachPoint());
        EOrigin->SetEnabled(FSeries->UseYOrigin());
        UDOrigin->SetEnabled(FSeries->UseYOrigin());
        BAreaColor->LinkProperty(FSeries, "AreaColor");
        BAreaLinesPen->LinkPen(FSeries->AreaLinesPen());
        BAreaLinePen->LinkPen(FSeries->LinePen());
    }
    if (!FPointerForm)
        FPointerForm = TeeInsertPointerForm(this, FSeries->Pointer(), TeeMsg_GalleryPoint);
    if (!FGradientForm)
        if (TTabSheet* tab = TeeAddEditorTab(this, TeeMsg_Gradient)) {
            TTabSheet* current = tab->PageControl()->ActivePage();
            FGradientForm = new TTeeGradientEditor(tab, FSeries->Gradient());
            TeeAddToTab(FGradientForm, tab, FSeries->Gradient());
            tab->PageControl()->SetActivePage(current);
        }
}
