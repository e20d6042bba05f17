#pragma once

#include <string>

#include "sceneengine/sceneobjects/scene_object.h"

// A picture from a file. Loading has the image loader put the picture into
// the video device as the image (object name, scene name) and makes a sprite
// of the same names; the sprite belongs to the device, never to the Image.
// The Image keeps the sprite's handle for drawing and hit tests; should the
// device under its video name be replaced, the handle is taken again by name
// from the new device (or dropped when that device has no such sprite).
class SCENEENGINE_API Image : public virtual SceneObject {
public:
    Image();
    Image(const Image&) = default;
    Image& operator=(const Image&) = default;
    ~Image() override;

    bool load(Scene* scene, std::string storage_name, std::string storage_prefix, std::string scene_name,
              std::string object_name, FileIO::FileManager* file_manager) override;
    // Places the sprite at the computed position and draws it; an Image that
    // has no sprite (never loaded) draws nothing.
    void draw() override;
    // SceneObject's test on the kept sprite; false without one.
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

    std::string image_file;
    std::string loader;
    float x_base = 0.5f;
    float y_base = 0.5f;
    Video_Sprite* _sprite_ = nullptr;
    Video_Interface* _sprite_device_ = nullptr;  // the device _sprite_ was taken from

private:
    // _sprite_, taken again when video is not the device it came from.
    Video_Sprite* sprite_on(Video_Interface* video);
};
