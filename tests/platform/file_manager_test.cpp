#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "services/fileio.h"
#include "tests/support/test_support.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// A root folder "root" with a file and a sub-folder, and a secret file beside the root that no path may reach.
class FileManagerTest : public ::testing::Test {
protected:
    FileManagerTest() {
        dir.write("root/scene.yaml", "a: 1\n");
        dir.write_bytes("root/pics/raw.bin", Bytes{0, 1, 255, 0});
    }

    // Read and resolve both refuse path with one error naming it and holding reason_part.
    void expect_refused(const FileIO::FileManager& files, const std::string& path, const std::string& reason_part) {
        Bytes bytes{42};
        std::string error, absolute = "stale", resolve_error;
        EXPECT_FALSE(files.read(path, bytes, error) || files.resolve(path, absolute, resolve_error)) << path;
        EXPECT_TRUE(bytes.empty() && absolute.empty());
        EXPECT_EQ(error.rfind(path + ": ", 0), 0u) << error;
        EXPECT_NE(error.find(reason_part), std::string::npos) << error;
        EXPECT_EQ(resolve_error, error);
    }
    std::string read(const FileIO::FileManager& files, const std::string& path) {
        Bytes bytes;
        std::string error;
        EXPECT_TRUE(files.read(path, bytes, error)) << error;
        return std::string(bytes.begin(), bytes.end());
    }

    testsupport::TempDir dir;
    std::string secret = dir.write("secret.txt", "secret"), root = (dir.path() / "root").string();
};

TEST_F(FileManagerTest, ReadsWholeFilesBelowTheRootAndThroughLinksThatStayInside) {
    fs::create_symlink("scene.yaml", dir.path() / "root/alias.yaml");
    fs::create_directory_symlink("pics", dir.path() / "root/images");
    dir.write("root/empty.txt", "");
    FileIO::FileManager files(root + "/./pics/..");
    EXPECT_EQ(files.get_root(), root) << "the root is kept canonical";
    EXPECT_EQ(read(files, "./pics//raw.bin"), std::string("\0\1\xff\0", 4));
    EXPECT_EQ(read(files, "empty.txt"), "");
    EXPECT_EQ(read(files, "alias.yaml"), "a: 1\n");
    EXPECT_EQ(read(files, "images/raw.bin").size(), 4u);
    std::string absolute, error;
    ASSERT_TRUE(files.resolve("scene.yaml", absolute, error)) << error;
    EXPECT_EQ(absolute, root + "/scene.yaml");
    // Files under /proc state a size of 0 and hold more: all of it is read.
    const std::string smaps = read(FileIO::FileManager("/proc/self"), "smaps");
    EXPECT_TRUE(smaps.size() > 8192u && smaps.back() == '\n') << "nothing cut off at the end";
}

TEST_F(FileManagerTest, RefusesPathsLinksFoldersPipesAndMissingFilesAndRoots) {
    fs::create_symlink(secret, dir.path() / "root/leak.txt");
    fs::create_directory_symlink(dir.path(), dir.path() / "root/up");
    // A folder beside the root whose name starts like the root's is outside too.
    fs::create_symlink(dir.write("root-beside/x.txt", "x"), dir.path() / "root/beside.txt");
    fs::create_symlink("nowhere", dir.path() / "root/dangling");
    FileIO::FileManager files(root);
    for (auto [path, reason] : {std::pair{secret.c_str(), "absolute"}, {"../secret.txt", "\"..\""},
                                {"pics/../scene.yaml", "\"..\""}, {"leak.txt", "outside"}, {"up/secret.txt", "outside"},
                                {"beside.txt", "outside"}, {"nothing.yaml", "No such file"}, {"pics", "folder"},
                                {"dangling", "No such file"}})
        expect_refused(files, path, reason);
    // A pipe would block a plain open until someone writes to it.
    ASSERT_EQ(::mkfifo((dir.path() / "root/pipe").c_str(), 0600), 0);
    Bytes bytes;
    std::string error;
    EXPECT_FALSE(files.read("pipe", bytes, error));
    EXPECT_EQ(error, "pipe: is not a regular file");
    EXPECT_FALSE(files.read("", bytes, error));
    EXPECT_NE(error.find("empty path"), std::string::npos);

    FileIO::FileManager missing_root(root + "/no-such-folder");
    EXPECT_TRUE(missing_root.get_root().empty());
    expect_refused(missing_root, "scene.yaml", "no root folder");
    EXPECT_TRUE(FileIO::FileManager(root + "/scene.yaml").get_root().empty());
}

}  // namespace
