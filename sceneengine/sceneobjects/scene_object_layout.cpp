#include <string>

#include "sceneengine/scenemanager/scene/scene.h"
#include "sceneengine/sceneobjects/object_values.h"
#include "sceneengine/sceneobjects/scene_object.h"
#include "sceneengine/sceneobjects/sprite_hit_test.h"
#include "services/video.h"

using object_values::to_float;

namespace {

// The sprite kept by the device under (object, scene), or null. Nothing is
// remembered between calls: the sprite may have been replaced meanwhile.
Video_Sprite* find_sprite(const std::string& video_name, const std::string& object_name,
                          const std::string& scene_name, Video_Interface** video_out = nullptr) {
    Video_Interface* video = video_get_interface(video_name);
    if (video_out) *video_out = video;
    return video ? video->get_sprite(object_name, scene_name) : nullptr;
}

// The coordinate that an alignment kind names on one axis of the linked
// rectangle, which spans low to high and has its base point at the fraction
// base: low_name picks low, high_name picks high. False for an unknown kind.
bool align(const std::string& kind, const char* low_name, const char* high_name, double low, double high,
           double base, double* result) {
    if (kind == low_name)
        *result = low;
    else if (kind == high_name)
        *result = high;
    else if (kind == "center")
        *result = low + (high - low) * 0.5;
    else if (kind == "base_point")
        *result = low + base * (high - low);  // where the linked sprite is anchored; stable across frames
    else
        return false;
    return true;
}

}  // namespace

bool SceneObject::calculate_position() {
    if (coord_type == "absolute") {
        Scene* parent = _scene_ ? _scene_->get_parent() : nullptr;
        if (!parent) {
            x = absolute_x;
            y = absolute_y;
            return true;
        }
        const int parent_width = parent->get_width();
        const int parent_height = parent->get_height();
        if (parent_width == 0 || parent_height == 0) {
            _set_error("Can't place object \"" + _object_name_ + "\": parent scene \"" + parent->get_name() +
                       "\" has size " + std::to_string(parent_width) + "x" + std::to_string(parent_height));
            return false;
        }
        // The configured coordinates are in the parent's units, mapped into
        // the area the scene takes up inside it.
        x = to_float(double(_scene_->get_width()) * absolute_x / parent_width + _scene_->get_x());
        y = to_float(double(_scene_->get_height()) * absolute_y / parent_height + _scene_->get_y());
        return true;
    }
    if (coord_type != "link") {
        _set_error("Unknown coord kind: " + coord_type);
        return false;
    }

    SceneObject* linked = _scene_ ? _scene_->get_object(link_object) : nullptr;
    if (!linked) {
        _set_error("Unable to fine object:\"" + link_object + "\"");
        return false;
    }
    VideoPoint base;
    linked->get_base_point(&base);
    VideoRect rect;
    linked->_get_active_area_rect(&rect);
    const float width = to_float(rect.x2 - rect.x1);
    const float height = to_float(rect.y2 - rect.y1);

    double aligned = 0.0;
    // Screen y grows downwards, yet "top" names the rectangle's greater y.
    if (!align(link_v_align, "bottom", "top", rect.y1, rect.y2, base.y, &aligned)) {
        _set_error("Unknown v_align kind: \"" + link_v_align + "\"");
        return false;
    }
    y = to_float(aligned);
    y = to_float(double(link_v_offset) * height + y);

    if (!align(link_h_align, "left", "right", rect.x1, rect.x2, base.x, &aligned)) {
        _set_error("Unknown h_align kind: \"" + link_h_align + "\"");
        return false;
    }
    x = to_float(aligned);
    x = to_float(double(link_h_offset) * width + x);
    return true;
}

void SceneObject::get_base_point(VideoPoint* point) {
    point->x = 0;
    point->y = 0;
    if (Video_Sprite* sprite = find_sprite(_video_name_, _object_name_, _scene_name_)) {
        point->x = sprite->get_base_x();
        point->y = sprite->get_base_y();
    }
}

void SceneObject::_get_active_area_rect(VideoRect* rect) {
    *rect = VideoRect{};
    if (Video_Sprite* sprite = find_sprite(_video_name_, _object_name_, _scene_name_)) sprite->get_rect(rect);
}

bool SceneObject::_is_point_in_object(float px, float py) { return point_on_own_sprite(px, py); }

Video_Sprite* SceneObject::own_sprite(Video_Interface** video) {
    return find_sprite(_video_name_, _object_name_, _scene_name_, video);
}

bool SceneObject::point_on_own_sprite(float px, float py, Video_Sprite** looked_up) {
    Video_Interface* video = nullptr;
    Video_Sprite* sprite = own_sprite(&video);
    if (looked_up && video) *looked_up = sprite;
    return sprite && sprite_hit_test(video, sprite, px, py, require_alpha_collision);
}

void SceneObject::draw_own_sprite(Video_Sprite** looked_up) {
    if (!show) return;
    Video_Interface* video = nullptr;
    Video_Sprite* sprite = own_sprite(&video);
    if (looked_up && video) *looked_up = sprite;
    // An object that never loaded (added by a host without load) has no sprite.
    if (!sprite) return;
    calculate_position();  // a failure leaves the last position, which is drawn
    sprite->set_position(x, y);
    video->draw_sprite(_object_name_, _scene_name_);
}
