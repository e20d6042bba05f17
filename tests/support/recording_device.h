#pragma once

#include <cstdint>
#include <string>

#include "platform/video/stored_video_device.h"

namespace testsupport {

// A device of the host's own: it keeps images and sprites as every backend
// does, draws nothing, has no input, and can be told to refuse or lose
// sprites, failures a real device hardly ever shows. The registry never
// destroys a host's device; destroyed counts the destructions so that a test
// can tell.
class RecordingDevice : public StoredVideoDevice {
public:
    ~RecordingDevice() override {
        if (destroyed) ++*destroyed;
    }
    Event get_event() override { return Event(); }
    bool update_screen() override { return true; }
    void show_mouse_cursor(bool) override {}
    std::int16_t get_screen_width() override { return 640; }
    std::int16_t get_screen_height() override { return 480; }
    void set_switch_a(bool) override {}
    void set_switch_b(bool) override {}
    void set_switch_c(bool) override {}
    void set_switch_d(bool) override {}
    bool create_sprite(std::string sprite, std::string scene, std::string image, std::string image_scene,
                       bool flag) override {
        if (refuse_sprites) return set_error("sprites refused"), false;
        return StoredVideoDevice::create_sprite(sprite, scene, image, image_scene, flag);
    }
    Video_Sprite* get_sprite(std::string sprite, std::string scene) override {
        if (lose_sprites) return set_error("sprite lost"), nullptr;
        return StoredVideoDevice::get_sprite(sprite, scene);
    }

    bool refuse_sprites = false;
    bool lose_sprites = false;
    int* destroyed = nullptr;

protected:
    bool draw_placed(const Video_Sprite&, const Video_Image&) override { return true; }
};

}  // namespace testsupport
