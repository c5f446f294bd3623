// Every legend style and text style, placed by hand or docked on each side,
// with short and long texts and the symbol on either side of them: each text
// drawn lies whole inside the frame, clear of every other text and of every
// symbol. Read from what the canvas was asked to draw (the text calls with
// their boxes, the symbols' and the frame's rectangles), on screen and on
// paper, and, printed, from the words a PDF reader finds.
#include "chart/control/chart.h"
#include "chart/control/series.h"
#include "chart/control/series_bar.h"
#include "chart/control/series_pie.h"
#include "chart/control/teelegend.h"
#include "platform/forms/testhooks.h"
#include "platform/graphics/jpeg.h"
#include "platform/graphics/printers.h"
#include "support/external_tool.h"
#include "support/pdf_words.h"
#include "support/recording_canvas.h"
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The main window's chart.
constexpr int ChartW = 669, ChartH = 610;

struct TTextSet {
    const char* Name;
    std::vector<const char*> Labels;
    std::vector<double> Values;
};

const TTextSet Short{
    "short", {"Cars", "Phones", "TV", "Pens", "Ink", "Cups"}, {685, 485, 9, 120, 33, 250}};
const TTextSet Long{"long",
                    {"Passenger cars and vans", "Phones", "Television sets, large", "Pens",
                     "Printer ink cartridges", "Cups"},
                    {1234567.875, 485, 9.5, 98765.25, 33, 250000}};

const TLegendTextStyle TextStyles[] = {
    ltsPlain,  ltsLeftValue, ltsRightValue, ltsLeftPercent, ltsRightPercent,
    ltsXValue, ltsValue,     ltsPercent,    ltsXAndValue,   ltsXAndPercent};
const TLegendStyle LegendStyles[] = {lsAuto, lsSeries, lsValues, lsLastValues};

struct TPlace {
    const char* Name;
    TLegendAlignment Alignment;
    bool ByHand;
};
const TPlace Places[] = {{"left", laLeft, false},
                         {"right", laRight, false},
                         {"top", laTop, false},
                         {"bottom", laBottom, false},
                         {"by hand", laRight, true},
                         {"by hand, left", laLeft, true},
                         {"by hand, across", laTop, true},
                         {"by hand, across below", laBottom, true}};

// A pie of the six values for a value legend; three bar series, titled and
// labelled from the set, for a series legend.
std::unique_ptr<TChart> MakeChart(TLegendStyle Style, TLegendTextStyle TextStyle,
                                  const TPlace& Place, const TTextSet& Texts,
                                  TLegendSymbolPosition Symbol = spLeft) {
    auto chart = std::make_unique<TChart>(nullptr);
    chart->SetWidth(ChartW);
    chart->SetHeight(ChartH);
    chart->SetView3D(false);
    chart->Title()->SetVisible(false);
    chart->SetAxisVisible(false);
    chart->BackWall()->Pen()->SetVisible(false);
    chart->BackWall()->SetTransparent(true);
    if (Style == lsSeries || Style == lsLastValues) {
        for (int s = 0; s < 3; ++s) {
            auto* bar = new TBarSeries(chart.get());
            bar->SetParentChart(chart.get());
            bar->SetTitle(Texts.Labels[size_t(s * 2)]);
            for (size_t i = 0; i < Texts.Values.size(); ++i)
                bar->Add(Texts.Values[i] * (s + 1), Texts.Labels[i]);
        }
    } else {
        auto* pie = new TPieSeries(chart.get());
        pie->SetParentChart(chart.get());
        for (size_t i = 0; i < Texts.Values.size(); ++i)
            pie->Add(Texts.Values[i], Texts.Labels[i]);
    }
    // The marks are drawn (centred, as marks are) but say no word of the legend's.
    for (int i = 0; i < chart->SeriesCount(); ++i)
        chart->GetSeries(i)->OnGetMarkText = [](TChartSeries*, int Index, AnsiString& Text) {
            Text = AnsiString(("mark" + std::to_string(Index)).c_str());
        };
    TChartLegend* legend = chart->Legend();
    legend->SetLegendStyle(Style);
    legend->SetTextStyle(TextStyle);
    legend->SetAlignment(Place.Alignment);
    legend->Symbol()->SetPosition(Symbol);
    // Where the operator put it, or further left where the long texts would
    // take it past the chart's edge.
    if (Place.ByHand) {
        legend->SetLeft(!legend->Vertical() || Place.Alignment == laLeft ? 20
                        : &Texts == &Short                               ? 480
                                                                         : 300);
        legend->SetTop(90);
    }
    return chart;
}

