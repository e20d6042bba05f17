#pragma once

#include <string>
#include <vector>

#include "scenecheck/kind_table.h"

// Small helpers for naming keys in findings.
namespace key_names {

// The keys of known_keys, each after prefix.
inline std::vector<std::string> with_prefix(const std::string& prefix, const std::vector<KeyInfo>& known_keys) {
    std::vector<std::string> keys;
    for (const KeyInfo& info : known_keys) keys.push_back(prefix + info.key);
    return keys;
}

// The first run of digits in key ("0" when there is none): the index that a
// mistyped list key most likely meant.
inline std::string first_index(const std::string& key) {
    std::size_t start = key.find_first_of("0123456789");
    if (start == std::string::npos) return "0";
    std::size_t end = key.find_first_not_of("0123456789", start);
    return key.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

inline const KeyInfo* find_key_info(const std::vector<KeyInfo>& known_keys, const std::string& key) {
    for (const KeyInfo& info : known_keys)
        if (info.key == key) return &info;
    return nullptr;
}

}  // namespace key_names
