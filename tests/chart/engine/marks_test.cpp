#include "axis_fixture.h"
#include "platform/classes/filer.h"
#include "platform/classes/streams.h"
#include <map>

namespace {
// Catches what a class defines in DefineProperties.
class TCaptureFiler : public TFiler {
public:
    TCaptureFiler() : TFiler(nullptr, 0) {}
    struct Binary {
        TStreamProc Read, Write;
        bool HasData = false;
    };
    std::map<std::string, Binary> Binaries;
    void DefineProperty(const AnsiString&, const TReaderProc&, const TWriterProc&, bool) override {}
    void DefineBinaryProperty(const AnsiString& Name, const TStreamProc& ReadData,
                              const TStreamProc& WriteData, bool HasData) override {
        Binaries[Name.str()] = {ReadData, WriteData, HasData};
    }
};

TSeriesMarkPosition Box(int Left, int Top, int Width = 40, int Height = 20) {
    TSeriesMarkPosition p;
    p.LeftTop = TPoint(Left, Top);
    p.Width = Width;
    p.Height = Height;
    p.ArrowTo = TPoint(Left + Width / 2, Top + Height);
    p.ArrowFrom = p.ArrowTo;
    return p;
}
} // namespace

class MarksTest : public AxisPanelTest {
protected:
    MarksTest() {
        S = AddSeries();
        M = S->Marks();
        M->Shadow()->SetSize(0);
    }
    TAxisTestSeries* S;
    TSeriesMarks* M;
};

TEST_F(MarksTest, PositionsListKeepsCustomPlaces) {
    TSeriesMarksPositions* p = M->Positions();
    EXPECT_EQ(p->Get(5), nullptr);
    p->Put(3, Box(10, 10));
    EXPECT_EQ(p->Count(), 4);
    EXPECT_EQ(p->Get(0), nullptr);
    ASSERT_NE(p->Get(3), nullptr);
    EXPECT_TRUE(p->Get(3)->Custom);
    EXPECT_TRUE(p->ExistCustom());

    // A computed position gives way to the custom one, arrow start included,
    // unless the computed one fixes its arrow.
    TSeriesMarkPosition computed = Box(100, 100);
    M->UsePosition(3, computed);
    EXPECT_EQ(computed.LeftTop, TPoint(10, 10));
    TSeriesMarkPosition fixed = Box(100, 100);
    fixed.ArrowFix = true;
    M->UsePosition(3, fixed);
    EXPECT_EQ(fixed.LeftTop, TPoint(10, 10));
    EXPECT_EQ(fixed.ArrowFrom, TPoint(120, 120));

    M->ResetPositions();
    EXPECT_FALSE(p->ExistCustom());
    TSeriesMarkPosition again = Box(100, 100);
    M->UsePosition(3, again);
    EXPECT_EQ(again.LeftTop, TPoint(100, 100));
    EXPECT_EQ(p->Get(3)->LeftTop, TPoint(100, 100));
    p->Delete(0);
    EXPECT_EQ(p->Count(), 3);
    EXPECT_THROW(p->Delete(7), EListError);
}

TEST_F(MarksTest, ClickedHonoursDrawEvery) {
    for (int i = 0; i < 4; ++i) {
        TSeriesMarkPosition b = Box(i * 50, 0);
        M->UsePosition(i, b);
    }
    EXPECT_EQ(M->Clicked(60, 5), 1);
    EXPECT_EQ(M->Clicked(500, 5), -1);
    M->SetDrawEvery(2);
    EXPECT_EQ(M->Clicked(60, 5), -1);
    EXPECT_EQ(M->Clicked(110, 5), 2);
    // Below 1 counts as every mark, never a division by zero.
    M->SetDrawEvery(0);
    EXPECT_EQ(M->Clicked(60, 5), 1);
    M->SetDrawEvery(-3);
    EXPECT_EQ(M->Clicked(160, 5), 3);
}

