// The main window as a user drives it: keys in the entry line, clicks on the list,
// menu items and shortcuts. Every dialog is answered by FakeDialogs from a queue, and
// every question it was asked is recorded.

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "gridentry/window/grid_window.h"
#include "platform/qt/window_platform.h"
#include "shell/startup.h"
#include "shell/window/main_window.h"
#include "shell/window/window_app.h"
#include "tests/window/fake_dialogs.h"
#include "tests/window/list_rows.h"
#include "zorbit/codes.h"

using vex::MenuItem;

class WindowTest : public QObject {
    Q_OBJECT

  private:
    FakeDialogs dialogs_;
    std::unique_ptr<vex::WindowPlatform> platform_;
    vex::Program program_;
    std::unique_ptr<vex::MainWindow> window_;
    std::unique_ptr<QTemporaryDir> dir_; // a fresh one per test

    QString Path(const QString& name) const { return dir_->filePath(name); }
    void MakeWindow() {
        window_.reset();
        window_ =
            std::make_unique<vex::MainWindow>(program_, program_.library, dialogs_, *platform_);
        window_->show();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    }

    void Enter(const QString& text) {
        QTest::keyClicks(window_->entryLine(), text);
        QTest::keyClick(window_->entryLine(), Qt::Key_Return);
    }

