#pragma once

#include <string>

#include "sceneengine/scenemanager/storage.h"
#include "services/export.h"

class Scene;

// Makes scenes by type name, with the same rules as SceneObjectFabric.
class SCENEENGINE_API SceneFabric {
public:
    SceneFabric() = default;
    SceneFabric(const SceneFabric&) {}
    SceneFabric& operator=(const SceneFabric&) { return *this; }
    virtual ~SceneFabric();

    virtual Scene* operator()();

    static void add_fabric(std::string type_name, SceneFabric* fabric);
    Scene* operator[](std::string type_name);

    static Storage<std::string, SceneFabric*> _fabrics_;
};

// The factory for any default-constructible kind T derived from Scene.
template <class T>
class SceneFabrics : public SceneFabric {
public:
    Scene* operator()() override { return new T(); }
};
