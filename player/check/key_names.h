#pragma once

#include <string>
#include <vector>

#include "player/check/kind_table.h"

// Small helpers for naming keys in findings.
namespace key_names {

// The keys of specs, each after prefix.
inline std::vector<std::string> with_prefix(const std::string& prefix, const std::vector<KeySpec>& specs) {
    std::vector<std::string> keys;
    for (const KeySpec& spec : specs) keys.push_back(prefix + spec.key);
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

inline const KeySpec* find_spec(const std::vector<KeySpec>& specs, const std::string& key) {
    for (const KeySpec& spec : specs)
        if (spec.key == key) return &spec;
    return nullptr;
}

}  // namespace key_names
