// The series page's own controls.
//   general tab   legend, cursor, depth, value formats, axes, sort order
//   marks tab     style page and arrows page
//   samples       the "Random" data source's sample count
//   swatch        the series colour beside the series chooser
#include "chart/control/teelegend.h"
#include "chart/control/tooledit.h"
#include "chart/editor/teeediseri.h"
#include "chart/editor/teeformbuild.h"
#include "chart/editor/teependlg.h"
#include "chart/editor/teepoiedi.h"
#include "chart/editor/teeshapeedit.h"
#include "chart/engine/teeaxis.h"
#include "chart/engine/teemarks.h"
#include "chart/engine/teeprocs.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/dialogs.h"
#include "platform/rtl/sysutils.h"
#include <algorithm>

namespace {
TGroupBox* NewGroup(TComponent* Owner, TWinControl* Parent, const char* Name,
                    const AnsiString& Caption, int L, int T, int W, int H) {
    auto* g = TeeNew<TGroupBox>(Owner, Parent, Name, L, T, W, H);
    g->SetCaption(Caption);
    return g;
}

// Marks styles whose text may take two lines.
bool MultiLineStyle(int Style) {
    return Style == smsLabelPercent || Style == smsLabelValue || Style == smsPercentTotal ||
           Style == smsLabelPercentTotal || Style == smsXY;
}
} // namespace

// ---------------------------------------------------------------------------
// General tab

