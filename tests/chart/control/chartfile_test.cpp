// Chart files: header and signature, round trips, byte stability, the two
// converters, old trailing point data, aliases, and damaged files that must
// leave the chart being loaded exactly as it was.
#include "chart/control/series.h"
#include "chart/control/teeseriestypes.h"
#include "chart/control/teestore.h"
#include "platform/classes/streams.h"
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

const bool Registered = [] {
    RegisterClass(&TChartSeries::ClassInfo);
    RegisterClass(&TTeeMovingFunction::ClassInfo);
    RegisterClass(&TTeeCustomToolSeries::ClassInfo);
    return true;
}();

std::string Bytes(TMemoryStream& S) {
    return std::string(static_cast<const char*>(S.Memory()), static_cast<size_t>(S.Size()));
}

class ChartFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Registered);
        Chart = std::make_unique<TChart>();
        Chart->SetName("Chart1");
        Chart->SetBounds(7, 9, 420, 300);
        Chart->Title()->Text()->Add("Reading");
        Chart->Legend()->SetAlignment(laBottom);
        Chart->LeftWall()->SetColor(clRed);
        Chart->LeftAxis()->SetMinMax(-5, 25);
        S1 = Add("Series1");
        S1->AddXY(1, 10, "one");
        S1->AddXY(2, 20, "", 0x123456);
        S2 = Add("Series2");
        auto* f = new TTeeMovingFunction(Chart.get());
        f->SetName("TeeFunction1");
        f->SetPeriod(2);
        f->SetParentSeries(S2);
        S2->SetDataSource(S1);
        auto* tool = new TTeeCustomToolSeries(Chart.get());
        tool->SetName("ChartTool1");
        tool->SetParentChart(Chart.get());
        tool->SetSeries(S2);
    }

    TChartSeries* Add(const AnsiString& Name) {
        auto* s = new TChartSeries(Chart.get());
        s->SetName(Name);
        s->SetParentChart(Chart.get());
        return s;
    }

    std::string Save(TCustomChart* C, bool Data = true, bool Text = false) {
        TMemoryStream m;
        SaveChartToStream(C, &m, Data, Text);
        return Bytes(m);
    }

    static std::string TempName(const std::string& Base) {
        return (std::filesystem::temp_directory_path() /
                ("qm_tee_" + std::to_string(getpid()) + "_" + Base))
            .string();
    }

    std::unique_ptr<TChart> Chart;
    TChartSeries* S1 = nullptr;
    TChartSeries* S2 = nullptr;
};

TEST_F(ChartFileTest, SaveAddsExtensionHeaderAndSignatureAndLoadsBackTheSameChart) {
    const std::string base = TempName("a");
    SaveChartToFile(Chart.get(), base.c_str());
    std::ifstream in(base + ".tee", std::ios::binary);
    ASSERT_TRUE(in.good());
    const std::string file((std::istreambuf_iterator<char>(in)), {});
    ASSERT_GT(file.size(), 8u);
    EXPECT_EQ(file.substr(0, 8), std::string("\x60\x30\x40\x01TPF0", 8));
    EXPECT_EQ(Chart->Name(), "Chart1");

    TChart fresh;
    fresh.SetName("Other");
    TCustomChart* target = &fresh;
    LoadChartFromFile(target, base.c_str());
    std::filesystem::remove(base + ".tee");

    EXPECT_EQ(fresh.Name(), "Other");
    EXPECT_EQ(fresh.Left(), 7);
    EXPECT_EQ(fresh.Width(), 420);
    EXPECT_EQ(fresh.Title()->Caption(), "Reading");
    EXPECT_EQ(fresh.Legend()->Alignment(), laBottom);
    EXPECT_EQ(fresh.LeftWall()->Color(), clRed);
    EXPECT_EQ(fresh.LeftAxis()->Minimum(), -5);
    EXPECT_FALSE(fresh.LeftAxis()->Automatic());
    ASSERT_EQ(fresh.SeriesCount(), 2);
    TChartSeries* r1 = fresh.GetSeries(0);
    TChartSeries* r2 = fresh.GetSeries(1);
    ASSERT_EQ(r1->Count(), 2);
    EXPECT_EQ(r1->GetXLabel(0), "one");
    EXPECT_EQ(r1->InternalColor(1), 0x123456);
    ASSERT_NE(r2->FunctionType(), nullptr);
    EXPECT_EQ(r2->FunctionType()->Period(), 2);
    EXPECT_EQ(r2->DataSource(), r1);
    ASSERT_EQ(fresh.Tools()->Count(), 1);
    EXPECT_EQ(static_cast<TTeeCustomToolSeries*>(fresh.Tools()->Get(0))->Series(), r2);

    // What was loaded saves to the very same bytes.
    fresh.SetName("Chart1");
    EXPECT_EQ(Save(&fresh), Save(Chart.get()));
}

