#include "chart/editor/teepoiedi.h"
#include "chart/editor/teeediseri.h"

#include "chart/control/series.h"
#include "chart/editor/teeformbuild.h"
#include "chart/editor/teependlg.h"
#include "chart/engine/teepointer.h"
#include "platform/classes/watched.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/modalwatch.h"
#include "platform/rtl/sysutils.h"
#include <algorithm>

QM_CLASS_OWNED(TSeriesPointerEditor, TForm, TComponent)

namespace {
bool Default3DStyle(TSeriesPointerStyle S) {
    return S == psRectangle || S == psTriangle || S == psDownTriangle;
}
} // namespace

TSeriesPointerEditor::TSeriesPointerEditor(TComponent* AOwner) : TForm(AOwner) {
    SetClientWidth(320);
    SetClientHeight(150);
    SetAlign(alClient);
    CBDrawPoint = TeeNewCheck(this, this, "CBDrawPoint", "&Visible", 8, 6, 90);
    CB3dPoint = TeeNewCheck(this, this, "CB3dPoint", "&3D", 8, 28, 90);
    CBPoDark = TeeNewCheck(this, this, "CBPoDark", "Dar&k 3D", 8, 50, 90);
    CBInflate = TeeNewCheck(this, this, "CBInflate", "Inflate &Margins", 8, 72, 120);
    UDPointHorizSize = TeeNewUpDown(this, this, "SEPointHorizSize", "UDPointHorizSize", 60, 96, 40,
                                    1, 1000, &SEPointHorizSize);
    LHorizSize = TeeNewLabel(this, this, "&Width:", 8, 100, SEPointHorizSize);
    UDPointVertSize = TeeNewUpDown(this, this, "SEPointVertSize", "UDPointVertSize", 60, 122, 40, 1,
                                   1000, &SEPointVertSize);
    LVertSize = TeeNewLabel(this, this, "&Height:", 8, 126, SEPointVertSize);
    CBStyle =
        TeeNewCombo(this, this, "CBStyle", 180, 6, 130,
                    {"Square", "Circle", "Triangle", "Down Triangle", "Cross", "Diagonal Cross",
                     "Star", "Diamond", "Small Dot", "Nothing", "Left Triangle", "Right Triangle"});
    CBStyle->SetStyle(csOwnerDrawFixed);
    TeeNewLabel(this, this, "&Style:", 140, 10, CBStyle);
    BPointFillColor = TeeNewButton(this, this, "BPointFillColor", "&Pattern...", 140, 36, 90);
    CBDefBrushColor = TeeNewCheck(this, this, "CBDefBrushColor", "&Default", 238, 40, 76);
    BPoinPenCol = TeeNewButton<TButtonPen>(this, this, "BPoinPenCol", "B&order...", 140, 66, 90);
    BGradient = TeeNewButton(this, this, "BGradient", "&Gradient...", 140, 96, 90);
    CBColorEach = TeeNewCheck(this, this, "CBColorEach", "&Color Each ", 238, 70, 80);

    FBind.Check(
        CBDrawPoint, [this] { return FPointer->Visible(); },
        [this](bool V) { SetPointerVisible(V); });
    FBind.Check(
        CB3dPoint, [this] { return FPointer->Draw3D(); },
        [this](bool V) {
            FPointer->SetDraw3D(V);
            Enable3DPoint();
        });
    FBind.Check(
        CBPoDark, [this] { return FPointer->Dark3D(); },
        [this](bool V) { FPointer->SetDark3D(V); });
    FBind.Check(
        CBInflate, [this] { return FPointer->InflateMargins(); },
        [this](bool V) { FPointer->SetInflateMargins(V); });
    // Sizes reach the pointer only while the page is shown. A series page may
    // edit the same size: left, a field shows what it last showed, not a reread.
    FBind.UpDown(UDPointHorizSize, nullptr, [this](int V) {
        if (Showing()) FPointer->SetHorizSize(V);
    });
    FBind.UpDown(UDPointVertSize, nullptr, [this](int V) {
        if (Showing()) FPointer->SetVertSize(V);
    });
    FBind.Index(
        CBStyle, [this] { return static_cast<int>(FPointer->Style()); },
        [this](int I) {
            FPointer->SetStyle(static_cast<TSeriesPointerStyle>(I));
            Enable3DPoint();
        });
    CBStyle->OnDrawItem = [this](TWinControl*, int Index, TRect Rect, TOwnerDrawState) {
        DrawStyleItem(Index, Rect);
    };
    BPointFillColor->OnClick = [this](TObject*) {
        if (!FPointer) return;
        TCallOut held{this, FPointer};
        EditChartBrush(this, FPointer->Brush());
        if (held.Gone()) return;
        CheckDefaultColor();
    };
    // The pen button has run its dialog on the pointer's pen already.
    BPoinPenCol->OnClick = [this](TObject*) { CheckDefaultColor(); };
    FBind.Check(CBDefBrushColor, nullptr, [this](bool V) {
        if (V) {
            FPointer->SetColor(clTeeColor);
            FPointer->Pen()->SetColor(clTeeColor);
        } else if (FPointer->Pen()->Color() == clTeeColor) {
            FPointer->Pen()->SetColor(clBlack);
        }
        if (FSeries) FSeries->Repaint();
    });
    BGradient->OnClick = [this](TObject*) {
        if (FPointer) EditTeeGradient(this, FPointer->Gradient());
    };
    FBind.Check(CBColorEach, nullptr, [this](bool V) {
        if (FSeries) FSeries->SetColorEachPoint(V);
    });
    OnShow = [this](TObject* s) { FormShow(s); };
}

