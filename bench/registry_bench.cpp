// Reading registry text: a file that deletes many keys and values (a crafted
// or much-edited REGEDIT export) must cost time linear in its size.

#include "platform/registry_hive.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// n keys and n values, then every one of them deleted again.
std::string CreateThenDeleteAll(int n) {
    std::string text = "REGEDIT4\n";
    for (int i = 0; i < n; ++i)
        text += "[HKEY_CURRENT_USER\\A\\K" + std::to_string(i) + "]\n";
    text += "[HKEY_CURRENT_USER\\V]\n";
    for (int i = 0; i < n; ++i)
        text += "\"v" + std::to_string(i) + "\"=\"x\"\n";
    for (int i = 0; i < n; ++i)
        text += "[-HKEY_CURRENT_USER\\A\\K" + std::to_string(i) + "]\n";
    text += "[HKEY_CURRENT_USER\\V]\n";
    for (int i = 0; i < n; ++i)
        text += "\"v" + std::to_string(i) + "\"=-\n";
    return text;
}

void ReadDeletions(benchmark::State& state) {
    const std::string text = CreateThenDeleteAll(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(RegistryHive::FromText(text, "HKEY_CURRENT_USER").Root().HasSubKeys());
    state.SetComplexityN(state.range(0));
}
BENCHMARK(ReadDeletions)->RangeMultiplier(4)->Range(1250, 80000)->Unit(benchmark::kMillisecond)->Complexity();

} // namespace
