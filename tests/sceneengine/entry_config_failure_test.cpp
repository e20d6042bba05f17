// Failures of the configuration service, which the real service never has:
// this suite puts its own config_create, config_get_interface and
// config_error in front of the service's (the executable's definitions win
// over the shared library's) and forwards to the real ones unless told to
// fail.
#include <dlfcn.h>

#include <string>
#include <vector>

#include "services/config.h"
#include "tests/sceneengine/entry_fixture.h"

namespace {

struct ConfigFaults {
    std::string refuse_create;     // config_create of this name fails
    std::string refuse_interface;  // config_get_interface of this name is null
    bool failed_last = false;
};

ConfigFaults& faults() {
    static ConfigFaults state;
    return state;
}

template <class Function>
Function* real(const char* symbol) {
    void* address = dlsym(RTLD_NEXT, symbol);
    if (!address) std::abort();  // the service library is not loaded: nothing to test
    return reinterpret_cast<Function*>(address);
}

}  // namespace

SERVICE_API bool config_create(std::string name, std::string backend, int flag) {
    faults().failed_last = name == faults().refuse_create;
    if (faults().failed_last) return false;
    static auto* next = real<bool(std::string, std::string, int)>(
        "_Z13config_createNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEES4_i");
    return next(std::move(name), std::move(backend), flag);
}

SERVICE_API Config_Interface* config_get_interface(std::string name) {
    faults().failed_last = name == faults().refuse_interface;
    if (faults().failed_last) return nullptr;
    static auto* next = real<Config_Interface*(std::string)>(
        "_Z20config_get_interfaceNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEE");
    return next(std::move(name));
}

SERVICE_API std::string config_error() {
    if (faults().failed_last) return "refused by the test";
    static auto* next = real<std::string()>("_Z12config_errorB5cxx11v");
    return next();
}

namespace {

using entrytest::scene_entry;
using testsupport::StderrCapture;
using Strings = std::vector<std::string>;

class ConfigFailure : public entrytest::EntryFixture {
protected:
    void TearDown() override {
        faults() = ConfigFaults();
        EntryFixture::TearDown();
    }
};

TEST_F(ConfigFailure, AListWhoseConfigurationCannotBeMadeLeavesTheTable) {
    ASSERT_TRUE(load_list("kept.yaml", {scene_entry("kept", "kept.yaml")}));
    Scene* kept = get_scene("kept");
    faults().refuse_create = "ScenesLoader";
    StderrCapture err;
    EXPECT_FALSE(load_list("replacing.yaml", {scene_entry("kept", "other.yaml")}));
    EXPECT_EQ(err.text(), "Error while trying to create config from quillbox: refused by the test\n");
    EXPECT_EQ(get_scene("kept"), kept);
}

TEST_F(ConfigFailure, AListWithoutInterfaceSaysSoWithoutALineEnd) {
    faults().refuse_interface = "ScenesLoader";
    StderrCapture err;
    EXPECT_FALSE(load_list("nointerface.yaml", {scene_entry("never-made", "x.yaml")}));
    EXPECT_EQ(err.text(), "Erro with config");
    EXPECT_EQ(get_scene("never-made"), nullptr);
}

// The file manager of a failed call is the one later scenes load with.
TEST_F(ConfigFailure, TheFileManagerIsReplacedEvenWhenTheListFails) {
    dir.write("start.yaml", "Scene: {}\n");
    dir.write("late.yaml", "Scene:\n  Objects:\n    Object0: {name: first-root, type: Probe}\n");
    ASSERT_TRUE(load_list("fm.yaml", {scene_entry("fm-start", "start.yaml"), scene_entry("fm-late", "late.yaml")}));
    testsupport::TempDir other;
    other.write("late.yaml", "Scene:\n  Objects:\n    Object0: {name: second-root, type: Probe}\n");
    FileIO::FileManager other_files(other.str());
    faults().refuse_create = "ScenesLoader";
    {
        StderrCapture err;
        EXPECT_FALSE(load_scenes("missing.yaml", video, &other_files));
    }
    switch_after_first_frame("fm-start", "fm-late");
    switch_after_first_frame("fm-late", "exit");
    process_scene("fm-start");
    EXPECT_EQ(get_scene("fm-late")->get_object_list(), Strings{"second-root"});
}

TEST_F(ConfigFailure, ASceneWhoseConfigurationCannotBeMadeDoesNotLoad) {
    ASSERT_TRUE(load_list("scenes.yaml", {scene_entry("no-config", "x.yaml"), scene_entry("no-interface", "x.yaml")}));
    faults().refuse_create = "no-config";
    faults().refuse_interface = "no-interface";
    StderrCapture err;
    EXPECT_FALSE(get_scene("no-config")->load_scene());
    EXPECT_EQ(err.text(), "SCENE:71: Error while trying to create config from quillbox: refused by the test\n");
    err.clear();
    EXPECT_FALSE(get_scene("no-interface")->load_scene());
    EXPECT_EQ(err.text(), "SCENE:77: Error with config");
    EXPECT_FALSE(get_scene("no-config")->scene_loaded());
    EXPECT_FALSE(get_scene("no-interface")->scene_loaded());
}

}  // namespace
