#pragma once

#include <string>

#include "player/frame_device.h"
#include "services/signals.h"

namespace player {

// Keeps a scene's hover state true to the pointer across scene switches. A
// scene remembers the object the pointer was over when it was last shown;
// without a move after the switch, a button clicked to leave the scene would
// still be lit on coming back. So after each switch the player raises the
// device's mouse-move signal at the pointer's last known place, exactly as
// the library's event pump does for a real move. Nothing is raised before
// the pointer's place is known.
//
// The move depends only on the events delivered and on the frames of the
// switches, so a replay raises the same moves at the same frames; it is not
// written to recordings.
class PointerRefresh {
public:
    // video_name: the device the library plays on (its input signals bear
    // its name); device must outlive this object.
    PointerRefresh(const std::string& video_name, const FrameDevice& device);

    // To be called when a scene starts its first frame after a switch, before
    // its objects draw (from its "->new_cycle"). A scene that never drew has
    // no drawing order to hit yet: its move waits for the next frame's start.
    void scene_switched(const std::string& scene);
    // To be called when the scene on screen was loaded again in place: its
    // objects are new and none is hovered. The move waits for the next
    // frame's start, after the new objects drew.
    void scene_reloaded() { waiting_ = true; }
    // To be called between frames: raises a move that waited.
    void frame_started();

private:
    void raise();

    Signal mouse_move_;
    const FrameDevice& device_;
    bool waiting_ = false;
};

}  // namespace player
