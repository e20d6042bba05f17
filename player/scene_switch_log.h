#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace player {

// Logs the switches of the scene on the screen as they happen: a host slot is
// connected to each followed scene's S + "->new_cycle" signal,
// which the scene raises at the start of every draw. When the scene that
// draws is not the one that drew last, the screen has switched scenes. (A
// scene left and shown again without another scene drawing in between, as
// when a switch names a scene that is not in the list, is no switch here.)
//
// The slots stay registered with the signal bus while the log lives.
class SceneSwitchLog {
public:
    // frame tells the current frame; on_switch (may be empty) hears each
    // switch as it happens.
    SceneSwitchLog(std::function<std::int64_t()> frame,
                   std::function<void(std::int64_t frame, const std::string& scene)> on_switch);
    ~SceneSwitchLog();
    SceneSwitchLog(const SceneSwitchLog&) = delete;
    SceneSwitchLog& operator=(const SceneSwitchLog&) = delete;

    // Starts following the scene named; following a scene twice changes nothing.
    void follow(const std::string& scene);

    // The scene that drew last ("" before any draw).
    const std::string& current() const { return current_; }
    // Every switch so far, the first scene's first draw included.
    const std::vector<std::pair<std::int64_t, std::string>>& switches() const { return switches_; }

private:
    class Probe;
    void drew(const std::string& scene);

    std::function<std::int64_t()> frame_;
    std::function<void(std::int64_t, const std::string&)> on_switch_;
    std::vector<std::unique_ptr<Probe>> probes_;
    std::string current_;
    std::vector<std::pair<std::int64_t, std::string>> switches_;
};

}  // namespace player
