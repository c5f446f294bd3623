// Contents:
//   TAnnotationToolEdit   text, alignment, cursor, position, callout, shape pages
//   TRotateToolEditor     inverted, style, mouse button, outline
#include "chart/editor/teetooledit_shape.h"

#include "chart/control/tool_bands.h"
#include "chart/control/tool_hints.h"
#include "chart/editor/teeediseri.h"
#include "chart/editor/teeformbuild.h"
#include "chart/editor/teeshapeedit.h"
#include "chart/engine/teepointer.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/modalwatch.h"
#include "platform/rtl/sysutils.h"
#include <cstdint>
#include <memory>
#include <vector>

QM_CLASS_OWNED(TAnnotationToolEdit, TForm, TComponent)
QM_CLASS_OWNED(TRotateToolEditor, TForm, TComponent)

namespace {

// The rotate tool's list reads left, middle, right; mouse buttons count left,
// right, middle.
constexpr TMouseButton RotateButtons[3] = {mbLeft, mbMiddle, mbRight};

int RotateButtonItem(TMouseButton B) {
    for (int i = 0; i < 3; ++i)
        if (RotateButtons[i] == B) return i;
    return 0;
}

} // namespace

// ---------------------------------------------------------------------------
// TAnnotationToolEdit

TAnnotationToolEdit::TAnnotationToolEdit(TComponent* AOwner) : TForm(AOwner) {
    SetClientWidth(300);
    SetClientHeight(200);
    SetColor(clBtnFace);
    SetParentFont(true);
    PageControl1 = TeeNew<TPageControl>(this, this, "PageControl1", 0, 0, 300, 200);
    PageControl1->SetAlign(alClient);
    TabOptions = TeeNewTab(PageControl1, "TabOptions", "Options");
    TabPosition = TeeNewTab(PageControl1, "TabPosition", "Position");
    TabCallout = TeeNewTab(PageControl1, "TabCallout", "Callout");
    PageControl1->SetActivePage(TabOptions);

    MemoText = TeeNew<TMemo>(this, TabOptions, "MemoText", 8, 22, 170, 80);
    TeeNewLabel(this, TabOptions, "&Text:", 8, 6, MemoText);
    CBTextAlign =
        TeeNewCombo(this, TabOptions, "CBTextAlign", 100, 110, 78, {"Left", "Center", "Right"});
    TeeNewLabel(this, TabOptions, "Text &alignment:", 8, 114, CBTextAlign);
    CBCursor = TeeNewCombo(this, TabOptions, "CBCursor", 100, 136, 78, {});
    TeeNewLabel(this, TabOptions, "&Cursor:", 8, 140, CBCursor);

    CBPos = TeeNewCombo(this, TabPosition, "CBPos", 60, 8, 110,
                        {"Left top", "Left bottom", "Right top", "Right bottom"});
    TeeNewLabel(this, TabPosition, "&Auto:", 8, 12, CBPos);
    CBCustPos = TeeNewCheck(this, TabPosition, "CBCustPos", "&Custom", 8, 40, 100);
    UDLeft = TeeNewUpDown(this, TabPosition, "ECustLeft", "UDLeft", 60, 64, 50, -100, 1000,
                          &ECustLeft, 5);
    TeeNewLabel(this, TabPosition, "L&eft:", 8, 68, ECustLeft);
    UDTop =
        TeeNewUpDown(this, TabPosition, "ECustTop", "UDTop", 60, 90, 50, -100, 1000, &ECustTop, 5);
    TeeNewLabel(this, TabPosition, "T&op:", 8, 94, ECustTop);

    BCalloutPen = TeeNewButton<TButtonPen>(this, TabCallout, "BCalloutPen", "&Border...", 8, 6, 80);
    BCalloutPointer = TeeNewButton(this, TabCallout, "BCalloutPointer", "&Pointer...", 96, 6, 80);
    TeeNewLabel(this, TabCallout, "P&osition:", 8, 38);
    auto* x = TeeNewNumber(this, TabCallout, "EX", 30, 54, 45);
    TeeBoundAsStored(x, &TAnnotationCallout::ClassInfo, "XPosition");
    EX = x;
    TeeNewLabel(this, TabCallout, "&X:", 8, 58, EX);
    auto* y = TeeNewNumber(this, TabCallout, "EY", 30, 78, 45);
    TeeBoundAsStored(y, &TAnnotationCallout::ClassInfo, "YPosition");
    EY = y;
    TeeNewLabel(this, TabCallout, "&Y:", 8, 82, EY);
    auto* z = TeeNewNumber(this, TabCallout, "EZ", 30, 102, 45);
    TeeBoundAsStored(z, &TAnnotationCallout::ClassInfo, "ZPosition");
    EZ = z;
    TeeNewLabel(this, TabCallout, "&Z:", 8, 106, EZ);
    UDArrowDist = TeeNewUpDown(this, TabCallout, "EArrowDist", "UDArrowDist", 170, 54, 45, -1000,
                               1000, &EArrowDist);
    TeeNewLabel(this, TabCallout, "&Distance:", 100, 58, EArrowDist);
    CBHead = TeeNewCombo(this, TabCallout, "CBHead", 170, 80, 70, {"None", "Line", "Solid"});
    TeeNewLabel(this, TabCallout, "&Arrow head:", 100, 84, CBHead);
    UDHeadSize =
        TeeNewUpDown(this, TabCallout, "Edit1", "UDHeadSize", 170, 106, 45, -1000, 1000, &Edit1);
    TeeNewLabel(this, TabCallout, "&Size:", 100, 110, Edit1);

    MemoText->OnChange = [this](TObject*) {
        if (!FTool || FBind.Loading()) return;
        // Lines are kept apart by a carriage return alone.
        AnsiString text;
        for (int i = 0; i < MemoText->Lines()->Count(); ++i) {
            if (i) text += "\r";
            text += MemoText->Lines()->Strings(i);
        }
        FTool->SetText(text);
    };
    FBind.Index(
        CBTextAlign,
        [this] {
            const TAlignment a = FTool->TextAlignment();
            return a == taCenter ? 1 : a == taRightJustify ? 2 : 0;
        },
        [this](int I) {
            const TAlignment a[3] = {taLeftJustify, taCenter, taRightJustify};
            FTool->SetTextAlign(a[I]);
        });
    // The cursor list is filled, and its item chosen, when the page shows.
    FBind.Index(CBCursor, nullptr,
                [this](int) { FTool->SetCursor(TeeSetCursor(FTool->Cursor(), CBCursor->Text())); });
    FBind.Index(
        CBPos, [this] { return static_cast<int>(FTool->Position()); },
        [this](int I) {
            FTool->SetPosition(static_cast<TAnnotationPosition>(I));
            FTool->Shape()->SetCustomPosition(false);
            CBCustPos->SetChecked(false);
            EnableCustom();
            FTool->Repaint();
        });
    FBind.Check(
        CBCustPos, [this] { return FTool->Shape()->CustomPosition(); },
        [this](bool V) {
            FTool->Shape()->SetCustomPosition(V);
            EnableCustom();
            FTool->Repaint();
        });
    auto pos = [this](TUpDown* UD, bool Left) {
        FBind.UpDown(
            UD, [this, Left] { return Left ? FTool->Shape()->Left() : FTool->Shape()->Top(); },
            [this, Left](int V) {
                if (!FTool->Shape()->CustomPosition()) return;
                if (Left)
                    FTool->Shape()->SetLeft(V);
                else
                    FTool->Shape()->SetTop(V);
                FTool->Repaint();
            });
    };
    pos(UDLeft, true);
    pos(UDTop, false);
    auto coord = [this](TEdit* E, int (TAnnotationCallout::*Get)() const,
                        void (TAnnotationCallout::*Set)(int)) {
        FBind.Text(
            E, [this, Get] { return IntToStr((FTool->Callout()->*Get)()); },
            [this, Set](const AnsiString& T) {
                int v;
                if (TryStrToInt(T.Trim(), v)) (FTool->Callout()->*Set)(v);
            });
    };
    coord(EX, &TAnnotationCallout::XPosition, &TAnnotationCallout::SetXPosition);
    coord(EY, &TAnnotationCallout::YPosition, &TAnnotationCallout::SetYPosition);
    coord(EZ, &TAnnotationCallout::ZPosition, &TAnnotationCallout::SetZPosition);
    FBind.UpDown(
        UDArrowDist, [this] { return FTool->Callout()->Distance(); },
        [this](int V) { FTool->Callout()->SetDistance(V); });
    FBind.UpDown(
        UDHeadSize, [this] { return FTool->Callout()->ArrowHeadSize(); },
        [this](int V) { FTool->Callout()->SetArrowHeadSize(V); });
    FBind.Index(
        CBHead, [this] { return static_cast<int>(FTool->Callout()->ArrowHead()); },
        [this](int I) { FTool->Callout()->SetArrowHead(static_cast<TArrowHeadStyle>(I)); });
    BCalloutPointer->OnClick = [this](TObject*) {
        if (!FTool) return;
        std::unique_ptr<TCustomForm> form(
            TeeCreateFormByClass(GetClass("TSeriesPointerEditor"), nullptr));
        if (!form) return;
        form->SetSubject(FTool->Callout());
        if (!ShowModalWatching(form.get(), {FTool, this}).Gone) FTool->Repaint();
    };
    // Docked in the tools page it fills the page.
    SetAlign(alClient);
    OnShow = [this](TObject* s) { FormShow(s); };
}

