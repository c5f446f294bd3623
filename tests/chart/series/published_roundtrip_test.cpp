// Every published property of every class the registries create, sub-objects
// included, comes back from a chart file: a value other than the constructor's,
// and the constructor's own value set back, in the binary and the text form.
// One run lists every property that does not. An event comes back bound to
// the method of the same name of the root it is read into; an event set to a
// function without a name writes nothing.
#include "chart/control/teecommander.h"
#include "chart/control/teedraw3d.h"
#include "chart/control/series.h"
#include "chart/control/teeedit.h"
#include "chart/control/teefunci.h"
#include "chart/control/teeseriestypes.h"
#include "chart/control/teestore.h"
#include "chart/control/tool_bands.h"
#include "chart/control/tool_cursor.h"
#include "chart/control/tool_drag.h"
#include "chart/control/tool_hints.h"
#include "chart/control/tool_series.h"
#include "chart/editor/teegallerypanel.h"
#include "chart/editor/teegrid.h"
#include "chart/editor/teelisb.h"
#include "chart/editor/teepreviewpanel.h"
#include "chart/series/imagebar.h"
#include "chart/series/teecalendar.h"
#include "chart/series/teeextraseries.h"
#include "chart/series/teemapseries.h"
#include "chart/series/teepoin3.h"
#include "chart/series/teerose.h"
#include "chart/series/teesurfa.h"
#include "chart/series/teevolumefunctions.h"
#include "platform/classes/collections.h"
#include "platform/classes/filer.h"
#include "platform/classes/objtext.h"
#include "platform/classes/props.h"
#include "platform/classes/streams.h"
#include "platform/classes/stringlist.h"
#include <algorithm>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

// One published method for each kind of event, named after the event's type.
template <typename Event> struct THandlerOf;
template <typename R, typename... A> struct THandlerOf<std::function<R(A...)>> {
    template <typename C> static TMethodInfo For(const char* Name) {
        return Method(Name, &C::template Handle<R, A...>);
    }
};
#define WALK_HANDLERS                                                                              \
    WALK_HANDLER(TNotifyEvent), WALK_HANDLER(TSeriesNotifyEvent), WALK_HANDLER(TSeriesOnAfterAdd), \
        WALK_HANDLER(TSeriesOnBeforeAdd), WALK_HANDLER(TSeriesClick),                              \
        WALK_HANDLER(TSeriesOnGetMarkText), WALK_HANDLER(TSeriesClickPointerEvent),                \
        WALK_HANDLER(TOnGetPointerStyle), WALK_HANDLER(TChartAllowScrollEvent),                    \
        WALK_HANDLER(TChartClickAxis), WALK_HANDLER(TChartClickEvent),                             \
        WALK_HANDLER(TChartClickSeries), WALK_HANDLER(TChartClickTitle),                           \
        WALK_HANDLER(TOnGetLegendPos), WALK_HANDLER(TOnGetLegendRect),                             \
        WALK_HANDLER(TOnGetLegendText), WALK_HANDLER(TAxisOnGetLabel),                             \
        WALK_HANDLER(TAxisOnGetNextLabel), WALK_HANDLER(TMouseEvent),                              \
        WALK_HANDLER(TMouseMoveEvent), WALK_HANDLER(TMouseWheelEvent),                             \
        WALK_HANDLER(TMouseWheelUpDownEvent), WALK_HANDLER(TKeyEvent),                             \
        WALK_HANDLER(TKeyPressEvent), WALK_HANDLER(TDragOverEvent), WALK_HANDLER(TDragDropEvent),  \
        WALK_HANDLER(TEndDragEvent), WALK_HANDLER(TDraw3DPaintEvent),                              \
        WALK_HANDLER(TTeeEditedChartEvent), WALK_HANDLER(TTeeCommanderOnSetLabel),                 \
        WALK_HANDLER(TAxisArrowClickEvent), WALK_HANDLER(TDrawLineSelecting),                      \
        WALK_HANDLER(TMarksTipGetText), WALK_HANDLER(TAnnotationClick),                            \
        WALK_HANDLER(TSeriesAnimationStep), WALK_HANDLER(TColorLineToolOnDrag),                    \
        WALK_HANDLER(TDragPointToolEvent), WALK_HANDLER(TGanttDragEvent),                          \
        WALK_HANDLER(TGanttResizeEvent), WALK_HANDLER(TCursorToolChangeEvent),                     \
        WALK_HANDLER(TOnChangeMarginsEvent), WALK_HANDLER(TSetEditEvent),                          \
        WALK_HANDLER(TChartSurfaceGetColor), WALK_HANDLER(TOnBeforeDrawLevelEvent),                \
        WALK_HANDLER(TOnGetLevelEvent), WALK_HANDLER(TClockSeriesGetTimeEvent),                    \
        WALK_HANDLER(TGetImageEvent), WALK_HANDLER(TSeriesClickPointer3DEvent),                    \
        WALK_HANDLER(TChartSurfaceGetY), WALK_HANDLER(TGetBarStyleEvent),                          \
        WALK_HANDLER(TNotifySeriesEvent), WALK_HANDLER(TChangeOrderEvent),                         \
        WALK_HANDLER(TDblClickSeriesEvent), WALK_HANDLER(TCompressGetDate),                        \
        WALK_HANDLER(TCalendarChangeEvent), WALK_HANDLER(TCalculateEvent),                         \
        WALK_HANDLER(TSelectCellEvent)

