// Plot windows as a user drives them, the plot service that opens them (or draws
// pictures without them) and the "Plot" command through the batch run, all on the real
// library. Dialogs are answered by the scripted service; nothing waits for a person.

#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "platform/protected_files.h"
#include "platform/qt/dialogs.h"
#include "platform/qt/scripted_dialogs.h"
#include "plot/window/plot_render.h"
#include "plot/window/plot_service.h"
#include "plot/window/plot_window.h"
#include "script/batch.h"
#include "script/eval_script.h"
#include "tests/script/test_support.h"

namespace fs = std::filesystem;

namespace vex::test {
namespace {

const QRgb kRed = qRgb(255, 0, 0), kWhite = qRgb(255, 255, 255);
const QRgb kLegendFrame = qRgb(120, 120, 120);

// A pixel of this colour within `radius` of (x, y): lines without antialiasing land on
// one of the pixels next to their exact position.
bool ColourNear(const QImage& image, double x, double y, QRgb colour, int radius = 2) {
    const int cx = static_cast<int>(std::lround(x)), cy = static_cast<int>(std::lround(y));
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx)
            if (image.valid(cx + dx, cy + dy) && image.pixel(cx + dx, cy + dy) == colour)
                return true;
    return false;
}

// Red pixels in the columns [from, to).
int RedPixels(const QImage& image, int from = 0, int to = -1) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = from; x < (to < 0 ? image.width() : to); ++x)
            count += image.pixel(x, y) == kRed;
    return count;
}

int PlotWindowCount() {
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        count += dynamic_cast<PlotWindow*>(w) != nullptr;
    return count;
}

// QTest takes the point (0, 0) for "the widget's centre": the press is sent directly.
void Press(QWidget* widget, Qt::MouseButton button, QPoint at) {
    QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), button, button, {});
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), button, {}, {});
    QApplication::sendEvent(widget, &release);
}

QImage Decode(const fs::path& path) {
    return QImage(QString::fromStdString(path.string()));
}

class PlotFixture : public ScriptTest {
  protected:
    void SetUp() override {
        ScriptTest::SetUp();
        windows.Bind(&lib);
        offscreen.Bind(&lib);
        platform.plot = &offscreen;
    }

    std::unique_ptr<PlotWindow> Open(std::u16string expression, int32_t steps, double from,
                                     double to) {
        auto w = std::make_unique<PlotWindow>(PlotSettings{3, std::move(expression), u"x", steps},
                                              lib, dialogs);
        w->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        std::u16string error;
        EXPECT_TRUE(w->Compute(from, to, error)) << U8(error);
        return w;
    }

    PlotRequest Request(std::u16string expression, int32_t steps = 20) const {
        PlotRequest r;
        r.expression = std::move(expression);
        r.variable = u"x";
        r.xFrom = -2;
        r.xTo = 2;
        r.steps = steps;
        r.imageName = u"0";
        r.imageFolder = U16(dir.string() + "/");
        return r;
    }

    std::string Report(const std::string& commandLine) {
        EXPECT_EQ(vexEvalMain(host, U16(commandLine)), -1);
        return U8(host.batch.vexResStr);
    }

    const Library lib{&Zorbit().slots};
    ScriptedDialogs dialogs;
    PlotWindows windows{&dialogs, false};
    PlotWindows offscreen{nullptr, true};
};

// --- the plot window -----------------------------------------------------------------

TEST_F(PlotFixture, ControlsAndTheStatusLineSitAlongTheBottomAndTheGraphFillsTheRest) {
    auto w = Open(u"x^2", 4, -2, 2);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("aPlot #3: x^2"));
    for (const QSize size : {QSize(400, 400), QSize(600, 500)}) {
        SCOPED_TRACE(size.width());
        w->resize(size);
        ASSERT_TRUE(QTest::qWaitFor([&] { return w->Picture().width() == size.width(); }));
        const int W = size.width(), H = size.height();
        ASSERT_EQ(w->size(), size);
        // 35 rows of controls above an 18-row status line.
        EXPECT_EQ(w->Canvas()->geometry(), QRect(0, 0, W, H - 53));
        EXPECT_EQ(w->Picture().size(), QSize(W, H - 53));
        EXPECT_EQ(w->RedrawButton()->geometry(), QRect(5, H - 43, 75, 20));
        EXPECT_EQ(w->FromField()->geometry(), QRect(160, H - 43, 64, 20));
        EXPECT_EQ(w->ToField()->geometry(), QRect(240, H - 43, 64, 20));
        EXPECT_EQ(w->CloseButton()->geometry(), QRect(W - 80, H - 43, 75, 20));
        EXPECT_EQ(w->StatusLine()->geometry(), QRect(0, H - 18, W, 18));
        const QList<QLabel*> labels = w->findChildren<QLabel*>();
        ASSERT_EQ(labels.size(), 3);
        for (QLabel* label : labels) {
            if (label == w->StatusLine()) continue;
            EXPECT_EQ(label->geometry(), label->text() == QStringLiteral("to")
                                             ? QRect(226, H - 40, 14, 20)
                                             : QRect(90, H - 40, 70, 20));
        }
        // The graph is recomputed over the range the fields show.
        EXPECT_EQ(w->FromField()->text() + u' ' + w->ToField()->text(), QStringLiteral("-2 2"));
        EXPECT_EQ(w->Points().x.size(), 5u);
    }
}

