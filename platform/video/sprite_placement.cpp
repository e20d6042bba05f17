#include "platform/video/sprite_placement.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double far_away = 1073741824.0;  // 2^30: off every screen, and sums with a size stay in int

bool rounded_corner(double value, int& result) {
    if (!std::isfinite(value)) return false;
    result = int(std::clamp(std::floor(value + 0.5), -far_away, far_away));
    return true;
}

}  // namespace

std::optional<PixelRect> sprite_pixel_rect(const Video_Sprite& sprite) {
    VideoRect rect;
    sprite.get_rect(&rect);
    PixelRect pixels;
    if (!rounded_corner(rect.x1, pixels.left) || !rounded_corner(rect.y1, pixels.top)) return std::nullopt;
    pixels.width = std::max(sprite.get_width(), 0);
    pixels.height = std::max(sprite.get_height(), 0);
    return pixels;
}

PixelRect clip_to_screen(const PixelRect& rect, int screen_width, int screen_height) {
    const int left = std::max(rect.left, 0);
    const int top = std::max(rect.top, 0);
    const int right = std::min(rect.left + rect.width, screen_width);
    const int bottom = std::min(rect.top + rect.height, screen_height);
    return PixelRect{left, top, std::max(right - left, 0), std::max(bottom - top, 0)};
}

bool lies_inside_screen(const PixelRect& rect, int screen_width, int screen_height) {
    return rect.left >= 0 && rect.top >= 0 && rect.left + rect.width <= screen_width &&
           rect.top + rect.height <= screen_height;
}
