// The built-in object kinds: the keys every object shares, its signal
// connections, its placement, and the Image, Text and Timer kinds.

#include <cfloat>
#include <climits>
#include <cmath>

#include "sceneengine/sceneobjects/image.h"
#include "sceneengine/sceneobjects/text/text.h"
#include "sceneengine/sceneobjects/timer.h"
#include "services/imageloader.h"
#include "services/textrenderer.h"
#include "services/time.h"
#include "tests/support/library_fixture.h"

namespace {

using testsupport::disc_png;
using testsupport::solid_png;
using testsupport::StderrCapture;
using testsupport::Strings;

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
    configure(R"(Objects:
  button:
    SceneObject: {coord_type: link, absolute_x: 12.5px, link_h_offset: 1e300, require_alpha_collision: 'true'}
  upper: {SceneObject: {show: 'TRUE', require_alpha_collision: 'True'}}
  digit: {SceneObject: {show: '1'}}
)");
    PlainObject plain, button, upper, digit;
    ASSERT_TRUE(load(plain, "plain") && load(button, "button") && load(upper, "upper") && load(digit, "digit"));
    EXPECT_EQ(plain._get_coord_type(), "absolute");
    EXPECT_EQ(plain._get_link_v_align(), "center");
    EXPECT_EQ(plain._get_link_h_align(), "center");
    EXPECT_TRUE(plain._get_show());
    EXPECT_FALSE(plain._get_require_alpha_collision());
    EXPECT_EQ(button._get_absolute_x(), 12.5f);
    EXPECT_EQ(button._get_link_h_offset(), INFINITY);  // beyond float: infinity, not garbage
    EXPECT_TRUE(button._get_require_alpha_collision());
    EXPECT_FALSE(upper._get_show());
    EXPECT_FALSE(upper._get_require_alpha_collision());
    EXPECT_FALSE(digit._get_show());
}

TEST_F(SceneObjectLoad, MissingConfigurationFailsBeforeReadingAnything) {
    PlainObject object;
    EXPECT_FALSE(load(object, "button"));
    EXPECT_EQ(object._get_error(), "Can't get config interface:" + config_error());
    EXPECT_TRUE(object._get__slot_map_().empty());
    EXPECT_EQ(object._get__object_name_(), "button");  // kept, so the scene can say which object failed
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
    const std::string S = scene + "->", O = S + "button->";
    // "Video" of the builtin type stands for the device's name; anything else is a plain source.
    EXPECT_TRUE(signals_is_connected(std::string(video) + "->keyboard_press", O + "_on_key_press"));
    EXPECT_EQ(object._get__signal_connections_().size(), 6u);  // the list ends at the entry without source
    EXPECT_TRUE(signals_is_connected(S + "reinit", O + "_on_scene_reinit"));
    EXPECT_FALSE(signals_is_connected("Video->character", O + "_on_character"));
    EXPECT_FALSE(signals_is_connected(S + "activate", O + "_on_activate"));

    Signal key(std::string(video) + "->keyboard_press");
    key.rise();
    EXPECT_EQ(object.key_presses, 1);
    Signal release(std::string(video) + "->keyboard_release");
    release.rise();
    EXPECT_EQ(object.key_presses, 1);
    disconnect(std::string(video) + "->keyboard_press", O + "_on_key_press");
    Signal reinit(S + "reinit");
    reinit.rise();  // the reinit slot connects the on-load ones again, from inside the rise
    key.rise();
    EXPECT_EQ(object.key_presses, 2);

    object.connect_signals(false);  // the focus: every connection
    EXPECT_TRUE(signals_is_connected("clock->tock", O + "_on_key_release"));
    Signal activate(S + "activate");
    activate.rise();
    EXPECT_EQ(object.activations, 1);

    object.disconnect_signals(false);  // focus lost: on-request ones and the reinit link go
    EXPECT_TRUE(signals_is_connected(std::string(video) + "->keyboard_press", O + "_on_key_press"));
    EXPECT_FALSE(signals_is_connected("clock->tock", O + "_on_key_release"));
    EXPECT_FALSE(signals_is_connected(S + "reinit", O + "_on_scene_reinit"));
    activate.rise();
    EXPECT_EQ(object.activations, 1);

    object.disconnect_signals(true);  // removal: everything goes
    object.unregister_slots();
    EXPECT_FALSE(signals_is_connected(std::string(video) + "->keyboard_press", O + "_on_key_press"));
    EXPECT_FALSE(signals_is_registered(O + "_on_activate"));
}

