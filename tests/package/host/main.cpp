// A complete, small host: loads a one-scene list from FOLDER on a headless
// device, plays until the scene's first frame, frees the scenes, and exits 0
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
    VideoSettings settings;
    settings.width = 64, settings.height = 48;
    if (argc != 2 || !video_create("screen", settings)) {
        std::cerr << (argc != 2 ? "usage: tiny_host FOLDER" : video_error()) << std::endl;
        return 2;
    }
    FileIO::FileManager files(argv[1]);
    init("screen");
    Scene* scene = load_scenes("list.yaml", "screen", &files) ? get_scene("only") : nullptr;
    if (!scene) return 1;
    ExitOnFirstFrame stop;
    register_slot("host->stop", &stop);
    connect("only->new_cycle", "host->stop");
    process_scene("only");
    unregister_slot("host->stop");
    const bool shown = scene->scene_loaded();
    return release_scenes() && shown ? 0 : 1;  // the host frees the listed scenes, which the library does not own
}
