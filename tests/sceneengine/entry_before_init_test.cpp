// The library before init: its own process, since init cannot be undone.
#include <gtest/gtest.h>

#include "sceneengine/scenemanager/sceneengine.h"
#include "services/fileio.h"
#include "tests/support/test_support.h"

TEST(BeforeInit, NoSceneKindIsRegisteredAndTheLoopHasNoDevice) {
    testsupport::TempDir dir;
    dir.write("list.yaml", "Scenes:\n  Scene0: {name: early, file: early.yaml}\n");
    FileIO::FileManager files(dir.str());
    testsupport::StderrCapture err;
    EXPECT_FALSE(load_scenes("list.yaml", "early-video", &files));
    EXPECT_EQ(get_scene("early"), nullptr);
    set_next_scene("ignored");
    process_scene("early");
    EXPECT_EQ(err.lines(), (std::vector<std::string>{"Can't create scene of type \"generic\"", "Unable to get video device:"}));
}
