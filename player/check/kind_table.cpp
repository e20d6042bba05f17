#include "player/check/kind_table.h"

namespace {

using V = ValueKind;

const std::vector<KeyInfo>& the_common_keys() {
    static const std::vector<KeyInfo> keys = {
        {"SceneObject->coord_type", V::CoordType, false, "absolute (the default): placed at absolute_x, absolute_y; link: placed against link_object"},
        {"SceneObject->absolute_x", V::Float, false, "x of the object's base point on the screen, in pixels"},
        {"SceneObject->absolute_y", V::Float, false, "y of the object's base point on the screen, in pixels (down is larger)"},
        {"SceneObject->link_object", V::LinkObject, false, "with coord_type link: the object of the same scene this one is placed against"},
        {"SceneObject->link_v_align", V::VAlign, false, "which edge of the linked object: top (its larger y, the lower edge on screen), bottom, center or base_point"},
        {"SceneObject->link_h_align", V::HAlign, false, "which side of the linked object: left, right, center or base_point"},
        {"SceneObject->link_v_offset", V::Float, false, "moves the object down by this many heights of the linked object"},
        {"SceneObject->link_h_offset", V::Float, false, "moves the object right by this many widths of the linked object"},
        {"SceneObject->show", V::Switch, false, "true (the default) draws the object; anything but the exact word true hides it"},
        {"SceneObject->require_alpha_collision", V::Switch, false, "true: clicks hit only pixels that are at least half opaque"},
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

// The kinds: the library's own, then the player's host kinds, then those
// that hosts add.
std::vector<KindInfo>& kind_registry() {
    static std::vector<KindInfo> table = {
        {"Image",
         "",
         {{"Image->image_file", V::ImageFile, true, "the picture, a path below the presentation's folder (PNG, JPEG, BMP, TGA or GIF)"},
          {"Image->loader", V::ImageLoader, false, "png, jpg, jpeg, bmp, tga or gif; empty (the default): chosen from the file's content"},
          {"Image->x_base", V::Float, false, "the point of the picture placed at the position, as a fraction of its width (0.5: the middle)"},
          {"Image->y_base", V::Float, false, "the point of the picture placed at the position, as a fraction of its height (0.5: the middle)"}},
         {},
         {}},
        {"Text",
         "",
         {{"Text->text", V::Text, false, "the text, in UTF-8; \\n breaks lines"},
          {"Text->renderer_type", V::Renderer, false, "the text renderer: ttf (the default)"},
          {"Text->font", V::Font, false, "a font file or a fontconfig pattern such as \"DejaVu Sans:bold\"; empty: the default sans-serif face"},
          {"Text->font_size", V::Integer0, false, "the size in pixels, 1 to 1000 (default 14); 0x starts hexadecimal, a leading 0 octal"},
          {"Text->color", V::Color, false, "the colour as 0xRRGGBBAA (default 0xffffffff, opaque white)"},
          {"Text->x_base", V::Float, false, "the point of the text placed at the position, as a fraction of its width"},
          {"Text->y_base", V::Float, false, "the point of the text placed at the position, as a fraction of its height"}},
         {},
         {}},
        {"Timer", "", {{"Timer->repeat", V::Switch, false, "true: fires every period; otherwise once"}, {"Timer->time", V::Float, false, "the period in seconds (default 1.0)"}}, {"_on_new_cycle"}, {"time_out"}},
        {"Button", "Image", {{"Button->target", V::SceneTarget, true, "the scene to show when the button is clicked, or exit"}, {"Button->hover_image", V::ImageFile, false, "a picture shown instead while the pointer is over the button"}}, {}, {}},
        {"SceneSwitch", "", {{"SceneSwitch->target", V::SceneTarget, true, "the scene to show when one of the switch's slots is called, or exit"}}, {"_on_trigger"}, {}},
    };
    return table;
}

// The chain from the kind up to its root, the kind itself first.
std::vector<const KindInfo*> chain_of(const std::string& kind) {
    std::vector<const KindInfo*> chain;
    for (const KindInfo* info = kind_table::find(kind); info && chain.size() < kind_registry().size();
         info = kind_table::find(info->base))
        chain.push_back(info);
    return chain;
}

}  // namespace

namespace kind_table {

void add_kind(KindInfo kind) {
    for (KindInfo& known : kind_registry())
        if (known.name == kind.name) {
            known = std::move(kind);
            return;
        }
    kind_registry().push_back(std::move(kind));
}

const std::vector<KindInfo>& kinds() { return kind_registry(); }
const std::vector<KeyInfo>& common_keys() { return the_common_keys(); }

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
    std::vector<KeyInfo> keys = the_common_keys();
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
        {"name", V::Text, true, "the scene's name, which switches and FIRST_SCENE use; the list ends at the first entry without one"},
        {"file", V::Text, false, "the scene file, a path below the presentation's folder"},
        {"preload", V::Switch, false, "true: the scene loads with the list; otherwise just before it is first shown"},
        {"type", V::SceneType, false, "the scene kind (default generic)"}};
    return keys;
}

const std::vector<KeyInfo>& object_entry_keys() {
    static const std::vector<KeyInfo> keys = {
        {"name", V::Text, true, "the object's name; its own keys are under Objects->NAME; the list ends at the first entry without one"},
        {"z_level", V::Integer, false, "drawing level: higher draws on top, equal levels in list order"},
        {"type", V::ObjectType, true, "the object kind: Image, Text, Timer, or a kind of the host such as Button"}};
    return keys;
}

const std::vector<KeyInfo>& connection_keys() {
    static const std::vector<KeyInfo> keys = {
        {"connect", V::ConnectMode, false, "on_load: connected while the scene is loaded; on_request (the default): while the object has the focus"},
        {"type", V::ConnectionType, false, "builtin with signal_source Video: the device's input signals; custom (the default) otherwise"},
        {"signal_source", V::Text, true, "a scene (title), an object of a scene (title->timer), or Video with type builtin"},
        {"signal_name", V::Text, true, "the signal: new_cycle, time_out, mouse_press, keyboard_press, ..."},
        {"slot_name", V::Text, true, "one of the object's own slots, such as _on_new_cycle or _on_trigger"}};
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
