#pragma once

#include "services/signals.h"

// A slot bound to a member operation of an owner. Calling it calls the member
// on the owner (through its virtual table when the member is virtual) with the
// arguments untouched. The owner is not owned and must outlive the slot's
// registration with the bus.
template <class T, class F = bool (T::*)(SlotArgs*)>
class Slot : public AbstractSlot {
public:
    Slot(T* owner, F member) : owner_(owner), member_(member) {}

    bool call(SlotArgs* args) override { return (owner_->*member_)(args); }

    T* get_owner() const { return owner_; }

private:
    T* owner_;
    F member_;
};