TEST_F(PlotFixture, SineIsARedCurveOverWhiteAxes) {
    auto w = Open(u"sin(x)", 200, -M_PI, M_PI);
    const QImage& picture = w->Picture();
    const PlotFrame& f = w->Frame();
    for (double x : {-2.5, -1.0, 1.0, 2.5}) {
        SCOPED_TRACE(x);
        EXPECT_TRUE(ColourNear(picture, f.ScreenX(x), f.ScreenY(std::sin(x)), kRed));
    }
    // The y axis at x = 0 from top to bottom, the x axis at y = 0, away from the curve.
    for (double row : {100.0, 300.0})
        EXPECT_TRUE(ColourNear(picture, f.ScreenX(0), row, kWhite, 1)) << row;
    for (double x : {-2.9, 2.9})
        EXPECT_TRUE(ColourNear(picture, f.ScreenX(x), f.ScreenY(0), kWhite, 1)) << x;
    EXPECT_FALSE(ColourNear(picture, f.ScreenX(0), 300, kRed, 3));
    // The whole curve shows: its highest and lowest red rows lie inside the picture, at
    // the rows of sin's 1 and -1, not on the picture's edges.
    int top = -1, bottom = -1;
    for (int y = 0; y < picture.height(); ++y)
        if (RedPixels(picture.copy(0, y, picture.width(), 1)) > 0) {
            if (top < 0) top = y;
            bottom = y;
        }
    EXPECT_GT(top, 0);
    EXPECT_LT(bottom, picture.height() - 1);
    EXPECT_NEAR(top, f.ScreenY(1), 1.5);
    EXPECT_NEAR(bottom, f.ScreenY(-1), 1.5);
}

TEST_F(PlotFixture, ThePoleBreaksTheCurve) {
    auto w = Open(u"1/x", 4, -1, 1);
    EXPECT_EQ(w->Points().valid, (std::vector<uint8_t>{1, 1, 0, 1, 1}));
    const PlotFrame& f = w->Frame();
    // Both pieces are drawn, nothing joins them across x = 0.
    EXPECT_TRUE(ColourNear(w->Picture(), f.ScreenX(-0.75), f.ScreenY(-1.5), kRed));
    EXPECT_TRUE(ColourNear(w->Picture(), f.ScreenX(0.75), f.ScreenY(1.5), kRed));
    const int left = static_cast<int>(f.ScreenX(-0.4)), right = static_cast<int>(f.ScreenX(0.4));
    EXPECT_EQ(RedPixels(w->Picture(), left, right), 0);
}

// Poles between points: no segment runs across the picture from one branch to the next,
// and the branches are not squashed by the values beside the poles.
TEST_F(PlotFixture, NoSegmentJoinsTheBranchesAcrossAPole) {
    auto w = Open(u"1/x", 201, -1, 1);
    const QImage& picture = w->Picture();
    const PlotFrame& f = w->Frame();
    // Only a segment over the pole has red in the rows where |y| < 0.5.
    int red = 0;
    for (int y = 0; y < picture.height(); ++y)
        if (std::fabs(f.WorldY(y)) < 0.5) red += RedPixels(picture.copy(0, y, picture.width(), 1));
    EXPECT_EQ(red, 0);
    EXPECT_TRUE(ColourNear(picture, f.ScreenX(-0.5), f.ScreenY(-2), kRed));
    // y = 2 and y = 20 are rows apart: the range is not the pole's +-200.
    EXPECT_GT(std::fabs(f.ScreenY(20) - f.ScreenY(2)), 60);
}

TEST_F(PlotFixture, AConstantOrAnEmptyRangeGivesAFiniteFrameAndADrawnCurve) {
    struct {
        const char* name;
        const char16_t* expression;
        double from, to;
        size_t points;
    } rows[] = {{"constant", u"5", -2, 2, 201}, {"emptyRange", u"x^2", 1, 1, 1}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        auto w = Open(row.expression, 200, row.from, row.to);
        EXPECT_EQ(w->Points().x.size(), row.points);
        const PlotFrame& f = w->Frame();
        for (double v : {f.xOrigin, f.yOrigin, f.xSpan, f.ySpan})
            EXPECT_TRUE(std::isfinite(v));
        EXPECT_GT(f.xSpan, 0);
        EXPECT_GT(f.ySpan, 0);
        EXPECT_TRUE(
            ColourNear(w->Picture(), f.ScreenX(row.to), f.ScreenY(w->Points().y.back()), kRed));
    }
}

TEST_F(PlotFixture, RedrawTakesTheRangeTypedIntoTheFields) {
    auto w = Open(u"x^2", 4, -2, 2);
    for (auto [field, text] : {std::pair{w->FromField(), "0.5"}, std::pair{w->ToField(), "3"}}) {
        field->clear();
        QTest::keyClicks(field, text);
    }
    QTest::mouseClick(w->RedrawButton(), Qt::LeftButton);
    ASSERT_EQ(w->Points().x.size(), 5u);
    EXPECT_DOUBLE_EQ(w->Points().x.front(), 0.5);
    EXPECT_DOUBLE_EQ(w->Points().x.back(), 3);
    EXPECT_DOUBLE_EQ(w->Points().ymax, 9);
    EXPECT_EQ(w->ToField()->text(), QStringLiteral("3"));
    EXPECT_TRUE(dialogs.messageTexts.isEmpty());
    // A bound the plot cannot take is told, and the graph stays as it was.
    w->ToField()->setText(QStringLiteral("1e999"));
    QTest::mouseClick(w->RedrawButton(), Qt::LeftButton);
    EXPECT_EQ(dialogs.messageTexts.size(), 1);
    EXPECT_DOUBLE_EQ(w->Points().x.back(), 3);
}

TEST_F(PlotFixture, TheRangeFieldsShowTheirWholeNumbersAndRedrawKeepsTheExactBounds) {
    auto w = Open(u"sin(x)", 10, -M_PI, 1e-6);
    EXPECT_EQ(w->FromField()->text(), QStringLiteral("-3.14159"));
    EXPECT_EQ(w->ToField()->text(), QStringLiteral("0.000001"));
    for (QLineEdit* field : {w->FromField(), w->ToField()}) {
        const QFontMetrics metrics(field->font());
        // The text's whole width inside the field's frame and margins.
        EXPECT_LE(metrics.horizontalAdvance(field->text()) + 8, field->width())
            << field->text().toStdString();
    }
    const std::vector<double> before = w->Points().x;
    QTest::mouseClick(w->RedrawButton(), Qt::LeftButton);
    EXPECT_EQ(w->Points().x, before);
    EXPECT_EQ(w->Points().x.front(), -M_PI);
    // A field typed anew takes the typed number.
    w->FromField()->setText(QStringLiteral("-3.14159"));
    w->FromField()->setText(QStringLiteral("-3"));
    QTest::mouseClick(w->RedrawButton(), Qt::LeftButton);
    EXPECT_EQ(w->Points().x.front(), -3);
}

