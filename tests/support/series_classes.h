#pragma once
// The series classes the registry holds, each once, in the order registered;
// the function entries are left out. The caller runs the startups it needs.
#include "chart/control/teeseriestypes.h"
#include <set>
#include <vector>

inline std::vector<TClass> RegisteredSeriesClasses() {
    std::vector<TClass> r;
    std::set<TClass> done;
    for (int i = 0; i < TeeSeriesTypes().Count(); ++i) {
        const TTeeSeriesType* t = TeeSeriesTypes().Get(i);
        if (t->SeriesClass && !t->FunctionClass && done.insert(t->SeriesClass).second)
            r.push_back(t->SeriesClass);
    }
    return r;
}
