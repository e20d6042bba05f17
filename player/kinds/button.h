#pragma once

#include <string>

#include "sceneengine/sceneobjects/image.h"
#include "sceneengine/sceneobjects/kind_description.h"

namespace player {

// A clickable picture. It is an Image with two more keys:
//   "Button->target"       the scene shown when the button is clicked, or
//                          "exit" to end the presentation (required)
//   "Button->hover_image"  a picture shown instead while the pointer is over
//                          the button (optional); it should have the same
//                          size and shape, since the hit test looks at the
//                          picture being shown
// The button counts as under the pointer while it is its scene's hovered
// object: the topmost shown object that the last mouse move hit. That is
// decided when the button draws, not from the enter and leave calls, since
// the scene gives a leave only to a hovered object that its walk reaches
// before the new hit (a button left for one above it hears nothing).
// A click reaches slot__on_activate through the scene's "->activate" signal
// when the button is the object hit, topmost first (with
// "SceneObject->require_alpha_collision" true, only where the picture is at
// least half opaque: clicks on transparent corners reach what lies below).
class Button : public Image {
public:
    Button() = default;
    Button(const Button&) = delete;
    Button& operator=(const Button&) = delete;

    // What a Button reads beyond an Image's keys, registered with its factory.
    static const KindDescription& description();

    bool load(Scene* scene, std::string storage_name, std::string storage_prefix, std::string scene_name,
              std::string object_name, FileIO::FileManager* file_manager) override;
    bool slot__on_activate(SlotArgs* args) override;
    // Shows the hover picture or the plain one, as the scene's hovered object says, then draws.
    void draw() override;

    // Checks the target and loads the hover picture.
    bool real_load(Scene* scene, std::string storage_name, std::string storage_prefix, std::string scene_name,
                   std::string object_name, FileIO::FileManager* file_manager);

    std::string _get_target() const { return target; }
    void _set_target(std::string value) { target = std::move(value); }
    std::string _get_hover_image() const { return hover_image; }
    bool _get_hovered() const { return hovered; }

protected:
    // The device image the hover picture is loaded as, in the button's scene.
    std::string hover_image_name() const { return _object_name_ + "->hover"; }
    // Points the button's sprite at another image of its scene.
    void show_picture(const std::string& image);

    std::string target;
    std::string hover_image;
    bool hovered = false;
};

}  // namespace player
