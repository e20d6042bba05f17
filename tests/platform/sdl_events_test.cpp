// How SDL's events become the video service's events, checked on SDL_Event
// records built here: no window or display is needed.

#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "platform/video/sdl_events.h"
#include "platform/video/utf8_decode.h"

namespace {

std::deque<Event> mapped(const SDL_Event& event) {
    std::deque<Event> out;
    map_sdl_event(event, out);
    return out;
}

SDL_Event of_type(Uint32 type) {
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = type;
    return event;
}

SDL_Event text_input(const char* text) {
    SDL_Event event = of_type(SDL_TEXTINPUT);
    std::strncpy(event.text.text, text, sizeof event.text.text - 1);
    return event;
}

TEST(SdlEventMapping, KeysCarryTheSdlKeycode) {
    SDL_Event down = of_type(SDL_KEYDOWN);
    down.key.keysym.sym = SDLK_ESCAPE;
    down.key.repeat = 1;
    const auto pressed = mapped(down);
    ASSERT_EQ(pressed.size(), 1u);
    EXPECT_EQ(pressed[0].type, 0) << "a key repeat is a press";
    EXPECT_EQ(pressed[0].key, SDLK_ESCAPE);

    SDL_Event up = of_type(SDL_KEYUP);
    up.key.keysym.sym = SDLK_F1;
    const auto released = mapped(up);
    ASSERT_EQ(released.size(), 1u);
    EXPECT_EQ(released[0].type, 1);
    EXPECT_EQ(released[0].key, SDLK_F1);
}

TEST(SdlEventMapping, TextGivesOneEventPerCodePoint) {
    const auto typed = mapped(text_input("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"));  // a, e acute, euro, emoji
    ASSERT_EQ(typed.size(), 4u);
    const std::int32_t expected[] = {'a', 0xE9, 0x20AC, 0x1F600};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(typed[i].type, 5);
        EXPECT_EQ(typed[i].character, expected[i]);
    }

    // A text that fills the whole array without a NUL is still read only up to its end.
    SDL_Event full = of_type(SDL_TEXTINPUT);
    std::memset(full.text.text, 'x', sizeof full.text.text);
    EXPECT_EQ(mapped(full).size(), sizeof full.text.text);
}

TEST(SdlEventMapping, MouseButtonsAndMotion) {
    SDL_Event press = of_type(SDL_MOUSEBUTTONDOWN);
    press.button.x = 12;
    press.button.y = 34;
    press.button.button = SDL_BUTTON_RIGHT;
    auto out = mapped(press);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].type, 2);
    EXPECT_EQ(out[0].x, 12.0f);
    EXPECT_EQ(out[0].y, 34.0f);
    EXPECT_EQ(out[0].button, MOUSE_BUTTON_RIGHT);

    SDL_Event release = of_type(SDL_MOUSEBUTTONUP);
    release.button.button = SDL_BUTTON_MIDDLE;
    out = mapped(release);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].type, 3);
    EXPECT_EQ(out[0].button, MOUSE_BUTTON_MIDDLE);

    SDL_Event motion = of_type(SDL_MOUSEMOTION);
    motion.motion.x = 5;
    motion.motion.y = 6;
    motion.motion.xrel = -2;
    motion.motion.yrel = 3;
    struct Held {
        Uint32 state;
        std::int32_t button;
    } held[] = {{0, MOUSE_BUTTON_NONE},
                {SDL_BUTTON_RMASK, MOUSE_BUTTON_RIGHT},
                {SDL_BUTTON_RMASK | SDL_BUTTON_MMASK, MOUSE_BUTTON_MIDDLE},
                {SDL_BUTTON_RMASK | SDL_BUTTON_LMASK, MOUSE_BUTTON_LEFT}};
    for (const Held& h : held) {
        motion.motion.state = h.state;
        out = mapped(motion);
        ASSERT_EQ(out.size(), 1u);
        EXPECT_EQ(out[0].type, 4);
        EXPECT_EQ(out[0].x, 5.0f);
        EXPECT_EQ(out[0].dx, -2.0f);
        EXPECT_EQ(out[0].dy, 3.0f);
        EXPECT_EQ(out[0].button, h.button) << "state " << h.state;
    }
}

TEST(SdlEventMapping, QuitAndWindowCloseQuitOtherEventsAreDropped) {
    EXPECT_EQ(mapped(of_type(SDL_QUIT)).at(0).type, 6);
    SDL_Event close = of_type(SDL_WINDOWEVENT);
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    EXPECT_EQ(mapped(close).at(0).type, 6);

    SDL_Event moved = of_type(SDL_WINDOWEVENT);
    moved.window.event = SDL_WINDOWEVENT_MOVED;
    EXPECT_TRUE(mapped(moved).empty());
    EXPECT_TRUE(mapped(of_type(SDL_MOUSEWHEEL)).empty());
    EXPECT_TRUE(mapped(of_type(SDL_TEXTEDITING)).empty());
}

TEST(Utf8Decoding, MalformedBytesBecomeReplacementCharacters) {
    const std::int32_t bad = 0xFFFD;
    struct Case {
        std::string text;
        std::vector<std::int32_t> points;
    } cases[] = {
        {"\x80z", {bad, 'z'}},                    // stray continuation byte
        {"\xC0\xAF", {bad, bad}},                 // overlong '/'
        {"\xE0\x80\xAF", {bad, bad, bad}},        // overlong in three bytes
        {"\xED\xA0\x80", {bad, bad, bad}},        // a surrogate
        {"\xF4\x90\x80\x80", {bad, bad, bad, bad}},  // above U+10FFFF
        {"\xE2\x82", {bad, bad}},                 // cut at the end
        {"\xE2(x", {bad, '(', 'x'}},              // cut by an ASCII byte
        {"\xF4\x8F\xBF\xBF", {0x10FFFF}},         // the largest code point is fine
        {std::string("a\0b", 3), {'a'}},          // stops at a NUL
    };
    for (const Case& c : cases) EXPECT_EQ(decode_utf8(c.text), c.points) << c.text;
}

}  // namespace
