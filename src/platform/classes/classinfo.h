#pragma once
// Run-time class information: names, parents, factories and the class registry
// through which streams and editors find classes by name.
#include "platform/rtl/ansistring.h"
#include <functional>
#include <string_view>
#include <type_traits>
#include <typeinfo>
#include <vector>

class TObject;
class TComponent;
struct TClassInfo;
using TClass = const TClassInfo*;

struct TPropList; // published properties, declared by the streaming layer

struct TClassInfo {
    const char* Name;
    TClass Parent;
    // Creates an instance with the given owner (a TComponent for components, the
    // collection for collection items, ignored otherwise); nullptr when abstract.
    TObject* (*Factory)(TObject* owner);
    // This class's own published properties (base classes' come from Parent).
    const TPropList* (*Published)();
    // The C++ class this describes; a class of its own without its own class info
    // is told apart by it.
    const std::type_info* Type = nullptr;
    // A component class that keeps TComponent's Notification: it hears of
    // siblings only to pass the news on to what it owns.
    bool KeepsBaseNotification = false;

    bool InheritsFrom(TClass other) const;
};

class TObject {
public:
    static const TClassInfo ClassInfo;
    virtual ~TObject() = default;
    virtual TClass ClassType() const { return &ClassInfo; }
    AnsiString ClassName() const { return ClassType()->Name; }
    TClass ClassParent() const { return ClassType()->Parent; }
    bool InheritsFrom(TClass cls) const { return ClassType()->InheritsFrom(cls); }
};

// The platform's plain event: the sender only.
using TNotifyEvent = std::function<void(TObject* Sender)>;

namespace qm_detail {
template <typename M> struct TMemberOf;
template <typename C, typename M> struct TMemberOf<M C::*> { using Class = C; };
template <typename T> TObject* CreatePlain(TObject*) {
    return new T();
}
// dynamic_cast's answer; a class with class info of its own answers through it,
// without the cost of comparing type names. (The class macros check that each
// class descends from the parent it names, so the chain never lies.)
template <typename T> T* ClassCast(TObject* Object) {
    if (Object && T::ClassInfo.Type == &typeid(T) && Object->InheritsFrom(&T::ClassInfo))
        return static_cast<T*>(Object);
    return dynamic_cast<T*>(Object);
}
} // namespace qm_detail

// Inside a class body: gives the class its ClassInfo and ClassType(). The check
// of Notification runs here, where even a private override is visible; a
// Notification it cannot see counts as an override.
#define QM_CLASS(Name)                                                                             \
public:                                                                                            \
    static const TClassInfo ClassInfo;                                                             \
    TClass ClassType() const override {                                                            \
        return &Name::ClassInfo;                                                                   \
    }                                                                                              \
    template <typename QmSelf = Name> static consteval bool QmKeepsBaseNotification() {            \
        if constexpr (requires { &QmSelf::Notification; })                                         \
            return std::is_same_v<                                                                 \
                typename qm_detail::TMemberOf<decltype(&QmSelf::Notification)>::Class,             \
                TComponent>;                                                                       \
        else                                                                                       \
            return false;                                                                          \
    }                                                                                              \
                                                                                                   \
private:

// In the .cpp: defines the ClassInfo of an abstract class, a class built without
// arguments, or a class built with its owner.
#define QM_CLASS_ABSTRACT(Name, Parent)                                                            \
    static_assert(std::is_base_of_v<Parent, Name>);                                                \
    const TClassInfo Name::ClassInfo{                                                              \
        #Name,   &Parent::ClassInfo, nullptr,                                                      \
        nullptr, &typeid(Name),      Name::QmKeepsBaseNotification()};
#define QM_CLASS_PLAIN(Name, Parent)                                                               \
    static_assert(std::is_base_of_v<Parent, Name>);                                                \
    const TClassInfo Name::ClassInfo{                                                              \
        #Name,   &Parent::ClassInfo, &qm_detail::CreatePlain<Name>,                                \
        nullptr, &typeid(Name),      Name::QmKeepsBaseNotification()};
#define QM_CLASS_OWNED(Name, Parent, OwnerType)                                                    \
    static_assert(std::is_base_of_v<Parent, Name>);                                                \
    const TClassInfo Name::ClassInfo{                                                              \
        #Name,                                                                                     \
        &Parent::ClassInfo,                                                                        \
        [](TObject* o) -> TObject* { return new Name(qm_detail::ClassCast<OwnerType>(o)); },       \
        nullptr,                                                                                   \
        &typeid(Name),                                                                             \
        Name::QmKeepsBaseNotification()};

// Registry of classes that streams and editors look up by name.
void RegisterClass(TClass cls);
void UnRegisterClass(TClass cls);
TClass GetClass(const AnsiString& name); // nullptr when not registered
TClass GetClass(std::string_view name);
inline TClass GetClass(const char* name) {
    return GetClass(std::string_view(name));
}
TClass FindClass(const AnsiString& name); // raises EClassNotFound when not registered
// Every registered class, by name.
std::vector<TClass> RegisteredClasses();
