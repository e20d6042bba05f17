// The built-in object kinds: the keys every object shares, its signal connections, its placement, and the Image, Text
// and Timer kinds.

#include <cmath>

#include "sceneengine/sceneobjects/image.h"
#include "sceneengine/sceneobjects/text/text.h"
#include "sceneengine/sceneobjects/timer.h"
#include "services/imageloader.h"
#include "services/textrenderer.h"
#include "services/time.h"
#include "tests/support/library_fixture.h"

namespace {

using testsupport::StderrCapture;
using testsupport::Strings;

using Point = std::pair<float, float>;
const std::string font_file = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// A SceneObject with nothing of its own, counting the slot calls it receives.
class PlainObject : public SceneObject {
public:
    void draw() override {}
    bool slot__on_key_press(SlotArgs*) override { return ++key_presses > 0; }
    bool slot__on_activate(SlotArgs*) override { return ++activations > 0; }
    int key_presses = 0;
    int activations = 0;
};

using SceneObjectLoad = testsupport::LibraryFixture;

TEST_F(SceneObjectLoad, DefaultsAndSwitchesThatAreOnOnlyForTrue) {
    PlainObject unconfigured;  // no configuration: fails, its name kept so that the scene can say which object failed
    EXPECT_FALSE(load(unconfigured, "button"));
    EXPECT_EQ(unconfigured._get_error(), "Can't get config interface:" + config_error());
    EXPECT_EQ(unconfigured._get__object_name_(), "button");

    configure(
        "Objects:\n  button: {SceneObject: {absolute_x: 12.5px, link_h_offset: 1e300, require_alpha_collision: "
        "'true'}}\n"
        "  upper: {SceneObject: {show: 'TRUE', require_alpha_collision: 'True'}}\n");
    PlainObject plain, button, upper;
    ASSERT_TRUE(load(plain, "plain") && load(button, "button") && load(upper, "upper"));
    EXPECT_EQ(plain._get_coord_type(), "absolute");
    EXPECT_EQ(plain._get_link_v_align(), "center");
    EXPECT_TRUE(plain._get_show());
    EXPECT_FALSE(plain._get_require_alpha_collision() || upper._get_show() || upper._get_require_alpha_collision());
    EXPECT_EQ(button._get_absolute_x(), 12.5f);
    EXPECT_EQ(button._get_link_h_offset(), INFINITY);  // beyond float: infinity, not garbage
    EXPECT_TRUE(button._get_require_alpha_collision());
}

// Connections read from "signals->signalN" and when they are made and cut.
TEST_F(SceneObjectLoad, SignalsConnectOnLoadOrWithTheFocus) {
    configure(R"(Objects:
  button:
    signals:
      signal0: {signal_source: Video, type: builtin, signal_name: keyboard_press, slot_name: _on_key_press, connect: on_load}
      signal1: {signal_source: Video, type: Builtin, signal_name: character, slot_name: _on_character}
      signal2: {signal_source: clock, signal_name: tock, slot_name: _on_key_release}
      signal3: {signal_name: tick, slot_name: b, connect: on_load}
      signal4: {signal_source: clock, signal_name: after_the_gap, slot_name: c}
)");
    PlainObject object;
    ASSERT_TRUE(load(object, "button"));
    const std::string S = scene + "->", O = S + "button->", key_press = std::string(video) + "->keyboard_press";
    // "Video" of the builtin type stands for the device's name; anything else is a plain source.
    EXPECT_TRUE(signals_is_connected(key_press, O + "_on_key_press"));
    EXPECT_EQ(object._get__signal_connections_().size(), 6u);  // the list ends at the entry without source
    EXPECT_FALSE(signals_is_connected(S + "activate", O + "_on_activate"));

    disconnect(key_press, O + "_on_key_press");
    Signal(S + "reinit").rise();  // the reinit slot connects the on-load ones again, from inside the rise
    Signal(key_press).rise();
    EXPECT_EQ(object.key_presses, 1);
    object.connect_signals(false);  // the focus: every connection
    EXPECT_TRUE(signals_is_connected("clock->tock", O + "_on_key_release"));
    Signal(S + "activate").rise();
    EXPECT_EQ(object.activations, 1);
    object.disconnect_signals(false);  // focus lost: on-request ones and the reinit link go
    EXPECT_TRUE(signals_is_connected(key_press, O + "_on_key_press"));
    EXPECT_FALSE(signals_is_connected("clock->tock", O + "_on_key_release"));
    EXPECT_FALSE(signals_is_connected(S + "reinit", O + "_on_scene_reinit"));
    object.disconnect_signals(true);  // removal: everything goes
    EXPECT_FALSE(signals_is_connected(key_press, O + "_on_key_press"));
}

class Layout : public testsupport::LibraryFixture {
protected:
    void SetUp() override {
        LibraryFixture::SetUp();
        owner.set_name(scene);
        owner.set_video_name(video);
    }

