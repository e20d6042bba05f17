#pragma once

#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "scenecheck/check_report.h"
#include "scenecheck/config_file.h"

namespace FileIO { class FileManager; }

// One entry of the scene list that the library reads.
struct ListedScene {
    std::string name;
    std::string file;
    std::string type;
    const ConfigEntry* name_entry = nullptr;
    bool readable = false;  // its file can be read
};

// One named entry of a scene file's object list.
struct DeclaredObject {
    std::string name;
    std::string type;
    const ConfigEntry* name_entry = nullptr;
    bool has_fabric = false;  // an object of the type can be made
    bool read = false;        // the library's walk of the list reaches it
};

// A scene file, read once however many list entries name it.
struct SceneFile {
    std::string file;
    ConfigFile config;
    bool readable = false;
    std::vector<DeclaredObject> objects;  // every named entry, in index order, also past a gap
    std::unordered_map<std::string, std::size_t> last_of;  // name -> index in objects of its last entry
    // The keys "Objects->NAME->..." of each object by name, in file order;
    // keys of no object under "" .
    std::unordered_map<std::string, std::vector<const ConfigEntry*>> object_keys;

    void declare(DeclaredObject object) {
        last_of[object.name] = objects.size();
        objects.push_back(std::move(object));
    }
    // The object that ends up under name (a later entry replaces an earlier
    // one of the same name), or null.
    const DeclaredObject* find(const std::string& name) const {
        auto it = last_of.find(name);
        return it == last_of.end() ? nullptr : &objects[it->second];
    }
    const std::vector<const ConfigEntry*>& keys_of(const std::string& name) const {
        static const std::vector<const ConfigEntry*> none;
        auto it = object_keys.find(name);
        return it == object_keys.end() ? none : it->second;
    }
};

// Everything one run of the checker reads and finds.
struct CheckContext {
    FileIO::FileManager* files = nullptr;
    std::string video;  // the headless device that pictures and texts are tried on
    CheckReport report;
    std::string list_file;
    ConfigFile list;
    std::vector<ListedScene> scenes;
    std::map<std::string, SceneFile> scene_files;  // by file name

    // The scene file of the listed scene of that name, or null.
    const SceneFile* file_of_scene(const std::string& scene) const {
        for (auto it = scenes.rbegin(); it != scenes.rend(); ++it)
            if (it->name == scene) {
                auto found = scene_files.find(it->file);
                return found == scene_files.end() || !found->second.readable ? nullptr : &found->second;
            }
        return nullptr;
    }
    bool has_scene(const std::string& name) const {
        for (const ListedScene& scene : scenes)
            if (scene.name == name) return true;
        return false;
    }

    // A finding at an entry of file, or at its start when there is no entry to point at.
    void report_at(const std::string& file, const ConfigEntry* at, std::string message) {
        report.add(file, at ? at->line : 1, at ? at->column : 1, std::move(message));
    }
    // A finding that stops sceneplay: the scene would fail to load, or show
    // empty or otherwise than its file says.
    void report_blocking(const std::string& file, const ConfigEntry* at, std::string message) {
        report.add(file, at ? at->line : 1, at ? at->column : 1, std::move(message), true);
    }
};

// "KEY" quoted, the way findings name keys and values.
inline std::string quoted(const std::string& text) { return "\"" + text + "\""; }
