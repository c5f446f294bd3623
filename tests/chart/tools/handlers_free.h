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
#include "chart/freeing_handlers.h"
#include "platform/classes/props.h"
#include <functional>
#include <type_traits>
#include <vector>

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
    return BindFreeing(FreeingHandlers(), Object, Event, Host);
}

inline void Unbind(TObject* Object, const TPropInfo* Event) {
    Event->SetMethod(Object, TMethod{});
}
