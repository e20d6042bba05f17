#pragma once

// The library initialised on a registry-made headless device, the probe kinds, a temporary folder (with an empty scene,
// empty.yaml) read through a file manager, and helpers that load scenes and objects as the library does. Library state
// outlives a test: each test uses names of its own.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/video/headless_device.h"
#include "sceneengine/scenemanager/scene/scene.h"
#include "sceneengine/scenemanager/scene_fabric.h"
#include "sceneengine/scenemanager/scene_object_fabric.h"
#include "sceneengine/scenemanager/sceneengine.h"
#include "sceneengine/sceneobjects/scene_object.h"
#include "services/config.h"
#include "services/fileio.h"
#include "services/signals.h"
#include "services/video.h"
#include "tests/support/test_support.h"

namespace testsupport {

using Strings = std::vector<std::string>;

// The calls the probe scene and objects saw, in order.
inline Strings& call_log() {
    static Strings log;
    return log;
}

inline Strings call_log_with(const std::string& prefix) {
    Strings result;
    for (const std::string& entry : call_log())
        if (entry.compare(0, prefix.size(), prefix) == 0) result.push_back(entry);
    return result;
}

// Object kind "Probe": logs "probe:NAME:OPERATION". Keys: Probe->rect "x1 y1 x2 y2" (hit area, edges included; without
// it nothing hits), Probe->fail "true" (load fails: "told to fail").
class ProbeObject : public virtual SceneObject {
public:
    ~ProbeObject() override { log("destroyed"); }
    bool load(Scene* scene, std::string storage_name, std::string storage_prefix, std::string scene_name,
              std::string object_name, FileIO::FileManager* file_manager) override {
        if (!SceneObject::load(scene, storage_name, storage_prefix, scene_name, object_name, file_manager))
            return false;
        Config_Interface* config = config_get_interface(storage_name);
        const std::string rect = config->get_value(storage_prefix + "Probe->rect", "");
        std::sscanf(rect.c_str(), "%f %f %f %f", &x1_, &y1_, &x2_, &y2_);
        log("load");
        if (config->get_value(storage_prefix + "Probe->fail", "") != "true") return true;
        _set_error("told to fail");
        return false;
    }
    void draw() override {
        log("draw");
        if (on_draw) on_draw();
    }
    std::function<void()> on_draw;
    bool _is_point_in_object(float px, float py) override {
        return px >= x1_ && px <= x2_ && py >= y1_ && py <= y2_;
    }
    void _on_mouse_enter(float px, float py, MOUSE_BUTTON button) override { log_point("enter", px, py, button); }
    void _on_mouse_leave(float px, float py, MOUSE_BUTTON button) override { log_point("leave", px, py, button); }
    bool slot__on_activate(SlotArgs* args) override {
        if (args && args->float_count() >= 2 && args->int_count() >= 1)
            log_point("activate", args->get_float(0), args->get_float(1), std::int64_t(args->get_int(0)));
        return true;
    }
    void register_slots() override { log("register_slots"), SceneObject::register_slots(); }
    void unregister_slots() override { log("unregister_slots"), SceneObject::unregister_slots(); }
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

    float x1_ = 1, y1_ = 1, x2_ = 0, y2_ = 0;  // an empty area unless Probe->rect sets it
};

// Scene kind "probe": logs "scene:NAME:OPERATION", then does what a plain Scene does.
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

// The library's scenes are freed at the end of the run, as a host frees them.
class ReleaseScenes : public ::testing::Environment {
    void TearDown() override { EXPECT_TRUE(release_scenes()); }
};
inline const bool release_scenes_registered = (::testing::AddGlobalTestEnvironment(new ReleaseScenes), true);

struct SceneDeleter {
    void operator()(Scene* scene) const { delete_scene(scene); }
};
using ScenePtr = std::unique_ptr<Scene, SceneDeleter>;

inline Event key_event(std::int32_t type, std::int32_t code) {
    Event event;
    event.type = type;
    (type == EVENT_CHARACTER ? event.character : event.key) = code;
    return event;
}
inline Event mouse_event(std::int32_t type, float x, float y, std::int32_t button, float dx = 0, float dy = 0) {
    Event event = key_event(type, 0);
    event.x = x, event.y = y, event.dx = dx, event.dy = dy, event.button = button;
    return event;
}
inline Event quit_event() { return key_event(EVENT_QUIT, 0); }

class LibraryFixture : public ::testing::Test {
protected:
    static constexpr const char* video = "library-video";

