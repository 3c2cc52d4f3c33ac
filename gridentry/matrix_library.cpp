#include "gridentry/matrix_library.h"

#include <dlfcn.h>

#include "common/number_text.h"
#include "common/text.h"

namespace vex::grid {

namespace {

std::string OwnFolder() {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&OwnFolder), &info) || !info.dli_fname) return {};
    const std::string path = info.dli_fname;
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

template <typename Fn> bool Bind(void* handle, const char* name, Fn& slot, std::string& missing) {
    slot = reinterpret_cast<Fn>(dlsym(handle, name));
    if (!slot) missing = std::string("entry ") + name + " is missing";
    return slot != nullptr;
}

// Keeps the library silent while the window computes, and its error code as it was.
class Quiet {
  public:
    explicit Quiet(const MatrixLibrary& lib)
        : lib_(lib), code_(lib.GetE_Error()), debug_(lib.SetDebugF(0)),
          msgs_(lib.SetErrorMsgsF(0)) {}
    ~Quiet() {
        lib_.SetDebugF(debug_);
        lib_.SetErrorMsgsF(msgs_);
        lib_.SetE_Error(code_);
    }
    Quiet(const Quiet&) = delete;
    Quiet& operator=(const Quiet&) = delete;

  private:
    const MatrixLibrary& lib_;
    int32_t code_, debug_, msgs_;
};

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

MatrixLibrary BindMatrixLibrary(const std::vector<std::string>& candidates) {
    MatrixLibrary lib;
    for (const std::string& path : candidates) {
        void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            const char* why = dlerror();
            lib.error = why ? why : path + ": cannot be loaded";
            continue;
        }
        std::string missing;
        if (Bind(handle, "e_eval", lib.e_eval, missing) &&
            Bind(handle, "aDet", lib.aDet, missing) && Bind(handle, "aInv", lib.aInv, missing) &&
            Bind(handle, "aMatrIsOrtog", lib.aMatrIsOrtog, missing) &&
            Bind(handle, "GetE_Error", lib.GetE_Error, missing) &&
            Bind(handle, "SetE_Error", lib.SetE_Error, missing) &&
            Bind(handle, "SetDebugF", lib.SetDebugF, missing) &&
            Bind(handle, "SetErrorMsgsF", lib.SetErrorMsgsF, missing)) {
            lib.handle = handle;
            lib.error.clear();
            return lib;
        }
        dlclose(handle);
        lib = MatrixLibrary{};
        lib.error = path + ": " + missing;
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
    const Quiet quiet(lib);
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
        const Quiet quiet(lib);
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
        const Quiet quiet(lib);
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
        const Quiet quiet(lib);
        answer = lib.aMatrIsOrtog(values.data(), state.rows);
    }
    return {state.name + (answer == -1 ? u" is orthogonal." : u" is not orthogonal."), {}};
}

} // namespace vex::grid
