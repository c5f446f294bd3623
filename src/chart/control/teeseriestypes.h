#pragma once
// The process-wide lists of series, function and tool types, and the routines
// that create, clone and re-type series with correct names, links and tool
// references. Units register their classes at start-up; chart files find them
// by class name through the same registration.
#include "chart/control/chart.h"
#include "platform/forms/controls.h"
#include <initializer_list>
#include <memory>
#include <vector>

// One gallery entry: a series type (SeriesClass only) or a function type
// (FunctionClass only). The texts are referenced, not copied, so a change of
// the message language shows at once.
class TTeeSeriesType : public TObject {
    QM_CLASS(TTeeSeriesType)
public:
    TClass SeriesClass = nullptr;
    TClass FunctionClass = nullptr;
    const AnsiString* Description = nullptr;
    const AnsiString* GalleryPage = nullptr;
    int NumGallerySeries = 1;

    AnsiString DescriptionText() const { return Description ? *Description : AnsiString(); }
    AnsiString GalleryPageText() const { return GalleryPage ? *GalleryPage : AnsiString(); }
};

class TTeeSeriesTypes {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    // Raises EListError outside 0..Count-1.
    TTeeSeriesType* Get(int Index) const;
    TTeeSeriesType* operator[](int Index) const { return Get(Index); }
    void Clear() { FItems.clear(); }
    // The first entry of that series class without a function class, or nullptr.
    TTeeSeriesType* Find(TClass ASeriesClass) const;
    // The entry of exactly this pair, or nullptr.
    TTeeSeriesType* FindPair(TClass ASeriesClass, TClass AFunctionClass) const;
    void Append(std::unique_ptr<TTeeSeriesType> Item) { FItems.push_back(std::move(Item)); }
    // Removes and frees every entry the predicate accepts.
    template <typename P> void RemoveIf(P Pred) {
        std::erase_if(FItems, [&](const std::unique_ptr<TTeeSeriesType>& e) { return Pred(*e); });
    }

private:
    std::vector<std::unique_ptr<TTeeSeriesType>> FItems;
};

class TTeeToolTypes {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    // Raises EListError outside 0..Count-1.
    TClass Get(int Index) const;
    TClass operator[](int Index) const { return Get(Index); }
    int IndexOf(TClass AClass) const;
    void Add(TClass AClass) { FItems.push_back(AClass); }
    void Remove(TClass AClass);

private:
    std::vector<TClass> FItems;
};

// The registries, made on first use so that any unit's start-up may register.
TTeeSeriesTypes& TeeSeriesTypes();
TTeeToolTypes& TeeToolTypes();

void RegisterTeeSeriesFunction(TClass ASeriesClass, TClass AFunctionClass,
                               const AnsiString* ADescription, const AnsiString* AGalleryPage,
                               int ANumGallerySeries);
void RegisterTeeSeries(TClass ASeriesClass, const AnsiString* ADescription,
                       const AnsiString* AGalleryPage, int ANumGallerySeries);
void RegisterTeeFunction(TClass AFunctionClass, const AnsiString* ADescription,
                         const AnsiString* AGalleryPage, int ANumGallerySeries);
// On the gallery page "Standard" with 2 gallery series.
void RegisterTeeBasicFunction(TClass AFunctionClass, const AnsiString* ADescription);
void UnRegisterTeeSeries(std::initializer_list<TClass> SeriesList);
void UnRegisterTeeFunctions(std::initializer_list<TClass> FunctionList);
void RegisterTeeTools(std::initializer_list<TClass> Tools);
void UnRegisterTeeTools(std::initializer_list<TClass> Tools);

// The standard series and functions are registered by TeeStartRegistries
// itself; other units whose classes chart files must find whether or not the
// program uses them add their registration routine here. TeeStartRegistries
// runs each once (the chart's constructor and the chart file reader call it).
void TeeAddStartup(void (*Proc)());
void TeeStartRegistries();

AnsiString GetGallerySeriesName(TChartSeries* ASeries);
// "SeriesN" that no component of AOwner has, nor (given AChart) any component
// or series of the chart.
AnsiString GetNewSeriesName(TComponent* AOwner, TCustomAxisPanel* AChart = nullptr);
TTeeFunction* CreateNewTeeFunction(TChartSeries* ASeries, TClass AFunctionClass);
TChartSeries* CreateNewSeries(TComponent* AOwner, TCustomAxisPanel* AChart, TClass ASeriesClass,
                              TClass AFunctionClass = nullptr);
TChartSeries* CloneChartSeries(TChartSeries* ASeries);
// The series a gallery style adds beside ASeries: of its class and owner, on
// its chart, and named as no component of the chart's owner (of the chart,
// without one) nor any series of the chart is, so the chart file reads back.
TChartSeries* AddGallerySeries(TChartSeries* ASeries);
// The new series takes the old one's name, place, events, links and tool
// references; the old one is freed and the variable cleared.
void AssignSeries(TChartSeries*& OldSeries, TChartSeries* NewSeries);
void ChangeSeriesType(TChartSeries*& ASeries, TClass NewType);
void ChangeAllSeriesType(TCustomAxisPanel* AChart, TClass AClass);

// A drag object carrying a clicked chart part.
class TTeeDragObject : public TObject {
    QM_CLASS(TTeeDragObject)
public:
    explicit TTeeDragObject(const TChartClickedPart& APart) : Part(APart) {}
    TCursor GetDragCursor(bool Accepted, int X, int Y) const;
    void Finished(TObject* Target, int X, int Y, bool Accepted) {
        (void)Target, (void)X, (void)Y, (void)Accepted;
    }
    TChartClickedPart Part;
};
