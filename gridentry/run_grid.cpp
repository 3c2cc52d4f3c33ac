#include "gridentry/run_grid.h"

#include "common/text.h"
#include "gridentry/grid_window.h"

namespace vex::grid {

namespace {

// The text of the last call stays until the next call replaces it.
struct GridModule {
    std::u16string matrixText;
};

GridModule& Module() {
    static GridModule module;
    return module;
}

} // namespace

int32_t RunMtxMaker(char16_t* buffer, const GridHost& host, QWidget* parent) {
    GridModule& module = Module();
    size_t capacity = 0;
    if (buffer) {
        module.matrixText = zorbit::View(buffer);
        capacity = module.matrixText.size();
    }
    GridState state;
    state.matrixText = module.matrixText;
    {
        GridWindow window(state, host, parent);
        window.OfferImport();
        window.exec();
        module.matrixText = window.MatrixText();
    }
    return buffer ? HandBack(buffer, capacity, module.matrixText) : 0;
}

} // namespace vex::grid
