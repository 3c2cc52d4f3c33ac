#include "matrix/store.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "common/number_text.h"
#include "common/text.h"
#include "engine/errors.h"
#include "engine/state.h"
#include "matrix/print.h"

namespace zorbit {

namespace {

// A canonical decimal handle ("0" or digits without a leading zero), else 0.
uint64_t ParseHandle(std::u16string_view key) {
    if (key.empty() || key.size() > 19 || (key.size() > 1 && key[0] == u'0')) return 0;
    uint64_t value = 0;
    for (char16_t c : key) {
        if (c < u'0' || c > u'9') return 0;
        value = value * 10 + static_cast<uint64_t>(c - u'0');
    }
    return value;
}

std::u16string HandleText(uint64_t handle) {
    return IntText(static_cast<long long>(handle));
}

std::u16string AddressText(const void* address) {
    return IntText(static_cast<long long>(reinterpret_cast<intptr_t>(address)));
}

// The counts a caller passes with its own storage: at least 1 each and no more elements
// than a matrix may hold, checked before any size is computed from them.
bool CallerCountsFit(int32_t rows, int32_t cols) {
    return rows >= 1 && cols >= 1 && static_cast<int64_t>(rows) * cols <= kMaxMatrixElements;
}

bool Matches(const MatrixEntry& entry, std::u16string_view key, uint64_t handle, int32_t flags) {
    if ((flags & kMatchByAddress) != 0 && handle != 0 && entry.handle == handle) return true;
    return (flags & kMatchByName) != 0 && entry.Name == key;
}

void TraceDeletion(const MatrixEntry& entry, intptr_t keep, bool deleted) {
    if (DebugLogOn()) {
        std::u16string line = u"arrList() = " + entry.Name;
        if (deleted)
            line += entry.Internal && keep != 0 ? u"   internal - deleted" : u"   deleted";
        else
            line += u" (" + HandleText(entry.handle) + u")   kept";
        DebugOut(line, u"", false);
    }
    if ((Engine().errors.MsgFlags & 2) != 0) {
        std::u16string text =
            u"MatrName = " + entry.Name + u"\r\n*aPtr = " + IntText(static_cast<long long>(keep));
        text += deleted ? u" => deleted\r\n" : u" => kept\r\n";
        text += MatrixText(entry.Addr, entry.rows, entry.cols, u"", u"", u"", false);
        DebugOut(text, u"ClearMatrixList", true);
    }
}

} // namespace

void BlockDeleter::operator()(double* block) const noexcept {
    if (block == nullptr) return;
    delete[] block;
    --Matrices().liveBlocks;
}

MatrixBlock AllocateBlock(size_t n) {
    MatrixBlock block(new double[n == 0 ? 1 : n]());
    ++Matrices().liveBlocks;
    return block;
}

int64_t LiveMatrixBlocks() {
    return Matrices().liveBlocks;
}

bool CountsFit(int64_t rows, int64_t cols) {
    if (rows == 0) rows = 1;
    if (cols == 0) cols = 1;
    if (rows < 0 || cols < 0 || rows > kMaxMatrixElements || cols > kMaxMatrixElements)
        return false;
    return rows * cols <= kMaxMatrixElements;
}

MatrixEntry* FindMatrixEntry(std::u16string_view key, int32_t flags, bool reportMissing) {
    MatrixStore& store = Matrices();
    E_Error() = ZORBIT_E_UNDEFINED;
    const std::u16string wanted = ToLower(TrimSpaces(key));
    const uint64_t handle = (flags & kMatchByAddress) != 0 ? ParseHandle(wanted) : 0;
    if ((flags & (kReturnAddress | kReturnIndex)) != 0) {
        for (size_t i = 0; i < store.arrList.size(); ++i) {
            if (!Matches(store.arrList[i], wanted, handle, flags)) continue;
            store.current = i;
            E_Error() = ZORBIT_NO_ERROR;
            return &store.arrList[i];
        }
    }
    E_Error() = ZORBIT_E_MATRIX_NOT_FOUND;
    if (reportMissing) ReportError(u"FindMatrix", 393, u"MatrName = " + std::u16string(key));
    return nullptr;
}

MatrixEntry* FindMatrixByHandle(uint64_t handle) {
    if (handle == 0) return nullptr;
    for (MatrixEntry& entry : Matrices().arrList)
        if (entry.handle == handle) return &entry;
    return nullptr;
}

MatrixEntry* FindMatrixByValue(double value, bool reportMissing) {
    // The decimal text of the value rounded to an integer, as the key of MatchByAddress.
    std::u16string key;
    if (std::isfinite(value) && std::fabs(value) < 9.0e18)
        key = IntText(std::llround(value));
    else
        key = ShortestText(value);
    return FindMatrixEntry(key, kMatchByAddress | kReturnAddress, reportMissing);
}

intptr_t FindMatrix(std::u16string_view key, int32_t flags, int32_t* rowsOut, int32_t* colsOut,
                    bool reportMissing) {
    const MatrixEntry* entry = FindMatrixEntry(key, flags, reportMissing);
    if (entry == nullptr) return 0;
    if (rowsOut != nullptr) *rowsOut = entry->rows;
    if (colsOut != nullptr) *colsOut = entry->cols;
    if ((flags & kReturnAddress) != 0) return reinterpret_cast<intptr_t>(entry->Addr);
    return static_cast<intptr_t>(Matrices().current);
}

MatrixEntry* CurrentMatrix() {
    MatrixStore& store = Matrices();
    return store.current < store.arrList.size() ? &store.arrList[store.current] : nullptr;
}

intptr_t SetMatrix(std::u16string_view name, double* storage, int32_t rows, int32_t cols,
                   bool returnAddress, MatrixBlock owned, bool scratch) {
    if (!CountsFit(rows, cols) || storage == nullptr) {
        const int32_t code =
            storage == nullptr ? ZORBIT_E_INVALID_ARGUMENT : ZORBIT_E_WRONG_STRING_MATRIX;
        E_Error() = code;
        ReportError(u"SetMatrix", 0,
                    u"MatrixName = " + std::u16string(name) + u"\r\nrows = " + IntText(rows) +
                        u", cols = " + IntText(cols));
        return code;
    }
    if (rows == 0) rows = 1;
    if (cols == 0) cols = 1;
    const bool isVector = rows == 1 || cols == 1;
    MatrixStore& store = Matrices();
    MatrixEntry* entry = FindMatrixEntry(name, kMatchByName | kReturnIndex, false);
    if (entry == nullptr) {
        MatrixEntry fresh;
        fresh.Name = ToLower(name);
        fresh.Addr = storage;
        fresh.Internal = scratch || Engine().eval.InEvaluation;
        fresh.rows = rows;
        fresh.cols = cols;
        fresh.index = static_cast<int32_t>(store.arrList.size());
        fresh.vector = isVector;
        fresh.handle = store.nextHandle++;
        fresh.owned = std::move(owned);
        store.arrList.push_back(std::move(fresh));
        store.current = store.arrList.size() - 1;
        entry = &store.arrList.back();
    } else if (entry->rows == rows && entry->cols == cols) {
        // A redefinition keeps the entry's storage; the values go in unchanged, exactly
        // as a new entry would have taken them. Library storage handed in is freed here.
        if (storage != entry->Addr)
            std::memmove(entry->Addr, storage, static_cast<size_t>(rows) * cols * sizeof(double));
    } else {
        if (storage != entry->Addr) {
            entry->owned = std::move(owned);
            entry->Addr = storage;
        }
        entry->rows = rows;
        entry->cols = cols;
        entry->vector = isVector;
    }
    E_Error() = ZORBIT_NO_ERROR;
    return returnAddress ? reinterpret_cast<intptr_t>(entry->Addr) : entry->index;
}

int32_t ClearMatrixList(intptr_t keep) {
    MatrixStore& store = Matrices();
    int32_t deleted = 0;
    std::vector<MatrixEntry> kept;
    kept.reserve(store.arrList.size());
    for (MatrixEntry& entry : store.arrList) {
        const bool isKept =
            keep != 0 && (!entry.Internal || static_cast<intptr_t>(entry.handle) == keep ||
                          reinterpret_cast<intptr_t>(entry.Addr) == keep);
        TraceDeletion(entry, keep, !isKept);
        if (isKept)
            kept.push_back(std::move(entry));
        else
            ++deleted;
    }
    store.arrList = std::move(kept);
    store.current = 0;
    E_Error() = ZORBIT_NO_ERROR;
    return deleted;
}

const char16_t* GetMatrixList(bool withValues) {
    MatrixStore& store = Matrices();
    std::u16string& text = store.listText;
    text = u"Matrix List: Count:" + IntText(static_cast<long long>(store.arrList.size())) + u"\r\n";
    long long n = 0;
    for (const MatrixEntry& entry : store.arrList) {
        text += u" - Name: " + entry.Name + u" - nr. " + IntText(++n) + u"\r\n";
        text += u"     Addr: " + HandleText(entry.handle) + u"\r\n";
        text += u"     Internal: " + IntText(entry.Internal ? -1 : 0) + u"\r\n";
        text += u"     rows: " + IntText(entry.rows) + u"\r\n";
        text += u"     cols: " + IntText(entry.cols) + u"\r\n";
        text += u"     index: " + IntText(entry.index) + u"\r\n";
        text += u"     vector: " + IntText(entry.vector ? -1 : 0);
        if (withValues) {
            std::u16string values =
                MatrixText(entry.Addr, entry.rows, entry.cols, u"", u"", u"", false);
            if (values.size() > 1000) values.resize(1000);
            text += u"     ";
            text += TrimSpaces(values);
            text += u"\r\n";
        }
        text += u"\r\n";
    }
    return text.c_str();
}

int32_t GetMatrixByLong(const double* source, double* destination, int32_t rows, int32_t cols) {
    if (source == nullptr || destination == nullptr) {
        E_Error() = ZORBIT_E_MATRIX_BY_LONG;
        ReportError(u"GetMatrixByLong", 536,
                    u"SrcMemID = " + AddressText(source) + u", *aDest = " +
                        AddressText(destination));
        return ZORBIT_E_MATRIX_BY_LONG;
    }
    if (!CallerCountsFit(rows, cols)) {
        E_Error() = ZORBIT_E_RETURNED_VALUE;
        ReportError(u"GetMatrixByLong", 543,
                    u"rows = " + IntText(rows) + u", cols = " + IntText(cols));
        return ZORBIT_E_RETURNED_VALUE;
    }
    return aCopyArray(source, destination, rows, cols);
}

namespace {
bool Reorders() {
    const MatrixStore& store = Matrices();
    return store.ElementOrder == 1 && store.PlainCopy == 0;
}
} // namespace

int32_t aCopyArray(const double* source, double* destination, int32_t rows, int32_t cols) {
    if (source == nullptr || destination == nullptr) return ZORBIT_E_MATRIX_BY_LONG;
    if (!CallerCountsFit(rows, cols)) return ZORBIT_E_RETURNED_VALUE;
    const size_t r = static_cast<size_t>(rows), c = static_cast<size_t>(cols);
    if (!Reorders()) {
        std::memmove(destination, source, r * c * sizeof(double));
        return ZORBIT_NO_ERROR;
    }
    // Source element m = i + j*rows (column by column) goes to i*cols + j.
    for (size_t j = 0; j < c; ++j)
        for (size_t i = 0; i < r; ++i)
            destination[i * c + j] = source[i + j * r];
    return ZORBIT_NO_ERROR;
}

void CopyToCaller(const double* source, double* destination, int32_t rows, int32_t cols) {
    if (source == nullptr || destination == nullptr || rows <= 0 || cols <= 0) return;
    const size_t r = static_cast<size_t>(rows), c = static_cast<size_t>(cols);
    if (!Reorders()) {
        std::memmove(destination, source, r * c * sizeof(double));
        return;
    }
    for (size_t j = 0; j < c; ++j)
        for (size_t i = 0; i < r; ++i)
            destination[i + j * r] = source[i * c + j];
}

int32_t aCopy(const double* source, int32_t rows, int32_t cols, double* destination) {
    if (source == nullptr || destination == nullptr) return ZORBIT_E_MATRIX_BY_LONG;
    if (!CallerCountsFit(rows, cols)) return ZORBIT_E_RETURNED_VALUE;
    std::memmove(destination, source,
                 static_cast<size_t>(rows) * static_cast<size_t>(cols) * sizeof(double));
    return ZORBIT_NO_ERROR;
}

int32_t aElemOrder(const double* probe) {
    if (probe == nullptr) return 17;
    Matrices().ElementOrder = probe[1] == 2.0 ? 0 : 1;
    return Matrices().ElementOrder;
}

int32_t aElemOrderSet(int32_t order) {
    if (order == 0 || order == 1) {
        Matrices().ElementOrder = order;
        return ZORBIT_NO_ERROR;
    }
    Matrices().ElementOrder = -1;
    return 17;
}

int32_t aElemOrderGet() {
    return Matrices().ElementOrder;
}

int32_t aElemOrderSt(std::u16string_view label) {
    Matrices().ElementOrder = (label == u"Visual Basic" || label == u"VB") ? 1 : 0;
    return Matrices().ElementOrder;
}

int32_t aElemOrderEx(const void* argument, int32_t mode) {
    switch (mode) {
    case 0:
        return aElemOrder(static_cast<const double*>(argument));
    case 2:
        if (argument == nullptr) return 17;
        return aElemOrderSet(*static_cast<const int32_t*>(argument));
    case 3:
        return aElemOrderGet();
    default:
        return 0;
    }
}

void DropScratch(uint64_t handle) {
    MatrixStore& store = Matrices();
    std::vector<MatrixEntry>& list = store.arrList;
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i].handle != handle || !list[i].Internal) continue;
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
        if (store.current >= list.size()) store.current = 0;
        return;
    }
}

void DropScratchSince(uint64_t firstHandle) {
    MatrixStore& store = Matrices();
    std::vector<MatrixEntry>& list = store.arrList;
    const auto from = std::remove_if(list.begin(), list.end(), [&](const MatrixEntry& e) {
        return e.Internal && e.handle >= firstHandle;
    });
    if (from == list.end()) return;
    list.erase(from, list.end());
    store.current = 0;
}

} // namespace zorbit