    // The anchor is a 20 x 40 picture with its base point at the given fractions, drawn at (x, y).
    void place_anchor(double base_x, double base_y, float x, float y) {
        dir.write_bytes("anchor.png", testsupport::flat_png(20, 40, 200));
        configure("Objects:\n  anchor:\n    SceneObject: {absolute_x: " + std::to_string(x) + ", absolute_y: " +
                  std::to_string(y) + "}\n    Image: {image_file: anchor.png, x_base: " + std::to_string(base_x) +
                  ", y_base: " + std::to_string(base_y) +
                  "}\n  follower: {SceneObject: {coord_type: link, link_object: anchor}}\n");
        StderrCapture capture;
        ASSERT_TRUE(load(anchor, "anchor", &owner)) << anchor._get_error();
        owner.add_object("anchor", &anchor, 0);
        anchor.draw();
        ASSERT_TRUE(load(follower, "follower", &owner));
    }

    // Places the follower; false when it cannot be placed.
    bool place(const std::string& v_align, const std::string& h_align, float v_offset = 0, float h_offset = 0) {
        follower._set_link_v_align(v_align);
        follower._set_link_h_align(h_align);
        follower._set_link_v_offset(v_offset);
        follower._set_link_h_offset(h_offset);
        return follower.calculate_position();
    }
    Point at() { return {follower._get_x(), follower._get_y()}; }