// What the walk's handlers answer: go on as without a handler.
template <typename R> R WalkResult() {
    if constexpr (std::is_same_v<R, bool>)
        return true;
    else
        return R();
}

// The root of a chart file: a chart that has no owner.
class TWalkChart : public TChart {
    QM_CLASS(TWalkChart)
public:
    using TChart::TChart;
    template <typename R, typename... A> R Handle(A...) { return WalkResult<R>(); }
};

// The root of a component's own stream: it holds the component.
class TWalkHost : public TComponent {
    QM_CLASS(TWalkHost)
public:
    using TComponent::TComponent;
    void GetChildren(const TGetChildProc& Proc, TComponent*) override {
        for (int i = 0; i < ComponentCount(); ++i)
            Proc(Components(i));
    }
    template <typename R, typename... A> R Handle(A...) { return WalkResult<R>(); }
};

} // namespace

#define WALK_HANDLER(Event) THandlerOf<Event>::For<Self>("Do" #Event)
QM_CLASS_OWNED(TWalkChart, TChart, TComponent)
QM_PUBLISHED_METHODS(TWalkChart, WALK_HANDLERS);
QM_CLASS_OWNED(TWalkHost, TComponent, TComponent)
QM_PUBLISHED_METHODS(TWalkHost, WALK_HANDLERS);
#undef WALK_HANDLER

