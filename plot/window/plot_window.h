#pragma once
// One plot window: the graph above a row of controls to redraw it over another x range
// or close it. A click on the graph shows the point's coordinates as a tooltip.

#include <QImage>
#include <QWidget>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "plot/plot_math.h"
#include "script/library_client.h"

class QLineEdit;
class QPushButton;
class QLabel;

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

    // Computes the points over [from, to] and draws them; false with error text.
    bool Compute(double from, double to, std::u16string& error);
    // The picture as shown (the window's inner width by its inner height less 35).
    const QImage& Picture() const { return picture_; }
    // The first curve's points; Curves() has every curve.
    const PlotPoints& Points() const { return points_; }
    std::vector<CurveRef> Curves() const;
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
    QWidget* Canvas() const;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    friend class PlotCanvas;
    void Draw();
    void Redraw();
    void Click(QPoint at);
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
    PlotCanvas* canvas_ = nullptr;
    QPushButton* redraw_ = nullptr;
    QLabel* fromLabel_ = nullptr;
    QLineEdit* from_ = nullptr;
    QLabel* toLabel_ = nullptr;
    QLineEdit* to_ = nullptr;
    QPushButton* close_ = nullptr;
    // Each field's text as last set and the exact bound it stands for.
    std::pair<QString, double> fromBound_, toBound_;
};

} // namespace vex
