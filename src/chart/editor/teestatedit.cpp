// Pages of the statistical and image series.
//   error and high-low            TErrorSeriesEditor, THighLowEditor
//   histogram, point and figure   THistogramSeriesEditor, TPointFigureEditor
//   image bar                     TImageBarSeriesEditor
//   line point and bar join       TLinePointEditor, TBarJoinEditor
#include "chart/editor/teestatedit.h"
#include "chart/engine/teeprocs.h"

#include "chart/editor/teepoiedi.h"
#include "chart/editor/teeediseri.h"
#include "chart/editor/teependlg.h"
#include "chart/series/errorbar.h"
#include "chart/series/histogram.h"
#include "chart/series/imagebar.h"
#include "chart/series/mypoint.h"
#include "chart/series/teepointfigure.h"
#include "platform/classes/watched.h"
#include "platform/forms/dialogs.h"
#include "platform/graphics/graphics.h"
#include "platform/rtl/floatformat.h"
#include "platform/rtl/sysutils.h"

QM_CLASS_OWNED(TErrorSeriesEditor, TTeeSeriesPage, TComponent)
QM_CLASS_OWNED(THighLowEditor, TTeeSeriesPage, TComponent)
QM_CLASS_OWNED(THistogramSeriesEditor, TTeeSeriesPage, TComponent)
QM_CLASS_OWNED(TPointFigureEditor, TTeeSeriesPage, TComponent)
QM_CLASS_OWNED(TImageBarSeriesEditor, TTeeSeriesPage, TComponent)
QM_CLASS_OWNED(TLinePointEditor, TTeeSeriesPage, TComponent)
QM_CLASS_OWNED(TBarJoinEditor, TBarSeriesEditor, TComponent)

namespace {
template <typename T> T* As(TChartSeries* S) {
    return dynamic_cast<T*>(S);
}
} // namespace

// ---------------------------------------------------------------------------
// TErrorSeriesEditor

TErrorSeriesEditor::TErrorSeriesEditor(TComponent* AOwner) : TTeeSeriesPage(AOwner) {
    SetClientWidth(340);
    SetClientHeight(150);
    UDBarWidth =
        TeeNewUpDown(this, this, "SEBarwidth", "UDBarWidth", 84, 8, 40, 0, 1000, &SEBarwidth);
    TeeNewLabel(this, this, "Error &Width:", 8, 12, SEBarwidth);
    RGWidthUnit = TeeNewRadio(this, this, "RGWidthUnit", "Width Units:", 8, 36, 120, 60,
                              {"P&ercent", "P&ixels"});
    CBColorEach = TeeNewCheck(this, this, "CBColorEach", "&Color Each", 8, 104, 110);
    BPen = TeeNewButton<TButtonPen>(this, this, "BPen", "&Border...", 8, 124, 90);
    RGStyle =
        TeeNewRadio(this, this, "RGStyle", "Style:", 140, 4, 190, 142,
                    {"&Left", "&Right", "Left &and Right", "&Top", "&Bottom", "T&op and Bottom"});
    OnUpDown(UDBarWidth, [this](int V) { As<TCustomErrorSeries>(FSeries)->SetErrorWidth(V); });
    OnIndex(RGWidthUnit, [this](int I) {
        As<TCustomErrorSeries>(FSeries)->SetErrorWidthUnits(static_cast<TErrorWidthUnits>(I));
    });
    OnIndex(RGStyle, [this](int I) {
        if (Showing())
            As<TCustomErrorSeries>(FSeries)->SetErrorStyle(static_cast<TErrorSeriesStyle>(I));
    });
    OnCheck(CBColorEach, [this](bool V) { FSeries->SetColorEachPoint(V); });
    BPen->OnClick = [this](TObject*) {
        auto* s = As<TCustomErrorSeries>(FSeries);
        if (s && !dynamic_cast<TErrorBarSeries*>(s)) s->SetSeriesColor(s->ErrorPen()->Color());
    };
}

