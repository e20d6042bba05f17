#include "player/scene_switch_log.h"

#include "services/signals.h"

namespace player {

// One slot per scene, so that the call itself says which scene drew.
class SceneSwitchLog::Probe : public AbstractSlot {
public:
    Probe(SceneSwitchLog* log, std::string scene)
        : log_(log), scene_(std::move(scene)), slot_name_("sceneplay->watch->" + scene_) {}

    bool call(SlotArgs*) override {
        log_->drew(scene_);
        return true;
    }

    const std::string& scene() const { return scene_; }
    const std::string& slot_name() const { return slot_name_; }
    std::string signal_name() const { return scene_ + "->new_cycle"; }

private:
    SceneSwitchLog* log_;
    std::string scene_;
    std::string slot_name_;
};

SceneSwitchLog::SceneSwitchLog(std::function<std::int64_t()> frame,
                               std::function<void(std::int64_t, const std::string&)> on_switch)
    : frame_(std::move(frame)), on_switch_(std::move(on_switch)) {}

SceneSwitchLog::~SceneSwitchLog() {
    // The bus holds pointers to the probes: take them back before they go.
    for (const auto& probe : probes_) {
        disconnect(probe->signal_name(), probe->slot_name());
        unregister_slot(probe->slot_name());
    }
}

void SceneSwitchLog::follow(const std::string& scene) {
    for (const auto& probe : probes_)
        if (probe->scene() == scene) return;
    probes_.push_back(std::make_unique<Probe>(this, scene));
    register_slot(probes_.back()->slot_name(), probes_.back().get());
    connect(probes_.back()->signal_name(), probes_.back()->slot_name());
}

void SceneSwitchLog::drew(const std::string& scene) {
    if (scene == current_) return;
    current_ = scene;
    const std::int64_t frame = frame_ ? frame_() : 0;
    switches_.emplace_back(frame, scene);
    if (on_switch_) on_switch_(frame, scene);
}

}  // namespace player
