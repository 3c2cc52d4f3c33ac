#include "script/report_windows.h"

#include <optional>
#include <vector>

#include "common/number_text.h"
#include "common/text.h"
#include "script/batch.h"
#include "script/library_client.h"
#include "script/text_util.h"

namespace vex {

namespace {

void Show(ScriptHost& host, std::u16string_view text) {
    if (host.platform && host.platform->textWindow) host.platform->textWindow->ShowText(text);
}

// A list of the library as shown: "; " between entries and " = " inside them.
std::u16string ListText(const ScriptHost& host, std::u16string_view which) {
    std::u16string out;
    for (const char16_t c : Library(host.slots).VarFuncList(which)) {
        if (c == u';')
            out += u"; ";
        else if (c == u'=')
            out += u" = ";
        else
            out.push_back(c);
    }
    return out;
}

std::u16string Flag(bool on) {
    return on ? u"1" : u"0";
}

} // namespace

std::u16string MemoryReport(ScriptHost& host) {
    std::u16string text = IdentificationBlock() + u"\r\nShow Memory:\r\n\r\nVariables:\r\n";
    text += ListText(host, u"vars") + u"\r\n\r\nFunctions:\r\n";
    text += ListText(host, u"funct") + u"\r\n\r\n";
    const Library lib(host.slots);
    if (const std::optional<double> answer = lib.LastAnswer())
        text += u"Last answer:\r\nans = " + zorbit::PlainNumberText(*answer) + u"\r\n\r\n";
    text += lib.MatrixList();
    return text;
}

std::u16string FlagsReport(const ScriptHost& host) {
    const BatchSettings& b = host.batch;
    std::u16string t = IdentificationBlock() + u"\r\nFlags and Variables:";
    t += u"\r\nInpFN = " + b.InpFN;
    t += u"\r\nlnsF = " + Flag(b.lnsF);
    t += u"\r\nLnsStr = " + b.LnsStr;
    t += u"\r\ngetFromClpF = " + Flag(b.getFromClpF);
    t += u"\r\ngetFromSelTextF = " + Flag(b.getFromSelTextF);
    t += u"\r\n";
    t += u"\r\nOutpFN = " + b.OutpFN;
    t += u"\r\nAppendF = " + Flag(b.AppendF);
    t += u"\r\nNoHF = " + Flag(b.NoHF);
    t += u"\r\nnoLnExpF= " + Flag(b.noLnExpF);
    t += u"\r\nSaveToClpBF = " + Flag(b.SaveToClpBF);
    t += u"\r\ndecimals= " + Num(host.interp.decimals);
    t += u"\r\nformat= " + std::u16string(NumberFormatName(host.interp.format));
    t += u"\r\nprecision= " + std::u16string(PrecisionName(host.interp.precision));
    t += u"\r\n";
    t += u"\r\nCurDir = " + b.CurDir;
    t += u"\r\n";
    t += u"\r\nsplF = " + Flag(b.splF);
    t += u"\r\nsplPath = " + b.splPath;
    t += u"\r\nlogF = " + Flag(b.logF);
    t += u"\r\nlogFileN= " + b.logFileN;
    t += u"\r\nrrF = " + Flag(b.rrF);
    t += u"\r\nrsetF = " + Flag(b.rsetF);
    t += u"\r\nquitF = " + Flag(b.quitF);
    t += u"\r\ndelF = " + Flag(b.delF);
    t += u"\r\n\r\nPress any keys...";
    return t;
}

void ShowMemoryWindow(ScriptHost& host) {
    Show(host, MemoryReport(host));
}

void ShowLogWindow(ScriptHost& host) {
    FileOp(host, 1);
    const BatchSettings& b = host.batch;
    const std::u16string& name = b.logRemembered.empty() ? b.logFileN : b.logRemembered;
    Show(host, u"Log File:\r\nFileName:" + name + u"\r\n\r\n" + b.batchText + u"\r\n");
}

void ShowFlagsWindow(ScriptHost& host) {
    Show(host, FlagsReport(host));
}

void ShowAboutWindow(ScriptHost& host) {
    Show(host, AboutText() + u"\r\n");
}

void ShowCommandsWindow(ScriptHost& host) {
    FileOp(host, 2);
    Show(host, host.batch.batchText + u"\r\n");
}

} // namespace vex
