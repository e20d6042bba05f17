#include <cstdlib>
#include <deque>

#include "sceneengine/sceneobjects/kind_description.h"
#include "sceneengine/sceneobjects/object_values.h"
#include "services/config.h"

namespace {

using V = ValueKind;

// A deque: the descriptions handed out stay where they are while hosts add theirs.
std::deque<KindDescription>& described() {
    static std::deque<KindDescription> kinds = {
        {"Image",
         "",
         {{"Image->image_file", V::ImageFile, "", true},
          {"Image->loader", V::ImageLoader, ""},
          {"Image->x_base", V::Float, "0.5"},
          {"Image->y_base", V::Float, "0.5"}},
         {},
         {}},
        {"Text",
         "",
         {{"Text->text", V::Text, ""},
          {"Text->renderer_type", V::Renderer, "ttf"},
          {"Text->font", V::Font, ""},
          {"Text->font_size", V::Integer0, "14"},
          {"Text->color", V::Color, "0xffffffff"},
          {"Text->x_base", V::Float, "0.5"},
          {"Text->y_base", V::Float, "0.5"}},
         {},
         {}},
        {"Timer", "", {{"Timer->repeat", V::Switch, ""}, {"Timer->time", V::Float, "1.0"}}, {"_on_new_cycle"}, {"time_out"}},
    };
    return kinds;
}

}  // namespace

namespace kind_descriptions {

const std::vector<KeyDescription>& common_keys() {
    static const std::vector<KeyDescription> keys = {
        {"SceneObject->coord_type", V::CoordType, "absolute"},
        {"SceneObject->absolute_x", V::Float, "0.0"},
        {"SceneObject->absolute_y", V::Float, "0.0"},
        {"SceneObject->link_object", V::LinkObject, ""},
        {"SceneObject->link_v_align", V::VAlign, "center"},
        {"SceneObject->link_h_align", V::HAlign, "center"},
        {"SceneObject->link_v_offset", V::Float, "0.0"},
        {"SceneObject->link_h_offset", V::Float, "0.0"},
        {"SceneObject->show", V::Switch, "true"},
        {"SceneObject->require_alpha_collision", V::Switch, "false"},
    };
    return keys;
}

const std::vector<std::string>& common_slots() {
    static const std::vector<std::string> slots = {
        "_on_activate",  "_on_deactivate",    "_on_key_press",     "_on_key_release",
        "_on_character", "_on_mouse_release", "_on_scene_reinit",
    };
    return slots;
}

const KindDescription* find(const std::string& kind) {
    if (kind.empty()) return nullptr;
    for (const KindDescription& description : described())
        if (description.name == kind) return &description;
    return nullptr;
}

std::vector<std::string> names() {
    std::vector<std::string> result;
    for (const KindDescription& description : described()) result.push_back(description.name);
    return result;
}

void add(KindDescription description) {
    if (description.name.empty() || find(description.name)) return;
    described().push_back(std::move(description));
}

const KeyDescription& key_of(const std::vector<KeyDescription>& keys, const std::string& key) {
    for (const KeyDescription& description : keys)
        if (description.key == key) return description;
    static const KeyDescription undescribed;  // reads as "" when missing
    return undescribed;
}

}  // namespace kind_descriptions

std::string DescribedKeys::text(const std::string& key) const {
    return config_->get_value(prefix_ + key, kind_descriptions::key_of(keys_, key).default_value);
}

float DescribedKeys::number(const std::string& key) const {
    return object_values::to_float(std::atof(text(key).c_str()));
}

bool DescribedKeys::on(const std::string& key) const { return text(key) == "true"; }
