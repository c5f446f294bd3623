// Editors of the arrow, gantt, bubble and shape series.
#include "chart/editor/teeseriesedit_more.h"

#include "chart/control/series_arrow.h"
#include "chart/control/series_bubble.h"
#include "chart/control/series_gantt.h"
#include "chart/control/series_shape.h"
#include "chart/editor/teeformbuild.h"
#include "chart/editor/teependlg.h"
#include "chart/engine/teeconst.h"
#include "chart/engine/teepointer.h"
#include "platform/classes/stringlist.h"
#include "platform/rtl/floatformat.h"
#include "platform/rtl/sysutils.h"
#include <algorithm>
#include <cmath>

QM_CLASS_OWNED(TArrowSeriesEditor, TForm, TComponent)
QM_CLASS_OWNED(TGanttSeriesEditor, TForm, TComponent)
QM_CLASS_OWNED(TBubbleSeriesEditor, TSeriesPointerEditor, TComponent)
QM_CLASS_OWNED(TChartShapeEditor, TForm, TComponent)

// ---------------------------------------------------------------------------
// TArrowSeriesEditor

TArrowSeriesEditor::TArrowSeriesEditor(TComponent* AOwner) : TForm(AOwner) {
    SetClientWidth(280);
    SetClientHeight(110);
    UDArrowWidth =
        TeeNewUpDown(this, this, "EArrowWidth", "UDArrowWidth", 66, 8, 44, 1, 1000, &EArrowWidth);
    TeeNewLabel(this, this, "&Width:", 8, 12, EArrowWidth);
    UDArrowHeight = TeeNewUpDown(this, this, "EArrowHeight", "UDArrowHeight", 66, 36, 44, 1, 1000,
                                 &EArrowHeight);
    TeeNewLabel(this, this, "&Height:", 8, 40, EArrowHeight);
    CBColorEach = TeeNewCheck(this, this, "CBColorEach", "Color &Each", 8, 70, 100);
    BArrowColor = TeeNewButton<TButtonColor>(this, this, "BArrowColor", "&Color...", 150, 8, 95);
    BPen = TeeNewButton<TButtonPen>(this, this, "BPen", "&Border...", 150, 38, 95);
    BBrush = TeeNewButton(this, this, "BBrush", "&Pattern...", 150, 68, 95);
    WireSize(EArrowWidth, UDArrowWidth, [](TArrowSeries* O, auto V) { O->SetArrowWidth(V); });
    WireSize(EArrowHeight, UDArrowHeight, [](TArrowSeries* O, auto V) { O->SetArrowHeight(V); });
    CBColorEach->OnClick = [this](TObject*) {
        BArrowColor->SetEnabled(!CBColorEach->Checked());
        if (FLoading || !FSeries) return;
        FSeries->SetColorEachPoint(CBColorEach->Checked());
        if (CBColorEach->Checked()) FSeries->Pointer()->SetColor(clTeeColor);
    };
    BBrush->OnClick = [this](TObject*) {
        if (FSeries) EditChartBrush(this, FSeries->Pointer()->Brush());
    };
    OnShow = [this](TObject* s) { FormShow(s); };
}

// Setters arrive as plain functions: a member-function pointer kept in a
// handler trips the sanitizers' type checks.
void TArrowSeriesEditor::WireSize(TEdit* E, TUpDown* U, void (*Set)(TArrowSeries*, int)) {
    E->OnChange = [this, E, U, Set](TObject*) {
        int v;
        if (!FLoading && FSeries && Showing() && UpDownValue(E, U, v)) Set(FSeries, v);
    };
}

