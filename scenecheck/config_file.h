#pragma once

#include <string>
#include <unordered_map>
#include <vector>

namespace FileIO { class FileManager; }

// One key of a configuration file with its value and where it was written.
struct ConfigEntry {
    std::string key;
    std::string value;
    int line = 1;
    int column = 1;
};

// A configuration file read through the configuration service, exactly as
// the library reads it, and kept as its keys in file order.
class ConfigFile {
public:
    // Reads file (a path below the file manager's root) into the configuration
    // config_name, copies every key out and removes that configuration again.
    // False with error set to the service's one-line FILE:LINE:COLUMN text
    // when the file is missing or does not parse.
    bool load(const std::string& config_name, const std::string& file, FileIO::FileManager* file_manager,
              std::string& error);

    const std::string& file() const { return file_; }
    const std::vector<ConfigEntry>& entries() const { return entries_; }
    // The entry of key, or null when the file does not have it.
    const ConfigEntry* find(const std::string& key) const;
    // The value of key, or def when absent: what get_value answers.
    std::string value(const std::string& key, const std::string& def) const;

private:
    std::string file_;
    std::vector<ConfigEntry> entries_;
    std::unordered_map<std::string, std::size_t> index_;
};
