// Controls of a window that is not on screen take their fonts and label sizes
// later; what is then shown, grabbed or asked for matches controls on screen.
#include "forms_fixture.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/stdctrls.h"
#include "platform/forms/testhooks.h"
#include "platform/graphics/graphics.h"
#include "platform/rtl/sysutils.h"
#include <QWidget>
#include <algorithm>
#include <functional>
#include <vector>

namespace {
struct TLabelSteps {
    const char* Name;
    std::function<void(TLabel*)> Steps;
};

// Labels are placed as the windows place them: bounds, then the parent.
TLabel* PlacedLabel(TWinControl* Parent) {
    auto* label = new TLabel(Parent);
    label->SetBounds(100, 10, 80, 17);
    label->SetParent(Parent);
    return label;
}

void Fill(TComboBox* Box) {
    for (const char* s : {"10", "20", "30"})
        Box->Items()->Add(s);
}

bool SameImage(TBitmap& A, TBitmap& B) {
    if (A.Width() != B.Width() || A.Height() != B.Height()) return false;
    for (int y = 0; y < A.Height(); ++y)
        for (int x = 0; x < A.Width(); ++x)
            if (A.Canvas()->Pixels(x, y) != B.Canvas()->Pixels(x, y)) return false;
    return true;
}
} // namespace

class OffscreenTest : public FormsTest {};

TEST_F(OffscreenTest, LabelsOffScreenEndWithTheBoundsOfLabelsOnScreen) {
    const TLabelSteps rows[] = {
        {"caption, then font",
         [](TLabel* l) {
             l->SetCaption("measurement");
             l->Font()->SetName("Arial");
             l->Font()->SetHeight(-21);
         }},
        {"right-justified after a caption",
         [](TLabel* l) {
             l->SetCaption("wide caption");
             l->SetAlignment(taRightJustify);
             l->SetCaption("x");
         }},
        {"left again after a caption",
         [](TLabel* l) {
             l->SetAlignment(taRightJustify);
             l->SetCaption("wide caption");
             l->SetAlignment(taCenter);
             l->SetCaption("x");
         }},
        {"auto-size off after a caption",
         [](TLabel* l) {
             l->SetCaption("wide caption");
             l->SetAutoSize(false);
             l->SetCaption("x");
         }},
        {"moved after a caption",
         [](TLabel* l) {
             l->SetAlignment(taRightJustify);
             l->SetCaption("wide caption");
             l->SetLeft(50);
             l->SetCaption("x");
         }},
        {"bounds after a caption",
         [](TLabel* l) {
             l->SetCaption("wide caption");
             l->SetBounds(5, 6, 7, 8);
         }},
        {"word wrap",
         [](TLabel* l) {
             l->SetCaption("several words here");
             l->SetWordWrap(true);
             l->SetCaption("several more words in here");
         }},
        {"anchored right, parent widened",
         [](TLabel* l) {
             l->SetCaption("wide caption");
             l->SetAnchors(TAnchors{akTop, akRight});
             l->SetCaption("x");
             l->Parent()->SetWidth(300);
         }},
        {"aligned to the top",
         [](TLabel* l) {
             l->SetAlign(alTop);
             l->Font()->SetSize(24);
             l->SetCaption("x");
         }},
    };
    for (const TLabelSteps& row : rows) {
        TForm shown(nullptr), hidden(nullptr);
        for (TForm* f : {&shown, &hidden}) {
            f->SetBorderStyle(bsNone);
            f->SetBounds(0, 0, 400, 300);
        }
        shown.Show();
        auto* shownPanel = new TPanel(&shown);
        shownPanel->SetBounds(0, 0, 250, 120);
        shownPanel->SetParent(&shown);
        auto* hiddenPanel = new TPanel(&hidden);
        hiddenPanel->SetBounds(0, 0, 250, 120);
        hiddenPanel->SetParent(&hidden);
        TLabel* onScreen = PlacedLabel(shownPanel);
        TLabel* offScreen = PlacedLabel(hiddenPanel);
        row.Steps(onScreen);
        row.Steps(offScreen);
        const TRect want = onScreen->BoundsRect();
        EXPECT_EQ(offScreen->BoundsRect(), want) << row.Name;
        // Asked first or shown first, the same bounds.
        TForm later(nullptr);
        later.SetBorderStyle(bsNone);
        later.SetBounds(0, 0, 400, 300);
        auto* laterPanel = new TPanel(&later);
        laterPanel->SetBounds(0, 0, 250, 120);
        laterPanel->SetParent(&later);
        TLabel* shownLater = PlacedLabel(laterPanel);
        row.Steps(shownLater);
        later.Show();
        EXPECT_EQ(shownLater->BoundsRect(), want) << row.Name;
    }
}

