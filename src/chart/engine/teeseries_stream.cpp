// Series point data in component streams: the "Data" block (content mask,
// count, one record a point), the data-source names and the custom axes.
#include "chart/engine/teeseries.h"

#include "chart/engine/teeaxis.h"
#include "chart/engine/teeaxispanel.h"
#include "chart/engine/teemarks.h"
#include "chart/engine/teesources.h"
#include "platform/classes/filer.h"
#include "platform/classes/streams.h"
#include "platform/rtl/rtlmath.h"
#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

static_assert(std::endian::native == std::endian::little, "point data is stored little-endian");

namespace {

constexpr uint8_t MaskNoMandatory = 1, MaskColor = 2, MaskLabel = 4, MaskMarkPosition = 8;
constexpr int MarkPositionSize = 34;
constexpr int MaxStoredLabel = 255;

// Bytes of one point's record, its label text aside.
size_t RecordSize(uint8_t Mask, int Lists) {
    size_t record = 8 + 8 * static_cast<size_t>(std::max(0, Lists - 2));
    if (Mask & MaskNoMandatory) record += 8;
    if (Mask & MaskColor) record += 4;
    if (Mask & MaskLabel) record += 1;
    if (Mask & MaskMarkPosition) record += MarkPositionSize;
    return record;
}

class TDataWriter {
public:
    template <typename T> void Put(T Value) {
        const size_t at = FBytes.size();
        FBytes.resize(at + sizeof(T));
        std::memcpy(FBytes.data() + at, &Value, sizeof(T));
    }
    void PutBytes(const char* Data, size_t Count) {
        FBytes.insert(FBytes.end(), Data, Data + Count);
    }
    void Reserve(size_t Count) { FBytes.reserve(Count); }
    const std::vector<uint8_t>& Bytes() const { return FBytes; }

private:
    std::vector<uint8_t> FBytes;
};

// Reads from a block held in memory; running past its end is the stream's read error.
class TDataReader {
public:
    // The rest of Stream: read in place from a memory stream, else copied.
    explicit TDataReader(TStream* Stream) {
        const int64_t available = std::max<int64_t>(0, Stream->Size() - Stream->Position());
        FSize = static_cast<size_t>(available);
        if (auto* memory = dynamic_cast<TMemoryStream*>(Stream)) {
            FBytes = static_cast<const uint8_t*>(memory->Memory()) + memory->Position();
            memory->Seek(available, soFromCurrent);
            return;
        }
        if (auto* block = dynamic_cast<TBinaryDataStream*>(Stream)) {
            FBytes = static_cast<const uint8_t*>(block->Memory()) + block->Position();
            block->Seek(available, soFromCurrent);
            return;
        }
        FOwned.reset(new uint8_t[FSize ? FSize : 1]);
        if (FSize) Stream->ReadBuffer(FOwned.get(), static_cast<int>(FSize));
        FBytes = FOwned.get();
    }
    template <typename T> T Get() {
        Need(sizeof(T));
        T value;
        std::memcpy(&value, FBytes + FPos, sizeof(T));
        FPos += sizeof(T);
        return value;
    }
    AnsiString GetText(size_t Count) {
        Need(Count);
        AnsiString text(reinterpret_cast<const char*>(FBytes + FPos), static_cast<int>(Count));
        FPos += Count;
        return text;
    }
    size_t Remaining() const { return FSize - FPos; }
    const uint8_t* Here() const { return FBytes + FPos; }
    void Need(size_t Count) const {
        if (Count > Remaining()) throw EReadError("Stream read error");
    }

private:
    std::unique_ptr<uint8_t[]> FOwned;
    const uint8_t* FBytes = nullptr;
    size_t FSize = 0;
    size_t FPos = 0;
};

} // namespace

// ---------------------------------------------------------------------------
// Content tests: every point counts, however long the series.

