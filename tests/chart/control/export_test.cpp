// Data exports of a chart with two series of different lengths whose labels hold
// the delimiter, quotes, markup characters and non-ASCII text; the Excel sheet
// is read back by an independent reader and goes to the clipboard as itself.
#include "chart/control/chart.h"
#include "chart/control/teedata.h"
#include "chart/control/teestore.h"
#include "platform/classes/filenames.h"
#include "platform/classes/streams.h"
#include "platform/graphics/clipbrd.h"
#include "support/clipboard_bytes.h"
#include "support/long_names.h"
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>

namespace {

class ExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        Chart = std::make_unique<TChart>();
        A = Add("A", clRed);
        B = Add("B", clBlue);
        A->AddXY(1, 10, "tab\there");
        A->AddXY(2, 20, "say \"hi\"");
        A->AddXY(3, 30, "a<b & c");
        for (int i = 0; i < 5; ++i)
            B->AddXY(i, i * 1.5,
                     "\xB0"
                     "C");
        A->SetTitle("Volt");
        B->SetTitle("Amp");
    }
    TChartSeries* Add(const char* Name, TColor C) {
        auto* s = new TChartSeries(Chart.get());
        s->SetName(Name);
        s->SetParentChart(Chart.get());
        s->SetSeriesColor(C);
        return s;
    }
    std::unique_ptr<TChart> Chart;
    TChartSeries* A = nullptr;
    TChartSeries* B = nullptr;
};

TEST_F(ExportTest, TextKeepsColumnsWithQuotedFieldsAndEmptyFieldsForShortSeries) {
    A->SetValueColor(2, clGreen);
    TSeriesDataText t(Chart.get());
    t.IncludeHeader = true;
    t.IncludeColors = true;
    EXPECT_EQ(t.AsString().str(), "Text\tColors\tX\tVolt\tX\tAmp\r\n"
                                  "\"tab\there\"\t#ff0000\t1\t10\t0\t0\r\n"
                                  "\"say \"\"hi\"\"\"\t#ff0000\t2\t20\t1\t1.5\r\n"
                                  "a<b & c\t#008000\t3\t30\t2\t3\r\n"
                                  "\t#000000\t\t\t3\t4.5\r\n"
                                  "\t#000000\t\t\t4\t6\r\n");
}

TEST_F(ExportTest, XmlAndHtmlEscapeMarkupAndDeclareTheirEncoding) {
    TSeriesDataXML x(Chart.get());
    x.IncludeIndex = true;
    const std::string xml = x.AsString().str();
    EXPECT_EQ(xml.substr(0, 45), "<?xml version=\"1.0\" encoding=\"windows-1252\"?>");
    EXPECT_NE(xml.find("<series title=\"Volt\" type=\"TChartSeries\" color=\"#ff0000\">\r\n"
                       "<points count=\"3\">\r\n"
                       "<point index=\"0\" text=\"tab\there\" X=\"1\" Y=\"10\"/>\r\n"
                       "<point index=\"1\" text=\"say &quot;hi&quot;\" X=\"2\" Y=\"20\"/>\r\n"
                       "<point index=\"2\" text=\"a&lt;b &amp; c\" X=\"3\" Y=\"30\"/>\r\n"
                       "</points>\r\n</series>\r\n\r\n"),
              std::string::npos)
        << xml;
    EXPECT_NE(xml.find("text=\"\xB0"
                       "C\""),
              std::string::npos);
    EXPECT_EQ(xml.substr(xml.size() - 8), "</chart>");

    TSeriesDataHTML h(Chart.get());
    const std::string html = h.AsString().str();
    EXPECT_NE(html.find("<tr><td>a&lt;b &amp; c</td><td>3</td><td>30</td><td>\xB0"
                        "C</td>"
                        "<td>2</td><td>3</td></tr>\r\n"),
              std::string::npos)
        << html;
    EXPECT_NE(html.find("<tr><td></td><td></td><td></td><td>\xB0"
                        "C</td><td>4</td><td>6</td></tr>"),
              std::string::npos)
        << html;
}

