// The player's own object kinds in real scenes on a headless device: what
// makes them refuse to load, and a scene switch driven through the signal
// bus as the frame loop drives it. (Buttons clicked and lit: presentation_test.cpp.)
#include <gtest/gtest.h>

#include "player/kinds/host_kinds.h"
#include "player/kinds/scene_switch.h"
#include "tests/support/library_fixture.h"

namespace {

class HostKinds : public testsupport::LibraryFixture {
protected:
    void SetUp() override {
        LibraryFixture::SetUp();
        player::register_host_kinds();
        dir.write_bytes("square.png", testsupport::encode_png(1, 1, {0, 255, 0, 255}));
    }

    // A scene of the file content, loaded and shown; null (with the load's
    // lines in errors) when it does not load.
    Scene* show(const std::string& name, const std::string& content, std::string* errors = nullptr) {
        scenes.push_back(make_scene(name, content));
        testsupport::StderrCapture capture;
        const bool loaded = scenes.back()->load_scene();
        if (errors) *errors = capture.text();
        if (!loaded) return nullptr;
        scenes.back()->slot__on_activate(nullptr);
        return scenes.back().get();
    }

    // Asks for no scene, raises the signal, and says which scene was asked for then.
    static std::string asked_after(const std::string& name, std::vector<std::int64_t> ints = {}) {
        player::request_scene("");
        Signal signal;
        signal.set_name(name);
        signal.clear_params();
        for (float value : {50.0f, 50.0f, 0.0f, 0.0f}) signal.add_params(value);
        for (std::int64_t value : ints) signal.add_params(value);
        signal.rise();
        return player::last_requested_scene();
    }

    std::vector<testsupport::ScenePtr> scenes;  // freed before the library goes
    void TearDown() override {
        scenes.clear();
        LibraryFixture::TearDown();
    }
};

TEST_F(HostKinds, KindsThatCannotWorkFailToLoadWithAReason) {
    const std::string button = "Scene: {Objects: {Object0: {name: b, type: Button}}}\nObjects: {b: {";
    const std::pair<std::string, std::string> cases[] = {
        {button + "Image: {image_file: square.png}}}\n",
         "SCENE:127: Error: Button \"b\" has no \"Button->target\" (a scene name or \"exit\")\n"},
        {button + "Image: {image_file: square.png}, Button: {target: x, hover_image: gone.png}}}\n",
         "SCENE:127: Error: Can't load hover image:"},
        {button + "Button: {target: x}}}\n", "SCENE:127: Error: Can't load image:"},
        {"Scene: {Objects: {Object0: {name: s, type: SceneSwitch}}}\n",
         "SCENE:127: Error: SceneSwitch \"s\" has no \"SceneSwitch->target\" (a scene name or \"exit\")\n"},
    };
    int index = 0;
    for (const auto& [content, reason] : cases) {
        std::string errors;
        EXPECT_EQ(show("broken" + std::to_string(index++), content, &errors), nullptr) << content;
        EXPECT_NE(errors.find(reason), std::string::npos) << errors;
    }
    EXPECT_NE(show("exiting", button + "Image: {image_file: square.png}, Button: {target: exit}}}\n"), nullptr);
}

// A switch that any key moves on, and a "tick" signal of the scene too:
// never seen or hit, and deaf while its scene is not shown.
TEST_F(HostKinds, ASceneSwitchIsNeverSeenOrHitAndMovesOnAtItsSignalsWhileShown) {
    Scene* shown = show(
        "keys",
        "Scene: {Objects: {Object0: {name: go, type: SceneSwitch}}}\n"
        "Objects:\n  go:\n    SceneObject: {absolute_x: 50, absolute_y: 50}\n    SceneSwitch: {target: onwards}\n"
        "    signals:\n"
        "      signal0: {connect: on_load, type: builtin, signal_source: Video, signal_name: keyboard_press, "
        "slot_name: _on_key_press}\n"
        "      signal1: {connect: on_load, signal_source: keys->clock, signal_name: tick, slot_name: _on_trigger}\n");
    ASSERT_NE(shown, nullptr);
    ASSERT_TRUE(shown->draw());
    device()->update_screen();
    EXPECT_EQ(device()->presented_pixel(50, 50), device()->presented_pixel(0, 0));
    EXPECT_EQ(asked_after(std::string(video) + "->mouse_press", {1}), "");
    EXPECT_EQ(shown->get_focused_object(), nullptr);

    const std::string key = std::string(video) + "->keyboard_press";
    EXPECT_EQ(asked_after(key, {32}), "onwards");
    EXPECT_EQ(asked_after("keys->clock->tick"), "onwards");
    auto* go = dynamic_cast<player::SceneSwitch*>(shown->get_object("go"));
    ASSERT_NE(go, nullptr);
    SlotArgs none;
    for (bool (player::SceneSwitch::*slot)(SlotArgs*) :
         {&player::SceneSwitch::slot__on_character, &player::SceneSwitch::slot__on_mouse_release}) {
        player::request_scene("");
        (go->*slot)(&none);
        EXPECT_EQ(player::last_requested_scene(), "onwards");
    }
    shown->slot__on_deactivate(nullptr);
    EXPECT_EQ(asked_after(key, {32}), "");
    EXPECT_EQ(asked_after("keys->clock->tick"), "");
}

}  // namespace
