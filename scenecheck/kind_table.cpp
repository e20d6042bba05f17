#include "scenecheck/kind_table.h"

namespace {

using V = ValueKind;

// The chain from the kind up to its root, the kind itself first.
std::vector<const KindInfo*> chain_of(const std::string& kind) {
    std::vector<const KindInfo*> chain;
    const std::size_t kinds = kind_table::kind_names().size();  // more links would be a cycle
    for (const KindInfo* info = kind_table::find(kind); info && chain.size() < kinds;
         info = kind_table::find(info->base))
        chain.push_back(info);
    return chain;
}

}  // namespace

namespace kind_table {

const KindInfo* find(const std::string& kind) { return kind_descriptions::find(kind); }

bool derives_from(const std::string& kind, const std::string& base) {
    for (const KindInfo* info : chain_of(kind))
        if (info->name == base) return true;
    return false;
}

std::vector<KeyInfo> keys_of(const std::string& kind) {
    std::vector<KeyInfo> keys = kind_descriptions::common_keys();
    auto chain = chain_of(kind);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) keys.insert(keys.end(), (*it)->keys.begin(), (*it)->keys.end());
    return keys;
}

std::vector<std::string> slots_of(const std::string& kind) {
    std::vector<std::string> slots = kind_descriptions::common_slots();
    auto chain = chain_of(kind);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        slots.insert(slots.end(), (*it)->slots.begin(), (*it)->slots.end());
    return slots;
}

std::vector<std::string> signals_of(const std::string& kind) {
    std::vector<std::string> signals;
    auto chain = chain_of(kind);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        signals.insert(signals.end(), (*it)->signals.begin(), (*it)->signals.end());
    return signals;
}

std::vector<std::string> kind_names() { return kind_descriptions::names(); }

const std::vector<KeyInfo>& list_entry_keys() {
    static const std::vector<KeyInfo> keys = {
        {"name", V::Text, "", true, "the scene's name, which switches and FIRST_SCENE use; the list ends at the first entry without one"},
        {"file", V::Text, "", false, "the scene file, a path below the presentation's folder"},
        {"preload", V::Switch, "false", false, "true: the scene loads with the list; otherwise just before it is first shown"},
        {"type", V::SceneType, "generic", false, "the scene kind (default generic)"}};
    return keys;
}

const std::vector<KeyInfo>& object_entry_keys() {
    static const std::vector<KeyInfo> keys = {
        {"name", V::Text, "", true, "the object's name; its own keys are under Objects->NAME; the list ends at the first entry without one"},
        {"z_level", V::Integer, "0", false, "drawing level: higher draws on top, equal levels in list order"},
        {"type", V::ObjectType, "", true, "the object kind: Image, Text, Timer, or a kind of the host such as Button"}};
    return keys;
}

const std::vector<KeyInfo>& connection_keys() {
    static const std::vector<KeyInfo> keys = {
        {"connect", V::ConnectMode, "on_request", false, "on_load: connected while the scene is loaded; on_request (the default): while the object has the focus"},
        {"type", V::ConnectionType, "custom", false, "builtin with signal_source Video: the device's input signals; custom (the default) otherwise"},
        {"signal_source", V::Text, "", true, "a scene (title), an object of a scene (title->timer), or Video with type builtin"},
        {"signal_name", V::Text, "", true, "the signal: new_cycle, time_out, mouse_press, keyboard_press, ..."},
        {"slot_name", V::Text, "", true, "one of the object's own slots, such as _on_new_cycle or _on_trigger"}};
    return keys;
}

const std::vector<std::string>& scene_signals() {
    static const std::vector<std::string> signals = {"new_cycle", "activate", "reinit"};
    return signals;
}

const std::vector<std::string>& input_signals() {
    static const std::vector<std::string> signals = {"activate",      "deactivate",     "mouse_press",
                                                     "mouse_release", "mouse_move",     "keyboard_press",
                                                     "keyboard_release", "character"};
    return signals;
}

}  // namespace kind_table
