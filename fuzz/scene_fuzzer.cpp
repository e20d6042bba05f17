// Bytes as a scene file, loaded by a scene on the headless device, then a few
// frames drawn with pushed mouse events. A small picture pic.png lies beside
// it for Image objects to load.
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/video/headless_device.h"
#include "sceneengine/scenemanager/scene/scene.h"
#include "sceneengine/scenemanager/sceneengine.h"
#include "sceneengine/sceneobjects/scene_object.h"
#include "services/fileio.h"
#include "services/video.h"

namespace {

void push(HeadlessDevice* device, int type, float x, float y, int button) {
    Event event;
    event.type = type;
    event.x = x;
    event.y = y;
    event.button = button;
    device->push_event(event);
}

// Takes every object out of the scene the way a host would before dropping
// it: cut its connections, unregister its slots, then delete it.
void empty_scene(Scene* scene) {
    std::vector<std::string> names;
    for (const auto& entry : scene->get_objects()) names.push_back(entry.first);
    for (const std::string& name : names) {
        SceneObject* object = scene->get_object(name);
        scene->remove_object(name);
        delete object;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz_quiet_stderr();

    static FileIO::FileManager files(fuzz_folder().string());
    static HeadlessDevice* device = [] {
        VideoSettings settings;
        settings.width = 64;
        settings.height = 48;
        if (!video_create("fuzz", settings)) std::abort();
        static const std::uint8_t list[] = "Scenes: {Scene0: {name: s, file: scene.yaml}}\n";
        fuzz_write("list.yaml", list, sizeof list - 1);
        static const std::uint8_t empty[] = "Scene: {}\n";
        fuzz_write("scene.yaml", empty, sizeof empty - 1);
        // A 2 x 2 picture with opaque, clear and half-clear pixels, so that
        // pictures named pic.png load and their alpha hit tests run.
        static const std::uint8_t picture[] = {
            0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52,
            0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x02, 0x08, 0x06, 0x00, 0x00, 0x00, 0x72, 0xb6, 0x0d,
            0x24, 0x00, 0x00, 0x00, 0x15, 0x49, 0x44, 0x41, 0x54, 0x78, 0xda, 0x63, 0xf8, 0xcf, 0xc0, 0x00,
            0x44, 0x20, 0xf0, 0x9f, 0xa1, 0x01, 0x48, 0xfc, 0x07, 0x00, 0x2b, 0x69, 0x05, 0x7c, 0xde, 0x05,
            0x20, 0xf8, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};
        fuzz_write("pic.png", picture, sizeof picture);
        init("fuzz");
        if (!load_scenes("list.yaml", "fuzz", &files)) std::abort();
        // Freed as a host frees its scenes, before the library's table goes.
        std::atexit([] { release_scenes(); });
        return dynamic_cast<HeadlessDevice*>(video_get_interface("fuzz"));
    }();
    if (!device) std::abort();
    Scene* scene = get_scene("s");
    if (!scene) std::abort();

    empty_scene(scene);
    fuzz_write("scene.yaml", data, size);
    scene->load_scene();

    push(device, EVENT_MOUSE_MOVE, 10, 10, 0);
    push(device, EVENT_MOUSE_PRESS, 32, 24, 1);
    push(device, EVENT_MOUSE_MOVE, 33, 25, 1);
    push(device, EVENT_MOUSE_RELEASE, 33, 25, 1);
    push(device, EVENT_MOUSE_PRESS, 63, 47, 3);
    push(device, EVENT_QUIT, 0, 0, 0);
    process_scene("s");
    scene->draw();
    scene->draw();
    scene->slot__on_deactivate(nullptr);
    return 0;
}
