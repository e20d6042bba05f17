#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "sceneengine/scenemanager/storage.h"

namespace {

TEST(Storage, AddKeepsTheFirstValueOfAKey) {
    Storage<std::string, int> table;
    EXPECT_TRUE(table.add("a", 1));
    EXPECT_FALSE(table.add("a", 2));
    EXPECT_EQ(table.get("a"), 1);
    EXPECT_EQ(table.size(), 1u);
}

TEST(Storage, GetOfAMissingKeyThrowsFalse) {
    Storage<std::string, int> table;
    table.add("a", 1);
    EXPECT_FALSE(table.contains("b"));
    try {
        table.get("b");
        FAIL() << "no exception";
    } catch (bool thrown) {
        EXPECT_FALSE(thrown);
    }
}

TEST(Storage, RemoveOfAnAbsentKeyIsTrueAndChangesNothing) {
    Storage<std::string, int> table;
    table.add("a", 1);
    const auto revision = table.revision();
    EXPECT_TRUE(table.remove("b"));
    EXPECT_EQ(table.size(), 1u);
    EXPECT_EQ(table.revision(), revision);
    EXPECT_TRUE(table.remove("a"));
    EXPECT_FALSE(table.contains("a"));
}

TEST(Storage, IteratesInByteOrder) {
    Storage<std::string, int> table;
    for (const char* key : {"b", "a10", "a9", "image", "Image"}) table.add(key, 0);
    std::vector<std::string> keys;
    for (const auto& entry : table) keys.push_back(entry.first);
    EXPECT_EQ(keys, (std::vector<std::string>{"Image", "a10", "a9", "b", "image"}));
}

TEST(Storage, NeverDeletesWhatItPointsTo) {
    auto value = std::make_shared<int>(7);
    std::weak_ptr<int> watch = value;
    int* raw = value.get();
    {
        Storage<std::string, int*> table;
        table.add("x", raw);
        table.remove("x");
        table.add("y", raw);
    }
    EXPECT_FALSE(watch.expired());
    EXPECT_EQ(*raw, 7);
}

// Readers keep derived data while the revision stands still, so every real
// change, assignment included, must move it.
TEST(Storage, RevisionMovesOnEveryChange) {
    Storage<std::string, int> table, other;
    const auto start = table.revision();
    table.add("a", 1);
    EXPECT_GT(table.revision(), start);
    auto after_add = table.revision();
    table.add("a", 2);  // refused: no change
    EXPECT_EQ(table.revision(), after_add);

    other.add("z", 9);  // same revision as table, other content
    table = other;
    EXPECT_GT(table.revision(), after_add);
    EXPECT_TRUE(table.contains("z"));
    EXPECT_FALSE(table.contains("a"));
}

}  // namespace
