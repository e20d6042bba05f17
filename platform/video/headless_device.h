#pragma once

// Backend "headless": a video device without a window. It is a full backend,
// the one the tests and the headless player use; what it draws can be read
// back pixel by pixel or written to a PNG file.
//
// Implemented:
//  [x] Screen of settings.width x settings.height; every new frame starts
//      cleared to settings.background.
//  [x] Images and sprites (shared store, see stored_video_device.h).
//  [x] draw_sprite: the sprite's image at its rectangle, the corner rounded
//      to whole pixels (see sprite_placement.h), alpha-blended source-over
//      (see pixel_compose.h), clipped at the screen's edges.
//  [x] update_screen: presents the frame (it becomes the presented frame),
//      counts it and starts the next frame.
//  [x] Input: events the host pushes come back from get_event in the order
//      pushed; EVENT_NONE when none waits.
//  [x] snapshot(path): the presented frame as an RGBA PNG file.
//  [x] show_mouse_cursor: recorded (mouse_cursor_shown), never drawn, so
//      that snapshots do not depend on where the pointer last was.
//  [x] Switches, all on when the device is made; each one's "off" state:
//      a  new frames start from the presented frame instead of the background,
//      b  images are copied (their alpha included) instead of blended,
//      c  a sprite not wholly on the screen is skipped instead of clipped
//         (a strict mode that makes layouts running off the screen visible),
//      d  the presented frame is frozen: update_screen still counts frames
//         but snapshot and presented_pixel keep showing the last frame
//         presented while d was on.
// Not implemented:
//  [ ] Scaling or rotating sprites: an image is always drawn at its own size.
//  [ ] Any real input device, window, vsync or pacing: frames are presented
//      as fast as update_screen is called (the host paces the clock).
//  [ ] Thread safety: one thread drives a device.

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/video/pixel_compose.h"
#include "platform/video/stored_video_device.h"
#include "services/export.h"
#include "services/video.h"

class SERVICE_API HeadlessDevice final : public StoredVideoDevice {
public:
    // Null with error set when settings.width or settings.height lies
    // outside 1 to max_screen_side (screen_settings.h). settings.title and
    // settings.vsync are not used.
    static std::unique_ptr<HeadlessDevice> create(const VideoSettings& settings, std::string& error);

    Event get_event() override;
    // Always true.
    bool update_screen() override;
    void show_mouse_cursor(bool show) override;
    std::int16_t get_screen_width() override;
    std::int16_t get_screen_height() override;
    void set_switch_a(bool on) override;
    void set_switch_b(bool on) override;
    void set_switch_c(bool on) override;
    void set_switch_d(bool on) override;

    // Queues an event for get_event; events come back in the order pushed.
    void push_event(const Event& event);
    std::size_t pending_events() const { return events_.size(); }
    // Number of update_screen calls so far.
    std::uint64_t frame_count() const { return frames_; }
    bool mouse_cursor_shown() const { return cursor_shown_; }

    // Writes the presented frame (the background before the first
    // update_screen) as an RGBA PNG file. False with get_error() naming the
    // path and the reason when it cannot be written.
    bool snapshot(const std::string& path);
    // The presented frame, width x height words 0xAARRGGBB, rows top to
    // bottom; valid until the next update_screen.
    const std::uint32_t* presented_frame() const { return presented_.data(); }
    // One pixel of the presented frame as 0xRRGGBBAA; 0 outside the screen.
    std::uint32_t presented_pixel(int x, int y) const;

protected:
    bool draw_placed(const Video_Sprite& sprite, const Video_Image& image) override;

private:
    HeadlessDevice(const VideoSettings& settings);
    FrameView building_view() { return FrameView{building_.data(), width_, height_}; }

    int width_, height_;
    std::uint32_t background_;            // as a frame word, 0xAARRGGBB
    std::vector<std::uint32_t> building_;  // the frame draw_sprite draws into
    std::vector<std::uint32_t> presented_;  // the last frame presented
    std::deque<Event> events_;
    std::uint64_t frames_ = 0;
    bool cursor_shown_ = true;
    bool clear_new_frames_ = true, blend_ = true, clip_ = true, keep_presented_ = true;
};