void TFormTeeSeries::CreateGeneralTab() {
    TTabSheet* t = TabGeneral;
    CBShowInLegend = TeeNewCheck(this, t, "CBShowInLegend", "&Show In Legend", 8, 8, 130);
    CBShowInLegend->SetChecked(true);
    CBCursor = TeeNewCombo(this, t, "CBCursor", 62, 32, 100, {});
    TeeNewLabel(this, t, "&Cursor:", 8, 36, CBCursor);
    UDDepth = TeeNewUpDown(this, t, "EDepth", "UDDepth", 62, 60, 46, 0, 1200, &EDepth);
    TeeNewLabel(this, t, "&Depth:", 8, 64, EDepth);
    CBDepth = TeeNewCheck(this, t, "CBDepth", "Auto", 114, 62, 54);
    CBSort = TeeNewCombo(this, t, "CBSort", 62, 88, 100, {"Ascending", "Descending", "None"});
    TeeNewLabel(this, t, "S&ort:", 8, 92, CBSort);
    CBPersistent = TeeNewCheck(this, t, "CBPersistent", "Persistent", 8, 118, 100);
    CBPersistent->Hide();

    TGroupBox* formats = NewGroup(this, t, "GBFormats", "Formats", 176, 2, 212, 70);
    CBFormat = TeeNew<TComboBox>(this, formats, "CBFormat", 72, 16, 132, 21);
    TeeNewLabel(this, formats, "&Values:", 8, 20, CBFormat);
    EPercentFormat = TeeNew<TEdit>(this, formats, "EPercentFormat", 72, 42, 132, 21);
    TeeNewLabel(this, formats, "&Percents:", 8, 46, EPercentFormat);

    GBHorizAxis = NewGroup(this, t, "GBHorizAxis", "Horizontal Axis", 176, 76, 104, 72);
    CBHorizAxis = TeeNewCombo(this, GBHorizAxis, "CBHorizAxis", 6, 18, 92,
                              {"Top", "Bottom", "Top and Bottom"});
    CBXDateTime = TeeNewCheck(this, GBHorizAxis, "CBXDateTime", "Dat&eTime", 6, 46, 92);
    GBVertAxis = NewGroup(this, t, "GBVertAxis", "Vertical Axis", 284, 76, 104, 72);
    CBVertAxis =
        TeeNewCombo(this, GBVertAxis, "CBVertAxis", 6, 18, 92, {"Left", "Right", "Left and Right"});
    CBYDateTime = TeeNewCheck(this, GBVertAxis, "CBYDateTime", "D&ateTime", 6, 46, 92);

    FBind.Check(
        CBShowInLegend, [this] { return FTheSeries->ShowInLegend(); },
        [this](bool V) { FTheSeries->SetShowInLegend(V); });
    // The lists below are filled with the tab, their choice with them.
    FBind.Index(CBCursor, nullptr, [this](int I) {
        FTheSeries->SetCursor(TeeSetCursor(FTheSeries->Cursor(), CBCursor->Items()->Strings(I)));
    });
    FBind.UpDown(
        UDDepth, [this] { return std::max(0, FTheSeries->Depth()); },
        [this](int V) {
            FTheSeries->SetDepth(V);
            auto guard = FBind.Guard();
            CBDepth->SetChecked(false);
        });
    FBind.Check(
        CBDepth, [this] { return FTheSeries->Depth() == -1; },
        [this](bool V) { FTheSeries->SetDepth(V ? -1 : UDDepth->Position()); });
    FBind.Text(
        CBFormat, [this] { return StoredToLocalFormat(FTheSeries->ValueFormat()); },
        [this](const AnsiString& T) { FTheSeries->SetValueFormat(LocalToStoredFormat(T)); });
    FBind.Text(
        EPercentFormat, [this] { return StoredToLocalFormat(FTheSeries->PercentFormat()); },
        [this](const AnsiString& T) { FTheSeries->SetPercentFormat(LocalToStoredFormat(T)); });
    // A custom axis freed since the lists were filled is not given to the
    // series: the lists are filled again and show the axis it keeps.
    FBind.Index(CBHorizAxis, nullptr, [this](int I) {
        if (I < 3) {
            FTheSeries->SetHorizAxis(static_cast<THorizAxis>(I));
        } else if (auto* axis = static_cast<TChartAxis*>(CBHorizAxis->Items()->Objects(I))) {
            FTheSeries->SetCustomHorizAxis(axis);
            FTheSeries->SetHorizAxis(aCustomHorizAxis);
        } else {
            FillAxes();
        }
    });
    FBind.Index(CBVertAxis, nullptr, [this](int I) {
        if (I < 3) {
            FTheSeries->SetVertAxis(static_cast<TVertAxis>(I));
        } else if (auto* axis = static_cast<TChartAxis*>(CBVertAxis->Items()->Objects(I))) {
            FTheSeries->SetCustomVertAxis(axis);
            FTheSeries->SetVertAxis(aCustomVertAxis);
        } else {
            FillAxes();
        }
    });
    FBind.Check(
        CBXDateTime, [this] { return FTheSeries->XValues()->DateTime(); },
        [this](bool V) {
            FTheSeries->XValues()->SetDateTime(V);
            FTheSeries->Repaint();
        });
    FBind.Check(
        CBYDateTime, [this] { return FTheSeries->YValues()->DateTime(); },
        [this](bool V) {
            FTheSeries->YValues()->SetDateTime(V);
            FTheSeries->Repaint();
        });
    static const TChartListOrder orders[] = {loAscending, loDescending, loNone};
    FBind.Index(
        CBSort,
        [this] {
            const TChartListOrder order = FTheSeries->NotMandatoryValues()->Order();
            return order == loAscending ? 0 : order == loDescending ? 1 : 2;
        },
        [this](int I) {
            FTheSeries->MandatoryValues()->SetOrder(loNone);
            TChartValueList* list = FTheSeries->NotMandatoryValues();
            list->SetOrder(orders[I]);
            if (orders[I] != loNone) list->Sort();
            FTheSeries->Repaint();
        });
    // Read when another series is chosen.
    FBind.Check(CBPersistent, nullptr, [this](bool V) {
        TChartSeriesStyle style = FTheSeries->Style();
        if (V)
            style << tssIsPersistent;
        else
            style >> tssIsPersistent;
        FTheSeries->SetStyle(style);
    });
}

void TFormTeeSeries::FillAxes() {
    auto fill = [this](TComboBox* Combo, bool Horizontal) {
        TStrings* items = Combo->Items();
        while (items->Count() > 3)
            items->Delete(3);
        TCustomAxisPanel* chart = FTheSeries ? FTheSeries->ParentChart() : nullptr;
        if (!chart) return;
        TChartCustomAxes* axes = chart->CustomAxes();
        for (int i = 0; i < axes->Count(); ++i)
            if (axes->Get(i)->Horizontal() == Horizontal)
                items->AddObject("Custom " + AnsiString(i), axes->Get(i));
    };
    fill(CBHorizAxis, true);
    fill(CBVertAxis, false);
    if (!FTheSeries) return;
    auto guard = FBind.Guard();
    if (FTheSeries->HorizAxis() == aCustomHorizAxis)
        CBHorizAxis->SetItemIndex(
            CBHorizAxis->Items()->IndexOfObject(FTheSeries->CustomHorizAxis()));
    else
        CBHorizAxis->SetItemIndex(FTheSeries->HorizAxis());
    if (FTheSeries->VertAxis() == aCustomVertAxis)
        CBVertAxis->SetItemIndex(CBVertAxis->Items()->IndexOfObject(FTheSeries->CustomVertAxis()));
    else
        CBVertAxis->SetItemIndex(FTheSeries->VertAxis());
}

