#pragma once

#include <ostream>
#include <string>
#include <vector>

// Runs the checker on a command line (the arguments after the program's
// name): "LIST [--root DIR]". Findings go to out, one a line; usage errors
// and the tool's own failures to err. Returns the exit status: 0 when the
// list and its scenes are clean, 1 when anything was reported, 2 for a usage
// error.
int run_scenecheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
