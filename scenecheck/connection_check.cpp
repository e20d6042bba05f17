#include "scenecheck/connection_check.h"

#include <algorithm>

#include "scenecheck/check_model.h"
#include "scenecheck/numbered_list.h"
#include "scenecheck/value_rules.h"

namespace {

// What a signal source stands for: who raises its signals, and which.
struct Source {
    bool resolved = false;  // false: already reported, or nothing to judge it by
    std::string owner;      // for findings: "scene \"menu\""
    std::vector<std::string> signals;
};

std::vector<std::string> source_names(const CheckContext& context) {
    std::vector<std::string> names;
    for (const ListedScene& scene : context.scenes) names.push_back(scene.name);
    for (const ListedScene& scene : context.scenes)
        if (const SceneFile* file = context.file_of_scene(scene.name))
            for (const DeclaredObject& object : file->objects) names.push_back(scene.name + "->" + object.name);
    names.push_back("Video");
    return names;
}

Source resolve_source(CheckContext& context, const SceneFile& scene, const NumberedEntry& entry) {
    const ConfigEntry* at = entry.field("signal_source");
    const std::string& source = at->value;
    std::string said = quoted(at->key) + " is " + quoted(source);
    if (source == "Video") {
        if (entry.value("type", "custom") == "builtin") return {true, "the video device", kind_table::input_signals()};
        context.report_at(scene.file, at, said + ", which stands for the video device only with type \"builtin\"");
        return {};
    }
    if (context.has_scene(source)) return {true, "scene " + quoted(source), kind_table::scene_signals()};
    std::size_t split = source.find("->");
    if (split != std::string::npos && context.has_scene(source.substr(0, split))) {
        const SceneFile* file = context.file_of_scene(source.substr(0, split));
        if (!file) return {};  // that scene's file is reported already
        if (const DeclaredObject* object = file->find(source.substr(split + 2))) {
            if (!kind_table::find(object->type)) return {};
            return {true, "object " + quoted(source) + " (" + object->type + ")", kind_table::signals_of(object->type)};
        }
    }
    context.report_at(scene.file, at,
                      said + ": no scene of the list, no object of a scene and not \"Video\"" +
                          value_rules::did_you_mean(source, source_names(context)));
    return {};
}

void check_signal_name(CheckContext& context, const SceneFile& scene, const NumberedEntry& entry,
                       const std::string& entry_name, const Source& source) {
    const ConfigEntry* at = entry.field("signal_name");
    std::string name = at ? at->value : "";
    if (name.empty()) {
        context.report_at(scene.file, at ? at : entry.field("signal_source"),
                          quoted(entry_name) + " has no signal_name, so the loader skips it");
        return;
    }
    std::string said = quoted(at->key) + " is " + quoted(name);
    if (name == "activate" || name == "deactivate") {
        context.report_at(scene.file, at,
                          said + ": the loader skips activate and deactivate (every object gets its own scene's)");
        return;
    }
    if (!source.resolved || std::find(source.signals.begin(), source.signals.end(), name) != source.signals.end())
        return;
    if (source.signals.empty())
        context.report_at(scene.file, at, said + ", but " + source.owner + " raises no signals");
    else
        context.report_at(scene.file, at,
                          said + ": " + source.owner + " raises no such signal" +
                              value_rules::did_you_mean(name, source.signals));
}

void check_slot_name(CheckContext& context, const SceneFile& scene, const NumberedEntry& entry,
                     const std::string& entry_name, const DeclaredObject& object) {
    if (!kind_table::find(object.type)) return;  // its slots are not known
    std::vector<std::string> slots = kind_table::slots_of(object.type);
    const ConfigEntry* at = entry.field("slot_name");
    std::string name = at ? at->value : "";
    if (std::find(slots.begin(), slots.end(), name) != slots.end()) return;
    if (!at) {
        context.report_at(scene.file, entry.field("signal_source"),
                          quoted(entry_name) + " has no slot_name, so it reaches no slot");
        return;
    }
    context.report_at(scene.file, at,
                      quoted(at->key) + " is " + quoted(name) + ": a " + object.type + " has no such slot" +
                          value_rules::did_you_mean(name, slots));
}

void report_misread(CheckContext& context, const SceneFile& scene, const ConfigEntry* at, ValueKind kind) {
    if (!at) return;
    std::string why = value_rules::misread(kind, at->value);
    if (!why.empty()) context.report_at(scene.file, at, quoted(at->key) + " is " + quoted(at->value) + ", " + why);
}

}  // namespace

void check_connections(CheckContext& context, const SceneFile& scene, const DeclaredObject& object,
                       const std::string& prefix) {
    const std::string object_prefix = "Objects->" + object.name + "->";
    NumberedList list = collect_numbered_list(scene.keys_of(object.name), prefix, "signal_source");
    report_unread_entries(context, scene.file, list);
    report_unknown_fields(context, scene.file, list, kind_table::connection_keys(), object_prefix.size());
    for (const auto& [index, entry] : list.entries) {
        std::string entry_name = prefix + std::to_string(index);
        if (!list.is_read(index)) continue;
        report_misread(context, scene, entry.field("connect"), ValueKind::ConnectMode);
        report_misread(context, scene, entry.field("type"), ValueKind::ConnectionType);
        Source source = resolve_source(context, scene, entry);
        check_signal_name(context, scene, entry, entry_name, source);
        check_slot_name(context, scene, entry, entry_name, object);
    }
}
