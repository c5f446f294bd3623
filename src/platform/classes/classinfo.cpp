#include "platform/classes/classinfo.h"
#include "platform/rtl/exceptions.h"
#include "platform/classes/nametable.h"
#include <algorithm>

const TClassInfo TObject::ClassInfo{"TObject", nullptr, nullptr, nullptr};

bool TClassInfo::InheritsFrom(TClass other) const {
    for (TClass c = this; c; c = c->Parent)
        if (c == other) return true;
    return false;
}

namespace {
std::string_view ClassName(TClass Class) {
    return Class->Name;
}
using TRegistry = qm_detail::TNameTable<TClass, &ClassName>;
TRegistry& Registry() {
    static TRegistry registry(256);
    return registry;
}
} // namespace

void RegisterClass(TClass cls) {
    if (!cls) return;
    // A class of the same name takes the place of the one registered before.
    if (TClass old = Registry().Find(cls->Name)) Registry().Remove(old);
    Registry().Add(cls);
}

void UnRegisterClass(TClass cls) {
    if (cls) Registry().Remove(cls);
}

TClass GetClass(const AnsiString& name) {
    return Registry().Find(name.str());
}

TClass GetClass(std::string_view name) {
    return Registry().Find(name);
}

TClass FindClass(const AnsiString& name) {
    if (TClass c = GetClass(name)) return c;
    throw EClassNotFound("Class " + name + " not found");
}

std::vector<TClass> RegisteredClasses() {
    std::vector<TClass> all;
    Registry().ForEach([&](TClass c) { all.push_back(c); });
    std::sort(all.begin(), all.end(),
              [](TClass a, TClass b) { return std::string_view(a->Name) < b->Name; });
    return all;
}
