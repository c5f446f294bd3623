// Pages of the 3D series.
//   surface and water-fall    TSurfaceSeriesEditor, TWaterFallEditor
//   contour                   TContourSeriesEditor and its one level in view
//   3D point, tri-surface     TPoint3DSeriesEditor, TTriSurfaceSeriesEditor
//   vector and tower          TVectorSeriesEditor, TTowerSeriesEditor
#include "chart/editor/teesurfaedit.h"

#include "chart/editor/teepoiedi.h"
#include "chart/editor/teegrid3dedit.h"
#include "chart/editor/teependlg.h"
#include "chart/engine/teeconst.h"
#include "chart/series/teepoin3.h"
#include "chart/series/teesurfa.h"
#include "chart/series/teetrisurface.h"
#include "platform/classes/watched.h"
#include "platform/rtl/floatformat.h"
#include "platform/rtl/sysutils.h"

QM_CLASS_OWNED(TSurfaceSeriesEditor, TTeeSeriesPage, TComponent)
QM_CLASS_OWNED(TWaterFallEditor, TSurfaceSeriesEditor, TComponent)
QM_CLASS_OWNED(TContourSeriesEditor, TTeeSeriesPage, TComponent)
QM_CLASS_OWNED(TPoint3DSeriesEditor, TTeeSeriesPage, TComponent)
QM_CLASS_OWNED(TTriSurfaceSeriesEditor, TTeeSeriesPage, TComponent)
QM_CLASS_OWNED(TVectorSeriesEditor, TTeeSeriesPage, TComponent)
QM_CLASS_OWNED(TTowerSeriesEditor, TTeeSeriesPage, TComponent)

namespace {
template <typename T> T* As(TChartSeries* S) {
    return dynamic_cast<T*>(S);
}
} // namespace

// ---------------------------------------------------------------------------
// TSurfaceSeriesEditor

TSurfaceSeriesEditor::TSurfaceSeriesEditor(TComponent* AOwner) : TTeeSeriesPage(AOwner) {
    SetBorderStyle(bsDialog);
    SetClientWidth(360);
    SetClientHeight(150);
    Button2 = TeeNewButton<TButtonPen>(this, this, "Button2", "&Pen...", 8, 8, 90);
    Button3 = TeeNewButton(this, this, "Button3", "&Brush...", 8, 38, 90);
    Button1 = TeeNewButton(this, this, "Button1", "S&ide Brush...", 110, 38, 100);
    BSideLines = TeeNewButton<TButtonPen>(this, this, "BSideLines", "Side &Lines...", 110, 8, 100);
    CBSmooth = TeeNewCheck(this, this, "CBSmooth", "&Smooth palette", 220, 12, 106);
    UDTransp = TeeNewUpDown(this, this, "Edit1", "UDTransp", 302, 38, 44, 0, 100, &Edit1, 5);
    TeeNewLabel(this, this, "&Transparency:", 220, 42, Edit1);
    RadioGroup1 = TeeNewRadio(this, this, "RadioGroup1", "&Drawing Mode:", 8, 70, 300, 42,
                              {"Solid", "WireFrame", "DotFrame"});
    RadioGroup1->SetColumns(3);
    OnIndex(RadioGroup1, [this](int I) {
        auto* s = As<TSurfaceSeries>(FSeries);
        if (I == 0) {
            s->SetDotFrame(false);
            s->SetWireFrame(false);
        } else if (I == 1) {
            s->SetWireFrame(true);
        } else {
            s->SetDotFrame(true);
        }
    });
    OnCheck(CBSmooth, [this](bool V) { As<TSurfaceSeries>(FSeries)->SetSmoothPalette(V); });
    OnUpDown(UDTransp, [this](int V) { As<TSurfaceSeries>(FSeries)->SetTransparency(V); });
    Button3->OnClick = [this](TObject*) {
        if (FSeries) EditChartBrush(this, FSeries->Brush());
    };
    Button1->OnClick = [this](TObject*) {
        if (auto* s = As<TSurfaceSeries>(FSeries)) EditChartBrush(this, s->SideBrush());
    };
}

