#pragma once

#include <cstdint>
#include <iosfwd>
#include <vector>

namespace player {

// Frame times of a play, for --stats. A frame's time is the player's work
// for it: presenting the frame before, reading input, switching scenes and
// drawing; the time spent waiting for the frame's turn in a window is not
// counted.
class FrameStats {
public:
    void add_frame(double seconds) { frame_seconds_.push_back(seconds); }

    // Writes two lines: frames shown, the wall time and the mean frame rate;
    // then the median, 99th percentile and worst frame times in milliseconds
    // (nearest rank). frames is the count of frames shown, which may be one
    // more than the frame times added (the first frame's time is not known).
    void write(std::ostream& out, std::int64_t frames, double wall_seconds) const;

private:
    std::vector<double> frame_seconds_;
};

}  // namespace player
