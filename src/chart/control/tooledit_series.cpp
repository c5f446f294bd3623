// Contents:
//   helpers              building controls the way the form resources place them
//   TDragPointToolEdit   series and drag style
//   TPieToolEditor       pie series, focus or explode, the outline pen
//   TGanttToolEditor     Gantt series, grab tolerance, drag and resize switches and cursors
//   TGridTransposeToolEdit  3D grid series and the transpose button
#include "chart/control/tooledit_series.h"

#include "chart/control/series.h"
#include "chart/control/series_gantt.h"
#include "chart/control/teenumedit.h"
#include "chart/control/tool_series.h"
#include "chart/engine/teeaxispanel.h"
#include "chart/engine/teeconst.h"
#include "chart/engine/teesources.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/stdctrls.h"
#include <cstdint>

QM_CLASS_OWNED(TDragPointToolEdit, TSeriesToolEditor, TComponent)
QM_CLASS_OWNED(TPieToolEditor, TForm, TComponent)
QM_CLASS_OWNED(TGanttToolEditor, TSeriesToolEditor, TComponent)
QM_CLASS_OWNED(TGridTransposeToolEdit, TForm, TComponent)

// ---------------------------------------------------------------------------
// helpers

namespace {

template <typename T>
T* Make(TForm* Form, const char* Name, int Left, int Top, int Width, int Height) {
    auto* c = new T(Form);
    c->SetName(Name);
    c->SetParent(Form);
    c->SetBounds(Left, Top, Width, Height);
    return c;
}

TLabel* MakeLabel(TForm* Form, const char* Name, int Left, int Top, int Width,
                  const AnsiString& Caption, TWinControl* Focus, bool RightAligned = false) {
    auto* l = Make<TLabel>(Form, Name, Left, Top, Width, 13);
    if (RightAligned) l->SetAlignment(taRightJustify);
    l->SetCaption(Caption);
    l->SetFocusControl(Focus);
    return l;
}

void Help(TWinControl* C, int HelpContext, int TabOrder) {
    C->SetHelpContext(HelpContext);
    C->SetTabOrder(TabOrder);
}

void StandAloneForm(TForm* Form, int Width, int Height) {
    Form->SetClientWidth(Width);
    Form->SetClientHeight(Height);
    Form->SetColor(clBtnFace);
    Form->SetParentFont(true);
    Form->SetAutoScroll(false);
}

TChartSeries* SelectedSeries(const TListedObjects* Items) {
    return dynamic_cast<TChartSeries*>(Items->Chosen());
}

} // namespace

// ---------------------------------------------------------------------------
// TDragPointToolEdit

TDragPointToolEdit::TDragPointToolEdit(TComponent* AOwner) : TSeriesToolEditor(AOwner) {
    RGStyle = Make<TRadioGroup>(this, "RGStyle", 48, 43, 145, 80);
    RGStyle->SetCaption("Drag Style:");
    for (const char* item : {"&X", "&Y", "&Both"})
        RGStyle->Items()->Add(item);
    RGStyle->SetItemIndex(2);
    RGStyle->SetTabOrder(1);
    RGStyle->OnClick = [this](TObject* Sender) { RGStyleClick(Sender); };
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
}

void TDragPointToolEdit::FormShow(TObject* Sender) {
    TSeriesToolEditor::FormShow(Sender);
    auto* tool = dynamic_cast<TDragPointTool*>(FTool.Get());
    if (!tool) return;
    RGStyle->SetItemIndex(tool->DragStyle() == dsX ? 0 : tool->DragStyle() == dsY ? 1 : 2);
}

void TDragPointToolEdit::RGStyleClick(TObject*) {
    auto* tool = dynamic_cast<TDragPointTool*>(FTool.Get());
    if (!tool) return;
    const int i = RGStyle->ItemIndex();
    tool->SetDragStyle(i == 0 ? dsX : i == 1 ? dsY : dsBoth);
}

// ---------------------------------------------------------------------------
// TPieToolEditor

TPieToolEditor::TPieToolEditor(TComponent* AOwner) : TForm(AOwner) {
    StandAloneForm(this, 221, 161);
    CBPieSeries = Make<TComboBox>(this, "CBPieSeries", 8, 37, 145, 21);
    CBPieSeries->SetStyle(csDropDownList);
    CBPieSeries->SetItemHeight(13);
    Help(CBPieSeries, 1121, 0);
    CBPieSeries->OnChange = [this](TObject* Sender) { CBPieSeriesChange(Sender); };
    FPieItems = new TListedObjects(this, CBPieSeries);
    Label1 = MakeLabel(this, "Label1", 10, 16, 50, "&Pie Series:", CBPieSeries);
    RGStyle = Make<TRadioGroup>(this, "RGStyle", 8, 68, 201, 41);
    RGStyle->SetCaption("&Style:");
    RGStyle->SetColumns(2);
    RGStyle->Items()->Add("Focus");
    RGStyle->Items()->Add("Explode");
    Help(RGStyle, 1877, 1);
    RGStyle->OnClick = [this](TObject* Sender) { RGStyleClick(Sender); };
    BPen = Make<TButtonPen>(this, "BPen", 8, 120, 75, 25);
    BPen->SetCaption("&Border...");
    Help(BPen, 376, 2);
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
}

