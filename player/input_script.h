#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "services/video.h"

// The text format of sceneplay's input scripts and recordings: one event a
// line, stamped with the frame at which it is delivered.
//
//   12 press 400 300 1     mouse button 1 pressed at (400, 300)
//   12 release 400 300 1   and released
//   15 move 410 310        pointer moved (an optional third number: the held button)
//   20 key 32              key pressed (key code)
//   21 keyup 32            key released
//   22 char 65             character typed (Unicode code point)
//   40 quit                the user closed the window
//
// A "#" starts a comment that runs to the end of the line; blank lines are
// skipped. Frames never go backwards from one event to the next.
namespace player {

// One scripted event: the frame at which it is due and the event itself.
struct ScriptedEvent {
    std::int64_t frame = 0;
    Event event;
    int line = 0;  // line of the script it came from, for messages
};

// Reads a whole script. On the first malformed line returns false, with error
// naming the source and the line ("NAME:LINE: reason"), and leaves events
// empty. Moves, presses and releases carry the pointer's motion since the
// previous pointer event of the script in dx and dy.
bool parse_script(std::istream& in, const std::string& source_name, std::vector<ScriptedEvent>& events,
                  std::string& error);

// Reads one line that holds an event (no comment, not blank). False with the
// reason in error (without file or line).
bool parse_event_line(std::string_view line, ScriptedEvent& event, std::string& error);

// The line (without line end) that describes an event delivered at frame, or
// "" for an event type the format has no word for (7, "no event", and unknown
// types). Coordinates are written in the shortest form that reads back to the
// same float, so a recording replays exactly.
std::string format_event_line(std::int64_t frame, const Event& event);

}  // namespace player
