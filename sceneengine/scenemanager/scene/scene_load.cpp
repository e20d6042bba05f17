#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

#include "sceneengine/scenemanager/scene/scene.h"
#include "sceneengine/scenemanager/internal/scene_log.h"
#include "sceneengine/scenemanager/scene_object_fabric.h"
#include "sceneengine/sceneobjects/scene_object.h"
#include "services/config.h"
#include "services/video.h"

namespace {

// The leading decimal integer of the text, 0 when there is none. Out-of-range
// values are clamped to int rather than wrapped.
int read_int(Config_Interface* config, const std::string& key, const char* def) {
    const std::string text = config->get_value(key, def);
    const long value = std::strtol(text.c_str(), nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return int(value);
}

// Takes an object that is no longer wanted off the bus and destroys it.
void discard(SceneObject* object) {
    object->disconnect_signals(true);
    object->unregister_slots();
    delete object;
}

}  // namespace

bool Scene::load_scene() {
    if (video_name.empty() || storage_file.empty() || name.empty() || !file_manager)
        scene_log(63) << "..\\..\\sceneengine\\scenemanager\\scene:63: Scene wasn't correctly inited!!!" << std::endl;

    Video_Interface* video = video_get_interface(video_name);
    if (!video) return false;
    if (width == 0) width = video->get_screen_width();
    if (height == 0) height = video->get_screen_height();

    if (!config_create(name, "quillbox", 1)) {
        scene_log(71) << "Error while trying to create config from quillbox: " << config_error() << std::endl;
        return false;
    }
    Config_Interface* config = config_get_interface(name);
    if (!config) {
        scene_log(77) << "Error with config" << std::flush;
        return false;
    }
    config->load_file(storage_file, file_manager);

    mouse_cursor_state = read_int(config, "Scene->show_mouse_cursor", "1") > 0;
    init_signals();

    // The list ends at the first entry without a name; a failed object ends the load.
    bool failed = false;
    read_numbered_list([&](int i) {
        const std::string entry = "Scene->Objects->Object" + std::to_string(i) + "->";
        const std::string object_name = config->get_value(entry + "name", "");
        if (object_name.empty()) return false;
        const int z_level = read_int(config, entry + "z_level", "0");

        // An object loaded again replaces the one of the same name.
        if (objects.contains(object_name)) {
            SceneObject* old_object = objects.get(object_name);
            if (old_object) {
                if (old_object == focused_object) focused_object = nullptr;
                if (old_object == hovered_object) hovered_object = nullptr;
                discard(old_object);
            }
            objects.remove(object_name);
            z_levels.remove(object_name);
        }

        const std::string storage_prefix = "Objects->" + object_name + "->";
        const std::string type = config->get_value(entry + "type", "");
        SceneObject* object = SceneObjectFabric()[type];
        if (!object) {
            scene_log(112) << "Can't load object\"" << object_name << "\" from file \"" << storage_file << "\""
                           << std::endl;
            scene_log(113) << "No object of type \"" << type << "\"" << std::endl;
            failed = true;
            return false;
        }

        object->set_video_name(video_name);
        if (!object->load(this, name, storage_prefix, name, object_name, file_manager)) {
            scene_log(126) << "Can't load object \"" << object_name << "\" from file \"" << storage_file << "\""
                           << std::endl;
            scene_log(127) << "Error: " << object->_get_error() << std::endl;
            // Its slots were registered while it loaded; it belongs to no scene.
            discard(object);
            failed = true;
            return false;
        }

        objects.add(object_name, object);
        z_levels.add(object_name, z_level);
        object_list.push_back(object_name);
        return true;
    });
    if (failed) return false;

    // Nothing reads the scene's configuration once its objects are loaded.
    config_remove(name);
    scene_loaded_ = true;

    if (Video_Interface* device = video_get_interface(video_name)) {
        device->set_switch_a(true);
        device->set_switch_b(true);
        device->set_switch_c(true);
        device->set_switch_d(true);
    }
    return true;
}
