#include "script/library_client.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "common/text.h"
#include "script/text_util.h"

namespace vex {

namespace {

// Most characters a derivative may ask room for.
constexpr int32_t kMaxDerivativeRoom = 1 << 24;
// The help text's room: the library writes it without being told the room and promises
// to need no more than this (it has no size query).
constexpr size_t kHelpTextRoom = 8192;

std::u16string Z(std::u16string_view text) {
    return std::u16string(text);
}

} // namespace

const EntrySlots Library::kNoSlots{};

bool Library::Has(std::string_view routine) const {
    return SlotByName(*s_, routine) != nullptr;
}

Library::Quiet::Quiet(const EntrySlots& s, bool keepCode) : s_(s), keepCode_(keepCode) {
    if (keepCode_ && s_.GetE_Error) code_ = s_.GetE_Error();
    if (s_.SetDebugF) debug_ = s_.SetDebugF(0);
    if (s_.SetErrorMsgsF) msgs_ = s_.SetErrorMsgsF(0);
}

Library::Quiet::~Quiet() {
    if (s_.SetDebugF) s_.SetDebugF(debug_);
    if (s_.SetErrorMsgsF) s_.SetErrorMsgsF(msgs_);
    if (keepCode_ && s_.SetE_Error && s_.GetE_Error) s_.SetE_Error(code_);
}

int32_t Library::SetPrecisionMode(int32_t mode) const {
    return s_->SetPrecisionMode ? s_->SetPrecisionMode(mode) : -1;
}

std::u16string Library::Describe(int32_t code) const {
    if (!s_->GetE_ErrDescr) return {};
    return std::u16string(zorbit::View(s_->GetE_ErrDescr(code, 0)));
}

std::u16string Library::FailureText(int32_t code) const {
    return u"===> ERROR n. = " + Num(code) + u": " + Describe(code);
}

void Library::RecordError(std::u16string_view procedure, int32_t line,
                          std::u16string_view extra) const {
    if (s_->SetErrorMsgs) s_->SetErrorMsgs(Z(procedure).c_str(), line, Z(extra).c_str());
}

int32_t Library::SetDebug(int32_t mode) const {
    return s_->SetDebugF ? s_->SetDebugF(mode) : 0;
}

int32_t Library::SetErrorRecords(int32_t on) const {
    return s_->SetErrorMsgsF ? s_->SetErrorMsgsF(on) : 0;
}

bool Library::Eval(std::u16string_view expr, double& value, bool& matrix, int32_t& code) const {
    matrix = false;
    value = 0;
    if (!s_->e_eval || !s_->GetE_Error) {
        code = 4;
        return false;
    }
    const std::u16string text(expr);
    const int32_t r = s_->e_eval(text.c_str(), &value, 1);
    code = s_->GetE_Error();
    if (code != -1) return false;
    matrix = r == 1 || (s_->GetResultType && s_->GetResultType() == 1);
    return true;
}

int32_t Library::Preview(std::u16string_view expr, int64_t workLimit, ZorbitPreview& out) const {
    out = ZorbitPreview{};
    out.error = 4;
    out.errorPos = -1;
    if (!s_->e_evalPreview) return 4;
    const std::u16string text(expr);
    return s_->e_evalPreview(text.c_str(), workLimit, &out);
}

std::optional<double> Library::LastAnswer() const {
    double value = 0;
    if (!s_->GetLastAnswer || s_->GetLastAnswer(&value) != 1) return std::nullopt;
    return value;
}

int32_t Library::EvalSeries(std::u16string_view expr, double from, std::u16string_view variable,
                            double to, int32_t steps, double* xs, double* ys, double* limits,
                            int32_t* codes) const {
    if (!s_->e_evalsEx) return 4;
    return s_->e_evalsEx(Z(expr).c_str(), from, Z(variable).c_str(), to, steps, xs, ys, limits,
                         codes);
}

int32_t Library::SetVarFunct(std::u16string_view name, std::u16string_view value,
                             int32_t kind) const {
    if (!s_->SetVarFunct) return 0;
    return s_->SetVarFunct(Z(name).c_str(), Z(value).c_str(), kind);
}

int32_t Library::Define(std::u16string_view name, std::u16string_view value, int32_t kind) const {
    if (!s_->SetVarFunct || !s_->SetE_Error || !s_->GetE_Error) return 4;
    // The library leaves the code alone when it takes a definition.
    s_->SetE_Error(-1);
    s_->SetVarFunct(Z(name).c_str(), Z(value).c_str(), kind);
    return s_->GetE_Error();
}

std::u16string Library::NameList() const {
    if (!s_->GetNameList) return {};
    // Two calls: the length, then the list; a list that grew in between is cut at a line.
    const int32_t n = s_->GetNameList(nullptr, 0);
    if (n <= 0) return {};
    std::vector<char16_t> buffer(static_cast<size_t>(n) + 1, u'\0');
    s_->GetNameList(buffer.data(), n + 1);
    return std::u16string(buffer.data(), zorbit::Length(buffer.data()));
}

namespace {

// Calls visit(kind, name, description) for each line of a name list until it answers true.
template <typename Visit> void ForEachName(std::u16string_view list, Visit visit) {
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find(u"\r\n", start);
        if (end == std::u16string_view::npos) end = list.size();
        const std::u16string_view line = list.substr(start, end - start);
        start = end + 2;
        const size_t a = line.find(u'\t');
        const size_t b = a == std::u16string_view::npos ? a : line.find(u'\t', a + 1);
        if (b == std::u16string_view::npos) continue;
        if (visit(line.substr(0, a), line.substr(a + 1, b - a - 1), line.substr(b + 1))) return;
    }
}

} // namespace

