#include "player/input_script.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using player::ScriptedEvent;

bool parse(const std::string& text, std::vector<ScriptedEvent>& events, std::string& error) {
    std::istringstream in(text);
    return player::parse_script(in, "tour.input", events, error);
}

std::string error_of(const std::string& text) {
    std::vector<ScriptedEvent> events;
    std::string error;
    EXPECT_FALSE(parse(text, events, error)) << text;
    EXPECT_TRUE(events.empty());
    return error;
}

TEST(InputScript, ReadsEveryKindOfEventWithItsFields) {
    std::vector<ScriptedEvent> events;
    std::string error;
    ASSERT_TRUE(parse("# a tour\n"
                      "\n"
                      "12 press 400 300 1\n"
                      "12 release 400.5 300.25 3   # comment after an event\n"
                      "15 move 410 310\n"
                      "16 move 420 305 1\n"
                      "20 key 32\n"
                      "21 keyup -7\n"
                      "22 char 233\n"
                      "\t40   quit  \r\n",
                      events, error))
        << error;
    ASSERT_EQ(events.size(), 8u);

    EXPECT_EQ(events[0].frame, 12);
    EXPECT_EQ(events[0].line, 3);
    EXPECT_EQ(events[0].event.type, 2);
    EXPECT_FLOAT_EQ(events[0].event.x, 400);
    EXPECT_FLOAT_EQ(events[0].event.y, 300);
    EXPECT_EQ(events[0].event.button, 1);

    EXPECT_EQ(events[1].event.type, 3);
    EXPECT_FLOAT_EQ(events[1].event.x, 400.5f);
    EXPECT_EQ(events[1].event.button, 3);

    EXPECT_EQ(events[2].event.type, 4);
    EXPECT_EQ(events[2].event.button, 0);
    EXPECT_EQ(events[3].event.button, 1);
    // Pointer events carry the motion since the previous pointer event.
    EXPECT_FLOAT_EQ(events[2].event.dx, 410 - 400.5f);
    EXPECT_FLOAT_EQ(events[3].event.dy, 305 - 310);

    EXPECT_EQ(events[4].event.type, 0);
    EXPECT_EQ(events[4].event.key, 32);
    EXPECT_EQ(events[5].event.type, 1);
    EXPECT_EQ(events[5].event.key, -7);
    EXPECT_EQ(events[6].event.type, 5);
    EXPECT_EQ(events[6].event.character, 233);
    EXPECT_EQ(events[7].event.type, 6);
    EXPECT_EQ(events[7].frame, 40);
    EXPECT_EQ(events[7].line, 10);
}

TEST(InputScript, EmptyAndCommentOnlyScriptsHoldNoEvents) {
    std::vector<ScriptedEvent> events(1);
    std::string error;
    EXPECT_TRUE(parse("", events, error));
    EXPECT_TRUE(events.empty());
    EXPECT_TRUE(parse("# nothing\n   \n#\n", events, error));
    EXPECT_TRUE(events.empty());
}

