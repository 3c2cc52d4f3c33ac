#include "shell/window/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QCursor>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProxyStyle>
#include <QRegularExpression>
#include <QScreen>
#include <QTableView>
#include <QToolTip>
#include <algorithm>
#include <iostream>
#include <memory>
#include <new>

#include "common/number_text.h"
#include "common/text.h"
#include "gridentry/window/grid_window.h"
#include "gridentry/window/run_grid.h"
#include "platform/qt/dialogs.h"
#include "platform/qt/fonts.h"
#include "platform/qt/qt_text.h"
#include "script/file_outputs.h"
#include "script/report_windows.h"
#include "shell/completion.h"
#include "shell/history_file.h"
#include "shell/list_file.h"
#include "shell/window/completer.h"
#include "shell/window/help_label.h"
#include "shell/window/list_fit.h"
#include "shell/window/live_result.h"
#include "shell/window/names_dock.h"
#include "shell/window/syntax_colours.h"
#include "zorbit/codes.h"

namespace vex {

namespace {

const QString kListFilter = QStringLiteral("vex Calc files (*.vxc);;All files (*)");

// The list's font as the settings name it; no name is the settings' default.
QFont ListFont(const QString& family, int pointSize) {
    return FixedFont(family.trimmed().isEmpty() ? QStringLiteral("Lucida Console") : family,
                     pointSize);
}

// Fusion draws a table's grid in a shade of the window colour, black on the black
// scheme: the list's grid takes its palette's mid colour instead.
class GridLineStyle final : public QProxyStyle {
  public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == SH_Table_GridLineColor && widget)
            return static_cast<int>(widget->palette().color(QPalette::Mid).rgba());
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

struct MenuEntry {
    MenuItem item;
    const char* text;
    QKeySequence keys;
};

} // namespace

MainWindow::MainWindow(Program& program, const Library& library, DialogService& dialogs,
                       WindowPlatform& platform, QWidget* parent)
    : QMainWindow(parent), program_(program), library_(library), dialogs_(dialogs),
      platform_(platform), settings_(program.settings), model_(list_) {
    setWindowTitle(QStringLiteral("vex Calulator"));
    BuildMenus();
    BuildGadgets();
    BuildEntryAids();
    platform_.SetOwner(this);

    // The stored place, unless no screen shows it any more.
    std::vector<GadgetRect> screens;
    if (QScreen* primary = QGuiApplication::primaryScreen()) {
        const QRect a = primary->availableGeometry();
        screens.push_back({a.x(), a.y(), a.width(), a.height()});
    }
    for (QScreen* s : QGuiApplication::screens()) {
        if (s == QGuiApplication::primaryScreen()) continue;
        const QRect a = s->availableGeometry();
        screens.push_back({a.x(), a.y(), a.width(), a.height()});
    }
    const GadgetRect placed =
        PlaceWindow({settings_.wndX, settings_.wndY, settings_.wndW, settings_.wndH}, screens);
    setMinimumSize(kMinWindowWidth, kMinWindowHeight);
    move(placed.x, placed.y);
    resize(placed.w, placed.h);

    view_->setColumnWidth(0, std::max(settings_.NumWidth, 8));
    view_->setColumnWidth(1, std::max(settings_.ExprWidth, 8));
    ApplyFont();
    action(MenuItem::BlackWhite)->setChecked(settings_.mnuBlackWhite == 1);
    action(MenuItem::ToolTip)->setChecked(settings_.ToolTip == 1);
    action(MenuItem::LiveResult)->setChecked(settings_.LiveResult == 1);
    live_->SetEnabled(settings_.LiveResult == 1);
    names_->setVisible(settings_.NamesPanel == 1);
    std::string historyNote;
    history_.Load(ReadHistory(HistoryPath(program_.configPath), &historyNote));
    if (!historyNote.empty()) std::cerr << "vexcalc: " << historyNote << "\n";
    ShowNumberSettings();
    ApplyColours(settings_.mnuBlackWhite == 1);
    SetInfo(QStringLiteral("New file"));
    entry_->setFocus();
}

MainWindow::~MainWindow() {
    platform_.SetOwner(nullptr);
}

QAction* MainWindow::action(MenuItem item) const {
    return actions_[static_cast<size_t>(item)];
}

void MainWindow::BuildMenus() {
    const auto add = [this](QMenu* menu, std::initializer_list<MenuEntry> entries) {
        for (const MenuEntry& e : entries) {
            if (!e.text) {
                menu->addSeparator();
                continue;
            }
            QAction* a = menu->addAction(QString::fromUtf8(e.text));
            a->setShortcut(e.keys);
            actions_[static_cast<size_t>(e.item)] = a;
        }
    };
    QMenuBar* bar = menuBar();
    add(bar->addMenu(QStringLiteral("&File")),
        {{MenuItem::New, "&New", QKeySequence::New},
         {MenuItem::Open, "&Open", QKeySequence::Open},
         {MenuItem::Save, "&Save", QKeySequence::Save},
         {MenuItem::SaveAs, "Save &As", QKeySequence(QStringLiteral("Ctrl+Shift+S"))},
         {MenuItem::Exit, nullptr, {}},
         {MenuItem::Exit, "&Exit", QKeySequence(QStringLiteral("Ctrl+Q"))}});
    add(bar->addMenu(QStringLiteral("&Edit")),
        {{MenuItem::Cut, "&Cut", QKeySequence::Cut},
         {MenuItem::Copy, "Co&py", QKeySequence::Copy},
         {MenuItem::CopyResult, "Copy &result", QKeySequence(QStringLiteral("Ctrl+Shift+C"))},
         {MenuItem::Paste, "&Paste", QKeySequence::Paste},
         {MenuItem::Matrix, "&Matrix", {}},
         {MenuItem::ClearList, nullptr, {}},
         {MenuItem::ClearList, "C&lear list", {}},
         {MenuItem::DeleteItems, "&Delete item(s)", QKeySequence::Delete},
         {MenuItem::SelectAll, "&Select all", QKeySequence::SelectAll}});
    QMenu* config = bar->addMenu(QStringLiteral("&Config"));
    add(config, {{MenuItem::Font, "&Font", {}},
                 {MenuItem::BlackWhite, "&Black-White", {}},
                 {MenuItem::Decimals, "&Decimals", {}},
                 {MenuItem::Separator, "Se&parator", {}},
                 {MenuItem::ToolTip, "&ToolTip", {}},
                 {MenuItem::LiveResult, "&Live result", {}},
                 {MenuItem::FullPrecision, nullptr, {}},
                 {MenuItem::FullPrecision, "F&ull precision", {}}});
    QMenu* format = config->addMenu(QStringLiteral("Number f&ormat"));
    add(format,
        {{MenuItem::FormatFixed, "Fi&xed decimals", {}}, {MenuItem::FormatAuto, "&Auto", {}}});
    auto* formats = new QActionGroup(this);
    formats->setExclusive(true);
    for (MenuItem item : {MenuItem::FormatFixed, MenuItem::FormatAuto}) {
        action(item)->setCheckable(true);
        formats->addAction(action(item));
    }
    action(MenuItem::FullPrecision)->setCheckable(true);
    add(bar->addMenu(QStringLiteral("&Tools")), {{MenuItem::ShowMemory, "Show &Memory", {}},
                                                 {MenuItem::ShowCommands, "Show &Commands", {}},
                                                 {MenuItem::ShowFunctions, "Show &Functions", {}}});
    add(bar->addMenu(QStringLiteral("&Info")), {{MenuItem::About, "&About", {}}});
    action(MenuItem::BlackWhite)->setCheckable(true);
    action(MenuItem::ToolTip)->setCheckable(true);
    action(MenuItem::LiveResult)->setCheckable(true);

    const auto on = [this](MenuItem item, auto&& slot) {
        connect(action(item), &QAction::triggered, this, std::forward<decltype(slot)>(slot));
    };
    on(MenuItem::New, [this] { NewList(); });
    on(MenuItem::Open, [this] { Open(); });
    on(MenuItem::Save, [this] { Save(false); });
    on(MenuItem::SaveAs, [this] { Save(true); });
    on(MenuItem::Exit, [this] { close(); });
    on(MenuItem::Cut, [this] { CopyRows(true); });
    on(MenuItem::Copy, [this] { CopyRows(false); });
    on(MenuItem::CopyResult, [this] { CopyResult(); });
    on(MenuItem::Paste, [this] { Paste(); });
    on(MenuItem::Matrix, [this] { Matrix(); });
    on(MenuItem::ClearList, [this] { NewList(); });
    on(MenuItem::DeleteItems, [this] { DeleteItems(); });
    on(MenuItem::SelectAll, [this] { view_->selectAll(); });
    on(MenuItem::Font, [this] { ChooseFont(); });
    on(MenuItem::BlackWhite, [this] { ToggleBlackWhite(); });
    on(MenuItem::Decimals, [this] { AskDecimals(); });
    on(MenuItem::Separator, [this] { AskSeparator(); });
    on(MenuItem::ToolTip, [this] { ToggleToolTip(); });
    on(MenuItem::LiveResult, [this] {
        settings_.LiveResult = action(MenuItem::LiveResult)->isChecked() ? 1 : 0;
        live_->SetEnabled(settings_.LiveResult == 1);
        ApplyLayout();
    });
    on(MenuItem::FullPrecision,
       [this] { SetFullPrecision(action(MenuItem::FullPrecision)->isChecked()); });
    on(MenuItem::FormatFixed, [this] { SetNumberFormat(NumberFormat::Fixed); });
    on(MenuItem::FormatAuto, [this] { SetNumberFormat(NumberFormat::Auto); });
    on(MenuItem::ShowMemory, [this] { ShowMemoryWindow(program_.host); });
    on(MenuItem::ShowCommands, [this] { ShowCommandsWindow(program_.host); });
    on(MenuItem::ShowFunctions, [this] { ShowFunctions(); });
    on(MenuItem::About, [this] { ShowAboutWindow(program_.host); });
}

void MainWindow::BuildGadgets() {
    client_ = new QWidget(this);
    setCentralWidget(client_);
    info_ = new QLabel(QStringLiteral("Info"), client_);
    view_ = new QTableView(client_);
    entry_ = new QLineEdit(client_);
    help_ = new HelpLabel(client_);
    help_->setText(QStringLiteral("Help"));
    live_ = new LiveResult(library_, program_.host.interp, program_.KeywordList, entry_, client_);
    info_->setTextFormat(Qt::PlainText);

    view_->setModel(&model_);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setWordWrap(false);
    view_->setShowGrid(true);
    auto* gridStyle = new GridLineStyle;
    gridStyle->setParent(view_);
    view_->setStyle(gridStyle);
    view_->setTextElideMode(Qt::ElideRight);
    view_->verticalHeader()->hide();
    view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view_->horizontalHeader()->setStretchLastSection(false);
    view_->horizontalHeader()->setHighlightSections(false);
    view_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    view_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    connect(view_, &QTableView::clicked, this, [this](const QModelIndex& i) { ShowTooltip(i); });
    // A row shows its tooltip once per click sequence; once the rows change, the row
    // number no longer names the same text.
    const auto forgetTip = [this] { lastTipRow_ = -1; };
    connect(&model_, &QAbstractItemModel::modelReset, this, forgetTip);
    connect(&model_, &QAbstractItemModel::rowsInserted, this, forgetTip);
    connect(&model_, &QAbstractItemModel::rowsRemoved, this, forgetTip);
    connect(view_, &QTableView::doubleClicked, this, [this](const QModelIndex& i) { TakeRow(i); });

    entry_->installEventFilter(this);
    client_->installEventFilter(this);
}

void MainWindow::BuildEntryAids() {
    view_->setItemDelegateForColumn(1, new SyntaxDelegate(view_));
    new ListFit(view_);
    new EntryColours(entry_);
    completer_ = new EntryCompleter(entry_, library_, program_.KeywordList, program_.helpText);
    names_ = new NamesDock(
        library_,
        [this](const QString& name) {
            entry_->insert(name);
            entry_->setFocus();
        },
        this);
    addDockWidget(Qt::RightDockWidgetArea, names_);
    names_->hide();
    QAction* names = names_->toggleViewAction();
    names->setText(QStringLiteral("&Names"));
    menuBar()
        ->insertMenu(menuBar()->actions().value(2), new QMenu(QStringLiteral("&View"), this))
        ->menu()
        ->addAction(names);
    // A line may define or drop names: both read them again when next needed.
    const auto stale = [this] {
        completer_->MarkStale();
        names_->MarkStale();
    };
    connect(&model_, &QAbstractItemModel::rowsInserted, this, stale);
    connect(&model_, &QAbstractItemModel::modelReset, this, stale);
    // The help line follows the command being typed, and goes back to what it showed
    // when the word typed is no command with help.
    auto before = std::make_shared<std::optional<QString>>();
    connect(entry_, &QLineEdit::textChanged, this, [this, before](const QString& text) {
        const auto entry = TypedCommandHelp(program_.KeywordList, program_.helpText, Text16(text));
        if (entry) {
            if (!*before) *before = help_->text();
            help_->setText(Text(*entry));
        } else if (*before) {
            if (!text.isEmpty()) help_->setText(**before);
            before->reset();
        }
    });
}

QAction* MainWindow::namesAction() const {
    return names_->toggleViewAction();
}

void MainWindow::ApplyLayout() {
    const WindowLayout l = LayoutFor(client_->width(), client_->height(), view_->columnWidth(0),
                                     live_->enabled() ? kPreviewHeight : 0);
    const auto place = [](QWidget* w, const GadgetRect& r) {
        w->setGeometry(r.x, r.y, std::max(r.w, 0), std::max(r.h, 0));
    };
    place(info_, l.info);
    place(view_, l.list);
    place(entry_, l.entry);
    place(live_->label(), l.preview);
    place(help_, l.help);
    view_->setColumnWidth(1, std::max(l.exprWidth, 8));
}

void MainWindow::ApplyColours(bool whiteOnBlack) {
    const QColor back = whiteOnBlack ? Qt::black : Qt::white;
    const QColor text = whiteOnBlack ? Qt::white : Qt::black;
    QPalette list = view_->palette();
    list.setColor(QPalette::Base, back);
    list.setColor(QPalette::Text, text);
    list.setColor(QPalette::Window, back);
    // Table grid lines take the palette's mid colour.
    list.setColor(QPalette::Mid, QColor(150, 150, 150));
    view_->setPalette(list);
    QPalette line = entry_->palette();
    line.setColor(QPalette::Base, back);
    line.setColor(QPalette::Text, text);
    entry_->setPalette(line);
    action(MenuItem::ToolTip)->setChecked(settings_.ToolTip == 1);
}

void MainWindow::ApplyFont() {
    if (settings_.curFontName.empty()) {
        settings_.curFontName = settings_.DefFontName;
        settings_.curFontSize = settings_.DefFontSize;
    }
    const QFont font = ListFont(Text(settings_.curFontName), settings_.curFontSize);
    view_->setFont(font);
    entry_->setFont(font);
    view_->verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 4);
}

