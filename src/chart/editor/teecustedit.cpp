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

    WireCheck(CBInvStairs, [](TCustomSeries* O, auto V) { O->SetInvertedStairs(V); });
    WireCheck(CheckBox1, [](TCustomSeries* O, auto V) { O->SetColorEachLine(V); });
    WireCheck(CBDark3D, [](TCustomSeries* O, auto V) { O->SetDark3D(V); });
    WireCheck(CBClick, [](TCustomSeries* O, auto V) { O->SetClickableLine(V); });
    CBStairs->OnClick = [this](TObject*) {
        CBInvStairs->SetEnabled(CBStairs->Checked());
        if (!FLoading && FSeries) FSeries->SetStairs(CBStairs->Checked());
    };
    CBColorEach->OnClick = [this](TObject*) {
        BLineColor->SetEnabled(!CBColorEach->Checked());
        if (!FLoading && FSeries) FSeries->SetColorEachPoint(CBColorEach->Checked());
    };
    CBStack->OnChange = [this](TObject*) {
        if (!FLoading && FSeries && CBStack->ItemIndex() >= 0)
            FSeries->SetStacked(static_cast<TCustomSeriesStack>(CBStack->ItemIndex()));
    };
    EHeight->OnChange = [this](TObject*) {
        int v;
        if (!FLoading && FSeries && Showing() && UpDownValue(EHeight, UDHeight, v))
            FSeries->SetLineHeight(v);
    };
    BBrush->OnClick = [this](TObject*) {
        if (FSeries) EditChartBrush(this, FSeries->Brush());
    };
    OnShow = [this](TObject* s) { FormShow(s); };
}

void TCustomSeriesEditor::WireCheck(TCheckBox* C, void (*Set)(TCustomSeries*, bool)) {
    C->OnClick = [this, C, Set](TObject*) {
        if (!FLoading && FSeries) Set(FSeries, C->Checked());
    };
}

void TCustomSeriesEditor::FormShow(TObject*) {
    FSeries = SeriesOfTag<TCustomSeries>(this);
    if (!FSeries) return;
    FLoading = true;
    const bool line = dynamic_cast<TLineSeries*>(FSeries) != nullptr;
    for (TControl* c : std::initializer_list<TControl*>{GBLineMode, CBDark3D, LHeight, EHeight,
                                                        UDHeight, BOutline, BBrush})
        c->SetVisible(line);
    CBStairs->SetChecked(FSeries->Stairs());
    CBInvStairs->SetChecked(FSeries->InvertedStairs());
    CBInvStairs->SetEnabled(FSeries->Stairs());
    CBColorEach->SetChecked(FSeries->ColorEachPoint());
    BLineColor->SetEnabled(!FSeries->ColorEachPoint());
    CheckBox1->SetChecked(FSeries->ColorEachLine());
    CBDark3D->SetChecked(FSeries->Dark3D());
    CBClick->SetChecked(FSeries->ClickableLine());
    CBStack->SetItemIndex(FSeries->Stacked());
    UDHeight->SetPosition(FSeries->LineHeight());
    BLineColor->LinkProperty(FSeries, "SeriesColor");
    BLineBorder->LinkPen(FSeries->LinePen());
    BOutline->LinkPen(FSeries->OutLine());
    FLoading = false;
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
    WireCheck(CBDrawAll, [](TFastLineSeries* O, auto V) { O->SetDrawAll(V); });
    WireCheck(CBStairs, [](TFastLineSeries* O, auto V) { O->SetStairs(V); });
    WireCheck(CBInvStairs, [](TFastLineSeries* O, auto V) { O->SetInvertedStairs(V); });
    WireCheck(CBNulls, [](TFastLineSeries* O, auto V) { O->SetIgnoreNulls(V); });
    OnShow = [this](TObject* s) { FastLineShow(s); };
}

void TFastLineSeriesEditor::WireCheck(TCheckBox* C, void (*Set)(TFastLineSeries*, bool)) {
    C->OnClick = [this, C, Set](TObject*) {
        if (!FLoading && FSeries) Set(FSeries, C->Checked());
    };
}

void TFastLineSeriesEditor::FastLineShow(TObject* Sender) {
    FSeries = SeriesOfTag<TFastLineSeries>(this);
    if (!FSeries) return;
    ThePen = FSeries->LinePen();
    FormShow(Sender);
    FLoading = true;
    CBDrawAll->SetChecked(FSeries->DrawAllPoints());
    CBStairs->SetChecked(FSeries->Stairs());
    CBInvStairs->SetChecked(FSeries->InvertedStairs());
    CBNulls->SetChecked(FSeries->IgnoreNulls());
    FLoading = false;
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

    RGMultiArea->OnClick = [this](TObject*) {
        if (!FLoading && FSeries && RGMultiArea->ItemIndex() >= 0)
            FSeries->SetMultiArea(static_cast<TMultiArea>(RGMultiArea->ItemIndex()));
    };
    CBStairs->OnClick = [this](TObject*) {
        CBInvStairs->SetEnabled(CBStairs->Checked());
        if (!FLoading && FSeries) FSeries->SetStairs(CBStairs->Checked());
    };
    CBInvStairs->OnClick = [this](TObject*) {
        if (!FLoading && FSeries) FSeries->SetInvertedStairs(CBInvStairs->Checked());
    };
    CBColorEach->OnClick = [this](TObject*) {
        BAreaColor->SetEnabled(!CBColorEach->Checked());
        if (!FLoading && FSeries) FSeries->SetColorEachPoint(CBColorEach->Checked());
    };
    CBUseOrigin->OnClick = [this](TObject*) {
        EOrigin->SetEnabled(CBUseOrigin->Checked());
        UDOrigin->SetEnabled(CBUseOrigin->Checked());
        if (!FLoading && FSeries) FSeries->SetUseOrigin(CBUseOrigin->Checked());
    };
    EOrigin->OnChange = [this](TObject*) {
        int v;
        if (!FLoading && FSeries && Showing() && UpDownValue(EOrigin, UDOrigin, v))
            FSeries->SetOrigin(v);
    };
    ETransp->OnChange = [this](TObject*) {
        int v;
        if (!FLoading && FSeries && Showing() && UpDownValue(ETransp, UDTransp, v))
            FSeries->SetTransparency(v);
    };
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
    FSeries = SeriesOfTag<TAreaSeries>(this);
    if (!FSeries) return;
    FLoading = true;
    RGMultiArea->SetItemIndex(FSeries->MultiArea());
    CBStairs->SetChecked(FSeries->Stairs());
    CBInvStairs->SetChecked(FSeries->InvertedStairs());
    CBInvStairs->SetEnabled(FSeries->Stairs());
    CBColorEach->SetChecked(FSeries->ColorEachPoint());
    BAreaColor->SetEnabled(!FSeries->ColorEachPoint());
    CBUseOrigin->SetChecked(FSeries->UseYOrigin());
    EOrigin->SetEnabled(FSeries->UseYOrigin());
    UDOrigin->SetEnabled(FSeries->UseYOrigin());
    UDOrigin->SetPosition(static_cast<int>(std::clamp(FSeries->YOrigin(), -30000.0, 30000.0)));
    UDTransp->SetPosition(FSeries->Transparency());
    BAreaColor->LinkProperty(FSeries, "AreaColor");
    BAreaLinesPen->LinkPen(FSeries->AreaLinesPen());
    BAreaLinePen->LinkPen(FSeries->LinePen());
    FLoading = false;
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
