#pragma once

// Shared setup of the entry and frame-loop suites: the library initialised
// on a recording device, the probe scene and object kinds, scene lists and
// scene files written to a temporary folder, a clean signal bus and call log.
//
// The library's state lives as long as the process: every test uses scene
// names of its own.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "sceneengine/scenemanager/scene/scene.h"
#include "sceneengine/scenemanager/sceneengine.h"
#include "services/fileio.h"
#include "services/signals.h"
#include "services/video.h"
#include "tests/support/call_log.h"
#include "tests/support/function_slot.h"
#include "tests/support/probe_object.h"
#include "tests/support/probe_scene.h"
#include "tests/support/recording_device.h"
#include "tests/support/test_support.h"

namespace entrytest {

class EntryFixture : public ::testing::Test {
protected:
    static constexpr const char* video = "loop-video";

    void SetUp() override {
        signals_reset();
        testsupport::register_probe_kind();
        testsupport::register_probe_scene_kind();
        video_register(video, &device);
        init(video);
        files = std::make_unique<FileIO::FileManager>(dir.str());
        testsupport::call_log().clear();
    }

    void TearDown() override {
        signals_reset();  // the test's slots go with it
        video_unregister(video);
    }

    // Writes a scene list of the given "Scenes->SceneN" entries (YAML flow
    // mappings, entry N at index N) and loads it.
    bool load_list(const std::string& file, const std::vector<std::string>& entries) {
        std::string text = "Scenes:\n";
        for (std::size_t i = 0; i < entries.size(); ++i)
            text += "  Scene" + std::to_string(i) + ": " + entries[i] + "\n";
        dir.write(file, text);
        return load_scenes(file, video, files.get());
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

    // Asks for next at the first new cycle of scene (each draw raises one).
    void switch_after_first_frame(const std::string& scene, const std::string& next) {
        auto done = std::make_shared<bool>(false);
        on_signal(scene + "->new_cycle", scene + "-to-" + next, [done, next](SlotArgs*) {
            if (!*done) set_next_scene(next);
            *done = true;
        });
    }

    testsupport::RecordingDevice device;
    testsupport::TempDir dir;
    std::unique_ptr<FileIO::FileManager> files;
    std::vector<std::unique_ptr<testsupport::FunctionSlot>> slots;
};

// A scene list entry.
inline std::string scene_entry(const std::string& name, const std::string& file, const std::string& more = "") {
    return "{name: " + name + ", file: " + file + ", type: probe" + (more.empty() ? "" : ", " + more) + "}";
}

}  // namespace entrytest
