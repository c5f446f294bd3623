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
#include "chart/engine/teeaxis.h"
#include "chart/engine/teemarks.h"
#include "chart/engine/teeprocs.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/dialogs.h"
#include "platform/rtl/sysutils.h"
#include <algorithm>

namespace {
// Sets the flag for a scope, whatever leaves it.
class TFlagScope {
public:
    explicit TFlagScope(bool& Flag) : FFlag(Flag), FWas(Flag) { FFlag = true; }
    ~TFlagScope() { FFlag = FWas; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& FFlag;
    bool FWas;
};

// The whole number the edit holds, kept inside the up-down's range; false for
// empty or non-numeric text.
bool EditValue(TEdit* Edit, TUpDown* UpDown, int& Value) {
    if (!TryStrToInt(Edit->Text().Trim(), Value)) return false;
    Value = std::clamp(Value, UpDown->Min(), UpDown->Max());
    return true;
}

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

    CBShowInLegend->OnClick = [this](TObject*) {
        if (!FChanging && FTheSeries) FTheSeries->SetShowInLegend(CBShowInLegend->Checked());
    };
    CBCursor->OnChange = [this](TObject*) {
        if (FChanging || !FTheSeries || CBCursor->ItemIndex() < 0) return;
        FTheSeries->SetCursor(
            TeeSetCursor(FTheSeries->Cursor(), CBCursor->Items()->Strings(CBCursor->ItemIndex())));
    };
    EDepth->OnChange = [this](TObject*) {
        int v;
        if (FChanging || !FTheSeries || !EditValue(EDepth, UDDepth, v)) return;
        FTheSeries->SetDepth(v);
        const TFlagScope guard(FChanging);
        CBDepth->SetChecked(false);
    };
    CBDepth->OnClick = [this](TObject*) {
        if (FChanging || !FTheSeries) return;
        FTheSeries->SetDepth(CBDepth->Checked() ? -1 : UDDepth->Position());
    };
    CBFormat->OnChange = [this](TObject*) {
        if (!FChanging && FTheSeries)
            FTheSeries->SetValueFormat(LocalToStoredFormat(CBFormat->Text()));
    };
    EPercentFormat->OnChange = [this](TObject*) {
        if (!FChanging && FTheSeries)
            FTheSeries->SetPercentFormat(LocalToStoredFormat(EPercentFormat->Text()));
    };
    CBHorizAxis->OnChange = [this](TObject*) {
        const int i = CBHorizAxis->ItemIndex();
        if (FChanging || !FTheSeries || i < 0) return;
        if (i < 3) {
            FTheSeries->SetHorizAxis(static_cast<THorizAxis>(i));
        } else {
            FTheSeries->SetCustomHorizAxis(
                static_cast<TChartAxis*>(CBHorizAxis->Items()->Objects(i)));
            FTheSeries->SetHorizAxis(aCustomHorizAxis);
        }
    };
    CBVertAxis->OnChange = [this](TObject*) {
        const int i = CBVertAxis->ItemIndex();
        if (FChanging || !FTheSeries || i < 0) return;
        if (i < 3) {
            FTheSeries->SetVertAxis(static_cast<TVertAxis>(i));
        } else {
            FTheSeries->SetCustomVertAxis(
                static_cast<TChartAxis*>(CBVertAxis->Items()->Objects(i)));
            FTheSeries->SetVertAxis(aCustomVertAxis);
        }
    };
    CBXDateTime->OnClick = [this](TObject*) {
        if (FChanging || !FTheSeries) return;
        FTheSeries->XValues()->SetDateTime(CBXDateTime->Checked());
        FTheSeries->Repaint();
    };
    CBYDateTime->OnClick = [this](TObject*) {
        if (FChanging || !FTheSeries) return;
        FTheSeries->YValues()->SetDateTime(CBYDateTime->Checked());
        FTheSeries->Repaint();
    };
    CBSort->OnChange = [this](TObject*) {
        const int i = CBSort->ItemIndex();
        if (FChanging || !FTheSeries || i < 0) return;
        static const TChartListOrder orders[] = {loAscending, loDescending, loNone};
        FTheSeries->MandatoryValues()->SetOrder(loNone);
        TChartValueList* list = FTheSeries->NotMandatoryValues();
        list->SetOrder(orders[i]);
        if (orders[i] != loNone) list->Sort();
        FTheSeries->Repaint();
    };
    CBPersistent->OnClick = [this](TObject*) {
        if (FChanging || !FTheSeries) return;
        TChartSeriesStyle style = FTheSeries->Style();
        if (CBPersistent->Checked())
            style << tssIsPersistent;
        else
            style >> tssIsPersistent;
        FTheSeries->SetStyle(style);
    };
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
    const TFlagScope guard(FChanging);
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
    const TFlagScope guard(FChanging);
    CBShowInLegend->SetChecked(s->ShowInLegend());
    CBDepth->SetChecked(s->Depth() == -1);
    UDDepth->SetPosition(std::max(0, s->Depth()));
    CBFormat->Items()->Clear();
    AddDefaultValueFormats(CBFormat->Items());
    const AnsiString format = StoredToLocalFormat(s->ValueFormat());
    if (CBFormat->Items()->IndexOf(format) < 0) CBFormat->Items()->Add(format);
    CBFormat->SetItemIndex(CBFormat->Items()->IndexOf(format));
    CBFormat->SetText(format);
    EPercentFormat->SetText(StoredToLocalFormat(s->PercentFormat()));
    FillAxes();
    const bool uses = s->UseAxis();
    GBHorizAxis->SetVisible(uses);
    GBVertAxis->SetVisible(uses);
    CBXDateTime->SetChecked(s->XValues()->DateTime());
    CBYDateTime->SetChecked(s->YValues()->DateTime());
    const TChartListOrder order = s->NotMandatoryValues()->Order();
    CBSort->SetItemIndex(order == loAscending ? 0 : order == loDescending ? 1 : 2);
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

