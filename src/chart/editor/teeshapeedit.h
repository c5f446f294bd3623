#pragma once
// The framed-text shape page (format, text, gradient, shadow) and the routines
// that dock it, the font page and the shadow page into other editor pages.
#include "chart/editor/teebinder.h"
#include "platform/classes/watched.h"
#include "platform/forms/forms.h"

class TButton;
class TButtonColor;
class TButtonPen;
class TCheckBox;
class TComboFlat;
class TEdit;
class TPageControl;
class TTabSheet;
class TTeeCustomShape;
class TTeeFontEditor;
class TTeeGradientEditor;
class TTeeShadowEditor;
class TUpDown;

class TFormTeeShape : public TForm {
    QM_CLASS(TFormTeeShape)
public:
    explicit TFormTeeShape(TComponent* AOwner);

    TPageControl* PageControl1 = nullptr;
    TTabSheet* TabFormat = nullptr;
    TTabSheet* TabText = nullptr;
    TTabSheet* TabGradient = nullptr;
    TTabSheet* TabShadow = nullptr;
    TButtonColor* BBackColor = nullptr;
    TButtonPen* Button4 = nullptr;
    TButton* Button6 = nullptr;
    TCheckBox* CBRound = nullptr;
    TCheckBox* CBTransparent = nullptr;
    TComboFlat* CBBevel = nullptr;
    TEdit* EBevWidth = nullptr;
    TUpDown* UDBevW = nullptr;
    TEdit* EShadowTransp = nullptr;
    TUpDown* UDShadowTransp = nullptr;

    TTeeFontEditor* FontEditor() const { return FFontEditor; }
    TTeeGradientEditor* GradientEditor() const { return FGradientEditor; }
    TTeeShadowEditor* ShadowEditor() const { return FShadowEditor; }
    TTeeCustomShape* Shape() const { return FShape; }

    // Loads every control and the three inner pages from the shape.
    void RefreshControls(TTeeCustomShape* AShape);

private:
    void EnableBevelWidth();
    TTeeFontEditor* FFontEditor = nullptr;
    TTeeGradientEditor* FGradientEditor = nullptr;
    TTeeShadowEditor* FShadowEditor = nullptr;
    TWatched<TTeeCustomShape> FShape;
    TControlBinder FBind{[this] { return FShape != nullptr; }};
};

// The shape page as a dialog of its own with an OK button; changes apply at once.
void EditTeeCustomShape(TComponent* AOwner, TTeeCustomShape* AShape);
// The shape page's four tabs moved into APageControl (after its own tabs); the
// page stays alive, hidden, with the owner of the page control.
TFormTeeShape* InsertTeeObjectForm(TPageControl* APageControl, TTeeCustomShape* AShape);
// A font page or a shadow page docked into ATab.
TTeeFontEditor* InsertTeeFontEditor(TWinControl* ATab);
TTeeShadowEditor* InsertTeeShadowEditor(TWinControl* ATab);
