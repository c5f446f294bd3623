#include "chart/engine/teengine.h"
#include "platform/classes/filer.h"
#include "platform/classes/streams.h"
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> Written(TChartSeries& S) {
    TMemoryStream stream;
    S.WriteData(&stream);
    const auto* p = static_cast<const uint8_t*>(stream.Memory());
    return std::vector<uint8_t>(p, p + stream.Size());
}

void ReadInto(TChartSeries& S, const std::vector<uint8_t>& Bytes) {
    TMemoryStream stream;
    if (!Bytes.empty()) stream.WriteBuffer(Bytes.data(), static_cast<int>(Bytes.size()));
    stream.SetPosition(0);
    S.ReadData(&stream);
}

double DoubleAt(const std::vector<uint8_t>& b, size_t at) {
    double v;
    std::memcpy(&v, b.data() + at, 8);
    return v;
}

int32_t IntAt(const std::vector<uint8_t>& b, size_t at) {
    int32_t v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

} // namespace

TEST(SeriesDataStream, SequentialXWithoutExtrasStoresOnlyY) {
    TChartSeries s(nullptr);
    EXPECT_EQ(Written(s), (std::vector<uint8_t>{0, 0, 0, 0, 0})); // empty: mask and count
    for (double y : {1.5, 2.5, 3.5})
        s.AddY(y);
    const auto b = Written(s);
    ASSERT_EQ(b.size(), 5u + 3 * 8);
    EXPECT_EQ(b[0], 0);
    EXPECT_EQ(IntAt(b, 1), 3);
    EXPECT_EQ(DoubleAt(b, 5 + 16), 3.5);
}

struct MaskCase {
    std::vector<double> X;
    bool Expected;
};

class SeriesDataMask : public testing::TestWithParam<MaskCase> {};

