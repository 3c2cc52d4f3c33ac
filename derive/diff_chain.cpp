#include "derive/diff_chain.h"

namespace zorbit {

namespace {

int32_t ChainClass(int32_t code) {
    if (code == kDcAdd || code == kDcSub) return 1;
    if (code == kDcMul || code == kDcDiv) return 2;
    return 0;
}

} // namespace

bool ContinuesChain(int32_t node) {
    const DiffState& d = Diff();
    const DiffNode& n = d.t[node];
    const int32_t chain = ChainClass(n.opCode);
    return chain != 0 && n.l != 0 && ChainClass(d.t[n.l].opCode) == chain;
}

ChainSpine::ChainSpine() : base_(Diff().spine.size()) {}

ChainSpine::~ChainSpine() {
    Diff().spine.resize(base_);
}

void ChainSpine::collect(int32_t top) {
    for (int32_t n = top;; n = Diff().t[n].l) {
        push(n);
        if (!ContinuesChain(n) || size() > static_cast<size_t>(kMaxDiffNodes)) return;
    }
}

void ChainSpine::push(int32_t node) {
    Diff().spine.push_back(node);
}

size_t ChainSpine::size() const {
    return Diff().spine.size() - base_;
}

int32_t ChainSpine::operator[](size_t i) const {
    return Diff().spine[base_ + i];
}

} // namespace zorbit
