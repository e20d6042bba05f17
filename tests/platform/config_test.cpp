#include "services/config.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "services/fileio.h"
#include "tests/support/test_support.h"

namespace {

using Keys = std::vector<std::string>;

// A fresh configuration "test" and a folder for its files.
class Config : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(config_create("test", "quillbox", 0));
        config = config_get_interface("test");
        ASSERT_NE(config, nullptr);
    }
    void TearDown() override { config_remove("test"); }

    // Writes the file and loads it by its full path.
    bool load(const std::string& name, const std::string& yaml) {
        return config->load_file(dir.write(name, yaml), nullptr);
    }
    std::string value(const std::string& key) { return config->get_value(key, "<absent>"); }

    testsupport::TempDir dir;
    Config_Interface* config = nullptr;
};

TEST_F(Config, NestedFlatSequenceAndAliasedValuesGiveTheSamePaths) {
    ASSERT_TRUE(load("scene.yaml",
                     "Scene:\n"
                     "  Objects:\n"
                     "    Object0: {name: bg, z_level: 1}\n"
                     "Scene->Objects->Object1->name: logo\n"
                     "Objects->logo:\n"
                     "  Image->image_file: pics/logo.png\n"
                     "Scenes:\n"
                     "  - {name: menu, file: menu.yaml}\n"
                     "  - tags: [a, [b, c]]\n"
                     "base: &style {font: DejaVu Sans, colors: [red, &c blue]}\n"
                     "title: *style\n"
                     "*c : keyed by alias\n"
                     "list: [*c, *style]\n"
                     "tagged: !!int 007\n"
                     "block: |\n  one\n  two\n"
                     "empty:\n"));
    const std::vector<std::pair<std::string, std::string>> values = {
        {"Scene->Objects->Object0->name", "bg"}, {"Scene->Objects->Object0->z_level", "1"},
        {"Scene->Objects->Object1->name", "logo"}, {"Objects->logo->Image->image_file", "pics/logo.png"},
        {"Scenes->0->file", "menu.yaml"}, {"Scenes->1->tags->1->1", "c"}, {"title->font", "DejaVu Sans"},
        {"title->colors->1", "blue"}, {"blue", "keyed by alias"}, {"list->0", "blue"}, {"list->1->font", "DejaVu Sans"},
        {"tagged", "007"}, {"block", "one\ntwo\n"}, {"empty", ""},
        {"Scene->Objects", "<absent>"}};  // a mapping has no value of its own
    for (const auto& [key, expected] : values) EXPECT_EQ(value(key), expected) << key;
    ConfigPosition where;
    ASSERT_TRUE(config->get_position("title->font", &where));
    EXPECT_EQ(where.line, 10) << "a copied value keeps where it was written";
}

TEST_F(Config, LaterValuesWinKeysKeepTheirFirstPlaceAndPositionsAreOneBased) {
    ASSERT_TRUE(load("first.yaml", "a: 1\nb: 2\na: 3\n---\n"));
    dir.write("scenes/second.yaml", "c: 4\nScene:\n  b: 5\nb:   \"6\"\n");
    FileIO::FileManager files(dir.str());
    ASSERT_TRUE(config->load_file("scenes/second.yaml", &files));
    EXPECT_TRUE(load("empty.yaml", "# nothing here\n"));
    EXPECT_TRUE(value("a") == "3" && value("b") == "6");
    EXPECT_EQ(config->get_keys(), (Keys{"a", "b", "c", "Scene->b"}));
    ConfigPosition where;
    ASSERT_TRUE(config->get_position("b", &where));
    EXPECT_EQ(where.file, "scenes/second.yaml") << "named as the author wrote it";
    EXPECT_TRUE(where.line == 4 && where.column == 6) << "the opening quote";
    EXPECT_FALSE(config->get_position("Scene", &where));

    testsupport::StderrCapture errors;
    EXPECT_FALSE(config->load_file("../outside.yaml", &files));
    EXPECT_EQ(config_error().rfind("../outside.yaml: ", 0), 0u) << config_error();
    const std::string missing = dir.str() + "/missing.yaml";
    EXPECT_FALSE(config->load_file(missing, nullptr));
    EXPECT_EQ(config_error(), missing + ": No such file or directory");
    EXPECT_EQ(errors.lines().back(), config_error());
    EXPECT_FALSE(config_create("other", "xml", 0));
    EXPECT_NE(config_error().find("\"xml\""), std::string::npos);
}

