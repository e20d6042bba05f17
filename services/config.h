#pragma once

#include <string>
#include <vector>

#include "services/export.h"

namespace FileIO { class FileManager; }

// Where a value stood in its file (1-based line and column).
struct ConfigPosition {
    std::string file;
    int line = 0;
    int column = 0;
};

// One named configuration: string values under full key paths joined with "->".
class SERVICE_API Config_Interface {
public:
    virtual ~Config_Interface() = default;

    // Reads the file through the file manager (a null file manager reads the
    // plain file system) and adds its values. False on a missing or malformed
    // file; config_error() then names the file, line and column, and the same
    // line is written to the error stream.
    virtual bool load_file(const std::string& file, FileIO::FileManager* file_manager) = 0;

    // The value under the full key, or def when the key is absent.
    virtual std::string get_value(std::string key, std::string def) = 0;

    // Where the value of key was read from; false for an unknown key.
    virtual bool get_position(const std::string& key, ConfigPosition* position) = 0;

    // Every key held, in file order.
    virtual std::vector<std::string> get_keys() = 0;
};

// Numbered lists (PREFIX0, PREFIX1, ...) are read from index 0 up to the
// first entry that is missing, and never past this many entries.
constexpr int numbered_list_limit = 1000000;

// Calls read_entry(index) for 0, 1, 2, ... until it answers false (the first
// gap) or the limit is reached. Returns how many entries were read.
template <class ReadEntry>
int read_numbered_list(ReadEntry&& read_entry) {
    int index = 0;
    while (index < numbered_list_limit && read_entry(index)) ++index;
    return index;
}

// Creates an empty configuration under name with the backend "quillbox".
// Creating a name that exists starts that configuration empty again; its
// interface pointer stays the same. flag is accepted and has no effect.
SERVICE_API bool config_create(std::string name, std::string backend, int flag);
// The same pointer for every caller until config_remove; null for an unknown name.
SERVICE_API Config_Interface* config_get_interface(std::string name);
// Discards the configuration; its interface pointer is no longer valid.
SERVICE_API void config_remove(std::string name);
// Text of the last failure.
SERVICE_API std::string config_error();
