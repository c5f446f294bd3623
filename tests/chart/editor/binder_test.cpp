// Each kind of bound control is read from its getter on load, written through
// its setter on a change, and stays quiet while loading and before the first load.
#include "chart/editor/teebinder.h"
#include "chart/editor/teeformbuild.h"
#include "platform/forms/buttons.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/forms.h"
#include "platform/forms/stdctrls.h"
#include "platform/rtl/sysutils.h"
#include <gtest/gtest.h>
#include <memory>

namespace {

struct TModel {
    int Value = 0;
    int Writes = 0;
};

struct TBinderKind {
    const char* Name;
    // Creates the control on Form, binds it to Model and returns what reads it
    // and what changes it as the user would.
    std::function<std::pair<std::function<int()>, std::function<void(int)>>(TForm*, TControlBinder&,
                                                                            TModel&)>
        Make;
    int Loaded; // a value the control can show
    int Typed;  // a different one the user picks
};

void PrintTo(const TBinderKind& K, std::ostream* Os) {
    *Os << K.Name;
}

auto Setter(TModel& M) {
    return [&M](int V) {
        M.Value = V;
        ++M.Writes;
    };
}

const TBinderKind Kinds[] = {
    {"Check",
     [](TForm* F, TControlBinder& B, TModel& M) {
         auto* c = TeeNewCheck(F, F, "C", "C", 0, 0, 80);
         B.Check(
             c, [&M] { return M.Value != 0; }, [&M](bool V) { Setter(M)(V ? 1 : 0); });
         return std::make_pair(std::function<int()>([c] { return c->Checked() ? 1 : 0; }),
                               std::function<void(int)>([c](int V) { c->SetChecked(V != 0); }));
     },
     1, 0},
    {"UpDown",
     [](TForm* F, TControlBinder& B, TModel& M) {
         TEdit* e = nullptr;
         auto* u = TeeNewUpDown(F, F, "E", "U", 0, 0, 40, 0, 100, &e);
         B.UpDown(
             u, [&M] { return M.Value; }, Setter(M));
         return std::make_pair(std::function<int()>([u] { return u->Position(); }),
                               std::function<void(int)>([e](int V) { e->SetText(IntToStr(V)); }));
     },
     42, 7},
    {"Text",
     [](TForm* F, TControlBinder& B, TModel& M) {
         auto* e = TeeNew<TEdit>(F, F, "E", 0, 0, 60, 20);
         B.Text(
             e, [&M] { return IntToStr(M.Value); },
             [&M](const AnsiString& S) { Setter(M)(StrToIntDef(S, -1)); });
         return std::make_pair(std::function<int()>([e] { return StrToIntDef(e->Text(), -1); }),
                               std::function<void(int)>([e](int V) { e->SetText(IntToStr(V)); }));
     },
     12, 34},
    {"Combo",
     [](TForm* F, TControlBinder& B, TModel& M) {
         auto* c = TeeNewCombo(F, F, "C", 0, 0, 80, {"a", "b", "c"});
         B.Index(
             c, [&M] { return M.Value; }, Setter(M));
         return std::make_pair(std::function<int()>([c] { return c->ItemIndex(); }),
                               std::function<void(int)>([c](int V) {
                                   // A pick by the user fires what a pick by code does not.
                                   c->SetItemIndex(V);
                                   c->OnChange(c);
                               }));
     },
     2, 1},
    {"Radio",
     [](TForm* F, TControlBinder& B, TModel& M) {
         auto* r = TeeNewRadio(F, F, "R", "R", 0, 0, 80, 80, {"a", "b", "c"});
         B.Index(
             r, [&M] { return M.Value; }, Setter(M));
         return std::make_pair(std::function<int()>([r] { return r->ItemIndex(); }),
                               std::function<void(int)>([r](int V) { r->SetItemIndex(V); }));
     },
     2, 0},
    {"Down",
     [](TForm* F, TControlBinder& B, TModel& M) {
         auto* b = TeeNew<TSpeedButton>(F, F, "B", 0, 0, 30, 22);
         b->SetGroupIndex(1);
         b->SetAllowAllUp(true);
         B.Down(
             b, [&M] { return M.Value != 0; }, [&M](bool V) { Setter(M)(V ? 1 : 0); });
         return std::make_pair(std::function<int()>([b] { return b->Down() ? 1 : 0; }),
                               std::function<void(int)>([b](int V) {
                                   // A click by the user fires what setting Down does not.
                                   b->SetDown(V != 0);
                                   b->OnClick(b);
                               }));
     },
     1, 0},
    {"Page",
     [](TForm* F, TControlBinder& B, TModel& M) {
         auto* p = TeeNew<TPageControl>(F, F, "P", 0, 0, 120, 80);
         for (const char* t : {"a", "b", "c"})
             TeeNewTab(p, t, t);
         B.Index(
             p, [&M] { return M.Value; }, Setter(M));
         return std::make_pair(
             std::function<int()>([p] { return p->ActivePageIndex(); }),
             std::function<void(int)>([p](int V) { p->SelectPageByUser(p->Pages(V)); }));
     },
     2, 1},
};

class BinderTest : public ::testing::TestWithParam<TBinderKind> {};

TEST_P(BinderTest, LoadsQuietlyThenWritesChanges) {
    const TBinderKind& k = GetParam();
    auto form = std::make_unique<TForm>(nullptr);
    TControlBinder binder;
    TModel model;
    auto [read, change] = k.Make(form.get(), binder, model);

    change(k.Typed);
    EXPECT_EQ(model.Writes, 0) << "written before the first load";

    model.Value = k.Loaded;
    binder.Load();
    EXPECT_EQ(read(), k.Loaded);
    EXPECT_EQ(model.Writes, 0) << "the load echoed back as a write";
    EXPECT_FALSE(binder.Loading());

    change(k.Typed);
    EXPECT_EQ(model.Writes, 1);
    EXPECT_EQ(model.Value, k.Typed);

    {
        auto guard = binder.Guard();
        change(k.Loaded);
    }
    EXPECT_EQ(model.Writes, 1) << "written under the guard";
    EXPECT_EQ(model.Value, k.Typed);
}

// A page's controls may be docked elsewhere and freed before the page and its binder.
TEST_P(BinderTest, ControlFreedFirstIsForgotten) {
    auto form = std::make_unique<TForm>(nullptr);
    auto binder = std::make_unique<TControlBinder>();
    TModel model;
    GetParam().Make(form.get(), *binder, model);
    binder->Load();
    form.reset();
    binder->Load();
    binder.reset();
    EXPECT_EQ(model.Writes, 0);
}

// Two pages bound to one property: a change made on either shows on the
// other at once (and on the page's own controls read outside the binder),
// and that showing writes nothing back.
TEST_P(BinderTest, AChangeOnOnePageShowsOnEveryPageOfTheProperty) {
    const TBinderKind& k = GetParam();
    auto form1 = std::make_unique<TForm>(nullptr), form2 = std::make_unique<TForm>(nullptr);
    TControlBinder binder1, binder2;
    TModel model;
    auto [read1, change1] = k.Make(form1.get(), binder1, model);
    auto [read2, change2] = k.Make(form2.get(), binder2, model);
    int refreshed = 0;
    binder2.OnRefresh = [&] {
        EXPECT_TRUE(binder2.Loading());
        ++refreshed;
    };
    model.Value = k.Loaded;
    binder1.Load();
    binder2.Load();

    change1(k.Typed);
    EXPECT_EQ(read2(), k.Typed);
    EXPECT_EQ(refreshed, 1);
    change2(k.Loaded);
    EXPECT_EQ(read1(), k.Loaded);
    EXPECT_EQ(model.Value, k.Loaded);
    EXPECT_EQ(model.Writes, 2) << "showing the change wrote it again";
}

INSTANTIATE_TEST_SUITE_P(Kinds, BinderTest, ::testing::ValuesIn(Kinds),
                         [](const auto& Info) { return std::string(Info.param.Name); });

} // namespace
