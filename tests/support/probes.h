#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "sceneengine/scenemanager/scene/scene.h"
#include "sceneengine/scenemanager/scene_fabric.h"
#include "sceneengine/scenemanager/scene_object_fabric.h"
#include "sceneengine/sceneobjects/scene_object.h"
#include "services/config.h"

namespace testsupport {

// One process-wide list of calls, in the order they happened, that the probe scene and the probe object write to.
inline std::vector<std::string>& call_log() {
    static std::vector<std::string> log;
    return log;
}

// The entries of the call log that start with prefix.
inline std::vector<std::string> call_log_with(const std::string& prefix) {
    std::vector<std::string> result;
    for (const std::string& entry : call_log())
        if (entry.compare(0, prefix.size(), prefix) == 0) result.push_back(entry);
    return result;
}

// A test-only object kind, registered as "Probe" by register_probes(). It
// writes "probe:" + its name + ":" + the operation to call_log() for the
// operations a scene calls on it. Its own keys, under the object's prefix:
//   Probe->rect  "x1 y1 x2 y2": the area the point test hits, edges included
//                (without it the object is never hit);
//   Probe->fail  "true": load fails with the error "told to fail".
class ProbeObject : public virtual SceneObject {
public:
    ~ProbeObject() override { log("destroyed"); }

    bool load(Scene* scene, std::string storage_name, std::string storage_prefix, std::string scene_name,
              std::string object_name, FileIO::FileManager* file_manager) override {
        if (!SceneObject::load(scene, storage_name, storage_prefix, scene_name, object_name, file_manager))
            return false;
        Config_Interface* config = config_get_interface(storage_name);
        const std::string rect = config->get_value(storage_prefix + "Probe->rect", "");
        has_rect_ = std::sscanf(rect.c_str(), "%f %f %f %f", &x1_, &y1_, &x2_, &y2_) == 4;
        log("load");
        if (config->get_value(storage_prefix + "Probe->fail", "") != "true") return true;
        _set_error("told to fail");
        return false;
    }

    void draw() override {
        log("draw");
        if (on_draw) on_draw();
    }
    std::function<void()> on_draw;  // what a test does from inside the draw

    bool _is_point_in_object(float px, float py) override {
        return has_rect_ && px >= x1_ && px <= x2_ && py >= y1_ && py <= y2_;
    }

    void _on_mouse_enter(float px, float py, MOUSE_BUTTON button) override { log_point("enter", px, py, button); }
    void _on_mouse_leave(float px, float py, MOUSE_BUTTON button) override { log_point("leave", px, py, button); }

    bool slot__on_activate(SlotArgs* args) override {
        if (args && args->float_count() >= 2 && args->int_count() >= 1)
            log_point("activate", args->get_float(0), args->get_float(1), std::int64_t(args->get_int(0)));
        else
            log("activate");
        return true;
    }

    void register_slots() override { log("register_slots"), SceneObject::register_slots(); }
    void unregister_slots() override { log("unregister_slots"), SceneObject::unregister_slots(); }
    void connect_signals(bool on_load) override {
        log(on_load ? "connect_signals true" : "connect_signals false"), SceneObject::connect_signals(on_load);
    }
    void disconnect_signals(bool all) override {
        log(all ? "disconnect_signals true" : "disconnect_signals false"), SceneObject::disconnect_signals(all);
    }

private:
    void log(const std::string& what) const { call_log().push_back("probe:" + _object_name_ + ":" + what); }
    void log_point(const char* what, float px, float py, std::int64_t button) const {
        char text[96];
        std::snprintf(text, sizeof text, "%s %g %g %lld", what, double(px), double(py), static_cast<long long>(button));
        log(text);
    }

    bool has_rect_ = false;
    float x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
};

// A test-only scene kind, registered as "probe" by register_probes(). It writes "scene:" + its name + ":" + the
// operation to call_log() for the operations the frame loop and the scene list call, then does what a plain Scene does.
class ProbeScene : public Scene {
public:
    ~ProbeScene() override { log("destroyed"); }

    bool load_scene() override { return log("load_scene"), Scene::load_scene(); }
    bool draw() override { return log("draw"), Scene::draw(); }
    void reinit() override { log("reinit"), Scene::reinit(); }
    bool slot__on_activate(SlotArgs* args) override { return log("activate"), Scene::slot__on_activate(args); }
    bool slot__on_deactivate(SlotArgs* args) override { return log("deactivate"), Scene::slot__on_deactivate(args); }

private:
    void log(const std::string& what) const { call_log().push_back("scene:" + get_name() + ":" + what); }
};

inline void register_probes() {
    static ObjectFabric<ProbeObject> objects;
    static SceneFabrics<ProbeScene> scenes;
    SceneObjectFabric::add_fabric("Probe", &objects);
    SceneFabric::add_fabric("probe", &scenes);
}

}  // namespace testsupport
