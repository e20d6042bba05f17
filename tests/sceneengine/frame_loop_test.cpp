#include <string>
#include <vector>

#include "tests/sceneengine/entry_fixture.h"

namespace {

using entrytest::scene_entry;
using testsupport::call_log;
using testsupport::call_log_with;
using testsupport::fold_polls;
using testsupport::StderrCapture;
using Strings = std::vector<std::string>;

const Strings loading = {"video:get_screen_width", "video:get_screen_height", "video:set_switch_a true",
                         "video:set_switch_b true", "video:set_switch_c true", "video:set_switch_d true"};

Strings join(std::initializer_list<Strings> parts) {
    Strings all;
    for (const Strings& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

class FrameLoop : public entrytest::EntryFixture {
protected:
    void SetUp() override {
        EntryFixture::SetUp();
        dir.write("empty.yaml", "Scene: {}\n");
    }
};

TEST_F(FrameLoop, TheFirstSceneIsActivatedThenLoadedThenDrawn) {
    ASSERT_TRUE(load_list("first.yaml", {scene_entry("first", "empty.yaml")}));
    device.push_event(testsupport::quit_event());
    call_log().clear();
    process_scene("first");
    EXPECT_EQ(fold_polls(call_log()),
              join({{"scene:first:activate", "scene:first:load_scene"}, loading,
                    {"scene:first:draw", "video:show_mouse_cursor true", "video:update_screen",
                     "video:get_event x1"}}));
}

TEST_F(FrameLoop, ASceneSwitchedToIsLoadedThenActivatedThenReinitialised) {
    ASSERT_TRUE(load_list("pair.yaml", {scene_entry("one", "empty.yaml", "preload: \"true\""),
                                        scene_entry("two", "empty.yaml")}));
    switch_after_first_frame("one", "two");
    switch_after_first_frame("two", "exit");
    call_log().clear();
    process_scene("one");
    EXPECT_EQ(fold_polls(call_log()),
              join({{"scene:one:activate", "scene:one:draw", "video:show_mouse_cursor true", "video:update_screen",
                     "video:get_event x1000", "scene:one:deactivate", "scene:two:load_scene"},
                    loading,
                    {"scene:two:activate", "scene:two:reinit", "scene:two:draw", "video:show_mouse_cursor true",
                     "video:update_screen", "video:get_event x1000"}}));
}

TEST_F(FrameLoop, SwitchingBackDoesNotLoadAgain) {
    ASSERT_TRUE(load_list("back.yaml", {scene_entry("back1", "empty.yaml"), scene_entry("back2", "empty.yaml")}));
    int back1_frames = 0;
    on_signal("back1->new_cycle", "back1-watch",
              [&](SlotArgs*) { set_next_scene(++back1_frames == 1 ? "back2" : "exit"); });
    switch_after_first_frame("back2", "back1");
    process_scene("back1");
    EXPECT_EQ(call_log_with("scene:back1:"),
              (Strings{"scene:back1:activate", "scene:back1:load_scene", "scene:back1:draw", "scene:back1:deactivate",
                       "scene:back1:activate", "scene:back1:reinit", "scene:back1:draw"}));
    EXPECT_EQ(call_log_with("scene:back2:load_scene").size(), 1u);
}

TEST_F(FrameLoop, TheSceneShownOrExitIsNoSwitch) {
    ASSERT_TRUE(load_list("same.yaml", {scene_entry("same", "empty.yaml")}));
    int frames = 0;
    on_signal("same->new_cycle", "same-watch", [&](SlotArgs*) { set_next_scene(++frames < 3 ? "same" : "exit"); });
    process_scene("same");
    EXPECT_EQ(frames, 3);
    EXPECT_TRUE(call_log_with("scene:same:deactivate").empty());
}

TEST_F(FrameLoop, AnUnknownNameRestartsTheSceneShown) {
    ASSERT_TRUE(load_list("restart.yaml", {scene_entry("restart", "empty.yaml")}));
    int frames = 0;
    on_signal("restart->new_cycle", "restart-watch",
              [&](SlotArgs*) { set_next_scene(++frames == 1 ? "nowhere" : "exit"); });
    StderrCapture err;
    process_scene("restart");
    EXPECT_EQ(err.text(), "");
    EXPECT_EQ(call_log_with("scene:restart:"),
              (Strings{"scene:restart:activate", "scene:restart:load_scene", "scene:restart:draw",
                       "scene:restart:deactivate", "scene:restart:activate", "scene:restart:reinit",
                       "scene:restart:draw"}));
}

TEST_F(FrameLoop, AMissingSceneOrDeviceIsReported) {
    StderrCapture err;
    process_scene("not-listed");
    ASSERT_TRUE(load_list("nodevice.yaml", {scene_entry("nodevice", "empty.yaml")}));
    init("absent-video");
    process_scene("nodevice");
    EXPECT_EQ(err.lines(), (Strings{"No such scene \"not-listed\"", "Unable to get video device:absent-video"}));
    EXPECT_TRUE(call_log().empty());
}

TEST_F(FrameLoop, ASceneThatFailsToLoadOrDrawEndsTheLoop) {
    dir.write("broken.yaml", "Scene:\n  Objects:\n    Object0: {name: x, type: Nothing}\n");
    ASSERT_TRUE(load_list("failing.yaml", {scene_entry("sound", "empty.yaml"), scene_entry("broken", "broken.yaml")}));
    switch_after_first_frame("sound", "broken");
    StderrCapture err;
    process_scene("sound");
    EXPECT_EQ(err.lines().size(), 2u);  // the loader's own lines only
    EXPECT_TRUE(call_log_with("scene:broken:activate").empty());

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
        const std::string signal = std::string(video) + "->" + ending;
        on_signal(signal, std::string("watch-") + ending, [&raised, ending](SlotArgs* args) {
            std::string text = ending;
            // Appended piece by piece: GCC 12 at -O3 takes " " + std::string&& for an overlapping copy.
            for (std::size_t i = 0; i < args->float_count(); ++i) text.append(" ").append(std::to_string(args->get_float(i)));
            for (std::size_t i = 0; i < args->int_count(); ++i) text.append(" ").append(std::to_string(args->get_int(i)));
            raised.push_back(text);
        });
    }
    using testsupport::key_event;
    using testsupport::mouse_event;
    device.push_event(key_event(0, -5));
    device.push_event(key_event(1, 65));
    device.push_event(mouse_event(2, 1.5f, 2.5f, 3, 4, 1));
    device.push_event(mouse_event(3, 5, 6, 7, 8, 2));
    device.push_event(mouse_event(4, 9, 10, -1, -2, 0));
    device.push_event(key_event(5, 0x20ac));
    device.push_event(key_event(9, 1));  // unknown kinds are skipped
    device.push_event(testsupport::quit_event());
    device.push_event(key_event(0, 99));  // after the quit: not polled in that cycle
    call_log().clear();
    process_scene("input");
    EXPECT_EQ(raised, (Strings{"keyboard_press -5", "keyboard_release 65",
                               "mouse_press 1.500000 2.500000 3.000000 4.000000 1",
                               "mouse_release 5.000000 6.000000 7.000000 8.000000 2",
                               "mouse_move 9.000000 10.000000 -1.000000 -2.000000 0", "character 8364"}));
    EXPECT_EQ(device.events.size(), 1u);
    EXPECT_EQ(fold_polls(call_log()).back(), "video:get_event x8");
    EXPECT_TRUE(call_log_with("scene:input:deactivate").empty());
}

TEST_F(FrameLoop, APressReachesTheShownScenesObjects) {
    dir.write("buttons.yaml",
              "Scene:\n  Objects:\n    Object0: {name: low, type: Probe, z_level: 0}\n"
              "    Object1: {name: high, type: Probe, z_level: 1}\n"
              "Objects:\n  low: {Probe: {rect: \"0 0 100 100\"}}\n  high: {Probe: {rect: \"0 0 10 10\"}}\n");
    ASSERT_TRUE(load_list("buttons-list.yaml", {scene_entry("buttons", "buttons.yaml")}));
    device.push_event(testsupport::mouse_event(2, 5, 5, 0, 0, 1));
    device.push_event(testsupport::quit_event());
    process_scene("buttons");
    EXPECT_EQ(call_log_with("video:draw_sprite"),
              (Strings{"video:draw_sprite low buttons", "video:draw_sprite high buttons"}));
    EXPECT_EQ(call_log_with("probe:high:activate"), Strings{"probe:high:activate 5 5 1"});
    EXPECT_EQ(get_scene("buttons")->get_focused_object(), get_scene("buttons")->get_object("high"));
}

TEST_F(FrameLoop, ASecondRunStartsFromItsOwnScene) {
    ASSERT_TRUE(load_list("runs.yaml", {scene_entry("run1", "empty.yaml"), scene_entry("run2", "empty.yaml")}));
    device.push_event(testsupport::quit_event());
    process_scene("run1");
    device.push_event(testsupport::quit_event());
    call_log().clear();
    process_scene("run2");
    EXPECT_EQ(call_log_with("scene:"), (Strings{"scene:run2:activate", "scene:run2:load_scene", "scene:run2:draw"}));
}

// A scene not preloaded loads with the file manager of the latest list.
TEST_F(FrameLoop, ScenesLoadWithTheLatestFileManager) {
    ASSERT_TRUE(load_list("fm.yaml", {scene_entry("fm-start", "empty.yaml"), scene_entry("fm-late", "late.yaml")}));
    testsupport::TempDir other;
    other.write("late.yaml", "Scene:\n  Objects:\n    Object0: {name: from-other, type: Probe}\n");
    other.write("other-list.yaml", "Scenes: {}\n");
    FileIO::FileManager other_files(other.str());
    ASSERT_TRUE(load_scenes("other-list.yaml", video, &other_files));
    switch_after_first_frame("fm-start", "fm-late");
    switch_after_first_frame("fm-late", "exit");
    process_scene("fm-start");
    EXPECT_EQ(get_scene("fm-late")->get_object_list(), Strings{"from-other"});
}

// A list read from a slot while the loop runs must not destroy the scene the
// loop is showing: the entry is refused and the rest of the list is read.
TEST_F(FrameLoop, TheSceneShownIsNeverReplaced) {
    ASSERT_TRUE(load_list("shown.yaml", {scene_entry("shown", "empty.yaml"), scene_entry("spare", "empty.yaml")}));
    dir.write("reload.yaml", "Scenes:\n  Scene0: " + scene_entry("spare", "empty.yaml") + "\n  Scene1: " +
                                 scene_entry("shown", "empty.yaml") + "\n  Scene2: " +
                                 scene_entry("newcomer", "empty.yaml") + "\n");
    std::vector<bool> results;
    int frames = 0;
    on_signal("shown->new_cycle", "reloader", [&](SlotArgs*) {
        if (++frames == 1) results.push_back(load_scenes("reload.yaml", video, files.get()));
        if (frames == 3) set_next_scene("exit");
    });
    StderrCapture err;
    process_scene("shown");
    EXPECT_EQ(results, std::vector<bool>{false});
    EXPECT_EQ(err.lines(), Strings{"Can't replace scene \"shown\" while it is shown"});
    EXPECT_EQ(frames, 3);
    EXPECT_NE(get_scene("newcomer"), nullptr);
    EXPECT_EQ(call_log_with("scene:spare:destroyed").size(), 1u);
    EXPECT_TRUE(call_log_with("scene:shown:destroyed").empty());
}

// The scene left shown by a finished run is still activated: replacing it
// must take its slots off the bus before it is destroyed.
TEST_F(FrameLoop, TheSceneLeftShownIsTakenOffTheBusWhenReplaced) {
    ASSERT_TRUE(load_list("left.yaml", {scene_entry("left", "empty.yaml"), scene_entry("next", "empty.yaml")}));
    device.push_event(testsupport::quit_event());
    process_scene("left");
    ASSERT_TRUE(signals_is_registered("left->on_mouse_press"));
    ASSERT_TRUE(load_list("left-again.yaml", {scene_entry("left", "empty.yaml")}));
    EXPECT_FALSE(signals_is_registered("left->on_mouse_press"));
    device.push_event(testsupport::mouse_event(2, 1, 1, 0, 0, 1));
    device.push_event(testsupport::mouse_event(4, 1, 1, 0, 0, 1));
    device.push_event(testsupport::quit_event());
    process_scene("next");  // the input signals reach no freed scene
    EXPECT_EQ(call_log_with("scene:next:draw").size(), 1u);
}

}  // namespace
