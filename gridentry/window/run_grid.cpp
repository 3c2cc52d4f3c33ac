#include "gridentry/window/run_grid.h"

#include "common/text.h"
#include "gridentry/window/grid_window.h"

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

std::optional<std::u16string> RunGrid(std::u16string_view text, const Library& library,
                                      DialogService& dialogs, GridOptions options,
                                      QWidget* parent) {
    GridState state;
    state.matrixText = text;
    GridWindow window(state, library, dialogs, options, parent);
    window.OfferImport();
    window.exec();
    return window.HandedBack();
}

int32_t RunMtxMaker(char16_t* buffer, const Library& library, DialogService& dialogs,
                    GridOptions options, QWidget* parent) {
    GridModule& module = Module();
    size_t capacity = 0;
    if (buffer) {
        module.matrixText = zorbit::View(buffer);
        capacity = module.matrixText.size();
    }
    std::optional<std::u16string> back =
        RunGrid(module.matrixText, library, dialogs, options, parent);
    if (!back) return 0;
    module.matrixText = std::move(*back);
    return buffer ? HandBack(buffer, capacity, module.matrixText) : 0;
}

} // namespace vex::grid