void TFormTeeSeries::FillGeneralTab() {
    TChartSeries* s = FTheSeries;
    auto guard = FBind.Guard();
    CBFormat->Items()->Clear();
    AddDefaultValueFormats(CBFormat->Items());
    const AnsiString format = StoredToLocalFormat(s->ValueFormat());
    if (CBFormat->Items()->IndexOf(format) < 0) CBFormat->Items()->Add(format);
    CBFormat->SetItemIndex(CBFormat->Items()->IndexOf(format));
    CBFormat->SetText(format);
    FillAxes();
    const bool uses = s->UseAxis();
    GBHorizAxis->SetVisible(uses);
    GBVertAxis->SetVisible(uses);
    const bool few = s->ValuesList()->Count() < 3;
    for (TControl* c : std::initializer_list<TControl*>{CBSort, EDepth, UDDepth, CBDepth})
        c->SetVisible(few);
    for (int i = 0; i < TabGeneral->ControlCount(); ++i)
        if (auto* l = dynamic_cast<TLabel*>(TabGeneral->Controls(i)))
            if (l->FocusControl() == CBSort || l->FocusControl() == EDepth) l->SetVisible(few);
    TeeFillCursors(CBCursor, s->Cursor());
}

// ---------------------------------------------------------------------------
// Marks tab