void TSurfaceSeriesEditor::ShowSeries() {
    auto* s = As<TSurfaceSeries>(FSeries);
    if (!s) return;
    RadioGroup1->SetItemIndex(s->WireFrame() ? 1 : s->DotFrame() ? 2 : 0);
    CBSmooth->SetChecked(s->SmoothPalette());
    UDTransp->SetPosition(s->Transparency());
    Button2->LinkPen(s->Pen());
    BSideLines->LinkPen(s->SideLines());
}

void TSurfaceSeriesEditor::AddPages() {
    TeeInsertGrid3DForm(this, FSeries);
}

TWaterFallEditor::TWaterFallEditor(TComponent* AOwner) : TSurfaceSeriesEditor(AOwner) {
    BLines = TeeNewButton<TButtonPen>(this, this, "BLines", "&Lines...", 8, 118, 90);
}

void TWaterFallEditor::ShowSeries() {
    TSurfaceSeriesEditor::ShowSeries();
    if (auto* s = As<TSurfaceSeries>(FSeries)) BLines->LinkPen(s->WaterLines());
}

// ---------------------------------------------------------------------------
// TContourSeriesEditor

TContourSeriesEditor::TContourSeriesEditor(TComponent* AOwner) : TTeeSeriesPage(AOwner) {
    SetBorderStyle(bsDialog);
    SetClientWidth(380);
    SetClientHeight(170);
    Button2 = TeeNewButton<TButtonPen>(this, this, "Button2", "&Pen...", 8, 8, 80);
    UDYPos = TeeNewUpDown(this, this, "SEYPos", "UDYPos", 108, 40, 50, -30000, 30000, &SEYPos);
    TeeNewLabel(this, this, "&Vertical Position:", 8, 44, SEYPos);
    CBYPosLevel = TeeNewCheck(this, this, "CBYPosLevel", "Levels p&osition", 8, 68, 130);
    CBSmooth = TeeNewCheck(this, this, "CBSmooth", "&Smooth", 8, 98, 100);
    CBInterpolate = TeeNewCheck(this, this, "CBInterpolate", "&Interpolate", 8, 120, 100);
    GroupBox1 = TeeNew<TGroupBox>(this, this, "GroupBox1", 180, 2, 194, 162);
    GroupBox1->SetCaption("Levels:");
    CBAutoLevels = TeeNewCheck(this, GroupBox1, "CBAutoLevels", "&Automatic", 8, 18, 90);
    CBColorEach = TeeNewCheck(this, GroupBox1, "CBColorEach", "&Color Each", 100, 18, 90);
    UDNum = TeeNewUpDown(this, GroupBox1, "SENum", "UDNum", 64, 40, 40, 1, 150, &SENum);
    TeeNewLabel(this, GroupBox1, "&Number:", 8, 44, SENum);
    UDLevel = TeeNewUpDown(this, GroupBox1, "ELevel", "UDLevel", 64, 70, 40, 0, 0, &ELevel);
    TeeNewLabel(this, GroupBox1, "&Level:", 8, 74, ELevel);
    SHColor = TeeNew<TShape>(this, GroupBox1, "SHColor", 128, 70, 40, 21);
    SHColor->SetCursor(crHandPoint);
    EValue = TeeNewNumber(this, GroupBox1, "EValue", 64, 100, 70);
    TeeNewLabel(this, GroupBox1, "Value:", 8, 104, EValue);
    bLevelPen = TeeNewButton<TButtonPen>(this, GroupBox1, "bLevelPen", "P&en...", 8, 130, 80);
    cbDefaultPen = TeeNewCheck(this, GroupBox1, "cbDefaultPen", "&Default", 100, 134, 80);

    OnUpDown(UDYPos, [this](int V) { Contour()->SetYPosition(V); });
    OnCheck(CBYPosLevel, [this](bool V) {
        SEYPos->SetEnabled(!V);
        UDYPos->SetEnabled(!V);
        Contour()->SetYPositionLevel(V);
    });
    OnCheck(CBAutoLevels, [this](bool V) {
        Contour()->SetAutomaticLevels(V);
        EnableAuto();
        // Automatic levels replace the ones shown.
        if (V) LevelsChanged();
    });
    OnUpDown(UDNum, [this](int V) {
        Contour()->SetNumLevels(V);
        LevelsChanged();
    });
    OnCheck(CBColorEach, [this](bool V) {
        Contour()->SetColorEachPoint(V);
        LevelsChanged();
    });
    // Showing another level writes nothing; the page shows one itself on load.
    FBind.UpDown(UDLevel, nullptr, [this](int) {
        if (Contour() && Contour()->Levels()->Count() > 0) SetLevel();
    });
    SHColor->OnClick = [this](TObject*) {
        TContourSeries* c = Contour();
        const int i = UDLevel->Position();
        if (!c || i >= c->Levels()->Count()) return;
        TColor color = c->Levels()->Get(i)->Color();
        TCallOut held{this, c};
        const bool changed = EditColorDialog(this, color);
        if (held.Gone()) return;
        if (!changed || i >= c->Levels()->Count()) return;
        SHColor->Brush()->SetColor(color);
        // The level's own pen follows inside SetColor; a chosen colour ends automatic levels.
        c->Levels()->Get(i)->SetColor(color);
        {
            auto guard = FBind.Guard();
            CBAutoLevels->SetChecked(c->AutomaticLevels());
        }
        EnableAuto();
    };
    FBind.Text(EValue, nullptr, [this](const AnsiString& T) {
        TContourSeries* c = Contour();
        double v;
        const int i = UDLevel->Position();
        if (!c || i >= c->Levels()->Count() || !TryStrToFloat(Trim(T), v)) return;
        c->Levels()->Get(i)->SetUpToValue(v);
        {
            auto guard = FBind.Guard();
            CBAutoLevels->SetChecked(c->AutomaticLevels());
        }
        EnableAuto();
    });
    bLevelPen->OnClick = [this](TObject*) {
        TContourSeries* c = Contour();
        const int i = UDLevel->Position();
        if (!c || i >= c->Levels()->Count()) return;
        TContourLevel* level = c->Levels()->Get(i);
        cbDefaultPen->SetChecked(!level->IsPenStored());
        if (level->IsPenStored()) {
            level->SetColor(level->PenIfAny()->Color());
            SHColor->Brush()->SetColor(level->Color());
        }
    };
    FBind.Check(cbDefaultPen, nullptr, [this](bool V) {
        TContourSeries* c = Contour();
        const int i = UDLevel->Position();
        if (!c || i >= c->Levels()->Count()) return;
        TContourLevel* level = c->Levels()->Get(i);
        if (V) {
            bLevelPen->LinkPen(nullptr); // before the pen it shows is freed
            level->SetPen(nullptr);
        } else {
            level->SetPen(level->Pen()); // the level's own from now on
            bLevelPen->LinkPen(level->Pen());
        }
        bLevelPen->SetEnabled(!V);
        {
            auto guard = FBind.Guard();
            CBAutoLevels->SetChecked(c->AutomaticLevels());
        }
        EnableAuto();
    });
    OnCheck(CBSmooth, [this](bool V) {
        Contour()->Smoothing()->SetActive(V);
        CBInterpolate->SetEnabled(V);
    });
    OnCheck(CBInterpolate, [this](bool V) { Contour()->Smoothing()->SetInterpolate(V); });
}

