#pragma once

#include <string>

// The object kinds sceneplay adds to the engine, registered the way any host
// registers its own kinds: a factory object per type name, handed to
// SceneObjectFabric::add_fabric.
namespace player {

// Registers "Button" and "SceneSwitch". Calling it again changes nothing.
void register_host_kinds();

// Asks the frame loop for the scene named (or "exit") and remembers the
// request; the host kinds switch scenes only through this.
void request_scene(const std::string& target);

// The last name request_scene was given ("" before any).
const std::string& last_requested_scene();

}  // namespace player
