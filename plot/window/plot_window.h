#pragma once
// One plot window: the graph above a row of controls to redraw it over another x range
// or close it, and a status line. A click on the graph shows the point's coordinates as
// a tooltip; the status line follows the pointer. The wheel zooms about the pointer,
// dragging pans, a double click or Home returns to the plot's own range.

#include <QImage>
#include <QPainter>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "plot/plot_math.h"
#include "plot/plot_view.h"
#include "script/library_client.h"

class QLineEdit;
class QPushButton;
class QLabel;
class QTimer;

namespace vex {

class DialogService;

struct PlotSettings {
    int32_t number = 1;
    std::u16string expression, variable;
    int32_t steps = 200;
    bool autoFormat = false; // tick labels in the Auto format, else fixed
    // Curves beside the first (expression over variable), each in its own colour.
    std::vector<PlotFormula> more{};
    // Every curve's formula, joined by "; " (the title's and the picture's text).
    std::u16string AllFormulas() const;
};

class PlotCanvas;

class PlotWindow final : public QWidget {
  public:
    // The curve of settings, computed through library; dialogs answers every question.
    PlotWindow(PlotSettings settings, const Library& library, DialogService& dialogs,
               QWidget* parent = nullptr);
    ~PlotWindow() override;

    // Computes the points over [from, to] and draws them; false with error text. The
    // range becomes the one Home returns to.
    bool Compute(double from, double to, std::u16string& error);
    // The picture as shown (the window's inner width by its inner height less the
    // controls and the status line).
    const QImage& Picture() const { return picture_; }
    // The first curve's points; Curves() has every curve.
    const PlotPoints& Points() const { return points_; }
    std::vector<CurveRef> Curves() const;
    // Draws every curve as the window shows them into a picture of size; the frame used.
    PlotFrame Paint(QPainter& painter, QSize size) const;
    // Adds curves over [from, to] with steps (the window's range, fields and steps
    // change with them) and draws them all; false with error text and nothing changed
    // when more than kMaxPlotCurves would be shown or a curve cannot be computed.
    bool AddCurves(const std::vector<PlotFormula>& formulas, double from, double to, int32_t steps,
                   std::u16string& error);
    // The range the fields stand for (the exact bounds behind their texts).
    double FromBound() const { return fromBound_.second; }
    double ToBound() const { return toBound_.second; }
    const PlotFrame& Frame() const { return frame_; }
    const PlotSettings& Settings() const { return settings_; }
    // The read-out for a click at a position in the window (shown as the tooltip).
    QString ReadOut(QPoint at) const;
    const QString& LastReadOut() const { return lastReadOut_; }
    // Saves the picture, drawn again at its size, in the format of the name's extension.
    bool SavePictureAs(const QString& path, std::string& error) const;
    QLineEdit* FromField() const { return from_; }
    QLineEdit* ToField() const { return to_; }
    QPushButton* RedrawButton() const { return redraw_; }
    QPushButton* CloseButton() const { return close_; }
    QLabel* StatusLine() const { return status_; }
    QWidget* Canvas() const;
    // The x range last computed, and the one Home and a double click return to.
    PlotRange View() const { return view_; }
    PlotRange Home() const { return home_; }
    // How many times the points were computed: zoom and pan steps that come faster than
    // a recompute are taken together.
    int ComputeCount() const { return computeCount_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    friend class PlotCanvas;
    // Compute without touching the home range; bounds in either order, checked.
    bool ComputeRange(double from, double to, std::u16string& error);
    void Draw();
    void ShowTitle();
    void Redraw();
    void Click(QPoint at);
    // The range the pointer moves: the one waiting to be computed, else the one shown.
    PlotRange Shown() const;
    void ZoomAt(QPoint at, int delta);
    void DragTo(QPoint at);
    void GoHome();
    // Takes the range as the next to compute; the recompute runs once the events already
    // waiting are handled.
    void Schedule(PlotRange range);
    void RecomputeView();
    // The status line (and the curve's marker with snap) for the pointer on the graph.
    void ShowStatus(std::optional<QPoint> at, bool snap);
    void AskSaveImage();
    void PlaceControls();

    const Library& library_;
    DialogService& dialogs_;
    PlotSettings settings_;
    PlotPoints points_;
    std::vector<PlotPoints> morePoints_; // settings_.more's curves, in order
    PlotFrame frame_;
    QImage picture_;
    QString lastReadOut_;
    PlotRange view_, home_;
    std::optional<PlotRange> pending_;
    QTimer* recompute_ = nullptr;
    int computeCount_ = 0;
    // A drag: where the left button went down and the range shown then.
    std::optional<QPoint> pressedAt_;
    PlotRange pressedView_;
    bool panning_ = false;
    // The pointer on the graph, for the status line after a recompute or a Shift.
    std::optional<QPoint> pointer_;
    bool snap_ = false;
    std::optional<QPointF> marker_;
    PlotCanvas* canvas_ = nullptr;
    QPushButton* redraw_ = nullptr;
    QLabel* fromLabel_ = nullptr;
    QLineEdit* from_ = nullptr;
    QLabel* toLabel_ = nullptr;
    QLineEdit* to_ = nullptr;
    QPushButton* close_ = nullptr;
    QLabel* status_ = nullptr;
    // Each field's text as last set and the exact bound it stands for.
    std::pair<QString, double> fromBound_, toBound_;
};

} // namespace vex
