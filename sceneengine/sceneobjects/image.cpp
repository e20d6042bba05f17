#include "sceneengine/sceneobjects/image.h"

#include <iostream>

#include "sceneengine/sceneobjects/object_values.h"
#include "services/config.h"
#include "services/imageloader.h"
#include "services/video.h"

using object_values::read_float;

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

    const std::string key = storage_prefix + "Image->";
    image_file = config->get_value(key + "image_file", "");
    loader = config->get_value(key + "loader", "");
    x_base = read_float(config, key + "x_base", "0.5");
    y_base = read_float(config, key + "y_base", "0.5");

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
