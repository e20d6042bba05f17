// The signal bus: slots are called in connection order, and slots that reshape
// the bus while a signal is being raised never make it call something gone.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "services/signals.h"
#include "tests/support/test_support.h"

namespace {

using Names = std::vector<std::string>;

class SignalBus : public ::testing::Test {
protected:
    void SetUp() override { signals_reset(); }
    void TearDown() override { signals_reset(); }

    // A slot that logs name, then runs body.
    AbstractSlot* slot(const std::string& name, std::function<void(SlotArgs*)> body = {}) {
        slots_.push_back(std::make_unique<testsupport::FunctionSlot>([this, name, body](SlotArgs* args) {
            log.push_back(name);
            if (body) body(args);
        }));
        return slots_.back().get();
    }
    // Registers such a slot under name and connects it to "sig".
    AbstractSlot* wire(const std::string& name, std::function<void(SlotArgs*)> body = {}) {
        register_slot(name, slot(name, std::move(body)));
        connect("sig", name);
        return slots_.back().get();
    }
    // The slots one rise of "sig" called, in order.
    Names rise() {
        log.clear();
        signal.rise();
        return log;
    }

    Names log;
    std::vector<std::unique_ptr<AbstractSlot>> slots_;
    Signal signal{"sig"};
};

TEST_F(SignalBus, CallsInConnectionOrderOnceAndCutsKeepTheRestInOrder) {
    for (const char* name : {"a", "b", "c", "d", "e", "f"}) wire(name);
    EXPECT_TRUE(connect("sig", "b"));
    EXPECT_EQ(rise(), (Names{"a", "b", "c", "d", "e", "f"})) << "a pair connected twice is called once";
    connect("other", "c");
    // Enough cuts to have the list squeezed, then cuts and joins after it.
    for (const char* name : {"b", "d", "a", "f"}) EXPECT_TRUE(disconnect("sig", name));
    EXPECT_FALSE(disconnect("sig", "a"));
    connect("sig", "b");  // made again: at the end
    connect("sig", "c");  // already there: stays in its place
    EXPECT_EQ(signals_connections("sig"), (Names{"c", "e", "b"}));
    EXPECT_TRUE(signals_is_connected("other", "c")) << "a cut on one signal leaves the slot's others";
    EXPECT_EQ(rise(), (Names{"c", "e", "b"}));
}

TEST_F(SignalBus, SlotsAreFoundByWholeNameAndConnectionsHoldByName) {
    Names names{"x", "x->", "x->->", "->", "x->a", "x-->a", "x->a->b", "y->a"}, kept;
    for (int i = 0; i < 20; ++i) names.push_back("g->" + std::to_string(i));
    for (const std::string& name : names) wire(name);
    EXPECT_EQ(rise(), names);
    for (std::size_t i = 0; i < names.size(); ++i)
        if (i % 2 == 0)
            EXPECT_TRUE(unregister_slot(names[i]) && !unregister_slot(names[i])) << names[i];
        else
            kept.push_back(names[i]);
    for (std::size_t i = 0; i < names.size(); ++i) EXPECT_EQ(signals_is_registered(names[i]), i % 2 == 1) << names[i];
    EXPECT_FALSE(signals_is_registered("x->b") || signals_is_registered("g->20"));
    EXPECT_EQ(rise(), kept);
    EXPECT_TRUE(signals_is_connected("sig", "x")) << "the connection holds by name";

    signals_reset();
    AbstractSlot* a = wire("a");
    EXPECT_TRUE(register_slot("a", slot("replacement")));
    EXPECT_FALSE(register_slot("a", nullptr)) << "a null slot is refused";
    EXPECT_EQ(rise(), (Names{"replacement"}));
    register_slot("a", a);
    connect("sig", "late");  // connected before it is registered
    register_slot("late", slot("late"));
    EXPECT_EQ(rise(), (Names{"a", "late"}));
}

// Slots that change the bus during a rise: the first rise, then the next.
TEST_F(SignalBus, SlotsReshapingTheBusDuringARise) {
    register_slot("added", slot("added"));
    register_slot("doomed", slot("doomed"));
    std::unique_ptr<AbstractSlot> doomed = std::move(slots_.back());
    AbstractSlot* replacement = slot("replacement");
    wire("a", [](SlotArgs*) { disconnect("sig", "a"); });
    wire("b", [](SlotArgs*) { disconnect("sig", "c"); });
    wire("c");
    wire("killer", [&](SlotArgs*) {
        unregister_slot("doomed");
        doomed.reset();  // the bus must not call this pointer any more
    });
    connect("sig", "doomed");
    wire("swap", [&](SlotArgs*) { register_slot("swapped", replacement); });
    wire("swapped");
    wire("join", [](SlotArgs*) { connect("sig", "added"); });
    bool first = true;
    wire("again", [&](SlotArgs*) {
        if (!std::exchange(first, false)) return;
        disconnect("sig", "last");
        connect("sig", "last");
    });
    wire("last");
    EXPECT_EQ(rise(), (Names{"a", "b", "killer", "swap", "replacement", "join", "again"}));
    EXPECT_EQ(rise(), (Names{"b", "killer", "swap", "replacement", "join", "again", "added", "last"}));
    EXPECT_FALSE(signals_is_registered("doomed"));

    wire("reset", [](SlotArgs*) { signals_reset(); });
    wire("after reset");
    EXPECT_EQ(rise().back(), "reset") << "nothing is called after a reset";
    EXPECT_FALSE(signal.rise());
}

TEST_F(SignalBus, SlotRaisingTheSignalThatCalledItIsBounded) {
    for (int rises : {1, 2}) {
        signals_reset();
        int calls = 0;
        wire("again", [&, rises](SlotArgs*) {
            ++calls;
            for (int i = 0; i < rises; ++i) signal.rise();
        });
        wire("after");
        testsupport::StderrCapture errors;
        EXPECT_TRUE(signal.rise());
        EXPECT_EQ(calls, 64) << "after the refusal no further nested rise may start";
        ASSERT_EQ(errors.lines().size(), 1u) << errors.text();
        EXPECT_NE(errors.text().find("\"sig\""), std::string::npos);
        calls = 0;
        rise();
        EXPECT_EQ(calls, 64) << "the bound resets once the outermost rise is over";
        EXPECT_EQ(std::count(log.begin(), log.end(), "after"), 64) << "every level goes on with its later slots";
    }
}

// Each rise reads its own parameters; a slot may refill or destroy the signal
// being raised, or throw, and the rise still calls the rest.
TEST_F(SignalBus, SlotsReadTheirOwnRisesParametersAndSurviveItsSignalAndThrows) {
    std::vector<std::int64_t> seen;
    auto owned = std::make_unique<Signal>("sig");
    wire("refill", [&](SlotArgs* args) {
        seen.push_back(args->get_int(0));
        if (seen.size() > 1) return;
        owned->clear_params();
        owned->add_params(std::int64_t{2});
        owned->rise();
        owned.reset();
    });
    wire("reader", [&](SlotArgs* args) { seen.push_back(args->get_int(0)), args->get_float(3); });
    owned->add_params(std::int64_t{1});
    testsupport::StderrCapture errors;
    owned->rise();
    EXPECT_EQ(seen, (std::vector<std::int64_t>{1, 2, 2, 1})) << "outer refill, inner refill and reader, outer reader";
    ASSERT_EQ(errors.lines().size(), 2u);
    EXPECT_EQ(errors.lines()[1].rfind("Slot \"reader\" failed during the rise of \"sig\": ", 0), 0u) << errors.text();
}

}  // namespace
