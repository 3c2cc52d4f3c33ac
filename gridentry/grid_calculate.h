#pragma once
// The Calculate menu computes through the calculator's library, bound by name at run
// time as the calculator binds it: the window itself never links libzorbit.so.

#include <cstdint>
#include <string>
#include <vector>

#include "gridentry/grid_state.h"
#include "script/slots.h"

namespace vex::grid {

// The interpreter's entry slots, of which the window uses e_eval, aDet, aInv,
// aMatrIsOrtog and the error and debug switches.
struct MatrixLibrary : EntrySlots {
    void* handle = nullptr;
    std::string error; // why it could not be bound; empty when bound
    bool bound() const { return handle != nullptr; }
};

// Where the library is looked for: beside the module this code is in, then by name on
// the normal library path.
std::vector<std::string> LibraryCandidates();
// Binds the first candidate that loads and has every entry; the handle stays open.
MatrixLibrary BindMatrixLibrary(const std::vector<std::string>& candidates);
// The entries a program has already bound (handle: its library); not bound, with the
// reason, when one the window needs is missing.
MatrixLibrary MatrixLibraryFrom(const EntrySlots& slots, void* handle);
// The process's one binding, made on first use.
const MatrixLibrary& TheMatrixLibrary();

// What a Calculate item gives: a text to show, or an error; Invert also new cells.
struct Calculation {
    std::u16string text;  // for the messages window or a message box
    std::u16string error; // empty on success
};

// Each cell's value through e_eval (expressions allowed); the library's debug output and
// error records stay off and its error code is put back.
Calculation EvaluateCells(const MatrixLibrary& lib, const GridState& state,
                          std::vector<double>& values);
Calculation DeterminantOf(const MatrixLibrary& lib, const GridState& state);
// Replaces the cells with the inverse, or leaves them and says why.
Calculation InvertCells(const MatrixLibrary& lib, GridState& state);
Calculation OrthogonalityOf(const MatrixLibrary& lib, const GridState& state);

} // namespace vex::grid
