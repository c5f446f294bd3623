#pragma once
// Series marks (unit Teengine): the labelled boxes a series draws beside its points.
//   TSeriesMarkPosition, TSeriesMarksPositions   where each mark was (or is to be) drawn
//   TMarksItem, TMarksItems                      per-point look
//   TSeriesMarksGradient, TSeriesMarks           the shared look, layout, drawing, hit test
//   TMarksPlacement                              one drawing's marks kept clear of each other
#include "chart/engine/teepointer.h"
#include "chart/engine/teeseries.h"
#include "platform/classes/lists.h"
#include <memory>

class TChartSeries;
class TSeriesMarks;
class TCustomAxisPanel;

class TSeriesMarkPosition {
public:
    TPoint ArrowFrom{0, 0};
    bool ArrowFix = false;
    TPoint ArrowTo{0, 0};
    bool Custom = false;
    int Height = 0;
    TPoint LeftTop{0, 0};
    int Width = 0;

    // Everything but ArrowFix and Custom.
    void Assign(const TSeriesMarkPosition& Source);
    TRect Bounds() const {
        return TRect(LeftTop.x, LeftTop.y, LeftTop.x + Width, LeftTop.y + Height);
    }
};

// One entry per point index; entries may be absent. Owns its entries.
class TSeriesMarksPositions : public TList {
    QM_CLASS(TSeriesMarksPositions)
public:
    ~TSeriesMarksPositions() override;
    // Creates the entry when absent; it becomes custom and takes Position's values.
    void Put(int Index, const TSeriesMarkPosition& Position);
    // nullptr beyond the list or for an absent entry.
    TSeriesMarkPosition* Get(int Index) const;
    TSeriesMarkPosition* operator[](int Index) const { return Get(Index); }
    // Makes sure entry Index exists (a new entry is not custom).
    TSeriesMarkPosition* Ensure(int Index);
    void Automatic(int Index);
    bool ExistCustom() const;
    // Frees the entry; raises EListError for an index out of range.
    void Delete(int Index);
    void Clear() override;
};

class TMarksItem : public TTeeCustomShape {
    QM_CLASS(TMarksItem)
public:
    explicit TMarksItem(TCustomTeePanel* AOwner = nullptr);
};

// Per-point looks; Get creates a missing item. Owns its items.
class TMarksItems : public TList {
    QM_CLASS(TMarksItems)
public:
    explicit TMarksItems(TSeriesMarks* AMarks) : FMarks(AMarks) {}
    ~TMarksItems() override;
    // Creates the item (and the entries before it) when missing; Index >= 0.
    TMarksItem* Get(int Index);
    TMarksItem* operator[](int Index) { return Get(Index); }
    // The item when it exists, nullptr otherwise.
    TMarksItem* Find(int Index) const;
    void Delete(int Index);
    void Clear() override;
    bool Loaded() const { return FLoaded; }
    void SetLoaded(bool Value) { FLoaded = Value; }
    TSeriesMarks* Marks() const { return FMarks; }

private:
    TSeriesMarks* FMarks;
    bool FLoaded = false;
};

class TSeriesMarksGradient : public TTeeGradient {
    QM_CLASS(TSeriesMarksGradient)
public:
    explicit TSeriesMarksGradient(TNotifyEvent ChangedEvent = nullptr);
};

class TSeriesMarks : public TTeeCustomShape {
    QM_CLASS(TSeriesMarks)
public:
    explicit TSeriesMarks(TChartSeries* AOwner = nullptr);
    ~TSeriesMarks() override;
    void Assign(TPersistent* Source) override;
    void DefineProperties(TFiler* Filer) override;

