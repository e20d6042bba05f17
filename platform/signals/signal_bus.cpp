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
void erase_slot(BusState& state, const SlotRecord& record) {
    SlotGroup& group = *record.group;
    if (group.whole == &record) group.whole = nullptr;
    if (group.index && record.separated) group.index->erase(*record.ending);
    const auto ending = state.endings.find(*record.ending);
    if (--ending->second == 0) state.endings.erase(ending);
    auto& records = group.records;
    for (auto& held : records) {
        if (held.get() != &record) continue;
        held = std::move(records.back());
        records.pop_back();
        break;
    }
    if (records.empty()) state.slot_groups.erase(std::string(*group.prefix));
}

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

struct NameParts {
    std::string_view prefix, ending;
    bool separated;
};

NameParts split_name(const std::string& name) {
    const std::size_t arrow = name.rfind("->");
    if (arrow == std::string::npos) return {name, {}, false};
    const std::string_view whole = name;
    return {whole.substr(0, arrow), whole.substr(arrow + 2), true};
}

// Groups larger than this index their endings.
constexpr std::size_t group_scan_limit = 16;

SlotRecord* find_in_group(SlotGroup& group, const NameParts& parts) {
    if (!parts.separated) return group.whole;
    if (group.index) {
        const auto found = group.index->find(parts.ending);
        return found == group.index->end() ? nullptr : found->second;
    }
    for (const auto& record : group.records)
        if (record->separated && *record->ending == parts.ending) return record.get();
    return nullptr;
}

void add_to_group(SlotGroup& group, std::unique_ptr<SlotRecord> record) {
    SlotRecord* added = record.get();
    group.records.push_back(std::move(record));
    if (!added->separated) {
        group.whole = added;
        return;
    }
    if (group.index) {
        group.index->emplace(*added->ending, added);
    } else if (group.records.size() > group_scan_limit) {
        group.index = std::make_unique<std::unordered_map<std::string_view, SlotRecord*>>();
        for (const auto& held : group.records)
            if (held->separated) group.index->emplace(*held->ending, held.get());
    }
}

SlotRecord* find_slot(BusState& state, const std::string& name) {
    const NameParts parts = split_name(name);
    const auto group = state.slot_groups.find(parts.prefix);
    return group == state.slot_groups.end() ? nullptr : find_in_group(group->second, parts);
}

SlotRecord& intern_slot(BusState& state, const std::string& name) {
    const NameParts parts = split_name(name);
    auto group = state.slot_groups.find(parts.prefix);
    if (group == state.slot_groups.end()) {
        group = state.slot_groups.emplace(std::string(parts.prefix), SlotGroup{}).first;
        group->second.prefix = &group->first;
    }
    SlotGroup& slots = group->second;
    if (SlotRecord* found = find_in_group(slots, parts)) return *found;
    auto record = std::make_unique<SlotRecord>();
    record->group = &slots;
    auto ending = state.endings.find(parts.ending);
    if (ending == state.endings.end()) ending = state.endings.emplace(std::string(parts.ending), 0).first;
    ++ending->second;
    record->ending = &ending->first;
    record->separated = parts.separated;
    SlotRecord& added = *record;
    add_to_group(slots, std::move(record));
    return added;
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

std::string slot_name(const SlotRecord& record) {
    return record.separated ? *record.group->prefix + "->" + *record.ending : *record.group->prefix;
}

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
        for (auto& [prefix, group] : state.slot_groups)
            for (auto& record : group.records) slots.push_back(record.get());
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
    SlotRecord* record = find_slot(state, name);
    if (record == nullptr || record->slot == nullptr) return false;
    record->slot = nullptr;
    slot_released(state, *record);
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
    SlotRecord* slot_record = find_slot(state, slot);
    if (signal_it == state.signals.end() || slot_record == nullptr) return false;
    SignalRecord& record = signal_it->second;
    SlotRecord& target = *slot_record;
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
    const SlotRecord* record = find_slot(bus(), slot);
    return record != nullptr && record->slot != nullptr;
}

bool signals_is_connected(const std::string& signal, const std::string& slot) {
    BusState& state = bus();
    const auto signal_it = state.signals.find(signal);
    SlotRecord* record = find_slot(state, slot);
    if (signal_it == state.signals.end() || record == nullptr) return false;
    return find_link(*record, &signal_it->second) != nullptr;
}

std::vector<std::string> signals_connections(const std::string& signal) {
    std::vector<std::string> names;
    const BusState& state = bus();
    const auto it = state.signals.find(signal);
    if (it == state.signals.end()) return names;
    for (const SlotRecord* target : it->second.targets)
        if (target != nullptr) names.push_back(slot_name(*target));
    return names;
}

void signals_reset() {
    BusState& state = bus();
    if (state.depth == 0) {
        state.signals.clear();
        state.slot_groups.clear();
        state.endings.clear();
        ++state.generation;
        return;
    }
    // A rise is walking these records: empty them now, free them when it ends.
    for (auto& [prefix, group] : state.slot_groups)
        for (auto& record : group.records) {
            record->slot = nullptr;
            record->links.clear();
        }
    for (auto& [name, record] : state.signals) {
        std::fill(record.targets.begin(), record.targets.end(), nullptr);
        record.holes = record.targets.size();
    }
    state.reset_pending = true;
}
