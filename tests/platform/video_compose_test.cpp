#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/video/pixel_compose.h"

namespace {

// round((s * a + d * (255 - a)) / 255), the exact source-over of one channel.
std::uint32_t reference(std::uint32_t s, std::uint32_t a, std::uint32_t d) {
    const std::uint32_t sum = s * a + d * (255 - a);
    return (sum * 2 + 255) / 510;
}

// Blends every (source value, source alpha) pair, laid out as an image of
// width x height, over frames filled with each frame value, and checks all
// four channels, so a carry between packed lanes shows up as a wrong
// neighbour channel. Returns the number of wrong pixels.
int count_blend_errors(int width, int height) {
    std::vector<std::uint32_t> pixels(256 * 256);
    for (std::uint32_t a = 0; a < 256; ++a)
        for (std::uint32_t s = 0; s < 256; ++s)
            pixels[a * 256 + s] =
                video_pixel::make(std::uint8_t(s), std::uint8_t(255 - s), std::uint8_t(s), std::uint8_t(a));
    const Video_Image image("all", "test", width, height, pixels);
    std::vector<std::uint32_t> frame(256 * 256);
    int failures = 0;
    for (std::uint32_t d = 0; d < 256 && failures < 10; ++d) {
        const std::uint32_t frame_alpha = 255 - d;  // varies the frame's alpha too
        const std::uint32_t word = (frame_alpha << 24) | (d << 16) | (d << 8) | d;
        std::fill(frame.begin(), frame.end(), word);
        blend_image(FrameView{frame.data(), width, height}, 0, 0, image);
        for (std::uint32_t a = 0; a < 256; ++a)
            for (std::uint32_t s = 0; s < 256; ++s) {
                const std::uint32_t out = frame[a * 256 + s];
                const std::uint32_t expected = (reference(255, a, frame_alpha) << 24) | (reference(s, a, d) << 16) |
                                               (reference(255 - s, a, d) << 8) | reference(s, a, d);
                if (out != expected && ++failures < 10)
                    ADD_FAILURE() << std::hex << "s=" << s << " a=" << a << " d=" << d << " got " << out << " expected "
                                  << expected;
            }
    }
    return failures;
}

// Wide rows go through the four-pixel path, one-pixel rows through the
// pixel-by-pixel one; both must give the same exact values. A copy keeps the
// source's alpha.
TEST(PixelCompose, BlendIsExactSourceOverForEveryValueTripleAndCopyKeepsAlpha) {
    EXPECT_EQ(count_blend_errors(256, 256), 0);
    EXPECT_EQ(count_blend_errors(1, 256 * 256), 0);
    std::uint32_t frame = 0xFFFFFFFFu;
    const Video_Image half("half", "test", 1, 1, {video_pixel::make(200, 100, 50, 128)});
    copy_image(FrameView{&frame, 1, 1}, 0, 0, half);
    EXPECT_EQ(frame, 0x80C86432u);
}

}  // namespace