// Loads a file that must be refused: the result is false, config_error() is one line naming the file, line and column,
// the same line reaches the error stream, and what was loaded before stays.
class ConfigRefusal : public Config {
protected:
    void expect_refused(const std::string& yaml, int line, int column, const std::string& reason_part) {
        ASSERT_TRUE(load("good.yaml", "kept: yes\n"));
        const std::string file = dir.write("bad.yaml", yaml);
        testsupport::StderrCapture errors;
        EXPECT_FALSE(config->load_file(file, nullptr));
        const std::string error = config_error();
        const std::string where = file + ":" + std::to_string(line) + ":" + std::to_string(column) + ": ";
        EXPECT_EQ(error.rfind(where, 0), 0u) << error;
        EXPECT_NE(error.find(reason_part), std::string::npos) << error;
        EXPECT_EQ(errors.lines(), (Keys{error}));
        EXPECT_EQ(config->get_keys(), (Keys{"kept"})) << "nothing of the refused file is added";
    }
};

TEST_F(ConfigRefusal, MalformedYamlBadKeysAndUnknownAliases) {
    expect_refused("a: 1\nb: [2, 3\nc: 4\n", 3, 2, "did not find expected ',' or ']'");
    expect_refused("a: 1\nb: \xff\n", 2, 4, "UTF-8");
    expect_refused("ok: 1\n\"\": empty\n", 2, 1, "empty key");
    expect_refused("? [a, b]\n: pair\n", 1, 3, "cannot be a key");
    expect_refused("a: &m {x: 1}\n*m : 2\n", 2, 1, "cannot be a key");
    expect_refused("a: *nowhere\n", 1, 4, "*nowhere");
    expect_refused("just a sentence\n", 1, 1, "not a mapping");
}

// Files built to exhaust the parser.
using ConfigGuards = ConfigRefusal;

TEST_F(ConfigGuards, NestingOfAHundredThousandLevelsIsRefused) {
    const int levels = 100000;
    expect_refused(std::string(levels, '[') + std::string(levels, ']') + "\n", 1, 513, "nesting deeper than 512");
    std::string mappings;
    for (int i = 0; i < levels; ++i) mappings += "{a: ";
    expect_refused(mappings + "x" + std::string(levels, '}') + "\n", 1, 4 * 512 + 1, "nesting deeper than 512");
    // Unclosed: the guard, not the end of the file, stops it.
    expect_refused("a: " + std::string(levels, '['), 1, 515, "nesting deeper than 512");
}

TEST_F(ConfigGuards, AliasBombsAreRefused) {
    std::string bomb = "l0: &l0 [x, x, x, x, x, x, x, x, x, x]\n";
    for (int i = 1; i <= 9; ++i) {
        // Appended piece by piece: GCC 12 at -O3 takes "literal" + std::string&&
        // for an overlapping copy (a false -Wrestrict).
        const std::string previous = std::string("*l").append(std::to_string(i - 1));
        bomb.append("l").append(std::to_string(i)).append(": &l").append(std::to_string(i)).append(" [");
        for (int j = 0; j < 10; ++j) bomb += previous + (j < 9 ? ", " : "]\n");
    }
    // l5 holds 10^6 values and 1111110 are out after it; the cap of 2000000
    // is passed inside the first *l5 of l6's list: line 7, after "l6: &l6 [".
    expect_refused(bomb, 7, 10, "more than 2000000 values");

    // Few values, but each copy carries a 40000-byte key: the 64 MiB cap on
    // keys and values is what stops it, at the second copy.
    std::string yaml = "list: &list [";
    for (int i = 0; i < 1000; ++i) yaml += "x, ";
    yaml += "x]\n";
    for (char name : std::string("ab")) yaml += "? " + std::string(40000, name) + "\n: *list\n";
    expect_refused(yaml, 5, 3, "MiB of keys and values");
}

}  // namespace
