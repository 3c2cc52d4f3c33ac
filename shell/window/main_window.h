#pragma once
// The calculator's main window: menu bar, information line, the expression list, the
// entry line and the help line. Enter hands the line to the interpreter and appends
// the expression and its results; the rules live in Qt-free code (shell/).

#include <QMainWindow>
#include <array>
#include <optional>

#include "platform/qt/window_platform.h"
#include "script/library_client.h"
#include "shell/expression_list.h"
#include "shell/list_file.h"
#include "shell/startup.h"
#include "shell/window/list_model.h"
#include "shell/window_logic.h"

class QLabel;
class QLineEdit;
class QTableView;

namespace vex {

class EntryCompleter;
class NamesDock;
class LiveResult;

// The menu items, numbered as the window has always numbered them.
enum class MenuItem {
    New = 4,
    Open = 5,
    Save = 6,
    SaveAs = 7,
    Exit = 8,
    Cut = 9,
    Copy = 10,
    Paste = 11,
    Matrix = 12,
    ClearList = 13,
    DeleteItems = 14,
    SelectAll = 15,
    Font = 16,
    BlackWhite = 17,
    Decimals = 19,
    Separator = 20,
    ToolTip = 21,
    ShowMemory = 22,
    ShowCommands = 23,
    ShowFunctions = 24,
    About = 25,
    FullPrecision = 26,
    FormatFixed = 27,
    FormatAuto = 28,
    LiveResult = 29,
    CopyResult = 30,
};

class MainWindow final : public QMainWindow {
  public:
    // program has been started with platform's services; the window calls the library
    // through library, asks its questions through dialogs and keeps using the platform's
    // other services (messages window, clipboard, plots).
    MainWindow(Program& program, const Library& library, DialogService& dialogs,
               WindowPlatform& platform, QWidget* parent = nullptr);
    ~MainWindow() override;

    QLineEdit* entryLine() const { return entry_; }
    QTableView* listView() const { return view_; }
    QLabel* infoLine() const { return info_; }
    QLabel* helpLine() const { return help_; }
    EntryCompleter* completer() const { return completer_; }
    NamesDock* namesDock() const { return names_; }
    // View > Names.
    QAction* namesAction() const;
    LiveResult* liveResult() const { return live_; }
    QAction* action(MenuItem item) const;
    const ExpressionList& list() const { return list_; }
    const ShellSettings& settings() const { return settings_; }
    // The text of the tooltip last shown on the list.
    const QString& lastTooltip() const { return lastTip_; }
    // True once the window was closed with Escape: the configuration stays unwritten.
    bool escaped() const { return escaping_; }

    // What Enter in the entry line does with text: true when the line failed, with
    // *errorAt the offset in text where it failed (-1 unknown).
    bool EnterLine(const QString& text, int64_t* errorAt = nullptr);
    // Opens a list file by name, as File > Open does after its dialog: its expressions
    // are evaluated again, those that would write files only when the user says so.
    // False when the file was not read (the list and its name are as they were).
    bool OpenListFile(const QString& name);
    // How long an open runs before its progress dialog shows (tests shorten it).
    void SetProgressDelay(int milliseconds) { progressDelay_ = milliseconds; }
    // The settings as they are written at exit (position, sizes, fonts, options).
    ShellSettings CurrentSettings() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildMenus();
    void BuildGadgets();
    void ApplyLayout();
    void ApplyColours(bool whiteOnBlack);
    void ApplyFont();
    void ShowHelpFor(const std::u16string& text);
    void SetInfo(const QString& text);
    std::vector<size_t> SelectedRows() const;
    int32_t Ask(const QString& title, const QString& text, int32_t style, int32_t defaultAnswer);

    // The menu's operations.
    bool ConfirmDiscard();
    void NewList();
    void Open();
    bool Save(bool askName);
    std::vector<bool> AskWhichRowsRun(const ListExpressions& expressions);
    EntryResult RunListExpression(std::u16string_view expression);
    // One line through the interpreter; the menus follow a setting command in it.
    EntryResult RunLine(std::u16string_view text);
    void CopyRows(bool cut);
    void CopyResult();
    void Paste();
    void Matrix();
    void DeleteItems();
    void ChooseFont();
    void ToggleBlackWhite();
    void AskDecimals();
    void SetFullPrecision(bool full);
    void SetNumberFormat(NumberFormat format);
    // The menu's check marks and the title as the interpreter's settings are.
    void ShowNumberSettings();
    void AskSeparator();
    void ToggleToolTip();
    void ShowFunctions();
    void ShowTooltip(const QModelIndex& index);
    void TakeRow(const QModelIndex& index);
    void RecallOlder();
    void RecallNewer();
    void Escape();
    void WriteConfiguration();
    void WriteHistory();
    // Completion, the names dock, colours, the help that follows the typing, the list's
    // fit: each in its own file, tied to the gadgets here.
    void BuildEntryAids();

    Program& program_;
    const Library& library_;
    DialogService& dialogs_;
    WindowPlatform& platform_;
    ShellSettings settings_;
    ExpressionList list_;
    ListModel model_;
    EntryHistory history_;
    QWidget* client_ = nullptr;
    QLabel* info_ = nullptr;
    QTableView* view_ = nullptr;
    QLineEdit* entry_ = nullptr;
    QLabel* help_ = nullptr;
    EntryCompleter* completer_ = nullptr;
    NamesDock* names_ = nullptr;
    LiveResult* live_ = nullptr;
    std::array<QAction*, 31> actions_{};
    QString lastOpenName_;
    QString lastTip_;
    int lastTipRow_ = -1;
    bool loading_ = false;
    bool cancelLoading_ = false; // the window was closed while a list was being opened
    int progressDelay_ = 500;
    bool scrollPending_ = false;
    bool escaping_ = false;
};

} // namespace vex
