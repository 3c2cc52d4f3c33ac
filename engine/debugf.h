#pragma once
// Diagnostic routines built into every product: the debug file, DoEvents and
// the messages window with its writer.

#include <cstdint>
#include <string>
#include <string_view>

namespace zorbit {

// The messages window and the message file, as WriteMessage remembers them (part of the
// context).
struct MessageWriterState {
    bool windowOpen = false;
    int32_t lineCounter = 0;
    std::string fileName;     // remembered target file, UTF-8
    bool fileCreated = false; // the first write creates the file empty
};

extern MessageWriterState& g_writer;
inline MessageWriterState& Writer() {
    return g_writer;
}

// "debugf.dbg" in the system temp folder.
std::string DebugFilePath();
void DebugF(std::u16string_view text, bool append, bool disabled);
// Lets pending host events run; this library has none of its own, so it counts 0.
int32_t DoEvents(intptr_t window, std::u16string_view text, int32_t number);
int32_t OpenMessagesWindow(int32_t flags, int32_t* windowOut);
int32_t WriteMessage(std::u16string_view text, uint8_t target, std::u16string_view fileName,
                     int32_t reserved, uint8_t reset, int32_t option);

} // namespace zorbit