void MainWindow::SetInfo(const QString& text) {
    info_->setText(text);
}

void MainWindow::ShowHelpFor(const std::u16string& text) {
    const std::optional<std::u16string> entry = HelpEntry(program_.helpText, text);
    if (entry && help_->text() != Text(*entry)) help_->setText(Text(*entry));
}

int32_t MainWindow::Ask(const QString& title, const QString& text, int32_t style,
                        int32_t defaultAnswer) {
    return dialogs_.Message(this, title, text, style, defaultAnswer);
}

bool MainWindow::EnterLine(const QString& typed, int64_t* errorAt) {
    if (errorAt) *errorAt = -1;
    const std::u16string text = Text16(typed);
    if (zorbit::TrimSpaces(text).empty()) return false;
    if (IsCommand(program_.KeywordList, text)) ShowHelpFor(text);
    EntryResult result = RunLine(text);
    if (!loading_) history_.Add(text);
    if (result.outOfMemory) {
        Ask(QStringLiteral("vex Calc"),
            QStringLiteral("Not enough memory to evaluate the line; the list is unchanged."),
            ZORBIT_MB_OK | ZORBIT_MB_ICONWARNING, ZORBIT_ID_OK);
        return true;
    }
    // A typed line's error tells its column; rows read from a list file do not.
    for (EntryRow& row : result.rows) {
        if (row.kind != RowKind::Error || row.position < 0) continue;
        if (errorAt) *errorAt = row.position;
        row.text += u" at column " + zorbit::IntText(static_cast<long long>(row.position + 1));
        break;
    }
    const bool failed = result.error;
    model_.Append(result);
    // Scrolled when the events next run, ahead of the repaint (posted at low priority):
    // lines entered faster than the screen repaints scroll the view once, not per line.
    if (!loading_ && !scrollPending_) {
        scrollPending_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                scrollPending_ = false;
                view_->scrollToBottom();
            },
            Qt::QueuedConnection);
    }
    return failed;
}