TEST_F(PlotFixture, EscapeAndTheCloseButtonCloseTheWindow) {
    auto byKey = Open(u"x", 4, -2, 2), byButton = Open(u"x", 4, -2, 2);
    QTest::keyClick(byKey.get(), Qt::Key_Escape);
    QTest::mouseClick(byButton->CloseButton(), Qt::LeftButton);
    EXPECT_FALSE(byKey->isVisible());
    EXPECT_FALSE(byButton->isVisible());
}

TEST_F(PlotFixture, AClickShowsTheWorldPointUnderTheMouse) {
    auto w = Open(u"x^2", 4, -2, 2);
    // The top left corner: xmin, and y at the picture's top (the y range 0..4 spans the
    // 345 rows between 10 rows below the picture's top and 10 rows above its bottom).
    Press(w->Canvas(), Qt::LeftButton, QPoint(0, 0));
    EXPECT_EQ(w->LastReadOut(), QStringLiteral("Coord: -2, 4.1159"));
    EXPECT_EQ(w->LastReadOut().toStdU16String(),
              ReadOutText(w->Frame(), 0, 0, w->width(), w->height()));
    Press(w->Canvas(), Qt::RightButton, QPoint(200, 355));
    EXPECT_EQ(w->LastReadOut(), QStringLiteral("Coord: 0, 0"));
    // The curve's own pixel at x = 1 reads back as the curve's point.
    const PlotFrame& f = w->Frame();
    Press(w->Canvas(), Qt::LeftButton,
          QPoint(static_cast<int>(std::lround(f.ScreenX(1))),
                 static_cast<int>(std::lround(f.ScreenY(1)))));
    EXPECT_EQ(w->LastReadOut(), QStringLiteral("Coord: 1, 0.9971"));
}

// --- zoom, pan and the status line ---------------------------------------------------

void Wheel(QWidget* canvas, QPoint at, int delta) {
    QWheelEvent wheel(at, canvas->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, {},
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(canvas, &wheel);
}

void Move(QWidget* canvas, QPoint at, Qt::MouseButtons buttons = {},
          Qt::KeyboardModifiers modifiers = {}) {
    QMouseEvent move(QEvent::MouseMove, at, canvas->mapToGlobal(at), Qt::NoButton, buttons,
                     modifiers);
    QApplication::sendEvent(canvas, &move);
}

// The left button down at `from`, the pointer moved to `to` in four steps, released.
void Drag(QWidget* canvas, QPoint from, QPoint to) {
    const auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, canvas->mapToGlobal(at), Qt::LeftButton, buttons, {});
        QApplication::sendEvent(canvas, &event);
    };
    send(QEvent::MouseButtonPress, from, Qt::LeftButton);
    for (int k = 1; k <= 4; ++k)
        Move(canvas, from + (to - from) * k / 4, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, to, {});
}

// Waits for the recompute a zoom or pan asked for, then lets any further one run.
bool Recomputed(const PlotWindow& w, int before) {
    const bool done = QTest::qWaitFor([&] { return w.ComputeCount() > before; });
    QApplication::processEvents();
    return done;
}

// The numbers after "x = " and "y = " in a read-out, NaN where missing.
std::pair<double, double> ReadBack(const QString& text, const char* xKey, const char* yKey) {
    const auto number = [&](const char* key) {
        const qsizetype at = text.indexOf(QLatin1String(key));
        return at < 0 ? NAN
                      : std::strtod(text.mid(at + qstrlen(key)).toUtf8().constData(), nullptr);
    };
    return {number(xKey), number(yKey)};
}

// The curve's point (x, y) is drawn at its pixel, and both read-outs there (the status
// line as the pointer passes, the tooltip of a click) give it back within a pixel.
void ExpectReadsBack(PlotWindow& w, double x, double y) {
    const PlotFrame& f = w.Frame();
    const QPoint at(static_cast<int>(std::lround(f.ScreenX(x))),
                    static_cast<int>(std::lround(f.ScreenY(y))));
    EXPECT_TRUE(ColourNear(w.Picture(), at.x(), at.y(), kRed));
    Move(w.Canvas(), at);
    const auto [sx, sy] = ReadBack(w.StatusLine()->text(), "x = ", "y = ");
    Press(w.Canvas(), Qt::LeftButton, at);
    const auto [cx, cy] = ReadBack(w.LastReadOut(), "Coord: ", ", ");
    const double xPixel = f.xSpan / f.width, yPixel = f.ySpan / f.Rows();
    for (auto [rx, ry] : {std::pair{sx, sy}, {cx, cy}}) {
        EXPECT_NEAR(rx, x, xPixel) << w.StatusLine()->text().toStdString();
        // The tooltip's 4 decimals cost up to half a unit of the fourth.
        EXPECT_NEAR(ry, y, yPixel + 5e-5) << w.LastReadOut().toStdString();
    }
}

