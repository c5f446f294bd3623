#include "streaming_fixtures.h"
#include "platform/classes/objtext.h"
#include "platform/classes/streams.h"
#include <algorithm>

QM_PUBLISHED(TFxFont, Prop("Name", &Self::Name, &Self::SetName).Default("Arial"),
             Prop("Size", &Self::Size, &Self::SetSize).Default(8),
             Prop("Color", &Self::Color, &Self::SetColor).Default(0).Idents("TFxColor"));
QM_CLASS_PLAIN(TFxFont, TPersistent)

QM_PUBLISHED(TFxTitle, Prop("Font", &Self::Font), Prop("Text", &Self::Text),
             Prop("Visible", &Self::Visible, &Self::SetVisible).Default(true));
QM_CLASS_PLAIN(TFxTitle, TPersistent)

QM_PUBLISHED(TFxItem, Prop("Value", &Self::Value, &Self::SetValue),
             Prop("Text", &Self::Text, &Self::SetText), Prop("Link", &Self::Link, &Self::SetLink));
QM_CLASS_OWNED(TFxItem, TCollectionItem, TCollection)

QM_PUBLISHED(TFxPanel, Prop("Width", &Self::Width, &Self::SetWidth).Default(100),
             Prop("Enabled", &Self::Enabled, &Self::SetEnabled).Default(true),
             Prop("Ratio", &Self::Ratio, &Self::SetRatio),
             Prop("Caption", &Self::Caption, &Self::SetCaption),
             Prop("Shape", &Self::Shape, &Self::SetShape).Default(fsCircle),
             Prop("Options", &Self::Options, &Self::SetOptions).Default(TFxOptions{}),
             Prop("Color", &Self::Color, &Self::SetColor).Default(fxRed).Idents("TFxColor"),
             Prop("Big", &Self::Big, &Self::SetBig).Default(0),
             Prop("Small", &Self::Small, &Self::SetSmall).Default(0),
             Prop("Hint", &Self::Hint, &Self::SetHint).Stored(&Self::IsHintStored),
             Prop("Title", &Self::Title), Prop("Items", &Self::Items), Prop("Lines", &Self::Lines),
             Prop("Buddy", &Self::Buddy, &Self::SetBuddy));
QM_CLASS_OWNED(TFxPanel, TComponent, TComponent)
QM_CLASS_OWNED(TFxHidden, TFxPanel, TComponent)

std::vector<AnsiString>* TFxPanel::LoadedLog = nullptr;

namespace {
const bool registered = [] {
    RegisterClass(&TFxPanel::ClassInfo);
    RegisterClass(&TFxItem::ClassInfo);
    RegisterFxColors();
    return true;
}();
} // namespace

void RegisterFxColors() {
    RegisterIntegerIdents(
        "TFxColor",
        [](int32_t v, AnsiString& ident) {
            if (v == fxRed)
                ident = "fxRed";
            else if (v == fxBlue)
                ident = "fxBlue";
            else
                return false;
            return true;
        },
        [](const AnsiString& ident, int32_t& v) {
            if (SameText(ident, "fxRed"))
                v = fxRed;
            else if (SameText(ident, "fxBlue"))
                v = fxBlue;
            else
                return false;
            return true;
        });
}

TFxPanel::TFxPanel(TComponent* AOwner) : TComponent(AOwner) {}

TFxPanel::~TFxPanel() {
    SetParentPanel(nullptr);
    for (TFxPanel* child : std::vector<TFxPanel*>(FChildren))
        child->SetParentPanel(nullptr);
}

void TFxPanel::SetWidth(int V) {
    FWidth = V;
    if (IsLoading()) WidthSetWhileLoading = true;
}

void TFxPanel::SetBuddy(TFxPanel* V) {
    if (FBuddy) FBuddy->RemoveFreeNotification(this);
    FBuddy = V;
    if (FBuddy) FBuddy->FreeNotification(this);
}

void TFxPanel::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FBuddy) FBuddy = nullptr;
}