namespace {

#define WALK_HANDLER(Event) "Do" #Event
const char* const WalkHandlerNames[] = {WALK_HANDLERS};
#undef WALK_HANDLER

// Properties left out, with why, and properties that need a setting before a
// value of theirs means anything. A key names the class that holds the
// property (or a base of it) and the property; When narrows it to some objects.
struct TRule {
    const char* Why = nullptr; // left out
    std::function<bool(TObject*)> When;
    std::function<void(TObject*)> Prepare;
    std::vector<int64_t> Values; // instead of the usual other values
    bool Recomputes = false;     // once read, it remakes the points the file also holds
};

bool StandardAxis(TObject* O) {
    return !static_cast<TChartAxis*>(O)->IsCustom();
}

void FixedEnds(TObject* O) {
    auto* axis = static_cast<TChartAxis*>(O);
    axis->SetAutomatic(false);
    axis->SetAutomaticMaximum(false);
    axis->SetAutomaticMinimum(false);
}

void ThreePages(TObject* O) {
    auto* chart = static_cast<TCustomChart*>(O);
    chart->SetMaxPointsPerPage(2);
    for (int i = 0; i < 6; ++i)
        chart->GetSeries(0)->AddXY(i, i);
}

const std::multimap<std::string, TRule>& Rules() {
    static const std::multimap<std::string, TRule> rules = {
        {"TComponent.Name", {"the name identifies the object in the file"}},
        {"TCustomChartElement.ParentChart", {"set by the chart the element is read into"}},
        {"TChartSeries.DataSource", {"a link with its points, covered by the chart file tests"}},
        {"TChartSeries.DataSources", {"a link with its points, covered by the chart file tests"}},
        {"TChartAxis.Horizontal", {"a standard axis' direction follows its place", StandardAxis}},
        {"TChartAxis.OtherSide", {"a standard axis' side follows its place", StandardAxis}},
        {"TChartDepthAxis.ZPosition", {"the depth axis has no depth position"}},
        {"TChartDepthAxis.Logarithmic", {"the depth axis is never logarithmic"}},
        {"TTeeCommander.Panel", {"a control of the form, outside this stream"}},
        {"TChart.PopupMenu", {"a menu of the form, outside this stream"}},
        // A bound handler gives the function's points anew.
        {"TCustomTeeFunction.OnCalculate", {nullptr, nullptr, nullptr, {}, true}},
        {"TCustomChartEditor.Chart", {"a control of the form, outside this stream"}},
        {"TChartEditorPanel.Chart", {"a control of the form, outside this stream"}},
        {"TChartEditor.Series", {"a series of the form, outside this stream"}},
        {"TTeePreviewPanel.Panel", {"a control of the form, outside this stream"}},
        {"TChartGrid.Chart", {"a control of the form, outside this stream"}},
        {"TChartGrid.Series", {"a series of the form, outside this stream"}},
        {"TChartListBox.Chart", {"a control of the form, outside this stream"}},
        {"TCustomFittingFunction.TypeFitting", {"one fitting type only"}},
        {"TChartAxis.Maximum", {nullptr, nullptr, FixedEnds}},
        {"TChartAxis.Minimum", {nullptr, nullptr, FixedEnds}},
        {"TCustomAxisPanel.Page", {nullptr, nullptr, ThreePages}},
        // The automatic colour is no colour: a chart chooses one for it.
        {"TChartSeries.SeriesColor", {nullptr, nullptr, nullptr, {clRed}}},
    };
    return rules;
}

const TRule* RuleOf(TObject* Object, const AnsiString& Prop) {
    for (TClass c = Object->ClassType(); c; c = c->Parent) {
        auto range = Rules().equal_range(std::string(c->Name) + "." + Prop.c_str());
        for (auto it = range.first; it != range.second; ++it)
            if (!it->second.When || it->second.When(Object)) return &it->second;
    }
    return nullptr;
}

bool IsExcluded(TObject* Object, const AnsiString& Prop) {
    const TRule* r = RuleOf(Object, Prop);
    return r && r->Why;
}

struct TStep {
    AnsiString Name;
    int Index = -1; // an item of a collection
};
using TPath = std::vector<TStep>;

std::string PathText(const TPath& P) {
    std::string s;
    for (const TStep& st : P) {
        if (!s.empty()) s += '.';
        s += st.Name.c_str();
        if (st.Index >= 0) s += "[" + std::to_string(st.Index) + "]";
    }
    return s;
}

// A chart file, or for components outside charts their own stream.
struct THolder {
    std::unique_ptr<TComponent> Top;
    TObject* Root = nullptr;
};

struct TRootSpec {
    std::string Label;
    std::function<THolder()> Make;
    // The root inside a loaded top component.
    std::function<TObject*(TComponent* Top)> Find;
    bool ChartFile = true;
};

std::string Bytes(TMemoryStream& S) {
    return std::string(static_cast<const char*>(S.Memory()), static_cast<size_t>(S.Size()));
}

std::string Save(TComponent* Top, bool ChartFile, bool Text) {
    TMemoryStream m;
    if (ChartFile) {
        SaveChartToStream(static_cast<TCustomChart*>(Top), &m, true, Text);
    } else {
        WriteComponentToStream(&m, Top);
        if (Text) {
            m.SetPosition(0);
            TMemoryStream t;
            ObjectBinaryToText(&m, &t);
            return Bytes(t);
        }
    }
    return Bytes(m);
}

std::unique_ptr<TComponent> Load(const std::string& Data, TClass Class, bool ChartFile, bool Text) {
    TMemoryStream m;
    m.WriteBuffer(Data.data(), static_cast<int64_t>(Data.size()));
    m.SetPosition(0);
    std::unique_ptr<TComponent> top(static_cast<TComponent*>(Class->Factory(nullptr)));
    if (ChartFile) {
        TCustomChart* c = static_cast<TCustomChart*>(top.get());
        LoadChartFromStream(c, &m);
    } else {
        TMemoryStream bin;
        if (Text) {
            ObjectTextToBinary(&m, &bin);
            bin.SetPosition(0);
        }
        ReadComponentFromStream(Text ? &bin : &m, top.get());
    }
    return top;
}

TObject* Resolve(TObject* Root, const TPath& P, size_t Upto) {
    TObject* o = Root;
    for (size_t i = 0; i < Upto && o; ++i) {
        const TPropInfo* p = GetPropInfo(o->ClassType(), P[i].Name);
        if (!p || !p->GetObj) return nullptr;
        o = p->GetObj(o);
        if (o && P[i].Index >= 0) {
            auto* c = dynamic_cast<TCollection*>(o);
            if (!c || P[i].Index >= c->Count()) return nullptr;
            o = c->Items(P[i].Index);
        }
    }
    return o;
}

struct TValue {
    int64_t Ord = 0;
    double Float = 0;
    AnsiString Str;
    bool operator==(const TValue& V) const {
        return Ord == V.Ord && (Float == V.Float || (std::isnan(Float) && std::isnan(V.Float))) &&
               Str == V.Str;
    }
};

std::string Show(const TValue& V) {
    std::ostringstream s;
    s << V.Ord << "/" << V.Float << "/\"" << V.Str.c_str() << "\"";
    return s.str();
}

// A reference is compared by the name and class of what it points at.
TValue Get(const TPropInfo* P, TObject* O) {
    TValue v;
    switch (P->Kind) {
    case TPropKind::Integer:
    case TPropKind::Boolean:
    case TPropKind::Enumeration:
    case TPropKind::Set:
        v.Ord = P->GetOrd(O);
        break;
    case TPropKind::Float:
        v.Float = P->GetFloat(O);
        break;
    case TPropKind::String:
        v.Str = P->GetStr(O);
        break;
    case TPropKind::Object:
        v.Str = static_cast<TStrings*>(P->GetObj(O))->Text();
        break;
    case TPropKind::Component:
        if (TObject* r = P->GetObj(O)) {
            v.Str = r->ClassName();
            if (auto* c = dynamic_cast<TComponent*>(r)) v.Str += ":" + c->Name();
        }
        break;
    case TPropKind::Method:
        if (const TMethod m = P->GetMethod(O))
            v.Str = m.Name() + "@" + m.Data->ClassName();
        else if (P->HasHandler(O))
            v.Str = "(no name)";
        break;
    }
    return v;
}

void Set(const TPropInfo* P, TObject* O, const TValue& V, TObject* Ref) {
    switch (P->Kind) {
    case TPropKind::Integer:
    case TPropKind::Boolean:
    case TPropKind::Enumeration:
    case TPropKind::Set:
        P->SetOrd(O, V.Ord);
        break;
    case TPropKind::Float:
        P->SetFloat(O, V.Float);
        break;
    case TPropKind::String:
        P->SetStr(O, V.Str);
        break;
    case TPropKind::Object:
        static_cast<TStrings*>(P->GetObj(O))->SetText(V.Str);
        break;
    case TPropKind::Component:
        P->SetObj(O, Ref);
        break;
    case TPropKind::Method:
        // Only a constructor's empty event is ever set back.
        P->SetMethod(O, TMethod{});
        break;
    }
}

// Values other than V0 to try, the declared default first: a value equal to
// the declared default is the one a writer leaves out.
std::vector<TValue> Candidates(const TPropInfo* P, const TValue& V0) {
    std::vector<TValue> c;
    auto add = [&](TValue v) {
        if (!(v == V0)) c.push_back(v);
    };
    TValue d;
    switch (P->Kind) {
    case TPropKind::Boolean:
        d.Ord = !V0.Ord;
        add(d);
        break;
    case TPropKind::Enumeration:
        if (P->HasDefault) add({P->DefaultOrd, 0, {}});
        for (int i = 0; i < P->Enum->Count(); ++i)
            add({P->Enum->Value(i), 0, {}});
        break;
    case TPropKind::Set:
        if (P->HasDefault) add({P->DefaultOrd, 0, {}});
        for (int i = 0; i < P->Enum->Count(); ++i)
            add({V0.Ord ^ (int64_t(1) << P->Enum->Value(i)), 0, {}});
        break;
    case TPropKind::Integer:
        if (P->HasDefault) add({P->DefaultOrd, 0, {}});
        if (V0.Ord < P->MaxValue) add({V0.Ord + 1, 0, {}});
        if (V0.Ord > P->MinValue) add({V0.Ord - 1, 0, {}});
        add({0, 0, {}});
        add({1, 0, {}});
        break;
    case TPropKind::Float:
        add({0, P->HasDefault ? P->DefaultFloat : 0.0, {}});
        add({0, V0.Float + 1.5, {}});
        add({0, V0.Float - 0.5, {}});
        add({0, 2.0, {}});
        break;
    case TPropKind::String:
        add({0, 0, P->HasDefault ? P->DefaultStr : AnsiString()});
        add({0, 0, V0.Str + "x"});
        break;
    case TPropKind::Object:
        add({0, 0, AnsiString()});
        add({0, 0, "first\r\nsecond\r\n"});
        break;
    case TPropKind::Component:
    case TPropKind::Method:
        break;
    }
    return c;
}

struct TLeaf {
    TPath Path;
    AnsiString Prop;
};

void Collect(TObject* O, TPath& Path, std::set<TObject*>& Seen, std::vector<TLeaf>& Out) {
    if (!O || !Seen.insert(O).second) return;
    for (const TPropInfo* p : GetPropList(O->ClassType())) {
        if (!p->StoredFlag || IsExcluded(O, p->Name)) continue;
        if (p->Kind == TPropKind::Object) {
            TObject* sub = p->GetObj(O);
            if (!sub) continue;
            if (dynamic_cast<TStrings*>(sub)) {
                Out.push_back({Path, p->Name});
            } else if (auto* coll = dynamic_cast<TCollection*>(sub)) {
                for (int i = 0; i < coll->Count(); ++i) {
                    Path.push_back({p->Name, i});
                    Collect(coll->Items(i), Path, Seen, Out);
                    Path.pop_back();
                }
            } else {
                Path.push_back({p->Name});
                Collect(sub, Path, Seen, Out);
                Path.pop_back();
            }
            continue;
        }
        if (p->Kind == TPropKind::Component && !p->SetObj) continue;
        Out.push_back({Path, p->Name});
    }
}

// Components of the chart a reference property may point at.
std::vector<TObject*> RefTargets(TComponent* Top, const TPropInfo* P, TObject* Owner,
                                 const TValue& V0, TObject* Root) {
    std::vector<TObject*> r;
    auto consider = [&](TObject* o) {
        if (o && o != Owner && o != Root && o->InheritsFrom(P->PropClass)) {
            TValue v;
            v.Str = o->ClassName();
            if (auto* c = dynamic_cast<TComponent*>(o)) v.Str += ":" + c->Name();
            if (!(v == V0)) r.push_back(o);
        }
    };
    if (auto* chart = dynamic_cast<TCustomChart*>(Top)) {
        for (int i = 0; i < chart->SeriesCount(); ++i)
            consider(chart->GetSeries(i));
        for (int i = 0; i < chart->Tools()->Count(); ++i)
            consider(chart->Tools()->Get(i));
        consider(chart);
    }
    return r;
}

class TWalk {
public:
    std::vector<std::string> Failures;
    int Checked = 0;

