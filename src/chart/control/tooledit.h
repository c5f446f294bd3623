#pragma once
// What the tool editor forms share: the base form of the series-bound tools
// with its series choice, the pen button, the cursor-name helpers and the
// docking of an editor form into the chart editor's tools page.
#include "chart/engine/teecontrols.h"
#include "platform/forms/forms.h"

class TChartPen;
class TLabel;
class TTeeCustomToolSeries;

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

// Docks an editor form into a container of the chart editor with ATag in the
// form's Tag, and shows it (so its OnShow finds the tag).
void AddFormTo(TCustomForm* AForm, TWinControl* AParent, TObject* ATag);
