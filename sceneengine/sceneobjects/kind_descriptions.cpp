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
         {{"Image->image_file", V::ImageFile, "", true, "the picture, a path below the presentation's folder (PNG, JPEG, BMP, TGA or GIF)"},
          {"Image->loader", V::ImageLoader, "", false, "png, jpg, jpeg, bmp, tga or gif; empty (the default): chosen from the file's content"},
          {"Image->x_base", V::Float, "0.5", false, "the point of the picture placed at the position, as a fraction of its width (0.5: the middle)"},
          {"Image->y_base", V::Float, "0.5", false, "the point of the picture placed at the position, as a fraction of its height (0.5: the middle)"}},
         {},
         {}},
        {"Text",
         "",
         {{"Text->text", V::Text, "", false, "the text, in UTF-8; \\n breaks lines"},
          {"Text->renderer_type", V::Renderer, "ttf", false, "the text renderer: ttf (the default)"},
          {"Text->font", V::Font, "", false, "a font file or a fontconfig pattern such as \"DejaVu Sans:bold\"; empty: the default sans-serif face"},
          {"Text->font_size", V::Integer0, "14", false, "the size in pixels, 1 to 1000 (default 14); 0x starts hexadecimal, a leading 0 octal"},
          {"Text->color", V::Color, "0xffffffff", false, "the colour as 0xRRGGBBAA (default 0xffffffff, opaque white)"},
          {"Text->x_base", V::Float, "0.5", false, "the point of the text placed at the position, as a fraction of its width"},
          {"Text->y_base", V::Float, "0.5", false, "the point of the text placed at the position, as a fraction of its height"}},
         {},
         {}},
        {"Timer", "", {{"Timer->repeat", V::Switch, "", false, "true: fires every period; otherwise once"}, {"Timer->time", V::Float, "1.0", false, "the period in seconds (default 1.0)"}}, {"_on_new_cycle"}, {"time_out"}},
    };
    return kinds;
}

}  // namespace

namespace kind_descriptions {

const std::vector<KeyDescription>& common_keys() {
    static const std::vector<KeyDescription> keys = {
        {"SceneObject->coord_type", V::CoordType, "absolute", false, "absolute (the default): placed at absolute_x, absolute_y; link: placed against link_object"},
        {"SceneObject->absolute_x", V::Float, "0.0", false, "x of the object's base point on the screen, in pixels"},
        {"SceneObject->absolute_y", V::Float, "0.0", false, "y of the object's base point on the screen, in pixels (down is larger)"},
        {"SceneObject->link_object", V::LinkObject, "", false, "with coord_type link: the object of the same scene this one is placed against"},
        {"SceneObject->link_v_align", V::VAlign, "center", false, "which edge of the linked object: top (its larger y, the lower edge on screen), bottom, center or base_point"},
        {"SceneObject->link_h_align", V::HAlign, "center", false, "which side of the linked object: left, right, center or base_point"},
        {"SceneObject->link_v_offset", V::Float, "0.0", false, "moves the object down by this many heights of the linked object"},
        {"SceneObject->link_h_offset", V::Float, "0.0", false, "moves the object right by this many widths of the linked object"},
        {"SceneObject->show", V::Switch, "true", false, "true (the default) draws the object; anything but the exact word true hides it"},
        {"SceneObject->require_alpha_collision", V::Switch, "false", false, "true: clicks hit only pixels that are at least half opaque"},
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
