#include "platform/signals/signal_bus.h"

#include <algorithm>
#include <iostream>

namespace signalbus {

BusState& bus() {
    static BusState* const state = new BusState;
    return *state;
}

namespace {

// Erases a slot record that nothing refers to any more, outside rises only.
void drop_if_unused(BusState& state, std::unordered_map<std::string, SlotRecord>::iterator it) {
    if (state.depth == 0 && it->second.slot == nullptr && it->second.connections == 0) state.slots.erase(it);
}

SlotRecord& intern_slot(BusState& state, const std::string& name) {
    auto [it, inserted] = state.slots.try_emplace(name);
    if (inserted) it->second.name = &it->first;
    return it->second;
}

}  // namespace

void compact(BusState& state) {
    for (auto it = state.signals.begin(); it != state.signals.end();) {
        auto& targets = it->second.targets;
        if (it->second.has_holes) {
            targets.erase(std::remove(targets.begin(), targets.end(), nullptr), targets.end());
            it->second.has_holes = false;
        }
        it = targets.empty() ? state.signals.erase(it) : std::next(it);
    }
    for (auto it = state.slots.begin(); it != state.slots.end();) {
        const bool unused = it->second.slot == nullptr && it->second.connections == 0;
        it = unused ? state.slots.erase(it) : std::next(it);
    }
    state.needs_compaction = false;
}

}  // namespace signalbus

using namespace signalbus;

bool register_slot(const std::string& name, AbstractSlot* slot) {
    if (slot == nullptr) {
        std::cerr << "register_slot: slot \"" << name << "\" refused: the slot pointer is null" << std::endl;
        return false;
    }
    intern_slot(bus(), name).slot = slot;
    return true;
}

bool unregister_slot(const std::string& name) {
    BusState& state = bus();
    const auto it = state.slots.find(name);
    if (it == state.slots.end() || it->second.slot == nullptr) return false;
    it->second.slot = nullptr;
    drop_if_unused(state, it);
    return true;
}

bool connect(const std::string& signal, const std::string& slot) {
    BusState& state = bus();
    SlotRecord& record = intern_slot(state, slot);
    auto& targets = state.signals[signal].targets;
    if (std::find(targets.begin(), targets.end(), &record) != targets.end()) return true;
    // Appended after the end index that a running rise walks to, so a rise
    // under way does not call it.
    targets.push_back(&record);
    ++record.connections;
    return true;
}

bool disconnect(const std::string& signal, const std::string& slot) {
    BusState& state = bus();
    const auto signal_it = state.signals.find(signal);
    const auto slot_it = state.slots.find(slot);
    if (signal_it == state.signals.end() || slot_it == state.slots.end()) return false;
    auto& targets = signal_it->second.targets;
    const auto entry = std::find(targets.begin(), targets.end(), &slot_it->second);
    if (entry == targets.end()) return false;
    --slot_it->second.connections;
    if (state.depth > 0) {
        *entry = nullptr;  // a rise may be walking this list: leave a hole
        signal_it->second.has_holes = true;
        state.needs_compaction = true;
        return true;
    }
    targets.erase(entry);
    if (targets.empty()) state.signals.erase(signal_it);
    drop_if_unused(state, slot_it);
    return true;
}

bool signals_is_registered(const std::string& slot) {
    const BusState& state = bus();
    const auto it = state.slots.find(slot);
    return it != state.slots.end() && it->second.slot != nullptr;
}

bool signals_is_connected(const std::string& signal, const std::string& slot) {
    const BusState& state = bus();
    const auto signal_it = state.signals.find(signal);
    const auto slot_it = state.slots.find(slot);
    if (signal_it == state.signals.end() || slot_it == state.slots.end()) return false;
    const auto& targets = signal_it->second.targets;
    return std::find(targets.begin(), targets.end(), &slot_it->second) != targets.end();
}

std::vector<std::string> signals_connections(const std::string& signal) {
    std::vector<std::string> names;
    const BusState& state = bus();
    const auto it = state.signals.find(signal);
    if (it == state.signals.end()) return names;
    for (const SlotRecord* target : it->second.targets)
        if (target != nullptr) names.push_back(*target->name);
    return names;
}

void signals_reset() {
    BusState& state = bus();
    if (state.depth == 0) {
        state.signals.clear();
        state.slots.clear();
        return;
    }
    // A rise is walking these records: empty them now, free them when it ends.
    for (auto& [name, record] : state.slots) {
        record.slot = nullptr;
        record.connections = 0;
    }
    for (auto& [name, record] : state.signals) {
        std::fill(record.targets.begin(), record.targets.end(), nullptr);
        record.has_holes = true;
    }
    state.needs_compaction = true;
}
