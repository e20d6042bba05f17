#pragma once

// Internal state of the signal bus, shared by the registration functions and
// Signal::rise. Not part of the services' interface.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "services/signals.h"

namespace signalbus {

// Rises nested deeper than this are refused: a slot that keeps raising the
// signal that called it would otherwise exhaust the stack.
inline constexpr int max_rise_depth = 64;

struct SignalRecord;
struct SlotGroup;

// One slot name, interned. Connections point at the record, not at the slot,
// so that unregistering (slot = null) or registering again is seen by a rise
// already under way just before it calls the slot.
//
// A name is kept in two parts: everything before its last "->", shared by
// the record's group, and the ending after it (an object's slots differ only
// there: "scene->object->_on_activate"), kept once for all the records that
// end so (BusState::endings). A name without "->" is a group of its own with
// an empty ending.
struct SlotRecord {
    // Where the slot stands in one signal's target list. A slot is connected
    // to few signals while a signal may reach thousands of slots (every
    // object of a scene listens to its reinit signal), so connect and
    // disconnect go through these links instead of searching the targets.
    struct Link {
        SignalRecord* signal;
        std::size_t index;
    };

    SlotGroup* group = nullptr;
    const std::string* ending = nullptr;  // a key of BusState::endings
    bool separated = false;  // the name has "->" before the ending
    bool pending = false;    // listed in BusState::pending_slots
    AbstractSlot* slot = nullptr;
    std::vector<Link> links;  // one per signal the slot is connected to
};

// The slot records whose names share everything before their last "->": the
// slots of one object, registered together. The object's first slot finds
// the group in the bus's table; the others find it where the first left it,
// in the caches, instead of each looking through a table of every slot name.
//
// A group is searched from end to end while it is small; a large one (a host
// naming many slots "game->enemy1", "game->enemy2"...) gets an index of its
// endings.
struct SlotGroup {
    const std::string* prefix = nullptr;  // the key of this group in BusState::slot_groups
    std::vector<std::unique_ptr<SlotRecord>> records;  // unordered
    SlotRecord* whole = nullptr;  // the record of the prefix itself as a name (no "->"), if any
    std::unique_ptr<std::unordered_map<std::string_view, SlotRecord*>> index;  // endings of the others, when large
};

// The full name of a slot record.
std::string slot_name(const SlotRecord& record);

// The slots connected to one signal name, in calling order. A disconnected
// entry becomes null instead of being erased, so the indices a running rise
// walks and the links stay valid; compaction removes the nulls later.
struct SignalRecord {
    const std::string* name = nullptr;  // the key of this record in BusState::signals
    std::vector<SlotRecord*> targets;
    std::size_t holes = 0;  // null entries in targets
    bool pending = false;   // listed in BusState::pending_signals
};

// Records are erased only while no rise runs (depth == 0); unordered_map keeps
// the addresses of its elements across rehashing, so the pointers above stay
// valid for as long as the record exists.
struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};

struct BusState {
    std::unordered_map<std::string, SlotGroup, TextHash, std::equal_to<>> slot_groups;
    // The endings of slot names, each with the number of records ending so.
    std::unordered_map<std::string, std::size_t, TextHash, std::equal_to<>> endings;
    std::unordered_map<std::string, SignalRecord> signals;
    int depth = 0;
    // Counts additions and removals of signal records, so that a Signal can
    // keep the record its last rise found for as long as this is unchanged.
    std::uint64_t generation = 1;
    // Set when a rise was refused for depth; every further rise is refused
    // until the outermost one returns, so a slot raising signals more than once
    // cannot turn the refusal into an exponential number of calls.
    bool overflowed = false;
    // Records changed during a rise, tidied when the outermost rise ends.
    std::vector<SignalRecord*> pending_signals;
    std::vector<SlotRecord*> pending_slots;
    bool reset_pending = false;  // signals_reset ran during a rise: tidy every record
    // The parameters each rise hands its slots, one per nesting level: a copy
    // taken when the rise starts, reused so that a rise does not allocate.
    SlotArgs frames[max_rise_depth];
};

// The one bus of the process. Never destroyed, so slots may still be
// unregistered from static destructors. Inline: every rise starts here.
inline BusState& bus() {
    static BusState* const state = new BusState;
    return *state;
}

// Tidies what changed during the rises that just ended: removes holes,
// unused signal records and unused slot records. Only while no rise runs.
void compact(BusState& state);
inline bool needs_compaction(const BusState& state) {
    return state.reset_pending || !state.pending_signals.empty() || !state.pending_slots.empty();
}

}  // namespace signalbus
