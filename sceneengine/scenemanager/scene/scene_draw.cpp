#include <algorithm>

#include "sceneengine/scenemanager/internal/scene_draw_cache.h"
#include "sceneengine/scenemanager/scene/scene.h"
#include "sceneengine/sceneobjects/scene_object.h"
#include "services/video.h"

Scene::DrawCache::DrawCache() : cache_(std::make_unique<SceneDrawCache>()) {}
Scene::DrawCache::DrawCache(const DrawCache&) : DrawCache() {}
Scene::DrawCache& Scene::DrawCache::operator=(const DrawCache&) {
    *cache_ = SceneDrawCache();
    return *this;
}
Scene::DrawCache::~DrawCache() = default;

namespace {

// How far ahead the checks and the draw ask for memory: objects and the
// drawing order's nodes lie scattered on the heap, and in a scene of
// thousands of objects each step would otherwise wait for memory.
constexpr std::size_t prefetch_distance = 4;

// Whether order is still, entry by entry, the one the cache was built with:
// the same nodes holding the same z_levels and names.
bool order_is_cached(const std::multimap<int, std::string>& order, const SceneDrawCache& cache) {
    if (order.size() != cache.entries.size()) return false;
    const std::vector<SceneDrawCache::Entry>& entries = cache.entries;
    auto it = order.begin();
    for (std::size_t i = 0; i < entries.size(); ++i, ++it) {
        // The node a few entries on, if the order is unchanged; a prefetch never faults.
        if (i + prefetch_distance < entries.size()) {
            const char* node = reinterpret_cast<const char*>(entries[i + prefetch_distance].name);
            __builtin_prefetch(node - 40);
            __builtin_prefetch(node);
        }
        const SceneDrawCache::Entry& entry = entries[i];
        if (&it->second != entry.name || it->first != entry.z_level ||
            it->second != cache.object_list[entry.list_index])
            return false;
    }
    return true;
}

}  // namespace

void Scene::refresh_draw_order() {
    SceneDrawCache& cache = *draw_cache_;
    if (cache.built && cache.objects_revision == objects.revision() &&
        cache.z_levels_revision == z_levels.revision() && cache.object_list == object_list &&
        order_is_cached(draw_order, cache))
        return;

    // Equal z_levels keep the order of the list: the stable sort keeps it,
    // as a multimap inserts after the entries of equal key.
    cache.entries.clear();
    for (std::size_t i = 0; i < object_list.size(); ++i)
        if (z_levels.contains(object_list[i]))
            cache.entries.push_back({nullptr, i, z_levels.get(object_list[i]), nullptr, false});
    std::stable_sort(cache.entries.begin(), cache.entries.end(),
                     [](const auto& a, const auto& b) { return a.z_level < b.z_level; });

    draw_order.clear();
    for (SceneDrawCache::Entry& entry : cache.entries) {
        const std::string& object_name = object_list[entry.list_index];
        entry.name = &draw_order.emplace_hint(draw_order.end(), entry.z_level, object_name)->second;
        entry.in_table = objects.contains(object_name);
        entry.object = entry.in_table ? objects.get(object_name) : nullptr;
    }
    cache.object_list = object_list;
    cache.objects_revision = objects.revision();
    cache.z_levels_revision = z_levels.revision();
    cache.built = true;
}

namespace {

// A draw reads an object's names, placement and sprite handle from all over
// it: the objects a few places ahead in the drawing order are asked for
// early, so that the waits overlap.
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

    const std::vector<SceneDrawCache::Entry>& entries = draw_cache_->entries;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const SceneDrawCache::Entry& entry = entries[i];
        if (i + prefetch_distance < entries.size() && entries[i + prefetch_distance].object)
            prefetch_object(entries[i + prefetch_distance].object);
        SceneObject* object = entry.object;
        bool in_table = entry.in_table;
        // Something called from a draw changed the table: look the rest up by name.
        if (objects.revision() != draw_cache_->objects_revision) {
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
