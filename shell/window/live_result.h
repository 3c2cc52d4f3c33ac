#pragma once
// The line under the entry line that shows what the typed formula gives, updated on
// every change of the entry's text. The work is in shell/live_preview (no Qt).

#include <QObject>
#include <vector>

#include "script/library_client.h"
#include "script/script_host.h"
#include "shell/live_preview.h"

class QLabel;
class QLineEdit;
class QWidget;

namespace vex {

class LiveResult final : public QObject {
  public:
    // Follows entry's text; the label is a child of parent, placed by the window.
    LiveResult(const Library& library, const InterpreterState& interp,
               const std::vector<std::u16string>& keywords, QLineEdit* entry, QWidget* parent);

    QLabel* label() const { return label_; }
    bool enabled() const { return enabled_; }
    // Off: nothing is worked out and the label is hidden.
    void SetEnabled(bool on);
    // Works the entry's text out again (the settings or the library's names changed).
    void Refresh();
    const LivePreview& preview() const { return preview_; }

  private:
    const Library& library_;
    const InterpreterState& interp_;
    const std::vector<std::u16string>& keywords_;
    QLineEdit* entry_;
    QLabel* label_;
    bool enabled_ = true;
    LivePreview preview_;
};

} // namespace vex
