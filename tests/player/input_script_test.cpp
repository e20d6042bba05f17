// Input scripts read, refused and written back; the frame device that plays and records them.
#include "player/input_script.h"

#include <gtest/gtest.h>

#include <sstream>

#include "platform/video/headless_device.h"
#include "player/frame_device.h"

namespace {

using player::ScriptedEvent;

bool parse(const std::string& text, std::vector<ScriptedEvent>& events, std::string& error) {
    std::istringstream in(text);
    return player::parse_script(in, "tour.input", events, error);
}

// Formatted as a recording writes them, the events read back as the lines that made them: every float to the bit.
TEST(InputScript, ReadsEveryKindOfEventAndWritesItBackExactly) {
    std::vector<ScriptedEvent> events;
    std::string error;
    ASSERT_TRUE(
        parse("# a tour\n\n12 press 400.125 1.0000001 1\n12 release 400.5 300.25 3   # comment after an event\n"
              "15 move 410 310\n16 move 420 305 1\n20 key 1073741906\n21 keyup -7\n22 char 128512\n"
              "\t40   quit  \r\n",
              events, error))
        << error;
    std::vector<std::string> lines;
    for (const ScriptedEvent& event : events) lines.push_back(player::format_event_line(event.frame, event.event));
    EXPECT_EQ(lines, (std::vector<std::string>{"12 press 400.125 1.0000001 1", "12 release 400.5 300.25 3",
                                               "15 move 410 310", "16 move 420 305 1", "20 key 1073741906",
                                               "21 keyup -7", "22 char 128512", "40 quit"}));
    EXPECT_EQ(events[7].line, 10);
    // Pointer events carry the motion since the previous pointer event.
    EXPECT_FLOAT_EQ(events[2].event.dx, 410 - 400.5f);
    EXPECT_FLOAT_EQ(events[3].event.dy, 305 - 310);
    EXPECT_TRUE(parse("# nothing\n   \n#\n", events, error));
    EXPECT_TRUE(events.empty());
}

TEST(InputScript, ABadLineRefusesTheScriptNamingItsLineAndReason) {
    const std::string coordinate = "bad coordinate in \"move\" (expected finite numbers: FRAME move X Y [BUTTON])";
    const std::pair<const char*, std::string> cases[] = {
        {"1 key 1\nten press 1 2 1\n", "2: the frame \"ten\" is not a whole number from 0 up"},
        {"\n\n7\n", "3: frame 7 has no event"},
        {"5 Press 1 2 1\n", "1: unknown event \"Press\" (expected press, release, move, key, keyup, char or quit)"},
        {"5 press 1 2\n", "1: wrong number of values for \"press\" (expected FRAME press X Y BUTTON)"},
        {"5 key 99999999999\n", "1: bad code \"99999999999\" for \"key\" (expected a whole number)"},
        {"5 press 1 2 1.5\n", "1: bad mouse button \"1.5\" (expected a whole number from 0 up)"},
        {"3 move nan 5\n", "1: " + coordinate},
        {"3 move 1e39 5\n", "1: " + coordinate},
        {"3 move 12px 5\n", "1: " + coordinate},
        {"10 key 1\n10 key 2\n# gap\n9 key 3\n",
         "4: frame 9 comes after frame 10 of line 2 (frames must not go backwards)"},
    };
    for (const auto& [text, reason] : cases) {
        std::vector<ScriptedEvent> events;
        std::string error;
        EXPECT_FALSE(parse(text, events, error)) << text;
        EXPECT_EQ(error, "tour.input:" + reason);
        EXPECT_TRUE(events.empty()) << text;
    }
}

Event make_event(int type, float x = 0, int key = 0) {
    Event event;
    event.type = type, event.x = x, event.key = key;
    return event;
}

// Scripted events come at their frame (late ones still come) before the real device's; all but the frame limit's quit
// are recorded; a recording that cannot be written stops the play.
TEST(FrameDevice, DeliversScriptedEventsAtTheirFrameStopsAtTheLimitAndRecordsWhatItDelivered) {
    std::string error;
    const auto inner = HeadlessDevice::create({.width = 8, .height = 4}, error);
    ASSERT_TRUE(inner) << error;
    player::FrameDevice device(inner.get());
    const auto drain = [&] {  // the types get_event hands out until "no event" (type 7)
        std::vector<int> types;
        for (Event event = device.get_event(); event.type != 7 && types.size() < 20; event = device.get_event())
            types.push_back(event.type);
        return types;
    };
    std::ostringstream recording;
    device.set_recorder(&recording);
    device.set_script({{0, make_event(0)}, {2, make_event(5)}, {2, make_event(2)}, {3, make_event(4, 410.5f)}});
    device.set_frame_limit(5);
    inner->push_event(make_event(1, 0, 32));
    EXPECT_EQ(drain(), (std::vector<int>{0, 1}));
    EXPECT_TRUE(device.update_screen());
    EXPECT_TRUE(drain().empty());  // frame 2's events wait for frame 2
    device.update_screen();
    EXPECT_EQ(drain(), (std::vector<int>{5, 2}));
    EXPECT_EQ(inner->frame_count(), 2u);
    device.update_screen(), device.update_screen();
    EXPECT_EQ(drain(), std::vector<int>{4});  // frame 3's, late
    EXPECT_FALSE(device.quit_delivered());
    device.update_screen();
    inner->push_event(make_event(0));
    EXPECT_EQ(device.get_event().type, 6);
    EXPECT_EQ(device.get_event().type, 6);  // and keeps stopping
    EXPECT_TRUE(device.quit_delivered());
    EXPECT_EQ(inner->pending_events(), 1u);
    EXPECT_EQ(recording.str(), "0 key 0\n0 keyup 32\n2 char 0\n2 press 0 0 0\n4 move 410.5 0\n");

    std::ostringstream broken;
    broken.setstate(std::ios::badbit);
    player::FrameDevice failing(inner.get());
    failing.set_recorder(&broken);
    EXPECT_EQ(failing.get_event().type, 0);
    EXPECT_EQ(failing.failure(), "cannot write the recording");
    EXPECT_EQ(failing.get_event().type, 6);
}

}  // namespace
