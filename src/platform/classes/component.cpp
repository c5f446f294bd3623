#include "platform/classes/component.h"
#include "platform/classes/nametable.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"
#include <algorithm>
#include <typeinfo>
#include <string_view>

// Named owned components by name, without regard to case.
struct TComponent::TNameIndex {
    static std::string_view Key(TComponent* c) { return c->FName.str(); }
    qm_detail::TNameTable<TComponent*, &Key> Names;

    explicit TNameIndex(const std::vector<TComponent*>& Components) : Names(Components.size()) {
        for (TComponent* c : Components)
            Add(c);
    }
    // A component is found through its own name, so it leaves the table before
    // its name changes and comes back after.
    void Add(TComponent* c) {
        if (!c->FName.IsEmpty()) Names.Add(c);
    }
    void Drop(TComponent* c) {
        if (!c->FName.IsEmpty()) Names.Remove(c);
    }
};

namespace {
// Below this many owned components a scan of the list is cheaper than hashing.
constexpr size_t kNameIndexFrom = 16;
} // namespace

QM_CLASS_PLAIN(TPersistent, TObject)
QM_CLASS_OWNED(TComponent, TPersistent, TComponent)

TPersistent::~TPersistent() {
    EndWatches();
}

std::shared_ptr<TPersistent* const> TPersistent::LifeWatch() {
    if (!FWatch) FWatch = std::make_shared<TPersistent*>(this);
    return FWatch;
}

void TPersistent::Assign(TPersistent* Source) {
    if (Source)
        Source->AssignTo(this);
    else
        AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* Dest) {
    Dest->AssignError(this);
}

void TPersistent::AssignError(TPersistent* Source) {
    const AnsiString sourceName = Source ? Source->ClassName() : AnsiString("nil");
    throw EConvertError("Cannot assign a " + sourceName + " to a " + ClassName());
}

AnsiString TPersistent::GetNamePath() {
    return ClassName();
}

void TPersistent::DefineProperties(TFiler*) {}

bool IsValidIdent(const AnsiString& Ident) {
    const std::string& s = Ident.str();
    if (s.empty()) return false;
    auto alpha = [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
    };
    if (!alpha(s[0])) return false;
    return std::all_of(s.begin() + 1, s.end(),
                       [&](char c) { return alpha(c) || (c >= '0' && c <= '9'); });
}

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
    Destroying();
    // Tell everyone who asked; each removes us from its own references.
    while (!FFreeNotifies.empty()) {
        TComponent* other = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        other->RemoveNotification(this);
        other->Notification(this, opRemove);
    }
    DestroyComponents();
    if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::Destroying() {
    if (FComponentState.Contains(csDestroying)) return;
    FComponentState << csDestroying;
    // A component on its way out is gone to those who do not own it.
    EndWatches();
    for (TComponent* c : FComponents)
        c->Destroying();
}

void TComponent::Reprieve() {
    if (!FComponentState.Contains(csDestroying)) return;
    FComponentState >> csDestroying;
    RestartWatches();
    for (TComponent* c : FComponents)
        c->Reprieve();
}

void TComponent::DestroyComponents() {
    // Lookups meanwhile scan what is left.
    FNameIndex.reset();
    while (!FComponents.empty()) {
        TComponent* c = FComponents.back();
        Remove(c);
        delete c;
    }
}

TComponent* TComponent::Components(int Index) const {
    if (Index < 0 || Index >= ComponentCount())
        throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    return FComponents[static_cast<size_t>(Index)];
}

