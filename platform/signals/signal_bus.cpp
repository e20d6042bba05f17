#include "platform/signals/signal_bus.h"

#include <algorithm>
#include <iostream>

namespace signalbus {

namespace {

SlotRecord::Link* find_link(SlotRecord& slot, const SignalRecord* signal) {
    for (SlotRecord::Link& link : slot.links)
        if (link.signal == signal) return &link;
    return nullptr;
}

void remove_link(SlotRecord& slot, const SignalRecord* signal) {
    for (SlotRecord::Link& link : slot.links) {
        if (link.signal != signal) continue;
        link = slot.links.back();
        slot.links.pop_back();
        return;
    }
}

bool unused(const SlotRecord& record) { return record.slot == nullptr && record.links.empty(); }

// Removes the holes of one target list and renumbers the links into it.
void squeeze(SignalRecord& record) {
    std::size_t kept = 0;
    for (SlotRecord* target : record.targets) {
        if (target == nullptr) continue;
        find_link(*target, &record)->index = kept;
        record.targets[kept++] = target;
    }
    record.targets.resize(kept);
    record.holes = 0;
}

// The name is copied first: it is the key of the record being erased.
void erase_signal(BusState& state, const SignalRecord& record) {
    state.signals.erase(std::string(*record.name));
    ++state.generation;
}
void erase_slot(BusState& state, const SlotRecord& record) { state.slots.erase(std::string(*record.name)); }

// A hole was made in record's target list. Outside rises the list is
// squeezed once it is half holes, so each cut costs O(1) on average.
void signal_cut(BusState& state, SignalRecord& record) {
    if (state.depth > 0) {
        if (!record.pending) state.pending_signals.push_back(&record);
        record.pending = true;
        return;
    }
    if (record.holes == record.targets.size())
        erase_signal(state, record);
    else if (record.holes * 2 > record.targets.size())
        squeeze(record);
}

// The record may have lost its last use.
void slot_released(BusState& state, SlotRecord& record) {
    if (!unused(record)) return;
    if (state.depth > 0) {
        if (!record.pending) state.pending_slots.push_back(&record);
        record.pending = true;
        return;
    }
    erase_slot(state, record);
}

SlotRecord& intern_slot(BusState& state, const std::string& name) {
    auto [it, inserted] = state.slots.try_emplace(name);
    if (inserted) it->second.name = &it->first;
    return it->second;
}

SignalRecord& intern_signal(BusState& state, const std::string& name) {
    auto [it, inserted] = state.signals.try_emplace(name);
    if (inserted) {
        it->second.name = &it->first;
        ++state.generation;
    }
    return it->second;
}

}  // namespace

void compact(BusState& state) {
    for (SignalRecord* record : state.pending_signals) record->pending = false;
    for (SlotRecord* record : state.pending_slots) record->pending = false;
    std::vector<SignalRecord*> signals;
    std::vector<SlotRecord*> slots;
    signals.swap(state.pending_signals);
    slots.swap(state.pending_slots);
    if (state.reset_pending) {
        // Every record was emptied during a rise: look at all of them.
        state.reset_pending = false;
        signals.clear();
        slots.clear();
        for (auto& [name, record] : state.signals) signals.push_back(&record);
        for (auto& [name, record] : state.slots) slots.push_back(&record);
    }
    for (SignalRecord* record : signals) {
        if (record->holes > 0) squeeze(*record);
        if (record->targets.empty()) erase_signal(state, *record);
    }
    for (SlotRecord* record : slots)
        if (unused(*record)) erase_slot(state, *record);
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
    slot_released(state, it->second);
    return true;
}

bool connect(const std::string& signal, const std::string& slot) {
    BusState& state = bus();
    SlotRecord& target = intern_slot(state, slot);
    SignalRecord& record = intern_signal(state, signal);
    if (find_link(target, &record) != nullptr) return true;
    // Appended after the end index that a running rise walks to, so a rise
    // under way does not call it.
    target.links.push_back(SlotRecord::Link{&record, record.targets.size()});
    record.targets.push_back(&target);
    return true;
}

bool disconnect(const std::string& signal, const std::string& slot) {
    BusState& state = bus();
    const auto signal_it = state.signals.find(signal);
    const auto slot_it = state.slots.find(slot);
    if (signal_it == state.signals.end() || slot_it == state.slots.end()) return false;
    SignalRecord& record = signal_it->second;
    SlotRecord& target = slot_it->second;
    const SlotRecord::Link* link = find_link(target, &record);
    if (link == nullptr) return false;
    // A rise may be walking this list: leave a hole, squeezed out later.
    record.targets[link->index] = nullptr;
    ++record.holes;
    remove_link(target, &record);
    signal_cut(state, record);
    slot_released(state, target);
    return true;
}

bool signals_is_registered(const std::string& slot) {
    const BusState& state = bus();
    const auto it = state.slots.find(slot);
    return it != state.slots.end() && it->second.slot != nullptr;
}

bool signals_is_connected(const std::string& signal, const std::string& slot) {
    BusState& state = bus();
    const auto signal_it = state.signals.find(signal);
    const auto slot_it = state.slots.find(slot);
    if (signal_it == state.signals.end() || slot_it == state.slots.end()) return false;
    return find_link(slot_it->second, &signal_it->second) != nullptr;
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
        ++state.generation;
        return;
    }
    // A rise is walking these records: empty them now, free them when it ends.
    for (auto& [name, record] : state.slots) {
        record.slot = nullptr;
        record.links.clear();
    }
    for (auto& [name, record] : state.signals) {
        std::fill(record.targets.begin(), record.targets.end(), nullptr);
        record.holes = record.targets.size();
    }
    state.reset_pending = true;
}