void TPieToolEditor::FormShow(TObject*) {
    TakeSubject(this, FTool);
    if (FTool) {
        TCustomAxisPanel* chart = FTool->ParentChart();
        // Refilled, so showing the form again never lists a series twice.
        FPieItems->Clear();
        for (int i = 0; chart && i < chart->SeriesCount(); ++i)
            if (auto* pie = dynamic_cast<TPieSeries*>(chart->GetSeries(i)))
                FPieItems->Add(SeriesTitleOrName(pie), pie);
        CBPieSeries->SetEnabled(chart && chart->SeriesCount() > 0);
        CBPieSeries->SetItemIndex(FTool->Series() ? FPieItems->IndexOf(FTool->Series()) : -1);
        RGStyle->SetItemIndex(static_cast<int>(FTool->Style()));
        BPen->LinkPen(FTool->Pen());
    }
    Label1->SetCaption(TeeMsg_GalleryPie);
}

void TPieToolEditor::CBPieSeriesChange(TObject*) {
    if (FTool) FTool->SetSeries(SelectedSeries(FPieItems));
}

void TPieToolEditor::RGStyleClick(TObject*) {
    if (FTool && RGStyle->ItemIndex() >= 0)
        FTool->SetStyle(static_cast<TPieToolStyle>(RGStyle->ItemIndex()));
}

// ---------------------------------------------------------------------------
// TGanttToolEditor

TGanttToolEditor::TGanttToolEditor(TComponent* AOwner) : TSeriesToolEditor(AOwner) {
    SetClientWidth(232);
    SetClientHeight(203);
    auto* tolerance = Make<TNumberEdit>(this, "Edit1", 127, 45, 41, 21);
    Edit1 = tolerance;
    Edit1->SetText("5");
    Help(Edit1, 1836, 1);
    Label2 = MakeLabel(this, "Label2", 8, 48, 111, "&Resize pixels tolerance:", Edit1);
    UpDown1 = Make<TUpDown>(this, "UpDown1", 168, 45, 15, 21);
    UpDown1->SetAssociate(Edit1);
    tolerance->SetUpDown(UpDown1);
    UpDown1->SetPosition(5);
    Help(UpDown1, 1836, 2);
    CBAllowDrag = Make<TCheckBox>(this, "CBAllowDrag", 8, 80, 197, 17);
    CBAllowDrag->SetCaption("Allow &Drag");
    Help(CBAllowDrag, 1837, 3);
    CBCursorDrag = Make<TComboFlat>(this, "CBCursorDrag", 78, 101, 145, 21);
    Help(CBCursorDrag, 1838, 5);
    Label3 = MakeLabel(this, "Label3", 40, 104, 33, "&Cursor:", CBCursorDrag, true);
    CBAllowResize = Make<TCheckBox>(this, "CBAllowResize", 8, 136, 197, 17);
    CBAllowResize->SetCaption("Allow &Resize");
    Help(CBAllowResize, 1839, 4);
    CBCursorResize = Make<TComboFlat>(this, "CBCursorResize", 78, 157, 145, 21);
    Help(CBCursorResize, 1840, 6);
    Label4 = MakeLabel(this, "Label4", 40, 160, 33, "C&ursor:", CBCursorResize, true);

    Edit1->OnChange = [this](TObject* Sender) { Edit1Change(Sender); };
    CBAllowDrag->OnClick = [this](TObject* Sender) { CBAllowDragClick(Sender); };
    CBAllowResize->OnClick = [this](TObject* Sender) { CBAllowResizeClick(Sender); };
    CBCursorDrag->OnChange = [this](TObject* Sender) { CBCursorDragChange(Sender); };
    CBCursorResize->OnChange = [this](TObject* Sender) { CBCursorResizeChange(Sender); };
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
    FormCreate(this);
}

void TGanttToolEditor::FormCreate(TObject* Sender) {
    TSeriesToolEditor::FormCreate(Sender);
    CreatingForm = true;
}

