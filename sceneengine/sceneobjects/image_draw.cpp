#include "sceneengine/sceneobjects/image.h"
#include "sceneengine/sceneobjects/sprite_hit_test.h"
#include "services/video.h"

// Taken by name at every use: a host may replace the device under the video
// name, and the old sprite goes with the old device. Comparing device
// pointers cannot tell: a new device is often made where the old one was.
Video_Sprite* Image::sprite_on(Video_Interface* video) {
    _sprite_ = video->get_sprite(_object_name_, _scene_name_);
    return _sprite_;
}

void Image::draw() {
    if (!show) return;
    Video_Interface* video = video_get_interface(_video_name_);
    if (!video) return;
    // An Image that never loaded (added by a host without load) has no
    // sprite: it draws nothing.
    Video_Sprite* sprite = sprite_on(video);
    if (!sprite) return;
    calculate_position();  // a failure leaves the last position, which is drawn
    sprite->set_position(x, y);
    video->draw_sprite(_object_name_, _scene_name_);
}

// The same test as SceneObject's.
bool Image::_is_point_in_object(float px, float py) {
    Video_Interface* video = video_get_interface(_video_name_);
    if (!video) return false;
    Video_Sprite* sprite = sprite_on(video);
    return sprite && sprite_hit_test(video, sprite, px, py, require_alpha_collision);
}
