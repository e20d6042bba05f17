#pragma once

#include <string>

#include "platform/video/pixel_compose.h"

// Writes a frame (words 0xAARRGGBB) as an 8-bit RGBA PNG file, replacing a
// file of that name. False with error set, naming the path and the reason
// (the encoder's or the system's), when it cannot be written.
bool write_frame_png(const std::string& path, const std::uint32_t* frame, int width, int height,
                     std::string& error);
