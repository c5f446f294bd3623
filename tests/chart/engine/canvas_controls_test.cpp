// The colour button, the flat combo box and the colour dialog helper.
#include "chart/engine/teecontrols.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/forms.h"
#include "platform/forms/testhooks.h"
#include "support/forms_testing.h"
#include <gtest/gtest.h>

TEST(ComboFlat, Defaults) {
    TForm form(nullptr);
    auto* combo = new TComboFlat(&form);
    EXPECT_EQ(combo->Style(), csDropDownList);
    EXPECT_EQ(combo->Height(), 21);
    EXPECT_EQ(combo->ItemHeight(), 13);
    EXPECT_FALSE(combo->MouseInside());
}

TEST(ButtonColor, ShowsAndEditsALinkedColourProperty) {
    TStrictResponder responder;
    TForm form(nullptr);
    auto* button = new TButtonColor(&form);
    EXPECT_EQ(button->Width(), 75);
    EXPECT_EQ(button->Height(), 25);
    EXPECT_EQ(button->GetTeeColor(), clNone);

    TTeeShadow shadow;
    button->LinkProperty(&shadow, "Color");
    EXPECT_EQ(button->GetTeeColor(), clSilver);
    int clicks = 0;
    button->OnClick = [&](TObject*) { ++clicks; };

    responder.ExpectColor(clRed);
    button->Click();
    EXPECT_EQ(shadow.Color(), clRed);
    responder.ExpectCancel(TDialogKind::ColorDialog);
    button->Click();
    EXPECT_EQ(shadow.Color(), clRed);
    EXPECT_EQ(clicks, 2);
    EXPECT_TRUE(responder.Done());

    button->GetColorProc = [] { return clBlue; };
    EXPECT_EQ(button->GetTeeColor(), clBlue);
}

TEST(ButtonColor, PaintsItsColourAsASwatch) {
    TForm form(nullptr);
    auto* button = new TButtonColor(&form);
    TTeeShadow shadow;
    shadow.SetColor(clLime);
    button->LinkProperty(&shadow, "Color");
    TBitmap face(75, 25);
    button->PaintSymbol(face.Canvas());
    EXPECT_EQ(face.Canvas()->Pixels(62, 12), clLime); // (56, 7) to (69, 19)
    EXPECT_EQ(face.Canvas()->Pixels(50, 12), clWhite);
}

TEST(EditColor, CancelKeepsTheColourAndTheCustomColours) {
    TStrictResponder responder;
    TeeCustomEditColors()->SetText("ColorA=FF0000");
    responder.ExpectCancel(TDialogKind::ColorDialog);
    TColor color = clGreen;
    EXPECT_FALSE(EditColorDialog(nullptr, color));
    EXPECT_EQ(color, clGreen);
    ASSERT_EQ(TeeCustomEditColors()->Count(), 1);
    EXPECT_EQ(TeeCustomEditColors()->Strings(0), "ColorA=FF0000");
    responder.ExpectColor(clGreen); // the same colour: no change reported
    EXPECT_FALSE(EditColorDialog(nullptr, color));
    responder.ExpectColor(clNavy);
    EXPECT_EQ(EditColor(nullptr, clGreen), clNavy);
}

TEST(ButtonColor, TheSwatchAppearsOnTheButtonOnScreen) {
    TForm form(nullptr);
    auto* button = new TButtonColor(&form);
    button->SetParent(&form);
    button->SetBounds(0, 0, 75, 25);
    TTeeShadow shadow;
    shadow.SetColor(clLime);
    button->LinkProperty(&shadow, "Color");
    form.Show();
    TBitmap face;
    GrabControl(button, &face);
    ASSERT_EQ(face.Width(), 75);
    EXPECT_EQ(face.Canvas()->Pixels(62, 12), clLime);
}
