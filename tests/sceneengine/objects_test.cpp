// The built-in object kinds (links, signal wiring, alpha hits and text colours show in the golden frames too).

#include <cmath>
#include <tuple>

#include "sceneengine/sceneobjects/image.h"
#include "sceneengine/sceneobjects/text/text.h"
#include "sceneengine/sceneobjects/timer.h"
#include "services/time.h"
#include "tests/support/library_fixture.h"

namespace {

using namespace testsupport;

using Point = std::pair<float, float>;

using SceneObjectLoad = LibraryFixture;
using ImageTest = SceneObjectLoad;
using TextTest = SceneObjectLoad;

// Objects are shown and links centred unless told otherwise; switches are on only for "true". Placement is scaled into
// the area of a parent scene.
TEST_F(SceneObjectLoad, DefaultsSwitchesAndAbsoluteScaledIntoTheAreaOfAParentScene) {
    configure("Objects: {upper: {SceneObject: {show: 'TRUE', require_alpha_collision: 'True'}},\n"
              "          box: {SceneObject: {absolute_x: 200, absolute_y: 300}}}\n");
    Scene owner, parent;  // the owner fills (100, 50)-(500, 350) of its 800 x 600 parent
    owner.set_name(scene);
    ProbeObject plain, upper, box;
    ASSERT_TRUE(load(plain, "plain") && load(upper, "upper") && load(box, "box", &owner));
    EXPECT_TRUE(plain._get_show());
    EXPECT_EQ(plain._get_link_v_align(), "center");
    EXPECT_FALSE(upper._get_show() || upper._get_require_alpha_collision());
    const auto at = [&box] { return Point(box._get_x(), box._get_y()); };
    ASSERT_TRUE(box.calculate_position());
    EXPECT_EQ(at(), Point(200, 300));  // without a parent: the configured point
    parent.set_width(800), parent.set_height(600);
    owner.set_parent(&parent);
    owner.set_width(400), owner.set_height(300), owner.set_x(100), owner.set_y(50);
    ASSERT_TRUE(box.calculate_position());
    EXPECT_EQ(at(), Point(200, 200));
    // A parent without a size cannot scale anything, nor a link without its object: the position stays.
    parent.set_height(0);
    parent.set_name("outer");
    EXPECT_FALSE(box.calculate_position());
    EXPECT_EQ(box._get_error(), "Can't place object \"box\": parent scene \"outer\" has size 800x0");
    box._set_coord_type("link");
    box._set_link_object("nothing");
    EXPECT_FALSE(box.calculate_position());
    EXPECT_EQ(box._get_error(), "Unable to fine object:\"nothing\"");
    EXPECT_EQ(at(), Point(200, 200));
}

// The logo: a sprite with its base point, and one line. The mask: a 2 x 4 picture at (0, 0), its alpha by row:
// 128 0 / 127 255 / 0 0 / 0 255.
TEST_F(ImageTest, LoadMakesASpriteWithItsBasePointAndHitsTheRectangleEdgesIncludedOrWithAlphaTheHalfOpaquePixels) {
    dir.write_bytes("grey.png", testsupport::encode_png(8, 8, std::vector<std::uint8_t>(256, 200)));
    std::vector<std::uint8_t> rgba;
    for (std::uint8_t alpha : {128, 0, 127, 255, 0, 0, 0, 255}) rgba.insert(rgba.end(), {255, 0, 0, alpha});
    dir.write_bytes("mask.png", testsupport::encode_png(2, 4, rgba));
    configure("Objects: {logo: {Image: {image_file: grey.png, loader: png, x_base: abc, y_base: 0.25}},\n"
              "          mask: {Image: {image_file: mask.png, x_base: 0, y_base: 0}}}\n");
    Image logo, image;
    StderrCapture capture;
    ASSERT_TRUE(load(logo, "logo")) << logo._get_error();
    EXPECT_EQ(capture.text(), "logo loaded\n");
    ASSERT_EQ(logo._get__sprite_(), device()->get_sprite("logo", scene));
    EXPECT_EQ(logo._get__sprite_()->get_base_x(), 0.0);
    EXPECT_EQ(logo._get__sprite_()->get_base_y(), 0.25);
    ASSERT_TRUE(load(image, "mask")) << image._get_error();
    image.draw();
    const auto hits = [&image](std::vector<Point> points) {
        std::vector<bool> hit;
        for (const Point& p : points) hit.push_back(image._is_point_in_object(p.first, p.second));
        return hit;
    };
    EXPECT_EQ(hits({{0, 0}, {2, 4}, {1.5f, 0.5f}, {2.01f, 1}, {1, 4.01f}, {NAN, 1}}),
              (std::vector<bool>{true, true, true, false, false, false}));
    // On the far edges the last column or row is read, never one past it.
    image._set_require_alpha_collision(true);
    EXPECT_EQ(
        hits({{0.5f, 0.5f}, {1.5f, 1.5f}, {2, 3.5f}, {1.5f, 4}, {0.5f, 1.5f}, {1.5f, 0.5f}, {0.5f, 4}, {NAN, NAN}}),
        (std::vector<bool>{true, true, true, true, false, false, false, false}));
}

TEST_F(TextTest, SizeAndColourReadWithBaseZeroAndDefaults) {
    configure(R"(Objects:
  hex: {Text: {text: a, font_size: '0x10', color: '0x10'}}
  huge: {Text: {text: a, font_size: '0x100000010', color: '0x100000000'}}
  negative: {Text: {text: a, font_size: '-3', color: '-256'}}
)");
    StderrCapture capture;
    for (const auto& [name, size, color] : std::vector<std::tuple<const char*, int, std::uint32_t>>{
             {"hex", 16, 16u}, {"huge", 16, 0u}, {"negative", -3, 0xffffff00u}, {"absent", 14, 0xffffffffu}}) {
        Text object;
        load(object, name);
        EXPECT_EQ(std::pair(object._get_font_size(), object._get_color()), std::pair(size, color)) << name;
    }
}

// One-shot unless repeat is "true", after a second unless told otherwise; a time-out gives the time elapsed.
TEST_F(SceneObjectLoad, ATimerIsOneShotByDefaultAndFiresOnceWithTheElapsedTime) {
    configure("Objects: {t1: {Timer: {repeat: 'True'}}}\n");
    time_use_manual_clock(true);  // the timer measures from its load
    Timer timer;
    EXPECT_TRUE(load(timer, "t1")) << timer._get_error();
    std::vector<float> fired;
    on_signal(scene + "->t1->time_out", "listener", [&fired](SlotArgs* args) { fired.push_back(args->get_float(0)); });
    std::vector<std::size_t> counts;
    for (double step : {0.5, 0.49, 0.01, 0.25, 1e6}) {
        time_advance(step);
        timer.slot__on_new_cycle(nullptr);
        counts.push_back(fired.size());
    }
    time_use_manual_clock(false);
    EXPECT_EQ(counts, (std::vector<std::size_t>{0, 0, 1, 1, 1}));
    EXPECT_FLOAT_EQ(fired.at(0), 1.0f);
}

}  // namespace
