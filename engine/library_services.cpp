#include "engine/library_services.h"

#include <string>
#include <utility>

#include "common/number_text.h"
#include "common/text.h"
#include "common/version.h"
#include "engine/functions.h"
#include "engine/host_hooks.h"
#include "engine/state.h"

namespace zorbit {

namespace {} // namespace

const char16_t* AboutText(int32_t mode) {
    std::u16string text = u"Library: Zorbit.dll";
    text += u"\r\nVersion: ";
    text += kVersionText;
    text += u"\r\nFileTime: " + ModuleFileTime();
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

int32_t SetErrorTextSwitch(int32_t onOff) {
    return std::exchange(Engine().errors.errorTextSwitch, onOff);
}

int32_t SetDebugMode(int32_t mode) {
    return std::exchange(Engine().errors.DebugMode, mode);
}

int32_t SetMessageFlags(int32_t flags) {
    Engine().errors.MsgFlags = flags;
    if (flags == 2) Engine().errors.DebugMode = 1;
    return 0;
}

int32_t CopyOperAndFuncs(char16_t* buffer) {
    if (!buffer) return 0;
    const std::u16string text = OperAndFuncsText();
    CopyWithZero(buffer, text);
    return static_cast<int32_t>((text.size() + 1) * sizeof(char16_t));
}

const char16_t* TrimNumberResult(std::u16string_view text) {
    Engine().numberResult = TrimNumber(text);
    return Engine().numberResult.c_str();
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
    CopyWithZero(buffer, u"aaaaaaaaaaa");
    return buffer;
}

const char16_t* TestStrPtr2Body(char16_t* buffer) {
    if (buffer) {
        ShowMessageBox(u"TestStrPtr 1", u"st.s=." + std::u16string(View(buffer)) + u".", 0, 1);
        ShowMessageBox(u"TestStrPtr 2", u"st.s=.aaaaaaaaaaaaaa.", 0, 1);
        CopyWithZero(buffer, u"aaaaaaaaaaaaaa");
    }
    Engine().testResult = u"aaaaaaaaaaaaaa";
    return Engine().testResult.c_str();
}

} // namespace zorbit
