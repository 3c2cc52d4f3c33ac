// Any definition string through SetStrMatrix. Mode bits (first byte): 1 evaluate the
// elements, 2 return the address, 4 column-by-column element order.
#include <cstddef>
#include <cstdint>
#include <string>

#include "context/context.h"
#include "engine/evaluator.h"
#include "engine/state.h"
#include "fuzz_matrix_input.h"
#include "matrix/matrix_expr.h"
#include "matrix/store.h"

using namespace zorbit;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    ResetContext();
    if ((data[0] & 4) != 0) aElemOrderSet(1);
    SetStrMatrix(u"[mA];2;2;1;2;3;4", false, false);
    const std::u16string text = fuzz::MatrixFuzzText(data, size);
    const bool evaluate = (data[0] & 1) != 0, address = (data[0] & 2) != 0;

    for (int pass = 0; pass < 2; ++pass) { // the second pass redefines the same name
        const size_t before = Matrices().arrList.size();
        SetStrMatrix(text, address, evaluate);
        // A failed definition changes nothing; a good one adds at most its own entry.
        const size_t after = Matrices().arrList.size();
        if (E_Error() != -1 ? after != before : after > before + 1) __builtin_trap();
        for (const MatrixEntry& m : Matrices().arrList)
            if (m.rows < 1 || m.cols < 1 || m.Addr == nullptr || m.Internal) __builtin_trap();
    }
    GetMatrixList(true);
    double v = 0;
    EvalExpression(u"[mA]*2", &v, false);
    ClearAllMatrices();
    if (LiveMatrixBlocks() != 0) __builtin_trap(); // every library block went with its entry
    return 0;
}
