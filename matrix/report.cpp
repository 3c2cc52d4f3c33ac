#include "matrix/report.h"

#include <string>

#include "engine/errors.h"
#include "engine/state.h"

namespace zorbit {

void MatrixErrorDebugEntry(std::u16string_view procedure, std::u16string_view extra) {
    const int32_t flags = Engine().errors.MsgFlags;
    if ((flags & 1) == 0) return;
    std::u16string text = u"Procedure: ";
    text.append(procedure).append(u"\r\n").append(extra).append(u"\r\n").append(u"Debug:\r\n");
    text += RecordError(procedure, 0, u"", 2);
    DebugOut(text, u"ZiZoruze: Error", flags != 0);
}

int32_t MatrixError(int32_t code, std::u16string_view procedure, int32_t line,
                    std::u16string_view extra) {
    E_Error() = code;
    ReportError(procedure, line, extra);
    MatrixErrorDebugEntry(procedure, extra);
    return code;
}

} // namespace zorbit
