#include "chart/editor/teepolaredit.h"

#include "chart/editor/teepoiedi.h"
#include "chart/editor/teependlg.h"
#include "chart/engine/teeaxis.h"
#include "chart/engine/teeconst.h"
#include "chart/series/teepolar.h"
#include "chart/series/teerose.h"
#include "chart/series/teesmith.h"

QM_CLASS_OWNED(TPolarSeriesEditor, TTeeSeriesPage, TComponent)
QM_CLASS_OWNED(TWindRoseEditor, TPolarSeriesEditor, TComponent)
QM_CLASS_OWNED(TClockEditor, TPolarSeriesEditor, TComponent)
QM_CLASS_OWNED(TSmithSeriesEdit, TTeeSeriesPage, TComponent)

namespace {
TCustomPolarSeries* Polar(TChartSeries* S) {
    return dynamic_cast<TCustomPolarSeries*>(S);
}
} // namespace

// ---------------------------------------------------------------------------
// TPolarSeriesEditor

TPolarSeriesEditor::TPolarSeriesEditor(TComponent* AOwner) : TTeeSeriesPage(AOwner) {
    SetClientWidth(370);
    SetClientHeight(170);
    CBClose = TeeNewCheck(this, this, "CBClose", "C&lose Circle", 8, 8, 110);
    CBClose->SetChecked(true);
    UDAngleInc =
        TeeNewUpDown(this, this, "SEAngleInc", "UDAngleInc", 110, 32, 44, 0, 360, &SEAngleInc);
    LAngleInc = TeeNewLabel(this, this, "Angle &Increment:", 8, 36, SEAngleInc);
    UDRadiusInc =
        TeeNewUpDown(this, this, "SERadiusInc", "UDRadiusInc", 110, 60, 44, 0, 32767, &SERadiusInc);
    LRadiusInc = TeeNewLabel(this, this, "Radius Increment:", 8, 64, SERadiusInc);
    BPen = TeeNewButton<TButtonPen>(this, this, "BPen", "&Pen...", 8, 90, 80);
    BPiePen = TeeNewButton<TButtonPen>(this, this, "BPiePen", "&Circle...", 94, 90, 80);
    BBrush = TeeNewButton(this, this, "BBrush", "Pattern...", 8, 120, 80);
    BColor = TeeNewButton<TButtonColor>(this, this, "BColor", "Color...", 94, 120, 80);
    CBColorEach = TeeNewCheck(this, this, "CBColorEach", "Color Each", 8, 150, 100);
    UDTransp = TeeNewUpDown(this, this, "Edit1", "UDTransp", 272, 140, 44, 0, 100, &Edit1, 5);
    TeeNewLabel(this, this, "&Transparency:", 196, 144, Edit1);
    GroupBox1 = TeeNew<TGroupBox>(this, this, "GroupBox1", 190, 4, 172, 128);
    GroupBox1->SetCaption("Labels:");
    CBAngleLabels = TeeNewCheck(this, GroupBox1, "CBAngleLabels", "&Visible", 8, 18, 80);
    BFont = TeeNewButton(this, GroupBox1, "BFont", "&Font...", 90, 14, 72);
    CBLabelsRot = TeeNewCheck(this, GroupBox1, "CBLabelsRot", "R&otated", 8, 46, 150);
    CBClockWise = TeeNewCheck(this, GroupBox1, "CBClockWise", "ClockWise", 8, 70, 150);
    CBInside = TeeNewCheck(this, GroupBox1, "CBInside", "I&nside", 8, 94, 150);

    OnCheck(CBClose, [this](bool V) { Polar(FSeries)->SetCloseCircle(V); });
    OnUpDown(UDAngleInc, [this](int V) { Polar(FSeries)->SetAngleIncrement(V); });
    OnUpDown(UDRadiusInc, [this](int V) { Polar(FSeries)->SetRadiusIncrement(V); });
    BBrush->OnClick = [this](TObject*) {
        if (FSeries) EditChartBrush(this, FSeries->Brush());
    };
    OnCheck(CBAngleLabels, [this](bool V) {
        EnableLabels();
        Polar(FSeries)->SetCircleLabels(V);
    });
    BFont->OnClick = [this](TObject*) {
        if (Polar(FSeries)) EditTeeFontEx(this, Polar(FSeries)->CircleLabelsFont());
    };
    OnCheck(CBLabelsRot, [this](bool V) { Polar(FSeries)->SetCircleLabelsRotated(V); });
    OnCheck(CBClockWise, [this](bool V) { Polar(FSeries)->SetClockWiseLabels(V); });
    OnCheck(CBInside, [this](bool V) { Polar(FSeries)->SetCircleLabelsInside(V); });
    OnUpDown(UDTransp, [this](int V) { Polar(FSeries)->SetTransparency(V); });
    OnCheck(CBColorEach, [this](bool V) { FSeries->SetColorEachPoint(V); });
}

