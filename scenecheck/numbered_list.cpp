#include "scenecheck/numbered_list.h"

#include <cctype>
#include <set>

#include "scenecheck/check_model.h"
#include "scenecheck/key_names.h"
#include "scenecheck/value_rules.h"
#include "services/config.h"

namespace {

// The index of "12->field" and where its field starts; false for anything the
// library's "%d" never writes (no digits, leading zeros, no "->" after them).
bool parse_index(const std::string& rest, long& index, std::size_t& field_start) {
    std::size_t digits = 0;
    while (digits < rest.size() && std::isdigit(static_cast<unsigned char>(rest[digits]))) ++digits;
    if (digits == 0 || digits > 6 || (digits > 1 && rest[0] == '0')) return false;
    if (rest.compare(digits, 2, "->") != 0 || rest.size() == digits + 2) return false;
    index = std::stol(rest.substr(0, digits));
    field_start = digits + 2;
    return true;
}

}  // namespace

NumberedList collect_numbered_list(const ConfigFile& config, const std::string& prefix,
                                   const std::string& leading_field) {
    std::vector<const ConfigEntry*> keys;
    for (const ConfigEntry& entry : config.entries()) keys.push_back(&entry);
    return collect_numbered_list(keys, prefix, leading_field);
}

NumberedList collect_numbered_list(const std::vector<const ConfigEntry*>& keys, const std::string& prefix,
                                   const std::string& leading_field) {
    NumberedList list;
    list.prefix = prefix;
    list.leading_field = leading_field;
    for (const ConfigEntry* entry : keys) {
        if (entry->key.compare(0, prefix.size(), prefix) != 0) continue;
        long index = 0;
        std::size_t field_start = 0;
        if (!parse_index(entry->key.substr(prefix.size()), index, field_start)) {
            list.misnumbered.push_back(entry);
            continue;
        }
        NumberedEntry& numbered = list.entries[index];
        numbered.index = index;
        if (!numbered.first) numbered.first = entry;
        numbered.fields.emplace(entry->key.substr(prefix.size() + field_start), entry);
    }
    list.end = read_numbered_list([&](int index) {
        auto it = list.entries.find(index);
        return it != list.entries.end() && !it->second.value(leading_field, "").empty();
    });
    return list;
}

void report_unread_entries(CheckContext& context, const std::string& file, const NumberedList& list) {
    std::set<std::string> reported;
    for (const ConfigEntry* entry : list.misnumbered) {
        // One finding per entry, named up to its index: "Scenes->Scene01".
        std::string name = entry->key.substr(0, entry->key.find("->", list.prefix.size()));
        if (reported.insert(name).second)
            context.report_at(file, entry,
                              quoted(name) + " is never read: entries are numbered 0, 1, 2, ... without leading zeros");
    }
    auto stop = list.entries.lower_bound(list.end);
    if (stop == list.entries.end()) return;
    std::string stop_name = list.prefix + std::to_string(list.end);
    if (stop->first == list.end) {
        const NumberedEntry& entry = stop->second;
        const ConfigEntry* at = entry.field(list.leading_field) ? entry.field(list.leading_field) : entry.first;
        std::string message = quoted(stop_name) + " has no " + list.leading_field + ", so the list ends there";
        auto next = std::next(stop);
        if (next != list.entries.end())
            message += " and " + quoted(list.prefix + std::to_string(next->first)) + " is never read";
        context.report_at(file, at, message);
        return;
    }
    context.report_at(file, stop->second.first,
                      quoted(list.prefix + std::to_string(stop->first)) + " is never read: the list ends at the missing " +
                          quoted(stop_name + "->" + list.leading_field));
}

void report_unknown_fields(CheckContext& context, const std::string& file, const NumberedList& list,
                           const std::vector<KeyInfo>& fields, std::size_t shown_from) {
    std::vector<std::string> names;
    for (const KeyInfo& info : fields) names.push_back(info.key);
    for (const auto& [index, entry] : list.entries)
        for (const auto& [field, at] : entry.fields) {
            if (key_names::find_key_info(fields, field)) continue;
            std::string prefix = list.prefix + std::to_string(index) + "->";
            context.report_at(file, at, "unknown key " + quoted(at->key) +
                                            value_rules::did_you_mean(field, names, prefix.substr(shown_from)));
        }
}