std::vector<size_t> MainWindow::SelectedRows() const {
    std::vector<size_t> rows;
    for (const QModelIndex& i : view_->selectionModel()->selectedRows())
        rows.push_back(static_cast<size_t>(i.row()));
    std::sort(rows.begin(), rows.end());
    return rows;
}

bool MainWindow::ConfirmDiscard() {
    if (!HasUnsavedRows(list_)) return true;
    const int32_t answer =
        Ask(QStringLiteral("vex Calc"),
            QStringLiteral("List not saved.\nDo you want to save it before clearing it?"),
            kYesNoCancel | ZORBIT_MB_ICONWARNING, ZORBIT_ID_YES);
    if (answer == ZORBIT_ID_YES) return Save(true);
    return answer == ZORBIT_ID_NO;
}

void MainWindow::NewList() {
    if (loading_ || !ConfirmDiscard()) return;
    model_.Clear();
    SetInfo(QStringLiteral("New file"));
}

void MainWindow::Open() {
    if (loading_ || !ConfirmDiscard()) return;
    const QString name =
        dialogs_.OpenFileName(this, QStringLiteral("Open"), lastOpenName_, kListFilter);
    if (name.isEmpty()) return;
    lastOpenName_ = name;
    OpenListFile(name);
}

namespace {

// Most files the question names; the rest are counted.
constexpr size_t kNamedFiles = 10;

constexpr std::u16string_view kNotRun = u"not run: writes a file";

} // namespace

