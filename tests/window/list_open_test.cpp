// Opening and saving expression lists in the main window as a user does it: File >
// Open and Ctrl+O, the list named at start, Save As. Rows that write files run only
// when the question says so; files that are no lists, or cannot be read, change nothing.

#include <sys/stat.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "platform/qt/window_platform.h"
#include "plot/window/plot_service.h"
#include "shell/startup.h"
#include "shell/window/main_window.h"
#include "shell/window/window_app.h"
#include "tests/window/fake_dialogs.h"
#include "tests/window/list_rows.h"
#include "zorbit/codes.h"

using vex::MenuItem;

class ListOpenTest : public QObject {
    Q_OBJECT

  private:
    FakeDialogs dialogs_;
    std::unique_ptr<vex::WindowPlatform> platform_;
    std::unique_ptr<vex::PlotWindows> plots_;
    vex::Program program_;
    std::unique_ptr<vex::MainWindow> window_;
    std::unique_ptr<QTemporaryDir> dir_;

    QString Path(const QString& name) const { return dir_->filePath(name); }

    void Enter(const QString& text) {
        QTest::keyClicks(window_->entryLine(), text);
        QTest::keyClick(window_->entryLine(), Qt::Key_Return);
    }

    QStringList Rows() const { return ListRows(*window_); }

    // A list file holding these expressions, each followed by a stale result row.
    QString WriteList(const QString& name, const QStringList& expressions) const {
        QByteArray bytes = "Columns: 1\r\n";
        for (int k = 0; k < expressions.size(); ++k)
            bytes += "E" + QByteArray::number(k + 1) + "\n" + expressions[k].toUtf8() +
                     "\r\n=\n  stale\r\n";
        return WriteBytes(name, bytes);
    }

