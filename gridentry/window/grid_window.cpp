#include "gridentry/window/grid_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolTip>
#include <QVBoxLayout>

#include "common/number_text.h"
#include "gridentry/grid_calculate.h"
#include "platform/qt/dialogs.h"
#include "platform/qt/fonts.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/window_platform.h"
#include "zorbit/codes.h"

namespace vex::grid {

namespace {

// The tooltip shows the start of a long definition; the field holds all of it.
constexpr qsizetype kTipChars = 4000;
constexpr qreal kControlPoints = 8;
// The definition field is two lines high. Laying out the whole definition of a large
// grid on every key made typing slow, so it shows the start; OK, Copy and the tooltip
// take the definition whole.
constexpr qsizetype kShownChars = 8192;

// Cell editors write into their cell with every key, as the wide editor does, so the
// definition and the wide editor follow the typing.
class CellDelegate final : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor)) {
            QPersistentModelIndex cell(index);
            connect(line, &QLineEdit::textEdited, line, [cell](const QString& text) {
                if (cell.isValid())
                    const_cast<QAbstractItemModel*>(cell.model())
                        ->setData(cell, text, Qt::EditRole);
            });
        }
        return editor;
    }
};

} // namespace

// ---- GridWindow

GridWindow::GridWindow(GridState& state, const Library& library, DialogService& dialogs,
                       GridOptions options, QWidget* parent)
    : QDialog(parent), state_(state), library_(library), dialogs_(dialogs), options_(options),
      model_(state, kCellBase + options.offset) {
    setObjectName(IdName(kWindow));
    setWindowTitle(QStringLiteral("Vector / Matrix"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setModal(true);
    BuildControls();
    BuildMenu();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar_);
    layout->addWidget(client_);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().topLeft() + QPoint(249, 0));

    refresh_.setSingleShot(true);
    refresh_.setInterval(0);
    connect(&refresh_, &QTimer::timeout, this, [this] { RefreshOutput(); });
    // The definition is built from what the window shows, even before the first change.
    Changed();
}

GridWindow::~GridWindow() = default;

QString GridWindow::IdName(int id) const {
    return QString::number(id + options_.offset);
}

QWidget* GridWindow::control(int id) const {
    if (id + options_.offset == objectName().toInt()) return const_cast<GridWindow*>(this);
    return findChild<QWidget*>(IdName(id));
}

QAction* GridWindow::menuItem(int id) const {
    return findChild<QAction*>(IdName(id));
}

