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
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/config/yaml_flattener.h"
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
    // One key held: its key and value are ranges of values_.bytes (a value
    // replaced by a later file leaves its old bytes unused there).
    struct Entry {
        std::size_t hash = 0;
        std::size_t key_offset = 0;
        std::size_t value_offset = 0;
        std::uint32_t key_length = 0;
        std::uint32_t value_length = 0;
        std::size_t file = 0;  // index into files_
        int line = 0;
        int column = 0;
    };

    bool fail(const std::string& line);
    std::string_view key_of(const Entry& entry) const;
    // The entry of key, or null.
    const Entry* find(std::string_view key) const;
    // Makes the index large enough for count entries at most half full.
    void reserve_index(std::size_t count);
    // Adds values_.items to the entries, all read from files_[file].
    void add_all(std::size_t file);
    void add(const FlatValues::Item& item, std::size_t hash, std::size_t file);

    FlatValues values_;            // bytes of every key and value; items only while a file loads
    std::vector<Entry> entries_;   // in order of first appearance
    // Open addressing, linear probing. A slot is 0 when free, else the top
    // half of the key's hash beside the entry number + 1: probing compares
    // hashes without touching the entries, which matters once they no
    // longer fit in the cache.
    std::vector<std::uint64_t> index_;
    std::vector<std::string> files_;
};

}  // namespace quillbox
