#include "gridentry/grid_calculate.h"

#include <utility>

#include "common/number_text.h"
#include "common/text.h"

namespace vex::grid {

namespace {

// The entries the window calls.
constexpr const char* kNeededEntries[] = {"e_eval",     "aDet",       "aInv",      "aMatrIsOrtog",
                                          "GetE_Error", "SetE_Error", "SetDebugF", "SetErrorMsgsF"};

std::u16string NumberText(double value) {
    return zorbit::TrimNumber(zorbit::Fixed10(value));
}

std::u16string SquareError(const GridState& state) {
    if (state.rows < 1) return u"The grid has no cells: generate them first.";
    if (state.rows != state.cols) return u"This needs a square matrix (rows = columns).";
    return {};
}

} // namespace

std::vector<std::string> LibraryCandidates() {
    return vex::LibraryCandidates(ModuleFolder(reinterpret_cast<const void*>(&BindMatrixLibrary)));
}

std::string CannotCalculate(const Library& lib) {
    if (!lib.Bound()) return lib.WhyUnbound().empty() ? "no library is bound" : lib.WhyUnbound();
    for (const char* name : kNeededEntries)
        if (!lib.Has(name)) return "entry " + std::string(name) + " is missing";
    return {};
}

MatrixLibrary BindMatrixLibrary(const std::vector<std::string>& candidates) {
    MatrixLibrary lib;
    for (const std::string& path : candidates) {
        std::string why;
        if (!OpenBinding(lib.binding, path, why)) {
            lib.error = why.empty() ? path + ": cannot be loaded" : why;
            continue;
        }
        const std::string missing = CannotCalculate(Library(&lib.binding.slots));
        if (missing.empty()) {
            lib.error.clear();
            return lib;
        }
        CloseBinding(lib.binding);
        lib.error = path + ": " + missing;
    }
    return lib;
}

const MatrixLibrary& TheMatrixLibrary() {
    static const MatrixLibrary lib = BindMatrixLibrary(LibraryCandidates());
    return lib;
}

Calculation EvaluateCells(const Library& lib, const GridState& state, std::vector<double>& values) {
    values.assign(state.cells.size(), 0.0);
    // Every calculation passes here first: a library without the entries is never called.
    if (const std::string why = CannotCalculate(lib); !why.empty())
        return {{}, u"The library is not loaded: " + zorbit::Utf8ToUtf16(why)};
    const Library::Quiet quiet = lib.Quietly();
    for (size_t k = 0; k < state.cells.size(); ++k) {
        const std::u16string_view cell = zorbit::TrimSpaces(state.cells[k]);
        if (cell.empty()) continue; // an empty cell stands for 0, as in the definition
        const std::u16string text(cell);
        double value = 0;
        bool matrix = false;
        int32_t code = ZORBIT_NO_ERROR;
        const bool evaluated = lib.Eval(text, value, matrix, code);
        const CellPlace place{static_cast<int>(k) / state.cols + 1,
                              static_cast<int>(k) % state.cols + 1};
        if (!evaluated) return {{}, u"Cell " + PlaceLabel(place) + u" has no value: " + text};
        // A matrix comes back as its handle, which is no element value.
        if (matrix)
            return {{}, u"Cell " + PlaceLabel(place) + u" holds a matrix, not a number: " + text};
        values[k] = value;
    }
    return {};
}

Calculation DeterminantOf(const Library& lib, const GridState& state) {
    if (std::u16string why = SquareError(state); !why.empty()) return {{}, why};
    std::vector<double> values;
    if (Calculation c = EvaluateCells(lib, state, values); !c.error.empty()) return c;
    double det = 0;
    {
        const Library::Quiet quiet = lib.Quietly();
        lib.Determinant(values.data(), state.rows, det);
    }
    return {u"Determinant of " + state.name + u" = " + NumberText(det), {}};
}

Calculation InvertCells(const Library& lib, GridState& state) {
    if (std::u16string why = SquareError(state); !why.empty()) return {{}, why};
    std::vector<double> values;
    if (Calculation c = EvaluateCells(lib, state, values); !c.error.empty()) return c;
    int32_t code;
    {
        const Library::Quiet quiet = lib.Quietly();
        code = lib.Invert(values.data(), state.rows);
    }
    if (code == ZORBIT_M_SINGULAR) return {{}, u"Singular matrix"};
    if (code != ZORBIT_NO_ERROR) return {{}, u"The inverse could not be computed."};
    for (size_t k = 0; k < values.size(); ++k)
        state.cells[k] = NumberText(values[k]);
    return {u"Inverted " + state.name, {}};
}

Calculation OrthogonalityOf(const Library& lib, const GridState& state) {
    if (std::u16string why = SquareError(state); !why.empty()) return {{}, why};
    std::vector<double> values;
    if (Calculation c = EvaluateCells(lib, state, values); !c.error.empty()) return c;
    int32_t answer;
    {
        const Library::Quiet quiet = lib.Quietly();
        answer = lib.Orthogonality(values.data(), state.rows);
    }
    return {state.name + (answer == -1 ? u" is orthogonal." : u" is not orthogonal."), {}};
}

} // namespace vex::grid
