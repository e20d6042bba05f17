#pragma once

#include <string>

namespace quillbox {

// Records the text that config_error() returns next.
void set_config_error(std::string text);

}  // namespace quillbox