void TSeriesPointerEditor::FormShow(TObject*) {
    TPersistent* tagged = Subject();
    FPointer = dynamic_cast<TSeriesPointer*>(tagged);
    FSeries = nullptr;
    if (!FPointer)
        if (auto* s = dynamic_cast<TCustomSeries*>(tagged)) {
            FSeries = s;
            FPointer = s->Pointer();
        }
    if (!FPointer) return;
    if (!FSeries) FSeries = FPointer->ParentSeries();
    FBind.Load();
    auto guard = FBind.Guard();
    CBColorEach->SetVisible(dynamic_cast<TSeriesPointer*>(tagged) == nullptr);
    if (FSeries) CBColorEach->SetChecked(FSeries->ColorEachPoint());
    UDPointHorizSize->SetPosition(FPointer->HorizSize());
    UDPointVertSize->SetPosition(FPointer->VertSize());
    BPoinPenCol->LinkPen(FPointer->Pen());
    CheckDefaultColor();
    SetPointerVisible(FPointer->Visible());
    if (!FPointer->AllowChangeSize) HideSizeOptions();
}

void TSeriesPointerEditor::SetPointerVisible(bool Value) {
    if (!FPointer) return;
    FPointer->SetVisible(Value);
    if (Value) {
        Enable3DPoint();
    } else {
        CB3dPoint->SetEnabled(false);
        CBPoDark->SetEnabled(false);
    }
    for (TControl* c : std::initializer_list<TControl*>{
             CBInflate, SEPointHorizSize, UDPointHorizSize, SEPointVertSize, UDPointVertSize,
             BPointFillColor, CBStyle, BPoinPenCol, CBDefBrushColor, BGradient})
        c->SetEnabled(Value);
}

void TSeriesPointerEditor::Enable3DPoint() {
    if (!FPointer) return;
    TCustomAxisPanel* chart = FSeries ? FSeries->ParentChart() : nullptr;
    bool on = false;
    if (chart && chart->View3D()) {
        const TSeriesPointerStyle s = FPointer->Style();
        on = Default3DStyle(s) ||
             (s == psCircle && chart->Canvas() && chart->Canvas()->SupportsFullRotation());
    }
    CB3dPoint->SetEnabled(on && FPointer->Visible());
    CBPoDark->SetEnabled(CB3dPoint->Enabled() && CB3dPoint->Checked());
}

