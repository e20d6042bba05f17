#include <iostream>
#include <string>

#include "sceneengine/scenemanager/internal/library_state.h"
#include "sceneengine/scenemanager/scene/scene.h"
#include "sceneengine/scenemanager/sceneengine.h"
#include "services/video.h"

namespace {

// Publishes the scene the loop holds for as long as the loop runs. Loops
// nest (a process_scene called from a slot), so each has its own entry.
class ShownScene {
public:
    explicit ShownScene(LibraryState& state) : state_(state), index_(state.shown_scenes.size()) {
        state_.shown_scenes.push_back(nullptr);
    }
    ~ShownScene() { state_.shown_scenes.resize(index_); }
    ShownScene(const ShownScene&) = delete;
    ShownScene& operator=(const ShownScene&) = delete;

    void set(Scene* scene) { state_.shown_scenes[index_] = scene; }

private:
    LibraryState& state_;
    std::size_t index_;
};

// The scene stored under the current name, or null after writing why.
Scene* find_current_scene(const LibraryState& state) {
    Scene* scene = state.scenes.contains(state.current_scene) ? state.scenes.get(state.current_scene) : nullptr;
    if (!scene) std::cerr << "No such scene \"" << state.current_scene << "\"" << std::endl;
    return scene;
}

// Acts on a request for another scene. Null when the loop must end: on
// "exit", or when the scene to show is missing or does not load.
Scene* switch_scene(LibraryState& state, Scene* shown, ShownScene& published) {
    if (state.next_scene == "exit") return nullptr;
    shown->slot__on_deactivate(nullptr);

    // A name that is not in the table restarts the scene being shown.
    if (state.scenes.contains(state.next_scene))
        state.current_scene = state.next_scene;
    else
        state.next_scene = state.current_scene;

    Scene* scene = find_current_scene(state);
    published.set(scene);
    if (!scene) return nullptr;
    if (!scene->scene_loaded()) {
        scene->set_file_manager(state.file_manager);
        if (!scene->load_scene()) return nullptr;
    }
    scene->slot__on_activate(nullptr);
    scene->reinit();
    return scene;
}

// The library's device, fetched by name: a slot may unregister it (and its
// owner destroy it) at any time, so no cycle reuses a pointer of an earlier
// one. Null after writing why.
Video_Interface* find_video_device(const LibraryState& state) {
    Video_Interface* video = video_get_interface(state.video_name);
    if (!video) std::cerr << "Unable to get video device:" << state.video_name << std::endl;
    return video;
}

void run_frame_loop(LibraryState& state) {
    if (!find_video_device(state)) return;
    ShownScene published(state);
    Scene* scene = find_current_scene(state);
    if (!scene) return;
    published.set(scene);

    // The first scene is activated before it loads and gets no reinit.
    scene->slot__on_activate(nullptr);
    if (!scene->scene_loaded() && !scene->load_scene()) return;
    if (!scene->draw()) return;

    for (;;) {
        Video_Interface* video = find_video_device(state);
        if (!video) return;
        video->update_screen();
        pump_events(state);
        if (!find_video_device(state)) return;  // a slot the pump called took it away
        if (state.next_scene != state.current_scene) {
            scene = switch_scene(state, scene, published);
            if (!scene) return;
        }
        if (!scene->draw()) return;
    }
}

}  // namespace

void process_scene(std::string first_scene) {
    LibraryState& state = library_state();
    state.current_scene = first_scene;
    state.next_scene = first_scene;
    run_frame_loop(state);
}

void set_next_scene(std::string name) { library_state().next_scene = std::move(name); }
