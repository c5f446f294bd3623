// A form whose OnShow frees it: showing it leaves nothing of it touched, and
// the window left behind is the other forms' only.
#include "forms_fixture.h"
#include "platform/classes/watched.h"
#include "platform/forms/stdctrls.h"

namespace {
class ShownFreedTest : public FormsTest {};
} // namespace

TEST_F(ShownFreedTest, AFormFreedByItsOwnOnShowIsLeftAsItGoes) {
    auto* form = new TForm(nullptr);
    form->SetBounds(10, 10, 200, 150);
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    TWatched<TForm> alive = form;
    int shown = 0;
    form->OnShow = [&](TObject*) {
        ++shown;
        delete alive.Get();
    };
    form->Show();
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(alive) << "the form freed itself in OnShow";
    // The program goes on: another form shows and hides as usual.
    Form->Show();
    EXPECT_TRUE(Form->Visible());
    Form->Hide();
}
