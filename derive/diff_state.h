#pragma once
// State of the differentiator: the node table, the parser's position and the log
// bookkeeping. Part of the one context (context/context.h).

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zorbit {

// Token and node codes; one numbering for both.
enum DiffCode : int32_t {
    kDcEnd = 0,
    kDcOpen = 1,
    kDcClose = 2,
    kDcAdd = 3,
    kDcSub = 4,
    kDcMul = 5,
    kDcDiv = 6,
    kDcNum = 7,
    kDcName = 8,
    kDcNeg = 9,
    // A function node carries its row's code (engine/function_table.h), between these.
    kDcFirstFunction = 10,
    kDcLastFunction = 30,
    kDcPow = 31,
};

inline bool IsFunctionCode(int32_t code) {
    return code >= kDcFirstFunction && code <= kDcLastFunction;
}

// The node table starts small and grows on demand up to the ceiling; a formula and its
// derivative needing more nodes fail as "Too long formula". After a call the table is cut
// back to its start size, so one long formula does not keep its memory.
constexpr int32_t kDiffNodesAtStart = 5000;
constexpr int32_t kMaxDiffNodes = 1000000;
// Deepest recursion of the parser and of the tree walks; deeper fails as "Error in formula".
// Brackets, calls and powers nest; a chain of one precedence (a+b-c, a*b/c) counts once.
constexpr int32_t kMaxDiffNesting = 500;
// Longest formula and longest derivative text; longer fails as "Too long formula".
constexpr size_t kMaxDiffFormula = size_t{1} << 20;
constexpr size_t kMaxDiffText = size_t{1} << 22;

struct DiffNode {
    int32_t opCode = 0;
    std::u16string con;
    int32_t l = 0;
    int32_t r = 0;
};

struct DiffLogState {
    int8_t mode = 0;
    std::u16string fileName;
    int64_t lineCount = 0;
    std::u16string indent;
    // Entry lines not yet matched by an exit line, one counter per procedure name.
    std::vector<std::pair<std::u16string, int32_t>> open;
};

struct DiffState {
    std::vector<DiffNode> t = std::vector<DiffNode>(kDiffNodesAtStart + 1);
    int32_t Index = 0;
    std::u16string formula;
    std::u16string variable;
    int8_t errorFlag = 0;
    int32_t bc = 0;
    int32_t prevCode = 0;
    int32_t lastCode = 0;
    int32_t pos = 1;
    int32_t root = 0;
    int32_t derivRoot = 0;
    std::u16string c;          // text of the last token read
    int64_t lexCalls = 0;      // GetLex calls since load, shown in its log lines
    int32_t depth = 0;         // current recursion depth of the parser or a tree walk
    bool tooDeep = false;      // the nesting limit was hit in this call
    int32_t derivNodes = 0;    // nodes the derivative text will at least parse into
    bool tooLong = false;      // the node table or the derivative text ran out of room
    std::u16string result;     // the last derivative text
    std::u16string firstError; // first message of this call, for the error record
    // Left spines of the chains the walks are following (ChainSpine).
    std::vector<int32_t> spine;
    DiffLogState log;
};

// Part of the one context (context/context.h).
extern DiffState& g_diff;
inline DiffState& Diff() {
    return g_diff;
}

} // namespace zorbit
