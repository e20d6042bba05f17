#include "player/frame_device.h"

#include <gtest/gtest.h>

#include <sstream>

#include "platform/video/headless_device.h"
#include "services/time.h"
#include "tests/support/test_support.h"

namespace {

using player::FrameDevice;
using player::ScriptedEvent;

Event make_event(int type, float x = 0, float y = 0, int button = 0, int key = 0) {
    Event event;
    event.type = type, event.x = x, event.y = y, event.button = button, event.key = key;
    return event;
}

ScriptedEvent at_frame(std::int64_t frame, const Event& event) {
    ScriptedEvent scripted;
    scripted.frame = frame;
    scripted.event = event;
    return scripted;
}

class FrameDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        VideoSettings settings;
        settings.width = 8, settings.height = 4;
        settings.background = video_pixel::make(10, 20, 30, 255);
        std::string error;
        inner = HeadlessDevice::create(settings, error);
        ASSERT_TRUE(inner) << error;
    }

    // The types get_event hands out until "no event", at most limit of them.
    std::vector<int> drain(FrameDevice& device, int limit = 20) {
        std::vector<int> types;
        for (int i = 0; i < limit; ++i) {
            const Event event = device.get_event();
            if (event.type == 7) break;
            types.push_back(event.type);
        }
        return types;
    }

    std::unique_ptr<HeadlessDevice> inner;
};

TEST_F(FrameDeviceTest, ScriptedEventsArriveAtTheirFrameBeforeTheDevicesOwn) {
    FrameDevice device(inner.get());
    device.set_script({at_frame(0, make_event(0, 0, 0, 0, 1)), at_frame(2, make_event(5)),
                       at_frame(2, make_event(2, 3, 4, 1))});
    inner->push_event(make_event(1));

    EXPECT_EQ(drain(device), (std::vector<int>{0, 1}));
    EXPECT_EQ(device.update_screen(), true);
    EXPECT_EQ(device.frame(), 1);
    EXPECT_TRUE(drain(device).empty());  // frame 2's events wait for frame 2
    device.update_screen();
    EXPECT_EQ(drain(device), (std::vector<int>{5, 2}));
    EXPECT_FALSE(device.quit_delivered());
    EXPECT_EQ(inner->frame_count(), 2u);
}

TEST_F(FrameDeviceTest, LateEventsOfPastFramesAreStillDelivered) {
    FrameDevice device(inner.get());
    device.set_script({at_frame(0, make_event(4, 1, 1)), at_frame(1, make_event(6))});
    device.update_screen();
    device.update_screen();
    EXPECT_EQ(drain(device), (std::vector<int>{4, 6}));
    EXPECT_TRUE(device.quit_delivered());
}

TEST_F(FrameDeviceTest, StopsWithAQuitOnceTheFrameLimitIsReached) {
    FrameDevice device(inner.get());
    device.set_frame_limit(2);
    inner->push_event(make_event(0, 0, 0, 0, 9));
    EXPECT_EQ(device.get_event().type, 0);
    device.update_screen();
    EXPECT_EQ(device.get_event().type, 7);
    EXPECT_FALSE(device.quit_delivered());
    device.update_screen();
    inner->push_event(make_event(0));
    EXPECT_EQ(device.get_event().type, 6);
    EXPECT_EQ(device.get_event().type, 6);  // and keeps stopping
    EXPECT_TRUE(device.quit_delivered());
    EXPECT_EQ(inner->pending_events(), 1u);  // the device's own event was not taken
}

TEST_F(FrameDeviceTest, RecordsWhatItDeliversStampedWithTheFrame) {
    std::ostringstream recording;
    FrameDevice device(inner.get());
    device.set_recorder(&recording);
    device.set_script({at_frame(1, make_event(5))});
    device.set_frame_limit(3);

    // Synthetic "user" input, as a window would deliver it.
    inner->push_event(make_event(4, 410.5f, 310, 0));
    inner->push_event(make_event(2, 400, 300, 1));
    drain(device);
    device.update_screen();
    Event character = make_event(5);
    character.character = 0xE9;
    inner->push_event(character);
    inner->push_event(make_event(3, 400, 300, 1));
    inner->push_event(make_event(0, 0, 0, 0, 32));
    drain(device);
    device.update_screen();
    inner->push_event(make_event(1, 0, 0, 0, 32));
    inner->push_event(make_event(6));
    drain(device);
    device.update_screen();
    EXPECT_EQ(device.get_event().type, 6);  // the limit's quit is not the user's: not recorded

    EXPECT_EQ(recording.str(),
              "0 move 410.5 310\n"
              "0 press 400 300 1\n"
              "1 char 0\n"
              "1 char 233\n"
              "1 release 400 300 1\n"
              "1 key 32\n"
              "2 keyup 32\n"
              "2 quit\n");

    // The recording is a valid script that replays the same events.
    std::istringstream in(recording.str());
    std::vector<ScriptedEvent> replay;
    std::string error;
    ASSERT_TRUE(player::parse_script(in, "recorded", replay, error)) << error;
    ASSERT_EQ(replay.size(), 8u);
    EXPECT_EQ(replay[1].event.type, 2);
    EXPECT_FLOAT_EQ(replay[0].event.x, 410.5f);
    EXPECT_EQ(replay[3].event.character, 233);
    EXPECT_EQ(replay[7].frame, 2);
}

