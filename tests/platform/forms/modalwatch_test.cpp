// Windows shown about objects that are freed while they are open: the window
// closes, the caller learns it, windows opened over it close too and their
// handlers end by the silent abort.
#include "forms_fixture.h"
#include "platform/forms/dialogs.h"
#include "platform/forms/modalwatch.h"
#include "platform/forms/stdctrls.h"
#include <memory>

class ModalWatchTest : public FormsTest {};

TEST_F(ModalWatchTest, AWindowClosesAsCancelledWhenWhatItIsAboutGoes) {
    enum Way { Subject, Owner, Neither };
    for (Way way : {Subject, Owner, Neither}) {
        SCOPED_TRACE(way == Subject ? "subject freed" : way == Owner ? "owner freed" : "closed");
        auto* subject = new TComponent(nullptr);
        auto* owner = new TComponent(nullptr);
        // Held by the caller and owned by a form that may close meanwhile.
        std::unique_ptr<TForm> window(new TForm(owner));
        window->OnCloseQuery = [](TObject*, bool& CanClose) { CanClose = false; };
        TPumpScript script;
        script.When([&] { return window->Visible(); }).Do([&] {
            if (way == Subject) delete std::exchange(subject, nullptr);
            if (way == Owner) delete std::exchange(owner, nullptr);
            if (way == Neither) {
                window->OnCloseQuery = nullptr;
                window->SetModalResult(mrOk);
            }
        });
        const TModalOutcome shown = ShowModalWatching(window.get(), {subject, nullptr});
        EXPECT_TRUE(script.Done());
        EXPECT_EQ(shown.Gone, way != Neither);
        EXPECT_EQ(shown.Result, way == Neither ? mrOk : mrCancel);
        EXPECT_EQ(shown.Ok(), way == Neither);
        EXPECT_FALSE(window->Visible());
        window.reset();
        // Freed after the window closed: nobody listens any more.
        delete subject;
        delete owner;
    }
}

// A window opened by a handler of another window: what the outer window is
// about, or the page whose handler opened it, goes while it is open.
TEST_F(ModalWatchTest, WindowsOverItCloseAndTheirHandlersEndSilently) {
    for (bool callerGoes : {false, true}) {
        SCOPED_TRACE(callerGoes ? "caller freed" : "outer window's subject freed");
        auto* chart = new TComponent(nullptr);
        auto* page = new TComponent(nullptr);
        TForm outer(nullptr);
        auto* open = new TButton(&outer);
        open->SetParent(&outer);
        open->SetBounds(10, 10, 75, 25);
        auto* close = new TButton(&outer);
        close->SetParent(&outer);
        close->SetBounds(10, 40, 75, 25);
        close->SetModalResult(mrCancel);
        TForm inner(nullptr);
        bool handlerWentOn = false;
        open->OnClick = [&](TObject*) {
            // About a part of the chart, which this window does not know.
            ShowModalWatching(&inner, {}, page);
            handlerWentOn = true;
        };
        TPumpScript script;
        script.Click(open).When([&] { return inner.Visible(); }).Do([&] {
            delete std::exchange(callerGoes ? page : chart, nullptr);
        });
        if (callerGoes) script.Click(close);
        const TModalOutcome outerShown = ShowModalWatching(&outer, {chart});
        EXPECT_TRUE(script.Done());
        EXPECT_EQ(outerShown.Gone, !callerGoes);
        EXPECT_FALSE(handlerWentOn);
        EXPECT_FALSE(inner.Visible());
        EXPECT_TRUE(Responder.Shown().empty()) << "the abort is silent";
        delete chart;
        delete page;
    }
}

// A dialog of the system over such a window: what the window is about, or the
// dialog's owner, goes while it is open. The handler that showed it ends
// silently instead of acting on its answer, and its caller frees the dialog.
TEST_F(ModalWatchTest, ASystemDialogOverItEndsItsHandlerWhenTheWindowLosesItsObject) {
    for (bool ownerGoes : {false, true}) {
        SCOPED_TRACE(ownerGoes ? "the dialog's owner freed" : "the window's subject freed");
        auto* chart = new TComponent(nullptr);
        auto* page = new TComponent(nullptr);
        TForm window(nullptr);
        auto* save = new TButton(&window);
        save->SetParent(&window);
        save->SetBounds(10, 10, 75, 25);
        bool acted = false, dialogKept = false;
        save->OnClick = [&](TObject*) {
            // On the stack: its scope frees it, never the owner.
            TSaveDialog dialog(page);
            TDialogAnswer answer;
            answer.Text = "/data/never-written";
            answer.WhileShown = [&] { delete std::exchange(ownerGoes ? page : chart, nullptr); };
            Responder.Expect(TDialogKind::SaveDialog, "", answer);
            struct TKept {
                bool& Kept;
                TSaveDialog* D;
                ~TKept() { Kept = D->Owner() == nullptr; }
            } kept{dialogKept, &dialog};
            if (dialog.Execute()) acted = true;
        };
        TPumpScript script;
        script.Click(save);
        if (ownerGoes) script.After(5).Do([&] { window.SetModalResult(mrCancel); });
        ShowModalWatching(&window, {chart});
        EXPECT_TRUE(script.Done());
        EXPECT_FALSE(acted);
        EXPECT_EQ(dialogKept, ownerGoes);
        EXPECT_FALSE(window.Visible());
        delete chart;
        delete page;
    }
}