    auto marks = [this] { return FTheSeries ? FTheSeries->Marks() : nullptr; };
    RGMarkStyle->OnClick = [this, marks](TObject*) {
        if (FChanging || !marks() || RGMarkStyle->ItemIndex() < 0) return;
        marks()->SetStyle(static_cast<TSeriesMarksStyle>(RGMarkStyle->ItemIndex()));
        EnableMultiLine();
    };
    CBMarksVisible->OnClick = [this, marks](TObject*) {
        if (FChanging || !marks()) return;
        marks()->SetVisible(CBMarksVisible->Checked());
        bool all = true;
        TCustomAxisPanel* chart = FTheSeries->ParentChart();
        for (int i = 0; chart && i < chart->SeriesCount(); ++i)
            all = all && chart->Series(i)->Marks()->Visible();
        const TFlagScope guard(FChangingMarks);
        CBAllVisible->SetChecked(all);
    };
    CBAllVisible->OnClick = [this](TObject*) {
        if (FChanging || FChangingMarks || !FTheSeries) return;
        const bool on = CBAllVisible->Checked();
        if (TCustomAxisPanel* chart = FTheSeries->ParentChart())
            for (int i = 0; i < chart->SeriesCount(); ++i)
                chart->Series(i)->Marks()->SetVisible(on);
        const TFlagScope guard(FChanging);
        CBMarksVisible->SetChecked(on);
    };
    CBMarkClip->OnClick = [this, marks](TObject*) {
        if (!FChanging && marks()) marks()->SetClip(CBMarkClip->Checked());
    };
    CBMultiLine->OnClick = [this, marks](TObject*) {
        if (!FChanging && marks()) marks()->SetMultiLine(CBMultiLine->Checked());
    };
    // The guarded integer edits: text that is no number changes nothing.
    auto integer = [this, marks](TEdit* Edit, TUpDown* UpDown, auto Write) {
        Edit->OnChange = [this, marks, Edit, UpDown, Write](TObject*) {
            int v;
            if (!FChanging && !FChangingMarks && marks() && EditValue(Edit, UpDown, v))
                Write(marks(), v);
        };
    };
    integer(SEMarksAngle, UDMarksAngle, [](TSeriesMarks* M, int V) { M->SetAngle(V); });
    integer(EMarksEvery, UDEvery, [](TSeriesMarks* M, int V) { M->SetDrawEvery(V); });
    integer(SEArrowLength, UDArrowsLength, [](TSeriesMarks* M, int V) { M->SetArrowLength(V); });
    integer(EArrowDist, UDArrowDist, [](TSeriesMarks* M, int V) { M->Callout()->SetDistance(V); });
    integer(Edit1, UDHeadSize, [](TSeriesMarks* M, int V) { M->Callout()->SetArrowHeadSize(V); });
    CBHead->OnChange = [this, marks](TObject*) {
        if (FChanging || FChangingMarks || !marks() || CBHead->ItemIndex() < 0) return;
        marks()->Callout()->SetArrowHead(static_cast<TArrowHeadStyle>(CBHead->ItemIndex()));
    };
    BCalloutPointer->OnClick = [this, marks](TObject*) {
        if (marks()) EditSeriesPointer(this, marks()->Callout());
    };
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
    const TFlagScope guard(FChanging);
    const TFlagScope marksGuard(FChangingMarks);
    RGMarkStyle->SetItemIndex(m->Style());
    UDArrowsLength->SetPosition(m->ArrowLength());
    UDArrowDist->SetPosition(m->Callout()->Distance());
    UDMarksAngle->SetPosition(m->Angle());
    CBMarkClip->SetChecked(m->Clip());
    UDEvery->SetPosition(m->DrawEvery());
    CBMultiLine->SetChecked(m->MultiLine());
    CBMarksVisible->SetChecked(m->Visible());
    BMarkLinCol->LinkPen(m->Arrow());
    CBHead->SetItemIndex(m->Callout()->ArrowHead());
    UDHeadSize->SetPosition(m->Callout()->ArrowHeadSize());
    bool all = true;
    if (TCustomAxisPanel* chart = FTheSeries->ParentChart())
        for (int i = 0; i < chart->SeriesCount(); ++i)
            all = all && chart->Series(i)->Marks()->Visible();
    CBAllVisible->SetChecked(all);
    EnableMultiLine();
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

