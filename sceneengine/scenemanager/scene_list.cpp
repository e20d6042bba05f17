#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "sceneengine/scenemanager/internal/library_state.h"
#include "sceneengine/scenemanager/scene/scene.h"
#include "sceneengine/scenemanager/scene_fabric.h"
#include "sceneengine/scenemanager/sceneengine.h"
#include "sceneengine/sceneobjects/scene_object.h"
#include "services/config.h"

namespace {

struct SceneEntry {
    std::string name;
    std::string file;
    bool preload = false;
    std::string type;
};

// The whole list is read before any scene is made: preloading a scene creates
// a configuration under the scene's name, and a scene named "ScenesLoader"
// would otherwise empty (and release) the list while it is being read.
std::vector<SceneEntry> read_scene_list(Config_Interface* config) {
    std::vector<SceneEntry> entries;
    // The list ends at the first entry without a name.
    read_numbered_list([&](int i) {
        const std::string prefix = "Scenes->Scene" + std::to_string(i);
        SceneEntry entry;
        entry.name = config->get_value(prefix + "->name", "");
        if (entry.name.empty()) return false;
        entry.file = config->get_value(prefix + "->file", "");
        entry.preload = config->get_value(prefix + "->preload", "false") == "true";
        entry.type = config->get_value(prefix + "->type", "generic");
        entries.push_back(std::move(entry));
        return true;
    });
    return entries;
}

// Takes a scene out of the table and destroys it, with the objects it still
// holds: once the scene is gone nothing can reach them, so they would leak.
// (The scene left shown by an earlier process_scene is still activated;
// delete_scene deactivates it, so that the bus keeps no pointer to its slots.)
void destroy_scene(LibraryState& state, const std::string& name) {
    delete_scene(state.scenes.get(name));
    state.scenes.remove(name);
}

// True when a running frame loop holds the scene.
bool is_shown(const LibraryState& state, const Scene* scene) {
    const auto& shown = state.shown_scenes;
    return scene && std::find(shown.begin(), shown.end(), scene) != shown.end();
}

}  // namespace

bool load_scenes(std::string list_file, std::string video_name, FileIO::FileManager* file_manager) {
    LibraryState& state = library_state();
    state.file_manager = file_manager;

    if (!config_create("ScenesLoader", "quillbox", 0)) {
        std::cerr << "Error while trying to create config from quillbox: " << config_error() << std::endl;
        return false;
    }
    Config_Interface* config = config_get_interface("ScenesLoader");
    if (!config) {
        std::cerr << "Erro with config" << std::flush;
        return false;
    }
    config->load_file(list_file, state.file_manager);

    const std::vector<SceneEntry> entries = read_scene_list(config);
    state.listed_scenes.clear();
    for (const SceneEntry& entry : entries) state.listed_scenes.push_back(entry.name);

    bool all_read = true;
    for (const SceneEntry& entry : entries) {
        if (state.scenes.contains(entry.name)) {
            if (is_shown(state, state.scenes.get(entry.name))) {
                std::cerr << "Can't replace scene \"" << entry.name << "\" while it is shown" << std::endl;
                all_read = false;
                continue;
            }
            destroy_scene(state, entry.name);
        }

        Scene* scene = SceneFabric()[entry.type];
        if (!scene) {
            std::cerr << "Can't create scene of type \"" << entry.type << "\"" << std::endl;
            return false;
        }
        scene->set_name(entry.name);
        scene->set_video_name(video_name);
        scene->set_storage_file(entry.file);
        scene->set_file_manager(state.file_manager);
        state.scenes.add(entry.name, scene);

        if (entry.preload && !scene->load_scene()) {
            std::cerr << "Can't load scene \"" << entry.name << "\" from file \"" << entry.file << "\"" << std::endl;
            return false;
        }
    }
    return all_read;
}

std::vector<std::string> get_scene_names() { return library_state().listed_scenes; }

void delete_scene(Scene* scene) {
    if (!scene) return;
    scene->slot__on_deactivate(nullptr);
    for (const auto& [name, object] : scene->get_objects()) {
        if (!object) continue;
        object->disconnect_signals(true);
        object->unregister_slots();
        delete object;
    }
    delete scene;
}

bool release_scenes() {
    LibraryState& state = library_state();
    if (!state.shown_scenes.empty()) return false;
    for (const auto& [name, scene] : state.scenes) delete_scene(scene);
    state.scenes = {};
    state.listed_scenes.clear();
    return true;
}
