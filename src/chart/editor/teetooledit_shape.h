#pragma once
// Editors of the stand-alone tools: the annotation (text, position, callout
// and the shape's own pages) and the rotation of the 3D view.
#include "chart/editor/teebinder.h"
#include "chart/control/tooledit.h"

class TAnnotationTool;
class TButton;
class TCheckBox;
class TComboFlat;
class TEdit;
class TFormTeeShape;
class TMemo;
class TPageControl;
class TRotateTool;
class TTabSheet;
class TUpDown;

class TAnnotationToolEdit : public TForm {
    QM_CLASS(TAnnotationToolEdit)
public:
    explicit TAnnotationToolEdit(TComponent* AOwner);
    TPageControl* PageControl1 = nullptr;
    TTabSheet* TabOptions = nullptr;
    TTabSheet* TabPosition = nullptr;
    TTabSheet* TabCallout = nullptr;
    TMemo* MemoText = nullptr;
    TComboFlat* CBTextAlign = nullptr;
    TComboFlat* CBCursor = nullptr;
    TComboFlat* CBPos = nullptr;
    TCheckBox* CBCustPos = nullptr;
    TEdit* ECustLeft = nullptr;
    TUpDown* UDLeft = nullptr;
    TEdit* ECustTop = nullptr;
    TUpDown* UDTop = nullptr;
    TButtonPen* BCalloutPen = nullptr;
    TButton* BCalloutPointer = nullptr;
    TEdit* EX = nullptr;
    TEdit* EY = nullptr;
    TEdit* EZ = nullptr;
    TEdit* EArrowDist = nullptr;
    TUpDown* UDArrowDist = nullptr;
    TComboFlat* CBHead = nullptr;
    TEdit* Edit1 = nullptr;
    TUpDown* UDHeadSize = nullptr;
    void FormShow(TObject* Sender);
    TAnnotationTool* Tool() const { return FTool; }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void EnableCustom();
    TWatched<TAnnotationTool> FTool;
    // The shape's own pages, made on the first show; out of reach once the tool goes.
    TFormTeeShape* FShapeForm = nullptr;
    TControlBinder FBind{[this] { return FTool != nullptr; }};
};

class TRotateToolEditor : public TForm {
    QM_CLASS(TRotateToolEditor)
public:
    explicit TRotateToolEditor(TComponent* AOwner);
    TCheckBox* CBInverted = nullptr;
    TComboFlat* CBStyle = nullptr;
    TComboFlat* CBButton = nullptr;
    TButtonPen* BOutline = nullptr;
    void FormShow(TObject* Sender);
    TRotateTool* Tool() const { return FTool; }

private:
    TWatched<TRotateTool> FTool;
};

// Registers the forms above with the class registry.
void TeeRegisterShapeToolEditors();
