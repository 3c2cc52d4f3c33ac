#pragma once
// The questions the windows ask: message boxes, the input box, file and font dialogs.
// The program shows real dialogs; tests install a service that answers at once.

#include <QFont>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

class QWidget;

namespace vex {

// A long operation's progress, shown with a Cancel button.
class ProgressDialog {
  public:
    virtual ~ProgressDialog() = default;
    // done of total steps; lets the events run. False once the user cancelled.
    virtual bool Step(int64_t done, int64_t total) = 0;
};

// Every question declines unless a service answers it: a box gets its default answer,
// the other dialogs are dismissed. The program's service shows Qt's dialogs; tests,
// tools and benchmarks answer from a script.
class DialogService {
  public:
    virtual ~DialogService() = default;
    // style: ZORBIT_MB_* plus kYesNoCancel; returns a ZORBIT_ID_* answer or kIdCancel.
    virtual int32_t Message(QWidget* parent, const QString& title, const QString& text,
                            int32_t style, int32_t defaultAnswer) {
        (void)parent, (void)title, (void)text, (void)style;
        return defaultAnswer;
    }
    // The input box: the answer, or nothing when it was cancelled.
    virtual std::optional<QString> InputText(QWidget* parent, const QString& title,
                                             const QString& prompt, const QString& current) {
        (void)parent, (void)title, (void)prompt, (void)current;
        return std::nullopt;
    }
    // File names; empty when the dialog was dismissed.
    virtual QString OpenFileName(QWidget* parent, const QString& title, const QString& start,
                                 const QString& filter) {
        (void)parent, (void)title, (void)start, (void)filter;
        return {};
    }
    virtual QString SaveFileName(QWidget* parent, const QString& title, const QString& start,
                                 const QString& filter) {
        (void)parent, (void)title, (void)start, (void)filter;
        return {};
    }
    // The font dialog: the chosen font, or nothing when it was cancelled.
    virtual std::optional<QFont> ChooseFont(QWidget* parent, const QFont& current) {
        (void)parent, (void)current;
        return std::nullopt;
    }
    // A progress dialog, shown at once (the caller decides when an operation is long
    // enough for one); nothing where progress is not shown.
    virtual std::unique_ptr<ProgressDialog> Progress(QWidget* parent, const QString& title,
                                                     const QString& text) {
        (void)parent, (void)title, (void)text;
        return nullptr;
    }
};

// Yes, No and Cancel (the library's boxes know only OK and Yes/No).
inline constexpr int32_t kYesNoCancel = 3;
inline constexpr int32_t kIdCancel = 2;

// Qt's own dialogs.
DialogService& QtDialogs();

// Message-box texts use CR LF; a Qt label wants plain line feeds.
QString DialogText(std::u16string_view text);

} // namespace vex
