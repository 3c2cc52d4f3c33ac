#pragma once
// Entry slots: one per name the program binds from libzorbit.so, filled by name when the
// library is loaded (script/library_loader) and called only by the library's client
// (script/library_client). A name the library does not export leaves its slot empty, and
// nothing calls through an empty slot.

#include <array>
#include <cstdint>
#include <string_view>

#include "zorbit/zorbit.h"

namespace vex {

// Signatures of the routines the interpreter calls, taken from the library's header so
// that every typed slot is checked against the contract.
using FnAbout = decltype(&::aAbout);
using FnEval = decltype(&::e_eval);
using FnGetResultType = decltype(&::GetResultType);
using FnGetConst = decltype(&::e_get_const);
using FnGetError = decltype(&::GetE_Error);
using FnSetError = decltype(&::SetE_Error);
using FnGetErrorPos = decltype(&::GetE_ErrorPos);
using FnPreview = decltype(&::e_evalPreview);
using FnSetLastAnswer = decltype(&::SetLastAnswer);
using FnGetLastAnswer = decltype(&::GetLastAnswer);
using FnErrDescr = decltype(&::GetE_ErrDescr);
using FnSetErrorMsgs = decltype(&::SetErrorMsgs);
using FnSetInt = decltype(&::SetDebugF);
using FnSetVarFunct = decltype(&::SetVarFunct);
using FnFindVarFunct = decltype(&::FindVarFunct);
using FnGetVarFuncList = decltype(&::GetVarFuncList);
using FnGetVarFuncListLen = decltype(&::GetVarFuncListLen);
using FnResetAll = decltype(&::ReSetZiZoruze);
using FnNameList = decltype(&::GetNameList);
using FnFindMatrix = decltype(&::FindMatrix);
using FnSetStrMatrix = decltype(&::SetStrMatrix);
using FnGetMatrixList = decltype(&::GetMatrixList);
using FnPrint = decltype(&::aPrint);
using FnElemOrderEx = decltype(&::aElemOrderEx);
using FnDiff = decltype(&::e_diff);
using FnIntegrate = decltype(&::Integrate);
using FnSolve = decltype(&::dSolve);
using FnPolyDydx = decltype(&::lPoly_dydx);
using FnMessageBoxHook = decltype(&::SetMessageBoxHook);
using FnMessageWindowHook = decltype(&::SetMessageWindowHook);
using FnClipboardHook = decltype(&::SetClipboardHook);
using FnVersion = decltype(&::DisplayVerInfo);
using FnOperAndFuncs = decltype(&::GetDiff_OperAndFuncs);
using FnEvalsEx = decltype(&::e_evalsEx);
using FnDet = decltype(&::aDet);
using FnInv = decltype(&::aInv);
using FnMatrixTest = decltype(&::aMatrIsOrtog);
using FnAny = void (*)();

// Every bound name: group, name, slot type. Groups 1 to 5 in binding order; the
// host-service setters, the version reader and the plots' series come after them.
// clang-format off
#define VEX_ENTRY_SLOTS(X) \
    X(1, vexAttachProcess, FnSetInt) \
    X(1, vexAttachThread, FnSetInt) \
    X(1, vexDetachThread, FnSetInt) \
    X(1, vexDetachProcess, FnSetInt) \
    X(1, aAbout, FnAbout) \
    X(1, aCalcCoeffPolin, FnAny) \
    X(1, aCalcVectCoeff, FnAny) \
    X(1, aCopy, FnAny) \
    X(1, aCopyArray, FnAny) \
    X(1, aDet, FnDet) \
    X(1, aDetN, FnAny) \
    X(1, aDiag, FnAny) \
    X(1, aDiffMem, FnAny) \
    X(1, aDiff, FnAny) \
    X(1, aDiv, FnAny) \
    X(1, aDupl, FnAny) \
    X(1, aElemOrder, FnAny) \
    X(1, aElemOrderGet, FnAny) \
    X(1, aElemOrderSt, FnAny) \
    X(1, aElemOrderSet, FnSetInt) \
    X(1, aElemOrderEx, FnElemOrderEx) \
    X(1, aGetXsOfQuadr, FnAny) \
    X(1, aGetYPolin, FnAny) \
    X(1, aInv, FnInv) \
    X(1, aMatrAreEquals, FnAny) \
    X(1, aMatrAreOrtog, FnAny) \
    X(1, aMatrIsOrtog, FnMatrixTest) \
    X(1, aMatrIsSing, FnAny) \
    X(1, aMatrIsUnit, FnAny) \
    X(1, aMatrIsZero, FnAny) \
    X(1, aMatrMod, FnAny) \
    X(1, aMultEx, FnAny) \
    X(1, aMultSq, FnAny) \
    X(1, aMultVect, FnAny) \
    X(1, aMultVectSq, FnAny) \
    X(1, aOpp, FnAny) \
    X(1, aPow, FnAny) \
    X(1, aPrint, FnPrint) \
    X(1, aPrintEx, FnAny) \
    X(1, aProdScal, FnAny) \
    X(1, aSumScal, FnAny) \
    X(1, aShow, FnAny) \
    X(1, aShowByLong, FnAny) \
    X(1, aSist, FnAny) \
    X(1, aSum, FnAny) \
    X(1, aSumMem, FnAny) \
    X(1, aSwap, FnAny) \
    X(1, aSwapRC, FnAny) \
    X(1, aTrace, FnAny) \
    X(1, aTraceN, FnAny) \
    X(1, aTrasp, FnAny) \
    X(1, aTraspEx, FnAny) \
    X(1, aTraspSq, FnAny) \
    X(1, aVectMod, FnAny) \
    X(1, IntBezier2D, FnAny) \
    X(1, InterpLin, FnAny) \
    X(1, IsPrime, FnAny) \
    X(1, lIsPrime, FnAny) \
    X(1, SetDebugF, FnSetInt) \
    X(2, SetErrorMsgsF, FnSetInt) \
    X(2, GetDebugLog, FnAny) \
    X(2, ClearMatrixList, FnAny) \
    X(2, ClearVarFuncList, FnAny) \
    X(2, fact, FnAny) \
    X(2, FindMatrix, FnFindMatrix) \
    X(2, FindVarFunct, FnFindVarFunct) \
    X(2, GetMatrixByLong, FnAny) \
    X(2, GetMatrixList, FnGetMatrixList) \
    X(2, GetResultType, FnGetResultType) \
    X(2, GetVarFuncList, FnGetVarFuncList) \
    X(2, GetVarFuncListLen, FnGetVarFuncListLen) \
    X(2, GetNameList, FnNameList) \
    X(2, ReSetZiZoruze, FnResetAll) \
    X(2, SetBoolSign, FnSetInt) \
    X(2, SetPrecisionMode, FnSetInt) \
    X(2, GetPrecisionMode, FnGetResultType) \
    X(2, SetMatrix, FnAny) \
    X(2, SetStrMatrix, FnSetStrMatrix) \
    X(2, SetVarFunct, FnSetVarFunct) \
    X(2, ShowMsgs, FnAny) \
    X(2, e_eval, FnEval) \
    X(2, e_evals, FnAny) \
    X(2, e_get_const, FnGetConst) \
    X(3, GCF, FnAny) \
    X(3, LCM, FnAny) \
    X(3, dIntegrate, FnAny) \
    X(3, dPolySolve, FnAny) \
    X(3, NewtSolve, FnAny) \
    X(3, dSolve, FnSolve) \
    X(3, SolveD, FnAny) \
    X(3, Integrate, FnIntegrate) \
    X(3, lPoly_dydx, FnPolyDydx) \
    X(3, Poly_dydx, FnAny) \
    X(3, sPolyNewt, FnAny) \
    X(3, sSolve, FnAny) \
    X(4, SetDiffLogF, FnAny) \
    X(4, GetLast_diffErr, FnAny) \
    X(4, GetDiff_OperAndFuncs, FnOperAndFuncs) \
    X(4, e_diff, FnDiff) \
    X(5, GetE_ErrDescr, FnErrDescr) \
    X(5, GetE_Error, FnGetError) \
    X(5, SetE_Error, FnSetError) \
    X(5, SetErrorMsgs, FnSetErrorMsgs) \
    X(5, GetErrorMsgs, FnAny) \
    X(6, SetMessageBoxHook, FnMessageBoxHook) \
    X(6, SetMessageWindowHook, FnMessageWindowHook) \
    X(6, SetClipboardHook, FnClipboardHook) \
    X(6, DisplayVerInfo, FnVersion) \
    X(6, e_evalsEx, FnEvalsEx) \
    X(6, GetE_ErrorPos, FnGetErrorPos) \
    X(6, e_evalPreview, FnPreview) \
    X(6, SetLastAnswer, FnSetLastAnswer) \
    X(6, GetLastAnswer, FnGetLastAnswer)
// clang-format on

struct EntrySlots {
#define VEX_SLOT_MEMBER(group, name, type) type name = nullptr;
    VEX_ENTRY_SLOTS(VEX_SLOT_MEMBER)
#undef VEX_SLOT_MEMBER
};

struct SlotName {
    int group;
    std::string_view name;
};

#define VEX_SLOT_COUNT(group, name, type) +1
constexpr size_t kSlotCount = 0 VEX_ENTRY_SLOTS(VEX_SLOT_COUNT);
#undef VEX_SLOT_COUNT

// Every slot's name and group, in binding order.
const std::array<SlotName, kSlotCount>& SlotNames();

// Resolves every name through lookup (name -> address or null); returns how many were found.
template <typename Lookup> int FillSlots(EntrySlots& slots, Lookup&& lookup) {
    int found = 0;
#define VEX_SLOT_FILL(group, name, type)                                                           \
    slots.name = reinterpret_cast<type>(lookup(#name));                                            \
    if (slots.name) ++found;
    VEX_ENTRY_SLOTS(VEX_SLOT_FILL)
#undef VEX_SLOT_FILL
    return found;
}

// Looks a slot up by name; null when the name is unknown or its slot is empty.
FnAny SlotByName(const EntrySlots& slots, std::string_view name);

} // namespace vex