    void Run(const TRootSpec& R) {
        THolder probe = R.Make();
        std::vector<TLeaf> leaves;
        TPath path;
        std::set<TObject*> seen;
        Collect(probe.Root, path, seen, leaves);
        DeclaredDefaults(R, probe.Root->ClassType());
        for (const TLeaf& l : leaves)
            try {
                One(R, l);
            } catch (const std::exception& e) {
                Fail(R, l, std::string("raised: ") + e.what());
            }
    }

private:
    // A class's own properties declare what its constructor sets. (A sub-object's
    // owner may set it up otherwise; chart files compare those with a fresh owner.)
    void DeclaredDefaults(const TRootSpec& R, TClass Class) {
        if (!Class->Factory) return; // made only by its owner
        std::unique_ptr<TObject> fresh(Class->Factory(nullptr));
        for (const TPropInfo* p : GetPropList(Class)) {
            if (!p->HasDefault || IsExcluded(fresh.get(), p->Name) ||
                p->Kind == TPropKind::Object || p->Kind == TPropKind::Component ||
                p->Kind == TPropKind::Method)
                continue;
            TValue d;
            if (p->Kind == TPropKind::Float)
                d.Float = p->DefaultFloat;
            else if (p->Kind == TPropKind::String)
                d.Str = p->DefaultStr;
            else
                d.Ord = p->DefaultOrd;
            const TValue v = Get(p, fresh.get());
            if (!(v == d))
                Fail(R, {{}, p->Name}, "declares " + Show(d) + ", the constructor sets " + Show(v));
        }
    }

