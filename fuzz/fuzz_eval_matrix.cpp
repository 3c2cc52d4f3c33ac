// Any formula through e_eval and de_eval with matrices defined: square, singular,
// rectangular, vectors. The user's matrices must come out unchanged and every block the
// library allocated must go with the list. Mode bit 4 (first byte): column element order.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "context/context.h"
#include "engine/evaluator.h"
#include "engine/state.h"
#include "fuzz_matrix_input.h"
#include "matrix/matrix_expr.h"
#include "matrix/store.h"

using namespace zorbit;

namespace {

const char16_t* const kDefinitions[] = {u"[mA];3;3;2;1;0;1;3;1;0;1;4",
                                        u"[mB];3;3;1;2;3;4;5;6;7;8;10",
                                        u"[mS];2;2;1;2;2;4",
                                        u"[vB];3;1;1;2;3",
                                        u"[mR];2;3;1;2;3;4;5;6",
                                        u"[mC];3;2;1;0;0;1;1;1",
                                        u"[s];1;1;5",
                                        u"[mP];3;3;1;0;0;1;1;1;1;2;4",
                                        u"[vY];3;0;1;3;7"};

std::vector<std::vector<double>> Snapshot() {
    std::vector<std::vector<double>> values;
    for (const MatrixEntry& m : Matrices().arrList)
        if (!m.Internal && m.Name != u"[mresult]")
            values.emplace_back(m.Addr, m.Addr + static_cast<size_t>(m.rows) * m.cols);
    return values;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    ResetContext();
    if ((data[0] & 4) != 0) aElemOrderSet(1);
    for (const char16_t* d : kDefinitions)
        SetStrMatrix(d, false, false);
    const auto before = Snapshot();
    const std::u16string text = fuzz::MatrixFuzzText(data, size);

    double v = 0;
    if (EvalExpression(text, &v, (data[0] & 1) != 0) == 1) {
        const MatrixEntry* m = FindMatrixByValue(v, false);
        if (m == nullptr || Engine().eval.ResultRows != m->rows ||
            Engine().eval.ResultCols != m->cols)
            __builtin_trap();
    }
    DeEval(text, false);
    if (Snapshot().size() < before.size()) __builtin_trap();
    const auto after = Snapshot();
    for (size_t i = 0; i < before.size(); ++i)
        if (std::memcmp(before[i].data(), after[i].data(), before[i].size() * sizeof(double)) != 0)
            __builtin_trap(); // a user's matrix changed through an expression
    ClearAllMatrices();
    if (LiveMatrixBlocks() != 0) __builtin_trap();
    return 0;
}
