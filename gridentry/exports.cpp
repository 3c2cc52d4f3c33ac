// libgridentry.so: the window for callers that are not the calculator. Each export is
// one guarded call; nothing throws across the C interface.

#include "gridentry/gridentry.h"

#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include <pthread.h>

#include "common/number_text.h"
#include "common/text.h"
#include "common/version.h"
#include "gridentry/grid_calculate.h"
#include "gridentry/window/grid_window.h"
#include "gridentry/window/run_grid.h"
#include "platform/display.h"
#include "platform/qt/dialogs.h"
#include "platform/qt/window_platform.h"
#include "zorbit/codes.h"

namespace {

using vex::grid::GridWindow;

// One window at a time, on one thread: Qt keeps its widgets on the thread that made its
// application, and a second window started beside a running one (from another thread, or
// from inside the first one's event loop) breaks it.
std::atomic<bool> g_windowOpen{false};
// The thread of the first call made without an application of the caller's.
std::atomic<pthread_t> g_windowThread{};
// Calls refused because a window was open (the scripted "ok-when-refused" waits for one).
std::atomic<int> g_refusedBusy{0};

// Empty when this thread may open the window; else why not.
const char* WrongThread() {
    if (const QCoreApplication* app = QCoreApplication::instance())
        return app->thread() == QThread::currentThread()
                   ? nullptr
                   : "GridEntry: called from a thread other than the caller's Qt application's; "
                     "the window was not opened.\n";
    const pthread_t self = pthread_self();
    pthread_t first{};
    if (g_windowThread.compare_exchange_strong(first, self) || pthread_equal(first, self))
        return nullptr;
    return "GridEntry: called from a thread other than the first call's; the window was not "
           "opened.\n";
}

// Answers for unattended runs (VEX_GRIDENTRY_ANSWERS="yes ok"): the first word answers
// the import question, the second ends the window: ok, exit, close, or ok-when-refused
// (OK once another call has been refused because this window is open).
class ScriptedAnswers final : public vex::DialogService {
  public:
    explicit ScriptedAnswers(const char* script) {
        if (!script) return;
        const std::string s(script);
        const size_t space = s.find(' ');
        importYes_ = s.substr(0, space) == "yes";
        end_ = space == std::string::npos ? "ok" : s.substr(space + 1);
        active_ = true;
    }
    bool active() const { return active_; }
    const std::string& end() const { return end_; }
    int32_t Message(QWidget*, const QString& title, const QString& text, int32_t style,
                    int32_t defaultAnswer) override {
        std::fprintf(stderr, "[%s] %s\n", qPrintable(title), qPrintable(text));
        if (style == ZORBIT_MB_YESNO) return importYes_ ? ZORBIT_ID_YES : ZORBIT_ID_NO;
        return defaultAnswer;
    }

  private:
    bool active_ = false, importYes_ = false;
    std::string end_;
};

void EndScripted(const std::string& how) {
    auto* window = dynamic_cast<GridWindow*>(QApplication::activeModalWidget());
    if (!window || (how == "ok-when-refused" && g_refusedBusy.load() == 0)) {
        QTimer::singleShot(10, [how] { EndScripted(how); });
        return;
    }
    if (how == "exit")
        window->Exit();
    else if (how == "close")
        window->close();
    else if (auto* ok = qobject_cast<QPushButton*>(window->control(vex::grid::kOk)))
        ok->click();
}

int32_t RunStandalone(char16_t* buffer) {
    std::unique_ptr<QApplication> own;
    if (!QCoreApplication::instance()) {
        std::string why;
        if (!vex::DisplayAvailable(why)) {
            std::fprintf(stderr, "GridEntry: no window: %s\n", why.c_str());
            return 0;
        }
        static int argc = 1;
        static char name[] = "gridentry";
        static char* argv[] = {name, nullptr};
        own = std::make_unique<QApplication>(argc, argv);
    } else if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        std::fputs("GridEntry: the caller's Qt application cannot show widgets.\n", stderr);
        return 0;
    }
    ScriptedAnswers scripted(std::getenv("VEX_GRIDENTRY_ANSWERS"));
    vex::MessagesWindow messages(nullptr);
    vex::DialogService& dialogs = scripted.active() ? scripted : vex::QtDialogs();
    // The library is bound by name the first time a window opens; the Calculate menu says
    // why when it could not be.
    const vex::Library library = vex::grid::TheMatrixLibrary().Client();
    if (scripted.active()) QTimer::singleShot(0, [&] { EndScripted(scripted.end()); });
    return vex::grid::RunMtxMaker(buffer, library, dialogs, {&messages, 0});
}

} // namespace

GRIDENTRY_API int32_t Run_MtxMaker(char16_t* buffer) {
    if (g_windowOpen.exchange(true)) {
        ++g_refusedBusy;
        std::fputs("GridEntry: the matrix window is already open (one at a time); this call "
                   "returns at once with nothing handed back.\n",
                   stderr);
        return 0;
    }
    int32_t written = 0;
    try {
        if (const char* why = WrongThread())
            std::fputs(why, stderr);
        else
            written = RunStandalone(buffer);
    } catch (...) {
        std::fputs("GridEntry: the window could not run.\n", stderr);
    }
    g_windowOpen.store(false);
    return written;
}

GRIDENTRY_API const char16_t* StrD0(const char16_t* text) {
    thread_local std::u16string result;
    try {
        result = zorbit::TrimNumber(zorbit::View(text));
    } catch (...) {
        result.clear();
    }
    return result.c_str();
}

GRIDENTRY_API int32_t DisplayVerInfo(const char16_t* fileName, char16_t* fileVersion,
                                     char16_t* productVersion) {
    try {
        return zorbit::VersionInfo(zorbit::View(fileName), fileVersion, productVersion);
    } catch (...) {
        return 0;
    }
}
