#pragma once
// Handlers that free what they belong to: one freeing handler for each kind
// of handler the library's events take, bound to a published event by its
// type, so a sweep reaches every event a class publishes.
#include "chart/control/chart.h"
#include "chart/control/series_gantt.h"
#include "chart/control/teecommander.h"
#include "chart/control/tool_bands.h"
#include "chart/control/tool_cursor.h"
#include "chart/control/tool_drag.h"
#include "chart/control/tool_hints.h"
#include "chart/series/teecalendar.h"
#include "chart/series/teepoin3.h"
#include "platform/classes/props.h"
#include <functional>
#include <type_traits>
#include <vector>

enum class TFrees { Sender, Chart, Form };
constexpr TFrees AllFrees[] = {TFrees::Sender, TFrees::Chart, TFrees::Form};
inline const char* FreesName(TFrees F) {
    return F == TFrees::Sender ? "its sender" : F == TFrees::Chart ? "the chart" : "the form";
}

// What a handler of any of the events calls: the first call it takes frees.
struct TFreeingHost : TComponent {
    TFreeingHost() : TComponent(nullptr) {}
    std::function<void(TObject* Sender)> Act;
    // Calls it lets pass without counting them (none when unset).
    std::function<bool(TObject* Sender)> Takes;
    int Fired = 0;
    void Fire(TObject* Sender) {
        if (Takes && !Takes(Sender)) return;
        if (++Fired == 1 && Act) Act(Sender);
    }
};

// The sender of a call: its first argument, when that is an object.
inline TObject* SenderOf() {
    return nullptr;
}
template <class First, class... Rest> TObject* SenderOf(First&& F, Rest&&...) {
    using T = std::remove_cvref_t<First>;
    if constexpr (std::is_pointer_v<T> && std::is_base_of_v<TObject, std::remove_pointer_t<T>>)
        return F;
    else
        return nullptr;
}

template <class F> struct THandlerOf;
template <class R, class... A> struct THandlerOf<std::function<R(A...)>> {
    static TMethodInfo Make() {
        TMethodInfo m;
        m.Name = "Freeing";
        m.Signature = &typeid(R(A...));
        m.Call = std::function<R(TObject*, A...)>([](TObject* Self, A... Args) -> R {
            static_cast<TFreeingHost*>(Self)->Fire(SenderOf(Args...));
            return R();
        });
        return m;
    }
};

// One freeing handler for each kind of handler the library's events take.
inline const std::vector<TMethodInfo>& FreeingHandlers() {
    static const std::vector<TMethodInfo> handlers = {
        THandlerOf<TNotifyEvent>::Make(),
        THandlerOf<TSeriesNotifyEvent>::Make(),
        THandlerOf<TSeriesClick>::Make(),
        THandlerOf<TSeriesClickPointerEvent>::Make(),
        THandlerOf<TSeriesClickPointer3DEvent>::Make(),
        THandlerOf<TCalendarChangeEvent>::Make(),
        THandlerOf<TCursorToolChangeEvent>::Make(),
        THandlerOf<TAxisArrowClickEvent>::Make(),
        THandlerOf<TAnnotationClick>::Make(),
        THandlerOf<TDrawLineSelecting>::Make(),
        THandlerOf<TColorLineToolOnDrag>::Make(),
        THandlerOf<TDragPointToolEvent>::Make(),
        THandlerOf<TGanttDragEvent>::Make(),
        THandlerOf<TGanttResizeEvent>::Make(),
        // The controls' own: mouse, wheel, keys, dragging.
        THandlerOf<TMouseEvent>::Make(),
        THandlerOf<TMouseMoveEvent>::Make(),
        THandlerOf<TMouseWheelEvent>::Make(),
        THandlerOf<TMouseWheelUpDownEvent>::Make(),
        THandlerOf<TKeyEvent>::Make(),
        THandlerOf<TKeyPressEvent>::Make(),
        THandlerOf<TDragOverEvent>::Make(),
        THandlerOf<TDragDropEvent>::Make(),
        THandlerOf<TEndDragEvent>::Make(),
        // The chart's and the commander's.
        THandlerOf<TChartClickEvent>::Make(),
        THandlerOf<TChartClickAxis>::Make(),
        THandlerOf<TChartClickSeries>::Make(),
        THandlerOf<TChartClickTitle>::Make(),
        THandlerOf<TChartAllowScrollEvent>::Make(),
        THandlerOf<TTeeEditedChartEvent>::Make(),
        THandlerOf<TTeeCommanderOnSetLabel>::Make(),
    };
    return handlers;
}

inline bool Bind(TObject* Object, const TPropInfo* Event, TFreeingHost* Host) {
    for (const TMethodInfo& m : FreeingHandlers())
        if (*m.Signature == *Event->MethodType) {
            Event->SetMethod(Object, TMethod{Host, &m});
            return true;
        }
    return false;
}

inline void Unbind(TObject* Object, const TPropInfo* Event) {
    Event->SetMethod(Object, TMethod{});
}
