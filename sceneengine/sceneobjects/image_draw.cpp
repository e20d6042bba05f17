#include "sceneengine/sceneobjects/image.h"

// _sprite_ is taken again by name at every use: a host may replace the device
// under the video name, and the old sprite goes with the old device.
// Comparing device pointers cannot tell: a new device is often made where the
// old one was.
void Image::draw() { draw_own_sprite(&_sprite_); }

bool Image::_is_point_in_object(float px, float py) { return point_on_own_sprite(px, py, &_sprite_); }
