#include "chart/control/tooledit.h"

#include "chart/control/teeeditorhooks.h"
#include "chart/engine/teeaxispanel.h"
#include "chart/engine/teeconst.h"
#include "chart/engine/teeprocs.h"
#include "chart/engine/teesources.h"
#include "chart/engine/teetools.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/stdctrls.h"
#include <cstdlib>

QM_CLASS_OWNED(TSeriesToolEditor, TForm, TComponent)
QM_CLASS_OWNED(TButtonPen, TTeeButton, TComponent)

// ---------------------------------------------------------------------------
// TSeriesToolEditor

TSeriesToolEditor::TSeriesToolEditor(TComponent* AOwner) : TForm(AOwner) {
    SetClientWidth(233);
    SetClientHeight(172);
    SetColor(clBtnFace);
    SetParentFont(true);
    SetBorderIcons({biSystemMenu});
    Label1 = new TLabel(this);
    Label1->SetName("Label1");
    Label1->SetParent(this);
    Label1->SetBounds(8, 12, 40, 13);
    Label1->SetAlignment(taRightJustify);
    Label1->SetCaption("&Series:");
    CBSeries = new TComboFlat(this);
    CBSeries->SetName("CBSeries");
    CBSeries->SetParent(this);
    CBSeries->SetBounds(52, 8, 145, 21);
    CBSeries->SetHelpContext(1121);
    CBSeries->SetTabOrder(0);
    CBSeries->OnChange = [this](TObject* Sender) { CBSeriesChange(Sender); };
    Label1->SetFocusControl(CBSeries);
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
    FormCreate(this);
}

void TSeriesToolEditor::FormCreate(TObject*) {
    SetAlign(alClient);
}

void TSeriesToolEditor::FormShow(TObject*) {
    FTool = dynamic_cast<TTeeCustomToolSeries*>(reinterpret_cast<TObject*>(Tag()));
    if (!FTool) return;
    TCustomAxisPanel* chart = FTool->ParentChart();
    // Refilled, so showing the form again never lists a series twice.
    CBSeries->Items()->Clear();
    if (chart) FillSeriesItems(CBSeries->Items(), chart);
    CBSeries->SetEnabled(chart && chart->SeriesCount() > 0);
    CBSeries->Items()->InsertObject(0, TeeMsg_None, nullptr);
    CBSeries->SetItemIndex(FTool->Series() ? CBSeries->Items()->IndexOfObject(FTool->Series())
                                           : -1);
}

void TSeriesToolEditor::CBSeriesChange(TObject*) {
    const int i = CBSeries->ItemIndex();
    if (FTool)
        FTool->SetSeries(i < 0 ? nullptr
                               : static_cast<TChartSeries*>(CBSeries->Items()->Objects(i)));
}

// ---------------------------------------------------------------------------
// TButtonPen

void TButtonPen::LinkPen(TChartPen* APen) {
    FPen = APen;
    LinkProperty(APen, "");
    Invalidate();
}

void TButtonPen::Click() {
    if (TChartPen* pen = Pen()) {
        if (!EditChartPen(this, pen, FHideColor)) return;
        Invalidate();
    }
    TTeeButton::Click();
}

void TButtonPen::DrawSymbol(TTeeCanvas3D* ACanvas) {
    TChartPen* pen = Pen();
    if (!pen || !pen->Visible()) return;
    ACanvas->AssignVisiblePen(pen);
    if (!Enabled()) ACanvas->Pen()->SetColor(clGray);
    const int y = Height() / 2;
    ACanvas->DoHorizLine(Width() - 19, Width() - 6, y);
}

// ---------------------------------------------------------------------------
// Cursor names

namespace {
const TCursor TeeCursors[] = {
    crDefault,   crArrow,   crCross,     crIBeam,    crSizeNESW, crSizeNS,    crSizeNWSE,
    crSizeWE,    crUpArrow, crHourGlass, crDrag,     crNoDrop,   crHSplit,    crVSplit,
    crMultiDrag, crSQLWait, crNo,        crAppStart, crHelp,     crHandPoint, crSizeAll};
const char* const TeeHandName = "crTeeHand";

AnsiString WithoutCr(const AnsiString& S) {
    return S.SubString(1, 2) == "cr" ? S.SubString(3, S.Length() - 2) : S;
}
} // namespace

bool TeeCursorToIdent(TCursor ACursor, AnsiString& Name) {
    if (ACursor == crTeeHand) {
        Name = TeeHandName;
        return true;
    }
    return CursorToIdent(ACursor, Name);
}

bool TeeIdentToCursor(const AnsiString& Name, TCursor& ACursor) {
    if (SameText(Name, TeeHandName)) {
        ACursor = crTeeHand;
        return true;
    }
    return IdentToCursor(Name, ACursor);
}

void TeeFillCursors(TComboFlat* ACombo, TCursor ACursor) {
    ACombo->Clear();
    ACombo->SetItemIndex(-1);
    TStrings* items = ACombo->Items();
    items->BeginUpdate();
    for (TCursor c : TeeCursors) {
        AnsiString name;
        if (CursorToIdent(c, name)) items->Add(WithoutCr(name));
    }
    items->Add(WithoutCr(TeeHandName));
    items->EndUpdate();
    ACombo->SetSorted(true);
    AnsiString name;
    ACombo->SetItemIndex(TeeCursorToIdent(ACursor, name) ? items->IndexOf(WithoutCr(name)) : -1);
}

TCursor TeeSetCursor(TCursor ACursor, const AnsiString& Name) {
    TCursor c;
    return TeeIdentToCursor("cr" + Name, c) ? c : ACursor;
}

// ---------------------------------------------------------------------------
// Docking

void AddFormTo(TCustomForm* AForm, TWinControl* AParent, TObject* ATag) {
    AForm->SetPosition(poDesigned);
    AForm->SetBorderStyle(bsNone);
    AForm->SetBorderIcons({});
    AForm->SetTag(reinterpret_cast<intptr_t>(ATag));
    AForm->SetParent(AParent);
    const bool wasVisible = AParent->Visible();
    AParent->SetVisible(true);
    AForm->SetLeft(4);
    AForm->SetTop(std::min(4, std::abs(AParent->ClientHeight() - AForm->ClientHeight()) / 2));
    AForm->Show();
    AParent->SetVisible(wasVisible);
}
