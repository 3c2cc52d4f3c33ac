#include "common/version.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cstdio>
#include <ctime>

#include "common/text.h"

namespace zorbit {

namespace {

// Path of the module this code is part of (the library, or a test program).
std::string OwnPath() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&OwnPath), &info) && info.dli_fname) return info.dli_fname;
    return {};
}

std::u16string FileTimeText(const std::string& path) {
    struct stat st {};
    if (path.empty() || stat(path.c_str(), &st) != 0) return u"";
    std::tm tm{};
    localtime_r(&st.st_mtime, &tm);
    char buf[96];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d %02d:%02d:%02d", tm.tm_mday, tm.tm_mon + 1,
                  tm.tm_year + 1900, tm.tm_hour, tm.tm_min, tm.tm_sec);
    return Utf8ToUtf16(buf);
}

} // namespace

std::u16string ModuleFileTime() {
    return FileTimeText(OwnPath());
}

int32_t VersionInfo(std::u16string_view fileName, char16_t* fileVersion, char16_t* productVersion) {
    // Only our own products carry a version (compiled in); other files have none.
    if (!fileName.empty()) {
        const std::string own = OwnPath();
        const std::string asked = Utf16ToUtf8(fileName);
        if (own.empty() ||
            (asked != own && own.rfind("/" + asked) != own.size() - asked.size() - 1))
            return 0;
    }
    const std::u16string_view version = kVersionText;
    if (fileVersion) CopyWithZero(fileVersion, version);
    if (productVersion) CopyWithZero(productVersion, version);
    return 2;
}

} // namespace zorbit
