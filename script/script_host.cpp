#include "script/script_host.h"

namespace vex {

int32_t MessageBox(ScriptHost& host, std::u16string_view title, std::u16string_view text) {
    if (!host.platform || !host.platform->messageBox) return ZORBIT_ID_OK;
    return host.platform->messageBox->Show(title, text, ZORBIT_MB_OK, ZORBIT_ID_OK);
}

} // namespace vex
