#pragma once
// The Calculate menu computes through the calculator's library and its client. In the
// calculator the window gets the program's client; the standalone libgridentry.so binds
// the library by name at run time through the program's loader: the window itself never
// links libzorbit.so.

#include <cstdint>
#include <string>
#include <vector>

#include "gridentry/grid_state.h"
#include "script/library_client.h"
#include "script/library_loader.h"

namespace vex::grid {

// The standalone module's own binding: the first candidate that loads and has every
// entry the window uses (e_eval, aDet, aInv, aMatrIsOrtog and the error and debug
// switches); the handle stays open.
struct MatrixLibrary {
    LibraryBinding binding;
    std::string error; // why it could not be bound; empty when bound
    bool bound() const { return binding.handle != nullptr; }
    // The client over it: unbound (with the error) when it was not bound.
    Library Client() const { return bound() ? Library(&binding.slots) : Library(nullptr, error); }
};

// Where the library is looked for: beside the module this code is in, then by name on
// the normal library path.
std::vector<std::string> LibraryCandidates();
MatrixLibrary BindMatrixLibrary(const std::vector<std::string>& candidates);
// The process's one binding, made on first use.
const MatrixLibrary& TheMatrixLibrary();

// Why the window cannot calculate with lib (no library, or an entry it needs is
// missing); empty when it can.
std::string CannotCalculate(const Library& lib);

// What a Calculate item gives: a text to show, or an error; Invert also new cells.
struct Calculation {
    std::u16string text;  // for the messages window or a message box
    std::u16string error; // empty on success
};

// Each cell's value through e_eval (expressions allowed); the library's debug output and
// error records stay off and its error code is put back.
Calculation EvaluateCells(const Library& lib, const GridState& state, std::vector<double>& values);
Calculation DeterminantOf(const Library& lib, const GridState& state);
// Replaces the cells with the inverse, or leaves them and says why.
Calculation InvertCells(const Library& lib, GridState& state);
Calculation OrthogonalityOf(const Library& lib, const GridState& state);

} // namespace vex::grid