    void ClickRow(int row, Qt::KeyboardModifiers modifiers = {}) {
        QTableView* view = window_->listView();
        const QRect r = view->visualRect(view->model()->index(row, 1));
        QVERIFY(view->viewport()->rect().contains(r.center()));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers, r.center());
    }

    QStringList Rows() const { return ListRows(*window_); }

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
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        dialogs_.Reset();
        // Each test starts from the defaults and an interpreter without variables.
        program_.settings = vex::ShellSettings();
        program_.configPath.clear();
        program_.host.interp.decimals = 4;
        program_.host.interp.format = vex::NumberFormat::Fixed;
        program_.host.interp.precision = ZORBIT_PRECISION_CLASSIC;
        program_.library.SetPrecisionMode(ZORBIT_PRECISION_CLASSIC);
        program_.library.ResetAll();
        QGuiApplication::clipboard()->clear();
        MakeWindow();
    }

    void cleanup() {
        window_.reset();
        QCOMPARE(dialogs_.unanswered, 0);
    }

    // --- Menus -------------------------------------------------------------------------

    void menusAndShortcuts_data() {
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<bool>("checkable");
        const auto row = [](const char* name, MenuItem item, const char* menu, const char* text,
                            const char* keys = "", bool checkable = false) {
            QTest::newRow(name) << int(item) << menu << text
                                << QKeySequence(QString::fromUtf8(keys)) << checkable;
        };
        row("new", MenuItem::New, "&File", "&New", "Ctrl+N");
        row("open", MenuItem::Open, "&File", "&Open", "Ctrl+O");
        row("save", MenuItem::Save, "&File", "&Save", "Ctrl+S");
        row("saveAs", MenuItem::SaveAs, "&File", "Save &As", "Ctrl+Shift+S");
        row("exit", MenuItem::Exit, "&File", "&Exit", "Ctrl+Q");
        row("cut", MenuItem::Cut, "&Edit", "&Cut", "Ctrl+X");
        row("copy", MenuItem::Copy, "&Edit", "Co&py", "Ctrl+C");
        row("paste", MenuItem::Paste, "&Edit", "&Paste", "Ctrl+V");
        row("matrix", MenuItem::Matrix, "&Edit", "&Matrix");
        row("clearList", MenuItem::ClearList, "&Edit", "C&lear list");
        row("deleteItems", MenuItem::DeleteItems, "&Edit", "&Delete item(s)", "Del");
        row("selectAll", MenuItem::SelectAll, "&Edit", "&Select all", "Ctrl+A");
        row("font", MenuItem::Font, "&Config", "&Font");
        row("blackWhite", MenuItem::BlackWhite, "&Config", "&Black-White", "", true);
        row("decimals", MenuItem::Decimals, "&Config", "&Decimals");
        row("separator", MenuItem::Separator, "&Config", "Se&parator");
        row("toolTip", MenuItem::ToolTip, "&Config", "&ToolTip", "", true);
        row("fullPrecision", MenuItem::FullPrecision, "&Config", "F&ull precision", "", true);
        row("showMemory", MenuItem::ShowMemory, "&Tools", "Show &Memory");
        row("showCommands", MenuItem::ShowCommands, "&Tools", "Show &Commands");
        row("showFunctions", MenuItem::ShowFunctions, "&Tools", "Show &Functions");
        row("about", MenuItem::About, "&Info", "&About");
    }

    void menusAndShortcuts() {
        QFETCH(int, item);
        QFETCH(QString, menu);
        QFETCH(QString, text);
        QFETCH(QKeySequence, keys);
        QFETCH(bool, checkable);
        QCOMPARE(window_->windowTitle(), QStringLiteral("vex Calulator"));
        QCOMPARE(window_->infoLine()->text(), QStringLiteral("New file"));
        QAction* action = window_->action(static_cast<MenuItem>(item));
        QVERIFY(action);
        QCOMPARE(action->text(), text);
        QCOMPARE(action->shortcut(), keys);
        QCOMPARE(action->isCheckable(), checkable);
        QStringList holders;
        for (QAction* top : window_->menuBar()->actions())
            if (top->menu() && top->menu()->actions().contains(action)) holders << top->text();
        QCOMPARE(holders, QStringList{menu});
    }

    // --- The entry line ----------------------------------------------------------------

    void enterLine_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("help"); // the help line's first line; "" leaves it as it was
        QTest::addColumn<int>("selected"); // the failing character kept selected; -1 cleared
        QTest::newRow("blank does nothing") << "   " << QStringList{} << "" << -1;
        QTest::newRow("formula is prefixed")
            << "2+3" << QStringList{"E1|Expr = 2+3", "=|  5.0000"} << "" << -1;
        QTest::newRow("command unchanged")
            << "Expr = 2+3" << QStringList{"E1|Expr = 2+3", "=|  5.0000"} << "expr = formula" << -1;
        QTest::newRow("derivative command")
            << "sdiff(x) = x^2" << QStringList{"E1|sdiff(x) = x^2", "=|  f'(x) => 2*x"}
            << "sdiff(x) = formula" << -1;
        QTest::newRow("word holding a command is not prefixed")
            << "variable = 1"
            << QStringList{"E1|variable = 1", "=|  ERROR n. = 25: Undefined Command/Keyword    "
                                              "(Module: eval) at column 1"}
            << "" << 0;
        QTest::newRow("error shows what follows the arrow")
            << "2+*3"
            << QStringList{"E1|Expr = 2+*3", "=|  ERROR n. = 3: Parser syntax error          "
                                             "(Module: eval) at column 3"}
            << "" << 2;
        QTest::newRow("error in a command line")
            << "Expr = 4*zork"
            << QStringList{"E1|Expr = 4*zork", "=|  ERROR n. = 4: Undefined function           "
                                               "(Module: eval) at column 10"}
            << "expr = formula" << 9;
    }

    void enterLine() {
        QFETCH(QString, typed);
        QFETCH(QStringList, rows);
        QFETCH(QString, help);
        QFETCH(int, selected);
        const QString helpBefore = window_->helpLine()->text();
        Enter(typed);
        QCOMPARE(Rows(), rows);
        // A blank line is left as it was, a failed one stays with its failing character
        // selected; anything else entered is cleared.
        QLineEdit* entry = window_->entryLine();
        QCOMPARE(entry->text(), rows.isEmpty() || selected >= 0 ? typed : QString());
        if (selected >= 0) {
            QCOMPARE(entry->selectionStart(), selected);
            QCOMPARE(entry->selectedText(), typed.mid(selected, 1));
        }
        QCOMPARE(window_->helpLine()->text().section(u'\n', 0, 0),
                 help.isEmpty() ? helpBefore : help);
        for (const QString& row : rows)
            QVERIFY2(!row.contains(QStringLiteral("===>")), qPrintable(row));
    }

    void listFollowsNewestRow() {
        for (int k = 1; k <= 30; ++k)
            Enter(QString::number(k));
        // The list scrolls once the event loop runs again, as it does after a key press.
        QCoreApplication::processEvents();
        QTableView* view = window_->listView();
        const int last = view->model()->rowCount() - 1;
        QCOMPARE(last, 59);
        // Column 1 may be wider than the viewport: only the rows' direction counts.
        const QRect newest = view->visualRect(view->model()->index(last, 0));
        QVERIFY(newest.top() >= 0);
        QVERIFY(newest.bottom() < view->viewport()->height());
    }

    void historyRecallsNewestFirst() {
        QLineEdit* entry = window_->entryLine();
        for (const char* line : {"1+1", "2+2", "3+3"})
            Enter(QString::fromUtf8(line));
        QTest::keyClicks(entry, QStringLiteral("4+"));
        QStringList seen;
        for (Qt::Key key : {Qt::Key_Up, Qt::Key_Up, Qt::Key_Up, Qt::Key_Up, Qt::Key_Down,
                            Qt::Key_Down, Qt::Key_Down, Qt::Key_Down}) {
            QTest::keyClick(entry, key);
            seen << entry->text();
        }
        QCOMPARE(seen, (QStringList{"3+3", "2+2", "1+1", "1+1", "2+2", "3+3", "4+", "4+"}));
    }

    void doubleClickTakesRow() {
        Enter(QStringLiteral("Expr = 7*6"));
        window_->helpLine()->setText(QString());
        QTableView* view = window_->listView();
        view->setFocus();
        // Through the window, so press, release and press become a double click as they do
        // for a user.
        const QPoint at = view->viewport()->mapTo(
            window_.get(), view->visualRect(view->model()->index(0, 1)).center());
        QTest::mouseDClick(window_->windowHandle(), Qt::LeftButton, {}, at);
        QCOMPARE(window_->entryLine()->text(), QStringLiteral("Expr = 7*6"));
        QVERIFY(window_->entryLine()->hasFocus());
        QVERIFY(window_->helpLine()->text().startsWith(QStringLiteral("expr = formula")));
    }

    // With a typed entry the row goes in at the caret rather than replacing what was
    // typed.
    void doubleClickInsertsIntoTypedText_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("caret");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("entry");
        // A result goes in whole, not as the list rounds it.
        QTest::newRow("result at the end") << "2*" << 2 << 1 << "2*42";
        QTest::newRow("result inside") << "(+1)" << 1 << 1 << "(42+1)";
        QTest::newRow("result at the start") << "/2" << 0 << 1 << "42/2";
        QTest::newRow("expression row") << "sqrt()" << 5 << 0 << "sqrt(Expr = 7*6)";
    }

    void doubleClickInsertsIntoTypedText() {
        QFETCH(QString, typed);
        QFETCH(int, caret);
        QFETCH(int, row);
        QFETCH(QString, entry);
        Enter(QStringLiteral("Expr = 7*6"));
        QLineEdit* line = window_->entryLine();
        QTest::keyClicks(line, typed);
        line->setCursorPosition(caret);
        QTableView* view = window_->listView();
        const QPoint at = view->viewport()->mapTo(
            window_.get(), view->visualRect(view->model()->index(row, 1)).center());
        QTest::mouseDClick(window_->windowHandle(), Qt::LeftButton, {}, at);
        QCOMPARE(line->text(), entry);
        QVERIFY(line->hasFocus());
    }

    // --- Edit menu ---------------------------------------------------------------------

    void copyCutDelete_data() {
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<QList<int>>("select"); // rows clicked, the later ones with Ctrl
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QStringList>("left");
        const QStringList all{"E1|Expr = 1+1", "=|  2.0000", "E2|Expr = 2+2", "=|  4.0000"};
        QTest::newRow("copy one row")
            << QKeySequence(QKeySequence::Copy) << QList<int>{2} << "E2\tExpr = 2+2" << all;
        QTest::newRow("copy two rows") << QKeySequence(QKeySequence::Copy) << QList<int>{0, 3}
                                       << "E1\tExpr = 1+1\n=\t  4.0000" << all;
        QTest::newRow("cut removes them")
            << QKeySequence(QKeySequence::Cut) << QList<int>{0, 1} << "E1\tExpr = 1+1\n=\t  2.0000"
            << QStringList{all[2], all[3]};
        QTest::newRow("delete removes without copying")
            << QKeySequence(QKeySequence::Delete) << QList<int>{1, 2} << ""
            << QStringList{all[0], all[3]};
        QTest::newRow("select all then delete")
            << QKeySequence(QKeySequence::SelectAll) << QList<int>{} << "" << QStringList{};
    }

    void copyCutDelete() {
        QFETCH(QKeySequence, keys);
        QFETCH(QList<int>, select);
        QFETCH(QString, clipboard);
        QFETCH(QStringList, left);
        Enter(QStringLiteral("1+1"));
        Enter(QStringLiteral("2+2"));
        for (int k = 0; k < select.size(); ++k)
            ClickRow(select[k], k ? Qt::ControlModifier : Qt::NoModifier);
        QTableView* view = window_->listView();
        view->setFocus();
        QTest::keySequence(view, keys);
        if (keys == QKeySequence(QKeySequence::SelectAll)) {
            QCOMPARE(view->selectionModel()->selectedRows().size(), 4);
            QTest::keySequence(view, QKeySequence(QKeySequence::Delete));
        }
        QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
        QCOMPARE(Rows(), left);
    }

    // Editing keys typed in the entry line edit the line, never the list.
    void entryLineKeepsEditKeys_data() {
        QTest::addColumn<QList<QKeySequence>>("keys");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("clipboard");
        using K = QKeySequence;
        QTest::newRow("delete") << QList<K>{K(Qt::Key_Home), K(K::Delete)} << "bc"
                                << "";
        QTest::newRow("select all, copy") << QList<K>{K(K::SelectAll), K(K::Copy)} << "abc"
                                          << "abc";
        QTest::newRow("select all, cut") << QList<K>{K(K::SelectAll), K(K::Cut)} << ""
                                         << "abc";
    }

    void entryLineKeepsEditKeys() {
        QFETCH(QList<QKeySequence>, keys);
        QFETCH(QString, line);
        QFETCH(QString, clipboard);
        Enter(QStringLiteral("1+1"));
        ClickRow(0);
        const QStringList rows = Rows();
        QLineEdit* entry = window_->entryLine();
        QTest::mouseClick(entry, Qt::LeftButton);
        QTest::keyClicks(entry, QStringLiteral("abc"));
        for (const QKeySequence& k : keys)
            QTest::keySequence(entry, k);
        QCOMPARE(entry->text(), line);
        QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
        QCOMPARE(Rows(), rows);
        QCOMPARE(window_->listView()->selectionModel()->selectedRows().size(), 1);
    }

    void pasteTakesFirstLine_data() {
        QTest::addColumn<bool>("byKeys");
        QTest::newRow("menu") << false;
        QTest::newRow("ctrl+v in the entry line") << true;
    }

    void pasteTakesFirstLine() {
        QFETCH(bool, byKeys);
        QGuiApplication::clipboard()->setText(QStringLiteral("sin(1)\r\nsecond line\n"));
        QLineEdit* entry = window_->entryLine();
        QTest::keyClicks(entry, QStringLiteral("2*"));
        if (byKeys)
            QTest::keySequence(entry, QKeySequence(QKeySequence::Paste));
        else
            window_->action(MenuItem::Paste)->trigger();
        QCOMPARE(entry->text(), QStringLiteral("2*sin(1)"));
    }

    void matrixWindow_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("import and OK")
            << "Matr = [mB]; 1; 2; 3; 4"
            << "ok"
            << "Matr = [mB]; 1; 2; 3; 4" << QStringList{"E1|Matr = [mB]; 1; 2; 3; 4"};
        QTest::newRow("cells typed, DimX form")
            << ""
            << "dimx"
            << "DimX = mA(2,1); mA(1,1)=5; \r\nDimX = mA(2,1); mA(2,1)=6; "
            << QStringList{"E1|DimX = mA(2,1); mA(1,1)=5; \r\nDimX = mA(2,1); mA(2,1)=6;"};
        QTest::newRow("File > Exit leaves the entry line")
            << "2+3"
            << "exit"
            << "2+3" << QStringList{"E1|Expr = 2+3", "=|  5.0000"};
        // Longer than the entry line's text plus any fixed room: it comes back whole.
        const QString big = "Matr = [mA]; 20; 20" + QString("; 1").repeated(400);
        QTest::newRow("20x20 grid") << "2+3"
                                    << "big" << big << QStringList{"E1|" + big};
    }

    // Edit > Matrix opens the matrix window on the entry line's text; what it hands back
    // becomes the entry line, and Enter runs it.
    void matrixWindow() {
        QFETCH(QString, typed);
        QFETCH(QString, how);
        QFETCH(QString, entry);
        QFETCH(QStringList, rows);
        QTest::keyClicks(window_->entryLine(), typed);
        dialogs_.messages = {ZORBIT_ID_YES};
        QString title;
        QTimer::singleShot(0, [&] {
            auto* grid = dynamic_cast<vex::grid::GridWindow*>(QApplication::activeModalWidget());
            if (!grid) return;
            title = grid->windowTitle();
            // The copy inside the calculator numbers its controls from 1030 on.
            QCOMPARE(grid->control(vex::grid::kOk)->objectName(), QStringLiteral("1035"));
            if (how == QLatin1String("exit")) {
                grid->menuItem(vex::grid::kMenuExit)->trigger();
                return;
            }
            if (how == QLatin1String("dimx")) {
                auto* rowsField = qobject_cast<QLineEdit*>(grid->control(vex::grid::kRows));
                rowsField->setText(QStringLiteral("2"));
                qobject_cast<QLineEdit*>(grid->control(vex::grid::kCols))
                    ->setText(QStringLiteral("1"));
                grid->GenerateCells();
                auto* cellEditor = qobject_cast<QLineEdit*>(grid->control(vex::grid::kCellEditor));
                for (int row = 0; row < 2; ++row) {
                    grid->cells()->setCurrentIndex(grid->cells()->model()->index(row, 0));
                    QTest::keyClicks(cellEditor, QString::number(5 + row));
                }
                qobject_cast<QAbstractButton*>(grid->control(vex::grid::kMultiLine))->click();
            }
            if (how == QLatin1String("big")) {
                qobject_cast<QLineEdit*>(grid->control(vex::grid::kRows))->setText("20");
                qobject_cast<QLineEdit*>(grid->control(vex::grid::kCols))->setText("20");
                grid->GenerateCells();
                QAbstractItemModel* cells = grid->cells()->model();
                for (int r = 0; r < 20; ++r)
                    for (int c = 0; c < 20; ++c)
                        cells->setData(cells->index(r, c), "1");
            }
            QTest::mouseClick(grid->control(vex::grid::kOk), Qt::LeftButton);
        });
        window_->action(MenuItem::Matrix)->trigger();
        QCOMPARE(title, QStringLiteral("Vector / Matrix"));
        QLineEdit* line = window_->entryLine();
        QCOMPARE(line->text(), entry);
        if (entry != typed) {
            QCOMPARE(window_->focusWidget(), line);
            QCOMPARE(line->cursorPosition(), int(entry.size()));
        }
        QTest::keyClick(line, Qt::Key_Return);
        QCOMPARE(Rows(), rows);
    }

    void matrixWindowComputesThroughTheLibrary() {
        QTest::keyClicks(window_->entryLine(), QStringLiteral("Matr = [mA]; 2; 2; 4; 7; 2; 6"));
        dialogs_.messages = {ZORBIT_ID_YES};
        QTimer::singleShot(0, [&] {
            auto* grid = dynamic_cast<vex::grid::GridWindow*>(QApplication::activeModalWidget());
            if (!grid) return;
            grid->menuItem(vex::grid::kMenuDeterminant)->trigger();
            grid->menuItem(vex::grid::kMenuExit)->trigger();
        });
        window_->action(MenuItem::Matrix)->trigger();
        QVERIFY2(platform_->messages().Text().endsWith(QStringLiteral("Determinant of [mA] = 10")),
                 qPrintable(platform_->messages().Text()));
    }

    // --- Clearing, saving, opening -----------------------------------------------------

    void discardQuestion_data() {
        QTest::addColumn<QKeySequence>("keys"); // empty: Edit > Clear list
        QTest::addColumn<int>("entered");
        QTest::addColumn<bool>("saveFirst");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("asked");
        QTest::addColumn<bool>("cleared");
        const QString q = QStringLiteral("vex Calc");
        const QKeySequence clear, ctrlN(QKeySequence::New);
        QTest::newRow("empty list is not asked about")
            << clear << 0 << false << QList<int>{} << QStringList{} << QStringList{} << true;
        QTest::newRow("saved list is not asked about")
            << ctrlN << 1 << true << QList<int>{} << QStringList{} << QStringList{} << true;
        QTest::newRow("no clears") << clear << 1 << false << QList<int>{ZORBIT_ID_NO}
                                   << QStringList{} << QStringList{q} << true;
        QTest::newRow("cancel keeps") << ctrlN << 1 << false << QList<int>{vex::kIdCancel}
                                      << QStringList{} << QStringList{q} << false;
        QTest::newRow("yes saves then clears")
            << clear << 1 << false << QList<int>{ZORBIT_ID_YES} << QStringList{"kept.vxc"}
            << QStringList{q, "Save As"} << true;
        QTest::newRow("yes with save abandoned keeps")
            << ctrlN << 1 << false << QList<int>{ZORBIT_ID_YES} << QStringList{""}
            << QStringList{q, "Save As"} << false;
    }

    void discardQuestion() {
        QFETCH(QKeySequence, keys);
        QFETCH(int, entered);
        QFETCH(bool, saveFirst);
        QFETCH(QList<int>, answers);
        QFETCH(QStringList, files);
        QFETCH(QStringList, asked);
        QFETCH(bool, cleared);
        for (int k = 0; k < entered; ++k)
            Enter(QStringLiteral("1+%1").arg(k));
        if (saveFirst) {
            dialogs_.files << Path(QStringLiteral("first.vxc"));
            window_->action(MenuItem::Save)->trigger();
            dialogs_.asked.clear();
        }
        const QStringList before = Rows();
        const QString infoBefore = window_->infoLine()->text();
        dialogs_.messages = answers;
        for (const QString& f : files)
            dialogs_.files << (f.isEmpty() ? f : Path(f));
        if (keys.isEmpty())
            window_->action(MenuItem::ClearList)->trigger();
        else
            QTest::keySequence(window_.get(), keys);
        QCOMPARE(dialogs_.AskedTitles(), asked);
        if (!asked.isEmpty())
            QCOMPARE(dialogs_.asked[0].text,
                     QStringLiteral("List not saved.\nDo you want to save it before clearing it?"));
        QCOMPARE(Rows(), cleared ? QStringList{} : before);
        QCOMPARE(window_->infoLine()->text(), cleared ? QStringLiteral("New file") : infoBefore);
        if (!files.isEmpty() && !files[0].isEmpty()) QVERIFY(QFile::exists(Path(files[0])));
    }

    void saveAndReopen() {
        for (const char* line : {"Var = Ecc; 5", "Ecc*2", "Expr = Ecc+1", "sdiff(x) = x^3", "1/0+"})
            Enter(QString::fromUtf8(line));
        // Only a typed line's error tells its column.
        QStringList rows = Rows();
        QCOMPARE(rows.last(), QStringLiteral("=|  ERROR n. = 8: Division by zero             "
                                             "(Module: eval & sDiff) at column 4"));
        rows.last().chop(QStringLiteral(" at column 4").size());
        // No extension given: ".vxc" is added.
        dialogs_.files << Path(QStringLiteral("list"));
        QTest::keySequence(window_.get(), QKeySequence(QKeySequence::Save));
        const QString file = Path(QStringLiteral("list.vxc"));
        QCOMPARE(window_->infoLine()->text(), QStringLiteral("File: ") + file);
        QVERIFY(window_->list().saved);
        // A second Save writes to the same file without asking.
        QTest::keySequence(window_.get(), QKeySequence(QKeySequence::Save));
        QCOMPARE(dialogs_.AskedTitles(), QStringList{"Save As"});

        // Saved: New asks nothing; the variable goes, so only the file can bring rows back.
        QTest::keySequence(window_.get(), QKeySequence(QKeySequence::New));
        program_.library.ResetAll();
        QCOMPARE(Rows(), QStringList{});
        dialogs_.files << file;
        QTest::keySequence(window_.get(), QKeySequence(QKeySequence::Open));
        QCOMPARE(Rows(), rows);
        QCOMPARE(window_->infoLine()->text(), QStringLiteral("File: ") + file);
        QVERIFY(window_->list().saved);
    }

    void dismissedSaveAsForgetsName() {
        Enter(QStringLiteral("1+1"));
        dialogs_.files << Path(QStringLiteral("a.vxc")) << QString()
                       << Path(QStringLiteral("b.vxc"));
        window_->action(MenuItem::Save)->trigger();
        window_->action(MenuItem::SaveAs)->trigger();
        window_->action(MenuItem::Save)->trigger();
        QCOMPARE(dialogs_.AskedTitles(), (QStringList{"Save As", "Save As", "Save As"}));
        QVERIFY(QFile::exists(Path(QStringLiteral("b.vxc"))));
        QCOMPARE(window_->infoLine()->text(), QStringLiteral("File: ") + Path("b.vxc"));
    }

    void openFailureKeepsList_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing file") << "missing.vxc";
        QTest::newRow("a folder") << ".";
    }

    void openFailureKeepsList() {
        QFETCH(QString, name);
        Enter(QStringLiteral("1+1"));
        dialogs_.files << Path(QStringLiteral("ok.vxc"));
        window_->action(MenuItem::Save)->trigger();
        const QStringList rows = Rows();
        dialogs_.asked.clear();
        dialogs_.files << Path(name);
        window_->action(MenuItem::Open)->trigger();
        QCOMPARE(dialogs_.AskedTitles(), (QStringList{"Open", "vex Calc"}));
        QVERIFY(dialogs_.asked[1].text.startsWith(QStringLiteral("Error opening file.")));
        QCOMPARE(Rows(), rows);
        QCOMPARE(window_->infoLine()->text(), QStringLiteral("File: ") + Path("ok.vxc"));
    }

    // "vexcalc FILE.vxc": the window opens with the list, its lines evaluated again (the
    // file's own result rows are not taken); a list that cannot be read is reported.
    void startListOpens_data() {
        QTest::addColumn<bool>("exists");
        QTest::newRow("list evaluated again") << true;
        QTest::newRow("missing list") << false;
    }

    void startListOpens() {
        QFETCH(bool, exists);
        for (const char* line : {"Var = Ecc; 5", "Ecc*2"})
            Enter(QString::fromUtf8(line));
        const QStringList rows = Rows();
        program_.library.ResetAll();
        const QString file = Path(QStringLiteral("start.vxc"));
        if (exists) {
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write("Columns: 1\r\nE1\nVar = Ecc; 5\r\nE2\nEcc*2\r\n=\n  999\r\n");
        }
        vex::StartOptions options;
        options.listFile = file.toStdString();
        window_.reset();
        window_ =
            std::make_unique<vex::MainWindow>(program_, program_.library, dialogs_, *platform_);
        vex::ShowStartWindow(*window_, options);
        QVERIFY(window_->isVisible());
        if (exists) {
            QCOMPARE(Rows(), rows);
            QCOMPARE(window_->infoLine()->text(), QStringLiteral("File: ") + file);
            QVERIFY(window_->list().saved);
            QCOMPARE(dialogs_.AskedTitles(), QStringList{});
        } else {
            QCOMPARE(Rows(), QStringList{});
            QCOMPARE(dialogs_.AskedTitles(), QStringList{"vex Calc"});
            QVERIFY(dialogs_.asked[0].text.contains(file));
        }
    }

    void failedSaveKeepsOldFile() {
        Enter(QStringLiteral("1+1"));
        const QString good = Path(QStringLiteral("good.vxc"));
        dialogs_.files << good;
        window_->action(MenuItem::Save)->trigger();
        QFile file(good);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray saved = file.readAll();
        file.close();
        Enter(QStringLiteral("2+2"));
        // Under a plain file no folder can be made, whoever runs the test.
        dialogs_.files << good + QStringLiteral("/inside.vxc");
        dialogs_.asked.clear();
        window_->action(MenuItem::SaveAs)->trigger();
        QCOMPARE(dialogs_.AskedTitles(), (QStringList{"Save As", "vex Calc"}));
        QVERIFY(dialogs_.asked[1].text.startsWith(QStringLiteral("Error creating file.")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), saved);
        QVERIFY(!window_->list().saved);
        QCOMPARE(window_->infoLine()->text(), QStringLiteral("File: ") + good);
    }

    // --- Config menu -------------------------------------------------------------------

    void blackWhiteColours() {
        Enter(QStringLiteral("1+1"));
        QTableView* view = window_->listView();
        const auto colours = [view] {
            const QImage image = view->viewport()->grab().toImage();
            // Below the rows the list shows only its background.
            const QColor back = image.pixelColor(image.width() / 2, image.height() - 3);
            // A grid line, not a stray pixel of smoothed text: most of one pixel row.
            bool grid = false;
            for (int y = 0; y < image.height() && !grid; ++y) {
                int grey = 0;
                for (int x = 0; x < image.width(); ++x)
                    grey += image.pixelColor(x, y) == QColor(150, 150, 150);
                grid = grey > image.width() / 2;
            }
            return std::pair{back, grid};
        };
        // White on black by default; each click of the menu item swaps the scheme.
        for (const bool whiteOnBlack : {true, false, true}) {
            const QColor back = whiteOnBlack ? Qt::black : Qt::white;
            const QColor text = whiteOnBlack ? Qt::white : Qt::black;
            QCOMPARE(window_->action(MenuItem::BlackWhite)->isChecked(), whiteOnBlack);
            QCOMPARE(window_->settings().mnuBlackWhite, whiteOnBlack ? 1 : 0);
            const auto [shown, grid] = colours();
            QCOMPARE(shown, back);
            QVERIFY(grid);
            QCOMPARE(window_->entryLine()->palette().color(QPalette::Base), back);
            QCOMPARE(window_->entryLine()->palette().color(QPalette::Text), text);
            window_->action(MenuItem::BlackWhite)->trigger();
        }
    }

    void tooltipShowsRowAndResults() {
        Enter(QStringLiteral("Expr = 2+3"));
        Enter(QStringLiteral("Matr = [mA]; 2; 2; 1; 2; 3; 4"));
        ClickRow(0);
        QCOMPARE(window_->lastTooltip(), QString()); // off by default
        window_->action(MenuItem::ToolTip)->trigger();
        QCOMPARE(window_->settings().ToolTip, 1);
        ClickRow(1);
        QCOMPARE(window_->lastTooltip(), QStringLiteral("  5.0000"));
        ClickRow(2); // no result rows follow
        QCOMPARE(window_->lastTooltip(), QStringLiteral("Matr = [mA]; 2; 2; 1; 2; 3; 4"));
        ClickRow(0);
        QCOMPARE(window_->lastTooltip(), QStringLiteral("Expr = 2+3\n    5.0000"));
        // After the list changed, the same row shows its new text.
        dialogs_.messages << ZORBIT_ID_NO;
        window_->action(MenuItem::ClearList)->trigger();
        Enter(QStringLiteral("4*4"));
        ClickRow(0);
        QCOMPARE(window_->lastTooltip(), QStringLiteral("Expr = 4*4\n    16.0000"));
        window_->action(MenuItem::ToolTip)->trigger();
        QCOMPARE(window_->settings().ToolTip, 0);
        QCOMPARE(window_->CurrentSettings().ToolTip, 0);
    }

    // Config > Full precision switches the library and the title; Config > Number format
    // holds two exclusive choices that change how the next results are shown.
    void numberMenus() {
        QMenu* config = nullptr;
        for (QAction* top : window_->menuBar()->actions())
            if (top->text() == QStringLiteral("&Config")) config = top->menu();
        QVERIFY(config);
        QMenu* format = nullptr;
        for (QAction* a : config->actions())
            if (a->menu() && a->text() == QStringLiteral("Number f&ormat")) format = a->menu();
        QVERIFY(format);
        QAction* fixed = window_->action(MenuItem::FormatFixed);
        QAction* autoFormat = window_->action(MenuItem::FormatAuto);
        QCOMPARE(format->actions(), (QList<QAction*>{fixed, autoFormat}));
        QCOMPARE(fixed->text(), QStringLiteral("Fi&xed decimals"));
        QCOMPARE(autoFormat->text(), QStringLiteral("&Auto"));
        QVERIFY(fixed->isChecked());
        QVERIFY(!autoFormat->isChecked());
        QVERIFY(!window_->action(MenuItem::FullPrecision)->isChecked());

        window_->action(MenuItem::FullPrecision)->trigger();
        QCOMPARE(window_->windowTitle(), QStringLiteral("vex Calulator - Full precision"));
        QCOMPARE(program_.binding.slots.GetPrecisionMode(), ZORBIT_PRECISION_FULL);
        QCOMPARE(window_->CurrentSettings().Precision, ZORBIT_PRECISION_FULL);

        autoFormat->trigger();
        QVERIFY(autoFormat->isChecked());
        QVERIFY(!fixed->isChecked());
        QCOMPARE(window_->CurrentSettings().Format, vex::NumberFormat::Auto);
        Enter(QStringLiteral("2^100"));
        Enter(QStringLiteral("6.02e23/1e23"));
        fixed->trigger();
        QVERIFY(!autoFormat->isChecked());
        Enter(QStringLiteral("1e-3"));
        QCOMPARE(Rows(), (QStringList{"E1|Expr = 2^100", "=|  1.268e30", "E2|Expr = 6.02e23/1e23",
                                      "=|  6.02", "E3|Expr = 1e-3", "=|  0.0010"}));

        window_->action(MenuItem::FullPrecision)->trigger();
        QCOMPARE(window_->windowTitle(), QStringLiteral("vex Calulator"));
        QCOMPARE(program_.binding.slots.GetPrecisionMode(), ZORBIT_PRECISION_CLASSIC);
        QCOMPARE(window_->CurrentSettings().Precision, ZORBIT_PRECISION_CLASSIC);
        QCOMPARE(window_->CurrentSettings().Format, vex::NumberFormat::Fixed);
    }

    // The script commands typed in the entry line move the menu's marks (and what the
    // configuration keeps); a value they do not take is an error row and moves nothing.
    void settingCommandsMoveTheMenus() {
        Enter(QStringLiteral("Format = auto"));
        Enter(QStringLiteral("Precision = full"));
        QVERIFY(window_->action(MenuItem::FormatAuto)->isChecked());
        QVERIFY(window_->action(MenuItem::FullPrecision)->isChecked());
        QCOMPARE(window_->windowTitle(), QStringLiteral("vex Calulator - Full precision"));
        Enter(QStringLiteral("Precision = half"));
        QVERIFY(window_->action(MenuItem::FullPrecision)->isChecked());
        QVERIFY(Rows().last().contains(QStringLiteral("Precision takes classic or full")));
        const vex::ShellSettings kept = window_->CurrentSettings();
        QCOMPARE(kept.Precision, ZORBIT_PRECISION_FULL);
        QCOMPARE(kept.Format, vex::NumberFormat::Auto);
    }

    // A window started on a configuration with Full and Auto shows them, and writes them
    // back at its end.
    void configurationRoundTrip() {
        program_.settings.Precision = ZORBIT_PRECISION_FULL;
        program_.settings.Format = vex::NumberFormat::Auto;
        program_.host.interp.precision = ZORBIT_PRECISION_FULL;
        program_.host.interp.format = vex::NumberFormat::Auto;
        program_.library.SetPrecisionMode(ZORBIT_PRECISION_FULL);
        MakeWindow();
        QVERIFY(window_->action(MenuItem::FullPrecision)->isChecked());
        QVERIFY(window_->action(MenuItem::FormatAuto)->isChecked());
        QCOMPARE(window_->windowTitle(), QStringLiteral("vex Calulator - Full precision"));
        program_.configPath = Path(QStringLiteral("vexCalc.ini")).toStdString();
        window_->close();
        const vex::ShellSettings read = vex::ReadConfiguration(program_.configPath);
        QCOMPARE(read.Precision, ZORBIT_PRECISION_FULL);
        QCOMPARE(read.Format, vex::NumberFormat::Auto);
    }

    void decimals_data() {
        QTest::addColumn<std::optional<QString>>("answer");
        QTest::addColumn<QStringList>("asked");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("third");
        const QString input = QStringLiteral("vex Calc Input");
        QTest::newRow("in brackets")
            << std::optional<QString>("(2)") << QStringList{input} << 2 << "  0.33";
        QTest::newRow("not a number") << std::optional<QString>("abc")
                                      << QStringList{input, "vex Calc Error"} << 4 << "  0.3333";
        QTest::newRow("cancelled")
            << std::optional<QString>() << QStringList{input} << 4 << "  0.3333";
        // As the command line: up to 30, the rest refused with its words.
        QTest::newRow("thirty") << std::optional<QString>("30") << QStringList{input} << 30
                                << "  0.333333333333333314829616256247";
        QTest::newRow("past thirty") << std::optional<QString>("99")
                                     << QStringList{input, "vex Calc Error"} << 4 << "  0.3333";
        QTest::newRow("minus one")
            << std::optional<QString>("-1") << QStringList{input} << -1 << "  0.3333333333";
    }

    void decimals() {
        QFETCH(std::optional<QString>, answer);
        QFETCH(QStringList, asked);
        QFETCH(int, decimals);
        QFETCH(QString, third);
        dialogs_.inputs << answer;
        window_->action(MenuItem::Decimals)->trigger();
        QCOMPARE(dialogs_.AskedTitles(), asked);
        QCOMPARE(dialogs_.asked[0].text, QStringLiteral("Input number of decimals for results:"));
        if (asked.size() > 1) {
            const QString why = decimals == 4 && answer == u"99"
                                    ? QStringLiteral("Decimals takes a whole number from -1 to 30")
                                    : QStringLiteral("Invalid number");
            QCOMPARE(dialogs_.asked[1].text, why);
        }
        QCOMPARE(window_->settings().Decimals, decimals);
        Enter(QStringLiteral("1/3"));
        QCOMPARE(Rows().value(1), QStringLiteral("=|") + third);
    }

    void separator_data() {
        QTest::addColumn<std::optional<QString>>("answer");
        QTest::addColumn<QString>("separator");
        QTest::newRow("answered") << std::optional<QString>("; ") << "; ";
        QTest::newRow("cancelled") << std::optional<QString>() << "  ";
    }

    void separator() {
        QFETCH(std::optional<QString>, answer);
        QFETCH(QString, separator);
        dialogs_.inputs << answer;
        window_->action(MenuItem::Separator)->trigger();
        QCOMPARE(dialogs_.AskedTitles(), QStringList{"vex Calc Input"});
        QCOMPARE(QString::fromStdU16String(window_->settings().sSeparator), separator);
    }

    void fontResolvesFixedPitch_data() {
        QTest::addColumn<QString>("family"); // "" keeps the default
        QTest::addColumn<int>("size");
        QTest::newRow("default Lucida Console") << "" << 8;
        QTest::newRow("Courier New") << "Courier New" << 12;
        QTest::newRow("missing family") << "Monospac821 BT" << 10;
        QTest::newRow("installed mono") << "Liberation Mono" << 9;
    }

    void fontResolvesFixedPitch() {
        QFETCH(QString, family);
        QFETCH(int, size);
        if (!family.isEmpty()) {
            dialogs_.fonts << QFont(family, size);
            window_->action(MenuItem::Font)->trigger();
        }
        const QString expected = family.isEmpty() ? QStringLiteral("Lucida Console") : family;
        QCOMPARE(QString::fromStdU16String(window_->settings().curFontName), expected);
        QCOMPARE(window_->settings().curFontSize, size);
        for (QWidget* w : {static_cast<QWidget*>(window_->listView()),
                           static_cast<QWidget*>(window_->entryLine())}) {
            const QFontInfo info(w->font());
            QVERIFY2(info.fixedPitch(), qPrintable(info.family()));
            QVERIFY(!info.family().isEmpty());
            QVERIFY(info.family() != QStringLiteral("DejaVu Sans"));
            QCOMPARE(info.pointSize(), size);
        }
    }

    // --- Tools and Info ----------------------------------------------------------------

    void toolsWindows_data() {
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("shows");
        QTest::newRow("memory") << int(MenuItem::ShowMemory) << "zet = 3";
        QTest::newRow("commands") << int(MenuItem::ShowCommands) << "Expr";
        QTest::newRow("functions") << int(MenuItem::ShowFunctions) << "sin";
        QTest::newRow("about") << int(MenuItem::About) << "vex";
    }

    void toolsWindows() {
        QFETCH(int, item);
        QFETCH(QString, shows);
        Enter(QStringLiteral("Var = Zet; 3"));
        platform_->messages().ShowText(u"");
        window_->action(static_cast<MenuItem>(item))->trigger();
        QVERIFY2(platform_->messages().Text().contains(shows),
                 qPrintable(platform_->messages().Text().left(200)));
    }

    // --- Closing -----------------------------------------------------------------------

    // --- History between runs ---------------------------------------------------------

    void historyComesBackNextRun_data() {
        QTest::addColumn<QString>("how"); // how the first run ends
        QTest::newRow("close") << "close";
        QTest::newRow("escape") << "escape";
    }

    void historyComesBackNextRun() {
        QFETCH(QString, how);
        program_.configPath = Path(QStringLiteral("conf/vexCalc.ini")).toStdString();
        MakeWindow();
        Enter(QStringLiteral("1+1"));
        Enter(QStringLiteral("Var = hh; 2"));
        dialogs_.messages = {ZORBIT_ID_NO};
        if (how == u"escape")
            QTest::keyClick(window_->entryLine(), Qt::Key_Escape);
        else
            QVERIFY(window_->close());
        QVERIFY(QFile::exists(Path(QStringLiteral("conf/vexCalc.history"))));
        MakeWindow();
        QCOMPARE(window_->entryLine()->text(), QString());
        QTest::keyClick(window_->entryLine(), Qt::Key_Up);
        QCOMPARE(window_->entryLine()->text(), QStringLiteral("Var = hh; 2"));
        QTest::keyClick(window_->entryLine(), Qt::Key_Up);
        QCOMPARE(window_->entryLine()->text(), QStringLiteral("1+1"));
        QTest::keyClick(window_->entryLine(), Qt::Key_Up);
        QCOMPARE(window_->entryLine()->text(), QStringLiteral("1+1"));
    }

    // --no-config: a history file where the configuration would be is neither read
    // nor replaced.
    void historyUntouchedWithoutConfiguration() {
        const QString history = Path(QStringLiteral("vexCalc.history"));
        QFile file(history);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("7*7\n");
        file.close();
        program_.configPath.clear();
        MakeWindow();
        QTest::keyClick(window_->entryLine(), Qt::Key_Up);
        QCOMPARE(window_->entryLine()->text(), QString());
        Enter(QStringLiteral("2+2"));
        dialogs_.messages = {ZORBIT_ID_NO};
        QVERIFY(window_->close());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("7*7\n"));
        QCOMPARE(QDir(dir_->path()).entryList(QDir::Files | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("vexCalc.history")});
    }

    void closing_data() {
        QTest::addColumn<QString>("how"); // escape, close, exit
        QTest::addColumn<bool>("unsaved");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<bool>("closed");
        QTest::newRow("escape, nothing to save") << "escape" << false << QList<int>{} << true;
        QTest::newRow("escape, cancelled")
            << "escape" << true << QList<int>{vex::kIdCancel} << false;
        QTest::newRow("escape, not saved") << "escape" << true << QList<int>{ZORBIT_ID_NO} << true;
        QTest::newRow("close, nothing to save") << "close" << false << QList<int>{} << true;
        QTest::newRow("close, cancelled") << "close" << true << QList<int>{vex::kIdCancel} << false;
        QTest::newRow("exit, cancelled") << "exit" << true << QList<int>{vex::kIdCancel} << false;
        QTest::newRow("exit, not saved") << "exit" << true << QList<int>{ZORBIT_ID_NO} << true;
    }

    void closing() {
        QFETCH(QString, how);
        QFETCH(bool, unsaved);
        QFETCH(QList<int>, answers);
        QFETCH(bool, closed);
        const QString config = Path(QStringLiteral("vexCalc.ini"));
        program_.configPath = config.toStdString();
        if (unsaved) Enter(QStringLiteral("1+1"));
        dialogs_.messages = answers;
        if (how == u"escape")
            QTest::keyClick(window_->entryLine(), Qt::Key_Escape);
        else if (how == u"exit")
            QTest::keySequence(window_.get(), QKeySequence(QStringLiteral("Ctrl+Q")));
        else
            window_->close();
        QCOMPARE(dialogs_.asked.size(), unsaved ? 1 : 0);
        QCOMPARE(window_->isVisible(), !closed);
        QCOMPARE(window_->escaped(), closed && how == u"escape");
        // Only a normal close writes the configuration.
        QCOMPARE(QFile::exists(config), closed && how != u"escape");
    }

    void escapeClearsTypedTextFirst_data() {
        QTest::addColumn<bool>("unsaved");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<bool>("closed");
        QTest::newRow("nothing to save") << false << QList<int>{} << true;
        QTest::newRow("unsaved, cancelled") << true << QList<int>{vex::kIdCancel} << false;
        QTest::newRow("unsaved, not saved") << true << QList<int>{ZORBIT_ID_NO} << true;
    }

    void escapeClearsTypedTextFirst() {
        QFETCH(bool, unsaved);
        QFETCH(QList<int>, answers);
        QFETCH(bool, closed);
        if (unsaved) Enter(QStringLiteral("1+1"));
        QTest::keyClicks(window_->entryLine(), QStringLiteral("2*3 "));
        dialogs_.messages = answers;
        QTest::keyClick(window_->entryLine(), Qt::Key_Escape);
        QCOMPARE(window_->entryLine()->text(), QString());
        QVERIFY(window_->isVisible());
        QCOMPARE(dialogs_.asked.size(), 0);
        // The entry line is empty now: Escape ends the program, asking as before.
        QTest::keyClick(window_->entryLine(), Qt::Key_Escape);
        QCOMPARE(dialogs_.asked.size(), unsaved ? 1 : 0);
        QCOMPARE(window_->isVisible(), !closed);
        QCOMPARE(window_->escaped(), closed);
    }

    void closeWritesConfiguration() {
        const QString config = Path(QStringLiteral("vexCalc.ini"));
        program_.configPath = config.toStdString();
        window_->move(120, 90);
        window_->resize(500, 380);
        QCoreApplication::processEvents();
        dialogs_.inputs << QStringLiteral("6");
        window_->action(MenuItem::Decimals)->trigger();
        window_->action(MenuItem::BlackWhite)->trigger();
        window_->action(MenuItem::ToolTip)->trigger();
        const int exprWidth = window_->listView()->columnWidth(1);
        QVERIFY(window_->close());
        QFile file(config);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
        QCOMPARE(lines.value(0), QStringLiteral("[vexCalc]"));
        for (const QString& expected :
             {QStringLiteral("wndX=120"), QStringLiteral("wndY=90"), QStringLiteral("wndW=500"),
              QStringLiteral("wndH=380"), QStringLiteral("ExprWidth=%1").arg(exprWidth),
              QStringLiteral("DefFontName=Lucida Console"),
              QStringLiteral("curFontName=Lucida Console"), QStringLiteral("mnuBlackWhite=0"),
              QStringLiteral("Decimals=6"), QStringLiteral("ToolTip=1")})
            QVERIFY2(lines.contains(expected), qPrintable(expected + u'\n' + lines.join(u'\n')));
    }

    // --- Geometry ----------------------------------------------------------------------

    void layoutFollowsSize_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("default") << QSize(320, 415);
        QTest::newRow("wide") << QSize(801, 500);
        QTest::newRow("smallest") << QSize(200, 200);
    }

    void layoutFollowsSize() {
        QFETCH(QSize, size);
        window_->resize(size);
        QCoreApplication::processEvents();
        QCOMPARE(window_->size(), size);
        const int w = window_->centralWidget()->width(), h = window_->centralWidget()->height();
        QCOMPARE(window_->infoLine()->geometry(), QRect(2, 2, w - 2, 18));
        // The live result's line sits under the entry line.
        QCOMPARE(window_->listView()->geometry(), QRect(0, 24, w - 2, h - 98));
        QCOMPARE(window_->entryLine()->geometry(), QRect(0, h - 72, w - 2, 22));
        QCOMPARE(window_->helpLine()->geometry(), QRect(1, h - 30, w - 2, 30));
        const int col0 = window_->listView()->columnWidth(0);
        QCOMPARE(window_->listView()->columnWidth(1), (w - col0 - 4) / 4 * 4);
    }

    void placement_data() {
        QTest::addColumn<QRect>("stored");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("on screen") << QRect(100, 80, 400, 300) << QRect(100, 80, 400, 300);
        QTest::newRow("far off screen") << QRect(5000, -4000, 320, 415) << QRect(50, 50, 320, 415);
        QTest::newRow("tiny") << QRect(60, 70, 100, 10) << QRect(60, 70, 200, 200);
        QTest::newRow("larger than the screen")
            << QRect(0, 0, 3000, 2000) << QRect(0, 0, 1024, 600);
    }

    void placement() {
        QFETCH(QRect, stored);
        QFETCH(QRect, expected);
        const QScreen* screen = QGuiApplication::primaryScreen();
        QCOMPARE(screen->availableGeometry(), QRect(0, 0, 1024, 600)); // screens.json
        program_.settings.wndX = stored.x();
        program_.settings.wndY = stored.y();
        program_.settings.wndW = stored.width();
        program_.settings.wndH = stored.height();
        MakeWindow();
        QCOMPARE(window_->geometry(), expected);
        const vex::ShellSettings now = window_->CurrentSettings();
        QCOMPARE(QRect(now.wndX, now.wndY, now.wndW, now.wndH), expected);
    }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