TEST_F(PlotFixture, TheWheelZoomsAboutThePointerInOneRecomputeAndTheFieldsFollow) {
    auto w = Open(u"sin(x)", 200, -M_PI, M_PI);
    const QPoint at(100, 150);
    const double x0 = w->Frame().WorldX(at.x());
    const PlotRange home = w->View();
    const int computed = w->ComputeCount();
    // Five notches faster than a recompute: one recompute over the range they make.
    for (int k = 0; k < 5; ++k)
        Wheel(w->Canvas(), at, 120);
    EXPECT_EQ(w->ComputeCount(), computed);
    ASSERT_TRUE(Recomputed(*w, computed));
    EXPECT_EQ(w->ComputeCount(), computed + 1);
    EXPECT_NEAR(w->View().Span(), home.Span() / std::pow(kPlotZoomStep, 5), 1e-12);
    EXPECT_NEAR(w->Frame().ScreenX(x0), at.x(), 1.0);
    EXPECT_EQ(w->Points().x.size(), 201u);
    EXPECT_EQ(
        w->FromField()->text() + u' ' + w->ToField()->text(),
        QString::fromStdU16String(BoundText(w->View().from) + u' ' + BoundText(w->View().to)));
    ExpectReadsBack(*w, x0, std::sin(x0));
    // Three notches out in one turn, about another point.
    const double x1 = w->Frame().WorldX(300);
    Wheel(w->Canvas(), QPoint(300, 150), -3 * 120);
    ASSERT_TRUE(Recomputed(*w, computed + 1));
    EXPECT_NEAR(w->View().Span(), home.Span() * std::pow(kPlotZoomStep, -2), 1e-12);
    EXPECT_NEAR(w->Frame().ScreenX(x1), 300, 1.0);
    // However far the wheel turns: one recompute, a finite range within the limits, a curve.
    for (const int delta : {120, -120}) {
        SCOPED_TRACE(delta);
        const int before = w->ComputeCount();
        for (int k = 0; k < 300; ++k)
            Wheel(w->Canvas(), QPoint(50, 100), delta);
        ASSERT_TRUE(Recomputed(*w, before));
        EXPECT_EQ(w->ComputeCount(), before + 1);
        const PlotRange v = w->View();
        ASSERT_TRUE(std::isfinite(v.from) && std::isfinite(v.to));
        EXPECT_GE(v.Span(), 0.999e-8);
        EXPECT_LE(v.Span(), 1.001e12);
        EXPECT_GT(RedPixels(w->Picture()), 0);
    }
    EXPECT_TRUE(dialogs.messageTexts.isEmpty());
}

TEST_F(PlotFixture, DraggingPansAndHomeOrADoubleClickReturn) {
    auto w = Open(u"x^2", 100, -2, 2);
    const double x0 = w->Frame().WorldX(200);
    int computed = w->ComputeCount();
    // 80 of 400 pixels to the right: the range moves 0.8 to the left.
    Drag(w->Canvas(), QPoint(200, 100), QPoint(280, 100));
    ASSERT_TRUE(Recomputed(*w, computed));
    EXPECT_NEAR(w->View().from, -2.8, 1e-12);
    EXPECT_NEAR(w->View().to, 1.2, 1e-12);
    EXPECT_NEAR(w->Frame().ScreenX(x0), 280, 1.0);
    EXPECT_EQ(w->FromField()->text(), QStringLiteral("-2.8"));
    ExpectReadsBack(*w, -2.5, 6.25);
    // A click that does not move is a read-out, not a pan.
    computed = w->ComputeCount();
    Press(w->Canvas(), Qt::LeftButton, QPoint(10, 10));
    QApplication::processEvents();
    EXPECT_EQ(w->ComputeCount(), computed);

    for (const bool home : {true, false}) {
        SCOPED_TRACE(home ? "home" : "doubleClick");
        Wheel(w->Canvas(), QPoint(30, 30), 240);
        ASSERT_TRUE(Recomputed(*w, w->ComputeCount()));
        ASSERT_NE(w->View(), w->Home());
        if (home)
            QTest::keyClick(w->Canvas(), Qt::Key_Home);
        else
            QTest::mouseDClick(w->Canvas(), Qt::LeftButton, {}, QPoint(50, 50));
        ASSERT_TRUE(Recomputed(*w, w->ComputeCount()));
        EXPECT_EQ(w->View(), (PlotRange{-2, 2}));
        EXPECT_EQ(w->FromField()->text() + u' ' + w->ToField()->text(), QStringLiteral("-2 2"));
    }
}

TEST_F(PlotFixture, TheStatusLineFollowsThePointerAndShiftSnapsToTheCurve) {
    auto w = Open(u"1/x", 4, -1, 1);
    QLabel* status = w->StatusLine();
    const QString hint = status->text();
    EXPECT_TRUE(hint.contains(QStringLiteral("Wheel")));
    // The points are -1, -0.5, 0 (no value), 0.5, 1. Shift with the move, or pressed while the
    // pointer rests: the nearest point.
    Move(w->Canvas(), QPoint(320, 100), {}, Qt::ShiftModifier);
    EXPECT_EQ(status->text(), QStringLiteral("on the curve: x = 0.5  y = 2"));
    Move(w->Canvas(), QPoint(90, 100));
    QTest::keyPress(w->Canvas(), Qt::Key_Shift);
    EXPECT_EQ(status->text(), QStringLiteral("on the curve: x = -0.5  y = -2"));
    QTest::keyRelease(w->Canvas(), Qt::Key_Shift);
    EXPECT_TRUE(status->text().startsWith(QStringLiteral("x = -0.55")));
    // Off the graph the hint comes back.
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(w->Canvas(), &leave);
    EXPECT_EQ(status->text(), hint);
}

TEST_F(PlotFixture, SaveImageWritesThePictureUnderTheNameTheDialogGives) {
    auto w = Open(u"sin(x)", 100, -3, 3);
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    struct {
        const char* file;
        bool byMenu; // the context menu's "Save image...", else Ctrl+S
    } rows[] = {{"plot.png", false}, {"plot.jpg", false}, {"plot.svg", true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file);
        dialogs.files << QString::fromStdString(Path(row.file));
        if (row.byMenu) {
            // The menu runs its own loop: choose its item as a user would, with the keys.
            QTimer::singleShot(50, [] {
                if (QWidget* menu = QApplication::activePopupWidget()) {
                    QTest::keyClick(menu, Qt::Key_Down);
                    QTest::keyClick(menu, Qt::Key_Return);
                }
            });
            QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10),
                                    w->Canvas()->mapToGlobal(QPoint(10, 10)));
            QApplication::sendEvent(w->Canvas(), &event);
        } else {
            QTest::keyClick(w.get(), Qt::Key_S, Qt::ControlModifier);
        }
        EXPECT_TRUE(dialogs.files.isEmpty()) << "no file name was asked for";
        EXPECT_TRUE(dialogs.messageTexts.isEmpty())
            << dialogs.messageTexts.join(u'|').toStdString();
    }
    const QImage png = Decode(Path("plot.png"));
    // A lossless copy is the picture on the screen, pixel for pixel.
    EXPECT_EQ(png.convertToFormat(QImage::Format_RGB32), w->Picture());
    EXPECT_EQ(Decode(Path("plot.jpg")).size(), w->Picture().size());
    EXPECT_NE(ReadFile("plot.svg").find("<svg"), std::string::npos);
}

