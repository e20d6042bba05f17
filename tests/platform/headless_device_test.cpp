// The headless video device and the device registry: what is drawn is what a snapshot shows; images and sprites are
// kept by name and scene; bad sizes, names and positions are refused with a reason and leave what is held alone.
#include "platform/video/headless_device.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <initializer_list>
#include <limits>
#include <tuple>

#include "services/video.h"
#include "tests/support/test_support.h"

namespace {

using testsupport::contains;

// RGBA words (0xRRGGBBAA) as read_png and presented_pixel give them. Green at
// alpha 128 over red: r = round(255 * 127 / 255), g = round(255 * 128 / 255);
// over the background: round(10*127/255), round((255*128 + 20*127)/255), round(30*127/255).
constexpr std::uint32_t background_rgba = 0x0A141EFFu, red_rgba = 0xFF0000FFu, blue_rgba = 0x0000FFFFu;
constexpr std::uint32_t green_over_red = 0x7F8000FFu, green_over_background = 0x058A0FFFu;
const std::uint32_t red = video_pixel::make(255, 0, 0, 255), blue = video_pixel::make(0, 0, 255, 255);
const std::uint32_t clear = video_pixel::make(0, 0, 0, 0), half_green = video_pixel::make(0, 255, 0, 128);

std::vector<std::uint32_t> filled(int width, int height, std::uint32_t pixel) {
    return std::vector<std::uint32_t>(std::size_t(width) * std::size_t(height), pixel);
}

VideoSettings headless(int width, int height, const std::string& backend = "headless") {
    return {.backend = backend, .width = width, .height = height, .background = video_pixel::make(10, 20, 30, 255)};
}

// A 40 x 30 screen holding "back", 20 x 10 opaque red with a transparent hole at (3, 2), and "front", 10 x 10 with
// columns 0-4 transparent and columns 5-9 half-transparent green.
class HeadlessScreen : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        device_ = HeadlessDevice::create(headless(40, 30), error);
        ASSERT_TRUE(device_) << error;
        std::vector<std::uint32_t> back = filled(20, 10, red), front(10 * 10);
        back[2 * 20 + 3] = clear;
        for (int i = 0; i < 100; ++i) front[std::size_t(i)] = i % 10 < 5 ? clear : half_green;
        ASSERT_TRUE(device_->create_image("back", "s", 20, 10, back.data()));
        ASSERT_TRUE(device_->create_image("front", "s", 10, 10, front.data()));
    }

    Video_Sprite* place(const std::string& sprite, const std::string& image, double x, double y) {
        EXPECT_TRUE(device_->create_sprite(sprite, "s", image, "s", true)) << device_->get_error();
        Video_Sprite* placed = device_->get_sprite(sprite, "s");
        if (placed) placed->set_position(x, y);
        return placed;
    }
    // Draws the sprites and presents the frame.
    void present(std::initializer_list<const char*> sprites) {
        for (const char* sprite : sprites) EXPECT_TRUE(device_->draw_sprite(sprite, "s")) << device_->get_error();
        device_->update_screen();
    }
    std::uint32_t at(int x, int y) const { return device_->presented_pixel(x, y); }

    std::unique_ptr<HeadlessDevice> device_;
};

TEST_F(HeadlessScreen, OverlappingSpritesBlendAndClipInTheSnapshotOfEachFrame) {
    EXPECT_EQ(at(0, 0), background_rgba) << "before any frame the screen is the background";
    place("back", "back", 5, 5);       // x 5-24, y 5-14
    place("front", "front", 18, 10);   // transparent x 18-22, half green x 23-27, y 10-19
    place("corner", "back", -10, 25);  // its columns 10-19 and rows 0-4 in the lower-left corner
    place("far", "back", 30, 26);      // its columns 0-9 and rows 0-3 in the lower-right corner
    for (const char* sprite : {"back", "front", "corner", "far"}) ASSERT_TRUE(device_->draw_sprite(sprite, "s"));
    EXPECT_EQ(at(5, 5), background_rgba) << "drawing shows nothing before update_screen";
    device_->update_screen();
    testsupport::TempDir folder;
    ASSERT_TRUE(device_->snapshot(folder.str() + "/frame.png")) << device_->get_error();
    const testsupport::RgbaImage png = testsupport::read_png(folder.str() + "/frame.png");
    ASSERT_TRUE(png.width == 40 && png.height == 30) << png.error;
    // x, y and the colour's index: (8, 7) is back's hole, (20, 12) front's transparent part over back,
    // then the blends and the two corners.
    const std::uint32_t colours[] = {background_rgba, red_rgba, green_over_red, green_over_background};
    const int points[] = {0,  0,  0, 5,  5,  1, 24, 9,  1, 8,  7,  0, 20, 12, 1, 23, 12, 2, 24, 14, 2, 25, 12, 3,
                          27, 19, 3, 28, 12, 0, 0,  25, 1, 9,  29, 1, 10, 25, 0, 0,  24, 0, 30, 26, 1, 39, 29, 1,
                          29, 26, 0, 39, 25, 0};
    for (std::size_t i = 0; i < std::size(points); i += 3)
        EXPECT_EQ(png.at(points[i], points[i + 1]), colours[points[i + 2]]) << points[i] << ", " << points[i + 1];
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) ASSERT_EQ(at(x, y), png.at(x, y)) << x << ", " << y;
    for (auto [x, y] : {std::pair{-1, 0}, {40, 0}, {0, 30}}) EXPECT_EQ(at(x, y), 0u) << x << ", " << y;
    device_->update_screen();
    EXPECT_EQ(at(5, 5), background_rgba) << "the next frame starts cleared";

    const std::string path = folder.str() + "/missing/frame.png";
    EXPECT_FALSE(device_->snapshot(path));
    EXPECT_EQ(device_->get_error().rfind("Can't write snapshot \"" + path + "\": No such file", 0), 0u)
        << device_->get_error();
    EXPECT_FALSE(device_->snapshot(folder.str())) << "a folder is no file";
}

