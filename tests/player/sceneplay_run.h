#pragma once

// Runs the built programs as separate processes, as a user would, and collects their exit status and output.

#include <sys/wait.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace playertest {

struct RunResult {
    int status = -1;  // the exit status, or -1 when it did not exit normally
    std::string out, err;
    // stderr's lines without the library's " loaded" progress lines.
    std::vector<std::string> error_lines() const {
        std::vector<std::string> lines;
        std::istringstream in(err);
        for (std::string line; std::getline(in, line);)
            if (line.size() < 7 || line.compare(line.size() - 7, 7, " loaded") != 0) lines.push_back(line);
        return lines;
    }
    std::string last_error_line() const { return error_lines().empty() ? "" : error_lines().back(); }
};

inline std::string source_dir() { return SCENE_TEST_SOURCE_DIR; }
inline std::string program_path(const std::string& name) { return PLAYER_TEST_BINARY_DIR "/" + name; }
inline std::string presentation() { return source_dir() + "/examples/presentation/scenes.yaml"; }

inline std::string shell_quoted(const std::string& word) {
    std::string quoted = "'";
    for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Runs program (a path) from the folder cwd without a display, so that sceneplay plays headless unless told otherwise.
// Built by appending: GCC 12 at -O3 takes "literal" + std::string&& for an overlapping copy.
inline RunResult run(const std::string& program, const std::vector<std::string>& arguments,
                     const std::string& cwd = ".") {
    testsupport::TempDir outputs;
    const std::string out = outputs.str() + "/out", err = outputs.str() + "/err";
    std::string command = std::string("cd ").append(shell_quoted(cwd)).append(" && env -u DISPLAY -u WAYLAND_DISPLAY ");
    command.append(shell_quoted(program));
    for (const std::string& argument : arguments) command.append(" ").append(shell_quoted(argument));
    command.append(" >").append(shell_quoted(out)).append(" 2>").append(shell_quoted(err)).append(" </dev/null");
    const int raw = std::system(command.c_str());
    const int status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return {status, testsupport::read_file(out), testsupport::read_file(err)};
}

inline RunResult run_sceneplay(const std::vector<std::string>& arguments, const std::string& cwd = ".") {
    return run(program_path("player/sceneplay"), arguments, cwd);
}

}  // namespace playertest
