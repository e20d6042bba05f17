// The parts --watch is built on: the folder watch, the file layer that serves
// checked content, the list of new entries handed to load_scenes, and the
// command line.
#include <gtest/gtest.h>

#include <filesystem>

#include "player/options.h"
#include "player/watch/folder_watch.h"
#include "player/watch/list_entries.h"
#include "player/watch/overlay_files.h"
#include "services/config.h"
#include "tests/support/test_support.h"

namespace {

namespace fs = std::filesystem;
using player::FolderWatch;

std::string canonical_folder(const testsupport::TempDir& folder) { return fs::canonical(folder.path()).string(); }

std::vector<std::uint8_t> bytes_of(const std::string& text) { return {text.begin(), text.end()}; }

TEST(FolderWatch, ReportsFinishedWritesAndRenamesOfTheFilesAddedOnly) {
    testsupport::TempDir folder;
    const std::string root = canonical_folder(folder);
    folder.write("scene.yaml", "a: 1\n");
    FolderWatch watch;
    std::string error;
    ASSERT_TRUE(watch.add(root + "/scene.yaml", error)) << error;
    ASSERT_TRUE(watch.add(root + "/later.yaml", error)) << error;  // need not exist yet
    EXPECT_TRUE(watch.take_changes().empty());

    folder.write("scene.yaml", "a: 2\n");
    folder.write("scene.yaml", "a: 3\n");
    folder.write("unrelated.yaml", "b: 1\n");
    EXPECT_EQ(watch.take_changes(), std::vector<std::string>{root + "/scene.yaml"});  // once for two writes
    EXPECT_TRUE(watch.take_changes().empty());

    folder.write("later.yaml.tmp", "c: 1\n");
    fs::rename(folder.path() / "later.yaml.tmp", folder.path() / "later.yaml");
    EXPECT_EQ(watch.take_changes(), std::vector<std::string>{root + "/later.yaml"});
}

TEST(FolderWatch, AFolderThatIsMissingIsRefusedWithItsName) {
    testsupport::TempDir folder;
    FolderWatch watch;
    std::string error;
    EXPECT_FALSE(watch.add(canonical_folder(folder) + "/gone/scene.yaml", error));
    EXPECT_NE(error.find("cannot watch folder \"" + canonical_folder(folder) + "/gone\""), std::string::npos) << error;
}

TEST(WatchLocations, NameTheFileAndWhereALinkLeads) {
    testsupport::TempDir folder;
    const std::string root = canonical_folder(folder);
    folder.write("scenes/real.yaml", "a: 1\n");
    fs::create_symlink("scenes/real.yaml", folder.path() / "link.yaml");

    EXPECT_EQ(player::watch_locations(root, "scenes/./real.yaml"),
              std::vector<std::string>{root + "/scenes/real.yaml"});
    EXPECT_EQ(player::watch_locations(root, "new.yaml"), std::vector<std::string>{root + "/new.yaml"});
    EXPECT_EQ(player::watch_locations(root, "link.yaml"),
              (std::vector<std::string>{root + "/link.yaml", root + "/scenes/real.yaml"}));
    // Paths the file layer refuses are not watched.
    EXPECT_TRUE(player::watch_locations(root, "../outside.yaml").empty());
    EXPECT_TRUE(player::watch_locations(root, "/etc/passwd").empty());
    EXPECT_TRUE(player::watch_locations(root, "").empty());
}

TEST(OverlayFiles, ServesTheGivenBytesForOnePathWhileTheOverlayLives) {
    testsupport::TempDir folder;
    folder.write("scene.yaml", "on disk");
    folder.write("picture.png", "picture");
    player::OverlayFiles files(folder.str());
    std::vector<std::uint8_t> bytes;
    std::string error;
    {
        const auto overlay = files.serve("scene.yaml", bytes_of("in memory"));
        ASSERT_TRUE(files.read("scene.yaml", bytes, error)) << error;
        EXPECT_EQ(bytes, bytes_of("in memory"));
        ASSERT_TRUE(files.read_disk("scene.yaml", bytes, error)) << error;
        EXPECT_EQ(bytes, bytes_of("on disk"));
        ASSERT_TRUE(files.read("picture.png", bytes, error)) << error;
        EXPECT_EQ(bytes, bytes_of("picture"));
        EXPECT_FALSE(files.read("../scene.yaml", bytes, error));  // other paths keep the layer's refusals
    }
    ASSERT_TRUE(files.read("scene.yaml", bytes, error)) << error;
    EXPECT_EQ(bytes, bytes_of("on disk"));
}

TEST(ListEntries, TheWrittenListReadsBackAsTheSameEntries) {
    const std::vector<player::ListEntry> entries = {
        {"plain", "plain.yaml", false, "generic"},
        {"with \"quotes\": a #hash\\ and é", "folder with space/x: y.yaml", true, "Custom"},
        {"tab\there", "", false, "generic"},
    };
    testsupport::TempDir folder;
    folder.write("list.yaml", player::write_list_yaml(entries));
    ASSERT_TRUE(config_create("watch-list-test", "quillbox", 0));
    Config_Interface* config = config_get_interface("watch-list-test");
    ASSERT_NE(config, nullptr);
    ASSERT_TRUE(config->load_file(folder.str() + "/list.yaml", nullptr)) << config_error();

    const auto read = player::read_list_entries(*config);
    ASSERT_EQ(read.size(), entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(read[i].name, entries[i].name);
        EXPECT_EQ(read[i].file, entries[i].file);
        EXPECT_EQ(read[i].preload, entries[i].preload);
        EXPECT_EQ(read[i].type, entries[i].type);
    }

    folder.write("empty.yaml", player::write_list_yaml({}));
    ASSERT_TRUE(config_create("watch-list-test", "quillbox", 0));
    ASSERT_TRUE(config->load_file(folder.str() + "/empty.yaml", nullptr)) << config_error();
    EXPECT_TRUE(player::read_list_entries(*config).empty());
    config_remove("watch-list-test");
}

}  // namespace
