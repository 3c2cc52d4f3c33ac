#pragma once
// Loading libzorbit.so and binding its routines by name into the entry slots.

#include <string>

#include "script/slots.h"

namespace vex {

struct LibraryBinding {
    void* handle = nullptr;
    EntrySlots slots;
    std::string path; // where the library was found
    int bound = 0;    // slots that were filled
};

// Opens the library (beside the program first, then by its SONAME on the library path,
// which holds the program's run path) and
// fills every slot by name; false with a message when the library cannot be loaded.
// The library stays loaded for the whole process.
bool LoadBinding(LibraryBinding& binding, const std::string& programDir, std::string& error);

// The same for a library given by its path (tests).
bool LoadBindingFrom(LibraryBinding& binding, const std::string& libraryPath, std::string& error);

} // namespace vex
