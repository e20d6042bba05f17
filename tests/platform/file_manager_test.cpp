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

// A root folder "root" with a file and a sub-folder, and a secret file beside
// the root that no path may reach.
class FileManagerTest : public ::testing::Test {
protected:
    FileManagerTest() {
        dir.write("root/scene.yaml", "a: 1\n");
        dir.write_bytes("root/pics/raw.bin", Bytes{0, 1, 255, 0});
        secret = dir.write("secret.txt", "secret");
        root = (dir.path() / "root").string();
    }

    // Expects read and resolve both to refuse path with a one-line error
    // that names it and holds reason_part.
    void expect_refused(const FileIO::FileManager& files, const std::string& path, const std::string& reason_part) {
        Bytes bytes{42};
        std::string error;
        EXPECT_FALSE(files.read(path, bytes, error)) << path;
        EXPECT_TRUE(bytes.empty());
        EXPECT_EQ(error.rfind(path + ": ", 0), 0u) << error;
        EXPECT_NE(error.find(reason_part), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos);
        std::string absolute = "stale", resolve_error;
        EXPECT_FALSE(files.resolve(path, absolute, resolve_error)) << path;
        EXPECT_TRUE(absolute.empty());
        EXPECT_EQ(resolve_error, error);
    }

    testsupport::TempDir dir;
    std::string root;
    std::string secret;
};

TEST_F(FileManagerTest, ReadsWholeFilesBelowTheRoot) {
    FileIO::FileManager files(root + "/./pics/..");
    EXPECT_EQ(files.get_root(), root) << "the root is kept canonical";
    Bytes bytes;
    std::string error;
    ASSERT_TRUE(files.read("pics/raw.bin", bytes, error)) << error;
    EXPECT_EQ(bytes, (Bytes{0, 1, 255, 0}));
    ASSERT_TRUE(files.read("./pics//raw.bin", bytes, error)) << error;
    EXPECT_EQ(bytes.size(), 4u);

    dir.write("root/empty.txt", "");
    ASSERT_TRUE(files.read("empty.txt", bytes, error)) << error;
    EXPECT_TRUE(bytes.empty());

    std::string absolute;
    ASSERT_TRUE(files.resolve("scene.yaml", absolute, error)) << error;
    EXPECT_EQ(absolute, root + "/scene.yaml");
}

TEST_F(FileManagerTest, ReadsFilesThatHoldMoreThanTheirStatedSize) {
    // Files under /proc state a size of 0 and hold more: what lies past the
    // stated size is read all the same, a few kilobytes at a time.
    FileIO::FileManager files("/proc/self");
    Bytes bytes;
    std::string error;
    ASSERT_TRUE(files.read("smaps", bytes, error)) << error;
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_GT(text.size(), 8192u);
    EXPECT_NE(text.find("Size:"), std::string::npos);
    EXPECT_EQ(text.back(), '\n') << "nothing cut off at the end";
}

TEST_F(FileManagerTest, RefusesPathsThatLeaveTheRoot) {
    FileIO::FileManager files(root);
    expect_refused(files, secret, "absolute");
    expect_refused(files, "../secret.txt", "\"..\"");
    expect_refused(files, "pics/../scene.yaml", "\"..\"") ;
    expect_refused(files, "pics/..", "\"..\"");
}

TEST_F(FileManagerTest, FollowsLinksOnlyWhileTheyStayInside) {
    fs::create_symlink(secret, dir.path() / "root/leak.txt");
    fs::create_directory_symlink(dir.path(), dir.path() / "root/up");
    fs::create_symlink("scene.yaml", dir.path() / "root/alias.yaml");
    fs::create_directory_symlink("pics", dir.path() / "root/images");
    FileIO::FileManager files(root);
    expect_refused(files, "leak.txt", "outside");
    expect_refused(files, "up/secret.txt", "outside");
    // A folder beside the root whose name starts like the root's is outside too.
    fs::create_symlink(dir.write("root-beside/x.txt", "x"), dir.path() / "root/beside.txt");
    expect_refused(files, "beside.txt", "outside");

    Bytes bytes;
    std::string error;
    ASSERT_TRUE(files.read("alias.yaml", bytes, error)) << error;
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "a: 1\n");
    ASSERT_TRUE(files.read("images/raw.bin", bytes, error)) << error;
    EXPECT_EQ(bytes.size(), 4u);
}

TEST_F(FileManagerTest, MissingFilesFoldersAndPipesAreClearErrors) {
    FileIO::FileManager files(root);
    expect_refused(files, "nothing.yaml", "No such file");
    expect_refused(files, "pics", "folder");
    fs::create_symlink("nowhere", dir.path() / "root/dangling");
    expect_refused(files, "dangling", "No such file");

    // A pipe would block a plain open until someone writes to it.
    ASSERT_EQ(::mkfifo((dir.path() / "root/pipe").c_str(), 0600), 0);
    Bytes bytes;
    std::string error;
    EXPECT_FALSE(files.read("pipe", bytes, error));
    EXPECT_EQ(error, "pipe: is not a regular file");

    EXPECT_FALSE(files.read("", bytes, error));
    EXPECT_NE(error.find("empty path"), std::string::npos);
}

TEST_F(FileManagerTest, MissingRootRefusesEverything) {
    FileIO::FileManager files(root + "/no-such-folder");
    EXPECT_TRUE(files.get_root().empty());
    expect_refused(files, "scene.yaml", "no root folder");
    FileIO::FileManager file_as_root(root + "/scene.yaml");
    EXPECT_TRUE(file_as_root.get_root().empty());
}

}  // namespace
