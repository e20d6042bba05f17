#include <cstdint>
#include <stdexcept>

#include "sceneengine/scenemanager/scene/scene.h"
#include "sceneengine/sceneobjects/scene_object.h"
#include "services/video.h"

namespace {

struct MouseArgs {
    float x;
    float y;
    std::int32_t button;
};

// The pointer and button of a mouse signal; false when an entry is missing.
bool read_mouse_args(const SlotArgs* args, MouseArgs& mouse) {
    if (!args) return false;
    try {
        mouse.x = args->get_float(0);
        mouse.y = args->get_float(1);
        // The button travels as a 64-bit integer; objects take it as 32 bits.
        mouse.button = std::int32_t(args->get_int(0));
    } catch (const std::out_of_range&) {
        return false;
    }
    return true;
}

}  // namespace

SceneObject* Scene::hit_candidate(const std::string& object_name) {
    if (!objects.contains(object_name)) return nullptr;
    SceneObject* object = objects.get(object_name);
    if (!object) {
        remove_object(object_name);
        return nullptr;
    }
    return object->_get_show() ? object : nullptr;
}

bool Scene::slot__on_mouse_press(SlotArgs* args) {
    if (!video_get_interface(video_name)) return false;
    MouseArgs mouse;
    if (!read_mouse_args(args, mouse)) return false;

    SceneObject* hit = nullptr;
    for (auto it = draw_order.rbegin(); it != draw_order.rend() && !hit; ++it) {
        SceneObject* object = hit_candidate(it->second);
        if (object && object->_is_point_in_object(mouse.x, mouse.y)) hit = object;
    }
    if (!hit) return true;

    // Only the focused object hears the scene's activate signal.
    if (focused_object) focused_object->disconnect_signals(false);
    focused_object = hit;
    hit->connect_signals(false);

    signal_activate.clear_params();
    signal_activate.add_params(mouse.x);
    signal_activate.add_params(mouse.y);
    signal_activate.add_params(std::int64_t(mouse.button));
    signal_activate.rise();
    return true;
}

// A leave goes only to a hovered object that the walk reaches before it
// finds the object under the pointer.
bool Scene::slot__on_mouse_move(SlotArgs* args) {
    if (!video_get_interface(video_name)) return false;
    MouseArgs mouse;
    if (!read_mouse_args(args, mouse)) return false;

    const MOUSE_BUTTON button = MOUSE_BUTTON(mouse.button);
    for (auto it = draw_order.rbegin(); it != draw_order.rend(); ++it) {
        SceneObject* object = hit_candidate(it->second);
        if (!object) continue;
        if (object->_is_point_in_object(mouse.x, mouse.y)) {
            if (object == hovered_object) return true;
            hovered_object = object;
            object->_on_mouse_enter(mouse.x, mouse.y, button);
            return true;
        }
        if (object == hovered_object) {
            object->_on_mouse_leave(mouse.x, mouse.y, button);
            hovered_object = nullptr;
        }
    }
    return true;
}
