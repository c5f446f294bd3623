#pragma once
// Checks a table of published names (class, property or event, default)
// against the classes' property information. The objects looked at are those
// a census reaches: whatever a test makes, and every sub-object and
// collection item of theirs that is published.
#include "platform/classes/collections.h"
#include "platform/classes/component.h"
#include "platform/classes/props.h"
#include "platform/graphics/graphics.h"
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

struct TNameRow {
    const char* Class;
    const char* Name;
    const char* Default; // "" when no default is listed
    const char* Note;    // "", "event" or "not stored"
};

// Every class reached, by name, and the classes of the objects made.
class TObjectCensus {
public:
    void Walk(TObject* O) {
        if (!O || !FSeen.insert(O).second) return;
        for (TClass k = O->ClassType(); k; k = k->Parent)
            FClasses.emplace(k->Name, k);
        FMade.insert(O->ClassType());
        for (const TPropInfo* p : GetPropList(O->ClassType())) {
            if (p->Kind != TPropKind::Object || !p->GetObj) continue;
            TObject* sub = p->GetObj(O);
            if (auto* coll = dynamic_cast<TCollection*>(sub))
                for (int i = 0; i < coll->Count(); ++i)
                    Walk(coll->Items(i));
            Walk(sub);
        }
    }
    TClass Find(const std::string& Name) const {
        auto it = FClasses.find(Name);
        return it == FClasses.end() ? nullptr : it->second;
    }
    // The classes of objects made that descend from Class.
    std::vector<TClass> MadeBelow(TClass Class) const {
        std::vector<TClass> r;
        for (TClass k : FMade)
            if (k != Class && k->InheritsFrom(Class)) r.push_back(k);
        return r;
    }

private:
    std::set<TObject*> FSeen;
    std::map<std::string, TClass> FClasses;
    std::set<TClass> FMade;
};

namespace published_names_detail {

inline bool IsOrdinal(TPropKind K) {
    return K == TPropKind::Integer || K == TPropKind::Boolean || K == TPropKind::Enumeration ||
           K == TPropKind::Set;
}

// The listed default as the property's own kind of value; false when the text
// cannot be one.
inline bool ParseDefault(const TPropInfo* P, const std::string& Text, int64_t& Ord, double& Float,
                  AnsiString& Str) {
    if (P->Kind == TPropKind::String) {
        if (Text.size() < 2 || Text.front() != '\'' || Text.back() != '\'') return false;
        Str = AnsiString(Text.substr(1, Text.size() - 2).c_str());
        return true;
    }
    if (Text == "true" || Text == "false") {
        Ord = Text == "true";
        Float = static_cast<double>(Ord);
        return P->Kind == TPropKind::Boolean;
    }
    if (P->Kind == TPropKind::Set) {
        if (Text.size() < 2 || Text.front() != '[' || Text.back() != ']') return false;
        Ord = 0;
        std::string rest = Text.substr(1, Text.size() - 2);
        while (!rest.empty()) {
            const size_t comma = rest.find(',');
            std::string item = rest.substr(0, comma);
            while (!item.empty() && item.front() == ' ')
                item.erase(0, 1);
            while (!item.empty() && item.back() == ' ')
                item.pop_back();
            int64_t v = 0;
            if (!P->Enum->ValueOf(AnsiString(item.c_str()), v)) return false;
            Ord |= int64_t(1) << v;
            rest = comma == std::string::npos ? std::string() : rest.substr(comma + 1);
        }
        return true;
    }
    char* end = nullptr;
    const bool hex = Text.rfind("0x", 0) == 0 || Text.rfind("-0x", 0) == 0;
    if (hex || (!Text.empty() && (isdigit(static_cast<unsigned char>(Text[0])) || Text[0] == '-'))) {
        if (Text.find('.') != std::string::npos || Text.find('e') != std::string::npos) {
            Float = std::strtod(Text.c_str(), &end);
            Ord = static_cast<int64_t>(Float);
        } else {
            Ord = std::strtoll(Text.c_str(), &end, hex ? 16 : 10);
            Float = static_cast<double>(Ord);
        }
        return end && *end == 0 && (IsOrdinal(P->Kind) || P->Kind == TPropKind::Float);
    }
    if (P->Enum) return P->Enum->ValueOf(AnsiString(Text.c_str()), Ord);
    if (P->Kind == TPropKind::Integer) {
        if (Text == "clAutoColor") {
            Ord = 0x20000000; // the chart library's automatic colour
            return true;
        }
        for (const char* type : {"TColor", "TCursor"})
            if (IdentToInteger(type, AnsiString(Text.c_str()), Ord)) return true;
    }
    return false;
}

inline std::string ValueText(const TPropInfo* P, TObject* O) {
    if (IsOrdinal(P->Kind)) return std::to_string(P->GetOrd(O));
    if (P->Kind == TPropKind::Float) return std::to_string(P->GetFloat(O));
    if (P->Kind == TPropKind::String) return "'" + std::string(P->GetStr(O).c_str()) + "'";
    return "?";
}

inline bool Holds(const TPropInfo* P, TObject* O, int64_t Ord, double Float, const AnsiString& Str) {
    if (IsOrdinal(P->Kind)) return P->GetOrd(O) == Ord;
    if (P->Kind == TPropKind::Float) return std::fabs(P->GetFloat(O) - Float) < 1e-9;
    if (P->Kind == TPropKind::String) return P->GetStr(O) == Str;
    return true;
}

// A class published under a name of its own (TTeeCommander for
// TCustomTeeCommander) publishes what its base declares: a row of a base that
// does not publish the name itself holds when every class made below it does.
inline std::vector<TClass> Publishers(const TObjectCensus& Census, TClass Class, const char* Name,
                               std::string& Missing) {
    if (GetPropInfo(Class, Name)) return {Class};
    std::vector<TClass> below = Census.MadeBelow(Class);
    std::vector<TClass> found;
    for (TClass k : below)
        if (GetPropInfo(k, Name))
            found.push_back(k);
        else
            Missing += std::string(Missing.empty() ? "" : ", ") + k->Name;
    if (below.empty()) Missing = Class->Name;
    return Missing.empty() ? found : std::vector<TClass>{};
}

} // namespace published_names_detail

