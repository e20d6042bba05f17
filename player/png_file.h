#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace player {

// Writes width x height pixels of red, green, blue, alpha bytes (top row
// first) as an 8-bit RGBA PNG file, replacing a file of that name. False
// with error naming the path and the reason when it cannot.
bool write_rgba_png(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgba,
                    std::string& error);

}  // namespace player
