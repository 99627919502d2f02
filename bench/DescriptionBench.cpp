// Reading and writing stored descriptions: MainForm's own, and a large generated one.
#include "toolkit/stored/StoredDescription.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string MainFormText() {
    std::ifstream in(SETUP_RESOURCE_DIR "/MainForm.desc", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A form with many controls, each with the properties a label carries.
std::string LargeText(int controls) {
    std::string text = "object Big : TForm {\n  Caption = \"Big\"\n";
    for (int i = 0; i < controls; ++i) {
        text += "  object Label" + std::to_string(i) + " : TLabel {\n    Left = " +
                std::to_string(i) + "\n    Caption = \"Label \\u{30E9}\"\n    Font.Style = [fsBold]\n  }\n";
    }
    return text + "}\n";
}

void BM_ParseMainForm(benchmark::State& state) {
    const std::string text = MainFormText();
    for (auto _ : state) {
        benchmark::DoNotOptimize(toolkit::stored::Parse(text));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ParseMainForm);

void BM_ParseLarge(benchmark::State& state) {
    const std::string text = LargeText(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(toolkit::stored::Parse(text));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ParseLarge)->Arg(100)->Arg(5000);

void BM_WriteMainForm(benchmark::State& state) {
    const auto tree = toolkit::stored::Parse(MainFormText());
    for (auto _ : state) {
        benchmark::DoNotOptimize(toolkit::stored::Write(tree));
    }
}
BENCHMARK(BM_WriteMainForm);

} // namespace

BENCHMARK_MAIN();