void TArrowSeriesEditor::FormShow(TObject*) {
    FSeries = SubjectAs<TArrowSeries>();
    if (!FSeries) return;
    FLoading = true;
    UDArrowWidth->SetPosition(FSeries->ArrowWidth());
    UDArrowHeight->SetPosition(FSeries->ArrowHeight());
    CBColorEach->SetChecked(FSeries->ColorEachPoint());
    BArrowColor->SetEnabled(!FSeries->ColorEachPoint());
    BArrowColor->LinkProperty(FSeries, "SeriesColor");
    BPen->LinkPen(FSeries->Pointer()->Pen());
    FLoading = false;
}

// ---------------------------------------------------------------------------
// TGanttSeriesEditor

TGanttSeriesEditor::TGanttSeriesEditor(TComponent* AOwner) : TForm(AOwner) {
    SetClientWidth(300);
    SetClientHeight(90);
    UDPointVertSize = TeeNewUpDown(this, this, "SEPointVertSize", "UDPointVertSize", 66, 8, 44, 1,
                                   1000, &SEPointVertSize);
    TeeNewLabel(this, this, "&Height:", 8, 12, SEPointVertSize);
    CBColorEach = TeeNewCheck(this, this, "CBColorEach", "Color &Each", 8, 40, 100);
    BColor = TeeNewButton<TButtonColor>(this, this, "BColor", "&Color...", 140, 8, 140);
    BConnLines =
        TeeNewButton<TButtonPen>(this, this, "BConnLines", "Co&nnecting Lines...", 140, 38, 140);
    SEPointVertSize->OnChange = [this](TObject*) {
        int v;
        if (!FLoading && FSeries && Showing() && UpDownValue(SEPointVertSize, UDPointVertSize, v))
            FSeries->Pointer()->SetVertSize(v);
    };
    CBColorEach->OnClick = [this](TObject*) {
        BColor->SetEnabled(!CBColorEach->Checked());
        if (!FLoading && FSeries) FSeries->SetColorEachPoint(CBColorEach->Checked());
    };
    OnShow = [this](TObject* s) { FormShow(s); };
}

void TGanttSeriesEditor::FormShow(TObject*) {
    FSeries = SubjectAs<TGanttSeries>();
    if (!FSeries) return;
    FLoading = true;
    UDPointVertSize->SetPosition(FSeries->Pointer()->VertSize());
    CBColorEach->SetChecked(FSeries->ColorEachPoint());
    BColor->SetEnabled(!FSeries->ColorEachPoint());
    BColor->LinkProperty(FSeries, "SeriesColor");
    BConnLines->LinkPen(FSeries->ConnectingPen());
    FLoading = false;
    if (!FPointerForm) {
        FPointerForm = TeeInsertPointerForm(this, FSeries->Pointer(), TeeMsg_GalleryGantt);
        if (FPointerForm) FPointerForm->HideSizeOptions();
    }
}

// ---------------------------------------------------------------------------
// TBubbleSeriesEditor

TBubbleSeriesEditor::TBubbleSeriesEditor(TComponent* AOwner) : TSeriesPointerEditor(AOwner) {
    // In the place of the visibility box, which a bubble does not offer.
    UDTransp = TeeNewUpDown(this, this, "ETransp", "UDTransp", 90, 4, 36, 0, 100, &ETransp, 5);
    TeeNewLabel(this, this, "&Transparency:", 8, 8, ETransp);
    ETransp->OnChange = [this](TObject*) {
        int v;
        auto* bubble = dynamic_cast<TBubbleSeries*>(FSeries.Get());
        if (!FBind.Loading() && bubble && Showing() && TryStrToInt(ETransp->Text().Trim(), v))
            bubble->SetTransparency(std::clamp(v, 0, 100));
    };
    OnShow = [this](TObject* s) { BubbleShow(s); };
}

void TBubbleSeriesEditor::BubbleShow(TObject* Sender) {
    FormShow(Sender);
    CBDrawPoint->Hide();
    if (auto* bubble = dynamic_cast<TBubbleSeries*>(FSeries.Get())) {
        auto guard = FBind.Guard();
        UDTransp->SetPosition(bubble->Transparency());
    }
}

