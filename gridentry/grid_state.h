#pragma once
// The matrix-entry window's rules without Qt: the cell grid, the definition line it
// hands back, the import of a "Matr = " line, the window geometry and the caller's
// buffer. The window (grid_window) only shows this state.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vex::grid {

// Identifiers of the window's controls and menu items; the copy compiled into the
// calculator adds kCompiledInOffset to every one, CellBase included.
enum Id : int {
    kWindow = 100,
    kRows = 101,
    kCols = 102,
    kRowsLabel = 103,
    kColsLabel = 104,
    kOk = 105,
    kCopy = 106,
    kNameLabel = 107,
    kName = 108,
    kMultiLine = 109,
    kGenerate = 110,
    kCellEditor = 111,
    kCellLabel = 112,
    kOutput = 113,
    kCells = 114,
    kMenuBar = 115,
    kMenuOpen = 116,
    kMenuSave = 117,
    kMenuSaveAs = 118,
    kMenuExit = 119,
    kMenuCopy = 120,
    kMenuClear = 121,
    kMenuDeterminant = 122,
    kMenuTranspose = 123,
    kMenuInvert = 124,
    kMenuOrtogonal = 125,
    kMenuAbout = 126,
    kCellBase = 227,
};
inline constexpr int kCompiledInOffset = 930;

// Rows and columns each go from 0 to this.
inline constexpr int kMaxSide = 256;
// Cells are 80 x 20 pixels.
inline constexpr int kCellWidth = 80;
inline constexpr int kCellHeight = 20;

struct GridState {
    int rows = 0, cols = 0;            // as Generate Cells or Clear cells last read them
    std::vector<std::u16string> cells; // rows * cols texts, row by row
    std::u16string name = u"[mA]";
    bool multiLine = false;
    bool imported = false; // an import took place: regenerating refills from the text
    std::u16string matrixText;
};

// The name a text offers for import: between the first and second "=", trimmed, up
// to the first ";". Empty when the text has no "=".
std::u16string ImportName(std::u16string_view text);
// The name field's room: a longer name would be cut by the field and the definition
// would lose its closing bracket, so such an import is refused.
inline constexpr size_t kMaxNameChars = 32767;
// The refusal of an import whose name does not fit; empty when it fits.
std::u16string NameTooLong(std::u16string_view name);

// The integer value of a rows or columns text: leading blanks, a sign and digits;
// the fraction is dropped and anything else reads 0.
double CountValue(std::u16string_view text);
// A count within 0..kMaxSide, or nothing.
std::optional<int> CheckedCount(double value);
inline constexpr std::u16string_view kCountMessage =
    u"Rows and columns must be whole numbers from 0 to 256.";

// Field k (from 1) of a ";"-separated text, untrimmed; empty past the end.
std::u16string_view Field(std::u16string_view text, int k);

// Resizes the grid to rows x cols with every cell empty.
void ResetCells(GridState& state, int rows, int cols);
// Fills the cells in row order from fields 4, 5, ... of text (trimmed); cells past the
// last field stay as they are, fields past the last cell are ignored.
void FillCells(GridState& state, std::u16string_view text);

// The definition line of the cells: the one-line "Matr = " form or the "DimX = " rows.
std::u16string Definition(const GridState& state);
// The name without its surrounding brackets ("[mA]" gives "mA").
std::u16string_view BareName(std::u16string_view name);

// Row and column (from 1) of a cell identifier; base is kCellBase plus the offset.
struct CellPlace {
    int row = 0, col = 0;
};
CellPlace PlaceOf(int id, int cols, int base);
int IdOf(int row, int col, int cols, int base);
// "R2,C3".
std::u16string PlaceLabel(CellPlace place);

// The tooltip's title over the definition: "Vector: " or "Matrix: " and the name.
std::u16string DefinitionTitle(const GridState& state);

// Window geometry after Generate Cells (client pixels).
struct GridGeometry {
    int width = 0, height = 0;
    int cellsTop = 0, cellsHeight = 0; // the cells' container
    int outputTop = 0;                 // the definition field
};
GridGeometry GeometryFor(int rows, int cols);
// The geometry cut to the room a screen offers; the cells then scroll.
GridGeometry FitGeometry(GridGeometry g, int maxWidth, int maxHeight);

// The About lines, separated by CR LF.
std::u16string AboutText();

// Swaps rows and columns, cell texts included.
void Transpose(GridState& state);

// Writes the first min(capacity, text length) characters and a terminating zero into
// buffer (capacity: the length of the text the buffer held). A null buffer or a
// capacity of 0 gets nothing written. Returns the number of characters written.
int32_t HandBack(char16_t* buffer, size_t capacity, std::u16string_view text);

// The first "Matr = " line of a file's text ("" when none).
std::u16string_view MatrixLineOf(std::u16string_view text);

// Largest file Open reads.
inline constexpr size_t kMaxMatrixFileBytes = size_t{16} << 20;
// The first "Matr = " line of a file; false with error set when the file cannot be read,
// is too large or has no such line.
bool ReadMatrixFile(const std::string& path, std::u16string& line, std::string& error);
// Writes the definition as UTF-8 with LF line ends through a temporary file and a
// rename; false with error set on failure (the old file stays).
bool WriteMatrixFile(const std::string& path, std::u16string_view definition, std::string& error);

} // namespace vex::grid