void TErrorSeriesEditor::ShowSeries() {
    auto* s = As<TCustomErrorSeries>(FSeries);
    if (!s) return;
    UDBarWidth->SetPosition(s->ErrorWidth());
    RGWidthUnit->SetItemIndex(s->ErrorWidthUnits());
    CBColorEach->SetChecked(s->ColorEachPoint());
    BPen->LinkPen(s->ErrorPen());
    const bool error = dynamic_cast<TErrorSeries*>(s) != nullptr;
    RGStyle->SetVisible(error);
    if (error) RGStyle->SetItemIndex(s->ErrorStyle());
}

void TErrorSeriesEditor::AddPages() {
    if (dynamic_cast<TErrorBarSeries*>(FSeries.Get()))
        InsertPage("TBarSeriesEditor", "Bar", FSeries);
}

// ---------------------------------------------------------------------------
// THighLowEditor

THighLowEditor::THighLowEditor(TComponent* AOwner) : TTeeSeriesPage(AOwner) {
    SetClientWidth(300);
    SetClientHeight(130);
    BPen = TeeNewButton<TButtonPen>(this, this, "BPen", "&Lines...", 8, 8, 85);
    BHighPen = TeeNewButton<TButtonPen>(this, this, "BHighPen", "&High...", 8, 38, 85);
    BBrush = TeeNewButton(this, this, "BBrush", "&Pattern...", 100, 38, 85);
    BLowPen = TeeNewButton<TButtonPen>(this, this, "BLowPen", "L&ow...", 8, 68, 85);
    BLowBrush = TeeNewButton(this, this, "BLowBrush", "P&attern...", 100, 68, 85);
    BColor = TeeNewButton<TButtonColor>(this, this, "BColor", "&Color...", 200, 8, 90);
    CBColorEach = TeeNewCheck(this, this, "CBColorEach", "Colo&r Each", 200, 42, 96);
    UDTransp = TeeNewUpDown(this, this, "Edit1", "UDTransp", 84, 100, 44, 0, 100, &Edit1, 5);
    TeeNewLabel(this, this, "&Transparency:", 8, 104, Edit1);
    BBrush->OnClick = [this](TObject*) {
        if (auto* s = As<THighLowSeries>(FSeries)) EditChartBrush(this, s->HighBrush());
    };
    BLowBrush->OnClick = [this](TObject*) {
        if (auto* s = As<THighLowSeries>(FSeries)) EditChartBrush(this, s->LowBrush());
    };
    OnCheck(CBColorEach, [this](bool V) { FSeries->SetColorEachPoint(V); });
    OnUpDown(UDTransp, [this](int V) { As<THighLowSeries>(FSeries)->SetTransparency(V); });
}

void THighLowEditor::ShowSeries() {
    auto* s = As<THighLowSeries>(FSeries);
    if (!s) return;
    CBColorEach->SetChecked(s->ColorEachPoint());
    BPen->LinkPen(s->Pen());
    BHighPen->LinkPen(s->HighPen());
    BLowPen->LinkPen(s->LowPen());
    UDTransp->SetPosition(s->Transparency());
    BColor->LinkProperty(s, "SeriesColor");
}

// ---------------------------------------------------------------------------
// THistogramSeriesEditor

