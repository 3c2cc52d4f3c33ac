#pragma once
// View > Names: the variables, functions and matrices this run defined, with their
// values, read again after each line; double-clicking one hands its name to the entry.

#include <QDockWidget>
#include <functional>

class QTreeWidget;

namespace vex {

class Library;

class NamesDock final : public QDockWidget {
  public:
    // insert receives the name of a double-clicked row.
    NamesDock(const Library& library, std::function<void(const QString&)> insert, QWidget* parent);

    // The run's names may have changed: read them when the dock next shows.
    void MarkStale();
    QTreeWidget* tree();

    void setVisible(bool visible) override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void Refresh();

    const Library& library_;
    std::function<void(const QString&)> insert_;
    QTreeWidget* tree_ = nullptr;
    bool stale_ = true;
    bool queued_ = false;
};

} // namespace vex
