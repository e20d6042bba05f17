// Bytes as a scene file, loaded by a scene on the headless device, then a few
// frames drawn with pushed mouse events.
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
        init("fuzz");
        if (!load_scenes("list.yaml", "fuzz", &files)) std::abort();
        return dynamic_cast<HeadlessDevice*>(video_get_interface("fuzz"));
    }();
    if (!device) std::abort();
    Scene* scene = get_scene("s");
    if (!scene) std::abort();

    empty_scene(scene);
    fuzz_write("scene.yaml", data, size);
    scene->load_scene();

    push(device, 4, 10, 10, 0);
    push(device, 2, 32, 24, 1);
    push(device, 4, 33, 25, 1);
    push(device, 3, 33, 25, 1);
    push(device, 2, 63, 47, 3);
    push(device, 6, 0, 0, 0);
    process_scene("s");
    scene->draw();
    scene->draw();
    scene->slot__on_deactivate(nullptr);
    return 0;
}
