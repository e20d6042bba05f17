#include "player/watch/scene_reload.h"

#include <algorithm>
#include <iterator>

#include "player/watch/overlay_files.h"
#include "sceneengine/scenemanager/scene/scene.h"
#include "sceneengine/sceneobjects/scene_object.h"

namespace player {
namespace {

std::vector<std::string> object_names(const Scene& scene) {
    std::vector<std::string> names;
    for (const auto& [name, object] : scene.get_objects()) names.push_back(name);
    return names;  // ascending, as the table keeps them
}

// Empties the scene: remove_object cuts each object's connections and takes
// its slots off the bus, so it can be destroyed.
void discard_objects(Scene& scene) {
    for (const std::string& name : object_names(scene)) {
        SceneObject* object = scene.get_object(name);
        scene.remove_object(name);
        delete object;
    }
    // A load that failed part way leaves the name of an object it had replaced
    // in the object list; the next load would draw its successor twice.
    // remove_object clears every mention of a name it holds.
    const std::vector<std::string> left = scene.get_object_list();
    for (const std::string& name : left) {
        if (scene.get_objects().contains(name)) continue;
        scene.add_object(name, nullptr, 0);
        scene.remove_object(name);
    }
}

bool load_from(Scene& scene, OverlayFiles& files, const std::string& scene_file,
               const std::vector<std::uint8_t>& content) {
    const OverlayFiles::Overlay overlay = files.serve(scene_file, content);
    scene.set_file_manager(&files);  // the overlay is seen only through this layer
    return scene.load_scene();
}

}  // namespace

SceneReload reload_scene(Scene& scene, OverlayFiles& files, const std::string& scene_file,
                         const std::vector<std::uint8_t>& content, const std::vector<std::uint8_t>* previous,
                         bool on_screen) {
    const std::vector<std::string> before = object_names(scene);
    SceneReload outcome;

    scene.slot__on_deactivate(nullptr);
    discard_objects(scene);
    if (!load_from(scene, files, scene_file, content)) {
        outcome.result = SceneReload::Result::partial;
        if (previous) {
            discard_objects(scene);
            if (load_from(scene, files, scene_file, *previous)) outcome.result = SceneReload::Result::restored;
        }
    }
    if (on_screen) {
        scene.slot__on_activate(nullptr);
        scene.reinit();
    } else {
        // Loading registered the objects' slots.
        scene.slot__on_deactivate(nullptr);
    }

    const std::vector<std::string> after = object_names(scene);
    outcome.objects = after.size();
    std::set_difference(after.begin(), after.end(), before.begin(), before.end(), std::back_inserter(outcome.added));
    std::set_difference(before.begin(), before.end(), after.begin(), after.end(), std::back_inserter(outcome.removed));
    return outcome;
}

}  // namespace player
