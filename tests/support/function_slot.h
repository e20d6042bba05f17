#pragma once

#include <functional>
#include <utility>

#include "services/signals.h"

namespace testsupport {

// A slot that runs a function: lets a test react to a signal inline.
class FunctionSlot : public AbstractSlot {
public:
    explicit FunctionSlot(std::function<bool(SlotArgs*)> body) : body_(std::move(body)) {}
    bool call(SlotArgs* args) override { return body_(args); }

private:
    std::function<bool(SlotArgs*)> body_;
};

}  // namespace testsupport
