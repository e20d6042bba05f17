#include "player/scene_watch.h"

#include "services/config.h"
#include "services/signals.h"

namespace player {

// One slot per scene, so that the call itself says which scene drew.
class SceneWatch::Probe : public AbstractSlot {
public:
    Probe(SceneWatch* watch, std::string scene)
        : watch_(watch), scene_(std::move(scene)), slot_name_("sceneplay->watch->" + scene_) {}

    bool call(SlotArgs*) override {
        watch_->drew(scene_);
        return true;
    }

    const std::string& scene() const { return scene_; }
    const std::string& slot_name() const { return slot_name_; }
    std::string signal_name() const { return scene_ + "->new_cycle"; }

private:
    SceneWatch* watch_;
    std::string scene_;
    std::string slot_name_;
};

SceneWatch::SceneWatch(std::function<std::int64_t()> frame,
                       std::function<void(std::int64_t, const std::string&)> on_switch)
    : frame_(std::move(frame)), on_switch_(std::move(on_switch)) {}

SceneWatch::~SceneWatch() {
    // The bus holds pointers to the probes: take them back before they go.
    for (const auto& probe : probes_) {
        disconnect(probe->signal_name(), probe->slot_name());
        unregister_slot(probe->slot_name());
    }
}

void SceneWatch::watch(const std::string& scene) {
    for (const auto& probe : probes_)
        if (probe->scene() == scene) return;
    probes_.push_back(std::make_unique<Probe>(this, scene));
    register_slot(probes_.back()->slot_name(), probes_.back().get());
    connect(probes_.back()->signal_name(), probes_.back()->slot_name());
}

void SceneWatch::drew(const std::string& scene) {
    if (scene == current_) return;
    current_ = scene;
    const std::int64_t frame = frame_ ? frame_() : 0;
    switches_.emplace_back(frame, scene);
    if (on_switch_) on_switch_(frame, scene);
}

std::vector<std::string> listed_scene_names() {
    std::vector<std::string> names;
    Config_Interface* list = config_get_interface("ScenesLoader");
    if (!list) return names;
    // The library reads the list the same way: it ends at the first entry without a name.
    for (int index = 0; index < 1000000; ++index) {
        std::string name = list->get_value("Scenes->Scene" + std::to_string(index) + "->name", "");
        if (name.empty()) break;
        names.push_back(std::move(name));
    }
    return names;
}

}  // namespace player
