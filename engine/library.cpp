#include "engine/library.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cstdio>
#include <ctime>
#include <string>

#include "engine/host.h"
#include "common/text.h"
#include "engine/state.h"

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

void CopyText(char16_t* buffer, std::u16string_view text) {
    text.copy(buffer, text.size());
    buffer[text.size()] = 0;
}

}  // namespace

const char16_t* AboutText(int32_t mode) {
    std::u16string text = u"Library: Zorbit.dll";
    text += u"\r\nVersion: ";
    text += VEX_VERSION_TEXT;
    text += u"\r\nFileTime: " + FileTimeText(OwnPath());
    text += u"\r\nAuthor: the vexCalc developers";
    text += u"\r\nContact: see the project's README";
    text += u"\r\nScope: a DLL library for numerical calculations (methods)";
    text += u"\r\nInfo: see file Readme.txt and License.txt";
    text += u"\r\n\r\n";
    const std::u16string title = u"About Zorbit.dll - ";
    if (mode == 0) ShowMessageBox(title, text, 0, 1);
    if (mode == 1) text = title + u"\r\n\r\n" + text;
    Engine().aboutText = std::move(text);
    return Engine().aboutText.c_str();
}

int32_t VersionInfo(std::u16string_view fileName, char16_t* fileVersion, char16_t* productVersion) {
    // Only our own products carry a version (compiled in); other files have none.
    if (!fileName.empty()) {
        const std::string own = OwnPath();
        const std::string asked = Utf16ToUtf8(fileName);
        if (own.empty() || (asked != own && own.rfind("/" + asked) != own.size() - asked.size() - 1))
            return 0;
    }
    const std::u16string_view version = VEX_VERSION_TEXT;
    if (fileVersion) CopyText(fileVersion, version);
    if (productVersion) CopyText(productVersion, version);
    return 2;
}

const char16_t* TestStrBody(std::u16string_view text) {
    ShowMessageBox(u"TestStr 1", u"st.s=." + std::u16string(text) + u".", 0, 1);
    ShowMessageBox(u"TestStr 2", u"st.s=.123.", 0, 1);
    Engine().errors.descrResult = u"123";
    return Engine().errors.descrResult.c_str();
}

char16_t* TestStrPtrBody(char16_t* buffer) {
    if (!buffer) return buffer;
    ShowMessageBox(u"TestStrPtr 1", u"st.s=." + std::u16string(View(buffer)) + u".", 0, 1);
    ShowMessageBox(u"TestStrPtr 2", u"st.s=.aaaaaaaaaaa.", 0, 1);
    CopyText(buffer, u"aaaaaaaaaaa");
    return buffer;
}

const char16_t* TestStrPtr2Body(char16_t* buffer) {
    if (buffer) {
        ShowMessageBox(u"TestStrPtr 1", u"st.s=." + std::u16string(View(buffer)) + u".", 0, 1);
        ShowMessageBox(u"TestStrPtr 2", u"st.s=.aaaaaaaaaaaaaa.", 0, 1);
        CopyText(buffer, u"aaaaaaaaaaaaaa");
    }
    Engine().testResult = u"aaaaaaaaaaaaaa";
    return Engine().testResult.c_str();
}

}  // namespace zorbit
