#include "platform/qt/window_platform.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QScrollBar>

#include "platform/qt/qt_text.h"

namespace vex {

namespace {

const QString kMessagesTitle = QStringLiteral("vexCalc messages");

} // namespace

class WindowPlatform::Box final : public MessageBoxService {
  public:
    Box(QWidget* owner, DialogService& dialogs) : owner_(owner), dialogs_(dialogs) {}
    void SetOwner(QWidget* owner) { owner_ = owner; }
    int32_t Show(std::u16string_view title, std::u16string_view text, int32_t style,
                 int32_t defaultAnswer) override {
        return dialogs_.Message(owner_, DialogText(title), DialogText(text), style, defaultAnswer);
    }

  private:
    QWidget* owner_;
    DialogService& dialogs_;
};

class WindowPlatform::Clipboard final : public ClipboardService {
  public:
    bool PutText(std::u16string_view text) override {
        QClipboard* clipboard = QGuiApplication::clipboard();
        if (!clipboard) return false;
        clipboard->setText(DialogText(text));
        return true;
    }
};

// Plot windows come with the plot module; until then there are none to close.
class WindowPlatform::Plots final : public PlotService {
  public:
    PlotOutcome Plot(const PlotRequest&) override { return {}; }
    void CloseAll() override {}
};

WindowPlatform::WindowPlatform(QWidget* owner, DialogService& dialogs)
    : dialogs_(dialogs), box_(std::make_unique<Box>(owner, dialogs)),
      clipboard_(std::make_unique<Clipboard>()), plots_(std::make_unique<Plots>()),
      messages_(owner), platform_{box_.get(), clipboard_.get(), &messages_, plots_.get()} {}

WindowPlatform::~WindowPlatform() = default;

void WindowPlatform::SetOwner(QWidget* owner) {
    box_->SetOwner(owner);
    messages_.SetOwner(owner);
}

MessagesWindow::~MessagesWindow() {
    delete view_.data();
}

QPlainTextEdit* MessagesWindow::Open() {
    if (!view_) {
        // Its own top-level window: it stays beside the main window, not inside it.
        view_ = new QPlainTextEdit;
        view_->setReadOnly(true);
        view_->setWindowTitle(kMessagesTitle);
        view_->setLineWrapMode(QPlainTextEdit::NoWrap);
        QFont font(QStringLiteral("monospace"));
        font.setStyleHint(QFont::TypeWriter);
        view_->setFont(font);
        view_->resize(560, 420);
        if (owner_) view_->move(owner_->frameGeometry().topRight() + QPoint(8, 0));
    }
    if (!view_->isVisible()) view_->show();
    view_->raise();
    return view_;
}

void MessagesWindow::ShowText(std::u16string_view text) {
    QPlainTextEdit* view = Open();
    // A report takes the window back from whoever retitled it.
    view->setWindowTitle(kMessagesTitle);
    view->setPlainText(DialogText(text));
    view->moveCursor(QTextCursor::Start);
}

void MessagesWindow::WriteLine(std::u16string_view line, int32_t) {
    QPlainTextEdit* view = Open();
    view->appendPlainText(vex::Text(line));
    view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
}

void MessagesWindow::Close() {
    if (view_) view_->close();
}

void MessagesWindow::Restart(const QString& title, const QFont& font) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != view_ && w->windowTitle() == title) w->close();
    delete view_.data();
    QPlainTextEdit* view = Open();
    view->setWindowTitle(title);
    view->setFont(font);
}

QString MessagesWindow::Text() const {
    return view_ ? view_->toPlainText() : QString();
}

} // namespace vex