std::u16string Library::BuiltinKind(std::u16string_view word) const {
    const std::u16string lower = zorbit::ToLower(word);
    std::u16string kind;
    ForEachName(NameList(),
                [&](std::u16string_view k, std::u16string_view name, std::u16string_view) {
                    if (name != lower || k == u"variable" || k == u"userfunction" || k == u"matrix")
                        return false;
                    kind = k;
                    return true;
                });
    return kind;
}

std::optional<std::u16string> Library::DefinitionWithParameters(std::u16string_view name) const {
    const std::u16string lower = zorbit::ToLower(name);
    std::optional<std::u16string> definition;
    ForEachName(NameList(), [&](std::u16string_view k, std::u16string_view n,
                                std::u16string_view description) {
        if (k != u"userfunction" || n != lower || description.substr(n.size(), 1) != u"(")
            return false;
        definition = std::u16string(description);
        return true;
    });
    return definition;
}

bool Library::VariableValue(std::u16string_view name, double& value) const {
    if (!s_->FindVarFunct) return false;
    s_->FindVarFunct(Z(name).c_str(), 0, &value, nullptr);
    return GetError() == -1;
}

std::optional<std::u16string> Library::FunctionBody(std::u16string_view name) const {
    if (!s_->FindVarFunct || !s_->GetVarFuncListLen) return std::nullopt;
    // Room for the longest body the function list can hold.
    const int32_t room = std::max<int32_t>(s_->GetVarFuncListLen(u"funct"), 0) + 1;
    std::vector<char16_t> buffer(static_cast<size_t>(room) + 1, u'\0');
    double length = 0;
    if (s_->FindVarFunct(Z(name).c_str(), 1, &length, buffer.data()) == 0) return std::nullopt;
    const size_t n = std::min<size_t>(static_cast<size_t>(std::max(0.0, std::round(length))),
                                      zorbit::Length(buffer.data()));
    return std::u16string(buffer.data(), n);
}

bool Library::ConstantValue(std::u16string_view name, double& value) const {
    return s_->e_get_const && s_->e_get_const(Z(name).c_str(), &value) != 0;
}

std::u16string Library::VarFuncList(std::u16string_view which) const {
    if (!s_->GetVarFuncListLen || !s_->GetVarFuncList) return {};
    const std::u16string w(which);
    const int32_t len = s_->GetVarFuncListLen(w.c_str());
    if (len <= 0) return {};
    std::vector<char16_t> buffer(static_cast<size_t>(len) + 1, u'\0');
    const int32_t n = s_->GetVarFuncList(buffer.data(), len, w.c_str());
    return std::u16string(buffer.data(), static_cast<size_t>(std::clamp(n, 0, len)));
}

void Library::ResetAll() const {
    if (s_->ReSetZiZoruze) s_->ReSetZiZoruze();
}

const double* Library::MatrixByValue(double handle, int32_t& rows, int32_t& cols) const {
    rows = cols = 0;
    if (!s_->FindMatrix || !std::isfinite(handle)) return nullptr;
    const std::u16string key = Num(static_cast<long long>(std::nearbyint(handle)));
    const intptr_t a = s_->FindMatrix(key.c_str(), 9, &rows, &cols, 0);
    if (GetError() != -1 || a == 0 || rows < 1 || cols < 1) return nullptr;
    return reinterpret_cast<const double*>(a);
}

const double* Library::MatrixByName(std::u16string_view name, int32_t& rows, int32_t& cols) const {
    rows = cols = 0;
    if (!s_->FindMatrix) return nullptr;
    const intptr_t a = s_->FindMatrix(Z(name).c_str(), 33, &rows, &cols, 0);
    if (GetError() != -1 || a == 0 || rows < 1 || cols < 1) return nullptr;
    return reinterpret_cast<const double*>(a);
}

