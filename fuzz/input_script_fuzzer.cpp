// Bytes as a sceneplay input script. A script either is refused with a reason
// naming its line, or every event it holds is written back as a recording
// line that reads again as the very same event: recordings replay exactly.
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "player/input_script.h"

namespace {

bool same_float(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::vector<player::ScriptedEvent> events;
    std::string error;
    if (!player::parse_script(in, "fuzz.input", events, error)) {
        if (error.rfind("fuzz.input:", 0) != 0 || !events.empty()) std::abort();
        return 0;
    }
    for (const player::ScriptedEvent& scripted : events) {
        const Event& event = scripted.event;
        const std::string line = player::format_event_line(scripted.frame, event);
        player::ScriptedEvent again;
        if (line.empty() || !player::parse_event_line(line, again, error)) std::abort();
        const Event& read = again.event;
        if (again.frame != scripted.frame || read.type != event.type || read.key != event.key ||
            read.character != event.character || read.button != event.button || !same_float(read.x, event.x) ||
            !same_float(read.y, event.y))
            std::abort();
    }
    return 0;
}
