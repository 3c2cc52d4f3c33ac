#pragma once
// One plot window: the graph above a row of controls to redraw it over another x range
// or close it. A click on the graph shows the point's coordinates as a tooltip.

#include <QImage>
#include <QWidget>
#include <functional>
#include <string>
#include <utility>

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
    const PlotPoints& Points() const { return points_; }
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
