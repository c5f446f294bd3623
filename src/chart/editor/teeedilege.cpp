// Legend page of the chart editor.
//   construction   the style, position and symbols tabs and their handlers
//   show           every control loaded from the legend, enabling
#include "chart/editor/teeedilege.h"

#include "chart/control/teelegend.h"
#include "chart/control/tooledit.h"
#include "chart/editor/teeformbuild.h"
#include "chart/editor/teeshapeedit.h"
#include "platform/classes/stringlist.h"
#include "platform/rtl/sysutils.h"

QM_CLASS_OWNED(TFormTeeLegend, TForm, TComponent)

TFormTeeLegend::TFormTeeLegend(TComponent* AOwner, TCustomChartLegend* ALegend)
    : TForm(AOwner), FLegend(ALegend) {
    SetCaption("Legend");
    SetClientWidth(390);
    SetClientHeight(240);
    PageControl1 = TeeNew<TPageControl>(this, this, "PageControl1", 0, 0, 390, 240);
    PageControl1->SetAlign(alClient);
    TabStyle = TeeNewTab(PageControl1, "TabStyle", "Style");
    TabPosition = TeeNewTab(PageControl1, "TabPosition", "Position");
    TabSymbols = TeeNewTab(PageControl1, "TabSymbols", "Symbols");
    PageControl1->SetActivePage(TabStyle);

    TWinControl* s = TabStyle;
    CBShow = TeeNewCheck(this, s, "CBShow", "&Visible", 8, 8, 100);
    CBInverted = TeeNewCheck(this, s, "CBInverted", "&Inverted", 8, 30, 100);
    CBBoxes = TeeNewCheck(this, s, "CBBoxes", "C&heck boxes", 8, 52, 110);
    CBFontColor = TeeNewCheck(this, s, "CBFontColor", "&Font Series Color", 8, 74, 130);
    CBLegendStyle = TeeNewCombo(this, s, "CBLegendStyle", 240, 8, 130,
                                {"Automatic", "Series Names", "Series Values", "Last Values"});
    TeeNewLabel(this, s, "Legend &Style:", 150, 12, CBLegendStyle);
    CBLegStyle = TeeNewCombo(this, s, "CBLegStyle", 240, 36, 130,
                             {"Plain", "Left Value", "Right Value", "Left Percent", "Right Percent",
                              "X Value", "Value", "Percent", "X and Value", "X and Percent"});
    TeeNewLabel(this, s, "Text St&yle:", 150, 40, CBLegStyle);
    UDVertSpacing = TeeNewUpDown(this, s, "EVertSpacing", "UDVertSpacing", 240, 64, 40, -10, 100,
                                 &EVertSpacing);
    TeeNewLabel(this, s, "V&ert. Spacing:", 150, 68, EVertSpacing);
    BDivLines = TeeNewButton<TButtonPen>(this, s, "BDivLines", "&Dividing Lines...", 8, 104, 120);

    TWinControl* p = TabPosition;
    CBResizeChart = TeeNewCheck(this, p, "CBResizeChart", "Resi&ze Chart", 8, 8, 110);
    UDTopPos = TeeNewUpDown(this, p, "SETopPos", "UDTopPos", 120, 32, 40, -100, 100, &SETopPos);
    TeeNewLabel(this, p, "&Position Offset %:", 8, 36, SETopPos);
    UDMargin = TeeNewUpDown(this, p, "SEMargin", "UDMargin", 120, 60, 40, -1000, 1000, &SEMargin);
    TeeNewLabel(this, p, "&Margin:", 8, 64, SEMargin);
    RGPosition = TeeNewRadio(this, p, "RGPosition", "Position", 8, 90, 110, 100,
                             {"&Left", "&Right", "&Top", "&Bottom"});
    CBCustPos = TeeNewCheck(this, p, "CBCustPos", "&Custom:", 200, 8, 100);
    UDLeft = TeeNewUpDown(this, p, "ECustLeft", "UDLeft", 250, 34, 50, -100, 1000, &ECustLeft, 5);
    TeeNewLabel(this, p, "L&eft:", 208, 38, ECustLeft);
    UDTop = TeeNewUpDown(this, p, "ECustTop", "UDTop", 250, 62, 50, -100, 1000, &ECustTop, 5);
    TeeNewLabel(this, p, "T&op:", 208, 66, ECustTop);

    TWinControl* y = TabSymbols;
    UDColWi = TeeNewUpDown(this, y, "SEColWi", "UDColWi", 90, 8, 40, 0, 1000, &SEColWi, 5);
    TeeNewLabel(this, y, "&Width:", 8, 12, SEColWi);
    CBColWUnits = TeeNewCombo(this, y, "CBColWUnits", 90, 36, 80, {"Percent", "Pixels"});
    TeeNewLabel(this, y, "Width &Units:", 8, 40, CBColWUnits);
    CBSymbolPos = TeeNewCombo(this, y, "CBSymbolPos", 90, 64, 80, {"Left", "Right"});
    TeeNewLabel(this, y, "&Position:", 8, 68, CBSymbolPos);
    CBSquared = TeeNewCheck(this, y, "CBSquared", "&Squared", 8, 96, 100);
    CBContinuous = TeeNewCheck(this, y, "CBContinuous", "&Continuous", 200, 12, 110);
    CBVisible = TeeNewCheck(this, y, "CBVisible", "&Visible", 200, 34, 110);
    CBSymPen = TeeNewCheck(this, y, "CBSymPen", "&Default border", 200, 56, 120);
    BSymPen = TeeNewButton<TButtonPen>(this, y, "BSymPen", "&Border...", 200, 80, 85);

    // Every box may change what else is enabled.
    auto check = [this](TCheckBox* Box, std::function<bool()> Get, std::function<void(bool)> Set) {
        FBind.Check(Box, std::move(Get), [this, Set = std::move(Set)](bool v) {
            Set(v);
            EnableControls();
        });
    };
    check(
        CBShow, [this] { return FLegend->Visible(); }, [this](bool v) { FLegend->SetVisible(v); });
    check(
        CBInverted, [this] { return FLegend->Inverted(); },
        [this](bool v) { FLegend->SetInverted(v); });
    check(
        CBBoxes, [this] { return FLegend->CheckBoxes(); },
        [this](bool v) { FLegend->SetCheckBoxes(v); });
    check(
        CBFontColor, [this] { return FLegend->FontSeriesColor(); },
        [this](bool v) { FLegend->SetFontSeriesColor(v); });
    check(
        CBResizeChart, [this] { return FLegend->ResizeChart(); },
        [this](bool v) { FLegend->SetResizeChart(v); });
    check(
        CBCustPos, [this] { return FLegend->CustomPosition(); },
        [this](bool v) {
            FLegend->SetCustomPosition(v);
            auto guard = FBind.Guard();
            UDLeft->SetPosition(FLegend->Left());
            UDTop->SetPosition(FLegend->Top());
        });
    check(
        CBContinuous, [this] { return FLegend->Symbol()->Continuous(); },
        [this](bool v) { FLegend->Symbol()->SetContinuous(v); });
    check(
        CBVisible, [this] { return FLegend->Symbol()->Visible(); },
        [this](bool v) { FLegend->Symbol()->SetVisible(v); });
    check(
        CBSymPen, [this] { return FLegend->Symbol()->DefaultPen(); },
        [this](bool v) { FLegend->Symbol()->SetDefaultPen(v); });
    check(
        CBSquared, [this] { return FLegend->Symbol()->Squared(); },
        [this](bool v) { FLegend->Symbol()->SetSquared(v); });
    FBind.Index(
        CBLegendStyle, [this] { return static_cast<int>(FLegend->LegendStyle()); },
        [this](int i) { FLegend->SetLegendStyle(static_cast<TLegendStyle>(i)); });
    FBind.Index(
        CBLegStyle, [this] { return static_cast<int>(FLegend->TextStyle()); },
        [this](int i) { FLegend->SetTextStyle(static_cast<TLegendTextStyle>(i)); });
    FBind.Index(
        CBColWUnits, [this] { return static_cast<int>(FLegend->Symbol()->WidthUnits()); },
        [this](int i) { FLegend->Symbol()->SetWidthUnits(static_cast<TLegendSymbolSize>(i)); });
    FBind.Index(
        CBSymbolPos, [this] { return static_cast<int>(FLegend->Symbol()->Position()); },
        [this](int i) { FLegend->Symbol()->SetPosition(static_cast<TLegendSymbolPosition>(i)); });
    // The margin edit stands for the other margin once the legend turns.
    const auto margin = [this] {
        return FLegend->Vertical() ? FLegend->HorizMargin() : FLegend->VertMargin();
    };
    FBind.Index(
        RGPosition, [this] { return static_cast<int>(FLegend->Alignment()); },
        [this, margin](int i) {
            FLegend->SetAlignment(static_cast<TLegendAlignment>(i));
            auto guard = FBind.Guard();
            UDMargin->SetPosition(margin());
        });
    FBind.UpDown(
        UDVertSpacing, [this] { return FLegend->VertSpacing(); },
        [this](int v) { FLegend->SetVertSpacing(v); });
    FBind.UpDown(
        UDTopPos, [this] { return FLegend->TopPos(); }, [this](int v) { FLegend->SetTopPos(v); });
    FBind.UpDown(UDMargin, margin, [this](int v) {
        if (FLegend->Vertical())
            FLegend->SetHorizMargin(v);
        else
            FLegend->SetVertMargin(v);
    });
    FBind.UpDown(
        UDLeft, [this] { return FLegend->Left(); },
        [this](int v) {
            if (FLegend->CustomPosition()) FLegend->SetLeft(v);
        });
    FBind.UpDown(
        UDTop, [this] { return FLegend->Top(); },
        [this](int v) {
            if (FLegend->CustomPosition()) FLegend->SetTop(v);
        });
    FBind.UpDown(
        UDColWi, [this] { return FLegend->Symbol()->Width(); },
        [this](int v) { FLegend->Symbol()->SetWidth(v); });
    OnShow = [this](TObject* s) { FormShow(s); };
}

void TFormTeeLegend::FormShow(TObject*) {
    if (!FLegend) FLegend = SubjectAs<TCustomChartLegend>();
    if (!FLegend) return;
    PageControl1->SetActivePage(TabStyle);
    FBind.Load();
    auto guard = FBind.Guard();
    BDivLines->LinkPen(FLegend->DividingLines());
    BSymPen->LinkPen(FLegend->Symbol()->Pen());
    EnableControls();
    if (!FShape)
        FShape = InsertTeeObjectForm(PageControl1, FLegend);
    else
        FShape->RefreshControls(FLegend);
}

void TFormTeeLegend::EnableControls() {
    const bool custom = CBCustPos->Checked();
    for (TControl* c : std::initializer_list<TControl*>{ECustLeft, UDLeft, ECustTop, UDTop})
        c->SetEnabled(custom);
    BSymPen->SetEnabled(!CBSymPen->Checked());
    const bool width = !CBSquared->Checked();
    for (TControl* c : std::initializer_list<TControl*>{SEColWi, UDColWi, CBColWUnits})
        c->SetEnabled(width);
}
