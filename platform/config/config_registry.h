#pragma once

#include <cstdint>
#include <string>

namespace quillbox {

// Records the text that config_error() returns next.
void set_config_error(std::string text);

// How many times config_create ran, and the name it was given last. A scene
// load starts by creating its configuration under the scene's name, so the
// other services can tell one load from the next by these.
struct ConfigCreation {
    std::uint64_t count = 0;
    std::string name;
};
const ConfigCreation& last_config_creation();

}  // namespace quillbox
