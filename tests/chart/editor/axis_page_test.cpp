// The axis page docked as the editor docks it: each control writes its axis
// property, the chart draws differently and a chart file keeps the value;
// custom axes in the list; refused positions and log bases change nothing.
#include "chart/control/teeseriestypes.h"
#include "chart/control/tooledit.h"
#include "chart/editor/teeediaxis.h"
#include "chart/engine/teecontrols.h"
#include "chart/engine/teeaxis.h"
#include "dialogs_fixture.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/extctrls.h"
#include "platform/graphics/jpeg.h"
#include "platform/rtl/sysutils.h"
#include <cmath>
#include <cstdlib>

namespace {

void Retype(TWinControl* Edit, const AnsiString& Text) {
    Edit->SetText("");
    SimulateType(Edit, Text);
}

class AxisPageTest : public DialogsTest {
protected:
    void SetUp() override {
        DialogsTest::SetUp();
        Host = std::make_unique<TForm>(nullptr);
        Host->SetBounds(0, 0, 440, 290);
        Host->Show();
        TClass cls = GetClass("TFormTeeAxis");
        ASSERT_NE(cls, nullptr);
        Page = dynamic_cast<TFormTeeAxis*>(cls->Factory(Host.get()));
        ASSERT_NE(Page, nullptr);
        AddFormTo(Page, Host.get(), Chart->LeftAxis());
    }
    void ShowTab(TTabSheet* Tab) {
        Page->PageAxis->SelectPageByUser(Tab);
        ASSERT_EQ(Page->PageAxis->ActivePage(), Tab);
    }
    // Set QM_SHOTS to a folder to look at the page.
    void Shot(const char* Name) {
        const char* dir = std::getenv("QM_SHOTS");
        if (!dir) return;
        TPngImage png;
        GrabControl(Host.get(), png.Bitmap());
        png.SaveToFile(AnsiString(dir) + "/" + Name + ".png");
    }
    std::unique_ptr<TForm> Host;
    TFormTeeAxis* Page = nullptr;
};

struct AxisEdit {
    const char* Name;
    std::function<TTabSheet*(TFormTeeAxis*)> Tab;
    std::function<void(TFormTeeAxis*)> Act;
    std::function<bool(TChartAxis*)> Changed;
};

class AxisPageEdits : public AxisPageTest, public ::testing::WithParamInterface<AxisEdit> {};

TEST_P(AxisPageEdits, WritesTheAxisRepaintsAndIsKeptInTheFile) {
    const AxisEdit& e = GetParam();
    ShowTab(e.Tab(Page));
    ASSERT_FALSE(e.Changed(Chart->LeftAxis()));
    const auto before = Pixels();
    e.Act(Page);
    EXPECT_TRUE(e.Changed(Chart->LeftAxis()));
    EXPECT_NE(Pixels(), before);
    auto saved = RoundTrip();
    EXPECT_TRUE(e.Changed(saved->LeftAxis()));
}

INSTANTIATE_TEST_SUITE_P(
    Controls, AxisPageEdits,
    ::testing::Values(AxisEdit{"Inverted", [](auto* p) { return p->TabScales; },
                               [](auto* p) { SimulateClick(p->CBInverted); },
                               [](TChartAxis* a) { return a->Inverted(); }},
                      AxisEdit{"Logarithmic", [](auto* p) { return p->TabScales; },
                               [](auto* p) {
                                   SimulateClick(p->CBLogarithmic);
                                   Retype(p->ELogBase, "2");
                               },
                               [](TChartAxis* a) {
                                   return a->Logarithmic() && a->LogarithmicBase() == 2;
                               }},
                      AxisEdit{"MaximumOffset", [](auto* p) { return p->TabScales; },
                               [](auto* p) { Retype(p->EMaxOff, "30"); },
                               [](TChartAxis* a) { return a->MaximumOffset() == 30; }},
                      AxisEdit{"Title", [](auto* p) { return p->TabTitle; },
                               [](auto* p) { Retype(p->ETitle, "Volts"); },
                               [](TChartAxis* a) { return a->Title()->Caption() == "Volts"; }},
                      AxisEdit{"LabelStyle", [](auto* p) { return p->TabLabels; },
                               [](auto* p) { SimulateClick(p->RGLabelStyle->Buttons(1)); },
                               [](TChartAxis* a) { return a->LabelStyle() == talNone; }},
                      AxisEdit{"ValuesFormat", [](auto* p) { return p->TabLabels; },
                               [](auto* p) { Retype(p->CBFormat, "0.00"); },
                               [](TChartAxis* a) { return a->AxisValuesFormat() == "0.00"; }},
                      AxisEdit{"TickLength", [](auto* p) { return p->TabTicks; },
                               [](auto* p) { Retype(p->EAxisTickLength, "12"); },
                               [](TChartAxis* a) { return a->TickLength() == 12; }},
                      AxisEdit{"MinorCount", [](auto* p) { return p->TabMinor; },
                               [](auto* p) {
                                   Retype(p->EAxisMinorTickLen, "6");
                                   Retype(p->EMinorCount, "1");
                               },
                               [](TChartAxis* a) { return a->MinorTickCount() == 1; }},
                      AxisEdit{"StartPosition", [](auto* p) { return p->TabPosition; },
                               [](auto* p) {
                                   Retype(p->EStart, "40");
                                   SimulateKey(p->EStart, VK_RETURN);
                               },
                               [](TChartAxis* a) { return a->StartPosition() == 40; }}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(AxisPageTest, StartAtOrAboveEndSnapsBackAndAnUnusableLogBaseIsKept) {
    ShowTab(Page->TabPosition);
    Chart->LeftAxis()->SetEndPosition(60);
    Page->EStart->SetText("60"); // pasted whole
    EXPECT_EQ(Chart->LeftAxis()->StartPosition(), 0);
    EXPECT_EQ(Page->EStart->Text(), "0");
    Page->EEnd->SetText("0");
    EXPECT_EQ(Chart->LeftAxis()->EndPosition(), 60);

    ShowTab(Page->TabScales);
    SimulateClick(Page->CBLogarithmic);
    Retype(Page->ELogBase, "1");
    EXPECT_EQ(Chart->LeftAxis()->LogarithmicBase(), 10);
    Retype(Page->ELogBase, "x");
    EXPECT_EQ(Chart->LeftAxis()->LogarithmicBase(), 10);
}

TEST_F(AxisPageTest, LogEStoresEAndStaysChecked) {
    SimulateClick(Page->CBLogarithmic);
    ASSERT_TRUE(Page->LogE->Enabled());
    SimulateClick(Page->LogE);
    EXPECT_EQ(Chart->LeftAxis()->LogarithmicBase(), std::exp(1.0));
    EXPECT_TRUE(Page->LogE->Checked());
    EXPECT_FALSE(Page->LogE->Enabled());
    Page->LBAxesClick(Page->LBAxes);
    EXPECT_TRUE(Page->LogE->Checked());
    Retype(Page->ELogBase, "3");
    EXPECT_FALSE(Page->LogE->Checked());
    EXPECT_TRUE(Page->LogE->Enabled());
    Retype(Page->ELogBase, FloatToStr(std::exp(1.0)));
    EXPECT_EQ(Chart->LeftAxis()->LogarithmicBase(), std::exp(1.0));
    EXPECT_TRUE(Page->LogE->Checked());
}

TEST_F(AxisPageTest, CustomAxesAreListedAddedAndDeleted) {
    new TChartAxis(Chart->CustomAxes());
    new TChartAxis(Chart->CustomAxes());
    Page->FormShow(Page);
    TStrings* items = Page->LBAxes->Items();
    ASSERT_EQ(items->Count(), 7);
    EXPECT_EQ(items->Strings(4), "Depth Axis");
    EXPECT_EQ(items->Strings(5), "Custom 0");
    EXPECT_EQ(items->Strings(6), "Custom 1");
    EXPECT_FALSE(Page->BDelete->Enabled());

    Page->LBAxes->SetItemIndex(6);
    Page->LBAxesClick(Page->LBAxes);
    EXPECT_TRUE(Page->BDelete->Enabled());
    SimulateClick(Page->BDelete);
    EXPECT_EQ(Chart->CustomAxes()->Count(), 1);
    EXPECT_EQ(Page->LBAxes->ItemIndex(), 5);
    EXPECT_EQ(Page->TheAxis(), Chart->CustomAxes()->Get(0));

    SimulateClick(Page->BAdd);
    EXPECT_EQ(Chart->CustomAxes()->Count(), 2);
    EXPECT_EQ(Page->LBAxes->ItemIndex(), 6);
    ShowTab(Page->TabPosition);
    EXPECT_TRUE(Page->CBHorizAxis->Enabled());
    SimulateClick(Page->CBHorizAxis);
    EXPECT_TRUE(Chart->CustomAxes()->Get(1)->Horizontal());
}

TEST_F(AxisPageTest, DepthAxisHasNoLogarithmicScale) {
    Page->LBAxes->SetItemIndex(4);
    Page->LBAxesClick(Page->LBAxes);
    EXPECT_EQ(Page->TheAxis(), Chart->DepthAxis());
    EXPECT_FALSE(Page->CBLogarithmic->Enabled());
    ShowTab(Page->TabPosition);
    EXPECT_FALSE(Page->CBHorizAxis->Enabled());
}

TEST_F(AxisPageTest, DateTimeAxisOfOneDayOffersTimeFormats) {
    Chart->LeftAxis()->SetMinMax(45000, 45001);
    Line->YValues()->SetDateTime(true);
    ShowTab(Page->TabLabels);
    EXPECT_EQ(Page->LabelAxisFormat->Caption(), "DateTime For&mat:");
    EXPECT_GE(Page->CBFormat->Items()->IndexOf("hh:mm:ss"), 0);
    EXPECT_LT(Page->CBFormat->Items()->IndexOf("yyyy-mm-dd"), 0);
    Choose(Page->CBFormat, "hh:mm");
    EXPECT_EQ(Chart->LeftAxis()->DateTimeFormat(), "hh:mm");
}

// The value formats are listed in the user's separators, each once, and a
// chosen one is stored in the chart's own form and labels as it was listed.
TEST_F(AxisPageTest, ValueFormatsListAndLabelInTheUsersSeparators) {
    const char decimal = DecimalSeparator, thousand = ThousandSeparator;
    struct Restore {
        char D, T;
        ~Restore() { DecimalSeparator = D, ThousandSeparator = T; }
    } restore{decimal, thousand};
    const struct {
        char Decimal, Thousand;
        const char *Listed, *Default;
    } cases[] = {{'.', ',', "0.0", "#,##0.###"},
                 {',', '.', "0,0", "#.##0,###"},
                 {',', ' ', "0,0", "# ##0,###"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(1, c.Decimal) + std::string(1, c.Thousand));
        DecimalSeparator = c.Decimal;
        ThousandSeparator = c.Thousand;
        Chart->LeftAxis()->SetAxisValuesFormat("");
        ShowTab(Page->TabScales);
        ShowTab(Page->TabLabels);
        TStrings* items = Page->CBFormat->Items();
        for (int i = 0; i < items->Count(); ++i)
            EXPECT_EQ(items->IndexOf(items->Strings(i)), i) << items->Strings(i).c_str();
        EXPECT_EQ(Page->CBFormat->Text(), c.Default);
        EXPECT_GE(items->IndexOf(c.Default), 0);
        Choose(Page->CBFormat, c.Listed);
        if (c.Decimal == ',' && c.Thousand == '.') Shot("AxisFormatsComma");
        EXPECT_EQ(Chart->LeftAxis()->AxisValuesFormat(), "0.0");
        EXPECT_EQ(FormatFloat(Chart->LeftAxis()->AxisValuesFormat(), 1.5),
                  AnsiString("1") + c.Decimal + "5");
    }
}

// Values beyond the up-downs' ranges: showing them must not write the bound back.
TEST_F(AxisPageTest, ShowingTheAxisOnEveryTabWritesNothing) {
    TChartAxis* axis = new TChartAxis(Chart->CustomAxes());
    axis->SetZPosition(150);
    axis->Grid()->SetZPosition(150);
    axis->SetTickLength(-5);
    axis->SetMinorTickLength(-3);
    axis->SetTitleSize(-4);
    Page->FormShow(Page);
    Page->LBAxes->SetItemIndex(5);
    Page->LBAxesClick(Page->LBAxes);
    for (TTabSheet* t : {Page->TabScales, Page->TabTitle, Page->TabLabels, Page->TabTicks,
                         Page->TabMinor, Page->TabPosition, Page->TabScales})
        ShowTab(t);
    EXPECT_EQ(axis->ZPosition(), 150);
    EXPECT_EQ(axis->Grid()->ZPosition(), 150);
    EXPECT_EQ(axis->TickLength(), -5);
    EXPECT_EQ(axis->MinorTickLength(), -3);
    EXPECT_EQ(axis->TitleSize(), -4);
}

// The font pages' outline buttons showed the deleted axis' pens.
TEST_F(AxisPageTest, DeletingTheShownCustomAxisFromItsTitleOrLabelsTabIsSafe) {
    for (TTabSheet* tab : {Page->TabTitle, Page->TabLabels}) {
        new TChartAxis(Chart->CustomAxes());
        Page->FormShow(Page);
        Page->LBAxes->SetItemIndex(5);
        Page->LBAxesClick(Page->LBAxes);
        ShowTab(tab);
        SimulateClick(Page->BDelete);
        EXPECT_EQ(Chart->CustomAxes()->Count(), 0);
        EXPECT_EQ(Page->TheAxis(), Chart->DepthAxis());
    }
}

// Every axis tool on a custom axis the page deletes lets go of it: none draws
// on it or writes into it when the chart is painted, saved or freed.
TEST_F(AxisPageTest, DeletingACustomAxisLeavesNoToolOnIt) {
    auto* axis = new TChartAxis(Chart->CustomAxes());
    std::vector<TTeeCustomToolAxis*> tools;
    for (int i = 0; i < TeeToolTypes().Count(); ++i)
        if (TeeToolTypes().Get(i)->InheritsFrom(&TTeeCustomToolAxis::ClassInfo)) {
            auto* tool =
                static_cast<TTeeCustomToolAxis*>(TeeToolTypes().Get(i)->Factory(Chart.get()));
            tool->SetAxis(axis);
            tools.push_back(tool);
        }
    ASSERT_GE(tools.size(), 4u); // grid band, colour line, colour band, axis arrow
    Page->FormShow(Page);
    Page->LBAxes->SetItemIndex(5);
    Page->LBAxesClick(Page->LBAxes);
    SimulateClick(Page->BDelete);
    ASSERT_EQ(Chart->CustomAxes()->Count(), 0);
    for (TTeeCustomToolAxis* tool : tools) {
        EXPECT_EQ(tool->Axis(), nullptr) << tool->ClassName();
        EXPECT_EQ(tool->ParentChart(), Chart.get()) << tool->ClassName();
    }
    const auto drawn = Pixels();
    auto saved = RoundTrip();
    EXPECT_EQ(saved->Tools()->Count(), static_cast<int>(tools.size()));
    for (TTeeCustomToolAxis* tool : tools)
        delete tool;
    EXPECT_EQ(Pixels(), drawn);
}

TEST_F(AxisPageTest, Pictures) {
    for (TTabSheet* t : {Page->TabScales, Page->TabTitle, Page->TabLabels, Page->TabTicks,
                         Page->TabMinor, Page->TabPosition}) {
        ShowTab(t);
        Shot(("axis_" + std::string(t->Caption().c_str())).c_str());
    }
}

} // namespace
