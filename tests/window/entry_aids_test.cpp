// The entry line's aids as a user meets them: the live result under the line, "ans",
// Copy result, the completion popup, the names dock, the colours of a formula in the line
// and the list, the help line while a command is typed, and the list's number column and
// last row.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QTableView>
#include <QToolTip>
#include <QTreeWidget>
#include <QVector3D>
#include <QtTest>
#include <memory>

#include "platform/qt/window_platform.h"
#include "script/slots.h"
#include "shell/startup.h"
#include "shell/window/completer.h"
#include "shell/window/help_label.h"
#include "shell/window/live_result.h"
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
    QLabel* Live() const { return window_->liveResult()->label(); }
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
    // Through the window, so press, release and press become a double click.
    void DoubleClick(QAbstractItemView* view, const QRect& item) {
        const QPoint at = view->viewport()->mapTo(window_.get(), item.center());
        QTest::mouseDClick(window_->windowHandle(), Qt::LeftButton, {}, at);
    }
    QRect ListCell(int row) const {
        QTableView* view = window_->listView();
        return view->visualRect(view->model()->index(row, 1));
    }

    // What a line entered later could see of the library: the error code, the records,
    // the variables and functions, the matrices and the last answer.
    QString LibraryState() const {
        const vex::Library& lib = program_.library;
        const auto records = reinterpret_cast<decltype(&::GetErrorMsgs)>(
            SlotByName(*program_.host.slots, "GetErrorMsgs"));
        std::u16string msgs(records(nullptr, 0, 0) / 2 + 1, u'\0');
        records(msgs.data(), static_cast<int32_t>(msgs.size()), 0);
        const std::optional<double> answer = lib.LastAnswer();
        return QString::number(lib.GetError()) + u'|' + QString::fromStdU16String(msgs) + u'|' +
               QString::fromStdU16String(lib.VarFuncList(u"vars")) + u'|' +
               QString::fromStdU16String(lib.VarFuncList(u"funct")) + u'|' +
               QString::fromStdU16String(lib.MatrixList()) + u'|' +
               (answer ? QString::number(*answer, 'g', 17) : QStringLiteral("none"));
    }

    // How many of the widget's pixels show colour over its base colour: smoothed text
    // mixes the two, so a pixel counts when it lies near the line between them, at least
    // half way to colour.
    static int PixelsNear(QWidget* widget, const QColor& colour) {
        const QImage image = widget->grab().toImage();
        const auto rgb = [](const QColor& c) { return QVector3D(c.red(), c.green(), c.blue()); };
        const QVector3D base = rgb(widget->palette().color(QPalette::Base));
        const QVector3D d = rgb(colour) - base;
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QVector3D p = rgb(image.pixelColor(x, y)) - base;
                const float a = QVector3D::dotProduct(p, d) / d.lengthSquared();
                n += a >= 0.5f && a <= 1.05f && (p - a * d).length() < 20;
            }
        return n;
    }
    // The entry line's format at offset, as laid over its text.
    QTextLayout::FormatRange RangeAt(int offset) const {
        const auto* colours = static_cast<const vex::EntryColours*>(
            Entry()->findChild<QObject*>(QStringLiteral("entryColours")));
        for (const QTextLayout::FormatRange& r : colours->formats())
            if (offset >= r.start && offset < r.start + r.length) return r;
        return {};
    }
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
        QGuiApplication::clipboard()->clear();
        window_ =
            std::make_unique<vex::MainWindow>(program_, program_.library, dialogs_, *platform_);
        window_->show();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    }

    void cleanup() {
        window_.reset();
        QCOMPARE(dialogs_.unanswered, 0);
    }

    // --- The live result -----------------------------------------------------------------

    // Each key shows what the line gives so far, under the entry line.
    void previewFollowsEachKey() {
        Enter(QStringLiteral("Var = k; 4"));
        QStringList seen;
        for (const QChar c : QStringLiteral("2*k+")) {
            QTest::keyClick(Entry(), c.toLatin1());
            seen << Live()->text();
        }
        const QString error =
            QStringLiteral("ERROR n. = 3: Parser syntax error          (Module: eval) at column ");
        QCOMPARE(seen.mid(0, 3), (QStringList{"= 2.0000", error + u'3', "= 8.0000"}));
        QVERIFY(seen[3].startsWith(error));
        QVERIFY(Live()->isVisible());
        QVERIFY(Live()->geometry().top() >= Entry()->geometry().bottom());
        QTest::keyClick(Entry(), Qt::Key_Escape);
        QCOMPARE(Live()->text(), QString());
        // A command is not worked out (it may define, store, write or plot), though its
        // first word alone reads as a name.
        QTest::keyClicks(Entry(), QStringLiteral("Var = q; 1"));
        QCOMPARE(Live()->text(), QString());
    }

    // Kinds of formula the library's preview itself is checked on are left to its own
    // test; here, that the window's preview takes that path and runs no command.
    void previewHasNoEffect_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("number") << "k*ans";
        QTest::newRow("error") << "1/0";
        QTest::newRow("definition") << "Var = k; 99";
        QTest::newRow("plot") << "Plot = x";
        QTest::newRow("heavy") << "[mW]^1000000";
    }

    void previewHasNoEffect() {
        QFETCH(QString, typed);
        EnterAll({"Var = k; 4", "Matr = [mW]; 2; 2; 1; 2; 3; 4", "7"});
        Enter(QStringLiteral("1/")); // an error code and records a later line could read
        QTest::keyClick(Entry(), Qt::Key_Escape); // the failed line stays: clear it
        const QString before = LibraryState();
        const QStringList rows = ListRows(*window_);
        QTest::keyClicks(Entry(), typed);
        QVERIFY(!Live()->text().isEmpty() || typed.contains(u'='));
        QCOMPARE(LibraryState(), before);
        QCOMPARE(ListRows(*window_), rows);
        QCOMPARE(dialogs_.asked.size(), 0);
    }

    // Config > Live result turns it off and on; the setting is kept.
    void menuTurnsItOff() {
        QAction* item = window_->action(MenuItem::LiveResult);
        QVERIFY(item->isChecked());
        QTest::keyClicks(Entry(), QStringLiteral("1+1"));
        QCOMPARE(Live()->text(), QStringLiteral("= 2.0000"));
        const int entryTop = Entry()->geometry().top();
        item->trigger();
        QVERIFY(!Live()->isVisible());
        QCOMPARE(window_->CurrentSettings().LiveResult, 0);
        // The entry line takes the room back.
        QVERIFY(Entry()->geometry().top() > entryTop);
        QTest::keyClicks(Entry(), QStringLiteral("+1"));
        QCOMPARE(Live()->text(), QString());
        item->trigger();
        QCOMPARE(Live()->text(), QStringLiteral("= 3.0000"));
        QCOMPARE(window_->CurrentSettings().LiveResult, 1);
    }

    // "ans" and a double-click on a result both carry the whole number, not the list's
    // rounding of it (0.3333 * 6 would show 1.9998); the live result follows.
    void laterLinesGetWholeNumbers() {
        Enter(QStringLiteral("1/3"));
        QTest::keyClicks(Entry(), QStringLiteral("ans*6"));
        QCOMPARE(Live()->text(), QStringLiteral("= 2.0000"));
        Entry()->clear();
        DoubleClick(window_->listView(), ListCell(1));
        QCOMPARE(Entry()->text(), QStringLiteral("0.3333333333333333"));
        QCOMPARE(Live()->text(), QStringLiteral("= 0.3333"));
    }

    // Edit > Copy result: the selected row's number as a plain number the entry line
    // reads back; a row without one beeps and leaves the clipboard alone.
    void copyResult_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("clipboard");
        QTest::newRow("result row") << "5/2" << 1 << "2.5";
        QTest::newRow("expression row") << "6.02e23*1" << 0 << "6.02e23";
        QTest::newRow("whole, not rounded") << "1/3" << 1 << "0.3333333333333333";
        QTest::newRow("matrix has none") << "Matr = [mC]; 1; 2; 1; 2\r\n[mC]" << 1 << "kept";
    }

    void copyResult() {
        QFETCH(QString, line);
        QFETCH(int, row);
        QFETCH(QString, clipboard);
        QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
        // A two-line entry goes in through the window's own path.
        window_->EnterLine(line);
        QTest::mouseClick(window_->listView()->viewport(), Qt::LeftButton, {},
                          ListCell(row).center());
        QTest::keySequence(window_->listView(), QKeySequence(QStringLiteral("Ctrl+Shift+C")));
        QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
        if (clipboard == QStringLiteral("kept")) return;
        // The entry line reads it back as the same number.
        Entry()->setFocus();
        QTest::keySequence(Entry(), QKeySequence(QKeySequence::Paste));
        QCOMPARE(Entry()->text(), clipboard);
        QTest::keyClick(Entry(), Qt::Key_Return);
        const vex::ListRow& first = window_->list().rows[1];
        const vex::ListRow& again = window_->list().rows.back();
        QVERIFY(first.value && again.value);
        QCOMPARE(*again.value, *first.value);
    }

    // --- Completion ----------------------------------------------------------------------

    void completion_data() {
        QTest::addColumn<QStringList>("defined"); // lines entered first
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("offered");   // a candidate the popup must show; none: ""
        QTest::addColumn<QString>("described"); // part of its description, if checked
        QTest::addColumn<int>("key");           // the key that takes it
        QTest::addColumn<QString>("after");     // the line after it
        const auto row = [](const char* name, const QStringList& defined, const char* typed,
                            const char* offered, const char* described, int key,
                            const char* after) {
            QTest::newRow(name) << defined << QString(typed) << QString(offered)
                                << QString(described) << key << QString(after);
        };
        const int tab = Qt::Key_Tab, ret = Qt::Key_Return;
        row("built-in function takes its bracket", {}, "2*SQR", "sqrt(", "square root", tab,
            "2*sqrt(");
        row("variable of this run", {"Var = gamma7; 12.5"}, "2*gam", "gamma7", "12.5", ret,
            "2*gamma7");
        row("function with parameters", {"Funct = hyp(a; b); sqrt(a^2+b^2)"}, "hy", "hyp(",
            "hyp(a; b) = sqrt(a^2+b^2)", tab, "hyp(");
        row("matrix", {"Matr = [mQ]; 2; 2; 1; 2; 3; 4"}, "det([m", "[mq]", "", Qt::Key_Enter,
            "det([mq]");
        row("command as the first word", {}, "Exp", "Expr", "expr = formula", tab, "Expr");
        row("no name typed whole", {}, "Var = pi", "", "", 0, "");
    }

    void completion() {
        QFETCH(QStringList, defined);
        QFETCH(QString, typed);
        QFETCH(QString, offered);
        QFETCH(QString, described);
        QFETCH(int, key);
        QFETCH(QString, after);
        EnterAll(defined);
        const QStringList rows = ListRows(*window_);
        QTest::keyClicks(Entry(), typed);
        const QStringList candidates = Completer()->Candidates();
        QCOMPARE(Completer()->PopupShown(), !offered.isEmpty());
        if (offered.isEmpty()) return;
        const int row = static_cast<int>(candidates.indexOf(offered));
        QVERIFY2(row >= 0, qPrintable(candidates.join(u' ')));
        QVERIFY2(Completer()->popup()->topLevelItem(row)->text(1).contains(described),
                 qPrintable(Completer()->popup()->topLevelItem(row)->text(1)));
        // The first candidate is the chosen one; bring the wanted one there.
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

    void popupKeysAndClosing() {
        // The popup follows the word; Down past the end stays on the last, Up goes back.
        QTest::keyClicks(Entry(), QStringLiteral("s"));
        QVERIFY(Completer()->Candidates().contains(QStringLiteral("sqrt(")));
        QTest::keyClicks(Entry(), QStringLiteral("in"));
        const QStringList narrow = Completer()->Candidates();
        QVERIFY(narrow.size() > 1);
        for (const QString& c : narrow)
            QVERIFY2(c.startsWith(QStringLiteral("sin"), Qt::CaseInsensitive), qPrintable(c));
        for (qsizetype k = 0; k <= narrow.size(); ++k)
            QTest::keyClick(Entry(), Qt::Key_Down);
        QTest::keyClick(Entry(), Qt::Key_Up);
        QTest::keyClick(Entry(), Qt::Key_Tab);
        QCOMPARE(Entry()->text(), narrow.at(narrow.size() - 2));
        // Escape closes only the popup; then Enter runs the line as typed.
        Entry()->clear();
        QTest::keyClicks(Entry(), QStringLiteral("1+co"));
        QVERIFY(Completer()->PopupShown());
        QTest::keyClick(Entry(), Qt::Key_Escape);
        QVERIFY(!Completer()->PopupShown());
        QCOMPARE(Entry()->text(), QStringLiteral("1+co"));
        QVERIFY(window_->isVisible());
        QVERIFY(!window_->escaped());
        QTest::keyClicks(Entry(), QStringLiteral("s(0)"));
        QVERIFY(!Completer()->PopupShown());
        QTest::keyClick(Entry(), Qt::Key_Return);
        QCOMPARE(ListRows(*window_), (QStringList{"E1|Expr = 1+cos(0)", "=|  2.0000"}));
        // The history keys are the line's again once the popup is closed.
        QTest::keyClick(Entry(), Qt::Key_Up);
        QCOMPARE(Entry()->text(), QStringLiteral("1+cos(0)"));
        // Moving the window closes it; a click on a candidate takes it.
        Entry()->clear();
        QTest::keyClicks(Entry(), QStringLiteral("co"));
        QVERIFY(Completer()->PopupShown());
        window_->resize(window_->width() + 40, window_->height());
        QVERIFY(!Completer()->PopupShown());
        QCOMPARE(Entry()->text(), QStringLiteral("co"));
        QTest::keyClicks(Entry(), QStringLiteral("s"));
        QTreeWidget* popup = Completer()->popup();
        QVERIFY(Completer()->PopupShown());
        QTreeWidgetItem* item = popup->topLevelItem(0);
        const QString name = item->text(0);
        QTest::mouseClick(popup->viewport(), Qt::LeftButton, {},
                          popup->visualItemRect(item).center());
        QCOMPARE(Entry()->text(), name);
    }

    // --- The names dock ------------------------------------------------------------------

    void namesDock() {
        vex::NamesDock* dock = window_->namesDock();
        QTreeWidget* tree = dock->tree();
        QVERIFY(!dock->isVisible());
        QAction* names = window_->namesAction();
        const auto* view = qobject_cast<QMenu*>(names->associatedObjects().value(0));
        QVERIFY(view && view->title() == QStringLiteral("&View"));
        names->trigger();
        QVERIFY(dock->isVisible());
        QCOMPARE(window_->CurrentSettings().NamesPanel, 1); // kept for the next start
        QCOMPARE(tree->topLevelItemCount(), 0);
        EnterAll({"Var = k; 5", "Funct = dbl(x); 2*x", "Matr = [mB]; 1; 2; 7; 8", "sqrt(16)"});
        QCoreApplication::processEvents();
        QStringList shown;
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = tree->topLevelItem(i);
            shown << item->text(0) + u'=' + item->text(1) + u' ' + item->text(2);
        }
        QCOMPARE(shown, (QStringList{"k=5 variable", "dbl(x)=2*x function", "[mb]=1 x 2 matrix"}));
        // A variable given a new value shows it after the line.
        Enter(QStringLiteral("Var = k; 6"));
        QCoreApplication::processEvents();
        QCOMPARE(tree->topLevelItem(0)->text(1), QStringLiteral("6"));
        // A double-click puts the name in at the caret.
        QVERIFY(QTest::qWaitForWindowExposed(tree));
        const QStringList inserted{"1+k*2", "1+dbl*2", "1+[mb]*2"};
        for (int row = 0; row < inserted.size(); ++row) {
            Entry()->setText(QStringLiteral("1+*2"));
            Entry()->setCursorPosition(2);
            DoubleClick(tree, tree->visualItemRect(tree->topLevelItem(row)));
            QCOMPARE(Entry()->text(), inserted[row]);
            QVERIFY(Entry()->hasFocus());
        }
        names->trigger();
        QVERIFY(!dock->isVisible());
        QCOMPARE(window_->CurrentSettings().NamesPanel, 0);
    }

    // --- Colours -------------------------------------------------------------------------

    void coloursFollowTheScheme() {
        EnterAll({"12345+67890"});
        QTest::keyClicks(Entry(), QStringLiteral("sin(25)*x+[mA]"));
        QTableView* list = window_->listView();
        for (const bool dark : {true, false}) {
            QCOMPARE(window_->action(MenuItem::BlackWhite)->isChecked(), dark);
            const vex::SyntaxPalette p = vex::SyntaxPalette::For(dark);
            const std::pair<int, QColor> expected[] = {
                {0, p.function}, {3, p.bracket}, {5, p.number}, {7, p.op},
                {8, p.name},     {9, p.op},      {11, p.matrix}};
            for (const auto& [at, colour] : expected)
                QVERIFY2(ColourAt(at) == colour, qPrintable(QString::number(at)));
            // The colours reach the screen, in the line and the list, not only the formats.
            QVERIFY(PixelsNear(Entry(), p.number) > 0);
            QVERIFY(PixelsNear(Entry(), p.function) > 0);
            list->clearSelection();
            QVERIFY(PixelsNear(list->viewport(), p.number) > 0);
            QVERIFY(PixelsNear(list->viewport(), p.op) > 0);
            window_->action(MenuItem::BlackWhite)->trigger();
        }
        // The same text set again, or the caret moved and back, keeps its colours.
        const vex::SyntaxPalette p = vex::SyntaxPalette::For(true);
        QCOMPARE(ColourAt(0), p.function);
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
        QCOMPARE(RangeAt(3).format.background().color(), p.matchBack);
        QVERIFY(RangeAt(0).format.background().style() == Qt::NoBrush);
        Entry()->setText(QStringLiteral("2)+1"));
        QCOMPARE(ColourAt(1), p.unmatched);
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
        QCOMPARE(ColourAt(0), p.unmatched);
    }

    // --- The help line -------------------------------------------------------------------

    void helpFollowsTheTypedCommand() {
        QLabel* help = window_->helpLine();
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
            QVERIFY2(newest.bottom() < view->viewport()->height(), qPrintable(QString::number(k)));
            bothBars = bothBars || (view->horizontalScrollBar()->isVisible() &&
                                    view->verticalScrollBar()->isVisible());
        }
        QVERIFY(bothBars);
    }

    void numberColumnFitsItsWidestNumber() {
        QTableView* view = window_->listView();
        for (int k = 0; k < 1000; ++k) {
            int64_t at = -1;
            window_->EnterLine(QStringLiteral("1"), &at);
        }
        QCOMPARE(view->model()->index(1998, 0).data().toString(), QStringLiteral("E1000"));
        const QFontMetrics fm(view->font());
        const int margins = 2 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
        QCOMPARE(
            fm.elidedText(QStringLiteral("E1000"), Qt::ElideRight, view->columnWidth(0) - margins),
            QStringLiteral("E1000"));
        // The two columns together still fit the list.
        QVERIFY(view->columnWidth(0) + view->columnWidth(1) <= view->width());
    }
};

QTEST_MAIN(EntryAidsTest)
#include "entry_aids_test.moc"
