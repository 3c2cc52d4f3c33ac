#pragma once
// The list of named matrices (arrList), its definition strings, lookup and the copy
// primitives every matrix operation rests on.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zorbit {

// Storage the library allocates itself; the deleter keeps the live count.
struct BlockDeleter {
    void operator()(double* block) const noexcept;
};
using MatrixBlock = std::unique_ptr<double[], BlockDeleter>;

// Zeroed storage of n doubles (n >= 1), counted until it is freed.
MatrixBlock AllocateBlock(size_t n);
// Blocks allocated by the library and not yet freed.
int64_t LiveMatrixBlocks();

struct MatrixEntry {
    std::u16string Name;    // lower case, not trimmed
    double* Addr = nullptr; // element storage
    bool Internal = false;  // a scratch matrix of the evaluator
    int32_t rows = 1;
    int32_t cols = 1;
    int32_t index = 0; // position in arrList when created
    bool vector = false;
    uint64_t handle = 0; // what MatchByAddress and a matrix value inside an expression name
    MatrixBlock owned;   // set when Addr is the library's own storage
};

struct MatrixStore {
    std::vector<MatrixEntry> arrList;
    int32_t ElementOrder = -1; // -1 not set, 0 row by row, 1 column by column
    int32_t PlainCopy = 0;
    size_t current = 0; // the entry FindMatrix matched last
    // Both outlive a reset of the context: a handle is never reused within a process,
    // and blocks still held elsewhere stay counted.
    uint64_t nextHandle = 1;
    int64_t liveBlocks = 0;
    std::u16string listText; // result of GetMatrixList
};

// Part of the one context (context/context.h).
extern MatrixStore& g_matrices;
inline MatrixStore& Matrices() {
    return g_matrices;
}

// FindMatrix flags.
enum : int32_t {
    kReturnAddress = 1,
    kReturnIndex = 2,
    kMatchByAddress = 8,
    kMatchByName = 32,
};

// Largest number of elements a matrix the library allocates may hold.
constexpr int64_t kMaxMatrixElements = 1000000;

// True when rows and cols (after 0 becomes 1) are positive and their product fits.
bool CountsFit(int64_t rows, int64_t cols);

// The entry matching key by flags, or null (error state 14, reported when asked).
MatrixEntry* FindMatrixEntry(std::u16string_view key, int32_t flags, bool reportMissing);
// The entry of a matrix value inside an expression (MatchByAddress with the handle).
MatrixEntry* FindMatrixByValue(double value, bool reportMissing);
MatrixEntry* FindMatrixByHandle(uint64_t handle);
// Export semantics: storage address or list position per flags; 0 when not found.
intptr_t FindMatrix(std::u16string_view key, int32_t flags, int32_t* rowsOut, int32_t* colsOut,
                    bool reportMissing);

// Registers storage under name. `owned` carries storage the library allocated (freed when
// the entry goes, or right away when its values are copied into an existing entry);
// `scratch` marks an evaluator entry as Internal whatever InEvaluation says.
// Result: index, or the storage address when returnAddress; 11 on counts that do not fit.
intptr_t SetMatrix(std::u16string_view name, double* storage, int32_t rows, int32_t cols,
                   bool returnAddress, MatrixBlock owned = {}, bool scratch = false);
// The entry SetMatrix touched last (the store's current entry).
MatrixEntry* CurrentMatrix();

intptr_t SetStrMatrix(std::u16string_view definition, bool returnAddress, bool evaluate);
// keep: the handle (or storage address) of the entry to keep; 0 deletes every entry.
int32_t ClearMatrixList(intptr_t keep);
const char16_t* GetMatrixList(bool withValues);
int32_t GetMatrixByLong(const double* source, double* destination, int32_t rows, int32_t cols);

// Caller's order to library order (column-by-column source when ElementOrder is 1).
int32_t aCopyArray(const double* source, double* destination, int32_t rows, int32_t cols);
// Library order back to the caller's order (the inverse of aCopyArray).
void CopyToCaller(const double* source, double* destination, int32_t rows, int32_t cols);
int32_t aCopy(const double* source, int32_t rows, int32_t cols, double* destination);

int32_t aElemOrder(const double* probe);
int32_t aElemOrderSet(int32_t order);
int32_t aElemOrderGet();
int32_t aElemOrderSt(std::u16string_view label);
int32_t aElemOrderEx(const void* argument, int32_t mode);

// Removes the scratch entry of handle (an operand an operation has used up).
void DropScratch(uint64_t handle);
// Removes the scratch entries registered since the handle counter stood at firstHandle.
void DropScratchSince(uint64_t firstHandle);

} // namespace zorbit
