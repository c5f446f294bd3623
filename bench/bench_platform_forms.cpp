// Speed of building the program's windows: twelve forms of fifty controls each
// are created and the first is shown (target: at most 300 ms).
#include "platform/forms/buttons.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/forms.h"
#include "platform/forms/stdctrls.h"
#include "support/forms_testing.h"
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>
#include <vector>

namespace {

// Fifty controls of the kinds the operator's windows use.
void FillForm(TForm* form) {
    auto* box = new TGroupBox(form);
    box->SetParent(form);
    box->SetBounds(8, 8, 300, 400);
    box->SetCaption("Setup");
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    panel->SetBounds(320, 8, 300, 400);
    for (int i = 0; i < 48; ++i) {
        TWinControl* parent = i % 2 ? static_cast<TWinControl*>(box) : panel;
        const int top = 20 + (i / 2) * 16;
        TControl* c = nullptr;
        switch (i % 8) {
        case 0:
            c = new TLabel(form);
            static_cast<TLabel*>(c)->SetCaption("measurement");
            break;
        case 1:
            c = new TEdit(form);
            break;
        case 2:
            c = new TBitBtn(form);
            static_cast<TBitBtn*>(c)->SetCaption("&Start");
            break;
        case 3:
            c = new TCheckBox(form);
            static_cast<TCheckBox*>(c)->SetCaption("Overflow");
            break;
        case 4:
            c = new TMemo(form);
            break;
        case 5:
            c = new TComboBox(form);
            break;
        case 6:
            c = new TButton(form);
            static_cast<TButton*>(c)->SetCaption("OK");
            break;
        default:
            c = new TProgressBar(form);
            break;
        }
        c->SetParent(parent);
        c->SetBounds(8, top, 120, 16);
    }
}

void BM_TwelveFormsOfFiftyControls(benchmark::State& state) {
    TScreenSizeScope screen(1024, 768);
    Application->Initialize();
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        std::vector<std::unique_ptr<TForm>> forms;
        for (int f = 0; f < 12; ++f) {
            auto form = std::make_unique<TForm>(nullptr);
            form->SetBounds(0, 0, 1006, 700);
            form->SetCaption("QM read out");
            FillForm(form.get());
            forms.push_back(std::move(form));
        }
        forms.front()->Show();
        Application->ProcessMessages();
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(elapsed.count());
        total += elapsed.count();
        state.PauseTiming();
        forms.clear();
        state.ResumeTiming();
    }
    state.counters["ratio"] = total / static_cast<double>(state.iterations()) / 0.300;
}
BENCHMARK(BM_TwelveFormsOfFiftyControls)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
