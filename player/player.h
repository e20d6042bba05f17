#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "player/options.h"

namespace player {

// Exit statuses of sceneplay.
constexpr int exit_ok = 0;
constexpr int exit_failure = 1;  // something failed while preparing or playing
constexpr int exit_usage = 2;    // a bad command line

// Called between frames with the number of the frame about to be drawn,
// before --watch looks at the files: lets a host that embeds the player (the
// tests) act at a chosen frame, such as editing a scene file.
using FrameHook = std::function<void(std::int64_t frame)>;

// Plays the presentation the options name: opens the device, reads the
// input script, loads the scene list and runs the library's frame loop until
// the presentation ends. Reports go to report (--verbose scene switches and
// changes taken by --watch), problems to errors, one line each. Returns the
// exit status.
int play(const Options& options, std::ostream& report, std::ostream& errors, const FrameHook& between_frames = {});

}  // namespace player
