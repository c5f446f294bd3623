#pragma once
// The tools page of the chart editor, docked on a host form and shown, as the
// editor shows it.
#include "chart/control/chart.h"
#include "chart/editor/teeedittools.h"
#include "platform/forms/forms.h"
#include <cstdint>

inline TFormTeeTools* ShowToolsPage(TForm& Host, TCustomChart* Chart, int Width = 460,
                                    int Height = 320) {
    Host.SetBounds(0, 0, Width, Height);
    auto* page = new TFormTeeTools(&Host);
    page->SetSubject(Chart);
    page->SetParent(&Host);
    page->SetAlign(alClient);
    Host.Show();
    page->Show();
    return page;
}
