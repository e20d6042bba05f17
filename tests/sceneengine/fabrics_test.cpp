#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "sceneengine/scenemanager/scene/scene.h"
#include "sceneengine/scenemanager/scene_fabric.h"
#include "sceneengine/scenemanager/scene_object_fabric.h"
#include "sceneengine/scenemanager/sceneengine.h"
#include "sceneengine/sceneobjects/image.h"
#include "sceneengine/sceneobjects/text/text.h"
#include "sceneengine/sceneobjects/timer.h"

namespace {

// The scene loader and the scene list call operator[] on a plain fabric.
SceneObject* make_object(const std::string& type) {
    SceneObjectFabric fabric;
    return fabric[type];
}

Scene* make_scene(const std::string& type) {
    SceneFabric fabric;
    return fabric[type];
}

class Fabrics : public ::testing::Test {
protected:
    // init registers the built-in kinds; a device of this name need not exist.
    void SetUp() override { init("fabrics-video"); }
};

TEST_F(Fabrics, BuiltInKindsAreMadeByTheirExactName) {
    std::unique_ptr<SceneObject> image(make_object("Image"));
    std::unique_ptr<SceneObject> text(make_object("Text"));
    std::unique_ptr<SceneObject> timer(make_object("Timer"));
    EXPECT_NE(dynamic_cast<Image*>(image.get()), nullptr);
    EXPECT_NE(dynamic_cast<Text*>(text.get()), nullptr);
    EXPECT_NE(dynamic_cast<Timer*>(timer.get()), nullptr);
    std::unique_ptr<Scene> scene(make_scene("generic"));
    EXPECT_NE(scene, nullptr);
}

TEST_F(Fabrics, UnknownNamesMakeNothing) {
    for (const char* name : {"image", "IMAGE", "", "Image ", "Sprite"}) EXPECT_EQ(make_object(name), nullptr) << name;
    EXPECT_EQ(make_scene("Generic"), nullptr);
    EXPECT_EQ(make_scene(""), nullptr);
}

TEST_F(Fabrics, EveryCallMakesANewObject) {
    std::unique_ptr<SceneObject> first(make_object("Text"));
    std::unique_ptr<SceneObject> second(make_object("Text"));
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first.get(), second.get());
    EXPECT_NE(dynamic_cast<Text*>(second.get()), nullptr);
}

struct NullFabric : SceneObjectFabric {};  // the base makes nothing

TEST_F(Fabrics, TheFirstRegistrationOfANameStays) {
    static NullFabric other;
    SceneObjectFabric::add_fabric("Image", &other);
    std::unique_ptr<SceneObject> image(make_object("Image"));
    EXPECT_NE(dynamic_cast<Image*>(image.get()), nullptr);

    SceneObjectFabric* const registered = SceneObjectFabric::_fabrics_.get("Image");
    SceneFabric* const generic = SceneFabric::_fabrics_.get("generic");
    init("fabrics-video");  // a second init replaces nothing
    EXPECT_EQ(SceneObjectFabric::_fabrics_.get("Image"), registered);
    EXPECT_EQ(SceneFabric::_fabrics_.get("generic"), generic);
}

TEST_F(Fabrics, ANullFactoryMakesNothing) {
    SceneObjectFabric::add_fabric("NullKind", nullptr);
    EXPECT_EQ(make_object("NullKind"), nullptr);
    static NullFabric base_only;
    SceneObjectFabric::add_fabric("BaseKind", &base_only);
    EXPECT_EQ(make_object("BaseKind"), nullptr);
}

}  // namespace