void TGanttToolEditor::FormShow(TObject* Sender) {
    TSeriesToolEditor::FormShow(Sender);
    for (int i = 0; i < FSeriesItems->Count();)
        if (dynamic_cast<TGanttSeries*>(FSeriesItems->Object(i)))
            ++i;
        else
            FSeriesItems->Delete(i);
    auto* tool = dynamic_cast<TGanttTool*>(FTool.Get());
    if (tool) {
        CBSeries->SetItemIndex(tool->Series() ? FSeriesItems->IndexOf(tool->Series()) : -1);
        UpDown1->SetPosition(tool->MinPixels());
        CBAllowDrag->SetChecked(tool->AllowDrag());
        CBAllowResize->SetChecked(tool->AllowResize());
        TeeFillCursors(CBCursorDrag, tool->CursorDrag());
        TeeFillCursors(CBCursorResize, tool->CursorResize());
    }
    CreatingForm = false;
}

void TGanttToolEditor::Edit1Change(TObject*) {
    auto* tool = dynamic_cast<TGanttTool*>(FTool.Get());
    if (CreatingForm || !tool) return;
    tool->SetMinPixels(static_cast<int16_t>(UpDown1->Position()));
}

void TGanttToolEditor::CBAllowDragClick(TObject*) {
    if (auto* tool = dynamic_cast<TGanttTool*>(FTool.Get()))
        tool->SetAllowDrag(CBAllowDrag->Checked());
}

void TGanttToolEditor::CBAllowResizeClick(TObject*) {
    if (auto* tool = dynamic_cast<TGanttTool*>(FTool.Get()))
        tool->SetAllowResize(CBAllowResize->Checked());
}

void TGanttToolEditor::CBCursorDragChange(TObject*) {
    if (auto* tool = dynamic_cast<TGanttTool*>(FTool.Get()))
        tool->SetCursorDrag(TeeSetCursor(tool->CursorDrag(), CBCursorDrag->Text()));
}

void TGanttToolEditor::CBCursorResizeChange(TObject*) {
    if (auto* tool = dynamic_cast<TGanttTool*>(FTool.Get()))
        tool->SetCursorResize(TeeSetCursor(tool->CursorResize(), CBCursorResize->Text()));
}

// ---------------------------------------------------------------------------
// TGridTransposeToolEdit

TGridTransposeToolEdit::TGridTransposeToolEdit(TComponent* AOwner) : TForm(AOwner) {
    StandAloneForm(this, 183, 158);
    CBSeries = Make<TComboFlat>(this, "CBSeries", 16, 33, 145, 21);
    Help(CBSeries, 1868, 1);
    CBSeries->OnChange = [this](TObject* Sender) { CBSeriesChange(Sender); };
    FGridItems = new TListedObjects(this, CBSeries);
    Label1 = MakeLabel(this, "Label1", 16, 16, 71, "&Grid 3D Series:", CBSeries);
    BTranspose = Make<TButton>(this, "BTranspose", 16, 80, 145, 25);
    BTranspose->SetCaption("&Transpose now");
    BTranspose->SetEnabled(false);
    Help(BTranspose, 1869, 0);
    BTranspose->OnClick = [this](TObject* Sender) { BTransposeClick(Sender); };
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
}

void TGridTransposeToolEdit::FormShow(TObject*) {
    TakeSubject(this, FTool);
    if (!FTool || !FTool->ParentChart()) return;
    TCustomAxisPanel* chart = FTool->ParentChart();
    FGridItems->Clear();
    for (int i = 0; i < chart->SeriesCount(); ++i) {
        TChartSeries* s = chart->GetSeries(i);
        if (dynamic_cast<ITeeGridSeries*>(s)) FGridItems->Add(SeriesTitleOrName(s), s);
    }
    CBSeries->SetItemIndex(FTool->Series() ? FGridItems->IndexOf(FTool->Series()) : -1);
    BTranspose->SetEnabled(CBSeries->ItemIndex() != -1);
}

void TGridTransposeToolEdit::CBSeriesChange(TObject*) {
    if (!FTool) return;
    FTool->SetSeries(SelectedSeries(FGridItems));
    BTranspose->SetEnabled(true);
}

void TGridTransposeToolEdit::BTransposeClick(TObject*) {
    if (FTool) FTool->Transpose();
}

// ---------------------------------------------------------------------------

void TeeRegisterSeriesToolEditors() {
    for (TClass c :
         {&TSeriesToolEditor::ClassInfo, &TDragPointToolEdit::ClassInfo, &TPieToolEditor::ClassInfo,
          &TGanttToolEditor::ClassInfo, &TGridTransposeToolEdit::ClassInfo})
        RegisterClass(c);
}
