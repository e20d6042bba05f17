#include <cstdint>
#include <string>
#include <vector>

#include "tests/sceneengine/scene_fixture.h"
#include "tests/support/function_slot.h"

namespace {

using scenetest::object_entry;
using scenetest::probe_keys;
using testsupport::call_log;
using testsupport::call_log_with;
using Strings = std::vector<std::string>;

SlotArgs mouse_args(float x, float y, std::int64_t button = 1) {
    SlotArgs args;
    args.add_float(x);
    args.add_float(y);
    args.add_float(0.5f);
    args.add_float(-0.5f);
    args.add_int(button);
    return args;
}

// K (z 1) and M (z 1) overlap L (z 0); M alone covers 20..30, L alone 40..50.
const std::string stacked_scene = "Scene:\n  Objects:\n" + object_entry(0, "K", "Probe", "1") +
                                  object_entry(1, "L", "Probe", "0") + object_entry(2, "M", "Probe", "1") +
                                  "Objects:\n" + probe_keys("K", "0 0 10 10") + probe_keys("L", "0 0 50 50") +
                                  probe_keys("M", "0 0 30 30");

class SceneInput : public scenetest::SceneFixture {
protected:
    void SetUp() override {
        SceneFixture::SetUp();
        scene = loaded_scene("stack", stacked_scene);
        ASSERT_TRUE(scene->draw());  // the hit order is the drawing order of the last frame
        register_slot("activate-watch", &activate_watch);
        connect("stack->activate", "activate-watch");
        call_log().clear();
    }

    bool press(float x, float y, std::int64_t button = 1) {
        SlotArgs args = mouse_args(x, y, button);
        return scene->slot__on_mouse_press(&args);
    }
    bool move(float x, float y) {
        SlotArgs args = mouse_args(x, y);
        return scene->slot__on_mouse_move(&args);
    }

