#include "sceneengine/scenemanager/scene/scene.h"
#include "sceneengine/sceneobjects/scene_object.h"
#include "services/signals.h"

bool Scene::slot__on_activate(SlotArgs*) {
    init_signals();
    init_slots();
    return true;
}

bool Scene::slot__on_deactivate(SlotArgs*) {
    deinit_slots();
    return true;
}

void Scene::init_signals() {
    signal_new_cycle.set_name(name + "->new_cycle");
    signal_activate.set_name(name + "->activate");
    signal_reinit.set_name(name + "->reinit");
}

// The scene hears the mouse only through the input signals of its own video
// name.
void Scene::init_slots() {
    register_slot(name + "->on_mouse_press", &slot_mouse_press);
    connect(video_name + "->mouse_press", name + "->on_mouse_press");
    register_slot(name + "->on_mouse_move", &slot_mouse_move);
    connect(video_name + "->mouse_move", name + "->on_mouse_move");
    for (const auto& [object_name, object] : objects)
        if (object) object->register_slots();
}

void Scene::deinit_slots() {
    disconnect(video_name + "->mouse_press", name + "->on_mouse_press");
    unregister_slot(name + "->on_mouse_press");
    disconnect(video_name + "->mouse_move", name + "->on_mouse_move");
    unregister_slot(name + "->on_mouse_move");
    for (const auto& [object_name, object] : objects)
        if (object) object->unregister_slots();
}
