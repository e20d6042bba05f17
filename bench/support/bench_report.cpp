#include "bench/support/bench_report.h"

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <time.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <limits>

namespace bench {

namespace {

double to_ns(double value, benchmark::TimeUnit unit) {
    switch (unit) {
        case benchmark::kNanosecond: return value;
        case benchmark::kMicrosecond: return value * 1e3;
        case benchmark::kMillisecond: return value * 1e6;
        case benchmark::kSecond: return value * 1e9;
    }
    return value;
}

std::string case_name(const benchmark::BenchmarkReporter::Run& run) {
    std::string name = run.run_name.function_name;
    if (!run.run_name.args.empty()) name += "/" + run.run_name.args;
    return name;
}

// Shows Google Benchmark's usual table and keeps the best repetition of each
// case. The minimum is the figure least disturbed by other work on a shared
// machine, and it is taken the same way for our code and for its floor.
class CollectingReporter : public benchmark::ConsoleReporter {
public:
    explicit CollectingReporter(Results& results) : benchmark::ConsoleReporter(OO_Tabular), results_(results) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        benchmark::ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration) continue;
            if (run.error_occurred) {
                failed_ = true;
                continue;
            }
            bool wall = run.run_name.time_type == "manual_time" || run.run_name.time_type == "real_time";
            Result result;
            result.ns = to_ns(wall ? run.GetAdjustedRealTime() : run.GetAdjustedCPUTime(), run.time_unit);
            for (const auto& [key, counter] : run.counters) result.counters[key] = counter.value;
            results_.keep_best(case_name(run), result);
        }
    }

    bool failed() const { return failed_; }

private:
    Results& results_;
    bool failed_ = false;
};

Row make_row(std::string measure, std::string label) {
    Row row;
    row.measure = std::move(measure);
    row.label = std::move(label);
    return row;
}

}  // namespace

const Result* Results::find(const std::string& name) const {
    auto it = results_.find(name);
    return it == results_.end() ? nullptr : &it->second;
}

void Results::keep_best(const std::string& name, const Result& result) {
    auto [it, inserted] = results_.emplace(name, result);
    if (!inserted && result.ns < it->second.ns) it->second = result;
}

std::string format_fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string format_ns(double ns) {
    if (std::fabs(ns) >= 1e9) return format_fixed(ns / 1e9, 3) + " s";
    if (std::fabs(ns) >= 1e6) return format_fixed(ns / 1e6, 3) + " ms";
    if (std::fabs(ns) >= 1e4) return format_fixed(ns / 1e3, 2) + " us";
    return format_fixed(ns, 1) + " ns";
}

Row missing_row(std::string measure, std::string label, const std::string& what) {
    Row row = make_row(std::move(measure), std::move(label));
    row.ours = std::string("n/a");
    row.peer = std::string("n/a");
    row.ratio = std::string("missing: ").append(what);
    row.target = std::string("-");
    row.pass = false;
    return row;
}

Row time_ratio_at_most(const Results& results, std::string measure, std::string label, const std::string& ours,
                       const std::string& floor, double max_ratio) {
    return per_item_ratio_at_most(results, std::move(measure), std::move(label), ours, 1, floor, 1, max_ratio);
}

Row per_item_ratio_at_most(const Results& results, std::string measure, std::string label, const std::string& ours,
                           double our_items, const std::string& floor, double floor_items, double max_ratio) {
    const Result* a = results.find(ours);
    const Result* b = results.find(floor);
    if (!a || !b) return missing_row(std::move(measure), std::move(label), !a ? ours : floor);
    Row row = make_row(std::move(measure), std::move(label));
    const double our_ns = a->ns / our_items, floor_ns = b->ns / floor_items;
    const double ratio = our_ns / floor_ns;
    row.ours = format_ns(our_ns);
    row.peer = format_ns(floor_ns);
    row.ratio = format_fixed(ratio, 2) + "x";
    row.target = "<= " + format_fixed(max_ratio, 2) + "x";
    row.pass = ratio <= max_ratio;
    return row;
}

Row speed_at_least(const Results& results, std::string measure, std::string label, const std::string& ours,
                   const std::string& peer, double min_speed) {
    const Result* a = results.find(ours);
    const Result* b = results.find(peer);
    if (!a || !b) return missing_row(std::move(measure), std::move(label), !a ? ours : peer);
    Row row = make_row(std::move(measure), std::move(label));
    double speed = b->ns / a->ns;
    row.ours = format_ns(a->ns);
    row.peer = format_ns(b->ns);
    row.ratio = format_fixed(speed, 2) + "x speed";
    row.target = ">= " + format_fixed(min_speed, 2) + "x";
    row.pass = speed >= min_speed;
    return row;
}

Row time_at_most(const Results& results, std::string measure, std::string label, const std::string& ours,
                 double max_ns) {
    const Result* a = results.find(ours);
    if (!a) return missing_row(std::move(measure), std::move(label), ours);
    Row row = make_row(std::move(measure), std::move(label));
    row.ours = format_ns(a->ns);
    row.peer = std::string("-");
    row.ratio = format_ns(a->ns);
    row.target = "<= " + format_ns(max_ns);
    row.pass = a->ns <= max_ns;
    return row;
}

int run_and_report(int argc, char** argv, const Evaluate& evaluate, int passes) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
    Results results;
    CollectingReporter reporter(results);
    // Whole passes rather than Google Benchmark's own random interleaving,
    // which in this version may stop on repetitions of unequal length.
    for (int pass = 0; pass < passes; ++pass) benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    // Tab-separated so that scripts/bench can gather and align them.
    std::cout.flush();
    for (const Row& row : evaluate(results)) {
        std::printf("ROW\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n", row.measure.c_str(), row.label.c_str(), row.ours.c_str(),
                    row.peer.c_str(), row.ratio.c_str(), row.target.c_str(), row.pass ? "PASS" : "MISS");
    }
    std::fflush(stdout);
    return reporter.failed() ? 1 : 0;
}

bool keep_freed_memory() {
    if (std::getenv("SCENE_BENCH_COLD_MEMORY") != nullptr) return false;
    // Every block from the heap (none mapped on its own), and the heap never
    // trimmed: freed pages stay mapped for the next iteration.
    mallopt(M_MMAP_MAX, 0);
    mallopt(M_TRIM_THRESHOLD, std::numeric_limits<int>::max());
    return true;
}

double thread_cpu_seconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

}  // namespace bench