TEST_F(MarksTest, OverlappingMarksMoveAboveOrBelow) {
    TSeriesMarkPosition first = Box(100, 100);
    M->UsePosition(0, first);
    // Higher than the first and overlapping: pushed up above it (boxes count
    // their one-pixel frame).
    TSeriesMarkPosition higher = Box(110, 95);
    M->AntiOverlap(0, 1, higher);
    EXPECT_EQ(higher.LeftTop.y + higher.Height + 1, 100);
    EXPECT_EQ(higher.ArrowTo.y, 115 - 16);
    // At or below it: pushed down below it.
    TSeriesMarkPosition lower = Box(110, 108);
    M->AntiOverlap(0, 1, lower);
    EXPECT_EQ(lower.LeftTop.y, 100 + 20 + 1);
    // Apart: unchanged.
    TSeriesMarkPosition apart = Box(300, 100);
    M->AntiOverlap(0, 1, apart);
    EXPECT_EQ(apart.LeftTop.y, 100);
}

// Within one placement each mark moves by the sum of its overlaps with every
// stored mark before it, as when each is compared with all of them: marks of
// every size, some dragged past their own corner or far wider than the rest,
// a frame that widens half-way, and the marks placed again from a later first.
TEST_F(MarksTest, PlacementMovesEachMarkAsComparingItWithEveryEarlierOneDoes) {
    uint32_t seed = 7;
    const auto next = [&seed](int Range) {
        seed = seed * 1664525u + 1013904223u;
        return int((seed >> 8) % uint32_t(Range));
    };
    const auto expectedLift = [&](const TSeriesMarkPosition& P, int First, int ValueIndex) {
        const int pen = M->Pen()->Width();
        const auto rect = [pen](const TSeriesMarkPosition& Q) {
            TRect r = Q.Bounds();
            r.Right += pen;
            r.Bottom += pen;
            return r;
        };
        const TRect r = rect(P);
        int lift = 0;
        for (int k = First; k < ValueIndex; ++k) {
            const TSeriesMarkPosition* other = M->Positions()->Get(k);
            if (!other) continue;
            const TRect o = rect(*other);
            if (r.Left < o.Right && o.Left < r.Right && r.Top < o.Bottom && o.Top < r.Bottom)
                lift += o.Top > r.Top ? r.Bottom - o.Top : r.Top - o.Bottom;
        }
        return lift;
    };
    const TMarksPlacement placement(M);
    int moved = 0;
    for (int first : {0, 150}) {
        for (int i = first; i < 400; ++i) {
            SCOPED_TRACE(i);
            if (i == 200) M->Pen()->SetWidth(3);
            const int kind = next(20);
            const int w = kind == 0 ? 50000 : kind == 1 ? -40 : 10 + next(60);
            const int h = kind == 2 ? -25 : 8 + next(30);
            TSeriesMarkPosition p = Box(next(600) - 100, next(400) - 50, w, h);
            if (i % 17 == 3) continue; // no mark there
            const int lift = expectedLift(p, first, i);
            const int top = p.LeftTop.y, arrow = p.ArrowTo.y;
            M->AntiOverlap(first, i, p);
            EXPECT_EQ(p.LeftTop.y, top - lift);
            EXPECT_EQ(p.ArrowTo.y, arrow - lift);
            moved += lift != 0;
            M->UsePosition(i, p);
        }
    }
    EXPECT_GT(moved, 300);
}

TEST_F(MarksTest, ArrowLengthLiftsTheMark) {
    TSeriesMarkPosition p = Box(0, 100);
    M->Callout()->SetDistance(3);
    M->ApplyArrowLength(p);
    EXPECT_EQ(p.LeftTop.y, 100 - 11);
    EXPECT_EQ(p.ArrowTo.y, 120 - 11);
    EXPECT_EQ(p.ArrowFrom.y, 120 - 3);
}

