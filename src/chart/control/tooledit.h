#pragma once
// What the tool editor forms share: the objects a list shows, the tool a form
// takes from its Tag, the base form of the series-bound tools with its series
// choice, the pen button, the cursor-name helpers and the docking of an editor
// form into the chart editor's tools page.
#include "chart/engine/teecontrols.h"
#include "platform/classes/watched.h"
#include "platform/forms/forms.h"
#include <vector>

class TChartPen;
class TChartSeries;
class TCustomAxisPanel;
class TLabel;
class TListBox;
class TTeeCustomToolSeries;

// The objects a combo or list box shows, one a row beside its text. The rows
// hold them through handles, and a row leaves the list as soon as its object
// is freed, so no list shows a freed object or hands one on. Rows without an
// object (a "None" row) stay.
class TListedObjects : public TComponent {
    QM_CLASS(TListedObjects)
public:
    TListedObjects(TComponent* AOwner, TComboBox* AList);
    TListedObjects(TComponent* AOwner, TListBox* AList);

    void Clear();
    int Add(const AnsiString& Text, TComponent* AObject = nullptr);
    void Insert(int Index, const AnsiString& Text, TComponent* AObject = nullptr);
    void Delete(int Index);
    void Exchange(int A, int B);
    int Count() const { return static_cast<int>(FObjects.size()); }
    // nullptr for a row without an object, or outside the rows.
    TComponent* Object(int Index) const;
    // The row of AObject; for nullptr the first row without an object; -1 for none.
    int IndexOf(const TComponent* AObject) const;
    // The object of the list's current row.
    TComponent* Chosen() const { return Object(ItemIndex()); }

    // After rows left the list with their objects. A row chosen that left
    // passes the choice to the first row without an object, if any.
    TNotifyEvent OnDropped;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TStrings* Items() const;
    int ItemIndex() const;
    void SetItemIndex(int Index);

    TWatched<TComboBox> FCombo;
    TWatched<TListBox> FListBox;
    std::vector<TWatched<TComponent>> FObjects;
};

// Lists the chart's series a user may choose.
void ListSeries(TListedObjects* AList, TCustomAxisPanel* AChart);

// Takes what an editor form edits: the form's subject, none once it is gone.
template <class T> void TakeSubject(const TCustomForm* Form, TWatched<T>& Object) {
    Object = Form->SubjectAs<T>();
}

class TSeriesToolEditor : public TForm {
    QM_CLASS(TSeriesToolEditor)
public:
    explicit TSeriesToolEditor(TComponent* AOwner);

    TLabel* Label1 = nullptr;
    TComboFlat* CBSeries = nullptr;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void CBSeriesChange(TObject* Sender);

    TTeeCustomToolSeries* Tool() const { return FTool; }

protected:
    TWatched<TTeeCustomToolSeries> FTool;
    TListedObjects* FSeriesItems = nullptr;
};

// A button that shows a pen and opens the pen dialog on it.
class TButtonPen : public TTeeButton {
    QM_CLASS(TButtonPen)
public:
    explicit TButtonPen(TComponent* AOwner) : TTeeButton(AOwner) {}
    void LinkPen(TChartPen* APen);
    // The linked pen, nullptr once it is destroyed.
    TChartPen* Pen() const { return FPen; }
    bool HideColor() const { return FHideColor; }
    void SetHideColor(bool Value) { FHideColor = Value; }
    void Click() override;

protected:
    void DrawSymbol(TTeeCanvas3D* ACanvas) override;

private:
    TWatched<TChartPen> FPen;
    bool FHideColor = false;
};

// The standard cursor names and "crTeeHand" for the chart's hand cursor.
bool TeeCursorToIdent(TCursor ACursor, AnsiString& Name);
bool TeeIdentToCursor(const AnsiString& Name, TCursor& ACursor);

// Fills the combo with the cursor names without their "cr", sorted, and
// selects the one of ACursor (none when it has no name).
void TeeFillCursors(TComboFlat* ACombo, TCursor ACursor);
// The cursor named "cr" + Name, or ACursor when no cursor has that name.
TCursor TeeSetCursor(TCursor ACursor, const AnsiString& Name);

// Docks an editor form into a container of the chart editor with ASubject as
// what it edits, and shows it (so its OnShow finds it).
void AddFormTo(TCustomForm* AForm, TWinControl* AParent, TPersistent* ASubject);
