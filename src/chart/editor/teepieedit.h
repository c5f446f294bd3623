#pragma once
// Editors of the circled series: the "Circled" page (rotation, radius,
// background) and the pie page (3D look, patterns, exploding, grouped slices).
#include "chart/control/tooledit.h"
#include "chart/editor/teebinder.h"
#include "platform/classes/watched.h"
#include "platform/forms/forms.h"

class TCheckBox;
class TCircledSeries;
class TComboFlat;
class TEdit;
class TGroupBox;
class TPieSeries;
class TUpDown;

class TCircledSeriesEditor : public TForm {
    QM_CLASS(TCircledSeriesEditor)
public:
    explicit TCircledSeriesEditor(TComponent* AOwner);

    TCheckBox* CBCircled = nullptr;
    TCheckBox* CB3D = nullptr;
    TEdit* ERot = nullptr;
    TUpDown* UDRot = nullptr;
    TGroupBox* GBRadius = nullptr;
    TEdit* EX = nullptr;
    TUpDown* UDX = nullptr;
    TEdit* EY = nullptr;
    TUpDown* UDY = nullptr;
    TCheckBox* CBAutoXR = nullptr;
    TCheckBox* CBAutoYR = nullptr;
    TButtonColor* BBack = nullptr;
    TCheckBox* CBTransp = nullptr;
    TButton* BGradient = nullptr;

    void FormShow(TObject* Sender);

private:
    void WireRadius(TEdit* E, TUpDown* U, TCheckBox* Auto, bool X);
    TWatched<TCircledSeries> FSeries;
    bool FLoading = false;
    // Binds nothing: shows the series again when another page changes it.
    TControlBinder FRefresh{[this] { return FSeries != nullptr; }};
};

class TPieSeriesEditor : public TForm {
    QM_CLASS(TPieSeriesEditor)
public:
    explicit TPieSeriesEditor(TComponent* AOwner);

    TCheckBox* CBDark3d = nullptr;
    TCheckBox* CBPatterns = nullptr;
    TEdit* EExpBig = nullptr;
    TUpDown* UDExpBig = nullptr;
    TEdit* EAngleSize = nullptr;
    TUpDown* UDAngleSize = nullptr;
    TComboFlat* CBOther = nullptr;
    TEdit* EOtherValue = nullptr;
    TEdit* EOtherLabel = nullptr;
    TButton* Button2 = nullptr;
    TButtonPen* BPen = nullptr;
    TButton* BShadow = nullptr;
    TCheckBox* CBMarksAutoPosition = nullptr;
    TCheckBox* CBDarkBorder = nullptr;

    TCircledSeriesEditor* CircledForm() const { return FCircled; }
    void FormShow(TObject* Sender);

private:
    void EnableOther();
    void WireCheck(TCheckBox* C, bool (*Get)(TPieSeries*), void (*Set)(TPieSeries*, bool));
    TWatched<TPieSeries> FSeries;
    TCircledSeriesEditor* FCircled = nullptr;
    TControlBinder FBind{[this] { return FSeries != nullptr; }};
};
