#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "services/signals.h"
#include "tests/support/test_support.h"

namespace {

// A slot that runs a test's lambda; every call is logged under its name.
class TestSlot : public AbstractSlot {
public:
    TestSlot(std::string name, std::vector<std::string>& log, std::function<void(SlotArgs*)> body = {})
        : name_(std::move(name)), log_(log), body_(std::move(body)) {}
    bool call(SlotArgs* args) override {
        log_.push_back(name_);
        if (body_) body_(args);
        return true;
    }

private:
    std::string name_;
    std::vector<std::string>& log_;
    std::function<void(SlotArgs*)> body_;
};

class SignalBus : public ::testing::Test {
protected:
    void SetUp() override { signals_reset(); }
    void TearDown() override { signals_reset(); }

    // Registers a logging slot under name and connects it to "sig".
    TestSlot& wire(const std::string& name, std::function<void(SlotArgs*)> body = {}) {
        slots_.push_back(std::make_unique<TestSlot>(name, log, std::move(body)));
        register_slot(name, slots_.back().get());
        connect("sig", name);
        return *slots_.back();
    }

    std::vector<std::string> log;
    std::vector<std::unique_ptr<TestSlot>> slots_;
    Signal signal{"sig"};
};

using Names = std::vector<std::string>;

TEST_F(SignalBus, CallsInConnectionOrderAndAPairConnectedTwiceOnce) {
    wire("a");
    wire("b");
    wire("c");
    EXPECT_TRUE(connect("sig", "b"));
    EXPECT_TRUE(signal.rise());
    EXPECT_EQ(log, (Names{"a", "b", "c"}));
    EXPECT_EQ(signals_connections("sig"), (Names{"a", "b", "c"}));

    // Cut and made again outside a rise: the pair moves to the end.
    EXPECT_TRUE(disconnect("sig", "a"));
    EXPECT_FALSE(disconnect("sig", "a"));
    connect("sig", "a");
    log.clear();
    signal.rise();
    EXPECT_EQ(log, (Names{"b", "c", "a"}));
}

TEST_F(SignalBus, NamesStayWholeWhateverTheirArrowsAndHowManyShareAPrefix) {
    Names names{"x", "x->", "x->->", "->", "x->a", "x-->a", "x->a->b", "y->a"};
    for (int i = 0; i < 40; ++i) names.push_back("g->" + std::to_string(i));
    for (const std::string& name : names) wire(name);
    signal.rise();
    EXPECT_EQ(log, names);
    EXPECT_EQ(signals_connections("sig"), names);

    // Every other one unregistered and cut: its record goes, the rest stay.
    Names kept;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i % 2 == 1) {
            kept.push_back(names[i]);
            continue;
        }
        EXPECT_TRUE(unregister_slot(names[i])) << names[i];
        EXPECT_TRUE(disconnect("sig", names[i])) << names[i];
    }
    for (std::size_t i = 0; i < names.size(); ++i) EXPECT_EQ(signals_is_registered(names[i]), i % 2 == 1) << names[i];
    EXPECT_FALSE(signals_is_registered("x->b"));
    EXPECT_FALSE(signals_is_registered("g->40"));
    log.clear();
    signal.rise();
    EXPECT_EQ(log, kept);
    EXPECT_EQ(signals_connections("sig"), kept);
}

TEST_F(SignalBus, ManyCutsKeepTheOrderOfWhatStaysConnected) {
    for (const char* name : {"a", "b", "c", "d", "e", "f"}) wire(name);
    connect("other", "c");
    // Enough cuts to have the list squeezed, then cuts and joins after it.
    for (const char* name : {"b", "d", "a", "f"}) EXPECT_TRUE(disconnect("sig", name));
    EXPECT_EQ(signals_connections("sig"), (Names{"c", "e"}));
    connect("sig", "b");
    EXPECT_TRUE(disconnect("sig", "e"));
    EXPECT_FALSE(disconnect("sig", "e"));
    connect("sig", "c");  // already there: stays in its place
    EXPECT_EQ(signals_connections("sig"), (Names{"c", "b"}));
    EXPECT_TRUE(signals_is_connected("other", "c")) << "a cut on one signal leaves the slot's others";
    EXPECT_FALSE(signals_is_connected("sig", "e"));
    signal.rise();
    EXPECT_EQ(log, (Names{"c", "b"}));

    for (const char* name : {"c", "b"}) EXPECT_TRUE(disconnect("sig", name));
    EXPECT_TRUE(signals_connections("sig").empty());
    EXPECT_FALSE(signal.rise()) << "nothing left to call";
    connect("sig", "d");
    EXPECT_EQ(signals_connections("sig"), (Names{"d"}));
}