void TFormTeeSeries::CreateMarksTab() {
    PageControlMarks = TeeNew<TPageControl>(this, TabMarks, "PageControlMarks", 0, 0, 392, 204);
    PageControlMarks->SetAlign(alClient);
    TabSheet1 = TeeNewTab(PageControlMarks, "TabSheet1", "Style");
    TabSheet2 = TeeNewTab(PageControlMarks, "TabSheet2", "Arrows");
    PageControlMarks->SetActivePage(TabSheet1);
    TTabSheet* t = TabSheet1;
    CBMarksVisible = TeeNewCheck(this, t, "CBMarksVisible", "&Visible", 8, 6, 100);
    CBMarkClip = TeeNewCheck(this, t, "CBMarkClip", "Cl&ipped", 8, 28, 100);
    CBMultiLine = TeeNewCheck(this, t, "CBMultiLine", "&Multi line", 8, 50, 100);
    CBAllVisible = TeeNewCheck(this, t, "CBAllVisible", "All Series Visi&ble", 8, 72, 150);
    UDMarksAngle =
        TeeNewUpDown(this, t, "SEMarksAngle", "UDMarksAngle", 86, 98, 46, 0, 360, &SEMarksAngle, 5);
    UDMarksAngle->SetWrap(true);
    TeeNewLabel(this, t, "&Angle:", 8, 102, SEMarksAngle);
    UDEvery = TeeNewUpDown(this, t, "EMarksEvery", "UDEvery", 86, 124, 46, 1, 5000, &EMarksEvery);
    TeeNewLabel(this, t, "Draw &every:", 8, 128, EMarksEvery);
    RGMarkStyle =
        TeeNewRadio(this, t, "RGMarkStyle", "&Style:", 164, 0, 220, 172,
                    {"Value", "Percent", "Label", "Label and Percent", "Label and Value", "Legend",
                     "Percent Total", "Label and Percent Total", "X value", "X and Y values"});

    t = TabSheet2;
    BMarkLinCol = TeeNewButton<TButtonPen>(this, t, "BMarkLinCol", "&Border...", 8, 8, 90);
    UDArrowsLength = TeeNewUpDown(this, t, "SEArrowLength", "UDArrowsLength", 80, 44, 50, -1000,
                                  1000, &SEArrowLength);
    TeeNewLabel(this, t, "&Length:", 8, 48, SEArrowLength);
    UDArrowDist =
        TeeNewUpDown(this, t, "EArrowDist", "UDArrowDist", 80, 72, 50, -1000, 1000, &EArrowDist);
    TeeNewLabel(this, t, "&Distance:", 8, 76, EArrowDist);
    BCalloutPointer = TeeNewButton(this, t, "BCalloutPointer", "&Pointer...", 200, 8, 90);
    CBHead = TeeNewCombo(this, t, "CBHead", 288, 44, 80, {"None", "Line", "Solid"});
    TeeNewLabel(this, t, "&Arrow head:", 200, 48, CBHead);
    UDHeadSize = TeeNewUpDown(this, t, "Edit1", "UDHeadSize", 288, 72, 50, -1000, 1000, &Edit1);
    TeeNewLabel(this, t, "&Size:", 200, 76, Edit1);

    auto marks = [this] { return FTheSeries->Marks(); };
    FBind.Index(
        RGMarkStyle, [marks] { return static_cast<int>(marks()->Style()); },
        [this, marks](int I) {
            marks()->SetStyle(static_cast<TSeriesMarksStyle>(I));
            EnableMultiLine();
        });
    FBind.Check(
        CBMarksVisible, [marks] { return marks()->Visible(); },
        [this, marks](bool V) {
            marks()->SetVisible(V);
            auto guard = FBind.Guard();
            CBAllVisible->SetChecked(AllMarksVisible());
        });
    FBind.Check(
        CBAllVisible, [this] { return AllMarksVisible(); },
        [this](bool V) {
            if (TCustomAxisPanel* chart = FTheSeries->ParentChart())
                for (int i = 0; i < chart->SeriesCount(); ++i)
                    chart->Series(i)->Marks()->SetVisible(V);
            auto guard = FBind.Guard();
            CBMarksVisible->SetChecked(V);
        });
    FBind.Check(
        CBMarkClip, [marks] { return marks()->Clip(); }, [marks](bool V) { marks()->SetClip(V); });
    FBind.Check(
        CBMultiLine, [marks] { return marks()->MultiLine(); },
        [marks](bool V) { marks()->SetMultiLine(V); });
    FBind.UpDown(
        UDMarksAngle, [marks] { return marks()->Angle(); },
        [marks](int V) { marks()->SetAngle(V); });
    FBind.UpDown(
        UDEvery, [marks] { return marks()->DrawEvery(); },
        [marks](int V) { marks()->SetDrawEvery(V); });
    FBind.UpDown(
        UDArrowsLength, [marks] { return marks()->ArrowLength(); },
        [marks](int V) { marks()->SetArrowLength(V); });
    FBind.UpDown(
        UDArrowDist, [marks] { return marks()->Callout()->Distance(); },
        [marks](int V) { marks()->Callout()->SetDistance(V); });
    FBind.UpDown(
        UDHeadSize, [marks] { return marks()->Callout()->ArrowHeadSize(); },
        [marks](int V) { marks()->Callout()->SetArrowHeadSize(V); });
    FBind.Index(
        CBHead, [marks] { return static_cast<int>(marks()->Callout()->ArrowHead()); },
        [marks](int I) { marks()->Callout()->SetArrowHead(static_cast<TArrowHeadStyle>(I)); });
    BCalloutPointer->OnClick = [this](TObject*) {
        if (FTheSeries) EditSeriesPointer(this, FTheSeries->Marks()->Callout());
    };
}

bool TFormTeeSeries::AllMarksVisible() const {
    bool all = true;
    if (TCustomAxisPanel* chart = FTheSeries->ParentChart())
        for (int i = 0; i < chart->SeriesCount(); ++i)
            all = all && chart->Series(i)->Marks()->Visible();
    return all;
}

void TFormTeeSeries::EnableMultiLine() {
    CBMultiLine->SetEnabled(MultiLineStyle(RGMarkStyle->ItemIndex()));
}