class Layout : public testsupport::LibraryFixture {
protected:
    void SetUp() override {
        LibraryFixture::SetUp();
        owner.set_name(scene);
        owner.set_video_name(video);
    }

    // The anchor is a 20 x 40 picture with its base point at the given
    // fractions, drawn at (x, y).
    void place_anchor(double base_x, double base_y, float x, float y) {
        const std::string file = dir.write_bytes("anchor.png", solid_png(20, 40, 0x00ff00ffu));
        configure("Objects:\n  anchor:\n    SceneObject: {absolute_x: " + std::to_string(x) +
                  ", absolute_y: " + std::to_string(y) + "}\n    Image: {image_file: '" + file +
                  "', x_base: " + std::to_string(base_x) + ", y_base: " + std::to_string(base_y) +
                  "}\n  follower: {SceneObject: {coord_type: link, link_object: anchor}}\n");
        StderrCapture capture;
        ASSERT_TRUE(load(anchor, "anchor", &owner)) << anchor._get_error();
        owner.add_object("anchor", &anchor, 0);
        anchor.draw();
        ASSERT_TRUE(load(follower, "follower", &owner));
    }

    bool place(const std::string& v_align, const std::string& h_align, float v_offset = 0, float h_offset = 0) {
        follower._set_link_v_align(v_align);
        follower._set_link_h_align(h_align);
        follower._set_link_v_offset(v_offset);
        follower._set_link_h_offset(h_offset);
        return follower.calculate_position();
    }

    void expect_at(float x, float y) {
        EXPECT_EQ(follower._get_x(), x);
        EXPECT_EQ(follower._get_y(), y);
    }

    Scene owner;
    Image anchor;
    PlainObject follower;
};

TEST_F(Layout, AbsoluteIsScaledIntoTheAreaOfAParentScene) {
    configure("Objects: {box: {SceneObject: {absolute_x: 200, absolute_y: 300}}}\n");
    ASSERT_TRUE(load(follower, "box", &owner));
    ASSERT_TRUE(follower.calculate_position());
    expect_at(200, 300);  // without a parent: the configured point
    Scene parent;
    parent.set_width(800);
    parent.set_height(600);
    owner.set_parent(&parent);
    owner.set_width(400);
    owner.set_height(300);
    owner.set_x(100);
    owner.set_y(50);
    ASSERT_TRUE(follower.calculate_position());
    expect_at(200, 200);

    // A parent without a size cannot scale anything: the position stays.
    parent.set_height(0);
    parent.set_name("outer");
    EXPECT_FALSE(follower.calculate_position());
    EXPECT_EQ(follower._get_error(), "Can't place object \"box\": parent scene \"outer\" has size 800x0");
    expect_at(200, 200);
}

TEST_F(Layout, LinkAlignsAgainstTheLinkedRectangle) {
    place_anchor(0, 0, 10, 20);  // rectangle (10, 20)-(30, 60)
    ASSERT_TRUE(place("center", "center"));
    expect_at(20, 40);
    ASSERT_TRUE(place("center", "center", -0.5f, 1.0f));  // offsets in the linked object's height and width
    expect_at(40, 20);
    ASSERT_TRUE(place("top", "left"));  // "top" is the greater y
    expect_at(10, 60);
    ASSERT_TRUE(place("bottom", "right"));
    expect_at(30, 20);
}

TEST_F(Layout, BasePointIsTheLinkedSpritesAnchor) {
    place_anchor(0.25, 0.75, 100, 100);  // rectangle (95, 70)-(115, 110)
    ASSERT_TRUE(place("base_point", "base_point"));
    expect_at(100, 100);
    anchor.draw();
    ASSERT_TRUE(place("base_point", "base_point", 0.5f, 0.5f));
    expect_at(110, 120);
}

TEST_F(Layout, FailuresKeepThePositionAndNameTheCause) {
    place_anchor(0, 0, 10, 20);
    ASSERT_TRUE(place("center", "center"));
    follower._set_link_object("nothing");
    EXPECT_FALSE(follower.calculate_position());
    EXPECT_EQ(follower._get_error(), "Unable to fine object:\"nothing\"");
    follower._set_link_object("anchor");
    EXPECT_FALSE(place("middle", "left"));
    EXPECT_EQ(follower._get_error(), "Unknown v_align kind: \"middle\"");
    expect_at(20, 40);
    EXPECT_FALSE(place("top", "Left"));  // the vertical alignment is applied before the horizontal one fails
    EXPECT_EQ(follower._get_error(), "Unknown h_align kind: \"Left\"");
    expect_at(20, 60);
    follower._set_coord_type("relative");
    EXPECT_FALSE(follower.calculate_position());
    EXPECT_EQ(follower._get_error(), "Unknown coord kind: relative");
}

