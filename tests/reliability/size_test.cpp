// Sizes far beyond a presentation's: 100 000 objects in a scene, and a long run that must not grow the heap.
#include <malloc.h>

#include "sceneengine/scenemanager/scene_object_fabric.h"
#include "services/imageloader.h"
#include "tests/support/library_fixture.h"

#if defined(__SANITIZE_ADDRESS__)  // the sanitizer runtime's (not every compiler ships its header)
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

using namespace testsupport;

// The sanitizer allocator's own count; otherwise glibc's bytes in use in the arenas plus blocks mapped alone.
std::size_t live_heap_bytes() {
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#endif
}

// As cheap as an object can be: a sprite of the device image "dot" every Dot shares, drawn and hit as pictures are.
class Dot : public virtual SceneObject {
public:
    bool load(Scene* scene, std::string storage_name, std::string storage_prefix, std::string scene_name,
              std::string object_name, FileIO::FileManager* files) override {
        return SceneObject::load(scene, storage_name, storage_prefix, scene_name, object_name, files) &&
               video_get_interface(_video_name_)->create_sprite(_object_name_, _scene_name_, "dot", "shared", true);
    }
    void draw() override {
        Video_Interface* video = video_get_interface(_video_name_);
        calculate_position();
        video->get_sprite(_object_name_, _scene_name_)->set_position(x, y);
        video->draw_sprite(_object_name_, _scene_name_);
    }
};

using Size = LibraryFixture;

// 100 000 one-pixel objects: the first alone at (2, 2) on the lowest z_level, every other one at (0, 0) above it. A
// click on (2, 2) is tested against every object before it finds the first.
TEST_F(Size, ASceneOfAHundredThousandObjectsLoadsDrawsAndAnswersClicks) {
    constexpr int count = 100000;
    static ObjectFabric<Dot> dots;
    SceneObjectFabric::add_fabric("Dot", &dots);
    const std::string dot = dir.write_bytes("dot.png", testsupport::encode_png(1, 1, {0, 200, 0, 255}));
    ASSERT_TRUE(imageloader_loadimage("png", video, dot, "shared", "dot", nullptr, true)) << imageloader_error();
    std::string scene = "Scene:\n  Objects:\n    Object0: {name: d0, type: Dot, z_level: -1}\n";
    for (int i = 1; i < count; ++i)
        scene += "    Object" + std::to_string(i) + ": {name: d" + std::to_string(i) + ", type: Dot}\n";
    dir.write("crowd.yaml", scene + "Objects:\n  d0: {SceneObject: {absolute_x: 2, absolute_y: 2}}\n");
    ASSERT_TRUE(load_list("crowd-list.yaml", {entry("crowd", "crowd.yaml")}));
    int activations = 0;
    on_signal("crowd->activate", "crowd-clicks", [&activations](SlotArgs*) { ++activations; });
    // The second click hits empty space: no activation.
    push_events({mouse_event(2, 0.5f, 0.5f, 1), mouse_event(2, 30, 30, 1), mouse_event(2, 2, 2, 1), quit_event()});
    StderrCapture err;
    process_scene("crowd");
    EXPECT_EQ(err.text(), "");
    Scene* crowd = get_scene("crowd");
    EXPECT_EQ(crowd->get_draw_order().size(), std::size_t(count));
    EXPECT_EQ(activations, 2);
    EXPECT_EQ(crowd->get_focused_object(), crowd->get_object("d0"));
    EXPECT_EQ(device()->presented_pixel(0, 0), 0x00c800ffu);  // the shared picture in both places
    EXPECT_EQ(device()->presented_pixel(2, 2), 0x00c800ffu);
}

// Two scenes of every built-in kind (a picture, a text linked to it, a repeating timer wired to the text's activate
// slot) swap on every frame a thousand times; the heap stays where it was after the first hundred.
TEST_F(Size, AThousandSceneSwitchesDoNotGrowTheHeap) {
    dir.write_bytes("face.png", testsupport::encode_png(2, 2, std::vector<std::uint8_t>(16, 200)));
    for (const std::string side : {"left", "right"})
        dir.write(
            side + ".yaml",
            "Scene:\n  Objects:\n" + object_entry(0, "face", "Image") + object_entry(1, "caption", "Text", "1") +
                object_entry(2, "tick", "Timer") +
                "Objects:\n  face: {Image: {image_file: face.png}, SceneObject: {absolute_x: 10, absolute_y: 10}}\n"
                "  caption:\n    Text: {text: Go, font_size: 9}\n"
                "    SceneObject: {coord_type: linked, link_object: face, link_v_align: bottom}\n"
                "    signals: {signal0: {connect: on_load, signal_source: swap-" +
                side + "->tick, signal_name: time_out, slot_name: _on_activate}}\n" +
                "  tick: {Timer: {time: 0.01, repeat: \"true\"}}\n");
    ASSERT_TRUE(load_list("swap-list.yaml", {entry("swap-left", "left.yaml"), entry("swap-right", "right.yaml")}));
    int switches = 0;
    std::size_t after_100 = 0, after_1000 = 0;
    auto swap = [&](const std::string& other) {
        return [&, other](SlotArgs*) {
            if (++switches == 100) after_100 = live_heap_bytes();
            if (switches == 1000) after_1000 = live_heap_bytes();
            set_next_scene(switches == 1000 ? "exit" : other);
        };
    };
    on_signal("swap-left->new_cycle", "swap-to-right", swap("swap-right"));
    on_signal("swap-right->new_cycle", "swap-to-left", swap("swap-left"));
    StderrCapture err;
    process_scene("swap-left");
    EXPECT_EQ(err.lines(), (Strings{"face loaded", "face loaded"}));
    ASSERT_EQ(switches, 1000);
    // A leak of 16 bytes per switch (14 400 bytes over these 900) breaks this bound.
    EXPECT_LE(after_1000, after_100 + 8 * 1024)
        << "heap after 100 switches: " << after_100 << " bytes, after 1000: " << after_1000 << " bytes";
}

}  // namespace
