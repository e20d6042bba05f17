#include "sceneengine/sceneobjects/image.h"
#include "sceneengine/sceneobjects/sprite_hit_test.h"
#include "services/video.h"

void Image::draw() {
    // An Image that never loaded (added by a host without load) has no
    // sprite: it draws nothing rather than dereferencing null.
    if (!show || !_sprite_) return;
    Video_Interface* video = video_get_interface(_video_name_);
    if (!video) return;
    calculate_position();  // a failure leaves the last position, which is drawn
    _sprite_->set_position(x, y);
    video->draw_sprite(_object_name_, _scene_name_);
}

// The same test as SceneObject's, on the sprite kept since loading instead of
// one looked up by name.
bool Image::_is_point_in_object(float px, float py) {
    Video_Interface* video = video_get_interface(_video_name_);
    if (!video || !_sprite_) return false;
    return sprite_hit_test(video, _sprite_, px, py, require_alpha_collision);
}
