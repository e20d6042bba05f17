#pragma once

// The "quillbox" configuration backend: YAML files flattened into full key
// paths (see yaml_flattener.h for how a file maps onto keys).
//
// Supports: nested and "->"-joined keys mixed, sequences (0-based index as the
// key part), scalars kept as written, aliases of scalars, mappings and
// sequences, several documents per file, several files per configuration
// (later values win), the position of every value.
// Does not support: merge keys ("<<" is an ordinary key part), mappings or
// sequences as keys, empty keys (the file is refused).

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "services/config.h"

namespace quillbox {

class QuillboxConfig final : public Config_Interface {
public:
    // A file that cannot be read or parsed adds nothing: the values already
    // held stay as they were.
    bool load_file(const std::string& file, FileIO::FileManager* file_manager) override;
    std::string get_value(std::string key, std::string def) override;
    bool get_position(const std::string& key, ConfigPosition* position) override;
    // Each key once, where it first appeared.
    std::vector<std::string> get_keys() override;

    // Forgets every value and file.
    void clear();

private:
    struct Entry {
        std::string value;
        std::size_t file = 0;  // index into files_
        int line = 0;
        int column = 0;
    };

    bool fail(const std::string& line);

    std::unordered_map<std::string, Entry> entries_;
    std::vector<const std::string*> order_;  // keys of entries_, first appearance first
    std::vector<std::string> files_;
};

}  // namespace quillbox
