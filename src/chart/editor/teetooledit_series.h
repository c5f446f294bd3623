#pragma once
// Editors of the tools bound to a series: cursor, draw line, image, nearest
// point, drag marks, marks tip and series animation. Each builds on the series
// choice of TSeriesToolEditor.
#include "chart/editor/teebinder.h"
#include "chart/control/tooledit.h"
#include <memory>

class TButton;
class TCheckBox;
class TComboFlat;
class TEdit;
class TFormTeeSeries;
class TGroupBox;
class TImage;
class TLabel;
class TRadioGroup;
class TTrackBar;
class TUpDown;

class TCursorToolEditor : public TSeriesToolEditor {
    QM_CLASS(TCursorToolEditor)
public:
    explicit TCursorToolEditor(TComponent* AOwner);
    TComboFlat* CBStyle = nullptr;
    TButtonPen* BPen = nullptr;
    TCheckBox* CBSnap = nullptr;
    TCheckBox* CBFollow = nullptr;
    void FormShow(TObject* Sender);
};

class TDrawLineEdit : public TSeriesToolEditor {
    QM_CLASS(TDrawLineEdit)
public:
    explicit TDrawLineEdit(TComponent* AOwner);
    TComboFlat* CBButton = nullptr;
    TButtonPen* BPen = nullptr;
    TCheckBox* CBEnable = nullptr;
    TCheckBox* CBSelect = nullptr;
    void FormShow(TObject* Sender);
};

class TChartImageToolEditor : public TSeriesToolEditor {
    QM_CLASS(TChartImageToolEditor)
public:
    explicit TChartImageToolEditor(TComponent* AOwner);
    TGroupBox* GroupBox1 = nullptr;
    TImage* Image1 = nullptr;
    TButton* Button1 = nullptr;
    TButton* BSave = nullptr;
    void FormShow(TObject* Sender);
    void Button1Click(TObject* Sender);
    void BSaveClick(TObject* Sender);

private:
    void ShowPicture();
};

class TNearestToolEdit : public TSeriesToolEditor {
    QM_CLASS(TNearestToolEdit)
public:
    explicit TNearestToolEdit(TComponent* AOwner);
    TButtonPen* BPen = nullptr;
    TButton* Button1 = nullptr;
    TCheckBox* CBDrawLine = nullptr;
    TEdit* Edit1 = nullptr;
    TUpDown* UDSize = nullptr;
    TComboFlat* CBStyle = nullptr;
    void FormShow(TObject* Sender);
};

class TDragMarksToolEditor : public TSeriesToolEditor {
    QM_CLASS(TDragMarksToolEditor)
public:
    explicit TDragMarksToolEditor(TComponent* AOwner);
    TButton* Button1 = nullptr;
    void Button1Click(TObject* Sender);
};

class TMarksTipToolEdit : public TSeriesToolEditor {
    QM_CLASS(TMarksTipToolEdit)
public:
    explicit TMarksTipToolEdit(TComponent* AOwner);
    ~TMarksTipToolEdit() override;
    TComboFlat* CBMarkStyle = nullptr;
    TRadioGroup* RGMouseAction = nullptr;
    TEdit* EDelay = nullptr;
    TUpDown* UDDelay = nullptr;
    void FormShow(TObject* Sender);

private:
    bool FFilling = false;
};

class TSeriesAnimToolEditor : public TSeriesToolEditor {
    QM_CLASS(TSeriesAnimToolEditor)
public:
    explicit TSeriesAnimToolEditor(TComponent* AOwner);
    TTrackBar* SBSteps = nullptr;
    TLabel* Label3 = nullptr;
    TCheckBox* CBStartMin = nullptr;
    TEdit* EStart = nullptr;
    TEdit* Edit1 = nullptr;
    TUpDown* UpDown1 = nullptr;
    TButton* Button1 = nullptr;
    void FormShow(TObject* Sender);

private:
    TControlBinder FBind{[this] { return FTool != nullptr; }};
};

// Registers the forms above with the class registry.
void TeeRegisterSeriesToolEditorForms();
