#pragma once
// A formula in one variable turned into a short program over doubles, for the formulas
// whose every successful evaluation it reproduces bit for bit. The variable stands where
// the text route writes "(" + x text + ")"; the program reads the value of that text.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/functions.h"
#include "engine/operators.h"

namespace zorbit {

class CompiledFormula {
  public:
    // The program of `formula` with every whole, case-sensitive occurrence of `var`
    // replaced, read with the current variables, custom functions and constants; null
    // when the formula uses anything the program does not reproduce (matrices,
    // statistics, names that are not defined, syntax errors, ...).
    static std::unique_ptr<CompiledFormula> Compile(std::u16string_view formula,
                                                    std::u16string_view var);

    // The value at the variable's value x. False when the point needs the text route: a
    // division or "mod" by zero, an integer operator beyond 32 bits, an error raised by a
    // built-in function (its record is written; the caller sets the records aside), or a
    // NaN or infinite result.
    bool Run(double x, double* y);
    // True when a built-in function is called: only those write error records.
    bool CallsFunctions() const { return callsFunctions_; }

    // Points RunBlock takes at once.
    static constexpr size_t kBlock = 256;
    // Whether RunBlock may stand for Run at consecutive points: not when a random number is
    // drawn (each point draws in the order of its own steps) or the program is too large.
    bool RunsInBlocks() const { return blocks_; }
    // Run at x[0..n), n <= kBlock, one step at a time over all points. bad[i] is set for
    // a point Run would refuse; the error state is reset after each failing call.
    void RunBlock(const double* x, double* y, bool* bad, size_t n);

    // One operation, an operator or a call of fn: registers a and b in, register d out.
    // Register 0 holds x; every other register holds a constant or a step's result. A
    // statistics call (stat) reads the b registers listed from statArgs_[a] on.
    struct Step {
        Op op;
        bool call;
        Fn fn;
        uint32_t d, a, b;
        Kw stat = Kw::None;
    };

  private:
    friend class FormulaCompiler;
    void PlanBlocks();
    std::vector<Step> steps_;
    std::vector<double> registers_;
    std::vector<uint32_t> statArgs_;
    std::vector<double> statValues_;
    uint32_t result_ = 0;
    bool callsFunctions_ = false;
    bool blocks_ = false;
    // RunBlock's values: kBlock per register that x or a step writes; constants have none.
    std::vector<int32_t> laneOf_;
    std::vector<double> lanes_;
};

} // namespace zorbit
