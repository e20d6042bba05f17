#pragma once

// Backend "sdl": a real window through SDL2's SDL_Renderer.
//
// Implemented:
//  [x] A window of settings.width x settings.height titled settings.title;
//      an accelerated renderer where one is available (paced to the display
//      when settings.vsync), SDL's software renderer otherwise.
//  [x] Images and sprites (shared store, see stored_video_device.h). Each
//      image becomes one texture, made at its first draw and made again
//      after the image is replaced.
//  [x] draw_sprite: the image's texture at the sprite's rectangle, placed on
//      whole pixels by the same rule as the headless backend
//      (sprite_placement.h), alpha-blended.
//  [x] Scaling: scenes draw into a frame of settings.width x settings.height
//      (the design size), which update_screen scales to the window, keeping
//      its aspect ratio, centred between black bars. The window is
//      resizable; set_fullscreen fills the desktop. Mouse positions and
//      motions are mapped back to the design size (positions over the bars
//      fall outside it). Where the renderer has no render targets, frames
//      are drawn straight to the window, unscaled.
//  [x] update_screen: presents the frame, then clears the next one to
//      settings.background. Draws are kept and rendered when the frame is
//      presented or read back. A frame drawn with the same calls as the one
//      on screen (the same images, unreplaced, at the same places, the same
//      switches) is neither rendered nor presented again, unless the window
//      was exposed, resized or changed state since: a still scene costs
//      little more than the library's walk over its objects.
//  [x] show_mouse_cursor: SDL_ShowCursor.
//  [x] Input: keys, typed text, mouse buttons and motion, quit and window
//      close, mapped as sdl_events.h lists.
//  [x] read_pixels: the frame being built, read back from the renderer.
//  [x] Switches, all on when the device is made; each one's "off" state:
//      a  new frames are not cleared (what a renderer keeps after presenting
//         is up to its driver),
//      b  textures are copied (SDL_BLENDMODE_NONE) instead of blended,
//      c  a sprite not wholly in the window is skipped instead of clipped,
//      d  update_screen does not present: the window keeps its last frame.
// Not implemented:
//  [ ] Rotation, high-DPI backing stores.
//  [ ] Images larger than the renderer's largest texture: drawing one fails
//      with SDL's reason.
//  [ ] Several SDL devices sharing input: SDL's event queue belongs to the
//      process, so whichever device polls first takes every event.
//  [ ] Mouse wheel, touch, game controllers, text editing (IME) events.
//  [ ] Thread safety: the thread that made the device must drive it.

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/video/stored_video_device.h"
#include "services/export.h"
#include "services/video.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
union SDL_Event;

class SERVICE_API SdlDevice final : public StoredVideoDevice {
public:
    // Null with error set when the screen size is out of range
    // (screen_settings.h) or SDL cannot open a window; the error then ends
    // with SDL's own reason.
    static std::unique_ptr<SdlDevice> create(const VideoSettings& settings, std::string& error);
    ~SdlDevice() override;

    Event get_event() override;
    // False with get_error() set when SDL fails to present or clear.
    bool update_screen() override;
    void show_mouse_cursor(bool show) override;
    std::int16_t get_screen_width() override;
    std::int16_t get_screen_height() override;
    void set_switch_a(bool on) override;
    void set_switch_b(bool on) override;
    void set_switch_c(bool on) override;
    void set_switch_d(bool on) override;

    // Fills rgba with the frame being built (what the next update_screen
    // presents): width x height pixels of red, green, blue, alpha bytes, top
    // row first. False with get_error() set when SDL cannot read it.
    bool read_pixels(std::vector<std::uint8_t>& rgba);
    // Fills the desktop (true) or goes back to a window (false); false with
    // get_error() set when SDL refuses.
    bool set_fullscreen(bool on);
    bool fullscreen() const;
    // When on, F11 and Alt+Enter toggle full screen; those presses and their
    // releases are the device's own and are not handed out as events.
    void set_fullscreen_keys(bool on) { fullscreen_keys_ = on; }
    // Sets the window's title (UTF-8).
    void set_title(const std::string& title);
    // Frames handed to the window so far; a frame like the one on screen is not.
    std::size_t presented_frames() const { return presented_frames_; }
    // The name of the SDL renderer in use ("opengl", "software", ...).
    std::string renderer_name() const;

protected:
    bool draw_placed(const Video_Sprite& sprite, const Video_Image& image) override;
    void image_replaced(const Video_Image& image) override;

private:
    SdlDevice(const VideoSettings& settings);
    bool open(const VideoSettings& settings, std::string& error);
    SDL_Texture* texture_of(const Video_Image& image);
    bool clear_frame();
    bool present_scaled();
    // Clears the frame once (unless switch a is off) and renders the draws
    // kept for it that are not rendered yet.
    bool render_frame();
    // Where the design-size frame lies in the window, in window pixels.
    void letterbox(int& x, int& y, int& width, int& height) const;
    void map_to_design(Event& event) const;

    int width_, height_;
    std::uint32_t background_;  // device pixel
    bool video_started_ = false;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* frame_ = nullptr;  // the design-size frame scenes draw into; null: straight to the window
    std::unordered_map<const Video_Image*, SDL_Texture*> textures_;
    std::deque<Event> pending_;  // mapped events not yet handed out
    bool close_seen_ = false;    // the last event polled was a window close, already reported as quit
    int cursor_state_ = -1;      // last value given to SDL_ShowCursor, -1 before the first
    bool clear_new_frames_ = true, blend_ = true, clip_ = true, present_ = true;
    bool fullscreen_keys_ = false;
    // What each draw of the frame being built put where, to tell a frame
    // that shows what the window shows already.
    struct Drawn {
        const Video_Image* image;
        int left, top, width, height, from_left, from_top;
        bool blend;
        bool operator==(const Drawn&) const = default;
    };
    std::vector<Drawn> drawn_, shown_;
    bool window_stale_ = true;  // the window must be presented whatever was drawn
    std::size_t rendered_ = 0;  // how many of the draws kept are rendered into the frame
    bool cleared_ = false;      // the frame being built is cleared
    std::size_t presented_frames_ = 0;
    bool enter_taken_ = false;  // an Alt+Enter press was taken: its release is too
    bool take_fullscreen_key(const SDL_Event& event);
};