void GridWindow::BuildControls() {
    client_ = new QWidget(this);
    client_->setFixedSize(350, 300);
    // The controls have fixed pixel sizes: a small font keeps their texts whole.
    QFont small = client_->font();
    if (small.pointSizeF() > kControlPoints) small.setPointSizeF(kControlPoints);
    client_->setFont(small);
    auto place = [this](QWidget* w, int id, int x, int y, int width, int height) {
        w->setObjectName(IdName(id));
        w->setGeometry(x, y, width, height);
    };
    rows_ = new QLineEdit(QStringLiteral("0"), client_);
    place(rows_, kRows, 45, 10, 45, 20);
    cols_ = new QLineEdit(QStringLiteral("0"), client_);
    place(cols_, kCols, 150, 10, 45, 20);
    place(new QLabel(QStringLiteral("Rows"), client_), kRowsLabel, 5, 15, 40, 15);
    place(new QLabel(QStringLiteral("Columns"), client_), kColsLabel, 100, 15, 48, 15);
    auto* ok = new QPushButton(QStringLiteral("&OK"), client_);
    place(ok, kOk, 235, 40, 50, 20);
    ok->setDefault(true);
    auto* copy = new QPushButton(QStringLiteral("&Copy"), client_);
    place(copy, kCopy, 295, 40, 50, 20);
    place(new QLabel(QStringLiteral("Simb. Nm."), client_), kNameLabel, 5, 40, 60, 20);
    name_ = new QLineEdit(Text(state_.name), client_);
    name_->setMaxLength(static_cast<int>(kMaxNameChars));
    place(name_, kName, 65, 37, 45, 20);
    multiLine_ = new QCheckBox(QStringLiteral("Multi Line (DimX)"), client_);
    place(multiLine_, kMultiLine, 118, 43, 114, 15);
    multiLine_->setChecked(state_.multiLine);
    auto* generate = new QPushButton(QStringLiteral("&Generate Cells"), client_);
    place(generate, kGenerate, 235, 10, 100, 20);
    generate->setAutoDefault(false);
    copy->setAutoDefault(false);
    editor_ = new QLineEdit(client_);
    place(editor_, kCellEditor, 55, 63, 290, 20);
    place_ = new QLabel(QStringLiteral("R0,C0"), client_);
    place(place_, kCellLabel, 5, 65, 50, 15);
    output_ = new QPlainTextEdit(QStringLiteral("Output"), client_);
    place(output_, kOutput, 2, 262, 346, 36);
    output_->setReadOnly(true);
    output_->setLineWrapMode(QPlainTextEdit::NoWrap);
    output_->installEventFilter(this);

    // The cells' container exists from the first Generate Cells on.
    cells_ = new QTableView(client_);
    cells_->setObjectName(IdName(kCells));
    cells_->setModel(&model_);
    cells_->setItemDelegate(new CellDelegate(cells_));
    cells_->horizontalHeader()->hide();
    cells_->verticalHeader()->hide();
    for (QHeaderView* header : {cells_->horizontalHeader(), cells_->verticalHeader()}) {
        header->setMinimumSectionSize(1);
        header->setSectionResizeMode(QHeaderView::Fixed);
    }
    cells_->horizontalHeader()->setDefaultSectionSize(kCellWidth);
    cells_->verticalHeader()->setDefaultSectionSize(kCellHeight);
    cells_->setFrameStyle(QFrame::Box | QFrame::Plain);
    cells_->setSelectionMode(QAbstractItemView::SingleSelection);
    cells_->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                            QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    cells_->setTabKeyNavigation(true);
    cells_->hide();

    connect(ok, &QPushButton::clicked, this, [this] { Finish(); });
    connect(copy, &QPushButton::clicked, this, [this] { CopyDefinition(); });
    connect(generate, &QPushButton::clicked, this, [this] { GenerateCells(); });
    connect(name_, &QLineEdit::textChanged, this, [this](const QString& text) {
        state_.name = Text16(text);
        Changed();
    });
    connect(multiLine_, &QCheckBox::toggled, this, [this](bool on) {
        state_.multiLine = on;
        Changed();
    });
    connect(editor_, &QLineEdit::textEdited, this,
            [this](const QString& text) { EditorEdited(text); });
    connect(cells_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { CellFocused(current); });
    connect(&model_, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& from, const QModelIndex& to) { CellsEdited(from, to); });
}

void GridWindow::BuildMenu() {
    menuBar_ = new QMenuBar(this);
    menuBar_->setObjectName(IdName(kMenuBar));
    auto item = [this](QMenu* menu, int id, const char* text, auto run) {
        QAction* action = menu->addAction(QString::fromLatin1(text));
        action->setObjectName(IdName(id));
        connect(action, &QAction::triggered, this, run);
        return action;
    };
    QMenu* file = menuBar_->addMenu(QStringLiteral("&File"));
    item(file, kMenuOpen, "&Open", [this] { OpenFile(); });
    item(file, kMenuSave, "&Save", [this] { SaveFile(); });
    item(file, kMenuSaveAs, "Save &As", [this] { SaveFileAs(); });
    file->addSeparator();
    item(file, kMenuExit, "&Exit", [this] { Exit(); });
    QMenu* edit = menuBar_->addMenu(QStringLiteral("&Edit"));
    item(edit, kMenuCopy, "&Copy", [this] { CopyDefinition(); });
    item(edit, kMenuClear, "C&lear cells", [this] { ClearCells(); });
    QMenu* calculate = menuBar_->addMenu(QStringLiteral("&Calculate"));
    item(calculate, kMenuDeterminant, "&Determinant", [this] { Determinant(); });
    item(calculate, kMenuTranspose, "&Transpose", [this] { TransposeCells(); });
    item(calculate, kMenuInvert, "&Invert", [this] { Invert(); });
    item(calculate, kMenuOrtogonal, "&Ortogonal", [this] { Ortogonal(); });
    QMenu* info = menuBar_->addMenu(QStringLiteral("&Info"));
    item(info, kMenuAbout, "&About", [this] { ShowAbout(); });
}

