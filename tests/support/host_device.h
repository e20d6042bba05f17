#pragma once

#include <cstdint>

#include "platform/video/stored_video_device.h"

namespace testsupport {

// A device of the host's own that keeps images and sprites as every backend does, draws nothing and has no input.
// The registry never destroys a host's device; destroyed counts the destructions so that a test can tell.
class HostDevice : public StoredVideoDevice {
public:
    ~HostDevice() override {
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

    int* destroyed = nullptr;

protected:
    bool draw_placed(const Video_Sprite&, const Video_Image&) override { return true; }
};

}  // namespace testsupport
