#include "platform/video/sdl_device.h"

#include <SDL.h>

#include "platform/video/screen_settings.h"
#include "platform/video/sdl_events.h"
#include "platform/video/sprite_placement.h"

std::unique_ptr<SdlDevice> SdlDevice::create(const VideoSettings& settings, std::string& error) {
    if (!check_screen_size(settings, error)) return nullptr;
    std::unique_ptr<SdlDevice> device(new SdlDevice(settings));
    if (!device->open(settings, error)) return nullptr;
    return device;
}

SdlDevice::SdlDevice(const VideoSettings& settings)
    : width_(settings.width), height_(settings.height), background_(settings.background) {}

bool SdlDevice::open(const VideoSettings& settings, std::string& error) {
    const std::string what = "Can't open an SDL window: ";
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        error = what + SDL_GetError();
        return false;
    }
    video_started_ = true;
    window_ = SDL_CreateWindow(settings.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width_,
                               height_, SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE);
    if (!window_) {
        error = what + SDL_GetError();
        return false;
    }
    const Uint32 pacing = settings.vsync ? SDL_RENDERER_PRESENTVSYNC : 0;
    renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED | pacing);
    if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    if (!renderer_) {
        error = what + SDL_GetError();
        return false;
    }
    frame_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, width_, height_);
    if (frame_ && SDL_SetRenderTarget(renderer_, frame_) != 0) {
        SDL_DestroyTexture(frame_);
        frame_ = nullptr;
    }
    if (frame_) {
        SDL_SetTextureBlendMode(frame_, SDL_BLENDMODE_NONE);
        SDL_SetTextureScaleMode(frame_, SDL_ScaleModeLinear);  // smooth when the window is not the design size
    }
    SDL_StartTextInput();  // character events need text input on
    if (!clear_frame()) {
        error = what + get_error();
        return false;
    }
    return true;
}