void TPolarSeriesEditor::EnableLabels() {
    const bool on = CBAngleLabels->Checked();
    for (TControl* c : std::initializer_list<TControl*>{BFont, CBLabelsRot, CBClockWise, CBInside})
        c->SetEnabled(on);
}

void TPolarSeriesEditor::ShowSeries() {
    TCustomPolarSeries* s = Polar(FSeries);
    if (!s) return;
    CBClose->SetChecked(s->CloseCircle());
    const bool angle = dynamic_cast<TPolarSeries*>(s) != nullptr;
    for (TControl* c : std::initializer_list<TControl*>{LAngleInc, SEAngleInc, UDAngleInc})
        c->SetVisible(angle);
    UDAngleInc->SetPosition(static_cast<int>(std::lround(s->AngleIncrement())));
    UDRadiusInc->SetPosition(
        static_cast<int>(std::lround(std::clamp(s->RadiusIncrement(), 0.0, 32767.0))));
    BPen->LinkPen(s->Pen());
    BPiePen->LinkPen(s->CirclePen());
    CBAngleLabels->SetChecked(s->CircleLabels());
    CBLabelsRot->SetChecked(s->CircleLabelsRotated());
    CBClockWise->SetChecked(s->ClockWiseLabels());
    CBInside->SetChecked(s->CircleLabelsInside());
    EnableLabels();
    UDTransp->SetPosition(s->Transparency());
    BColor->LinkProperty(s, "SeriesColor");
    CBColorEach->SetChecked(s->ColorEachPoint());
}

void TPolarSeriesEditor::AddPages() {
    InsertPage("TCircledSeriesEditor", TeeMsg_GalleryCircled, FSeries);
    if (TCustomPolarSeries* s = Polar(FSeries))
        TeeInsertPointerForm(this, s->Pointer(), TeeMsg_GalleryPoint);
}

TWindRoseEditor::TWindRoseEditor(TComponent* AOwner) : TPolarSeriesEditor(AOwner) {
    CBClockWise->Hide();
}

// ---------------------------------------------------------------------------
// TClockEditor

TClockEditor::TClockEditor(TComponent* AOwner) : TPolarSeriesEditor(AOwner) {
    for (TControl* c : std::initializer_list<TControl*>{LAngleInc, SEAngleInc, UDAngleInc,
                                                        LRadiusInc, SERadiusInc, UDRadiusInc,
                                                        CBClose, BPen, CBClockWise, CBColorEach})
        c->Hide();
    CBRoman = TeeNewCheck(this, this, "CBRoman", "&Roman", 8, 8, 64);
    BHour = TeeNewButton<TButtonPen>(this, this, "BHour", "&Hours...", 8, 30, 80);
    BMinute = TeeNewButton<TButtonPen>(this, this, "BMinute", "&Minutes...", 94, 30, 80);
    BSecond = TeeNewButton<TButtonPen>(this, this, "BSecond", "&Seconds...", 8, 60, 80);
    BRadius = TeeNewButton<TButtonPen>(this, this, "BRadius", "R&adius...", 94, 60, 80);
    OnCheck(CBRoman, [this](bool V) {
        if (auto* c = dynamic_cast<TClockSeries*>(FSeries.Get()))
            c->SetStyle(V ? cssRoman : cssDecimal);
    });
}

