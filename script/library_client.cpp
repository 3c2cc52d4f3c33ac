#include "script/library_client.h"

#include <cmath>

#include "common/text.h"
#include "script/text_util.h"

namespace vex {

std::u16string Library::Describe(int32_t code) const {
    if (!s_->GetE_ErrDescr) return {};
    return std::u16string(zorbit::View(s_->GetE_ErrDescr(code, 0)));
}

std::u16string Library::FailureText(int32_t code) const {
    return u"===> ERROR n. = " + Num(code) + u": " + Describe(code);
}

std::u16string Library::MissingText(std::u16string_view routine) const {
    return FailureText(4) + u" (library routine " + std::u16string(routine) + u" not found)";
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
    const std::u16string key(name);
    const intptr_t a = s_->FindMatrix(key.c_str(), 33, &rows, &cols, 0);
    if (GetError() != -1 || a == 0 || rows < 1 || cols < 1) return nullptr;
    return reinterpret_cast<const double*>(a);
}

std::u16string Library::Print(const double* a, int32_t rows, int32_t cols,
                              std::u16string_view mask) const {
    if (!s_->aPrint) return {};
    const std::u16string m(mask);
    return std::u16string(zorbit::View(s_->aPrint(a, rows, cols, u"String", m.c_str(), u"", u"")));
}

int32_t Library::StoreMatrix(std::u16string_view definition) const {
    if (!s_->SetStrMatrix) return 4;
    const std::u16string text(definition);
    s_->SetStrMatrix(text.c_str(), 0, 1, 0);
    return GetError();
}

int32_t Library::SetVarFunct(std::u16string_view name, std::u16string_view value,
                             int32_t kind) const {
    if (!s_->SetVarFunct) return 0;
    const std::u16string n(name), v(value);
    return s_->SetVarFunct(n.c_str(), v.c_str(), kind);
}

} // namespace vex