TEST_F(FrameDeviceTest, ARecordingThatCannotBeWrittenStopsThePlay) {
    std::ostringstream broken;
    broken.setstate(std::ios::badbit);
    FrameDevice device(inner.get());
    device.set_recorder(&broken);
    inner->push_event(make_event(0, 0, 0, 0, 1));
    EXPECT_EQ(device.get_event().type, 0);
    EXPECT_TRUE(device.failed());
    EXPECT_EQ(device.failure(), "cannot write the recording");
    EXPECT_EQ(device.get_event().type, 6);
}

TEST_F(FrameDeviceTest, SnapshotsEveryKFramesAndTheLastOne) {
    testsupport::TempDir folder;
    FrameDevice device(inner.get());
    std::vector<std::string> asked;
    device.set_snapshots(folder.str(), 3, [&](const std::string& path, std::string& error) {
        asked.push_back(path);
        if (inner->snapshot(path)) return true;
        error = inner->get_error();
        return false;
    });
    EXPECT_TRUE(device.snapshot_last_frame());  // nothing presented yet: nothing to write
    EXPECT_TRUE(asked.empty());
    for (int frame = 0; frame < 5; ++frame) device.update_screen();
    EXPECT_EQ(asked, (std::vector<std::string>{folder.str() + "/frame-000000.png", folder.str() + "/frame-000003.png"}));
    ASSERT_TRUE(device.snapshot_last_frame());
    ASSERT_TRUE(device.snapshot_last_frame());  // once only
    EXPECT_EQ(device.snapshots().size(), 3u);
    EXPECT_EQ(device.snapshots().back(), folder.str() + "/frame-000004.png");

    testsupport::RgbaImage image;
    std::string error;
    ASSERT_TRUE(testsupport::read_png(device.snapshots().back(), image, error)) << error;
    EXPECT_EQ(image.width, 8);
    EXPECT_EQ(image.at(7, 3), 0x0a141eFFu);
}

TEST_F(FrameDeviceTest, AFailedSnapshotStopsThePlayWithItsReason) {
    FrameDevice device(inner.get());
    device.set_snapshots("/nonexistent-folder", 1, [&](const std::string& path, std::string& error) {
        if (inner->snapshot(path)) return true;
        error = inner->get_error();
        return false;
    });
    device.update_screen();
    EXPECT_TRUE(device.failed());
    EXPECT_NE(device.failure().find("cannot write snapshot \"/nonexistent-folder/frame-000000.png\": "),
              std::string::npos)
        << device.failure();
    EXPECT_EQ(device.get_event().type, 6);
    EXPECT_FALSE(device.snapshot_last_frame());
}

TEST_F(FrameDeviceTest, EachPresentedFrameAdvancesTheManualClock) {
    time_use_manual_clock(true);
    FrameDevice device(inner.get());
    device.set_clock_step(0.25);
    const double before = time_now();
    device.update_screen();
    device.update_screen();
    EXPECT_DOUBLE_EQ(time_now() - before, 0.5);
    time_use_manual_clock(false);
}

}  // namespace

TEST(FrameStats, MedianAndNinetyNinthPercentileAreNearestRank) {
    player::FrameStats stats;
    for (int ms = 100; ms >= 1; --ms) stats.add_frame(ms / 1000.0);
    std::ostringstream out;
    stats.write(out, 101, 4.0);
    EXPECT_EQ(out.str(),
              "stats: 101 frames in 4.000 s, 25.2 frames a second\n"
              "stats: frame time 50% 50.00 ms, 99% 99.00 ms, worst 100.00 ms\n");
}
