#include "scenecheck/scene_file_check.h"

#include <map>
#include <set>

#include "scenecheck/check_model.h"
#include "scenecheck/link_cycle_check.h"
#include "scenecheck/key_names.h"
#include "scenecheck/numbered_list.h"
#include "scenecheck/object_check.h"
#include "scenecheck/value_rules.h"
#include "sceneengine/scenemanager/scene_object_fabric.h"

namespace {

const char* const kObjectList = "Scene->Objects->Object";
const char* const kCursor = "Scene->show_mouse_cursor";
const char* const kObjects = "Objects->";

std::vector<std::string> object_types() {
    std::vector<std::string> types;
    for (const auto& [type, fabric] : SceneObjectFabric::_fabrics_) types.push_back(type);
    return types;
}

void report_unknown_keys(CheckContext& context, const SceneFile& scene, const NumberedList& list) {
    for (const ConfigEntry& entry : scene.config.entries()) {
        if (entry.key == kCursor || entry.key.compare(0, list.prefix.size(), list.prefix) == 0 ||
            entry.key.compare(0, 9, kObjects) == 0)
            continue;
        std::vector<std::string> known = key_names::with_prefix(
            list.prefix + key_names::first_index(entry.key) + "->", kind_table::object_entry_keys());
        known.insert(known.begin(), kCursor);
        context.report_at(scene.file, &entry, "unknown key " + quoted(entry.key) + value_rules::did_you_mean(entry.key, known));
    }
    report_unknown_fields(context, scene.file, list, kind_table::object_entry_keys());
}

void report_misread(CheckContext& context, const std::string& file, const ConfigEntry* entry, ValueKind kind) {
    if (!entry) return;
    std::string why = value_rules::misread(kind, entry->value);
    if (!why.empty()) context.report_at(file, entry, quoted(entry->key) + " is " + quoted(entry->value) + ", " + why);
}

// The entries of the list that the library reads: their z_level, type and names.
void declare_objects(CheckContext& context, SceneFile& scene, const NumberedList& list) {
    std::map<std::string, int> first_line;
    for (const auto& [index, entry] : list.entries) {
        const ConfigEntry* name = entry.field("name");
        if (!name || name->value.empty()) continue;
        std::string type = entry.value("type", "");
        DeclaredObject object{name->value, type, name, SceneObjectFabric::_fabrics_.contains(type), list.is_read(index)};
        scene.declare(object);
        if (!object.read) continue;
        report_misread(context, scene.file, entry.field("z_level"), ValueKind::Integer);
        if (type.empty())
            context.report_blocking(scene.file, entry.field("type") ? entry.field("type") : name,
                              "object " + quoted(name->value) + " has no type, so the scene stops loading there");
        else if (!object.has_fabric)
            context.report_blocking(scene.file, entry.field("type"),
                              "no object type " + quoted(type) + " is registered, so the scene stops loading there" +
                                  value_rules::did_you_mean(type, object_types()));
        auto [seen, fresh] = first_line.emplace(name->value, name->line);
        if (!fresh)
            context.report_at(scene.file, name,
                              "object name " + quoted(name->value) + " is used again (first on line " +
                                  std::to_string(seen->second) + "); this object replaces that one");
    }
}

// Sorts the keys under "Objects->" by the object they belong to.
void index_object_keys(SceneFile& scene) {
    for (const ConfigEntry& entry : scene.config.entries())
        if (entry.key.compare(0, 9, kObjects) == 0) scene.object_keys[owner_of_key(scene, entry.key)].push_back(&entry);
}

// Keys under "Objects->" that belong to no object of the list are never read.
void report_orphan_keys(CheckContext& context, const SceneFile& scene) {
    std::vector<std::string> names;
    for (const DeclaredObject& object : scene.objects) names.push_back(object.name);
    std::set<std::string> reported;
    for (const ConfigEntry* entry : scene.keys_of("")) {
        std::string owner = entry->key.substr(0, entry->key.find("->", 9));
        if (!reported.insert(owner).second) continue;
        context.report_at(scene.file, entry,
                          quoted(owner) + " is no object of the list, so its keys are never read" +
                              value_rules::did_you_mean(owner.substr(9), names, kObjects));
    }
}

}  // namespace

void read_scene_file(CheckContext& context, SceneFile& scene) {
    context.report.note_file(scene.file);
    std::string error;
    scene.readable = scene.config.load("scenecheck:scene", scene.file, context.files, error);
    if (!scene.readable) {
        context.report.add_line(scene.file, error);
        return;
    }
    NumberedList list = collect_numbered_list(scene.config, kObjectList, "name");
    report_unknown_keys(context, scene, list);
    report_unread_entries(context, scene.file, list);
    report_misread(context, scene.file, scene.config.find(kCursor), ValueKind::Integer);
    declare_objects(context, scene, list);
    index_object_keys(scene);
}

void check_scene_objects(CheckContext& context, const SceneFile& scene, ResourceChecker& resources) {
    if (!scene.readable) return;
    report_orphan_keys(context, scene);
    for (const DeclaredObject& object : scene.objects)
        if (object.read && object.has_fabric && scene.find(object.name) == &object)
            check_object(context, scene, object, resources);
    check_link_cycles(context, scene);
}
