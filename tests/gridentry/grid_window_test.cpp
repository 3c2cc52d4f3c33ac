// The matrix-entry window as a user drives it: the shape fields and Generate Cells,
// typing into cells and into the wide cell editor, the import question, the menus, and
// the ways out (OK, closing, File > Exit, Escape) with the caller's buffer. Dialogs are
// answered by FakeDialogs; the Calculate menu uses the real libzorbit.so.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

#include "gridentry/grid_calculate.h"
#include "gridentry/window/grid_window.h"
#include "gridentry/window/run_grid.h"
#include "platform/qt/window_platform.h"
#include "tests/window/fake_dialogs.h"

using namespace vex::grid;

namespace {

QString Q(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

} // namespace

class GridWindowTest : public QObject {
    Q_OBJECT

  private:
    FakeDialogs dialogs_;
    std::unique_ptr<vex::MessagesWindow> messages_;
    MatrixLibrary binding_;
    vex::Library library_;
    GridState state_;
    std::unique_ptr<GridWindow> window_;
    std::unique_ptr<QTemporaryDir> dir_;

    GridOptions Options(int offset = 0) { return GridOptions{messages_.get(), offset}; }

    void MakeWindow(const QString& text = {}, int offset = 0) {
        window_.reset();
        state_ = GridState();
        state_.matrixText = text.toStdU16String();
        window_ = std::make_unique<GridWindow>(state_, library_, dialogs_, Options(offset));
        window_->OfferImport();
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }

    template <typename W> W* Control(int id) const {
        auto* w = qobject_cast<W*>(window_->control(id));
        if (!w) qFatal("no control %d", id);
        return w;
    }

    void SetField(int id, const QString& text) {
        QLineEdit* field = Control<QLineEdit>(id);
        field->selectAll();
        QTest::keyClicks(field, text);
    }

    // Types the shape and clicks Generate Cells.
    void Generate(int rows, int cols) {
        SetField(kRows, QString::number(rows));
        SetField(kCols, QString::number(cols));
        QTest::mouseClick(Control<QPushButton>(kGenerate), Qt::LeftButton);
    }

    void ClickCell(int row, int col) {
        QTableView* view = window_->cells();
        const QRect r = view->visualRect(view->model()->index(row - 1, col - 1));
        QVERIFY(view->viewport()->rect().contains(r.center()));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, r.center());
    }

    // Types into a cell as a user does: click it, type, and press Tab to go on.
    void TypeCell(int row, int col, const QString& text) {
        ClickCell(row, col);
        if (text.isEmpty()) return;
        // The first key opens the cell's editor; the others go where the focus now is.
        for (const QChar c : text)
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }

    QStringList Cells() const {
        QStringList cells;
        for (const std::u16string& c : window_->state().cells)
            cells << Q(c);
        return cells;
    }

    QString Definition() {
        QCoreApplication::processEvents();
        return Q(window_->MatrixText());
    }

    void Menu(int id) {
        QAction* action = window_->menuItem(id);
        QVERIFY(action);
        action->trigger();
    }

  private Q_SLOTS:
    void initTestCase() {
        messages_ = std::make_unique<vex::MessagesWindow>(nullptr);
        binding_ = BindMatrixLibrary({VEX_ZORBIT_PATH});
        QVERIFY2(binding_.bound(), binding_.error.c_str());
        library_ = binding_.Client();
    }

    void init() {
        dialogs_.Reset();
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
    }

    void cleanup() {
        window_.reset();
        messages_->Close();
    }

    // --- Controls ----------------------------------------------------------------------

    void controlsCarryTheirIdentifiers_data() {
        QTest::addColumn<int>("offset");
        QTest::newRow("library") << 0;
        QTest::newRow("built into the calculator") << kCompiledInOffset;
    }

