// A picture and a two-line text, loaded and rendered by the platform services,
// drawn as sprites by the headless device and read back from its snapshot.
#include <gtest/gtest.h>

#include "platform/video/headless_device.h"
#include "services/fileio.h"
#include "services/imageloader.h"
#include "services/textrenderer.h"
#include "services/video.h"
#include "tests/support/test_support.h"

namespace {

constexpr std::uint32_t background_rgba = 0x102080ffu;  // snapshot pixels read as 0xRRGGBBAA
constexpr std::uint32_t yellow_rgba = 0xffff00ffu, white_rgba = 0xffffffffu;

// 20 x 20 opaque yellow with a transparent 3 x 3 square in each corner.
std::vector<std::uint8_t> picture_with_clear_corners() {
    std::vector<std::uint8_t> rgba;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool corner = (x < 3 || x >= 17) && (y < 3 || y >= 17);
            rgba.insert(rgba.end(), {255, 255, 0, std::uint8_t(corner ? 0 : 255)});
        }
    return testsupport::encode_png(20, 20, rgba);
}

TEST(ImageAndTextOnScreen, SnapshotShowsPictureCornersTextColourAndLineOrder) {
    VideoSettings settings;
    settings.width = 200;
    settings.height = 120;
    settings.background = video_pixel::make(0x10, 0x20, 0x80, 255);
    ASSERT_TRUE(video_create("screen", settings)) << video_error();
    auto* device = dynamic_cast<HeadlessDevice*>(video_get_interface("screen"));
    ASSERT_NE(device, nullptr);

    testsupport::TempDir folder;
    folder.write_bytes("pictures/badge", picture_with_clear_corners());  // no extension: chosen by content
    FileIO::FileManager files(folder.str());
    ASSERT_TRUE(imageloader_loadimage_noext("screen", "pictures/badge", "scene", "badge", &files, true))
        << imageloader_error();
    VideoColor white;
    white.set_color(255, 255, 255, 255);
    Text_Renderer* renderer = textrenderer_get("ttf");
    ASSERT_TRUE(renderer->render_text("screen", "DejaVu Sans", "Top\nBottom", white, 24, "label", "scene", true))
        << renderer->get_error();

    const int picture_x = 10, picture_y = 10, label_x = 60, label_y = 10;
    ASSERT_TRUE(device->create_sprite("badge", "scene", "badge", "scene", true));
    ASSERT_TRUE(device->create_sprite("label", "scene", "label", "scene", true));
    device->get_sprite("badge", "scene")->set_position(picture_x, picture_y);
    device->get_sprite("label", "scene")->set_position(label_x, label_y);
    ASSERT_TRUE(device->draw_sprite("badge", "scene"));
    ASSERT_TRUE(device->draw_sprite("label", "scene"));
    device->update_screen();
    const std::string path = folder.str() + "/frame.png";
    ASSERT_TRUE(device->snapshot(path)) << device->get_error();
    testsupport::RgbaImage frame;
    std::string error;
    ASSERT_TRUE(testsupport::read_png(path, frame, error)) << error;

    EXPECT_EQ(frame.at(picture_x, picture_y), background_rgba) << "transparent corner";
    EXPECT_EQ(frame.at(picture_x + 19, picture_y + 19), background_rgba) << "transparent corner";
    EXPECT_EQ(frame.at(picture_x + 3, picture_y), yellow_rgba);
    EXPECT_EQ(frame.at(picture_x + 10, picture_y + 10), yellow_rgba);

    // Fully covered text pixels show the text colour, uncovered ones the background.
    const Video_Image* label = device->get_image("label", "scene");
    const int line_height = label->get_height() / 2;
    int top_line = 0, bottom_line = 0;
    for (int y = 0; y < label->get_height(); ++y)
        for (int x = 0; x < label->get_width(); ++x) {
            const std::uint8_t alpha = video_pixel::alpha(label->get_pixels()[y * label->get_pitch() + x]);
            const std::uint32_t shown = frame.at(label_x + x, label_y + y);
            if (alpha == 255) {
                EXPECT_EQ(shown, white_rgba) << x << "," << y;
                (y < line_height ? top_line : bottom_line)++;
            } else if (alpha == 0) {
                EXPECT_EQ(shown, background_rgba) << x << "," << y;
            }
        }
    EXPECT_GT(top_line, 20) << "the first line is drawn in the upper half";
    EXPECT_GT(bottom_line, 20) << "the second line is drawn in the lower half";
    video_unregister("screen");
}

}  // namespace