    Scene owner;
    Image anchor;
    PlainObject follower;
};

TEST_F(Layout, AbsoluteIsScaledIntoTheAreaOfAParentScene) {
    configure("Objects: {box: {SceneObject: {absolute_x: 200, absolute_y: 300}}}\n");
    ASSERT_TRUE(load(follower, "box", &owner));
    ASSERT_TRUE(follower.calculate_position());
    EXPECT_EQ(at(), Point(200, 300));  // without a parent: the configured point
    Scene parent;                      // the owner fills (100, 50)-(500, 350) of its 800 x 600 parent
    parent.set_width(800), parent.set_height(600);
    owner.set_parent(&parent);
    owner.set_width(400), owner.set_height(300), owner.set_x(100), owner.set_y(50);
    ASSERT_TRUE(follower.calculate_position());
    EXPECT_EQ(at(), Point(200, 200));
    // A parent without a size cannot scale anything: the position stays.
    parent.set_height(0);
    parent.set_name("outer");
    EXPECT_FALSE(follower.calculate_position());
    EXPECT_EQ(follower._get_error(), "Can't place object \"box\": parent scene \"outer\" has size 800x0");
    EXPECT_EQ(at(), Point(200, 200));
}

TEST_F(Layout, LinkAlignsAgainstTheLinkedRectangleOrItsBasePointOrFails) {
    place_anchor(0, 0, 10, 20);                           // rectangle (10, 20)-(30, 60)
    ASSERT_TRUE(place("center", "center", -0.5f, 1.0f));  // offsets in the linked object's height and width
    EXPECT_EQ(at(), Point(40, 20));
    ASSERT_TRUE(place("top", "left"));  // "top" is the greater y
    EXPECT_EQ(at(), Point(10, 60));
    ASSERT_TRUE(place("bottom", "right"));
    EXPECT_EQ(at(), Point(30, 20));
    place_anchor(0.25, 0.75, 100, 100);  // rectangle (95, 70)-(115, 110)
    ASSERT_TRUE(place("base_point", "base_point"));
    EXPECT_EQ(at(), Point(100, 100));
    ASSERT_TRUE(place("base_point", "base_point", 0.5f, 0.5f));
    EXPECT_EQ(at(), Point(110, 120));
    // An unknown kind or object keeps the position and names the cause.
    EXPECT_FALSE(place("middle", "left"));
    EXPECT_EQ(follower._get_error(), "Unknown v_align kind: \"middle\"");
    follower._set_link_object("nothing");
    EXPECT_FALSE(follower.calculate_position());
    EXPECT_EQ(follower._get_error(), "Unable to fine object:\"nothing\"");
    EXPECT_EQ(at(), Point(110, 120));
}

class ImageTest : public testsupport::LibraryFixture {
protected:
    void SetUp() override {
        LibraryFixture::SetUp();
        dir.write_bytes("grey.png", testsupport::flat_png(8, 8, 200));
    }
    void configure_logo(const std::string& image_keys) {
        configure("Objects:\n  logo:\n    SceneObject: {show: 'true'}\n    Image: {" + image_keys + "}\n");
    }
    Image image;
};

TEST_F(ImageTest, LoadMakesImageAndSpriteWithItsBasePointAndWritesOneLine) {
    configure_logo("image_file: grey.png, loader: png, x_base: abc, y_base: 0.25");
    StderrCapture capture;
    ASSERT_TRUE(load(image, "logo")) << image._get_error();
    EXPECT_EQ(capture.text(), "logo loaded\n");
    ASSERT_EQ(image._get__sprite_(), device()->get_sprite("logo", scene));
    EXPECT_EQ(image._get__sprite_()->get_base_x(), 0.0);
    EXPECT_EQ(image._get__sprite_()->get_base_y(), 0.25);
    EXPECT_EQ(device()->get_image("logo", scene)->get_width(), 8);
}

// Failures that reach the scene's error line (a file that cannot be read: faults_test.cpp).
TEST_F(ImageTest, EveryLoadFailureStoresItsReasonAndWritesNothing) {
    configure(
        "Objects:\n  jpg: {Image: {image_file: grey.png, loader: jpg}}\n"
        "  bogus: {Text: {text: Hello, renderer_type: bogus}}\n");
    StderrCapture capture;
    EXPECT_FALSE(load(image, "jpg"));
    EXPECT_EQ(image._get_error(), "Can't load image:" + imageloader_error());
    EXPECT_EQ(image._get__sprite_(), nullptr);
    Text bogus;
    EXPECT_FALSE(load(bogus, "bogus"));
    EXPECT_EQ(bogus._get_error(),
              "..\\..\\sceneengine\\sceneobjects\\text: Can't get renderer:" + textrenderer_error());
    EXPECT_EQ(capture.text(), "");
}

// A 2 x 4 picture at (0, 0), its alpha by row: 128 0 / 127 255 / 0 0 / 0 255.
TEST_F(ImageTest, HitsTheRectangleEdgesIncludedOrWithAlphaTheHalfOpaquePixels) {
    std::vector<std::uint8_t> rgba;
    for (std::uint8_t alpha : {128, 0, 127, 255, 0, 0, 0, 255}) rgba.insert(rgba.end(), {255, 0, 0, alpha});
    dir.write_bytes("mask.png", testsupport::encode_png(2, 4, rgba));
    configure_logo("image_file: mask.png, x_base: 0, y_base: 0");
    StderrCapture capture;
    ASSERT_TRUE(load(image, "logo")) << image._get_error();
    image.draw();
    const auto hits = [this](std::vector<Point> points) {
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

using TextTest = testsupport::LibraryFixture;

TEST_F(TextTest, SizeAndColourReadWithBaseZeroAndDefaults) {
    configure(R"(Objects:
  hex: {Text: {text: a, font_size: '0x10', color: '0x10'}}
  octal: {Text: {text: a, font_size: '010', color: '010'}}
  word: {Text: {text: a, font_size: pt, color: red}}
  huge: {Text: {text: a, font_size: '0x100000010', color: '0x100000000'}}
  negative: {Text: {text: a, font_size: '-3', color: '-256'}}
)");
    const struct {
        const char* name;
        int size;
        std::uint32_t color;
    } cases[] = {
        {"hex", 16, 16u},           {"octal", 8, 8u}, {"word", 0, 0u}, {"huge", 16, 0u}, {"negative", -3, 0xffffff00u},
        {"absent", 14, 0xffffffffu}};
    StderrCapture capture;
    for (const auto& expected : cases) {
        Text object;
        load(object, expected.name);
        EXPECT_EQ(object._get_font_size(), expected.size) << expected.name;
        EXPECT_EQ(object._get_color(), expected.color) << expected.name;
        EXPECT_EQ(object._get_renderer_type(), "ttf");
    }
}

// Colour bytes are red, green, blue, alpha; the sprite is placed at its base point and hit there.
TEST_F(TextTest, DrawPlacesTheSpriteInItsColourAndHitsIt) {
    configure("Objects:\n  title:\n    SceneObject: {absolute_x: 100, absolute_y: 100}\n    Text: {text: HH, font: '" +
              font_file + "', font_size: 24, color: '0xff000080', x_base: 0, y_base: 1}\n");
    Text text;
    StderrCapture capture;
    ASSERT_TRUE(load(text, "title")) << text._get_error();
    EXPECT_EQ(capture.text(), "");  // a Text writes no line on success
    Video_Image* image = device()->get_image("title", scene);
    std::uint32_t most_opaque = 0xffffff00u;
    for (int i = 0; i < image->get_width() * image->get_height(); ++i)
        if (video_pixel::alpha(image->get_pixels()[i]) > video_pixel::alpha(most_opaque))
            most_opaque = image->get_pixels()[i];
    EXPECT_EQ(video_pixel::red(most_opaque), 255);
    EXPECT_EQ(video_pixel::green(most_opaque), 0);
    EXPECT_NEAR(video_pixel::alpha(most_opaque), 128, 1);
    text.draw();
    EXPECT_TRUE(text._is_point_in_object(105, 95));
    EXPECT_FALSE(text._is_point_in_object(95, 105));
}

class TimerTest : public testsupport::LibraryFixture {
protected:
    void SetUp() override {
        LibraryFixture::SetUp();
        time_use_manual_clock(true);
    }
    void TearDown() override {
        time_use_manual_clock(false);
        LibraryFixture::TearDown();
    }

    // Loads the timer "t1" of the given Timer keys and records its time-outs.
    void load_timer(const std::string& keys) {
        configure("Objects: {t1: {Timer: {" + keys + "}}}\n");
        ASSERT_TRUE(load(timer, "t1")) << timer._get_error();
        on_signal(scene + "->t1->time_out", "listener",
                  [this](SlotArgs* args) { fired.push_back(args->get_float(0)); });
    }
    // The elapsed time of each time-out, after cycles that many seconds apart.
    std::vector<float> cycles_after(std::initializer_list<double> seconds) {
        for (double step : seconds) {
            time_advance(step);
            EXPECT_FALSE(timer.slot__on_new_cycle(nullptr));
        }
        return fired;
    }

    Timer timer;
    std::vector<float> fired;
};

// One-shot unless repeat is "true", after a second unless told otherwise; each time-out gives the time elapsed.
TEST_F(TimerTest, OneShotByDefaultFiresOnceWithTheElapsedTime) {
    load_timer("repeat: 'True'");
    EXPECT_EQ(cycles_after({0.5, 0.49}), std::vector<float>{});
    ASSERT_EQ(cycles_after({0.01, 0.25, 1e6, 1e6}).size(), 1u);
    EXPECT_FLOAT_EQ(fired[0], 1.0f);
}

TEST_F(TimerTest, RepeatingTimerMeasuresAgainFromEachFiring) {
    load_timer("time: 0.5, repeat: 'true'");
    // 0.55 since the last firing; lateness does not carry over; called rarely: once, with the whole time.
    ASSERT_EQ(cycles_after({0.5, 0.25, 0.3, 0.49, 3.5}).size(), 3u);
    EXPECT_FLOAT_EQ(fired[0], 0.5f);
    EXPECT_FLOAT_EQ(fired[1], 0.55f);
    EXPECT_FLOAT_EQ(fired[2], 3.99f);
    timer._set_time(NAN);  // a limit that is no number never fires
    EXPECT_EQ(cycles_after({100}).size(), 3u);
}

}  // namespace
