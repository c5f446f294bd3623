#include "chart/engine/teecontrols.h"
#include "platform/forms/inherited.h"
#include "platform/classes/props.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/dialogs.h"
#include "platform/forms/forms.h"
#include <memory>

QM_CLASS_ABSTRACT(TTeeButton, TButton)
QM_CLASS_OWNED(TButtonColor, TTeeButton, TComponent)
QM_CLASS_OWNED(TComboFlat, TComboBox, TComponent)

QM_ENUM_NAMES(TComboBoxStyle, csDropDown, csSimple, csDropDownList, csOwnerDrawFixed,
              csOwnerDrawVariable)
QM_PUBLISHED(TComboFlat, Prop("Height", &Self::Height, &Self::SetHeight).Default(21),
             Prop("ItemHeight", &Self::ItemHeight, &Self::SetItemHeight).Default(13),
             Prop("Style", &Self::Style, &Self::SetStyle).Default(csDropDownList));

// --- buttons ------------------------------------------------------------------------

TTeeButton::TTeeButton(TComponent* AOwner) : TButton(AOwner) {
    SetBounds(Left(), Top(), 75, 25);
    // The symbols stand from 19 to 6 pixels before the right edge.
    SetSymbolRoom(21);
}

void TTeeButton::LinkProperty(TObject* AInstance, const AnsiString& PropName) {
    // Published properties are those of persistent objects.
    FInstance = dynamic_cast<TPersistent*>(AInstance);
    FInfo = nullptr;
    if (!FInstance) return;
    if (!PropName.IsEmpty()) FInfo = GetPropInfo(AInstance->ClassType(), PropName);
    Invalidate();
}

void TTeeButton::EnabledChanged() {
    TButton::EnabledChanged();
    Invalidate();
}

void TTeeButton::PaintSymbol(TCanvas* ACanvas) {
    if (!Instance() || !ACanvas) return;
    TTeeCanvas3D canvas;
    canvas.SetCanvas(ACanvas);
    DrawSymbol(&canvas);
}

TColor TButtonColor::GetTeeColor() {
    if (GetColorProc) return GetColorProc();
    TObject* instance = Instance();
    if (!FInfo || !instance || !FInfo->GetOrd) return clNone;
    return static_cast<TColor>(ColorToRGB(static_cast<TColor>(FInfo->GetOrd(instance))));
}

void TButtonColor::DrawSymbol(TTeeCanvas3D* ACanvas) {
    const TColor color = GetTeeColor();
    ACanvas->Brush()->SetColor(color);
    if (color == clNone) return;
    if (!Enabled()) ACanvas->Pen()->SetStyle(psClear);
    const int h = Height();
    ACanvas->Rectangle(Width() - 19, h - 3 * (h / 4), Width() - 6, h - h / 4);
}

void TButtonColor::Click() {
    TObject* instance = Instance();
    if (instance && FInfo && FInfo->GetOrd && FInfo->SetOrd) {
        TColor color = static_cast<TColor>(FInfo->GetOrd(instance));
        // The dialog lets timers run: the object may go, and the button with it.
        TCallOut held{this, dynamic_cast<TPersistent*>(instance)};
        const bool changed = EditColorDialog(this, color);
        if (held.Gone()) return;
        if (changed) {
            FInfo->SetOrd(instance, color);
            Invalidate();
        }
    }
    TTeeButton::Click();
}

// --- flat combo box ------------------------------------------------------------------

TComboFlat::TComboFlat(TComponent* AOwner) : TComboBox(AOwner) {
    SetStyle(csDropDownList);
    SetHeight(21);
    SetItemHeight(13);
}

void TComboFlat::SetMouseInside(bool Value) {
    FMouseInside = Value;
    Invalidate();
}

void TComboFlat::MouseEnter() {
    InheritedThen(
        this, [this] { TComboBox::MouseEnter(); }, [this] { SetMouseInside(true); });
}

void TComboFlat::MouseLeave() {
    InheritedThen(
        this, [this] { TComboBox::MouseLeave(); }, [this] { SetMouseInside(false); });
}

void TComboFlat::DoEnter() {
    InheritedThen(
        this, [this] { TComboBox::DoEnter(); }, [this] { SetMouseInside(false); });
}

void TComboFlat::DoExit() {
    InheritedThen(
        this, [this] { TComboBox::DoExit(); }, [this] { SetMouseInside(false); });
}

void TComboFlat::PaintFlatFrame(TCanvas* ACanvas) {
    if (!ACanvas || FMouseInside || Focused()) return;
    TRect r(0, 0, Width(), Height());
    ACanvas->Pen()->SetColor(clBtnFace);
    ACanvas->Brush()->SetStyle(bsClear);
    ACanvas->Rectangle(r);
    InflateRect(r, -1, -1);
    ACanvas->Rectangle(r);
    const TRect button(r.Right - GetSystemMetrics(SM_CXSIZE) - 2, r.Top + 1, r.Right, r.Bottom - 1);
    ACanvas->Pen()->SetColor(clWindow);
    ACanvas->Rectangle(button);
    ACanvas->MoveTo(r.Right - 2, button.Top);
    ACanvas->LineTo(r.Right - 2, button.Bottom);
}

// --- colour dialog --------------------------------------------------------------------

TStringList* TeeCustomEditColors() {
    static const std::unique_ptr<TStringList> colors = std::make_unique<TStringList>();
    return colors.get();
}

TColor EditColor(TComponent* AOwner, TColor AColor) {
    TColorDialog dialog(AOwner);
    dialog.SetColor(AColor);
    dialog.CustomColors()->Assign(TeeCustomEditColors());
    if (!dialog.Execute()) return AColor;
    TeeCustomEditColors()->Assign(dialog.CustomColors());
    return dialog.Color();
}

bool EditColorDialog(TComponent* AOwner, TColor& AColor) {
    const TColor chosen = EditColor(AOwner, AColor);
    if (chosen == AColor) return false;
    AColor = chosen;
    return true;
}
