#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "services/export.h"

// Parameters of one raise of a signal: the 64-bit integers and the floats added
// since the last clear, each list in the order added. Reads are range-checked:
// a missing entry throws std::out_of_range.
class SERVICE_API SlotArgs {
public:
    void clear() { ints_.clear(); floats_.clear(); }
    void add_int(std::int64_t value) { ints_.push_back(value); }
    void add_float(float value) { floats_.push_back(value); }

    std::int64_t get_int(std::size_t index) const { return ints_.at(index); }
    float get_float(std::size_t index) const { return floats_.at(index); }
    std::size_t int_count() const { return ints_.size(); }
    std::size_t float_count() const { return floats_.size(); }

private:
    std::vector<std::int64_t> ints_;
    std::vector<float> floats_;
};

// Anything that can be registered with the bus as a slot. The bus holds the
// pointer between register_slot and unregister_slot; the slot object stays its
// owner's, who must unregister it before destroying it.
class SERVICE_API AbstractSlot {
public:
    virtual bool call(SlotArgs*) {
        std::fputs("Impossible happened!\n", stderr);
        return true;
    }
    virtual ~AbstractSlot() = default;
};

// A named signal. rise() calls, synchronously and in connection order, every
// slot registered under a slot name connected to the signal's current name.
// Changes to the bus made by a slot during a rise take effect safely: a slot
// disconnected or unregistered meanwhile is not called after that moment, and
// a connection made meanwhile is called from the next rise on.
class SERVICE_API Signal {
public:
    explicit Signal(const std::string& name = "");
    Signal(const Signal& other);
    Signal& operator=(const Signal& other);
    ~Signal();

    void set_name(const std::string& name);
    const std::string& get_name() const { return name_; }

    void clear_params();
    void add_params(float value);
    void add_params(std::int64_t value);
    const SlotArgs& get_params() const { return params_; }

    // True when at least one slot was called. Rises nested deeper than a fixed
    // bound (a slot that keeps raising the signal that called it) are refused
    // with a line on the error stream and return false.
    bool rise();

private:
    std::string name_;
    SlotArgs params_;
    // The bus's record of name_ as the last rise found it, and the bus's
    // count of record changes then: a signal raised every frame skips the
    // lookup by name until records are added or dropped.
    void* record_ = nullptr;
    std::uint64_t record_generation_ = 0;
};

// Slot names and signal names are plain strings; every call accepts repeats.
// register_slot under a name already registered replaces the pointer.
SERVICE_API bool register_slot(const std::string& name, AbstractSlot* slot);
SERVICE_API bool unregister_slot(const std::string& name);
// A pair connected twice is held (and called) once.
SERVICE_API bool connect(const std::string& signal, const std::string& slot);
SERVICE_API bool disconnect(const std::string& signal, const std::string& slot);

// Introspection for hosts, tools and tests.
SERVICE_API bool signals_is_registered(const std::string& slot);
SERVICE_API bool signals_is_connected(const std::string& signal, const std::string& slot);
// Slot names connected to a signal, in calling order.
SERVICE_API std::vector<std::string> signals_connections(const std::string& signal);
// Forgets every slot and connection (tests and hosts that restart).
SERVICE_API void signals_reset();
