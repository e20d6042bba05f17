#pragma once

#include <string>

#include "sceneengine/scenemanager/scene/scene.h"
#include "sceneengine/scenemanager/scene_fabric.h"
#include "tests/support/call_log.h"

namespace testsupport {

// A test-only scene kind, registered as "probe" by register_probe_scene_kind().
// It writes "scene:" + its name + ":" + the operation to call_log() for the
// operations the frame loop and the scene list call, then does what a plain
// Scene does.
class ProbeScene : public Scene {
public:
    ~ProbeScene() override { log("destroyed"); }

    bool load_scene() override {
        log("load_scene");
        return Scene::load_scene();
    }
    bool draw() override {
        log("draw");
        return Scene::draw();
    }
    void reinit() override {
        log("reinit");
        Scene::reinit();
    }
    bool slot__on_activate(SlotArgs* args) override {
        log("activate");
        return Scene::slot__on_activate(args);
    }
    bool slot__on_deactivate(SlotArgs* args) override {
        log("deactivate");
        return Scene::slot__on_deactivate(args);
    }

private:
    void log(const std::string& what) const { call_log().push_back("scene:" + get_name() + ":" + what); }
};

inline void register_probe_scene_kind() {
    static SceneFabrics<ProbeScene> fabric;
    SceneFabric::add_fabric("probe", &fabric);
}

}  // namespace testsupport
