#pragma once
// TWatched<T>: a reference to an object its holder does not own. It reads
// nullptr once the object is gone, so a field, a list entry or a local kept
// across a message loop never reaches freed memory.
#include "platform/classes/component.h"
#include <cstddef>
#include <memory>

template <class T>
class TWatched {
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
