#pragma once
// The list of a chart's series in the chart editor: one owner-drawn row a
// series with its active check box, colour and title; reorders, renames,
// clones, deletes and re-types series, and follows the chart's series events.
#include "chart/control/chart.h"
#include "chart/control/teeedit.h"
#include "platform/classes/watched.h"
#include "platform/forms/stdctrls.h"
#include <array>
#include <functional>

class TChartListBox;

using TNotifySeriesEvent = std::function<void(TChartListBox* Sender, TChartSeries* Series)>;
using TDblClickSeriesEvent = std::function<void(TChartListBox* Sender, int Index)>;

struct TListBoxSection {
    int Width = 0;
    bool Visible = true;
};
using TListBoxSections = std::array<TListBoxSection, 4>;

// Set by the series gallery at start-up; nullptr until then.
using TTeeAddGalleryProc =
    std::function<TChartSeries*(TComponent* Owner, TCustomChart* Chart, TChartSeries* Series)>;
using TTeeChangeGalleryProc = std::function<TClass(TComponent* Owner, TChartSeries*& Series)>;
extern TTeeAddGalleryProc TeeAddGalleryProc;
extern TTeeChangeGalleryProc TeeChangeGalleryProc;

class TChartListBox : public TListBox, public ITeeEventListener {
    QM_CLASS(TChartListBox)
public:
    enum { secIcon, secActive, secColor, secTitle };

    explicit TChartListBox(TComponent* AOwner);
    ~TChartListBox() override;

    TCustomChart* Chart() const { return FChart; }
    void SetChart(TCustomChart* Value);
    void FillSeries(TChartSeries* OldSeries);
    void UpdateSeries();
    // nullptr for -1 or an index out of range.
    TChartSeries* GetSeries(int Index) const;
    TChartSeries* GetSelectedSeries() const;
    void SetSelectedSeries(TChartSeries* Value);
    void SelectSeries(int Index);
    bool AnySelected() const;
    void SelectAll();
    void ClearSelection();
    // The list box's own setters, told to the listener like every change of selection.
    void SetItemIndex(int Value);
    void SetSelected(int Index, bool Value);
    void SwapSeries(int A, int B);
    void MoveCurrentUp();
    void MoveCurrentDown();
    TChartSeries* AddSeriesGallery();
    void DeleteSeries();
    bool RenameSeries();
    void CloneSeries();
    void ChangeTypeSeries();
    int SectionLeft(int Section) const;
    bool PointInSection(const TPoint& P, int Section) const;
    TChartSeries* SeriesAtMousePos(TPoint& P) const;

    // Kept in step with the items (the series page's combo box).
    TStrings* OtherItems() const { return FOtherItems; }
    void SetOtherItems(TStrings* Value) { FOtherItems = Value; }
    const TListBoxSections& Sections() const { return FSections; }

    bool AllowAddSeries = true;
    bool AllowDeleteSeries = true;
    bool AskDelete = true;
    bool EnableChangeColor = true;
    bool EnableDragSeries = true;
    bool EnableChangeType = true;
    bool ShowActiveCheck() const { return FSections[secActive].Visible; }
    void SetShowActiveCheck(bool Value) { SetSectionVisible(secActive, Value); }
    bool ShowSeriesColor() const { return FSections[secColor].Visible; }
    void SetShowSeriesColor(bool Value) { SetSectionVisible(secColor, Value); }
    bool ShowSeriesIcon() const { return FSections[secIcon].Visible; }
    void SetShowSeriesIcon(bool Value) { SetSectionVisible(secIcon, Value); }
    bool ShowSeriesTitle() const { return FSections[secTitle].Visible; }
    void SetShowSeriesTitle(bool Value) { SetSectionVisible(secTitle, Value); }

    TNotifySeriesEvent OnChangeColor;
    TChangeOrderEvent OnChangeOrder;
    TDblClickSeriesEvent OnDblClickSeries;
    TNotifyEvent OnOtherItemsChange;
    TNotifyEvent OnRefresh;
    TNotifySeriesEvent OnRemovedSeries;

    void TeeEvent(TTeeEvent* Event) override;
    void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) override;
    void DragDrop(TObject* Source, int X, int Y) override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void DblClick() override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    // A click or key of the user's changed the rows selected.
    void Click() override;

private:
    enum class TTell { Now, AtEnd };
    void SetSectionVisible(int Section, bool Value);
    void DrawRow(TWinControl* Control, int Index, TRect R, TOwnerDrawState State);
    void DoRefresh();
    // The one way code changes the rows selected: Rows marked (with multiple
    // selection), Current made current. The listener (OnRefresh) is told now,
    // or by a command that goes on changing the list, at its end.
    void Select(const std::vector<int>& Rows, int Current, TTell Tell);
    std::vector<int> SelectedRows() const;
    std::vector<int> RowsOf(const std::vector<TChartSeries*>& List) const;
    std::vector<TChartSeries*> SelectedList() const;
    static AnsiString SeriesText(TChartSeries* S);

    TWatched<TCustomChart> FChart;
    TWatched<TStrings> FOtherItems;
    TListBoxSections FSections{{{26, true}, {16, true}, {26, true}, {216, true}}};
    TPoint FLastMouse{-1, -1};
    bool FDblClicked = false;
    bool FDestroying = false;
};
