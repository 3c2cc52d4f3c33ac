// The entry line's aids as a user meets them: the completion popup, the names dock,
// the colours of a formula in the line and the list, the help line while a command is
// typed, and the list's number column and last row.

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QTableView>
#include <QToolTip>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

#include "platform/qt/window_platform.h"
#include "shell/startup.h"
#include "shell/window/completer.h"
#include "shell/window/help_label.h"
#include "shell/window/main_window.h"
#include "shell/window/names_dock.h"
#include "shell/window/syntax_colours.h"
#include "tests/window/fake_dialogs.h"
#include "tests/window/list_rows.h"
#include "zorbit/codes.h"

using vex::MenuItem;

class EntryAidsTest : public QObject {
    Q_OBJECT

  private:
    FakeDialogs dialogs_;
    std::unique_ptr<vex::WindowPlatform> platform_;
    vex::Program program_;
    std::unique_ptr<vex::MainWindow> window_;

    QLineEdit* Entry() const { return window_->entryLine(); }
    vex::EntryCompleter* Completer() const { return window_->completer(); }

    void Enter(const QString& text) {
        QTest::keyClicks(Entry(), text);
        QTest::keyClick(Entry(), Qt::Key_Return);
    }
    void EnterAll(const QStringList& lines) {
        for (const QString& line : lines) {
            int64_t at = -1;
            QVERIFY2(!window_->EnterLine(line, &at), qPrintable(line));
        }
    }
    // How many of the widget's pixels show colour over its base colour: smoothed text
    // mixes the two, so a pixel counts when it lies on the line between them, at least
    // half way to colour.
    static int PixelsNear(QWidget* widget, const QColor& colour) {
        const QImage image = widget->grab().toImage();
        const QColor base = widget->palette().color(QPalette::Base);
        const int t[3] = {colour.red(), colour.green(), colour.blue()};
        const int b[3] = {base.red(), base.green(), base.blue()};
        int axis = 0;
        for (int c = 1; c < 3; ++c)
            if (std::abs(t[c] - b[c]) > std::abs(t[axis] - b[axis])) axis = c;
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor q = image.pixelColor(x, y);
                const int p[3] = {q.red(), q.green(), q.blue()};
                const double a = double(p[axis] - b[axis]) / (t[axis] - b[axis]);
                bool on = a >= 0.5 && a <= 1.05;
                for (int c = 0; c < 3 && on; ++c)
                    on = std::abs(p[c] - (b[c] + a * (t[c] - b[c]))) < 14;
                n += on;
            }
        return n;
    }
    QTextLayout::FormatRange RangeAt(int offset) const {
        const auto* colours = static_cast<const vex::EntryColours*>(
            Entry()->findChild<QObject*>(QStringLiteral("entryColours")));
        for (const QTextLayout::FormatRange& r : colours->formats())
            if (offset >= r.start && offset < r.start + r.length) return r;
        return {};
    }

    // The entry line's colour at offset, as laid over its text.
    QColor ColourAt(int offset) const { return RangeAt(offset).format.foreground().color(); }
  private Q_SLOTS:
    void initTestCase() {
        platform_ = std::make_unique<vex::WindowPlatform>(nullptr, dialogs_);
        vex::StartOptions options;
        options.ignoreConfig = true;
        options.libraryPath = VEX_ZORBIT_PATH;
        options.platform = &platform_->platform();
        std::string error;
        QVERIFY2(vex::StartUp(program_, options, error), error.c_str());
        QVERIFY2(!program_.helpText.empty(), "ShowCmds.vex is not beside the test program");
    }

    void init() {
        dialogs_.Reset();
        program_.settings = vex::ShellSettings();
        program_.configPath.clear();
        program_.host.interp.decimals = 4;
        program_.host.interp.format = vex::NumberFormat::Fixed;
        program_.library.ResetAll();
        window_ =
            std::make_unique<vex::MainWindow>(program_, program_.library, dialogs_, *platform_);
        window_->show();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    }

    void cleanup() {
        window_.reset();
        QCOMPARE(dialogs_.unanswered, 0);
    }

    // --- Completion ----------------------------------------------------------------------

    void completion_data() {
        QTest::addColumn<QStringList>("defined"); // lines entered first
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("offered"); // a candidate the popup must show
        QTest::addColumn<int>("key");         // the key that takes the first candidate
        QTest::addColumn<QString>("after");   // the line after it
        QTest::newRow("built-in function takes its bracket")
            << QStringList{} << "2*sqr"
            << "sqrt(" << int(Qt::Key_Tab) << "2*sqrt(";
        QTest::newRow("typed case does not matter") << QStringList{} << "SQR"
                                                    << "sqrt(" << int(Qt::Key_Return) << "sqrt(";
        QTest::newRow("constant") << QStringList{} << "1+#p"
                                  << "#pi" << int(Qt::Key_Tab) << "1+#pi";
        QTest::newRow("statistics keyword") << QStringList{} << "medi"
                                            << "median(" << int(Qt::Key_Enter) << "median(";
        QTest::newRow("variable of this run") << QStringList{"Var = gamma7; 3"} << "2*gam"
                                              << "gamma7" << int(Qt::Key_Return) << "2*gamma7";
        QTest::newRow("function with parameters")
            << QStringList{"Funct = hyp(a; b); sqrt(a^2+b^2)"} << "hy"
            << "hyp(" << int(Qt::Key_Tab) << "hyp(";
        QTest::newRow("matrix") << QStringList{"Matr = [mQ]; 2; 2; 1; 2; 3; 4"} << "det([m"
                                << "[mq]" << int(Qt::Key_Tab) << "det([mq]";
        QTest::newRow("command as the first word") << QStringList{} << "StoEx"
                                                   << "StoExpr" << int(Qt::Key_Tab) << "StoExpr";
    }

    void completion() {
        QFETCH(QStringList, defined);
        QFETCH(QString, typed);
        QFETCH(QString, offered);
        QFETCH(int, key);
        QFETCH(QString, after);
        EnterAll(defined);
        const QStringList rows = ListRows(*window_);
        QTest::keyClicks(Entry(), typed);
        QVERIFY(Completer()->PopupShown());
        QVERIFY2(Completer()->Candidates().contains(offered),
                 qPrintable(Completer()->Candidates().join(u' ')));
        // The first candidate is the chosen one; bring the wanted one there.
        const int row = static_cast<int>(Completer()->Candidates().indexOf(offered));
        for (int k = 0; k < row; ++k)
            QTest::keyClick(Entry(), Qt::Key_Down);
        QTest::keyClick(Entry(), static_cast<Qt::Key>(key));
        QVERIFY(!Completer()->PopupShown());
        QCOMPARE(Entry()->text(), after);
        QCOMPARE(Entry()->cursorPosition(), after.size());
        // Taking a name runs nothing.
        QCOMPARE(ListRows(*window_), rows);
        QVERIFY(Entry()->hasFocus());
    }

    void completionDescribesEachName() {
        EnterAll({"Var = speed; 12.5", "Funct = twice(x); 2*x"});
        const auto description = [this](const QString& typed, const QString& name) {
            Entry()->clear();
            QTest::keyClicks(Entry(), typed);
            const QTreeWidget* popup = Completer()->popup();
            for (int i = 0; i < popup->topLevelItemCount(); ++i)
                if (popup->topLevelItem(i)->text(0) == name) return popup->topLevelItem(i)->text(1);
            return QStringLiteral("<not offered>");
        };
        QCOMPARE(description("spe", "speed"), QStringLiteral("12.5"));
        QCOMPARE(description("twi", "twice("), QStringLiteral("twice(x) = 2*x"));
        QVERIFY(description("sqr", "sqrt(").contains(QStringLiteral("square root")));
        QCOMPARE(description("Exp", "Expr"), QStringLiteral("expr = formula"));
    }

    void completionOffersNothingWhereNoNameGoes_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("command after the first word") << "1+StoEx";
        QTest::newRow("exponent of a number") << "2e";
        QTest::newRow("hexadecimal digits") << "&fa";
        QTest::newRow("after a blank") << "sqrt ";
        QTest::newRow("nothing starts so") << "qqqzz";
        QTest::newRow("a name typed whole") << "Var = pi";
    }

    void completionOffersNothingWhereNoNameGoes() {
        QFETCH(QString, typed);
        QTest::keyClicks(Entry(), typed);
        QVERIFY2(!Completer()->PopupShown(), qPrintable(Completer()->Candidates().join(u' ')));
    }

    void escapeClosesOnlyThePopup() {
        QTest::keyClicks(Entry(), QStringLiteral("1+co"));
        QVERIFY(Completer()->PopupShown());
        QTest::keyClick(Entry(), Qt::Key_Escape);
        QVERIFY(!Completer()->PopupShown());
        QCOMPARE(Entry()->text(), QStringLiteral("1+co"));
        QVERIFY(window_->isVisible());
        QVERIFY(!window_->escaped());
        // The popup closed, Enter runs the line as typed.
        QTest::keyClicks(Entry(), QStringLiteral("s(0)"));
        QVERIFY(Completer()->PopupShown() == false);
        QTest::keyClick(Entry(), Qt::Key_Return);
        QCOMPARE(ListRows(*window_), (QStringList{"E1|Expr = 1+cos(0)", "=|  2.0000"}));
    }

    void popupClosesWhenTheWindowMoves() {
        QTest::keyClicks(Entry(), QStringLiteral("co"));
        QVERIFY(Completer()->PopupShown());
        window_->resize(window_->width() + 40, window_->height());
        QVERIFY(!Completer()->PopupShown());
        QCOMPARE(Entry()->text(), QStringLiteral("co"));
        // A click on a candidate takes it.
        QTest::keyClicks(Entry(), QStringLiteral("s"));
        QTreeWidget* popup = Completer()->popup();
        QVERIFY(Completer()->PopupShown());
        QTreeWidgetItem* item = popup->topLevelItem(0);
        const QString name = item->text(0);
        QTest::mouseClick(popup->viewport(), Qt::LeftButton, {},
                          popup->visualItemRect(item).center());
        QCOMPARE(Entry()->text(), name);
    }

    void popupFollowsTheWordAndUpDownChoose() {
        QTest::keyClicks(Entry(), QStringLiteral("s"));
        const QStringList wide = Completer()->Candidates();
        QVERIFY(wide.size() > 3);
        QTest::keyClicks(Entry(), QStringLiteral("in"));
        const QStringList narrow = Completer()->Candidates();
        QVERIFY(narrow.size() < wide.size());
        for (const QString& c : narrow)
            QVERIFY2(c.startsWith(QStringLiteral("sin"), Qt::CaseInsensitive), qPrintable(c));
        // Down past the end stays on the last; Up goes back one.
        for (qsizetype k = 0; k <= narrow.size(); ++k)
            QTest::keyClick(Entry(), Qt::Key_Down);
        QTest::keyClick(Entry(), Qt::Key_Up);
        QTest::keyClick(Entry(), Qt::Key_Tab);
        QCOMPARE(Entry()->text(), narrow.at(narrow.size() - 2));
        // The history keys are the line's again once the popup is closed.
        Entry()->clear();
        Enter(QStringLiteral("7*6"));
        QTest::keyClick(Entry(), Qt::Key_Up);
        QCOMPARE(Entry()->text(), QStringLiteral("7*6"));
    }

    // --- The names dock ------------------------------------------------------------------

    void namesDockListsTheRun() {
        vex::NamesDock* dock = window_->namesDock();
        QVERIFY(!dock->isVisible());
        QAction* names = window_->namesAction();
        QMenu* view = nullptr;
        for (QAction* a : window_->menuBar()->actions())
            if (a->text() == QStringLiteral("&View")) view = a->menu();
        QVERIFY(view);
        QVERIFY(view->actions().contains(names));
        names->trigger();
        QVERIFY(dock->isVisible());
        QCOMPARE(dock->tree()->topLevelItemCount(), 0);
        EnterAll({"Var = k; 5", "Funct = dbl(x); 2*x", "Matr = [mB]; 1; 2; 7; 8", "sqrt(16)"});
        QCoreApplication::processEvents();
        QStringList shown;
        for (int i = 0; i < dock->tree()->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = dock->tree()->topLevelItem(i);
            shown << item->text(0) + u'=' + item->text(1) + u' ' + item->text(2);
        }
        QCOMPARE(shown, (QStringList{"k=5 variable", "dbl(x)=2*x function", "[mb]=1 x 2 matrix"}));
        // A variable given a new value shows it after the line.
        Enter(QStringLiteral("Var = k; 6"));
        QCoreApplication::processEvents();
        QCOMPARE(dock->tree()->topLevelItem(0)->text(1), QStringLiteral("6"));
        names->trigger();
        QVERIFY(!dock->isVisible());
    }

    void namesDockInsertsAtTheCaret_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("expected");
        QTest::newRow("variable") << 0 << "1+k*2";
        QTest::newRow("function") << 1 << "1+dbl*2";
        QTest::newRow("matrix") << 2 << "1+[mb]*2";
    }

    void namesDockInsertsAtTheCaret() {
        QFETCH(int, row);
        QFETCH(QString, expected);
        EnterAll({"Var = k; 5", "Funct = dbl(x); 2*x", "Matr = [mB]; 1; 2; 7; 8"});
        window_->namesAction()->trigger();
        QTest::keyClicks(Entry(), QStringLiteral("1+*2"));
        Entry()->setCursorPosition(2);
        QTreeWidget* tree = window_->namesDock()->tree();
        QVERIFY(QTest::qWaitForWindowExposed(tree));
        QCoreApplication::processEvents();
        QTreeWidgetItem* item = tree->topLevelItem(row);
        QVERIFY(item);
        // Through the window, so press, release and press become a double click.
        const QPoint at =
            tree->viewport()->mapTo(window_.get(), tree->visualItemRect(item).center());
        QTest::mouseDClick(window_->windowHandle(), Qt::LeftButton, {}, at);
        QCOMPARE(Entry()->text(), expected);
        QVERIFY(Entry()->hasFocus());
    }

    // --- Colours -------------------------------------------------------------------------

    void entryColoursFollowTheScheme() {
        QTest::keyClicks(Entry(), QStringLiteral("sin(25)*x+[mA]"));
        for (const bool dark : {true, false}) {
            QCOMPARE(window_->action(MenuItem::BlackWhite)->isChecked(), dark);
            const vex::SyntaxPalette p = vex::SyntaxPalette::For(dark);
            QCOMPARE(ColourAt(0), p.function);
            QCOMPARE(ColourAt(3), p.bracket);
            QCOMPARE(ColourAt(5), p.number);
            QCOMPARE(ColourAt(7), p.op);
            QCOMPARE(ColourAt(8), p.name);
            QCOMPARE(ColourAt(9), p.op);
            QCOMPARE(ColourAt(11), p.matrix);
            // The colours reach the screen, not only the formats.
            QVERIFY(PixelsNear(Entry(), p.number) > 0);
            QVERIFY(PixelsNear(Entry(), p.function) > 0);
            window_->action(MenuItem::BlackWhite)->trigger();
        }
        QVERIFY(ColourAt(0) != vex::SyntaxPalette::For(false).function);
        // The same text set again, or the caret moved and back, keeps its colours.
        const vex::SyntaxPalette p = vex::SyntaxPalette::For(true);
        Entry()->setText(Entry()->text());
        QTest::keyClick(Entry(), Qt::Key_Home);
        QTest::keyClick(Entry(), Qt::Key_End);
        QVERIFY(PixelsNear(Entry(), p.number) > 0);
        QVERIFY(PixelsNear(Entry(), p.function) > 0);
    }

    void bracketsMatchAndLoneOnesAreMarked() {
        const vex::SyntaxPalette p = vex::SyntaxPalette::For(true);
        QTest::keyClicks(Entry(), QStringLiteral("(1+(2*3))"));
        // The caret after the last ")" pairs it with the first "(".
        QCOMPARE(RangeAt(8).format.background().color(), p.matchBack);
        QCOMPARE(RangeAt(0).format.background().color(), p.matchBack);
        QVERIFY(RangeAt(3).format.background().style() == Qt::NoBrush);
        QTest::keyClick(Entry(), Qt::Key_Left);
        QCOMPARE(RangeAt(7).format.background().color(), p.matchBack);
        QCOMPARE(RangeAt(3).format.background().color(), p.matchBack);
        QVERIFY(RangeAt(0).format.background().style() == Qt::NoBrush);
        Entry()->setText(QStringLiteral("2*(1+3"));
        QCOMPARE(RangeAt(2).format.foreground().color(), p.unmatched);
        Entry()->setText(QStringLiteral("2)+1"));
        QCOMPARE(RangeAt(1).format.foreground().color(), p.unmatched);
        // A list cell cut short colours what it shows; a bracket whose partner is cut off
        // is still paired.
        const QList<QTextLayout::FormatRange> cut =
            vex::SyntaxFormats(QStringLiteral("(12+345)"), p, -1, 5);
        QCOMPARE(cut.size(), 4);
        QCOMPARE(cut[0].format.foreground().color(), p.bracket);
        QCOMPARE(cut[3].start + cut[3].length, 5);
        // A line of tens of thousands of characters stays plain rather than be scanned
        // at every key; a short one is coloured again.
        Entry()->setText(QStringLiteral("1+").repeated(15000));
        QCOMPARE(RangeAt(0).length, 0);
        Entry()->setText(QStringLiteral("(7"));
        QCOMPARE(RangeAt(0).format.foreground().color(), p.unmatched);
        // A selection, such as a failing character's, is drawn over the colours.
        Entry()->setText(QStringLiteral("2+*3"));
        Entry()->setSelection(2, 1);
        QCOMPARE(Entry()->selectedText(), QStringLiteral("*"));
    }

    void listColoursExpressionRows() {
        EnterAll({"12345+67890"});
        QTableView* view = window_->listView();
        for (const bool dark : {true, false}) {
            const vex::SyntaxPalette p = vex::SyntaxPalette::For(dark);
            view->clearSelection();
            QVERIFY(PixelsNear(view->viewport(), p.number) > 0);
            QVERIFY(PixelsNear(view->viewport(), p.op) > 0);
            window_->action(MenuItem::BlackWhite)->trigger();
        }
    }

    // --- The help line -------------------------------------------------------------------

    void helpFollowsTheTypedCommand() {
        QLabel* help = window_->helpLine();
        Enter(QStringLiteral("Expr = 1"));
        QVERIFY(help->text().startsWith(QStringLiteral("expr = formula")));
        QTest::keyClicks(Entry(), QStringLiteral("Var = a; 2"));
        QVERIFY(help->text().startsWith(QStringLiteral("var = name; value")));
        Entry()->clear();
        QTest::keyClicks(Entry(), QStringLiteral("SolvePolyn = x^2-4"));
        QVERIFY2(help->text().startsWith(QStringLiteral("solvepolyn")), qPrintable(help->text()));
        // A longer word that merely starts as a command takes back the help shown before.
        Entry()->clear();
        QTest::keyClicks(Entry(), QStringLiteral("Var"));
        QVERIFY(help->text().startsWith(QStringLiteral("var = ")));
        QTest::keyClicks(Entry(), QStringLiteral("iable"));
        QVERIFY2(help->text().startsWith(QStringLiteral("solvepolyn")), qPrintable(help->text()));
    }

    void helpShowsWholeLinesOnly() {
        auto* help = static_cast<vex::HelpLabel*>(window_->helpLine());
        QTest::keyClicks(Entry(), QStringLiteral("StoExpr(a) = 1"));
        const QString whole = help->text();
        QVERIFY(whole.count(u'\n') >= 2);
        const QStringList shown = help->ShownLines();
        const QFontMetrics fm(help->font());
        // Nothing drawn past the bottom: every line shown has its full height.
        QVERIFY(shown.size() * fm.lineSpacing() <= help->contentsRect().height());
        QVERIFY(help->Elided());
        QVERIFY(shown.back().endsWith(QChar(0x2026)));
        for (qsizetype i = 0; i + 1 < shown.size(); ++i)
            QVERIFY2(whole.contains(shown[i]), qPrintable(shown[i]));
        // Its tooltip is the whole entry.
        const QPoint at = help->rect().center();
        QHelpEvent tip(QEvent::ToolTip, at, help->mapToGlobal(at));
        QCoreApplication::sendEvent(help, &tip);
        QTRY_COMPARE(QToolTip::text(), whole);
        QToolTip::hideText();
        // Tall enough, it shows everything and needs no tooltip.
        window_->resize(window_->width() + 600, window_->height());
        help->resize(help->width(), fm.lineSpacing() * 12);
        QVERIFY(!help->Elided());
        QCOMPARE(help->ShownLines().join(u' ').simplified(),
                 QString(whole).replace(u'\n', u' ').simplified());
    }

    // --- The list ------------------------------------------------------------------------

    void newestRowStaysAboveTheScrollBar() {
        // Checked after every line: the line that first needs the vertical bar also brings
        // the horizontal one (the columns no longer fit beside it).
        QTableView* view = window_->listView();
        bool bothBars = false;
        for (int k = 1; k <= 30; ++k) {
            Enter(QString::number(k));
            // Settled as the screen shows it: the view lays itself out on a timer.
            QTest::qWait(5);
            const int last = view->model()->rowCount() - 1;
            const QRect newest = view->visualRect(view->model()->index(last, 0));
            QVERIFY(newest.top() >= 0);
            QVERIFY2(newest.bottom() < view->viewport()->height(),
                     qPrintable(QStringLiteral("line %1: row bottom %2, viewport %3")
                                    .arg(k)
                                    .arg(newest.bottom())
                                    .arg(view->viewport()->height())));
            bothBars = bothBars || (view->horizontalScrollBar()->isVisible() &&
                                    view->verticalScrollBar()->isVisible());
        }
        QVERIFY(bothBars);
    }

    void numberColumnFitsItsWidestNumber() {
        QTableView* view = window_->listView();
        const int before = view->columnWidth(0);
        for (int k = 0; k < 1000; ++k) {
            int64_t at = -1;
            window_->EnterLine(QStringLiteral("1"), &at);
        }
        QCOMPARE(view->model()->index(1998, 0).data().toString(), QStringLiteral("E1000"));
        const QFontMetrics fm(view->font());
        const int margins = 2 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
        QVERIFY(view->columnWidth(0) >= before);
        QCOMPARE(
            fm.elidedText(QStringLiteral("E1000"), Qt::ElideRight, view->columnWidth(0) - margins),
            QStringLiteral("E1000"));
        // The two columns together still fit the list.
        QVERIFY(view->columnWidth(0) + view->columnWidth(1) <= view->width());
    }
};

QTEST_MAIN(EntryAidsTest)
#include "entry_aids_test.moc"
