#include "sceneengine/scenemanager/scene_object_fabric.h"

Storage<std::string, SceneObjectFabric*> SceneObjectFabric::_fabrics_;

SceneObjectFabric::~SceneObjectFabric() = default;

SceneObject* SceneObjectFabric::operator()() { return nullptr; }

void SceneObjectFabric::add_fabric(std::string type_name, SceneObjectFabric* fabric) {
    _fabrics_.add(type_name, fabric);
}

void SceneObjectFabric::add_fabric(std::string type_name, SceneObjectFabric* fabric, KindDescription description) {
    description.name = type_name;
    kind_descriptions::add(std::move(description));
    add_fabric(std::move(type_name), fabric);
}

SceneObject* SceneObjectFabric::operator[](std::string type_name) {
    if (!_fabrics_.contains(type_name)) return nullptr;
    SceneObjectFabric* fabric = _fabrics_.get(type_name);
    return fabric ? (*fabric)() : nullptr;
}
