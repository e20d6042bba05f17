#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "platform/video/headless_device.h"

namespace {

std::unique_ptr<HeadlessDevice> make_device(int width = 64, int height = 32) {
    VideoSettings settings;
    settings.width = width;
    settings.height = height;
    std::string error;
    auto device = HeadlessDevice::create(settings, error);
    EXPECT_TRUE(device) << error;
    return device;
}

std::vector<std::uint32_t> filled(int width, int height, std::uint32_t pixel) {
    return std::vector<std::uint32_t>(std::size_t(width) * std::size_t(height), pixel);
}

const std::uint32_t red = video_pixel::make(255, 0, 0, 255);
const std::uint32_t blue = video_pixel::make(0, 0, 255, 255);

TEST(VideoStoreImages, RefusesBadSizesAndNullPixelsWithReasons) {
    auto device = make_device();
    const auto pixels = filled(2, 2, red);
    struct Case {
        int width, height;
        const std::uint32_t* pixels;
        const char* reason;
    } cases[] = {
        {0, 2, pixels.data(), "0x2 is not at least 1x1"},
        {2, 0, pixels.data(), "2x0 is not at least 1x1"},
        {-3, 2, pixels.data(), "-3x2 is not at least 1x1"},
        {65536, 1, pixels.data(), "width 65536 is above the limit of 65535"},
        {65535, 2000, pixels.data(), "above the budget of 67108864"},
        {2, 2, nullptr, "no pixels were given"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        EXPECT_FALSE(device->create_image("pic", "menu", c.width, c.height, c.pixels));
        const std::string error = device->get_error();
        EXPECT_NE(error.find("Can't create image \"pic\" of scene \"menu\""), std::string::npos) << error;
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        EXPECT_EQ(device->get_image("pic", "menu"), nullptr);
    }
}

TEST(VideoStoreImages, KeepsACopyUnderNameAndScene) {
    auto device = make_device();
    auto pixels = filled(3, 2, red);
    ASSERT_TRUE(device->create_image("pic", "menu", 3, 2, pixels.data()));
    pixels[0] = blue;  // the caller's buffer is not the image's
    Video_Image* image = device->get_image("pic", "menu");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->get_width(), 3);
    EXPECT_EQ(image->get_height(), 2);
    EXPECT_EQ(image->get_pitch(), 3);
    EXPECT_EQ(image->get_pixels()[0], red);
    EXPECT_EQ(image->get_alpha_mask(), 0x80000000u);

    EXPECT_EQ(device->get_image("pic", "other"), nullptr) << "the scene is part of the name";
    EXPECT_EQ(device->get_error(), "No image \"pic\" of scene \"other\"");
}

TEST(VideoStoreImages, SharedPixelsAreShownWithoutACopy) {
    auto device = make_device();
    const Video_Pixels shared = std::make_shared<const std::vector<std::uint32_t>>(filled(2, 2, red));
    ASSERT_TRUE(device->create_shared_image("a", "s", 2, 2, shared));
    ASSERT_TRUE(device->create_shared_image("b", "s", 2, 1, shared));
    const Video_Image* a = device->get_image("a", "s");
    EXPECT_EQ(a->get_pixels(), shared->data());
    EXPECT_EQ(static_cast<const Video_Image*>(device->get_image("b", "s"))->get_pixels(), shared->data());
    EXPECT_FALSE(device->create_shared_image("a", "s", 3, 2, shared));
    EXPECT_EQ(device->get_error(), "Can't create image \"a\" of scene \"s\": fewer pixels than its size");
    EXPECT_EQ(a->get_width(), 2) << "a refused image leaves the old one";
}

TEST(VideoStoreImages, WidestImageIsAccepted) {
    auto device = make_device();
    const auto pixels = filled(65535, 1, blue);
    ASSERT_TRUE(device->create_image("strip", "s", 65535, 1, pixels.data()));
    EXPECT_EQ(device->get_image("strip", "s")->get_pitch(), 65535);
}

TEST(VideoStoreSprites, RefusesAMissingImageNamingBothNames) {
    auto device = make_device();
    EXPECT_FALSE(device->create_sprite("button", "menu", "button_pic", "shared", true));
    EXPECT_EQ(device->get_error(),
              "Can't create sprite \"button\" of scene \"menu\": no image \"button_pic\" of scene \"shared\"");
    EXPECT_EQ(device->get_sprite("button", "menu"), nullptr);
    EXPECT_EQ(device->get_error(), "No sprite \"button\" of scene \"menu\"");
}

TEST(VideoStoreSprites, DrawingAMissingSpriteFailsWithReason) {
    auto device = make_device();
    EXPECT_FALSE(device->draw_sprite("ghost", "menu"));
    EXPECT_EQ(device->get_error(), "Can't draw sprite \"ghost\" of scene \"menu\": no such sprite");
}

TEST(VideoStoreSprites, LookupsByNameHoldInAnyOrder) {
    auto device = make_device();
    const auto pixels = filled(1, 1, red);
    const std::vector<std::pair<std::string, std::string>> names{
        {"a", "s"}, {"a", "t"}, {"long-name-1-of-sprite", "s"}, {"long-name-2-of-sprite", "s"}, {"b", "s"}};
    std::vector<Video_Sprite*> sprites;
    for (const auto& [name, scene] : names) {
        ASSERT_TRUE(device->create_image(name, scene, 1, 1, pixels.data()));
        ASSERT_TRUE(device->create_sprite(name, scene, name, scene, true));
        sprites.push_back(device->get_sprite(name, scene));
    }
    // Frames in one order, then in others, with misses between.
    for (const std::vector<std::size_t>& order : {std::vector<std::size_t>{0, 1, 2, 3, 4}, {0, 1, 2, 3, 4},
                                                   {4, 3, 1, 0, 2}, {0, 1, 2, 3, 4}, {1, 0, 3, 2, 4}}) {
        for (std::size_t i : order) {
            EXPECT_EQ(device->get_sprite(names[i].first, names[i].second), sprites[i]) << i;
            EXPECT_TRUE(device->draw_sprite(names[i].first, names[i].second)) << i;
        }
        EXPECT_EQ(device->get_sprite("a", "u"), nullptr);
        EXPECT_EQ(device->get_sprite("long-name-of-sprite-3", "s"), nullptr);
    }
}

TEST(VideoStoreSprites, RectangleIsPositionMinusBaseTimesSize) {
    auto device = make_device(400, 300);
    const auto pixels = filled(100, 40, red);
    ASSERT_TRUE(device->create_image("pic", "s", 100, 40, pixels.data()));
    ASSERT_TRUE(device->create_sprite("pic", "s", "pic", "s", true));
    Video_Sprite* sprite = device->get_sprite("pic", "s");
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(sprite->image_name, "pic");
    EXPECT_EQ(sprite->image_scene, "s");
    sprite->set_base(0.5, 0.5);
    sprite->set_position(200, 100);
    VideoRect rect;
    sprite->get_rect(&rect);
    EXPECT_EQ(rect.x1, 150);
    EXPECT_EQ(rect.y1, 80);
    EXPECT_EQ(rect.x2, 250);
    EXPECT_EQ(rect.y2, 120);
    EXPECT_EQ(sprite->get_base_x(), 0.5);

    // The pixels land on that rectangle, and not one pixel beside it.
    ASSERT_TRUE(device->draw_sprite("pic", "s"));
    device->update_screen();
    EXPECT_EQ(device->presented_pixel(150, 80), 0xFF0000FFu);
    EXPECT_EQ(device->presented_pixel(249, 119), 0xFF0000FFu);
    EXPECT_EQ(device->presented_pixel(149, 80), 0x000000FFu);
    EXPECT_EQ(device->presented_pixel(250, 119), 0x000000FFu);
    EXPECT_EQ(device->presented_pixel(150, 120), 0x000000FFu);
}

TEST(VideoStoreSprites, FractionalCornersRoundToTheNearestPixel) {
    auto device = make_device(16, 16);
    const auto pixels = filled(1, 1, red);
    ASSERT_TRUE(device->create_image("dot", "s", 1, 1, pixels.data()));
    ASSERT_TRUE(device->create_sprite("dot", "s", "dot", "s", true));
    Video_Sprite* sprite = device->get_sprite("dot", "s");
    struct Case {
        double x, y;
        int expected_x, expected_y;
    } cases[] = {{2.4, 3.6, 2, 4}, {2.5, 3.5, 3, 4}, {-0.5, 5.49, 0, 5}};
    for (const Case& c : cases) {
        sprite->set_position(c.x, c.y);
        ASSERT_TRUE(device->draw_sprite("dot", "s"));
        device->update_screen();
        EXPECT_EQ(device->presented_pixel(c.expected_x, c.expected_y), 0xFF0000FFu) << c.x << ", " << c.y;
    }
}

TEST(VideoStoreSprites, NonFinitePositionIsRefusedAndHugeOnesAreHarmless) {
    auto device = make_device(16, 16);
    const auto pixels = filled(4, 4, red);
    ASSERT_TRUE(device->create_image("pic", "s", 4, 4, pixels.data()));
    ASSERT_TRUE(device->create_sprite("pic", "s", "pic", "s", true));
    Video_Sprite* sprite = device->get_sprite("pic", "s");

    sprite->set_position(std::numeric_limits<double>::quiet_NaN(), 0);
    EXPECT_FALSE(device->draw_sprite("pic", "s"));
    EXPECT_EQ(device->get_error(), "Can't draw sprite \"pic\" of scene \"s\": its position is not a finite number");
    sprite->set_position(0, std::numeric_limits<double>::infinity());
    EXPECT_FALSE(device->draw_sprite("pic", "s"));

    for (double far : {1e300, -1e300, 2147483647.0, -2147483648.0}) {
        sprite->set_position(far, far);
        EXPECT_TRUE(device->draw_sprite("pic", "s")) << far;
    }
    device->update_screen();
    EXPECT_EQ(device->presented_pixel(0, 0), 0x000000FFu) << "nothing lands on the screen";
}

TEST(VideoStoreReplacement, ImageReplacedInPlaceResizesItsSprites) {
    auto device = make_device(32, 32);
    const auto small = filled(2, 2, red);
    const auto large = filled(6, 4, blue);
    ASSERT_TRUE(device->create_image("pic", "s", 2, 2, small.data()));
    Video_Image* image = device->get_image("pic", "s");
    ASSERT_TRUE(device->create_sprite("a", "s", "pic", "s", true));
    Video_Sprite* sprite = device->get_sprite("a", "s");
    sprite->set_base(0.5, 0.5);
    sprite->set_position(10, 10);

    ASSERT_TRUE(device->create_image("pic", "s", 6, 4, large.data()));
    EXPECT_EQ(device->get_image("pic", "s"), image) << "a kept image handle must stay valid";
    EXPECT_EQ(image->get_width(), 6);
    EXPECT_EQ(image->get_pixels()[0], blue);
    ASSERT_EQ(device->get_sprite("a", "s"), sprite) << "a kept sprite handle must stay valid";
    EXPECT_EQ(sprite->get_width(), 6);
    EXPECT_EQ(sprite->get_height(), 4);
    EXPECT_EQ(sprite->get_base_x(), 0.5) << "base and position survive the resize";
    VideoRect rect;
    sprite->get_rect(&rect);
    EXPECT_EQ(rect.x1, 7);
    EXPECT_EQ(rect.y1, 8);

    ASSERT_TRUE(device->draw_sprite("a", "s"));
    device->update_screen();
    EXPECT_EQ(device->presented_pixel(7, 8), 0x0000FFFFu);
    EXPECT_EQ(device->presented_pixel(12, 11), 0x0000FFFFu);
}

TEST(VideoStoreReplacement, SpriteReplacedInPlaceShowsTheNewImage) {
    auto device = make_device(8, 8);
    const auto one = filled(1, 1, red);
    const auto two = filled(2, 3, blue);
    ASSERT_TRUE(device->create_image("one", "s", 1, 1, one.data()));
    ASSERT_TRUE(device->create_image("two", "s", 2, 3, two.data()));
    ASSERT_TRUE(device->create_sprite("obj", "s", "one", "s", true));
    Video_Sprite* kept = device->get_sprite("obj", "s");
    kept->set_position(4, 4);

    ASSERT_TRUE(device->create_sprite("obj", "s", "two", "s", true));
    ASSERT_EQ(device->get_sprite("obj", "s"), kept);
    EXPECT_EQ(kept->image_name, "two");
    EXPECT_EQ(kept->get_width(), 2);
    EXPECT_EQ(kept->get_x(), 0) << "a replaced sprite starts anew";

    // A failed replacement leaves the sprite as it was.
    EXPECT_FALSE(device->create_sprite("obj", "s", "three", "s", true));
    EXPECT_EQ(kept->image_name, "two");
}

}  // namespace
