#pragma once
// The help line: shows the whole lines that fit its height, the last one shown ending
// in an ellipsis when more follow, and the whole text as its tooltip then. text() is
// always the whole entry.

#include <QLabel>

namespace vex {

class HelpLabel final : public QLabel {
  public:
    explicit HelpLabel(QWidget* parent);
    // The lines as painted at the current size.
    QStringList ShownLines() const;
    // True when the text does not fit and the tooltip holds it whole.
    bool Elided() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
};

} // namespace vex
