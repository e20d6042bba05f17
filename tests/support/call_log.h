#pragma once

#include <string>
#include <vector>

namespace testsupport {

// One process-wide list of calls, in the order they happened, shared by the
// recording device, the probe scene and the probe object so that a test can
// check how their calls interleave.
std::vector<std::string>& call_log();

// The entries of the call log that start with prefix.
std::vector<std::string> call_log_with(const std::string& prefix);

}  // namespace testsupport
