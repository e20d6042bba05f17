#pragma once

#include <string>
#include <vector>

namespace testsupport {

// One process-wide list of calls, in the order they happened, shared by the
// recording device, the probe scene and the probe object so that a test can
// check how their calls interleave.
inline std::vector<std::string>& call_log() {
    static std::vector<std::string> log;
    return log;
}

// The entries of the call log that start with prefix.
inline std::vector<std::string> call_log_with(const std::string& prefix) {
    std::vector<std::string> result;
    for (const std::string& entry : call_log())
        if (entry.compare(0, prefix.size(), prefix) == 0) result.push_back(entry);
    return result;
}

}  // namespace testsupport
