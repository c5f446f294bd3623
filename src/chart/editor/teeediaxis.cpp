// Axis page of the chart editor.
//   construction   the axes list and the six tabs with their controls
//   axes list      filling, selection, adding and deleting custom axes
//   refresh        the active tab's controls from the current axis
#include "chart/editor/teeediaxis.h"

#include "chart/control/tooledit.h"
#include "chart/editor/teeaxisincr.h"
#include "chart/editor/teeformbuild.h"
#include "chart/editor/teependlg.h"
#include "chart/engine/teeaxis.h"
#include "chart/engine/teeaxispanel.h"
#include "chart/engine/teeconst.h"
#include "platform/classes/stringlist.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/floatformat.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/sysutils.h"
#include <cmath>
#include <limits>

QM_CLASS_OWNED(TFormTeeAxis, TForm, TComponent)

namespace {
// Value formats are stored with '.' and ','; the page shows the user's separators.
AnsiString Localized(const AnsiString& S, bool ToLocal) {
    const char dot = ToLocal ? '.' : DecimalSeparator;
    const char comma = ToLocal ? ',' : ThousandSeparator;
    const char ldot = ToLocal ? DecimalSeparator : '.';
    const char lcomma = ToLocal ? ThousandSeparator : ',';
    std::string r = S.c_str();
    for (char& c : r)
        if (c == dot)
            c = ldot;
        else if (c == comma)
            c = lcomma;
    return AnsiString(r.c_str());
}

AnsiString LimitText(TChartAxis* A, double V) {
    if (A->IsDateTime()) return V < 1 ? TimeToStr(V) : DateTimeToStr(V);
    return FormatFloat(
        A->AxisValuesFormat().IsEmpty() ? TeeMsg_DefValueFormat : A->AxisValuesFormat(), V);
}
} // namespace

// ---------------------------------------------------------------------------
// Construction

TFormTeeAxis::TFormTeeAxis(TComponent* AOwner) : TForm(AOwner) {
    Build();
}

TFormTeeAxis::TFormTeeAxis(TComponent* AOwner, TChartAxis* AAxis)
    : TForm(AOwner), FAxis(AAxis), FChart(AAxis ? AAxis->ParentChart() : nullptr) {
    Build();
}

void TFormTeeAxis::OnInt(TEdit* Edit, std::function<void(int)> Set) {
    Edit->OnChange = [this, Edit, Set](TObject*) {
        int v;
        if (!FChanging && FAxis && TryStrToInt(Edit->Text(), v)) Set(v);
    };
}

