// sceneplay LIST FIRST_SCENE [options]: plays a scene list in a window or
// headless. See player.h for the run and options.h for the command line.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "player/options.h"
#include "player/player.h"
#include "sceneengine/scenemanager/sceneengine.h"

int main(int argc, char** argv) {
    player::Options options;
    std::string error;
    if (!player::parse_options(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::cerr << "sceneplay: " << error << std::endl;
        return player::exit_usage;
    }
    if (options.help) {
        std::cout << player::usage_text();
        return player::exit_ok;
    }
    // Nothing below is meant to throw; if something does (memory runs out),
    // say so on one line instead of aborting.
    try {
        const int status = player::play(options, std::cout, std::cerr);
        release_scenes();  // the host's part: the library's table does not own its scenes
        return status;
    } catch (const std::exception& failure) {
        std::cerr << "sceneplay: stopped: " << failure.what() << std::endl;
    } catch (...) {
        std::cerr << "sceneplay: stopped by an unexpected error" << std::endl;
    }
    return player::exit_failure;
}
