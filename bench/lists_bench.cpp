// Sender-list matching: the masks users enter must never make a scan crawl,
// however many stars they hold, and loading a long list must stay linear.

#include "records/sender_list.h"
#include "records/wildcard.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// "*a*a*...*a*b" against a text of a's: a backtracking matcher takes time
// exponential in the number of stars here.
void MatchManyStars(benchmark::State& state) {
    const int stars = static_cast<int>(state.range(0));
    std::string pattern;
    for (int i = 0; i < stars; ++i)
        pattern += "*a";
    pattern += "*b";
    const std::string text(200, 'a');
    for (auto _ : state)
        benchmark::DoNotOptimize(MatchWildcard(text, pattern));
    state.SetComplexityN(stars);
}
BENCHMARK(MatchManyStars)->DenseRange(2, 16, 2)->Complexity();

// An approved list of n addresses checked against one sender, as the scan
// does for every header.
void MatchAgainstLongList(benchmark::State& state) {
    SenderList list("WhiteList.dat");
    for (int i = 0; i < state.range(0); ++i)
        list.Add("friend" + std::to_string(i) + "@example" + std::to_string(i % 97) + ".org");
    list.Add("*@partner.example.com");
    for (auto _ : state)
        benchmark::DoNotOptimize(list.Matches("someone@partner.example.com"));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(MatchAgainstLongList)->RangeMultiplier(10)->Range(100, 100000)->Complexity();

// 100,000 approved addresses and 1,000 masks of as many domains, checked
// against a sender no entry matches (the costliest case: every candidate is
// tried). The figure to meet: under 20 microseconds a check.
void MatchAgainstAddressesAndMasks(benchmark::State& state) {
    SenderList list("WhiteList.dat");
    for (int i = 0; i < 100000; ++i)
        list.Add("friend" + std::to_string(i) + "@example" + std::to_string(i % 97) + ".org");
    for (int i = 0; i < 1000; ++i)
        list.Add(i % 2 ? "*@partner" + std::to_string(i) + ".example.com" : "news?@list" + std::to_string(i) + ".org");
    for (auto _ : state)
        benchmark::DoNotOptimize(list.Matches("stranger@nowhere.example.net"));
    state.counters["anchor_us"] = 20;
}
BENCHMARK(MatchAgainstAddressesAndMasks)->Unit(benchmark::kMicrosecond);

// Filling a list through Add, which keeps the entries unique.
void FillList(benchmark::State& state) {
    for (auto _ : state) {
        SenderList list("WhiteList.dat");
        for (int i = 0; i < state.range(0); ++i)
            list.Add("friend" + std::to_string(i) + "@example.org");
        benchmark::DoNotOptimize(list.Count());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(FillList)->RangeMultiplier(10)->Range(100, 100000)->Unit(benchmark::kMillisecond)->Complexity();

} // namespace