// Which expressions of a list being opened may run: those that write no file, and those
// that do when the user says so, asked once for the whole list.
std::vector<bool> MainWindow::AskWhichRowsRun(const ListExpressions& expressions) {
    std::vector<bool> runs(expressions.size(), true);
    std::vector<std::u16string> files;
    for (size_t k = 0; k < expressions.size(); ++k) {
        // Text that is no command becomes "Expr = ...", which writes nothing.
        if (!IsCommand(program_.KeywordList, expressions[k])) continue;
        const std::vector<std::u16string> written = FilesWritten(program_.host, expressions[k]);
        if (written.empty()) continue;
        runs[k] = false;
        for (const std::u16string& f : written)
            if (std::find(files.begin(), files.end(), f) == files.end()) files.push_back(f);
    }
    if (files.empty()) return runs;
    QString text = QStringLiteral("Rows of this list write files when they run:\n");
    for (size_t k = 0; k < std::min(files.size(), kNamedFiles); ++k)
        text += QStringLiteral("\n    ") + Text(files[k]);
    if (files.size() > kNamedFiles)
        text += QStringLiteral("\n    and %1 more").arg(files.size() - kNamedFiles);
    text += QStringLiteral("\n\nRun these rows? Yes runs them; No skips them, and they stay "
                           "in the list marked \"") +
            Text(kNotRun) + QStringLiteral("\".");
    const int32_t answer = Ask(QStringLiteral("vex Calc"), text,
                               ZORBIT_MB_YESNO | ZORBIT_MB_ICONWARNING, ZORBIT_ID_NO);
    if (answer == ZORBIT_ID_YES) runs.assign(runs.size(), true);
    return runs;
}

