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

    // The file's values go after the ones held; a refused file is cut off
    // again, so nothing of it stays.
    const std::size_t held_bytes = values_.bytes.size();
    values_.items.clear();
    YamlError error;
    if (!flatten_yaml(bytes, values_, error)) {
        values_.bytes.resize(held_bytes);
        values_.items.clear();
        return fail(file + ":" + std::to_string(error.line) + ":" + std::to_string(error.column) + ": " +
                    error.reason);
    }

    const auto known = std::find(files_.begin(), files_.end(), file);
    const std::size_t file_index = std::size_t(known - files_.begin());
    if (known == files_.end()) files_.push_back(file);
    reserve_index(entries_.size() + values_.items.size());
    entries_.reserve(entries_.size() + values_.items.size());
    add_all(file_index);
    values_.items.clear();
    return true;
}

// A large file's index outgrows the caches, and every key lands on a random
// slot: the hashes are worked out a few keys ahead and their slots fetched
// early, so that the wait for memory overlaps the work on earlier keys.
void QuillboxConfig::add_all(std::size_t file) {
    constexpr std::size_t ahead = 16;
    const std::vector<FlatValues::Item>& items = values_.items;
    const std::size_t mask = index_.size() - 1;
    std::size_t hashes[ahead];
    const auto hash_of = [&](std::size_t i) {
        const std::size_t hash = std::hash<std::string_view>{}(values_.key(items[i]));
        __builtin_prefetch(&index_[hash & mask], 1);
        return hash;
    };
    for (std::size_t i = 0; i < ahead && i < items.size(); ++i) hashes[i] = hash_of(i);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::size_t hash = hashes[i % ahead];
        if (i + ahead < items.size()) hashes[i % ahead] = hash_of(i + ahead);
        add(items[i], hash, file);
    }
}

std::string_view QuillboxConfig::key_of(const Entry& entry) const {
    return std::string_view(values_.bytes.data() + entry.key_offset, entry.key_length);
}

namespace {

std::uint64_t slot_of(std::size_t hash, std::size_t entry) { return (std::uint64_t(hash >> 32) << 32) | (entry + 1); }
bool same_hash(std::uint64_t slot, std::size_t hash) { return (slot >> 32) == std::uint64_t(hash >> 32); }
std::size_t entry_of(std::uint64_t slot) { return std::size_t(slot & 0xFFFFFFFFu) - 1; }

}  // namespace

const QuillboxConfig::Entry* QuillboxConfig::find(std::string_view key) const {
    if (index_.empty()) return nullptr;
    const std::size_t hash = std::hash<std::string_view>{}(key);
    const std::size_t mask = index_.size() - 1;
    for (std::size_t slot = hash & mask; index_[slot] != 0; slot = (slot + 1) & mask) {
        if (!same_hash(index_[slot], hash)) continue;
        const Entry& entry = entries_[entry_of(index_[slot])];
        if (entry.hash == hash && key_of(entry) == key) return &entry;
    }
    return nullptr;
}

void QuillboxConfig::reserve_index(std::size_t count) {
    std::size_t size = index_.empty() ? 64 : index_.size();
    while (size < count * 2) size *= 2;
    if (size == index_.size()) return;
    index_.assign(size, 0);
    const std::size_t mask = size - 1;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        std::size_t slot = entries_[i].hash & mask;
        while (index_[slot] != 0) slot = (slot + 1) & mask;
        index_[slot] = slot_of(entries_[i].hash, i);
    }
}

// Later values win; the key keeps the place where it first appeared.
void QuillboxConfig::add(const FlatValues::Item& item, std::size_t hash, std::size_t file) {
    const std::string_view key = values_.key(item);
    const std::size_t mask = index_.size() - 1;
    std::size_t slot = hash & mask;
    for (; index_[slot] != 0; slot = (slot + 1) & mask) {
        if (!same_hash(index_[slot], hash)) continue;
        Entry& entry = entries_[entry_of(index_[slot])];
        if (entry.hash != hash || key_of(entry) != key) continue;
        entry.value_offset = item.value_offset;
        entry.value_length = item.value_length;
        entry.file = file;
        entry.line = item.line;
        entry.column = item.column;
        return;
    }
    Entry entry;
    entry.hash = hash;
    entry.key_offset = item.key_offset;
    entry.key_length = item.key_length;
    entry.value_offset = item.value_offset;
    entry.value_length = item.value_length;
    entry.file = file;
    entry.line = item.line;
    entry.column = item.column;
    index_[slot] = slot_of(hash, entries_.size());
    entries_.push_back(entry);
}

std::string QuillboxConfig::get_value(std::string key, std::string def) {
    const Entry* entry = find(key);
    if (entry == nullptr) return def;
    return std::string(values_.bytes.data() + entry->value_offset, entry->value_length);
}

bool QuillboxConfig::get_position(const std::string& key, ConfigPosition* position) {
    const Entry* entry = find(key);
    if (entry == nullptr) return false;
    if (position != nullptr) *position = ConfigPosition{files_[entry->file], entry->line, entry->column};
    return true;
}

std::vector<std::string> QuillboxConfig::get_keys() {
    std::vector<std::string> keys;
    keys.reserve(entries_.size());
    for (const Entry& entry : entries_) keys.emplace_back(key_of(entry));
    return keys;
}

void QuillboxConfig::clear() {
    values_ = FlatValues{};
    entries_ = {};
    index_ = {};
    files_.clear();
}

}  // namespace quillbox