int32_t GridWindow::Message(const QString& text, int32_t style, const QString& title) {
    return dialogs_.Message(this, title, text, style,
                            style == ZORBIT_MB_YESNO ? ZORBIT_ID_YES : ZORBIT_ID_OK);
}

// ---- the definition

void GridWindow::Changed() {
    dirty_ = true;
    refresh_.start();
}

const std::u16string& GridWindow::MatrixText() {
    if (dirty_ && !exited_) {
        state_.matrixText = Definition(state_);
        dirty_ = false;
    }
    return state_.matrixText;
}

std::optional<std::u16string> GridWindow::HandedBack() {
    if (exited_) return std::u16string();
    if (state_.cells.empty()) return std::nullopt;
    return MatrixText();
}

void GridWindow::RefreshOutput() {
    if (exited_) return;
    const std::u16string& definition = MatrixText();
    QString text;
    if (static_cast<qsizetype>(definition.size()) <= kShownChars) {
        text = Text(definition);
    } else {
        qsizetype cut = kShownChars;
        if (QChar::isHighSurrogate(definition[cut - 1])) --cut; // never half a character
        text = Text(std::u16string_view(definition).substr(0, cut)) + QStringLiteral("...");
    }
    if (text == shown_) return;
    shown_ = text;
    output_->setPlainText(text);
}

void GridWindow::ShowDefinitionTip() {
    QString text = Text(MatrixText());
    if (text.size() > kTipChars) text = text.left(kTipChars) + QStringLiteral("...");
    const QString title = Text(DefinitionTitle(state_));
    lastTooltip_ = title + QLatin1Char('\n') + text;
    QToolTip::showText(
        output_->mapToGlobal(QPoint(0, 0)),
        QStringLiteral("<b>") + title.toHtmlEscaped() + QStringLiteral("</b><br>") +
            text.toHtmlEscaped().replace(QStringLiteral("\r\n"), QStringLiteral("<br>")),
        output_);
}

bool GridWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == output_ && event->type() == QEvent::FocusIn) ShowDefinitionTip();
    return QDialog::eventFilter(watched, event);
}

// ---- the cells

void GridWindow::CommitEdit() {
    // An open cell editor hands its text to the cell when it loses the focus.
    QWidget* focus = QApplication::focusWidget();
    if (focus && cells_->viewport()->isAncestorOf(focus)) cells_->setFocus();
}

bool GridWindow::ReadShape(int& rows, int& cols) {
    const std::optional<int> r = CheckedCount(CountValue(Text16(rows_->text())));
    const std::optional<int> c = CheckedCount(CountValue(Text16(cols_->text())));
    if (!r || !c) {
        Message(Text(kCountMessage));
        return false;
    }
    rows = *r;
    cols = *c;
    return true;
}

void GridWindow::LayOut() {
    GridGeometry g = GeometryFor(state_.rows, state_.cols);
    if (const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen()) {
        // Room for the frame and the menu bar; the cells scroll in what is left.
        const QRect room = s->availableGeometry();
        g = FitGeometry(g, room.width() - 16, room.height() - menuBar_->sizeHint().height() - 48);
    }
    client_->setFixedSize(g.width, g.height);
    output_->setGeometry(2, g.outputTop, g.width - 4, 36);
    editor_->setGeometry(55, 63, g.width - 57, 20);
    cells_->setGeometry(2, g.cellsTop, g.width - 2, g.cellsHeight);
}