TEST_F(OffscreenTest, FontsSetOffScreenShowWhenShownOrGrabbed) {
    auto build = [](TForm& f) {
        f.SetBorderStyle(bsNone);
        f.SetBounds(0, 0, 300, 200);
        auto* box = new TGroupBox(&f);
        box->SetBounds(4, 4, 280, 180);
        box->SetCaption("maximum");
        box->SetParent(&f);
        auto* memo = new TMemo(&f);
        memo->SetBounds(10, 30, 250, 60);
        memo->SetParent(box);
        memo->Lines()->Add("Wg\t: 12,5 kV");
        box->Font()->SetName("Arial");
        box->Font()->SetHeight(-21);
        memo->Font()->SetHeight(-32);
        memo->Font()->SetStyle(TFontStyles{fsBold});
        return box;
    };
    TForm onScreen(nullptr), shownLater(nullptr), grabbedHidden(nullptr);
    onScreen.Show();
    TGroupBox* a = build(onScreen);
    TGroupBox* b = build(shownLater);
    TGroupBox* c = build(grabbedHidden);
    shownLater.Show();
    TBitmap want, afterShow, hidden;
    GrabControl(a, &want);
    GrabControl(b, &afterShow);
    GrabControl(c, &hidden);
    EXPECT_TRUE(SameImage(afterShow, want));
    EXPECT_TRUE(SameImage(hidden, want));
}

TEST_F(OffscreenTest, CombosOffScreenMatchCombosOnScreen) {
    const struct {
        const char* Name;
        std::function<void(TComboBox*)> Steps;
    } rows[] = {
        {"list",
         [](TComboBox* c) {
             c->SetStyle(csDropDownList);
             Fill(c);
             c->SetItemIndex(1);
         }},
        {"drop-down without text", [](TComboBox* c) { Fill(c); }},
        {"drop-down, text of no item",
         [](TComboBox* c) {
             Fill(c);
             c->SetText("         Select time");
         }},
        {"drop-down, item chosen, list grown",
         [](TComboBox* c) {
             Fill(c);
             c->SetItemIndex(1);
             c->Items()->Add("40");
         }},
        {"drop-down, item chosen, then none",
         [](TComboBox* c) {
             Fill(c);
             c->SetItemIndex(1);
             c->SetItemIndex(-1);
         }},
        {"list, then drop-down",
         [](TComboBox* c) {
             c->SetStyle(csDropDownList);
             c->Items()->Add("10");
             c->SetItemIndex(0);
             c->SetStyle(csDropDown);
         }},
    };
    for (const auto& row : rows) {
        TForm onScreen(nullptr), offScreen(nullptr);
        onScreen.Show();
        TComboBox* boxes[2] = {};
        for (int i = 0; i < 2; ++i) {
            TForm& f = i == 0 ? onScreen : offScreen;
            f.SetBorderStyle(bsNone);
            f.SetBounds(0, 0, 200, 60);
            boxes[i] = new TComboBox(&f);
            boxes[i]->SetBounds(10, 10, 120, 24);
            boxes[i]->SetParent(&f);
            row.Steps(boxes[i]);
        }
        EXPECT_EQ(boxes[1]->Text(), boxes[0]->Text()) << row.Name;
        EXPECT_EQ(boxes[1]->ItemIndex(), boxes[0]->ItemIndex()) << row.Name;
        const AnsiString text = boxes[0]->Text();
        offScreen.Show();
        TBitmap want, got;
        GrabControl(boxes[0], &want);
        GrabControl(boxes[1], &got);
        EXPECT_TRUE(SameImage(got, want)) << row.Name;
        EXPECT_EQ(boxes[1]->Text(), text) << row.Name;
        // A drop-down takes typed text, a list does not.
        for (TComboBox* c : boxes)
            SimulateType(c, "5");
        EXPECT_EQ(boxes[1]->Text(), boxes[0]->Text()) << row.Name;
        EXPECT_EQ(boxes[1]->ItemIndex(), boxes[0]->ItemIndex()) << row.Name;
    }
}