THistogramSeriesEditor::THistogramSeriesEditor(TComponent* AOwner) : TTeeSeriesPage(AOwner) {
    SetClientWidth(300);
    SetClientHeight(130);
    auto* group = TeeNew<TGroupBox>(this, this, "GroupBox1", 8, 2, 120, 88);
    group->SetCaption("Color:");
    CBColorEach = TeeNewCheck(this, group, "CBColorEach", "Color &Each", 8, 20, 104);
    BAreaColor = TeeNewButton<TButtonColor>(this, group, "BAreaColor", "&Color...", 8, 50, 100);
    BAreaLinesPen = TeeNewButton<TButtonPen>(this, this, "BAreaLinesPen", "&Lines...", 140, 8, 90);
    BAreaLinePen = TeeNewButton<TButtonPen>(this, this, "BAreaLinePen", "&Border...", 140, 38, 90);
    Button1 = TeeNewButton(this, this, "Button1", "&Pattern...", 140, 68, 90);
    UDTransp = TeeNewUpDown(this, this, "Edit1", "UDTransp", 84, 100, 44, 0, 100, &Edit1, 5);
    TeeNewLabel(this, this, "&Transparency:", 8, 104, Edit1);
    OnCheck(CBColorEach, [this](bool V) {
        BAreaColor->SetEnabled(!V);
        FSeries->SetColorEachPoint(V);
    });
    Button1->OnClick = [this](TObject*) {
        if (FSeries) EditChartBrush(this, FSeries->Brush());
    };
    OnUpDown(UDTransp, [this](int V) { As<THistogramSeries>(FSeries)->SetTransparency(V); });
}

void THistogramSeriesEditor::ShowSeries() {
    auto* s = As<THistogramSeries>(FSeries);
    if (!s) return;
    CBColorEach->SetChecked(s->ColorEachPoint());
    BAreaColor->SetEnabled(!s->ColorEachPoint());
    BAreaColor->LinkProperty(s, "SeriesColor");
    BAreaLinesPen->LinkPen(s->LinesPen());
    BAreaLinePen->LinkPen(s->Pen());
    UDTransp->SetPosition(s->Transparency());
}

// ---------------------------------------------------------------------------
// TPointFigureEditor

TPointFigureEditor::TPointFigureEditor(TComponent* AOwner) : TTeeSeriesPage(AOwner) {
    SetClientWidth(240);
    SetClientHeight(70);
    EBoxSize = TeeNewNumber(this, this, "EBoxSize", 124, 8, 70);
    EBoxSize->SetText("1");
    TeeNewLabel(this, this, "&Box size:", 8, 12, EBoxSize);
    EReversal = TeeNewNumber(this, this, "EReversal", 124, 38, 70);
    EReversal->SetText("3");
    TeeNewLabel(this, this, "&Reversal amount:", 8, 42, EReversal);
    OnFloat(EBoxSize, [this](double V) { As<TPointFigureSeries>(FSeries)->SetBoxSize(V); });
    OnFloat(EReversal, [this](double V) { As<TPointFigureSeries>(FSeries)->SetReversalAmount(V); });
}

void TPointFigureEditor::ShowSeries() {
    auto* s = As<TPointFigureSeries>(FSeries);
    if (!s) return;
    EReversal->SetText(FloatToStr(s->ReversalAmount()));
    EBoxSize->SetText(FloatToStr(s->BoxSize()));
}

void TPointFigureEditor::AddPages() {
    auto* s = As<TPointFigureSeries>(FSeries);
    if (!s) return;
    TeeInsertPointerForm(this, s->UpSymbol(), "Up");
    TeeInsertPointerForm(this, s->DownSymbol(), "Down");
}

// ---------------------------------------------------------------------------
// TImageBarSeriesEditor

TImageBarSeriesEditor::TImageBarSeriesEditor(TComponent* AOwner) : TTeeSeriesPage(AOwner) {
    SetClientWidth(240);
    SetClientHeight(120);
    GroupBox1 = TeeNew<TGroupBox>(this, this, "GroupBox1", 8, 2, 224, 112);
    GroupBox1->SetCaption("Image:");
    Image1 = TeeNew<TImage>(this, GroupBox1, "Image1", 10, 20, 100, 82);
    Image1->SetStretch(true);
    BBrowse = TeeNewButton(this, GroupBox1, "BBrowse", "B&rowse...", 120, 20, 94);
    CBTiled = TeeNewCheck(this, GroupBox1, "CBTiled", "&Tiled", 122, 56, 90);
    OnCheck(CBTiled, [this](bool V) { As<TImageBarSeries>(FSeries)->SetImageTiled(V); });
    BBrowse->OnClick = [this](TObject*) { BrowseOrClear(); };
}