void TClockEditor::ShowSeries() {
    // The increment controls stay hidden whatever the series.
    TPolarSeriesEditor::ShowSeries();
    for (TControl* c : std::initializer_list<TControl*>{LAngleInc, SEAngleInc, UDAngleInc})
        c->Hide();
    auto* s = dynamic_cast<TClockSeries*>(FSeries.Get());
    if (!s) return;
    CBRoman->SetChecked(s->Style() == cssRoman);
    BHour->LinkPen(s->PenHours());
    BMinute->LinkPen(s->PenMinutes());
    BSecond->LinkPen(s->PenSeconds());
    if (s->GetHorizAxis()) BRadius->LinkPen(s->GetHorizAxis()->Grid());
}

// ---------------------------------------------------------------------------
// TSmithSeriesEdit

TSmithSeriesEdit::TSmithSeriesEdit(TComponent* AOwner) : TTeeSeriesPage(AOwner) {
    SetClientWidth(300);
    SetClientHeight(150);
    CBC = TeeNewCheck(this, this, "CBC", "&C Labels", 8, 10, 90);
    BCFont = TeeNewButton(this, this, "BCFont", "&Font...", 100, 6, 80);
    BCPen = TeeNewButton<TButtonPen>(this, this, "BCPen", "C &Pen...", 190, 6, 90);
    CBR = TeeNewCheck(this, this, "CBR", "&R Labels", 8, 40, 90);
    BRFont = TeeNewButton(this, this, "BRFont", "Fo&nt...", 100, 36, 80);
    BRPen = TeeNewButton<TButtonPen>(this, this, "BRPen", "R P&en...", 190, 36, 90);
    BCircle = TeeNewButton<TButtonPen>(this, this, "BCircle", "&Circle...", 8, 70, 80);
    BBorder = TeeNewButton<TButtonPen>(this, this, "BBorder", "&Border...", 100, 70, 80);
    CBColorEach = TeeNewCheck(this, this, "CBColorEach", "C&olor Each", 190, 74, 100);
    EImag = TeeNew<TEdit>(this, this, "EImag", 100, 104, 60, 21);
    TeeNewLabel(this, this, "&Imag. Symbol:", 8, 108, EImag);
    auto smith = [this] { return dynamic_cast<TSmithSeries*>(FSeries.Get()); };
    OnCheck(CBC, [smith](bool V) { smith()->SetCLabels(V); });
    OnCheck(CBR, [smith](bool V) { smith()->SetRLabels(V); });
    OnCheck(CBColorEach, [this](bool V) { FSeries->SetColorEachPoint(V); });
    BCFont->OnClick = [this, smith](TObject*) {
        if (smith()) EditTeeFontEx(this, smith()->CLabelsFont());
    };
    BRFont->OnClick = [this, smith](TObject*) {
        if (smith()) EditTeeFontEx(this, smith()->RLabelsFont());
    };
    FBind.Text(EImag, nullptr, [smith](const AnsiString& T) {
        if (smith()) smith()->SetImagSymbol(T);
    });
}

void TSmithSeriesEdit::ShowSeries() {
    auto* s = dynamic_cast<TSmithSeries*>(FSeries.Get());
    if (!s) return;
    CBC->SetChecked(s->CLabels());
    CBR->SetChecked(s->RLabels());
    BCPen->LinkPen(s->CCirclePen());
    BRPen->LinkPen(s->RCirclePen());
    BCircle->LinkPen(s->CirclePen());
    BBorder->LinkPen(s->Pen());
    CBColorEach->SetChecked(s->ColorEachPoint());
    EImag->SetText(s->ImagSymbol());
}

void TSmithSeriesEdit::AddPages() {
    InsertPage("TCircledSeriesEditor", TeeMsg_GalleryCircled, FSeries);
}
