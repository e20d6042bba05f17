#include "sceneengine/sceneobjects/kind_description.h"
#include "sceneengine/sceneobjects/scene_object.h"
#include "services/config.h"

bool SceneObject::load(Scene* scene, std::string storage_name, std::string storage_prefix, std::string scene_name,
                       std::string object_name, FileIO::FileManager* file_manager) {
    return load_with_config(scene, storage_name, storage_prefix, scene_name, object_name, file_manager) != nullptr;
}

Config_Interface* SceneObject::load_with_config(Scene* scene, const std::string& storage_name,
                                                const std::string& storage_prefix, const std::string& scene_name,
                                                const std::string& object_name, FileIO::FileManager*) {
    _scene_name_ = scene_name;
    _object_name_ = object_name;
    _storage_name_ = storage_name;
    _storage_prefix_ = storage_prefix;
    _scene_ = scene;
    Config_Interface* config = config_get_interface(storage_name);
    if (!config) {
        _set_error("Can't get config interface:" + config_error());
        return nullptr;
    }

    const DescribedKeys keys(config, storage_prefix, kind_descriptions::common_keys());
    coord_type = keys.text("SceneObject->coord_type");
    absolute_x = keys.number("SceneObject->absolute_x");
    absolute_y = keys.number("SceneObject->absolute_y");
    link_object = keys.text("SceneObject->link_object");
    link_v_align = keys.text("SceneObject->link_v_align");
    link_h_align = keys.text("SceneObject->link_h_align");
    link_v_offset = keys.number("SceneObject->link_v_offset");
    link_h_offset = keys.number("SceneObject->link_h_offset");
    show = keys.on("SceneObject->show");
    require_alpha_collision = keys.on("SceneObject->require_alpha_collision");

    // In the order of the described slot endings.
    AbstractSlot* const builtin_slots[] = {
        &_activate_slot_,  &_deactivate_slot_,    &_key_press_slot_,    &_key_release_slot_,
        &_character_slot_, &_mouse_release_slot_, &_scene_reinit_slot_,
    };
    const std::vector<std::string>& endings = kind_descriptions::common_slots();
    const std::string slot_prefix = _scene_name_ + "->" + _object_name_ + "->";
    _slot_map_.reserve(_slot_map_.size() + std::size(builtin_slots));  // exact size: objects are many
    for (std::size_t i = 0; i < std::size(builtin_slots); ++i)
        _slot_map_.emplace_back(slot_prefix + endings[i], builtin_slots[i]);

    load_signals(config, storage_prefix);
    return config;
}

bool SceneObject::real_load(Scene*, std::string storage_name, std::string storage_prefix, std::string,
                            std::string, FileIO::FileManager*) {
    Config_Interface* config = config_get_interface(storage_name);
    if (!config) {
        _set_error("Can't get config interface:" + config_error());
        return false;
    }
    load_signals(config, std::move(storage_prefix));
    return true;
}
