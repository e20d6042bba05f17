#pragma once

#include <string>

#include "sceneengine/scenemanager/storage.h"
#include "sceneengine/sceneobjects/kind_description.h"
#include "services/export.h"

class SceneObject;

// Makes scene objects by type name. A kind becomes makeable by registering a
// factory object under its type name; the registry never owns the factories,
// which must live as long as the library is used.
class SCENEENGINE_API SceneObjectFabric {
public:
    SceneObjectFabric() = default;
    SceneObjectFabric(const SceneObjectFabric&) {}
    SceneObjectFabric& operator=(const SceneObjectFabric&) { return *this; }
    virtual ~SceneObjectFabric();

    // Makes one object; the base makes nothing and returns null.
    virtual SceneObject* operator()();

    // Registers fabric under type_name unless that name is taken (the first stays).
    static void add_fabric(std::string type_name, SceneObjectFabric* fabric);
    // The same, with the description of what the kind reads and offers, under
    // type_name (see kind_description.h): scenecheck checks its keys.
    static void add_fabric(std::string type_name, SceneObjectFabric* fabric, KindDescription description);

    // A new object of the registered type, owned by the caller; null when the
    // type is not registered. Uses no state of *this.
    SceneObject* operator[](std::string type_name);

    static Storage<std::string, SceneObjectFabric*> _fabrics_;
};

// The factory for any default-constructible kind T derived from SceneObject.
template <class T>
class ObjectFabric : public SceneObjectFabric {
public:
    SceneObject* operator()() override { return new T(); }
};
