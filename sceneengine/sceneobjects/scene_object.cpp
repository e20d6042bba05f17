#include "sceneengine/sceneobjects/scene_object.h"

SceneObject::SceneObject()
    : _activate_slot_(this, &SceneObject::slot__on_activate),
      _deactivate_slot_(this, &SceneObject::slot__on_deactivate),
      _key_press_slot_(this, &SceneObject::slot__on_key_press),
      _key_release_slot_(this, &SceneObject::slot__on_key_release),
      _character_slot_(this, &SceneObject::slot__on_character),
      _mouse_release_slot_(this, &SceneObject::slot__on_mouse_release),
      _scene_reinit_slot_(this, &SceneObject::slot__on_scene_reinit) {}

SceneObject::~SceneObject() = default;

// The built-in slots do nothing by themselves; kinds override the ones they need.
bool SceneObject::slot__on_activate(SlotArgs*) { return true; }
bool SceneObject::slot__on_deactivate(SlotArgs*) { return true; }
bool SceneObject::slot__on_key_press(SlotArgs*) { return true; }
bool SceneObject::slot__on_key_release(SlotArgs*) { return true; }
bool SceneObject::slot__on_character(SlotArgs*) { return true; }
bool SceneObject::slot__on_mouse_release(SlotArgs*) { return true; }

std::string SceneObject::_get_name() { return _video_name_; }
void SceneObject::set_video_name(std::string video_name) { _video_name_ = std::move(video_name); }
std::string SceneObject::_get_error() { return _error_; }
void SceneObject::_set_error(std::string error) { _error_ = std::move(error); }

void SceneObject::_on_mouse_enter(float, float, MOUSE_BUTTON) {}
void SceneObject::_on_mouse_leave(float, float, MOUSE_BUTTON) {}
