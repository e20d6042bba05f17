#include "services/time.h"

#include <chrono>
#include <cmath>

namespace {

// The process-wide clock. In manual mode it reads manual_now, which only
// time_advance moves; switching modes carries the reading over so that
// running stopwatches never jump.
struct Clock {
    bool manual = false;
    double manual_now = 0.0;
    double system_offset = 0.0;  // added to the steady clock's reading

    static double steady_seconds() {
        using namespace std::chrono;
        return duration<double>(steady_clock::now().time_since_epoch()).count();
    }
    double now() const { return manual ? manual_now : steady_seconds() + system_offset; }
};

Clock& clock_state() {
    static Clock clock;
    return clock;
}

}  // namespace

Time::Time() : start_(time_now()) {}

void Time::reset() { start_ = time_now(); }

double Time::get_elapsed_time_noreset() const { return time_now() - start_; }

double time_now() { return clock_state().now(); }

void time_use_manual_clock(bool manual) {
    Clock& clock = clock_state();
    if (clock.manual == manual) return;
    const double reading = clock.now();
    clock.manual = manual;
    if (manual)
        clock.manual_now = reading;
    else
        clock.system_offset = reading - Clock::steady_seconds();
}

void time_advance(double seconds) {
    if (!std::isfinite(seconds) || seconds < 0) return;  // the clock never runs backwards
    clock_state().manual_now += seconds;
}
