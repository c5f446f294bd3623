#pragma once
// Small engine pieces several others lean on (unit Teengine).
//   TTeeSeriesSource, TeeSources      data-source components that fill a series
//   TLabelsList                       per-point label texts of a series
//   SeriesTitleOrName, FillSeriesItems, ShowMessageUser   helpers for editors and legends
// The engine's start-up (pixel limit, streamed classes) is in teesources.cpp.
#include "platform/classes/component.h"
#include "platform/classes/lists.h"
#include "platform/classes/watched.h"
#include "platform/rtl/ansistring.h"
#include <vector>

class TChartSeries;
class TCustomAxisPanel;
class TStrings;

class TTeeSeriesSource : public TComponent {
    QM_CLASS(TTeeSeriesSource)
public:
    explicit TTeeSeriesSource(TComponent* AOwner);
    ~TTeeSeriesSource() override;

    bool Active() const { return FActive; }
    virtual void SetActive(bool Value);
    TChartSeries* Series() const { return FSeries; }
    void SetSeries(TChartSeries* Value);

    virtual void Close();
    // Reads the data and adds the points to Series.
    virtual void Load() = 0;
    virtual void Open();
    void Refresh();
    void Loaded() override;

    // Class-level answers; each source class registers one of these.
    static bool Available(TCustomAxisPanel* AChart) {
        (void)AChart;
        return true;
    }
    static AnsiString Description() { return AnsiString(); }
    static bool HasNew() { return false; }
    // Whether the data source of ASeries is of this object's class.
    bool HasSeries(TChartSeries* ASeries) const;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    bool FActive = false;
    TWatched<TChartSeries> FSeries;
};

// A registered source class with its class-level answers, for the editors.
struct TTeeSourceClass {
    TClass Class = nullptr;
    bool (*Available)(TCustomAxisPanel* AChart) = nullptr;
    AnsiString (*Description)() = nullptr;
    // Whether it keeps items of its own (the editor's New, Edit and Delete).
    bool (*HasNew)() = nullptr;
    // Class name of the form that edits a source of this class.
    AnsiString EditorClass;
};

// Registered source classes (created on first use).
std::vector<TTeeSourceClass>& TeeSources();
template <typename T> void RegisterTeeSource(const AnsiString& EditorClass) {
    TeeSources().push_back(
        {&T::ClassInfo, &T::Available, &T::Description, &T::HasNew, EditorClass});
}

// One optional text per point index; owns its texts. Indexes without an entry
// read as no label; the list never needs to be as long as the series.
class TLabelsList : public TList {
    QM_CLASS(TLabelsList)
public:
    explicit TLabelsList(TChartSeries* AOwner = nullptr) : FOwner(AOwner) {}
    ~TLabelsList() override;
    void Assign(TLabelsList* Source);

    AnsiString GetLabel(int Index) const;
    // Raises EListError for a negative index.
    void SetLabel(int Index, const AnsiString& Text);
    void InsertLabel(int Index, const AnsiString& Text);
    // Raises EListError for an index out of range.
    void DeleteLabel(int Index);
    void Clear() override;
    int IndexOfLabel(const AnsiString& Text, bool CaseSensitive = true) const;
    TChartSeries* Owner() const { return FOwner; }

private:
    AnsiString* Entry(int Index) const { return static_cast<AnsiString*>(Items(Index)); }
    TChartSeries* FOwner;
};

// Title, else component name, else "Series" and the position in its chart.
AnsiString SeriesTitleOrName(TChartSeries* ASeries);
// Appends every series of the chart (except internal ones) with itself as object.
void FillSeriesItems(TStrings* AItems, TCustomAxisPanel* AChart);
// A stop box with an empty caption; the program goes on.
void ShowMessageUser(const AnsiString& S);
