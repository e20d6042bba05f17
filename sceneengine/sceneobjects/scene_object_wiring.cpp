#include <string>

#include "sceneengine/sceneobjects/scene_object.h"
#include "services/config.h"

void SceneObject::register_slots() {
    for (const auto& [name, slot] : _slot_map_) register_slot(name, slot);
    connect(_scene_name_ + "->reinit", _scene_name_ + "->" + _object_name_ + "->_on_scene_reinit");
}

void SceneObject::unregister_slots() {
    for (const auto& entry : _slot_map_) unregister_slot(entry.first);
    disconnect(_scene_name_ + "->reinit", _scene_name_ + "->" + _object_name_ + "->_on_scene_reinit");
}

void SceneObject::connect_signals(bool on_load_only) {
    for (const SignalConnection& connection : _signal_connections_)
        if (!on_load_only || connection.on_load) connect(connection.signal, connection.slot);
}

void SceneObject::disconnect_signals(bool all) {
    disconnect(_scene_name_ + "->reinit", _scene_name_ + "->" + _object_name_ + "->_on_scene_reinit");
    for (const SignalConnection& connection : _signal_connections_)
        if (all || !connection.on_load) disconnect(connection.signal, connection.slot);
}

// The scene raises "->reinit" when it is shown again; the on-load connections
// are made anew in case something cut them meanwhile.
bool SceneObject::slot__on_scene_reinit(SlotArgs*) {
    connect_signals(true);
    return false;
}

void SceneObject::load_signals(Config_Interface* config, std::string storage_prefix) {
    const std::string entry_prefix = storage_prefix + "signals->signal";
    const std::string scene = _scene_name_;
    const std::string slot_prefix = scene + "->" + _object_name_ + "->";

    register_slots();

    // Only the focused object hears its scene's activate and deactivate signals.
    _signal_connections_.reserve(_signal_connections_.size() + 3);
    _signal_connections_.emplace_back(scene + "->activate", slot_prefix + "_on_activate", false);
    _signal_connections_.emplace_back(scene + "->deactivate", slot_prefix + "_on_deactivate", false);
    _signal_connections_.emplace_back(scene + "->reinit", slot_prefix + "_on_scene_reinit", false);

    // The list ends at the first entry without a source.
    read_numbered_list([&](int i) {
        const std::string entry = entry_prefix + std::to_string(i) + "->";
        const bool on_load = config->get_value(entry + "connect", "on_request") == "on_load";
        const std::string type = config->get_value(entry + "type", "custom");
        std::string source = config->get_value(entry + "signal_source", "");
        if (source.empty()) return false;
        const std::string signal_name = config->get_value(entry + "signal_name", "");
        const std::string slot_name = config->get_value(entry + "slot_name", "");

        // The default connections above already cover these.
        if (signal_name.empty() || signal_name == "activate" || signal_name == "deactivate") return true;
        if (type == "builtin" && source == "Video") source = _video_name_;

        _signal_connections_.emplace_back(source + "->" + signal_name, slot_prefix + slot_name, on_load);
        if (on_load) connect(_signal_connections_.back().signal, _signal_connections_.back().slot);
        return true;
    });
}