TEST_P(SeriesDataMask, XValuesAreStoredUnlessTheyAreTheIndexes) {
    TChartSeries s(nullptr);
    for (double x : GetParam().X)
        s.AddXY(x, 0);
    EXPECT_EQ(HasNoMandatoryValues(&s), GetParam().Expected);
    EXPECT_EQ(SeriesGuessContents(&s).Contains(tfNoMandatory), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Xs, SeriesDataMask,
                         testing::Values(MaskCase{{0, 1, 2}, false}, MaskCase{{0, 1, 5}, true},
                                         MaskCase{{1, 2, 3}, true}, MaskCase{{0, 1.5, 2}, true},
                                         MaskCase{{}, false}));

TEST(SeriesDataStream, EveryPointDecidesTheContents) {
    TChartSeries s(nullptr);
    s.SetSeriesColor(clGreen);
    s.BeginUpdate();
    for (int i = 0; i < 20000; ++i)
        s.AddXY(i, i);
    s.EndUpdate();
    EXPECT_TRUE(SeriesGuessContents(&s).Empty());
    // Changes far beyond the first points count as much as early ones.
    s.XValues()->SetValue(15000, 15000.5);
    EXPECT_TRUE(HasNoMandatoryValues(&s));
    s.SetValueColor(12000, clGreen); // its own series colour: nothing to store
    EXPECT_FALSE(HasColors(&s));
    s.SetValueColor(12001, clRed);
    EXPECT_TRUE(HasColors(&s));
    s.SetXLabel(500, "late");
    EXPECT_TRUE(HasLabels(&s));
}

TEST(SeriesDataStream, RoundTripKeepsLabelsColoursAndNullsBeyondTheFirstPoints) {
    TChartSeries s(nullptr);
    s.BeginUpdate();
    for (int i = 0; i < 12000; ++i)
        s.AddXY(i * 0.5, i % 13);
    s.EndUpdate();
    s.SetNull(10500);
    s.SetValueColor(11000, clRed);
    s.SetXLabel(11500, "far");
    const auto b = Written(s);
    EXPECT_EQ(b[0], 1 | 2 | 4);

    TChartSeries r(nullptr);
    r.AddY(99); // replaced by what is read
    ReadInto(r, b);
    ASSERT_EQ(r.Count(), 12000);
    EXPECT_TRUE(r.HasDataStored());
    EXPECT_EQ(r.UpdateCount(), 0);
    EXPECT_EQ(r.XValues()->Value(11999), 11999 * 0.5);
    EXPECT_EQ(r.YValues()->Value(11999), 11999 % 13);
    EXPECT_TRUE(r.IsNull(10500));
    EXPECT_FALSE(r.IsNull(10501));
    EXPECT_EQ(r.InternalColor(11000), clRed);
    EXPECT_EQ(r.InternalColor(0), clAutoColor);
    EXPECT_EQ(r.GetXLabel(11500), "far");
    EXPECT_EQ(Written(r), b);
}

TEST(SeriesDataStream, ColourBytesAreWrittenForEveryPoint) {
    TChartSeries s(nullptr);
    s.AddY(1);
    s.AddY(2, "", clRed);
    const auto b = Written(s);
    EXPECT_EQ(b[0], 2);
    ASSERT_EQ(b.size(), 5u + 2 * 12);
    EXPECT_EQ(IntAt(b, 5 + 8), clAutoColor);
    EXPECT_EQ(IntAt(b, 5 + 12 + 8), clRed);
}

TEST(SeriesDataStream, LongLabelsAreCutNotWrapped) {
    TChartSeries s(nullptr);
    const AnsiString longLabel = StringOfChar('L', 300);
    s.AddY(1, longLabel);
    s.AddY(2, "next");
    const auto b = Written(s);
    EXPECT_EQ(b[0], 4);
    EXPECT_EQ(b[5 + 8], 255);
    TChartSeries r(nullptr);
    ReadInto(r, b);
    EXPECT_EQ(r.GetXLabel(0), StringOfChar('L', 255));
    EXPECT_EQ(r.GetXLabel(1), "next");
}

TEST(SeriesDataStream, FurtherListsAndHorizontalSeriesRoundTrip) {
    TChartSeries s(nullptr);
    s.SetHorizontal();
    s.XValues()->SetOrder(loNone);
    s.YValues()->SetOrder(loAscending);
    auto* z = new TChartValueList(&s, "Z");
    z->SetTempValue(7);
    s.AddXY(3, 10);
    z->SetTempValue(8);
    s.AddXY(4, 20);
    TChartSeries r(nullptr);
    r.SetHorizontal();
    r.XValues()->SetOrder(loNone);
    r.YValues()->SetOrder(loAscending);
    auto* rz = new TChartValueList(&r, "Z");
    ReadInto(r, Written(s));
    ASSERT_EQ(r.Count(), 2);
    EXPECT_EQ(r.XValues()->Value(1), 4);
    EXPECT_EQ(r.YValues()->Value(1), 20);
    EXPECT_EQ(rz->Value(0), 7);
    EXPECT_EQ(rz->Value(1), 8);
}

TEST(SeriesDataStream, CustomMarkPositionsRoundTrip) {
    TChartSeries s(nullptr);
    s.AddY(1);
    s.AddY(2);
    TSeriesMarkPosition p;
    p.LeftTop = TPoint(10, 20);
    p.Width = 30;
    p.Height = 40;
    p.ArrowTo = TPoint(5, 6);
    s.Marks()->Positions()->Put(1, p);
    const auto b = Written(s);
    EXPECT_EQ(b[0], 8);
    ASSERT_EQ(b.size(), 5u + 2 * (8 + 34));
    TChartSeries r(nullptr);
    ReadInto(r, b);
    TSeriesMarkPosition* got = r.Marks()->Positions()->Get(1);
    ASSERT_NE(got, nullptr);
    EXPECT_TRUE(got->Custom);
    EXPECT_EQ(got->LeftTop, TPoint(10, 20));
    EXPECT_EQ(got->Width, 30);
    EXPECT_EQ(got->ArrowTo, TPoint(5, 6));
    ASSERT_NE(r.Marks()->Positions()->Get(0), nullptr);
    EXPECT_FALSE(r.Marks()->Positions()->Get(0)->Custom);
}

TEST(SeriesDataStream, DamagedBlocksRaiseAndLeaveTheSeriesListening) {
    TChartSeries s(nullptr);
    s.AddY(1, "abc");
    s.AddY(2, "defg");
    const auto good = Written(s);
    const std::vector<std::vector<uint8_t>> damaged = {
        {},                                                  // no mask
        {0, 1, 0},                                           // count cut short
        {0, 0xFF, 0xFF, 0xFF, 0x7F},                         // a huge count
        {0, 0xFF, 0xFF, 0xFF, 0xFF},                         // a negative count
        std::vector<uint8_t>(good.begin(), good.end() - 2)}; // a label cut short
    for (const auto& bytes : damaged) {
        TChartSeries r(nullptr);
        EXPECT_THROW(ReadInto(r, bytes), EReadError);
        EXPECT_EQ(r.UpdateCount(), 0);
        EXPECT_FALSE(r.HasDataStored());
        std::vector<int> added;
        r.OnAfterAdd = [&](TChartSeries*, int i) { added.push_back(i); };
        const int at = r.AddY(5);
        EXPECT_EQ(added, std::vector<int>{at});
    }
}

// Plain X and Y records read in must give the points adding them one by one
// gives, whatever the X list's order and wherever the records break it.
struct PlainReadCase {
    const char* Name;
    TChartListOrder Order;
    std::vector<double> X;
};

class SeriesPlainRead : public testing::TestWithParam<PlainReadCase> {};

TEST_P(SeriesPlainRead, GivesThePointsAddingThemGives) {
    const PlainReadCase& c = GetParam();
    std::vector<uint8_t> block{1, 0, 0, 0, 0};
    const int32_t n = static_cast<int32_t>(c.X.size());
    std::memcpy(block.data() + 1, &n, 4);
    TChartSeries added(nullptr);
    added.XValues()->SetOrder(c.Order);
    for (size_t i = 0; i < c.X.size(); ++i) {
        const double y = 100.0 + static_cast<double>(i);
        for (double v : {c.X[i], y}) {
            uint8_t bytes[8];
            std::memcpy(bytes, &v, 8);
            block.insert(block.end(), bytes, bytes + 8);
        }
        added.AddXY(c.X[i], y);
    }
    TChartSeries read(nullptr);
    read.XValues()->SetOrder(c.Order);
    ReadInto(read, block);
    ASSERT_EQ(read.Count(), added.Count());
    ASSERT_EQ(read.XValues()->Count(), read.YValues()->Count());
    for (int i = 0; i < added.Count(); ++i) {
        const double ax = added.XValues()->Value(i), rx = read.XValues()->Value(i);
        EXPECT_TRUE(ax == rx || (ax != ax && rx != rx)) << i;
        EXPECT_EQ(read.YValues()->Value(i), added.YValues()->Value(i)) << i;
    }
    EXPECT_EQ(Written(read), Written(added));
}

INSTANTIATE_TEST_SUITE_P(
    Orders, SeriesPlainRead,
    testing::Values(PlainReadCase{"AscendingInOrder", loAscending, {0.5, 1, 1, 2, 7}},
                    PlainReadCase{"AscendingLastFalls", loAscending, {0.5, 1, 2, 7, 3}},
                    PlainReadCase{"AscendingFirstFalls", loAscending, {9, 1, 2, 3, 4}},
                    PlainReadCase{"AscendingWithNaN", loAscending, {1, 2, std::nan(""), 3, 0}},
                    PlainReadCase{"DescendingInOrder", loDescending, {9, 7, 7, 2}},
                    PlainReadCase{"DescendingRises", loDescending, {9, 7, 8, 2}},
                    PlainReadCase{"Unordered", loNone, {5, 1, 9, 2}}),
    [](const testing::TestParamInfo<PlainReadCase>& I) { return std::string(I.param.Name); });

TEST(SeriesDataStream, PlainRecordsAreTheSameBytesInAnyStream) {
    TChartSeries s(nullptr);
    for (int i = 0; i < 50; ++i)
        s.AddXY(i * 0.5, i * i);
    TStringStream other("");
    s.WriteData(&other);
    const std::string bytes = other.DataString().str();
    const auto memory = Written(s);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.end()), memory);
}

