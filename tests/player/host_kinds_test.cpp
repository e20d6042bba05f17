// The player's own object kinds, loaded from scene files into real scenes on
// a headless device and driven through the signal bus as the frame loop
// drives them.
#include <gtest/gtest.h>

#include <memory>

#include "platform/video/headless_device.h"
#include "player/kinds/button.h"
#include "player/kinds/host_kinds.h"
#include "player/kinds/scene_switch.h"
#include "sceneengine/scenemanager/scene/scene.h"
#include "sceneengine/scenemanager/sceneengine.h"
#include "services/fileio.h"
#include "services/signals.h"
#include "tests/support/library_fixture.h"

namespace {

// width x height pixels of one colour (0xRRGGBBAA); with round set, only a
// disc filling the square is opaque and the corners are transparent.
std::vector<std::uint8_t> picture(int size, std::uint32_t rgba, bool round) {
    std::vector<std::uint8_t> bytes;
    const float centre = size / 2.0f;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float dx = x + 0.5f - centre, dy = y + 0.5f - centre;
            const bool inside = !round || dx * dx + dy * dy <= centre * centre;
            bytes.insert(bytes.end(), {std::uint8_t(rgba >> 24), std::uint8_t(rgba >> 16), std::uint8_t(rgba >> 8),
                                       std::uint8_t(inside ? rgba : 0)});
        }
    return testsupport::encode_png(size, size, bytes);
}

void raise(const std::string& name, std::vector<float> floats, std::vector<std::int64_t> ints) {
    Signal signal;
    signal.set_name(name);
    signal.clear_params();
    for (float value : floats) signal.add_params(value);
    for (std::int64_t value : ints) signal.add_params(value);
    signal.rise();
}

// The library fixture on a 200 x 100 device, with the player's kinds.
class HostKinds : public testsupport::LibraryFixture {
protected:
    void SetUp() override {
        LibraryFixture::SetUp();
        video_unregister(video);
        make_device(video, 200, 100);
        player::register_host_kinds();
        player::request_scene("");
        dir.write_bytes("round.png", picture(40, 0xff0000ffu, true));
        dir.write_bytes("hover.png", picture(40, 0x0000ffffu, true));
        dir.write_bytes("square.png", picture(60, 0x00ff00ffu, false));
    }

    void TearDown() override {
        scenes.clear();
        LibraryFixture::TearDown();
    }

    // A scene of the file content, loaded; null (with the load's lines in
    // errors) when it does not load.
    Scene* load(const std::string& name, const std::string& content, std::string* errors = nullptr) {
        scenes.push_back(make_scene(name, content));
        testsupport::StderrCapture capture;
        const bool loaded = scenes.back()->load_scene();
        if (errors) *errors = capture.text();
        return loaded ? scenes.back().get() : nullptr;
    }

    void press(float x, float y) { raise(std::string(video) + "->mouse_press", {x, y, 0, 0}, {1}); }
    void move(float x, float y) { raise(std::string(video) + "->mouse_move", {x, y, 0, 0}, {0}); }
    void key(int code) { raise(std::string(video) + "->keyboard_press", {}, {code}); }

    std::vector<testsupport::ScenePtr> scenes;
};

// A round button (alpha hit test, hover picture) over a square one, both
// centred on (50, 50).
const char* stacked_buttons =
    "Scene:\n"
    "  Objects:\n"
    "    Object0: {name: under, z_level: 1, type: Button}\n"
    "    Object1: {name: round, z_level: 2, type: Button}\n"
    "Objects:\n"
    "  under:\n"
    "    SceneObject: {absolute_x: 50, absolute_y: 50}\n"
    "    Image: {image_file: square.png}\n"
    "    Button: {target: below}\n"
    "  round:\n"
    "    SceneObject: {absolute_x: 50, absolute_y: 50, require_alpha_collision: true}\n"
    "    Image: {image_file: round.png}\n"
    "    Button: {target: above, hover_image: hover.png}\n";

TEST_F(HostKinds, AButtonClickedAsksForItsTargetAndTransparentCornersPassThrough) {
    Scene* scene = load("stack", stacked_buttons);
    ASSERT_NE(scene, nullptr);
    auto* round = dynamic_cast<player::Button*>(scene->get_object("round"));
    ASSERT_NE(round, nullptr);
    EXPECT_EQ(round->_get_target(), "above");
    scene->slot__on_activate(nullptr);
    ASSERT_TRUE(scene->draw());

    press(150, 50);  // on nothing
    EXPECT_EQ(player::last_requested_scene(), "");
    press(50, 50);
    EXPECT_EQ(player::last_requested_scene(), "above");
    press(32, 32);  // inside the round button's square, on its transparent corner
    EXPECT_EQ(player::last_requested_scene(), "below");
    press(50, 69);  // the round button's opaque lower edge
    EXPECT_EQ(player::last_requested_scene(), "above");
}

