#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "player/frame_stats.h"
#include "player/input_script.h"
#include "services/video.h"

namespace player {

// The device sceneplay hands to the library: it forwards every call to the
// real device and, around that, keeps the player's frame count.
//
// Frames are counted by update_screen calls: frame F is the cycle that starts
// after F updates. In it the library reads input (the scripted events stamped
// F, then the real device's), switches scenes and draws; the next
// update_screen presents frame F. The first scene is drawn once before any
// input is read, so events stamped 0 arrive together with frame 1's.
//
// What it adds to the real device:
//  - scripted events, delivered by get_event when their frame has come;
//  - a stop: once the frame limit is reached, or after a snapshot failed,
//    get_event answers with a quit event (EVENT_QUIT), which the library treats
//    as the user closing the window;
//  - snapshots of presented frames through a callback, every K frames;
//  - recording of every event it hands to the library (scripted or real,
//    the stop's own quit excepted), in the input-script format;
//  - a clock step: each update_screen moves the manual clock forward;
//  - a hook at the start of every frame, for the host's work between frames;
//  - the pointer's last known place, from the mouse events delivered.
//
// The real device is not owned and must outlive this one.
class FrameDevice : public Video_Interface {
public:
    // Writes the presented frame as a PNG file; false with a reason.
    using Snapshooter = std::function<bool(const std::string& path, std::string& error)>;

    explicit FrameDevice(Video_Interface* inner);

    // Events in frame order (as parse_script gives them).
    void set_script(std::vector<ScriptedEvent> events);
    // Stop once this many frames are presented; 0: never.
    void set_frame_limit(std::int64_t frames);
    // Each update_screen advances the manual clock by seconds; 0: leave the clock alone.
    void set_clock_step(double seconds);
    // Holds presents at least seconds apart, sleeping when frames come
    // faster, so a window shows frames at the pace a headless replay of its
    // recording counts them; 0: no pacing.
    void set_frame_pacing(double seconds);
    // Snapshots into folder: every `every` frames (0: none on the way) and,
    // through snapshot_last_frame, the last one.
    void set_snapshots(std::string folder, std::int64_t every, Snapshooter shoot);
    // Called by update_screen just before the real device presents, while
    // the frame is still there to be read (a window clears it on presenting).
    void set_present_hook(std::function<void()> hook);
    // Where each frame's time goes (see FrameStats); null: not measured.
    void set_stats(FrameStats* stats);
    // Where recorded lines go, flushed line by line; null: no recording.
    void set_recorder(std::ostream* out);
    // Called at the end of each update_screen with the frame that starts
    // (frame()), after the frame before it was presented and written: the
    // host's work between frames. The library is between cycles then: it
    // neither draws nor dispatches a signal.
    void set_frame_start_hook(std::function<void(std::int64_t frame)> hook);

    // The current frame: update_screen calls so far.
    std::int64_t frame() const { return frame_; }
    // Where the last mouse event handed to the library put the pointer, and
    // the button held then; false before any mouse event.
    bool pointer(float& x, float& y, std::int32_t& held_button) const;
    // The frame limit stopped the play.
    bool stopped_by_limit() const { return stopped_by_limit_; }
    // A quit event reached the library: from the user, the script or the stop.
    bool quit_delivered() const { return quit_delivered_; }
    // Ends the play as a failure with reason: from the next get_event on the
    // library gets a quit event, as after a failed snapshot.
    void stop_with_failure(std::string reason) {
        if (failure_.empty()) failure_ = std::move(reason);
    }
    // A snapshot or the recording failed; the reason.
    bool failed() const { return !failure_.empty(); }
    const std::string& failure() const { return failure_; }
    // Paths of the snapshots written, in order.
    const std::vector<std::string>& snapshots() const { return snapshots_; }
    // The file name of frame F's snapshot within the folder.
    static std::string snapshot_name(std::int64_t frame);
    // Writes the last presented frame unless it was written already. False
    // (with failure() set) when the write fails; true without snapshots.
    bool snapshot_last_frame();

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
    bool create_shared_image(std::string name, std::string scene, int width, int height,
                             Video_Pixels pixels) override;
    Video_Image* get_image(std::string name, std::string scene) override;
    bool create_sprite(std::string sprite, std::string scene, std::string image, std::string image_scene,
                       bool flag) override;
    Video_Sprite* get_sprite(std::string sprite, std::string scene) override;
    bool draw_sprite(std::string sprite, std::string scene) override;
    std::string get_error() override;

private:
    Event deliver(const Event& event);
    bool take_snapshot(std::int64_t frame);
    void pace();

    Video_Interface* inner_;
    std::vector<ScriptedEvent> script_;
    std::size_t next_ = 0;
    std::int64_t frame_ = 0;
    std::int64_t frame_limit_ = 0;
    double clock_step_ = 0;
    std::chrono::steady_clock::duration pace_{};
    std::chrono::steady_clock::time_point next_present_{};
    std::string snapshot_folder_;
    std::int64_t snapshot_every_ = 0;
    Snapshooter shoot_;
    std::function<void()> present_hook_;
    std::function<void(std::int64_t)> frame_start_hook_;
    std::int64_t last_snapshot_ = -1;
    std::vector<std::string> snapshots_;
    std::ostream* recorder_ = nullptr;
    bool quit_delivered_ = false;
    bool stopped_by_limit_ = false;
    FrameStats* stats_ = nullptr;
    std::chrono::steady_clock::time_point frame_began_{};  // after the wait for the frame's turn
    bool pointer_known_ = false;
    Event pointer_;  // the last mouse event delivered, button = the one held after it
    std::string failure_;
};

}  // namespace player