TEST_F(ChartFileTest, TextAndBinaryFormsConvertIntoEachOtherByteForByte) {
    const std::string binary = Save(Chart.get());
    const std::string text = Save(Chart.get(), true, true);
    EXPECT_EQ(text.substr(0, 6), "object");
    TMemoryStream in, out;
    in.WriteBuffer(text.data(), static_cast<int>(text.size()));
    in.SetPosition(0);
    ConvertTeeToBinary(&in, &out);
    EXPECT_EQ(Bytes(out), binary);
    TMemoryStream in2, out2;
    in2.WriteBuffer(binary.data(), static_cast<int>(binary.size()));
    in2.SetPosition(0);
    ConvertTeeToText(&in2, &out2);
    EXPECT_EQ(Bytes(out2), text);

    // The text form loads like its binary twin.
    TChart fresh;
    TCustomChart* target = &fresh;
    in.SetPosition(0);
    LoadChartFromStream(target, &in);
    fresh.SetName("Chart1");
    EXPECT_EQ(Save(&fresh), binary);
}

TEST_F(ChartFileTest, WithoutDataSeriesComeBackEmptyAndOldTrailingDataIsRead) {
    TMemoryStream m;
    SaveChartToStream(Chart.get(), &m, false);
    TChart fresh;
    TCustomChart* target = &fresh;
    m.SetPosition(0);
    LoadChartFromStream(target, &m);
    ASSERT_EQ(fresh.SeriesCount(), 2);
    EXPECT_EQ(fresh.GetSeries(0)->Count(), 0);
    EXPECT_FALSE(Chart->GetSeries(0)->ForceSaveData());
    EXPECT_FALSE(Chart->GetSeries(0)->DontSaveData());

    // Older files: the points of each series after the component stream.
    m.Seek(0, soFromEnd);
    S1->WriteData(&m);
    S2->WriteData(&m);
    TChart old;
    target = &old;
    m.SetPosition(0);
    LoadChartFromStream(target, &m);
    ASSERT_EQ(old.GetSeries(0)->Count(), 2);
    EXPECT_EQ(old.GetSeries(0)->YValues()->Value(1), 20);
}

TEST_F(ChartFileTest, OldClassNamesOfTheChartAreRead) {
    const std::string text =
        "object Chart1: TODBCChart\r\n  object S: TChartSeries\r\n  end\r\nend\r\n";
    TStringStream in(text);
    TChart fresh;
    TCustomChart* target = &fresh;
    LoadChartFromStream(target, &in);
    EXPECT_EQ(fresh.SeriesCount(), 1);
    EXPECT_NE(GetClass("TChartChart"), nullptr);
}

TEST_F(ChartFileTest, UnknownPropertiesGoToTheCallbackOrAreSkipped) {
    std::string text = Save(Chart.get(), true, true);
    text.insert(text.find("\r\n") + 2, "  NoSuchThing = 3\r\n");
    std::vector<AnsiString> told;
    TChart a;
    TCustomChart* target = &a;
    TStringStream in(text);
    LoadChartFromStreamCheck(target, &in, [&](const AnsiString& M) {
        told.push_back(M);
        return true;
    });
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].str().find("NoSuchThing"), std::string::npos);
    EXPECT_EQ(a.SeriesCount(), 2);

    TChart b;
    target = &b;
    TStringStream again(text);
    LoadChartFromStream(target, &again);
    EXPECT_EQ(b.SeriesCount(), 2);
}

// A file of another version, by hand in both forms: a value this build does not
// know, a number that is text, an unknown property and a component of an unknown
// class (with a child of a known one) among settings that must still arrive.
std::string OtherVersionText() {
    return "object Chart1: TChart\r\n"
           "  Legend.Alignment = laNowhere\r\n"
           "  MarginLeft = 'abc'\r\n"
           "  NoSuchThing = 3\r\n"
           "  MarginTop = 7\r\n"
           "  object Gadget1: TNoSuchGadget\r\n"
           "    Whatever = 1\r\n"
           "    object Inner: TChartSeries\r\n"
           "    end\r\n"
           "  end\r\n"
           "  object Series1: TChartSeries\r\n"
           "    Title = 'kept'\r\n"
           "  end\r\n"
           "end\r\n";
}

