#pragma once
// Plain switches of the editor's components are public fields; FieldProp
// publishes one as a property, for a class's QM_PUBLISHED list.
#include "platform/classes/props.h"
#include "platform/rtl/ansistring.h"
#include <type_traits>

template <typename C, typename V> TPropInfo FieldProp(const char* Name, V C::*Field) {
    TPropInfo p;
    p.Name = Name;
    auto self = [](TObject* o) { return static_cast<C*>(o); };
    if constexpr (std::is_same_v<V, bool>) {
        p.Kind = TPropKind::Boolean;
        p.GetOrd = [Field, self](TObject* o) -> int64_t { return self(o)->*Field ? 1 : 0; };
        p.SetOrd = [Field, self](TObject* o, int64_t v) { self(o)->*Field = v != 0; };
    } else if constexpr (std::is_same_v<V, AnsiString>) {
        p.Kind = TPropKind::String;
        p.GetStr = [Field, self](TObject* o) { return self(o)->*Field; };
        p.SetStr = [Field, self](TObject* o, const AnsiString& v) { self(o)->*Field = v; };
    } else {
        static_assert(std::is_same_v<V, bool>, "only switches and texts are published as fields");
    }
    return p;
}
