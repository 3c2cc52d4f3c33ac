#include "plot/file_replace.h"

#include <cerrno>

#include "script/file_write.h"

namespace vex {

bool ReplaceFileContents(const std::string& path, std::string_view bytes, std::string& error,
                         const ReplaceFault* fault) {
    if (path.empty()) {
        error = "no file name given";
        return false;
    }
    FaultHooks hooks;
    if (fault)
        hooks.fileStep = [fault](std::string_view step) {
            return fault->step == step ? fault->error : 0;
        };
    const int e = ReplaceFileBytes(path, bytes, fault ? &hooks : nullptr);
    if (e == 0) return true;
    if (e == EINVAL)
        error = "cannot write " + path + ": not a regular file";
    else
        error = "cannot write " + path + ": " + WriteErrorText(path, e);
    return false;
}

} // namespace vex
