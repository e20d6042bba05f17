#include "scenecheck/resource_check.h"

#include <cstdio>
#include <cstdlib>

#include "scenecheck/check_model.h"
#include "scenecheck/kind_table.h"
#include "scenecheck/quiet_errors.h"
#include "scenecheck/value_rules.h"
#include "platform/textrenderer/ttf_layout.h"
#include "services/imageloader.h"
#include "services/textrenderer.h"

namespace {

// Every picture and text the checker tries lands in the device under this scene.
const char* const kScene = "scenecheck";

// Every picture key of the object's kind: "Image->image_file" with the loader
// of "Image->loader", the others with the loader chosen by content.
void check_pictures(CheckContext& context, const SceneFile& scene, const DeclaredObject& object,
                    const std::string& prefix, ResourceChecker& resources) {
    for (const KeyInfo& info : kind_table::keys_of(object.type)) {
        const ConfigEntry* file = scene.config.find(prefix + info.key);
        if (info.kind != ValueKind::ImageFile || !file || file->value.empty()) continue;
        std::string loader = info.key == "Image->image_file" ? scene.config.value(prefix + "Image->loader", "") : "";
        // An unknown loader is reported with its key; trying it would only say the same.
        if (!value_rules::misread(ValueKind::ImageLoader, loader).empty()) continue;
        std::string error = resources.picture_error(file->value, loader);
        if (!error.empty())
            context.report_blocking(scene.file, file, "picture " + quoted(file->value) + " cannot be loaded: " + error);
    }
}

std::string utf8(char32_t code) {
    if (code < 0x80) return std::string(1, char(code));
    const int extra = code < 0x800 ? 1 : code < 0x10000 ? 2 : 3;  // continuation bytes
    static constexpr unsigned lead[] = {0, 0xc0, 0xe0, 0xf0};
    std::string text(1, char(lead[extra] | (code >> (6 * extra))));
    for (int shift = 6 * (extra - 1); shift >= 0; shift -= 6) text += char(0x80 | ((code >> shift) & 0x3f));
    return text;
}

// After a text rendered with the "ttf" renderer: the characters no installed
// font has, which show as the font's missing-glyph box.
void check_uncovered_characters(CheckContext& context, const SceneFile& scene, const ConfigEntry* at) {
    const std::u32string& missing = ttf_last_layout().missing;
    if (missing.empty()) return;
    std::string names;
    for (char32_t code : missing) {
        char number[16];
        std::snprintf(number, sizeof number, "U+%04X", unsigned(code));
        names += (names.empty() ? "" : ", ") + quoted(utf8(code)) + " (" + number + ")";
    }
    context.report_at(scene.file, at, "no installed font has " + names + ": shown as empty boxes");
}

void check_text(CheckContext& context, const SceneFile& scene, const std::string& prefix, const ConfigEntry* anchor,
                ResourceChecker& resources) {
    auto at = [&](const char* key) {
        const ConfigEntry* entry = scene.config.find(prefix + key);
        return entry ? entry : anchor;
    };
    std::string type = scene.config.value(prefix + "Text->renderer_type", "ttf");
    std::string error = resources.renderer_error(type);
    if (!error.empty()) {
        context.report_blocking(scene.file, at("Text->renderer_type"), "text renderer " + quoted(type) + " cannot be had: " + error);
        return;
    }
    std::string font = scene.config.value(prefix + "Text->font", "");
    error = resources.font_error(type, font);
    if (!error.empty()) {
        context.report_blocking(scene.file, at("Text->font"),
                          (font.empty() ? std::string("the default font") : "font " + quoted(font)) +
                              " cannot be used: " + error);
        return;
    }
    // Sizes and colours read exactly as the Text kind reads them.
    int size = int(std::strtol(scene.config.value(prefix + "Text->font_size", "14").c_str(), nullptr, 0));
    auto color_bits = std::uint32_t(std::strtoul(scene.config.value(prefix + "Text->color", "0xffffffff").c_str(), nullptr, 0));
    VideoColor color;
    color.set_color(int(color_bits >> 24), int((color_bits >> 16) & 0xff), int((color_bits >> 8) & 0xff), int(color_bits & 0xff));
    error = resources.text_error(type, font, scene.config.value(prefix + "Text->text", ""), size, color);
    if (!error.empty())
        context.report_blocking(scene.file, at("Text->text"), "the text cannot be rendered: " + error);
    else if (type == "ttf")
        check_uncovered_characters(context, scene, at("Text->text"));
}

}  // namespace

ResourceChecker::ResourceChecker(std::string video, FileIO::FileManager* files)
    : video_(std::move(video)), files_(files) {}

std::string ResourceChecker::next_image_name() { return "picture" + std::to_string(images_++); }

std::string ResourceChecker::picture_error(const std::string& file, const std::string& loader) {
    std::string key = loader + "\n" + file;
    auto known = pictures_.find(key);
    if (known != pictures_.end()) return known->second;
    QuietErrors quiet;
    std::string name = next_image_name();
    bool loaded = loader.empty() ? imageloader_loadimage_noext(video_, file, kScene, name, files_, true)
                                 : imageloader_loadimage(loader, video_, file, kScene, name, files_, true);
    return pictures_[key] = loaded ? "" : imageloader_error();
}

std::string ResourceChecker::renderer_error(const std::string& type) {
    QuietErrors quiet;
    return textrenderer_get(type) ? "" : textrenderer_error();
}

std::string ResourceChecker::font_error(const std::string& type, const std::string& font) {
    std::string key = type + "\n" + font;
    auto known = fonts_.find(key);
    if (known != fonts_.end()) return known->second;
    VideoColor white;
    white.set_color(255, 255, 255, 255);
    return fonts_[key] = text_error(type, font, "Ag", 14, white);
}

std::string ResourceChecker::text_error(const std::string& type, const std::string& font, const std::string& text,
                                        int size, const VideoColor& color) {
    QuietErrors quiet;
    Text_Renderer* renderer = textrenderer_get(type);
    if (!renderer) return textrenderer_error();
    return renderer->render_text(video_, font, text, color, size, next_image_name(), kScene, true) ? ""
                                                                                                  : renderer->get_error();
}

void check_resources(CheckContext& context, const SceneFile& scene, const DeclaredObject& object,
                     const std::string& prefix, const ConfigEntry* anchor, ResourceChecker& resources) {
    check_pictures(context, scene, object, prefix, resources);
    if (kind_table::derives_from(object.type, "Text")) check_text(context, scene, prefix, anchor, resources);
}