// The four switches each turn one part of the pipeline off.
TEST_F(HeadlessScreen, SwitchesOff) {
    Video_Sprite* back = place("back", "back", 0, 0);
    place("front", "front", 0, 20);
    place("across", "back", 30, 10);
    device_->set_switch_a(false);
    present({"back"});
    back->set_position(20, 20);
    present({"back"});
    EXPECT_TRUE(at(0, 0) == red_rgba && at(39, 29) == red_rgba) << "a: new frames build on the presented one";
    device_->set_switch_a(true);
    device_->set_switch_b(false);
    device_->set_switch_c(false);
    present({"front", "across"});
    EXPECT_EQ(at(0, 20), 0x00000000u) << "b: images are copied, transparent pixels as they are";
    EXPECT_EQ(at(5, 20), 0x00FF0080u);
    EXPECT_EQ(at(35, 10), background_rgba) << "c: a sprite running off the screen is skipped";
    device_->set_switch_d(false);
    present({});
    EXPECT_EQ(at(0, 20), 0u) << "d: the presented frame is frozen";
    device_->set_switch_d(true);
    present({});
    EXPECT_EQ(at(0, 20), background_rgba);
}

TEST_F(HeadlessScreen, ImagesOfBadSizesAreRefusedAndReplacementsKeepTheirHandles) {
    const auto pixels = filled(65535, 1, red);
    for (auto [width, height, reason] :
         {std::tuple{0, 2, "0x2 is not at least 1x1"}, {2, 0, "2x0 is not at least 1x1"},
          {65536, 1, "width 65536 is above the limit of 65535"}, {65535, 2000, "above the budget of 67108864"},
          {2, 2, "no pixels were given"}}) {
        EXPECT_FALSE(device_->create_image("pic", "s", width, height, width == height ? nullptr : pixels.data()));
        EXPECT_TRUE(contains(device_->get_error(), "Can't create image \"pic\" of scene \"s\": ") &&
                    contains(device_->get_error(), reason))
            << device_->get_error();
        EXPECT_EQ(device_->get_image("pic", "s"), nullptr);
    }
    ASSERT_TRUE(device_->create_image("pic", "s", 65535, 1, pixels.data())) << "the widest";
    Video_Image* image = device_->get_image("pic", "s");
    EXPECT_EQ(device_->get_image("pic", "other"), nullptr) << "the scene is part of the name";
    Video_Sprite* sprite = place("a", "pic", 10, 10);
    sprite->set_base(0.5, 0.5);
    auto large = filled(6, 4, blue);
    ASSERT_TRUE(device_->create_image("pic", "s", 6, 4, large.data()));
    large[0] = red;  // the caller's buffer is not the image's
    EXPECT_TRUE(device_->get_image("pic", "s") == image && image->get_pitch() == 6 && image->get_pixels()[0] == blue);
    EXPECT_TRUE(device_->get_sprite("a", "s") == sprite && sprite->get_width() == 6)
        << "sprites follow their image's size, keeping base and position";
    present({"a"});
    EXPECT_TRUE(at(7, 8) == blue_rgba && at(12, 11) == blue_rgba && at(13, 11) == background_rgba);

    EXPECT_FALSE(device_->create_sprite("a", "s", "button_pic", "other", true));
    EXPECT_EQ(device_->get_error(),
              "Can't create sprite \"a\" of scene \"s\": no image \"button_pic\" of scene \"other\"");
    EXPECT_EQ(sprite->image_name, "pic") << "a failed replacement leaves the sprite as it was";

    const Video_Pixels shared = std::make_shared<const std::vector<std::uint32_t>>(filled(2, 2, red));
    ASSERT_TRUE(device_->create_shared_image("shared", "s", 2, 1, shared));
    EXPECT_FALSE(device_->create_shared_image("shared", "s", 3, 2, shared));
    EXPECT_EQ(device_->get_error(), "Can't create image \"shared\" of scene \"s\": fewer pixels than its size");
    EXPECT_EQ(device_->get_image("shared", "s")->get_width(), 2) << "a refused image leaves the old one";
}