TEST_F(HostKinds, AButtonShowsItsHoverPictureWhileThePointerIsOverIt) {
    Scene* scene = load("hover", stacked_buttons);
    ASSERT_NE(scene, nullptr);
    auto* round = dynamic_cast<player::Button*>(scene->get_object("round"));
    ASSERT_NE(round, nullptr);
    scene->slot__on_activate(nullptr);
    scene->draw();

    auto shown_image = [&] { return device()->get_sprite("round", "hover")->image_name; };
    auto centre_pixel = [&] {
        scene->draw();
        device()->update_screen();
        return device()->presented_pixel(50, 50);
    };
    EXPECT_EQ(centre_pixel(), 0xff0000ffu);

    move(50, 50);
    EXPECT_EQ(centre_pixel(), 0x0000ffffu);
    EXPECT_TRUE(round->_get_hovered());
    EXPECT_EQ(shown_image(), "round->hover");
    move(52, 50);  // still over it: nothing changes
    EXPECT_EQ(centre_pixel(), 0x0000ffffu);

    move(32, 32);  // the transparent corner: the square below is hovered instead
    EXPECT_EQ(centre_pixel(), 0xff0000ffu);
    EXPECT_FALSE(round->_get_hovered());
    EXPECT_EQ(shown_image(), "round");
    // The sprite kept its place and base point through the swaps.
    VideoRect rect;
    round->_get_active_area_rect(&rect);
    EXPECT_DOUBLE_EQ(rect.x1, 30);
    EXPECT_DOUBLE_EQ(rect.y2, 70);
}

TEST_F(HostKinds, ButtonsThatCannotWorkFailToLoadWithAReason) {
    std::string errors;
    EXPECT_EQ(load("untargeted",
                   "Scene: {Objects: {Object0: {name: b, type: Button}}}\n"
                   "Objects: {b: {Image: {image_file: square.png}}}\n",
                   &errors),
              nullptr);
    EXPECT_NE(errors.find("SCENE:127: Error: Button \"b\" has no \"Button->target\" (a scene name or \"exit\")\n"),
              std::string::npos)
        << errors;

    EXPECT_EQ(load("nohover",
                   "Scene: {Objects: {Object0: {name: b, type: Button}}}\n"
                   "Objects: {b: {Image: {image_file: square.png}, Button: {target: x, hover_image: gone.png}}}\n",
                   &errors),
              nullptr);
    EXPECT_NE(errors.find("SCENE:127: Error: Can't load hover image:"), std::string::npos) << errors;
    EXPECT_NE(errors.find("gone.png"), std::string::npos) << errors;

    EXPECT_EQ(load("nopicture",
                   "Scene: {Objects: {Object0: {name: b, type: Button}}}\n"
                   "Objects: {b: {Button: {target: x}}}\n",
                   &errors),
              nullptr);
    EXPECT_NE(errors.find("SCENE:127: Error: Can't load image:"), std::string::npos) << errors;
}

// A switch that any key moves on, and a "tick" signal of the scene too.
const char* key_switch =
    "Scene:\n"
    "  Objects:\n"
    "    Object0: {name: go, type: SceneSwitch}\n"
    "Objects:\n"
    "  go:\n"
    "    SceneObject: {absolute_x: 50, absolute_y: 50}\n"
    "    SceneSwitch: {target: onwards}\n"
    "    signals:\n"
    "      signal0: {connect: on_load, type: builtin, signal_source: Video, signal_name: keyboard_press, "
    "slot_name: _on_key_press}\n"
    "      signal1: {connect: on_load, signal_source: keys->clock, signal_name: tick, slot_name: _on_trigger}\n";

TEST_F(HostKinds, ASceneSwitchMovesOnWhenItsConnectedSignalsAreRaised) {
    Scene* scene = load("keys", key_switch);
    ASSERT_NE(scene, nullptr);
    auto* go = dynamic_cast<player::SceneSwitch*>(scene->get_object("go"));
    ASSERT_NE(go, nullptr);
    EXPECT_EQ(go->_get_target(), "onwards");
    EXPECT_EQ(go->_get__slot_map_().back().first, "keys->go->_on_trigger");

    scene->slot__on_activate(nullptr);
    key(32);
    EXPECT_EQ(player::last_requested_scene(), "onwards");

    player::request_scene("");
    raise("keys->clock->tick", {5.0f}, {});
    EXPECT_EQ(player::last_requested_scene(), "onwards");

    // Characters and clicks reach it through its built-in slots.
    player::request_scene("");
    SlotArgs none;
    go->slot__on_character(&none);
    EXPECT_EQ(player::last_requested_scene(), "onwards");
    player::request_scene("");
    go->slot__on_mouse_release(&none);
    EXPECT_EQ(player::last_requested_scene(), "onwards");

    // A scene that is not shown does not react.
    scene->slot__on_deactivate(nullptr);
    player::request_scene("");
    key(32);
    raise("keys->clock->tick", {5.0f}, {});
    EXPECT_EQ(player::last_requested_scene(), "");
}

TEST_F(HostKinds, ASceneSwitchIsInvisibleAndNeverHit) {
    Scene* scene = load("ghost", key_switch);
    ASSERT_NE(scene, nullptr);
    scene->slot__on_activate(nullptr);
    ASSERT_TRUE(scene->draw());
    device()->update_screen();
    EXPECT_EQ(device()->presented_pixel(50, 50), device()->presented_pixel(0, 0));
    EXPECT_FALSE(scene->get_object("go")->_is_point_in_object(50, 50));
    press(50, 50);
    EXPECT_EQ(scene->get_focused_object(), nullptr);
    EXPECT_EQ(player::last_requested_scene(), "");
}

TEST_F(HostKinds, ASceneSwitchWithoutTargetFailsToLoad) {
    std::string errors;
    EXPECT_EQ(load("lost", "Scene: {Objects: {Object0: {name: s, type: SceneSwitch}}}\n", &errors), nullptr);
    EXPECT_NE(errors.find("SCENE:127: Error: SceneSwitch \"s\" has no \"SceneSwitch->target\" (a scene name or "
                          "\"exit\")\n"),
              std::string::npos)
        << errors;
}

}  // namespace