void TFormTeeSeries::FillMarksTab() {
    TSeriesMarks* m = FTheSeries->Marks();
    if (!FMarksForm) {
        // The marks' frame, font and back editor, when the program has it.
        if (TCustomForm* form = TeeCreateFormByClass(GetClass("TFormTeeShape"), this)) {
            FMarksForm = form;
            TTabSheet* tab = TeeNewTab(PageControlMarks, "TabFormat", "Format");
            tab->SetPageIndex(1);
            form->SetAlign(alClient);
            TeeTranslateControl(tab);
            TeeTranslateControl(form);
            AddFormTo(form, tab, m);
        }
    }
    // The page edits whichever series is chosen now.
    if (auto* shape = dynamic_cast<TFormTeeShape*>(FMarksForm)) shape->RefreshControls(m);
    BMarkLinCol->LinkPen(m->Arrow());
}

// ---------------------------------------------------------------------------
// Random samples

void TFormTeeSeries::CreateSamplesPanel() {
    Panel4 = TeeNew<TPanel>(this, TabDataSource, "Panel4", 0, 32, 392, 72);
    Panel4->SetBevelOuter(bvNone);
    Panel4->Hide();
    TeeNewLabel(this, Panel4, "&Number of sample values:", 8, 10);
    auto* samples = TeeNewNumber(this, Panel4, "ESamples", 170, 6, 60);
    TeeBoundAsStored(samples, &TChartSeries::ClassInfo, "SampleCount");
    ESamples = samples;
    CBSamplesDefault = TeeNewCheck(this, Panel4, "CBSamplesDefault", "&Default", 240, 8, 80);
    BApplyRandom = TeeNewButton(this, Panel4, "BApplyRandom", "&Apply", 8, 38);
    BApplyRandom->SetEnabled(false);
    for (int i = 0; i < Panel4->ControlCount(); ++i)
        if (auto* l = dynamic_cast<TLabel*>(Panel4->Controls(i))) l->SetFocusControl(ESamples);

    FBind.Check(CBSamplesDefault, nullptr, [this](bool V) {
        if (!V) return;
        ESamples->SetText(AnsiString(FTheSeries->NumSampleValues()));
        CBSamplesDefault->SetEnabled(false);
    });
    FBind.Text(
        ESamples, [this] { return AnsiString(ShownSampleCount()); },
        [this](const AnsiString& T) {
            int v;
            // A count that is no positive number is not stored.
            if (!TryStrToInt(T.Trim(), v) || v < 1) {
                BApplyRandom->SetEnabled(false);
                return;
            }
            FTheSeries->SetSampleCount(v);
            BApplyRandom->SetEnabled(true);
            auto guard = FBind.Guard();
            const bool isDefault = v == FTheSeries->NumSampleValues();
            CBSamplesDefault->SetChecked(isDefault);
            CBSamplesDefault->SetEnabled(!isDefault);
        });
    BApplyRandom->OnClick = [this](TObject*) {
        if (!FTheSeries) return;
        const int stored = FTheSeries->SampleCount();
        FTheSeries->FillSampleValues(stored > 0 ? stored : FTheSeries->NumSampleValues());
    };
}

int TFormTeeSeries::ShownSampleCount() const {
    const int stored = FTheSeries->SampleCount();
    return stored > 0 ? stored : FTheSeries->NumSampleValues();
}

void TFormTeeSeries::FillSamples() {
    auto guard = FBind.Guard();
    const int stored = FTheSeries->SampleCount();
    ESamples->SetText(AnsiString(ShownSampleCount()));
    const bool isDefault = stored == 0 || stored == FTheSeries->NumSampleValues();
    CBSamplesDefault->SetChecked(isDefault);
    CBSamplesDefault->SetEnabled(!isDefault);
    BApplyRandom->SetEnabled(false);
}

// ---------------------------------------------------------------------------
// Colour swatch

void TFormTeeSeries::PaintSwatch() {
    TCanvas* c = PaintBox1->Canvas();
    const TRect r(0, 0, PaintBox1->Width(), PaintBox1->Height());
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clWindow);
    c->FillRect(r);
    if (FTheSeries)
        PaintSeriesLegend(FTheSeries, c, TRect(r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2));
}

void TFormTeeSeries::SwatchClick() {
    if (!FTheSeries || !FTheSeries->UseSeriesColor()) return;
    TColorDialog dialog(this);
    dialog.SetColor(FTheSeries->SeriesColor());
    TCallOut held{this, FTheSeries};
    const bool chosen = dialog.Execute();
    if (held.Gone()) return;
    if (!chosen) return;
    FTheSeries->SetSeriesColor(dialog.Color());
    PaintBox1->Invalidate();
}
