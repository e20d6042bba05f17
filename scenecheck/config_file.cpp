#include "scenecheck/config_file.h"

#include "scenecheck/quiet_errors.h"
#include "services/config.h"

bool ConfigFile::load(const std::string& config_name, const std::string& file, FileIO::FileManager* file_manager,
                      std::string& error) {
    file_ = file;
    entries_.clear();
    index_.clear();
    if (!config_create(config_name, "quillbox", 0)) {
        error = config_error();
        return false;
    }
    Config_Interface* config = config_get_interface(config_name);
    if (!config) {
        error = config_error();
        return false;
    }
    bool loaded;
    {
        // The service writes its error line to the error stream too; the
        // checker reports that same line on its own output instead.
        QuietErrors quiet;
        loaded = config->load_file(file, file_manager);
    }
    if (!loaded) error = config_error();
    for (const std::string& key : config->get_keys()) {
        ConfigEntry entry{key, config->get_value(key, ""), 1, 1};
        ConfigPosition position;
        if (config->get_position(key, &position)) entry.line = position.line, entry.column = position.column;
        index_.emplace(key, entries_.size());
        entries_.push_back(std::move(entry));
    }
    config_remove(config_name);
    return loaded;
}

const ConfigEntry* ConfigFile::find(const std::string& key) const {
    auto it = index_.find(key);
    return it == index_.end() ? nullptr : &entries_[it->second];
}

std::string ConfigFile::value(const std::string& key, const std::string& def) const {
    const ConfigEntry* entry = find(key);
    return entry ? entry->value : def;
}
