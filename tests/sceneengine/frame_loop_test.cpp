// The entry points: reading scene lists (load_scenes, get_scene) and the
// frame loop (process_scene, set_next_scene), on the recording device.

#include "tests/support/library_fixture.h"

namespace {

using testsupport::call_log;
using testsupport::call_log_with;
using testsupport::fold_polls;
using testsupport::ProbeScene;
using testsupport::StderrCapture;
using testsupport::Strings;

class Entry : public testsupport::LibraryFixture {
protected:
    void SetUp() override {
        LibraryFixture::SetUp();
        use_recorder();
        dir.write("empty.yaml", "Scene: {}\n");
        dir.write("broken.yaml", "Scene:\n  Objects:\n    Object0: {name: x, type: Nothing}\n");
    }
};

TEST_F(Entry, TheListEndsAtTheFirstEntryWithoutAName) {
    dir.write("gap.yaml", "Scenes:\n  Scene0: {name: gap0}\n  Scene2: {name: gap2}\n");
    EXPECT_TRUE(load_written(dir, "gap.yaml", files.get()));
    EXPECT_NE(get_scene("gap0"), nullptr);
    EXPECT_EQ(get_scene("gap2"), nullptr);
    dir.write("none.yaml", "Scenes:\n  Scene0: {file: none.yaml}\n  Scene1: {name: none1}\n");
    EXPECT_TRUE(load_written(dir, "none.yaml", files.get()));
    EXPECT_EQ(get_scene("none1"), nullptr);
}

TEST_F(Entry, ARepeatedNameReplacesTheSceneAndAnUnknownTypeStopsTheList) {
    ASSERT_TRUE(load_list("first.yaml", {scene_entry("again", "a.yaml")}));
    ASSERT_TRUE(load_list("second.yaml", {scene_entry("again", "b.yaml")}));
    // The replaced scene is taken off the bus, then destroyed.
    EXPECT_EQ(call_log_with("scene:again:"), (Strings{"scene:again:deactivate", "scene:again:destroyed"}));
    StderrCapture err;
    EXPECT_FALSE(load_list("types.yaml", {scene_entry("type-a", "a.yaml"), "{name: again, type: Generic}",
                                          scene_entry("type-c", "c.yaml")}));
    EXPECT_EQ(err.lines(), Strings{"Can't create scene of type \"Generic\""});
    EXPECT_NE(get_scene("type-a"), nullptr);
    EXPECT_EQ(get_scene("again"), nullptr);  // the earlier scene of the name is gone
    EXPECT_EQ(get_scene("type-c"), nullptr);
}

// Only "true" preloads. Preloading creates a configuration under the scene's
// name: a scene named like the list's own configuration must not cut the list
// short. A failed preload stops the list and keeps its scene.
TEST_F(Entry, PreloadsThatFailOrClashWithTheListsConfiguration) {
    ASSERT_TRUE(load_list("clash.yaml", {scene_entry("ScenesLoader", "empty.yaml", "preload: \"true\""),
                                         scene_entry("after-clash", "empty.yaml", "preload: \"True\"")}));
    EXPECT_TRUE(get_scene("ScenesLoader")->scene_loaded());
    ASSERT_NE(get_scene("after-clash"), nullptr);
    EXPECT_FALSE(get_scene("after-clash")->scene_loaded());  // only "true" preloads

    StderrCapture err;
    EXPECT_FALSE(load_list("failing.yaml", {scene_entry("broken", "broken.yaml", "preload: \"true\""),
                                            scene_entry("after-broken", "broken.yaml")}));
    EXPECT_EQ(err.lines(), (Strings{"SCENE:112: Can't load object\"x\" from file \"broken.yaml\"",
                                    "SCENE:113: No object of type \"Nothing\"",
                                    "Can't load scene \"broken\" from file \"broken.yaml\""}));
    ASSERT_NE(get_scene("broken"), nullptr);
    EXPECT_FALSE(get_scene("broken")->scene_loaded());
    EXPECT_EQ(get_scene("after-broken"), nullptr);
}

using FrameLoop = Entry;

// The first scene is activated, then loaded; a scene switched to is loaded,
// then activated and reinitialised.
TEST_F(FrameLoop, TheOrderOfLoadActivateReinitAndDraw) {
    ASSERT_TRUE(load_list("pair.yaml", {scene_entry("one", "empty.yaml"), scene_entry("two", "empty.yaml")}));
    switch_at_frame("one", "two");
    switch_at_frame("two", "exit");
    call_log().clear();
    process_scene("one");
    const Strings loading = {"video:get_screen_width",  "video:get_screen_height", "video:set_switch_a true",
                             "video:set_switch_b true", "video:set_switch_c true", "video:set_switch_d true"};
    const Strings frame = {"video:show_mouse_cursor true", "video:update_screen", "video:get_event x1000"};
    Strings expected = {"scene:one:activate", "scene:one:load_scene"};
    for (const Strings& part :
         {loading, Strings{"scene:one:draw"}, frame, Strings{"scene:one:deactivate", "scene:two:load_scene"}, loading,
          Strings{"scene:two:activate", "scene:two:reinit", "scene:two:draw"}, frame})
        expected.insert(expected.end(), part.begin(), part.end());
    EXPECT_EQ(fold_polls(call_log()), expected);
}

TEST_F(FrameLoop, TheSceneShownOrAnUnknownNameIsNoSwitch) {
    ASSERT_TRUE(load_list("same.yaml", {scene_entry("same", "empty.yaml")}));
    int frames = 0;
    on_signal("same->new_cycle", "same-watch", [&](SlotArgs*) {
        ++frames;
        set_next_scene(frames < 2 ? "same" : frames == 2 ? "nowhere" : "exit");
    });
    StderrCapture err;
    process_scene("same");
    EXPECT_EQ(err.text(), "");
    // Only the unknown name restarts the scene shown.
    EXPECT_EQ(call_log_with("scene:same:"),
              (Strings{"scene:same:activate", "scene:same:load_scene", "scene:same:draw", "scene:same:draw",
                       "scene:same:deactivate", "scene:same:activate", "scene:same:reinit", "scene:same:draw"}));
}

TEST_F(FrameLoop, AMissingSceneOrDeviceOrAFailedLoadOrDrawEndsTheLoop) {
    StderrCapture err;
    process_scene("not-listed");
    ASSERT_TRUE(
        load_list("failing.yaml", {scene_entry("sound", "empty.yaml"), scene_entry("unloadable", "broken.yaml")}));
    init("absent-video");
    process_scene("sound");
    EXPECT_EQ(err.lines(), (Strings{"No such scene \"not-listed\"", "Unable to get video device:absent-video"}));
    EXPECT_TRUE(call_log().empty());

    init(video);
    switch_at_frame("sound", "unloadable");
    err.clear();
    process_scene("sound");
    EXPECT_EQ(err.lines().size(), 2u);  // the loader's own lines only
    EXPECT_TRUE(call_log_with("scene:unloadable:activate").empty());
    // A draw that fails: the scene loses its device during its new cycle.
    on_signal("sound->new_cycle", "sound-blind", [](SlotArgs*) { get_scene("sound")->set_video_name("gone"); });
    call_log().clear();
    process_scene("sound");
    EXPECT_EQ(fold_polls(call_log()), (Strings{"scene:sound:activate", "scene:sound:draw"}));
}

TEST_F(FrameLoop, EventsRaiseTheInputSignalsWithTheirParameters) {
    ASSERT_TRUE(load_list("input.yaml", {scene_entry("input", "empty.yaml")}));
    Strings raised;
    for (const char* ending : {"keyboard_press", "keyboard_release", "mouse_press", "mouse_release", "mouse_move",
                               "character", "activate", "deactivate"}) {
        on_signal(std::string(video) + "->" + ending, std::string("watch-") + ending,
                  [&raised, ending](SlotArgs* args) {
                      std::string text = ending;
                      // Appended piece by piece: GCC 12 at -O3 takes " " +
                      // std::string&& for an overlapping copy.
                      for (std::size_t i = 0; i < args->float_count(); ++i)
                          text.append(" ").append(std::to_string(args->get_float(i)));
                      for (std::size_t i = 0; i < args->int_count(); ++i)
                          text.append(" ").append(std::to_string(args->get_int(i)));
                      raised.push_back(text);
                  });
    }
    using testsupport::key_event;
    using testsupport::mouse_event;
    for (const Event& event :
         {key_event(0, -5), key_event(1, 65), mouse_event(2, 1.5f, 2.5f, 3, 4, 1), mouse_event(3, 5, 6, 7, 8, 2),
          mouse_event(4, 9, 10, -1, -2, 0), key_event(5, 0x20ac), key_event(9, 1) /* unknown kinds are skipped */,
          testsupport::quit_event(), key_event(0, 99) /* after the quit: not polled in that cycle */})
        recorder.push_event(event);
    call_log().clear();
    process_scene("input");
    EXPECT_EQ(raised,
              (Strings{"keyboard_press -5", "keyboard_release 65", "mouse_press 1.500000 2.500000 3.000000 4.000000 1",
                       "mouse_release 5.000000 6.000000 7.000000 8.000000 2",
                       "mouse_move 9.000000 10.000000 -1.000000 -2.000000 0", "character 8364"}));
    EXPECT_EQ(recorder.events.size(), 1u);
    EXPECT_EQ(fold_polls(call_log()).back(), "video:get_event x8");
}

// The scene left shown by a finished run is still activated: replacing it
// must take its slots off the bus before it is destroyed.
TEST_F(FrameLoop, TheSceneLeftShownIsTakenOffTheBusWhenReplaced) {
    ASSERT_TRUE(load_list("left.yaml", {scene_entry("left", "empty.yaml"), scene_entry("next", "empty.yaml")}));
    recorder.push_event(testsupport::quit_event());
    process_scene("left");
    ASSERT_TRUE(signals_is_registered("left->on_mouse_press"));
    ASSERT_TRUE(load_list("left-again.yaml", {scene_entry("left", "empty.yaml")}));
    EXPECT_FALSE(signals_is_registered("left->on_mouse_press"));
    recorder.push_event(testsupport::mouse_event(2, 1, 1, 0, 0, 1));
    recorder.push_event(testsupport::quit_event());
    process_scene("next");  // the input signals reach no freed scene
    EXPECT_EQ(call_log_with("scene:next:draw").size(), 1u);
}

}  // namespace
