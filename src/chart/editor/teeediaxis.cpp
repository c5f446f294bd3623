// Axis page of the chart editor.
//   construction   the axes list and the six tabs with their controls
//   axes list      filling, selection, adding and deleting custom axes
//   refresh        every tab's controls from the current axis
#include "chart/editor/teeediaxis.h"
#include <functional>

#include "chart/control/tooledit.h"
#include "chart/editor/teeaxisincr.h"
#include "chart/editor/teeformbuild.h"
#include "chart/editor/teependlg.h"
#include "chart/engine/teeaxis.h"
#include "chart/engine/teeaxispanel.h"
#include "chart/engine/teeconst.h"
#include "platform/classes/watched.h"
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
    FBind.Check(
        CBShow, [this] { return Chart()->AxisVisible(); },
        [this](bool V) { Chart()->SetAxisVisible(V); });
    FBind.Check(
        CBAxisBeh, [this] { return Chart()->AxisBehind(); },
        [this](bool V) { Chart()->SetAxisBehind(V); });
    BAdd->OnClick = [this](TObject* s) { BAddClick(s); };
    BDelete->OnClick = [this](TObject* s) { BDeleteClick(s); };
    // Leaving a tab writes nothing until the new one is refreshed.
    PageAxis->OnChanging = [this](TObject*, bool&) {
        if (!FTabGuard) FTabGuard.reset(new TLoadGuard(FBind.Guard()));
    };
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

    FBind.Check(
        CBAutomatic, [this] { return FAxis->Automatic(); },
        [this](bool On) {
            if (FScaling) return;
            FAxis->SetAutomatic(On);
            if (!On) {
                FAxis->SetAutomaticMaximum(false);
                FAxis->SetAutomaticMinimum(false);
            } else {
                FAxis->AdjustMaxMin();
            }
            SetAxisScales();
        });
    auto autoBox = [this](TCheckBox* Box, bool (TChartAxis::*Get)() const,
                          void (TChartAxis::*Set)(bool)) {
        FBind.Check(
            Box, [this, Get] { return (FAxis->*Get)(); },
            [this, Set](bool On) {
                if (FScaling) return;
                (FAxis->*Set)(On);
                FAxis->AdjustMaxMin();
                SetAxisScales();
            });
    };
    autoBox(CBAutoMax, &TChartAxis::AutomaticMaximum, &TChartAxis::SetAutomaticMaximum);
    autoBox(CBAutoMin, &TChartAxis::AutomaticMinimum, &TChartAxis::SetAutomaticMinimum);
    // A custom axis may be deleted while its dialog shows.
    auto limits = [this](const std::function<bool(TChartAxis*)>& Edit) {
        if (!FAxis) return;
        TCallOut held{this, FAxis};
        const bool changed = Edit(FAxis);
        if (held.Gone()) return;
        if (changed) SetAxisScales();
    };
    BAxisMax->OnClick = [this, limits](TObject*) {
        limits([this](TChartAxis* A) { return EditAxisMaxMin(this, A, true); });
    };
    BAxisMin->OnClick = [this, limits](TObject*) {
        limits([this](TChartAxis* A) { return EditAxisMaxMin(this, A, false); });
    };
    BIncre->OnClick = [this, limits](TObject*) {
        limits([this](TChartAxis* A) { return EditAxisIncrement(this, A); });
    };
    FBind.UpDown(
        UDMaxOff, [this] { return FAxis->MaximumOffset(); },
        [this](int V) {
            if (!FScaling) FAxis->SetMaximumOffset(V);
        });
    FBind.UpDown(
        UDMinOff, [this] { return FAxis->MinimumOffset(); },
        [this](int V) {
            if (!FScaling) FAxis->SetMinimumOffset(V);
        });
    FBind.Check(
        CBLogarithmic, [this] { return FAxis->Logarithmic(); },
        [this](bool V) {
            FAxis->SetLogarithmic(V);
            EnableLogBase();
        });
    FBind.Text(
        ELogBase, [this] { return FloatToStr(FAxis->LogarithmicBase()); },
        [this](const AnsiString& T) {
            double v;
            if (!TryStrToFloat(T, v)) return;
            // The field shows e to its own digits only: that text stands for e.
            const bool e = FloatToStr(v) == FloatToStr(std::exp(1.0));
            if (e) v = std::exp(1.0);
            try {
                FAxis->SetLogarithmicBase(v);
            } catch (const AxisException&) {
                return; // a base the axis cannot step by keeps the current one
            }
            auto guard = FBind.Guard();
            LogE->SetChecked(e);
            EnableLogBase();
        });
    FBind.Check(
        LogE, [this] { return FAxis->LogarithmicBase() == std::exp(1.0); },
        [this](bool V) {
            if (!V) return;
            FAxis->SetLogarithmicBase(std::exp(1.0));
            auto guard = FBind.Guard();
            ELogBase->SetText(FloatToStr(std::exp(1.0)));
            EnableLogBase();
        });
    FBind.Check(
        CBInverted, [this] { return FAxis->Inverted(); },
        [this](bool V) { FAxis->SetInverted(V); });
    FBind.Check(
        CBVisible, [this] { return FAxis->Visible(); }, [this](bool V) { FAxis->SetVisible(V); });
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
    FBind.Text(
        ETitle, [this] { return FAxis->Title()->Caption(); },
        [this](const AnsiString& T) { FAxis->Title()->SetCaption(T); });
    FBind.UpDown(
        UDTitleAngle, [this] { return FAxis->Title()->Angle(); },
        [this](int V) { FAxis->Title()->SetAngle(V); });
    FBind.UpDown(
        UDTitleSize, [this] { return FAxis->TitleSize(); },
        [this](int V) { FAxis->SetTitleSize(V); });
    FBind.Check(
        CBTitleVisible, [this] { return FAxis->Title()->Visible(); },
        [this](bool V) { FAxis->Title()->SetVisible(V); });
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

    auto check = [this](TCheckBox* Box, bool (TChartAxis::*Get)() const,
                        void (TChartAxis::*Set)(bool)) {
        FBind.Check(
            Box, [this, Get] { return std::invoke(Get, FAxis); },
            [this, Set](bool V) { std::invoke(Set, FAxis, V); });
    };
    check(CBLabels, &TChartAxis::Labels, &TChartAxis::SetLabels);
    check(CBMultiline, &TChartAxis::LabelsMultiLine, &TChartAxis::SetLabelsMultiLine);
    check(CBOnAxis, &TChartAxis::LabelsOnAxis, &TChartAxis::SetLabelsOnAxis);
    check(CBRoundFirst, &TChartAxis::RoundFirstLabel, &TChartAxis::SetRoundFirstLabel);
    check(CBExpo, &TChartAxis::LabelsExponent, &TChartAxis::SetLabelsExponent);
    FBind.Check(
        CBLabelAlign, [this] { return FAxis->LabelsAlign() == alDefault; },
        [this](bool V) { FAxis->SetLabelsAlign(V ? alDefault : alOpposite); });
    FBind.UpDown(
        UDLabelsSize, [this] { return FAxis->LabelsSize(); },
        [this](int V) { FAxis->SetLabelsSize(V); });
    FBind.UpDown(
        UDLabelsAngle, [this] { return FAxis->LabelsAngle(); },
        [this](int V) { FAxis->SetLabelsAngle(V); });
    FBind.UpDown(
        UDSepar, [this] { return FAxis->LabelsSeparation(); },
        [this](int V) {
            if (V >= 0) FAxis->SetLabelsSeparation(V);
        });
    FBind.Index(
        RGLabelStyle, [this] { return static_cast<int>(FAxis->LabelStyle()); },
        [this](int I) { FAxis->SetLabelStyle(static_cast<TAxisLabelStyle>(I)); });
    // The format list depends on the axis; SetAxisLabels fills it.
    CBFormat->OnChange = [this](TObject*) {
        if (FBind.Loading() || !FAxis) return;
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
    FBind.UpDown(
        UDAxisTickLength, [this] { return FAxis->TickLength(); },
        [this](int V) { FAxis->SetTickLength(V); });
    FBind.UpDown(
        UDInnerTicksLength, [this] { return FAxis->TickInnerLength(); },
        [this](int V) { FAxis->SetTickInnerLength(V); });
    FBind.UpDown(
        UDGridZ, [this] { return static_cast<int>(std::lround(FAxis->Grid()->ZPosition())); },
        [this](int V) { FAxis->Grid()->SetZPosition(V); });
    FBind.Check(
        CBGridCentered, [this] { return FAxis->GridCentered(); },
        [this](bool V) { FAxis->SetGridCentered(V); });
    FBind.Check(
        CBTickOnLabels, [this] { return FAxis->TickOnLabelsOnly(); },
        [this](bool V) { FAxis->SetTickOnLabelsOnly(V); });

    p = TabMinor;
    BTickMinor = pen("BTickMinor", "&Ticks...", 8, 8);
    BMinorGrid = pen("BMinorGrid", "&Grid...", 8, 40);
    UDAxisMinorTickLen = TeeNewUpDown(this, p, "EAxisMinorTickLen", "UDAxisMinorTickLen", 150, 10,
                                      40, 0, 1000, &EAxisMinorTickLen);
    TeeNewLabel(this, p, "Length:", 100, 14, EAxisMinorTickLen);
    UDMinorCount =
        TeeNewUpDown(this, p, "EMinorCount", "UDMinorCount", 150, 74, 40, 0, 1000, &EMinorCount);
    TeeNewLabel(this, p, "&Count:", 100, 78, EMinorCount);
    FBind.UpDown(
        UDAxisMinorTickLen, [this] { return FAxis->MinorTickLength(); },
        [this](int V) { FAxis->SetMinorTickLength(V); });
    FBind.UpDown(
        UDMinorCount, [this] { return FAxis->MinorTickCount(); },
        [this](int V) { FAxis->SetMinorTickCount(V); });
}