void TSeriesPointerEditor::HideSizeOptions() {
    for (TControl* c :
         std::initializer_list<TControl*>{LHorizSize, SEPointHorizSize, UDPointHorizSize, LVertSize,
                                          SEPointVertSize, UDPointVertSize})
        c->Hide();
}

void TSeriesPointerEditor::CheckDefaultColor() {
    if (!FPointer) return;
    auto guard = FBind.Guard();
    CBDefBrushColor->SetChecked(FPointer->GetColor() == clTeeColor &&
                                FPointer->Pen()->Color() == clTeeColor);
}

void TSeriesPointerEditor::DrawStyleItem(int Index, const TRect& Rect) {
    TCanvas* target = CBStyle->Canvas();
    if (!target || Index < 0) return;
    target->FillRect(Rect);
    // The row's own colours for the text, whatever the symbol leaves behind.
    const TColor rowBrush = target->Brush()->Color();
    const TColor rowFont = target->Font()->Color();
    if (FPointer) {
        TTeeCanvas3D canvas;
        canvas.SetCanvas(target);
        TColor color = FPointer->GetColor();
        if (color == clTeeColor && FSeries) color = FSeries->SeriesColor();
        const auto style = static_cast<TSeriesPointerStyle>(Index);
        canvas.AssignVisiblePen(FPointer->Pen());
        const bool lineStyle =
            style == psCross || style == psDiagCross || style == psStar || style == psSmallDot;
        if (lineStyle && !FPointer->Pen()->Visible()) {
            canvas.Pen()->SetStyle(psSolid);
            canvas.Pen()->SetWidth(1);
            canvas.Pen()->SetColor(color);
        }
        canvas.Brush()->SetStyle(bsSolid);
        canvas.Brush()->SetColor(color);
        FPointer->DrawPointer(&canvas, false, Rect.Left + 8, Rect.Top + 6, 4, 4, color, style);
    }
    target->Brush()->SetStyle(bsSolid);
    target->Brush()->SetColor(rowBrush);
    target->Font()->SetColor(rowFont);
    target->TextOut(Rect.Left + 14, Rect.Top + 1, CBStyle->Items()->Strings(Index));
}

TTabSheet* TeeAddEditorTab(TCustomForm* Form, const AnsiString& Title) {
    if (TFormTeeSeries* series = TeeSeriesPageOf(Form))
        return series->AddSeriesTab(series->ExtraTabPosition(), Title);
    auto* sheet = dynamic_cast<TTabSheet*>(Form ? Form->Parent() : nullptr);
    if (!sheet || !sheet->PageControl()) return nullptr;
    TPageControl* pages = sheet->PageControl();
    auto* tab = new TTabSheet(Form);
    tab->SetPageControl(pages);
    tab->SetCaption(Title);
    // Docking activates the new tab for a moment; the user stays where he was.
    return tab;
}

TSeriesPointerEditor* TeeInsertPointerForm(TCustomForm* Form, TSeriesPointer* APointer,
                                           const AnsiString& Title) {
    TTabSheet* tab = TeeAddEditorTab(Form, Title);
    if (!tab) return nullptr;
    TTabSheet* current = tab->PageControl()->ActivePage();
    auto* editor = new TSeriesPointerEditor(tab);
    TeeAddToTab(editor, tab, APointer);
    tab->PageControl()->SetActivePage(current);
    return editor;
}

bool EditSeriesPointer(TComponent* AOwner, TSeriesPointer* APointer) {
    auto dlg = TeeCreateDialog<TSeriesPointerEditor>(AOwner);
    dlg->SetClientHeight(dlg->ClientHeight() + 36);
    auto* ok = TeeNewButton(dlg.get(), dlg.get(), "BOk", "OK", 236, dlg->ClientHeight() - 32);
    ok->SetModalResult(mrOk);
    ok->SetDefault(true);
    dlg->SetSubject(APointer);
    return ShowModalWatching(dlg.get(), {APointer->ParentSeries()}, AOwner).Ok();
}
