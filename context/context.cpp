#include "context/context.h"

#include "matrix/matrix_expr.h"

namespace zorbit {

namespace {

Context g_context;

void InstallLayers(Context& c) {
    c.engine.matrix = &MatrixLayerOperations();
}

} // namespace

// Constant-initialised references, so every layer reaches its part from the first
// static initialiser on.
EngineState& g_engine = g_context.engine;
HostHooks& g_hooks = g_context.host;
MessageWriterState& g_writer = g_context.writer;
MatrixStore& g_matrices = g_context.matrices;
DiffState& g_diff = g_context.diff;

Context::Context() {
    InstallLayers(*this);
}

Context& TheContext() {
    return g_context;
}

void ResetContext() {
    Context& c = g_context;
    // Entries go first, so that their blocks leave the live count before it is carried over.
    c.matrices.arrList.clear();
    const uint64_t nextHandle = c.matrices.nextHandle;
    const int64_t liveBlocks = c.matrices.liveBlocks;
    c.engine = EngineState{};
    c.host = HostHooks{};
    c.writer = MessageWriterState{};
    c.matrices = MatrixStore{};
    c.matrices.nextHandle = nextHandle;
    c.matrices.liveBlocks = liveBlocks;
    c.diff = DiffState{};
    InstallLayers(c);
}

int32_t AttachProcess() {
    Context& c = g_context;
    c.matrices.ElementOrder = -1;
    c.engine.errors.DebugMode = 1;
    c.engine.errors.DebugLog.clear();
    return 0;
}

int32_t AttachThread() {
    g_context.matrices.PlainCopy = -1;
    return 0;
}

int32_t DetachThread() {
    g_context.matrices.PlainCopy = 0;
    return 0;
}

} // namespace zorbit
