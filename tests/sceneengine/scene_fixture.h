#pragma once

// Shared setup of the scene suites: a headless device, scene files written to
// a temporary folder and read through a file manager rooted there, the probe
// object kind, a clean signal bus and an empty call log for every test.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/video/headless_device.h"
#include "sceneengine/scenemanager/scene/scene.h"
#include "services/fileio.h"
#include "services/signals.h"
#include "services/video.h"
#include "tests/support/call_log.h"
#include "tests/support/probe_object.h"
#include "tests/support/test_support.h"

namespace scenetest {

class SceneFixture : public ::testing::Test {
protected:
    static constexpr const char* video = "scene-video";

    void SetUp() override {
        signals_reset();
        testsupport::call_log().clear();
        testsupport::register_probe_kind();
        ASSERT_TRUE(video_create(video, VideoSettings())) << video_error();
        files = std::make_unique<FileIO::FileManager>(dir.str());
    }

    void TearDown() override { video_unregister(video); }

    HeadlessDevice* device() { return dynamic_cast<HeadlessDevice*>(video_get_interface(video)); }

    // A scene set up as the scene list sets it up, reading file_text.
    std::unique_ptr<Scene> make_scene(const std::string& name, const std::string& file_text) {
        dir.write(name + ".yaml", file_text);
        auto scene = std::make_unique<Scene>();
        scene->set_name(name);
        scene->set_video_name(video);
        scene->set_storage_file(name + ".yaml");
        scene->set_file_manager(files.get());
        return scene;
    }

    // A loaded scene; the test fails when it does not load.
    std::unique_ptr<Scene> loaded_scene(const std::string& name, const std::string& file_text) {
        auto scene = make_scene(name, file_text);
        EXPECT_TRUE(scene->load_scene());
        return scene;
    }

    testsupport::TempDir dir;
    std::unique_ptr<FileIO::FileManager> files;
};

// The YAML entry of object number index in a scene file.
inline std::string object_entry(int index, const std::string& name, const std::string& type, const std::string& z) {
    return "    Object" + std::to_string(index) + ": {name: " + name + ", type: " + type + ", z_level: \"" + z +
           "\"}\n";
}

// The YAML keys of one probe object, hit inside rect ("x1 y1 x2 y2").
inline std::string probe_keys(const std::string& name, const std::string& rect, bool show = true) {
    return "  " + name + ":\n    Probe: {rect: \"" + rect + "\"}\n    SceneObject: {show: \"" +
           (show ? "true" : "false") + "\"}\n";
}

}  // namespace scenetest
