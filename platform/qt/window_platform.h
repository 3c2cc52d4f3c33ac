#pragma once
// The platform services of the windowed program: message boxes through the dialog
// service, the system clipboard, and the messages window that the report commands and
// the library write to.

#include <QPlainTextEdit>
#include <QPointer>
#include <memory>
#include <string_view>

#include "platform/qt/dialogs.h"
#include "platform/services.h"

namespace vex {

// A plain top-level window with read-only text; it is created when first needed.
class MessagesWindow final : public TextWindowService {
  public:
    explicit MessagesWindow(QWidget* owner) : owner_(owner) {}
    void SetOwner(QWidget* owner) { owner_ = owner; }
    ~MessagesWindow() override;
    void ShowText(std::u16string_view text) override;
    void WriteLine(std::u16string_view line, int32_t position) override;
    void Close() override;
    // Forgets the window (closing it) and opens a new, empty one with this title and font;
    // any other window with that title is closed first.
    void Restart(const QString& title, const QFont& font);
    // The window's text (empty while it was never shown).
    QString Text() const;
    QPlainTextEdit* Widget() const { return view_; }

  private:
    QPlainTextEdit* Open();
    QWidget* owner_;
    QPointer<QPlainTextEdit> view_;
};

class WindowPlatform {
  public:
    // owner parents the dialogs (none before the main window exists); dialogs answers
    // every question.
    WindowPlatform(QWidget* owner, DialogService& dialogs);
    ~WindowPlatform();
    void SetOwner(QWidget* owner);
    DialogService& dialogs() { return dialogs_; }
    Platform& platform() { return platform_; }
    MessagesWindow& messages() { return messages_; }

  private:
    class Box;
    class Clipboard;
    class Plots;
    DialogService& dialogs_;
    std::unique_ptr<Box> box_;
    std::unique_ptr<Clipboard> clipboard_;
    std::unique_ptr<Plots> plots_;
    MessagesWindow messages_;
    Platform platform_;
};

} // namespace vex
