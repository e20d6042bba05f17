#pragma once

#include <iostream>

// Starts one line of the scene loader's log: "SCENE:", the message number
// and ": ". The caller writes the text and ends the line.
inline std::ostream& scene_log(int number) { return std::cerr << "SCENE:" << number << ": "; }
