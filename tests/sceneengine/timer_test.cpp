// Timers on the manual clock: when they fire, with what, and how often.

#include <cfloat>
#include <cmath>

#include "sceneengine/sceneobjects/timer.h"
#include "services/time.h"
#include "tests/sceneengine/object_fixture.h"

using objecttest::ObjectTest;
using objecttest::RecordingSlot;

namespace {

class TimerTest : public ObjectTest {
protected:
    void SetUp() override {
        ObjectTest::SetUp();
        time_use_manual_clock(true);
    }
    void TearDown() override {
        time_use_manual_clock(false);
        ObjectTest::TearDown();
    }

    // Loads the timer "t1" with the given keys under "Timer->" and listens to
    // its time-out signal.
    void load_timer(const std::string& timer_keys) {
        configure("Objects:\n  t1:\n    Timer: {" + timer_keys + "}\n");
        ASSERT_TRUE(load(timer, "t1")) << timer._get_error();
        listen(scene + "->t1->time_out", listener);
    }

    void listen(const std::string& signal, RecordingSlot& slot) {
        const std::string name = "listener " + signal;
        register_slot(name, &slot);
        connect(signal, name);
    }

    // Advances the clock, then gives the timer one new cycle.
    bool cycle_after(double seconds) {
        time_advance(seconds);
        return timer.slot__on_new_cycle(nullptr);
    }

