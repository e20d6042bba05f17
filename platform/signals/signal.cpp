#include <exception>
#include <iostream>

#include "platform/signals/signal_bus.h"

using namespace signalbus;

Signal::Signal(const std::string& name) : name_(name) {}
Signal::Signal(const Signal& other) = default;
Signal& Signal::operator=(const Signal& other) = default;
Signal::~Signal() = default;

void Signal::set_name(const std::string& name) {
    name_ = name;
    record_ = nullptr;
}
void Signal::clear_params() { params_.clear(); }
void Signal::add_params(float value) { params_.add_float(value); }
void Signal::add_params(std::int64_t value) { params_.add_int(value); }

namespace {

// Counts the nesting of rises; when the outermost one ends, the bus leaves the
// overflow state and removes what was disconnected meanwhile.
class RiseScope {
public:
    explicit RiseScope(BusState& state) : state_(state) { ++state_.depth; }
    ~RiseScope() {
        if (--state_.depth > 0) return;
        state_.overflowed = false;
        if (needs_compaction(state_)) compact(state_);
    }
    RiseScope(const RiseScope&) = delete;
    RiseScope& operator=(const RiseScope&) = delete;

private:
    BusState& state_;
};

[[gnu::cold]] void report_failed_slot(const SignalRecord& signal, const SlotRecord& target, const char* reason) {
    std::cerr << "Slot \"" << slot_name(target) << "\" failed during the rise of \"" << *signal.name << "\": " << reason
              << std::endl;
}

[[gnu::cold]] bool refuse_deep_rise(BusState& state, const std::string& name) {
    if (!state.overflowed)
        std::cerr << "Signal \"" << name << "\" not raised: rises nested deeper than " << max_rise_depth
                  << " levels (a slot keeps raising signals)" << std::endl;
    state.overflowed = true;
    return false;
}

// Kept out of rise() so that its common path, a known record and no
// parameters, stays short.
[[gnu::noinline]] SignalRecord* find_record(BusState& state, const std::string& name) {
    const auto found = state.signals.find(name);
    return found == state.signals.end() ? nullptr : &found->second;
}

[[gnu::noinline]] void copy_params(SlotArgs& args, const SlotArgs& params) { args = params; }

}  // namespace

bool Signal::rise() {
    BusState& state = bus();
    if (state.overflowed || state.depth >= max_rise_depth) [[unlikely]]
        return refuse_deep_rise(state, name_);
    if (record_ == nullptr || record_generation_ != state.generation) {
        record_ = find_record(state, name_);
        if (record_ == nullptr) return false;
        record_generation_ = state.generation;
    }
    SignalRecord& record = *static_cast<SignalRecord*>(record_);
    SlotArgs& args = state.frames[state.depth];
    // Most signals carry no parameters (a scene's new cycle, every frame):
    // an empty frame needs no copy.
    if (params_.int_count() != 0 || params_.float_count() != 0 || args.int_count() != 0 || args.float_count() != 0)
        copy_params(args, params_);
    // From here on nothing of *this is read: a slot may rename, refill or even
    // destroy this Signal while the rise goes on.
    RiseScope scope(state);

    const std::size_t count = record.targets.size();  // later connections wait for the next rise
    bool called = false;
    for (std::size_t i = 0; i < count; ++i) {
        const SlotRecord* target = record.targets[i];  // re-read: connect may have moved the vector
        if (target == nullptr || target->slot == nullptr) continue;
        called = true;
        // A slot's exception must not unwind through whoever raised the signal
        // (the scene library does not expect one) nor skip the later slots.
        try {
            target->slot->call(&args);
        } catch (const std::exception& error) {
            report_failed_slot(record, *target, error.what());
        } catch (...) {
            report_failed_slot(record, *target, "unknown exception");
        }
    }
    return called;
}