EntryResult MainWindow::RunListExpression(std::u16string_view expression) {
    return RunLine(expression);
}

EntryResult MainWindow::RunLine(std::u16string_view text) {
    const InterpreterState before = program_.host.interp;
    EntryResult result = RunEntryLine(program_.host, program_.KeywordList, text);
    // A Precision or Format line changes the setting as the menu does.
    const InterpreterState& after = program_.host.interp;
    if (after.precision != before.precision || after.format != before.format) {
        settings_.Precision = after.precision;
        settings_.Format = after.format;
        ShowNumberSettings();
    }
    return result;
}

bool MainWindow::OpenListFile(const QString& name) {
    if (loading_) return false;
    ListExpressions expressions;
    std::string error;
    if (!ReadListFile(name.toStdString(), expressions, error)) {
        Ask(QStringLiteral("vex Calc"),
            QStringLiteral("Error opening file.\n") + name + QStringLiteral("\n") +
                QString::fromStdString(error),
            ZORBIT_MB_OK | ZORBIT_MB_ICONWARNING, ZORBIT_ID_OK);
        return false;
    }
    const std::vector<bool> runs = AskWhichRowsRun(expressions);
    model_.Clear();
    // Most expressions give one result row: room for those at once, rather than the
    // list growing by doubling (and holding old and new rows while it moves them).
    try {
        list_.rows.reserve(2 * expressions.size());
    } catch (const std::bad_alloc&) {
        // Grown row by row instead.
    }
    loading_ = true;
    cancelLoading_ = false;
    // Rows go to the view in batches, and the events run now and then: a long list keeps
    // the window drawn and, past the delay, shows its progress with a Cancel button.
    QElapsedTimer clock;
    clock.start();
    std::unique_ptr<ProgressDialog> progress;
    qint64 lastStep = 0;
    std::vector<ListRow> batch;
    size_t notRun = 0, done = 0;
    bool stopped = false;
    const size_t total = expressions.size();
    for (; done < total && !stopped; ++done) {
        EntryResult result;
        if (runs[done]) {
            result = RunListExpression(expressions[done]);
            if (result.outOfMemory) {
                Ask(QStringLiteral("vex Calc"),
                    QStringLiteral("Not enough memory to evaluate the line; the rest of the list "
                                   "is not read."),
                    ZORBIT_MB_OK | ZORBIT_MB_ICONWARNING, ZORBIT_ID_OK);
                stopped = true;
                break;
            }
        } else {
            result.text = EntryText(program_.KeywordList, expressions[done]);
            result.rows.emplace_back().text = kNotRun;
            result.rows.back().kind = RowKind::Failure;
            result.error = true;
            ++notRun;
        }
        AppendEntryRows(batch, list_.counter, std::move(result));
        if (done % 64 != 63) continue;
        const qint64 now = clock.elapsed();
        if (!progress && now >= progressDelay_) {
            model_.AppendRows(batch);
            progress = dialogs_.Progress(this, QStringLiteral("vex Calc"),
                                         QStringLiteral("Opening ") + name);
            lastStep = -1000;
        }
        if (progress && now - lastStep >= 100) {
            lastStep = now;
            model_.AppendRows(batch);
            stopped =
                !progress->Step(static_cast<int64_t>(done + 1), static_cast<int64_t>(total)) ||
                cancelLoading_;
        }
    }
    model_.AppendRows(batch);
    progress.reset();
    loading_ = false;
    if (done < total) {
        // What was read stays, but it is not the file: a save must ask for a name.
        const std::u16string note =
            u"  opening stopped: " + zorbit::IntText(static_cast<long long>(done)) + u" of " +
            zorbit::IntText(static_cast<long long>(total)) + u" expressions were read";
        std::vector<ListRow> mark{{u"=", note}};
        model_.AppendRows(mark);
        view_->scrollToBottom();
        list_.saved = false;
        list_.fileName.clear();
        SetInfo(QStringLiteral("Not all of ") + name +
                QStringLiteral(" was read; the list is unsaved"));
        return true;
    }
    view_->scrollToBottom();
    list_.saved = true;
    list_.fileName = Text16(name);
    SetInfo(
        QStringLiteral("File: ") + name +
        (notRun ? QStringLiteral(" (%1 rows not run: they write files)").arg(notRun) : QString()));
    return true;
}

