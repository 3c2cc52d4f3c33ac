#include "shell/startup.h"

#include <limits.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <iostream>

#include "common/text.h"
#include "platform/library_hooks.h"
#include "platform/protected_files.h"
#include "platform/services.h"
#include "script/file_io.h"
#include "script/keywords.h"

namespace vex {

std::string ProgramFolder() {
    char buf[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return ".";
    std::string path(buf, static_cast<size_t>(n));
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash ? slash : 1);
}

namespace {

std::u16string CurrentFolder() {
    char buf[PATH_MAX];
    if (!getcwd(buf, sizeof buf)) return u".";
    return zorbit::Utf8ToUtf16(buf);
}

void ReadHelpText(Program& p) {
    const std::string path = p.folders.helpDir + "/ShowCmds.vex";
    if (!ReadTextFile(p.host, path, p.helpText))
        MessageBox(p.host, u"Zazu Dezeruziv",
                   u"Error 7: can't read the file\r\nfile: " + zorbit::Utf8ToUtf16(path));
}

} // namespace

bool StartUp(Program& p, const StartOptions& options, std::string& error) {
    p.programDir = ProgramFolder();
    p.folders = FindProgramFolders(p.programDir, UserFoldersFromEnvironment(), DataFolderFromBin());
    p.host.platform = options.platform ? options.platform : &TerminalPlatform();
    p.host.batch.programDir = zorbit::Utf8ToUtf16(p.programDir);
    p.host.batch.helpDir = zorbit::Utf8ToUtf16(p.folders.helpDir);
    // Terminal and batch runs take relative names from the shell's current folder.
    p.host.batch.CurDir = CurrentFolder();
    const bool loaded = options.libraryPath.empty()
                            ? LoadBinding(p.binding, p.programDir, error)
                            : LoadBindingFrom(p.binding, options.libraryPath, error);
    if (!loaded) return false;
    p.host.slots = &p.binding.slots;
    p.library = Library(&p.binding.slots);
    // No save may replace the program's own files.
    ProtectProgramFiles({"/proc/self/exe", LoadedLibraryFile(p.binding.handle), p.folders.helpDir,
                         p.folders.installed});
    // The library's messages take the same way as the interpreter's.
    InstallLibraryHooks(*p.host.platform, p.library.HookSetters());
    ReadHelpText(p);
    p.KeywordList = InitKeywordTable();
    // Test mode reads no configuration, so the log names none.
    p.configPath = options.ignoreConfig ? std::string() : p.folders.configPath;
    p.host.batch.iniFileName = zorbit::Utf8ToUtf16(p.configPath);
    std::string note;
    if (options.ignoreConfig) {
        p.settings = ParseConfiguration(u"");
    } else if (p.configPath.empty()) {
        p.settings = ParseConfiguration(u"");
        note = "no home folder (neither HOME nor XDG_CONFIG_HOME is set, and the account has "
               "none): the settings are neither read nor kept";
    } else {
        p.settings = ReadConfiguration(p.configPath, &note);
    }
    if (!note.empty()) std::cerr << "vexcalc: " << note << "\n";
    // -1 means 10 decimals; anything past 30 would only make the texts longer.
    const int32_t decimals = options.decimals.value_or(p.settings.Decimals);
    p.host.interp.decimals = decimals < -1 ? 0 : std::min(decimals, 30);
    p.host.interp.format = options.format.value_or(p.settings.Format);
    const int32_t precision = options.precision.value_or(p.settings.Precision);
    if (p.library.SetPrecisionMode(precision) == -1) {
        // A library without the modes computes as Classic does.
        if (precision != ZORBIT_PRECISION_CLASSIC)
            std::cerr << "vexcalc: this libzorbit.so has no full precision; Classic is used\n";
    } else {
        p.host.interp.precision = precision;
    }
    return true;
}

void UsePictureFolder(Program& p) {
    if (p.folders.pictureDir.empty()) return;
    std::error_code ec;
    std::filesystem::create_directories(p.folders.pictureDir, ec);
    p.host.batch.CurDir = zorbit::Utf8ToUtf16(p.folders.pictureDir);
}

} // namespace vex
