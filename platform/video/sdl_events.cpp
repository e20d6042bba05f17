#include "platform/video/sdl_events.h"

#include <SDL.h>

#include <string_view>

#include "platform/video/utf8_decode.h"

namespace {

std::int32_t held_button(std::uint32_t state) {
    for (int button : {SDL_BUTTON_LEFT, SDL_BUTTON_MIDDLE, SDL_BUTTON_RIGHT, SDL_BUTTON_X1, SDL_BUTTON_X2})
        if (state & SDL_BUTTON(button)) return button;
    return MOUSE_BUTTON_NONE;
}

Event of_type(std::int32_t type) {
    Event event;
    event.type = type;
    return event;
}

}  // namespace

void map_sdl_event(const SDL_Event& event, std::deque<Event>& out) {
    switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            Event key = of_type(event.type == SDL_KEYDOWN ? EVENT_KEY_PRESS : EVENT_KEY_RELEASE);
            key.key = event.key.keysym.sym;
            out.push_back(key);
            break;
        }
        case SDL_TEXTINPUT:
            // text is a fixed array; the view stops at its end even without a NUL
            for (std::int32_t point : decode_utf8(std::string_view(event.text.text, sizeof event.text.text))) {
                Event typed = of_type(EVENT_CHARACTER);
                typed.character = point;
                out.push_back(typed);
            }
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            Event press = of_type(event.type == SDL_MOUSEBUTTONDOWN ? EVENT_MOUSE_PRESS : EVENT_MOUSE_RELEASE);
            press.x = float(event.button.x);
            press.y = float(event.button.y);
            press.button = event.button.button;
            out.push_back(press);
            break;
        }
        case SDL_MOUSEMOTION: {
            Event move = of_type(EVENT_MOUSE_MOVE);
            move.x = float(event.motion.x);
            move.y = float(event.motion.y);
            move.dx = float(event.motion.xrel);
            move.dy = float(event.motion.yrel);
            move.button = held_button(event.motion.state);
            out.push_back(move);
            break;
        }
        case SDL_QUIT:
            out.push_back(of_type(EVENT_QUIT));
            break;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_CLOSE) out.push_back(of_type(EVENT_QUIT));
            break;
        default:
            break;
    }
}