    void controlsCarryTheirIdentifiers() {
        QFETCH(int, offset);
        MakeWindow({}, offset);
        QCOMPARE(window_->objectName(), QString::number(kWindow + offset));
        QCOMPARE(window_->windowTitle(), QStringLiteral("Vector / Matrix"));
        for (int id = kRows; id <= kMenuBar; ++id)
            QVERIFY2(window_->findChild<QWidget*>(QString::number(id + offset)),
                     qPrintable(QString::number(id)));
        for (int id = kMenuOpen; id <= kMenuAbout; ++id)
            QVERIFY2(window_->findChild<QAction*>(QString::number(id + offset)),
                     qPrintable(QString::number(id)));
        QCOMPARE(Control<QLineEdit>(kRows)->text(), QStringLiteral("0"));
        QCOMPARE(Control<QLineEdit>(kName)->text(), QStringLiteral("[mA]"));
        QCOMPARE(Control<QLabel>(kCellLabel)->text(), QStringLiteral("R0,C0"));
        QVERIFY(Control<QPushButton>(kOk)->isDefault());
        // The cells' identifiers count from CellBase plus the same offset.
        Generate(2, 3);
        const QModelIndex cell = window_->cells()->model()->index(1, 2);
        QCOMPARE(cell.data(Qt::UserRole).toInt(), kCellBase + offset + 3 * 1 + 3);
    }

