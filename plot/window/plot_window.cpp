#include "plot/window/plot_window.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>
#include <cmath>
#include <limits>

#include "common/number_text.h"
#include "common/text.h"
#include "platform/qt/dialogs.h"
#include "platform/qt/qt_text.h"
#include "plot/window/image_export.h"
#include "plot/window/plot_render.h"
#include "zorbit/codes.h"

namespace vex {

namespace {

// Eight characters of the 8-point font: a bound's whole text.
constexpr int kFieldWidth = 64;

// Shown while the pointer is off the graph, so the mouse's uses can be found.
const QString kStatusHint =
    QStringLiteral("Wheel: zoom   Drag: pan   Home: back   Shift: on the curve");

bool ShiftHeld(Qt::KeyboardModifiers modifiers) {
    return modifiers.testFlag(Qt::ShiftModifier);
}

} // namespace

// The graph: shows the picture and hands the mouse to the window.
class PlotCanvas final : public QWidget {
  public:
    explicit PlotCanvas(PlotWindow& owner) : QWidget(&owner), owner_(owner) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMouseTracking(true);
        // A click on the graph takes the keys from the fields, so Home reaches the window.
        setFocusPolicy(Qt::ClickFocus);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.drawImage(0, 0, owner_.picture_);
        if (owner_.marker_) {
            p.setPen(QPen(Qt::white, 1));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(*owner_.marker_, 4, 4);
        }
    }
    void mousePressEvent(QMouseEvent* event) override {
        const QPoint at = event->position().toPoint();
        if (event->button() == Qt::LeftButton) {
            owner_.pressedAt_ = at;
            owner_.pressedView_ = owner_.Shown();
            owner_.panning_ = false;
        }
        if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton)
            owner_.Click(mapTo(&owner_, at));
        if (event->button() == Qt::RightButton) event->ignore(); // the context menu follows
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        const QPoint at = event->position().toPoint();
        if (owner_.pressedAt_ && event->buttons().testFlag(Qt::LeftButton)) owner_.DragTo(at);
        owner_.ShowStatus(at, ShiftHeld(event->modifiers()));
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) owner_.pressedAt_.reset();
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) owner_.GoHome();
    }
    void wheelEvent(QWheelEvent* event) override {
        const int delta = event->angleDelta().y();
        if (delta != 0) owner_.ZoomAt(event->position().toPoint(), delta);
        event->accept();
    }
    void leaveEvent(QEvent*) override { owner_.ShowStatus(std::nullopt, false); }

  private:
    PlotWindow& owner_;
};

PlotWindow::PlotWindow(PlotSettings settings, const Library& library, DialogService& dialogs,
                       QWidget* parent)
    : QWidget(parent, Qt::Window), library_(library), dialogs_(dialogs),
      settings_(std::move(settings)) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    ShowTitle();
    canvas_ = new PlotCanvas(*this);
    redraw_ = new QPushButton(QStringLiteral("Redraw"), this);
    fromLabel_ = new QLabel(QStringLiteral("Redraw from"), this);
    from_ = new QLineEdit(QStringLiteral("0"), this);
    toLabel_ = new QLabel(QStringLiteral("to"), this);
    to_ = new QLineEdit(QStringLiteral("0"), this);
    close_ = new QPushButton(QStringLiteral("Close"), this);
    status_ = new QLabel(kStatusHint, this);
    status_->setIndent(5);
    // "Redraw from" has 70 pixels: the plot's 8-point label font fits it.
    QFont small = fromLabel_->font();
    small.setPointSize(8);
    fromLabel_->setFont(small);
    toLabel_->setFont(small);
    from_->setFont(small);
    to_->setFont(small);
    status_->setFont(small);
    recompute_ = new QTimer(this);
    recompute_->setSingleShot(true);
    recompute_->setInterval(0);
    connect(recompute_, &QTimer::timeout, this, [this] { RecomputeView(); });
    connect(redraw_, &QPushButton::clicked, this, [this] { Redraw(); });
    connect(close_, &QPushButton::clicked, this, [this] { close(); });
    connect(from_, &QLineEdit::returnPressed, this, [this] { Redraw(); });
    connect(to_, &QLineEdit::returnPressed, this, [this] { Redraw(); });
    auto* save = new QShortcut(QKeySequence::Save, this);
    connect(save, &QShortcut::activated, this, [this] { AskSaveImage(); });
    resize(kPlotWindowSize, kPlotWindowHeight);
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
    ShowTitle();
    return true;
}

bool PlotWindow::Compute(double from, double to, std::u16string& error) {
    pending_.reset();
    recompute_->stop();
    if (!ComputeRange(from, to, error)) return false;
    home_ = view_;
    return true;
}

bool PlotWindow::ComputeRange(double from, double to, std::u16string& error) {
    PlotPoints points;
    ++computeCount_;
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
        view_ = {low, high};
    }
    return true;
}

PlotFrame PlotWindow::Paint(QPainter& painter, QSize size) const {
    const std::vector<CurveRef> curves = Curves();
    return DrawPlot(painter, size, curves, settings_.AllFormulas(), settings_.autoFormat);
}

// Numbered through the session, so windows of different entry lines tell apart.
void PlotWindow::ShowTitle() {
    setWindowTitle(QStringLiteral("aPlot #") + QString::number(settings_.number) +
                   QStringLiteral(": ") + Text(settings_.AllFormulas()));
}

void PlotWindow::Draw() {
    const int w = std::max(width(), 1), h = height();
    picture_ = QImage(w, std::max(PlotImageHeight(h), 1), QImage::Format_RGB32);
    QPainter painter(&picture_);
    frame_ = Paint(painter, picture_.size());
    painter.end();
    // The pointer now stands over other coordinates.
    ShowStatus(pointer_, snap_);
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
    pending_.reset();
    recompute_->stop();
    std::u16string error;
    if (!ComputeRange(from, to, error))
        dialogs_.Message(this, QStringLiteral("aPlot"), Text(error), ZORBIT_MB_OK, ZORBIT_ID_OK);
}

