// The window backend: how SDL's events become the video service's events, checked on SDL_Event records built here, then
// the device in a real window on an X server (a private Xvfb started here when no display is set).

#include <SDL2/SDL.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/video/sdl_device.h"
#include "platform/video/sdl_events.h"
#include "platform/video/utf8_decode.h"
#include "services/video.h"
#include "tests/support/x_server.h"

namespace {

using Shown = std::vector<std::string>;

SDL_Event sdl_event(Uint32 type) {
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = type;
    return event;
}

// The events one SDL event maps to, each as "type key x y dx dy button character".
Shown mapped(const SDL_Event& event) {
    std::deque<Event> out;
    map_sdl_event(event, out);
    Shown shown;
    for (const Event& e : out) {
        shown.emplace_back();
        for (double field : {double(e.type), double(e.key), double(e.x), double(e.y), double(e.dx), double(e.dy),
                             double(e.button), double(e.character)})
            shown.back().append(shown.back().empty() ? "" : " ").append(std::to_string(std::lround(field)));
    }
    return shown;
}

TEST(SdlEventMapping, EachKindOfEventKeepsItsFields) {
    SDL_Event down = sdl_event(SDL_KEYDOWN), up = sdl_event(SDL_KEYUP), press = sdl_event(SDL_MOUSEBUTTONDOWN),
              release = sdl_event(SDL_MOUSEBUTTONUP), text = sdl_event(SDL_TEXTINPUT), full = text,
              close = sdl_event(SDL_WINDOWEVENT), moved = close;
    down.key.keysym.sym = SDLK_ESCAPE, down.key.repeat = 1;  // a key repeat is a press
    up.key.keysym.sym = SDLK_a;
    press.button.x = 12, press.button.y = 34, press.button.button = SDL_BUTTON_RIGHT;
    release.button.x = 5, release.button.y = 6, release.button.button = SDL_BUTTON_MIDDLE;
    std::strcpy(text.text.text, "a\xE2\x82\xAC\xF0\x9F\x98\x80");  // one event per code point
    std::memset(full.text.text, 'x', sizeof full.text.text);
    close.window.event = SDL_WINDOWEVENT_CLOSE, moved.window.event = SDL_WINDOWEVENT_MOVED;
    const std::string right = std::to_string(MOUSE_BUTTON_RIGHT), middle = std::to_string(MOUSE_BUTTON_MIDDLE);
    for (const auto& [event, shown] : std::vector<std::pair<SDL_Event, Shown>>{
             {down, {"0 27 0 0 0 0 0 0"}},
             {up, {"1 97 0 0 0 0 0 0"}},
             {press, {"2 0 12 34 0 0 " + right + " 0"}},
             {release, {"3 0 5 6 0 0 " + middle + " 0"}},
             {text, {"5 0 0 0 0 0 0 97", "5 0 0 0 0 0 0 8364", "5 0 0 0 0 0 0 128512"}},
             {sdl_event(SDL_QUIT), {"6 0 0 0 0 0 0 0"}},
             {close, {"6 0 0 0 0 0 0 0"}},
             {moved, {}},
             {sdl_event(SDL_MOUSEWHEEL), {}}})
        EXPECT_EQ(mapped(event), shown) << event.type;
    EXPECT_EQ(mapped(full).size(), sizeof full.text.text)
        << "a text that fills the whole array is read up to its end, no further";
    // Motion names the one button held that counts most: left, then middle, then right.
    SDL_Event motion = sdl_event(SDL_MOUSEMOTION);
    motion.motion.x = 5, motion.motion.y = 6, motion.motion.xrel = -2, motion.motion.yrel = 3;
    for (auto [state, button] : {std::pair{0u, MOUSE_BUTTON_NONE},
                                 {Uint32(SDL_BUTTON_RMASK), MOUSE_BUTTON_RIGHT},
                                 {SDL_BUTTON_RMASK | SDL_BUTTON_MMASK, MOUSE_BUTTON_MIDDLE},
                                 {SDL_BUTTON_RMASK | SDL_BUTTON_LMASK, MOUSE_BUTTON_LEFT}}) {
        motion.motion.state = state;
        EXPECT_EQ(mapped(motion), Shown{"4 0 5 6 -2 3 " + std::to_string(button) + " 0"});
    }
    // Text decoding goes on after a bad byte (the text renderer's suite tries each kind) and stops at a NUL.
    const std::int32_t bad = 0xFFFD;
    EXPECT_EQ(decode_utf8("\x80z\xED\xA0\x80\xE2(\xF4\x8F\xBF\xBF"),
              (std::vector<std::int32_t>{bad, 'z', bad, bad, bad, bad, '(', 0x10FFFF}));
    EXPECT_EQ(decode_utf8(std::string("a\0b", 3)), std::vector<std::int32_t>{'a'});
}

// Mesa's GL driver, which SDL loads for the window, keeps memory for the process and is unloaded by SDL before the leak
// check runs, so no suppression can name it: what a window test allocates is left out of the leak check.
struct LeakCheckPause {
#if defined(__SANITIZE_ADDRESS__)
    LeakCheckPause() { __lsan_disable(); }
    ~LeakCheckPause() { __lsan_enable(); }
#endif
};

class SdlWindow : public ::testing::Test {
protected:
    LeakCheckPause pause_;