void TFormTeeAxis::BuildPosition() {
    TWinControl* p = TabPosition;
    UDPos = TeeNewUpDown(this, p, "EPos", "UDPos", 90, 8, 50, -1000, 1000, &EPos);
    TeeNewLabel(this, p, "&Position %:", 8, 12, EPos);
    UDStart = TeeNewUpDown(this, p, "EStart", "UDStart", 90, 36, 50, 0, 100, &EStart);
    TeeNewLabel(this, p, "St&art %:", 8, 40, EStart);
    UDEnd = TeeNewUpDown(this, p, "EEnd", "UDEnd", 90, 64, 50, 0, 100, &EEnd);
    TeeNewLabel(this, p, "&End %:", 8, 68, EEnd);
    // The start stays below the end: each takes only a whole figure.
    for (TEdit* e : {EStart, EEnd})
        static_cast<TNumberEdit*>(e)->SetWholeFigures(true);
    UDZ = TeeNewUpDown(this, p, "EZ", "UDZ", 90, 92, 50, 0, 100, &EZ);
    TeeNewLabel(this, p, "&Z %:", 8, 96, EZ);
    CBPosUnits = TeeNewCombo(this, p, "CBPosUnits", 200, 8, 90, {"Percent", "Pixels"});
    TeeNewLabel(this, p, "&Units:", 160, 12, CBPosUnits);
    CBOtherSide = TeeNewCheck(this, p, "CBOtherSide", "&Other side", 8, 124, 100);
    CBHorizAxis = TeeNewCheck(this, p, "CBHorizAxis", "&Horizontal", 8, 146, 100);
    auto rounded = [](double V) { return static_cast<int>(std::lround(V)); };
    FBind.UpDown(
        UDPos, [this, rounded] { return rounded(FAxis->PositionPercent()); },
        [this](int V) { FAxis->SetPositionPercent(V); });
    FBind.UpDown(
        UDStart, [this, rounded] { return rounded(FAxis->StartPosition()); },
        [this, rounded](int V) {
            if (V < FAxis->EndPosition())
                FAxis->SetStartPosition(V);
            else
                UDStart->SetPosition(rounded(FAxis->StartPosition()));
        });
    FBind.UpDown(
        UDEnd, [this, rounded] { return rounded(FAxis->EndPosition()); },
        [this, rounded](int V) {
            if (V > FAxis->StartPosition())
                FAxis->SetEndPosition(V);
            else
                UDEnd->SetPosition(rounded(FAxis->EndPosition()));
        });
    FBind.UpDown(
        UDZ, [this, rounded] { return rounded(FAxis->ZPosition()); },
        [this](int V) { FAxis->SetZPosition(V); });
    FBind.Index(
        CBPosUnits, [this] { return FAxis->PositionUnits() == muPercent ? 0 : 1; },
        [this](int I) { FAxis->SetPositionUnits(I == 0 ? muPercent : muPixels); });
    FBind.Check(
        CBOtherSide, [this] { return FAxis->OtherSide(); },
        [this](bool V) { FAxis->SetOtherSide(V); });
    FBind.Check(
        CBHorizAxis, [this] { return FAxis->Horizontal(); },
        [this](bool V) {
            FAxis->SetHorizontal(V);
            if (OnChangeHorizontal) OnChangeHorizontal(FAxis);
        });
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
    if (!FAxis) FAxis = SubjectAs<TChartAxis>();
    if (!FAxis) return;
    FChart = FAxis->ParentChart();
    {
        auto guard = FBind.Guard();
        TeeAddAxes(Chart(), LBAxes->Items(), true);
        SetAxisIndex();
        PageAxis->SetActivePage(TabScales);
        PageLabels->SetActivePage(TabLabelsStyle);
        PageTitle->SetActivePage(TabTitleStyle);
    }
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
    PageAxisChange(this);
}