int TComponent::ComponentIndex() const {
    if (!FOwner) return -1;
    const auto& list = FOwner->FComponents;
    const auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TComponent::SetComponentIndex(int Value) {
    if (!FOwner) return;
    auto& list = FOwner->FComponents;
    const int count = static_cast<int>(list.size());
    Value = std::clamp(Value, 0, count - 1);
    const int current = ComponentIndex();
    if (current < 0 || current == Value) return;
    list.erase(list.begin() + current);
    list.insert(list.begin() + Value, this);
}

TComponent* TComponent::FindComponent(const AnsiString& AName) const {
    if (AName.IsEmpty()) return nullptr;
    if (FNameIndex) {
        bool several = false;
        TComponent* found = FNameIndex->Names.Find(AName.str(), &several);
        if (!several) return found;
        // Several of that name: the first in the list, as a scan finds it.
    }
    for (TComponent* c : FComponents)
        if (qm_detail::TNameEqual()(c->FName.str(), AName.str())) return c;
    return nullptr;
}

void TComponent::ValidateRename(TComponent* AComponent, const AnsiString& CurName,
                                const AnsiString& NewName) {
    if (AComponent && !SameText(CurName, NewName) && FindComponent(NewName))
        throw EComponentError("A component named " + NewName + " already exists");
}

void TComponent::SetName(const AnsiString& NewName) {
    if (FName == NewName) return;
    if (!NewName.IsEmpty() && !IsValidIdent(NewName))
        throw EComponentError("'" + NewName + "' is not a valid component name");
    if (FOwner) FOwner->ValidateRename(this, FName, NewName);
    TNameIndex* index = FOwner ? FOwner->FNameIndex.get() : nullptr;
    if (index) index->Drop(this);
    FName = NewName;
    if (index) index->Add(this);
}

void TComponent::AfterConstruction() {
    if (FQuietOnInsert) return;
    // A class without class info of its own would be judged by its parent's.
    const TClass cls = ClassType();
    if (!cls->KeepsBaseNotification || !cls->Type || *cls->Type != typeid(*this)) return;
    const bool before = ListensToInserts();
    FQuietOnInsert = true;
    if (before && !ListensToInserts() && FOwner) FOwner->ChangeInsertListeners(-1);
}

// A component that starts or stops listening changes its owner's count, and so on up.
void TComponent::ChangeInsertListeners(int Delta) {
    for (TComponent* c = this; c; c = c->FOwner) {
        const bool before = c->ListensToInserts();
        c->FInsertListeners += Delta;
        if (c->ListensToInserts() == before) break;
    }
}

void TComponent::Insert(TComponent* AComponent) {
    if (AComponent->ListensToInserts()) ChangeInsertListeners(1);
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
    if (FNameIndex) {
        FNameIndex->Add(AComponent);
    } else if (FComponents.size() >= kNameIndexFrom) {
        FNameIndex = std::make_unique<TNameIndex>(FComponents);
    }
}

void TComponent::Remove(TComponent* AComponent) {
    AComponent->FOwner = nullptr;
    // Listed once; searched from the end, where an owner being freed takes them.
    const auto it = std::find(FComponents.rbegin(), FComponents.rend(), AComponent);
    if (it == FComponents.rend()) return;
    if (AComponent->ListensToInserts()) ChangeInsertListeners(-1);
    if (FNameIndex) FNameIndex->Drop(AComponent);
    FComponents.erase(std::next(it).base());
}

void TComponent::InsertComponent(TComponent* AComponent) {
    if (!AComponent || AComponent->FOwner == this) return;
    // Checked before it leaves its old owner, so a refused name orphans nothing.
    ValidateRename(AComponent, AnsiString(), AComponent->FName);
    if (AComponent->FOwner) AComponent->FOwner->RemoveComponent(AComponent);
    Insert(AComponent);
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
    if (!AComponent || AComponent->FOwner != this) return;
    Notification(AComponent, opRemove);
    Remove(AComponent);
}

// Every owned component hears of each sibling that comes and goes, so this runs
// once per sibling on every insert: the common case (nothing linked, nothing
// owned) returns before any real work.
void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent &&
        (!FFreeNotifies.empty() || !AComponent->FFreeNotifies.empty()))
        RemoveFreeNotification(AComponent);
    if (!FComponents.empty()) NotifyComponents(AComponent, Operation);
}

void TComponent::NotifyComponents(TComponent* AComponent, TOperation Operation) {
    const bool insert = Operation == opInsert;
    if (insert) {
        // The newcomer itself is never told; no one else listening, no one to tell.
        int listeners = FInsertListeners;
        if (AComponent && AComponent->FOwner == this && AComponent->ListensToInserts()) --listeners;
        if (listeners <= 0) return;
    }
    // Owned components hear about their siblings, last first. A handler may free
    // components, so walk the live list and re-check the index after each call.
    for (size_t i = FComponents.size(); i > 0;) {
        --i;
        TComponent* c = FComponents[i];
        if (c != AComponent && (!insert || c->ListensToInserts()))
            c->Notification(AComponent, Operation);
        if (i > FComponents.size()) i = FComponents.size();
    }
}

void TComponent::FreeNotification(TComponent* AComponent) {
    if (!AComponent || AComponent == this) return;
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end())
        FFreeNotifies.push_back(AComponent);
    auto& theirs = AComponent->FFreeNotifies;
    if (std::find(theirs.begin(), theirs.end(), this) == theirs.end()) theirs.push_back(this);
    FComponentState << csFreeNotification;
}

void TComponent::RemoveNotification(TComponent* AComponent) {
    FFreeNotifies.erase(std::remove(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent),
                        FFreeNotifies.end());
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
    if (!AComponent) return;
    RemoveNotification(AComponent);
    AComponent->RemoveNotification(this);
}

void TComponent::SetState(TComponentStateFlag Flag, bool On) {
    if (On)
        FComponentState << Flag;
    else
        FComponentState >> Flag;
}

void TComponent::SetDesigning(bool Value) {
    SetState(csDesigning, Value);
    for (TComponent* c : FComponents)
        c->SetDesigning(Value);
}
