#pragma once

#include <string>
#include <utility>
#include <vector>

#include "sceneengine/sceneobjects/slot.h"
#include "services/export.h"
#include "services/signals.h"
#include "services/video.h"

namespace FileIO { class FileManager; }
class Config_Interface;
class Scene;

// The abstract base of everything placed on a scene. Kinds derive from it
// virtually, override load (calling SceneObject::load first) and draw.
//
// The signal bus holds pointers to the built-in slot fields from
// register_slots until unregister_slots: an object must not be destroyed while
// its slots are registered (disconnect_signals(true), then unregister_slots,
// as Scene::remove_object does).
class SCENEENGINE_API SceneObject {
public:
    // One connection of the object: a full signal name, a full slot name, and
    // whether it is made on load (true) or only while the object has the focus.
    struct SCENEENGINE_API SignalConnection {
        SignalConnection(std::string signal_name, std::string slot_name, bool on_load_flag)
            : signal(std::move(signal_name)), slot(std::move(slot_name)), on_load(on_load_flag) {}
        std::string signal;
        std::string slot;
        bool on_load;
    };

    SceneObject();
    SceneObject(const SceneObject&) = default;  // the copy's slots stay bound to the source
    SceneObject& operator=(const SceneObject&) = default;

    virtual bool slot__on_activate(SlotArgs* args);
    virtual bool slot__on_deactivate(SlotArgs* args);
    virtual bool slot__on_key_press(SlotArgs* args);
    virtual bool slot__on_key_release(SlotArgs* args);
    virtual bool slot__on_character(SlotArgs* args);
    virtual bool slot__on_mouse_release(SlotArgs* args);
    // Makes the on-load connections again; returns false.
    virtual bool slot__on_scene_reinit(SlotArgs* args);
    // Reads the common keys, builds the slot table, then real_load.
    virtual bool load(Scene* scene, std::string storage_name, std::string storage_prefix, std::string scene_name,
                      std::string object_name, FileIO::FileManager* file_manager);
    virtual void draw() = 0;
    // The on-screen rectangle of the object's sprite, or all zero.
    virtual void _get_active_area_rect(VideoRect* rect);
    // The video name (not the object's name).
    virtual std::string _get_name();
    virtual void set_video_name(std::string video_name);
    virtual std::string _get_error();
    // Stores the text; writes nothing.
    virtual void _set_error(std::string error);
    virtual void register_slots();
    virtual void unregister_slots();
    // true: the on-load connections only; false: every connection.
    virtual void connect_signals(bool on_load_only);
    // true: every connection; false: the on-request ones only. Always cuts the
    // reinit connection first.
    virtual void disconnect_signals(bool all);
    virtual ~SceneObject();
    virtual void _on_mouse_enter(float x, float y, MOUSE_BUTTON button);
    virtual void _on_mouse_leave(float x, float y, MOUSE_BUTTON button);
    // Whether (x, y) lies on the sprite's rectangle, edges included; with
    // require_alpha_collision also over a pixel that is at least half opaque
    // (the far edges read the last column and row; a rectangle of zero width
    // or height never passes). False without a device or sprite, and for a
    // coordinate that is not a number.
    virtual bool _is_point_in_object(float x, float y);
    // The base point of the object's sprite, as fractions of its size, or (0, 0).
    virtual void get_base_point(VideoPoint* point);
    // Computes x and y: "absolute" (scaled into the scene's area when the
    // scene has a parent) or "link" against another object's rectangle, where
    // "base_point" aligns to that object's base point on screen. False with
    // the reason stored through _set_error, the position kept (a bad h_align
    // comes after y was set); a parent scene of width or height 0 fails too.
    virtual bool calculate_position();

    // The second stage of load: registers the slots and reads the connections.
    bool real_load(Scene* scene, std::string storage_name, std::string storage_prefix, std::string scene_name,
                   std::string object_name, FileIO::FileManager* file_manager);

