// The frame device between the library and the real device: scripted events
// at their frames, the stop at the frame limit, the recording, and the frame
// statistics. (Snapshots every K frames and of the last one:
// presentation_test.cpp and sceneplay_cli_test.cpp.)
#include "player/frame_device.h"

#include <gtest/gtest.h>

#include <sstream>

#include "platform/video/headless_device.h"

namespace {

Event make_event(int type, float x = 0, int key = 0) {
    Event event;
    event.type = type, event.x = x, event.key = key;
    return event;
}

std::unique_ptr<HeadlessDevice> make_inner() {
    VideoSettings settings;
    settings.width = 8, settings.height = 4;
    std::string error;
    auto made = HeadlessDevice::create(settings, error);
    EXPECT_TRUE(made) << error;
    return made;
}

// A frame device in front of an 8 x 4 headless device.
class FrameDeviceTest : public ::testing::Test {
protected:
    // The types get_event hands out until "no event" (type 7).
    std::vector<int> drain() {
        std::vector<int> types;
        for (Event event = device.get_event(); event.type != 7 && types.size() < 20; event = device.get_event())
            types.push_back(event.type);
        return types;
    }

    std::unique_ptr<HeadlessDevice> inner = make_inner();
    player::FrameDevice device{inner.get()};
};

TEST_F(FrameDeviceTest, ScriptedEventsArriveAtTheirFrameBeforeTheDevicesOwnAndLateOnesStillCome) {
    device.set_script(
        {{0, make_event(0)}, {2, make_event(5)}, {2, make_event(2)}, {3, make_event(4)}, {4, make_event(6)}});
    inner->push_event(make_event(1));
    EXPECT_EQ(drain(), (std::vector<int>{0, 1}));
    EXPECT_TRUE(device.update_screen());
    EXPECT_EQ(device.frame(), 1);
    EXPECT_TRUE(drain().empty());  // frame 2's events wait for frame 2
    device.update_screen();
    EXPECT_EQ(drain(), (std::vector<int>{5, 2}));
    EXPECT_FALSE(device.quit_delivered());
    EXPECT_EQ(inner->frame_count(), 2u);
    for (int frame = 2; frame < 5; ++frame) device.update_screen();
    EXPECT_EQ(drain(), (std::vector<int>{4, 6}));  // frames 3 and 4, both passed
    EXPECT_TRUE(device.quit_delivered());
}

// Every event handed to the library is recorded with its frame, but for the
// quit the frame limit makes, which takes nothing from the real device.
TEST_F(FrameDeviceTest, StopsWithAQuitOnceTheFrameLimitIsReachedAndRecordsWhatItDelivered) {
    std::ostringstream recording;
    device.set_recorder(&recording);
    device.set_script({{1, make_event(5)}});
    device.set_frame_limit(2);
    inner->push_event(make_event(4, 410.5f));
    EXPECT_EQ(drain(), std::vector<int>{4});
    device.update_screen();
    inner->push_event(make_event(1, 0, 32));
    EXPECT_EQ(drain(), (std::vector<int>{5, 1}));
    device.update_screen();
    inner->push_event(make_event(0));
    EXPECT_EQ(device.get_event().type, 6);
    EXPECT_EQ(device.get_event().type, 6);  // and keeps stopping
    EXPECT_TRUE(device.quit_delivered());
    EXPECT_EQ(inner->pending_events(), 1u);
    EXPECT_EQ(recording.str(), "0 move 410.5 0\n1 char 0\n1 keyup 32\n");
}

TEST_F(FrameDeviceTest, ARecordingThatCannotBeWrittenStopsThePlay) {
    std::ostringstream broken;
    broken.setstate(std::ios::badbit);
    device.set_recorder(&broken);
    inner->push_event(make_event(0));
    EXPECT_EQ(device.get_event().type, 0);
    EXPECT_EQ(device.failure(), "cannot write the recording");
    EXPECT_EQ(device.get_event().type, 6);
}

TEST(FrameStats, MedianAndNinetyNinthPercentileAreNearestRank) {
    player::FrameStats stats;
    for (int ms = 100; ms >= 1; --ms) stats.add_frame(ms / 1000.0);
    std::ostringstream out;
    stats.write(out, 101, 4.0);
    EXPECT_EQ(out.str(),
              "stats: 101 frames in 4.000 s, 25.2 frames a second\n"
              "stats: frame time 50% 50.00 ms, 99% 99.00 ms, worst 100.00 ms\n");
}

}  // namespace
