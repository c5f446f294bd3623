#pragma once
// Small editor controls of the chart canvas unit and the colour-picking helper:
//   TTeeButton     a button that shows a symbol of a linked object property
//   TButtonColor   the colour-property variant: shows the colour, edits it on click
//   TComboFlat     a drop-down list drawn flat while the mouse is away
//   EditColor, EditColorDialog   the colour dialog with remembered custom colours
#include "chart/engine/tecanvas.h"
#include "platform/classes/watched.h"
#include "platform/forms/stdctrls.h"
#include <functional>

struct TPropInfo;
class TStringList;

class TTeeButton : public TButton {
    QM_CLASS(TTeeButton)
public:
    explicit TTeeButton(TComponent* AOwner);

    // Links the button to a property of an object (no property for an empty name).
    void LinkProperty(TObject* AInstance, const AnsiString& PropName);
    // The linked object, nullptr once it is destroyed.
    TObject* Instance() const { return FInstance.Get(); }
    const TPropInfo* Info() const { return FInfo; }

    // Draws the symbol on ACanvas (the button's face) through a temporary chart
    // canvas; nothing without a linked object.
    void PaintSymbol(TCanvas* ACanvas);

protected:
    virtual void DrawSymbol(TTeeCanvas3D* ACanvas) = 0;
    void PaintOver(TCanvas* ACanvas) override { PaintSymbol(ACanvas); }
    void EnabledChanged() override;

    const TPropInfo* FInfo = nullptr;

private:
    TWatched<TPersistent> FInstance;
};

class TButtonColor : public TTeeButton {
    QM_CLASS(TButtonColor)
public:
    explicit TButtonColor(TComponent* AOwner) : TTeeButton(AOwner) {}

    // The colour shown: the getter's when given, clNone without a linked
    // property, else the property's value as RGB.
    TColor GetTeeColor();
    void Click() override;

    std::function<TColor()> GetColorProc;

protected:
    void DrawSymbol(TTeeCanvas3D* ACanvas) override;
};

class TComboFlat : public TComboBox {
    QM_CLASS(TComboFlat)
public:
    explicit TComboFlat(TComponent* AOwner);

    bool MouseInside() const { return FMouseInside; }
    // The flat frame drawn over the box while the mouse is away and the box
    // has no focus; nothing otherwise.
    void PaintFlatFrame(TCanvas* ACanvas);

protected:
    void PaintOver(TCanvas* ACanvas) override { PaintFlatFrame(ACanvas); }
    void MouseEnter() override;
    void MouseLeave() override;
    void DoEnter() override;
    void DoExit() override;

private:
    void SetMouseInside(bool Value);
    bool FMouseInside = false;
};

// The custom colours of the colour dialog, kept between calls.
TStringList* TeeCustomEditColors();
// Shows the colour dialog preset with AColor; the chosen colour, or AColor when cancelled.
TColor EditColor(TComponent* AOwner, TColor AColor);
// True (and AColor replaced) only when a different colour was chosen.
bool EditColorDialog(TComponent* AOwner, TColor& AColor);
