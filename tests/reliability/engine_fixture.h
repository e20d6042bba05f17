#pragma once

// Shared setup of the reliability suites: the library initialised on a
// headless device made through the registry (so that unregistering it really
// destroys it), the probe object kind, scene lists and scene files written to
// a temporary folder, and slots made from lambdas.
//
// The library's state lives as long as the process: every test uses scene
// names of its own.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/video/headless_device.h"
#include "sceneengine/scenemanager/scene/scene.h"
#include "sceneengine/scenemanager/sceneengine.h"
#include "services/fileio.h"
#include "services/signals.h"
#include "services/video.h"
#include "tests/support/call_log.h"
#include "tests/support/function_slot.h"
#include "tests/support/probe_object.h"
#include "tests/support/recording_device.h"
#include "tests/support/test_support.h"

namespace reliability {

using Strings = std::vector<std::string>;

class EngineFixture : public ::testing::Test {
protected:
    static constexpr const char* video = "reliable-video";

    void SetUp() override {
        signals_reset();
        testsupport::register_probe_kind();
        make_device(video);
        init(video);
        files = std::make_unique<FileIO::FileManager>(dir.str());
        testsupport::call_log().clear();
    }

    void TearDown() override {
        signals_reset();  // the test's slots go with it
        video_unregister(video);
    }

    static void make_device(const std::string& name, int width = 64, int height = 48) {
        VideoSettings settings;
        settings.width = width;
        settings.height = height;
        ASSERT_TRUE(video_create(name, settings)) << video_error();
    }

    static HeadlessDevice* device(const std::string& name = video) {
        return dynamic_cast<HeadlessDevice*>(video_get_interface(name));
    }

    // Writes a scene list of "Scenes->SceneN" entries (YAML flow mappings)
    // and loads it for scenes drawn on scene_video.
    bool load_list(const std::string& file, const Strings& entries, const std::string& scene_video = video) {
        std::string text = "Scenes:\n";
        for (std::size_t i = 0; i < entries.size(); ++i)
            text += "  Scene" + std::to_string(i) + ": " + entries[i] + "\n";
        dir.write(file, text);
        return load_scenes(file, scene_video, files.get());
    }

    static std::string entry(const std::string& name, const std::string& file) {
        return "{name: " + name + ", file: " + file + "}";
    }

    // A slot, registered under name and connected to signal, that runs body.
    void on_signal(const std::string& signal, const std::string& name, std::function<void(SlotArgs*)> body) {
        slots.push_back(std::make_unique<testsupport::FunctionSlot>([body](SlotArgs* args) {
            body(args);
            return true;
        }));
        register_slot(name, slots.back().get());
        connect(signal, name);
    }

    // Counts the frames of scene; asks for next once the count reaches at.
    std::shared_ptr<int> switch_at_frame(const std::string& scene, int at, const std::string& next) {
        auto frames = std::make_shared<int>(0);
        on_signal(scene + "->new_cycle", scene + "-frame-" + std::to_string(at) + "-" + next,
                  [frames, at, next](SlotArgs*) {
                      if (++*frames == at) set_next_scene(next);
                  });
        return frames;
    }

    testsupport::TempDir dir;
    std::unique_ptr<FileIO::FileManager> files;
    std::vector<std::unique_ptr<testsupport::FunctionSlot>> slots;
};

}  // namespace reliability