    void SetUp() override {
        signals_reset();
        register_probes();
        make_device(video);
        init(video);
        files = std::make_unique<FileIO::FileManager>(dir.str());
        dir.write("empty.yaml", "Scene: {}\n");
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        scene = std::string(info->test_suite_name()) + "_" + info->name();
        config = "config_" + scene;
        call_log().clear();
    }
    void TearDown() override {
        signals_reset();  // the test's slots go with it
        video_unregister(video);
        config_remove(config);
    }

    static void make_device(const std::string& name) { ASSERT_TRUE(video_create(name, {})) << video_error(); }
    static HeadlessDevice* device() { return dynamic_cast<HeadlessDevice*>(video_get_interface(video)); }
    static void push_events(std::initializer_list<Event> events) {
        for (const Event& event : events) device()->push_event(event);
    }

    // Writes and loads a scene list of entries (YAML flow mappings) for scenes drawn on scene_video.
    bool load_list(const std::string& file, const Strings& entries, const std::string& scene_video = video) {
        std::string text = "Scenes:\n";
        for (std::size_t i = 0; i < entries.size(); ++i)
            text += "  Scene" + std::to_string(i) + ": " + entries[i] + "\n";
        dir.write(file, text);
        return load_scenes(file, scene_video, files.get());
    }

    // A scene list entry of the generic kind, and of the probe kind; more: "key: value, ...".
    static std::string entry(const std::string& name, const std::string& file, const std::string& more = "") {
        return "{name: " + name + ", file: " + file + (more.empty() ? "" : ", " + more) + "}";
    }
    static std::string scene_entry(const std::string& name, const std::string& file, const std::string& more = "") {
        return entry(name, file, more.empty() ? "type: probe" : "type: probe, " + more);
    }

    // A scene set up as the scene list sets it up, reading file_text; loaded_scene also loads it (or fails the test).
    ScenePtr make_scene(const std::string& name, const std::string& file_text) {
        dir.write(name + ".yaml", file_text);
        ScenePtr made(new Scene());
        made->set_name(name);
        made->set_video_name(video);
        made->set_storage_file(name + ".yaml");
        made->set_file_manager(files.get());
        return made;
    }
    ScenePtr loaded_scene(const std::string& name, const std::string& file_text) {
        auto made = make_scene(name, file_text);
        EXPECT_TRUE(made->load_scene());
        return made;
    }

    // Scene file YAML: the entry of object number index; a file of one object; the keys of a probe hit inside rect.
    static std::string object_entry(int index, const std::string& name, const std::string& type,
                                    const std::string& z = "0") {
        return "    Object" + std::to_string(index) + ": {name: " + name + ", type: " + type + ", z_level: \"" + z +
               "\"}\n";
    }
    static std::string one_object(const std::string& name, const std::string& type, const std::string& keys) {
        return "Scene:\n  Objects:\n" + object_entry(0, name, type) + "Objects:\n  " + name + ": {" + keys + "}\n";
    }
    static std::string probe_keys(const std::string& name, const std::string& rect, bool show = true) {
        return "  " + name + ":\n    Probe: {rect: \"" + rect + "\"}\n    SceneObject: {show: \"" +
               (show ? "true" : "false") + "\"}\n";
    }

    // Makes the configuration single objects are loaded from; load reads object `name` from it as a scene does.
    void configure(const std::string& yaml) {
        config_remove(config);
        ASSERT_TRUE(config_create(config, "quillbox", 1)) << config_error();
        ASSERT_TRUE(config_get_interface(config)->load_file(dir.write(config + ".yaml", yaml), nullptr))
            << config_error();
    }
    bool load(SceneObject& object, const std::string& name, Scene* owner = nullptr) {
        object.set_video_name(video);
        return object.load(owner, config, "Objects->" + name + "->", scene, name, files.get());
    }

    // A slot, registered under name and connected to signal, that runs body.
    void on_signal(const std::string& signal, const std::string& name, std::function<void(SlotArgs*)> body) {
        slots.push_back(std::make_unique<FunctionSlot>(std::move(body)));
        register_slot(name, slots.back().get());
        connect(signal, name);
    }

    // Counts the frames (new cycles) of scene `from`; asks for next at frame `at`.
    std::shared_ptr<int> switch_at_frame(const std::string& from, const std::string& next, int at = 1) {
        auto frames = std::make_shared<int>(0);
        on_signal(from + "->new_cycle", from + "-frame-" + std::to_string(at) + "-" + next,
                  [frames, at, next](SlotArgs*) {
                      if (++*frames == at) set_next_scene(next);
                  });
        return frames;
    }

    TempDir dir;
    std::unique_ptr<FileIO::FileManager> files;
    std::vector<std::unique_ptr<FunctionSlot>> slots;
    std::string scene, config;  // names of this test's own
};

}  // namespace testsupport
