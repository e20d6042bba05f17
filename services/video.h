#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "services/export.h"

// A rectangle from (x1, y1) to (x2, y2); x1 <= x2 and y1 <= y2.
struct VideoRect {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

struct VideoPoint {
    double x = 0, y = 0;
};

// Device pixels are 32-bit words 0xTTRRGGBB: the top byte is the transparency
// (255 - alpha), then red, green, blue.
namespace video_pixel {
inline std::uint32_t make(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
    return (std::uint32_t(255 - a) << 24) | (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) | b;
}
inline std::uint8_t alpha(std::uint32_t p) { return std::uint8_t(255 - (p >> 24)); }
inline std::uint8_t red(std::uint32_t p) { return std::uint8_t(p >> 16); }
inline std::uint8_t green(std::uint32_t p) { return std::uint8_t(p >> 8); }
inline std::uint8_t blue(std::uint32_t p) { return std::uint8_t(p); }
}  // namespace video_pixel

// A colour: four channels from 0 to 1 and the same colour as a device pixel.
struct VideoColor {
    float r = 0, g = 0, b = 0, a = 0;
    std::uint32_t pixel = 0;

    // Each argument 0 to 255 (values outside are clamped): red, green, blue, alpha.
    void set_color(int red, int green, int blue, int alpha) {
        auto clamp = [](int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); };
        red = clamp(red), green = clamp(green), blue = clamp(blue), alpha = clamp(alpha);
        r = red / 255.0f, g = green / 255.0f, b = blue / 255.0f, a = alpha / 255.0f;
        pixel = video_pixel::make(std::uint8_t(red), std::uint8_t(green), std::uint8_t(blue), std::uint8_t(alpha));
    }
};

// Mouse buttons as the input events number them.
enum MOUSE_BUTTON : std::int32_t {
    MOUSE_BUTTON_NONE = 0,
    MOUSE_BUTTON_LEFT = 1,
    MOUSE_BUTTON_MIDDLE = 2,
    MOUSE_BUTTON_RIGHT = 3,
};

// What an input event reports; Event::type holds one of these.
enum EVENT_TYPE : std::int32_t {
    EVENT_KEY_PRESS = 0,      // key = key code
    EVENT_KEY_RELEASE = 1,    // key = key code
    EVENT_MOUSE_PRESS = 2,    // x, y in screen pixels, button
    EVENT_MOUSE_RELEASE = 3,  // x, y, button
    EVENT_MOUSE_MOVE = 4,     // x, y; dx, dy the relative motion; button held
    EVENT_CHARACTER = 5,      // character = Unicode code point
    EVENT_QUIT = 6,
    EVENT_NONE = 7,           // nothing waits
};

// Whether the event carries a pointer position (press, release, move).
inline bool is_mouse_event(std::int32_t type) { return type >= EVENT_MOUSE_PRESS && type <= EVENT_MOUSE_MOVE; }

// One input event (see EVENT_TYPE for what each type fills in).
class SERVICE_API Event {
public:
    Event() = default;
    Event(const Event&) = default;
    Event& operator=(const Event&) = default;
    virtual ~Event() = default;

    std::int32_t type = EVENT_NONE;
    std::int32_t character = 0;
    std::int32_t key = 0;
    float x = 0, y = 0, dx = 0, dy = 0;
    std::int32_t button = 0;
};

// Pixels that several device images show: a picture decoded once for every
// object that shows it. Never written while shared.
using Video_Pixels = std::shared_ptr<const std::vector<std::uint32_t>>;

// Pixels of one device image, named (name, scene). Rows are pitch pixels long.
// An image made from Video_Pixels shows them without a copy; the non-const
// get_pixels() first gives the image pixels of its own, so a write through it
// never reaches the other images.
class SERVICE_API Video_Image {
public:
    Video_Image(std::string name, std::string scene, int width, int height, std::vector<std::uint32_t> pixels)
        : name_(std::move(name)), scene_(std::move(scene)), width_(width), height_(height),
          pitch_(std::uint16_t(width)), pixels_(std::move(pixels)) {}
    // shared holds at least width x height pixels.
    Video_Image(std::string name, std::string scene, int width, int height, Video_Pixels shared)
        : name_(std::move(name)), scene_(std::move(scene)), width_(width), height_(height),
          pitch_(std::uint16_t(width)), shared_(std::move(shared)) {}

    std::uint32_t* get_pixels() {
        if (shared_) {
            pixels_.assign(shared_->begin(), shared_->end());
            shared_.reset();
        }
        return pixels_.data();
    }
    const std::uint32_t* get_pixels() const { return shared_ ? shared_->data() : pixels_.data(); }
    int get_width() const { return width_; }
    int get_height() const { return height_; }
    std::uint16_t get_pitch() const { return pitch_; }
    // A pixel is hit when (pixel & mask) < 255: at least half opaque.
    std::uint32_t get_alpha_mask() const { return 0x80000000u; }
    const std::string& get_name() const { return name_; }
    const std::string& get_scene() const { return scene_; }

private:
    std::string name_, scene_;
    int width_, height_;
    std::uint16_t pitch_;
    std::vector<std::uint32_t> pixels_;  // the image's own pixels, unless it shows shared ones
    Video_Pixels shared_;
};

