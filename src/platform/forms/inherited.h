#pragma once
// For a control's override that first calls its base's routine firing a
// handler of the user's input, then goes on.
#include <functional>

class TControl;

// Runs Inherited, then Then unless the handler freed Self (or the form that
// owns it).
void InheritedThen(TControl* Self, const std::function<void()>& Inherited,
                   const std::function<void()>& Then);