    std::string _get_coord_type() const { return coord_type; }
    void _set_coord_type(std::string value) { coord_type = std::move(value); }
    float _get_absolute_x() const { return absolute_x; }
    void _set_absolute_x(float value) { absolute_x = value; }
    float _get_absolute_y() const { return absolute_y; }
    void _set_absolute_y(float value) { absolute_y = value; }
    std::string _get_link_object() const { return link_object; }
    void _set_link_object(std::string value) { link_object = std::move(value); }
    std::string _get_link_v_align() const { return link_v_align; }
    void _set_link_v_align(std::string value) { link_v_align = std::move(value); }
    std::string _get_link_h_align() const { return link_h_align; }
    void _set_link_h_align(std::string value) { link_h_align = std::move(value); }
    float _get_link_v_offset() const { return link_v_offset; }
    void _set_link_v_offset(float value) { link_v_offset = value; }
    float _get_link_h_offset() const { return link_h_offset; }
    void _set_link_h_offset(float value) { link_h_offset = value; }
    bool _get_show() const { return show; }
    void _set_show(bool value) { show = value; }
    bool _get_require_alpha_collision() const { return require_alpha_collision; }
    void _set_require_alpha_collision(bool value) { require_alpha_collision = value; }
    std::string _get__video_name_() const { return _video_name_; }
    void _set__video_name_(std::string value) { _video_name_ = std::move(value); }
    std::string _get__scene_name_() const { return _scene_name_; }
    void _set__scene_name_(std::string value) { _scene_name_ = std::move(value); }
    std::string _get__object_name_() const { return _object_name_; }
    void _set__object_name_(std::string value) { _object_name_ = std::move(value); }
    std::string _get__storage_name_() const { return _storage_name_; }
    void _set__storage_name_(std::string value) { _storage_name_ = std::move(value); }
    std::string _get__storage_prefix_() const { return _storage_prefix_; }
    void _set__storage_prefix_(std::string value) { _storage_prefix_ = std::move(value); }
    std::string _get__error_() const { return _error_; }
    void _set__error_(std::string value) { _error_ = std::move(value); }
    std::vector<SignalConnection> _get__signal_connections_() const { return _signal_connections_; }
    void _set__signal_connections_(std::vector<SignalConnection> value) { _signal_connections_ = std::move(value); }
    std::vector<std::pair<std::string, AbstractSlot*>> _get__slot_map_() const { return _slot_map_; }
    void _set__slot_map_(std::vector<std::pair<std::string, AbstractSlot*>> value) { _slot_map_ = std::move(value); }
    float _get_x() const { return x; }
    void _set_x(float value) { x = value; }
    float _get_y() const { return y; }
    void _set_y(float value) { y = value; }
    Scene* _get__scene_() const { return _scene_; }

protected:
    // SceneObject::load, handing back the configuration it fetched (once for
    // the whole load) so that a kind reads its own keys from it: keeps the
    // names and the scene, reads the common keys, builds the slot table,
    // registers the slots and reads the connections. Null, with the reason
    // stored through _set_error, when there is no configuration named
    // storage_name. Every kind's load begins with its base's load_with_config.
    Config_Interface* load_with_config(Scene* scene, const std::string& storage_name,
                                       const std::string& storage_prefix, const std::string& scene_name,
                                       const std::string& object_name, FileIO::FileManager* file_manager);

    // The device sprite named after the object (object name, scene name),
    // looked up at each use: a host may replace the device, and the old
    // sprite goes with the old device. Null without a device or such a
    // sprite; video, when given, receives the device.
    Video_Sprite* own_sprite(Video_Interface** video = nullptr);
    // Places own_sprite at the computed position and draws it (a failed
    // computation draws the last position); nothing when the object is hidden
    // or has no sprite. looked_up, when given, receives the sprite found (it
    // is left alone without a device).
    void draw_own_sprite(Video_Sprite** looked_up = nullptr);
    // The test of _is_point_in_object on own_sprite; looked_up as for draw_own_sprite.
    bool point_on_own_sprite(float x, float y, Video_Sprite** looked_up = nullptr);

    // Registers the slots and reads the "signals->signal" entries.
    virtual void load_signals(Config_Interface* config, std::string storage_prefix);

    Slot<SceneObject> _activate_slot_;
    Slot<SceneObject> _deactivate_slot_;
    Slot<SceneObject> _key_press_slot_;
    Slot<SceneObject> _key_release_slot_;
    Slot<SceneObject> _character_slot_;
    Slot<SceneObject> _mouse_release_slot_;
    Slot<SceneObject> _scene_reinit_slot_;
    std::string coord_type;
    float absolute_x = 0.0f;
    float absolute_y = 0.0f;
    std::string link_object;
    std::string link_v_align;
    std::string link_h_align;
    float link_v_offset = 0.0f;
    float link_h_offset = 0.0f;
    bool show = false;  // an object is hidden until load reads "SceneObject->show"
    bool require_alpha_collision = false;
    std::string _video_name_;
    std::string _scene_name_;
    std::string _object_name_;
    std::string _storage_name_;
    std::string _storage_prefix_;
    std::string _error_;
    std::vector<SignalConnection> _signal_connections_;
    std::vector<std::pair<std::string, AbstractSlot*>> _slot_map_;
    float x = 0.0f;
    float y = 0.0f;
    Scene* _scene_ = nullptr;
};
