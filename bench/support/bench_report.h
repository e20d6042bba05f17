#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

// Every benchmark program runs its Google Benchmark cases, keeps the best
// repetition of each, and then prints one verdict row per target: our figure
// beside its floor (or peer) measured in the same run, the ratio, the target
// and PASS or MISS. scripts/bench gathers the rows of all programs.
namespace bench {

// The best (lowest-time) repetition of one benchmark case.
struct Result {
    double ns = 0;  // time per iteration: thread CPU time, or the manual time the case reported
    std::map<std::string, double> counters;
};

class Results {
public:
    // Null when the case did not run (filtered out, or it skipped with an error).
    const Result* find(const std::string& name) const;
    void keep_best(const std::string& name, const Result& result);
    const std::map<std::string, Result>& all() const { return results_; }

private:
    std::map<std::string, Result> results_;
};

// One line of the final table.
struct Row {
    std::string measure;  // e.g. "1 frame overhead"
    std::string label;    // the case, e.g. "N=1000"
    std::string ours;     // our figure with its unit
    std::string peer;     // the floor or peer figure, or "-" for an absolute target
    std::string ratio;    // the compared quantity
    std::string target;   // e.g. "<= 1.50x"
    bool pass = false;
};

// Formats a duration given in nanoseconds with a readable unit.
std::string format_ns(double ns);
std::string format_fixed(double value, int decimals);

// Our time against a floor's: passes when ours / floor <= max_ratio.
Row time_ratio_at_most(const Results& results, std::string measure, std::string label, const std::string& ours,
                       const std::string& floor, double max_ratio);
// The same per item: ours / our_items against floor / floor_items (for
// instance one case at two sizes, per object).
Row per_item_ratio_at_most(const Results& results, std::string measure, std::string label, const std::string& ours,
                           double our_items, const std::string& floor, double floor_items, double max_ratio);
// Speed against a peer doing the same work: passes when floor_time / our_time >= min_speed.
Row speed_at_least(const Results& results, std::string measure, std::string label, const std::string& ours,
                   const std::string& peer, double min_speed);
// An absolute bound on our time per iteration.
Row time_at_most(const Results& results, std::string measure, std::string label, const std::string& ours,
                 double max_ns);
// A row whose figures the caller computed; missing inputs make a MISS row.
Row missing_row(std::string measure, std::string label, const std::string& what);

using Evaluate = std::function<std::vector<Row>(const Results&)>;

// Runs the registered cases (command-line flags of Google Benchmark apply)
// in `passes` passes over all of them, so that our cases and their floors
// take turns and a busy spell of the machine falls on both alike; then
// prints the rows that evaluate builds from the best pass of each case.
// Returns the process exit status: 0 when every case ran, whatever the
// verdicts.
int run_and_report(int argc, char** argv, const Evaluate& evaluate, int passes = 5);

// Keeps memory the program frees for its own reuse instead of handing it
// back to the system, unless SCENE_BENCH_COLD_MEMORY is set. On machines
// where touching a fresh page is slow (about 14 us on the virtual machines
// these figures come from, some 50 times a bare machine), a case that frees
// tens of megabytes each iteration would otherwise measure the system's
// page faults rather than the code. Returns whether memory is kept.
bool keep_freed_memory();

// Seconds of CPU time used by the calling thread, for cases that time
// themselves (UseManualTime) across a loop they do not control.
double thread_cpu_seconds();

}  // namespace bench
