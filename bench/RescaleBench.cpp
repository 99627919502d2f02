// A rescale pass over forms of 10 to 5,000 controls on the simulated desktop, with the
// records found through the name index and, for comparison, by walking the list.
#include "resizekit/ResizeKit.h"

#include "platform/Api.h"
#include "platform/sim/SimDesktop.h"
#include "toolkit/Application.h"
#include "toolkit/Forms.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

class TBenchForm : public toolkit::TForm {
public:
    TResizeKit* Kit = nullptr;
    explicit TBenchForm(toolkit::TComponent* owner) : toolkit::TForm(owner) {
        PublishField(u"Kit", Kit);
    }
};

std::string FormWith(int controls) {
    std::string text = "object F : TBenchForm {\n  ClientWidth = 800\n  ClientHeight = 600\n";
    for (int i = 0; i < controls; ++i) {
        text += "  object L" + std::to_string(i) + " : TLabel {\n    Left = " +
                std::to_string(i % 700) + "\n    Top = " + std::to_string(i % 550) +
                "\n    Width = 60\n    Height = 20\n    AutoSize = false\n"
                "    Font.Size = 10\n    ParentFont = false\n  }\n";
    }
    return text + "  object Kit : TResizeKit {\n    DesignFrmW = 800\n    DesignFrmH = 600\n"
                  "    DesignDpiW = 96\n    DesignDpiH = 96\n  }\n}\n";
}

void RescalePass(benchmark::State& state, bool linear) {
    const int controls = static_cast<int>(state.range(0));
    platform::sim::SimDesktop desktop;
    platform::ScopedApi scope(desktop);
    toolkit::TApplication app;
    resizekit::RegisterClasses();
    auto form = std::make_unique<TBenchForm>(nullptr);
    form->LoadDescriptionText(FormWith(controls));
    desktop.SetMessageLog(false);
    TCtrlList::UseLinearSearch(linear);
    // Alternate between two sizes so that every pass moves and re-fonts every control.
    bool wide = false;
    for (auto _ : state) {
        wide = !wide;
        form->Kit->RescaleControls(wide ? 1200 : 800, wide ? 900 : 600);
    }
    TCtrlList::UseLinearSearch(false);
    state.counters["per_control"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * controls,
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["controls"] = controls;
    form.reset();
}

void BM_Rescale_Indexed(benchmark::State& state) { RescalePass(state, false); }
void BM_Rescale_Linear(benchmark::State& state) { RescalePass(state, true); }

BENCHMARK(BM_Rescale_Indexed)->Arg(10)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Rescale_Linear)->Arg(10)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
