#pragma once
// The one engine context: every piece of state the library keeps. The C exports use
// the one process-wide instance; tests start from a fresh one with ResetContext().
// The layers below reach their own part through their accessors (Engine(), Hooks(),
// Writer(), Matrices(), Diff()), never through this header.

#include "derive/diff_state.h"
#include "engine/debugf.h"
#include "engine/host_hooks.h"
#include "engine/state.h"
#include "matrix/store.h"

namespace zorbit {

struct Context {
    EngineState engine;        // parser, evaluation, variables and functions, errors
    HostHooks host;            // message box, messages window, clipboard of the host
    MessageWriterState writer; // WriteMessage's window and file
    MatrixStore matrices;      // named matrices and scratch entries
    DiffState diff;            // differentiator

    Context();
};

Context& TheContext();

// Everything as after loading the library, with the layers installed again. The matrix
// handle counter and the count of live matrix blocks carry on (handles are never reused).
void ResetContext();

// What a host's process and thread notifications set: the element order unset, debug
// output silent with an empty log; the plain-copy switch on and off. Each returns 0.
int32_t AttachProcess();
int32_t AttachThread();
int32_t DetachThread();

} // namespace zorbit
