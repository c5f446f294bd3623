// What a chart file tells the user about what it holds (an obsolete Multiplier
// on a value list): once for each list of a load, in either form and with or
// without a callback, though the load reads the file twice; and a chart, its
// form or the picture holding it freed while such a message shows ends the
// load quietly.
#include "chart/control/series.h"
#include "chart/control/teeedit.h"
#include "chart/control/teestore.h"
#include "platform/classes/streams.h"
#include "support/forms_testing.h"
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

const bool Registered = (RegisterClass(&TChartSeries::ClassInfo), true);

const char* const Obsolete =
    "Error: Multiplier property is obsolete.\rModify TeeDefs.inc (enable Multiplier) and "
    "recompile.";

// Two lists with an old Multiplier, one with the harmless 1.
const char* const FileText = "object Chart1: TChart\r\n"
                             "  object Series1: TChartSeries\r\n"
                             "    XValues.Multiplier = 2.0\r\n"
                             "    YValues.Multiplier = 3.0\r\n"
                             "    Title = 'kept'\r\n"
                             "  end\r\n"
                             "  object Series2: TChartSeries\r\n"
                             "    YValues.Multiplier = 1.0\r\n"
                             "  end\r\n"
                             "end\r\n";

std::string Binary() {
    TStringStream text{AnsiString(FileText)};
    TMemoryStream out;
    ConvertTeeToBinary(&text, &out);
    return std::string(static_cast<const char*>(out.Memory()), size_t(out.Size()));
}

TEST(ChartFileMessages, ObsoleteMultiplierIsToldOnceForEachListOfALoad) {
    ASSERT_TRUE(Registered);
    for (const std::string& file : {std::string(FileText), Binary()})
        for (const bool callback : {false, true}) {
            SCOPED_TRACE(file.substr(0, 6) + (callback ? ", with a callback" : ""));
            TStrictResponder responder;
            responder.ExpectMessage("Multiplier property is obsolete", IDOK)
                .ExpectMessage("Multiplier property is obsolete", IDOK);
            TChart chart;
            TCustomChart* target = &chart;
            TStringStream in{AnsiString(file)};
            if (callback)
                LoadChartFromStreamCheck(target, &in, [](const AnsiString&) { return true; });
            else
                LoadChartFromStream(target, &in);
            EXPECT_TRUE(responder.Done());
            ASSERT_EQ(responder.Shown().size(), 2u);
            EXPECT_EQ(responder.Shown()[0].Text, Obsolete);
            ASSERT_EQ(chart.SeriesCount(), 2);
            EXPECT_EQ(chart.GetSeries(0)->Title(), "kept");
        }
}

// Each way the chart goes while the first message shows: the load tells nothing
// more and touches nothing of it (a sanitizer build sees any read of it).
TEST(ChartFileMessages, ChartFreedWhileTheMessageShowsEndsTheLoadQuietly) {
    ASSERT_TRUE(Registered);
    for (const char* way : {"chart", "form", "picture"}) {
        SCOPED_TRACE(way);
        std::unique_ptr<TForm> form;
        std::unique_ptr<TChart> chart;
        std::unique_ptr<TChartImage> picture;
        TCustomChart* target = nullptr;
        if (way == std::string("form")) {
            form = std::make_unique<TForm>(nullptr);
            target = new TChart(form.get());
        } else if (way == std::string("chart")) {
            chart = std::make_unique<TChart>();
            target = chart.get();
        } else {
            picture = std::make_unique<TChartImage>();
            target = picture->Chart();
        }
        TStrictResponder responder;
        TDialogAnswer answer;
        answer.WhileShown = [&] {
            form.reset();
            chart.reset();
            picture.reset();
        };
        responder.Expect(TDialogKind::MessageBox, "Multiplier property is obsolete", answer);
        TStringStream in{AnsiString(FileText)};
        if (picture) {
            const std::vector<uint8_t> bytes(FileText, FileText + std::strlen(FileText));
            picture->LoadFromBytes(bytes);
        } else {
            LoadChartFromStream(target, &in);
        }
        EXPECT_TRUE(responder.Done());
        EXPECT_EQ(responder.Shown().size(), 1u);
        EXPECT_FALSE(form || chart || picture);
    }
}

} // namespace
