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

bool Scene::draw() {
    signal_new_cycle.rise();
    refresh_draw_order();

    Video_Interface* video = video_get_interface(video_name);
    if (!video) return false;
    video->show_mouse_cursor(mouse_cursor_state);

    for (const SceneDrawCache::Entry& entry : draw_cache_.entries) {
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