struct TBox {
    TRect R;
    std::string What;
};

std::string Describe(const TRect& R) {
    std::ostringstream s;
    s << "(" << R.Left << "," << R.Top << ")-(" << R.Right << "," << R.Bottom << ")";
    return s.str();
}

bool Overlap(const TRect& A, const TRect& B) {
    return A.Left < B.Right && B.Left < A.Right && A.Top < B.Bottom && B.Top < A.Bottom;
}

// Four integers out of a logged "Rectangle(l,t,r,b)".
TRect RectOf(const TRecordedCall& Call) {
    TRect r;
    std::sscanf(Call.Text.c_str() + Call.Name.size() + 1, "%d,%d,%d,%d", &r.Left, &r.Top, &r.Right,
                &r.Bottom);
    return r;
}

// What the legend drew: its frame, its symbols and its texts. The legend draws
// from the moment it is given its rectangle; each item starts where it is
// given its position.
struct TDrawnLegend {
    TRect Frame;
    int FrameWidth = 0;
    std::vector<TBox> Texts;
    std::vector<TBox> Symbols;
};

// What the legend drew while DrawIt ran.
TDrawnLegend Record(TChart* Chart, const std::function<void()>& DrawIt) {
    auto owned = std::make_unique<TRecordingCanvas>(ChartW, ChartH);
    TRecordingCanvas* rec = owned.get();
    Chart->SetInternalCanvas(std::move(owned));
    size_t start = 0;
    std::vector<size_t> items;
    Chart->OnGetLegendRect = [&](TCustomChart*, TRect&) { start = rec->Calls().size(); };
    Chart->OnGetLegendPos = [&](TCustomChart*, int, int&, int&, int&) {
        items.push_back(rec->Calls().size());
    };
    DrawIt();
    Chart->OnGetLegendRect = nullptr;
    Chart->OnGetLegendPos = nullptr;
    TDrawnLegend d;
    const std::vector<TRecordedCall>& calls = rec->Calls();
    if (items.empty()) return d;
    // The frame: the legend's own rectangle, drawn with its pen before the items.
    for (size_t i = start; i < items.front(); ++i)
        if (calls[i].Name == "Rectangle" && calls[i].Depth == 0 && calls[i].PenStyle != psClear) {
            d.Frame = RectOf(calls[i]);
            d.FrameWidth = calls[i].PenWidth;
        }
    // The legend is drawn in front of everything; its last item ends there.
    size_t end = items.back();
    while (end < calls.size() && calls[end].Name != "FrontPlaneEnd")
        ++end;
    items.push_back(end);
    for (size_t k = 0; k + 1 < items.size(); ++k)
        for (size_t i = items[k]; i < items[k + 1]; ++i) {
            const TRecordedCall& c = calls[i];
            if (c.Depth != 0) continue;
            if (c.Name == "TextOut" || c.Name == "TextOut3D")
                d.Texts.push_back({c.TextBox, "\"" + c.TextDrawn + "\""});
            else if ((c.Name == "Rectangle" || c.Name == "FillRect") &&
                     (d.Symbols.empty() || d.Symbols.back().R != RectOf(c)))
                d.Symbols.push_back({RectOf(c), "symbol of item " + std::to_string(k)});
        }
    return d;
}

