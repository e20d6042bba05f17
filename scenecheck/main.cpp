#include <iostream>

#include "scenecheck/scenecheck.h"

int main(int argc, char** argv) {
    return run_scenecheck(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
