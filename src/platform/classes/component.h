#pragma once
// TPersistent (assignment between objects) and TComponent (ownership, names,
// free notifications, loading state).
#include "platform/classes/classinfo.h"
#include "platform/rtl/sets.h"
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class TFiler;
class TComponent;

// Called by GetChildren with each child a stream writer should store.
using TGetChildProc = std::function<void(TComponent* Child)>;

class TPersistent : public TObject {
    QM_CLASS(TPersistent)
public:
    TPersistent() = default;
    // A copy is a new object: it does not share the original's watchers.
    TPersistent(const TPersistent&) : TObject() {}
    TPersistent& operator=(const TPersistent&) { return *this; }
    ~TPersistent() override;

    // A handle that reads nullptr once this object is destroyed, for holders
    // that cannot hear of the end of an object which is not a component.
    std::shared_ptr<TPersistent* const> LifeWatch();
    // Copies Source into this object; raises EConvertError when neither side
    // knows how ("Cannot assign a TX to a TY").
    virtual void Assign(TPersistent* Source);
    // Dotted path of this object inside its owner, as streams and editors name it.
    virtual AnsiString GetNamePath();
    virtual TPersistent* GetOwner() { return nullptr; }
    // Extra, non-published data written by the streaming system.
    virtual void DefineProperties(TFiler* Filer);

protected:
    virtual void AssignTo(TPersistent* Dest);
    [[noreturn]] void AssignError(TPersistent* Source);
    // From here on every LifeWatch() handle reads nullptr.
    void EndWatches() {
        if (FWatch) *FWatch = nullptr;
    }
    // Every LifeWatch() handle reads this object again.
    void RestartWatches() {
        if (FWatch) *FWatch = this;
    }

private:
    std::shared_ptr<TPersistent*> FWatch; // made on first LifeWatch()
};

enum TComponentStateFlag {
    csLoading,
    csReading,
    csWriting,
    csDestroying,
    csDesigning,
    csAncestor,
    csUpdating,
    csFixups,
    csFreeNotification,
    csInline,
    csDesignInstance
};
using TComponentState = TSet<TComponentStateFlag>;

enum TOperation { opInsert, opRemove };

class TComponent : public TPersistent {
    QM_CLASS(TComponent)
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return FOwner; }
    TPersistent* GetOwner() override { return FOwner; }
    AnsiString GetNamePath() override { return FName; }

    const AnsiString& Name() const { return FName; }
    // Raises EComponentError for a name that is not an identifier or that a
    // sibling already has (compared without regard to case).
    virtual void SetName(const AnsiString& NewName);
    // Pointer-sized: editors keep the edited object in it.
    intptr_t Tag() const { return FTag; }
    void SetTag(intptr_t Value) { FTag = Value; }

    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    // Raises EListError for an index outside 0..ComponentCount-1.
    TComponent* Components(int Index) const;
    int ComponentIndex() const;
    void SetComponentIndex(int Value);
    // Compared without regard to case; nullptr for an empty name.
    TComponent* FindComponent(const AnsiString& AName) const;

    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);
    void DestroyComponents();

    // AComponent hears Notification(this, opRemove) when this component is freed
    // (and the other way round).
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    TComponentState ComponentState() const { return FComponentState; }
    bool IsLoading() const { return FComponentState.Contains(csLoading); }
    bool IsDestroying() const { return FComponentState.Contains(csDestroying); }
    void SetDesigning(bool Value);
    void Destroying();
    // Takes Destroying back for a component taken out of an owner on its way
    // out, which it outlives: it and what it owns are there again.
    void Reprieve();

    // Loading state, set by the stream reader around reading this component.
    void BeginLoading() { FComponentState << csLoading << csReading; }
    void EndReading() { FComponentState >> csReading; }
    virtual void Loaded() { FComponentState >> csLoading; }
    // A read that failed leaves no component in the loading state (Loaded is not called).
    void CancelLoading() { FComponentState >> csLoading >> csReading; }

    // Stream hooks: the children a writer stores inside this component, the owner
    // and parent a reader gives them, and the parent an element is stored under.
    virtual void GetChildren(const TGetChildProc& Proc, TComponent* Root) {
        (void)Proc;
        (void)Root;
    }
    virtual TComponent* GetChildOwner() { return nullptr; }
    virtual TComponent* GetChildParent() { return this; }
    virtual bool HasParent() { return false; }
    virtual TComponent* GetParentComponent() { return nullptr; }
    virtual void SetParentComponent(TComponent* Value) { (void)Value; }

    // Says the component is fully built (the stream reader calls it on what it
    // creates). Until then its class cannot be known for sure, so it hears every
    // insert among its siblings; from then on, if its class keeps TComponent's
    // Notification and nothing it owns listens, those inserts pass it by: it
    // would only have handed them on to nobody.
    void AfterConstruction();

    // Deletes a component wherever it lives; the owner's list is updated by the destructor.
    static void Free(TComponent* AComponent) { delete AComponent; }

protected:
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    virtual void ValidateRename(TComponent* AComponent, const AnsiString& CurName,
                                const AnsiString& NewName);
    void SetState(TComponentStateFlag Flag, bool On);

private:
    struct TNameIndex;

    void Insert(TComponent* AComponent);
    void Remove(TComponent* AComponent);
    void RemoveNotification(TComponent* AComponent);
    void NotifyComponents(TComponent* AComponent, TOperation Operation);
    bool ListensToInserts() const { return !FQuietOnInsert || FInsertListeners > 0; }
    void ChangeInsertListeners(int Delta);

    // Every component in an owner's tree looks at these two whenever a sibling
    // comes or goes, so they sit first, in the cache line of the object's start.
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
    // Owned components for which ListensToInserts holds.
    int FInsertListeners = 0;
    bool FQuietOnInsert = false;
    TComponent* FOwner = nullptr;
    AnsiString FName;
    intptr_t FTag = 0;
    // The named owned components by name, once there are enough of them that
    // scanning the list on every insert and rename would cost more.
    std::unique_ptr<TNameIndex> FNameIndex;
    TComponentState FComponentState;
};

bool IsValidIdent(const AnsiString& Ident);