TDrawnLegend Draw(TChart* Chart, TBitmap* Picture = nullptr) {
    TBitmap own(ChartW, ChartH);
    TBitmap* target = Picture ? Picture : &own;
    return Record(Chart, [&] { Chart->Draw(target->Canvas(), TRect(0, 0, ChartW, ChartH)); });
}

// Each text lies inside the frame's inner edge and clear of every other text
// and every symbol; empty when so.
std::vector<std::string> Faults(const TDrawnLegend& D) {
    std::vector<std::string> out;
    const TRect inner(D.Frame.Left + D.FrameWidth, D.Frame.Top + D.FrameWidth,
                      D.Frame.Right - D.FrameWidth, D.Frame.Bottom - D.FrameWidth);
    for (size_t i = 0; i < D.Texts.size(); ++i) {
        const TBox& t = D.Texts[i];
        if (t.R.Left < inner.Left || t.R.Right > inner.Right || t.R.Top < inner.Top ||
            t.R.Bottom > inner.Bottom)
            out.push_back(t.What + " at " + Describe(t.R) + " crosses the frame " +
                          Describe(D.Frame));
        if (t.R.Left < 0 || t.R.Right > ChartW || t.R.Top < 0 || t.R.Bottom > ChartH)
            out.push_back(t.What + " at " + Describe(t.R) + " runs off the chart");
        for (size_t j = i + 1; j < D.Texts.size(); ++j)
            if (Overlap(t.R, D.Texts[j].R))
                out.push_back(t.What + " at " + Describe(t.R) + " overlaps " + D.Texts[j].What +
                              " at " + Describe(D.Texts[j].R));
        for (const TBox& s : D.Symbols)
            if (Overlap(t.R, s.R))
                out.push_back(t.What + " at " + Describe(t.R) + " overlaps the " + s.What + " at " +
                              Describe(s.R));
    }
    return out;
}

std::string Name(TLegendStyle S) {
    const char* n[] = {"auto", "series", "values", "last values"};
    return n[S];
}
std::string Name(TLegendSymbolPosition S) {
    return S == spLeft ? "symbol left" : "symbol right";
}
std::string Name(TLegendTextStyle S) {
    const char* n[] = {"plain",   "left value", "right value", "left percent", "right percent",
                       "x value", "value",      "percent",     "x and value",  "x and percent"};
    return n[S];
}

void SavePng(TBitmap* Picture, const std::string& Name) {
    const char* dir = std::getenv("QM_SHOTS");
    if (!dir) return;
    TPngImage png;
    png.Bitmap()->Assign(Picture);
    png.SaveToFile(AnsiString(std::string(dir) + "/" + Name + ".png"));
}

TEST(LegendLayoutTest, EveryTextClearOfTheOthersTheSymbolsAndTheFrame) {
    int instances = 0, drawnTexts = 0;
    for (const TLegendStyle style : LegendStyles)
        for (const TLegendTextStyle text : TextStyles)
            for (const TPlace& place : Places)
                for (const TTextSet* set : {&Short, &Long})
                    for (const TLegendSymbolPosition symbol : {spLeft, spRight}) {
                        SCOPED_TRACE(Name(style) + ", " + Name(text) + ", " + place.Name + ", " +
                                     set->Name + " texts, " + Name(symbol));
                        const auto chart = MakeChart(style, text, place, *set, symbol);
                        const TDrawnLegend d = Draw(chart.get());
                        ++instances;
                        ASSERT_FALSE(d.Texts.empty()) << "the legend drew no text";
                        ASSERT_FALSE(d.Frame.IsEmpty()) << "the legend drew no frame";
                        // Every item of the six values (or three series) is listed.
                        const bool series = style == lsSeries || style == lsLastValues;
                        EXPECT_EQ(int(d.Symbols.size()), series ? 3 : 6);
                        drawnTexts += int(d.Texts.size());
                        for (const std::string& f : Faults(d))
                            ADD_FAILURE() << f;
                        if (place.ByHand) EXPECT_EQ(chart->Legend()->ShapeBounds().Top, 90);
                    }
    EXPECT_EQ(instances, 4 * 10 * 8 * 2 * 2);
    EXPECT_GT(drawnTexts, instances * 3);
}