QString PlotWindow::ReadOut(QPoint at) const {
    // The picture's own bounds: the frame maps the picture, not the controls below it.
    return Text(ReadOutText(frame_, at.x(), at.y(), picture_.width(), picture_.height()));
}

void PlotWindow::Click(QPoint at) {
    const QString text = ReadOut(at);
    if (text == lastReadOut_) return;
    lastReadOut_ = text;
    QToolTip::showText(mapToGlobal(at), text, canvas_);
}

PlotRange PlotWindow::Shown() const {
    if (pending_) return *pending_;
    // A range of one x is drawn one unit wide each side: the mouse moves that.
    if (view_.Span() > 0) return view_;
    return {frame_.xOrigin, frame_.xOrigin + frame_.xSpan};
}

void PlotWindow::ZoomAt(QPoint at, int delta) {
    if (points_.x.empty()) return;
    const PlotRange shown = Shown();
    const double anchor = shown.from + at.x() * (shown.Span() / std::max(picture_.width(), 1));
    Schedule(ZoomRange(shown, anchor, WheelZoomFactor(delta), ViewLimitsFor(home_)));
    // A drag going on pans on from the zoomed range.
    if (pressedAt_) {
        pressedAt_ = at;
        pressedView_ = Shown();
    }
}

void PlotWindow::DragTo(QPoint at) {
    if (points_.x.empty() || !pressedAt_) return;
    const int dx = at.x() - pressedAt_->x();
    // A click that wobbles a pixel is still a click.
    if (!panning_ && (at - *pressedAt_).manhattanLength() < QApplication::startDragDistance())
        return;
    if (!panning_) QToolTip::hideText();
    panning_ = true;
    Schedule(PanRange(pressedView_, dx, picture_.width(), ViewLimitsFor(home_)));
}

void PlotWindow::GoHome() {
    if (points_.x.empty()) return;
    Schedule(home_);
}

void PlotWindow::Schedule(PlotRange range) {
    if (range == Shown()) return;
    pending_ = range;
    if (!recompute_->isActive()) recompute_->start();
}

void PlotWindow::RecomputeView() {
    if (!pending_) return;
    const PlotRange range = *pending_;
    pending_.reset();
    std::u16string error;
    if (!ComputeRange(range.from, range.to, error))
        dialogs_.Message(this, QStringLiteral("aPlot"), Text(error), ZORBIT_MB_OK, ZORBIT_ID_OK);
}

void PlotWindow::ShowStatus(std::optional<QPoint> at, bool snap) {
    pointer_ = at;
    snap_ = snap;
    const std::optional<QPointF> oldMarker = marker_;
    marker_.reset();
    std::u16string text;
    if (at && !points_.x.empty()) {
        // Snapped, the read-out follows the curve whose point at the pointer's x lies
        // nearest the pointer.
        const PlotPoints* curve = &points_;
        double nearest = std::numeric_limits<double>::infinity();
        for (const CurveRef& c : snap ? Curves() : std::vector<CurveRef>{}) {
            const std::optional<size_t> k = NearestPoint(*c.points, frame_.WorldX(at->x()));
            if (!k || !c.points->valid[*k]) continue;
            const double d = std::abs(frame_.ScreenY(c.points->y[*k]) - at->y());
            if (d < nearest) {
                nearest = d;
                curve = c.points;
            }
        }
        text = StatusText(frame_, *curve, at->x(), at->y(), snap);
        if (snap && !text.empty()) {
            const std::optional<size_t> k = NearestPoint(*curve, frame_.WorldX(at->x()));
            if (k && curve->valid[*k])
                marker_ = QPointF(ClampPixel(frame_.ScreenX(curve->x[*k])),
                                  ClampPixel(frame_.ScreenY(curve->y[*k])));
        }
    }
    status_->setText(text.empty() ? kStatusHint : Text(text));
    if (marker_ != oldMarker) canvas_->update();
}

bool PlotWindow::SavePictureAs(const QString& path, std::string& error) const {
    return SavePicture([this](QPainter& painter, QSize size) { Paint(painter, size); },
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
    canvas_->setGeometry(0, 0, w, std::max(PlotImageHeight(h), 1));
    // The controls' row sits on the status line.
    const int row = h - kPlotStatusHeight;
    redraw_->setGeometry(5, row - 25, 75, 20);
    fromLabel_->setGeometry(90, row - 22, 70, 20);
    from_->setGeometry(160, row - 25, kFieldWidth, 20);
    toLabel_->setGeometry(226, row - 22, 14, 20);
    to_->setGeometry(240, row - 25, kFieldWidth, 20);
    close_->setGeometry(w - 80, row - 25, 75, 20);
    status_->setGeometry(0, row, w, kPlotStatusHeight);
}

void PlotWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PlaceControls();
    // The graph is computed again at the new size: over the range a zoom or pan waits
    // for, else over the range the fields show.
    if (pending_) return;
    if (!points_.x.empty()) Redraw();
}

void PlotWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        close();
        return;
    case Qt::Key_Home:
        GoHome();
        return;
    case Qt::Key_Shift:
        if (pointer_) ShowStatus(pointer_, true);
        break;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}

void PlotWindow::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Shift && pointer_) ShowStatus(pointer_, false);
    QWidget::keyReleaseEvent(event);
}

void PlotWindow::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* save = menu.addAction(QStringLiteral("Save image..."));
    save->setShortcut(QKeySequence::Save);
    if (menu.exec(event->globalPos()) == save) AskSaveImage();
}

} // namespace vex
