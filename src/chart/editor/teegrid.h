#pragma once
// The data grid of series values: one row per point index, one column per
// value list of each shown series, optional label and colour columns, an X by
// Z table for 3D grid series; and the navigator bar that drives it.
#include "chart/editor/teenavigator.h"
#include "chart/engine/teepanel.h"
#include "platform/classes/watched.h"
#include "platform/forms/grids.h"
#include <vector>

class TChartSeries;
class TChartValueList;
class TCustomAxisPanel;
class TCustomChart;
class TChartGridNavigator;

enum TChartGridShow { cgsAuto, cgsNo, cgsYes };
QM_ENUM_NAMES(TChartGridShow, cgsAuto, cgsNo, cgsYes)

class TCustomChartGrid : public TCustomGrid, public ITeeEventListener {
    QM_CLASS(TCustomChartGrid)
public:
    explicit TCustomChartGrid(TComponent* AOwner);
    ~TCustomChartGrid() override;
    void Loaded() override;

    TCustomChart* Chart() const { return FChart.Get(); }
    void SetChart(TCustomChart* Value);
    TChartSeries* Series() const { return FSeries.Get(); }
    void SetSeries(TChartSeries* Value);
    bool ShowLabels() const { return FShowLabels; }
    void SetShowLabels(bool Value);
    bool ShowColors() const { return FShowColors; }
    void SetShowColors(bool Value);
    bool ShowFields() const { return FShowFields; }
    void SetShowFields(bool Value);
    TChartGridShow ShowXValues() const { return FShowXValues; }
    void SetShowXValues(TChartGridShow Value);
    bool Grid3DMode() const { return FGrid3DMode; }
    void SetGrid3DMode(bool Value);
    TChartGridNavigator* Navigator() const { return FNavigator.Get(); }
    // Series filled from a data source are edited only when this is set.
    bool AllowChanges() const { return FAllowChanges; }
    void SetAllowChanges(bool Value) { FAllowChanges = Value; }

    void RecalcDimensions();
    void Regenerate();
    void Insert();
    void Delete();
    void ChangeColor();
    void StartEditing();
    // Closes the cell editor; without Cancel the text is kept when it is valid,
    // else the user is told and the old value stays.
    void StopEditing(bool Cancel);

    int FirstRowNum() const { return FShowFields ? 2 : 1; }
    int LabelsColumn() const;
    int ColorsColumn() const;
    // The series and value list of a data column; false for other columns.
    bool GetSeries(int ACol, TChartSeries*& ASeries, TChartValueList*& AList) const;
    bool HasPoints() const;
    // The point index of a data row (3D mode: of the cell); -1 when none.
    int PointIndex(int ACol, int ARow) const;
    // What a cell shows (its edit text; the colour as text on the colours column).
    AnsiString CellText(int ACol, int ARow);
    // Stores Text into a cell as typed by the user; false, with the reason in
    // Error and nothing changed, when the text is not a value of that column.
    bool TryStoreCell(int ACol, int ARow, const AnsiString& Text, AnsiString& Error);

    void TeeEvent(TTeeEvent* Event) override;

protected:
    friend class TChartGridNavigator;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    bool CanEditShow() override;
    bool CanEditModify() override;
    void DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) override;
    bool SelectCell(int ACol, int ARow) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DblClick() override;
    AnsiString GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const AnsiString& Value) override;

private:
    struct TColumn {
        TWatched<TChartSeries> Series;
        TWatched<TChartValueList> List;
        bool First; // the series' first column carries its header
    };
    void SetNavigator(TChartGridNavigator* Value);
    void ListenTo(TCustomAxisPanel* Panel);
    void NotifyNavigator();
    void ShownSeries(std::vector<TChartSeries*>& List) const;
    TChartSeries* Grid3DSeries() const;
    TChartValueList* ZList(TChartSeries* S) const;
    int Find3DPoint(TChartSeries* S, int ACol, int ARow) const;
    void RepaintSeries();
    void MarkManual();
    void AppendNullRow();
    // Checks the open editor's text; shows the reason and puts the old text
    // back when it is refused.
    bool CommitEditor();
    void DrawHeader(int ACol, int ARow, const TRect& R);

    TWatched<TCustomChart> FChart;
    TWatched<TChartSeries> FSeries;
    TWatched<TCustomAxisPanel> FListened;
    TWatched<TChartGridNavigator> FNavigator;
    bool FShowLabels = true;
    bool FShowColors = false;
    bool FShowFields = true;
    TChartGridShow FShowXValues = cgsAuto;
    bool FGrid3DMode = false;
    bool FAllowChanges = false;
    std::vector<TColumn> FColumns; // from column 1 on, after labels and colours
    int FDataColumn = 1;           // first value column
    double F3DMinX = 0, F3DMinZ = 0;
    // What the edited row held in every shown series when the cell's editor
    // opened, so cancelling or a refused text puts exactly that back.
    struct TPointState {
        TWatched<TChartSeries> S;
        int Count = 0;
        bool Manual = false;
        int Point = -1;             // -1: the series has no point there
        std::vector<double> Values; // one a value list
        AnsiString Label;
        TColor Color = clNone;
    };
    struct TSnapshot {
        int Col = 0, Row = 0;
        AnsiString Text;
        // What the grid was bound to, and where its 3D table started.
        TWatched<TCustomChart> Chart;
        TWatched<TChartSeries> Bound;
        double MinX = 0, MinZ = 0;
        // The series and list of a value cell; none for the labels and colours.
        TWatched<TChartSeries> S;
        TWatched<TChartValueList> L;
        bool Labels = false, Colors = false;
        std::vector<TPointState> Points;
        // Points the edit appended, in order: removed again on cancel.
        std::vector<std::pair<TWatched<TChartSeries>, int>> Added;
    };
    void TakeSnapshot();
    void RestoreSnapshot();
    // The open editor's cell still edits what it was opened on.
    bool EditTargetHolds() const;
    // Ends the edit keeping what was stored, as leaving the cell does.
    void DropEdit();
    // Adds a null point that sorts after every other one; its index.
    int AppendNull(TChartSeries* S);
    TSnapshot FSnap;
    bool FStoring = false;
};

class TChartGrid : public TCustomChartGrid {
    QM_CLASS(TChartGrid)
public:
    explicit TChartGrid(TComponent* AOwner) : TCustomChartGrid(AOwner) {}
};

class TChartGridNavigator : public TCustomTeeNavigator {
    QM_CLASS(TChartGridNavigator)
public:
    explicit TChartGridNavigator(TComponent* AOwner);
    ~TChartGridNavigator() override;
    TCustomChartGrid* Grid() const { return FGrid.Get(); }
    void SetGrid(TCustomChartGrid* Value);
    void EnableButtons() override;
    void EnableButtonsColRow(int ACol, int ARow);

protected:
    void BtnClick(TTeeNavigateBtn Index) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TCustomChartGrid;
    TWatched<TCustomChartGrid> FGrid;
};

// A colour a point may take (RGB or none) into Color; false with the reason.
bool CheckPointColor(TColor Value, TColor& Color, AnsiString& Error);

// The toggle values of a chart's first series the editor's data page shows.
bool TeeGridSeriesHasColors(TCustomChart* Chart);
