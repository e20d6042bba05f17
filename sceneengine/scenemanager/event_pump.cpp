#include <cstdint>

#include "sceneengine/scenemanager/internal/library_state.h"
#include "services/video.h"

namespace {

constexpr int polls_per_cycle = 1000;

void rise_code(Signal& signal, std::int32_t code) {
    signal.clear_params();
    signal.add_params(std::int64_t(code));
    signal.rise();
}

void rise_mouse(Signal& signal, const Event& event) {
    signal.clear_params();
    signal.add_params(event.x);
    signal.add_params(event.y);
    signal.add_params(event.dx);
    signal.add_params(event.dy);
    signal.add_params(std::int64_t(event.button));
    signal.rise();
}

}  // namespace

void pump_events(LibraryState& state) {
    Video_Interface* video = video_get_interface(state.video_name);
    if (!video) return;  // skips this cycle's input only

    InputSignals& input = state.input;
    for (int poll = 0; poll < polls_per_cycle; ++poll) {
        // Made in place by each poll: no copy of the record per poll.
        const Event event = video->get_event();
        switch (event.type) {
        case EVENT_KEY_PRESS: rise_code(input.keyboard_press, event.key); break;
        case EVENT_KEY_RELEASE: rise_code(input.keyboard_release, event.key); break;
        case EVENT_MOUSE_PRESS: rise_mouse(input.mouse_press, event); break;
        case EVENT_MOUSE_RELEASE: rise_mouse(input.mouse_release, event); break;
        case EVENT_MOUSE_MOVE: rise_mouse(input.mouse_move, event); break;
        case EVENT_CHARACTER: rise_code(input.character, event.character); break;
        case EVENT_QUIT: state.next_scene = "exit"; return;
        default: continue;  // nothing raised, so no slot ran: the device is as it was
        }
        // The slots just called may have unregistered the device.
        video = video_get_interface(state.video_name);
        if (!video) return;
    }
}