TEST(SeriesDataStream, PlainRecordsGoInAsAddingThemPointByPointWould) {
    struct TCase {
        TChartListOrder Order;
        std::vector<double> Xs;
    };
    const double nan = std::nan("");
    const std::vector<TCase> cases = {
        {loAscending, {1, 2, 2, 5}}, {loAscending, {3, 1, 2, 0}},  {loAscending, {1, nan, 0}},
        {loNone, {4, 1, 3}},         {loDescending, {5, 3, 3, 1}}, {loDescending, {1, 4, 2}},
    };
    for (const TCase& c : cases) {
        TChartSeries source(nullptr), byPoint(nullptr), read(nullptr);
        source.XValues()->SetOrder(loNone);
        byPoint.XValues()->SetOrder(c.Order);
        read.XValues()->SetOrder(c.Order);
        for (size_t i = 0; i < c.Xs.size(); ++i) {
            source.AddXY(c.Xs[i], 10.0 + double(i));
            byPoint.AddXY(c.Xs[i], 10.0 + double(i));
        }
        ReadInto(read, Written(source));
        ASSERT_EQ(read.Count(), byPoint.Count());
        for (int i = 0; i < read.Count(); ++i)
            for (int l = 0; l < 2; ++l) {
                const double a = read.ValuesList()->Get(l)->Value(i);
                const double b = byPoint.ValuesList()->Get(l)->Value(i);
                EXPECT_EQ(std::memcmp(&a, &b, 8), 0)
                    << "order " << c.Order << " list " << l << " point " << i << ": " << a
                    << " against " << b;
            }
    }
}