// The same file in the binary form, byte by byte.
std::string OtherVersionBinary() {
    std::string b = "\x60\x30\x40\x01TPF0";
    const auto str = [&b](const std::string& S) { b += char(S.size()) + S; };
    const auto tag = [&b](TValueType T) { b += char(T); };
    str("TChart"), str("Chart1");
    str("Legend.Alignment"), tag(vaIdent), str("laNowhere");
    str("MarginLeft"), tag(vaString), str("abc");
    str("NoSuchThing"), tag(vaInt8), b += char(3);
    str("MarginTop"), tag(vaInt8), b += char(7);
    tag(vaNull);
    str("TNoSuchGadget"), str("Gadget1");
    str("Whatever"), tag(vaInt8), b += char(1);
    tag(vaNull);
    str("TChartSeries"), str("Inner"), tag(vaNull), tag(vaNull);
    tag(vaNull);
    str("TChartSeries"), str("Series1");
    str("Title"), tag(vaString), str("kept");
    tag(vaNull), tag(vaNull);
    tag(vaNull);
    return b;
}

TEST_F(ChartFileTest, WithoutACallbackWhatCannotBeReadIsSkippedAndReadingGoesOn) {
    const TChart defaults;
    for (const std::string& file : {OtherVersionText(), OtherVersionBinary()}) {
        SCOPED_TRACE(file.substr(0, 6));
        TChart c;
        TCustomChart* target = &c;
        TStringStream in(file);
        LoadChartFromStream(target, &in);
        EXPECT_EQ(c.Legend()->Alignment(), laRight);
        EXPECT_EQ(c.MarginLeft(), defaults.MarginLeft());
        EXPECT_EQ(c.MarginTop(), 7);
        ASSERT_EQ(c.SeriesCount(), 1);
        EXPECT_EQ(c.GetSeries(0)->Title(), "kept");
        EXPECT_EQ(c.FindComponent("Gadget1"), nullptr);
        EXPECT_EQ(c.FindComponent("Inner"), nullptr);
    }
}

// With a callback every read error is asked about, an unknown class as any
// other: going on skips that object and all it holds, refusing ends the read
// with the given chart untouched.
TEST_F(ChartFileTest, WithACallbackEveryReadErrorIsAskedAboutOnce) {
    for (const std::string& file : {OtherVersionText(), OtherVersionBinary()}) {
        SCOPED_TRACE(file.substr(0, 6));
        std::vector<std::string> asked;
        TChart c;
        TCustomChart* target = &c;
        TStringStream in(file);
        LoadChartFromStreamCheck(target, &in, [&](const AnsiString& M) {
            asked.push_back(M.str());
            return true;
        });
        // Asked once each: the answers of the checking pass are kept for the second.
        ASSERT_EQ(asked.size(), 4u);
        const char* about[] = {"Legend.Alignment", "MarginLeft", "NoSuchThing",
                               "Gadget1: Class TNoSuchGadget not found"};
        for (size_t i = 0; i < 4; ++i)
            EXPECT_NE(asked[i].find(about[i]), std::string::npos) << asked[i];
        EXPECT_EQ(c.MarginTop(), 7);
        ASSERT_EQ(c.SeriesCount(), 1);
        EXPECT_EQ(c.GetSeries(0)->Title(), "kept");
        EXPECT_EQ(c.FindComponent("Inner"), nullptr);

        for (size_t refuse = 0; refuse < 4; ++refuse) {
            TChart refused;
            refused.SetMarginTop(21);
            target = &refused;
            TStringStream again(file);
            size_t n = 0;
            try {
                LoadChartFromStreamCheck(target, &again,
                                         [&](const AnsiString&) { return n++ != refuse; });
                ADD_FAILURE() << "loaded although answer " << refuse << " refused";
            } catch (const EReadError& e) {
                if (refuse == 3) EXPECT_EQ(e.Message, "Class TNoSuchGadget not found");
            }
            EXPECT_EQ(refused.MarginTop(), 21);
            EXPECT_EQ(refused.SeriesCount(), 0);
        }
    }
}