void TFormTeeAxis::Build() {
    SetCaption("Axis");
    SetClientWidth(420);
    SetClientHeight(250);
    LBAxes = TeeNew<TListBox>(this, this, "LBAxes", 4, 20, 96, 150);
    LAxes = TeeNewLabel(this, this, "A&xes:", 4, 4, LBAxes);
    CBShow = TeeNewCheck(this, this, "CBShow", "Visible", 4, 176, 96);
    CBAxisBeh = TeeNewCheck(this, this, "CBAxisBeh", "&Behind", 4, 196, 96);
    BAdd = TeeNewButton(this, this, "BAdd", "+", 4, 220, 30, 23);
    BDelete = TeeNewButton(this, this, "BDelete", "-", 40, 220, 30, 23);
    // Kept off the page's right and bottom edges, so its frame does not run
    // into the editor's own.
    PageAxis = TeeNew<TPageControl>(this, this, "PageAxis", 106, 0, 310, 248);
    // A wider editor shows every tab of the axis.
    PageAxis->SetAnchors({akLeft, akTop, akRight, akBottom});
    // The editor's tab may be lower than this page was laid out for: the list
    // gives way, the switches and buttons below it stay on the page.
    LBAxes->SetAnchors({akLeft, akTop, akBottom});
    for (TControl* c : std::initializer_list<TControl*>{CBShow, CBAxisBeh, BAdd, BDelete})
        c->SetAnchors({akLeft, akBottom});
    TabScales = TeeNewTab(PageAxis, "TabScales", "Scales");
    TabTitle = TeeNewTab(PageAxis, "TabTitle", "Title");
    TabLabels = TeeNewTab(PageAxis, "TabLabels", "Labels");
    TabTicks = TeeNewTab(PageAxis, "TabTicks", "Ticks");
    TabMinor = TeeNewTab(PageAxis, "TabMinor", "Minor");
    TabPosition = TeeNewTab(PageAxis, "TabPosition", "Position");
    BuildScales();
    BuildTitle();
    BuildLabels();
    BuildTicks();
    BuildPosition();

    LBAxes->OnClick = [this](TObject* s) { LBAxesClick(s); };
    CBShow->OnClick = [this](TObject*) {
        if (!FChanging && Chart()) Chart()->SetAxisVisible(CBShow->Checked());
    };
    CBAxisBeh->OnClick = [this](TObject*) {
        if (!FChanging && Chart()) Chart()->SetAxisBehind(CBAxisBeh->Checked());
    };
    BAdd->OnClick = [this](TObject* s) { BAddClick(s); };
    BDelete->OnClick = [this](TObject* s) { BDeleteClick(s); };
    PageAxis->OnChanging = [this](TObject*, bool&) { FChanging = true; };
    PageAxis->OnChange = [this](TObject* s) { PageAxisChange(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
}

void TFormTeeAxis::BuildScales() {
    TWinControl* p = TabScales;
    CBVisible = TeeNewCheck(this, p, "CBVisible", "&Visible", 8, 6, 90);
    CBAutomatic = TeeNewCheck(this, p, "CBAutomatic", "&Automatic", 104, 6, 100);
    auto limit = [&](int Top, const char* Caption, const char* Auto, const char* AutoCaption,
                     const char* Btn, const char* BtnCaption, const char* Edit, const char* UD,
                     TCheckBox** CB, TLabel** L, TButton** B, TEdit** E, TUpDown** U) {
        TeeNewLabel(this, p, Caption, 8, Top + 2);
        *CB = TeeNewCheck(this, p, Auto, AutoCaption, 70, Top, 56);
        *L = TeeNewLabel(this, p, "", 130, Top + 2);
        *B = TeeNewButton(this, p, Btn, BtnCaption, 222, Top - 2, 80);
        *U = TeeNewUpDown(this, p, Edit, UD, 130, Top + 22, 50, -10000, 10000, E);
        TeeNewLabel(this, p, "Offset:", 84, Top + 26, *E);
    };
    limit(30, "Maximum:", "CBAutoMax", "A&uto", "BAxisMax", "C&hange...", "EMaxOff", "UDMaxOff",
          &CBAutoMax, &LAxisMax, &BAxisMax, &EMaxOff, &UDMaxOff);
    limit(84, "Minimum:", "CBAutoMin", "Aut&o", "BAxisMin", "Cha&nge...", "EMinOff", "UDMinOff",
          &CBAutoMin, &LAxisMin, &BAxisMin, &EMinOff, &UDMinOff);
    LAxisMax->SetCaption("(max)");
    LAxisMin->SetCaption("(min)");
    TeeNewLabel(this, p, "Increment:", 8, 142);
    LAxisIncre = TeeNewLabel(this, p, "(increment)", 130, 142);
    BIncre = TeeNewButton(this, p, "BIncre", "&Change...", 222, 136, 80);
    CBLogarithmic = TeeNewCheck(this, p, "CBLogarithmic", "Logarith&mic", 8, 170, 100);
    auto* logBase = TeeNewNumber(this, p, "ELogBase", 190, 168, 50);
    // The axis steps by no base below 2.
    logBase->SetFloatRange(2, std::numeric_limits<double>::max());
    ELogBase = logBase;
    ELogBase->SetText("10");
    LLogBase = TeeNewLabel(this, p, "L&og Base:", 124, 172, ELogBase);
    LogE = TeeNewCheck(this, p, "LogE", "e", 248, 170, 40);
    CBInverted = TeeNewCheck(this, p, "CBInverted", "&Inverted", 8, 196, 100);

    CBAutomatic->OnClick = [this](TObject*) {
        if (FChanging || FScaling || !FAxis) return;
        const bool on = CBAutomatic->Checked();
        FAxis->SetAutomatic(on);
        if (!on) {
            FAxis->SetAutomaticMaximum(false);
            FAxis->SetAutomaticMinimum(false);
        } else {
            FAxis->AdjustMaxMin();
        }
        SetAxisScales();
    };
    auto autoBox = [this](TCheckBox* Box, void (TChartAxis::*Set)(bool)) {
        Box->OnClick = [this, Box, Set](TObject*) {
            if (FChanging || FScaling || !FAxis) return;
            (FAxis->*Set)(Box->Checked());
            FAxis->AdjustMaxMin();
            SetAxisScales();
        };
    };
    autoBox(CBAutoMax, &TChartAxis::SetAutomaticMaximum);
    autoBox(CBAutoMin, &TChartAxis::SetAutomaticMinimum);
    BAxisMax->OnClick = [this](TObject*) {
        if (FAxis && EditAxisMaxMin(this, FAxis, true)) SetAxisScales();
    };
    BAxisMin->OnClick = [this](TObject*) {
        if (FAxis && EditAxisMaxMin(this, FAxis, false)) SetAxisScales();
    };
    BIncre->OnClick = [this](TObject*) {
        if (FAxis && EditAxisIncrement(this, FAxis)) SetAxisScales();
    };
    EMaxOff->OnChange = [this](TObject*) {
        int v;
        if (!FChanging && !FScaling && FAxis && TryStrToInt(EMaxOff->Text(), v))
            FAxis->SetMaximumOffset(v);
    };
    EMinOff->OnChange = [this](TObject*) {
        int v;
        if (!FChanging && !FScaling && FAxis && TryStrToInt(EMinOff->Text(), v))
            FAxis->SetMinimumOffset(v);
    };
    CBLogarithmic->OnClick = [this](TObject*) {
        if (!FChanging && FAxis) FAxis->SetLogarithmic(CBLogarithmic->Checked());
        EnableLogBase();
    };
    ELogBase->OnChange = [this](TObject*) {
        double v;
        if (FChanging || !FAxis || !TryStrToFloat(ELogBase->Text(), v)) return;
        try {
            FAxis->SetLogarithmicBase(v);
        } catch (const AxisException&) {
            return; // a base the axis cannot step by keeps the current one
        }
        LogE->SetChecked(v == std::exp(1.0));
        EnableLogBase();
    };
    LogE->OnClick = [this](TObject*) {
        if (FChanging || !FAxis || !LogE->Checked()) return;
        ELogBase->SetText(FloatToStr(std::exp(1.0)));
        EnableLogBase();
    };
    CBInverted->OnClick = [this](TObject*) {
        if (!FChanging && FAxis) FAxis->SetInverted(CBInverted->Checked());
    };
    CBVisible->OnClick = [this](TObject*) {
        if (!FChanging && FAxis) FAxis->SetVisible(CBVisible->Checked());
    };
}

void TFormTeeAxis::BuildTitle() {
    PageTitle = TeeNew<TPageControl>(this, TabTitle, "PageTitle", 0, 0, 306, 222);
    PageTitle->SetAlign(alClient);
    TabTitleStyle = TeeNewTab(PageTitle, "TabTitleStyle", "Style");
    TabTitleFont = TeeNewTab(PageTitle, "TabTitleFont", "Text");
    TWinControl* p = TabTitleStyle;
    ETitle = TeeNew<TEdit>(this, p, "ETitle", 60, 8, 220, 21);
    TeeNewLabel(this, p, "T&itle:", 8, 12, ETitle);
    UDTitleAngle =
        TeeNewUpDown(this, p, "ETitleAngle", "UDTitleAngle", 60, 38, 40, 0, 360, &ETitleAngle, 90);
    TeeNewLabel(this, p, "&Angle:", 8, 42, ETitleAngle);
    UDTitleSize =
        TeeNewUpDown(this, p, "ETitleSize", "UDTitleSize", 60, 68, 40, 0, 1000, &ETitleSize);
    TeeNewLabel(this, p, "Si&ze:", 8, 72, ETitleSize);
    CBTitleVisible = TeeNewCheck(this, p, "CBTitleVisible", "&Visible", 8, 100, 100);
    ETitle->OnChange = [this](TObject*) {
        if (!FChanging && FAxis) FAxis->Title()->SetCaption(ETitle->Text());
    };
    OnInt(ETitleAngle, [this](int v) { FAxis->Title()->SetAngle(v); });
    OnInt(ETitleSize, [this](int v) { FAxis->SetTitleSize(v); });
    CBTitleVisible->OnClick = [this](TObject*) {
        if (!FChanging && FAxis) FAxis->Title()->SetVisible(CBTitleVisible->Checked());
    };
    FTitleFont = new TTeeFontEditor(this);
    AddFormTo(FTitleFont, TabTitleFont, nullptr);
}

void TFormTeeAxis::BuildLabels() {
    PageLabels = TeeNew<TPageControl>(this, TabLabels, "PageLabels", 0, 0, 306, 222);
    PageLabels->SetAlign(alClient);
    TabLabelsStyle = TeeNewTab(PageLabels, "TabLabelsStyle", "Style");
    TabLabelsFont = TeeNewTab(PageLabels, "TabLabelsFont", "Text");
    TWinControl* p = TabLabelsStyle;
    CBLabels = TeeNewCheck(this, p, "CBLabels", "V&isible", 8, 4, 100);
    CBMultiline = TeeNewCheck(this, p, "CBMultiline", "Multi-lin&e", 8, 22, 100);
    CBOnAxis = TeeNewCheck(this, p, "CBOnAxis", "Label On A&xis", 8, 40, 110);
    CBRoundFirst = TeeNewCheck(this, p, "CBRoundFirst", "Ro&und First", 8, 58, 110);
    CBExpo = TeeNewCheck(this, p, "CBExpo", "&Exponential", 8, 76, 110);
    CBLabelAlign = TeeNewCheck(this, p, "CBLabelAlign", "&Default Alignment", 8, 94, 130);
    UDLabelsSize =
        TeeNewUpDown(this, p, "ELabelsSize", "UDLabelsSize", 70, 116, 40, 0, 1000, &ELabelsSize);
    TeeNewLabel(this, p, "Si&ze:", 8, 120, ELabelsSize);
    UDLabelsAngle = TeeNewUpDown(this, p, "ELabelsAngle", "UDLabelsAngle", 70, 142, 40, 0, 360,
                                 &ELabelsAngle, 90);
    TeeNewLabel(this, p, "An&gle:", 8, 146, ELabelsAngle);
    UDSepar = TeeNewUpDown(this, p, "ESepar", "UDSepar", 250, 126, 40, 0, 1000, &ESepar, 10);
    TeeNewLabel(this, p, "Min. Se&paration %:", 140, 130, ESepar);
    RGLabelStyle = TeeNewRadio(this, p, "RGLabelStyle", "St&yle:", 196, 2, 100, 118,
                               {"Auto", "None", "Value", "Mark", "Text"});
    CBFormat = TeeNew<TComboFlat>(this, p, "CBFormat", 110, 168, 180, 21);
    CBFormat->SetStyle(csDropDown);
    LabelAxisFormat = TeeNewLabel(this, p, TeeMsg_ValuesFormat, 8, 172, CBFormat);

    auto check = [this](TCheckBox* Box, void (TChartAxis::*Set)(bool)) {
        Box->OnClick = [this, Box, Set](TObject*) {
            if (!FChanging && FAxis) (FAxis->*Set)(Box->Checked());
        };
    };
    check(CBLabels, &TChartAxis::SetLabels);
    check(CBMultiline, &TChartAxis::SetLabelsMultiLine);
    check(CBOnAxis, &TChartAxis::SetLabelsOnAxis);
    check(CBRoundFirst, &TChartAxis::SetRoundFirstLabel);
    check(CBExpo, &TChartAxis::SetLabelsExponent);
    CBLabelAlign->OnClick = [this](TObject*) {
        if (!FChanging && FAxis)
            FAxis->SetLabelsAlign(CBLabelAlign->Checked() ? alDefault : alOpposite);
    };
    OnInt(ELabelsSize, [this](int v) { FAxis->SetLabelsSize(v); });
    OnInt(ELabelsAngle, [this](int v) { FAxis->SetLabelsAngle(v); });
    OnInt(ESepar, [this](int v) {
        if (v >= 0) FAxis->SetLabelsSeparation(v);
    });
    RGLabelStyle->OnClick = [this](TObject*) {
        if (!FChanging && FAxis && RGLabelStyle->ItemIndex() >= 0)
            FAxis->SetLabelStyle(static_cast<TAxisLabelStyle>(RGLabelStyle->ItemIndex()));
    };
    CBFormat->OnChange = [this](TObject*) {
        if (FChanging || !FAxis) return;
        if (FAxis->IsDateTime())
            FAxis->SetDateTimeFormat(CBFormat->Text());
        else
            FAxis->SetAxisValuesFormat(Localized(CBFormat->Text(), false));
    };
    FLabelsFont = new TTeeFontEditor(this);
    AddFormTo(FLabelsFont, TabLabelsFont, nullptr);
}

void TFormTeeAxis::BuildTicks() {
    TWinControl* p = TabTicks;
    auto pen = [&](const char* Name, const char* Caption, int L, int T) {
        return TeeNewButton<TButtonPen>(this, p, Name, Caption, L, T, 80);
    };
    BAxisPen = pen("BAxisPen", "&Axis...", 8, 8);
    BAxisGrid = pen("BAxisGrid", "&Grid...", 8, 40);
    BTickPen = pen("BTickPen", "T&icks...", 8, 72);
    BTickInner = pen("BTickInner", "I&nner...", 8, 104);
    UDAxisTickLength = TeeNewUpDown(this, p, "EAxisTickLength", "UDAxisTickLength", 130, 74, 40, 0,
                                    1000, &EAxisTickLength);
    TeeNewLabel(this, p, "Len:", 98, 78, EAxisTickLength);
    UDInnerTicksLength = TeeNewUpDown(this, p, "EInnerTicksLength", "UDInnerTicksLength", 130, 106,
                                      40, 0, 1000, &EInnerTicksLength);
    TeeNewLabel(this, p, "Len:", 98, 110, EInnerTicksLength);
    CBGridCentered = TeeNewCheck(this, p, "CBGridCentered", "C&entered", 98, 44, 80);
    UDGridZ = TeeNewUpDown(this, p, "EGridZ", "UDGridZ", 222, 42, 40, 0, 100, &EGridZ);
    TeeNewLabel(this, p, "&Z:", 204, 46, EGridZ);
    CBTickOnLabels = TeeNewCheck(this, p, "CBTickOnLabels", "At Labels Onl&y", 8, 140, 140);
    OnInt(EAxisTickLength, [this](int v) { FAxis->SetTickLength(v); });
    OnInt(EInnerTicksLength, [this](int v) { FAxis->SetTickInnerLength(v); });
    OnInt(EGridZ, [this](int v) { FAxis->Grid()->SetZPosition(v); });
    CBGridCentered->OnClick = [this](TObject*) {
        if (!FChanging && FAxis) FAxis->SetGridCentered(CBGridCentered->Checked());
    };
    CBTickOnLabels->OnClick = [this](TObject*) {
        if (!FChanging && FAxis) FAxis->SetTickOnLabelsOnly(CBTickOnLabels->Checked());
    };

    p = TabMinor;
    BTickMinor = pen("BTickMinor", "&Ticks...", 8, 8);
    BMinorGrid = pen("BMinorGrid", "&Grid...", 8, 40);
    UDAxisMinorTickLen = TeeNewUpDown(this, p, "EAxisMinorTickLen", "UDAxisMinorTickLen", 150, 10,
                                      40, 0, 1000, &EAxisMinorTickLen);
    TeeNewLabel(this, p, "Length:", 100, 14, EAxisMinorTickLen);
    UDMinorCount =
        TeeNewUpDown(this, p, "EMinorCount", "UDMinorCount", 150, 74, 40, 0, 1000, &EMinorCount);
    TeeNewLabel(this, p, "&Count:", 100, 78, EMinorCount);
    OnInt(EAxisMinorTickLen, [this](int v) { FAxis->SetMinorTickLength(v); });
    OnInt(EMinorCount, [this](int v) { FAxis->SetMinorTickCount(v); });
}

void TFormTeeAxis::BuildPosition() {
    TWinControl* p = TabPosition;
    UDPos = TeeNewUpDown(this, p, "EPos", "UDPos", 90, 8, 50, -1000, 1000, &EPos);
    TeeNewLabel(this, p, "&Position %:", 8, 12, EPos);
    UDStart = TeeNewUpDown(this, p, "EStart", "UDStart", 90, 36, 50, 0, 100, &EStart);
    TeeNewLabel(this, p, "St&art %:", 8, 40, EStart);
    UDEnd = TeeNewUpDown(this, p, "EEnd", "UDEnd", 90, 64, 50, 0, 100, &EEnd);
    TeeNewLabel(this, p, "&End %:", 8, 68, EEnd);
    UDZ = TeeNewUpDown(this, p, "EZ", "UDZ", 90, 92, 50, 0, 100, &EZ);
    TeeNewLabel(this, p, "&Z %:", 8, 96, EZ);
    CBPosUnits = TeeNewCombo(this, p, "CBPosUnits", 200, 8, 90, {"Percent", "Pixels"});
    TeeNewLabel(this, p, "&Units:", 160, 12, CBPosUnits);
    CBOtherSide = TeeNewCheck(this, p, "CBOtherSide", "&Other side", 8, 124, 100);
    CBHorizAxis = TeeNewCheck(this, p, "CBHorizAxis", "&Horizontal", 8, 146, 100);
    OnInt(EPos, [this](int v) { FAxis->SetPositionPercent(v); });
    OnInt(EStart, [this](int v) {
        if (v < FAxis->EndPosition())
            FAxis->SetStartPosition(v);
        else
            UDStart->SetPosition(static_cast<int>(std::lround(FAxis->StartPosition())));
    });
    OnInt(EEnd, [this](int v) {
        if (v > FAxis->StartPosition())
            FAxis->SetEndPosition(v);
        else
            UDEnd->SetPosition(static_cast<int>(std::lround(FAxis->EndPosition())));
    });
    OnInt(EZ, [this](int v) { FAxis->SetZPosition(v); });
    CBPosUnits->OnChange = [this](TObject*) {
        if (!FChanging && FAxis && CBPosUnits->ItemIndex() >= 0)
            FAxis->SetPositionUnits(CBPosUnits->ItemIndex() == 0 ? muPercent : muPixels);
    };
    CBOtherSide->OnClick = [this](TObject*) {
        if (!FChanging && FAxis) FAxis->SetOtherSide(CBOtherSide->Checked());
    };
    CBHorizAxis->OnClick = [this](TObject*) {
        if (FChanging || !FAxis) return;
        FAxis->SetHorizontal(CBHorizAxis->Checked());
        if (OnChangeHorizontal) OnChangeHorizontal(FAxis);
    };
}

// ---------------------------------------------------------------------------
// Axes list

void TeeAddAxes(TCustomAxisPanel* Chart, TStrings* Items, bool AddDepth) {
    Items->Clear();
    for (const AnsiString* s :
         {&TeeMsg_LeftAxis, &TeeMsg_RightAxis, &TeeMsg_TopAxis, &TeeMsg_BottomAxis})
        Items->Add(*s);
    if (AddDepth) Items->Add(TeeMsg_DepthAxis);
    if (!Chart) return;
    for (int i = 0; i < Chart->CustomAxes()->Count(); ++i)
        Items->Add(TeeMsg_CustomAxesEditor + IntToStr(i));
}

TCustomAxisPanel* TFormTeeAxis::Chart() const {
    return FChart;
}

void TFormTeeAxis::FormShow(TObject*) {
    if (!FAxis) FAxis = dynamic_cast<TChartAxis*>(reinterpret_cast<TObject*>(Tag()));
    if (!FAxis) return;
    FChart = FAxis->ParentChart();
    FChanging = true;
    TeeAddAxes(Chart(), LBAxes->Items(), true);
    SetAxisIndex();
    CBShow->SetChecked(Chart()->AxisVisible());
    CBAxisBeh->SetChecked(Chart()->AxisBehind());
    PageAxis->SetActivePage(TabScales);
    PageLabels->SetActivePage(TabLabelsStyle);
    PageTitle->SetActivePage(TabTitleStyle);
    PageAxisChange(this);
}

void TFormTeeAxis::SetAxisIndex() {
    TCustomAxisPanel* c = Chart();
    if (!c) return;
    const TChartAxis* standard[] = {c->LeftAxis(), c->RightAxis(), c->TopAxis(), c->BottomAxis(),
                                    c->DepthAxis()};
    int index = -1;
    for (int i = 0; i < 5; ++i)
        if (standard[i] == FAxis) index = i;
    if (index < 0) {
        for (int i = 5; i < c->Axes()->Count(); ++i)
            if (c->Axes()->Get(i) == FAxis) index = i;
    }
    LBAxes->SetItemIndex(index);
}

void TFormTeeAxis::LBAxesClick(TObject*) {
    TCustomAxisPanel* c = Chart();
    const int i = LBAxes->ItemIndex();
    if (!c || i < 0) return;
    TChartAxis* standard[] = {c->LeftAxis(), c->RightAxis(), c->TopAxis(), c->BottomAxis(),
                              c->DepthAxis()};
    if (i < 5)
        FAxis = standard[i];
    else if (i < c->Axes()->Count())
        FAxis = c->Axes()->Get(i);
    FChanging = true;
    PageAxisChange(this);
}

void TFormTeeAxis::BAddClick(TObject*) {
    TCustomAxisPanel* c = Chart();
    if (!c) return;
    FAxis = new TChartAxis(c->CustomAxes());
    FChanging = true;
    TeeAddAxes(c, LBAxes->Items(), true);
    SetAxisIndex();
    PageAxisChange(this);
}

void TFormTeeAxis::BDeleteClick(TObject*) {
    TCustomAxisPanel* c = Chart();
    const int i = LBAxes->ItemIndex();
    if (!c || i < 5) return;
    // The pen buttons and font pages must not outlive the axis they show.
    for (TButtonPen* b : {BAxisPen, BTickPen, BTickInner, BAxisGrid, BTickMinor, BMinorGrid})
        b->LinkPen(nullptr);
    FTitleFont->RefreshControls(nullptr);
    FLabelsFont->RefreshControls(nullptr);
    delete FAxis;
    LBAxes->Items()->Delete(i);
    LBAxes->SetItemIndex(i - 1);
    FAxis = nullptr;
    LBAxesClick(this);
    c->Invalidate();
}

// ---------------------------------------------------------------------------
// Refresh

void TFormTeeAxis::PageAxisChange(TObject*) {
    if (!FAxis) return;
    FChanging = true;
    BAxisPen->LinkPen(FAxis->Axis());
    BTickPen->LinkPen(FAxis->Ticks());
    BTickInner->LinkPen(FAxis->TicksInner());
    BAxisGrid->LinkPen(FAxis->Grid());
    BTickMinor->LinkPen(FAxis->MinorTicks());
    BMinorGrid->LinkPen(FAxis->MinorGrid());
    TTabSheet* page = PageAxis->ActivePage();
    if (page == TabScales)
        SetAxisScales();
    else if (page == TabTitle)
        SetAxisTitle();
    else if (page == TabLabels)
        SetAxisLabels();
    else if (page == TabTicks)
        SetAxisTicks();
    else if (page == TabMinor)
        SetAxisMinor();
    else if (page == TabPosition)
        SetAxisPosition();
    BDelete->SetEnabled(LBAxes->ItemIndex() >= 5);
    CBVisible->SetChecked(FAxis->Visible());
    CBLabelAlign->SetChecked(FAxis->LabelsAlign() == alDefault);
    CBLabelAlign->SetEnabled(!FAxis->Horizontal() && !FAxis->IsDepthAxis);
    FChanging = false;
}

void TFormTeeAxis::SetAxisScales() {
    const bool was = FChanging;
    FChanging = true;
    LAxisIncre->SetCaption(GetIncrementText(
        this, FAxis->Increment(), FAxis->IsDateTime(), FAxis->ExactDateTime(),
        FAxis->AxisValuesFormat().IsEmpty() ? TeeMsg_DefValueFormat : FAxis->AxisValuesFormat()));
    LAxisMin->SetCaption(LimitText(FAxis, FAxis->Minimum()));
    LAxisMax->SetCaption(LimitText(FAxis, FAxis->Maximum()));
    FScaling = true;
    CBAutomatic->SetChecked(FAxis->Automatic());
    CBAutoMax->SetChecked(FAxis->AutomaticMaximum());
    CBAutoMin->SetChecked(FAxis->AutomaticMinimum());
    UDMaxOff->SetPosition(FAxis->MaximumOffset());
    UDMinOff->SetPosition(FAxis->MinimumOffset());
    FScaling = false;
    CBLogarithmic->SetChecked(FAxis->Logarithmic());
    CBLogarithmic->SetEnabled(!FAxis->IsDepthAxis);
    LogE->SetChecked(FAxis->LogarithmicBase() == std::exp(1.0));
    ELogBase->SetText(FloatToStr(FAxis->LogarithmicBase()));
    EnableLogBase();
    CBInverted->SetChecked(FAxis->Inverted());
    CBVisible->SetChecked(FAxis->Visible());
    FChanging = was;
}

void TFormTeeAxis::EnableLogBase() {
    const bool on = CBLogarithmic->Checked() && CBLogarithmic->Enabled();
    ELogBase->SetEnabled(on);
    LLogBase->SetEnabled(on);
    LogE->SetEnabled(on && !LogE->Checked());
}

void TFormTeeAxis::SetAxisTitle() {
    ETitle->SetText(FAxis->Title()->Caption());
    UDTitleAngle->SetPosition(FAxis->Title()->Angle());
    UDTitleSize->SetPosition(FAxis->TitleSize());
    CBTitleVisible->SetChecked(FAxis->Title()->Visible());
    FTitleFont->RefreshControls(FAxis->Title()->Font());
}

void TFormTeeAxis::SetAxisLabels() {
    CBLabels->SetChecked(FAxis->Labels());
    CBMultiline->SetChecked(FAxis->LabelsMultiLine());
    CBOnAxis->SetChecked(FAxis->LabelsOnAxis());
    CBRoundFirst->SetChecked(FAxis->RoundFirstLabel());
    CBExpo->SetChecked(FAxis->LabelsExponent());
    UDLabelsSize->SetPosition(FAxis->LabelsSize());
    UDLabelsAngle->SetPosition(FAxis->LabelsAngle());
    UDSepar->SetPosition(FAxis->LabelsSeparation());
    RGLabelStyle->SetItemIndex(FAxis->LabelStyle());
    TStrings* items = CBFormat->Items();
    items->Clear();
    AnsiString text;
    if (FAxis->IsDateTime()) {
        LabelAxisFormat->SetCaption(TeeMsg_DateTimeFormat);
        if (FAxis->Maximum() - FAxis->Minimum() <= 1) {
            for (const AnsiString& s : {ShortTimeFormat, LongTimeFormat, AnsiString("hh:mm"),
                                        AnsiString("hh:mm:ss"), AnsiString("hh:mm:ss.zzz")})
                items->Add(s);
        } else {
            for (const AnsiString& s :
                 {ShortDateFormat, LongDateFormat, AnsiString("yyyy-mm-dd"),
                  AnsiString("mm-dd-yyyy"), AnsiString("dd-mm-yyyy"), AnsiString("ddd"),
                  AnsiString("dddd"), AnsiString("mmm"), AnsiString("mmmm")})
                items->Add(s);
        }
        text = FAxis->DateTimeFormat();
        if (text.IsEmpty()) text = DateTimeDefaultFormat(FAxis->Maximum() - FAxis->Minimum());
    } else {
        LabelAxisFormat->SetCaption(TeeMsg_ValuesFormat);
        AddDefaultValueFormats(items);
        text = FAxis->AxisValuesFormat();
        if (text.IsEmpty()) text = TeeMsg_DefValueFormat;
        text = Localized(text, true);
    }
    if (items->IndexOf(text) < 0) items->Add(text);
    CBFormat->SetText(text);
    FLabelsFont->RefreshControls(FAxis->LabelsFont());
}

void TFormTeeAxis::SetAxisTicks() {
    UDAxisTickLength->SetPosition(FAxis->TickLength());
    UDInnerTicksLength->SetPosition(FAxis->TickInnerLength());
    CBTickOnLabels->SetChecked(FAxis->TickOnLabelsOnly());
    CBGridCentered->SetChecked(FAxis->GridCentered());
    UDGridZ->SetPosition(static_cast<int>(std::lround(FAxis->Grid()->ZPosition())));
}

void TFormTeeAxis::SetAxisMinor() {
    UDAxisMinorTickLen->SetPosition(FAxis->MinorTickLength());
    UDMinorCount->SetPosition(FAxis->MinorTickCount());
}

void TFormTeeAxis::SetAxisPosition() {
    UDPos->SetPosition(static_cast<int>(std::lround(FAxis->PositionPercent())));
    UDStart->SetPosition(static_cast<int>(std::lround(FAxis->StartPosition())));
    UDEnd->SetPosition(static_cast<int>(std::lround(FAxis->EndPosition())));
    UDZ->SetPosition(static_cast<int>(std::lround(FAxis->ZPosition())));
    CBPosUnits->SetItemIndex(FAxis->PositionUnits() == muPercent ? 0 : 1);
    CBOtherSide->SetChecked(FAxis->OtherSide());
    CBHorizAxis->SetChecked(FAxis->Horizontal());
    const bool custom = FAxis->IsCustom();
    CBOtherSide->SetEnabled(custom);
    CBHorizAxis->SetEnabled(custom);
}
