// The connections an object reads from its "signals->signal" entries, and
// when they are made and cut.

#include "tests/sceneengine/object_fixture.h"

using objecttest::ObjectTest;
using objecttest::PlainObject;

namespace {

using Connection = SceneObject::SignalConnection;

class SignalWiring : public ObjectTest {
protected:
    void SetUp() override {
        ObjectTest::SetUp();
        scene = "menu_" + unique;
        S = scene + "->";
        O = S + "button->";
    }

    // Loads "button" whose signal entries are the given YAML mapping body.
    void load_button(const std::string& entries) {
        configure("Objects:\n  button:\n    signals:\n" + entries + "    SceneObject: {show: 'true'}\n");
        ASSERT_TRUE(load(object, "button")) << object._get_error();
    }

    static void expect_connection(const Connection& c, const std::string& signal, const std::string& slot,
                                  bool on_load) {
        EXPECT_EQ(c.signal, signal);
        EXPECT_EQ(c.slot, slot);
        EXPECT_EQ(c.on_load, on_load);
    }

    PlainObject object;
    std::string S, O;
};

TEST_F(SignalWiring, WithoutEntriesOnlyTheThreeDefaultsExist) {
    configure("Objects: {button: {}}\n");
    ASSERT_TRUE(load(object, "button"));
    const auto connections = object._get__signal_connections_();
    ASSERT_EQ(connections.size(), 3u);
    expect_connection(connections[0], S + "activate", O + "_on_activate", false);
    expect_connection(connections[1], S + "deactivate", O + "_on_deactivate", false);
    expect_connection(connections[2], S + "reinit", O + "_on_scene_reinit", false);
    // Loading registers the slots; only the reinit connection is made.
    EXPECT_TRUE(signals_is_connected(S + "reinit", O + "_on_scene_reinit"));
    EXPECT_FALSE(signals_is_connected(S + "activate", O + "_on_activate"));
    EXPECT_FALSE(signals_is_connected(S + "deactivate", O + "_on_deactivate"));
}

TEST_F(SignalWiring, BuiltinVideoSourceStandsForTheVideoNameAndConnectsOnLoad) {
    load_button(R"(      signal0:
        signal_source: Video
        type: builtin
        signal_name: keyboard_press
        slot_name: _on_key_press
        connect: on_load
)");
    const auto connections = object._get__signal_connections_();
    ASSERT_EQ(connections.size(), 4u);
    expect_connection(connections[3], video + "->keyboard_press", O + "_on_key_press", true);
    EXPECT_TRUE(signals_is_connected(video + "->keyboard_press", O + "_on_key_press"));

    // Connected at once: raising the signal runs the object's slot.
    Signal key(video + "->keyboard_press");
    key.add_params(std::int64_t{65});
    key.rise();
    EXPECT_EQ(object.key_presses, 1);
}

TEST_F(SignalWiring, CustomOrMissingTypeKeepsVideoAsAPlainSource) {
    load_button(R"(      signal0: {signal_source: Video, type: custom, signal_name: keyboard_press, slot_name: _on_key_press}
      signal1: {signal_source: Video, signal_name: keyboard_release, slot_name: _on_key_release}
      signal2: {signal_source: Video, type: Builtin, signal_name: character, slot_name: _on_character}
)");
    const auto connections = object._get__signal_connections_();
    ASSERT_EQ(connections.size(), 6u);
    expect_connection(connections[3], "Video->keyboard_press", O + "_on_key_press", false);
    expect_connection(connections[4], "Video->keyboard_release", O + "_on_key_release", false);
    expect_connection(connections[5], "Video->character", O + "_on_character", false);
    // On-request entries wait for the focus.
    EXPECT_FALSE(signals_is_connected("Video->keyboard_press", O + "_on_key_press"));
}

TEST_F(SignalWiring, ListEndsAtTheFirstEntryWithoutSource) {
    load_button(R"(      signal0: {signal_source: other, signal_name: tick, slot_name: a}
      signal1: {signal_name: tick, slot_name: b, connect: on_load}
      signal2: {signal_source: other, signal_name: tock, slot_name: c}
)");
    const auto connections = object._get__signal_connections_();
    ASSERT_EQ(connections.size(), 4u);
    expect_connection(connections[3], "other->tick", O + "a", false);
}

TEST_F(SignalWiring, ActivateDeactivateAndNamelessEntriesAreSkippedButReadingGoesOn) {
    load_button(R"(      signal0: {signal_source: other, signal_name: activate, slot_name: a, connect: on_load}
      signal1: {signal_source: other, signal_name: deactivate, slot_name: b}
      signal2: {signal_source: other, slot_name: c}
      signal3: {signal_source: other, signal_name: Activate, slot_name: d, connect: On_load}
      signal4: {signal_source: other, signal_name: tick}
)");
    const auto connections = object._get__signal_connections_();
    ASSERT_EQ(connections.size(), 5u);
    EXPECT_FALSE(signals_is_connected("other->activate", O + "a"));
    // Comparisons are exact: "Activate" is an ordinary signal, "On_load" means on request.
    expect_connection(connections[3], "other->Activate", O + "d", false);
    // A missing slot name still names a slot of this object.
    expect_connection(connections[4], "other->tick", O, false);
}

TEST_F(SignalWiring, ConnectAndDisconnectFollowTheOnLoadFlag) {
    load_button(R"(      signal0: {signal_source: clock, signal_name: tick, slot_name: _on_key_press, connect: on_load}
      signal1: {signal_source: clock, signal_name: tock, slot_name: _on_character}
)");
    const std::string reinit = S + "reinit", reinit_slot = O + "_on_scene_reinit";
    ASSERT_TRUE(signals_is_connected("clock->tick", O + "_on_key_press"));
    ASSERT_FALSE(signals_is_connected("clock->tock", O + "_on_character"));

    object.connect_signals(true);  // on-load ones only
    EXPECT_FALSE(signals_is_connected("clock->tock", O + "_on_character"));
    EXPECT_FALSE(signals_is_connected(S + "activate", O + "_on_activate"));

    object.connect_signals(false);  // the focus: every connection
    EXPECT_TRUE(signals_is_connected("clock->tock", O + "_on_character"));
    EXPECT_TRUE(signals_is_connected(S + "activate", O + "_on_activate"));
    EXPECT_TRUE(signals_is_connected(S + "deactivate", O + "_on_deactivate"));

    object.disconnect_signals(false);  // focus lost: on-request ones and the reinit link go
    EXPECT_TRUE(signals_is_connected("clock->tick", O + "_on_key_press"));
    EXPECT_FALSE(signals_is_connected("clock->tock", O + "_on_character"));
    EXPECT_FALSE(signals_is_connected(S + "activate", O + "_on_activate"));
    EXPECT_FALSE(signals_is_connected(reinit, reinit_slot));

    object.connect_signals(false);
    object.disconnect_signals(true);  // removal: everything goes
    EXPECT_FALSE(signals_is_connected("clock->tick", O + "_on_key_press"));
    EXPECT_FALSE(signals_is_connected("clock->tock", O + "_on_character"));
    EXPECT_FALSE(signals_is_connected(reinit, reinit_slot));
}

TEST_F(SignalWiring, FocusedObjectReceivesItsScenesActivateSignal) {
    configure("Objects: {button: {}}\n");
    ASSERT_TRUE(load(object, "button"));
    Signal activate(S + "activate");
    activate.rise();
    EXPECT_EQ(object.activations, 0);
    object.connect_signals(false);
    activate.rise();
    EXPECT_EQ(object.activations, 1);
    object.disconnect_signals(false);
    activate.rise();
    EXPECT_EQ(object.activations, 1);
}

TEST_F(SignalWiring, UnregisterAndRegisterAgain) {
    configure("Objects: {button: {}}\n");
    ASSERT_TRUE(load(object, "button"));
    object.unregister_slots();
    for (const auto& entry : object._get__slot_map_()) EXPECT_FALSE(signals_is_registered(entry.first));
    EXPECT_FALSE(signals_is_connected(S + "reinit", O + "_on_scene_reinit"));

    object.register_slots();
    object.register_slots();  // activation registers again; the bus accepts repeats
    for (const auto& entry : object._get__slot_map_()) EXPECT_TRUE(signals_is_registered(entry.first));
    EXPECT_TRUE(signals_is_connected(S + "reinit", O + "_on_scene_reinit"));
}

TEST_F(SignalWiring, SceneReinitRestoresOnLoadConnections) {
    load_button(R"(      signal0: {signal_source: clock, signal_name: tick, slot_name: _on_key_press, connect: on_load}
)");
    disconnect("clock->tick", O + "_on_key_press");
    Signal tick("clock->tick");
    tick.rise();
    EXPECT_EQ(object.key_presses, 0);

    Signal reinit(S + "reinit");
    reinit.rise();  // the object's reinit slot connects from inside the rise
    EXPECT_TRUE(signals_is_connected("clock->tick", O + "_on_key_press"));
    tick.rise();
    EXPECT_EQ(object.key_presses, 1);
}

}  // namespace
