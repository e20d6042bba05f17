#include "player/watch/list_entries.h"

#include <cstdio>

#include "services/config.h"

namespace player {
namespace {

std::string quoted(const std::string& value) {
    std::string text = "\"";
    for (const char c : value) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            text += '\\';
            text += c;
        } else if (byte < 0x20 || byte == 0x7f) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02x", unsigned(byte));
            text += escape;
        } else {
            text += c;  // UTF-8 passes as it stands: the list it came from was valid YAML
        }
    }
    return text + "\"";
}

}  // namespace

std::vector<ListEntry> read_list_entries(Config_Interface& config) {
    std::vector<ListEntry> entries;
    // As load_scenes reads it: the list ends at the first entry without a name.
    read_numbered_list([&](int index) {
        const std::string prefix = "Scenes->Scene" + std::to_string(index);
        ListEntry entry;
        entry.name = config.get_value(prefix + "->name", "");
        if (entry.name.empty()) return false;
        entry.file = config.get_value(prefix + "->file", "");
        entry.preload = config.get_value(prefix + "->preload", "false") == "true";
        entry.type = config.get_value(prefix + "->type", "generic");
        entries.push_back(std::move(entry));
        return true;
    });
    return entries;
}

std::string write_list_yaml(const std::vector<ListEntry>& entries) {
    if (entries.empty()) return "Scenes: {}\n";
    std::string yaml = "Scenes:\n";
    for (std::size_t index = 0; index < entries.size(); ++index) {
        const ListEntry& entry = entries[index];
        yaml += "  Scene" + std::to_string(index) + ":\n";
        yaml += "    name: " + quoted(entry.name) + "\n";
        yaml += "    file: " + quoted(entry.file) + "\n";
        if (entry.preload) yaml += "    preload: \"true\"\n";
        yaml += "    type: " + quoted(entry.type) + "\n";
    }
    return yaml;
}

}  // namespace player