class ImageTest : public testsupport::LibraryFixture {
protected:
    void configure_logo(const std::string& image_keys, const std::string& object_keys = "show: 'true'") {
        configure("Objects:\n  logo:\n    SceneObject: {" + object_keys + "}\n    Image: {" + image_keys + "}\n");
    }
    std::string red_square() { return dir.write_bytes("red.png", solid_png(8, 8, 0xff0000ffu)); }

    Image image;
};

TEST_F(ImageTest, LoadMakesImageAndSpriteWithItsBasePointAndWritesOneLine) {
    configure_logo("image_file: '" + red_square() + "', loader: png, x_base: abc, y_base: 0.25");
    StderrCapture capture;
    ASSERT_TRUE(load(image, "logo")) << image._get_error();
    EXPECT_EQ(capture.text(), "logo loaded\n");
    ASSERT_EQ(image._get__sprite_(), device()->get_sprite("logo", scene));
    EXPECT_EQ(image._get__sprite_()->get_base_x(), 0.0);
    EXPECT_EQ(image._get__sprite_()->get_base_y(), 0.25);
    EXPECT_EQ(device()->get_image("logo", scene)->get_width(), 8);
}

TEST_F(ImageTest, EveryLoadFailureStoresItsTextAndWritesNothing) {
    const std::string file = red_square();
    configure(R"(Objects:
  empty: {Image: {image_file: ''}}
  missing: {Image: {image_file: ')" + dir.str() + R"(/none.png'}}
  unknown_loader: {Image: {image_file: ')" + file + R"(', loader: nonsense}}
  wrong_loader: {Image: {image_file: ')" + file + R"(', loader: jpg}}
  logo: {Image: {image_file: ')" + file + R"('}}
)");
    StderrCapture capture;
    for (const char* name : {"empty", "missing", "unknown_loader", "wrong_loader"}) {
        Image failing;
        EXPECT_FALSE(load(failing, name)) << name;
        EXPECT_EQ(failing._get_error(), "Can't load image:" + imageloader_error()) << name;
        EXPECT_EQ(failing._get__sprite_(), nullptr);
    }
    use_recorder();
    recorder.refuse_sprites = true;
    EXPECT_FALSE(load(image, "logo"));
    EXPECT_EQ(image._get_error(), "Can't create sprite: sprites refused");
    recorder.refuse_sprites = false;
    recorder.lose_sprites = true;
    Image lost;
    EXPECT_FALSE(load(lost, "logo"));
    EXPECT_EQ(lost._get_error(), "Can't get sprite: sprite lost");
    EXPECT_EQ(capture.text(), "");
}

TEST_F(ImageTest, DrawPlacesTheSpriteFoundByNameEveryFrame) {
    use_recorder();
    configure_logo("image_file: '" + red_square() + "'", "absolute_x: 40, absolute_y: 30");
    StderrCapture capture;
    ASSERT_TRUE(load(image, "logo"));
    image.draw();
    ASSERT_EQ(recorder.drawn, Strings{"logo@" + scene});
    EXPECT_EQ(image._get__sprite_()->get_x(), 40.0);
    EXPECT_EQ(image._get__sprite_()->get_y(), 30.0);
    image._set_show(false);
    image.draw();
    EXPECT_EQ(recorder.drawn.size(), 1u);
    image._set_show(true);

    // The host re-creates its device, and the picture with it.
    testsupport::RecordingDevice second;
    const std::uint32_t pixel = video_pixel::make(255, 0, 0, 255);
    second.create_image("logo", scene, 1, 1, &pixel);
    second.create_sprite("logo", scene, "logo", scene, true);
    video_unregister(video);
    video_register(video, &second);
    image.draw();
    EXPECT_EQ(image._get__sprite_(), second.get_sprite("logo", scene));
    EXPECT_EQ(second.get_sprite("logo", scene)->get_x(), 40.0);
    // A device without the sprite: nothing is drawn or hit.
    video_unregister(video);
    video_register(video, &recorder);
    recorder.sprites.clear();
    image.draw();
    EXPECT_EQ(recorder.drawn.size(), 1u);
    EXPECT_FALSE(image._is_point_in_object(40, 30));
}

