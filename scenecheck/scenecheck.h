#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "scenecheck/check_report.h"

namespace FileIO { class FileManager; }

// Runs the checker on a command line (the arguments after the program's
// name): "LIST [--root DIR]". Findings go to out, one a line; usage errors
// and the tool's own failures to err. Returns the exit status: 0 when the
// list and its scenes are clean, 1 when anything was reported, 2 for a usage
// error.
int run_scenecheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Checks list (a path below files' root) and every scene file it names, the
// way the library would read them, into report. Pictures and fonts are tried
// on a headless device that is made for the check and removed after it; the
// library is initialised for that device and the host's kinds registered, so
// a host calls init for its own device afterwards. False, with error set,
// when the check itself cannot run.
bool check_list(FileIO::FileManager* files, const std::string& list, CheckReport& report, std::string& error);
