#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "services/video.h"

namespace testsupport {

// The one test device. Every call is written to call_log() as "video:" + the
// operation and its arguments, for checking exact call sequences. It keeps
// images and sprites like any device, and can be told to refuse sprites or to
// lose them, the failure paths a real device never takes. get_event hands out
// the queued events in order, then type 7.
//
// Plug it in with video_register(name, &device); it must outlive that
// registration (the registry never destroys a host's device: destroyed counts
// destructions so that tests can tell).
class RecordingDevice : public Video_Interface {
public:
    ~RecordingDevice() override;
    Event get_event() override;
    bool update_screen() override { return record("update_screen"), true; }
    void show_mouse_cursor(bool show) override { record(show ? "show_mouse_cursor true" : "show_mouse_cursor false"); }
    std::int16_t get_screen_width() override { return record("get_screen_width"), 640; }
    std::int16_t get_screen_height() override { return record("get_screen_height"), 480; }
    void set_switch_a(bool on) override { record(on ? "set_switch_a true" : "set_switch_a false"); }
    void set_switch_b(bool on) override { record(on ? "set_switch_b true" : "set_switch_b false"); }
    void set_switch_c(bool on) override { record(on ? "set_switch_c true" : "set_switch_c false"); }
    void set_switch_d(bool on) override { record(on ? "set_switch_d true" : "set_switch_d false"); }
    bool create_image(std::string name, std::string scene, int width, int height, const std::uint32_t* pixels) override;
    Video_Image* get_image(std::string name, std::string scene) override;
    bool create_sprite(std::string sprite, std::string scene, std::string image, std::string image_scene,
                       bool flag) override;
    Video_Sprite* get_sprite(std::string sprite, std::string scene) override;
    bool draw_sprite(std::string sprite, std::string scene) override;
    std::string get_error() override { return error; }

    void push_event(const Event& event) { events.push_back(event); }

    std::deque<Event> events;
    bool refuse_sprites = false;
    bool lose_sprites = false;
    int sprite_width = -1;  // -1: the image's size
    std::string error;
    std::vector<std::string> drawn;  // "sprite@scene" of every draw
    int* destroyed = nullptr;
    std::map<std::pair<std::string, std::string>, std::unique_ptr<Video_Image>> images;
    std::map<std::pair<std::string, std::string>, std::unique_ptr<Video_Sprite>> sprites;

private:
    static void record(const std::string& call);
};

// A copy of log with each run of consecutive "video:get_event" entries
// folded into one entry "video:get_event x" + the run's length.
std::vector<std::string> fold_polls(const std::vector<std::string>& log);

// Events as the video device reports them.
Event key_event(std::int32_t type, std::int32_t code);
Event mouse_event(std::int32_t type, float x, float y, float dx, float dy, std::int32_t button);
Event quit_event();

}  // namespace testsupport
