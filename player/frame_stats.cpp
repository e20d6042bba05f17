#include "player/frame_stats.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ostream>

namespace player {
namespace {

// The nearest-rank percentile of sorted values.
double percentile(const std::vector<double>& sorted, double percent) {
    if (sorted.empty()) return 0;
    const auto rank = std::size_t(std::ceil(percent / 100.0 * double(sorted.size())));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

}  // namespace

void FrameStats::write(std::ostream& out, std::int64_t frames, double wall_seconds) const {
    std::vector<double> sorted = frame_seconds_;
    std::sort(sorted.begin(), sorted.end());
    const double rate = wall_seconds > 0 ? double(frames) / wall_seconds : 0;
    char line[200];
    std::snprintf(line, sizeof line, "stats: %lld frames in %.3f s, %.1f frames a second\n",
                  static_cast<long long>(frames), wall_seconds, rate);
    out << line;
    std::snprintf(line, sizeof line, "stats: frame time 50%% %.2f ms, 99%% %.2f ms, worst %.2f ms\n",
                  percentile(sorted, 50) * 1e3, percentile(sorted, 99) * 1e3,
                  sorted.empty() ? 0.0 : sorted.back() * 1e3);
    out << line;
}

}  // namespace player
