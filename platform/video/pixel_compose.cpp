#include "platform/video/pixel_compose.h"

namespace {

// Rows and columns of the image that land on the frame, and where.
struct Span {
    int source_x = 0, source_y = 0;  // first image column and row drawn
    int frame_x = 0, frame_y = 0;    // where they land
    int columns = 0, rows = 0;
};

Span visible_span(const FrameView& frame, int left, int top, const Video_Image& image) {
    const PixelRect clipped =
        clip_to_screen(PixelRect{left, top, image.get_width(), image.get_height()}, frame.width, frame.height);
    return Span{clipped.left - left, clipped.top - top, clipped.left, clipped.top, clipped.width, clipped.height};
}

// round(x / 255) for x = a * s + (255 - a) * d in two 16-bit lanes at once;
// x + 128 + ((x + 128) >> 8) never carries out of a lane since x <= 65025.
inline std::uint32_t divide_lanes_by_255(std::uint32_t lanes) {
    lanes += 0x00800080u;
    return lanes + ((lanes >> 8) & 0x00FF00FFu);
}

inline std::uint32_t blend_pixel(std::uint32_t source, std::uint32_t frame) {
    const std::uint32_t alpha = 255u - (source >> 24);
    const std::uint32_t rest = 255u - alpha;
    const std::uint32_t red_blue = divide_lanes_by_255((source & 0x00FF00FFu) * alpha + (frame & 0x00FF00FFu) * rest);
    // The source's alpha lane is 255, so the frame's alpha becomes a + fa * (1 - a).
    const std::uint32_t alpha_green = divide_lanes_by_255((((source >> 8) & 0xFFu) | 0x00FF0000u) * alpha +
                                                          ((frame >> 8) & 0x00FF00FFu) * rest);
    return ((red_blue >> 8) & 0x00FF00FFu) | (alpha_green & 0xFF00FF00u);
}

}  // namespace

void blend_image(FrameView frame, int left, int top, const Video_Image& image) {
    const Span span = visible_span(frame, left, top, image);
    const std::size_t pitch = image.get_pitch();
    for (int row = 0; row < span.rows; ++row) {
        const std::uint32_t* source =
            image.get_pixels() + std::size_t(span.source_y + row) * pitch + std::size_t(span.source_x);
        std::uint32_t* target =
            frame.pixels + std::size_t(span.frame_y + row) * std::size_t(frame.width) + std::size_t(span.frame_x);
        for (int column = 0; column < span.columns; ++column) {
            const std::uint32_t pixel = source[column];
            const std::uint32_t transparency = pixel >> 24;
            if (transparency == 0)
                target[column] = pixel | 0xFF000000u;
            else if (transparency != 0xFFu)
                target[column] = blend_pixel(pixel, target[column]);
        }
    }
}

void copy_image(FrameView frame, int left, int top, const Video_Image& image) {
    const Span span = visible_span(frame, left, top, image);
    const std::size_t pitch = image.get_pitch();
    for (int row = 0; row < span.rows; ++row) {
        const std::uint32_t* source =
            image.get_pixels() + std::size_t(span.source_y + row) * pitch + std::size_t(span.source_x);
        std::uint32_t* target =
            frame.pixels + std::size_t(span.frame_y + row) * std::size_t(frame.width) + std::size_t(span.frame_x);
        for (int column = 0; column < span.columns; ++column) target[column] = device_to_frame(source[column]);
    }
}
