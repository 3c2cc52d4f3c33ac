#pragma once
// The one loader of libzorbit.so: opens it and binds its routines by name into the entry
// slots. The program and the standalone libgridentry.so both load through here; everything
// else calls the library through vex::Library.

#include <string>
#include <vector>

#include "script/slots.h"

namespace vex {

struct LibraryBinding {
    void* handle = nullptr;
    EntrySlots slots;
    std::string path; // where the library was found
    int bound = 0;    // slots that were filled
};

// Opens the library at path and fills every slot by name. False when it cannot be
// loaded, with the loader's reason in why (empty when it gave none).
bool OpenBinding(LibraryBinding& binding, const std::string& path, std::string& why);

// The same, with the failure as one text: "cannot load <path>: <reason>" (tests, and a
// library the command line names).
bool LoadBindingFrom(LibraryBinding& binding, const std::string& libraryPath, std::string& error);

// The program's search: beside the program first (a library found there is the one, even
// when it does not load), then by its SONAME on the library path, which holds the
// program's run path. False with a message when the library cannot be loaded. The library
// stays loaded for the whole process.
bool LoadBinding(LibraryBinding& binding, const std::string& programDir, std::string& error);

// Lets go of a library that was opened but is not wanted; the binding is empty afterwards.
void CloseBinding(LibraryBinding& binding);

// Where a module other than the program looks, in order: in folder (when given) by the
// SONAME and by the development link, then both names on the library path.
std::vector<std::string> LibraryCandidates(const std::string& folder);

// The folder (with its trailing "/") of the loaded module that holds address; empty when
// unknown.
std::string ModuleFolder(const void* address);

} // namespace vex
