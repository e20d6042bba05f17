#include "sceneengine/sceneobjects/timer.h"

#include <cfloat>

#include "sceneengine/sceneobjects/kind_description.h"
#include "sceneengine/sceneobjects/object_values.h"
#include "services/config.h"

using object_values::to_float;

Timer::Timer() : _new_cycle_slot_(this, &Timer::slot__on_new_cycle), _time_out_signal_("") {}

Timer::~Timer() = default;

bool Timer::load(Scene* scene, std::string storage_name, std::string storage_prefix, std::string scene_name,
                 std::string object_name, FileIO::FileManager* file_manager) {
    Config_Interface* config =
        load_with_config(scene, storage_name, storage_prefix, scene_name, object_name, file_manager);
    if (!config) return false;

    const DescribedKeys keys(config, storage_prefix, kind_descriptions::find("Timer")->keys);
    repeat = keys.on("Timer->repeat");
    time = keys.number("Timer->time");

    // Registered with the object's other slots from the scene's next
    // activation on; the registration made while loading came before this.
    const std::string names = _scene_name_ + "->" + _object_name_;
    _slot_map_.emplace_back(names + "->_on_new_cycle", &_new_cycle_slot_);
    _time_out_signal_.set_name(names + "->time_out");

    return real_load(scene, std::move(storage_name), std::move(storage_prefix), std::move(scene_name),
                     std::move(object_name), file_manager);
}

bool Timer::real_load(Scene*, std::string, std::string, std::string, std::string, FileIO::FileManager*) {
    timer.reset();
    return true;
}

void Timer::draw() {}

bool Timer::slot__on_new_cycle(SlotArgs*) { return _on_new_cycle_handler(); }

bool Timer::_on_new_cycle_handler() {
    const float elapsed = to_float(timer.get_elapsed_time_noreset());
    // Written so that a NaN limit or reading never fires.
    if (!(elapsed >= time)) return false;
    if (!repeat) time = FLT_MAX;  // spent: no reading reaches it
    // Measuring starts again now, so lateness does not carry into the next period.
    timer.reset();
    rise_time_out(elapsed);
    return false;
}

void Timer::rise_time_out(float elapsed) {
    _time_out_signal_.clear_params();
    _time_out_signal_.add_params(elapsed);
    _time_out_signal_.rise();
}