// Only damage to the stream's own structure refuses a file read without a callback.
TEST_F(ChartFileTest, WithoutACallbackABrokenStructureIsStillRefused) {
    const std::string binary = OtherVersionBinary();
    const std::string text = OtherVersionText();
    const std::string cases[] = {
        binary.substr(0, binary.find("Whatever") + 10),             // ends inside the unknown class
        binary.substr(0, binary.size() - 1),                        // root not closed
        text.substr(0, text.find("  object Series1")),              // text ends inside the root
        std::string(text).replace(text.find("'kept'"), 6, "'kept"), // string not closed
    };
    for (const std::string& file : cases) {
        SCOPED_TRACE(file.size());
        TChart c;
        c.SetMarginTop(21);
        TCustomChart* target = &c;
        TStringStream in(file);
        EXPECT_ANY_THROW(LoadChartFromStream(target, &in));
        EXPECT_EQ(c.MarginTop(), 21);
    }
}

// Every damaged file fails with a clear message and the chart keeps all it had.
TEST_F(ChartFileTest, DamagedFilesFailAndLeaveTheChartAsItWas) {
    const std::string good = Save(Chart.get(), true, false);
    std::string unknownRefused = Save(Chart.get(), true, true);
    unknownRefused.insert(unknownRefused.find("\r\n") + 2, "  NoSuchThing = 3\r\n");
    struct Case {
        const char* Name;
        std::string Data;
        const char* Message; // nullptr: any message
    };
    const Case cases[] = {
        {"empty", "", "Empty *.tee file"},
        {"garbage", "XYZ garbage", "Wrong *.tee file format"},
        {"truncated", good.substr(0, good.size() * 2 / 3), nullptr},
        {"header only", good.substr(0, 4), nullptr},
        {"bad text", "object Chart1: TChart\r\n  Title.Text.Strings = (\r\n", nullptr},
        {"unknown refused", unknownRefused, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TChart target;
        target.SetName("Kept");
        auto* s = new TChartSeries(&target);
        s->SetParentChart(&target);
        s->AddY(42);
        target.Title()->Text()->Add("Before");
        target.SetAutoRepaint(true);
        TCustomChart* ref = &target;
        TStringStream in(c.Data);
        try {
            LoadChartFromStreamCheck(ref, &in, [](const AnsiString&) { return false; });
            ADD_FAILURE() << "loaded";
        } catch (const Exception& e) {
            if (c.Message) EXPECT_EQ(e.Message, c.Message);
            EXPECT_FALSE(e.Message.IsEmpty());
        }
        EXPECT_EQ(ref, &target);
        ASSERT_EQ(target.SeriesCount(), 1);
        EXPECT_EQ(target.GetSeries(0), s);
        EXPECT_EQ(s->YValues()->Value(0), 42);
        EXPECT_EQ(target.Title()->Caption(), "Before");
        EXPECT_EQ(target.Name(), "Kept");
        EXPECT_TRUE(target.AutoRepaint());
    }
}

} // namespace

namespace {

// Every registered series type, and every registered function on a line of
// points, comes back from a chart file with its class, points and function.
TEST(ChartFileRegistry, EveryStandardSeriesAndFunctionSurvivesARoundTrip) {
    TChart probe; // starts the registries
    int series = 0, functions = 0;
    for (int i = 0; i < TeeSeriesTypes().Count(); ++i) {
        TTeeSeriesType* t = TeeSeriesTypes().Get(i);
        if (t->SeriesClass && t->SeriesClass->Name[0] == 'T' &&
            std::string(t->SeriesClass->Name).rfind("TReg", 0) == 0)
            continue; // classes of other tests
        SCOPED_TRACE(t->SeriesClass ? t->SeriesClass->Name : t->FunctionClass->Name);
        TChart chart;
        TChartSeries* source = CreateNewSeries(&chart, &chart, &TChartSeries::ClassInfo);
        for (int k = 0; k < 6; ++k)
            source->AddXY(k, k * k);
        TChartSeries* s = CreateNewSeries(
            &chart, &chart, t->SeriesClass ? t->SeriesClass : &TChartSeries::ClassInfo,
            t->FunctionClass);
        if (t->FunctionClass) {
            s->SetDataSource(source);
            ++functions;
        } else {
            s->FillSampleValues(7);
            ++series;
        }
        const int count = s->Count();
        TMemoryStream m;
        SaveChartToStream(&chart, &m);
        TChart back;
        TCustomChart* ref = &back;
        m.SetPosition(0);
        LoadChartFromStream(ref, &m);
        ASSERT_EQ(back.SeriesCount(), 2);
        TChartSeries* r = back.GetSeries(1);
        EXPECT_EQ(r->ClassType(), s->ClassType());
        EXPECT_EQ(r->Count(), count);
        // Every value list, the extra ones of the type included, by name and value.
        ASSERT_EQ(r->ValuesList()->Count(), s->ValuesList()->Count());
        for (int l = 0; l < s->ValuesList()->Count(); ++l) {
            TChartValueList* a = s->ValuesList()->Get(l);
            TChartValueList* b = r->ValuesList()->Get(l);
            EXPECT_EQ(b->Name(), a->Name());
            ASSERT_EQ(b->Count(), a->Count()) << a->Name().c_str();
            for (int k = 0; k < a->Count(); ++k)
                EXPECT_EQ(b->Value(k), a->Value(k)) << a->Name().c_str() << " " << k;
        }
        if (t->FunctionClass) {
            ASSERT_NE(r->FunctionType(), nullptr);
            EXPECT_EQ(r->FunctionType()->ClassType(), t->FunctionClass);
            EXPECT_EQ(r->DataSource(), back.GetSeries(0));
        }
        TMemoryStream again;
        SaveChartToStream(&back, &again);
        EXPECT_EQ(Bytes(again), Bytes(m));
    }
    EXPECT_GE(series, 12);
    EXPECT_GE(functions, 8);
}

} // namespace

