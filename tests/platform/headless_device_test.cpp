#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/video/headless_device.h"
#include "services/video.h"
#include "tests/support/test_support.h"

namespace {

// RGBA words (0xRRGGBBAA) as read_png and presented_pixel give them.
constexpr std::uint32_t background_rgba = 0x0A141EFFu;  // (10, 20, 30), opaque
constexpr std::uint32_t red_rgba = 0xFF0000FFu;
// Green at alpha 128 over red: r = round(255 * 127 / 255), g = round(255 * 128 / 255).
constexpr std::uint32_t green_over_red = 0x7F8000FFu;
// Green at alpha 128 over the background: round(10*127/255), round((255*128 + 20*127)/255), round(30*127/255).
constexpr std::uint32_t green_over_background = 0x058A0FFFu;

const std::uint32_t red = video_pixel::make(255, 0, 0, 255);
const std::uint32_t clear = video_pixel::make(0, 0, 0, 0);
const std::uint32_t half_green = video_pixel::make(0, 255, 0, 128);

class HeadlessScreen : public ::testing::Test {
protected:
    void SetUp() override {
        VideoSettings settings;
        settings.width = 40;
        settings.height = 30;
        settings.background = video_pixel::make(10, 20, 30, 255);
        std::string error;
        device_ = HeadlessDevice::create(settings, error);
        ASSERT_TRUE(device_) << error;

        // "back": 20 x 10 opaque red with a transparent hole at (3, 2).
        std::vector<std::uint32_t> back(20 * 10, red);
        back[2 * 20 + 3] = clear;
        ASSERT_TRUE(device_->create_image("back", "s", 20, 10, back.data()));
        // "front": 10 x 10, columns 0-4 transparent, columns 5-9 half-transparent green.
        std::vector<std::uint32_t> front(10 * 10);
        for (int i = 0; i < 100; ++i) front[std::size_t(i)] = i % 10 < 5 ? clear : half_green;
        ASSERT_TRUE(device_->create_image("front", "s", 10, 10, front.data()));
    }

    void place(const std::string& sprite, const std::string& image, double x, double y) {
        ASSERT_TRUE(device_->create_sprite(sprite, "s", image, "s", true)) << device_->get_error();
        device_->get_sprite(sprite, "s")->set_position(x, y);
    }
    bool draw(const std::string& sprite) { return device_->draw_sprite(sprite, "s"); }