TEST_F(PlotFixture, SaveImageNeverReplacesAProgramFile) {
    auto w = Open(u"sin(x)", 100, -3, 3);
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    WriteFile("ShowCmds.vex", "help");
    ProtectFile(Path("ShowCmds.vex"));
    dialogs.files << QString::fromStdString(Path("ShowCmds.vex"));
    QTest::keyClick(w.get(), Qt::Key_S, Qt::ControlModifier);
    ClearProtectedFiles();
    ASSERT_EQ(dialogs.messageTexts.size(), 1);
    EXPECT_TRUE(dialogs.messageTexts[0].contains(QStringLiteral("one of the program's own files")))
        << dialogs.messageTexts[0].toStdString();
    EXPECT_EQ(ReadFile("ShowCmds.vex"), "help");
}

// --- the plot service with windows ----------------------------------------------------

TEST_F(PlotFixture, WindowsOpenSideBySideAndWrapAtTheScreensEdge) {
    ASSERT_EQ(QGuiApplication::primaryScreen()->availableGeometry().width(), 1024);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(windows.Plot(Request(u"x^2")).error.empty());
    const std::vector<PlotWindow*> open = windows.OpenWindows();
    ASSERT_EQ(open.size(), 3u);
    EXPECT_EQ(open[0]->pos(), QPoint(0, 0));
    EXPECT_EQ(open[1]->pos(), QPoint(open[0]->frameGeometry().width() + 7, 0));
    // 407 + 400 + 7 + 400 passes 1024: the third starts a row lower (418 + 30 for the title).
    EXPECT_EQ(open[2]->pos(), QPoint(0, 448));
    windows.CloseAll();
    EXPECT_TRUE(windows.OpenWindows().empty());
    for (PlotWindow* w : open)
        EXPECT_FALSE(w->isVisible());
    // With the previous window gone the next starts at the corner; the closed ones go.
    windows.Plot(Request(u"x"));
    ASSERT_EQ(windows.OpenWindows().size(), 1u);
    EXPECT_EQ(windows.OpenWindows()[0]->pos(), QPoint(0, 0));
    EXPECT_EQ(PlotWindowCount(), 1);
}

TEST_F(PlotFixture, SavedPlotsAreNumberedPicturesAndTheirWindowsClose) {
    for (const char* name : {"aPlotNr_01.jpg", "aPlotNr_02.jpg"}) {
        PlotRequest request = Request(u"sin(x)");
        request.save = true;
        const PlotOutcome outcome = windows.Plot(request);
        EXPECT_TRUE(outcome.saved);
        EXPECT_EQ(U8(outcome.fileName), (dir / name).string());
        EXPECT_EQ(Decode(dir / name).size(), QSize(400, 365));
    }
    EXPECT_TRUE(windows.OpenWindows().empty());
    // Closed windows are not kept.
    EXPECT_EQ(PlotWindowCount(), 0);
}

TEST_F(PlotFixture, TheDataFileHoldsOneLinePerPointAndItsFailureDoesNotStopThePlot) {
    PlotRequest request = Request(u"x^2", 4);
    request.dataFile = U16(Path("points.txt"));
    EXPECT_TRUE(windows.Plot(request).dataFileError.empty());
    EXPECT_EQ(ReadFile("points.txt"),
              "Id\tX\tY\r\n0\t-2\t4\r\n1\t-1\t1\r\n2\t0\t0\r\n3\t1\t1\r\n4\t2\t4\r\n");
    request.dataFile = U16(Path("missing/points.txt"));
    const PlotOutcome outcome = windows.Plot(request);
    EXPECT_NE(U8(outcome.dataFileError).find("missing/points.txt"), std::string::npos);
    EXPECT_TRUE(outcome.error.empty());
    ASSERT_EQ(windows.OpenWindows().size(), 2u);
    EXPECT_EQ(windows.OpenWindows()[1]->Points().x.size(), 5u);
}

TEST_F(PlotFixture, ABadRequestIsAnErrorAndLeavesNoWindow) {
    struct {
        const char* name;
        int32_t steps;
        double from;
        const char16_t* variable;
    } rows[] = {{"noSteps", 0, -2, u"x"},
                {"infiniteBound", 20, -HUGE_VAL, u"x"},
                {"noVariable", 20, -2, u""}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        PlotRequest request = Request(u"x^2", row.steps);
        request.xFrom = row.from;
        request.variable = row.variable;
        EXPECT_FALSE(windows.Plot(request).error.empty());
        EXPECT_EQ(PlotWindowCount(), 0);
    }
}

TEST_F(PlotFixture, AnExpressionWithNoValueAnywhereShowsAxesWithoutACurve) {
    const PlotOutcome outcome = windows.Plot(Request(u"ln(-1-x^2)"));
    EXPECT_TRUE(outcome.error.empty());
    ASSERT_EQ(windows.OpenWindows().size(), 1u);
    const PlotWindow& w = *windows.OpenWindows()[0];
    EXPECT_FALSE(w.Points().any);
    EXPECT_TRUE(outcome.noPoint);
    EXPECT_EQ(RedPixels(w.Picture()), 0);
    EXPECT_TRUE(ColourNear(w.Picture(), w.Frame().ScreenX(0), 100, kWhite, 1));
}

// --- the plot service without windows -------------------------------------------------