    Timer timer;
    RecordingSlot listener;
};

TEST_F(TimerTest, OneShotByDefaultFiresOnceWithTheElapsedTime) {
    load_timer("");
    EXPECT_EQ(timer._get_time(), 1.0f);
    EXPECT_FALSE(timer._get_repeat());
    EXPECT_FALSE(cycle_after(0.5));
    EXPECT_TRUE(listener.calls.empty());
    EXPECT_FALSE(cycle_after(0.75));  // fired, and the slot still answers false
    ASSERT_EQ(listener.calls.size(), 1u);
    ASSERT_EQ(listener.calls[0].size(), 1u);
    EXPECT_FLOAT_EQ(listener.calls[0][0], 1.25f);

    EXPECT_EQ(timer._get_time(), 3.4028235e+38f);
    EXPECT_EQ(timer._get_time(), FLT_MAX);
    for (int i = 0; i < 5; ++i) cycle_after(1e6);
    EXPECT_EQ(listener.calls.size(), 1u);
}

TEST_F(TimerTest, OnlyTheExactWordTrueRepeats) {
    for (const char* value : {"True", "1", "yes", "'true '"}) {
        signals_reset();
        config_remove(config);
        Timer one_shot;
        configure(std::string("Objects: {t1: {Timer: {time: 0.5, repeat: ") + value + "}}}\n");
        ASSERT_TRUE(load(one_shot, "t1"));
        EXPECT_FALSE(one_shot._get_repeat()) << value;
        time_advance(1.0);
        one_shot._on_new_cycle_handler();
        EXPECT_EQ(one_shot._get_time(), FLT_MAX) << value;
    }
}

TEST_F(TimerTest, RepeatingTimerMeasuresAgainFromEachFiring) {
    load_timer("time: 0.5, repeat: 'true'");
    cycle_after(0.5);
    cycle_after(0.25);
    cycle_after(0.3);   // 0.55 since the last firing
    cycle_after(0.49);  // not yet: lateness does not carry over
    ASSERT_EQ(listener.calls.size(), 2u);
    EXPECT_FLOAT_EQ(listener.calls[0][0], 0.5f);
    EXPECT_FLOAT_EQ(listener.calls[1][0], 0.55f);
    EXPECT_EQ(timer._get_time(), 0.5f);
}

TEST_F(TimerTest, SlotCalledRarelyFiresOncePerCallWithTheWholeElapsedTime) {
    load_timer("time: 1, repeat: 'true'");
    cycle_after(3.5);
    cycle_after(2.25);
    ASSERT_EQ(listener.calls.size(), 2u);
    EXPECT_FLOAT_EQ(listener.calls[0][0], 3.5f);
    EXPECT_FLOAT_EQ(listener.calls[1][0], 2.25f);
}

TEST_F(TimerTest, TimeThatIsNoNumberFiresAtEveryCallButNaNNever) {
    load_timer("time: soon, repeat: 'true'");
    EXPECT_EQ(timer._get_time(), 0.0f);
    timer.slot__on_new_cycle(nullptr);
    timer.slot__on_new_cycle(nullptr);
    cycle_after(0.125);
    ASSERT_EQ(listener.calls.size(), 3u);
    EXPECT_FLOAT_EQ(listener.calls[2][0], 0.125f);

    timer._set_time(NAN);
    cycle_after(100);
    EXPECT_EQ(listener.calls.size(), 3u);
}

TEST_F(TimerTest, SceneNewCycleDrivesTheTimerOnceItsSceneRegistersTheSlots) {
    scene = "menu_" + unique;
    configure(R"(Objects:
  t1:
    Timer: {time: 1, repeat: 'true'}
    signals:
      signal0: {signal_source: )" + scene + R"(, signal_name: new_cycle, slot_name: _on_new_cycle, connect: on_load}
)");
    ASSERT_TRUE(load(timer, "t1"));
    listen(scene + "->t1->time_out", listener);
    const auto slots = timer._get__slot_map_();
    ASSERT_EQ(slots.size(), 8u);
    EXPECT_EQ(slots.back().first, scene + "->t1->_on_new_cycle");
    EXPECT_TRUE(signals_is_connected(scene + "->new_cycle", scene + "->t1->_on_new_cycle"));

    Signal new_cycle(scene + "->new_cycle");
    time_advance(1.0);
    new_cycle.rise();
    EXPECT_TRUE(listener.calls.empty());  // the slot is not registered before activation

    timer.register_slots();  // as the scene does when it is shown
    new_cycle.rise();
    ASSERT_EQ(listener.calls.size(), 1u);
    EXPECT_FLOAT_EQ(listener.calls[0][0], 1.0f);  // counted from loading, not from activation

    timer.unregister_slots();
    time_advance(5.0);
    new_cycle.rise();
    EXPECT_EQ(listener.calls.size(), 1u);
}

TEST_F(TimerTest, TimersOfOneNameInTwoScenesStayApart) {
    configure("Objects: {t1: {Timer: {time: 1, repeat: 'true'}}}\n");
    Timer first, second;
    first.set_video_name(video);
    second.set_video_name(video);
    ASSERT_TRUE(first.load(nullptr, config, "Objects->t1->", "intro", "t1", nullptr));
    ASSERT_TRUE(second.load(nullptr, config, "Objects->t1->", "outro", "t1", nullptr));
    EXPECT_EQ(first._get__slot_map_().back().first, "intro->t1->_on_new_cycle");
    EXPECT_EQ(second._get__slot_map_().back().first, "outro->t1->_on_new_cycle");

    RecordingSlot intro_listener, outro_listener;
    listen("intro->t1->time_out", intro_listener);
    listen("outro->t1->time_out", outro_listener);
    first.register_slots();
    second.register_slots();
    time_advance(1.0);
    connect("intro->new_cycle", "intro->t1->_on_new_cycle");
    Signal intro_cycle("intro->new_cycle");
    intro_cycle.rise();
    EXPECT_EQ(intro_listener.calls.size(), 1u);
    EXPECT_TRUE(outro_listener.calls.empty());
}

TEST_F(TimerTest, DrawsNothingIsNeverHitAndFailsWithoutConfiguration) {
    Timer unconfigured;
    EXPECT_FALSE(load(unconfigured, "t1"));
    EXPECT_EQ(unconfigured._get_error(), "Can't get config interface:" + config_error());
    EXPECT_TRUE(unconfigured._get__slot_map_().empty());

    load_timer("");
    timer._set_show(true);
    timer.draw();
    EXPECT_FALSE(timer._is_point_in_object(0, 0));
}

}  // namespace
