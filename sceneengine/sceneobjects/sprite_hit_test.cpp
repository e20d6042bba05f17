#include "sceneengine/sceneobjects/sprite_hit_test.h"

#include <cstddef>
#include <cstdint>

#include "services/video.h"

namespace {

// Column or row of a fraction of an extent, truncated and kept inside it.
int cell(int extent, float fraction) {
    const double position = double(extent) * double(fraction);
    if (!(position >= 0.0)) return 0;
    if (position >= double(extent - 1)) return extent - 1;  // the far edge reads the last cell
    return int(position);
}

}  // namespace

bool sprite_hit_test(Video_Interface* video, Video_Sprite* sprite, float x, float y, bool alpha) {
    VideoRect rect;
    sprite->get_rect(&rect);
    // Written so that a NaN on either side fails every comparison.
    if (!(x >= rect.x1 && x <= rect.x2 && y >= rect.y1 && y <= rect.y2)) return false;
    if (!alpha) return true;

    const Video_Image* image = video->get_image(sprite->image_name, sprite->image_scene);
    if (!image) return false;
    const double width = rect.x2 - rect.x1;
    const double height = rect.y2 - rect.y1;
    if (!(width > 0.0) || !(height > 0.0)) return false;  // u or v would be infinite or NaN
    const int image_width = image->get_width();
    const int image_height = image->get_height();
    const std::uint32_t* pixels = image->get_pixels();
    const std::size_t pitch = image->get_pitch();
    if (image_width <= 0 || image_height <= 0 || !pixels || pitch < std::size_t(image_width)) return false;

    const float u = float((double(x) - rect.x1) / width);
    const float v = float((double(y) - rect.y1) / height);
    const std::size_t column = std::size_t(cell(image_width, u));
    const std::size_t row = std::size_t(cell(image_height, v));
    const std::uint32_t masked = pixels[row * pitch + column] & image->get_alpha_mask();
    return masked < 0xFFu;
}
