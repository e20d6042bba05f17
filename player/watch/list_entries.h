#pragma once

#include <string>
#include <vector>

class Config_Interface;

namespace player {

// One entry of a scene list, as load_scenes reads it.
struct ListEntry {
    std::string name;
    std::string file;
    bool preload = false;
    std::string type = "generic";
};

// The entries of a scene list held by config, read the way load_scenes reads
// them: from entry 0 up to the first entry without a name.
std::vector<ListEntry> read_list_entries(Config_Interface& config);

// A scene list file (YAML) that load_scenes reads as exactly these entries,
// in this order. Every value is written as a double-quoted scalar, so names
// and paths holding quotes, colons, "#" or control characters come back as
// they were.
std::string write_list_yaml(const std::vector<ListEntry>& entries);

}  // namespace player