void TFormTeeAxis::BAddClick(TObject*) {
    TCustomAxisPanel* c = Chart();
    if (!c) return;
    FAxis = new TChartAxis(c->CustomAxes());
    {
        auto guard = FBind.Guard();
        TeeAddAxes(c, LBAxes->Items(), true);
        SetAxisIndex();
    }
    PageAxisChange(this);
}

void TFormTeeAxis::BDeleteClick(TObject*) {
    TCustomAxisPanel* c = Chart();
    const int i = LBAxes->ItemIndex();
    if (!c || i < 5) return;
    // The pen buttons and font pages must not outlive the axis they show.
    for (TButtonPen* b : {BAxisPen, BTickPen, BTickInner, BAxisGrid, BTickMinor, BMinorGrid,
                          FTitleFont->BOutline, FLabelsFont->BOutline})
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

// Every control is read again, the hidden tabs' too, so none shows the axis
// chosen before.
void TFormTeeAxis::PageAxisChange(TObject*) {
    if (!FAxis) return;
    FTabGuard.reset();
    BAxisPen->LinkPen(FAxis->Axis());
    BTickPen->LinkPen(FAxis->Ticks());
    BTickInner->LinkPen(FAxis->TicksInner());
    BAxisGrid->LinkPen(FAxis->Grid());
    BTickMinor->LinkPen(FAxis->MinorTicks());
    BMinorGrid->LinkPen(FAxis->MinorGrid());
    SetAxisScales();
    auto guard = FBind.Guard();
    SetAxisTitle();
    SetAxisLabels();
    SetAxisPosition();
    BDelete->SetEnabled(LBAxes->ItemIndex() >= 5);
    CBLabelAlign->SetEnabled(!FAxis->Horizontal() && !FAxis->IsDepthAxis);
}

void TFormTeeAxis::SetAxisScales() {
    {
        const TLoadGuard scaling(FScaling);
        FBind.Load();
    }
    auto guard = FBind.Guard();
    LAxisIncre->SetCaption(GetIncrementText(
        this, FAxis->Increment(), FAxis->IsDateTime(), FAxis->ExactDateTime(),
        FAxis->AxisValuesFormat().IsEmpty() ? TeeMsg_DefValueFormat : FAxis->AxisValuesFormat()));
    LAxisMin->SetCaption(LimitText(FAxis, FAxis->Minimum()));
    LAxisMax->SetCaption(LimitText(FAxis, FAxis->Maximum()));
    CBLogarithmic->SetEnabled(!FAxis->IsDepthAxis);
    EnableLogBase();
}

void TFormTeeAxis::EnableLogBase() {
    const bool on = CBLogarithmic->Checked() && CBLogarithmic->Enabled();
    ELogBase->SetEnabled(on);
    LLogBase->SetEnabled(on);
    LogE->SetEnabled(on && !LogE->Checked());
}

void TFormTeeAxis::SetAxisTitle() {
    FTitleFont->RefreshControls(FAxis->Title()->Font());
}

void TFormTeeAxis::SetAxisLabels() {
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
        // Listed as the box shows and stores text: in the user's separators.
        for (int i = 0; i < items->Count(); ++i)
            items->SetStrings(i, Localized(items->Strings(i), true));
        text = FAxis->AxisValuesFormat();
        if (text.IsEmpty()) text = TeeMsg_DefValueFormat;
        text = Localized(text, true);
    }
    if (items->IndexOf(text) < 0) items->Add(text);
    CBFormat->SetText(text);
    FLabelsFont->RefreshControls(FAxis->LabelsFont());
}

void TFormTeeAxis::SetAxisPosition() {
    const bool custom = FAxis->IsCustom();
    CBOtherSide->SetEnabled(custom);
    CBHorizAxis->SetEnabled(custom);
}
