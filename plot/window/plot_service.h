#pragma once
// The plot command's service: plot windows in the windowed program, and pictures drawn
// without any window for terminal and batch runs (an offscreen platform is started only
// when the first picture is drawn).

#include <QPointer>
#include <memory>
#include <span>
#include <vector>

#include "platform/services.h"
#include "plot/window/plot_window.h"

class QGuiApplication;

namespace vex {

class PlotWindows final : public PlotService {
  public:
    // offscreen: draw saved pictures without windows and open none (data files are
    // written either way).
    PlotWindows(DialogService* dialogs, bool offscreen);
    ~PlotWindows() override;
    // The library's client, once the library is bound.
    void Bind(const Library* library) { library_ = library; }

    PlotOutcome Plot(const PlotRequest& request) override;
    void CloseAll() override;

    // The first plot window opens beside this window (the main window), not over it.
    void PlaceBeside(QWidget* window) { beside_ = window; }

    // The plot windows that are open, oldest first.
    std::vector<PlotWindow*> OpenWindows() const;

  private:
    PlotOutcome PlotOffscreen(const PlotRequest& request);
    PlotOutcome PlotInWindow(const PlotRequest& request);
    // A request naming an open window: its curves join that window's.
    PlotOutcome AddToWindow(const PlotRequest& request);
    // Writes the data file and the picture a request asks for.
    void Finish(const PlotRequest& request, std::span<const CurveRef> curves,
                const std::function<void(QPainter&, QSize)>& draw, QSize size,
                PlotOutcome& outcome);
    // Finish for a window's curves as it draws them.
    void FinishWindow(const PlotRequest& request, PlotWindow& window, PlotOutcome& outcome);

    DialogService* dialogs_;
    bool offscreen_;
    const Library* library_ = nullptr;
    std::vector<QPointer<PlotWindow>> windows_;
    QPointer<QWidget> beside_;
    int32_t imageCounter_ = 0;
    std::unique_ptr<QGuiApplication> app_; // only when this service had to start one
};

} // namespace vex
