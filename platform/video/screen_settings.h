#pragma once

#include <string>

#include "services/video.h"

// Largest screen side a device accepts: Video_Interface reports the screen's
// size as a 16-bit signed number.
inline constexpr int max_screen_side = 32767;

// True when settings.width and settings.height each lie in 1 to
// max_screen_side; otherwise false with error saying which size and why,
// after the backend's name.
bool check_screen_size(const VideoSettings& settings, std::string& error);
