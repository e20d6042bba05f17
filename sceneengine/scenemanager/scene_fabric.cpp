#include "sceneengine/scenemanager/scene_fabric.h"

Storage<std::string, SceneFabric*> SceneFabric::_fabrics_;

SceneFabric::~SceneFabric() = default;

Scene* SceneFabric::operator()() { return nullptr; }

void SceneFabric::add_fabric(std::string type_name, SceneFabric* fabric) { _fabrics_.add(type_name, fabric); }

Scene* SceneFabric::operator[](std::string type_name) {
    if (!_fabrics_.contains(type_name)) return nullptr;
    SceneFabric* fabric = _fabrics_.get(type_name);
    return fabric ? (*fabric)() : nullptr;
}
