#include "platform/classes/classinfo.h"
#include "platform/rtl/exceptions.h"
#include <map>

const TClassInfo TObject::ClassInfo{"TObject", nullptr, nullptr, nullptr};

bool TClassInfo::InheritsFrom(TClass other) const {
    for (TClass c = this; c; c = c->Parent)
        if (c == other) return true;
    return false;
}

namespace {
struct NameLess {
    bool operator()(const AnsiString& a, const AnsiString& b) const {
        return CompareText(a, b) < 0;
    }
};
std::map<AnsiString, TClass, NameLess>& Registry() {
    static std::map<AnsiString, TClass, NameLess> registry;
    return registry;
}
} // namespace

void RegisterClass(TClass cls) {
    if (cls) Registry()[cls->Name] = cls;
}

void UnRegisterClass(TClass cls) {
    if (!cls) return;
    auto it = Registry().find(cls->Name);
    if (it != Registry().end() && it->second == cls) Registry().erase(it);
}

TClass GetClass(const AnsiString& name) {
    auto it = Registry().find(name);
    return it == Registry().end() ? nullptr : it->second;
}

TClass FindClass(const AnsiString& name) {
    if (TClass c = GetClass(name)) return c;
    throw EClassNotFound("Class " + name + " not found");
}
