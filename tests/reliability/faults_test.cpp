// Faults while a presentation plays: devices, files and fonts that go away, and slots that reshape the engine from
// inside a signal. Each run keeps playing or stops with its line, and no other scene is lost.
#include <array>
#include <filesystem>
#include <memory>
#include <string>

#include "tests/support/library_fixture.h"

namespace {

using namespace testsupport;

class Faults : public LibraryFixture {
protected:
    // The scene is still listed and loaded, and plays one frame again.
    void expect_playable(const std::string& scene) {
        ASSERT_NE(get_scene(scene), nullptr) << scene;
        EXPECT_TRUE(get_scene(scene)->scene_loaded()) << scene;
        const std::uint64_t before = device()->frame_count();
        device()->push_event(quit_event());
        process_scene(scene);
        EXPECT_EQ(device()->frame_count(), before + 1) << scene;
    }
};

// A slot of the event pump unregisters the library's device (the registry's is destroyed so, the host destroys its own
// right after): the events still queued are never polled from it, and nothing is drawn after. The input device
// unregistered by a new cycle of a scene drawn on a second device: the draw goes on and the next cycle finds it gone.
// The scene's own device going away is a failed draw: the loop ends without a line.
TEST_F(Faults, ADeviceUnregisteredBySlotEndsTheLoop) {
    ASSERT_TRUE(load_list("unplug.yaml", {scene_entry("unplug-a", "empty.yaml")}));
    std::string error;
    std::unique_ptr<HeadlessDevice> host_device = HeadlessDevice::create({}, error);
    on_signal(std::string(video) + "->keyboard_press", "unplug", [&host_device](SlotArgs*) {
        const bool hosts = video_get_interface(video) == host_device.get();
        video_unregister(video);
        if (hosts) host_device.reset();
    });
    for (int round = 0; round < 2; ++round) {
        HeadlessDevice* unplugged = round ? host_device.get() : device();
        for (int key = 0; key < 4; ++key) unplugged->push_event(key_event(0, 65 + key));
        StderrCapture err;
        call_log().clear();
        process_scene("unplug-a");
        EXPECT_EQ(err.lines(), Strings{"Unable to get video device:library-video"});
        EXPECT_EQ(call_log_with("scene:unplug-a:draw").size(), 1u) << "drawn after its device went";
        if (round == 0) video_register(video, host_device.get());
    }
    EXPECT_EQ(host_device, nullptr);
    disconnect(std::string(video) + "->keyboard_press", "unplug");
    make_device(video);  // nothing was lost: with a device back, the scene plays
    expect_playable("unplug-a");

    make_device("second-screen");
    for (const std::string screen : {"second-screen", video}) {
        SCOPED_TRACE(screen);
        ASSERT_TRUE(load_list(screen + "-list.yaml", {entry(screen + "-scene", "empty.yaml")}, screen));
        int frames = 0;
        on_signal(screen + "-scene->new_cycle", "unplug-" + screen, [&frames](SlotArgs*) {
            if (++frames == 2) video_unregister(video);
        });
        StderrCapture err;
        process_scene(screen + "-scene");
        EXPECT_EQ(frames, 2);
        EXPECT_EQ(err.lines(), screen == video ? Strings{} : Strings{"Unable to get video device:library-video"});
        make_device(video);
    }
    video_unregister("second-screen");
}

// The host replaces the device under the library's name between two runs; the new device (which may well sit where the
// old one was) holds none of the old pictures: a loaded picture draws nothing and is never hit.
TEST_F(Faults, APictureAfterItsDeviceWasReplaced) {
    dir.write_bytes("mark.png", testsupport::encode_png(1, 1, {255, 0, 0, 255}));
    dir.write("marked.yaml", one_object("mark", "Image", "Image: {image_file: mark.png, x_base: 0, y_base: 0}"));
    ASSERT_TRUE(load_list("marked-list.yaml", {entry("marked", "marked.yaml")}));
    int hits = 0;
    on_signal("marked->activate", "marked-hits", [&hits](SlotArgs*) { ++hits; });
    StderrCapture err;
    device()->push_event(quit_event());
    process_scene("marked");
    EXPECT_EQ(device()->presented_pixel(0, 0), 0xff0000ffu);
    for (int round = 0; round < 3; ++round) {
        video_unregister(video);
        make_device(video);
        push_events({mouse_event(2, 0, 0, 1), quit_event()});  // a hit test on the picture too
        process_scene("marked");
        EXPECT_EQ(device()->presented_pixel(0, 0), 0x000000ffu) << round;
    }
    EXPECT_EQ(hits, 0);
    EXPECT_EQ(err.lines(), Strings{"mark loaded"});
}

// A picture deleted after the list was read, a font that is no font and one that is absent: that scene fails with its
// two lines, the loop ends, and everything else (the scene shown before, the failed scene itself, once its file is
// back) can be played again. A missing scene file is reported by the configuration service; that scene loads empty.
TEST_F(Faults, FilesThatCannotBeReadAtShowTimeLoseNoOtherScene) {
    dir.write("not-a-font.ttf", "this is no font at all");
    const std::string picture = dir.write_bytes("pic.png", testsupport::encode_png(1, 1, {255, 0, 0, 255}));
    const std::string text = "Text: {text: Hello, font: \"" + dir.str();
    const std::string text_error = "..\\..\\sceneengine\\sceneobjects\\text: Can't render text:";
    int i = 0;
    for (const auto& [type, keys, error] : std::vector<std::array<std::string, 3>>{
             {"Image", "Image: {image_file: pic.png}", "Can't load image:Failed to load image \"pic.png\". Reason: "},
             {"Text", text + "/not-a-font.ttf\"}", text_error},
             {"Text", text + "/absent.ttf\"}", text_error}}) {
        SCOPED_TRACE(keys);
        const std::string scene = "unreadable" + std::to_string(i++), start = scene + "-start";
        dir.write(scene + ".yaml", one_object("x", type, keys));
        ASSERT_TRUE(load_list(scene + "-list.yaml", {entry(start, "empty.yaml"), entry(scene, scene + ".yaml")}));
        std::filesystem::remove(picture);
        switch_at_frame(start, scene, 1);
        StderrCapture err;
        process_scene(start);
        const Strings lines = err.lines();
        ASSERT_EQ(lines.size(), 2u) << err.text();
        EXPECT_EQ(lines[0], "SCENE:126: Can't load object \"x\" from file \"" + scene + ".yaml\"");
        const std::string head = "SCENE:127: Error: " + error;
        EXPECT_TRUE(lines[1].starts_with(head) && lines[1].size() > head.size()) << lines[1];
        EXPECT_FALSE(get_scene(scene)->scene_loaded());
        expect_playable(start);
    }
    // With the picture back, its scene loads on its next showing.
    dir.write_bytes("pic.png", testsupport::encode_png(1, 1, {255, 0, 0, 255}));
    StderrCapture err;
    device()->push_event(quit_event());
    process_scene("unreadable0");
    EXPECT_EQ(err.lines(), Strings{"x loaded"});
    EXPECT_TRUE(get_scene("unreadable0")->scene_loaded());

    ASSERT_TRUE(load_list("lost-list.yaml", {entry("lost", "lost.yaml")}));
    err.clear();
    device()->push_event(quit_event());
    process_scene("lost");
    ASSERT_EQ(err.lines().size(), 1u) << err.text();
    EXPECT_NE(err.lines()[0].find("lost.yaml"), std::string::npos) << err.text();
    EXPECT_TRUE(get_scene("lost")->get_object_list().empty());
    expect_playable("lost");
}

// Within one rise a slot reads a list that replaces a scene that is not shown, then asks for that very scene: the
// switch shows the new scene, and a second rise in the same pump replacing it again is just as safe. A slot of the
// shown scene runs a loop of its own; a list read inside it must not destroy the scene the outer loop still draws: the
// entry is refused and the rest of the list is read.
TEST_F(Faults, ListsReadFromInsideARiseOrANestedLoop) {
    dir.write("probes.yaml", "Scene:\n  Objects:\n    Object0: {name: p, type: Probe}\n");
    ASSERT_TRUE(load_list("rise-list.yaml", {entry("rise-shown", "empty.yaml"), entry("rise-spare", "probes.yaml")}));
    dir.write("rise-again.yaml", "Scenes:\n  Scene0: " + entry("rise-spare", "probes.yaml") +
                                     "\n  Scene1: " + entry("rise-new", "empty.yaml") + "\n");
    ASSERT_TRUE(get_scene("rise-spare")->load_scene());  // a loaded scene, its objects on the bus
    std::vector<bool> results;
    on_signal(std::string(video) + "->keyboard_press", "rise-reader", [&](SlotArgs*) {
        results.push_back(load_scenes("rise-again.yaml", video, files.get()));
        set_next_scene("rise-spare");
    });
    push_events({key_event(0, 1), key_event(0, 2)});
    switch_at_frame("rise-spare", "exit", 2);
    process_scene("rise-shown");
    EXPECT_EQ(results, (std::vector<bool>{true, true}));
    // Loaded before the list was read again, once more when shown: the newest scene is shown.
    EXPECT_EQ(call_log_with("probe:p:load").size(), 2u);
    EXPECT_EQ(get_scene("rise-spare")->get_object_list(), Strings{"p"});

    ASSERT_TRUE(load_list("nest-list.yaml", {entry("nest-outer", "empty.yaml"), entry("nest-inner", "empty.yaml")}));
    dir.write("nest-again.yaml", "Scenes:\n  Scene0: " + entry("nest-outer", "empty.yaml") +
                                     "\n  Scene1: " + entry("nest-new", "empty.yaml") + "\n");
    int outer_frames = 0;
    on_signal("nest-outer->new_cycle", "nest-runner", [&outer_frames](SlotArgs*) {
        if (++outer_frames == 1) process_scene("nest-inner");
    });
    results.clear();
    on_signal("nest-inner->new_cycle", "nest-reader", [&](SlotArgs*) {
        results.push_back(load_scenes("nest-again.yaml", video, files.get()));
        set_next_scene("exit");
    });
    StderrCapture err;
    process_scene("nest-outer");
    EXPECT_EQ(results, std::vector<bool>{false});
    EXPECT_EQ(err.lines(), Strings{"Can't replace scene \"nest-outer\" while it is shown"});
    EXPECT_NE(get_scene("nest-new"), nullptr);
    expect_playable("nest-outer");
}

// The host takes the focused (and hovered) object out of its scene from the scene's activate signal and deletes it; the
// mouse keeps working on the rest.
TEST_F(Faults, AFocusedObjectRemovedAndDeletedFromASlot) {
    dir.write("focus.yaml", "Scene:\n  Objects:\n" + object_entry(0, "under", "Probe") +
                                object_entry(1, "target", "Probe", "1") + "Objects:\n" +
                                probe_keys("under", "0 0 40 40") + probe_keys("target", "0 0 10 10"));
    ASSERT_TRUE(load_list("focus-list.yaml", {entry("focus", "focus.yaml")}));
    on_signal("focus->activate", "focus-remover", [](SlotArgs*) {
        Scene* scene = get_scene("focus");
        SceneObject* target = scene->get_object("target");
        if (!target || scene->get_focused_object() != target) return;
        scene->remove_object("target");
        delete target;
    });
    // Hovers target, focuses it (removed and deleted), hovers under alone, focuses it, leaves it.
    push_events({mouse_event(4, 5, 5, 0), mouse_event(2, 5, 5, 1), mouse_event(4, 5, 5, 0), mouse_event(2, 30, 30, 1),
                 mouse_event(4, 60, 45, 0), quit_event()});
    process_scene("focus");
    Scene* scene = get_scene("focus");
    EXPECT_EQ(scene->get_object_list(), Strings{"under"});
    EXPECT_EQ(scene->get_focused_object(), scene->get_object("under"));
    EXPECT_EQ(scene->get_hovered_object(), nullptr);
    EXPECT_EQ(call_log_with("probe:target:activate"), Strings{}) << "its slot was off the bus";
    EXPECT_EQ(call_log_with("probe:under:enter"), Strings{"probe:under:enter 5 5 0"});
    EXPECT_EQ(call_log_with("probe:under:activate"), Strings{"probe:under:activate 30 30 1"});
    EXPECT_EQ(call_log_with("probe:under:leave"), Strings{"probe:under:leave 60 45 0"});
}

// A one-shot timer the host takes out and deletes from a slot of its own time-out signal, while that signal is still
// being raised. Preloaded: a timer's own slot is registered when its scene is activated after loading.
TEST_F(Faults, ATimerDeletedByASlotOfItsOwnSignal) {
    dir.write("alarm.yaml", one_object("alarm", "Timer",
                                       "Timer: {time: \"0\"}, signals: {signal0: {signal_source: alarm-scene, "
                                       "signal_name: new_cycle, slot_name: _on_new_cycle, connect: on_load}}"));
    ASSERT_TRUE(load_list("alarm-list.yaml", {entry("alarm-scene", "alarm.yaml", "preload: \"true\"")}));
    int rings = 0;
    on_signal("alarm-scene->alarm->time_out", "alarm-remover", [&rings](SlotArgs*) {
        ++rings;
        Scene* scene = get_scene("alarm-scene");
        SceneObject* alarm = scene->get_object("alarm");
        scene->remove_object("alarm");
        delete alarm;
    });
    auto frames = switch_at_frame("alarm-scene", "exit", 4);
    process_scene("alarm-scene");
    EXPECT_EQ(rings, 1);
    EXPECT_EQ(*frames, 4);
    EXPECT_EQ(get_scene("alarm-scene")->get_object("alarm"), nullptr);
}

}  // namespace
