#pragma once

#include <cstdint>
#include <deque>

#include "platform/video/stored_video_device.h"

namespace bench {

// A video device that keeps images and sprites in the platform's shared store
// (the same lookups every backend makes) but does no pixel work: a draw only
// counts. It isolates what the library and the store cost per frame.
class CountingDevice final : public StoredVideoDevice {
public:
    Event get_event() override {
        if (events_.empty()) return Event();
        Event event = events_.front();
        events_.pop_front();
        return event;
    }
    bool update_screen() override {
        ++frames;
        return true;
    }
    void show_mouse_cursor(bool show) override { cursor_shown = show; }
    std::int16_t get_screen_width() override { return 800; }
    std::int16_t get_screen_height() override { return 600; }
    void set_switch_a(bool) override {}
    void set_switch_b(bool) override {}
    void set_switch_c(bool) override {}
    void set_switch_d(bool) override {}

    void push_event(const Event& event) { events_.push_back(event); }

    std::uint64_t frames = 0;
    std::uint64_t draws = 0;
    bool cursor_shown = false;

protected:
    bool draw_placed(const Video_Sprite&, const Video_Image&) override {
        ++draws;
        return true;
    }

private:
    std::deque<Event> events_;
};

}  // namespace bench
