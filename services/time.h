#pragma once

#include "services/export.h"

// A stopwatch in seconds. It reads the process-wide clock, which runs on the
// steady system clock unless a host switched it to manual stepping.
class SERVICE_API Time {
public:
    Time();
    // Restarts the count from zero.
    void reset();
    // Seconds since construction or the last reset(); does not restart.
    double get_elapsed_time_noreset() const;

private:
    double start_;
};

// Switches the process-wide clock between the system clock (false, the default)
// and a manual clock that only moves through time_advance() (true). Switching
// keeps the current reading, so running stopwatches do not jump.
SERVICE_API void time_use_manual_clock(bool manual);
// Moves the manual clock forward; negative or non-finite steps are ignored.
SERVICE_API void time_advance(double seconds);
// The process-wide clock's reading in seconds.
SERVICE_API double time_now();