// ---------------------------------------------------------------------------
// TChartShapeEditor

TChartShapeEditor::TChartShapeEditor(TComponent* AOwner) : TForm(AOwner) {
    SetClientWidth(390);
    SetClientHeight(200);
    PageControl1 = TeeNew<TPageControl>(this, this, "PageControl1", 0, 0, 390, 200);
    PageControl1->SetAlign(alClient);
    TabFormat = TeeNewTab(PageControl1, "TabFormat", "Format");
    TabFont = TeeNewTab(PageControl1, "TabFont", "Text");
    PageControl1->SetActivePage(TabFormat);
    TTabSheet* t = TabFormat;
    CBStyle = TeeNewCombo(this, t, "CBStyle", 52, 6, 110,
                          {"Rectangle", "Circle", "Vertical Line", "Horiz. Line", "Triangle",
                           "Invert. Triangle", "Line", "Diamond", "Cube", "Cross", "Diagonal Cross",
                           "Star", "Pyramid", "Invert. Pyramid"});
    TeeNewLabel(this, t, "&Style:", 8, 10, CBStyle);
    BShapeColor = TeeNewButton<TButtonColor>(this, t, "BShapeColor", "&Color...", 8, 34, 85);
    BShapePen = TeeNewButton<TButtonPen>(this, t, "BShapePen", "Bor&der...", 98, 34, 85);
    BShapeBrush = TeeNewButton(this, t, "BShapeBrush", "&Pattern...", 8, 64, 85);
    Button1 = TeeNewButton(this, t, "Button1", "&Gradient...", 98, 64, 85);
    CBTrans = TeeNewCheck(this, t, "CBTrans", "Tra&nsparent", 8, 96, 110);
    CBRound = TeeNewCheck(this, t, "CBRound", "&Round Rectangle", 8, 118, 130);
    CBUnits = TeeNewCombo(this, t, "CBUnits", 52, 142, 110, {"Pixels", "Axis", "Axis Origin"});
    TeeNewLabel(this, t, "&Units:", 8, 146, CBUnits);
    auto* pos = TeeNew<TGroupBox>(this, t, "GBPosition", 196, 4, 152, 134);
    pos->SetCaption("Position");
    SEX0 = TeeNewNumber(this, pos, "SEX0", 62, 18, 80);
    TeeNewLabel(this, pos, "&Left:", 8, 22, SEX0);
    SEY0 = TeeNewNumber(this, pos, "SEY0", 62, 46, 80);
    TeeNewLabel(this, pos, "&Top:", 8, 50, SEY0);
    SEX1 = TeeNewNumber(this, pos, "SEX1", 62, 74, 80);
    TeeNewLabel(this, pos, "&Right", 8, 78, SEX1);
    SEY1 = TeeNewNumber(this, pos, "SEY1", 62, 102, 80);
    TeeNewLabel(this, pos, "&Bottom:", 8, 106, SEY1);

    t = TabFont;
    MemoText = TeeNew<TMemo>(this, t, "MemoText", 8, 18, 170, 40);
    TeeNewLabel(this, t, "Te&xt:", 8, 2, MemoText);
    RGAlign = TeeNewRadio(this, t, "RGAlign", "&Horiz. Alignment", 8, 62, 170, 50,
                          {"Left", "Center", "Right"});
    RGAlign->SetColumns(3);
    RGVertAlign = TeeNewRadio(this, t, "RGVertAlign", "&Alignment", 8, 116, 170, 50,
                              {"Top", "Center", "Bottom"});
    RGVertAlign->SetColumns(3);
    FontEditor = new TTeeFontEditor(this);
    FontEditor->SetParent(t);
    FontEditor->SetBorderStyle(bsNone);
    FontEditor->SetBounds(182, 0, 206, 136);

    FBind.Index(
        CBStyle, [this] { return static_cast<int>(FSeries->Style()); },
        [this](int I) {
            FSeries->SetStyle(static_cast<TChartShapeStyle>(I));
            CBRound->SetEnabled(FSeries->Style() == chasRectangle);
        });
    FBind.Check(
        CBTrans, [this] { return FSeries->Transparent(); },
        [this](bool V) { FSeries->SetTransparent(V); });
    FBind.Check(
        CBRound, [this] { return FSeries->RoundRectangle(); },
        [this](bool V) { FSeries->SetRoundRectangle(V); });
    FBind.Index(
        CBUnits, [this] { return static_cast<int>(FSeries->XYStyle()); },
        [this](int I) { FSeries->SetXYStyle(static_cast<TChartShapeXYStyle>(I)); });
    WireCorner(
        SEX0, [](TChartShape* O) { return O->X0(); }, [](TChartShape* O, auto V) { O->SetX0(V); });
    WireCorner(
        SEY0, [](TChartShape* O) { return O->Y0(); }, [](TChartShape* O, auto V) { O->SetY0(V); });
    WireCorner(
        SEX1, [](TChartShape* O) { return O->X1(); }, [](TChartShape* O, auto V) { O->SetX1(V); });
    WireCorner(
        SEY1, [](TChartShape* O) { return O->Y1(); }, [](TChartShape* O, auto V) { O->SetY1(V); });
    MemoText->OnChange = [this](TObject*) {
        if (!FBind.Loading() && FSeries) FSeries->SetText(MemoText->Lines());
    };
    static const TAlignment byItem[] = {taLeftJustify, taCenter, taRightJustify};
    FBind.Index(
        RGAlign,
        [this] {
            const TAlignment a = FSeries->Alignment();
            return a == taLeftJustify ? 0 : a == taRightJustify ? 2 : 1;
        },
        [this](int I) { FSeries->SetAlignment(byItem[I]); });
    FBind.Index(
        RGVertAlign, [this] { return static_cast<int>(FSeries->VertAlign()); },
        [this](int I) { FSeries->SetVertAlign(static_cast<TTeeVertAlign>(I)); });
    BShapeBrush->OnClick = [this](TObject*) {
        if (FSeries) EditChartBrush(this, FSeries->Brush());
    };
    Button1->OnClick = [this](TObject*) {
        if (FSeries) EditTeeGradient(this, FSeries->Gradient());
    };
    OnShow = [this](TObject* s) { FormShow(s); };
}

