#include "sceneengine/sceneobjects/image.h"

#include <iostream>

#include "sceneengine/sceneobjects/kind_description.h"
#include "services/config.h"
#include "services/imageloader.h"
#include "services/video.h"

Image::Image() = default;

Image::~Image() = default;

bool Image::load(Scene* scene, std::string storage_name, std::string storage_prefix, std::string scene_name,
                 std::string object_name, FileIO::FileManager* file_manager) {
    return load_with_config(scene, storage_name, storage_prefix, scene_name, object_name, file_manager) != nullptr;
}

Config_Interface* Image::load_with_config(Scene* scene, const std::string& storage_name,
                                          const std::string& storage_prefix, const std::string& scene_name,
                                          const std::string& object_name, FileIO::FileManager* file_manager) {
    Config_Interface* config =
        SceneObject::load_with_config(scene, storage_name, storage_prefix, scene_name, object_name, file_manager);
    if (!config) return nullptr;

    const DescribedKeys keys(config, storage_prefix, kind_descriptions::find("Image")->keys);
    image_file = keys.text("Image->image_file");
    loader = keys.text("Image->loader");
    x_base = keys.number("Image->x_base");
    y_base = keys.number("Image->y_base");

    return real_load(scene, storage_name, storage_prefix, scene_name, object_name, file_manager) ? config : nullptr;
}

bool Image::real_load(Scene*, std::string, std::string, std::string, std::string object_name,
                      FileIO::FileManager* file_manager) {
    if (image_file.empty()) {
        // Nothing was asked of the loader: its text is whatever it said last.
        _set_error("Can't load image:" + imageloader_error());
        return false;
    }
    if (!load_image(image_file, _object_name_, file_manager)) return false;
    std::cerr << object_name << " loaded" << std::endl;
    return true;
}

bool Image::load_image(std::string file, std::string object_name, FileIO::FileManager* file_manager) {
    Video_Interface* video = video_get_interface(_video_name_);
    if (!video) {
        _set_error("Can't get video interface:" + video_error());
        return false;
    }
    const bool loaded =
        loader.empty()
            ? imageloader_loadimage_noext(_video_name_, file, _scene_name_, object_name, file_manager, true)
            : imageloader_loadimage(loader, _video_name_, file, _scene_name_, object_name, file_manager, true);
    if (!loaded) {
        _set_error("Can't load image:" + imageloader_error());
        return false;
    }
    if (!video->create_sprite(object_name, _scene_name_, object_name, _scene_name_, true)) {
        _set_error("Can't create sprite: " + video->get_error());
        return false;
    }
    _sprite_ = video->get_sprite(object_name, _scene_name_);
    if (!_sprite_) {
        _set_error("Can't get sprite: " + video->get_error());
        return false;
    }
    _sprite_->set_base(x_base, y_base);
    return true;
}
