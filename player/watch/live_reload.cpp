#include "player/watch/live_reload.h"

#include <algorithm>
#include <ostream>

#include "player/watch/list_entries.h"
#include "player/watch/overlay_files.h"
#include "player/watch/scene_reload.h"
#include "sceneengine/scenemanager/scene/scene.h"
#include "sceneengine/scenemanager/sceneengine.h"
#include "services/config.h"

namespace player {
namespace {

// Content is tried here before the library sees it. Not a name a scene list
// would give a scene, whose configuration goes by the scene's name.
const char* const scratch_name = "sceneplay->watch->scratch";

// A configuration that holds a file's content only while it is being looked
// at. The configuration service writes a parse error (file, line, column) to
// the error stream itself.
class ScratchConfig {
public:
    ScratchConfig() = default;
    ~ScratchConfig() {
        if (config_) config_remove(scratch_name);
    }
    ScratchConfig(const ScratchConfig&) = delete;
    ScratchConfig& operator=(const ScratchConfig&) = delete;

    // False with a reason for the player's own line when the content is not used.
    bool load(OverlayFiles& files, const std::string& file, const std::vector<std::uint8_t>& content,
              std::string& reason) {
        if (!config_create(scratch_name, "quillbox", 0) || !(config_ = config_get_interface(scratch_name))) {
            reason = "the configuration service refused a scratch configuration: " + config_error();
            return false;
        }
        const OverlayFiles::Overlay overlay = files.serve(file, content);
        if (!config_->load_file(file, &files)) {
            reason = "\"" + file + "\" does not parse (see the line above)";
            return false;
        }
        return true;
    }
    Config_Interface& get() { return *config_; }

private:
    Config_Interface* config_ = nullptr;
};

std::string quoted_names(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "\"" : ", \"") + name + "\"";
    return text;
}

}  // namespace

LiveReload::LiveReload(Setup setup) : setup_(std::move(setup)) {}

bool LiveReload::start(std::string& error) {
    if (!watch_.open(error)) return false;
    track_file(setup_.list);
    for (const std::string& name : get_scene_names())
        if (const Scene* scene = get_scene(name)) track_scene(name, scene->get_storage_file());
    return true;
}

void LiveReload::poll(const std::string& shown) {
    std::set<std::string> changed;
    for (const std::string& location : watch_.take_changes()) {
        const auto files = locations_.find(location);
        if (files == locations_.end()) continue;
        for (const std::string& file : files->second)
            if (refresh(file)) changed.insert(file);
    }
    // The list first: a scene it adds may be named by a later change.
    if (changed.count(setup_.list)) list_changed();
    for (const std::string& file : changed) scene_file_changed(file, shown);
}

LiveReload::Content LiveReload::read(const std::string& file) const {
    Content content;
    content.readable = setup_.files->read_disk(file, content.bytes, content.error);
    if (content.readable) content.error.clear();
    return content;
}

void LiveReload::track_file(const std::string& file) {
    if (files_.count(file)) return;
    files_[file] = read(file);
    // A path the file layer refuses has no location; the library says why
    // when it tries to read it.
    for (const std::string& location : watch_locations(setup_.files->get_root(), file)) {
        std::string error;
        if (!watch_.add(location, error)) {
            complain("--watch: " + error);
            continue;
        }
        locations_[location].insert(file);
    }
}

void LiveReload::track_scene(const std::string& scene, const std::string& file) {
    track_file(file);
    scene_files_[scene] = file;
    const Content& content = files_[file];
    if (content.readable) loaded_from_[scene] = content.bytes;
    else loaded_from_.erase(scene);
}

bool LiveReload::refresh(const std::string& file) {
    Content now = read(file);
    Content& seen = files_[file];
    if (now == seen) return false;
    seen = std::move(now);
    return true;
}

