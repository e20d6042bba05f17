#include "platform/config/quillbox_config.h"

#include <algorithm>
#include <iostream>

#include "platform/config/config_registry.h"
#include "platform/config/yaml_flattener.h"
#include "platform/fileio/file_reading.h"
#include "services/fileio.h"

namespace quillbox {

namespace {

// Reasons from the file layer usually start with the path already; a host's
// own FileManager may word them otherwise.
std::string read_failure(const std::string& file, const std::string& reason) {
    if (reason.compare(0, file.size() + 1, file + ":") == 0) return reason;
    return file + ": " + reason;
}

}  // namespace

bool QuillboxConfig::fail(const std::string& line) {
    set_config_error(line);
    // The library never looks at load_file's result: this line is the
    // author's only hint that the file was not used.
    std::cerr << line << std::endl;
    return false;
}

bool QuillboxConfig::load_file(const std::string& file, FileIO::FileManager* file_manager) {
    if (file.empty()) return fail("cannot load a configuration file: the file name is empty");
    std::vector<std::uint8_t> bytes;
    std::string reason;
    const bool read = file_manager != nullptr ? file_manager->read(file, bytes, reason)
                                              : fileio::read_regular_file(file, file, bytes, reason);
    if (!read) return fail(read_failure(file, reason));

    std::vector<FlatValue> values;
    YamlError error;
    if (!flatten_yaml(bytes, values, error))
        return fail(file + ":" + std::to_string(error.line) + ":" + std::to_string(error.column) + ": " +
                    error.reason);

    const auto known = std::find(files_.begin(), files_.end(), file);
    const std::size_t file_index = std::size_t(known - files_.begin());
    if (known == files_.end()) files_.push_back(file);
    entries_.reserve(entries_.size() + values.size());
    for (FlatValue& flat : values) {
        auto [it, inserted] = entries_.try_emplace(std::move(flat.key));
        if (inserted) order_.push_back(&it->first);
        it->second = Entry{std::move(flat.value), file_index, flat.line, flat.column};
    }
    return true;
}

std::string QuillboxConfig::get_value(std::string key, std::string def) {
    const auto it = entries_.find(key);
    return it == entries_.end() ? def : it->second.value;
}

bool QuillboxConfig::get_position(const std::string& key, ConfigPosition* position) {
    const auto it = entries_.find(key);
    if (it == entries_.end()) return false;
    if (position != nullptr) *position = ConfigPosition{files_[it->second.file], it->second.line, it->second.column};
    return true;
}

std::vector<std::string> QuillboxConfig::get_keys() {
    std::vector<std::string> keys;
    keys.reserve(order_.size());
    for (const std::string* key : order_) keys.push_back(*key);
    return keys;
}

void QuillboxConfig::clear() {
    entries_.clear();
    order_.clear();
    files_.clear();
}

}  // namespace quillbox