TEST_F(HeadlessScreen, SpritesLandAtPositionMinusBaseRoundedToWholePixels) {
    const auto dot = filled(1, 1, red);
    ASSERT_TRUE(device_->create_image("dot", "s", 1, 1, dot.data()));
    Video_Sprite* sprite = place("dot", "dot", 0, 0);
    for (auto [x, y, expected_x, expected_y] : {std::tuple{2.4, 3.6, 2, 4}, {2.5, 3.5, 3, 4}, {-0.5, 5.49, 0, 5}}) {
        sprite->set_position(x, y);
        present({"dot"});
        EXPECT_EQ(at(expected_x, expected_y), red_rgba) << x << ", " << y;
    }
    Video_Sprite* back = place("back", "back", 20, 15);
    for (double bad : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
        back->set_position(0, bad);
        EXPECT_FALSE(device_->draw_sprite("back", "s"));
        EXPECT_EQ(device_->get_error(),
                  "Can't draw sprite \"back\" of scene \"s\": its position is not a finite number");
    }
    for (double far : {1e300, -1e300, 2147483647.0, -2147483648.0}) {
        back->set_position(far, far);
        EXPECT_TRUE(device_->draw_sprite("back", "s")) << far;
    }
    device_->update_screen();
    EXPECT_EQ(at(0, 0), background_rgba) << "nothing lands on the screen";
    EXPECT_FALSE(device_->draw_sprite("ghost", "s"));
    EXPECT_EQ(device_->get_error(), "Can't draw sprite \"ghost\" of scene \"s\": no such sprite");
}

TEST(VideoRegistry, CreatesReplacesAndRefusesDevicesByName) {
    ASSERT_TRUE(video_create("registry", headless(10, 10))) << video_error();
    ASSERT_NE(dynamic_cast<HeadlessDevice*>(video_get_interface("registry")), nullptr);  // found once, so remembered
    ASSERT_TRUE(video_create("registry", headless(20, 30)));
    Video_Interface* device = video_get_interface("registry");
    EXPECT_EQ(device->get_screen_width(), 20) << "the replacement, not the device found before";
    EXPECT_FALSE(video_create("registry", headless(10, 10, "vulkan")));
    EXPECT_EQ(video_error().rfind("Can't create video device \"registry\": Unknown video backend \"vulkan\"", 0), 0u);
    for (auto [width, height] : {std::pair{0, 10}, {10, -1}, {32768, 10}}) {
        EXPECT_FALSE(video_create("registry", headless(width, height)));
        EXPECT_TRUE(contains(video_error(), "each side must be 1 to 32767")) << video_error();
    }
    EXPECT_FALSE(video_create("registry", headless(32767, 32767))) << "8 GiB of frames";
    EXPECT_TRUE(contains(video_error(), "more pixels than the budget of 67108864")) << video_error();
    video_register("registry", nullptr);
    EXPECT_EQ(video_error(), "Can't register video device \"registry\": the device is null");
    EXPECT_EQ(video_get_interface("registry"), device) << "a failed create or register keeps the device";
    video_unregister("registry");
    EXPECT_EQ(video_get_interface("registry"), nullptr);
    EXPECT_EQ(video_error(), "No video device named \"registry\"");

    // A window without a display fails with SDL's reason.
    const std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
    unsetenv("DISPLAY");
    setenv("SDL_VIDEODRIVER", "x11", 1);
    EXPECT_FALSE(video_create("registry", headless(64, 48, "sdl")));
    if (!display.empty()) setenv("DISPLAY", display.c_str(), 1);
    const std::string prefix = "Can't create video device \"registry\": Can't open an SDL window: ";
    EXPECT_TRUE(video_error().rfind(prefix, 0) == 0u && video_error().size() > prefix.size()) << video_error();
}

}  // namespace
