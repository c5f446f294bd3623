#pragma once
// Editor forms of the drag-point, pie, Gantt and grid-transpose tools. The
// chart editor creates them by class name with the tool in Tag; every control
// writes the tool at once.
#include "chart/control/tooledit.h"

class TButton;
class TCheckBox;
class TComboBox;
class TEdit;
class TGridTransposeTool;
class TPieTool;
class TRadioGroup;
class TUpDown;

class TDragPointToolEdit : public TSeriesToolEditor {
    QM_CLASS(TDragPointToolEdit)
public:
    explicit TDragPointToolEdit(TComponent* AOwner);
    TRadioGroup* RGStyle = nullptr;
    void FormShow(TObject* Sender);
    void RGStyleClick(TObject* Sender);
};

class TPieToolEditor : public TForm {
    QM_CLASS(TPieToolEditor)
public:
    explicit TPieToolEditor(TComponent* AOwner);
    TLabel* Label1 = nullptr;
    TComboBox* CBPieSeries = nullptr;
    TRadioGroup* RGStyle = nullptr;
    TButtonPen* BPen = nullptr;
    void FormShow(TObject* Sender);
    void CBPieSeriesChange(TObject* Sender);
    void RGStyleClick(TObject* Sender);
    TPieTool* Tool() const { return FTool; }

private:
    TWatched<TPieTool> FTool;
    TListedObjects* FPieItems = nullptr;
};

class TGanttToolEditor : public TSeriesToolEditor {
    QM_CLASS(TGanttToolEditor)
public:
    explicit TGanttToolEditor(TComponent* AOwner);
    TLabel* Label2 = nullptr;
    TEdit* Edit1 = nullptr;
    TUpDown* UpDown1 = nullptr;
    TCheckBox* CBAllowDrag = nullptr;
    TCheckBox* CBAllowResize = nullptr;
    TLabel* Label3 = nullptr;
    TComboFlat* CBCursorDrag = nullptr;
    TLabel* Label4 = nullptr;
    TComboFlat* CBCursorResize = nullptr;
    // True from creation to the end of FormShow, so filling the tolerance
    // box never writes back into the tool.
    bool CreatingForm = false;

    void Edit1Change(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormCreate(TObject* Sender);
    void CBAllowDragClick(TObject* Sender);
    void CBAllowResizeClick(TObject* Sender);
    void CBCursorDragChange(TObject* Sender);
    void CBCursorResizeChange(TObject* Sender);
};

class TGridTransposeToolEdit : public TForm {
    QM_CLASS(TGridTransposeToolEdit)
public:
    explicit TGridTransposeToolEdit(TComponent* AOwner);
    TLabel* Label1 = nullptr;
    TComboFlat* CBSeries = nullptr;
    TButton* BTranspose = nullptr;
    void CBSeriesChange(TObject* Sender);
    void BTransposeClick(TObject* Sender);
    void FormShow(TObject* Sender);
    TGridTransposeTool* Tool() const { return FTool; }

private:
    TWatched<TGridTransposeTool> FTool;
    TListedObjects* FGridItems = nullptr;
};

// Registers the forms above (and their base) with the class registry.
void TeeRegisterSeriesToolEditors();
