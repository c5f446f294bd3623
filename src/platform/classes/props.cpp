#include "platform/classes/props.h"
#include "platform/classes/nametable.h"
#include <map>
#include <memory>
#include <string>
#include <unordered_map>

TEnumNames::TEnumNames(const char* Identifiers, std::initializer_list<int64_t> Values)
    : FValues(Values) {
    AnsiString current;
    for (const char* p = Identifiers;; ++p) {
        if (*p == ',' || *p == 0) {
            FNames.push_back(current.Trim());
            current = AnsiString();
            if (*p == 0) break;
        } else {
            current += *p;
        }
    }
    FNames.resize(FValues.size());
}

const AnsiString* TEnumNames::NameOf(int64_t Value) const {
    for (size_t i = 0; i < FValues.size(); ++i)
        if (FValues[i] == Value) return &FNames[i];
    return nullptr;
}

bool TEnumNames::ValueOf(const AnsiString& Name, int64_t& Value) const {
    for (size_t i = 0; i < FNames.size(); ++i)
        if (SameText(FNames[i], Name)) {
            Value = FValues[i];
            return true;
        }
    return false;
}

bool TPropInfo::IsDefault(TObject* Instance) const {
    // A stored test knows the instance's own default (which an owner may have
    // changed from the declared one), so it alone decides.
    if (StoredTest && Kind != TPropKind::Object && Kind != TPropKind::Component) return false;
    switch (Kind) {
    case TPropKind::Integer:
    case TPropKind::Boolean:
    case TPropKind::Enumeration:
    case TPropKind::Set:
        return HasDefault && GetOrd(Instance) == DefaultOrd;
    case TPropKind::Float:
        return GetFloat(Instance) == (HasDefault ? DefaultFloat : 0.0);
    case TPropKind::String:
        return GetStr(Instance) == (HasDefault ? DefaultStr : AnsiString());
    case TPropKind::Component:
        return GetObj(Instance) == nullptr;
    case TPropKind::Object:
        return false;
    case TPropKind::Method:
        return !GetMethod(Instance);
    }
    return false;
}

bool TPropInfo::IsStored(TObject* Instance) const {
    if (!StoredFlag) return false;
    return !StoredTest || StoredTest(Instance);
}

TPropList::TPropList(std::initializer_list<TPropInfo> List) : Items(List) {}

TMethodList::TMethodList(std::initializer_list<TMethodInfo> List) : Items(List) {}

namespace {

std::string_view PropName(const TPropInfo* Info) {
    return Info->Name.str();
}

struct TClassProps {
    std::vector<const TPropInfo*> List;
    qm_detail::TNameTable<const TPropInfo*, &PropName> ByName;
};

std::map<TClass, TPropList (*)()>& Declarations() {
    static std::map<TClass, TPropList (*)()> declarations;
    return declarations;
}

// A class's own list, built on first use so every table of names exists by then.
const TPropList* OwnList(TClass Class) {
    static std::map<TClass, std::unique_ptr<TPropList>> built;
    if (Class->Published) return Class->Published();
    auto it = built.find(Class);
    if (it != built.end()) return it->second.get();
    auto decl = Declarations().find(Class);
    if (decl == Declarations().end()) return nullptr;
    auto list = std::make_unique<TPropList>(decl->second());
    return built.emplace(Class, std::move(list)).first->second.get();
}

const TClassProps& Props(TClass Class) {
    // Readers and writers ask about one class many times in a row.
    thread_local TClass lastClass = nullptr;
    thread_local const TClassProps* lastProps = nullptr;
    if (Class == lastClass) return *lastProps;
    static std::unordered_map<TClass, std::unique_ptr<TClassProps>> cache;
    auto it = cache.find(Class);
    if (it != cache.end()) {
        lastClass = Class;
        lastProps = it->second.get();
        return *lastProps;
    }
    auto props = std::make_unique<TClassProps>();
    if (Class->Parent) props->List = Props(Class->Parent).List;
    if (const TPropList* own = OwnList(Class)) {
        for (const TPropInfo& info : own->Items) {
            bool replaced = false;
            for (const TPropInfo*& existing : props->List)
                if (SameText(existing->Name, info.Name)) {
                    existing = &info;
                    replaced = true;
                }
            if (!replaced) props->List.push_back(&info);
        }
    }
    props->ByName = qm_detail::TNameTable<const TPropInfo*, &PropName>(props->List.size());
    for (const TPropInfo* info : props->List)
        props->ByName.Add(info);
    lastClass = Class;
    lastProps = cache.emplace(Class, std::move(props)).first->second.get();
    return *lastProps;
}

std::map<TClass, TMethodList (*)()>& MethodDeclarations() {
    static std::map<TClass, TMethodList (*)()> declarations;
    return declarations;
}

const TMethodList* OwnMethods(TClass Class) {
    static std::map<TClass, std::unique_ptr<TMethodList>> built;
    auto it = built.find(Class);
    if (it != built.end()) return it->second.get();
    auto decl = MethodDeclarations().find(Class);
    if (decl == MethodDeclarations().end()) return nullptr;
    auto list = std::make_unique<TMethodList>(decl->second());
    return built.emplace(Class, std::move(list)).first->second.get();
}

struct TIdentTable {
    TIntToIdent ToIdent;
    TIdentToInt FromIdent;
};

using TIdentTables =
    std::unordered_map<std::string, TIdentTable, qm_detail::TNameHash, qm_detail::TNameEqual>;
TIdentTables& IdentTables() {
    static TIdentTables tables;
    return tables;
}

} // namespace

