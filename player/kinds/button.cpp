#include "player/kinds/button.h"

#include "player/kinds/host_kinds.h"
#include "sceneengine/scenemanager/scene/scene.h"
#include "services/config.h"
#include "services/imageloader.h"
#include "services/video.h"

namespace player {

const KindDescription& Button::description() {
    static const KindDescription kind = {"Button",
                                         "Image",
                                         {{"Button->target", ValueKind::SceneTarget, "", true, "the scene to show when the button is clicked, or exit"},
                                          {"Button->hover_image", ValueKind::ImageFile, "", false, "a picture shown instead while the pointer is over the button"}},
                                         {},
                                         {}};
    return kind;
}

bool Button::load(Scene* scene, std::string storage_name, std::string storage_prefix, std::string scene_name,
                  std::string object_name, FileIO::FileManager* file_manager) {
    // The picture, the common keys and the connections come first, as with every kind.
    Config_Interface* config =
        load_with_config(scene, storage_name, storage_prefix, scene_name, object_name, file_manager);
    if (!config) return false;
    const DescribedKeys keys(config, storage_prefix, description().keys);
    target = keys.text("Button->target");
    hover_image = keys.text("Button->hover_image");
    return real_load(scene, storage_name, storage_prefix, scene_name, object_name, file_manager);
}

bool Button::real_load(Scene*, std::string, std::string, std::string, std::string,
                       FileIO::FileManager* file_manager) {
    if (target.empty()) {
        _set_error("Button \"" + _object_name_ + "\" has no \"Button->target\" (a scene name or \"exit\")");
        return false;
    }
    if (!hover_image.empty() &&
        !imageloader_loadimage_noext(_video_name_, hover_image, _scene_name_, hover_image_name(), file_manager,
                                     true)) {
        _set_error("Can't load hover image:" + imageloader_error());
        return false;
    }
    return true;
}

bool Button::slot__on_activate(SlotArgs*) {
    request_scene(target);
    return true;
}

void Button::draw() {
    const bool under_pointer = _scene_ && _scene_->get_hovered_object() == this;
    if (!hover_image.empty() && under_pointer != hovered) {
        hovered = under_pointer;
        show_picture(hovered ? hover_image_name() : _object_name_);
    }
    Image::draw();
}

void Button::show_picture(const std::string& image) {
    Video_Interface* video = video_get_interface(_video_name_);
    if (!video) return;
    // Replacing the sprite invalidates the old handle: fetch the new one and
    // give it the base point the old one had.
    if (!video->create_sprite(_object_name_, _scene_name_, image, _scene_name_, true)) return;
    _sprite_ = video->get_sprite(_object_name_, _scene_name_);
    if (_sprite_) _sprite_->set_base(x_base, y_base);
}

}  // namespace player