    QString WriteBytes(const QString& name, const QByteArray& bytes) const {
        QFile f(Path(name));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) return {};
        return f.fileName();
    }

    static QByteArray Slurp(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    void OpenByMenu(const QString& file) {
        dialogs_.files << file;
        QTest::keySequence(window_.get(), QKeySequence(QKeySequence::Open));
    }

  private Q_SLOTS:
    void initTestCase() {
        platform_ = std::make_unique<vex::WindowPlatform>(nullptr, dialogs_);
        // Real plots, so that a Plot row's data file is written when it runs.
        plots_ = std::make_unique<vex::PlotWindows>(&dialogs_, false);
        platform_->platform().plot = plots_.get();
        vex::StartOptions options;
        options.ignoreConfig = true;
        options.libraryPath = VEX_ZORBIT_PATH;
        options.platform = &platform_->platform();
        std::string error;
        QVERIFY2(vex::StartUp(program_, options, error), error.c_str());
        plots_->Bind(&program_.library);
    }

    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        dialogs_.Reset();
        program_.host.interp.decimals = 4;
        // Relative names of the rows go to the test's folder.
        program_.host.batch.CurDir = dir_->path().toStdU16String() + u"/";
        program_.library.ResetAll();
        window_ =
            std::make_unique<vex::MainWindow>(program_, program_.library, dialogs_, *platform_);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }

    void cleanup() {
        plots_->CloseAll();
        window_.reset();
        QCOMPARE(dialogs_.unanswered, 0);
    }

    // A Format line of an opened list holds for the rows after it, and the menu shows it.
    void formatLineOfAListMovesTheMenu() {
        const QString list = WriteList(
            QStringLiteral("auto.vxc"),
            {QStringLiteral("2^100"), QStringLiteral("Format = auto"), QStringLiteral("2^100")});
        QVERIFY(window_->OpenListFile(list));
        QCOMPARE(Rows(), (QStringList{"E1|Expr = 2^100", "=|  1267650600228229401496703205376.0000",
                                      "E2|Format = auto", "E3|Expr = 2^100", "=|  1.268e30"}));
        QVERIFY(window_->action(MenuItem::FormatAuto)->isChecked());
        QCOMPARE(window_->CurrentSettings().Format, vex::NumberFormat::Auto);
        program_.host.interp.format = vex::NumberFormat::Fixed; // as the next test expects
    }

    // --- Rows that write files -----------------------------------------------------------

    void fileWritingRowsAskFirst_data() {
        QTest::addColumn<QString>("how"); // menu, keys, start
        QTest::addColumn<int>("answer");
        QTest::newRow("menu, run") << "menu" << int(ZORBIT_ID_YES);
        QTest::newRow("keys, skip") << "keys" << int(ZORBIT_ID_NO);
        QTest::newRow("start, run") << "start" << int(ZORBIT_ID_YES);
        QTest::newRow("start, skip") << "start" << int(ZORBIT_ID_NO);
    }

    void fileWritingRowsAskFirst() {
        QFETCH(QString, how);
        QFETCH(int, answer);
        const QString list =
            WriteList(QStringLiteral("writes.vxc"),
                      {QStringLiteral("StoExpr(a; fileout; stored.txt) = 42"),
                       QStringLiteral("1+1"), QStringLiteral("Plot(0;1;2;x;points.txt) = x"),
                       QStringLiteral("ExprF = in.txt [exprf.txt]")});
        QVERIFY(!WriteBytes(QStringLiteral("in.txt"), "Expr = 2*3\r\n").isEmpty());
        dialogs_.messages << answer;
        if (how == u"menu") {
            dialogs_.files << list;
            window_->action(MenuItem::Open)->trigger();
        } else if (how == u"keys") {
            OpenByMenu(list);
        } else {
            vex::StartOptions options;
            options.listFile = list.toStdString();
            window_.reset();
            window_ =
                std::make_unique<vex::MainWindow>(program_, program_.library, dialogs_, *platform_);
            vex::ShowStartWindow(*window_, options);
            QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        }
        // One question, before anything ran, naming every file.
        const QStringList titles = dialogs_.AskedTitles();
        QCOMPARE(titles.count(QStringLiteral("vex Calc")), 1);
        const QString& question = dialogs_.asked[titles.indexOf(QStringLiteral("vex Calc"))].text;
        for (const char* name : {"stored.txt", "points.txt", "exprf.txt"})
            QVERIFY2(question.contains(Path(QString::fromUtf8(name))), qPrintable(question));
        QVERIFY(question.contains(QStringLiteral("not run: writes a file")));

        const bool ran = answer == ZORBIT_ID_YES;
        QCOMPARE(QFile::exists(Path(QStringLiteral("stored.txt"))), ran);
        QCOMPARE(QFile::exists(Path(QStringLiteral("points.txt"))), ran);
        QCOMPARE(QFile::exists(Path(QStringLiteral("exprf.txt"))), ran);
        const QStringList rows = Rows();
        QCOMPARE(rows.value(0), QStringLiteral("E1|StoExpr(a; fileout; stored.txt) = 42"));
        QCOMPARE(rows.value(2), QStringLiteral("E2|Expr = 1+1"));
        QCOMPARE(rows.value(3), QStringLiteral("=|  2.0000"));
        if (ran) {
            QCOMPARE(Slurp(Path(QStringLiteral("stored.txt"))), QByteArray("42"));
            QVERIFY(!rows.contains(QStringLiteral("=|  not run: writes a file")));
            QCOMPARE(window_->infoLine()->text(), QStringLiteral("File: ") + list);
        } else {
            // Skipped rows stay, marked, and the information line counts them.
            QCOMPARE(rows.value(1), QStringLiteral("=|  not run: writes a file"));
            QCOMPARE(rows.count(QStringLiteral("=|  not run: writes a file")), 3);
            QCOMPARE(window_->infoLine()->text(),
                     QStringLiteral("File: ") + list +
                         QStringLiteral(" (3 rows not run: they write files)"));
            // Saved again, the list still holds those rows, so opening it asks again.
            window_->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(window_.get()));
            QTest::keySequence(window_.get(), QKeySequence(QKeySequence::Save));
            dialogs_.asked.clear();
            dialogs_.messages << ZORBIT_ID_NO;
            OpenByMenu(list);
            QCOMPARE(dialogs_.AskedTitles(), (QStringList{"Open", "vex Calc"}));
            QCOMPARE(Rows(), rows);
        }
    }

    void questionNamesTenFiles() {
        QStringList rows;
        for (int k = 1; k <= 13; ++k)
            rows << QStringLiteral("StoExpr(v%1; fileout; f%1.txt) = %1").arg(k);
        // A file named twice is named once.
        rows << QStringLiteral("StoExpr(w; fileout; f1.txt) = 0");
        dialogs_.messages << ZORBIT_ID_NO;
        OpenByMenu(WriteList(QStringLiteral("many.vxc"), rows));
        QCOMPARE(dialogs_.AskedTitles(), (QStringList{"Open", "vex Calc"}));
        const QString question = dialogs_.asked[1].text;
        for (int k = 1; k <= 10; ++k)
            QVERIFY(question.contains(Path(QStringLiteral("f%1.txt").arg(k))));
        QVERIFY(!question.contains(Path(QStringLiteral("f11.txt"))));
        QVERIFY2(question.contains(QStringLiteral("and 3 more")), qPrintable(question));
        QCOMPARE(QDir(dir_->path()).entryList({QStringLiteral("f*.txt")}), QStringList{});
    }

    // Typed lines are what the user asked for: no question.
    void typedLinesRunUnasked() {
        Enter(QStringLiteral("StoExpr(a; fileout; typed.txt) = 7"));
        QCOMPARE(dialogs_.AskedTitles(), QStringList{});
        QCOMPARE(Slurp(Path(QStringLiteral("typed.txt"))), QByteArray("7"));
    }

    // --- Files that are no lists ---------------------------------------------------------

    void unreadableFilesChangeNothing_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("fifo") << QStringLiteral("fifo") << QStringLiteral("FIFO");
        QTest::newRow("device") << QStringLiteral("device") << QStringLiteral("device");
        QTest::newRow("no header") << QStringLiteral("text") << QStringLiteral("Columns: 1");
        QTest::newRow("image") << QStringLiteral("image") << QStringLiteral("Columns: 1");
        QTest::newRow("binary after a header") << QStringLiteral("binary") << QStringLiteral("NUL");
        QTest::newRow("header only, notes")
            << QStringLiteral("notes") << QStringLiteral("no expression rows");
    }

    void unreadableFilesChangeNothing() {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        Enter(QStringLiteral("1+1"));
        dialogs_.files << Path(QStringLiteral("kept.vxc"));
        window_->action(MenuItem::Save)->trigger();
        const QStringList rows = Rows();
        const QString info = window_->infoLine()->text();
        QString file;
        if (kind == u"fifo") {
            file = Path(QStringLiteral("f.vxc"));
            QCOMPARE(mkfifo(file.toLocal8Bit().constData(), 0600), 0);
        } else if (kind == u"device") {
            file = QStringLiteral("/dev/zero");
        } else if (kind == u"image") {
            file = WriteBytes(QStringLiteral("i.vxc"),
                              QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\x01\0", 20));
        } else if (kind == u"binary") {
            file = WriteBytes(QStringLiteral("b.vxc"), QByteArray("Columns: 1\r\nE1\n\x7f"
                                                                  "ELF\x02\x01\0\0\0\r\n",
                                                                  26));
        } else if (kind == u"notes") {
            file = WriteBytes(QStringLiteral("n.vxc"), "Columns: 1\nsome notes\n1+1\n");
        } else {
            file = WriteBytes(QStringLiteral("t.vxc"), "some notes\n1+1\n");
        }
        dialogs_.asked.clear();
        QElapsedTimer clock;
        clock.start();
        OpenByMenu(file);
        QVERIFY(clock.elapsed() < 5000); // at once, not after a wait for a writer
        QCOMPARE(dialogs_.AskedTitles(), (QStringList{"Open", "vex Calc"}));
        QVERIFY(dialogs_.asked[1].text.startsWith(QStringLiteral("Error opening file.")));
        QVERIFY2(dialogs_.asked[1].text.contains(reason), qPrintable(dialogs_.asked[1].text));
        QCOMPARE(Rows(), rows);
        QCOMPARE(window_->infoLine()->text(), info);
        QCOMPARE(QString::fromStdU16String(window_->list().fileName),
                 Path(QStringLiteral("kept.vxc")));
    }

    // Line ends and encodings a list may come in: all of its rows are read, and a save
    // keeps every one of them.
    void lineEndsAndEncodings_data() {
        QTest::addColumn<QByteArray>("bytes");
        const QString text = QStringLiteral("Columns: 1\rE1\rExpr = 2+3\r=\r  0\rE2\r7*6\r");
        QTest::newRow("cr only") << text.toUtf8();
        QByteArray le("\xFF\xFE");
        const QString crlf = QString(text).replace(u'\r', QStringLiteral("\r\n"));
        for (QChar c : crlf) {
            le += char(c.unicode() & 0xFF), le += char(c.unicode() >> 8);
        }
        QTest::newRow("utf-16") << le;
    }

    void lineEndsAndEncodings() {
        QFETCH(QByteArray, bytes);
        const QString file = WriteBytes(QStringLiteral("in.vxc"), bytes);
        OpenByMenu(file);
        QCOMPARE(dialogs_.AskedTitles(), QStringList{"Open"});
        QCOMPARE(Rows(),
                 (QStringList{"E1|Expr = 2+3", "=|  5.0000", "E2|Expr = 7*6", "=|  42.0000"}));
        QTest::keySequence(window_.get(), QKeySequence(QKeySequence::Save));
        QCOMPARE(Slurp(file), QByteArray("Columns: 1\r\nE1\nExpr = 2+3\r\n=\n  5.0000\r\nE2\n"
                                         "Expr = 7*6\r\n=\n  42.0000\r\n"));
    }

    // --- Long lists ----------------------------------------------------------------------

    void cancelKeepsRowsReadUnsaved() {
        QStringList expressions;
        for (int k = 1; k <= 2000; ++k)
            expressions << QStringLiteral("%1+1").arg(k);
        const QString file = WriteList(QStringLiteral("long.vxc"), expressions);
        const QByteArray original = Slurp(file);
        window_->SetProgressDelay(0);
        dialogs_.cancelAtStep = 0;
        OpenByMenu(file);
        QCOMPARE(dialogs_.progress.size(), 1);
        QCOMPARE(dialogs_.steps.size(), 1);
        const qint64 read = dialogs_.steps.back();
        QVERIFY(read > 0 && read < 2000);
        const QStringList rows = Rows();
        QCOMPARE(rows.size(), 2 * read + 1);
        QCOMPARE(rows.value(0), QStringLiteral("E1|Expr = 1+1"));
        QCOMPARE(rows.value(2 * read - 1), QStringLiteral("=|  %1.0000").arg(read + 1));
        QCOMPARE(rows.last(), QStringLiteral("=|  opening stopped: %1 of 2000 expressions were "
                                             "read")
                                  .arg(read));
        QVERIFY(!window_->list().saved);
        QVERIFY(window_->list().fileName.empty());
        QVERIFY(window_->infoLine()->text().startsWith(QStringLiteral("Not all of")));
        // Ctrl+S asks for a name rather than replace the file with part of it.
        dialogs_.files << QString();
        QTest::keySequence(window_.get(), QKeySequence(QKeySequence::Save));
        QCOMPARE(dialogs_.AskedTitles(), (QStringList{"Open", "Save As"}));
        QCOMPARE(Slurp(file), original);
    }

    // --- Save As -------------------------------------------------------------------------

    void saveAsAddsExtensionBeforeAsking_data() {
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("kept") << QList<int>{ZORBIT_ID_NO} << false;
        QTest::newRow("replaced") << QList<int>{ZORBIT_ID_YES} << true;
    }

    void saveAsAddsExtensionBeforeAsking() {
        QFETCH(QList<int>, answers);
        QFETCH(bool, replaced);
        const QString report =
            WriteBytes(QStringLiteral("report.vxc"), "Columns: 1\r\nE1\nold\r\n");
        Enter(QStringLiteral("1+1"));
        dialogs_.files << Path(QStringLiteral("report")); // typed without its extension
        dialogs_.messages = answers;
        window_->action(MenuItem::SaveAs)->trigger();
        QCOMPARE(dialogs_.AskedTitles(), (QStringList{"Save As", "Save As"}));
        QVERIFY2(dialogs_.asked[1].text.contains(report + QStringLiteral(" already exists")),
                 qPrintable(dialogs_.asked[1].text));
        QCOMPARE(Slurp(report).contains("old"), !replaced);
        QCOMPARE(window_->list().saved, replaced);
        QVERIFY(!QFile::exists(Path(QStringLiteral("report"))));
    }
};

QTEST_MAIN(ListOpenTest)
#include "list_open_test.moc"
