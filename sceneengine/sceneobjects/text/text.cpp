#include "sceneengine/sceneobjects/text/text.h"

#include <cstdint>
#include <cstdlib>

#include "sceneengine/sceneobjects/kind_description.h"
#include "services/config.h"
#include "services/textrenderer.h"
#include "services/video.h"

namespace {

// Leads every loading error of a Text, so the message tells where it arose.
constexpr const char* source_path = "..\\..\\sceneengine\\sceneobjects\\text";

// Base 0: "0x10" is 16, "010" is 8, "12pt" is 12, "pt" is 0. Values beyond
// the field's range wrap, as the conversion to the field's type defines:
// "-256" is the colour 0xFFFFFF00 and "0x100000000" the colour 0.
int read_int(const std::string& text) { return int(std::strtol(text.c_str(), nullptr, 0)); }

std::uint32_t read_uint32(const std::string& text) { return std::uint32_t(std::strtoul(text.c_str(), nullptr, 0)); }

}  // namespace

Text::Text() = default;

Text::~Text() = default;

bool Text::load(Scene* scene, std::string storage_name, std::string storage_prefix, std::string scene_name,
                std::string object_name, FileIO::FileManager* file_manager) {
    Config_Interface* config =
        load_with_config(scene, storage_name, storage_prefix, scene_name, object_name, file_manager);
    if (!config) return false;

    const DescribedKeys keys(config, storage_prefix, kind_descriptions::find("Text")->keys);
    text = keys.text("Text->text");
    renderer_type = keys.text("Text->renderer_type");
    font = keys.text("Text->font");
    font_size = read_int(keys.text("Text->font_size"));
    color = read_uint32(keys.text("Text->color"));
    x_base = keys.number("Text->x_base");
    y_base = keys.number("Text->y_base");

    return real_load(scene, std::move(storage_name), std::move(storage_prefix), std::move(scene_name),
                     std::move(object_name), file_manager);
}

bool Text::real_load(Scene*, std::string, std::string, std::string, std::string, FileIO::FileManager*) {
    auto fail = [this](const char* what, const std::string& reason) {
        _set_error(source_path + std::string(what) + reason);
        return false;
    };

    // The most significant byte of the colour is set_color's first argument.
    VideoColor color_record;
    color_record.set_color(int((color >> 24) & 0xFFu), int((color >> 16) & 0xFFu), int((color >> 8) & 0xFFu),
                           int(color & 0xFFu));

    Video_Interface* video = video_get_interface(_video_name_);
    if (!video) return fail(": Can't get video interface:", video_error());
    Text_Renderer* renderer = textrenderer_get(renderer_type);
    if (!renderer) return fail(": Can't get renderer:", textrenderer_error());
    if (!renderer->render_text(_video_name_, font, text, color_record, font_size, _object_name_, _scene_name_, true))
        return fail(": Can't render text:", renderer->get_error());
    if (!video->create_sprite(_object_name_, _scene_name_, _object_name_, _scene_name_, true))
        return fail(": Can't create sprite: ", video->get_error());
    Video_Sprite* sprite = video->get_sprite(_object_name_, _scene_name_);
    if (!sprite) return fail(": Can't get sprite: ", video->get_error());
    sprite->set_base(x_base, y_base);
    return true;
}

// The sprite is looked up every frame: a Text whose sprite has gone from the
// device draws nothing.
void Text::draw() { draw_own_sprite(); }
