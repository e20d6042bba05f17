#include "platform/video/pixel_compose.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Blends count pixels of a row; returns how many it did (a multiple of 4),
// the rest is left to the scalar loop.
#if defined(__SSE2__)
// Four pixels at a time in 16-bit lanes, without branches per pixel; the
// arithmetic is the scalar one: round(x / 255) = ((x + 127) * 0x8081) >> 23
// for x <= 65025.
inline __m128i blend_two(__m128i source, __m128i frame, __m128i alpha) {
    const __m128i rest = _mm_sub_epi16(_mm_set1_epi16(255), alpha);
    __m128i sum = _mm_add_epi16(_mm_mullo_epi16(source, alpha), _mm_mullo_epi16(frame, rest));
    sum = _mm_add_epi16(sum, _mm_set1_epi16(127));
    return _mm_srli_epi16(_mm_mulhi_epu16(sum, _mm_set1_epi16(short(0x8081))), 7);
}

int blend_row_wide(const std::uint32_t* source, std::uint32_t* target, int count) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i all_alpha = _mm_set1_epi32(int(0xFF000000u));
    int done = 0;
    for (; done + 4 <= count; done += 4) {
        const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + done));
        const __m128i transparency = _mm_srli_epi32(pixels, 24);
        const int opaque = _mm_movemask_epi8(_mm_cmpeq_epi32(transparency, zero));
        const __m128i opaque_pixels = _mm_or_si128(pixels, all_alpha);
        __m128i* out = reinterpret_cast<__m128i*>(target + done);
        if (opaque == 0xFFFF) {
            _mm_storeu_si128(out, opaque_pixels);
            continue;
        }
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(transparency, _mm_set1_epi32(255))) == 0xFFFF) continue;
        // Each pixel's alpha in all four of its 16-bit lanes.
        const __m128i alpha32 = _mm_sub_epi32(_mm_set1_epi32(255), transparency);
        const __m128i alpha16 = _mm_or_si128(alpha32, _mm_slli_epi32(alpha32, 16));
        const __m128i frame = _mm_loadu_si128(out);
        const __m128i low = blend_two(_mm_unpacklo_epi8(opaque_pixels, zero), _mm_unpacklo_epi8(frame, zero),
                                      _mm_unpacklo_epi32(alpha16, alpha16));
        const __m128i high = blend_two(_mm_unpackhi_epi8(opaque_pixels, zero), _mm_unpackhi_epi8(frame, zero),
                                       _mm_unpackhi_epi32(alpha16, alpha16));
        _mm_storeu_si128(out, _mm_packus_epi16(low, high));
    }
    return done;
}
#else
int blend_row_wide(const std::uint32_t*, std::uint32_t*, int) { return 0; }
#endif

}  // namespace

void blend_image(FrameView frame, int left, int top, const Video_Image& image) {
    const Span span = visible_span(frame, left, top, image);
    const std::size_t pitch = image.get_pitch();
    for (int row = 0; row < span.rows; ++row) {
        const std::uint32_t* source =
            image.get_pixels() + std::size_t(span.source_y + row) * pitch + std::size_t(span.source_x);
        std::uint32_t* target =
            frame.pixels + std::size_t(span.frame_y + row) * std::size_t(frame.width) + std::size_t(span.frame_x);
        for (int column = blend_row_wide(source, target, span.columns); column < span.columns; ++column) {
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
