#pragma once

// The one way the suites get an X server: a private Xvfb on a display number
// of its own choosing (-displayfd, so no two test runs clash), with a
// 1024 x 768 screen, stopped again when the object goes.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
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
        const std::string fd = std::to_string(pipe_ends[1]);
        std::vector<std::string> words = {"Xvfb", "-displayfd", fd, "-screen", "0", "1024x768x24", "-nolisten", "tcp"};
        std::vector<char*> argv;
        for (auto& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);
        const int spawned = posix_spawnp(&pid_, "Xvfb", &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(pipe_ends[1]);
        if (spawned != 0) {
            pid_ = -1;
            close(pipe_ends[0]);
            reason = std::string("Xvfb could not be started: ") + std::strerror(spawned);
            return {};
        }
        const std::string number = read_display_number(pipe_ends[0]);
        close(pipe_ends[0]);
        if (number.empty() || !accepts_connections(number)) {
            reason = "Xvfb did not come up";
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
    // Xvfb writes its display number once it is ready to take clients.
    static std::string read_display_number(int fd) {
        std::string number;
        pollfd wait{fd, POLLIN, 0};
        while (poll(&wait, 1, 10000) > 0) {
            char c;
            if (read(fd, &c, 1) != 1 || c == '\n') break;
            number += c;
        }
        return number;
    }

    static bool accepts_connections(const std::string& number) {
        const std::string path = "/tmp/.X11-unix/X" + number;
        for (int attempt = 0; attempt < 50; ++attempt) {
            const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
            const bool connected = connect(sock, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
            close(sock);
            if (connected) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }

    pid_t pid_ = -1;
};

}  // namespace testsupport