    static void SetUpTestSuite() {
        setenv("SDL_VIDEODRIVER", "x11", 1);
        const char* display = std::getenv("DISPLAY");
        if (display && *display) return;
        const std::string started = server_.start(skip_reason_);
        if (!started.empty()) setenv("DISPLAY", started.c_str(), 1);
    }
    static void TearDownTestSuite() {
        video_unregister("sdl-test");  // the window goes before its server
        server_.stop();
    }

    void SetUp() override {
        if (!skip_reason_.empty()) GTEST_SKIP() << "no X server for the window tests: " << skip_reason_;
        const VideoSettings settings{
            .backend = "sdl", .width = 64, .height = 48, .background = video_pixel::make(10, 20, 30, 255), .vsync = false};
        ASSERT_TRUE(video_create("sdl-test", settings)) << video_error();
        device_ = dynamic_cast<SdlDevice*>(video_get_interface("sdl-test"));
        ASSERT_NE(device_, nullptr);
        // Events the X server sends on its own (the pointer entering the new
        // window) are taken out before a test pushes its own.
        const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        for (int quiet = 0; quiet < 5 && std::chrono::steady_clock::now() < give_up;)
            if (device_->get_event().type == EVENT_NONE) {
                ++quiet;
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
    }

    // Whether the window's pixel is within one step of each of rgb's channels
    // (the renderer's own rounding of blends), alpha ignored: the window has none.
    ::testing::AssertionResult near_rgb(int x, int y, std::uint32_t rgb) {
        std::vector<std::uint8_t> rgba;
        if (!device_->read_pixels(rgba)) return ::testing::AssertionFailure() << device_->get_error();
        for (int channel = 0; channel < 3; ++channel) {
            const int actual = rgba[std::size_t(y * 64 + x) * 4 + std::size_t(channel)];
            if (std::abs(actual - int((rgb >> (16 - 8 * channel)) & 0xFF)) > 1)
                return ::testing::AssertionFailure() << std::hex << "channel " << channel << " is 0x" << actual
                                                     << ", expected 0x" << rgb << " at " << std::dec << x << ", " << y;
        }
        return ::testing::AssertionSuccess();
    }

    static testsupport::XServer server_;
    static std::string skip_reason_;
    SdlDevice* device_ = nullptr;
};

testsupport::XServer SdlWindow::server_;
std::string SdlWindow::skip_reason_;

TEST_F(SdlWindow, DrawsBlendedClippedSpritesThatReadBackAndPresentsOnlyNewFrames) {
    // "back" is opaque red; "front" has a clear left half and a half green right half.
    std::vector<std::uint32_t> back(20 * 10, video_pixel::make(255, 0, 0, 255)), front(10 * 10);
    for (int i = 0; i < 100; ++i) front[std::size_t(i)] = video_pixel::make(0, 255, 0, i % 10 < 5 ? 0 : 128);
    ASSERT_TRUE(device_->create_image("back", "s", 20, 10, back.data()));
    ASSERT_TRUE(device_->create_image("front", "s", 10, 10, front.data()));
    for (const std::string sprite : {"back", "front", "edge"})
        ASSERT_TRUE(device_->create_sprite(sprite, "s", sprite == "front" ? "front" : "back", "s", true));
    device_->get_sprite("back", "s")->set_position(5, 5);     // x 5-24, y 5-14
    device_->get_sprite("front", "s")->set_position(18, 10);  // clear x 18-22, half green x 23-27
    Video_Sprite* edge = device_->get_sprite("edge", "s");
    edge->set_base(0.5, 0.5);
    edge->set_position(64, 48);  // centred on the lower-right corner: x 54-63, y 43-47 show
    for (const char* sprite : {"back", "front", "edge"}) ASSERT_TRUE(device_->draw_sprite(sprite, "s")) << sprite;
    // x, y, then the colour: the background, red, half green over red and over the background.
    const std::uint32_t background = 0x0A141E, red = 0xFF0000, green_red = 0x7F8000, green = 0x058A0F;
    for (auto [x, y, rgb] : {std::tuple{0, 0, background}, {20, 12, red}, {23, 12, green_red}, {26, 12, green},
                             {54, 43, red}, {63, 47, red}, {53, 43, background}, {54, 42, background}})
        EXPECT_TRUE(near_rgb(x, y, rgb));
    ASSERT_TRUE(device_->update_screen()) << device_->get_error();
    EXPECT_TRUE(near_rgb(5, 5, background)) << "the next frame starts cleared";

    // A frame like the one on screen is not presented again; a moved sprite
    // or a replaced image (which gets a new texture) is a new frame.
    const auto presents_after = [&](const std::function<void()>& change) {
        change();
        EXPECT_TRUE(device_->draw_sprite("back", "s"));
        const std::size_t before = device_->presented_frames();
        EXPECT_TRUE(device_->update_screen());
        return device_->presented_frames() - before;
    };
    presents_after([] {});
    EXPECT_EQ(presents_after([] {}), 0u);
    EXPECT_EQ(presents_after([&] { device_->get_sprite("back", "s")->set_position(6, 5); }), 1u);
    std::vector<std::uint32_t> blue(20 * 10, video_pixel::make(0, 0, 255, 255));
    EXPECT_EQ(presents_after([&] { ASSERT_TRUE(device_->create_image("back", "s", 20, 10, blue.data())); }), 1u);
    ASSERT_TRUE(device_->draw_sprite("back", "s"));
    EXPECT_TRUE(near_rgb(6, 5, 0x0000FF)) << device_->renderer_name();
}

// The platform suites link only the platform library; SDL_PushEvent is found
// in the process, where that library has loaded SDL.
TEST_F(SdlWindow, PushedSdlEventsComeBackMappedButTheDevicesOwnKeysAndDoubleQuits) {
    SDL_Event f11 = sdl_event(SDL_KEYDOWN), text = sdl_event(SDL_TEXTINPUT), close = sdl_event(SDL_WINDOWEVENT);
    f11.key.keysym.sym = SDLK_F11;
    f11.key.repeat = 1;  // the full screen key is the device's own (held down here, so it toggles nothing)
    SDL_Event f11_up = f11;
    f11_up.type = SDL_KEYUP;
    std::strcpy(text.text.text, "\xE2\x82\xAC");
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    device_->set_fullscreen_keys(true);
    const auto push = reinterpret_cast<int (*)(SDL_Event*)>(dlsym(RTLD_DEFAULT, "SDL_PushEvent"));
    ASSERT_NE(push, nullptr);
    for (SDL_Event event : {f11, f11_up, text, close, sdl_event(SDL_QUIT), sdl_event(SDL_QUIT)})
        ASSERT_EQ(push(&event), 1) << "SDL_PushEvent";
    EXPECT_EQ(device_->get_event().character, 0x20AC) << "F11 is taken by the device";
    EXPECT_EQ(device_->get_event().type, EVENT_QUIT) << "window close";
    EXPECT_EQ(device_->get_event().type, EVENT_QUIT) << "the quit right behind the close is the same; the next counts";
    EXPECT_EQ(device_->get_event().type, EVENT_NONE);
}

}  // namespace
