#pragma once

#include <map>
#include <string>
#include <vector>

#include "scenecheck/config_file.h"
#include "scenecheck/kind_table.h"

struct CheckContext;

// One entry of a numbered list: the keys PREFIX + index + "->" + field.
struct NumberedEntry {
    long index = 0;
    std::map<std::string, const ConfigEntry*> fields;  // by field
    const ConfigEntry* first = nullptr;                 // the entry's first key in the file

    const ConfigEntry* field(const std::string& name) const {
        auto it = fields.find(name);
        return it == fields.end() ? nullptr : it->second;
    }
    std::string value(const std::string& name, const std::string& def) const {
        const ConfigEntry* entry = field(name);
        return entry ? entry->value : def;
    }
};

// A numbered list as the library walks it: from index 0 up to the first
// index whose leading field is missing or empty.
struct NumberedList {
    std::string prefix;
    std::string leading_field;
    std::map<long, NumberedEntry> entries;
    std::vector<const ConfigEntry*> misnumbered;  // keys under the prefix with no plain index
    long end = 0;                                  // the index the walk stops at

    bool is_read(long index) const { return index < end; }
};

// Collects the list from every key of config that starts with prefix.
NumberedList collect_numbered_list(const ConfigFile& config, const std::string& prefix,
                                   const std::string& leading_field);
// The same from some of a file's keys.
NumberedList collect_numbered_list(const std::vector<const ConfigEntry*>& keys, const std::string& prefix,
                                   const std::string& leading_field);

// Reports fields of the entries that are none of fields, with the nearest
// field suggested; the suggestion is the full key less its first shown_from
// characters.
void report_unknown_fields(CheckContext& context, const std::string& file, const NumberedList& list,
                           const std::vector<KeyInfo>& fields, std::size_t shown_from = 0);

// Reports the keys that the walk never reaches: misnumbered keys, and the
// entries at and after the index that ends the list (once, at the first of them).
void report_unread_entries(CheckContext& context, const std::string& file, const NumberedList& list);
