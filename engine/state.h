#pragma once
// State of the expression engine, one struct per subsystem. The one context
// (context/context.h) owns it; tests start fresh with ResetContext().

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/list_index.h"
#include "zorbit/codes.h"

namespace zorbit {

enum class Tok : uint8_t {
    End,     // end of text ("")
    Num,     // number, variable or named constant
    Hex,     // "&..."
    Bin,     // "!..."
    Const,   // "#name"
    Id,      // identifier that is no keyword, variable or constant
    Matrix,  // "[...]"
    Keyword, // a word of MatrixFuncNames, StatNames or LogicNames (see kw)
    Op,      // any other single character, or "<=", "<>", ">=", ">>"
};

// Keywords, in the order of the three keyword lists.
enum class Kw : uint8_t {
    None,
    Det,
    Trace,
    Syst,
    Vcoeff,
    Min,
    Max,
    Avg,
    Sum,
    Sum2,
    Prod,
    Prod2,
    Stddev,
    Count,
    GeomMean,
    Median,
    Mean,
    And,
    Eqv,
    Imp,
    Mod,
    Not,
    Or,
    Xor,
};

struct ParserState {
    std::u16string e_expr; // the whole expression after preprocessing
    size_t pos = 0;        // characters of e_expr already read (e_rest starts here)
    Tok type = Tok::End;
    Kw kw = Kw::None;
    std::u16string_view text; // the token as read from e_expr
    std::u16string e_tok;     // token text when it differs from `text` (lower-cased names, values)
    bool tokOwned = false;    // e_tok holds the token text
    double number = 0;        // value of a Num token
    bool malformed = false;   // a Num token with a second "." ("1..5"), no number at all
    char16_t e_suffix = 0;    // 'I', 'T', 'D' or 0 after a matrix reference
    int32_t RunCount = 0;
    int32_t nxtDepth = 0;           // entry depth of e_nxt, for the trace
    int32_t prsDepth = 0;           // recursion depth of e_prs
    size_t tokStart = 0;            // offset of the current token in e_expr
    bool replaced = false;          // the token was a variable or constant replaced by its value
    bool fnKnown = false;           // an "id" token that names a built-in function ...
    uint8_t fn = 0;                 // ... and which one (engine/functions.h Fn)
    std::vector<double> statValues; // values of the statistics calls being read
    bool roundCacheValid = false;
    double roundCacheIn = 0, roundCacheOut = 0;
    // Type and token texts as the system names them ("num", "id", "+", ...).
    std::u16string TypeText() const;
    std::u16string TokText() const;
    std::u16string_view Rest() const { return std::u16string_view(e_expr).substr(pos); }
};

struct EvalState {
    int32_t TrueValue = -1;
    int32_t precision = 0; // ZORBIT_PRECISION_CLASSIC or ZORBIT_PRECISION_FULL
    bool InEvaluation = false;
    int8_t ResultType = 0;
    int32_t ResultRows = 0;
    int32_t ResultCols = 0;
    double lastMatrixResult = 0; // handle of the last matrix result, kept for its caller
    // What "ans" stands for when no variable has that name: the caller's last result.
    bool hasAnswer = false;
    double answer = 0;
    uint64_t answerChanges = 0; // a program read with "ans" in it is read again after a change
    // Work left to a bounded evaluation (a preview); -1 unbounded. Each token read costs
    // kTokenWork, a matrix operand its element count times its larger side.
    int64_t workLeft = -1;
};

inline constexpr int64_t kTokenWork = 16;

struct VariableLists {
    std::u16string VarList;
    std::u16string FuncList;
    ListIndex varIndex;  // entries of VarList by name
    ListIndex funcIndex; // entries of FuncList by name
};

struct ErrorState {
    int32_t e_error = -1;
    std::u16string ErrMsgs;
    std::u16string LastErrInfo;
    std::u16string descrResult; // text returned by GetE_ErrDescr and TestStr
    std::u16string DebugLog;
    int32_t DebugMode = 0;
    int32_t MsgFlags = 0;
    int32_t errorTextSwitch = 0;
    int32_t errorPos = -1; // offset in the caller's text where the last e_eval failed
    size_t firstErrorTok = std::u16string::npos; // tokStart at the reading's first record
};

struct MatrixOperations;
const MatrixOperations& NoMatrixOperations();

class CompiledFormula;
// The text e_eval read last, and once it succeeded twice with the same variables and
// functions, its program with the parser state its reading leaves: the next evaluation
// of that text runs the program instead of reading the text again.
struct ReusedProgram {
    bool enabled = true; // off while a route must read every text
    std::u16string text;
    bool checkFunctions = false;
    int32_t precision = 0; // the mode it was read in
    uint64_t lists = 0;    // the variable and function lists' changes when it was read
    int32_t successes = 0;
    bool compiled = false; // compiling was tried: program null when it is not possible
    std::shared_ptr<CompiledFormula> program;
    ParserState after;
    size_t afterText = 0; // the token text's offset in after.e_expr
};

struct EngineState {
    ParserState parser;
    EvalState eval;
    VariableLists vars;
    ErrorState errors;
    std::u16string numberResult; // shared result of StrD0 / TrimNumber exports
    std::u16string aboutText;
    std::u16string testResult;
    std::u16string numericResult; // text returned by lPoly_dydx
    uint64_t rngState = 0;
    ReusedProgram reused;
    // Installed by the matrix layer (engine/matrix_ops.h).
    const MatrixOperations* matrix = &NoMatrixOperations();
};

// Part of the one context (context/context.h); reached without a guard on every token.
extern EngineState& g_engine;
inline EngineState& Engine() {
    return g_engine;
}

inline int32_t& E_Error() {
    return Engine().errors.e_error;
}

// Spends work of a bounded evaluation: false, with error 0 (exit before completion) and
// the rest of the text left unread, once it runs out. Always true when unbounded.
bool SpendWork(double units);
// The value "ans" stands for, when lowerName is "ans" and the caller set one.
inline bool LookupAnswer(std::u16string_view lowerName, double* value) {
    const EvalState& ev = g_engine.eval;
    if (!ev.hasAnswer || lowerName != u"ans") return false;
    *value = ev.answer;
    return true;
}

inline bool FullPrecision() {
    return Engine().eval.precision == ZORBIT_PRECISION_FULL;
}
// A value as a formula reads it back from its text: Classic mode writes 10 decimals, Full
// mode the whole double.
double EngineValue(double value);
// The text the engine writes for a value that is read back: Fixed10 in Classic mode, the
// shortest fixed-point text of the same double in Full mode.
std::u16string EngineText(double value);

} // namespace zorbit