    int Angle() const { return FAngle; }
    void SetAngle(int Value);
    TWhitePen* Arrow() const { return FCallout->Arrow(); }
    void SetArrow(TWhitePen* Value) { FCallout->SetArrow(Value); }
    int ArrowLength() const { return FCallout->Length(); }
    void SetArrowLength(int Value) { FCallout->SetLength(Value); }
    TMarksCallout* Callout() const { return FCallout.get(); }
    void SetCallout(TMarksCallout* Value);
    TColor BackColor() const { return Color(); }
    void SetBackColor(TColor Value) { SetColor(Value); }
    bool Clip() const { return FClip; }
    void SetClip(bool Value);
    int DrawEvery() const { return FDrawEvery; }
    // Values below 1 count as 1 wherever the marks are drawn or hit-tested.
    void SetDrawEvery(int Value);
    TChartPen* Frame() const { return Pen(); }
    bool MultiLine() const { return FMultiLine; }
    void SetMultiLine(bool Value);
    TSeriesMarksStyle Style() const { return FMarkerStyle; }
    void SetStyle(TSeriesMarksStyle Value);

    // The chart of the series (the callout and the per-point looks follow it).
    void SetParentChart(TCustomAxisPanel* Value);
    TMarksItems* Items() const { return FItems.get(); }
    TChartSeries* ParentSeries() const { return FParentSeries; }
    TSeriesMarksPositions* Positions() const { return FPositions.get(); }
    // Depth of the marks' plane, set by the chart for every frame.
    int ZPosition = 0;

    // The per-point item when it exists, else the marks themselves.
    TTeeCustomShape* MarkItem(int ValueIndex) const;
    void ResetPositions();
    void Clear();
    void UsePosition(int Index, TSeriesMarkPosition& MarkPosition);
    void ApplyArrowLength(TSeriesMarkPosition& APosition) const;
    // Moves the mark up or down clear of each stored mark from First to
    // ValueIndex - 1 that it overlaps, by the sum of the distances.
    void AntiOverlap(int First, int ValueIndex, TSeriesMarkPosition& APosition);
    // While a placement is open (TMarksPlacement), AntiOverlap keeps the marks
    // it met by where they lie instead of reading every earlier one again, so
    // n marks take about n steps, not n x n: only the drawing of the marks, in
    // index order, may change the stored positions meanwhile.
    void BeginPlacement();
    void EndPlacement();
    void InternalDraw(int Index, TColor AColor, const AnsiString& St,
                      TSeriesMarkPosition& APosition);
    void DrawText(const TRect& R, const AnsiString& St);
    void ConvertTo2D(const TSeriesMarkPosition& Point, TPoint& P) const;
    int TextWidth(int ValueIndex);
    // The index of the mark at (X, Y), -1 when none.
    int Clicked(int X, int Y);
    int Clicked(const TPoint& P) { return Clicked(P.x, P.y); }

protected:
    std::unique_ptr<TTeeGradient> NewGradient() override;

private:
    void Repaint();
    TRect OverlapRect(const TSeriesMarkPosition& P) const;
    struct TPlacement;
    std::unique_ptr<TPlacement> FPlacement;
    int FPlacing = 0;
    void ReadItems(TStream* Stream);
    void WriteItems(TStream* Stream);
    int FAngle = 0;
    std::unique_ptr<TMarksCallout> FCallout;
    bool FClip = false;
    int FDrawEvery = 1;
    bool FMultiLine = false;
    TSeriesMarksStyle FMarkerStyle = smsLabel;
    std::unique_ptr<TMarksItems> FItems;
    TChartSeries* FParentSeries = nullptr;
    std::unique_ptr<TSeriesMarksPositions> FPositions;
};

// Keeps the marks of one drawing of a series clear of each other in about as
// many steps as there are marks (see TSeriesMarks::BeginPlacement).
class TMarksPlacement {
public:
    explicit TMarksPlacement(TSeriesMarks* Marks) : FMarks(Marks) { FMarks->BeginPlacement(); }
    ~TMarksPlacement() { FMarks->EndPlacement(); }
    TMarksPlacement(const TMarksPlacement&) = delete;
    TMarksPlacement& operator=(const TMarksPlacement&) = delete;

private:
    TSeriesMarks* FMarks;
};
