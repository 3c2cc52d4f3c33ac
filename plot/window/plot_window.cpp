#include "plot/window/plot_window.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QToolTip>

#include "common/number_text.h"
#include "common/text.h"
#include "platform/qt/dialogs.h"
#include "platform/qt/qt_text.h"
#include "plot/window/image_export.h"
#include "plot/window/plot_render.h"
#include "zorbit/codes.h"

namespace vex {

namespace {

constexpr int kControlsHeight = 35;
// Eight characters of the 8-point font: a bound's whole text.
constexpr int kFieldWidth = 64;

} // namespace

// The graph: shows the picture and reports clicks.
class PlotCanvas final : public QWidget {
  public:
    explicit PlotCanvas(PlotWindow& owner) : QWidget(&owner), owner_(owner) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.drawImage(0, 0, owner_.picture_);
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton)
            owner_.Click(mapTo(&owner_, event->position().toPoint()));
        if (event->button() == Qt::RightButton) event->ignore(); // the context menu follows
    }

  private:
    PlotWindow& owner_;
};

PlotWindow::PlotWindow(PlotSettings settings, const Library& library, DialogService& dialogs,
                       QWidget* parent)
    : QWidget(parent, Qt::Window), library_(library), dialogs_(dialogs),
      settings_(std::move(settings)) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    // Numbered through the session, so windows of different entry lines tell apart.
    setWindowTitle(QStringLiteral("aPlot #") + QString::number(settings_.number) +
                   QStringLiteral(": ") + Text(settings_.AllFormulas()));
    canvas_ = new PlotCanvas(*this);
    redraw_ = new QPushButton(QStringLiteral("Redraw"), this);
    fromLabel_ = new QLabel(QStringLiteral("Redraw from"), this);
    from_ = new QLineEdit(QStringLiteral("0"), this);
    toLabel_ = new QLabel(QStringLiteral("to"), this);
    to_ = new QLineEdit(QStringLiteral("0"), this);
    close_ = new QPushButton(QStringLiteral("Close"), this);
    // "Redraw from" has 70 pixels: the plot's 8-point label font fits it.
    QFont small = fromLabel_->font();
    small.setPointSize(8);
    fromLabel_->setFont(small);
    toLabel_->setFont(small);
    from_->setFont(small);
    to_->setFont(small);
    connect(redraw_, &QPushButton::clicked, this, [this] { Redraw(); });
    connect(close_, &QPushButton::clicked, this, [this] { close(); });
    connect(from_, &QLineEdit::returnPressed, this, [this] { Redraw(); });
    connect(to_, &QLineEdit::returnPressed, this, [this] { Redraw(); });
    auto* save = new QShortcut(QKeySequence::Save, this);
    connect(save, &QShortcut::activated, this, [this] { AskSaveImage(); });
    resize(400, 400);
    PlaceControls();
}

PlotWindow::~PlotWindow() = default;

QWidget* PlotWindow::Canvas() const {
    return canvas_;
}

std::u16string PlotSettings::AllFormulas() const {
    std::u16string text = expression;
    for (const PlotFormula& f : more)
        text += u"; " + f.expression;
    return text;
}

std::vector<CurveRef> PlotWindow::Curves() const {
    std::vector<CurveRef> curves;
    curves.push_back({settings_.expression, &points_});
    for (size_t k = 0; k < morePoints_.size() && k < settings_.more.size(); ++k)
        curves.push_back({settings_.more[k].expression, &morePoints_[k]});
    return curves;
}

bool PlotWindow::AddCurves(const std::vector<PlotFormula>& formulas, double from, double to,
                           int32_t steps, std::u16string& error) {
    if (1 + settings_.more.size() + formulas.size() > kMaxPlotCurves) {
        error = u"a plot window shows at most " +
                zorbit::IntText(static_cast<long long>(kMaxPlotCurves)) + u" curves";
        return false;
    }
    const PlotSettings before = settings_;
    settings_.more.insert(settings_.more.end(), formulas.begin(), formulas.end());
    settings_.steps = steps;
    if (!Compute(from, to, error)) {
        settings_ = before;
        return false;
    }
    setWindowTitle(QStringLiteral("aPlot #") + QString::number(settings_.number) +
                   QStringLiteral(": ") + Text(settings_.AllFormulas()));
    return true;
}

