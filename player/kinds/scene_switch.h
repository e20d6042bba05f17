#pragma once

#include <string>

#include "sceneengine/sceneobjects/kind_description.h"
#include "sceneengine/sceneobjects/scene_object.h"
#include "sceneengine/sceneobjects/slot.h"

namespace player {

// An invisible object that switches scenes when any of its slots is called.
// Key:
//   "SceneSwitch->target"  the scene to show, or "exit" (required)
// Slots (names S->O->...), to connect in the scene file's "signals" entries:
//   "_on_trigger"        its own slot, for any signal (a Timer's "time_out")
//   "_on_key_press"      the video device's "keyboard_press": any key
//   "_on_character"      the video device's "character": any typed character
//   "_on_mouse_release"  the video device's "mouse_release": any click
//   "_on_activate"       the scene's "activate", while it holds the focus
// It draws nothing and is never hit by the mouse.
class SceneSwitch : public virtual SceneObject {
public:
    SceneSwitch();
    SceneSwitch(const SceneSwitch&) = delete;
    SceneSwitch& operator=(const SceneSwitch&) = delete;

    // What a SceneSwitch reads and offers, registered with its factory.
    static const KindDescription& description();

    bool slot__on_activate(SlotArgs* args) override;
    bool slot__on_key_press(SlotArgs* args) override;
    bool slot__on_character(SlotArgs* args) override;
    bool slot__on_mouse_release(SlotArgs* args) override;
    virtual bool slot__on_trigger(SlotArgs* args);

    bool load(Scene* scene, std::string storage_name, std::string storage_prefix, std::string scene_name,
              std::string object_name, FileIO::FileManager* file_manager) override;
    void draw() override;

    // Checks the target.
    bool real_load(Scene* scene, std::string storage_name, std::string storage_prefix, std::string scene_name,
                   std::string object_name, FileIO::FileManager* file_manager);

    std::string _get_target() const { return target; }
    void _set_target(std::string value) { target = std::move(value); }

protected:
    Slot<SceneSwitch> _trigger_slot_;
    std::string target;
};

}  // namespace player
