#include "tests/support/call_log.h"

namespace testsupport {

std::vector<std::string>& call_log() {
    static std::vector<std::string> log;
    return log;
}

std::vector<std::string> call_log_with(const std::string& prefix) {
    std::vector<std::string> result;
    for (const std::string& entry : call_log())
        if (entry.compare(0, prefix.size(), prefix) == 0) result.push_back(entry);
    return result;
}

}  // namespace testsupport
