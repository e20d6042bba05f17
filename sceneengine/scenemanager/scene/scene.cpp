#include "sceneengine/scenemanager/scene/scene.h"

#include <algorithm>

#include "sceneengine/sceneobjects/scene_object.h"

Scene::Scene()
    : slot_mouse_press(this, &Scene::slot__on_mouse_press),
      slot_mouse_move(this, &Scene::slot__on_mouse_move),
      slot_activate(this, &Scene::slot__on_activate),
      slot_deactivate(this, &Scene::slot__on_deactivate) {}

Scene::~Scene() = default;

bool Scene::add_object(const std::string& name, SceneObject* object, int z_level) {
    objects.add(name, object);
    z_levels.add(name, z_level);
    object_list.push_back(name);
    return true;
}

SceneObject* Scene::get_object(const std::string& name) {
    return objects.contains(name) ? objects.get(name) : nullptr;
}

bool Scene::remove_object(const std::string& name) {
    SceneObject* object = objects.get(name);  // an absent name throws false to the caller
    if (object == focused_object) focused_object = nullptr;
    // The host may destroy the object once it is out of the scene: no
    // pointer to it may stay behind.
    if (object == hovered_object) hovered_object = nullptr;
    if (object) {
        object->disconnect_signals(true);
        object->unregister_slots();
    }
    // name may refer into one of the tables below: erase with a copy.
    const std::string key = name;
    objects.remove(key);
    z_levels.remove(key);
    object_list.erase(std::remove(object_list.begin(), object_list.end(), key), object_list.end());
    return true;
}

void Scene::reinit() { signal_reinit.rise(); }
