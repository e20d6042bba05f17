#include "scenecheck/kind_table.h"

namespace {

using V = ValueKind;

const std::vector<KeyInfo>& common_keys() {
    static const std::vector<KeyInfo> keys = {
        {"SceneObject->coord_type", V::CoordType},
        {"SceneObject->absolute_x", V::Float},
        {"SceneObject->absolute_y", V::Float},
        {"SceneObject->link_object", V::LinkObject},
        {"SceneObject->link_v_align", V::VAlign},
        {"SceneObject->link_h_align", V::HAlign},
        {"SceneObject->link_v_offset", V::Float},
        {"SceneObject->link_h_offset", V::Float},
        {"SceneObject->show", V::Switch},
        {"SceneObject->require_alpha_collision", V::Switch},
    };
    return keys;
}

const std::vector<std::string>& builtin_slots() {
    static const std::vector<std::string> slots = {
        "_on_activate",  "_on_deactivate",     "_on_key_press",     "_on_key_release",
        "_on_character", "_on_mouse_release", "_on_scene_reinit",
    };
    return slots;
}

// The kinds: the library's own, then the player's host kinds.
const std::vector<KindInfo>& kinds() {
    static const std::vector<KindInfo> table = {
        {"Image",
         "",
         {{"Image->image_file", V::ImageFile, true},
          {"Image->loader", V::ImageLoader},
          {"Image->x_base", V::Float},
          {"Image->y_base", V::Float}},
         {},
         {}},
        {"Text",
         "",
         {{"Text->text", V::Text},
          {"Text->renderer_type", V::Renderer},
          {"Text->font", V::Font},
          {"Text->font_size", V::Integer0},
          {"Text->color", V::Color},
          {"Text->x_base", V::Float},
          {"Text->y_base", V::Float}},
         {},
         {}},
        {"Timer", "", {{"Timer->repeat", V::Switch}, {"Timer->time", V::Float}}, {"_on_new_cycle"}, {"time_out"}},
        {"Button", "Image", {{"Button->target", V::SceneTarget, true}, {"Button->hover_image", V::ImageFile}}, {}, {}},
        {"SceneSwitch", "", {{"SceneSwitch->target", V::SceneTarget, true}}, {"_on_trigger"}, {}},
    };
    return table;
}

// The chain from the kind up to its root, the kind itself first.
std::vector<const KindInfo*> chain_of(const std::string& kind) {
    std::vector<const KindInfo*> chain;
    for (const KindInfo* info = kind_table::find(kind); info && chain.size() < kinds().size();
         info = kind_table::find(info->base))
        chain.push_back(info);
    return chain;
}

}  // namespace

namespace kind_table {

const KindInfo* find(const std::string& kind) {
    if (kind.empty()) return nullptr;
    for (const KindInfo& info : kinds())
        if (info.name == kind) return &info;
    return nullptr;
}

bool derives_from(const std::string& kind, const std::string& base) {
    for (const KindInfo* info : chain_of(kind))
        if (info->name == base) return true;
    return false;
}

std::vector<KeyInfo> keys_of(const std::string& kind) {
    std::vector<KeyInfo> keys = common_keys();
    auto chain = chain_of(kind);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) keys.insert(keys.end(), (*it)->keys.begin(), (*it)->keys.end());
    return keys;
}

std::vector<std::string> slots_of(const std::string& kind) {
    std::vector<std::string> slots = builtin_slots();
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

std::vector<std::string> kind_names() {
    std::vector<std::string> names;
    for (const KindInfo& info : kinds()) names.push_back(info.name);
    return names;
}

const std::vector<KeyInfo>& list_entry_keys() {
    static const std::vector<KeyInfo> keys = {
        {"name", V::Text}, {"file", V::Text}, {"preload", V::Switch}, {"type", V::SceneType}};
    return keys;
}

const std::vector<KeyInfo>& object_entry_keys() {
    static const std::vector<KeyInfo> keys = {{"name", V::Text}, {"z_level", V::Integer}, {"type", V::ObjectType}};
    return keys;
}

const std::vector<KeyInfo>& connection_keys() {
    static const std::vector<KeyInfo> keys = {{"connect", V::ConnectMode},
                                              {"type", V::ConnectionType},
                                              {"signal_source", V::Text},
                                              {"signal_name", V::Text},
                                              {"slot_name", V::Text}};
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
