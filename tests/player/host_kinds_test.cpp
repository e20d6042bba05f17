// What makes the player's own object kinds refuse to load. (Buttons clicked
// and lit, and scene switches at work: presentation_test.cpp, watch_test.cpp.)
#include <gtest/gtest.h>

#include "player/kinds/host_kinds.h"
#include "tests/support/library_fixture.h"

namespace {

using HostKinds = testsupport::LibraryFixture;

TEST_F(HostKinds, KindsThatCannotWorkFailToLoadWithAReason) {
    player::register_host_kinds();
    dir.write_bytes("square.png", testsupport::encode_png(1, 1, {0, 255, 0, 255}));
    const std::string button = "Scene: {Objects: {Object0: {name: b, type: Button}}}\nObjects: {b: {";
    const std::pair<std::string, std::string> cases[] = {
        {button + "Image: {image_file: square.png}, Button: {target: exit}}}\n", "loaded"},
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
        const auto made = make_scene("kinds" + std::to_string(index++), content);
        testsupport::StderrCapture capture;
        const std::string loaded = made->load_scene() ? std::string("loaded") : capture.text();
        EXPECT_NE(loaded.find(reason), std::string::npos) << loaded;
    }
}

}  // namespace