void LiveReload::list_changed() {
    const std::string& list = setup_.list;
    const Content& content = files_[list];
    if (!content.readable) return complain("scene list \"" + list + "\" not reread: " + content.error);

    std::vector<ListEntry> fresh;
    {
        ScratchConfig scratch;
        std::string reason;
        if (!scratch.load(*setup_.files, list, content.bytes, reason))
            return complain("scene list \"" + list + "\" not reread: " + reason);
        for (ListEntry& entry : read_list_entries(scratch.get()))
            if (!get_scene(entry.name)) fresh.push_back(std::move(entry));
    }
    if (fresh.empty()) return tell("scene list \"" + list + "\" changed: no new scene");

    // load_scenes would make every listed scene anew and refuse the one on
    // screen: it is served a list of only the new entries instead.
    const std::string yaml = write_list_yaml(fresh);
    bool whole = false;
    {
        const OverlayFiles::Overlay overlay = setup_.files->serve(list, {yaml.begin(), yaml.end()});
        whole = load_scenes(list, setup_.video_name, setup_.files);
    }
    std::vector<std::string> added;
    for (const ListEntry& entry : fresh) {
        if (!get_scene(entry.name)) continue;
        track_scene(entry.name, entry.file);  // a name listed twice: the later entry is the scene
        if (std::find(added.begin(), added.end(), entry.name) == added.end()) added.push_back(entry.name);
    }
    for (const std::string& name : added)
        if (setup_.scene_added) setup_.scene_added(name);
    if (!added.empty())
        tell("scene list \"" + list + "\": added scene" + (added.size() > 1 ? "s " : " ") + quoted_names(added));
    if (!whole) complain("scene list \"" + list + "\": not every new scene could be added (see the lines above)");
}

void LiveReload::scene_file_changed(const std::string& file, const std::string& shown) {
    for (const auto& [name, scene_file] : scene_files_) {
        if (scene_file != file) continue;
        Scene* scene = get_scene(name);
        if (!scene) continue;
        if (scene->scene_loaded()) reload(*scene, name == shown);
        else if (files_[file].readable) loaded_from_[name] = files_[file].bytes;  // loaded from disk when first shown
    }
}

void LiveReload::reload(Scene& scene, bool on_screen) {
    const std::string& name = scene.get_name();
    const std::string& file = scene_files_[name];
    const Content& content = files_[file];
    if (!content.readable) return complain("scene \"" + name + "\" not reloaded: " + content.error);
    {
        ScratchConfig scratch;
        std::string reason;
        if (!scratch.load(*setup_.files, file, content.bytes, reason))
            return complain("scene \"" + name + "\" not reloaded: " + reason);
    }

    const auto previous = loaded_from_.find(name);
    const SceneReload outcome = reload_scene(scene, *setup_.files, file, content.bytes,
                                             previous == loaded_from_.end() ? nullptr : &previous->second, on_screen);
    if (on_screen && setup_.shown_reloaded) setup_.shown_reloaded();
    switch (outcome.result) {
    case SceneReload::Result::reloaded: {
        loaded_from_[name] = content.bytes;
        std::string line = "reloaded scene \"" + name + "\"" + (on_screen ? "" : " (off screen)") + ": " +
                           std::to_string(outcome.objects) + " object" + (outcome.objects == 1 ? "" : "s");
        if (!outcome.added.empty()) line += ", new " + quoted_names(outcome.added);
        if (!outcome.removed.empty()) line += ", gone " + quoted_names(outcome.removed);
        tell(line);
        break;
    }
    case SceneReload::Result::restored:
        complain("scene \"" + name + "\" not reloaded: an object of \"" + file +
                 "\" did not load (see the lines above); it shows what it showed before");
        break;
    case SceneReload::Result::partial:
        complain("scene \"" + name + "\" reloaded only in part: an object of \"" + file +
                 "\" did not load (see the lines above)");
        break;
    }
}

void LiveReload::tell(const std::string& line) const {
    if (setup_.report) *setup_.report << "frame " << (setup_.frame ? setup_.frame() : 0) << ": " << line << std::endl;
}

void LiveReload::complain(const std::string& line) const {
    if (setup_.errors) *setup_.errors << "sceneplay: " << line << std::endl;
}

}  // namespace player
