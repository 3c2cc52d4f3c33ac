#pragma once
// The vector/matrix entry window: a modal dialog over a GridState. The rules are in
// grid_state; this class lays out the controls and turns user actions into them.

#include <QDialog>
#include <QTimer>
#include <optional>
#include <string>

#include "gridentry/grid_state.h"
#include "gridentry/window/cell_model.h"
#include "script/library_client.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenuBar;
class QPlainTextEdit;
class QTableView;

namespace vex {
class DialogService;
class MessagesWindow;
} // namespace vex

namespace vex::grid {

// Where the window writes its results, and what it adds to its identifiers.
struct GridOptions {
    MessagesWindow* messages = nullptr; // none: results are not shown
    int offset = 0;                     // added to every identifier
};

class GridWindow final : public QDialog {
  public:
    // The Calculate menu computes through library; dialogs answers every question.
    GridWindow(GridState& state, const Library& library, DialogService& dialogs,
               GridOptions options = {}, QWidget* parent = nullptr);
    ~GridWindow() override;

    // Offers the text's matrix for import (the Yes/No question), before the loop.
    void OfferImport();
    // The definition of the cells as they are now ("" after Exit).
    const std::u16string& MatrixText();
    // What the window hands back when its loop has ended: nothing when the grid was never
    // made (the caller's text stays), "" after Exit, else the definition.
    std::optional<std::u16string> HandedBack();
    bool exited() const { return exited_; }

    // The control or menu item with an identifier (without the offset).
    QWidget* control(int id) const;
    QAction* menuItem(int id) const;
    QTableView* cells() const { return cells_; }
    const GridState& state() const { return state_; }
    QString lastTooltip() const { return lastTooltip_; }

    // The window's operations, as the buttons and menu items run them.
    void GenerateCells();
    void ClearCells();
    void CopyDefinition();
    void Exit();
    void ShowAbout();
    void OpenFile();
    void SaveFile();
    void SaveFileAs();
    void Determinant();
    void TransposeCells();
    void Invert();
    void Ortogonal();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QString IdName(int id) const;
    void BuildControls();
    void BuildMenu();
    void ImportLine(const std::u16string& text, const std::u16string& name);
    // Says so when an import's name does not fit the name field.
    bool RefusedName(std::u16string_view name);
    bool ReadShape(int& rows, int& cols);
    // New cells in the shape of the rows and columns fields, filled from fields 4, 5, ...
    // of values when given.
    void Regenerate(const std::u16string* values);
    void CommitEdit();
    void Finish();
    bool WriteTo(const QString& file);
    void LayOut();
    void ShowCells();
    void Changed();
    void RefreshOutput();
    void CellFocused(const QModelIndex& index);
    void CellsEdited(const QModelIndex& from, const QModelIndex& to);
    void EditorEdited(const QString& text);
    void ShowDefinitionTip();
    // Whether the Calculate menu can use the library; says why not when it cannot.
    bool CanCalculate();
    int32_t Message(const QString& text, int32_t style = 0,
                    const QString& title = QStringLiteral("GridEntry"));

    GridState& state_;
    const Library& library_;
    DialogService& dialogs_;
    GridOptions options_;
    CellModel model_;
    QWidget* client_ = nullptr;
    QMenuBar* menuBar_ = nullptr;
    QLineEdit* rows_ = nullptr;
    QLineEdit* cols_ = nullptr;
    QLineEdit* name_ = nullptr;
    QCheckBox* multiLine_ = nullptr;
    QLineEdit* editor_ = nullptr;
    QLabel* place_ = nullptr;
    QPlainTextEdit* output_ = nullptr;
    QTableView* cells_ = nullptr;
    QTimer refresh_;
    QString shown_; // the definition field's text
    QString lastTooltip_;
    QString fileName_;   // the file Save writes
    bool dirty_ = false; // the cells changed since MatrixText was built
    bool exited_ = false;
};

} // namespace vex::grid
