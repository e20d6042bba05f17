#pragma once

#include <string>

#include "sceneengine/sceneobjects/scene_object.h"
#include "services/signals.h"
#include "services/time.h"

// An invisible object that raises S->O->time_out (one float: the elapsed
// time) once "Timer->time" has passed, once or repeatedly. It measures time
// only when its slot S->O->_on_new_cycle is called, usually by its scene's
// "->new_cycle" signal through an on-load connection.
class SCENEENGINE_API Timer : public virtual SceneObject {
public:
    Timer();
    Timer(const Timer&) = default;  // the copy's slot stays bound to the source
    Timer& operator=(const Timer&) = default;
    ~Timer() override;

    virtual bool slot__on_new_cycle(SlotArgs* args);

    bool load(Scene* scene, std::string storage_name, std::string storage_prefix, std::string scene_name,
              std::string object_name, FileIO::FileManager* file_manager) override;
    void draw() override;

    // Restarts the stopwatch; true.
    bool real_load(Scene* scene, std::string storage_name, std::string storage_prefix, std::string scene_name,
                   std::string object_name, FileIO::FileManager* file_manager);
    // The time test and the firing; always false.
    bool _on_new_cycle_handler();

    bool _get_repeat() const { return repeat; }
    void _set_repeat(bool value) { repeat = value; }
    float _get_time() const { return time; }
    void _set_time(float value) { time = value; }
    Time _get_timer() const { return timer; }
    void _set_timer(Time value) { timer = value; }

protected:
    void rise_time_out(float elapsed);

    Slot<Timer> _new_cycle_slot_;
    Signal _time_out_signal_;
    bool repeat = false;
    float time = 1.0f;
    Time timer;
};