void GridWindow::ShowCells() {
    model_.Reset();
    LayOut();
    cells_->show();
    editor_->clear();
    place_->setText(QStringLiteral("R0,C0"));
    Changed();
}

void GridWindow::GenerateCells() {
    CommitEdit();
    // After an import the values go on in row order into the new shape; they are read
    // from the one-line form, whichever form is shown.
    if (!state_.imported) {
        Regenerate(nullptr);
        return;
    }
    GridState oneLine = state_;
    oneLine.multiLine = false;
    const std::u16string previous = Definition(oneLine);
    Regenerate(&previous);
}

void GridWindow::Regenerate(const std::u16string* values) {
    int rows = 0, cols = 0;
    if (!ReadShape(rows, cols)) return;
    ResetCells(state_, rows, cols);
    if (values) FillCells(state_, *values);
    ShowCells();
}

void GridWindow::ClearCells() {
    CommitEdit();
    int rows = 0, cols = 0;
    if (!ReadShape(rows, cols)) return;
    ResetCells(state_, rows, cols);
    ShowCells();
}

void GridWindow::CellFocused(const QModelIndex& index) {
    if (!index.isValid()) return;
    place_->setText(Text(PlaceLabel({index.row() + 1, index.column() + 1})));
    const QString text = model_.data(index, Qt::EditRole).toString();
    if (editor_->text() != text) editor_->setText(text);
}

void GridWindow::CellsEdited(const QModelIndex& from, const QModelIndex& to) {
    Changed();
    const QModelIndex current = cells_->currentIndex();
    if (current.isValid() && current.row() >= from.row() && current.row() <= to.row() &&
        current.column() >= from.column() && current.column() <= to.column())
        CellFocused(current);
}

void GridWindow::EditorEdited(const QString& text) {
    const QModelIndex current = cells_->currentIndex();
    if (current.isValid()) model_.setData(current, text, Qt::EditRole);
}

// ---- import

void GridWindow::OfferImport() {
    const std::u16string name = ImportName(state_.matrixText);
    if (name.empty() || RefusedName(name)) return;
    if (Message(QStringLiteral("Import matrix: ") + Text(name) + QStringLiteral("?"),
                ZORBIT_MB_YESNO, QStringLiteral("GridEntry module")) == ZORBIT_ID_YES)
        ImportLine(std::u16string(state_.matrixText), name);
}

bool GridWindow::RefusedName(std::u16string_view name) {
    const std::u16string why = NameTooLong(name);
    if (why.empty()) return false;
    Message(Text(why), 0, QStringLiteral("GridEntry module"));
    return true;
}

void GridWindow::ImportLine(const std::u16string& text, const std::u16string& name) {
    state_.imported = true;
    name_->setText(Text(name));
    rows_->setText(Text(zorbit::IntText(static_cast<long long>(CountValue(Field(text, 2))))));
    cols_->setText(Text(zorbit::IntText(static_cast<long long>(CountValue(Field(text, 3))))));
    Regenerate(&text);
    state_.matrixText.clear();
    Changed();
}

// ---- buttons and menu items

void GridWindow::Finish() {
    CommitEdit();
    accept();
}

void GridWindow::closeEvent(QCloseEvent* event) {
    CommitEdit();
    QDialog::closeEvent(event);
}

void GridWindow::keyPressEvent(QKeyEvent* event) {
    // Escape leaves as File > Exit does: nothing is handed back.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        Exit();
        return;
    }
    QDialog::keyPressEvent(event);
}

void GridWindow::Exit() {
    exited_ = true;
    dirty_ = false;
    state_.matrixText.clear();
    refresh_.stop();
    reject();
}