    void Fail(const TRootSpec& R, const TLeaf& L, const std::string& Why) {
        std::string where = R.Label;
        const std::string p = PathText(L.Path);
        if (!p.empty()) where += "." + p;
        Failures.push_back(where + "." + L.Prop.c_str() + ": " + Why);
    }

    // Saves in both forms, loads each into a fresh top component and compares.
    bool Check(const TRootSpec& R, const TLeaf& L, THolder& H, const TValue& Want,
               const char* What) {
        for (bool text : {false, true}) {
            const std::string saved = Save(H.Top.get(), R.ChartFile, text);
            std::unique_ptr<TComponent> back = Load(saved, H.Top->ClassType(), R.ChartFile, text);
            TObject* root = R.Find(back.get());
            TObject* o = root ? Resolve(root, L.Path, L.Path.size()) : nullptr;
            const TPropInfo* p = o ? GetPropInfo(o->ClassType(), L.Prop) : nullptr;
            const char* form = text ? "text" : "binary";
            if (!p) {
                Fail(R, L, std::string(What) + ": not found after loading the " + form + " form");
                return false;
            }
            const TValue got = Get(p, o);
            if (!(got == Want)) {
                Fail(R, L,
                     std::string(What) + " " + Show(Want) + " came back from the " + form +
                         " form as " + Show(got));
                return false;
            }
            const std::string again = Save(back.get(), R.ChartFile, text);
            const TRule* rule = RuleOf(o, L.Prop);
            if (again != saved && !(rule && rule->Recomputes)) {
                Fail(R, L, std::string(What) + ": the " + form + " form is not stable");
                return false;
            }
        }
        return true;
    }

