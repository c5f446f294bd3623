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

namespace {
// Writes the edit's whole number through Set, unless Guard is up.
void OnNumber(TEdit* Edit, const bool& Guard, std::function<void(int)> Set) {
    Edit->OnChange = [Edit, &Guard, Set](TObject*) {
        int v;
        if (!Guard && TryStrToInt(Edit->Text(), v)) Set(v);
    };
}
} // namespace

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

    auto check = [this](TCheckBox* Box, std::function<void(bool)> Set) {
        Box->OnClick = [this, Box, Set](TObject*) {
            if (FLoading || !FLegend) return;
            Set(Box->Checked());
            EnableControls();
        };
    };
    check(CBShow, [this](bool v) { FLegend->SetVisible(v); });
    check(CBInverted, [this](bool v) { FLegend->SetInverted(v); });
    check(CBBoxes, [this](bool v) { FLegend->SetCheckBoxes(v); });
    check(CBFontColor, [this](bool v) { FLegend->SetFontSeriesColor(v); });
    check(CBResizeChart, [this](bool v) { FLegend->SetResizeChart(v); });
    check(CBCustPos, [this](bool v) {
        FLegend->SetCustomPosition(v);
        FLoading = true;
        UDLeft->SetPosition(FLegend->Left());
        UDTop->SetPosition(FLegend->Top());
        FLoading = false;
    });
    check(CBContinuous, [this](bool v) { FLegend->Symbol()->SetContinuous(v); });
    check(CBVisible, [this](bool v) { FLegend->Symbol()->SetVisible(v); });
    check(CBSymPen, [this](bool v) { FLegend->Symbol()->SetDefaultPen(v); });
    check(CBSquared, [this](bool v) { FLegend->Symbol()->SetSquared(v); });
    auto combo = [this](TComboFlat* Box, std::function<void(int)> Set) {
        Box->OnChange = [this, Box, Set](TObject*) {
            if (!FLoading && FLegend && Box->ItemIndex() >= 0) Set(Box->ItemIndex());
        };
    };
    combo(CBLegendStyle, [this](int i) { FLegend->SetLegendStyle(static_cast<TLegendStyle>(i)); });
    combo(CBLegStyle, [this](int i) { FLegend->SetTextStyle(static_cast<TLegendTextStyle>(i)); });
    combo(CBColWUnits,
          [this](int i) { FLegend->Symbol()->SetWidthUnits(static_cast<TLegendSymbolSize>(i)); });
    combo(CBSymbolPos,
          [this](int i) { FLegend->Symbol()->SetPosition(static_cast<TLegendSymbolPosition>(i)); });
    RGPosition->OnClick = [this](TObject*) {
        if (FLoading || !FLegend || RGPosition->ItemIndex() < 0) return;
        FLegend->SetAlignment(static_cast<TLegendAlignment>(RGPosition->ItemIndex()));
        // The margin edit stands for the other margin once the legend turns.
        FLoading = true;
        UDMargin->SetPosition(FLegend->Vertical() ? FLegend->HorizMargin() : FLegend->VertMargin());
        FLoading = false;
    };
    OnNumber(EVertSpacing, FLoading, [this](int v) {
        if (FLegend) FLegend->SetVertSpacing(v);
    });
    OnNumber(SETopPos, FLoading, [this](int v) {
        if (FLegend) FLegend->SetTopPos(v);
    });
    OnNumber(SEMargin, FLoading, [this](int v) {
        if (!FLegend) return;
        if (FLegend->Vertical())
            FLegend->SetHorizMargin(v);
        else
            FLegend->SetVertMargin(v);
    });
    OnNumber(ECustLeft, FLoading, [this](int v) {
        if (FLegend && FLegend->CustomPosition()) FLegend->SetLeft(v);
    });
    OnNumber(ECustTop, FLoading, [this](int v) {
        if (FLegend && FLegend->CustomPosition()) FLegend->SetTop(v);
    });
    OnNumber(SEColWi, FLoading, [this](int v) {
        if (FLegend) FLegend->Symbol()->SetWidth(v);
    });
    OnShow = [this](TObject* s) { FormShow(s); };
}

void TFormTeeLegend::FormShow(TObject*) {
    if (!FLegend) FLegend = dynamic_cast<TCustomChartLegend*>(reinterpret_cast<TObject*>(Tag()));
    if (!FLegend) return;
    FLoading = true;
    PageControl1->SetActivePage(TabStyle);
    CBShow->SetChecked(FLegend->Visible());
    CBInverted->SetChecked(FLegend->Inverted());
    CBLegendStyle->SetItemIndex(FLegend->LegendStyle());
    CBLegStyle->SetItemIndex(FLegend->TextStyle());
    CBBoxes->SetChecked(FLegend->CheckBoxes());
    BDivLines->LinkPen(FLegend->DividingLines());
    UDVertSpacing->SetPosition(FLegend->VertSpacing());
    CBFontColor->SetChecked(FLegend->FontSeriesColor());
    CBResizeChart->SetChecked(FLegend->ResizeChart());
    UDTopPos->SetPosition(FLegend->TopPos());
    UDMargin->SetPosition(FLegend->Vertical() ? FLegend->HorizMargin() : FLegend->VertMargin());
    RGPosition->SetItemIndex(FLegend->Alignment());
    CBCustPos->SetChecked(FLegend->CustomPosition());
    UDLeft->SetPosition(FLegend->Left());
    UDTop->SetPosition(FLegend->Top());
    TLegendSymbol* sym = FLegend->Symbol();
    UDColWi->SetPosition(sym->Width());
    CBColWUnits->SetItemIndex(sym->WidthUnits());
    CBSymbolPos->SetItemIndex(sym->Position());
    CBContinuous->SetChecked(sym->Continuous());
    CBVisible->SetChecked(sym->Visible());
    CBSymPen->SetChecked(sym->DefaultPen());
    BSymPen->LinkPen(sym->Pen());
    CBSquared->SetChecked(sym->Squared());
    EnableControls();
    if (!FShape)
        FShape = InsertTeeObjectForm(PageControl1, FLegend);
    else
        FShape->RefreshControls(FLegend);
    FLoading = false;
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