TEST_F(SignalBus, RisesOnlyUnderTheCurrentName) {
    wire("a");
    Signal other("other");
    EXPECT_FALSE(other.rise()) << "no slot connected";
    other.set_name("sig");
    EXPECT_TRUE(other.rise());
    Signal copy(other);
    copy.rise();
    EXPECT_EQ(log, (Names{"a", "a"}));

    // Raised, then its connections dropped and made anew: the rise finds the
    // connections of now, not those it saw the last time.
    EXPECT_TRUE(disconnect("sig", "a"));
    EXPECT_FALSE(copy.rise());
    wire("b");
    log.clear();
    EXPECT_TRUE(copy.rise());
    other.set_name("elsewhere");
    EXPECT_FALSE(other.rise());
    signals_reset();
    EXPECT_FALSE(copy.rise());
    EXPECT_EQ(log, (Names{"b"}));
}

TEST_F(SignalBus, RegisteringANameAgainReplacesTheSlot) {
    wire("a");
    TestSlot replacement("replacement", log);
    EXPECT_TRUE(register_slot("a", &replacement));
    signal.rise();
    EXPECT_EQ(log, (Names{"replacement"}));
    EXPECT_FALSE(register_slot("a", nullptr)) << "a null slot is refused";
    log.clear();
    signal.rise();
    EXPECT_EQ(log, (Names{"replacement"})) << "the refused call changed nothing";
}

TEST_F(SignalBus, UnregisteredSlotIsNotCalledButItsConnectionHoldsByName) {
    TestSlot& a = wire("a");
    EXPECT_TRUE(unregister_slot("a"));
    EXPECT_FALSE(unregister_slot("a"));
    EXPECT_FALSE(signals_is_registered("a"));
    EXPECT_FALSE(signal.rise());
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(signals_is_connected("sig", "a"));

    register_slot("a", &a);
    connect("sig", "late");  // connected before it is registered
    TestSlot late("late", log);
    register_slot("late", &late);
    EXPECT_TRUE(signal.rise());
    EXPECT_EQ(log, (Names{"a", "late"}));
}

TEST_F(SignalBus, SlotDisconnectingItselfOrALaterSlotDuringARise) {
    wire("a", [](SlotArgs*) { disconnect("sig", "a"); });
    wire("b", [](SlotArgs*) { disconnect("sig", "c"); });
    wire("c");
    wire("d");
    signal.rise();
    EXPECT_EQ(log, (Names{"a", "b", "d"}));
    EXPECT_EQ(signals_connections("sig"), (Names{"b", "d"}));
    log.clear();
    signal.rise();
    EXPECT_EQ(log, (Names{"b", "d"}));
}

TEST_F(SignalBus, SlotUnregisteringAndDestroyingALaterSlotDuringARise) {
    std::unique_ptr<TestSlot> doomed = std::make_unique<TestSlot>("doomed", log);
    wire("killer", [&](SlotArgs*) {
        unregister_slot("doomed");
        doomed.reset();  // the bus must not call this pointer any more
    });
    register_slot("doomed", doomed.get());
    connect("sig", "doomed");
    wire("after");
    signal.rise();
    EXPECT_EQ(log, (Names{"killer", "after"}));
    EXPECT_FALSE(signals_is_registered("doomed"));
}

TEST_F(SignalBus, SlotReRegisteredDuringARiseIsCalledThroughItsNewPointer) {
    TestSlot replacement("replacement", log);
    wire("first", [&](SlotArgs*) { register_slot("second", &replacement); });
    wire("second");
    signal.rise();
    EXPECT_EQ(log, (Names{"first", "replacement"}));
}

TEST_F(SignalBus, ConnectionMadeDuringARiseIsCalledFromTheNextRiseOn) {
    TestSlot added("added", log);
    register_slot("added", &added);
    wire("a", [](SlotArgs*) { connect("sig", "added"); });
    signal.rise();
    EXPECT_EQ(log, (Names{"a"}));
    log.clear();
    signal.rise();
    EXPECT_EQ(log, (Names{"a", "added"}));
}

TEST_F(SignalBus, SlotCutAndMadeAgainDuringARiseWaitsForTheNextRise) {
    bool first = true;
    wire("a", [&](SlotArgs*) {
        if (!first) return;
        first = false;
        disconnect("sig", "b");
        connect("sig", "b");
    });
    wire("b");
    wire("c");
    signal.rise();
    EXPECT_EQ(log, (Names{"a", "c"}));
    EXPECT_EQ(signals_connections("sig"), (Names{"a", "c", "b"})) << "held once, at the end";
    log.clear();
    signal.rise();
    EXPECT_EQ(log, (Names{"a", "c", "b"}));
}