TEST_F(MarksTest, ItemsStreamOnlyWhenThereAreItems) {
    TCaptureFiler none;
    M->DefineProperties(&none);
    EXPECT_FALSE(none.Binaries["Items"].HasData);

    M->Items()->Get(2)->SetColor(clRed);
    M->Items()->Get(2)->SetTransparent(true);
    EXPECT_EQ(M->Items()->Count(), 3);
    EXPECT_EQ(M->MarkItem(2), M->Items()->Get(2));
    EXPECT_EQ(M->MarkItem(1), M->Items()->Get(1));
    TCaptureFiler filer;
    M->DefineProperties(&filer);
    ASSERT_TRUE(filer.Binaries["Items"].HasData);
    TMemoryStream stream;
    filer.Binaries["Items"].Write(&stream);

    TAxisTestSeries other;
    TCaptureFiler reader;
    other.Marks()->DefineProperties(&reader);
    stream.Seek(0, soBeginning);
    reader.Binaries["Items"].Read(&stream);
    TMarksItems* items = other.Marks()->Items();
    ASSERT_EQ(items->Count(), 3);
    EXPECT_EQ(items->Get(2)->Color(), clRed);
    EXPECT_TRUE(items->Get(2)->Transparent());
    EXPECT_EQ(items->Get(0)->Color(), clInfoBk);
    // Items read from a stream survive Clear.
    other.Marks()->Clear();
    EXPECT_EQ(items->Count(), 3);
    M->Clear();
    EXPECT_EQ(M->Items()->Count(), 0);
}

TEST_F(MarksTest, DamagedItemsCountIsRefused) {
    TMemoryStream stream;
    const int32_t huge = 1 << 30;
    stream.Write(&huge, 4);
    TCaptureFiler reader;
    M->DefineProperties(&reader);
    stream.Seek(0, soBeginning);
    EXPECT_THROW(reader.Binaries["Items"].Read(&stream), EReadError);
    EXPECT_EQ(M->Items()->Count(), 0);
}

TEST_F(MarksTest, MarksDrawnInAFrame) {
    S->AddXY(10, 10, "ten");
    S->AddXY(20, 30);
    S->AddXY(30, 20);
    M->SetVisible(true);
    M->Callout()->Arrow()->SetVisible(false);
    Canvas->Forward = false;
    DrawFrame();
    const auto texts = Canvas->Find("TextOut", 0);
    std::vector<std::string> marks;
    for (const auto& t : texts)
        marks.push_back(t.Text);
    ASSERT_EQ(marks.size(), 3u);
    // Centred over the point, standing on it (series types add the arrow length).
    const int x = S->CalcXPos(0);
    const int y = S->CalcYPos(0);
    const int width = 3 * 6 + 6 + 2, height = 10 + 2;
    const TSeriesMarkPosition* p = M->Positions()->Get(0);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->LeftTop, TPoint(x - width / 2, y - height + 1));
    EXPECT_EQ(marks[0], "TextOut(" + std::to_string(x - width / 2 + width / 2) + "," +
                            std::to_string(p->LeftTop.y + 2 + 1) + ",\"ten\")");
}

TEST_F(MarksTest, ItemsFollowTheirSeriesFromChartToChart) {
    TAxisTestSeries loose;
    TMarksItem* early = loose.Marks()->Items()->Get(0);
    EXPECT_EQ(early->ParentChart(), nullptr);
    loose.SetParentChart(Chart.get());
    EXPECT_EQ(early->ParentChart(), Chart.get());

    TMarksItem* item = M->Items()->Get(1);
    auto other = std::make_unique<TAxisTestChart>();
    S->SetParentChart(other.get());
    EXPECT_EQ(item->ParentChart(), other.get());
    EXPECT_EQ(M->Items()->Get(0)->ParentChart(), other.get());
    EXPECT_EQ(M->Callout()->ParentChart(), other.get());
    S->SetParentChart(nullptr);
    EXPECT_EQ(item->ParentChart(), nullptr);
    loose.SetParentChart(nullptr);
    EXPECT_EQ(early->ParentChart(), nullptr);
}
