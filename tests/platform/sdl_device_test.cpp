// The window backend: how SDL's events become the video service's events,
// checked on SDL_Event records built here, then the device in a real window
// on an X server (a private Xvfb started here when no display is set).

#include <SDL2/SDL.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <functional>
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/video/sdl_device.h"
#include "platform/video/sdl_events.h"
#include "platform/video/utf8_decode.h"
#include "services/video.h"
#include "tests/support/x_server.h"

namespace {

// The events one SDL event maps to, each as "type key x y dx dy button character".
std::vector<std::string> mapped(Uint32 type, void (*fill)(SDL_Event&) = nullptr) {
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = type;
    if (fill) fill(event);
    std::deque<Event> out;
    map_sdl_event(event, out);
    std::vector<std::string> shown;
    for (const Event& e : out) {
        shown.emplace_back();
        for (double field : {double(e.type), double(e.key), double(e.x), double(e.y), double(e.dx), double(e.dy),
                             double(e.button), double(e.character)})
            shown.back().append(shown.back().empty() ? "" : " ").append(std::to_string(std::lround(field)));
    }
    return shown;
}
using Shown = std::vector<std::string>;

TEST(SdlEventMapping, EachKindOfEventKeepsItsFields) {
    EXPECT_EQ(mapped(SDL_KEYDOWN, [](SDL_Event& e) { e.key.keysym.sym = SDLK_ESCAPE, e.key.repeat = 1; }),
              Shown{"0 27 0 0 0 0 0 0"})
        << "a key repeat is a press";
    EXPECT_EQ(mapped(SDL_KEYUP, [](SDL_Event& e) { e.key.keysym.sym = SDLK_a; }), Shown{"1 97 0 0 0 0 0 0"});
    const std::string right = std::to_string(MOUSE_BUTTON_RIGHT), middle = std::to_string(MOUSE_BUTTON_MIDDLE);
    EXPECT_EQ(mapped(SDL_MOUSEBUTTONDOWN,
                     [](SDL_Event& e) { e.button.x = 12, e.button.y = 34, e.button.button = SDL_BUTTON_RIGHT; }),
              Shown{"2 0 12 34 0 0 " + right + " 0"});
    EXPECT_EQ(mapped(SDL_MOUSEBUTTONUP,
                     [](SDL_Event& e) { e.button.x = 5, e.button.y = 6, e.button.button = SDL_BUTTON_MIDDLE; }),
              Shown{"3 0 5 6 0 0 " + middle + " 0"});
    // Motion names the one button held that counts most: left, then middle, then right.
    static Uint32 held;
    for (auto [state, button] : {std::pair{0u, MOUSE_BUTTON_NONE},
                                 {Uint32(SDL_BUTTON_RMASK), MOUSE_BUTTON_RIGHT},
                                 {SDL_BUTTON_RMASK | SDL_BUTTON_MMASK, MOUSE_BUTTON_MIDDLE},
                                 {SDL_BUTTON_RMASK | SDL_BUTTON_LMASK, MOUSE_BUTTON_LEFT}}) {
        held = state;
        EXPECT_EQ(mapped(SDL_MOUSEMOTION,
                         [](SDL_Event& e) {
                             e.motion.x = 5, e.motion.y = 6, e.motion.xrel = -2, e.motion.yrel = 3,
                             e.motion.state = held;
                         }),
                  Shown{"4 0 5 6 -2 3 " + std::to_string(button) + " 0"});
    }
    EXPECT_EQ(mapped(SDL_TEXTINPUT, [](SDL_Event& e) { std::strcpy(e.text.text, "a\xE2\x82\xAC\xF0\x9F\x98\x80"); }),
              (Shown{"5 0 0 0 0 0 0 97", "5 0 0 0 0 0 0 8364", "5 0 0 0 0 0 0 128512"}))
        << "one event per code point";
    EXPECT_EQ(mapped(SDL_TEXTINPUT, [](SDL_Event& e) { std::memset(e.text.text, 'x', sizeof e.text.text); }).size(),
              sizeof SDL_Event{}.text.text)
        << "a text that fills the whole array is read up to its end, no further";
    EXPECT_EQ(mapped(SDL_QUIT), Shown{"6 0 0 0 0 0 0 0"});
    EXPECT_EQ(mapped(SDL_WINDOWEVENT, [](SDL_Event& e) { e.window.event = SDL_WINDOWEVENT_CLOSE; }), mapped(SDL_QUIT));
    EXPECT_EQ(mapped(SDL_WINDOWEVENT, [](SDL_Event& e) { e.window.event = SDL_WINDOWEVENT_MOVED; }), Shown{});
    EXPECT_EQ(mapped(SDL_MOUSEWHEEL), Shown{});
}

TEST(Utf8Decoding, MalformedBytesBecomeReplacementCharacters) {
    const std::int32_t bad = 0xFFFD;
    // A stray continuation byte, overlong forms, a surrogate, a code point too large, a cut sequence; the
    // largest code point is fine, and a NUL ends the text.
    const std::vector<std::pair<std::string, std::vector<std::int32_t>>> cases = {
        {"\x80z", {bad, 'z'}}, {"\xC0\xAF", {bad, bad}}, {"\xE0\x80\xAF", {bad, bad, bad}},
        {"\xED\xA0\x80", {bad, bad, bad}}, {"\xF4\x90\x80\x80", {bad, bad, bad, bad}}, {"\xE2(x", {bad, '(', 'x'}},
        {"\xF4\x8F\xBF\xBF", {0x10FFFF}}, {std::string("a\0b", 3), {'a'}}};
    for (const auto& [text, points] : cases) EXPECT_EQ(decode_utf8(text), points) << text;
}

// Mesa's GL driver, which SDL loads for the window, keeps memory for the
// process and is unloaded by SDL before the leak check runs, so no
// suppression can name it: what a window test allocates is left out of the
// leak check.
struct LeakCheckPause {
#if defined(__SANITIZE_ADDRESS__)
    LeakCheckPause() { __lsan_disable(); }
    ~LeakCheckPause() { __lsan_enable(); }
#endif
};

// The platform suites link only the platform library; SDL's own functions
// are found in the process, where that library has loaded SDL.
int push_sdl_event(SDL_Event& event) {
    using Push = int (*)(SDL_Event*);
    static const auto push = reinterpret_cast<Push>(dlsym(RTLD_DEFAULT, "SDL_PushEvent"));
    return push ? push(&event) : -1;
}

constexpr int screen_width = 64, screen_height = 48;

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
        VideoSettings settings;
        settings.backend = "sdl";
        settings.width = screen_width;
        settings.height = screen_height;
        settings.title = "sdl device test";
        settings.background = video_pixel::make(10, 20, 30, 255);
        settings.vsync = false;
        ASSERT_TRUE(video_create("sdl-test", settings)) << video_error();
        device_ = dynamic_cast<SdlDevice*>(video_get_interface("sdl-test"));
        ASSERT_NE(device_, nullptr);
        drain();
    }

    // Events the X server sends on its own (the pointer entering the new
    // window) are taken out before a test pushes its own.
    void drain() {
        const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        for (int quiet = 0; quiet < 5 && std::chrono::steady_clock::now() < give_up;) {
            if (device_->get_event().type == 7) {
                ++quiet;
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        }
    }

    std::uint32_t pixel(const std::vector<std::uint8_t>& rgba, int x, int y) {
        const std::size_t i = (std::size_t(y) * screen_width + std::size_t(x)) * 4;
        return (std::uint32_t(rgba[i]) << 24) | (std::uint32_t(rgba[i + 1]) << 16) | (std::uint32_t(rgba[i + 2]) << 8) |
               rgba[i + 3];
    }

    static testsupport::XServer server_;
    static std::string skip_reason_;
    SdlDevice* device_ = nullptr;
};

