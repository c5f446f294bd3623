#include "platform/forms/extctrls.h"
#include "platform/forms/forms.h"
#include "platform/forms/menus.h"
#include "platform/forms/stdctrls.h"
#include "support/forms_testing.h"
#include <gtest/gtest.h>

TEST(FormsSmoke, FormWithButtonClicks) {
    TStrictResponder responder;
    TPumpScript script;
    auto form = std::make_unique<TForm>(nullptr);
    auto* button = new TButton(form.get());
    button->SetParent(form.get());
    button->SetCaption("&OK");
    int clicks = 0;
    button->OnClick = [&](TObject*) { ++clicks; };
    form->Show();
    SimulateClick(button);
    EXPECT_EQ(clicks, 1);
    auto* edit = new TEdit(form.get());
    edit->SetParent(form.get());
    int changes = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    edit->SetText("abc");
    EXPECT_EQ(changes, 1);
    SimulateType(edit, "xy");
    EXPECT_EQ(edit->Text(), "xy"); // entering by keyboard selects the text
    EXPECT_EQ(changes, 3);
    auto* label = new TLabel(form.get());
    label->SetParent(form.get());
    label->SetCaption("Hello");
    EXPECT_GT(label->Width(), 10);
    label->Repaint();
}