class ImageHitTest : public ImageTest {
protected:
    // A 20 x 20 disc centred on (100, 100): its rectangle is (90, 90)-(110, 110).
    void load_button(bool alpha) {
        const std::string file = dir.write_bytes("button.png", disc_png(20, 0x2080c0ffu));
        configure_logo("image_file: '" + file + "'", std::string("absolute_x: 100, absolute_y: 100, ") +
                                                         "require_alpha_collision: '" + (alpha ? "true" : "false") +
                                                         "'");
        StderrCapture capture;
        ASSERT_TRUE(load(image, "logo")) << image._get_error();
        image.draw();
    }
};

TEST_F(ImageHitTest, RectangleEdgesBelongToTheObject) {
    load_button(false);
    EXPECT_TRUE(image._is_point_in_object(90, 90));  // a transparent corner, but no alpha test
    EXPECT_TRUE(image._is_point_in_object(110, 110));
    EXPECT_FALSE(image._is_point_in_object(89.99f, 100));
    EXPECT_FALSE(image._is_point_in_object(100, 110.01f));
    EXPECT_FALSE(image._is_point_in_object(NAN, 100));
}

TEST_F(ImageHitTest, RoundButtonCornerMissesMiddleHitsEdgeIsSafe) {
    load_button(true);
    EXPECT_FALSE(image._is_point_in_object(90.5f, 90.5f));
    EXPECT_FALSE(image._is_point_in_object(109.5f, 90.5f));
    EXPECT_TRUE(image._is_point_in_object(100, 100));
    // On the far edges the last column or row is read, never one past it.
    EXPECT_TRUE(image._is_point_in_object(110, 100));
    EXPECT_TRUE(image._is_point_in_object(100, 110));
    EXPECT_FALSE(image._is_point_in_object(110, 110));
    EXPECT_FALSE(image._is_point_in_object(NAN, NAN));
}

TEST_F(ImageHitTest, HalfOpaqueIsTheThresholdAndAnUnevenPictureIsReadByRowAndColumn) {
    // A 1 x 4 picture, rows of alpha 128 (hit), 127 (miss), 0, 255.
    const std::vector<std::uint8_t> pixels = {255, 0, 0, 128, 255, 0, 0, 127, 0, 0, 0, 0, 0, 0, 0, 255};
    const std::string file = dir.write_bytes("half.png", testsupport::encode_png(1, 4, pixels));
    configure_logo("image_file: '" + file + "', x_base: 0, y_base: 0", "require_alpha_collision: 'true'");
    StderrCapture capture;
    ASSERT_TRUE(load(image, "logo"));
    image.draw();
    EXPECT_TRUE(image._is_point_in_object(0.5f, 0.5f));
    EXPECT_FALSE(image._is_point_in_object(0.5f, 1.5f));
    EXPECT_FALSE(image._is_point_in_object(0.9f, 2.5f));
    EXPECT_TRUE(image._is_point_in_object(0.9f, 3.5f));
}

TEST_F(ImageHitTest, ZeroSizedSpriteNeverPassesTheAlphaTest) {
    use_recorder();
    recorder.sprite_width = 0;
    const std::string file = dir.write_bytes("button.png", disc_png(20, 0x2080c0ffu));
    configure_logo("image_file: '" + file + "', x_base: 0, y_base: 0", "absolute_x: 5, absolute_y: 5");
    StderrCapture capture;
    ASSERT_TRUE(load(image, "logo"));
    image.draw();
    EXPECT_TRUE(image._is_point_in_object(5, 10));  // on the degenerate rectangle
    image._set_require_alpha_collision(true);
    EXPECT_FALSE(image._is_point_in_object(5, 10));
}

