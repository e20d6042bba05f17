#pragma once

#include <deque>

#include "services/export.h"
#include "services/video.h"

union SDL_Event;

// Appends to out the input events that one SDL event stands for, none for an
// event the video service does not use:
//   key down / up           -> 0 / 1, key = SDL keycode (key repeats are presses too)
//   text input              -> 5 once per Unicode code point of the UTF-8 text
//                              (utf8_decode.h)
//   mouse button down / up  -> 2 / 3, x, y, button = SDL's number (1 left,
//                              2 middle, 3 right, 4 and 5 the extra buttons)
//   mouse motion            -> 4, x, y, dx, dy = relative motion, button = the
//                              held button (left before middle before right) or 0
//   quit, window close      -> 6
// Wheel, touch, other window events and every other event: nothing.
SERVICE_API void map_sdl_event(const SDL_Event& event, std::deque<Event>& out);