// One line for each row that does not hold, under a count; empty when all do.
template <size_t N>
std::string CheckPublishedNames(const TObjectCensus& Census, const TNameRow (&Rows)[N]) {
    using namespace published_names_detail;
    std::vector<std::string> failures;
    for (const TNameRow& r : Rows) {
        const std::string where = std::string(r.Class) + "." + r.Name + ": ";
        const TClass cls = Census.Find(r.Class);
        if (!cls) {
            failures.push_back(where + "no object of this class is made");
            continue;
        }
        std::string missing;
        const std::vector<TClass> publishers = Publishers(Census, cls, r.Name, missing);
        if (publishers.empty()) {
            failures.push_back(where + "not published by " + missing);
            continue;
        }
        for (TClass k : publishers) {
            const std::string at =
                k == cls ? where : std::string(k->Name) + "." + r.Name + ": ";
            const TPropInfo* p = GetPropInfo(k, r.Name);
            const std::string note = r.Note;
            if (note == "event" && p->Kind != TPropKind::Method)
                failures.push_back(at + "published, but not as an event");
            if (note != "event" && p->Kind == TPropKind::Method)
                failures.push_back(at + "published as an event");
            if (note == "not stored" && p->StoredFlag && !p->StoredTest)
                failures.push_back(at + "stored");
            const std::string def = r.Default;
            if (def.empty() || p->Kind == TPropKind::Method || p->Kind == TPropKind::Object ||
                p->Kind == TPropKind::Component)
                continue;
            int64_t ord = 0;
            double flt = 0;
            AnsiString str;
            if (!ParseDefault(p, def, ord, flt, str)) {
                failures.push_back(at + "the default " + def + " is no value of this property");
                continue;
            }
            if (p->HasDefault) {
                const bool same = p->Kind == TPropKind::Float    ? p->DefaultFloat == flt
                                  : p->Kind == TPropKind::String ? p->DefaultStr == str
                                                                 : p->DefaultOrd == ord;
                if (!same) failures.push_back(at + "declares another default than " + def);
            }
            // A sub-object is set up by its owner; a component stands alone.
            if (!k->InheritsFrom(&TComponent::ClassInfo) || !k->Factory) continue;
            std::unique_ptr<TObject> fresh(k->Factory(nullptr));
            if (!Holds(p, fresh.get(), ord, flt, str))
                failures.push_back(at + "a new object holds " + ValueText(p, fresh.get()) +
                                   ", not " + def);
        }
    }
    if (failures.empty()) return std::string();
    std::string report = std::to_string(failures.size()) + " of " + std::to_string(N) + " rows:\n";
    for (const std::string& f : failures)
        report += f + "\n";
    return report;
}
