/* The matrix-entry window as a library: C interface. Text is UTF-16, zero-terminated. */
#ifndef GRIDENTRY_H
#define GRIDENTRY_H

#include <stdint.h>

#if defined(__GNUC__)
#define GRIDENTRY_API __attribute__((visibility("default")))
#else
#define GRIDENTRY_API
#endif

#ifdef __cplusplus
extern "C" {
#else
#include <uchar.h>
#endif

/* Opens the vector/matrix entry window and returns when it is closed. buffer holds the
 * caller's text followed by room (spaces); the definition built in the window is written
 * back into it, cut to the length of that text, with a terminating zero. Returns the
 * number of characters written: 0 when nothing is handed back (File > Exit, no display,
 * a null buffer or one of length 0). Creates a Qt application for the call when the
 * caller has none.
 * Threads: call it from one thread only. When the caller has a QApplication, that is the
 * application's thread; without one, the thread of the first call, for the life of the
 * process (Qt keeps its windows on the thread that first used it). One window at a time:
 * a call made while a window is open (from another thread, or from inside the window's
 * event loop) and a call from any other thread return 0 at once, leave the buffer
 * untouched and say why on stderr. */
GRIDENTRY_API int32_t Run_MtxMaker(char16_t* buffer);

/* A number text without superfluous zeros ("2.5000000000" gives "2.5"); the result
 * belongs to the library and the calling thread until its next call. */
GRIDENTRY_API const char16_t* StrD0(const char16_t* text);

/* fileName "" (or this library's file): the version into both buffers (24 characters
 * suffice) and 2; any other file: 0 with the buffers untouched. */
GRIDENTRY_API int32_t DisplayVerInfo(const char16_t* fileName, char16_t* fileVersion,
                                     char16_t* productVersion);

#ifdef __cplusplus
}
#endif

#endif