TContourSeries* TContourSeriesEditor::Contour() const {
    return As<TContourSeries>(FSeries);
}

void TContourSeriesEditor::EnableAuto() {
    const bool on = CBAutoLevels->Checked();
    for (TControl* c : std::initializer_list<TControl*>{SENum, UDNum, CBColorEach})
        c->SetEnabled(on);
}

void TContourSeriesEditor::ShowSeries() {
    TContourSeries* c = Contour();
    if (!c) return;
    Button2->LinkPen(c->Pen());
    UDYPos->SetPosition(
        static_cast<int>(std::lround(std::clamp(c->YPosition(), -30000.0, 30000.0))));
    CBYPosLevel->SetChecked(c->YPositionLevel());
    SEYPos->SetEnabled(!c->YPositionLevel());
    UDYPos->SetEnabled(!c->YPositionLevel());
    CBAutoLevels->SetChecked(c->AutomaticLevels());
    EnableAuto();
    UDNum->SetPosition(c->NumLevels());
    CBColorEach->SetChecked(c->ColorEachPoint());
    CBSmooth->SetChecked(c->Smoothing()->Active());
    CBInterpolate->SetChecked(c->Smoothing()->Interpolate());
    CBInterpolate->SetEnabled(c->Smoothing()->Active());
    if (c->AutomaticLevels() && c->Levels()->Count() == 0) c->CreateAutoLevels();
    UDLevel->SetMax(std::max(0, c->Levels()->Count() - 1));
    UDLevel->SetPosition(0);
    SetLevel();
}

