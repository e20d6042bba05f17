#include "sceneengine/scenemanager/internal/library_state.h"
#include "sceneengine/scenemanager/scene/scene.h"
#include "sceneengine/scenemanager/scene_fabric.h"
#include "sceneengine/scenemanager/scene_object_fabric.h"
#include "sceneengine/sceneobjects/image.h"
#include "sceneengine/sceneobjects/text/text.h"
#include "sceneengine/sceneobjects/timer.h"

namespace {

// The registries never own their factories: these live as long as the library.
ObjectFabric<Image> image_fabric;
ObjectFabric<Text> text_fabric;
ObjectFabric<Timer> timer_fabric;
SceneFabrics<Scene> generic_scene_fabric;

}  // namespace

void register_builtin_fabrics() {
    SceneObjectFabric::add_fabric("Image", &image_fabric);
    SceneObjectFabric::add_fabric("Text", &text_fabric);
    SceneObjectFabric::add_fabric("Timer", &timer_fabric);
    SceneFabric::add_fabric("generic", &generic_scene_fabric);
}
