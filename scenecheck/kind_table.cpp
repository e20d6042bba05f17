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
        {"name", V::Text, ""}, {"file", V::Text, ""}, {"preload", V::Switch, "false"}, {"type", V::SceneType, "generic"}};
    return keys;
}

const std::vector<KeyInfo>& object_entry_keys() {
    static const std::vector<KeyInfo> keys = {{"name", V::Text, ""}, {"z_level", V::Integer, "0"}, {"type", V::ObjectType, ""}};
    return keys;
}

const std::vector<KeyInfo>& connection_keys() {
    static const std::vector<KeyInfo> keys = {{"connect", V::ConnectMode, "on_request"},
                                              {"type", V::ConnectionType, "custom"},
                                              {"signal_source", V::Text, ""},
                                              {"signal_name", V::Text, ""},
                                              {"slot_name", V::Text, ""}};
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