// A memo filled while its window is off screen reads, shows and takes keys
// as one filled on screen.
TEST_F(OffscreenTest, MemosFilledOffScreenMatchMemosFilledOnScreen) {
    const struct {
        const char* Name;
        std::function<void(TMemo*)> Steps;
    } rows[] = {
        {"untouched", [](TMemo*) {}},
        {"lines added, one deleted, one put, one inserted",
         [](TMemo* m) {
             for (const char* s : {"Error occurred :", "", "USB ADC device not found !"})
                 m->Lines()->Add(s);
             m->Lines()->Delete(1);
             m->Lines()->SetStrings(0, "first");
             m->Lines()->Insert(1, "inserted");
         }},
        {"text set, part selected",
         [](TMemo* m) {
             m->SetText("first line\r\nsecond line");
             m->SetSelStart(6);
             m->SetSelLength(9);
         }},
        {"text set, all selected",
         [](TMemo* m) {
             m->SetText("abc\r\ndef");
             m->SelectAll();
         }},
        {"large figure: read-only, right-aligned, no wrap",
         [](TMemo* m) {
             m->SetReadOnly(true);
             m->SetAlignment(taRightJustify);
             m->SetWordWrap(false);
             m->Font()->SetName("Arial");
             m->Font()->SetHeight(-32);
             m->SetText("0.00kV/m");
         }},
        {"notice: white bold on red",
         [](TMemo* m) {
             m->SetColor(clRed);
             m->Font()->SetColor(clWhite);
             m->Font()->SetStyle({fsBold});
             m->SetText("USB ADC device not found !");
         }},
        {"disabled, centred",
         [](TMemo* m) {
             m->SetEnabled(false);
             m->SetAlignment(taCenter);
             m->SetText("- First click on Device");
         }},
        {"long line, scroll bars, no border",
         [](TMemo* m) {
             m->SetWordWrap(false);
             m->SetScrollBars(ssBoth);
             m->SetBorderStyle(bsNone);
             m->SetText(AnsiString(std::string(60, 'w')) + "\r\nsecond");
         }},
    };
    for (const auto& row : rows) {
        TForm onScreen(nullptr), offScreen(nullptr);
        onScreen.Show();
        TMemo* memos[2] = {};
        int changes[2] = {};
        for (int i = 0; i < 2; ++i) {
            TForm& f = i == 0 ? onScreen : offScreen;
            f.SetBorderStyle(bsNone);
            f.SetBounds(0, 0, 240, 120);
            memos[i] = new TMemo(&f);
            memos[i]->SetBounds(10, 10, 200, 80);
            memos[i]->SetParent(&f);
            memos[i]->OnChange = [&changes, i](TObject*) { ++changes[i]; };
            row.Steps(memos[i]);
        }
        const auto expectSame = [&](const char* when) {
            EXPECT_EQ(memos[1]->Text(), memos[0]->Text()) << row.Name << when;
            EXPECT_EQ(memos[1]->Lines()->Count(), memos[0]->Lines()->Count()) << row.Name << when;
            EXPECT_EQ(memos[1]->SelStart(), memos[0]->SelStart()) << row.Name << when;
            EXPECT_EQ(memos[1]->SelLength(), memos[0]->SelLength()) << row.Name << when;
            EXPECT_EQ(memos[1]->ReadOnly(), memos[0]->ReadOnly()) << row.Name << when;
            EXPECT_EQ(memos[1]->Modified(), memos[0]->Modified()) << row.Name << when;
            EXPECT_EQ(changes[1], changes[0]) << row.Name << when;
        };
        expectSame(", off screen");
        offScreen.Show();
        expectSame(", shown");
        TBitmap want, got;
        GrabControl(memos[0], &want);
        GrabControl(memos[1], &got);
        EXPECT_TRUE(SameImage(got, want)) << row.Name;
        for (TMemo* m : memos) {
            SimulateKey(m, VK_END, {ssCtrl});
            SimulateType(m, "x");
        }
        expectSame(", typed into");
    }
}

// Memos that were never shown take their place in the focus chain Tab follows.
TEST_F(OffscreenTest, MemosShownLaterKeepTheirPlaceInTheTabOrder) {
    std::vector<int> order[2];
    for (int i = 0; i < 2; ++i) {
        TForm f(nullptr);
        f.SetBounds(0, 0, 300, 200);
        if (i == 0) f.Show();
        TWinControl* controls[4] = {new TEdit(&f), new TMemo(&f), new TMemo(&f), new TButton(&f)};
        for (int k = 0; k < 4; ++k) {
            controls[k]->SetBounds(10, 10 + 40 * k, 100, 30);
            controls[k]->SetParent(&f);
        }
        f.Show();
        QWidget* w = controls[0]->Widget();
        for (int step = 0; step < 40 && order[i].size() < 4; ++step, w = w->nextInFocusChain())
            for (int k = 0; k < 4; ++k)
                if (controls[k]->Widget() == w) order[i].push_back(k);
    }
    EXPECT_EQ(order[0], std::vector<int>({0, 1, 2, 3}));
    EXPECT_EQ(order[1], order[0]);
}
