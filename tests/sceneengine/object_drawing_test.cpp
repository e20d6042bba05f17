// A scene file with a picture, a text and a timer, loaded by a real Scene on
// the headless device and drawn into a frame.

#include <memory>

#include "platform/video/headless_device.h"
#include "sceneengine/scenemanager/scene/scene.h"
#include "sceneengine/scenemanager/scene_object_fabric.h"
#include "sceneengine/sceneobjects/image.h"
#include "sceneengine/sceneobjects/text/text.h"
#include "sceneengine/sceneobjects/timer.h"
#include "services/fileio.h"
#include "tests/sceneengine/object_fixture.h"

using objecttest::solid_png;

namespace {

const std::string font_file = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// True when some pixel of the box is mostly green.
bool green_in(const testsupport::RgbaImage& frame, int x1, int y1, int x2, int y2) {
    for (int y = y1; y <= y2; ++y)
        for (int x = x1; x <= x2; ++x) {
            const std::uint32_t p = frame.at(x, y);
            if (((p >> 16) & 0xff) > 200 && (p >> 24) < 60) return true;
        }
    return false;
}

TEST(ObjectDrawing, SceneOfEveryKindShowsPictureAndText) {
    signals_reset();
    static ObjectFabric<Image> image_fabric;
    static ObjectFabric<Text> text_fabric;
    static ObjectFabric<Timer> timer_fabric;
    SceneObjectFabric::add_fabric("Image", &image_fabric);
    SceneObjectFabric::add_fabric("Text", &text_fabric);
    SceneObjectFabric::add_fabric("Timer", &timer_fabric);

    VideoSettings settings;
    settings.width = 200;
    settings.height = 100;
    settings.background = video_pixel::make(0, 0, 255, 255);
    ASSERT_TRUE(video_create("drawing", settings)) << video_error();

    testsupport::TempDir dir;
    dir.write_bytes("pictures/red.png", solid_png(20, 20, 0xff0000ffu));
    dir.write("drawing.yaml", R"(Scene:
  show_mouse_cursor: 0
  Objects:
    Object0: {name: picture, type: Image, z_level: 0}
    Object1: {name: caption, type: Text, z_level: 1}
    Object2: {name: clock, type: Timer}
Objects:
  picture:
    SceneObject: {absolute_x: 50, absolute_y: 50}
    Image: {image_file: pictures/red.png}
  caption:
    SceneObject: {absolute_x: 150, absolute_y: 50}
    Text: {text: "HH", font: ')" + font_file + R"(', font_size: 40, color: '0x00ff00ff'}
  clock:
    Timer: {time: 1}
)");
    FileIO::FileManager files(dir.str());
    Scene scene;
    scene.set_name("drawing_scene");
    scene.set_video_name("drawing");
    scene.set_storage_file("drawing.yaml");
    scene.set_file_manager(&files);
    testsupport::StderrCapture capture;
    ASSERT_TRUE(scene.load_scene()) << capture.text();
    EXPECT_EQ(capture.text(), "picture loaded\n");

    for (const auto& [name, object] : scene.get_objects())
        if (object->_get_show()) object->draw();
    auto* device = dynamic_cast<HeadlessDevice*>(video_get_interface("drawing"));
    ASSERT_NE(device, nullptr);
    device->update_screen();
    const std::string path = dir.str() + "/frame.png";
    ASSERT_TRUE(device->snapshot(path)) << device->get_error();
    testsupport::RgbaImage frame;
    std::string error;
    ASSERT_TRUE(testsupport::read_png(path, frame, error)) << error;

    // The picture covers (40, 40)-(60, 60); the background shows around it.
    EXPECT_EQ(frame.at(50, 50), 0xff0000ffu);
    EXPECT_EQ(frame.at(41, 41), 0xff0000ffu);
    EXPECT_EQ(frame.at(38, 50), 0x0000ffffu);
    EXPECT_EQ(frame.at(62, 50), 0x0000ffffu);
    // The text is centred on (150, 50), and nowhere near the picture.
    EXPECT_TRUE(green_in(frame, 120, 30, 180, 70));
    EXPECT_FALSE(green_in(frame, 0, 0, 100, 99));

    for (const auto& [name, object] : scene.get_objects()) {
        object->disconnect_signals(true);
        object->unregister_slots();
        delete object;
    }
    video_unregister("drawing");
}

}  // namespace
