#pragma once
// Published properties: what a class stores in a component stream.
//   TEnumNames, QM_ENUM_NAMES   the identifiers of an enumeration (enum and set properties)
//   TPropInfo, TPropList        one property: kind, accessors, default, stored test
//   Prop(), QM_PUBLISHED        the one-line-a-property declaration in a class's .cpp
//   TMethodInfo, TMethod        published methods, and a handler bound to one by name
//   RegisterIntegerIdents       identifiers of int-like types such as colours and cursors
#include "platform/classes/component.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/sets.h"
#include <any>
#include <concepts>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <limits>
#include <string_view>
#include <type_traits>
#include <vector>

// Identifiers and values of an enumeration, in declaration order.
class TEnumNames {
public:
    // Identifiers is the stringized list "a, b, c" matching Values.
    TEnumNames(const char* Identifiers, std::initializer_list<int64_t> Values);

    int Count() const { return static_cast<int>(FValues.size()); }
    const AnsiString& Name(int Index) const { return FNames[static_cast<size_t>(Index)]; }
    int64_t Value(int Index) const { return FValues[static_cast<size_t>(Index)]; }
    // The identifier of Value; nullptr when it has none.
    const AnsiString* NameOf(int64_t Value) const;
    // Compared without regard to case, as the platform does.
    bool ValueOf(const AnsiString& Name, int64_t& Value) const;

private:
    std::vector<AnsiString> FNames;
    std::vector<int64_t> FValues;
};