void TContourSeriesEditor::LevelsChanged() {
    TContourSeries* c = Contour();
    c->CreateAutoLevels();
    UDLevel->SetMax(std::max(0, c->Levels()->Count() - 1));
    UDLevel->SetPosition(UDLevel->Position());
    SetLevel();
}

void TContourSeriesEditor::SetLevel() {
    TContourSeries* c = Contour();
    const int i = UDLevel->Position();
    if (!c || i < 0 || i >= c->Levels()->Count()) return;
    TContourLevel* level = c->Levels()->Get(i);
    auto guard = FBind.Guard();
    SHColor->Brush()->SetColor(level->Color());
    EValue->SetText(FormatFloat("0.###", level->UpToValue()));
    cbDefaultPen->SetChecked(!level->IsPenStored());
    bLevelPen->SetEnabled(level->IsPenStored());
    bLevelPen->LinkPen(level->PenIfAny());
}

void TContourSeriesEditor::AddPages() {
    TeeInsertGrid3DForm(this, FSeries);
}

// ---------------------------------------------------------------------------
// TPoint3DSeriesEditor

TPoint3DSeriesEditor::TPoint3DSeriesEditor(TComponent* AOwner) : TTeeSeriesPage(AOwner) {
    SetClientWidth(250);
    SetClientHeight(100);
    BColor = TeeNewButton<TButtonColor>(this, this, "BColor", "&Color...", 8, 8, 90);
    CBColorEach = TeeNewCheck(this, this, "CBColorEach", "Color &Each", 110, 12, 110);
    Button1 = TeeNewButton<TButtonPen>(this, this, "Button1", "&Line...", 8, 40, 90);
    UDPointDepth = TeeNewUpDown(this, this, "SEPointDepth", "UDPointDepth", 150, 42, 40, 0, 1000,
                                &SEPointDepth);
    TeeNewLabel(this, this, "Depth:", 110, 46, SEPointDepth);
    OnCheck(CBColorEach, [this](bool V) {
        BColor->SetEnabled(!V);
        FSeries->SetColorEachPoint(V);
    });
    OnUpDown(UDPointDepth, [this](int V) { As<TPoint3DSeries>(FSeries)->SetDepthSize(V); });
}

void TPoint3DSeriesEditor::ShowSeries() {
    auto* s = As<TPoint3DSeries>(FSeries);
    if (!s) return;
    CBColorEach->SetChecked(s->ColorEachPoint());
    BColor->SetEnabled(!s->ColorEachPoint());
    BColor->LinkProperty(s, "SeriesColor");
    Button1->LinkPen(s->LinePen());
    UDPointDepth->SetPosition(static_cast<int>(std::lround(s->DepthSize())));
}

void TPoint3DSeriesEditor::AddPages() {
    if (auto* s = As<TPoint3DSeries>(FSeries))
        TeeInsertPointerForm(this, s->Pointer(), TeeMsg_GalleryPoint);
}

