#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/video/sprite_placement.h"
#include "services/export.h"
#include "services/video.h"

// A frame of 32-bit words 0xAARRGGBB: alpha (not transparency), red, green,
// blue; rows of width words.
struct FrameView {
    std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
};

// A device pixel (0xTTRRGGBB) as a frame word (0xAARRGGBB).
inline std::uint32_t device_to_frame(std::uint32_t pixel) { return pixel ^ 0xFF000000u; }

// Draws image with its top-left corner at (left, top), clipped at the
// frame's edges; parts outside the frame are never read or written.
//
// Blending is source-over in integer arithmetic, each channel
//   out = round((source * a + frame * (255 - a)) / 255)
// with a the source's alpha and the source's own alpha channel taken as 255,
// so a half-transparent pixel over an opaque frame leaves it opaque. Fully
// opaque and fully transparent source pixels take a fast path.
SERVICE_API void blend_image(FrameView frame, int left, int top, const Video_Image& image);

// The same placement and clipping, but the image's pixels replace the
// frame's, alpha included.
SERVICE_API void copy_image(FrameView frame, int left, int top, const Video_Image& image);