// After an enumeration: QM_ENUM_NAMES(TPenStyle, psSolid, psDash, psDot)
// lets properties of that type (and sets of it) be written by name.
#define QM_ENUM_NAMES(Enum, ...)                                                                   \
    inline const TEnumNames& EnumNames(Enum) {                                                     \
        static const TEnumNames names(#__VA_ARGS__, {__VA_ARGS__});                                \
        return names;                                                                              \
    }

enum class TPropKind {
    Integer,
    Boolean,
    Enumeration,
    Set,
    Float,
    String,
    Object,
    Component,
    Method
};

// A handler that does not fit the event it is given to.
QM_DECLARE_EXCEPTION(EPropertyError, Exception)

// A method a class publishes, so that a stream can name it as an event's handler.
struct TMethodInfo {
    AnsiString Name;
    const std::type_info* Signature = nullptr; // the handler's function type
    std::any Call;                             // std::function<R(TObject* Self, A...)>
};

// A handler bound to a published method: the object and its method. An
// event set in code to any other function has none.
struct TMethod {
    TObject* Data = nullptr;
    const TMethodInfo* Code = nullptr;
    explicit operator bool() const { return Code != nullptr; }
    AnsiString Name() const { return Code ? Code->Name : AnsiString(); }
};

struct TPropInfo {
    AnsiString Name;
    TPropKind Kind = TPropKind::Integer;
    const TEnumNames* Enum = nullptr; // Enumeration and Set
    AnsiString IdentType;             // Integer written as an identifier when it has one
    int64_t MinValue = std::numeric_limits<int64_t>::min();
    int64_t MaxValue = std::numeric_limits<int64_t>::max();
    TClass PropClass = nullptr; // Object and Component: the declared class

    std::function<int64_t(TObject*)> GetOrd; // Integer, Boolean, Enumeration, Set (bits)
    std::function<void(TObject*, int64_t)> SetOrd;
    std::function<double(TObject*)> GetFloat;
    std::function<void(TObject*, double)> SetFloat;
    std::function<AnsiString(TObject*)> GetStr;
    std::function<void(TObject*, const AnsiString&)> SetStr;
    std::function<TObject*(TObject*)> GetObj;
    std::function<void(TObject*, TObject*)> SetObj;
    const std::type_info* MethodType = nullptr; // Method: the handler's function type
    std::function<bool(TObject*)> HasHandler;   // Method: any handler, named or not
    std::function<TMethod(TObject*)> GetMethod; // the published method bound, or none
    // Binds the method (raises EPropertyError when its signature differs), or
    // clears the event when Method is none.
    std::function<void(TObject*, const TMethod&)> SetMethod;

    std::function<bool(TObject*)> StoredTest;
    bool StoredFlag = true;
    bool HasDefault = false;
    int64_t DefaultOrd = 0;
    double DefaultFloat = 0;
    AnsiString DefaultStr;

    // A writer stores the property when it is stored and differs from its default
    // (floats without a declared default: 0; strings: empty; references: none;
    // events: no published method bound).
    // A value with a stored test is written whenever the test says so.
    bool IsStored(TObject* Instance) const;
    bool IsDefault(TObject* Instance) const;

    template <typename V> TPropInfo&& Default(V Value) &&;
    TPropInfo&& Stored(bool Value) && {
        StoredFlag = Value;
        return std::move(*this);
    }
    template <typename C> TPropInfo&& Stored(bool (C::*Test)() const) && {
        StoredTest = [Test](TObject* o) { return (static_cast<C*>(o)->*Test)(); };
        return std::move(*this);
    }
    template <typename C> TPropInfo&& Stored(bool (C::*Test)()) && {
        StoredTest = [Test](TObject* o) { return (static_cast<C*>(o)->*Test)(); };
        return std::move(*this);
    }
    // Integer written by identifier through the table registered under TypeName.
    TPropInfo&& Idents(const AnsiString& TypeName) && {
        IdentType = TypeName;
        return std::move(*this);
    }
};

struct TPropList {
    TPropList(std::initializer_list<TPropInfo> Items);
    TPropList(TPropList&&) = default;
    std::vector<TPropInfo> Items;
};

// The published properties of a class, its base classes' first; a class that
// declares a property again replaces the base class's entry in place.
const std::vector<const TPropInfo*>& GetPropList(TClass Class);
// Looked up without regard to case; nullptr when absent.
const TPropInfo* GetPropInfo(TClass Class, std::string_view Name);
inline const TPropInfo* GetPropInfo(TClass Class, const AnsiString& Name) {
    return GetPropInfo(Class, std::string_view(Name.str()));
}
inline const TPropInfo* GetPropInfo(TClass Class, const char* Name) {
    return GetPropInfo(Class, std::string_view(Name));
}

struct TMethodList {
    TMethodList(std::initializer_list<TMethodInfo> Items);
    std::vector<TMethodInfo> Items;
};

// The published method of that name of the class or a base class, without
// regard to case; nullptr when absent.
const TMethodInfo* FindMethod(TClass Class, std::string_view Name);
// Data's published method of that name; none when Data has none.
TMethod MethodOf(TObject* Data, const AnsiString& Name);

namespace qm_detail {
struct TPublishedRegistrar {
    TPublishedRegistrar(TClass Class, TPropList (*Build)());
};
struct TMethodsRegistrar {
    TMethodsRegistrar(TClass Class, TMethodList (*Build)());
};
// What an event holds when it is bound to a published method: the binding
// itself, so the name stays with the handler wherever it is copied.
template <typename Sig> struct TBoundMethod;
template <typename R, typename... A> struct TBoundMethod<R(A...)> {
    TMethod Method;
    const std::function<R(TObject*, A...)>* Call;
    R operator()(A... Args) const { return (*Call)(Method.Data, std::forward<A>(Args)...); }
};
[[noreturn]] void RaiseMethodMismatch(const AnsiString& Event, const TMethod& Method);
template <typename T> struct IsSet : std::false_type {};
template <typename E> struct IsSet<TSet<E>> : std::true_type { using Element = E; };
template <typename M> struct MemberClass;
template <typename C, typename R, typename... A> struct MemberClass<R (C::*)(A...)> {
    using Type = C;
};
template <typename C, typename R, typename... A> struct MemberClass<R (C::*)(A...) const> {
    using Type = C;
};
template <typename T> constexpr bool AlwaysFalse = false;
} // namespace qm_detail

// In a class's .cpp, one line a property:
//   QM_PUBLISHED(TMyPanel, Prop("Width", &Self::Width, &Self::SetWidth).Default(10),
//                          Prop("Font", &Self::Font))
#define QM_PUBLISHED(Name, ...)                                                                    \
    static const qm_detail::TPublishedRegistrar qm_published_##Name(&Name::ClassInfo, [] {         \
        using Self = Name;                                                                         \
        return TPropList{__VA_ARGS__};                                                             \
    })

// In a class's .cpp, the methods a stream may name as handlers:
//   QM_PUBLISHED_METHODS(TMyForm, Method("FormShow", &Self::FormShow))
#define QM_PUBLISHED_METHODS(Name, ...)                                                            \
    static const qm_detail::TMethodsRegistrar qm_methods_##Name(&Name::ClassInfo, [] {             \
        using Self = Name;                                                                         \
        return TMethodList{__VA_ARGS__};                                                           \
    })