// ---------------------------------------------------------------------------
// TTriSurfaceSeriesEditor

TTriSurfaceSeriesEditor::TTriSurfaceSeriesEditor(TComponent* AOwner) : TTeeSeriesPage(AOwner) {
    SetBorderStyle(bsDialog);
    SetClientWidth(220);
    SetClientHeight(80);
    Button2 = TeeNewButton<TButtonPen>(this, this, "Button2", "&Pen...", 8, 8, 90);
    Button3 = TeeNewButton(this, this, "Button3", "&Brush...", 8, 40, 90);
    Button1 = TeeNewButton<TButtonPen>(this, this, "Button1", "&Outline...", 110, 8, 90);
    Button3->OnClick = [this](TObject*) {
        if (FSeries) EditChartBrush(this, FSeries->Brush());
    };
}

void TTriSurfaceSeriesEditor::ShowSeries() {
    auto* s = As<TCustomTriSurfaceSeries>(FSeries);
    if (!s) return;
    Button2->LinkPen(s->Pen());
    Button1->LinkPen(s->Border());
}

void TTriSurfaceSeriesEditor::AddPages() {
    TeeInsertGrid3DForm(this, FSeries);
}

// ---------------------------------------------------------------------------
// TVectorSeriesEditor

TVectorSeriesEditor::TVectorSeriesEditor(TComponent* AOwner) : TTeeSeriesPage(AOwner) {
    SetBorderStyle(bsDialog);
    SetClientWidth(260);
    SetClientHeight(100);
    BStart = TeeNewButton<TButtonPen>(this, this, "BStart", "&Start...", 8, 8, 80);
    CBStart = TeeNewCheck(this, this, "CBStart", "Default color", 98, 12, 110);
    BEnd = TeeNewButton<TButtonPen>(this, this, "BEnd", "&End...", 8, 38, 80);
    CBEnd = TeeNewCheck(this, this, "CBEnd", "Default color", 98, 42, 110);
    UDWidth = TeeNewUpDown(this, this, "Edit1", "UDWidth", 84, 70, 36, 1, 1000, &Edit1, 4);
    TeeNewLabel(this, this, "Arrow &Width:", 8, 74, Edit1);
    UDHeight = TeeNewUpDown(this, this, "Edit2", "UDHeight", 210, 70, 36, 1, 1000, &Edit2, 4);
    TeeNewLabel(this, this, "Arrow &Height:", 136, 74, Edit2);
    OnUpDown(UDWidth, [this](int V) { As<TVector3DSeries>(FSeries)->SetArrowWidth(V); });
    // The height edit writes the height alone.
    OnUpDown(UDHeight, [this](int V) { As<TVector3DSeries>(FSeries)->SetArrowHeight(V); });
    OnCheck(CBStart, [this](bool V) {
        As<TVector3DSeries>(FSeries)->StartArrow()->SetColor(V ? clTeeColor : clBlack);
        BStart->Invalidate();
    });
    OnCheck(CBEnd, [this](bool V) {
        As<TVector3DSeries>(FSeries)->EndArrow()->SetColor(V ? clTeeColor : clBlack);
        BEnd->Invalidate();
    });
}

void TVectorSeriesEditor::ShowSeries() {
    auto* s = As<TVector3DSeries>(FSeries);
    if (!s) return;
    BStart->LinkPen(s->StartArrow());
    BEnd->LinkPen(s->EndArrow());
    UDWidth->SetPosition(s->ArrowWidth());
    UDHeight->SetPosition(s->ArrowHeight());
    CBStart->SetChecked(s->StartArrow()->Color() == clTeeColor);
    CBEnd->SetChecked(s->EndArrow()->Color() == clTeeColor);
}

void TVectorSeriesEditor::AddPages() {
    TeeInsertGrid3DForm(this, FSeries);
}

// ---------------------------------------------------------------------------
// TTowerSeriesEditor

