// The reading rules the checker judges values by, and its table of kinds.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "player/kinds/host_kinds.h"
#include "scenecheck/kind_table.h"
#include "scenecheck/value_rules.h"

using value_rules::misread;

TEST(CheckValueRules, NumbersThatReadAsWritten) {
    EXPECT_EQ(misread(ValueKind::Float, "12.5"), "");
    EXPECT_EQ(misread(ValueKind::Float, "-4"), "");
    EXPECT_EQ(misread(ValueKind::Float, "1e-1"), "");
    EXPECT_EQ(misread(ValueKind::Integer, "-3"), "");
    EXPECT_EQ(misread(ValueKind::Integer0, "0x10"), "");
    EXPECT_EQ(misread(ValueKind::Integer0, "0"), "");
    EXPECT_EQ(misread(ValueKind::Color, "0xffffffff"), "");
    EXPECT_EQ(misread(ValueKind::Color, "255"), "");
}

TEST(CheckValueRules, NumbersThatReadOtherwise) {
    EXPECT_EQ(misread(ValueKind::Float, "12px"), "which reads as 12 (reading stops at \"px\")");
    EXPECT_EQ(misread(ValueKind::Float, "abc"), "which is no number and reads as 0");
    EXPECT_EQ(misread(ValueKind::Float, ""), "which reads as 0");
    // atol reads decimal only: a hexadecimal z_level is 0.
    EXPECT_EQ(misread(ValueKind::Integer, "0x10"), "which reads as 0 (reading stops at \"x10\")");
    EXPECT_EQ(misread(ValueKind::Integer, "99999999999999999999"), "which is out of range");
    EXPECT_EQ(misread(ValueKind::Integer0, "010"), "which reads as 8 (a leading 0 means octal)");
    EXPECT_EQ(misread(ValueKind::Integer0, "08"), "which reads as 0 (reading stops at \"8\")");
    EXPECT_EQ(misread(ValueKind::Integer0, "3000000000"), "which is out of range");
    EXPECT_EQ(misread(ValueKind::Color, "-1"), "which reads as 4294967295");
    EXPECT_EQ(misread(ValueKind::Color, "0x100000000"), "which reads as 0 (only 32 bits are kept)");
    EXPECT_EQ(misread(ValueKind::Color, "0777"), "which reads as 511 (a leading 0 means octal)");
}

TEST(CheckValueRules, SwitchesAreOnOnlyForTrueAndOffOnlyForFalse) {
    EXPECT_EQ(misread(ValueKind::Switch, "true"), "");
    EXPECT_EQ(misread(ValueKind::Switch, "false"), "");
    for (const char* text : {"TRUE", "True", "yes", "1", "", "true "})
        EXPECT_EQ(misread(ValueKind::Switch, text), "which reads as false: only \"true\" switches it on") << text;
}

TEST(CheckValueRules, ClosedSetsSuggestTheNearestWord) {
    EXPECT_EQ(misread(ValueKind::CoordType, "link"), "");
    EXPECT_EQ(misread(ValueKind::VAlign, "base_point"), "");
    EXPECT_EQ(misread(ValueKind::HAlign, "top"),
              "which is no horizontal alignment, so the object is never placed");
    EXPECT_EQ(misread(ValueKind::CoordType, "Absolute"),
              "which is no coordinate kind, so the object is never placed; did you mean \"absolute\"?");
    EXPECT_EQ(misread(ValueKind::ConnectMode, "on-load"),
              "which makes an on-request connection; did you mean \"on_load\"?");
    EXPECT_EQ(misread(ValueKind::ImageLoader, ""), "");
    EXPECT_EQ(misread(ValueKind::ImageLoader, "jpg"), "");
    EXPECT_EQ(misread(ValueKind::ImageLoader, "pgn"), "which is no image loader; did you mean \"png\"?");
    EXPECT_EQ(misread(ValueKind::Text, "anything"), "");
}

TEST(CheckValueRules, EditDistanceCountsSwapsAsOneAndIgnoresCase) {
    EXPECT_EQ(value_rules::edit_distance("image_file", "image_file"), 0u);
    EXPECT_EQ(value_rules::edit_distance("imagefile", "image_file"), 1u);
    EXPECT_EQ(value_rules::edit_distance("Imgae", "Image"), 1u);
    EXPECT_EQ(value_rules::edit_distance("TRUE", "true"), 0u);
    EXPECT_EQ(value_rules::edit_distance("", "abc"), 3u);
    EXPECT_EQ(value_rules::edit_distance("kitten", "sitting"), 3u);
}

TEST(CheckValueRules, SuggestionsOnlyForLikelySlips) {
    std::vector<std::string> keys = {"SceneObject->coord_type", "SceneObject->show", "Image->image_file"};
    EXPECT_EQ(value_rules::nearest("SceneObject->coord_typ", keys), "SceneObject->coord_type");
    EXPECT_EQ(value_rules::nearest("sceneobject->show", keys), "SceneObject->show");
    EXPECT_EQ(value_rules::nearest("Image->picture", keys), "");
    // Short words allow one edit only: "dot" is no slip for "ghost".
    EXPECT_EQ(value_rules::nearest("ghost", {"dot"}), "");
    EXPECT_EQ(value_rules::did_you_mean("prelaod", {"name", "preload"}, "Scenes->Scene1->"),
              "; did you mean \"Scenes->Scene1->preload\"?");
    EXPECT_EQ(value_rules::did_you_mean("x", {"x"}), "");
}

TEST(CheckKindTable, KindsInheritTheKeysSlotsAndSignalsOfTheirBases) {
    player::register_host_kinds();  // the host kinds bring their descriptions
    auto has_key = [](const std::string& kind, const std::string& key) {
        for (const KeyInfo& info : kind_table::keys_of(kind))
            if (info.key == key) return true;
        return false;
    };
    EXPECT_TRUE(has_key("Button", "SceneObject->coord_type"));
    EXPECT_TRUE(has_key("Button", "Image->image_file"));
    EXPECT_TRUE(has_key("Button", "Button->target"));
    EXPECT_FALSE(has_key("Image", "Button->target"));
    EXPECT_FALSE(has_key("Timer", "Image->image_file"));
    // A kind the table does not know still reads the common keys.
    EXPECT_TRUE(has_key("Unknown", "SceneObject->show"));
    EXPECT_FALSE(has_key("Unknown", "Timer->time"));

    std::vector<std::string> timer_slots = kind_table::slots_of("Timer");
    EXPECT_EQ(timer_slots.size(), 8u);
    EXPECT_EQ(timer_slots.front(), "_on_activate");
    EXPECT_EQ(timer_slots.back(), "_on_new_cycle");
    EXPECT_EQ(kind_table::signals_of("Timer"), std::vector<std::string>{"time_out"});
    EXPECT_TRUE(kind_table::signals_of("Button").empty());
    EXPECT_TRUE(kind_table::derives_from("Button", "Image"));
    EXPECT_FALSE(kind_table::derives_from("Image", "Button"));
    EXPECT_FALSE(kind_table::derives_from("", "Image"));
}