class TextTest : public testsupport::LibraryFixture {
protected:
    // The most opaque pixel of the rendered image of name.
    std::uint32_t most_opaque_pixel(const std::string& name) {
        Video_Image* image = device()->get_image(name, scene);
        std::uint32_t best = 0xffffffffu;  // fully transparent
        for (int i = 0; image && i < image->get_width() * image->get_height(); ++i)
            if (video_pixel::alpha(image->get_pixels()[i]) > video_pixel::alpha(best)) best = image->get_pixels()[i];
        return best;
    }
};

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
    } cases[] = {{"hex", 16, 16u},          {"octal", 8, 8u},         {"word", 0, 0u},
                 {"huge", 16, 0u}, {"negative", -3, 0xffffff00u}, {"absent", 14, 0xffffffffu}};
    StderrCapture capture;
    for (const auto& expected : cases) {
        Text object;
        load(object, expected.name);
        EXPECT_EQ(object._get_font_size(), expected.size) << expected.name;
        EXPECT_EQ(object._get_color(), expected.color) << expected.name;
        EXPECT_EQ(object._get_renderer_type(), "ttf");
    }
}

TEST_F(TextTest, ColourBytesAreRedGreenBlueAlpha) {
    configure(R"(Objects:
  green: {Text: {text: 'HH', font: ')" + font_file + R"(', font_size: 24, color: '0x00ff00ff'}}
  red_half: {Text: {text: 'HH', font: ')" + font_file + R"(', font_size: 24, color: '0xff000080'}}
)");
    StderrCapture capture;
    Text green, red_half;
    ASSERT_TRUE(load(green, "green")) << green._get_error();
    ASSERT_TRUE(load(red_half, "red_half")) << red_half._get_error();
    const std::uint32_t g = most_opaque_pixel("green");
    EXPECT_EQ(video_pixel::red(g), 0);
    EXPECT_EQ(video_pixel::green(g), 255);
    EXPECT_EQ(video_pixel::alpha(g), 255);
    const std::uint32_t r = most_opaque_pixel("red_half");
    EXPECT_EQ(video_pixel::red(r), 255);
    EXPECT_EQ(video_pixel::green(r), 0);
    EXPECT_NEAR(video_pixel::alpha(r), 128, 1);
    EXPECT_EQ(capture.text(), "");  // a Text writes no line on success
}

TEST_F(TextTest, EveryLoadFailureStoresItsTextWithTheSourcePath) {
    const std::string source_path = "..\\..\\sceneengine\\sceneobjects\\text";
    configure(R"(Objects:
  title: {Text: {text: Hello, font: ')" + font_file + R"('}}
  bogus: {Text: {text: Hello, renderer_type: bogus}}
  no_font: {Text: {text: Hello, font: ')" + dir.str() + R"(/none.ttf'}}
)");
    StderrCapture capture;
    Text bogus, no_font, refused;
    EXPECT_FALSE(load(bogus, "bogus"));
    EXPECT_EQ(bogus._get_error(), source_path + ": Can't get renderer:" + textrenderer_error());
    EXPECT_FALSE(load(no_font, "no_font"));
    EXPECT_EQ(no_font._get_error(), source_path + ": Can't render text:" + textrenderer_get("ttf")->get_error());
    use_recorder();
    recorder.refuse_sprites = true;
    EXPECT_FALSE(load(refused, "title"));
    EXPECT_EQ(refused._get_error(), source_path + ": Can't create sprite: sprites refused");
}

TEST_F(TextTest, DrawPlacesTheSpriteFoundByNameAndHitsIt) {
    configure("Objects:\n  title:\n    SceneObject: {absolute_x: 100, absolute_y: 100}\n    Text: {text: Hello, font: '" +
              font_file + "', x_base: 0, y_base: 1}\n");
    Text text;
    ASSERT_TRUE(load(text, "title")) << text._get_error();
    Video_Sprite* sprite = device()->get_sprite("title", scene);
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(sprite->get_base_x(), 0.0);
    EXPECT_EQ(sprite->get_base_y(), 1.0);
    text.draw();
    EXPECT_EQ(sprite->get_x(), 100.0);
    EXPECT_EQ(sprite->get_y(), 100.0);
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

    // Loads the timer "t1" with the given keys under "Timer->" and records its time-outs.
    void load_timer(const std::string& timer_keys) {
        configure("Objects:\n  t1:\n    Timer: {" + timer_keys + "}\n");
        ASSERT_TRUE(load(timer, "t1")) << timer._get_error();
        on_signal(scene + "->t1->time_out", "listener", [this](SlotArgs* args) { fired.push_back(args->get_float(0)); });
    }

    void cycle_after(double seconds) {
        time_advance(seconds);
        EXPECT_FALSE(timer.slot__on_new_cycle(nullptr));
    }

    Timer timer;
    std::vector<float> fired;  // the elapsed time of each time-out
};

