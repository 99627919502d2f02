// A rescale pass over forms of 10 to 5,000 controls on the simulated desktop, with the
// window moves it asks for (SetWindowPos and MoveWindow calls per control per pass), and the
// share of it that finds the records: one lookup per control through the name index and, for
// comparison, by walking the list as the pass would without the index.
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

void BM_Rescale(benchmark::State& state) {
    const int controls = static_cast<int>(state.range(0));
    platform::sim::SimDesktop desktop;
    platform::ScopedApi scope(desktop);
    toolkit::TApplication app;
    resizekit::RegisterClasses();
    auto form = std::make_unique<TBenchForm>(nullptr);
    form->LoadDescriptionText(FormWith(controls));
    desktop.SetMessageLog(false);
    // Alternate between two sizes so that every pass moves and re-fonts every control.
    bool wide = false;
    const long long movesBefore = desktop.MoveCalls();
    for (auto _ : state) {
        wide = !wide;
        form->Kit->RescaleControls(wide ? 1200 : 800, wide ? 900 : 600);
    }
    const double passes = static_cast<double>(state.iterations());
    state.counters["per_control"] = benchmark::Counter(
        passes * controls, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["moves_per_control"] =
        static_cast<double>(desktop.MoveCalls() - movesBefore) / (passes * controls);
    state.counters["controls"] = controls;
    form.reset();
}

// The records of such a form, as the pass looks them up.
TCtrlList RecordsOf(int controls) {
    TCtrlList list;
    for (int i = 0; i < controls; ++i) {
        auto record = std::make_unique<TCtrlInfo>();
        const std::string digits = std::to_string(i);
        record->Name = u"L"; // and the number, as FormWith names them
        record->Name.append(digits.begin(), digits.end());
        list.Append(std::move(record));
    }
    return list;
}

template <class Lookup> void Lookups(benchmark::State& state, Lookup lookup) {
    const int controls = static_cast<int>(state.range(0));
    const TCtrlList list = RecordsOf(controls);
    for (auto _ : state) {
        for (int i = 0; i < controls; ++i) {
            benchmark::DoNotOptimize(lookup(list, list.Items(i)->Name));
        }
    }
    state.counters["per_control"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * controls,
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["controls"] = controls;
}

void BM_Lookups_Indexed(benchmark::State& state) {
    Lookups(state, [](const TCtrlList& list, const std::u16string& name) { return list.Find(name); });
}
void BM_Lookups_Walked(benchmark::State& state) {
    Lookups(state, [](const TCtrlList& list, const std::u16string& name) -> const TCtrlInfo* {
        for (int i = 0; i < list.Count(); ++i) {
            const TCtrlInfo* item = list.Items(i);
            if (item != nullptr && item->Name == name) {
                return item;
            }
        }
        return nullptr;
    });
}

BENCHMARK(BM_Rescale)->Arg(10)->Arg(50)->Arg(100)->Arg(500)->Arg(1000)->Arg(5000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Lookups_Indexed)->Arg(10)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Lookups_Walked)->Arg(10)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