// The chart shown takes the points the validating read parsed: they must be
// the points a read of the records alone gives, in every list order, for
// records with and without X, horizontal series and X out of its order.
TEST(ChartFilePoints, TheLoadedChartHoldsThePointsItsRecordsGive) {
    struct TCase {
        const char* Name;
        bool Horizontal;
        TChartListOrder Order;
        std::vector<double> Xs, Ys;
    };
    const std::vector<TCase> cases = {
        {"ascending X", false, loAscending, {1, 2.5, 4, 9}, {3, -1, 7, 2}},
        {"X is the index", false, loAscending, {0, 1, 2, 3, 4}, {5, 4, 6, 1, 0}},
        {"X out of order", false, loNone, {4, 1, 3, -2}, {1, 2, 3, 4}},
        {"descending X", false, loDescending, {9, 7, 7, 1}, {0, 8, 2, 6}},
        {"horizontal", true, loAscending, {3, 1, 8}, {1, 2, 3}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        auto make = [&c] {
            auto chart = std::make_unique<TChart>();
            TChartSeries* s = c.Horizontal
                                  ? new THorizLineSeries(chart.get())
                                  : static_cast<TChartSeries*>(new TLineSeries(chart.get()));
            s->SetName("S");
            s->SetParentChart(chart.get());
            s->XValues()->SetOrder(c.Order);
            return chart;
        };
        auto source = make();
        TChartSeries* s = source->GetSeries(0);
        for (size_t i = 0; i < c.Xs.size(); ++i)
            c.Horizontal ? s->AddXY(c.Ys[i], c.Xs[i]) : s->AddXY(c.Xs[i], c.Ys[i]);
        TMemoryStream file;
        SaveChartToStream(source.get(), &file);

        // The reference: the same records read straight into a series.
        TMemoryStream records;
        s->WriteData(&records);
        records.SetPosition(0);
        auto reference = make();
        TChartSeries* r = reference->GetSeries(0);
        r->ReadData(&records);

        auto shown = make();
        TCustomChart* target = shown.get();
        for (int round = 0; round < 2; ++round) {
            file.SetPosition(0);
            LoadChartFromStream(target, &file);
            ASSERT_EQ(shown->SeriesCount(), 1);
            TChartSeries* t = shown->GetSeries(0);
            ASSERT_EQ(t->Count(), r->Count());
            for (int l = 0; l < 2; ++l) {
                const TChartValueList* a = t->ValuesList()->Get(l);
                const TChartValueList* b = r->ValuesList()->Get(l);
                for (int i = 0; i < r->Count(); ++i)
                    EXPECT_EQ(a->Value(i), b->Value(i)) << "list " << l << " point " << i;
                EXPECT_EQ(a->MinValue(), b->MinValue());
                EXPECT_EQ(a->MaxValue(), b->MaxValue());
                EXPECT_EQ(a->Total(), b->Total());
                EXPECT_EQ(a->TempValue(), b->TempValue());
            }
            EXPECT_TRUE(t->HasDataStored());
            t->AddXY(100, 100);
            EXPECT_EQ(t->Count(), r->Count() + 1);
        }
    }
}