bool MainWindow::Save(bool askName) {
    QString name = Text(list_.fileName);
    if (askName || name.isEmpty()) {
        name = dialogs_.SaveFileName(this, QStringLiteral("Save As"), name, kListFilter);
        // A dismissed dialog forgets the name, so the next Save asks again.
        list_.fileName.clear();
        if (name.isEmpty()) return false;
        if (QFileInfo(name).suffix().isEmpty() && !QFileInfo::exists(name)) {
            name += QStringLiteral(".vxc");
            // The dialog asked about the name as typed, not about this one.
            if (QFileInfo::exists(name) &&
                Ask(QStringLiteral("Save As"),
                    name + QStringLiteral(" already exists.\nDo you want to replace it?"),
                    ZORBIT_MB_YESNO | ZORBIT_MB_ICONWARNING, ZORBIT_ID_NO) != ZORBIT_ID_YES)
                return false;
        }
    }
    std::string error;
    if (!WriteListFile(name.toStdString(), list_.rows, error)) {
        Ask(QStringLiteral("vex Calc"),
            QStringLiteral("Error creating file.\n") + name + QStringLiteral("\n") +
                QString::fromStdString(error),
            ZORBIT_MB_OK | ZORBIT_MB_ICONWARNING, ZORBIT_ID_OK);
        return false;
    }
    list_.saved = true;
    list_.fileName = Text16(name);
    SetInfo(QStringLiteral("File: ") + name);
    return true;
}

void MainWindow::CopyRows(bool cut) {
    const std::vector<size_t> rows = SelectedRows();
    if (rows.empty()) return;
    platform_.platform().clipboard->PutText(ClipboardText(list_, rows));
    if (cut) model_.Remove(rows);
}

void MainWindow::CopyResult() {
    const std::optional<std::u16string> text = ResultText(list_, SelectedRows());
    if (!text) {
        QApplication::beep();
        return;
    }
    platform_.platform().clipboard->PutText(*text);
}

void MainWindow::Paste() {
    QString text = QGuiApplication::clipboard()->text();
    const qsizetype end = text.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
    if (end >= 0) text.truncate(end);
    entry_->insert(text);
    entry_->setFocus();
}