bool HasNoMandatoryValues(TChartSeries* Series) {
    if (!Series->HasXValues()) return false;
    const int count = Series->Count();
    if (count == 0) return false;
    const double* v = Series->NotMandatoryValues()->Data();
    for (int i = 0; i < count; ++i)
        if (v[i] != i) return true;
    return false;
}

bool HasColors(TChartSeries* Series) {
    const TColor own = Series->SeriesColor();
    for (int i = 0; i < Series->ColorCount(); ++i) {
        const TColor c = Series->InternalColor(i);
        if (c != clAutoColor && c != own) return true;
    }
    return false;
}

bool HasLabels(TChartSeries* Series) {
    TLabelsList* labels = Series->Labels();
    for (int i = 0; i < labels->Count(); ++i)
        if (!labels->GetLabel(i).IsEmpty()) return true;
    return false;
}

TeeFormatFlags SeriesGuessContents(TChartSeries* Series) {
    TeeFormatFlags result;
    if (HasNoMandatoryValues(Series)) result << tfNoMandatory;
    if (HasColors(Series)) result << tfColor;
    if (HasLabels(Series)) result << tfLabel;
    if (Series->Marks() && Series->Marks()->Positions()->ExistCustom()) result << tfMarkPosition;
    return result;
}

// ---------------------------------------------------------------------------
// Stream properties

void TChartSeries::DefineProperties(TFiler* Filer) {
    TCustomChartSeries::DefineProperties(Filer);
    Filer->DefineProperty(
        "DataSources", [this](TReader* R) { ReadDataSources(R); },
        [this](TWriter* W) { WriteDataSources(W); }, FDataSources.size() > 1);
    Filer->DefineProperty(
        "CustomHorizAxis", [this](TReader* R) { ReadCustomHorizAxis(R); },
        [this](TWriter* W) { WriteCustomHorizAxis(W); }, FCustomHorizAxis != nullptr);
    Filer->DefineProperty(
        "CustomVertAxis", [this](TReader* R) { ReadCustomVertAxis(R); },
        [this](TWriter* W) { WriteCustomVertAxis(W); }, FCustomVertAxis != nullptr);
    Filer->DefineBinaryProperty(
        "Data", [this](TStream* S) { ReadData(S); }, [this](TStream* S) { WriteData(S); },
        FForceSaveData || (FManualData && !FDontSaveData));
}

void TChartSeries::WriteDataSources(TWriter* Writer) {
    Writer->WriteListBegin();
    for (TComponent* source : FDataSources)
        Writer->WriteString(source->Name());
    Writer->WriteListEnd();
}

void TChartSeries::ReadDataSources(TReader* Reader) {
    Reader->ReadListBegin();
    FDataSourceNames = std::make_unique<std::vector<AnsiString>>();
    while (!Reader->EndOfList())
        FDataSourceNames->push_back(Reader->ReadString());
    Reader->ReadListEnd();
}

namespace {
TChartAxis* CustomAxisAt(TCustomAxisPanel* Chart, int Index) {
    if (!Chart) throw EReadError("Custom axis without a chart");
    return static_cast<TChartAxis*>(Chart->CustomAxes()->Items(Index));
}
} // namespace

void TChartSeries::ReadCustomHorizAxis(TReader* Reader) {
    SetCustomHorizAxis(CustomAxisAt(ParentChart(), Reader->ReadInteger()));
}

void TChartSeries::ReadCustomVertAxis(TReader* Reader) {
    SetCustomVertAxis(CustomAxisAt(ParentChart(), Reader->ReadInteger()));
}

void TChartSeries::WriteCustomHorizAxis(TWriter* Writer) {
    Writer->WriteInteger(FCustomHorizAxis->Index());
}

void TChartSeries::WriteCustomVertAxis(TWriter* Writer) {
    Writer->WriteInteger(FCustomVertAxis->Index());
}

// ---------------------------------------------------------------------------
// "Data"

