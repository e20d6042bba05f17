#include "scenecheck/scene_list_check.h"

#include <cstdint>
#include <map>

#include "scenecheck/check_model.h"
#include "scenecheck/key_names.h"
#include "scenecheck/numbered_list.h"
#include "scenecheck/value_rules.h"
#include "sceneengine/scenemanager/scene_fabric.h"
#include "services/fileio.h"

namespace {

const char* const kPrefix = "Scenes->Scene";

std::vector<std::string> scene_types() {
    std::vector<std::string> types;
    for (const auto& [type, fabric] : SceneFabric::_fabrics_) types.push_back(type);
    return types;
}

void report_unknown_keys(CheckContext& context, const NumberedList& list) {
    const std::string& file = context.list_file;
    for (const ConfigEntry& entry : context.list.entries()) {
        // Keys under the prefix are the list's own, misnumbered ones included.
        if (entry.key.compare(0, list.prefix.size(), list.prefix) == 0) continue;
        std::string prefix = std::string(kPrefix) + key_names::first_index(entry.key) + "->";
        context.report_at(file, &entry, "unknown key " + quoted(entry.key) +
                                            value_rules::did_you_mean(entry.key, key_names::with_prefix(
                                                prefix, kind_table::list_entry_keys())));
    }
    report_unknown_fields(context, file, list, kind_table::list_entry_keys());
}

// Checks one entry that the library reads and lists its scene.
void check_entry(CheckContext& context, const NumberedEntry& entry, std::map<std::string, int>& first_line) {
    const std::string& file = context.list_file;
    const ConfigEntry* name = entry.field("name");
    if (const ConfigEntry* preload = entry.field("preload")) {
        std::string why = value_rules::misread(ValueKind::Switch, preload->value);
        if (!why.empty()) context.report_at(file, preload, quoted(preload->key) + " is " + quoted(preload->value) + ", " + why);
    }
    std::string type = entry.value("type", "generic");
    if (!SceneFabric::_fabrics_.contains(type))
        context.report_blocking(file, entry.field("type"),
                          "no scene type " + quoted(type) + " is registered, so loading the list stops there" +
                              value_rules::did_you_mean(type, scene_types()));
    if (name->value == "exit")
        context.report_at(file, name, "a scene named \"exit\" is never shown: switching to \"exit\" ends the program");
    auto [seen, fresh] = first_line.emplace(name->value, name->line);
    if (!fresh)
        context.report_at(file, name,
                          "scene name " + quoted(name->value) + " is used again (first on line " +
                              std::to_string(seen->second) + "); this entry replaces that scene");

    ListedScene scene{name->value, entry.value("file", ""), type, name, false};
    const ConfigEntry* scene_file = entry.field("file");
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (scene.file.empty())
        context.report_blocking(file, scene_file ? scene_file : name, "scene " + quoted(scene.name) + " has no file");
    else if (!context.files->read(scene.file, bytes, error))
        context.report_blocking(file, scene_file, "scene " + quoted(scene.name) + " cannot be loaded: " + error);
    else
        scene.readable = true;
    context.scenes.push_back(scene);
}

}  // namespace

bool check_scene_list(CheckContext& context) {
    context.report.note_file(context.list_file);
    std::string error;
    if (!context.list.load("scenecheck:list", context.list_file, context.files, error)) {
        context.report.add_line(context.list_file, error);
        return false;
    }
    NumberedList list = collect_numbered_list(context.list, kPrefix, "name");
    report_unknown_keys(context, list);
    if (list.entries.empty() && list.misnumbered.empty())
        context.report.add(context.list_file, 1, 1, "the list names no scene (no key " + quoted("Scenes->Scene0->name") + ")",
                           true);
    report_unread_entries(context, context.list_file, list);
    std::map<std::string, int> first_line;
    for (const auto& [index, entry] : list.entries)
        if (list.is_read(index)) check_entry(context, entry, first_line);
    return true;
}
