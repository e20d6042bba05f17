#include "player/pointer_refresh.h"

#include <cstdint>

#include "sceneengine/scenemanager/scene/scene.h"
#include "sceneengine/scenemanager/sceneengine.h"

namespace player {

PointerRefresh::PointerRefresh(const std::string& video_name, const FrameDevice& device)
    : mouse_move_(video_name + "->mouse_move"), device_(device) {}

void PointerRefresh::scene_switched(const std::string& scene) {
    const Scene* shown = get_scene(scene);
    if (shown && shown->get_draw_order().empty()) {
        waiting_ = true;
        return;
    }
    waiting_ = false;
    raise();
}

void PointerRefresh::frame_started() {
    if (!waiting_) return;
    waiting_ = false;
    raise();
}

void PointerRefresh::raise() {
    float x = 0, y = 0;
    std::int32_t held = 0;
    if (!device_.pointer(x, y, held)) return;
    // The parameters of the library's own mouse signals: x, y, dx, dy, button.
    mouse_move_.clear_params();
    mouse_move_.add_params(x);
    mouse_move_.add_params(y);
    mouse_move_.add_params(0.0f);
    mouse_move_.add_params(0.0f);
    mouse_move_.add_params(std::int64_t(held));
    mouse_move_.rise();
}

}  // namespace player
