// Input scripts: every kind of event read with its fields, a bad script
// refused whole at its first bad line, and events formatted as a recording
// writes them reading back bit for bit.
#include "player/input_script.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using player::ScriptedEvent;

bool parse(const std::string& text, std::vector<ScriptedEvent>& events, std::string& error) {
    std::istringstream in(text);
    return player::parse_script(in, "tour.input", events, error);
}

TEST(InputScript, ReadsEveryKindOfEventWithItsFields) {
    std::vector<ScriptedEvent> events;
    std::string error;
    ASSERT_TRUE(
        parse("# a tour\n\n12 press 400 300 1\n12 release 400.5 300.25 3   # comment after an event\n"
              "15 move 410 310\n16 move 420 305 1\n20 key 32\n21 keyup -7\n22 char 233\n\t40   quit  \r\n",
              events, error))
        << error;
    std::vector<std::string> lines;
    for (const ScriptedEvent& event : events) lines.push_back(player::format_event_line(event.frame, event.event));
    EXPECT_EQ(lines,
              (std::vector<std::string>{"12 press 400 300 1", "12 release 400.5 300.25 3", "15 move 410 310",
                                        "16 move 420 305 1", "20 key 32", "21 keyup -7", "22 char 233", "40 quit"}));
    EXPECT_EQ(events[0].line, 3);
    EXPECT_EQ(events[7].line, 10);
    // Pointer events carry the motion since the previous pointer event.
    EXPECT_FLOAT_EQ(events[2].event.dx, 410 - 400.5f);
    EXPECT_FLOAT_EQ(events[3].event.dy, 305 - 310);

    EXPECT_TRUE(parse("# nothing\n   \n#\n", events, error));
    EXPECT_TRUE(events.empty());
}

TEST(InputScript, ABadLineRefusesTheScriptNamingItsLineAndReason) {
    const std::string unknown = "unknown event \"Press\" (expected press, release, move, key, keyup, char or quit)";
    const std::string coordinate = "bad coordinate in \"move\" (expected finite numbers: FRAME move X Y [BUTTON])";
    const std::pair<const char*, std::string> cases[] = {
        {"1 key 1\nten press 1 2 1\n", "2: the frame \"ten\" is not a whole number from 0 up"},
        {"\n\n7\n", "3: frame 7 has no event"},
        {"5 Press 1 2 1\n", "1: " + unknown},
        {"5 press 1 2\n", "1: wrong number of values for \"press\" (expected FRAME press X Y BUTTON)"},
        {"5 key 32 33\n", "1: wrong number of values for \"key\" (expected FRAME key CODE)"},
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

TEST(InputScript, FormattedEventsReadBackBitForBit) {
    Event press, held_move, key, character;
    press.type = 2, press.x = 400.125f, press.y = 0.1f, press.button = 1;
    held_move.type = 4, held_move.x = -3, held_move.y = 1e-3f, held_move.button = 2;
    key.type = 0, key.key = 1073741906;
    character.type = 5, character.character = 0x1F600;
    EXPECT_EQ(player::format_event_line(1, Event()), "");  // "no event" has no word
    for (const Event& event : {press, held_move, key, character}) {
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