// The pie of six values whose legend, placed by hand, lost the first figure
// of "685" under its symbol and ran "485" into "Phones".
TEST(LegendLayoutTest, PieLegendPlacedByHandShowsValueAndLabelApart) {
    const auto chart = MakeChart(lsAuto, ltsLeftValue, Places[4], Short);
    TBitmap picture(ChartW, ChartH);
    const TDrawnLegend d = Draw(chart.get(), &picture);
    SavePng(&picture, "legend_pie_by_hand");
    EXPECT_EQ(chart->Legend()->ShapeBounds().Left, 480);
    EXPECT_EQ(chart->Legend()->ShapeBounds().Top, 90);
    std::vector<std::string> texts;
    for (const TBox& t : d.Texts)
        texts.push_back(t.What);
    EXPECT_EQ(texts, (std::vector<std::string>{"\"685\"", "\"Cars\"", "\"485\"", "\"Phones\"",
                                               "\"9\"", "\"TV\"", "\"120\"", "\"Pens\"", "\"33\"",
                                               "\"Ink\"", "\"250\"", "\"Cups\""}));
    for (const std::string& f : Faults(d))
        ADD_FAILURE() << f;
}

// The symbol on the right of a value and a label, docked and placed by hand:
// it starts after the second cell and the blank before it, so "685" keeps its 5.
TEST(LegendLayoutTest, SymbolOnTheRightStartsAfterBothCells) {
    for (const TPlace& place : {Places[1], Places[4]}) {
        SCOPED_TRACE(place.Name);
        const auto chart = MakeChart(lsAuto, ltsRightValue, place, Short, spRight);
        TBitmap picture(ChartW, ChartH);
        const TDrawnLegend d = Draw(chart.get(), &picture);
        SavePng(&picture,
                std::string("legend_symbol_right_") + (place.ByHand ? "by_hand" : "docked"));
        ASSERT_EQ(d.Texts.size(), 12u);
        ASSERT_EQ(d.Symbols.size(), 6u);
        EXPECT_EQ(d.Texts[1].What, "\"685\"");
        for (size_t i = 0; i < d.Symbols.size(); ++i) {
            EXPECT_LE(d.Texts[2 * i + 1].R.Right, d.Symbols[i].R.Left);
            EXPECT_LT(d.Symbols[i].R.Right, d.Frame.Right);
        }
        for (const std::string& f : Faults(d))
            ADD_FAILURE() << f;
    }
}

// A title placed by hand is drawn after the series too: its lines stay between
// the sides of its frame whatever the marks left the canvas with.
TEST(LegendLayoutTest, TitlePlacedByHandKeepsItsLinesBetweenTheSidesOfItsFrame) {
    for (const TAlignment alignment : {taLeftJustify, taCenter, taRightJustify}) {
        SCOPED_TRACE(int(alignment));
        const auto chart = MakeChart(lsAuto, ltsLeftValue, Places[0], Short);
        TChartTitle* title = chart->Title();
        title->SetVisible(true);
        title->SetCaption("Sales by kind");
        title->SetTransparent(false);
        title->SetAlignment(alignment);
        title->SetLeft(200);
        title->SetTop(30);
        auto owned = std::make_unique<TRecordingCanvas>(ChartW, ChartH);
        TRecordingCanvas* rec = owned.get();
        chart->SetInternalCanvas(std::move(owned));
        TBitmap picture(ChartW, ChartH);
        chart->Draw(picture.Canvas(), TRect(0, 0, ChartW, ChartH));
        TRect frame, text;
        for (const TRecordedCall& c : rec->Calls()) {
            if (c.Depth == 0 && c.Name == "Rectangle") frame = RectOf(c);
            if (c.TextDrawn == "Sales by kind") {
                text = c.TextBox;
                break;
            }
        }
        ASSERT_FALSE(text.IsEmpty()) << "the title drew no text";
        EXPECT_TRUE(text.Left > frame.Left && text.Right < frame.Right)
            << Describe(text) << " across the frame " << Describe(frame);
    }
}