void TImageBarSeriesEditor::ShowSeries() {
    auto* s = As<TImageBarSeries>(FSeries);
    if (!s) return;
    CBTiled->SetChecked(s->ImageTiled());
    RefreshImage();
}

void TImageBarSeriesEditor::RefreshImage() {
    auto* s = As<TImageBarSeries>(FSeries);
    const bool has = s && s->Image()->Graphic() && !s->Image()->Graphic()->Empty();
    Image1->Picture()->Assign(has ? s->Image() : nullptr);
    CBTiled->SetEnabled(has);
    BBrowse->SetCaption(has ? "Clea&r" : "B&rowse...");
}

void TImageBarSeriesEditor::BrowseOrClear() {
    auto* s = As<TImageBarSeries>(FSeries);
    if (!s) return;
    if (s->Image()->Graphic() && !s->Image()->Graphic()->Empty()) {
        TPicture none;
        s->SetImage(&none);
    } else {
        TOpenPictureDialog dlg(this);
        TCallOut held{this, s};
        const bool chosen = dlg.Execute();
        if (held.Gone()) return;
        if (!chosen) return;
        // A file that is no picture is refused with its message; the bars keep theirs.
        TPicture picture;
        const bool ok = TeeLoadPictureFile(picture, dlg.FileName());
        if (held.Gone() || !ok) return;
        s->SetImage(&picture);
    }
    RefreshImage();
}

void TImageBarSeriesEditor::AddPages() {
    if (TCustomForm* bar = InsertPage("TBarSeriesEditor", "Bar", FSeries)) {
        // The bars are the image: their style does not apply.
        if (auto* combo = dynamic_cast<TControl*>(bar->FindComponent("CBBarStyle"))) {
            combo->Hide();
            for (int i = 0; i < bar->ComponentCount(); ++i)
                if (auto* l = dynamic_cast<TLabel*>(bar->Components(i));
                    l && l->FocusControl() == combo)
                    l->Hide();
        }
    }
}

// ---------------------------------------------------------------------------
// TLinePointEditor

TLinePointEditor::TLinePointEditor(TComponent* AOwner) : TTeeSeriesPage(AOwner) {
    SetClientWidth(340);
    SetClientHeight(210);
    auto* top = TeeNew<TPanel>(this, this, "PanelTop", 0, 0, 340, 34);
    top->SetAlign(alTop);
    top->SetBevelOuter(bvNone);
    BLines = TeeNewButton<TButtonPen>(this, top, "BLines", "&Lines...", 8, 4, 90);
    PanelPointer = TeeNew<TPanel>(this, this, "PanelPointer", 0, 34, 340, 176);
    PanelPointer->SetAlign(alClient);
    PanelPointer->SetBevelOuter(bvNone);
}

void TLinePointEditor::ShowSeries() {
    auto* s = As<TMyPointSeries>(FSeries);
    if (!s) return;
    if (!FPointerForm) {
        FPointerForm = new TSeriesPointerEditor(this);
        FPointerForm->SetAlign(alClient);
        TeeTranslateControl(FPointerForm);
        AddFormTo(FPointerForm, PanelPointer, s);
    }
    BLines->LinkPen(s->LinesPen());
}

// ---------------------------------------------------------------------------
// TBarJoinEditor

TBarJoinEditor::TBarJoinEditor(TComponent* AOwner) : TBarSeriesEditor(AOwner) {
    SetClientHeight(196);
    BJoin = TeeNewButton<TButtonPen>(this, this, "BJoin", "&Join...", 214, 166, 100);
    OnShow = [this](TObject* s) {
        FormShow(s);
        if (auto* j = SubjectAs<TBarJoinSeries>()) BJoin->LinkPen(j->JoinPen());
    };
}