TTowerSeriesEditor::TTowerSeriesEditor(TComponent* AOwner) : TTeeSeriesPage(AOwner) {
    SetBorderStyle(bsDialog);
    SetClientWidth(350);
    SetClientHeight(160);
    ButtonPen1 = TeeNewButton<TButtonPen>(this, this, "ButtonPen1", "&Border...", 8, 8, 85);
    Button1 = TeeNewButton(this, this, "Button1", "&Pattern...", 8, 38, 85);
    CBDark3D = TeeNewCheck(this, this, "CBDark3D", "&Dark 3D", 8, 70, 85);
    CBDark3D->SetChecked(true);
    CBStyle = TeeNewCombo(this, this, "CBStyle", 146, 8, 90,
                          {"Cube", "Rectangle", "Cover", "Cylinder", "Arrow", "Cone", "Pyramid"});
    TeeNewLabel(this, this, "&Style:", 106, 12, CBStyle);
    auto* origin = TeeNew<TGroupBox>(this, this, "GroupBox1", 104, 38, 132, 66);
    origin->SetCaption("Origin:");
    CBOrigin = TeeNewCheck(this, origin, "CBOrigin", "&Use Origin", 8, 18, 110);
    EOrigin = TeeNewNumber(this, origin, "EOrigin", 8, 38, 80);
    auto* percent = TeeNew<TGroupBox>(this, this, "GroupBox2", 244, 2, 100, 102);
    percent->SetCaption("&Percent:");
    UDDepth = TeeNewUpDown(this, percent, "Edit1", "UDDepth", 46, 18, 44, 0, 100, &Edit1, 5);
    TeeNewLabel(this, percent, "&Depth:", 6, 22, Edit1);
    UDWidth = TeeNewUpDown(this, percent, "Edit2", "UDWidth", 46, 46, 44, 0, 100, &Edit2, 5);
    TeeNewLabel(this, percent, "&Width:", 6, 50, Edit2);
    UDTransp = TeeNewUpDown(this, this, "Edit3", "UDTransp", 96, 114, 44, 0, 100, &Edit3, 5);
    TeeNewLabel(this, this, "&Transparency:", 8, 118, Edit3);
    Button1->OnClick = [this](TObject*) {
        if (FSeries) EditChartBrush(this, FSeries->Brush());
    };
    OnCheck(CBDark3D, [this](bool V) { As<TTowerSeries>(FSeries)->SetDark3D(V); });
    OnCheck(CBOrigin, [this](bool V) {
        EOrigin->SetEnabled(V);
        As<TTowerSeries>(FSeries)->SetUseOrigin(V);
    });
    OnFloat(EOrigin, [this](double V) { As<TTowerSeries>(FSeries)->SetOrigin(V); });
    OnIndex(CBStyle, [this](int I) {
        As<TTowerSeries>(FSeries)->SetTowerStyle(static_cast<TTowerStyle>(I));
    });
    OnUpDown(UDDepth, [this](int V) { As<TTowerSeries>(FSeries)->SetPercentDepth(V); });
    OnUpDown(UDWidth, [this](int V) { As<TTowerSeries>(FSeries)->SetPercentWidth(V); });
    OnUpDown(UDTransp, [this](int V) { As<TTowerSeries>(FSeries)->SetTransparency(V); });
}

void TTowerSeriesEditor::ShowSeries() {
    auto* s = As<TTowerSeries>(FSeries);
    if (!s) return;
    ButtonPen1->LinkPen(s->Pen());
    CBDark3D->SetChecked(s->Dark3D());
    CBOrigin->SetChecked(s->UseOrigin());
    EOrigin->SetEnabled(s->UseOrigin());
    EOrigin->SetText(FloatToStr(s->Origin()));
    CBStyle->SetItemIndex(s->TowerStyle());
    UDDepth->SetPosition(s->PercentDepth());
    UDWidth->SetPosition(s->PercentWidth());
    UDTransp->SetPosition(s->Transparency());
}

void TTowerSeriesEditor::AddPages() {
    TeeInsertGrid3DForm(this, FSeries);
}
