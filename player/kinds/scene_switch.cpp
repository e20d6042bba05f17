#include "player/kinds/scene_switch.h"

#include "player/kinds/host_kinds.h"
#include "services/config.h"

namespace player {

const KindDescription& SceneSwitch::description() {
    static const KindDescription kind = {
        "SceneSwitch", "", {{"SceneSwitch->target", ValueKind::SceneTarget, "", true, "the scene to show when one of the switch's slots is called, or exit"}}, {"_on_trigger"}, {}};
    return kind;
}

SceneSwitch::SceneSwitch() : _trigger_slot_(this, &SceneSwitch::slot__on_trigger) {}

bool SceneSwitch::slot__on_activate(SlotArgs* args) { return slot__on_trigger(args); }
bool SceneSwitch::slot__on_key_press(SlotArgs* args) { return slot__on_trigger(args); }
bool SceneSwitch::slot__on_character(SlotArgs* args) { return slot__on_trigger(args); }
bool SceneSwitch::slot__on_mouse_release(SlotArgs* args) { return slot__on_trigger(args); }

bool SceneSwitch::slot__on_trigger(SlotArgs*) {
    request_scene(target);
    return true;
}

bool SceneSwitch::load(Scene* scene, std::string storage_name, std::string storage_prefix, std::string scene_name,
                       std::string object_name, FileIO::FileManager* file_manager) {
    Config_Interface* config =
        load_with_config(scene, storage_name, storage_prefix, scene_name, object_name, file_manager);
    if (!config) return false;
    target = DescribedKeys(config, storage_prefix, description().keys).text("SceneSwitch->target");
    // Registered with the others when the scene is activated, as a Timer's own slot is.
    _slot_map_.emplace_back(_scene_name_ + "->" + _object_name_ + "->_on_trigger", &_trigger_slot_);
    return real_load(scene, storage_name, storage_prefix, scene_name, object_name, file_manager);
}

bool SceneSwitch::real_load(Scene*, std::string, std::string, std::string, std::string, FileIO::FileManager*) {
    if (target.empty()) {
        _set_error("SceneSwitch \"" + _object_name_ + "\" has no \"SceneSwitch->target\" (a scene name or \"exit\")");
        return false;
    }
    return true;
}

void SceneSwitch::draw() {}

}  // namespace player
