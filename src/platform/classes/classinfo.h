#pragma once
// Run-time class information: names, parents, factories and the class registry
// through which streams and editors find classes by name.
#include "platform/rtl/ansistring.h"
#include <functional>

class TObject;
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

// Inside a class body: gives the class its ClassInfo and ClassType().
#define QM_CLASS(Name)                                                                             \
public:                                                                                            \
    static const TClassInfo ClassInfo;                                                             \
    TClass ClassType() const override {                                                            \
        return &Name::ClassInfo;                                                                   \
    }                                                                                              \
                                                                                                   \
private:

namespace qm_detail {
template <typename T> TObject* CreatePlain(TObject*) {
    return new T();
}
} // namespace qm_detail

// In the .cpp: defines the ClassInfo of an abstract class, a class built without
// arguments, or a class built with its owner.
#define QM_CLASS_ABSTRACT(Name, Parent)                                                            \
    const TClassInfo Name::ClassInfo{#Name, &Parent::ClassInfo, nullptr, nullptr};
#define QM_CLASS_PLAIN(Name, Parent)                                                               \
    const TClassInfo Name::ClassInfo{#Name, &Parent::ClassInfo, &qm_detail::CreatePlain<Name>,     \
                                     nullptr};
#define QM_CLASS_OWNED(Name, Parent, OwnerType)                                                    \
    const TClassInfo Name::ClassInfo{                                                              \
        #Name, &Parent::ClassInfo,                                                                 \
        [](TObject* o) -> TObject* { return new Name(dynamic_cast<OwnerType*>(o)); }, nullptr};

// Registry of classes that streams and editors look up by name.
void RegisterClass(TClass cls);
void UnRegisterClass(TClass cls);
TClass GetClass(const AnsiString& name);  // nullptr when not registered
TClass FindClass(const AnsiString& name); // raises EClassNotFound when not registered
