#include "sceneengine/scenemanager/internal/library_state.h"

// Made on first use rather than at load time: its signals belong to the
// signal bus, which may live in a library that is initialised after this one.
LibraryState& library_state() {
    static LibraryState state;
    return state;
}
