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

// The colour dialog opens with the remembered custom colours and the ones the
// user leaves in it on OK are remembered for the next time.
TEST(EditColor, KeepsTheDialogsCustomColoursOnOkOnly) {
    TStrictResponder responder;
    TeeCustomEditColors()->SetText("ColorA=0000FF\nColorC=00FF00\nColorD=FFFFFFFF\nColorZ=123456");
    std::vector<TColor> shown;
    responder.ExpectColor(clNavy, [&](std::vector<TColor>& custom) {
        shown = custom;
        custom[1] = clBlue;
        custom[15] = TColor(0x123456);
    });
    EXPECT_EQ(EditColor(nullptr, clGreen), clNavy);
    const std::vector<TColor> expected = {clRed,  clNone, clLime, clNone, clNone, clNone,
                                          clNone, clNone, clNone, clNone, clNone, clNone,
                                          clNone, clNone, clNone, clNone};
    EXPECT_EQ(shown, expected);
    ASSERT_EQ(TeeCustomEditColors()->Count(), 16);
    EXPECT_EQ(TeeCustomEditColors()->Strings(0), "ColorA=0000FF");
    EXPECT_EQ(TeeCustomEditColors()->Strings(1), "ColorB=FF0000");
    EXPECT_EQ(TeeCustomEditColors()->Strings(3), "ColorD=FFFFFFFF");
    EXPECT_EQ(TeeCustomEditColors()->Strings(15), "ColorP=123456");

    // The next dialog starts from what the last one left; Cancel keeps it.
    responder.Expect(TDialogKind::ColorDialog, "", [] {
        TDialogAnswer a;
        a.Accept = false;
        a.EditCustomColors = [](std::vector<TColor>& custom) { custom[0] = clYellow; };
        return a;
    }());
    EXPECT_EQ(EditColor(nullptr, clGreen), clGreen);
    ASSERT_EQ(responder.Shown().size(), 2u);
    EXPECT_EQ(responder.Shown()[1].CustomColors[1], clBlue);
    EXPECT_EQ(responder.Shown()[1].CustomColors[15], TColor(0x123456));
    EXPECT_EQ(TeeCustomEditColors()->Strings(0), "ColorA=0000FF");
    TeeCustomEditColors()->Clear();
}