    std::unique_ptr<HeadlessDevice> device_;
};

TEST_F(HeadlessScreen, OverlappingSpritesBlendAndClipInTheSnapshot) {
    place("back", "back", 5, 5);          // x 5-24, y 5-14
    place("front", "front", 18, 10);      // transparent x 18-22, half green x 23-27, y 10-19
    place("corner", "back", -10, 25);     // runs off the left and bottom edges
    place("far", "back", 30, 26);         // runs off the right and bottom edges
    for (const char* sprite : {"back", "front", "corner", "far"}) ASSERT_TRUE(draw(sprite)) << sprite;
    ASSERT_TRUE(device_->update_screen());

    testsupport::TempDir folder;
    const std::string path = folder.str() + "/frame.png";
    ASSERT_TRUE(device_->snapshot(path)) << device_->get_error();
    testsupport::RgbaImage png;
    std::string error;
    ASSERT_TRUE(testsupport::read_png(path, png, error)) << error;
    ASSERT_EQ(png.width, device_->get_screen_width());
    ASSERT_EQ(png.height, device_->get_screen_height());

    EXPECT_EQ(png.at(0, 0), background_rgba);
    EXPECT_EQ(png.at(5, 5), red_rgba);
    EXPECT_EQ(png.at(24, 9), red_rgba);
    EXPECT_EQ(png.at(8, 7), background_rgba) << "the hole in back shows what lies below";
    EXPECT_EQ(png.at(20, 12), red_rgba) << "front's transparent part shows back";
    EXPECT_EQ(png.at(23, 12), green_over_red);
    EXPECT_EQ(png.at(24, 14), green_over_red) << "back's last pixel, under front";
    EXPECT_EQ(png.at(25, 12), green_over_background);
    EXPECT_EQ(png.at(27, 19), green_over_background);
    EXPECT_EQ(png.at(28, 12), background_rgba);

    // "corner" shows its columns 10-19 and rows 0-4 in the lower-left corner.
    EXPECT_EQ(png.at(0, 25), red_rgba);
    EXPECT_EQ(png.at(9, 29), red_rgba);
    EXPECT_EQ(png.at(10, 25), background_rgba);
    EXPECT_EQ(png.at(0, 24), background_rgba);
    // "far" shows its columns 0-9 and rows 0-3 in the lower-right corner.
    EXPECT_EQ(png.at(30, 26), red_rgba);
    EXPECT_EQ(png.at(39, 29), red_rgba);
    EXPECT_EQ(png.at(29, 26), background_rgba);
    EXPECT_EQ(png.at(39, 25), background_rgba);

    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(device_->presented_pixel(x, y), png.at(x, y)) << x << ", " << y;
}

TEST_F(HeadlessScreen, EachFramePresentsOnlyWhatWasDrawnForIt) {
    EXPECT_EQ(device_->presented_pixel(0, 0), background_rgba) << "before any frame the screen is the background";
    place("back", "back", 0, 0);
    ASSERT_TRUE(draw("back"));
    EXPECT_EQ(device_->presented_pixel(0, 0), background_rgba) << "drawing shows nothing before update_screen";
    device_->update_screen();
    EXPECT_EQ(device_->presented_pixel(0, 0), red_rgba);
    device_->update_screen();
    EXPECT_EQ(device_->presented_pixel(0, 0), background_rgba) << "the next frame starts cleared";
    EXPECT_EQ(device_->frame_count(), 2u);
    EXPECT_EQ(device_->presented_pixel(-1, 0), 0u);
    EXPECT_EQ(device_->presented_pixel(0, 30), 0u);
}

TEST_F(HeadlessScreen, EventsComeBackInOrderThenNoEvent) {
    Event press;
    press.type = 0;
    press.key = 97;
    Event move;
    move.type = 4;
    move.x = 12.5f;
    move.dy = -3;
    move.button = MOUSE_BUTTON_LEFT;
    Event typed;
    typed.type = 5;
    typed.character = 0x20AC;
    for (const Event& event : {press, move, typed}) device_->push_event(event);
    EXPECT_EQ(device_->pending_events(), 3u);

    Event first = device_->get_event();
    EXPECT_EQ(first.type, 0);
    EXPECT_EQ(first.key, 97);
    Event second = device_->get_event();
    EXPECT_EQ(second.type, 4);
    EXPECT_EQ(second.x, 12.5f);
    EXPECT_EQ(second.dy, -3.0f);
    EXPECT_EQ(second.button, 1);
    EXPECT_EQ(device_->get_event().character, 0x20AC);
    for (int poll = 0; poll < 3; ++poll) {
        const Event none = device_->get_event();
        EXPECT_EQ(none.type, 7);
        EXPECT_EQ(none.key, 0);
    }
}

TEST_F(HeadlessScreen, SnapshotThatCannotBeWrittenNamesThePath) {
    testsupport::TempDir folder;
    const std::string path = folder.str() + "/missing/frame.png";
    EXPECT_FALSE(device_->snapshot(path));
    const std::string error = device_->get_error();
    EXPECT_EQ(error.rfind("Can't write snapshot \"" + path + "\": ", 0), 0u) << error;
    EXPECT_NE(error.find("No such file"), std::string::npos) << error;
    EXPECT_FALSE(device_->snapshot(folder.str())) << "a folder is no file";
}

TEST_F(HeadlessScreen, SwitchAOffLetsFramesBuildOnThePresentedOne) {
    device_->set_switch_a(false);
    place("back", "back", 0, 0);
    ASSERT_TRUE(draw("back"));
    device_->update_screen();
    device_->get_sprite("back", "s")->set_position(20, 20);
    ASSERT_TRUE(draw("back"));
    device_->update_screen();
    EXPECT_EQ(device_->presented_pixel(0, 0), red_rgba) << "the first frame's drawing stays";
    EXPECT_EQ(device_->presented_pixel(39, 29), red_rgba);
    device_->set_switch_a(true);
    device_->update_screen();
    device_->update_screen();
    EXPECT_EQ(device_->presented_pixel(0, 0), background_rgba);
}

TEST_F(HeadlessScreen, SwitchBOffCopiesInsteadOfBlending) {
    device_->set_switch_b(false);
    place("front", "front", 0, 0);
    ASSERT_TRUE(draw("front"));
    device_->update_screen();
    EXPECT_EQ(device_->presented_pixel(0, 0), 0x00000000u) << "transparent pixels are copied as they are";
    EXPECT_EQ(device_->presented_pixel(5, 0), 0x00FF0080u);
}

TEST_F(HeadlessScreen, SwitchCOffSkipsSpritesThatRunOffTheScreen) {
    device_->set_switch_c(false);
    place("inside", "back", 0, 0);
    place("across", "back", 30, 0);
    ASSERT_TRUE(draw("inside"));
    ASSERT_TRUE(draw("across"));
    device_->update_screen();
    EXPECT_EQ(device_->presented_pixel(0, 0), red_rgba);
    EXPECT_EQ(device_->presented_pixel(35, 0), background_rgba);
}

TEST_F(HeadlessScreen, SwitchDOffFreezesThePresentedFrame) {
    place("back", "back", 0, 0);
    ASSERT_TRUE(draw("back"));
    device_->update_screen();
    device_->set_switch_d(false);
    device_->update_screen();
    EXPECT_EQ(device_->frame_count(), 2u);
    EXPECT_EQ(device_->presented_pixel(0, 0), red_rgba) << "the frozen frame is the one before";
    device_->set_switch_d(true);
    device_->update_screen();
    EXPECT_EQ(device_->presented_pixel(0, 0), background_rgba);
}

}  // namespace