    void generateGeometry_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("cols");
        QTest::newRow("2x2") << 2 << 2;
        QTest::newRow("3x5, wider than the controls") << 3 << 5;
        QTest::newRow("0x0") << 0 << 0;
    }

    void generateGeometry() {
        QFETCH(int, rows);
        QFETCH(int, cols);
        MakeWindow();
        Generate(rows, cols);
        const GridGeometry g = GeometryFor(rows, cols);
        QCOMPARE(Control<QPlainTextEdit>(kOutput)->geometry(),
                 QRect(2, g.outputTop, g.width - 4, 36));
        QCOMPARE(window_->cells()->geometry(), QRect(2, g.cellsTop, g.width - 2, g.cellsHeight));
        QCOMPARE(window_->cells()->model()->rowCount(), rows);
        QCOMPARE(window_->cells()->model()->columnCount(), cols);
        // Every cell shows whole, without a scroll bar.
        QVERIFY(!window_->cells()->horizontalScrollBar()->isVisible());
        QVERIFY(!window_->cells()->verticalScrollBar()->isVisible());
    }

    // The field shows the start of a large grid's definition; Copy and OK take all of it.
    void largeGridShowsTheStartOfItsDefinition() {
        MakeWindow();
        Generate(256, 256);
        const QString whole = Definition();
        QCOMPARE(whole.size(), 23 + 256 * 256 * 3 - 2);
        const QString shown = Control<QPlainTextEdit>(kOutput)->toPlainText();
        QCOMPARE(shown, whole.left(shown.size() - 3) + QStringLiteral("..."));
        QVERIFY(shown.size() < whole.size());
        Menu(kMenuCopy);
        QCOMPARE(QGuiApplication::clipboard()->text(), whole);
    }

    void shapeOutOfBounds_data() {
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QString>("cols");
        QTest::addColumn<bool>("refused");
        QTest::newRow("257 rows") << "257"
                                  << "2" << true;
        QTest::newRow("negative columns") << "2"
                                          << "-1" << true;
        QTest::newRow("huge") << "99999999999999999999"
                              << "1" << true;
        QTest::newRow("256x256") << "256"
                                 << "256" << false;
        QTest::newRow("not a number reads 0") << "abc"
                                              << "3" << false;
    }

    void shapeOutOfBounds() {
        QFETCH(QString, rows);
        QFETCH(QString, cols);
        QFETCH(bool, refused);
        MakeWindow();
        Generate(2, 2);
        SetField(kRows, rows);
        SetField(kCols, cols);
        QTest::mouseClick(Control<QPushButton>(kGenerate), Qt::LeftButton);
        if (refused) {
            QCOMPARE(dialogs_.asked.size(), 1);
            QCOMPARE(dialogs_.asked[0].text, Q(std::u16string(kCountMessage)));
            QCOMPARE(window_->state().rows, 2); // the grid stays as it was
        } else {
            QVERIFY(dialogs_.asked.isEmpty());
            QCOMPARE(window_->state().rows, rows.toInt());
            QCOMPARE(window_->state().cols, cols.toInt());
        }
    }

    // --- Typing and the definition ---------------------------------------------------

    void definitionForms_data() {
        QTest::addColumn<bool>("multiLine");
        QTest::addColumn<bool>("wideEditor");
        QTest::addColumn<QString>("expected");
        const QString oneLine = QStringLiteral("Matr = [mA]; 2; 2; 1; 2; 3; 0");
        const QString dimX = QStringLiteral("DimX = mA(2,2); mA(1,1)=1; mA(1,2)=2; \r\n"
                                            "DimX = mA(2,2); mA(2,1)=3; mA(2,2)=0; ");
        QTest::newRow("one line, typed in cells") << false << false << oneLine;
        QTest::newRow("one line, typed in the wide editor") << false << true << oneLine;
        QTest::newRow("multi line, typed in cells") << true << false << dimX;
        QTest::newRow("multi line, typed in the wide editor") << true << true << dimX;
    }

    void definitionForms() {
        QFETCH(bool, multiLine);
        QFETCH(bool, wideEditor);
        QFETCH(QString, expected);
        MakeWindow();
        Generate(2, 2);
        const QStringList values{QStringLiteral("1"), QStringLiteral("2  "), QStringLiteral("3"),
                                 QString()};
        for (int k = 0; k < 4; ++k) {
            if (wideEditor) {
                ClickCell(k / 2 + 1, k % 2 + 1);
                QTest::keyClicks(Control<QLineEdit>(kCellEditor), values[k]);
            } else {
                TypeCell(k / 2 + 1, k % 2 + 1, values[k]);
            }
        }
        if (multiLine) QTest::mouseClick(Control<QCheckBox>(kMultiLine), Qt::LeftButton);
        QCOMPARE(Definition(), expected);
        QCOMPARE(Control<QPlainTextEdit>(kOutput)->toPlainText(), QString(expected).remove('\r'));
    }

    void enterInACellOnlyCommitsIt() {
        MakeWindow();
        Generate(1, 2);
        ClickCell(1, 2);
        QTest::keyClick(window_->cells(), '5');
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        // The editor hands its text over on the next pass of the event loop.
        QTRY_COMPARE(Cells(), (QStringList{"", "5"}));
        QVERIFY(window_->isVisible());
        QCOMPARE(Control<QLineEdit>(kCellEditor)->text(), QStringLiteral("5"));
    }

    // A menu item takes no focus: the open cell editor's text still counts.
    void menuItemsSeeTheCellBeingEdited() {
        MakeWindow();
        Generate(1, 1);
        ClickCell(1, 1);
        QTest::keyClick(window_->cells(), '7');
        QVERIFY(window_->cells()->isPersistentEditorOpen(window_->cells()->currentIndex()) ||
                QApplication::focusWidget() != window_->cells());
        Menu(kMenuCopy);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Matr = [mA]; 1; 1; 7"));
    }

    void nameChangesTheDefinition() {
        MakeWindow();
        Generate(1, 2);
        SetField(kName, QStringLiteral("[vX]"));
        QCOMPARE(Definition(), QStringLiteral("Matr = [vX]; 1; 2; 0; 0"));
    }

    void cellLabelAndWideEditor() {
        MakeWindow();
        Generate(3, 4);
        TypeCell(2, 3, QStringLiteral("sin(1)"));
        ClickCell(2, 3);
        QCOMPARE(Control<QLabel>(kCellLabel)->text(), QStringLiteral("R2,C3"));
        QCOMPARE(Control<QLineEdit>(kCellEditor)->text(), QStringLiteral("sin(1)"));
        // The wide editor writes into the cell that has the focus.
        QTest::keyClicks(Control<QLineEdit>(kCellEditor), QStringLiteral("*2"));
        QCOMPARE(Cells()[1 * 4 + 2], QStringLiteral("sin(1)*2"));
        ClickCell(1, 1);
        QCOMPARE(Control<QLabel>(kCellLabel)->text(), QStringLiteral("R1,C1"));
        QCOMPARE(Control<QLineEdit>(kCellEditor)->text(), QString());
        // While a cell is being typed, the wide editor and the definition follow each key.
        QTest::keyClick(window_->cells(), '4');
        QTest::keyClick(QApplication::focusWidget(), '2');
        QCOMPARE(Control<QLineEdit>(kCellEditor)->text(), QStringLiteral("42"));
        QVERIFY(Definition().startsWith(QStringLiteral("Matr = [mA]; 3; 4; 42; 0; ")));
    }

    void definitionTooltip_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("cols");
        QTest::addColumn<QString>("title");
        QTest::newRow("row vector") << 1 << 3 << "Vector: [mA]";
        QTest::newRow("column vector") << 3 << 1 << "Vector: [mA]";
        QTest::newRow("matrix") << 2 << 2 << "Matrix: [mA]";
    }

    void definitionTooltip() {
        QFETCH(int, rows);
        QFETCH(int, cols);
        QFETCH(QString, title);
        MakeWindow();
        Generate(rows, cols);
        Control<QPlainTextEdit>(kOutput)->setFocus(Qt::MouseFocusReason);
        QCOMPARE(window_->lastTooltip(), title + QLatin1Char('\n') + Definition());
    }

    void copyPutsTheDefinitionOnTheClipboard_data() {
        QTest::addColumn<bool>("button");
        QTest::newRow("Copy button") << true;
        QTest::newRow("Edit > Copy") << false;
    }

    void copyPutsTheDefinitionOnTheClipboard() {
        QFETCH(bool, button);
        MakeWindow();
        Generate(1, 2);
        TypeCell(1, 1, QStringLiteral("7"));
        QGuiApplication::clipboard()->clear();
        if (button)
            QTest::mouseClick(Control<QPushButton>(kCopy), Qt::LeftButton);
        else
            Menu(kMenuCopy);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Matr = [mA]; 1; 2; 7; 0"));
    }

    // --- Import --------------------------------------------------------------------------

    void importQuestion_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QString>("definition");
        const QString line = QStringLiteral("Matr = [mB]; 2; 3; 1; 2; 3; 4; 5; 6");
        QTest::newRow("yes") << line << QList<int>{ZORBIT_ID_YES} << "Import matrix: [mB]?"
                             << "[mB]" << QStringList{"1", "2", "3", "4", "5", "6"} << line;
        QTest::newRow("no") << line << QList<int>{ZORBIT_ID_NO} << "Import matrix: [mB]?"
                            << "[mA]" << QStringList{} << "Matr = [mA]; 0; 0";
        QTest::newRow("no equals sign: not offered")
            << "2+3" << QList<int>{} << ""
            << "[mA]" << QStringList{} << "Matr = [mA]; 0; 0";
        QTest::newRow("fewer values than cells")
            << "Matr = [mC]; 2; 2; 7; 8" << QList<int>{ZORBIT_ID_YES} << "Import matrix: [mC]?"
            << "[mC]" << QStringList{"7", "8", "", ""} << "Matr = [mC]; 2; 2; 7; 8; 0; 0";
        QTest::newRow("extra values ignored")
            << "Matr = [mC]; 1; 2; 7; 8; 9; 10" << QList<int>{ZORBIT_ID_YES}
            << "Import matrix: [mC]?"
            << "[mC]" << QStringList{"7", "8"} << "Matr = [mC]; 1; 2; 7; 8";
        QTest::newRow("expressions and spaces kept as typed")
            << "Matr = [mE] ; 1;2; 2*pi ;  sqrt(2)" << QList<int>{ZORBIT_ID_YES}
            << "Import matrix: [mE]?"
            << "[mE]" << QStringList{"2*pi", "sqrt(2)"} << "Matr = [mE]; 1; 2; 2*pi; sqrt(2)";
        // The name field holds 32,767 characters: a cut name would lose its "]".
        const QString longName = '[' + QString(40000, 'x') + ']';
        QTest::newRow("name longer than the field: refused")
            << "Matr = " + longName + "; 1; 1; 5" << QList<int>{}
            << "The matrix name is too long to import: 40002 characters, at most 32767."
            << "[mA]" << QStringList{} << "Matr = [mA]; 0; 0";
        QTest::newRow("name that just fits")
            << "Matr = " + QString(32767, 'n') + "; 1; 1; 5" << QList<int>{ZORBIT_ID_YES}
            << "Import matrix: " + QString(32767, 'n') + "?" << QString(32767, 'n')
            << QStringList{"5"} << "Matr = " + QString(32767, 'n') + "; 1; 1; 5";
    }

    void importQuestion() {
        QFETCH(QString, text);
        QFETCH(QList<int>, answers);
        QFETCH(QString, asked);
        QFETCH(QString, name);
        QFETCH(QStringList, cells);
        QFETCH(QString, definition);
        dialogs_.messages = answers;
        MakeWindow(text);
        if (asked.isEmpty()) {
            QVERIFY(dialogs_.asked.isEmpty());
        } else {
            QCOMPARE(dialogs_.asked.size(), 1);
            QCOMPARE(dialogs_.asked[0].title, QStringLiteral("GridEntry module"));
            QCOMPARE(dialogs_.asked[0].text, asked);
        }
        QCOMPARE(Control<QLineEdit>(kName)->text(), name);
        QCOMPARE(Cells(), cells);
        QCOMPARE(Definition(), definition);
    }

    void regeneratingKeepsValuesInRowOrder_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("cols");
        QTest::addColumn<bool>("multiLine");
        QTest::addColumn<QStringList>("cells");
        QTest::newRow("3x2") << 3 << 2 << false << QStringList{"1", "2", "3", "4", "5", "6"};
        QTest::newRow("3x2, DimX form shown")
            << 3 << 2 << true << QStringList{"1", "2", "3", "4", "5", "6"};
        QTest::newRow("2x2, fewer cells") << 2 << 2 << false << QStringList{"1", "2", "3", "4"};
        QTest::newRow("2x4, more cells")
            << 2 << 4 << false << QStringList{"1", "2", "3", "4", "5", "6", "", ""};
    }

    void regeneratingKeepsValuesInRowOrder() {
        QFETCH(int, rows);
        QFETCH(int, cols);
        QFETCH(bool, multiLine);
        QFETCH(QStringList, cells);
        dialogs_.messages = {ZORBIT_ID_YES};
        MakeWindow(QStringLiteral("Matr = [mB]; 2; 3; 1; 2; 3; 4; 5; 6"));
        QCOMPARE(Control<QLineEdit>(kRows)->text(), QStringLiteral("2"));
        QCOMPARE(Control<QLineEdit>(kCols)->text(), QStringLiteral("3"));
        Control<QCheckBox>(kMultiLine)->setChecked(multiLine);
        Generate(rows, cols);
        QCOMPARE(Cells(), cells);
    }

    void clearCells() {
        dialogs_.messages = {ZORBIT_ID_YES};
        MakeWindow(QStringLiteral("Matr = [mB]; 2; 3; 1; 2; 3; 4; 5; 6"));
        Menu(kMenuClear);
        QCOMPARE(Cells(), QStringList(6, QString()));
        QCOMPARE(Definition(), QStringLiteral("Matr = [mB]; 2; 3; 0; 0; 0; 0; 0; 0"));
    }

    // --- Calculate ----------------------------------------------------------------------

    void calculate_data() {
        QTest::addColumn<QString>("matrix");
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("message");  // a message box, or "" for none
        QTest::addColumn<QString>("messages"); // the messages window's last line
        QTest::addColumn<QStringList>("cells");
        const QString m = QStringLiteral("Matr = [mA]; 2; 2; 4; 7; 2; 6");
        QTest::newRow("determinant")
            << m << int(kMenuDeterminant) << ""
            << "Determinant of [mA] = 10" << QStringList{"4", "7", "2", "6"};
        QTest::newRow("determinant of expressions")
            << "Matr = [mA]; 2; 2; 2*2; 0; 0; sqrt(9)" << int(kMenuDeterminant) << ""
            << "Determinant of [mA] = 12" << QStringList{"2*2", "0", "0", "sqrt(9)"};
        QTest::newRow("invert") << m << int(kMenuInvert) << ""
                                << "" << QStringList{"0.6", "-0.7", "-0.2", "0.4"};
        QTest::newRow("singular") << "Matr = [mA]; 2; 2; 1; 2; 2; 4" << int(kMenuInvert)
                                  << "Singular matrix"
                                  << "" << QStringList{"1", "2", "2", "4"};
        QTest::newRow("not square") << "Matr = [mA]; 1; 2; 1; 2" << int(kMenuDeterminant)
                                    << "This needs a square matrix (rows = columns)."
                                    << "" << QStringList{"1", "2"};
        QTest::newRow("a cell without a value")
            << "Matr = [mA]; 2; 2; 1; x+; 3; 4" << int(kMenuInvert) << "Cell R1,C2 has no value: x+"
            << "" << QStringList{"1", "x+", "3", "4"};
        QTest::newRow("orthogonal")
            << "Matr = [mA]; 2; 2; 0; 1; -1; 0" << int(kMenuOrtogonal) << "[mA] is orthogonal."
            << "" << QStringList{"0", "1", "-1", "0"};
        QTest::newRow("not orthogonal") << m << int(kMenuOrtogonal) << "[mA] is not orthogonal."
                                        << "" << QStringList{"4", "7", "2", "6"};
        QTest::newRow("transpose")
            << "Matr = [mA]; 2; 3; 1; 2; 3; 4; 5; 6" << int(kMenuTranspose) << ""
            << "" << QStringList{"1", "4", "2", "5", "3", "6"};
    }

    void calculate() {
        QFETCH(QString, matrix);
        QFETCH(int, item);
        QFETCH(QString, message);
        QFETCH(QString, messages);
        QFETCH(QStringList, cells);
        dialogs_.messages = {ZORBIT_ID_YES};
        MakeWindow(matrix);
        dialogs_.asked.clear();
        library_.SetError(13);
        Menu(item);
        QCOMPARE(library_.GetError(), 13); // the library's error code is put back
        QCOMPARE(dialogs_.asked.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) QCOMPARE(dialogs_.asked[0].text, message);
        if (!messages.isEmpty())
            QVERIFY2(messages_->Text().endsWith(messages), qPrintable(messages_->Text()));
        QCOMPARE(Cells(), cells);
        library_.SetError(-1);
    }

    void transposeSwapsTheShape() {
        dialogs_.messages = {ZORBIT_ID_YES};
        MakeWindow(QStringLiteral("Matr = [mA]; 2; 3; 1; 2; 3; 4; 5; 6"));
        Menu(kMenuTranspose);
        QCOMPARE(Control<QLineEdit>(kRows)->text(), QStringLiteral("3"));
        QCOMPARE(Control<QLineEdit>(kCols)->text(), QStringLiteral("2"));
        QCOMPARE(window_->cells()->model()->rowCount(), 3);
        QCOMPARE(Definition(), QStringLiteral("Matr = [mA]; 3; 2; 1; 4; 2; 5; 3; 6"));
    }

    void calculateWithoutTheLibrary() {
        MatrixLibrary none = BindMatrixLibrary({dir_->filePath("nothing.so").toStdString()});
        QVERIFY(!none.bound());
        const vex::Library unbound = none.Client();
        state_ = GridState();
        window_ = std::make_unique<GridWindow>(state_, unbound, dialogs_, Options());
        window_->show();
        Menu(kMenuDeterminant);
        QCOMPARE(dialogs_.asked.size(), 1);
        QCOMPARE(dialogs_.asked[0].title, QStringLiteral("GridEntry"));
        QVERIFY(dialogs_.asked[0].text.startsWith(
            QStringLiteral("Function yet to be implemented!\nMy apologies")));
        window_.reset(); // it calls through unbound, which ends here
    }

    void about() {
        MakeWindow();
        messages_->WriteLine(u"an earlier line", -1);
        Menu(kMenuAbout);
        QPlainTextEdit* view = messages_->Widget();
        QVERIFY(view);
        QCOMPARE(view->windowTitle(), QStringLiteral("GridEntry Module"));
        QCOMPARE(view->font().family(), QStringLiteral("Courier New"));
        const QStringList lines = messages_->Text().split('\n');
        QCOMPARE(lines[0], QStringLiteral("1: GridEntry Module"));
        QVERIFY(lines[2].startsWith(QStringLiteral("3: Version: 0.0.1.0 - Built: ")));
        QVERIFY(!messages_->Text().contains(QStringLiteral("an earlier line")));
    }

    // --- Files ----------------------------------------------------------------------------

    void saveAndOpen_data() {
        QTest::addColumn<bool>("multiLine");
        QTest::addColumn<QString>("saved");
        QTest::newRow("one line") << false << "Matr = [mA]; 1; 2; 5; 6\n";
        QTest::newRow("multi line") << true << "DimX = mA(1,2); mA(1,1)=5; mA(1,2)=6; \n";
    }

    void saveAndOpen() {
        QFETCH(bool, multiLine);
        QFETCH(QString, saved);
        const QString file = dir_->filePath(QStringLiteral("m.txt"));
        MakeWindow();
        Generate(1, 2);
        TypeCell(1, 1, QStringLiteral("5"));
        TypeCell(1, 2, QStringLiteral("6"));
        if (multiLine) Control<QCheckBox>(kMultiLine)->setChecked(true);
        dialogs_.files = {file};
        Menu(kMenuSave); // no file yet: Save asks as Save As does
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(f.readAll()), saved);
        f.close();

        // A file with text around its "Matr = " line opens into a new window's grid.
        QVERIFY(QFile::remove(file));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("' a comment\r\nExpr = 2+3\r\nMatr = [mF]; 2; 1; 8; 9\r\n");
        f.close();
        MakeWindow();
        dialogs_.files = {file};
        Menu(kMenuOpen);
        QCOMPARE(Control<QLineEdit>(kName)->text(), QStringLiteral("[mF]"));
        QCOMPARE(Cells(), (QStringList{"8", "9"}));
        QCOMPARE(Definition(), QStringLiteral("Matr = [mF]; 2; 1; 8; 9"));
    }

    void fileFailures_data() {
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        QTest::newRow("open a missing file") << int(kMenuOpen) << "missing.txt"
                                             << "Unable to open file: ";
        QTest::newRow("open a file without a Matr line") << int(kMenuOpen) << "plain.txt"
                                                         << "no \"Matr = \" line";
        QTest::newRow("save into a missing folder") << int(kMenuSaveAs) << "no/such/m.txt"
                                                    << "Error creating file.";
        QTest::newRow("dismissed dialog") << int(kMenuOpen) << ""
                                          << "";
    }

    void fileFailures() {
        QFETCH(int, item);
        QFETCH(QString, file);
        QFETCH(QString, message);
        QFile plain(dir_->filePath(QStringLiteral("plain.txt")));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.write("2+3\n");
        plain.close();
        dialogs_.messages = {ZORBIT_ID_YES};
        MakeWindow(QStringLiteral("Matr = [mB]; 1; 2; 1; 2"));
        dialogs_.asked.clear();
        dialogs_.files = {file.isEmpty() ? QString() : dir_->filePath(file)};
        Menu(item);
        const QStringList asked = [&] {
            QStringList texts;
            for (const auto& q : dialogs_.asked)
                if (q.title == QStringLiteral("GridEntry")) texts << q.text;
            return texts;
        }();
        if (message.isEmpty()) {
            QVERIFY(asked.isEmpty());
        } else {
            QCOMPARE(asked.size(), 1);
            QVERIFY2(asked[0].contains(message), qPrintable(asked[0]));
        }
        // The grid is untouched.
        QCOMPARE(Cells(), (QStringList{"1", "2"}));
    }

    // --- Leaving the window and the caller's buffer ---------------------------------------

    void endings_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("buffer");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("handedBack");
        const QString room(40, QLatin1Char(' '));
        QTest::newRow("OK") << "ok"
                            << "Matr = [mB]; 1; 2; 1; 2" + room << 23 << "Matr = [mB]; 1; 2; 1; 2";
        QTest::newRow("closing") << "close"
                                 << "Matr = [mB]; 1; 2; 1; 2" + room << 23
                                 << "Matr = [mB]; 1; 2; 1; 2";
        QTest::newRow("Enter presses OK")
            << "enter"
            << "Matr = [mB]; 1; 2; 1; 2" + room << 23 << "Matr = [mB]; 1; 2; 1; 2";
        QTest::newRow("File > Exit") << "exit"
                                     << "Matr = [mB]; 1; 2; 1; 2" + room << 0 << "";
        QTest::newRow("Escape") << "escape"
                                << "Matr = [mB]; 1; 2; 1; 2" + room << 0 << "";
        QTest::newRow("buffer shorter than the definition")
            << "ok"
            << "Matr = [mB];1;2;1;2" << 19 << "Matr = [mB]; 1; 2; ";
        QTest::newRow("buffer of length 0") << "ok"
                                            << "" << 0 << "";
        // No grid was ever made: the caller's text stays, room and all.
        QTest::newRow("closing after declining the import")
            << "no-close"
            << "Matr = [mB]; 1; 2; 1; 2" + room << 0 << "Matr = [mB]; 1; 2; 1; 2" + room;
        QTest::newRow("OK on a text that is no matrix") << "ok"
                                                        << "2+3" + room << 0 << "2+3" + room;
    }

    void endings() {
        QFETCH(QString, how);
        QFETCH(QString, buffer);
        QFETCH(int, result);
        QFETCH(QString, handedBack);
        dialogs_.messages = {ZORBIT_ID_YES};
        if (how.startsWith(QLatin1String("no-"))) {
            dialogs_.messages = {ZORBIT_ID_NO};
            how.remove(0, 3);
        }
        std::u16string text = buffer.toStdU16String();
        text.push_back(u'\0');
        text.push_back(u'#'); // nothing is written past the terminating zero
        bool acted = false;
        QTimer::singleShot(0, [&] {
            auto* w = dynamic_cast<GridWindow*>(QApplication::activeModalWidget());
            if (!w) return;
            acted = true;
            if (how == QLatin1String("ok"))
                QTest::mouseClick(w->control(kOk), Qt::LeftButton);
            else if (how == QLatin1String("close"))
                w->close();
            else if (how == QLatin1String("enter"))
                QTest::keyClick(w->control(kName), Qt::Key_Return);
            else if (how == QLatin1String("escape"))
                QTest::keyClick(w->control(kName), Qt::Key_Escape);
            else
                w->menuItem(kMenuExit)->trigger();
        });
        const int32_t n = RunMtxMaker(text.data(), library_, dialogs_, Options());
        QVERIFY(acted);
        QCOMPARE(n, result);
        QCOMPARE(QString::fromStdU16String(text.substr(0, text.find(u'\0'))), handedBack);
        QCOMPARE(text.back(), u'#');
    }
};

QTEST_MAIN(GridWindowTest)
#include "grid_window_test.moc"