// A placement of an image on the screen. Its rectangle is its position minus
// base x size, extended by the image size.
class SERVICE_API Video_Sprite {
public:
    Video_Sprite(std::string image_name, std::string image_scene, int width, int height)
        : image_name(std::move(image_name)), image_scene(std::move(image_scene)), width_(width), height_(height) {}

    void set_base(double x, double y) { base_x_ = x, base_y_ = y; }
    void set_position(double x, double y) { x_ = x, y_ = y; }
    double get_base_x() const { return base_x_; }
    double get_base_y() const { return base_y_; }
    double get_x() const { return x_; }
    double get_y() const { return y_; }
    int get_width() const { return width_; }
    int get_height() const { return height_; }
    void get_rect(VideoRect* rect) const {
        rect->x1 = x_ - base_x_ * width_;
        rect->y1 = y_ - base_y_ * height_;
        rect->x2 = rect->x1 + width_;
        rect->y2 = rect->y1 + height_;
    }

    const std::string image_name;   // the image it shows
    const std::string image_scene;  // and that image's scene

private:
    int width_, height_;
    double base_x_ = 0, base_y_ = 0, x_ = 0, y_ = 0;
};

// One video device: a screen, images and sprites named by (name, scene), and
// input events. Images and sprites belong to the device.
class SERVICE_API Video_Interface {
public:
    virtual ~Video_Interface() = default;

    // Returns at once; EVENT_NONE when no event waits.
    virtual Event get_event() = 0;
    // Presents what was drawn since the last call.
    virtual bool update_screen() = 0;
    virtual void show_mouse_cursor(bool show) = 0;
    virtual std::int16_t get_screen_width() = 0;
    virtual std::int16_t get_screen_height() = 0;
    // Each backend documents what its four switches do.
    virtual void set_switch_a(bool on) = 0;
    virtual void set_switch_b(bool on) = 0;
    virtual void set_switch_c(bool on) = 0;
    virtual void set_switch_d(bool on) = 0;

    // Copies width x height pixels (0xTTRRGGBB, rows of width) into an image
    // named (name, scene), replacing one of that name. Refuses sizes below 1,
    // widths above 65535 and a null pixel pointer.
    virtual bool create_image(std::string name, std::string scene, int width, int height,
                              const std::uint32_t* pixels) = 0;
    // The same for pixels that other images show too (width x height of
    // them at least): a device may keep them instead of a copy, since they
    // never change. By default a copy through create_image.
    virtual bool create_shared_image(std::string name, std::string scene, int width, int height,
                                     Video_Pixels pixels) {
        return create_image(std::move(name), std::move(scene), width, height, pixels ? pixels->data() : nullptr);
    }
    virtual Video_Image* get_image(std::string name, std::string scene) = 0;
    // Makes a sprite (sprite, scene) showing the image (image, image_scene),
    // replacing one of that name. False when the image does not exist.
    virtual bool create_sprite(std::string sprite, std::string scene, std::string image, std::string image_scene,
                               bool flag) = 0;
    // Null when there is none. The pointer stays valid until the sprite is
    // replaced or the device destroyed.
    virtual Video_Sprite* get_sprite(std::string sprite, std::string scene) = 0;
    // Draws the sprite into the frame being built; false when there is none.
    virtual bool draw_sprite(std::string sprite, std::string scene) = 0;
    // Text of the device's last failure.
    virtual std::string get_error() = 0;
};

// Settings of a device made by video_create.
struct VideoSettings {
    std::string backend = "headless";  // "headless" or "sdl"
    int width = 800;
    int height = 600;
    std::string title = "sceneplay";
    std::uint32_t background = 0x00000000;  // device pixel the frame is cleared to
    bool vsync = true;                      // window backend: pace presents to the display
};

// The device registry. video_create makes a device of settings.backend under
// a name, replacing a device of that name; false with video_error() set when
// the backend is unknown or cannot open.
SERVICE_API bool video_create(const std::string& name, const VideoSettings& settings);
// Plugs in a device the caller owns and keeps alive until video_unregister.
SERVICE_API void video_register(const std::string& name, Video_Interface* device);
// Removes a device from the registry (and destroys it if video_create made it).
SERVICE_API void video_unregister(const std::string& name);
// The device under name, or null with video_error() set.
SERVICE_API Video_Interface* video_get_interface(std::string name);
SERVICE_API std::string video_error();
