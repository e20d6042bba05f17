#pragma once

#include <ostream>

// Writes what every object kind reads and offers, as the library and the
// registered host kinds describe it: each key with how its value is read,
// its default, whether it is required; the kind's slots and signals.
void print_key_reference(std::ostream& out);