std::u16string Library::Print(const double* a, int32_t rows, int32_t cols,
                              std::u16string_view mask) const {
    if (!s_->aPrint) return {};
    return std::u16string(
        zorbit::View(s_->aPrint(a, rows, cols, u"String", Z(mask).c_str(), u"", u"")));
}

int32_t Library::StoreMatrix(std::u16string_view definition) const {
    if (!s_->SetStrMatrix) return 4;
    s_->SetStrMatrix(Z(definition).c_str(), 0, 1, 0);
    return GetError();
}

std::u16string Library::MatrixList() const {
    if (!s_->GetMatrixList) return {};
    return std::u16string(zorbit::View(s_->GetMatrixList(1)));
}

void Library::SetElementOrder(int32_t order) const {
    if (s_->aElemOrderSet) s_->aElemOrderSet(order);
}

std::optional<int32_t> Library::ProbeElementOrder() const {
    if (!s_->aElemOrderEx) return std::nullopt;
    // Mode 0: a 2 x 2 block with 2 at row 1, column 2, as this program lays it out.
    double probe[4] = {0, 2, 1, 0};
    return s_->aElemOrderEx(probe, 0);
}

int32_t Library::Determinant(const double* a, int32_t n, double& det) const {
    det = 0;
    return s_->aDet ? s_->aDet(a, n, &det) : 4;
}

int32_t Library::Invert(double* a, int32_t n) const {
    return s_->aInv ? s_->aInv(a, n) : 4;
}

int32_t Library::Orthogonality(const double* a, int32_t n) const {
    return s_->aMatrIsOrtog ? s_->aMatrIsOrtog(a, n) : 0;
}

int32_t Library::Integrate(std::u16string_view f, double a, double b, int32_t intervals,
                           bool trapezoid, std::u16string_view variable, double& value) const {
    value = 0;
    if (!s_->Integrate) return 4;
    s_->Integrate(Z(f).c_str(), a, b, intervals, trapezoid ? 1 : 0, Z(variable).c_str(), &value);
    return GetError();
}

int32_t Library::SolvePolynomial(std::u16string_view polynomial, std::u16string_view variable,
                                 double& root) const {
    root = 0;
    if (!s_->dSolve) return 4;
    root = s_->dSolve(Z(polynomial).c_str(), Z(variable).c_str());
    return GetError();
}

int32_t Library::PolynomialDerivative(std::u16string_view polynomial, std::u16string_view variable,
                                      std::u16string& text) const {
    text.clear();
    if (!s_->lPoly_dydx) return 4;
    text = zorbit::View(s_->lPoly_dydx(Z(polynomial).c_str(), Z(variable).c_str()));
    return GetError();
}

int32_t Library::Derivative(std::u16string_view f, std::u16string_view variable,
                            std::u16string& text) const {
    text.clear();
    if (!s_->e_diff) return 4;
    const std::u16string formula(f), var(variable);
    // A first try with room for most derivatives; the library tells the length of a longer
    // one, which gets a second try with that room.
    int32_t room = 1000;
    std::vector<char16_t> buffer(static_cast<size_t>(room) + 1, u' ');
    buffer.back() = 0;
    const int32_t length = s_->e_diff(formula.c_str(), var.c_str(), buffer.data(), room);
    if (length > room && length <= kMaxDerivativeRoom) {
        room = length;
        buffer.assign(static_cast<size_t>(room) + 1, u' ');
        buffer.back() = 0;
        s_->e_diff(formula.c_str(), var.c_str(), buffer.data(), room);
    }
    text = zorbit::View(buffer.data());
    return GetError();
}

std::u16string Library::About() const {
    if (!s_->aAbout) return {};
    return std::u16string(zorbit::View(s_->aAbout(1)));
}

std::optional<std::u16string> Library::FileVersion() const {
    if (!s_->DisplayVerInfo) return std::nullopt;
    char16_t file[64] = {}, product[64] = {};
    if (s_->DisplayVerInfo(u"", file, product) < 1) return std::nullopt;
    return std::u16string(zorbit::View(file));
}

std::u16string Library::OperatorsAndFunctions() const {
    if (!s_->GetDiff_OperAndFuncs) return {};
    std::u16string buffer(kHelpTextRoom, u'\0');
    // The size in bytes with the terminating zero: a text that claims more than the room,
    // or has no zero where its size says, is not taken.
    const int32_t bytes = s_->GetDiff_OperAndFuncs(buffer.data());
    const size_t chars = bytes > 0 ? static_cast<size_t>(bytes) / sizeof(char16_t) : 0;
    if (chars == 0 || chars > kHelpTextRoom || buffer[chars - 1] != u'\0') return {};
    buffer.resize(chars - 1);
    return buffer;
}

LibraryHookSetters Library::HookSetters() const {
    return {s_->SetMessageBoxHook, s_->SetMessageWindowHook, s_->SetClipboardHook};
}

} // namespace vex