// A plot without one drawable point saves no picture, in a window or without; its data
// file still lists the points that have a value.
TEST_F(PlotFixture, NoDrawablePointSavesNoPictureButStillTheDataFile) {
    struct {
        const char* name;
        const char16_t* expression;
        bool noPoint;
        const char* data;
    } rows[] = {
        {"unknownFunction", u"nosuchfn(x)", true, "Id\tX\tY\r\n"},
        {"undefinedMatrix", u"[mNoSuch]*x", true, "Id\tX\tY\r\n"},
        {"partlyDefined", u"sqrt(x)", false, "Id\tX\tY\r\n2\t0\t0\r\n3\t1\t1\r\n"},
    };
    for (PlotWindows* service : {&windows, &offscreen}) {
        for (const auto& row : rows) {
            SCOPED_TRACE(std::string(row.name) + (service == &offscreen ? " offscreen" : ""));
            fs::remove_all(dir);
            fs::create_directories(dir);
            PlotRequest request = Request(row.expression, 4);
            request.save = true;
            request.dataFile = U16(Path("points.txt"));
            const PlotOutcome outcome = service->Plot(request);
            EXPECT_EQ(outcome.noPoint, row.noPoint);
            EXPECT_EQ(outcome.saved, !row.noPoint);
            EXPECT_EQ(fs::exists(fs::path(U8(outcome.fileName))), !row.noPoint);
            if (row.noPoint) {
                EXPECT_NE(outcome.pointError, ZORBIT_NO_ERROR);
                EXPECT_TRUE(outcome.fileName.empty());
                EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
            }
            EXPECT_EQ(ReadFile("points.txt").substr(0, std::string(row.data).size()), row.data);
        }
    }
    EXPECT_EQ(PlotWindowCount(), 0);
}

TEST_F(PlotFixture, TheFirstWindowOpensBesideTheMainWindowNotOverIt) {
    ASSERT_EQ(QGuiApplication::primaryScreen()->availableGeometry().width(), 1024);
    QWidget main;
    main.setGeometry(20, 30, 480, 450);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    windows.PlaceBeside(&main);
    ASSERT_TRUE(windows.Plot(Request(u"x")).error.empty());
    ASSERT_EQ(windows.OpenWindows().size(), 1u);
    const QRect plot = windows.OpenWindows()[0]->frameGeometry();
    EXPECT_FALSE(plot.intersects(main.frameGeometry()));
    EXPECT_GT(plot.x(), main.frameGeometry().right());
    windows.CloseAll();
}

TEST_F(PlotFixture, WindowNumbersCountOnFromRunToRun) {
    platform.plot = &windows;
    ScriptRun run;
    const char16_t* runs[] = {u"Plot(0; 1; 2) = x\r\nPlot(0; 1; 2) = x^2",
                              u"Plot(0; 1; 2) = sin(x)"};
    QStringList titles;
    for (const char16_t* script : runs) {
        EvalScript(host, script, run);
        for (PlotWindow* w : windows.OpenWindows())
            titles << w->windowTitle();
    }
    // The second run closed the first run's windows and went on with #3.
    EXPECT_EQ(titles, (QStringList{QStringLiteral("aPlot #1: x"), QStringLiteral("aPlot #2: x^2"),
                                   QStringLiteral("aPlot #3: sin(x)")}));
    windows.CloseAll();
}

TEST_F(PlotFixture, APlotWithNoPointIsAnErrorCarryingTheFirstPointsError) {
    ScriptRun run;
    run.savePlots = true;
    host.batch.splPath = U16(dir.string() + "/");
    const ScriptResult result =
        EvalScript(host, u"Plot(0; 1; 10; x; d.txt) = nosuchfn(x)\r\nPlot(0; 1; 2) = x", run);
    EXPECT_EQ(result.Errors(), 1);
    const std::string report = U8(result.report);
    EXPECT_EQ(report.rfind("Ln 1: Plot = nosuchfn(x):\r\n FileName => nothing drawn: ===> ERROR "
                           "n. = ",
                           0),
              0u)
        << report;
    EXPECT_NE(report.find(" FileName => " + Path("aPlotNr_01.jpg")), std::string::npos) << report;
    EXPECT_EQ(ReadFile("d.txt"), "Id\tX\tY\r\n");
    EXPECT_FALSE(host.batch.writeFailed);
}

