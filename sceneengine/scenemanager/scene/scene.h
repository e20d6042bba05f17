#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "sceneengine/scenemanager/storage.h"
#include "sceneengine/sceneobjects/slot.h"
#include "services/export.h"
#include "services/signals.h"

namespace FileIO { class FileManager; }
class SceneObject;
class SceneDrawCache;

// One screen: a named set of scene objects read from a scene file, drawn in
// z_level order, hit by the mouse topmost first, wired to the signal bus while
// it is shown.
//
// The scene refers to its objects without owning them, except that loading
// deletes an object it replaces by a new one of the same name. Neither
// remove_object nor the destructor deletes objects, unregisters slots or cuts
// connections.
class SCENEENGINE_API Scene {
public:
    Scene();
    Scene(const Scene&) = default;  // shares the objects; the copy's slots stay bound to the source
    Scene& operator=(const Scene&) = default;
    virtual ~Scene();

    // Loads the scene file through the configuration service; true on success.
    virtual bool load_scene();
    // Always true. A name present already keeps its first object and z_level;
    // the name is appended to the object list again.
    virtual bool add_object(const std::string& name, SceneObject* object, int z_level);
    // Null when there is none.
    virtual SceneObject* get_object(const std::string& name);
    // Cuts the object's connections and unregisters its slots; does not delete
    // it. An absent name throws the bool false.
    virtual bool remove_object(const std::string& name);
    // Raises "->new_cycle", then draws the shown objects in z_level order.
    // False when the video device is missing.
    virtual bool draw();
    // Raises "->reinit".
    virtual void reinit();
    virtual bool slot__on_mouse_press(SlotArgs* args);
    virtual bool slot__on_mouse_move(SlotArgs* args);
    virtual bool slot__on_activate(SlotArgs* args);
    virtual bool slot__on_deactivate(SlotArgs* args);

    const std::string& get_name() const { return name; }
    void set_name(const std::string& value) { name = value; }
    void set_video_name(std::string value) { video_name = std::move(value); }
    std::string get_storage_file() const { return storage_file; }
    void set_storage_file(std::string value) { storage_file = std::move(value); }
    void set_file_manager(FileIO::FileManager* value) { file_manager = value; }
    int get_width() const { return width; }
    void set_width(int value) { width = value; }
    int get_height() const { return height; }
    void set_height(int value) { height = value; }
    float get_base_x() const { return base_x; }
    void set_base_x(float value) { base_x = value; }
    float get_base_y() const { return base_y; }
    void set_base_y(float value) { base_y = value; }
    bool get_mouse_cursor_state() const { return mouse_cursor_state; }
    void set_mouse_cursor_state(bool value) { mouse_cursor_state = value; }
    float get_x() const { return x; }
    void set_x(float value) { x = value; }
    float get_y() const { return y; }
    void set_y(float value) { y = value; }
    Scene* get_parent() const { return parent; }
    void set_parent(Scene* value) { parent = value; }
    bool scene_loaded() const { return scene_loaded_; }

    // Read-only views for hosts and tools.
    const std::vector<std::string>& get_object_list() const { return object_list; }
    const Storage<std::string, SceneObject*>& get_objects() const { return objects; }
    const Storage<std::string, int>& get_z_levels() const { return z_levels; }
    const std::multimap<int, std::string>& get_draw_order() const { return draw_order; }
    SceneObject* get_focused_object() const { return focused_object; }
    SceneObject* get_hovered_object() const { return hovered_object; }

protected:
    virtual void init_signals();
    virtual void init_slots();
    virtual void deinit_slots();

    Slot<Scene> slot_mouse_press;
    Slot<Scene> slot_mouse_move;
    Slot<Scene> slot_activate;
    Slot<Scene> slot_deactivate;
    std::string name;
    std::string video_name;
    std::string storage_file;
    Storage<std::string, SceneObject*> objects;
    Storage<std::string, int> z_levels;
    std::vector<std::string> object_list;
    std::multimap<int, std::string> draw_order;  // rebuilt by draw; read-only elsewhere
    bool scene_loaded_ = false;
    SceneObject* focused_object = nullptr;
    SceneObject* hovered_object = nullptr;
    Signal signal_new_cycle;
    Signal signal_activate;
    Signal signal_reinit;
    bool mouse_cursor_state = true;  // as if "Scene->show_mouse_cursor" were absent
    FileIO::FileManager* file_manager = nullptr;
    int width = 0;
    int height = 0;
    float base_x = 0.5f;
    float base_y = 0.5f;
    float x = 0.0f;
    float y = 0.0f;
    Scene* parent = nullptr;

private:
    // Rebuilds draw_order (and the cache beside it) unless nothing it is
    // derived from changed since the last rebuild.
    void refresh_draw_order();
    // The object under name when it takes part in hit tests: null for a name
    // without entry, for a hidden object, and for a null pointer, whose entry
    // is removed.
    SceneObject* hit_candidate(const std::string& name);

    // What draw derived when it last built draw_order, kept inside the
    // library; a copied scene starts without it.
    class SCENEENGINE_API DrawCache {
    public:
        DrawCache();
        DrawCache(const DrawCache&);
        DrawCache& operator=(const DrawCache&);
        ~DrawCache();
        SceneDrawCache& operator*() const { return *cache_; }
        SceneDrawCache* operator->() const { return cache_.get(); }

    private:
        std::unique_ptr<SceneDrawCache> cache_;
    };
    DrawCache draw_cache_;
};
