// Loads a one-scene list on a headless device, plays three frames, and exits 0
// when the scene was shown.
#include <iostream>

#include "sceneengine/scenemanager/scene/scene.h"
#include "sceneengine/scenemanager/sceneengine.h"
#include "services/fileio.h"
#include "services/signals.h"
#include "services/video.h"

// Ends the frame loop at the first frame the scene draws.
class ExitOnFirstFrame : public AbstractSlot {
public:
    bool call(SlotArgs*) override {
        set_next_scene("exit");
        return true;
    }
};

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: tiny_host FOLDER" << std::endl;
        return 2;
    }
    VideoSettings settings;
    settings.width = 64;
    settings.height = 48;
    if (!video_create("screen", settings)) {
        std::cerr << video_error() << std::endl;
        return 1;
    }
    FileIO::FileManager files(argv[1]);
    init("screen");
    if (!load_scenes("list.yaml", "screen", &files)) return 1;
    Scene* scene = get_scene("only");
    if (!scene) return 1;
    ExitOnFirstFrame stop;
    register_slot("host->stop", &stop);
    connect("only->new_cycle", "host->stop");
    process_scene("only");
    unregister_slot("host->stop");
    return scene->scene_loaded() ? 0 : 1;
}