TEST_F(SignalBus, ResetDuringARiseCallsNothingMore) {
    wire("a", [](SlotArgs*) { signals_reset(); });
    wire("b");
    signal.rise();
    EXPECT_EQ(log, (Names{"a"}));
    EXPECT_TRUE(signals_connections("sig").empty());
    EXPECT_FALSE(signal.rise());
}

TEST_F(SignalBus, SlotRaisingTheSignalThatCalledItIsBounded) {
    int calls = 0;
    wire("again", [&](SlotArgs*) {
        ++calls;
        signal.rise();
    });
    wire("after");
    testsupport::StderrCapture errors;
    EXPECT_TRUE(signal.rise());
    EXPECT_EQ(calls, 64);
    ASSERT_EQ(errors.lines().size(), 1u) << errors.text();
    EXPECT_NE(errors.text().find("\"sig\""), std::string::npos);
    EXPECT_EQ(std::count(log.begin(), log.end(), "after"), 64) << "every level goes on with its later slots";

    log.clear();
    calls = 0;
    signal.rise();
    EXPECT_EQ(calls, 64) << "the bound resets once the outermost rise is over";
}

TEST_F(SignalBus, SlotRaisingTwiceStillEndsQuickly) {
    int calls = 0;
    wire("twice", [&](SlotArgs*) {
        ++calls;
        signal.rise();
        signal.rise();
    });
    testsupport::StderrCapture errors;
    signal.rise();
    EXPECT_EQ(calls, 64) << "after the refusal no further nested rise may start";
    EXPECT_EQ(errors.lines().size(), 1u);
}

TEST_F(SignalBus, SlotsSeeTheParametersInOrderAndMissingOnesThrow) {
    std::vector<std::int64_t> ints;
    std::vector<float> floats;
    bool threw = false;
    wire("reader", [&](SlotArgs* args) {
        for (std::size_t i = 0; i < args->int_count(); ++i) ints.push_back(args->get_int(i));
        for (std::size_t i = 0; i < args->float_count(); ++i) floats.push_back(args->get_float(i));
        try {
            args->get_int(args->int_count());
        } catch (const std::out_of_range&) {
            threw = true;
        }
    });
    signal.add_params(std::int64_t{7});
    signal.add_params(1.5f);
    signal.add_params(std::int64_t{-3});
    signal.rise();
    EXPECT_EQ(ints, (std::vector<std::int64_t>{7, -3}));
    EXPECT_EQ(floats, (std::vector<float>{1.5f}));
    EXPECT_TRUE(threw);

    signal.clear_params();
    ints.clear();
    signal.rise();
    EXPECT_TRUE(ints.empty());
}

TEST_F(SignalBus, NestedRiseOfTheSameSignalLeavesTheOuterParametersAlone) {
    std::vector<std::int64_t> seen;
    bool nested = false;
    wire("refill", [&](SlotArgs* args) {
        seen.push_back(args->get_int(0));
        if (nested) return;
        nested = true;
        signal.clear_params();
        signal.add_params(std::int64_t{2});
        signal.rise();
    });
    wire("later", [&](SlotArgs* args) { seen.push_back(args->get_int(0)); });
    signal.add_params(std::int64_t{1});
    signal.rise();
    // outer refill, inner refill, inner later, outer later
    EXPECT_EQ(seen, (std::vector<std::int64_t>{1, 2, 2, 1}));
}

TEST_F(SignalBus, SignalDestroyedByItsOwnSlotFinishesTheRise) {
    auto owned = std::make_unique<Signal>("sig");
    wire("destroyer", [&](SlotArgs*) { owned.reset(); });
    wire("after");
    owned->add_params(std::int64_t{5});
    Signal* raw = owned.get();
    raw->rise();
    EXPECT_EQ(log, (Names{"destroyer", "after"}));
}

TEST_F(SignalBus, ThrowingSlotIsReportedAndLaterSlotsStillRun) {
    wire("reader", [](SlotArgs* args) { args->get_float(3); });
    wire("after");
    testsupport::StderrCapture errors;
    EXPECT_NO_THROW(signal.rise());
    EXPECT_EQ(log, (Names{"reader", "after"}));
    ASSERT_EQ(errors.lines().size(), 1u);
    EXPECT_NE(errors.text().find("\"reader\""), std::string::npos);
    EXPECT_NE(errors.text().find("\"sig\""), std::string::npos);
}

}  // namespace
