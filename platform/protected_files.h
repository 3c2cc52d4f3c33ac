#pragma once
// The program's own files, which no save may replace: its executable, the library, the
// command help and, once installed, everything under its folders. The program names
// them at start-up; every save asks here before it writes. Names are compared in their
// canonical form (symlinks and ".." resolved) and, for files that exist, by device and
// inode, so another spelling or a hard link of a protected file is refused too.

#include <string>

namespace vex {

// One file (a name that does not exist yet is kept by its canonical spelling).
void ProtectFile(const std::string& path);
// Every file in folder whose name starts with prefix ("libzorbit.so" covers the
// library's versioned names), now and later.
void ProtectNamesIn(const std::string& folder, const std::string& prefix);
// Everything under folder, at any depth.
void ProtectFolder(const std::string& folder);
// Forgets every entry (tests).
void ClearProtectedFiles();

// True when writing path would replace or create a protected file; `which` (when not
// null) gets the protected name it matched.
bool IsProtectedFile(const std::string& path, std::string* which = nullptr);

// What the program protects at start-up: the executable, the loaded library (with the
// other versioned names of both libraries in its folder) and the command help; an
// installed program also its own folder and the help folder as a whole.
struct ProgramFiles {
    std::string executable;
    std::string library;
    std::string helpDir;
    bool installed = false;
};
void ProtectProgramFiles(const ProgramFiles& files);

// The file a dlopen handle was loaded from (empty when unknown).
std::string LoadedLibraryFile(void* handle);

} // namespace vex