testsupport::XServer SdlWindow::server_;
std::string SdlWindow::skip_reason_;

// Each channel within one step of the expected value (the renderer's own
// rounding of blends), alpha ignored: the window has no alpha of its own.
::testing::AssertionResult near_rgb(std::uint32_t actual, std::uint32_t expected) {
    for (int shift : {24, 16, 8}) {
        const int a = int((actual >> shift) & 0xFF), e = int((expected >> shift) & 0xFF);
        if (std::abs(a - e) > 1)
            return ::testing::AssertionFailure() << std::hex << "got 0x" << actual << ", expected 0x" << expected;
    }
    return ::testing::AssertionSuccess();
}

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
    std::vector<std::uint8_t> rgba;
    ASSERT_TRUE(device_->read_pixels(rgba)) << device_->get_error();
    // x, y, then the colour: the background, red, half green over red and over the background.
    const std::uint32_t background = 0x0A141E00u, red = 0xFF000000u, green_red = 0x7F800000u, green = 0x058A0F00u;
    for (auto [x, y, rgb] : {std::tuple{0, 0, background}, {20, 12, red}, {23, 12, green_red}, {26, 12, green},
                             {54, 43, red}, {63, 47, red}, {53, 43, background}, {54, 42, background}})
        EXPECT_TRUE(near_rgb(pixel(rgba, x, y), rgb)) << x << ", " << y;
    ASSERT_TRUE(device_->update_screen()) << device_->get_error();
    ASSERT_TRUE(device_->read_pixels(rgba));
    EXPECT_TRUE(near_rgb(pixel(rgba, 5, 5), background)) << "the next frame starts cleared";

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
    ASSERT_TRUE(device_->read_pixels(rgba));
    EXPECT_TRUE(near_rgb(pixel(rgba, 6, 5), 0x0000FF00u)) << device_->renderer_name();
}

TEST_F(SdlWindow, PushedSdlEventsComeBackMappedButTheDevicesOwnKeysAndDoubleQuits) {
    std::vector<SDL_Event> events(5);
    for (SDL_Event& event : events) std::memset(&event, 0, sizeof event);
    // The full screen key is the device's own (held down here, so it toggles nothing).
    events[0].type = SDL_KEYDOWN, events[1].type = SDL_KEYUP;
    events[0].key.keysym.sym = events[1].key.keysym.sym = SDLK_F11;
    events[0].key.repeat = 1;
    events[2].type = SDL_TEXTINPUT;
    std::strcpy(events[2].text.text, "\xE2\x82\xAC");
    events[3].type = SDL_WINDOWEVENT;
    events[3].window.event = SDL_WINDOWEVENT_CLOSE;
    events[4].type = SDL_QUIT;
    events.push_back(events[4]);
    device_->set_fullscreen_keys(true);
    for (SDL_Event& event : events) ASSERT_EQ(push_sdl_event(event), 1) << "SDL_PushEvent";
    EXPECT_EQ(device_->get_event().character, 0x20AC) << "F11 is taken by the device";
    EXPECT_EQ(device_->get_event().type, 6) << "window close";
    EXPECT_EQ(device_->get_event().type, 6) << "the quit right behind the close is the same quit; the next one counts";
    EXPECT_EQ(device_->get_event().type, 7);
}

}  // namespace