template <typename C, typename R, typename... A>
TMethodInfo Method(const char* Name, R (C::*Function)(A...)) {
    TMethodInfo m;
    m.Name = Name;
    m.Signature = &typeid(R(A...));
    m.Call = std::function<R(TObject*, A...)>([Function](TObject* Self, A... Args) -> R {
        return (static_cast<C*>(Self)->*Function)(std::forward<A>(Args)...);
    });
    return m;
}

namespace qm_detail {
// An event reached through Get (its handler) and Set (assigns one, or none).
template <typename Sig, typename Get, typename Set>
TPropInfo EventProp(const char* Name, Get get, Set set) {
    TPropInfo p;
    p.Name = Name;
    p.Kind = TPropKind::Method;
    p.MethodType = &typeid(Sig);
    p.HasHandler = [get](TObject* o) { return static_cast<bool>(get(o)); };
    p.GetMethod = [get](TObject* o) {
        const auto* bound = get(o).template target<TBoundMethod<Sig>>();
        return bound ? bound->Method : TMethod{};
    };
    p.SetMethod = [set, Name = p.Name](TObject* o, const TMethod& m) {
        if (!m) {
            set(o, nullptr);
            return;
        }
        using TBound = TBoundMethod<Sig>;
        const auto* call =
            m.Code->Signature && *m.Code->Signature == typeid(Sig)
                ? std::any_cast<std::remove_cvref_t<decltype(*TBound::Call)>>(&m.Code->Call)
                : nullptr;
        if (!call) RaiseMethodMismatch(Name, m);
        set(o, TBound{m, call});
    };
    return p;
}

// A member that is more than its handler (assigning one has an effect): it
// names its std::function as Function, gives it by Handler() and takes a new
// one by assignment.
template <typename E>
concept EventSlot = requires(const E& e) {
    typename E::Function;
    { e.Handler() } -> std::same_as<const typename E::Function&>;
};
template <typename F> struct FunctionSignature;
template <typename Sig> struct FunctionSignature<std::function<Sig>> { using Type = Sig; };
} // namespace qm_detail

// An event (a std::function member): stored as the name of the published
// method of the stream's root that handles it.
template <typename C, typename Sig> TPropInfo Prop(const char* Name, std::function<Sig> C::*Field) {
    return qm_detail::EventProp<Sig>(
        Name,
        [Field](TObject* o) -> const std::function<Sig>& { return static_cast<C*>(o)->*Field; },
        [Field](TObject* o, std::function<Sig> f) { static_cast<C*>(o)->*Field = std::move(f); });
}

// An event held in a slot: a handler bound from a stream is assigned as code
// would assign it, with the same effect.
template <typename C, qm_detail::EventSlot E> TPropInfo Prop(const char* Name, E C::*Field) {
    using F = typename E::Function;
    return qm_detail::EventProp<typename qm_detail::FunctionSignature<F>::Type>(
        Name, [Field](TObject* o) -> const F& { return (static_cast<C*>(o)->*Field).Handler(); },
        [Field](TObject* o, F f) { static_cast<C*>(o)->*Field = std::move(f); });
}