void GridWindow::CopyDefinition() {
    CommitEdit();
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(DialogText(MatrixText()));
}

void GridWindow::ShowAbout() {
    MessagesWindow* messages = options_.messages;
    if (!messages) return;
    const QString title = QStringLiteral("GridEntry Module");
    messages->Restart(title, FixedFont(QStringLiteral("Courier New"), 8));
    // Numbered as the messages writer numbers its lines; read from the top down.
    int number = 0;
    auto write = [&](std::u16string_view line) {
        messages->WriteLine(zorbit::IntText(++number) + u": " + std::u16string(line), -1);
    };
    write(Text16(title));
    const std::u16string about = AboutText() + u"\r\n";
    for (size_t pos = 0; pos < about.size();) {
        size_t end = about.find(u'\r', pos);
        if (end == std::u16string::npos) end = about.size();
        std::u16string_view piece(about.data() + pos, end - pos);
        if (!piece.empty() && piece.front() == u'\n') piece.remove_prefix(1);
        write(piece);
        pos = end + 1;
    }
}

void GridWindow::OpenFile() {
    CommitEdit();
    const QString file =
        dialogs_.OpenFileName(this, QStringLiteral("Open"), fileName_,
                              QStringLiteral("Text files (*.txt *.vex);;All files (*)"));
    if (file.isEmpty()) return;
    std::u16string line;
    std::string error;
    if (!ReadMatrixFile(file.toStdString(), line, error)) {
        Message(QStringLiteral("Unable to open file: ") + file + QStringLiteral("\n") +
                QString::fromStdString(error));
        return;
    }
    fileName_ = file;
    const std::u16string name = ImportName(line);
    if (!RefusedName(name)) ImportLine(line, name);
}

bool GridWindow::WriteTo(const QString& file) {
    std::string error;
    if (WriteMatrixFile(file.toStdString(), MatrixText(), error)) return true;
    Message(QStringLiteral("Error creating file.\n") + file + QStringLiteral(": ") +
            QString::fromStdString(error));
    return false;
}

void GridWindow::SaveFile() {
    CommitEdit();
    if (fileName_.isEmpty()) {
        SaveFileAs();
        return;
    }
    WriteTo(fileName_);
}

void GridWindow::SaveFileAs() {
    CommitEdit();
    const QString file =
        dialogs_.SaveFileName(this, QStringLiteral("Save As"), fileName_,
                              QStringLiteral("Text files (*.txt *.vex);;All files (*)"));
    if (file.isEmpty()) return;
    if (WriteTo(file)) fileName_ = file;
}

bool GridWindow::CanCalculate() {
    const std::string why = CannotCalculate(library_);
    if (why.empty()) return true;
    Message(QStringLiteral("Function yet to be implemented!\nMy apologies\n\n(") +
            QString::fromStdString(why) + QStringLiteral(")"));
    return false;
}

void GridWindow::Determinant() {
    CommitEdit();
    if (!CanCalculate()) return;
    const Calculation c = DeterminantOf(library_, state_);
    if (!c.error.empty()) {
        Message(Text(c.error));
        return;
    }
    if (options_.messages) options_.messages->WriteLine(c.text, -1);
}

void GridWindow::TransposeCells() {
    CommitEdit();
    Transpose(state_);
    rows_->setText(Text(zorbit::IntText(state_.rows)));
    cols_->setText(Text(zorbit::IntText(state_.cols)));
    ShowCells();
}

void GridWindow::Invert() {
    CommitEdit();
    if (!CanCalculate()) return;
    const Calculation c = InvertCells(library_, state_);
    if (!c.error.empty()) {
        Message(Text(c.error));
        return;
    }
    model_.AllChanged();
}

void GridWindow::Ortogonal() {
    CommitEdit();
    if (!CanCalculate()) return;
    const Calculation c = OrthogonalityOf(library_, state_);
    Message(Text(c.error.empty() ? c.text : c.error));
}

} // namespace vex::grid
