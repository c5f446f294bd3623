#pragma once
// TWatched<T>: a reference to an object its holder does not own. It reads
// nullptr once the object is gone, so a field, a list entry or a local kept
// across a message loop never reaches freed memory.
#include "platform/classes/component.h"
#include <cstddef>
#include <initializer_list>
#include <stdexcept>
#include <memory>

template <class T> class TWatched {
public:
    TWatched() = default;
    TWatched(std::nullptr_t) {}
    TWatched(T* Object) { Reset(Object); }
    TWatched& operator=(T* Object) {
        Reset(Object);
        return *this;
    }
    TWatched& operator=(std::nullptr_t) {
        Reset(nullptr);
        return *this;
    }

    void Reset(T* Object = nullptr) {
        FObject = Object;
        if (Object)
            FWatch = static_cast<TPersistent*>(Object)->LifeWatch();
        else
            FWatch.reset();
    }

    T* Get() const { return FWatch && *FWatch ? FObject : nullptr; }
    operator T*() const { return Get(); }
    T* operator->() const { return Get(); }
    // Set to an object that has gone since.
    bool Gone() const { return FWatch && !*FWatch; }
    // Set to Object, gone since or not: a free notification names a component
    // that already reads gone.
    bool Is(const void* Object) const { return Object && FObject == Object; }

private:
    T* FObject = nullptr;
    std::shared_ptr<TPersistent* const> FWatch;
};

// TCallOut: what a routine holds while it calls out (an event handler, a modal
// window, a message loop). A handler may free its sender, the chart or the
// chart's form, so the routine asks afterwards and stops when one has gone:
//
//     TCallOut held{this, ParentChart()};
//     if (OnClick && held.Live()) OnClick(this);
//     if (held.Gone()) return;
//
// Nulls are skipped. A component reads gone from the start of its
// destruction, and so does everything its owners own: asked before the call,
// Live() keeps a handler from running while its object, or an owner of it, is
// on its way out.
class TCallOut {
public:
    TCallOut(std::initializer_list<TPersistent*> Held) {
        if (Held.size() > kMax) throw std::logic_error("TCallOut holds at most 8 objects");
        for (TPersistent* p : Held)
            if (p) FWatch[FCount++] = p->LifeWatch();
    }
    // One of them has gone (or was already on its way out when this was made).
    bool Gone() const {
        for (int i = 0; i < FCount; ++i)
            if (!*FWatch[i]) return true;
        return false;
    }
    bool Live() const { return !Gone(); }

private:
    static constexpr int kMax = 8;
    std::shared_ptr<TPersistent* const> FWatch[kMax];
    int FCount = 0;
};