void TAnnotationToolEdit::EnableCustom() {
    const bool on = CBCustPos->Checked();
    for (TControl* c : std::initializer_list<TControl*>{ECustLeft, UDLeft, ECustTop, UDTop})
        c->SetEnabled(on);
    if (on && FTool) {
        auto guard = FBind.Guard();
        UDLeft->SetPosition(FTool->Shape()->Left());
        UDTop->SetPosition(FTool->Shape()->Top());
    }
}

void TAnnotationToolEdit::Notification(TComponent* AComponent, TOperation Operation) {
    TForm::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FShapeForm) {
        FShapeForm = nullptr;
    } else if (FTool.Gone() && FShapeForm && !IsDestroying()) {
        // The shape's pages edit a shape gone with the tool: they go back to
        // their own form, which is never shown, and leave with this one.
        std::vector<TTabSheet*> pages;
        for (int i = 0; i < PageControl1->PageCount(); ++i)
            if (PageControl1->Pages(i)->Owner() == FShapeForm)
                pages.push_back(PageControl1->Pages(i));
        for (TTabSheet* page : pages)
            page->SetPageControl(FShapeForm->PageControl1);
        FShapeForm->RemoveFreeNotification(this);
        FShapeForm = nullptr;
    }
}

void TAnnotationToolEdit::FormShow(TObject*) {
    TakeSubject(this, FTool);
    if (!FTool) return;
    FTool->FreeNotification(this);
    FBind.Load();
    {
        auto guard = FBind.Guard();
        MemoText->Lines()->SetText(StringReplace(FTool->Text(), "\r", "\n"));
        TeeFillCursors(CBCursor, FTool->Cursor());
        EnableCustom();
        BCalloutPen->LinkPen(FTool->Callout()->Pen());
    }
    // The shape's format, text, gradient and shadow pages after the tool's own.
    if (!FShapeForm) {
        FShapeForm = InsertTeeObjectForm(PageControl1, FTool->Shape());
        FShapeForm->FreeNotification(this);
    } else
        FShapeForm->RefreshControls(FTool->Shape());
}

