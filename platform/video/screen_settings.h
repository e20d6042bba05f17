#pragma once

#include <string>

#include "services/video.h"

// Largest screen side a device accepts: Video_Interface reports the screen's
// size as a 16-bit signed number.
inline constexpr int max_screen_side = 32767;

// True when settings.width and settings.height each lie in 1 to
// max_screen_side and the screen holds no more pixels than an image may
// (video_image_pixel_budget: a frame is kept in memory like one); otherwise
// false with error giving the size, the backend and the limit broken.
bool check_screen_size(const VideoSettings& settings, std::string& error);