    CBSamplesDefault->OnClick = [this](TObject*) {
        if (FChanging || !FTheSeries || !CBSamplesDefault->Checked()) return;
        ESamples->SetText(AnsiString(FTheSeries->NumSampleValues()));
        CBSamplesDefault->SetEnabled(false);
    };
    ESamples->OnChange = [this](TObject*) {
        int v;
        if (FChanging || !FTheSeries) return;
        // A count that is no positive number is not stored.
        if (!TryStrToInt(ESamples->Text().Trim(), v) || v < 1) {
            BApplyRandom->SetEnabled(false);
            return;
        }
        FTheSeries->SetSampleCount(v);
        BApplyRandom->SetEnabled(true);
        const TFlagScope guard(FChanging);
        const bool isDefault = v == FTheSeries->NumSampleValues();
        CBSamplesDefault->SetChecked(isDefault);
        CBSamplesDefault->SetEnabled(!isDefault);
    };
    BApplyRandom->OnClick = [this](TObject*) {
        if (!FTheSeries) return;
        const int stored = FTheSeries->SampleCount();
        FTheSeries->FillSampleValues(stored > 0 ? stored : FTheSeries->NumSampleValues());
    };
}

void TFormTeeSeries::FillSamples() {
    const TFlagScope guard(FChanging);
    const int stored = FTheSeries->SampleCount();
    const int shown = stored > 0 ? stored : FTheSeries->NumSampleValues();
    ESamples->SetText(AnsiString(shown));
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
    if (!dialog.Execute()) return;
    FTheSeries->SetSeriesColor(dialog.Color());
    PaintBox1->Invalidate();
}
