#include "gridentry/grid_calculate.h"

#include <dlfcn.h>

#include <utility>

#include "common/number_text.h"
#include "common/text.h"
#include "script/quiet_library.h"

namespace vex::grid {

namespace {

std::string OwnFolder() {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&OwnFolder), &info) || !info.dli_fname) return {};
    const std::string path = info.dli_fname;
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The name of the first entry the window needs that slots lack; empty when none.
std::string MissingEntry(const EntrySlots& slots) {
    const std::pair<const char*, bool> needed[] = {
        {"e_eval", slots.e_eval != nullptr},
        {"aDet", slots.aDet != nullptr},
        {"aInv", slots.aInv != nullptr},
        {"aMatrIsOrtog", slots.aMatrIsOrtog != nullptr},
        {"GetE_Error", slots.GetE_Error != nullptr},
        {"SetE_Error", slots.SetE_Error != nullptr},
        {"SetDebugF", slots.SetDebugF != nullptr},
        {"SetErrorMsgsF", slots.SetErrorMsgsF != nullptr},
    };
    for (const auto& [name, present] : needed)
        if (!present) return name;
    return {};
}

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
    // The SONAME first (what a run-time install holds), then the development link.
    std::vector<std::string> out;
    const std::string folder = OwnFolder();
    for (const char* name : {"libzorbit.so.0", "libzorbit.so"})
        if (!folder.empty()) out.push_back(folder + name);
    out.push_back("libzorbit.so.0");
    out.push_back("libzorbit.so");
    return out;
}

MatrixLibrary MatrixLibraryFrom(const EntrySlots& slots, void* handle) {
    MatrixLibrary lib;
    if (const std::string missing = MissingEntry(slots); !missing.empty()) {
        lib.error = "entry " + missing + " is missing";
        return lib;
    }
    static_cast<EntrySlots&>(lib) = slots;
    lib.handle = handle;
    return lib;
}

MatrixLibrary BindMatrixLibrary(const std::vector<std::string>& candidates) {
    MatrixLibrary lib;
    for (const std::string& path : candidates) {
        void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            const char* why = dlerror();
            lib.error = why ? why : path + ": cannot be loaded";
            continue;
        }
        EntrySlots slots;
        FillSlots(slots, [handle](const char* name) { return dlsym(handle, name); });
        lib = MatrixLibraryFrom(slots, handle);
        if (lib.bound()) return lib;
        dlclose(handle);
        lib.error = path + ": " + lib.error;
    }
    return lib;
}

const MatrixLibrary& TheMatrixLibrary() {
    static const MatrixLibrary lib = BindMatrixLibrary(LibraryCandidates());
    return lib;
}

Calculation EvaluateCells(const MatrixLibrary& lib, const GridState& state,
                          std::vector<double>& values) {
    values.assign(state.cells.size(), 0.0);
    // Every calculation passes here first: an unbound library is never called.
    if (!lib.bound()) return {{}, u"The library is not loaded: " + zorbit::Utf8ToUtf16(lib.error)};
    const QuietLibrary quiet(lib);
    for (size_t k = 0; k < state.cells.size(); ++k) {
        const std::u16string_view cell = zorbit::TrimSpaces(state.cells[k]);
        if (cell.empty()) continue; // an empty cell stands for 0, as in the definition
        const std::u16string text(cell);
        double value = 0;
        const int32_t kind = lib.e_eval(text.c_str(), &value, 1);
        const CellPlace place{static_cast<int>(k) / state.cols + 1,
                              static_cast<int>(k) % state.cols + 1};
        if (lib.GetE_Error() != ZORBIT_NO_ERROR)
            return {{}, u"Cell " + PlaceLabel(place) + u" has no value: " + text};
        // A matrix comes back as its handle, which is no element value.
        if (kind != 0)
            return {{}, u"Cell " + PlaceLabel(place) + u" holds a matrix, not a number: " + text};
        values[k] = value;
    }
    return {};
}

Calculation DeterminantOf(const MatrixLibrary& lib, const GridState& state) {
    if (std::u16string why = SquareError(state); !why.empty()) return {{}, why};
    std::vector<double> values;
    if (Calculation c = EvaluateCells(lib, state, values); !c.error.empty()) return c;
    double det = 0;
    {
        const QuietLibrary quiet(lib);
        lib.aDet(values.data(), state.rows, &det);
    }
    return {u"Determinant of " + state.name + u" = " + NumberText(det), {}};
}

Calculation InvertCells(const MatrixLibrary& lib, GridState& state) {
    if (std::u16string why = SquareError(state); !why.empty()) return {{}, why};
    std::vector<double> values;
    if (Calculation c = EvaluateCells(lib, state, values); !c.error.empty()) return c;
    int32_t code;
    {
        const QuietLibrary quiet(lib);
        code = lib.aInv(values.data(), state.rows);
    }
    if (code == ZORBIT_M_SINGULAR) return {{}, u"Singular matrix"};
    if (code != ZORBIT_NO_ERROR) return {{}, u"The inverse could not be computed."};
    for (size_t k = 0; k < values.size(); ++k)
        state.cells[k] = NumberText(values[k]);
    return {u"Inverted " + state.name, {}};
}

Calculation OrthogonalityOf(const MatrixLibrary& lib, const GridState& state) {
    if (std::u16string why = SquareError(state); !why.empty()) return {{}, why};
    std::vector<double> values;
    if (Calculation c = EvaluateCells(lib, state, values); !c.error.empty()) return c;
    int32_t answer;
    {
        const QuietLibrary quiet(lib);
        answer = lib.aMatrIsOrtog(values.data(), state.rows);
    }
    return {state.name + (answer == -1 ? u" is orthogonal." : u" is not orthogonal."), {}};
}

} // namespace vex::grid