void MainWindow::Matrix() {
    // The window's Calculate menu uses this program's library.
    // The definition comes back whole, however large the grid.
    const std::optional<std::u16string> back =
        grid::RunGrid(Text16(entry_->text()), library_, dialogs_,
                      {&platform_.messages(), grid::kCompiledInOffset}, this);
    if (!back || back->empty()) return;
    entry_->setText(Text(*back));
    activateWindow();
    entry_->setFocus();
    entry_->end(false);
}

void MainWindow::DeleteItems() {
    model_.Remove(SelectedRows());
}

void MainWindow::ChooseFont() {
    const std::optional<QFont> font =
        dialogs_.ChooseFont(this, ListFont(Text(settings_.curFontName), settings_.curFontSize));
    if (!font) return;
    settings_.curFontName = Text16(font->family());
    if (font->pointSize() > 0) settings_.curFontSize = font->pointSize();
    ApplyFont();
}

void MainWindow::ToggleBlackWhite() {
    // The action has already flipped its check mark.
    const bool whiteOnBlack = action(MenuItem::BlackWhite)->isChecked();
    settings_.mnuBlackWhite = whiteOnBlack ? 1 : 0;
    ApplyColours(whiteOnBlack);
}

void MainWindow::AskDecimals() {
    const std::optional<QString> answer =
        dialogs_.InputText(this, QStringLiteral("vex Calc Input"),
                           QStringLiteral("Input number of decimals for results:"),
                           QString::number(settings_.Decimals));
    if (!answer) return;
    const std::optional<int32_t> decimals = DecimalsAnswer(Text16(*answer));
    if (!decimals) {
        Ask(QStringLiteral("vex Calc Error"), QStringLiteral("Invalid number"), ZORBIT_MB_OK,
            ZORBIT_ID_OK);
        return;
    }
    // The command line refuses these too, with the same words.
    if (*decimals > kMaxDecimals) {
        Ask(QStringLiteral("vex Calc Error"),
            QStringLiteral("Decimals ") + QString::fromLatin1(kDecimalsRange), ZORBIT_MB_OK,
            ZORBIT_ID_OK);
        return;
    }
    settings_.Decimals = *decimals;
    program_.host.interp.decimals = *decimals;
    live_->Refresh();
}

void MainWindow::SetFullPrecision(bool full) {
    const int32_t mode = full ? ZORBIT_PRECISION_FULL : ZORBIT_PRECISION_CLASSIC;
    if (library_.SetPrecisionMode(mode) == -1) {
        Ask(QStringLiteral("vex Calc Error"),
            QStringLiteral("This library has no full precision; Classic stays."), ZORBIT_MB_OK,
            ZORBIT_ID_OK);
    } else {
        program_.host.interp.precision = mode;
        settings_.Precision = mode;
    }
    ShowNumberSettings();
}

void MainWindow::SetNumberFormat(NumberFormat format) {
    program_.host.interp.format = format;
    settings_.Format = format;
    ShowNumberSettings();
}

void MainWindow::ShowNumberSettings() {
    const InterpreterState& s = program_.host.interp;
    const bool full = s.precision == ZORBIT_PRECISION_FULL;
    action(MenuItem::FullPrecision)->setChecked(full);
    action(s.format == NumberFormat::Auto ? MenuItem::FormatAuto : MenuItem::FormatFixed)
        ->setChecked(true);
    setWindowTitle(full ? QStringLiteral("vex Calulator - Full precision")
                        : QStringLiteral("vex Calulator"));
    live_->Refresh();
}

void MainWindow::AskSeparator() {
    const std::optional<QString> answer =
        dialogs_.InputText(this, QStringLiteral("vex Calc Input"),
                           QStringLiteral("Input separator character(s) for multiple values:"),
                           Text(settings_.sSeparator));
    if (answer) settings_.sSeparator = Text16(*answer);
}

void MainWindow::ToggleToolTip() {
    settings_.ToolTip = action(MenuItem::ToolTip)->isChecked() ? 1 : 0;
    lastTipRow_ = -1;
}

void MainWindow::ShowFunctions() {
    const std::u16string text = library_.OperatorsAndFunctions();
    if (text.empty()) return;
    platform_.messages().ShowText(text + u"\r\n");
}

void MainWindow::ShowTooltip(const QModelIndex& index) {
    if (settings_.ToolTip != 1 || !index.isValid() || index.row() == lastTipRow_) return;
    lastTipRow_ = index.row();
    lastTip_ = Text(TooltipText(list_, static_cast<size_t>(index.row())));
    QToolTip::showText(QCursor::pos(), lastTip_, view_);
}