    void One(const TRootSpec& R, const TLeaf& L) {
        ++Checked;
        THolder h = R.Make();
        TObject* o = Resolve(h.Root, L.Path, L.Path.size());
        const TPropInfo* p = GetPropInfo(o->ClassType(), L.Prop);
        const TRule* rule = RuleOf(o, L.Prop);
        if (rule && rule->Prepare) rule->Prepare(o);
        const TValue v0 = Get(p, o);
        bool set = false;
        TValue v1;
        if (p->Kind == TPropKind::Method) {
            const TMethodInfo* method = nullptr;
            for (const char* name : WalkHandlerNames) {
                const TMethodInfo* m = FindMethod(h.Top->ClassType(), name);
                if (m && *m->Signature == *p->MethodType) method = m;
            }
            if (!method) {
                Fail(R, L, "the walk's roots have no method of this event's type");
                return;
            }
            // A method of another object than the root has no name in this file.
            const std::string none = Save(h.Top.get(), R.ChartFile, false);
            std::unique_ptr<TObject> stranger(h.Top->ClassType()->Factory(nullptr));
            p->SetMethod(o, TMethod{stranger.get(), method});
            const bool written = Save(h.Top.get(), R.ChartFile, false) != none;
            p->SetMethod(o, TMethod{});
            if (written) {
                Fail(R, L, "a handler that is no method of the root was written");
                return;
            }
            p->SetMethod(o, TMethod{h.Top.get(), method});
            v1 = Get(p, o);
            set = true;
        } else if (p->Kind == TPropKind::Component) {
            for (TObject* t : RefTargets(h.Top.get(), p, o, v0, h.Root)) {
                Set(p, o, {}, t);
                v1 = Get(p, o);
                if (!(v1 == v0)) {
                    set = true;
                    break;
                }
            }
        } else {
            std::vector<TValue> candidates = Candidates(p, v0);
            if (rule && !rule->Values.empty()) {
                candidates.clear();
                for (int64_t v : rule->Values)
                    candidates.push_back({v, 0, {}});
            }
            for (const TValue& c : candidates) {
                try {
                    Set(p, o, c, nullptr);
                } catch (const std::exception&) {
                    continue;
                }
                v1 = Get(p, o);
                if (!(v1 == v0)) {
                    set = true;
                    break;
                }
            }
        }
        if (!set) {
            Fail(R, L, "no other value can be set");
            return;
        }
        if (!Check(R, L, h, v1, "set")) return;
        TObject* ref = nullptr;
        if ((p->Kind == TPropKind::Component || p->Kind == TPropKind::Method) && !v0.Str.IsEmpty())
            return; // a reference made by the constructor cannot be restored by value
        Set(p, o, v0, ref);
        if (!(Get(p, o) == v0)) {
            Fail(R, L, "the constructor's value cannot be set back");
            return;
        }
        Check(R, L, h, v0, "constructor's value");
    }
};

// Every root the registries create, each in a chart of its own.
std::vector<TRootSpec> Roots() {
    TeeExtraSeriesStartup();
    TChart starter; // runs the registries' start-up
    std::vector<TRootSpec> roots;
    auto chartWith = [](const std::function<TObject*(TChart*)>& Add) {
        return [Add] {
            THolder h;
            auto* chart = new TWalkChart(nullptr);
            h.Top.reset(chart);
            TChartSeries* other = CreateNewSeries(chart, chart, &TLineSeries::ClassInfo);
            other->SetName("Other");
            h.Root = Add(chart);
            return h;
        };
    };
    auto byName = [](const AnsiString& Name) {
        return [Name](TComponent* Top) -> TObject* {
            auto* chart = static_cast<TCustomChart*>(Top);
            for (int i = 0; i < chart->SeriesCount(); ++i)
                if (chart->GetSeries(i)->Name() == Name) return chart->GetSeries(i);
            for (int i = 0; i < chart->Tools()->Count(); ++i)
                if (chart->Tools()->Get(i)->Name() == Name) return chart->Tools()->Get(i);
            return nullptr;
        };
    };
    roots.push_back({"TChart", chartWith([](TChart* c) -> TObject* {
                         c->CustomAxes()->Add(); // its side and direction are stored
                         return c;
                     }),
                     [](TComponent* Top) -> TObject* { return Top; }});
    std::set<TClass> done;
    for (int i = 0; i < TeeSeriesTypes().Count(); ++i) {
        TTeeSeriesType* t = TeeSeriesTypes().Get(i);
        if (t->SeriesClass && !t->FunctionClass && done.insert(t->SeriesClass).second) {
            TClass sc = t->SeriesClass;
            roots.push_back({sc->Name, chartWith([sc](TChart* c) -> TObject* {
                                 TChartSeries* s = CreateNewSeries(c, c, sc);
                                 s->SetName("Walked");
                                 return s;
                             }),
                             byName("Walked")});
        }
        if (t->FunctionClass && done.insert(t->FunctionClass).second) {
            TClass sc = t->SeriesClass ? t->SeriesClass : &TLineSeries::ClassInfo;
            TClass fc = t->FunctionClass;
            roots.push_back({fc->Name, chartWith([sc, fc](TChart* c) -> TObject* {
                                 TChartSeries* s = CreateNewSeries(c, c, sc, fc);
                                 s->SetName("Walked");
                                 return s->FunctionType();
                             }),
                             [](TComponent* Top) -> TObject* {
                                 auto* chart = static_cast<TCustomChart*>(Top);
                                 for (int k = 0; k < chart->SeriesCount(); ++k)
                                     if (chart->GetSeries(k)->Name() == "Walked")
                                         return chart->GetSeries(k)->FunctionType();
                                 return nullptr;
                             }});
        }
    }
    for (int i = 0; i < TeeToolTypes().Count(); ++i) {
        TClass tc = TeeToolTypes().Get(i);
        roots.push_back({tc->Name, chartWith([tc](TChart* c) -> TObject* {
                             // Something for tools of grid series to point at.
                             CreateNewSeries(c, c, &TSurfaceSeries::ClassInfo)->SetName("Grid");
                             auto* tool = static_cast<TTeeCustomTool*>(tc->Factory(c));
                             tool->SetName("Walked");
                             tool->SetParentChart(c);
                             return tool;
                         }),
                         byName("Walked")});
    }
    // A map's polygon: its settings travel in the map's own block and point data.
    roots.push_back({"TTeePolygon", chartWith([](TChart* c) -> TObject* {
                         TChartSeries* s = CreateNewSeries(c, c, &TMapSeries::ClassInfo);
                         s->SetName("Walked");
                         TTeePolygon* p = static_cast<TMapSeries*>(s)->Shapes()->Add();
                         p->AddXY(0, 0);
                         p->AddXY(1, 0);
                         p->AddXY(0, 1);
                         return p;
                     }),
                     [byName](TComponent* Top) -> TObject* {
                         auto* map = dynamic_cast<TMapSeries*>(byName("Walked")(Top));
                         return map && map->Shapes()->Count() == 1 ? map->Shapes()->Get(0)
                                                                   : nullptr;
                     }});
    for (TClass cc :
         {&TDraw3D::ClassInfo, &TTeeCommander::ClassInfo, &TChartEditor::ClassInfo,
          &TChartPreviewer::ClassInfo, &TChartEditorPanel::ClassInfo, &TTeePreviewPanel::ClassInfo,
          &TChartGrid::ClassInfo, &TChartListBox::ClassInfo, &TChartGalleryPanel::ClassInfo}) {
        RegisterClass(cc);
        roots.push_back({cc->Name,
                         [cc] {
                             THolder h;
                             h.Top = std::make_unique<TWalkHost>(nullptr);
                             auto* walked = static_cast<TComponent*>(cc->Factory(h.Top.get()));
                             walked->SetName("Walked");
                             h.Root = walked;
                             return h;
                         },
                         [](TComponent* Top) -> TObject* { return Top->FindComponent("Walked"); },
                         false});
    }
    return roots;
}

TEST(PublishedRoundTrip, EveryPropertyOfEveryRegisteredClassComesBack) {
    TWalk walk;
    int roots = 0;
    for (const TRootSpec& r : Roots()) {
        walk.Run(r);
        ++roots;
    }
    std::string all;
    for (const std::string& f : walk.Failures)
        all += f + "\n";
    EXPECT_TRUE(walk.Failures.empty()) << walk.Failures.size() << " of " << walk.Checked
                                       << " properties in " << roots << " classes:\n"
                                       << all;
    EXPECT_GT(walk.Checked, 5000);
}

// A property both types share: each step of its path names a property of the
// same name and kind in both, the first one declared by a common base class.
bool Shared(TObject* A, TObject* B, const TLeaf& L) {
    TObject* a = A;
    TObject* b = B;
    for (size_t i = 0; i <= L.Path.size(); ++i) {
        const AnsiString& name = i < L.Path.size() ? L.Path[i].Name : L.Prop;
        const TPropInfo* pa = GetPropInfo(a->ClassType(), name);
        const TPropInfo* pb = GetPropInfo(b->ClassType(), name);
        if (!pa || !pb || pa->Kind != pb->Kind || (i == 0 && pa != pb)) return false;
        if (i == L.Path.size()) break;
        a = Resolve(a, {L.Path[i]}, 1);
        b = Resolve(b, {L.Path[i]}, 1);
        if (!a || !b) return false;
    }
    return true;
}

// Changing a series' type keeps every setting the new type shares with the
// old one; each registered type is changed into the next one and back.
TEST(PublishedRoundTrip, ChangingTheTypeKeepsWhatBothTypesShare) {
    TeeExtraSeriesStartup();
    TChart starter;
    std::vector<TClass> types;
    for (int i = 0; i < TeeSeriesTypes().Count(); ++i) {
        TTeeSeriesType* t = TeeSeriesTypes().Get(i);
        if (t->SeriesClass && !t->FunctionClass &&
            std::find(types.begin(), types.end(), t->SeriesClass) == types.end())
            types.push_back(t->SeriesClass);
    }
    std::vector<std::string> failures;
    int checked = 0;
    for (size_t i = 0; i < types.size(); ++i)
        for (TClass to :
             {types[(i + 1) % types.size()], types[(i + types.size() - 1) % types.size()]}) {
            TClass from = types[i];
            TChart probeChart;
            TChartSeries* probe = CreateNewSeries(&probeChart, &probeChart, from);
            TChartSeries* other = CreateNewSeries(&probeChart, &probeChart, to);
            std::vector<TLeaf> leaves;
            TPath path;
            std::set<TObject*> seen;
            Collect(probe, path, seen, leaves);
            for (const TLeaf& l : leaves) {
                // A list's name belongs to its type; a point series shows its
                // pointer whatever the series it was made from did.
                if (!Shared(probe, other, l) ||
                    (l.Prop == "Name" && !l.Path.empty() && l.Path.back().Name.Pos("Values")) ||
                    (l.Prop == "Visible" && l.Path.size() == 1 && l.Path[0].Name == "Pointer" &&
                     to->InheritsFrom(&TPointSeries::ClassInfo)))
                    continue;
                const TPropInfo* p =
                    GetPropInfo(Resolve(probe, l.Path, l.Path.size())->ClassType(), l.Prop);
                if (p->Kind == TPropKind::Component) continue;
                TChart chart;
                TChartSeries* s = CreateNewSeries(&chart, &chart, from);
                TObject* o = Resolve(s, l.Path, l.Path.size());
                const TValue v0 = Get(p, o);
                const TValue theirs = Get(p, Resolve(other, l.Path, l.Path.size()));
                const TRule* rule = RuleOf(o, l.Prop);
                std::vector<TValue> candidates = Candidates(p, v0);
                if (rule && !rule->Values.empty()) {
                    candidates.clear();
                    for (int64_t v : rule->Values)
                        candidates.push_back({v, 0, {}});
                }
                bool set = false;
                TValue v1;
                for (const TValue& c : candidates) {
                    if (c == theirs) continue;
                    try {
                        Set(p, o, c, nullptr);
                    } catch (const std::exception&) {
                        continue;
                    }
                    v1 = Get(p, o);
                    if (!(v1 == v0) && !(v1 == theirs)) {
                        set = true;
                        break;
                    }
                }
                if (!set) continue;
                ++checked;
                const bool crosswise = s->YIsMandatory() != other->YIsMandatory();
                ChangeSeriesType(s, to);
                // Between a vertical and a horizontal type the X and Y lists trade places.
                TPath there = l.Path;
                if (crosswise && !there.empty() && there[0].Name == "XValues")
                    there[0].Name = "YValues";
                else if (crosswise && !there.empty() && there[0].Name == "YValues")
                    there[0].Name = "XValues";
                TObject* n = Resolve(s, there, there.size());
                const TValue got = n ? Get(GetPropInfo(n->ClassType(), l.Prop), n) : TValue{};
                if (!(got == v1))
                    failures.push_back(std::string(from->Name) + " to " + to->Name + ": " +
                                       PathText(l.Path) + (l.Path.empty() ? "" : ".") +
                                       l.Prop.c_str() + " set " + Show(v1) + " became " +
                                       Show(got));
            }
        }
    std::string all;
    for (const std::string& f : failures)
        all += f + "\n";
    EXPECT_TRUE(failures.empty()) << failures.size() << " of " << checked << ":\n" << all;
}

} // namespace
