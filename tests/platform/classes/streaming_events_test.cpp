// Events as published properties: a handler bound to a published method of
// the stream's root is stored by the method's name and bound again on reading.
#include "streaming_fixtures.h"
#include "platform/classes/streams.h"
#include <gtest/gtest.h>

namespace {

using TFxMoveEvent = std::function<void(TObject* Sender, int X, int& Y)>;

class TFxButton : public TComponent {
    QM_CLASS(TFxButton)
public:
    using TComponent::TComponent;
    TNotifyEvent OnClick;
    TFxMoveEvent OnMove;
};

// A form: its owned components are its children, its handlers published methods.
class TFxForm : public TComponent {
    QM_CLASS(TFxForm)
public:
    using TComponent::TComponent;
    void GetChildren(const TGetChildProc& Proc, TComponent*) override {
        for (int i = 0; i < ComponentCount(); ++i)
            Proc(Components(i));
    }
    void ButtonClick(TObject* Sender) { Clicks.push_back(Sender); }
    void ButtonMove(TObject*, int X, int& Y) { Y = X * 2 + Offset; }
    std::vector<TObject*> Clicks;
    int Offset = 0;
};

// Its methods are the form's.
class TFxSubForm : public TFxForm {
    QM_CLASS(TFxSubForm)
public:
    using TFxForm::TFxForm;
};

} // namespace

QM_PUBLISHED(TFxButton, Prop("OnClick", &Self::OnClick), Prop("OnMove", &Self::OnMove));
QM_CLASS_OWNED(TFxButton, TComponent, TComponent)
QM_PUBLISHED_METHODS(TFxForm, Method("ButtonClick", &Self::ButtonClick),
                     Method("ButtonMove", &Self::ButtonMove));
QM_CLASS_OWNED(TFxForm, TComponent, TComponent)
QM_CLASS_OWNED(TFxSubForm, TFxForm, TComponent)

namespace {

const TPropInfo* OnClick() {
    return GetPropInfo(&TFxButton::ClassInfo, "onclick");
}

struct TFormWithButton {
    TFormWithButton() {
        RegisterClass(&TFxButton::ClassInfo);
        Button->SetName("Button1");
    }
    TFxSubForm Form{nullptr};
    TFxButton* Button = new TFxButton(&Form);
};

std::string Save(TComponent* Root) {
    TMemoryStream m;
    WriteComponentToStream(&m, Root);
    return std::string(static_cast<const char*>(m.Memory()), static_cast<size_t>(m.Size()));
}

// Reads Binary into Form; the reader's error hook when given.
void Load(const std::string& Binary, TComponent* Form,
          std::function<bool(const AnsiString&)> OnError = {}) {
    TMemoryStream m;
    m.WriteBuffer(Binary.data(), static_cast<int64_t>(Binary.size()));
    m.SetPosition(0);
    TReader reader(&m);
    reader.OnError = std::move(OnError);
    reader.ReadRootComponent(Form);
}

// The stream with "OnClick = <Name>" in it, written through the text form.
std::string WithHandlerNamed(const char* Name) {
    return TextToBinary(std::string("object Form: TFxSubForm\n  object Button1: TFxButton\n"
                                    "    OnClick = ") +
                        Name + "\n  end\nend\n");
}

TEST(StreamingEvents, AHandlerOfTheRootRoundTripsInBothFormsAndBindsTheNewRoot) {
    TFormWithButton f;
    EXPECT_THROW(OnClick()->SetMethod(f.Button, MethodOf(&f.Form, "ButtonMove")), EPropertyError);
    OnClick()->SetMethod(f.Button, MethodOf(&f.Form, "buttonCLICK"));
    GetPropInfo(&TFxButton::ClassInfo, "OnMove")
        ->SetMethod(f.Button, MethodOf(&f.Form, "ButtonMove"));
    const std::string binary = Save(&f.Form);
    const std::string text = BinaryToText(binary);
    EXPECT_NE(text.find("OnClick = ButtonClick"), std::string::npos) << text;
    EXPECT_NE(text.find("OnMove = ButtonMove"), std::string::npos) << text;
    EXPECT_EQ(TextToBinary(text), binary);

    TFxSubForm back(nullptr);
    back.Offset = 5;
    Load(binary, &back);
    auto* button = static_cast<TFxButton*>(back.FindComponent("Button1"));
    ASSERT_NE(button, nullptr);
    button->OnClick(button);
    ASSERT_EQ(back.Clicks.size(), 1u);
    EXPECT_EQ(back.Clicks[0], button);
    EXPECT_TRUE(f.Form.Clicks.empty());
    int y = 0;
    button->OnMove(button, 1, y);
    EXPECT_EQ(y, 7);
    EXPECT_EQ(Save(&back), binary);
}

TEST(StreamingEvents, HandlersWithoutANameOfTheRootWriteNothing) {
    TFormWithButton f;
    const std::string none = Save(&f.Form);
    f.Button->OnClick = [](TObject*) {};
    EXPECT_EQ(Save(&f.Form), none);
    // Another form's method cannot be named from this root.
    TFxForm other(nullptr);
    OnClick()->SetMethod(f.Button, MethodOf(&other, "ButtonClick"));
    EXPECT_EQ(Save(&f.Form), none);
}

TEST(StreamingEvents, ANameTheRootCannotBindIsAReadErrorThatMayBeSkipped) {
    const struct {
        const char* Value;
        const char* Message;
    } cases[] = {
        {"Nowhere", "Error reading Button1.OnClick: Method Nowhere not found"},
        {"ButtonMove", "Error reading Button1.OnClick: Method ButtonMove does not fit the event "
                       "OnClick"},
        {"12", "Error reading Button1.OnClick: Invalid property value"},
    };
    for (const auto& c : cases) {
        const std::string binary = WithHandlerNamed(c.Value);
        std::vector<std::string> reported;
        TFxSubForm form(nullptr);
        Load(binary, &form, [&](const AnsiString& m) {
            reported.push_back(m.str());
            return true;
        });
        EXPECT_EQ(reported, std::vector<std::string>{c.Message});
        auto* button = static_cast<TFxButton*>(form.FindComponent("Button1"));
        ASSERT_NE(button, nullptr);
        EXPECT_FALSE(button->OnClick);

        TFxSubForm strict(nullptr);
        try {
            Load(binary, &strict);
            ADD_FAILURE() << c.Value << " was read without a handler";
        } catch (const EReadError& e) {
            EXPECT_EQ(e.Message, c.Message);
        }
    }
}

} // namespace