void TFxPanel::DefineProperties(TFiler* Filer) {
    TComponent::DefineProperties(Filer);
    Filer->DefineBinaryProperty(
        "Data",
        [this](TStream* s) {
            Data.assign(static_cast<size_t>(s->Size()), '\0');
            s->ReadBuffer(Data.data(), static_cast<int>(Data.size()));
        },
        [this](TStream* s) { s->WriteBuffer(Data.data(), static_cast<int>(Data.size())); },
        !Data.empty());
    Filer->DefineProperty(
        "Marks",
        [this](TReader* r) {
            Marks.clear();
            r->ReadListBegin();
            while (!r->EndOfList())
                Marks.push_back(r->ReadInteger());
            r->ReadListEnd();
        },
        [this](TWriter* w) {
            w->WriteListBegin();
            for (int m : Marks)
                w->WriteInteger(m);
            w->WriteListEnd();
        },
        !Marks.empty());
    Filer->DefineProperty(
        "OldWidth", [this](TReader* r) { SetWidth(r->ReadInteger()); }, {}, false);
}

void TFxPanel::SetParentPanel(TFxPanel* V) {
    if (FParentPanel == V) return;
    if (FParentPanel) std::erase(FParentPanel->FChildren, this);
    FParentPanel = V;
    if (FParentPanel) FParentPanel->FChildren.push_back(this);
}

void TFxPanel::SetParentComponent(TComponent* Value) {
    if (auto* p = dynamic_cast<TFxPanel*>(Value)) SetParentPanel(p);
}

void TFxPanel::GetChildren(const TGetChildProc& Proc, TComponent*) {
    for (TFxPanel* child : FChildren)
        Proc(child);
}

void TFxPanel::Loaded() {
    TComponent::Loaded();
    if (LoadedLog) LoadedLog->push_back(Name());
}

std::string SaveBinary(TComponent* Component) {
    TMemoryStream s;
    WriteComponentToStream(&s, Component);
    return std::string(static_cast<const char*>(s.Memory()), static_cast<size_t>(s.Size()));
}

std::string BinaryToText(const std::string& Binary) {
    TStringStream in(Binary), out;
    ObjectBinaryToText(&in, &out);
    return out.DataString().str();
}

std::string TextToBinary(const std::string& Text) {
    TStringStream in(Text), out;
    ObjectTextToBinary(&in, &out);
    return out.DataString().str();
}

std::string SaveText(TComponent* Component) {
    return BinaryToText(SaveBinary(Component));
}

std::unique_ptr<TFxPanel> LoadBinary(const std::string& Binary,
                                     std::function<bool(const AnsiString&)> OnError) {
    TStringStream in(Binary);
    auto root = std::make_unique<TFxPanel>(nullptr);
    TReader reader(&in);
    reader.OnError = std::move(OnError);
    reader.ReadRootComponent(root.get());
    return root;
}

std::unique_ptr<TFxPanel> MakeSampleTree() {
    auto root = std::make_unique<TFxPanel>(nullptr);
    root->SetName("Root");
    root->SetWidth(-300);
    root->SetEnabled(false);
    root->SetRatio(0.1);
    root->SetCaption("It's 25\xB0"
                     "C\r\nnext line");
    root->SetShape(fsTriangle);
    root->SetOptions({foBold, foShadow});
    root->SetColor(fxBlue);
    root->SetBig(int64_t(1) << 40);
    root->SetSmall(-2);
    root->SetHint("shown");
    root->Title()->Font()->SetName("Courier New");
    root->Title()->Font()->SetColor(0x123456);
    root->Title()->Text()->Add("first");
    root->Title()->Text()->Add("");
    root->Title()->SetVisible(false);
    root->Lines()->Add("one");
    root->Data = std::string("\x00\x01\xFE\xFF", 4);
    root->Marks = {1, -200, 70000};
    auto* a = new TFxPanel(root.get());
    a->SetName("PanelA");
    a->SetParentPanel(root.get());
    a->SetCaption(std::string(300, 'x'));
    auto* b = new TFxPanel(root.get());
    b->SetName("PanelB");
    b->SetParentPanel(root.get());
    b->SetBuddy(a);
    auto* c = new TFxPanel(root.get());
    c->SetName("PanelC");
    c->SetParentPanel(a);
    c->SetBuddy(root.get());
    c->SetRatio(-1.5e-300);
    auto* item = static_cast<TFxItem*>(root->Items()->Add());
    item->SetValue(2.5);
    item->SetText("first item");
    item->SetLink(c);
    root->Items()->Add();
    return root;
}