SdlDevice::~SdlDevice() {
    for (auto& [image, texture] : textures_) SDL_DestroyTexture(texture);
    if (frame_) SDL_DestroyTexture(frame_);
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (window_) SDL_DestroyWindow(window_);
    if (video_started_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

Event SdlDevice::get_event() {
    SDL_Event event;
    while (pending_.empty() && SDL_PollEvent(&event)) {
        const bool window_close = event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE;
        if (event.type == SDL_QUIT && close_seen_) {
            close_seen_ = false;  // closing the last window already gave its quit event
            continue;
        }
        close_seen_ = window_close;  // SDL posts its quit right behind the last window's close
        if (event.type == SDL_WINDOWEVENT) window_stale_ = true;  // exposed, resized, full screen...
        if (fullscreen_keys_ && take_fullscreen_key(event)) continue;
        map_sdl_event(event, pending_);
    }
    if (pending_.empty()) return Event{};
    Event next = pending_.front();
    pending_.pop_front();
    if (is_mouse_event(next.type)) map_to_design(next);
    return next;
}

bool SdlDevice::take_fullscreen_key(const SDL_Event& event) {
    if (event.type != SDL_KEYDOWN && event.type != SDL_KEYUP) return false;
    const SDL_Keycode key = event.key.keysym.sym;
    const bool enter = key == SDLK_RETURN || key == SDLK_KP_ENTER;
    if (event.type == SDL_KEYUP) {
        if (key == SDLK_F11) return true;
        if (!enter || !enter_taken_) return false;
        enter_taken_ = false;
        return true;
    }
    if (key != SDLK_F11 && !(enter && (event.key.keysym.mod & KMOD_ALT))) return false;
    if (enter) enter_taken_ = true;
    if (!event.key.repeat) set_fullscreen(!fullscreen());  // holding the key toggles once
    return true;
}

void SdlDevice::letterbox(int& x, int& y, int& width, int& height) const {
    // The window's size, not the renderer's output size: that is the size
    // of the frame texture while it is the target. Mouse positions come in
    // the same window pixels (no high-DPI backing store is asked for).
    int window_width = 0, window_height = 0;
    SDL_GetWindowSize(window_, &window_width, &window_height);
    if (!frame_ || window_width <= 0 || window_height <= 0) {
        x = y = 0, width = width_, height = height_;
        return;
    }
    // The larger side that fits, computed in integers so the bars never overlap the frame.
    if (std::int64_t(window_width) * height_ <= std::int64_t(window_height) * width_) {
        width = window_width;
        height = int(std::int64_t(window_width) * height_ / width_);
    } else {
        height = window_height;
        width = int(std::int64_t(window_height) * width_ / height_);
    }
    x = (window_width - width) / 2;
    y = (window_height - height) / 2;
}

void SdlDevice::map_to_design(Event& event) const {
    int x = 0, y = 0, width = width_, height = height_;
    letterbox(x, y, width, height);
    const float scale_x = float(width_) / float(width), scale_y = float(height_) / float(height);
    // The pixel's centre maps back, so a click lands on the design pixel drawn under it.
    event.x = (event.x - float(x) + 0.5f) * scale_x - 0.5f;
    event.y = (event.y - float(y) + 0.5f) * scale_y - 0.5f;
    event.dx *= scale_x;
    event.dy *= scale_y;
}

bool SdlDevice::clear_frame() {
    const Uint8 alpha = video_pixel::alpha(background_);
    if (SDL_SetRenderDrawColor(renderer_, video_pixel::red(background_), video_pixel::green(background_),
                               video_pixel::blue(background_), alpha) != 0 ||
        SDL_RenderClear(renderer_) != 0) {
        set_error(std::string("Can't clear the frame: ") + SDL_GetError());
        return false;
    }
    return true;
}

bool SdlDevice::update_screen() {
    bool ok = true;
    if (present_ && (window_stale_ || drawn_ != shown_ || !clear_new_frames_)) {
        window_stale_ = false;
        ok = render_frame();
        shown_ = drawn_;
        ++presented_frames_;
        if (ok && frame_) ok = present_scaled();
        else if (ok) SDL_RenderPresent(renderer_);
    }
    drawn_.clear();
    rendered_ = 0;
    cleared_ = false;
    return ok;
}

bool SdlDevice::render_frame() {
    if (!cleared_ && clear_new_frames_ && !clear_frame()) return false;
    cleared_ = true;
    for (; rendered_ < drawn_.size(); ++rendered_) {
        const Drawn& drawn = drawn_[rendered_];
        SDL_Texture* texture = texture_of(*drawn.image);
        const SDL_Rect from{drawn.from_left, drawn.from_top, drawn.width, drawn.height};
        const SDL_Rect to{drawn.left, drawn.top, drawn.width, drawn.height};
        if (!texture || SDL_SetTextureBlendMode(texture, drawn.blend ? SDL_BLENDMODE_BLEND : SDL_BLENDMODE_NONE) != 0 ||
            SDL_RenderCopy(renderer_, texture, &from, &to) != 0) {
            set_error(std::string("SDL can't draw the frame: ") + SDL_GetError());
            window_stale_ = true;  // part of the frame may be missing
            return false;
        }
    }
    return true;
}

bool SdlDevice::present_scaled() {
    int x = 0, y = 0, width = 0, height = 0;
    letterbox(x, y, width, height);
    const SDL_Rect to{x, y, width, height};
    const bool drawn = SDL_SetRenderTarget(renderer_, nullptr) == 0 &&
                       SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255) == 0 && SDL_RenderClear(renderer_) == 0 &&
                       SDL_RenderCopy(renderer_, frame_, nullptr, &to) == 0;
    if (drawn) SDL_RenderPresent(renderer_);
    if (!drawn || SDL_SetRenderTarget(renderer_, frame_) != 0) {
        set_error(std::string("Can't present the frame: ") + SDL_GetError());
        return false;
    }
    return true;
}

bool SdlDevice::set_fullscreen(bool on) {
    if (SDL_SetWindowFullscreen(window_, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
        set_error(std::string("Can't change to full screen: ") + SDL_GetError());
        return false;
    }
    return true;
}

bool SdlDevice::fullscreen() const { return (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0; }

void SdlDevice::show_mouse_cursor(bool show) {
    const int state = show ? SDL_ENABLE : SDL_DISABLE;
    if (state == cursor_state_) return;  // called every frame; SDL need only hear of changes
    cursor_state_ = state;
    SDL_ShowCursor(state);
}

std::int16_t SdlDevice::get_screen_width() { return std::int16_t(width_); }
std::int16_t SdlDevice::get_screen_height() { return std::int16_t(height_); }

void SdlDevice::set_switch_a(bool on) { clear_new_frames_ = on; }
void SdlDevice::set_switch_b(bool on) { blend_ = on; }
void SdlDevice::set_switch_c(bool on) { clip_ = on; }
void SdlDevice::set_switch_d(bool on) { present_ = on; }

SDL_Texture* SdlDevice::texture_of(const Video_Image& image) {
    auto found = textures_.find(&image);
    if (found != textures_.end()) return found->second;
    const int width = image.get_width(), height = image.get_height();
    SDL_Texture* texture =
        SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, width, height);
    if (!texture) return nullptr;
    // Device pixels carry transparency in the top byte; the texture wants alpha.
    std::vector<std::uint32_t> words(std::size_t(width) * std::size_t(height));
    const std::uint32_t* source = image.get_pixels();
    for (std::size_t row = 0; row < std::size_t(height); ++row)
        for (std::size_t column = 0; column < std::size_t(width); ++column)
            words[row * std::size_t(width) + column] = source[row * image.get_pitch() + column] ^ 0xFF000000u;
    if (SDL_UpdateTexture(texture, nullptr, words.data(), width * 4) != 0) {
        SDL_DestroyTexture(texture);
        return nullptr;
    }
    textures_.emplace(&image, texture);
    return texture;
}

void SdlDevice::image_replaced(const Video_Image& image) {
    window_stale_ = true;  // the same draw calls no longer show the same picture
    auto found = textures_.find(&image);
    if (found == textures_.end()) return;
    SDL_DestroyTexture(found->second);
    textures_.erase(found);
}

bool SdlDevice::draw_placed(const Video_Sprite& sprite, const Video_Image& image) {
    const auto rect = sprite_pixel_rect(sprite);
    if (!rect) {
        set_error("its position is not a finite number");
        return false;
    }
    const PixelRect visible = clip_to_screen(*rect, width_, height_);
    if (visible.width == 0 || visible.height == 0) return true;
    if (!clip_ && !lies_inside_screen(*rect, width_, height_)) return true;
    SDL_Texture* texture = texture_of(image);
    if (!texture) {
        set_error(std::string("can't make a texture of ") + std::to_string(image.get_width()) + "x" +
                  std::to_string(image.get_height()) + ": " + SDL_GetError());
        return false;
    }
    // Only the visible part is handed to SDL, so its int arithmetic never
    // meets the far-away corners a sprite may have.
    // Drawn when the frame is presented or read, and only when it differs
    // from the frame on screen; the texture is made now so that a failure
    // is this sprite's.
    drawn_.push_back({&image, visible.left, visible.top, visible.width, visible.height, visible.left - rect->left,
                      visible.top - rect->top, blend_});
    return true;
}

bool SdlDevice::read_pixels(std::vector<std::uint8_t>& rgba) {
    if (!render_frame()) return false;
    rgba.assign(std::size_t(width_) * std::size_t(height_) * 4, 0);
    if (SDL_RenderReadPixels(renderer_, nullptr, SDL_PIXELFORMAT_RGBA32, rgba.data(), width_ * 4) != 0) {
        set_error(std::string("Can't read the frame's pixels: ") + SDL_GetError());
        return false;
    }
    return true;
}

void SdlDevice::set_title(const std::string& title) { SDL_SetWindowTitle(window_, title.c_str()); }

std::string SdlDevice::renderer_name() const {
    SDL_RendererInfo info{};
    if (SDL_GetRendererInfo(renderer_, &info) != 0 || !info.name) return {};
    return info.name;
}
