#pragma once
// Keeps the list's number column as wide as its widest number, and the newest row whole
// in view when the list is scrolled to its end, whatever scroll bars come and go.

#include <QObject>

class QTableView;

namespace vex {

class ListFit final : public QObject {
  public:
    explicit ListFit(QTableView* view);
    // The width the number column needs for its widest text.
    int NeededWidth() const;
    // Widens the number column when a number no longer fits (it never narrows it).
    void FitNumbers();

  private:
    void FollowEnd(int maximum);

    QTableView* view_;
    int widestChars_ = 0;
    bool atEnd_ = true;
};

} // namespace vex