TEST(InputScript, MalformedLinesNameTheirLineAndReason) {
    EXPECT_EQ(error_of("1 key 1\nten press 1 2 1\n"),
              "tour.input:2: the frame \"ten\" is not a whole number from 0 up");
    EXPECT_EQ(error_of("-3 quit\n"), "tour.input:1: the frame \"-3\" is not a whole number from 0 up");
    EXPECT_EQ(error_of("\n\n7\n"), "tour.input:3: frame 7 has no event");
    EXPECT_EQ(error_of("5 jump 1 2\n"),
              "tour.input:1: unknown event \"jump\" (expected press, release, move, key, keyup, char or quit)");
    EXPECT_EQ(error_of("5 Press 1 2 1\n"),
              "tour.input:1: unknown event \"Press\" (expected press, release, move, key, keyup, char or quit)");
    EXPECT_EQ(error_of("5 press 1 2\n"),
              "tour.input:1: wrong number of values for \"press\" (expected FRAME press X Y BUTTON)");
    EXPECT_EQ(error_of("5 move 1\n"),
              "tour.input:1: wrong number of values for \"move\" (expected FRAME move X Y [BUTTON])");
    EXPECT_EQ(error_of("5 quit now\n"), "tour.input:1: wrong number of values for \"quit\" (expected FRAME quit)");
    EXPECT_EQ(error_of("5 key\n"), "tour.input:1: wrong number of values for \"key\" (expected FRAME key CODE)");
    EXPECT_EQ(error_of("5 key 32 33\n"),
              "tour.input:1: wrong number of values for \"key\" (expected FRAME key CODE)");
    EXPECT_EQ(error_of("5 char x\n"),
              "tour.input:1: bad code \"x\" for \"char\" (expected a whole number)");
    EXPECT_EQ(error_of("5 key 99999999999\n"),
              "tour.input:1: bad code \"99999999999\" for \"key\" (expected a whole number)");
    EXPECT_EQ(error_of("5 press 1 2 -1\n"),
              "tour.input:1: bad mouse button \"-1\" (expected a whole number from 0 up)");
    EXPECT_EQ(error_of("5 press 1 2 1.5\n"),
              "tour.input:1: bad mouse button \"1.5\" (expected a whole number from 0 up)");
}

TEST(InputScript, CoordinatesMustBeFiniteNumbers) {
    for (const char* bad : {"nan", "inf", "-inf", "1e39", "12px", "0x10", ""}) {
        const std::string line = std::string("3 move ") + bad + " 5\n";
        const std::string error = error_of(line);
        if (std::string(bad).empty()) {
            EXPECT_EQ(error, "tour.input:1: wrong number of values for \"move\" (expected FRAME move X Y [BUTTON])");
        } else {
            EXPECT_EQ(error, "tour.input:1: bad coordinate in \"move\" (expected finite numbers: FRAME move X Y [BUTTON])")
                << bad;
        }
    }
}

TEST(InputScript, FramesMustNotGoBackwards) {
    EXPECT_EQ(error_of("10 key 1\n10 key 2\n# gap\n9 key 3\n"),
              "tour.input:4: frame 9 comes after frame 10 of line 2 (frames must not go backwards)");
}

TEST(InputScript, FormattedLinesReadBackToTheSameEvents) {
    Event press;
    press.type = 2, press.x = 400.125f, press.y = 0.1f, press.button = 1;
    Event move;
    move.type = 4, move.x = -3, move.y = 1e-3f;
    Event held_move = move;
    held_move.button = 2;
    Event key;
    key.type = 0, key.key = 1073741906;
    Event keyup;
    keyup.type = 1, keyup.key = 27;
    Event character;
    character.type = 5, character.character = 0x1F600;
    Event release = press;
    release.type = 3;
    Event quit;
    quit.type = 6;

    EXPECT_EQ(player::format_event_line(12, press), "12 press 400.125 0.1 1");
    EXPECT_EQ(player::format_event_line(0, move), "0 move -3 0.001");
    EXPECT_EQ(player::format_event_line(3, held_move), "3 move -3 0.001 2");
    EXPECT_EQ(player::format_event_line(7, quit), "7 quit");
    EXPECT_EQ(player::format_event_line(1, Event()), "");  // type 7, no event, has no word

    for (const Event& event : {press, release, move, held_move, key, keyup, character, quit}) {
        const std::string line = player::format_event_line(99, event);
        ScriptedEvent parsed;
        std::string error;
        ASSERT_TRUE(player::parse_event_line(line, parsed, error)) << line << ": " << error;
        EXPECT_EQ(parsed.frame, 99);
        EXPECT_EQ(parsed.event.type, event.type) << line;
        EXPECT_EQ(parsed.event.x, event.x) << line;  // exact: recordings replay bit for bit
        EXPECT_EQ(parsed.event.y, event.y) << line;
        EXPECT_EQ(parsed.event.button, event.button) << line;
        EXPECT_EQ(parsed.event.key, event.key) << line;
        EXPECT_EQ(parsed.event.character, event.character) << line;
    }
}

}  // namespace
