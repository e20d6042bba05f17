#pragma once

#include <optional>

#include "services/video.h"

// Where a sprite lands on the pixel grid: its rectangle's top-left corner
// rounded to the nearest whole pixel (halves round up, towards +infinity),
// and the sprite's own size. Both backends place sprites by this one rule, so
// the headless frames and the window show the same pixels.
struct PixelRect {
    int left = 0, top = 0, width = 0, height = 0;
};

// Null when the sprite's rectangle is not made of finite numbers. Corners
// far outside any screen are clamped to +-2^30, which keeps them off-screen
// and every later sum inside int.
std::optional<PixelRect> sprite_pixel_rect(const Video_Sprite& sprite);

// The part of rect that lies on a screen of width x height (may be empty).
PixelRect clip_to_screen(const PixelRect& rect, int screen_width, int screen_height);

// Whether the whole rect lies on the screen.
bool lies_inside_screen(const PixelRect& rect, int screen_width, int screen_height);