// The plot folder of a run is made before either product, and whatever cannot be written
// is an error of the run.
TEST_F(PlotFixture, ThePlotFolderIsMadeFirstAndUnwrittenFilesAreErrors) {
    struct {
        const char* name;
        void (*arrange)(const fs::path& folder);
        int errors;
        const char* result; // in the report
        bool dataFile, picture;
    } rows[] = {
        {"folderMissing", nullptr, 0, " FileName => <folder>/aPlotNr_01.jpg\r\n", true, true},
        {"pictureNameIsAFolder",
         [](const fs::path& f) { fs::create_directories(f / "aPlotNr_01.jpg"); }, 1,
         " FileName => plot not saved: the picture could not be written to <folder>/aPlotNr_01.jpg",
         true, false},
        {"dataFileIsAFolder", [](const fs::path& f) { fs::create_directories(f / "pts.txt"); }, 1,
         " FileName => <folder>/aPlotNr_01.jpg; data file not written: <folder>/pts.txt\r\n", false,
         true},
        {"folderIsAFile", [](const fs::path& f) { std::ofstream(f.string()) << "old"; }, 1,
         "data file not written: <folder>/pts.txt", false, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const fs::path folder = dir / row.name / "plots";
        fs::create_directories(folder.parent_path());
        if (row.arrange) row.arrange(folder);
        std::string want = row.result;
        for (size_t at = want.find("<folder>"); at != want.npos; at = want.find("<folder>"))
            want.replace(at, 8, folder.string());
        // Each row numbers its pictures from 1.
        PlotWindows service{nullptr, true};
        service.Bind(&lib);
        platform.plot = &service;
        const int32_t code =
            vexEvalMain(host, U16("/noh /sel:'Plot(-2;2;4;x;pts.txt) = x^2; save' /spl:\"" +
                                  folder.string() + "/\" /"));
        EXPECT_EQ(code, row.errors ? -3 : -1);
        platform.plot = &offscreen;
        const std::string report = U8(host.batch.vexResStr);
        EXPECT_NE(report.find(want), std::string::npos) << report;
        EXPECT_EQ(fs::is_regular_file(folder / "pts.txt"), row.dataFile);
        EXPECT_EQ(fs::is_regular_file(folder / "aPlotNr_01.jpg"), row.picture);
        if (row.dataFile) {
            EXPECT_EQ(ReadFile(fs::relative(folder / "pts.txt", dir).string()).substr(0, 12),
                      "Id\tX\tY\r\n0\t-2");
        }
    }
}

TEST_F(PlotFixture, OffscreenDrawsOnlyWhatIsSavedAndOpensNoWindow) {
    PlotRequest request = Request(u"sin(x)");
    const PlotOutcome unsaved = offscreen.Plot(request);
    EXPECT_TRUE(!unsaved.saved && unsaved.fileName.empty() && unsaved.error.empty());
    EXPECT_TRUE(fs::is_empty(dir));
    request.save = true;
    EXPECT_TRUE(offscreen.Plot(request).saved);
    EXPECT_EQ(Decode(dir / "aPlotNr_01.jpg").size(), QSize(400, 365));
    EXPECT_EQ(PlotWindowCount(), 0);
}

// --- several curves ----------------------------------------------------------------------

// Whether the top right, where the legend goes, holds a pixel of this colour.
bool InLegend(const QImage& image, QRgb colour) {
    for (int y = 0; y < 60; ++y)
        for (int x = image.width() / 2; x < image.width(); ++x)
            if (image.pixel(x, y) == colour) return true;
    return false;
}

TEST_F(PlotFixture, SeveralFormulasAreCurvesInTheirOwnColoursWithALegend) {
    PlotRequest request = Request(u"sin(x); cos(x)", 200);
    request.formulas = {u"sin(x)", u"cos(x)"};
    request.xFrom = -M_PI;
    request.xTo = M_PI;
    const PlotOutcome outcome = windows.Plot(request);
    ASSERT_TRUE(outcome.error.empty()) << U8(outcome.error);
    ASSERT_EQ(windows.OpenWindows().size(), 1u);
    PlotWindow* w = windows.OpenWindows()[0];
    EXPECT_EQ(w->windowTitle(), QStringLiteral("aPlot #1: sin(x); cos(x)"));
    ASSERT_EQ(w->Curves().size(), 2u);
    const QRgb second = CurveColour(1).rgb();
    const PlotFrame& f = w->Frame();
    for (double x : {-2.0, 0.5, 2.5}) {
        SCOPED_TRACE(x);
        EXPECT_TRUE(ColourNear(w->Picture(), f.ScreenX(x), f.ScreenY(std::sin(x)), kRed));
        EXPECT_TRUE(ColourNear(w->Picture(), f.ScreenX(x), f.ScreenY(std::cos(x)), second));
    }
    EXPECT_TRUE(InLegend(w->Picture(), kRed));
    EXPECT_TRUE(InLegend(w->Picture(), second));
    EXPECT_TRUE(InLegend(w->Picture(), kLegendFrame));
    // One curve has no legend.
    windows.Plot(Request(u"x"));
    EXPECT_FALSE(InLegend(windows.OpenWindows()[1]->Picture(), kLegendFrame));
}

TEST_F(PlotFixture, ALineNamingAnOpenWindowAddsItsCurvesThere) {
    ASSERT_TRUE(windows.Plot(Request(u"x^2", 4)).error.empty());
    PlotWindow* w = windows.OpenWindows()[0];
    PlotRequest more = Request(u"x; -x", 8);
    more.formulas = {u"x", u"-x"};
    more.window = 1;
    more.fromGiven = more.toGiven = more.stepsGiven = false;
    more.dataFile = U16(Path("three.txt"));
    ASSERT_TRUE(windows.Plot(more).error.empty());
    ASSERT_EQ(windows.OpenWindows().size(), 1u);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("aPlot #1: x^2; x; -x"));
    ASSERT_EQ(w->Curves().size(), 3u);
    // The window's own range and steps stay where the line gives none.
    EXPECT_EQ(w->Curves()[2].points->x.size(), 5u);
    EXPECT_EQ(ReadFile("three.txt"), "Id\tX\tY1\tY2\tY3\r\n0\t-2\t4\t-2\t2\r\n1\t-1\t1\t-1\t1\r\n"
                                     "2\t0\t0\t0\t0\r\n3\t1\t1\t1\t-1\r\n4\t2\t4\t2\t-2\r\n");
    EXPECT_TRUE(ColourNear(w->Picture(), w->Frame().ScreenX(1.5), w->Frame().ScreenY(-1.5),
                           CurveColour(2).rgb()));
    // A range the line gives redraws every curve over it.
    more.formulas = {u"1"};
    more.fromGiven = more.toGiven = true;
    more.xFrom = 0;
    more.xTo = 1;
    more.dataFile.clear();
    ASSERT_TRUE(windows.Plot(more).error.empty());
    for (const CurveRef& c : w->Curves())
        EXPECT_EQ(c.points->xmax, 1) << U8(std::u16string(c.label));
    EXPECT_EQ(w->FromField()->text() + u' ' + w->ToField()->text(), QStringLiteral("0 1"));

    // Too many curves, or a window that is not open: an error, and nothing changes.
    more.formulas.assign(5, u"x");
    EXPECT_NE(U8(windows.Plot(more).error).find("at most 8 curves"), std::string::npos);
    EXPECT_EQ(w->Curves().size(), 4u);
    more.window = 7;
    more.formulas = {u"x"};
    EXPECT_NE(U8(windows.Plot(more).error).find("no open plot window 7"), std::string::npos);
    EXPECT_EQ(PlotWindowCount(), 1);
}

// The saved picture is the drawing the window shows: both curves and the legend.
TEST_F(PlotFixture, SavedPicturesShowEveryCurve) {
    for (PlotWindows* service : {&windows, &offscreen}) {
        PlotRequest request = Request(u"x; x^2", 40);
        request.formulas = {u"x", u"x^2"};
        request.save = true;
        request.imageName = U16(Path(service == &windows ? "w.png" : "o.png"));
        const PlotOutcome outcome = service->Plot(request);
        ASSERT_TRUE(outcome.saved) << U8(outcome.error);
        const QImage picture = Decode(U8(request.imageName));
        EXPECT_TRUE(InLegend(picture, CurveColour(1).rgb()));
        EXPECT_GT(RedPixels(picture), 100);
    }
    EXPECT_EQ(PlotWindowCount(), 0);
}