void MainWindow::TakeRow(const QModelIndex& index) {
    if (!index.isValid()) return;
    const ListRow& row = list_.rows[static_cast<size_t>(index.row())];
    // A number comes whole, as Copy result gives it; other rows as they read.
    const std::u16string text = row.value ? zorbit::PlainNumberText(*row.value) : row.text;
    // Typed text is kept: the row goes in at the caret, as a paste would put it.
    if (!entry_->text().isEmpty()) {
        entry_->insert(Text(std::u16string(zorbit::TrimSpaces(text))));
        entry_->setFocus();
        return;
    }
    entry_->setText(Text(text));
    ShowHelpFor(text);
    entry_->setFocus();
}

void MainWindow::RecallOlder() {
    if (const auto line = history_.Older(Text16(entry_->text()))) entry_->setText(Text(*line));
}

void MainWindow::RecallNewer() {
    if (const auto line = history_.Newer()) entry_->setText(Text(*line));
}

void MainWindow::Escape() {
    // Typed text is never lost to one key: the first Escape clears it.
    if (!entry_->text().isEmpty()) {
        entry_->clear();
        return;
    }
    if (!ConfirmDiscard()) return;
    escaping_ = true;
    close();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == client_ && event->type() == QEvent::Resize) {
        ApplyLayout();
        return false;
    }
    if (watched != entry_) return false;
    if (event->type() == QEvent::ShortcutOverride) {
        // The menu's Paste takes the clipboard's first line, also in the entry line.
        if (static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste)) {
            event->accept();
            return true;
        }
        return false;
    }
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->matches(QKeySequence::Paste)) {
        Paste();
        return true;
    }
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        const QString text = entry_->text();
        if (text.trimmed().isEmpty()) return true;
        int64_t at = -1;
        // A failed line stays to be mended, its failing character selected.
        if (!EnterLine(text, &at)) {
            entry_->clear();
        } else if (at >= 0 && at < text.size()) {
            entry_->setSelection(static_cast<int>(at), 1);
        } else {
            entry_->end(false);
        }
        return true;
    }
    case Qt::Key_Escape:
        Escape();
        return true;
    case Qt::Key_Up:
        RecallOlder();
        return true;
    case Qt::Key_Down:
        RecallNewer();
        return true;
    default:
        return false;
    }
}

ShellSettings MainWindow::CurrentSettings() const {
    ShellSettings s = settings_;
    const QRect normal = isMaximized() || isFullScreen() ? normalGeometry() : geometry();
    const QPoint at = isMaximized() || isFullScreen() ? normal.topLeft() : pos();
    s.wndX = at.x();
    s.wndY = at.y();
    s.wndW = normal.width();
    s.wndH = normal.height();
    s.NumWidth = view_->columnWidth(0);
    s.ExprWidth = view_->columnWidth(1);
    s.mnuBlackWhite = action(MenuItem::BlackWhite)->isChecked() ? 1 : 0;
    s.ToolTip = action(MenuItem::ToolTip)->isChecked() ? 1 : 0;
    s.LiveResult = action(MenuItem::LiveResult)->isChecked() ? 1 : 0;
    s.NamesPanel = names_->toggleViewAction()->isChecked() ? 1 : 0;
    return s;
}

void MainWindow::WriteConfiguration() {
    if (program_.configPath.empty()) return;
    std::string error;
    if (!vex::WriteConfiguration(program_.configPath, CurrentSettings(), error))
        std::cerr << "vexcalc: the configuration cannot be written to " << program_.configPath
                  << ": " << error << "\n";
}

void MainWindow::WriteHistory() {
    const std::string path = HistoryPath(program_.configPath);
    if (path.empty()) return;
    std::string error;
    if (!vex::WriteHistory(path, history_.lines(), error))
        std::cerr << "vexcalc: the entry history cannot be written to " << path << ": " << error
                  << "\n";
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (loading_) {
        // The open stops at its next step; the window closes when asked again.
        cancelLoading_ = true;
        event->ignore();
        return;
    }
    if (!escaping_ && !ConfirmDiscard()) {
        event->ignore();
        return;
    }
    // Escape ends the program without writing the configuration; the lines typed are
    // kept either way.
    if (!escaping_) WriteConfiguration();
    WriteHistory();
    platform_.messages().Close();
    // Plot windows end with the program.
    if (PlotService* plots = platform_.platform().plot) plots->CloseAll();
    event->accept();
}

} // namespace vex
