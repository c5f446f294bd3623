#pragma once
// Handlers that free what they belong to, for the sweeps over published
// events: one freeing handler for each handler type a sweep meets, bound to
// any event of that type. Its first call frees (the sender, the chart or the
// form); later calls are only counted.
#include "platform/classes/component.h"
#include "platform/classes/props.h"
#include <functional>
#include <type_traits>
#include <typeinfo>
#include <vector>

enum class TFrees { Sender, Chart, Form };
inline constexpr TFrees AllFrees[] = {TFrees::Sender, TFrees::Chart, TFrees::Form};
inline const char* FreesName(TFrees F) {
    return F == TFrees::Sender ? "its sender" : F == TFrees::Chart ? "the chart" : "the form";
}

// What a freeing handler calls: the call FreeAt (the first by default) of
// those it takes frees.
struct TFreeingHost : TComponent {
    TFreeingHost() : TComponent(nullptr) {}
    std::function<void(TObject* Sender)> Act;
    // Calls it lets pass without counting them (none when unset).
    std::function<bool(TObject* Sender)> Takes;
    std::function<void(int Call)> Seen; // told of every call before it frees
    int Fired = 0;
    int FreeAt = 1;
    void Fire(TObject* Sender) {
        if (Takes && !Takes(Sender)) return;
        ++Fired;
        if (Seen) Seen(Fired);
        if (Fired == FreeAt && Act) Act(Sender);
    }
    bool Freed() const { return Fired >= FreeAt; }
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

// The freeing handlers of the given handler types, made once (events keep
// their address).
template <class... F> const std::vector<TMethodInfo>& FreeingHandlersOf() {
    static const std::vector<TMethodInfo> handlers = {THandlerOf<F>::Make()...};
    return handlers;
}

// Binds the handler that fits Event to the host; false when none does.
inline bool BindFreeing(const std::vector<TMethodInfo>& Handlers, TObject* Object,
                        const TPropInfo* Event, TFreeingHost* Host) {
    for (const TMethodInfo& m : Handlers)
        if (*m.Signature == *Event->MethodType) {
            Event->SetMethod(Object, TMethod{Host, &m});
            return true;
        }
    return false;
}
