#include "platform/qt/dialogs.h"

#include <algorithm>

#include <QCoreApplication>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QProgressDialog>

#include "platform/qt/qt_text.h"
#include "zorbit/codes.h"

namespace vex {

namespace {

class RealProgress final : public ProgressDialog {
  public:
    RealProgress(QWidget* parent, const QString& title, const QString& text)
        : dialog_(text, QStringLiteral("Cancel"), 0, kSteps, parent) {
        dialog_.setWindowTitle(title);
        // The window stays still while the operation runs in its event loop's place.
        dialog_.setWindowModality(Qt::WindowModal);
        dialog_.setMinimumDuration(0);
        dialog_.setAutoClose(false);
        dialog_.setAutoReset(false);
        dialog_.setValue(0);
        dialog_.show();
    }
    bool Step(int64_t done, int64_t total) override {
        if (total > 0)
            dialog_.setValue(static_cast<int>(std::min<int64_t>(done, total) * kSteps / total));
        QCoreApplication::processEvents();
        return !dialog_.wasCanceled();
    }

  private:
    static constexpr int kSteps = 1000;
    QProgressDialog dialog_;
};

class RealDialogs final : public DialogService {
  public:
    int32_t Message(QWidget* parent, const QString& title, const QString& text, int32_t style,
                    int32_t defaultAnswer) override {
        const int32_t buttons = style & 0xF;
        QMessageBox box(style & ZORBIT_MB_ICONWARNING ? QMessageBox::Warning
                                                      : QMessageBox::Information,
                        title, text, QMessageBox::NoButton, parent);
        if (buttons == ZORBIT_MB_YESNO || buttons == kYesNoCancel) {
            box.setStandardButtons(buttons == kYesNoCancel
                                       ? QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel
                                       : QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(defaultAnswer == ZORBIT_ID_NO ? QMessageBox::No
                                 : defaultAnswer == kIdCancel  ? QMessageBox::Cancel
                                                               : QMessageBox::Yes);
        } else {
            box.setStandardButtons(QMessageBox::Ok);
        }
        switch (box.exec()) {
        case QMessageBox::Yes:
            return ZORBIT_ID_YES;
        case QMessageBox::No:
            return ZORBIT_ID_NO;
        case QMessageBox::Ok:
            return ZORBIT_ID_OK;
        default:
            // Closing the box answers as its escape button would.
            return buttons == ZORBIT_MB_YESNO ? ZORBIT_ID_NO
                   : buttons == kYesNoCancel  ? kIdCancel
                                              : ZORBIT_ID_OK;
        }
    }

    std::optional<QString> InputText(QWidget* parent, const QString& title, const QString& prompt,
                                     const QString& current) override {
        bool ok = false;
        const QString answer =
            QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, current, &ok);
        if (!ok) return std::nullopt;
        return answer;
    }

    QString OpenFileName(QWidget* parent, const QString& title, const QString& start,
                         const QString& filter) override {
        return QFileDialog::getOpenFileName(parent, title, start, filter);
    }

    QString SaveFileName(QWidget* parent, const QString& title, const QString& start,
                         const QString& filter) override {
        return QFileDialog::getSaveFileName(parent, title, start, filter);
    }

    std::optional<QFont> ChooseFont(QWidget* parent, const QFont& current) override {
        bool ok = false;
        const QFont font = QFontDialog::getFont(&ok, current, parent);
        if (!ok) return std::nullopt;
        return font;
    }

    std::unique_ptr<ProgressDialog> Progress(QWidget* parent, const QString& title,
                                             const QString& text) override {
        return std::make_unique<RealProgress>(parent, title, text);
    }
};

} // namespace

DialogService& QtDialogs() {
    static RealDialogs dialogs;
    return dialogs;
}

QString DialogText(std::u16string_view text) {
    QString out = Text(text);
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return out;
}

} // namespace vex
