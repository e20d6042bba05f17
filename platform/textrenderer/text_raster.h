#pragma once

#include <hb.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/textrenderer/sized_face.h"

namespace textrenderer {

// Limits of a rendered text image: the device images' 16-bit row pitch and
// a pixel budget of 64 megapixels.
inline constexpr std::int64_t max_text_width = 65535;
inline constexpr std::int64_t max_text_pixels = 64ll * 1024 * 1024;

// 8-bit coverage of a rendered text, rows of width values.
struct Coverage {
    int width = 1;
    int height = 1;
    std::vector<std::uint8_t> values;
};

// Shapes each line of text (lines end at "\n"; a "\r" before it is dropped)
// with face and rasterises it. Lines stack one line height apart, left aligned
// on a common pen origin. The width is the tight ink extent over all lines (at
// least 1); the height is the number of lines times the line height. Ink above
// or below the image is clipped. text must be valid UTF-8. buffer is scratch
// space reused between calls. False with reason when a glyph cannot be
// rendered or the image would break the limits above.
bool rasterise_text(SizedFace& face, hb_buffer_t* buffer, const std::string& text, Coverage& coverage,
                    std::string& reason);

}  // namespace textrenderer
