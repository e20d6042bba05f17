// Signal dispatch: Signal::rise with 1 and 16 connected slots, against the
// floor of dispatch by name: one hash-map lookup of the slot's name and one
// indirect call per slot, with nothing else around it.
#include <benchmark/benchmark.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "bench/support/bench_report.h"
#include "services/signals.h"

namespace {

class CountingSlot : public AbstractSlot {
public:
    bool call(SlotArgs* args) override {
        benchmark::DoNotOptimize(args);
        ++calls;
        return true;
    }
    long calls = 0;
};

const std::string signal_name = "bench->new_cycle";

// Names shaped like an object's slots: scene, object, slot.
std::vector<std::string> slot_names(int count) {
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) names.push_back("bench->object" + std::to_string(i) + "->_on_new_cycle");
    return names;
}

void BM_SignalRise(benchmark::State& state) {
    int count = int(state.range(0));
    signals_reset();
    std::vector<CountingSlot> slots(static_cast<std::size_t>(count));
    std::vector<std::string> names = slot_names(count);
    for (int i = 0; i < count; ++i) {
        register_slot(names[std::size_t(i)], &slots[std::size_t(i)]);
        connect(signal_name, names[std::size_t(i)]);
    }
    Signal signal("");
    signal.set_name(signal_name);
    for (auto _ : state) benchmark::DoNotOptimize(signal.rise());
    if (slots.back().calls != long(state.iterations())) state.SkipWithError("a connected slot was not called");
    signals_reset();
}

void BM_DispatchByNameFloor(benchmark::State& state) {
    int count = int(state.range(0));
    std::vector<CountingSlot> slots(static_cast<std::size_t>(count));
    std::vector<std::string> names = slot_names(count);
    std::unordered_map<std::string, AbstractSlot*> registry;
    for (int i = 0; i < count; ++i) registry.emplace(names[std::size_t(i)], &slots[std::size_t(i)]);
    SlotArgs args;
    for (auto _ : state) {
        for (const std::string& name : names) {
            auto it = registry.find(name);
            if (it == registry.end()) continue;
            AbstractSlot* slot = it->second;
            benchmark::DoNotOptimize(slot);  // a real indirect call, as the bus makes
            slot->call(&args);
        }
        benchmark::ClobberMemory();  // no hoisting of the lookups out of the loop
    }
    if (slots.back().calls != long(state.iterations())) state.SkipWithError("a slot was not called");
}

BENCHMARK(BM_SignalRise)->Arg(1)->Arg(16)->MinTime(0.2);
BENCHMARK(BM_DispatchByNameFloor)->Arg(1)->Arg(16)->MinTime(0.2);

std::vector<bench::Row> evaluate(const bench::Results& results) {
    const char* measure = "3 signal dispatch";
    return {
        bench::time_ratio_at_most(results, measure, "rise, 1 slot", "BM_SignalRise/1", "BM_DispatchByNameFloor/1",
                                  2.0),
        bench::time_ratio_at_most(results, measure, "rise, 16 slots", "BM_SignalRise/16",
                                  "BM_DispatchByNameFloor/16", 2.0),
    };
}

}  // namespace

int main(int argc, char** argv) { return bench::run_and_report(argc, argv, evaluate); }
