#include "sceneengine/sceneobjects/object_values.h"
#include "sceneengine/sceneobjects/scene_object.h"
#include "services/config.h"

using object_values::read_float;
using object_values::read_switch;

namespace {

// Endings of the seven built-in slot names, in the order of the slot table.
constexpr const char* builtin_slot_endings[] = {
    "->_on_activate",  "->_on_deactivate",    "->_on_key_press",    "->_on_key_release",
    "->_on_character", "->_on_mouse_release", "->_on_scene_reinit",
};

}  // namespace

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

    const std::string key = storage_prefix + "SceneObject->";
    coord_type = config->get_value(key + "coord_type", "absolute");
    absolute_x = read_float(config, key + "absolute_x", "0.0");
    absolute_y = read_float(config, key + "absolute_y", "0.0");
    link_object = config->get_value(key + "link_object", "");
    link_v_align = config->get_value(key + "link_v_align", "center");
    link_h_align = config->get_value(key + "link_h_align", "center");
    link_v_offset = read_float(config, key + "link_v_offset", "0.0");
    link_h_offset = read_float(config, key + "link_h_offset", "0.0");
    show = read_switch(config, key + "show", "true");
    require_alpha_collision = read_switch(config, key + "require_alpha_collision", "false");

    AbstractSlot* const builtin_slots[] = {
        &_activate_slot_,  &_deactivate_slot_,    &_key_press_slot_,    &_key_release_slot_,
        &_character_slot_, &_mouse_release_slot_, &_scene_reinit_slot_,
    };
    const std::string slot_prefix = _scene_name_ + "->" + _object_name_;
    _slot_map_.reserve(_slot_map_.size() + std::size(builtin_slots));  // exact size: objects are many
    for (std::size_t i = 0; i < std::size(builtin_slots); ++i)
        _slot_map_.emplace_back(slot_prefix + builtin_slot_endings[i], builtin_slots[i]);

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