// Bound, so a corner another page moves (sorting the points) shows here too.
void TChartShapeEditor::WireCorner(TEdit* E, double (*Get)(TChartShape*),
                                   void (*Set)(TChartShape*, double)) {
    FBind.Text(
        E, [this, Get] { return FloatToStr(Get(FSeries)); },
        [this, Set](const AnsiString& T) {
            double v;
            // Empty text or text that is no number keeps the corner.
            if (TryStrToFloat(T.Trim(), v) && std::isfinite(v)) Set(FSeries, v);
        });
}

void TChartShapeEditor::FillPosition() {
    SEX0->SetText(FloatToStr(FSeries->X0()));
    SEY0->SetText(FloatToStr(FSeries->Y0()));
    SEX1->SetText(FloatToStr(FSeries->X1()));
    SEY1->SetText(FloatToStr(FSeries->Y1()));
}

void TChartShapeEditor::FormShow(TObject*) {
    FSeries = SubjectAs<TChartShape>();
    if (!FSeries) return;
    FBind.Load();
    auto guard = FBind.Guard();
    const bool is3D = FSeries->ParentChart() && FSeries->ParentChart()->View3D();
    CBRound->SetEnabled(FSeries->Style() == chasRectangle && !is3D);
    FillPosition();
    MemoText->Lines()->Assign(FSeries->Text());
    BShapeColor->LinkProperty(FSeries, "SeriesColor");
    BShapePen->LinkPen(FSeries->Pen());
    FontEditor->RefreshControls(FSeries->Font());
    FontEditor->Show();
}