bool PlotWindow::Compute(double from, double to, std::u16string& error) {
    PlotPoints points;
    std::vector<PlotPoints> more(settings_.more.size());
    bool computed = ComputePoints(library_, settings_.expression, settings_.variable, from, to,
                                  settings_.steps, points, error);
    for (size_t k = 0; computed && k < more.size(); ++k)
        computed = ComputePoints(library_, settings_.more[k].expression, settings_.more[k].variable,
                                 from, to, settings_.steps, more[k], error);
    if (!computed) {
        // A resize while the library shows a message: the curve it has is drawn again.
        if (error != kLibraryBusy || points_.x.empty() ||
            morePoints_.size() != settings_.more.size())
            return false;
        Draw();
        return true;
    }
    points_ = std::move(points);
    morePoints_ = std::move(more);
    Draw();
    if (!points_.x.empty()) {
        // The narrow fields show short bounds whole; a Redraw with a field as it was
        // takes the exact bound behind it, so the same points come again.
        const double low = std::min(from, to), high = std::max(from, to);
        for (auto [field, bound] : {std::pair{from_, low}, {to_, high}}) {
            field->setText(Text(BoundText(bound)));
            field->setCursorPosition(0);
        }
        fromBound_ = {from_->text(), low};
        toBound_ = {to_->text(), high};
    }
    return true;
}

void PlotWindow::Draw() {
    const int w = std::max(width(), 1), h = height();
    picture_ = QImage(w, std::max(h - kControlsHeight, 1), QImage::Format_RGB32);
    QPainter painter(&picture_);
    const std::vector<CurveRef> curves = Curves();
    frame_ =
        DrawPlot(painter, picture_.size(), curves, settings_.AllFormulas(), settings_.autoFormat);
    canvas_->update();
}

void PlotWindow::Redraw() {
    size_t used = 0;
    const std::u16string fromText = Text16(from_->text());
    const std::u16string toText = Text16(to_->text());
    const double from = from_->text() == fromBound_.first ? fromBound_.second
                                                          : zorbit::ReadDecimal(fromText, &used);
    const double to =
        to_->text() == toBound_.first ? toBound_.second : zorbit::ReadDecimal(toText, &used);
    std::u16string error;
    if (!Compute(from, to, error))
        dialogs_.Message(this, QStringLiteral("aPlot"), Text(error), ZORBIT_MB_OK, ZORBIT_ID_OK);
}

QString PlotWindow::ReadOut(QPoint at) const {
    return Text(ReadOutText(frame_, at.x(), at.y(), width(), height()));
}

void PlotWindow::Click(QPoint at) {
    const QString text = ReadOut(at);
    if (text == lastReadOut_) return;
    lastReadOut_ = text;
    QToolTip::showText(mapToGlobal(at), text, canvas_);
}

bool PlotWindow::SavePictureAs(const QString& path, std::string& error) const {
    return SavePicture(
        [this](QPainter& painter, QSize size) {
            const std::vector<CurveRef> curves = Curves();
            DrawPlot(painter, size, curves, settings_.AllFormulas(), settings_.autoFormat);
        },
        picture_.size(), path, error);
}

void PlotWindow::AskSaveImage() {
    const QString name = dialogs_.SaveFileName(
        this, QStringLiteral("Save image"), QStringLiteral("aPlot%1.png").arg(settings_.number),
        QStringLiteral("PNG image (*.png);;JPEG image (*.jpg);;SVG drawing (*.svg)"));
    if (name.isEmpty()) return;
    std::string error;
    if (!SavePictureAs(name, error))
        dialogs_.Message(this, QStringLiteral("aPlot"),
                         QStringLiteral("The image was not saved:\n") + name +
                             QStringLiteral("\n") + QString::fromStdString(error),
                         ZORBIT_MB_OK | ZORBIT_MB_ICONWARNING, ZORBIT_ID_OK);
}

void PlotWindow::PlaceControls() {
    const int w = width(), h = height();
    canvas_->setGeometry(0, 0, w, std::max(h - kControlsHeight, 1));
    redraw_->setGeometry(5, h - 25, 75, 20);
    fromLabel_->setGeometry(90, h - 22, 70, 20);
    from_->setGeometry(160, h - 25, kFieldWidth, 20);
    toLabel_->setGeometry(226, h - 22, 14, 20);
    to_->setGeometry(240, h - 25, kFieldWidth, 20);
    close_->setGeometry(w - 80, h - 25, 75, 20);
}

void PlotWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PlaceControls();
    // The graph is computed again over the range the fields show, at the new size.
    if (!points_.x.empty()) Redraw();
}

void PlotWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PlotWindow::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* save = menu.addAction(QStringLiteral("Save image..."));
    save->setShortcut(QKeySequence::Save);
    if (menu.exec(event->globalPos()) == save) AskSaveImage();
}

} // namespace vex
