#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "services/video.h"

namespace testsupport {

// A video device that draws nothing and writes every call it receives to
// call_log() as "video:" + the operation and its arguments, for checking
// exact call sequences. get_event hands out the queued events in order, then
// type 7. Images and sprites are not kept: create_* succeed, get_* answer null.
//
// Plug it in with video_register(name, &device); it must outlive that
// registration.
class RecordingDevice : public Video_Interface {
public:
    Event get_event() override;
    bool update_screen() override;
    void show_mouse_cursor(bool show) override;
    std::int16_t get_screen_width() override;
    std::int16_t get_screen_height() override;
    void set_switch_a(bool on) override;
    void set_switch_b(bool on) override;
    void set_switch_c(bool on) override;
    void set_switch_d(bool on) override;
    bool create_image(std::string name, std::string scene, int width, int height,
                      const std::uint32_t* pixels) override;
    Video_Image* get_image(std::string name, std::string scene) override;
    bool create_sprite(std::string sprite, std::string scene, std::string image, std::string image_scene,
                       bool flag) override;
    Video_Sprite* get_sprite(std::string sprite, std::string scene) override;
    bool draw_sprite(std::string sprite, std::string scene) override;
    std::string get_error() override;

    void push_event(const Event& event) { events.push_back(event); }

    std::deque<Event> events;
    std::int16_t width = 640;
    std::int16_t height = 480;
};

// A copy of log with each run of consecutive "video:get_event" entries
// folded into one entry "video:get_event x" + the run's length.
std::vector<std::string> fold_polls(const std::vector<std::string>& log);

// Events as the video device reports them.
Event key_event(std::int32_t type, std::int32_t code);
Event mouse_event(std::int32_t type, float x, float y, float dx, float dy, std::int32_t button);
Event quit_event();

}  // namespace testsupport