void TChartSeries::WriteData(TStream* Stream) {
    const TeeFormatFlags flags = SeriesGuessContents(this);
    const uint8_t mask = static_cast<uint8_t>(flags.Bits());
    const int count = Count();
    const int lists = FValuesList->Count();
    TSeriesMarksPositions* positions = FMarks->Positions();

    const size_t record = RecordSize(mask, lists);
    if (lists == 2 && (mask & ~MaskNoMandatory) == 0) {
        // Plain X and Y records straight from the value arrays.
        const size_t size = 5 + record * static_cast<size_t>(count);
        // Straight into a memory stream's own bytes: no block to copy over.
        auto* memory = dynamic_cast<TMemoryStream*>(Stream);
        std::unique_ptr<uint8_t[]> block(memory ? nullptr : new uint8_t[size]);
        uint8_t* p =
            memory ? static_cast<uint8_t*>(memory->Room(static_cast<int64_t>(size))) : block.get();
        p[0] = mask;
        const int32_t n = count;
        std::memcpy(p + 1, &n, 4);
        p += 5;
        const double* notMandatory = FNotMandatory->Data();
        const double* mandatory = FMandatory->Data();
        for (int i = 0; i < count; ++i) {
            if (mask & MaskNoMandatory) {
                std::memcpy(p, notMandatory + i, 8);
                p += 8;
            }
            std::memcpy(p, mandatory + i, 8);
            p += 8;
        }
        if (memory)
            memory->Seek(static_cast<int64_t>(size), soFromCurrent);
        else
            Stream->WriteBuffer(block.get(), static_cast<int>(size));
        return;
    }
    TDataWriter out;
    out.Reserve(5 + record * static_cast<size_t>(count));
    out.Put<uint8_t>(mask);
    out.Put<int32_t>(count);
    for (int i = 0; i < count; ++i) {
        if (mask & MaskNoMandatory) out.Put<double>(FNotMandatory->Value(i));
        out.Put<double>(FMandatory->Value(i));
        if (mask & MaskColor) out.Put<int32_t>(InternalColor(i));
        if (mask & MaskLabel) {
            // Longer labels are cut; a wrapped length byte would garble the rest.
            const AnsiString label = FLabels->GetLabel(i);
            const int n = std::min(label.Length(), MaxStoredLabel);
            out.Put<uint8_t>(static_cast<uint8_t>(n));
            out.PutBytes(label.data(), static_cast<size_t>(n));
        }
        for (int l = 2; l < lists; ++l)
            out.Put<double>(FValuesList->Get(l)->Value(i));
        if (mask & MaskMarkPosition) {
            TSeriesMarkPosition empty;
            const TSeriesMarkPosition* p = positions->Get(i);
            if (!p) p = &empty;
            out.Put<int32_t>(p->ArrowFrom.x);
            out.Put<int32_t>(p->ArrowFrom.y);
            out.Put<uint8_t>(p->ArrowFix ? 1 : 0);
            out.Put<int32_t>(p->ArrowTo.x);
            out.Put<int32_t>(p->ArrowTo.y);
            out.Put<uint8_t>(p->Custom ? 1 : 0);
            out.Put<int32_t>(p->Height);
            out.Put<int32_t>(p->LeftTop.x);
            out.Put<int32_t>(p->LeftTop.y);
            out.Put<int32_t>(p->Width);
        }
    }
    Stream->WriteBuffer(out.Bytes().data(), static_cast<int>(out.Bytes().size()));
}

