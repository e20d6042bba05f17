#pragma once

// The one way the suites get an X server: a private Xvfb with a 1024 x 768 screen on a display number of its own
// choosing (-displayfd, so no two test runs clash), stopped again when the object goes.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

extern char** environ;

namespace testsupport {

class XServer {
public:
    ~XServer() { stop(); }
    // The display name (":N"), or empty with reason set.
    std::string start(std::string& reason) {
        int pipe_ends[2];
        if (pipe(pipe_ends) != 0) {
            reason = std::string("pipe: ") + std::strerror(errno);
            return {};
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addclose(&actions, pipe_ends[0]);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        std::vector<std::string> words = {"Xvfb",        "-displayfd", std::to_string(pipe_ends[1]), "-screen", "0",
                                          "1024x768x24", "-nolisten",  "tcp"};
        std::vector<char*> argv;
        for (auto& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);
        const int spawned = posix_spawnp(&pid_, "Xvfb", &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(pipe_ends[1]);
        if (spawned != 0) pid_ = -1;
        // Xvfb writes its display number once it takes clients.
        std::string number;
        pollfd wait{pipe_ends[0], POLLIN, 0};
        for (char c; spawned == 0 && poll(&wait, 1, 10000) > 0 && read(pipe_ends[0], &c, 1) == 1 && c != '\n';)
            number += c;
        close(pipe_ends[0]);
        if (number.empty()) {
            reason = spawned != 0 ? std::string("Xvfb could not be started: ") + std::strerror(spawned)
                                  : "Xvfb did not come up";
            stop();
            return {};
        }
        return ":" + number;
    }

    void stop() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
};

}  // namespace testsupport
