// Every registered series type exported as XML parses with an independent XML
// parser and names every value attribute; the text export heads every column.
#include "chart/control/series.h"
#include "chart/control/teedata.h"
#include "chart/control/teeseriestypes.h"
#include "chart/series/teeextraseries.h"
#include "platform/classes/stringlist.h"
#include "support/series_classes.h"
#include "support/temp_folder.h"
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

namespace {

std::vector<TClass> SeriesTypes() {
    TeeExtraSeriesStartup();
    TChart starter;
    return RegisteredSeriesClasses();
}

// A series of the type with X values of its own, a label and a colour, so
// every column the export knows is written.
TChartSeries* Filled(TChart& Chart, TClass Type) {
    TChartSeries* s = CreateNewSeries(&Chart, &Chart, Type);
    s->FillSampleValues(4);
    for (int i = 0; i < s->Count(); ++i)
        s->NotMandatoryValues()->SetValue(i, 2 * i + 1);
    if (s->Count() > 0) {
        s->SetXLabel(0, "first");
        s->SetValueColor(0, clRed);
    }
    return s;
}

std::vector<std::string> Split(const std::string& Line, char Delimiter) {
    std::vector<std::string> r;
    std::stringstream in(Line);
    for (std::string f; std::getline(in, f, Delimiter);)
        r.push_back(f);
    if (!Line.empty() && Line.back() == Delimiter) r.emplace_back();
    return r;
}

TEST(ExportEveryType, XmlParsesAndEveryValueAttributeHasAName) {
    const std::string dir = MakeTempFolder("qm_xml_");
    std::vector<std::string> files;
    for (TClass type : SeriesTypes()) {
        TChart chart;
        Filled(chart, type);
        Filled(chart, type);
        TSeriesDataXML x(&chart);
        x.IncludeIndex = true;
        x.IncludeColors = true;
        const std::string path = dir + "/" + type->Name + ".xml";
        std::ofstream(path, std::ios::binary) << x.AsString().str();
        files.push_back(path);
    }
    ASSERT_GT(files.size(), 40u);
    // Each point holds its index, label and colour and one attribute per
    // exported list, none empty.
    const std::string script = std::string(dir) + "/check.py";
    std::ofstream(script) << "import sys, xml.dom.minidom\n"
                             "bad = 0\n"
                             "for f in sys.argv[1:]:\n"
                             "    try:\n"
                             "        d = xml.dom.minidom.parse(f)\n"
                             "    except Exception as e:\n"
                             "        print(f, e); bad += 1; continue\n"
                             "    for p in d.getElementsByTagName('point'):\n"
                             "        names = [p.attributes.item(i).name for i in "
                             "range(p.attributes.length)]\n"
                             "        if len(names) < 4 or '' in names:\n"
                             "            print(f, names); bad += 1; break\n"
                             "sys.exit(1 if bad else 0)\n";
    std::string command = "python3 " + script;
    for (const std::string& f : files)
        command += " " + f;
    EXPECT_EQ(std::system(command.c_str()), 0);
    std::filesystem::remove_all(dir);
}

TEST(ExportEveryType, TextHeaderNamesEveryColumn) {
    for (TClass type : SeriesTypes()) {
        TChart chart;
        const TChartSeries* s = Filled(chart, type);
        TSeriesDataText t(&chart);
        t.IncludeHeader = true;
        t.IncludeIndex = true;
        const std::string text = t.AsString().str();
        const std::string header = text.substr(0, text.find("\r\n"));
        if (s->Count() == 0) {
            // A series holding no values of its own (a calendar): the header alone.
            EXPECT_EQ(text, header + "\r\n") << type->Name;
            continue;
        }
        const std::string first = text.substr(
            header.size() + 2, text.find("\r\n", header.size() + 2) - header.size() - 2);
        const auto heads = Split(header, '\t');
        EXPECT_EQ(heads.size(), Split(first, '\t').size()) << type->Name << ": " << text;
        for (const std::string& h : heads)
            EXPECT_FALSE(h.empty()) << type->Name << ": " << header;
    }
}

// A list named like another column, or with characters no attribute name may
// hold, still gives a well-formed point element with distinct attributes.
TEST(ExportEveryType, ListNamesAreMadeValidAndDistinctAttributeNames) {
    TChart chart;
    auto* s = new TLineSeries(&chart);
    s->SetParentChart(&chart);
    s->AddXY(1, 2, "a");
    s->AddXY(3, 4, "b");
    s->XValues()->SetName("text");
    s->YValues()->SetName("2 y");
    TSeriesDataXML x(&chart, s);
    x.IncludeIndex = true;
    const std::string xml = x.AsString().str();
    EXPECT_NE(xml.find("<point index=\"0\" text=\"a\" text_2=\"1\" _2_y=\"2\"/>"),
              std::string::npos)
        << xml;
}

} // namespace