bool TChartSeries::ReadPlainData(const uint8_t* Records, int Count, bool WithX, bool Horizontal) {
    const size_t stride = WithX ? 16 : 8;
    const auto value = [Records, stride](size_t Offset, int i) {
        double v;
        std::memcpy(&v, Records + size_t(i) * stride + Offset, 8);
        return v;
    };
    // Columns by offset in the record; the index when a record has no X.
    const bool xIndex = !WithX && !Horizontal, yIndex = !WithX && Horizontal;
    const size_t xAt = WithX && Horizontal ? 8 : 0, yAt = WithX && !Horizontal ? 8 : 0;
    const auto x = [&](int i) { return xIndex ? double(i) : value(xAt, i); };
    const auto y = [&](int i) { return yIndex ? double(i) : value(yAt, i); };
    const TChartListOrder order = FX->Order();
    // Ascending X read from the records is checked as its column goes in (one
    // pass over the block, not two); out of order, the column is taken back.
    const bool checkAsYouGo = order == loAscending && !xIndex;
    if (order == loDescending) {
        for (int i = 1; i < Count; ++i)
            if (x(i - 1) < x(i)) return false;
    }
    // One column of the records at a fixed offset: a loop the compiler can
    // keep free of the per-point index and layout tests.
    const auto column = [&](TChartValueList* List, bool Index, size_t At) {
        if (Index)
            List->AppendValues(Count, [](int i) { return double(i); });
        else if (WithX)
            List->AppendValues(Count, [Records, At](int i) {
                double v;
                std::memcpy(&v, Records + size_t(i) * 16 + At, 8);
                return v;
            });
        else
            List->AppendValues(Count, [Records](int i) {
                double v;
                std::memcpy(&v, Records + size_t(i) * 8, 8);
                return v;
            });
    };
    // The common record, X then Y in the list's order or none: both columns in
    // one pass over the block.
    const bool pairs = WithX && !Horizontal && order != loDescending;
    if (pairs) {
        bool falls = false;
        double previous = -std::numeric_limits<double>::infinity();
        TChartValueList::AppendPairs(*FX, *FY, Count, [&](int i, double& X, double& Y) {
            std::memcpy(&X, Records + size_t(i) * 16, 8);
            std::memcpy(&Y, Records + size_t(i) * 16 + 8, 8);
            falls |= previous > X;
            previous = X;
        });
        if (falls && checkAsYouGo) {
            FX->ClearValues();
            FY->ClearValues();
            return false;
        }
    } else if (checkAsYouGo) {
        bool falls = false;
        double previous = -std::numeric_limits<double>::infinity();
        FX->AppendValues(Count, [&](int i) {
            double v;
            std::memcpy(&v, Records + size_t(i) * stride + xAt, 8);
            // NaN compares false both ways, as the separate check had it.
            falls |= previous > v;
            previous = v;
            return v;
        });
        if (falls) {
            FX->ClearValues();
            return false;
        }
    } else {
        column(FX, xIndex, xAt);
    }
    if (!pairs) column(FY, yIndex, yAt);
    FX->SetTempValue(x(Count - 1));
    FY->SetTempValue(y(Count - 1));
    FManualData = true;
    return true;
}

namespace {
thread_local TChartSeries::TPointHandOver* CurrentHandOver = nullptr;
}

TChartSeries::TPointHandOver::TPointHandOver(std::vector<TChartSeries*>& Filled, bool Take)
    : FFilled(Filled), FTake(Take), FOuter(CurrentHandOver) {
    CurrentHandOver = this;
}

TChartSeries::TPointHandOver::~TPointHandOver() {
    CurrentHandOver = FOuter;
}

