// What an entry in a number field reaches its page as: whole numbers within
// an up-down's range (beyond it as the bound, written as the up-down writes
// it), whole numbers within a stored range, finite numbers within a range.
#include "chart/control/teenumedit.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/forms.h"
#include "platform/forms/testhooks.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/formatsettings.h"
#include <gtest/gtest.h>
#include <limits>
#include <memory>

namespace {

struct Entry {
    const char* Typed;
    bool Reaches;
    const char* Shown;   // what the field shows once left
    const char* ForPage; // what the page reads
};

class NumberEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        OldThousands = ThousandSeparator;
        OldDecimal = DecimalSeparator;
        ThousandSeparator = ',';
        DecimalSeparator = '.';
        Form = std::make_unique<TForm>(nullptr);
        Edit = new TNumberEdit(Form.get());
        Edit->SetParent(Form.get());
    }
    void TearDown() override {
        ThousandSeparator = OldThousands;
        DecimalSeparator = OldDecimal;
    }
    void Check(const std::vector<Entry>& Entries) {
        for (const Entry& e : Entries) {
            AnsiString shown, forPage;
            ASSERT_EQ(Edit->Bounded(e.Typed, shown, forPage), e.Reaches) << e.Typed;
            if (!e.Reaches) continue;
            EXPECT_EQ(shown, e.Shown) << e.Typed;
            EXPECT_EQ(forPage, e.ForPage) << e.Typed;
        }
    }
    char OldThousands, OldDecimal;
    std::unique_ptr<TForm> Form;
    TNumberEdit* Edit = nullptr;
};

TEST_F(NumberEditTest, UpDownFieldTakesItsRangeAndEndsBeyondIt) {
    auto* u = new TUpDown(Form.get());
    u->SetParent(Form.get());
    u->SetMin(-100);
    u->SetMax(5000);
    Edit->SetUpDown(u);
    Check({{"42", true, "42", "42"},
           {" +7 ", true, " +7 ", "7"},
           {"1,200", true, "1,200", "1200"},
           {"99999999", true, "5,000", "5000"},
           {"99999999999999999999", true, "5,000", "5000"},
           {"-101", true, "-100", "-100"},
           {"-", false},
           {"", false},
           {"abc", false},
           {"12.5", false},
           {"1e3", false}});
    u->SetMax(10); // a page may narrow the range later
    Check({{"11", true, "10", "10"}});
}

// A form frees its up-downs and fields in any order: a field whose up-down
// went first bounds by its own range and frees without reaching it.
TEST_F(NumberEditTest, FieldOutlivesItsUpDown) {
    auto* u = new TUpDown(Form.get());
    u->SetParent(Form.get());
    u->SetMax(10);
    Edit->SetUpDown(u);
    delete u;
    Check({{"11", true, "11", "11"}});
    Edit->SetText("12");
    delete Edit;
    Edit = nullptr;
}

TEST_F(NumberEditTest, StoredRangeRefusesWhatAFileCouldNotHold) {
    Edit->SetIntegerRange(1, 1000000);
    Check({{"1000000", true, "1000000", "1000000"},
           {"1000001", false},
           {"0", false},
           {"-3", false},
           {"1,000", false},
           {"x", false}});
}

TEST_F(NumberEditTest, FloatFieldTakesFiniteNumbersWithinItsRange) {
    Edit->SetFloatRange(2, std::numeric_limits<double>::max());
    Check({{"2", true, "2", "2"},
           {"2.5", true, "2.5", "2.5"},
           {"1e300", true, "1e300", "1e300"},
           {"1.5", false},
           {"1e400", false},
           {"nan", false},
           {"inf", false},
           {"", false}});
}

// A limit field hands the page only whole figures: typing "250" reaches it
// once, on Enter or on leaving; the up-down's arrows and the page's own text
// reach it at once.
TEST_F(NumberEditTest, WholeFiguresReachThePageOnceTyped) {
    auto* u = new TUpDown(Form.get());
    u->SetParent(Form.get());
    u->SetMax(1000);
    u->SetAssociate(Edit);
    Edit->SetUpDown(u);
    auto* other = new TEdit(Form.get());
    other->SetParent(Form.get());
    Edit->SetWholeFigures(true);
    std::vector<std::string> heard;
    Edit->OnChange = [&](TObject*) { heard.push_back(Edit->Text().c_str()); };
    Form->Show();
    Edit->SetText("100");
    EXPECT_EQ(heard, std::vector<std::string>{"100"});
    heard.clear();

    Edit->SelectAll();
    SimulateType(Edit, "250");
    EXPECT_TRUE(heard.empty());
    SimulateKey(Edit, VK_RETURN);
    EXPECT_EQ(heard, std::vector<std::string>{"250"});
    // Enter again, or leaving, hands nothing more.
    SimulateKey(Edit, VK_RETURN);
    Form->SetActiveControl(other);
    EXPECT_EQ(heard.size(), 1u);

    heard.clear();
    Edit->SetFocus();
    Edit->SelectAll();
    SimulateType(Edit, "4000");
    Form->SetActiveControl(other);
    // Beyond the range as the bound, shown as the page keeps it.
    EXPECT_EQ(heard, std::vector<std::string>{"1000"});
    EXPECT_EQ(Edit->Text(), "1,000");

    heard.clear();
    Edit->SetFocus();
    Edit->SelectAll();
    SimulateType(Edit, "7");
    SimulateClick(u, u->Width() / 2, 2);
    EXPECT_EQ(heard, std::vector<std::string>{"8"}) << "the arrow's step from the figure, at once";
    Form->SetActiveControl(other);
    EXPECT_EQ(heard.size(), 1u);
}

// Without the rule each figure reaches the page as it is typed.
TEST_F(NumberEditTest, OtherFieldsHandEachFigureOn) {
    std::vector<std::string> heard;
    Edit->OnChange = [&](TObject*) { heard.push_back(Edit->Text().c_str()); };
    Form->Show();
    SimulateType(Edit, "25");
    EXPECT_EQ(heard, (std::vector<std::string>{"2", "25"}));
}

} // namespace