TEST_F(ExportTest, ExcelSheetReadsBackTheSameCells) {
    B->SetNull(1);
    std::string label300(300, 'x');
    A->SetXLabel(0, label300.c_str());
    TSeriesDataXLS x(Chart.get());
    x.IncludeHeader = true;
    x.IncludeIndex = true;
    const std::string file = (std::filesystem::temp_directory_path() /
                              ("qm_export_" + std::to_string(getpid()) + ".xls"))
                                 .string();
    x.SaveToFile(file.c_str());

    // The Debian package serves the system interpreter.
    const std::string python =
        std::filesystem::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
    const bool haveReader = std::system((python + " -c 'import xlrd' 2>/dev/null").c_str()) == 0;
    if (!haveReader) {
        std::filesystem::remove(file);
        const char* ci = std::getenv("CI");
        if (ci && std::string(ci) == "true")
            FAIL() << "python3-xlrd is missing (scripts/bootstrap installs it)";
        GTEST_SKIP() << "python3-xlrd not installed";
    }
    const auto script = std::filesystem::path(QM_TEST_SUPPORT_DIR) / "xls_cells.py";
    ASSERT_TRUE(std::filesystem::exists(script)) << script;
    const std::string cmd = python + " " + script.string() + " " + file;
    std::string out;
    if (FILE* p = popen(cmd.c_str(), "r")) {
        std::array<char, 512> buf;
        size_t n;
        while ((n = fread(buf.data(), 1, buf.size(), p)) > 0)
            out.append(buf.data(), n);
        EXPECT_EQ(pclose(p), 0);
    }
    std::filesystem::remove(file);
    const auto hex = [](const std::string& S) {
        std::string r;
        char b[3];
        for (unsigned char c : S) {
            std::snprintf(b, sizeof b, "%02x", c);
            r += b;
        }
        return r;
    };
    // Columns: Index, then per series Text, X, Y.
    const auto has = [&](const std::string& Line) {
        EXPECT_NE(out.find(Line + "\n"), std::string::npos) << Line << "\n" << out;
    };
    has("0\t0\tt\t" + hex("Index"));
    has("0\t3\tt\t" + hex("Y"));
    has("1\t0\tn\t0.0");
    has("1\t1\tt\t" + hex(std::string(255, 'x')));
    has("2\t1\tt\t" + hex("say \"hi\""));
    has("3\t1\tt\t" + hex("a<b & c"));
    has("3\t3\tn\t30.0");
    has("2\t4\tt\t" + hex("\xB0"
                          "C"));
    const auto hasNo = [&](const std::string& Start) {
        EXPECT_EQ(out.find("\n" + Start), std::string::npos) << Start << "\n" << out;
    };
    // The null point keeps its label and X; its value is blank.
    has("2\t5\tn\t1.0");
    hasNo("2\t6\t");
    // Series A has no fifth point: no X or Y there.
    hasNo("5\t2\t");
    hasNo("5\t3\t");
    has("5\t6\tn\t6.0");
}

// The worksheet reaches the clipboard as the file's bytes under its own
// format, never as text (which would turn its zero and high bytes into letters).
TEST_F(ExportTest, ExcelSheetGoesToTheClipboardAsItsBytes) {
    TSeriesDataXLS x(Chart.get());
    x.IncludeHeader = true;
    TMemoryStream file;
    x.SaveToStream(&file);
    Clipboard()->SetAsText("before");
    x.CopyToClipboard();
    EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));
    EXPECT_EQ(qmtest::ClipboardBytes("application/vnd.ms-excel"),
              std::string(static_cast<const char*>(file.Memory()), size_t(file.Size())));
}

// The chart's own writers save over files whose names take all 255 bytes a
// folder allows, two- and three-byte Windows-1252 letters included.
TEST_F(ExportTest, ChartFilesExportsAndPicturesReplaceFilesWithTheLongestNames) {
    ExpectSavesOverLongNames(
        {AnsiString("x" + std::string(125, '\xE4') + ".tee"),
         AnsiString("a" + std::string(83, '\x80') + "b.tee")},
        {
            {"chart file", [this](const AnsiString& f) { SaveChartToFile(Chart.get(), f); },
             "TPF0"},
            {"text export",
             [this](const AnsiString& f) { TSeriesDataText(Chart.get()).SaveToFile(f); }, "tab"},
            {"bitmap", [this](const AnsiString& f) { Chart->SaveToBitmapFile(f); }, "BM"},
            {"metafile", [this](const AnsiString& f) { Chart->SaveToMetafileEnh(f); },
             std::string("\x01\0\0\0", 4)},
        });
}

} // namespace
