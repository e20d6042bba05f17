// A long run must not grow: scenes switched back and forth a thousand times
// in one process_scene keep the process's heap where it was after the first
// hundred.
//
// What is measured: the bytes the process holds in allocations it has not
// freed. Under AddressSanitizer that is the sanitizer allocator's own count
// (__sanitizer_get_current_allocated_bytes); otherwise glibc's mallinfo2():
// uordblks (in use in the arenas) plus hblkhd (blocks it mapped on their
// own). Both count what is live, not what was ever asked for, so a switch
// that frees everything it made leaves the count where it was.
#include <malloc.h>

#include <cstdint>
#include <string>

#include "tests/support/library_fixture.h"

#if defined(__SANITIZE_ADDRESS__)
// From the sanitizer runtime's allocator interface (not every compiler ships
// its header).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

using testsupport::Strings;

std::size_t live_heap_bytes() {
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#endif
}

class Memory : public testsupport::LibraryFixture {};

// Two scenes of every built-in kind (a picture, a text, a repeating timer,
// objects linked to each other and wired to signals) swap on every frame.
TEST_F(Memory, AThousandSceneSwitchesDoNotGrowTheHeap) {
    dir.write_bytes("face.png", testsupport::encode_png(2, 2, std::vector<std::uint8_t>(16, 200)));
    // The caption's activate slot is wired to its own scene's timer.
    auto scene_file = [](const std::string& scene) {
        return "Scene:\n  Objects:\n"
               "    Object0: {name: face, type: Image}\n"
               "    Object1: {name: caption, type: Text, z_level: 1}\n"
               "    Object2: {name: tick, type: Timer}\n"
               "Objects:\n"
               "  face: {Image: {image_file: face.png}, SceneObject: {absolute_x: 10, absolute_y: 10}}\n"
               "  caption:\n"
               "    Text: {text: \"Go\", font_size: 9}\n"
               "    SceneObject: {coord_type: linked, link_object: face, link_v_align: bottom}\n"
               "    signals:\n"
               "      signal0: {connect: on_load, signal_source: " +
               scene + "->tick, signal_name: time_out, slot_name: _on_activate}\n"
                       "  tick:\n"
                       "    Timer: {time: 0.01, repeat: \"true\"}\n";
    };
    dir.write("left.yaml", scene_file("swap-left"));
    dir.write("right.yaml", scene_file("swap-right"));
    ASSERT_TRUE(load_list("swap-list.yaml", {entry("swap-left", "left.yaml"), entry("swap-right", "right.yaml")}));

    int switches = 0;
    std::size_t after_100 = 0, after_1000 = 0;
    auto swap = [&](const std::string& other) {
        return [&, other](SlotArgs*) {
            ++switches;
            if (switches == 100) after_100 = live_heap_bytes();
            if (switches == 1000) {
                after_1000 = live_heap_bytes();
                set_next_scene("exit");
            } else {
                set_next_scene(other);
            }
        };
    };
    on_signal("swap-left->new_cycle", "swap-to-right", swap("swap-right"));
    on_signal("swap-right->new_cycle", "swap-to-left", swap("swap-left"));
    {
        testsupport::StderrCapture err;  // the pictures' " loaded" lines
        process_scene("swap-left");
        EXPECT_EQ(err.lines(), (Strings{"face loaded", "face loaded"}));
    }
    ASSERT_EQ(switches, 1000);
    EXPECT_TRUE(get_scene("swap-left")->scene_loaded());
    EXPECT_TRUE(get_scene("swap-right")->scene_loaded());
    // A leak of 16 bytes per switch (14 400 bytes over these 900) breaks
    // this bound; nothing here may grow per switch.
    EXPECT_LE(after_1000, after_100 + 8 * 1024) << "heap after 100 switches: " << after_100
                                                 << " bytes, after 1000: " << after_1000 << " bytes";
}

}  // namespace
