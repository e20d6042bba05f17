#include "player/kinds/host_kinds.h"

#include "player/kinds/button.h"
#include "player/kinds/scene_switch.h"
#include "sceneengine/scenemanager/scene_object_fabric.h"
#include "sceneengine/scenemanager/sceneengine.h"

namespace player {
namespace {

std::string& last_request() {
    static std::string name;
    return name;
}

}  // namespace

void register_host_kinds() {
    // The registry keeps pointers: the factories live as long as the process.
    static ObjectFabric<Button> button_fabric;
    static ObjectFabric<SceneSwitch> switch_fabric;
    SceneObjectFabric::add_fabric("Button", &button_fabric, Button::description());
    SceneObjectFabric::add_fabric("SceneSwitch", &switch_fabric, SceneSwitch::description());
}

void request_scene(const std::string& target) {
    last_request() = target;
    set_next_scene(target);
}

const std::string& last_requested_scene() { return last_request(); }

}  // namespace player