TEST_F(TimerTest, OneShotByDefaultFiresOnceWithTheElapsedTime) {
    load_timer("repeat: 'True'");
    cycle_after(0.5);
    cycle_after(0.49);
    EXPECT_TRUE(fired.empty());
    cycle_after(0.01);
    cycle_after(0.25);
    for (int i = 0; i < 5; ++i) cycle_after(1e6);
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_FLOAT_EQ(fired[0], 1.0f);
    EXPECT_EQ(timer._get_time(), FLT_MAX);
}

TEST_F(TimerTest, RepeatingTimerMeasuresAgainFromEachFiring) {
    load_timer("time: 0.5, repeat: 'true'");
    cycle_after(0.5);
    cycle_after(0.25);
    cycle_after(0.3);   // 0.55 since the last firing
    cycle_after(0.49);  // not yet: lateness does not carry over
    cycle_after(3.5);   // called rarely: once, with the whole time
    ASSERT_EQ(fired.size(), 3u);
    EXPECT_FLOAT_EQ(fired[0], 0.5f);
    EXPECT_FLOAT_EQ(fired[1], 0.55f);
    EXPECT_FLOAT_EQ(fired[2], 3.99f);
    timer._set_time(NAN);  // a limit that is no number never fires
    cycle_after(100);
    EXPECT_EQ(fired.size(), 3u);
}

TEST_F(TimerTest, TheScenesNewCycleDrivesItOnceItsSceneRegistersTheSlots) {
    configure("Objects:\n  t1:\n    Timer: {time: 1, repeat: 'true'}\n    signals:\n      signal0: {signal_source: " +
              scene + ", signal_name: new_cycle, slot_name: _on_new_cycle, connect: on_load}\n");
    ASSERT_TRUE(load(timer, "t1"));
    on_signal(scene + "->t1->time_out", "listener", [this](SlotArgs* args) { fired.push_back(args->get_float(0)); });
    Signal new_cycle(scene + "->new_cycle");
    time_advance(1.0);
    new_cycle.rise();
    EXPECT_TRUE(fired.empty());  // the slot is not registered before activation
    timer.register_slots();      // as the scene does when it is shown
    new_cycle.rise();
    EXPECT_EQ(fired, std::vector<float>{1.0f});  // counted from loading, not from activation
}

// A scene of every kind, loaded by a real Scene and drawn into a frame.
TEST_F(SceneObjectLoad, ASceneOfEveryKindShowsPictureAndText) {
    video_unregister(video);
    VideoSettings settings;
    settings.width = 200;
    settings.height = 100;
    settings.background = video_pixel::make(0, 0, 255, 255);
    ASSERT_TRUE(video_create(video, settings)) << video_error();
    dir.write_bytes("pictures/red.png", solid_png(20, 20, 0xff0000ffu));
    StderrCapture capture;
    auto drawing = loaded_scene("drawing", R"(Scene:
  show_mouse_cursor: 0
  Objects:
    Object0: {name: picture, type: Image, z_level: 0}
    Object1: {name: caption, type: Text, z_level: 1}
    Object2: {name: clock, type: Timer}
Objects:
  picture: {SceneObject: {absolute_x: 50, absolute_y: 50}, Image: {image_file: pictures/red.png}}
  caption:
    SceneObject: {absolute_x: 150, absolute_y: 50}
    Text: {text: "HH", font: ')" + font_file + R"(', font_size: 40, color: '0x00ff00ff'}
)");
    EXPECT_EQ(capture.text(), "picture loaded\n");
    ASSERT_TRUE(drawing->draw());
    device()->update_screen();
    const std::string path = dir.str() + "/frame.png";
    ASSERT_TRUE(device()->snapshot(path)) << device()->get_error();
    testsupport::RgbaImage frame;
    std::string error;
    ASSERT_TRUE(testsupport::read_png(path, frame, error)) << error;
    // The picture covers (40, 40)-(60, 60); the background shows around it.
    EXPECT_EQ(frame.at(41, 41), 0xff0000ffu);
    EXPECT_EQ(frame.at(38, 50), 0x0000ffffu);
    EXPECT_EQ(frame.at(62, 50), 0x0000ffffu);
    int green = 0;  // the text is centred on (150, 50)
    for (int y = 30; y < 70; ++y)
        for (int x = 120; x < 180; ++x) green += (frame.at(x, y) >> 16 & 0xff) > 200;
    EXPECT_GT(green, 20);
}

}  // namespace
