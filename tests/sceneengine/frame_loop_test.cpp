// The entry points: scene lists (load_scenes, get_scene, release_scenes) and the frame loop (process_scene).

#include "tests/support/library_fixture.h"

namespace {

using namespace testsupport;

using Entry = LibraryFixture;

// The list ends at the first entry without a name or of an unknown type. Only "true" preloads; preloading creates a
// configuration under the scene's name: a scene named like the list's own must not cut the list short. A failed preload
// stops the list.
TEST_F(Entry, TheListEndsAtAGapAnUnknownTypeOrAFailedPreload) {
    EXPECT_TRUE(load_list("gap.yaml", {scene_entry("gap-a", "empty.yaml"), "{file: empty.yaml}", entry("gap-c", "")}));
    EXPECT_EQ(get_scene("gap-c"), nullptr);
    StderrCapture err;
    EXPECT_FALSE(load_list("types.yaml", {scene_entry("type-a", "empty.yaml"), "{name: type-b, type: Generic}",
                                          scene_entry("type-c", "empty.yaml")}));
    EXPECT_EQ(err.lines(), Strings{"Can't create scene of type \"Generic\""});
    EXPECT_NE(get_scene("type-a"), nullptr);
    EXPECT_EQ(get_scene("type-c"), nullptr);
    // Releasing empties the table; it is refused while a loop shows a scene.
    bool refused = false;
    on_signal("type-a->new_cycle", "release-inside", [&refused](SlotArgs*) {
        refused = !release_scenes();
        set_next_scene("exit");
    });
    process_scene("type-a");
    EXPECT_TRUE(refused);
    EXPECT_TRUE(release_scenes());
    EXPECT_EQ(get_scene("type-a"), nullptr);
    EXPECT_TRUE(get_scene_names().empty());

    ASSERT_TRUE(load_list("clash.yaml", {scene_entry("ScenesLoader", "empty.yaml", "preload: \"true\""),
                                         scene_entry("after-clash", "empty.yaml", "preload: \"True\"")}));
    EXPECT_TRUE(get_scene("ScenesLoader")->scene_loaded());
    ASSERT_NE(get_scene("after-clash"), nullptr);
    EXPECT_FALSE(get_scene("after-clash")->scene_loaded());

    err.clear();
    dir.write("broken.yaml", "Scene:\n  Objects:\n    Object0: {name: x, type: Nothing}\n");
    EXPECT_FALSE(load_list("failing.yaml", {scene_entry("broken", "broken.yaml", "preload: \"true\""),
                                            scene_entry("after-broken", "broken.yaml")}));
    EXPECT_EQ(err.lines().back(), "Can't load scene \"broken\" from file \"broken.yaml\"");
    EXPECT_EQ(get_scene("after-broken"), nullptr);
}

using FrameLoop = Entry;

// A missing scene or device ends the loop at once (a scene that fails to load: see the reliability suite). The first
// scene is activated, then loaded; a scene switched to is loaded, then activated and reinitialised. The scene shown is
// no switch; an unknown name restarts it.
TEST_F(FrameLoop, WhatEndsTheLoopAndTheOrderOfLoadActivateReinitAndDraw) {
    ASSERT_TRUE(load_list("pair.yaml", {scene_entry("one", "empty.yaml"), scene_entry("two", "empty.yaml")}));
    StderrCapture err;
    process_scene("not-listed");
    init("absent-video");
    process_scene("one");
    EXPECT_EQ(err.lines(), (Strings{"No such scene \"not-listed\"", "Unable to get video device:absent-video"}));
    EXPECT_TRUE(call_log().empty());

    init(video);
    err.clear();
    switch_at_frame("one", "two");
    int frames = 0;
    on_signal("two->new_cycle", "two-watch", [&frames](SlotArgs*) {
        ++frames;
        set_next_scene(frames < 2 ? "two" : frames == 2 ? "nowhere" : "exit");
    });
    process_scene("one");
    EXPECT_EQ(err.text(), "");
    EXPECT_EQ(call_log(), (Strings{"scene:one:activate", "scene:one:load_scene", "scene:one:draw",
                                   "scene:one:deactivate", "scene:two:load_scene", "scene:two:activate",
                                   "scene:two:reinit", "scene:two:draw", "scene:two:draw", "scene:two:deactivate",
                                   "scene:two:activate", "scene:two:reinit", "scene:two:draw"}));
}

// Unknown kinds raise nothing; the events after a quit wait for the next cycle.
TEST_F(FrameLoop, EventsRaiseTheInputSignalsWithTheirParameters) {
    ASSERT_TRUE(load_list("input.yaml", {scene_entry("input", "empty.yaml")}));
    Strings raised;
    for (const char* ending : {"keyboard_press", "keyboard_release", "mouse_release", "character"})
        on_signal(std::string(video) + "->" + ending, ending, [&raised, ending](SlotArgs* args) {
            std::string text = ending;  // appended: GCC 12 at -O3 takes " " + std::string&& for an overlapping copy
            for (std::size_t i = 0; i < args->float_count(); ++i)
                text.append(" ").append(std::to_string(args->get_float(i)));
            raised.push_back(text.append(" ").append(std::to_string(args->get_int(0))));
        });
    push_events({key_event(0, -5), key_event(1, 65), mouse_event(3, 5, 6, 2, 7, -8), key_event(5, 0x20ac),
                 key_event(9, 1), quit_event(), key_event(0, 99)});
    process_scene("input");
    EXPECT_EQ(raised, (Strings{"keyboard_press -5", "keyboard_release 65",
                               "mouse_release 5.000000 6.000000 7.000000 -8.000000 2", "character 8364"}));
    EXPECT_EQ(device()->pending_events(), 1u);
}

// The scene left shown by a finished run is still activated: replacing it must take its slots off the bus before it is
// destroyed.
TEST_F(FrameLoop, TheSceneLeftShownIsTakenOffTheBusWhenReplaced) {
    ASSERT_TRUE(load_list("left.yaml", {scene_entry("left", "empty.yaml"), scene_entry("next", "empty.yaml")}));
    device()->push_event(quit_event());
    process_scene("left");
    ASSERT_TRUE(signals_is_registered("left->on_mouse_press"));
    call_log().clear();
    ASSERT_TRUE(load_list("left-again.yaml", {scene_entry("left", "empty.yaml")}));
    EXPECT_EQ(call_log(), (Strings{"scene:left:deactivate", "scene:left:destroyed"}));
    EXPECT_FALSE(signals_is_registered("left->on_mouse_press"));
    push_events({mouse_event(2, 1, 1, 1), quit_event()});
    process_scene("next");  // the input signals reach no freed scene
    EXPECT_EQ(call_log_with("scene:next:draw").size(), 1u);
}

}  // namespace
