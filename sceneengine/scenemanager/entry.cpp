#include "sceneengine/scenemanager/internal/library_state.h"
#include "sceneengine/scenemanager/sceneengine.h"
#include "services/video.h"

void init(std::string video_name) {
    register_builtin_fabrics();

    InputSignals& input = library_state().input;
    input.activate.set_name(video_name + "->activate");
    input.deactivate.set_name(video_name + "->deactivate");
    input.mouse_press.set_name(video_name + "->mouse_press");
    input.mouse_release.set_name(video_name + "->mouse_release");
    input.mouse_move.set_name(video_name + "->mouse_move");
    input.keyboard_press.set_name(video_name + "->keyboard_press");
    input.keyboard_release.set_name(video_name + "->keyboard_release");
    input.character.set_name(video_name + "->character");

    library_state().video_name = video_name;

    // A missing device is not an error here: the host may make it later.
    Video_Interface* video = video_get_interface(video_name);
    if (!video) return;
    video->set_switch_b(true);
    video->set_switch_a(true);
    video->set_switch_c(true);
    video->set_switch_d(true);
}

Scene* get_scene(std::string name) {
    const auto& scenes = library_state().scenes;
    return scenes.contains(name) ? scenes.get(name) : nullptr;
}