// ---------------------------------------------------------------------------
// TRotateToolEditor

TRotateToolEditor::TRotateToolEditor(TComponent* AOwner) : TForm(AOwner) {
    SetClientWidth(220);
    SetClientHeight(130);
    SetColor(clBtnFace);
    SetParentFont(true);
    SetPosition(poScreenCenter);
    CBInverted = TeeNewCheck(this, this, "CBInverted", "&Inverted", 8, 8, 120);
    CBStyle = TeeNewCombo(this, this, "CBStyle", 60, 32, 100, {"All", "Rotation", "Elevation"});
    TeeNewLabel(this, this, "&Style:", 8, 36, CBStyle);
    CBButton = TeeNewCombo(this, this, "CBButton", 60, 58, 100, {"Left", "Middle", "Right"});
    TeeNewLabel(this, this, "&Button:", 8, 62, CBButton);
    BOutline = TeeNewButton<TButtonPen>(this, this, "BOutline", "&Outline...", 60, 88, 100);
    CBInverted->OnClick = [this](TObject*) {
        if (FTool) FTool->SetInverted(CBInverted->Checked());
    };
    CBStyle->OnChange = [this](TObject*) {
        if (FTool && CBStyle->ItemIndex() >= 0)
            FTool->SetStyle(static_cast<TRotateToolStyles>(CBStyle->ItemIndex()));
    };
    CBButton->OnChange = [this](TObject*) {
        if (FTool && CBButton->ItemIndex() >= 0)
            FTool->SetButton(RotateButtons[CBButton->ItemIndex()]);
    };
    SetAlign(alClient);
    OnShow = [this](TObject* s) { FormShow(s); };
}

void TRotateToolEditor::FormShow(TObject*) {
    TakeSubject(this, FTool);
    if (!FTool) return;
    CBInverted->SetChecked(FTool->Inverted());
    CBStyle->SetItemIndex(static_cast<int>(FTool->Style()));
    CBButton->SetItemIndex(RotateButtonItem(FTool->Button()));
    BOutline->LinkPen(FTool->Pen());
}

void TeeRegisterShapeToolEditors() {
    RegisterClass(&TAnnotationToolEdit::ClassInfo);
    RegisterClass(&TRotateToolEditor::ClassInfo);
}
