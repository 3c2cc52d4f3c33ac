#include "plot/window/plot_service.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <algorithm>
#include <filesystem>

#include "common/number_text.h"
#include "common/text.h"
#include "platform/qt/qt_text.h"
#include "plot/window/image_export.h"
#include "plot/window/plot_render.h"

namespace vex {

namespace {

// The request's curves: its formulas over its variable (the expression alone when it
// names none).
std::vector<PlotFormula> FormulasOf(const PlotRequest& request) {
    std::vector<PlotFormula> formulas;
    if (request.formulas.empty()) formulas.push_back({request.expression, request.variable});
    for (const std::u16string& f : request.formulas)
        formulas.push_back({f, request.variable});
    return formulas;
}

} // namespace

PlotWindows::PlotWindows(DialogService* dialogs, bool offscreen)
    : dialogs_(dialogs), offscreen_(offscreen) {}

PlotWindows::~PlotWindows() {
    for (const QPointer<PlotWindow>& w : windows_)
        delete w.data();
}

std::vector<PlotWindow*> PlotWindows::OpenWindows() const {
    std::vector<PlotWindow*> open;
    for (const QPointer<PlotWindow>& w : windows_)
        if (w && w->isVisible()) open.push_back(w.data());
    return open;
}

PlotOutcome PlotWindows::Plot(const PlotRequest& request) {
    if (!library_) return {false, {}, u"the library is not bound", {}};
    return offscreen_ ? PlotOffscreen(request) : PlotInWindow(request);
}

void PlotWindows::Finish(const PlotRequest& request, std::span<const CurveRef> curves,
                         const std::function<void(QPainter&, QSize)>& draw, QSize size,
                         PlotOutcome& outcome) {
    const bool numbered = request.imageName == u"0" || request.imageName == u"-1";
    // The plot folder is made once, before either product: a relative data file goes
    // into it as the numbered pictures do.
    if (!request.imageFolder.empty() &&
        ((request.save && numbered) || request.dataFile.starts_with(request.imageFolder))) {
        std::error_code ec;
        std::filesystem::create_directories(zorbit::Utf16ToUtf8(request.imageFolder), ec);
    }
    if (!request.dataFile.empty()) {
        std::string error;
        if (!WriteDataFile(zorbit::Utf16ToUtf8(request.dataFile), curves, error))
            outcome.dataFileError = zorbit::Utf8ToUtf16(error);
    }
    if (std::none_of(curves.begin(), curves.end(),
                     [](const CurveRef& c) { return c.points && c.points->any; })) {
        // Nothing to draw: a picture of bare axes would pass for a plot.
        outcome.noPoint = true;
        outcome.pointError = curves.empty() ? ZORBIT_NO_ERROR : curves.front().points->firstError;
        return;
    }
    if (!request.save) return;
    if (request.imageName.empty()) {
        // No name: the picture goes to the clipboard.
        QImage image(size, QImage::Format_RGB32);
        QPainter painter(&image);
        draw(painter, size);
        painter.end();
        if (QClipboard* clipboard = QGuiApplication::clipboard()) {
            clipboard->setImage(image);
            outcome.saved = true;
        } else {
            outcome.error = u"there is no clipboard for the picture";
        }
        return;
    }
    const std::u16string name =
        ImageFileName(request.imageName, request.imageFolder, imageCounter_);
    if (!numbered) {
        // A picture named with its own folder gets that folder.
        const std::filesystem::path folder =
            std::filesystem::path(zorbit::Utf16ToUtf8(name)).parent_path();
        std::error_code ec;
        if (!folder.empty() && !std::filesystem::is_directory(folder, ec))
            std::filesystem::create_directories(folder, ec);
    }
    std::string error;
    if (!SavePicture(draw, size, Text(name), error)) {
        outcome.error =
            u"the picture could not be written to " + name + u": " + zorbit::Utf8ToUtf16(error);
        outcome.pictureNotWritten = true;
        return;
    }
    outcome.saved = true;
    outcome.fileName = name;
}

PlotOutcome PlotWindows::PlotOffscreen(const PlotRequest& request) {
    PlotOutcome outcome;
    if (request.window != 0) {
        outcome.error = u"there is no open plot window " + zorbit::IntText(request.window) +
                        u" to add the curves to";
        return outcome;
    }
    // Without "spl" a terminal run draws nothing and opens nothing; a data file the
    // command names is still written.
    if (!request.save && request.dataFile.empty()) return outcome;
    const std::vector<PlotFormula> formulas = FormulasOf(request);
    std::vector<PlotPoints> points(formulas.size());
    std::vector<CurveRef> curves;
    for (size_t k = 0; k < formulas.size(); ++k) {
        if (!ComputePoints(*library_, formulas[k].expression, formulas[k].variable, request.xFrom,
                           request.xTo, request.steps, points[k], outcome.error))
            return outcome;
        curves.push_back({formulas[k].expression, &points[k]});
    }
    if (request.save && !QGuiApplication::instance()) {
        // Fonts and painting need an application object; it never needs a display.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // The results go to stdout and notes to stderr: Qt's own remarks about a session
        // it does not need (no runtime folder, no display) stay out of both.
        if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
            qputenv("QT_LOGGING_RULES", "default.warning=false;qt.*.warning=false");
        static int argc = 1;
        static char name[] = "vexcalc";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QGuiApplication>(argc, argv);
    }
    const std::u16string expression = request.expression;
    Finish(
        request, curves,
        [&](QPainter& painter, QSize size) {
            DrawPlot(painter, size, curves, expression, request.autoFormat);
        },
        QSize(kPlotWindowSize, PlotImageHeight(kPlotWindowHeight)), outcome);
    return outcome;
}

void PlotWindows::FinishWindow(const PlotRequest& request, PlotWindow& window,
                               PlotOutcome& outcome) {
    const std::vector<CurveRef> curves = window.Curves();
    Finish(
        request, curves, [&window](QPainter& painter, QSize size) { window.Paint(painter, size); },
        window.Picture().size(), outcome);
}

PlotOutcome PlotWindows::AddToWindow(const PlotRequest& request) {
    PlotOutcome outcome;
    PlotWindow* window = nullptr;
    for (const QPointer<PlotWindow>& w : windows_)
        if (w && w->isVisible() && w->Settings().number == request.window) window = w.data();
    if (!window) {
        outcome.error = u"there is no open plot window " + zorbit::IntText(request.window) +
                        u" to add the curves to";
        return outcome;
    }
    // The window keeps its own range and steps where the line gives none.
    const double from = request.fromGiven ? request.xFrom : window->FromBound();
    const double to = request.toGiven ? request.xTo : window->ToBound();
    const int32_t steps = request.stepsGiven ? request.steps : window->Settings().steps;
    if (!window->AddCurves(FormulasOf(request), from, to, steps, outcome.error)) return outcome;
    window->raise();
    FinishWindow(request, *window, outcome);
    if (request.save) {
        std::erase_if(windows_, [window](const QPointer<PlotWindow>& w) { return w == window; });
        delete window;
    }
    return outcome;
}

PlotOutcome PlotWindows::PlotInWindow(const PlotRequest& request) {
    if (request.window != 0) return AddToWindow(request);
    PlotOutcome outcome;
    std::optional<PlotRect> previous;
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
        if (*it && (*it)->isVisible()) {
            const QRect r = (*it)->frameGeometry();
            previous = PlotRect{r.x(), r.y(), r.width(), r.height()};
            break;
        }
    }
    // Windows the user closed are not shown again: their memory goes now.
    std::erase_if(windows_, [](const QPointer<PlotWindow>& w) {
        if (w && !w->isVisible()) delete w.data();
        return !w;
    });
    int32_t desktop = 1024;
    if (QScreen* screen = QGuiApplication::primaryScreen())
        desktop = screen->availableGeometry().width();
    std::vector<PlotFormula> formulas = FormulasOf(request);
    PlotSettings settings{request.number, formulas.front().expression, request.variable,
                          request.steps, request.autoFormat};
    settings.more.assign(formulas.begin() + 1, formulas.end());
    auto* window = new PlotWindow(std::move(settings), *library_, *dialogs_);
    PlotPlace place = NextPlotPlace(previous, desktop);
    if (!previous && beside_ && beside_->isVisible()) {
        const QRect m = beside_->frameGeometry();
        QScreen* screen = beside_->screen();
        const QRect s = screen ? screen->availableGeometry() : QRect(0, 0, desktop, 768);
        // The title bar above the window's inner size.
        const int frameExtra = std::max(m.height() - beside_->height(), 0);
        place = FirstPlotPlace({m.x(), m.y(), m.width(), m.height()},
                               {s.x(), s.y(), s.width(), s.height()}, kPlotWindowSize,
                               kPlotWindowHeight + frameExtra);
    }
    window->move(place.x, place.y);
    window->show();
    if (!window->Compute(request.xFrom, request.xTo, outcome.error)) {
        delete window;
        return outcome;
    }
    windows_.emplace_back(window);
    FinishWindow(request, *window, outcome);
    // A saved plot has done its work; its window goes with the command.
    if (request.save) {
        windows_.pop_back();
        delete window;
    }
    return outcome;
}

void PlotWindows::CloseAll() {
    for (const QPointer<PlotWindow>& w : windows_)
        if (w) w->close();
}

} // namespace vex
