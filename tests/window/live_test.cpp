// The live result under the entry line, "ans", Copy result and double-click on a number,
// driven as a user drives them: keys in the entry line, clicks on the list, the menus.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QtTest>
#include <memory>

#include "platform/qt/window_platform.h"
#include "script/slots.h"
#include "shell/startup.h"
#include "shell/window/live_result.h"
#include "shell/window/main_window.h"
#include "tests/window/fake_dialogs.h"
#include "tests/window/list_rows.h"
#include "zorbit/codes.h"

using vex::MenuItem;

class LiveTest : public QObject {
    Q_OBJECT

  private:
    FakeDialogs dialogs_;
    std::unique_ptr<vex::WindowPlatform> platform_;
    vex::Program program_;
    std::unique_ptr<vex::MainWindow> window_;

    QLineEdit* Entry() const { return window_->entryLine(); }
    QLabel* Live() const { return window_->liveResult()->label(); }
    void Enter(const QString& text) {
        QTest::keyClicks(Entry(), text);
        QTest::keyClick(Entry(), Qt::Key_Return);
    }
    void ClickRow(int row) {
        QTableView* view = window_->listView();
        const QRect r = view->visualRect(view->model()->index(row, 1));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, r.center());
    }
    void DoubleClickRow(int row) {
        QTableView* view = window_->listView();
        const QPoint at = view->viewport()->mapTo(
            window_.get(), view->visualRect(view->model()->index(row, 1)).center());
        QTest::mouseDClick(window_->windowHandle(), Qt::LeftButton, {}, at);
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

  private Q_SLOTS:
    void initTestCase() {
        platform_ = std::make_unique<vex::WindowPlatform>(nullptr, dialogs_);
        vex::StartOptions options;
        options.ignoreConfig = true;
        options.libraryPath = VEX_ZORBIT_PATH;
        options.platform = &platform_->platform();
        std::string error;
        QVERIFY2(vex::StartUp(program_, options, error), error.c_str());
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

    // Each key shows what the line gives so far, under the entry line.
    void previewFollowsEachKey() {
        Enter(QStringLiteral("Var = k; 4"));
        QStringList seen;
        for (const QChar c : QStringLiteral("2*k+")) {
            QTest::keyClick(Entry(), c.toLatin1());
            seen << Live()->text();
        }
        QCOMPARE(seen, (QStringList{"= 2.0000",
                                    "ERROR n. = 3: Parser syntax error          "
                                    "(Module: eval) at column 3",
                                    "= 8.0000", seen.last()}));
        QVERIFY(seen.last().startsWith(QStringLiteral("ERROR n. = 3")));
        QVERIFY(Live()->isVisible());
        QVERIFY(Live()->geometry().top() >= Entry()->geometry().bottom());
        // A command is not worked out: it may define, store, write or plot.
        Entry()->clear();
        QTest::keyClicks(Entry(), QStringLiteral("Var = q; 1"));
        QCOMPARE(Live()->text(), QString());
        QTest::keyClick(Entry(), Qt::Key_Escape);
        QCOMPARE(Live()->text(), QString());
    }

    void previewHasNoEffect_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("number") << "k*ans";
        QTest::newRow("error") << "1/0";
        QTest::newRow("undefined") << "zork(2)";
        QTest::newRow("matrix") << "[mW]*[mW]";
        QTest::newRow("missing matrix") << "[none]+1";
        QTest::newRow("random") << "rnd(1)";
        QTest::newRow("definition") << "Var = k; 99";
        QTest::newRow("plot") << "Plot = x";
        QTest::newRow("heavy") << "[mW]^1000000";
    }

    void previewHasNoEffect() {
        QFETCH(QString, typed);
        Enter(QStringLiteral("Var = k; 4"));
        Enter(QStringLiteral("Matr = [mW]; 2; 2; 1; 2; 3; 4"));
        Enter(QStringLiteral("7"));
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
        QVERIFY(item->isCheckable());
        QVERIFY(item->isChecked());
        QTest::keyClicks(Entry(), QStringLiteral("1+1"));
        QCOMPARE(Live()->text(), QStringLiteral("= 2.0000"));
        const int entryTop = Entry()->geometry().top();
        item->trigger();
        QVERIFY(!Live()->isVisible());
        QCOMPARE(Live()->text(), QString());
        QCOMPARE(window_->CurrentSettings().LiveResult, 0);
        // The entry line takes the room back.
        QVERIFY(Entry()->geometry().top() > entryTop);
        QTest::keyClicks(Entry(), QStringLiteral("+1"));
        QCOMPARE(Live()->text(), QString());
        item->trigger();
        QCOMPARE(Live()->text(), QStringLiteral("= 3.0000"));
        QCOMPARE(window_->CurrentSettings().LiveResult, 1);
    }

    void ansContinues() {
        Enter(QStringLiteral("2+3"));
        Enter(QStringLiteral("ans*2"));
        QTest::keyClicks(Entry(), QStringLiteral("ans+1"));
        QCOMPARE(Live()->text(), QStringLiteral("= 11.0000"));
        QCOMPARE(ListRows(*window_),
                 (QStringList{"E1|Expr = 2+3", "=|  5.0000", "E2|Expr = ans*2", "=|  10.0000"}));
    }

    // Edit > Copy result: the selected row's number as a plain number the entry line
    // reads back; today's Copy stays.
    void copyResult_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("clipboard");
        QTest::newRow("result row") << "5/2" << 1 << "2.5";
        QTest::newRow("expression row") << "6.02e23*1" << 0 << "6.02e23";
        QTest::newRow("whole, not rounded") << "1/3" << 1 << "0.3333333333333333";
        QTest::newRow("matrix has none") << "Matr = [mC]; 1; 2; 1; 2\r\n[mC]" << 1 << "";
    }

    void copyResult() {
        QFETCH(QString, line);
        QFETCH(int, row);
        QFETCH(QString, clipboard);
        // A two-line entry goes in through the window's own path.
        window_->EnterLine(line);
        QCOMPARE(window_->action(MenuItem::CopyResult)->shortcut(),
                 QKeySequence(QStringLiteral("Ctrl+Shift+C")));
        ClickRow(row);
        QTest::keySequence(window_->listView(), QKeySequence(QStringLiteral("Ctrl+Shift+C")));
        QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
        if (clipboard.isEmpty()) return;
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

    // A double-click on a number puts it whole into the entry line.
    void doubleClickTakesTheWholeNumber() {
        Enter(QStringLiteral("1/3"));
        DoubleClickRow(1);
        QCOMPARE(Entry()->text(), QStringLiteral("0.3333333333333333"));
        QCOMPARE(Live()->text(), QStringLiteral("= 0.3333"));
    }
};

QTEST_MAIN(LiveTest)
#include "live_test.moc"
