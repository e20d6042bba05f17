#pragma once

#include <cstdint>
#include <string>

#include "sceneengine/sceneobjects/scene_object.h"

// A rendered text. Loading renders it once into the image (object name,
// scene name) of the video device and makes a sprite of the same names;
// drawing looks the sprite up by name every frame.
class SCENEENGINE_API Text : public virtual SceneObject {
public:
    Text();
    Text(const Text&) = default;
    Text& operator=(const Text&) = default;
    ~Text() override;

    bool load(Scene* scene, std::string storage_name, std::string storage_prefix, std::string scene_name,
              std::string object_name, FileIO::FileManager* file_manager) override;
    void draw() override;

    bool real_load(Scene* scene, std::string storage_name, std::string storage_prefix, std::string scene_name,
                   std::string object_name, FileIO::FileManager* file_manager);

    std::string _get_text() const { return text; }
    void _set_text(std::string value) { text = std::move(value); }
    std::string _get_renderer_type() const { return renderer_type; }
    void _set_renderer_type(std::string value) { renderer_type = std::move(value); }
    std::string _get_font() const { return font; }
    void _set_font(std::string value) { font = std::move(value); }
    int _get_font_size() const { return font_size; }
    void _set_font_size(int value) { font_size = value; }
    std::uint32_t _get_color() const { return color; }
    void _set_color(std::uint32_t value) { color = value; }
    float _get_x_base() const { return x_base; }
    void _set_x_base(float value) { x_base = value; }
    float _get_y_base() const { return y_base; }
    void _set_y_base(float value) { y_base = value; }
    Video_Sprite* _get__sprite_() const { return _sprite_; }
    void _set__sprite_(Video_Sprite* value) { _sprite_ = value; }

protected:
    std::string text;
    std::string renderer_type;
    std::string font;
    int font_size = 14;
    std::uint32_t color = 0xffffffffu;
    float x_base = 0.5f;
    float y_base = 0.5f;
    Video_Sprite* _sprite_ = nullptr;
};