qm_detail::TPublishedRegistrar::TPublishedRegistrar(TClass Class, TPropList (*Build)()) {
    Declarations()[Class] = Build;
}

qm_detail::TMethodsRegistrar::TMethodsRegistrar(TClass Class, TMethodList (*Build)()) {
    MethodDeclarations()[Class] = Build;
}

void qm_detail::RaiseMethodMismatch(const AnsiString& Event, const TMethod& Method) {
    throw EPropertyError("Method " + Method.Name() + " does not fit the event " + Event);
}

const TMethodInfo* FindMethod(TClass Class, std::string_view Name) {
    for (TClass c = Class; c; c = c->Parent)
        if (const TMethodList* own = OwnMethods(c))
            for (const TMethodInfo& m : own->Items)
                if (SameText(m.Name, AnsiString(Name))) return &m;
    return nullptr;
}

TMethod MethodOf(TObject* Data, const AnsiString& Name) {
    const TMethodInfo* code = Data ? FindMethod(Data->ClassType(), Name.str()) : nullptr;
    return code ? TMethod{Data, code} : TMethod{};
}

const std::vector<const TPropInfo*>& GetPropList(TClass Class) {
    return Props(Class).List;
}

const TPropInfo* GetPropInfo(TClass Class, std::string_view Name) {
    return Props(Class).ByName.Find(Name);
}

void RegisterIntegerIdents(const AnsiString& TypeName, TIntToIdent ToIdent, TIdentToInt FromIdent) {
    IdentTables()[TypeName.str()] = TIdentTable{std::move(ToIdent), std::move(FromIdent)};
}

void UnRegisterIntegerIdents(const AnsiString& TypeName) {
    auto it = IdentTables().find(std::string_view(TypeName.str()));
    if (it != IdentTables().end()) IdentTables().erase(it);
}

bool IntegerToIdent(const AnsiString& TypeName, int64_t Value, AnsiString& Ident) {
    auto it = IdentTables().find(std::string_view(TypeName.str()));
    if (it == IdentTables().end() || !it->second.ToIdent) return false;
    if (Value < std::numeric_limits<int32_t>::min() || Value > std::numeric_limits<int32_t>::max())
        return false;
    return it->second.ToIdent(static_cast<int32_t>(Value), Ident);
}

bool IdentToInteger(const AnsiString& TypeName, const AnsiString& Ident, int64_t& Value) {
    auto it = IdentTables().find(std::string_view(TypeName.str()));
    if (it == IdentTables().end() || !it->second.FromIdent) return false;
    int32_t v = 0;
    if (!it->second.FromIdent(Ident, v)) return false;
    Value = v;
    return true;
}

// Every component stores its Tag.
QM_PUBLISHED(TComponent, Prop("Tag", &Self::Tag, &Self::SetTag).Default(0));