// A property with getter and setter (member functions of the class).
template <typename Getter, typename Setter>
TPropInfo Prop(const char* Name, Getter Get, Setter Set) {
    using C = typename qm_detail::MemberClass<Getter>::Type;
    using R = std::remove_cvref_t<std::invoke_result_t<Getter, C*>>;
    TPropInfo p;
    p.Name = Name;
    auto self = [](TObject* o) { return static_cast<C*>(o); };
    if constexpr (std::is_same_v<R, bool>) {
        p.Kind = TPropKind::Boolean;
        p.GetOrd = [Get, self](TObject* o) -> int64_t { return (self(o)->*Get)() ? 1 : 0; };
        p.SetOrd = [Set, self](TObject* o, int64_t v) { (self(o)->*Set)(v != 0); };
    } else if constexpr (qm_detail::IsSet<R>::value) {
        using E = typename qm_detail::IsSet<R>::Element;
        p.Kind = TPropKind::Set;
        p.Enum = &EnumNames(E{});
        p.GetOrd = [Get, self](TObject* o) {
            return static_cast<int64_t>((self(o)->*Get)().Bits());
        };
        p.SetOrd = [Set, self](TObject* o, int64_t v) {
            (self(o)->*Set)(R::FromBits(static_cast<uint64_t>(v)));
        };
    } else if constexpr (std::is_enum_v<R>) {
        p.Kind = TPropKind::Enumeration;
        p.Enum = &EnumNames(R{});
        p.GetOrd = [Get, self](TObject* o) { return static_cast<int64_t>((self(o)->*Get)()); };
        p.SetOrd = [Set, self](TObject* o, int64_t v) { (self(o)->*Set)(static_cast<R>(v)); };
    } else if constexpr (std::is_integral_v<R>) {
        p.Kind = TPropKind::Integer;
        p.MinValue = static_cast<int64_t>(std::numeric_limits<R>::min());
        p.MaxValue = std::numeric_limits<R>::max() > std::numeric_limits<int64_t>::max()
                         ? std::numeric_limits<int64_t>::max()
                         : static_cast<int64_t>(std::numeric_limits<R>::max());
        p.GetOrd = [Get, self](TObject* o) { return static_cast<int64_t>((self(o)->*Get)()); };
        p.SetOrd = [Set, self](TObject* o, int64_t v) { (self(o)->*Set)(static_cast<R>(v)); };
    } else if constexpr (std::is_floating_point_v<R>) {
        p.Kind = TPropKind::Float;
        p.GetFloat = [Get, self](TObject* o) { return static_cast<double>((self(o)->*Get)()); };
        p.SetFloat = [Set, self](TObject* o, double v) { (self(o)->*Set)(static_cast<R>(v)); };
    } else if constexpr (std::is_same_v<R, AnsiString>) {
        p.Kind = TPropKind::String;
        p.GetStr = [Get, self](TObject* o) { return AnsiString((self(o)->*Get)()); };
        p.SetStr = [Set, self](TObject* o, const AnsiString& v) { (self(o)->*Set)(v); };
    } else if constexpr (std::is_pointer_v<R> &&
                         (std::is_base_of_v<TPersistent, std::remove_pointer_t<R>> ||
                          (std::is_base_of_v<TObject, std::remove_pointer_t<R>> &&
                           std::is_same_v<Setter, std::nullptr_t>))) {
        // A read-only list that is no persistent holds nothing a stream writes,
        // but is still found by name.
        using T = std::remove_cv_t<std::remove_pointer_t<R>>;
        p.Kind = std::is_base_of_v<TComponent, T> ? TPropKind::Component : TPropKind::Object;
        p.PropClass = &T::ClassInfo;
        p.GetObj = [Get, self](TObject* o) -> TObject* {
            return const_cast<T*>((self(o)->*Get)());
        };
        if constexpr (!std::is_same_v<Setter, std::nullptr_t>)
            p.SetObj = [Set, self](TObject* o, TObject* v) {
                (self(o)->*Set)(dynamic_cast<T*>(v));
            };
    } else {
        static_assert(qm_detail::AlwaysFalse<R>, "this type cannot be a published property");
    }
    return p;
}

// An owned sub-object (Font, Pen, Items, Lines): its own properties are stored
// under dotted names, a collection as a collection, a string list as a list.
template <typename Getter> TPropInfo Prop(const char* Name, Getter Get) {
    using C = typename qm_detail::MemberClass<Getter>::Type;
    using R = std::remove_cvref_t<std::invoke_result_t<Getter, C*>>;
    static_assert(std::is_pointer_v<R>, "only sub-objects may be published without a setter");
    return Prop(Name, Get, nullptr);
}

template <typename V> TPropInfo&& TPropInfo::Default(V Value) && {
    HasDefault = true;
    if constexpr (std::is_convertible_v<V, const char*> || std::is_same_v<V, AnsiString>) {
        DefaultStr = AnsiString(Value);
    } else if constexpr (qm_detail::IsSet<V>::value) {
        DefaultOrd = static_cast<int64_t>(Value.Bits());
    } else if constexpr (std::is_floating_point_v<V>) {
        DefaultFloat = static_cast<double>(Value);
        DefaultOrd = static_cast<int64_t>(Value);
    } else {
        DefaultOrd = static_cast<int64_t>(Value);
        DefaultFloat = static_cast<double>(DefaultOrd);
    }
    return std::move(*this);
}

// Identifier tables of int-like types ("TColor": "clRed" <-> 255). A type with
// a table is written as an identifier when its value has one.
using TIntToIdent = std::function<bool(int32_t Value, AnsiString& Ident)>;
using TIdentToInt = std::function<bool(const AnsiString& Ident, int32_t& Value)>;
void RegisterIntegerIdents(const AnsiString& TypeName, TIntToIdent ToIdent, TIdentToInt FromIdent);
void UnRegisterIntegerIdents(const AnsiString& TypeName);
bool IntegerToIdent(const AnsiString& TypeName, int64_t Value, AnsiString& Ident);
bool IdentToInteger(const AnsiString& TypeName, const AnsiString& Ident, int64_t& Value);