// Printed into a PDF file: the legend is laid out as on screen, a reader finds
// each value and label as a word of its own, and no two words overlap.
class LegendOnPaperTest : public ::testing::Test {
protected:
    static std::vector<qmtest::TPdfWord> Printed(TChart* Chart) {
        TPrinter printer;
        if (printer.Printers()->Count() != 1 || printer.Printers()->Strings(0) != "PDF file")
            return {};
        const std::string pdf =
            (std::filesystem::temp_directory_path() / "legend_on_paper.pdf").string();
        printer.SetPdfOutputPath(pdf.c_str());
        printer.SetOrientation(poLandscape);
        TPrinter* old = SetPrinter(&printer);
        TDialogResponder responder;
        responder.ExpectMessage("The print-out was saved as", IDOK);
        Chart->Print();
        SetPrinter(old);
        const std::vector<qmtest::TPdfPage> pages = qmtest::ReadPdfWords(pdf);
        std::filesystem::remove(pdf);
        return pages.empty() ? std::vector<qmtest::TPdfWord>{} : pages.front().Words;
    }
};

TEST_F(LegendOnPaperTest, EachTextAWordOfItsOwnClearOfTheOthers) {
    QM_REQUIRE_TOOL("pdftotext");
    int instances = 0;
    for (const TPlace& place : Places)
        for (const TTextSet* set : {&Short, &Long})
            for (const TLegendTextStyle text : {ltsLeftValue, ltsRightPercent, ltsXAndValue})
                for (const TLegendSymbolPosition symbol : {spLeft, spRight}) {
                    SCOPED_TRACE(Name(text) + ", " + place.Name + ", " + set->Name + " texts, " +
                                 Name(symbol));
                    const auto chart = MakeChart(lsAuto, text, place, *set, symbol);
                    std::vector<qmtest::TPdfWord> words;
                    const TDrawnLegend d =
                        Record(chart.get(), [&] { words = Printed(chart.get()); });
                    if (words.empty()) GTEST_SKIP() << "a real printer is set up";
                    ++instances;
                    ASSERT_FALSE(d.Texts.empty()) << "the legend printed no text";
                    for (const std::string& f : Faults(d))
                        ADD_FAILURE() << f;
                    std::map<std::string, int> want, got;
                    for (const TBox& t : d.Texts) {
                        std::istringstream s(t.What.substr(1, t.What.size() - 2));
                        for (std::string w; s >> w;)
                            ++want[w];
                    }
                    for (const qmtest::TPdfWord& w : words)
                        ++got[w.Text];
                    for (const auto& [w, n] : want)
                        EXPECT_GE(got[w], n) << "\"" << w << "\" is not read back whole";
                    // Words of one line (the reader's boxes of neighbouring lines
                    // may touch) lie apart; a mark may lie where the legend was put.
                    const auto mark = [](const qmtest::TPdfWord& W) {
                        return W.Text.rfind("mark", 0) == 0;
                    };
                    for (size_t i = 0; i < words.size(); ++i)
                        for (size_t j = i + 1; j < words.size(); ++j) {
                            const qmtest::TPdfWord& a = words[i];
                            const qmtest::TPdfWord& b = words[j];
                            if (mark(a) || mark(b)) continue;
                            const double shared =
                                std::min(a.YMax, b.YMax) - std::max(a.YMin, b.YMin);
                            const double line = std::min(a.YMax - a.YMin, b.YMax - b.YMin) / 2;
                            EXPECT_FALSE(shared > line && a.XMin < b.XMax && b.XMin < a.XMax)
                                << "\"" << a.Text << "\" overlaps \"" << b.Text << "\"";
                        }
                }
    EXPECT_EQ(instances, 8 * 2 * 3 * 2);
}

} // namespace
