#pragma once

#include <string>

#include "sceneengine/sceneobjects/scene_object.h"

// A picture from a file. Loading has the image loader put the picture into
// the video device as the image (object name, scene name) and makes a sprite
// of the same names; the sprite belongs to the device, never to the Image.
// Drawing and hit tests take the sprite's handle by name from the device
// under the video name each time (and keep it in _sprite_), so a device
// replaced by the host never leaves a handle into the one destroyed; a device
// without such a sprite shows nothing and is never hit.
class SCENEENGINE_API Image : public virtual SceneObject {
public:
    Image();
    Image(const Image&) = default;
    Image& operator=(const Image&) = default;
    ~Image() override;

    bool load(Scene* scene, std::string storage_name, std::string storage_prefix, std::string scene_name,
              std::string object_name, FileIO::FileManager* file_manager) override;
    // Places the sprite at the computed position and draws it; an Image whose
    // device holds no such sprite (never loaded) draws nothing.
    void draw() override;
    // SceneObject's test on the sprite; false without one.
    bool _is_point_in_object(float x, float y) override;

    bool real_load(Scene* scene, std::string storage_name, std::string storage_prefix, std::string scene_name,
                   std::string object_name, FileIO::FileManager* file_manager);

    std::string _get_image_file() const { return image_file; }
    void _set_image_file(std::string value) { image_file = std::move(value); }
    std::string _get_loader() const { return loader; }
    void _set_loader(std::string value) { loader = std::move(value); }
    float _get_x_base() const { return x_base; }
    void _set_x_base(float value) { x_base = value; }
    float _get_y_base() const { return y_base; }
    void _set_y_base(float value) { y_base = value; }
    Video_Sprite* _get__sprite_() const { return _sprite_; }
    void _set__sprite_(Video_Sprite* value) { _sprite_ = value; }

protected:
    bool load_image(std::string image_file, std::string object_name, FileIO::FileManager* file_manager);
    // Image::load, handing back the configuration for a derived kind's own
    // keys (see SceneObject::load_with_config); null when the load failed.
    Config_Interface* load_with_config(Scene* scene, const std::string& storage_name,
                                       const std::string& storage_prefix, const std::string& scene_name,
                                       const std::string& object_name, FileIO::FileManager* file_manager);

    std::string image_file;
    std::string loader;
    float x_base = 0.5f;
    float y_base = 0.5f;
    Video_Sprite* _sprite_ = nullptr;
};