void TChartSeries::ReadData(TStream* Stream) {
    // The stored points are the series' own: a handler that filters what is
    // added later (bound from the same file, or by the form) refuses none of them.
    TSeriesOnBeforeAdd beforeAdd = std::move(OnBeforeAdd);
    OnBeforeAdd = nullptr;
    TTeeFinally rebind([&] { OnBeforeAdd = std::move(beforeAdd); });
    // Reading points keeps the lists' settings, whatever Clear does to them.
    std::vector<TChartListOrder> orders;
    for (int l = 0; l < FValuesList->Count(); ++l)
        orders.push_back(FValuesList->Get(l)->Order());
    Clear();
    for (int l = 0; l < FValuesList->Count(); ++l)
        FValuesList->Get(l)->SetOrder(orders[static_cast<size_t>(l)]);
    TDataReader in(Stream);

    const uint8_t mask = in.Get<uint8_t>();
    const int32_t count = in.Get<int32_t>();
    const bool horizontal = FMandatory != FY;
    const int lists = FValuesList->Count();
    const size_t record = RecordSize(mask, lists);
    // The count is checked against the block before anything is added.
    if (count < 0 || static_cast<uint64_t>(count) * record > in.Remaining())
        throw EReadError("Stream read error");

    TChartSeries* donor = nullptr;
    TPointHandOver* noting = nullptr;
    if (TPointHandOver* h = CurrentHandOver) {
        if (!h->FTake) {
            noting = h;
            h->FFilled.push_back(nullptr);
        } else if (h->FNext < h->FFilled.size()) {
            donor = h->FFilled[h->FNext++];
        }
    }
    // The donor took these very records whole, in the same list orders, so
    // its points are the ones this read would give.
    if (donor && donor != this && lists == 2 && (mask & ~MaskNoMandatory) == 0 && count > 0 &&
        donor->FValuesList->Count() == 2 && donor->FX->Count() == count &&
        donor->FY->Count() == count && donor->FX->Order() == FX->Order() &&
        donor->FY->Order() == FY->Order() && donor->Count() == count) {
        FX->SwapValues(*donor->FX);
        FY->SwapValues(*donor->FY);
        FX->SetTempValue(donor->FX->TempValue());
        FY->SetTempValue(donor->FY->TempValue());
        FManualData = true;
        return;
    }

    // Plain X and Y records, the X in the order its list keeps: the columns
    // go in whole, as adding them point by point would place them.
    if (lists == 2 && (mask & ~MaskNoMandatory) == 0 && count > 0 &&
        ReadPlainData(in.Here(), count, (mask & MaskNoMandatory) != 0, horizontal)) {
        if (noting) noting->FFilled.back() = this;
        return;
    }
    TSeriesMarksPositions* positions = FMarks->Positions();
    BeginUpdate();
    {
        // A damaged block never leaves the series deaf to later changes.
        TTeeFinally end([this] { EndUpdate(); });
        // Unstored X is the point's index, counted down in a falling list so
        // the points keep the order they were written in.
        const bool falling = FNotMandatory->Order() == loDescending;
        for (int i = 0; i < count; ++i) {
            double first = (mask & MaskNoMandatory) ? in.Get<double>() : falling ? count - 1 - i : i;
            double second = in.Get<double>();
            if (horizontal) std::swap(first, second);
            const TColor color = (mask & MaskColor) ? in.Get<int32_t>() : clAutoColor;
            AnsiString label;
            if (mask & MaskLabel) label = in.GetText(in.Get<uint8_t>());
            for (int l = 2; l < lists; ++l)
                FValuesList->Get(l)->SetTempValue(in.Get<double>());
            AddXY(first, second, label, color);
            if (mask & MaskMarkPosition) {
                // Stored pixels go into mark arithmetic: kept within the pixel limit.
                const auto pixel = [&in] { return PixelPos(in.Get<int32_t>()); };
                TSeriesMarkPosition p;
                p.ArrowFrom.x = pixel();
                p.ArrowFrom.y = pixel();
                p.ArrowFix = in.Get<uint8_t>() != 0;
                p.ArrowTo.x = pixel();
                p.ArrowTo.y = pixel();
                p.Custom = in.Get<uint8_t>() != 0;
                p.Height = pixel();
                p.LeftTop.x = pixel();
                p.LeftTop.y = pixel();
                p.Width = pixel();
                TSeriesMarkPosition* entry = positions->Ensure(positions->Count());
                *entry = p;
            }
        }
    }
    FManualData = true;
}
