#pragma once
// Left-leaning chains of one precedence (a+b-c+..., a*b/c*...). The parser builds them
// without recursion, so the tree walks follow their left spines in a loop and recurse
// only into the other operands: a chain of any length costs one level of nesting.

#include <cstddef>
#include <cstdint>

#include "derive/diff_state.h"

namespace zorbit {

// Whether the left operand of node carries node's chain on (same precedence class).
bool ContinuesChain(int32_t node);

// The left spine of one chain, top first, kept on the state's shared stack while a walk
// uses it; walks of the operands push their own spines above it and pop them again.
class ChainSpine {
  public:
    ChainSpine();
    ~ChainSpine();
    ChainSpine(const ChainSpine&) = delete;
    ChainSpine& operator=(const ChainSpine&) = delete;

    // The whole spine from top down; a table holds no chain longer than its nodes.
    void collect(int32_t top);
    void push(int32_t node);
    size_t size() const;
    // 0 is the top; size() - 1 the bottom, whose left operand starts the chain.
    int32_t operator[](size_t i) const;

  private:
    size_t base_;
};

} // namespace zorbit