    std::unique_ptr<Scene> scene;
    std::vector<std::vector<double>> activations;  // x, y, button of each "->activate"
    testsupport::FunctionSlot activate_watch{[this](SlotArgs* args) {
        activations.push_back({args->get_float(0), args->get_float(1), double(args->get_int(0))});
        return args->float_count() == 2 && args->int_count() == 1;
    }};
};

TEST_F(SceneInput, APressHitsTheTopmostObjectOnly) {
    EXPECT_TRUE(press(5, 5, 3));
    EXPECT_EQ(scene->get_focused_object(), scene->get_object("M"));
    EXPECT_EQ(activations, (std::vector<std::vector<double>>{{5, 5, 3}}));
    // Only the focused object hears the scene's activate signal.
    EXPECT_EQ(call_log_with("probe:M:activate"), Strings{"probe:M:activate 5 5 3"});
    EXPECT_TRUE(call_log_with("probe:K:").empty());
    EXPECT_TRUE(call_log_with("probe:L:").empty());
}

TEST_F(SceneInput, APressOnEmptySpaceChangesNothing) {
    ASSERT_TRUE(press(25, 25));
    SceneObject* focused = scene->get_focused_object();
    call_log().clear();
    activations.clear();
    EXPECT_TRUE(press(60, 60));
    EXPECT_EQ(scene->get_focused_object(), focused);
    EXPECT_TRUE(activations.empty());
    EXPECT_TRUE(call_log().empty());
}

TEST_F(SceneInput, FocusMovesWithItsConnections) {
    ASSERT_TRUE(press(25, 25));  // M
    call_log().clear();
    ASSERT_TRUE(press(45, 45));  // L
    EXPECT_EQ(call_log_with("probe:"), (Strings{"probe:M:disconnect_signals false", "probe:L:connect_signals false",
                                                "probe:L:activate 45 45 1"}));
    call_log().clear();
    ASSERT_TRUE(press(45, 45));  // L again: cut, then made again
    EXPECT_EQ(call_log_with("probe:"), (Strings{"probe:L:disconnect_signals false", "probe:L:connect_signals false",
                                                "probe:L:activate 45 45 1"}));
    EXPECT_EQ(activations.size(), 3u);
}

TEST_F(SceneInput, HiddenObjectsAreNeverHit) {
    scene->get_object("M")->_set_show(false);
    ASSERT_TRUE(press(5, 5));
    EXPECT_EQ(scene->get_focused_object(), scene->get_object("K"));
    ASSERT_TRUE(move(25, 25));
    EXPECT_EQ(scene->get_hovered_object(), scene->get_object("L"));
    EXPECT_TRUE(call_log_with("probe:M:").empty());
}

TEST_F(SceneInput, MissingArgumentsAreRefused) {
    ASSERT_TRUE(move(25, 25));
    const SceneObject* hovered = scene->get_hovered_object();
    SlotArgs one_float;
    one_float.add_float(5);
    one_float.add_int(1);
    SlotArgs no_int;
    no_int.add_float(5);
    no_int.add_float(5);
    for (SlotArgs* args : {&one_float, &no_int, static_cast<SlotArgs*>(nullptr)}) {
        EXPECT_FALSE(scene->slot__on_mouse_press(args));
        EXPECT_FALSE(scene->slot__on_mouse_move(args));
    }
    EXPECT_EQ(scene->get_focused_object(), nullptr);
    EXPECT_EQ(scene->get_hovered_object(), hovered);
    EXPECT_TRUE(activations.empty());
}

TEST_F(SceneInput, WithoutADeviceTheMouseIsIgnored) {
    scene->set_video_name("no-such-device");
    EXPECT_FALSE(press(5, 5));
    EXPECT_FALSE(move(5, 5));
    EXPECT_EQ(scene->get_focused_object(), nullptr);
    EXPECT_EQ(scene->get_hovered_object(), nullptr);
}

TEST_F(SceneInput, MovingWithinAnObjectEntersItOnce) {
    ASSERT_TRUE(move(45, 45));
    ASSERT_TRUE(move(46, 44));
    EXPECT_EQ(call_log_with("probe:"), Strings{"probe:L:enter 45 45 1"});
    ASSERT_TRUE(move(80, 80));
    EXPECT_EQ(call_log_with("probe:"), (Strings{"probe:L:enter 45 45 1", "probe:L:leave 80 80 1"}));
    EXPECT_EQ(scene->get_hovered_object(), nullptr);
}

TEST_F(SceneInput, LeavesGoOnlyToObjectsAboveTheNewHit) {
    ASSERT_TRUE(move(45, 45));  // L
    ASSERT_TRUE(move(25, 25));  // M lies above L: L gets no leave
    ASSERT_TRUE(move(45, 45));  // M is left, L entered again
    EXPECT_EQ(call_log_with("probe:"), (Strings{"probe:L:enter 45 45 1", "probe:M:enter 25 25 1",
                                                "probe:M:leave 45 45 1", "probe:L:enter 45 45 1"}));
}

TEST_F(SceneInput, RemovingAnObjectForgetsFocusAndHover) {
    ASSERT_TRUE(press(45, 45));
    ASSERT_TRUE(move(45, 45));
    SceneObject* l = scene->get_object("L");
    scene->remove_object("L");
    EXPECT_EQ(scene->get_focused_object(), nullptr);
    EXPECT_EQ(scene->get_hovered_object(), nullptr);
    scene->add_object("L", l, 0);  // still alive: it can come back
    ASSERT_TRUE(scene->draw());
    call_log().clear();
    ASSERT_TRUE(move(45, 45));
    EXPECT_EQ(call_log_with("probe:"), Strings{"probe:L:enter 45 45 1"});
}

// Through the bus: what the event pump raises under the device's name.
class SceneActivation : public SceneInput {
protected:
    void raise_press(const std::string& video_name, float x, float y) {
        Signal signal;
        signal.set_name(video_name + "->mouse_press");
        signal.add_params(x);
        signal.add_params(y);
        signal.add_params(0.0f);
        signal.add_params(0.0f);
        signal.add_params(std::int64_t(1));
        signal.rise();
    }
};

TEST_F(SceneActivation, OnlyAnActivatedSceneHearsTheMouse) {
    raise_press(video, 5, 5);
    EXPECT_EQ(scene->get_focused_object(), nullptr);

    ASSERT_TRUE(scene->slot__on_activate(nullptr));
    raise_press(video, 5, 5);
    EXPECT_EQ(scene->get_focused_object(), scene->get_object("M"));

    ASSERT_TRUE(scene->slot__on_deactivate(nullptr));
    raise_press(video, 45, 45);
    EXPECT_EQ(scene->get_focused_object(), scene->get_object("M"));
    EXPECT_FALSE(signals_is_registered("stack->on_mouse_press"));
    EXPECT_FALSE(signals_is_registered("stack->M->_on_activate"));

    ASSERT_TRUE(scene->slot__on_activate(nullptr));
    raise_press(video, 45, 45);
    EXPECT_EQ(scene->get_focused_object(), scene->get_object("L"));
}

TEST_F(SceneActivation, ASceneHearsOnlyItsOwnVideoName) {
    scene->set_video_name("other-video");
    ASSERT_TRUE(scene->slot__on_activate(nullptr));
    raise_press(video, 5, 5);
    EXPECT_EQ(scene->get_focused_object(), nullptr);
    EXPECT_TRUE(signals_is_connected("other-video->mouse_press", "stack->on_mouse_press"));
    EXPECT_TRUE(signals_is_connected("other-video->mouse_move", "stack->on_mouse_move"));
}

TEST_F(SceneActivation, ObjectsRegisterInNameOrder) {
    ASSERT_TRUE(scene->slot__on_activate(nullptr));
    EXPECT_EQ(call_log_with("probe:"),
              (Strings{"probe:K:register_slots", "probe:L:register_slots", "probe:M:register_slots"}));
    call_log().clear();
    ASSERT_TRUE(scene->slot__on_deactivate(nullptr));
    EXPECT_EQ(call_log_with("probe:"),
              (Strings{"probe:K:unregister_slots", "probe:L:unregister_slots", "probe:M:unregister_slots"}));
}

TEST_F(SceneActivation, ReinitRemakesTheOnLoadConnections) {
    ASSERT_TRUE(scene->slot__on_activate(nullptr));
    scene->reinit();
    EXPECT_EQ(call_log_with("probe:").size(), 6u);  // three register_slots, three connect_signals true
    EXPECT_EQ(call_log_with("probe:K:connect_signals true").size(), 1u);
}

}  // namespace
