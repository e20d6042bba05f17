#include "sceneengine/scenemanager/scene/scene.h"
#include "sceneengine/sceneobjects/scene_object.h"
#include "services/video.h"

void Scene::refresh_draw_order() {
    SceneDrawCache& cache = draw_cache_;
    if (cache.built && cache.objects_revision == objects.revision() &&
        cache.z_levels_revision == z_levels.revision() && cache.entries.size() == draw_order.size() &&
        cache.object_list == object_list)
        return;

    // Equal z_levels keep the order of the list: a multimap inserts after
    // the entries of equal key.
    draw_order.clear();
    for (const std::string& object_name : object_list)
        if (z_levels.contains(object_name)) draw_order.emplace(z_levels.get(object_name), object_name);

    cache.entries.clear();
    cache.entries.reserve(draw_order.size());
    for (const auto& entry : draw_order) {
        const bool in_table = objects.contains(entry.second);
        cache.entries.push_back({&entry.second, in_table ? objects.get(entry.second) : nullptr, in_table});
    }
    cache.object_list = object_list;
    cache.objects_revision = objects.revision();
    cache.z_levels_revision = z_levels.revision();
    cache.built = true;
}

namespace {

// Objects lie scattered on the heap, and a draw reads an object's names,
// placement and sprite handle from all over it: in a scene of thousands of
// objects each draw would wait for memory. The objects a few places ahead in
// the drawing order are asked for early, so that the waits overlap.
constexpr std::size_t prefetch_distance = 4;

void prefetch_object(const SceneObject* object) {
    // A kind's own fields come before its SceneObject part (a virtual base).
    const char* start = reinterpret_cast<const char*>(object) - 128;
    const char* end = reinterpret_cast<const char*>(object) + sizeof(SceneObject);
    for (const char* line = start; line < end; line += 64) __builtin_prefetch(line);
}

}  // namespace

bool Scene::draw() {
    signal_new_cycle.rise();
    refresh_draw_order();

    Video_Interface* video = video_get_interface(video_name);
    if (!video) return false;
    video->show_mouse_cursor(mouse_cursor_state);

    const std::vector<SceneDrawCache::Entry>& entries = draw_cache_.entries;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const SceneDrawCache::Entry& entry = entries[i];
        if (i + prefetch_distance < entries.size() && entries[i + prefetch_distance].object)
            prefetch_object(entries[i + prefetch_distance].object);
        SceneObject* object = entry.object;
        bool in_table = entry.in_table;
        // Something called from a draw changed the table: look the rest up by name.
        if (objects.revision() != draw_cache_.objects_revision) {
            in_table = objects.contains(*entry.name);
            object = in_table ? objects.get(*entry.name) : nullptr;
        }
        if (!in_table) continue;
        if (!object) {
            remove_object(*entry.name);
            continue;
        }
        if (object->_get_show()) object->draw();
    }
    return true;
}
