#pragma once

// Shared setup of the scene-object suites: a headless video device, a real
// YAML configuration loaded from a temporary folder, and helpers that load an
// object the way its scene does.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "sceneengine/sceneobjects/scene_object.h"
#include "services/config.h"
#include "services/signals.h"
#include "services/video.h"
#include "tests/support/test_support.h"

namespace objecttest {

// A SceneObject with nothing of its own, counting the slot calls it receives.
class PlainObject : public SceneObject {
public:
    void draw() override {}
    bool slot__on_key_press(SlotArgs*) override { ++key_presses; return true; }
    bool slot__on_activate(SlotArgs*) override { ++activations; return true; }
    int key_presses = 0;
    int activations = 0;
};

// Records the float parameters of every call it receives.
class RecordingSlot : public AbstractSlot {
public:
    bool call(SlotArgs* args) override {
        std::vector<float> floats;
        for (std::size_t i = 0; args && i < args->float_count(); ++i) floats.push_back(args->get_float(i));
        calls.push_back(floats);
        return true;
    }
    std::vector<std::vector<float>> calls;
};

// A PNG of width x height whose every pixel is rgba (0xRRGGBBAA).
inline std::vector<std::uint8_t> solid_png(int width, int height, std::uint32_t rgba) {
    std::vector<std::uint8_t> pixels;
    for (int i = 0; i < width * height; ++i)
        for (int shift = 24; shift >= 0; shift -= 8) pixels.push_back(std::uint8_t(rgba >> shift));
    return testsupport::encode_png(width, height, pixels);
}

// A round button: an opaque disc on a transparent square.
inline std::vector<std::uint8_t> disc_png(int size, std::uint32_t rgba) {
    std::vector<std::uint8_t> pixels;
    const double radius = size / 2.0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double dx = x + 0.5 - radius, dy = y + 0.5 - radius;
            const bool inside = dx * dx + dy * dy <= radius * radius;
            for (int shift = 24; shift >= 0; shift -= 8)
                pixels.push_back(inside || shift != 0 ? std::uint8_t(rgba >> shift) : 0);
        }
    return testsupport::encode_png(size, size, pixels);
}

class ObjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        signals_reset();
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        unique = std::string(info->test_suite_name()) + "_" + info->name();
        video = "video_" + unique;
        scene = "scene_" + unique;
        config = "config_" + unique;
        ASSERT_TRUE(video_create(video, VideoSettings{}));
    }

    void TearDown() override {
        video_unregister(video);
        config_remove(config);
        signals_reset();
    }

    // Makes the configuration the objects read from a YAML text.
    void configure(const std::string& yaml) {
        ASSERT_TRUE(config_create(config, "quillbox", 1)) << config_error();
        Config_Interface* interface = config_get_interface(config);
        ASSERT_NE(interface, nullptr);
        ASSERT_TRUE(interface->load_file(dir.write(config + ".yaml", yaml), nullptr)) << config_error();
    }

    // Loads object under name the way a scene does.
    bool load(SceneObject& object, const std::string& name, Scene* owner = nullptr) {
        object.set_video_name(video);
        return object.load(owner, config, "Objects->" + name + "->", scene, name, nullptr);
    }

    Video_Interface* device() { return video_get_interface(video); }

    // Puts device in place of the headless one under the same name; the test
    // keeps it alive until TearDown.
    void use_device(Video_Interface* replacement) {
        video_unregister(video);
        video_register(video, replacement);
    }

    testsupport::TempDir dir;
    std::string unique, video, scene, config;
};

}  // namespace objecttest