// The command's refusals and data file are checked by the batch run of plot_curves.vex.
TEST_F(PlotFixture, ThePlotCommandDrawsEachFormulaAndAddsToANamedWindow) {
    platform.plot = &windows;
    const ScriptResult result =
        EvalScript(host, u"Plot(-pi; pi; 20) = sin(x); cos(x)\r\nPlot(;;;;;1) = x/4", {});
    EXPECT_EQ(result.Errors(), 0) << U8(result.report);
    ASSERT_EQ(windows.OpenWindows().size(), 1u);
    EXPECT_EQ(windows.OpenWindows()[0]->Curves().size(), 3u);
    // The next new window takes the next number: the added curves took none.
    EvalScript(host, u"Plot = x", {});
    ASSERT_FALSE(windows.OpenWindows().empty());
    EXPECT_EQ(windows.OpenWindows().back()->Settings().number, 2);
}

// --- the "Plot" command -----------------------------------------------------------------

struct CommandRow {
    const char* name;
    const char* switches; // "<dir>" stands for the test's folder
    std::vector<const char*> files;
};

class PlotCommandTest : public PlotFixture, public testing::WithParamInterface<CommandRow> {};

TEST_P(PlotCommandTest, RecordsNameThePicturesItSaved) {
    std::string line = GetParam().switches;
    if (const size_t at = line.find("<dir>"); at != std::string::npos)
        line.replace(at, 5, dir.string());
    const std::string report = Report(line);
    for (const char* name : GetParam().files) {
        EXPECT_NE(report.find(" FileName => " + (dir / name).string() + "\r\n"), std::string::npos)
            << report;
        EXPECT_EQ(Decode(dir / name).size(), QSize(400, 365)) << name;
    }
    if (GetParam().files.empty()) {
        EXPECT_NE(report.find(" FileName => plot not saved file\r\n"), std::string::npos) << report;
        EXPECT_TRUE(fs::is_empty(dir));
    }
    EXPECT_EQ(PlotWindowCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PlotCommandTest,
    testing::Values(CommandRow{"twoPlotsIntoThePlotFolder",
                               "/sel:'Plot = sin(x)\r\nPlot(0; 1; 10) = x^2' /spl:\"<dir>/\" /",
                               {"aPlotNr_01.jpg", "aPlotNr_02.jpg"}},
                    CommandRow{
                        "saveInTheSelection", "/sel:'Plot = sin(x); save' /", {"aPlotNr_01.jpg"}},
                    CommandRow{"notSaved", "/sel:'Plot = sin(x)' /", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PlotFixture, DelRemovesOnlyOldPlotPicturesFromThePlotFolder) {
    for (const char* name : {"aPlotNr_01.jpg", "aPlotNr_17.jpg", "aPlotNr_x.jpg", "notes.jpg"})
        WriteFile(name, "old");
    fs::create_directories(dir / "aPlotNr_03.jpg");
    fs::create_directories(dir / "sub");
    WriteFile("sub/aPlotNr_04.jpg", "old");
    fs::create_symlink(dir / "notes.jpg", dir / "aPlotNr_05.jpg");
    Report("/del /sel:'Plot = sin(x)' /spl:\"" + dir.string() + "/\" /");
    EXPECT_EQ(Decode(dir / "aPlotNr_01.jpg").size(), QSize(400, 365)); // this run's
    EXPECT_FALSE(fs::exists(dir / "aPlotNr_17.jpg"));
    for (const char* kept : {"aPlotNr_x.jpg", "notes.jpg", "sub/aPlotNr_04.jpg"})
        EXPECT_EQ(ReadFile(kept), "old") << kept;
    EXPECT_TRUE(fs::is_directory(dir / "aPlotNr_03.jpg"));
    EXPECT_TRUE(fs::is_symlink(dir / "aPlotNr_05.jpg"));
}

TEST_F(PlotFixture, RelativeDataFilesGoToTheCurrentFolderAndAFailureIsAnError) {
    const ScriptResult result = EvalScript(
        host, u"Plot(0; 1; 4; x; pts.txt) = x^2\r\nPlot(0; 1; 4; x; none/pts.txt) = x", {});
    EXPECT_EQ(result.Errors(), 1);
    EXPECT_TRUE(host.batch.writeFailed);
    EXPECT_NE(U8(result.report)
                  .find("Plot = x:\r\n FileName => plot not saved file; data file "
                        "not written: " +
                        Path("none/pts.txt")),
              std::string::npos)
        << U8(result.report);
    EXPECT_EQ(ReadFile("pts.txt"),
              "Id\tX\tY\r\n0\t0\t0\r\n1\t0.25\t0.0625\r\n2\t0.5\t0.25\r\n3\t0.75\t0."
              "5625\r\n4\t1\t1\r\n");
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_NE(box.shown[0].find("can't write the file.\r\n\r\n" + Path("none/pts.txt")),
              std::string::npos)
        << box.shown[0];
}

TEST_F(PlotFixture, ABadPlotLineGivesAnErrorRecordAndDrawsNothing) {
    struct {
        const char16_t* line;
        const char *header, *error;
    } rows[] = {
        {u"Plot(-1; 1; 0) = x", "Plot = x:", " FileName => the steps \"0\""},
        {u"Plot(-1; 1 = x", "Plot = :", " FileName => the parentheses after Plot do not close"},
        {u"Plot(-1; 1+*2) = x", "Plot = x:", " FileName => the x to \"1+*2\" does not evaluate"}};
    ScriptRun run;
    run.savePlots = true;
    host.batch.splPath = U16(dir.string() + "/");
    for (const auto& row : rows) {
        SCOPED_TRACE(U8(row.line));
        const ScriptResult result = EvalScript(host, row.line, run);
        EXPECT_EQ(result.Errors(), 1);
        const std::string report = U8(result.report);
        EXPECT_EQ(report.rfind(std::string("Ln 1: ") + row.header, 0), 0u) << report;
        EXPECT_NE(report.find(row.error), std::string::npos) << report;
    }
    EXPECT_TRUE(fs::is_empty(dir));
}

} // namespace
} // namespace vex::test

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) qputenv("XDG_RUNTIME_DIR", VEX_RUNTIME_DIR);
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
