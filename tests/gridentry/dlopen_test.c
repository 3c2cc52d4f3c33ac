/* libgridentry.so seen as a plain C program sees it: loaded with dlopen, its exports
 * resolved by name, and Run_MtxMaker called without a Qt application of its own. */
#include <dlfcn.h>
#include <pthread.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <uchar.h>
#include <unistd.h>

typedef int32_t (*RunFn)(char16_t*);
typedef const char16_t* (*StrD0Fn)(const char16_t*);
typedef int32_t (*VersionFn)(const char16_t*, char16_t*, char16_t*);

static int failures = 0;

#define CHECK(cond, what)                                                                          \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            fprintf(stderr, "FAILED: %s (%s:%d)\n", what, __FILE__, __LINE__);                     \
            ++failures;                                                                            \
        }                                                                                          \
    } while (0)

static void ToU16(const char* in, char16_t* out, size_t room) {
    size_t i = 0;
    for (; in[i] && i + 1 < room; ++i)
        out[i] = (char16_t)(unsigned char)in[i];
    out[i] = 0;
}

static int EqualsAscii(const char16_t* a, const char* b, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (a[i] != (char16_t)(unsigned char)b[i]) return 0;
    return 1;
}

static size_t Len16(const char16_t* s) {
    size_t n = 0;
    while (s[n])
        ++n;
    return n;
}

/* ---- Calls from two threads */

static RunFn g_run;
static pthread_barrier_t g_start;
static int g_together; /* the calls wait for each other at g_start */
static const char* const kDefinition = "Matr = [mB]; 2; 3; 1; 2; 3; 4; 5; 6";

struct Call {
    char16_t buffer[256];
    int32_t written;
};

static void* CallRun(void* arg) {
    struct Call* call = (struct Call*)arg;
    if (g_together) pthread_barrier_wait(&g_start);
    call->written = g_run(call->buffer);
    return NULL;
}

static void Prepare(struct Call* call) {
    ToU16("Matr = [mB]; 2; 3; 1; 2; 3; 4; 5; 6                    ", call->buffer, 256);
    call->written = -1;
}

/* True when the call handed back the definition; false when it answered 0 and left the
 * buffer as it was. */
static int HandedBack(const struct Call* call) {
    if (call->written == 0)
        CHECK(EqualsAscii(call->buffer, "Matr = [mB]; 2; 3; 1; 2; 3; 4; 5; 6                    ",
                          56),
              "a refused call leaves the buffer");
    else
        CHECK(call->written == (int32_t)strlen(kDefinition) &&
                  EqualsAscii(call->buffer, kDefinition, strlen(kDefinition)),
              "the definition handed back");
    return call->written > 0;
}

/* Runs body with stderr sent to a file; returns what was written there (caller frees). */
static char* CaptureStderr(void (*body)(void)) {
    fflush(stderr);
    FILE* sink = tmpfile();
    const int saved = dup(2);
    if (!sink || saved < 0) return NULL;
    dup2(fileno(sink), 2);
    body();
    fflush(stderr);
    dup2(saved, 2);
    close(saved);
    const long size = ftell(sink);
    char* text = calloc((size_t)(size > 0 ? size : 0) + 1, 1);
    rewind(sink);
    if (text && size > 0 && fread(text, 1, (size_t)size, sink) != (size_t)size) text[0] = 0;
    fclose(sink);
    if (text) fputs(text, stderr); /* still shown in the test's output */
    return text;
}

static struct Call g_calls[2];

/* VEX_GRIDENTRY_ANSWERS="yes ok-when-refused": the window that opens stays open until the
 * other call has been refused, so the two calls always overlap. */
static void TwoAtOnce(void) {
    pthread_t threads[2];
    pthread_barrier_init(&g_start, NULL, 2);
    g_together = 1;
    for (int i = 0; i < 2; ++i) {
        Prepare(&g_calls[i]);
        pthread_create(&threads[i], NULL, CallRun, &g_calls[i]);
    }
    for (int i = 0; i < 2; ++i)
        pthread_join(threads[i], NULL);
    pthread_barrier_destroy(&g_start);
    g_together = 0;
}

/* VEX_GRIDENTRY_ANSWERS="yes ok": a window on this thread, then a call from another. */
static void ThenAnotherThread(void) {
    Prepare(&g_calls[0]);
    g_calls[0].written = g_run(g_calls[0].buffer);
    pthread_t other;
    Prepare(&g_calls[1]);
    pthread_create(&other, NULL, CallRun, &g_calls[1]);
    pthread_join(other, NULL);
}

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: %s libgridentry.so <case>\n", argv[0]);
        return 2;
    }
    void* lib = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (!lib) {
        fprintf(stderr, "dlopen: %s\n", dlerror());
        return 1;
    }
    /* POSIX's way of turning dlsym's pointer into a function pointer. */
    RunFn run;
    StrD0Fn strd0;
    VersionFn version;
    *(void**)(&run) = dlsym(lib, "Run_MtxMaker");
    *(void**)(&strd0) = dlsym(lib, "StrD0");
    *(void**)(&version) = dlsym(lib, "DisplayVerInfo");
    CHECK(run && strd0 && version, "the three exports resolve");
    if (!run || !strd0 || !version) return 1;
    const char* which = argv[2];
    char16_t buffer[256];

    if (strcmp(which, "exports") == 0) {
        static const struct {
            const char* in;
            const char* out;
        } trims[] = {{"2.5000000000", "2.5"},
                     {"-0.2500000000", "-0.25"},
                     {"", "0"},
                     {"x = 12.50", "12.5"},
                     {".5", "0.5"},
                     {"abc", "0"}};
        for (size_t i = 0; i < sizeof trims / sizeof trims[0]; ++i) {
            ToU16(trims[i].in, buffer, 256);
            const char16_t* r = strd0(buffer);
            CHECK(Len16(r) == strlen(trims[i].out) && EqualsAscii(r, trims[i].out, Len16(r)),
                  trims[i].in);
        }
        char16_t file[24] = {0}, product[24] = {0};
        CHECK(version(u"", file, product) == 2, "own version: 2");
        CHECK(Len16(file) > 0 && Len16(file) == Len16(product), "both versions written");
        char16_t untouched[24] = {u'x', 0};
        CHECK(version(u"/bin/sh", untouched, untouched) == 0 && untouched[0] == u'x',
              "a foreign file has no version and the buffers stay");
    } else if (strcmp(which, "no-display") == 0) {
        /* The caller has cleared DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM. */
        ToU16("Matr = [mB]; 1; 1; 5      ", buffer, 256);
        CHECK(run(buffer) == 0, "no display: 0");
        CHECK(EqualsAscii(buffer, "Matr = [mB]; 1; 1; 5      ", 26), "buffer untouched");
        CHECK(run(NULL) == 0, "null buffer: 0");
    } else if (strcmp(which, "import-ok") == 0) {
        /* VEX_GRIDENTRY_ANSWERS="yes ok": import the line, press OK. Twice, so the
         * application the call creates is also cleaned up and made again. */
        for (int round = 0; round < 2; ++round) {
            ToU16("Matr = [mB]; 2; 3; 1; 2; 3; 4; 5; 6                    ", buffer, 256);
            const char* want = "Matr = [mB]; 2; 3; 1; 2; 3; 4; 5; 6";
            const int32_t n = run(buffer);
            CHECK(n == (int32_t)strlen(want), "the definition's length");
            CHECK(EqualsAscii(buffer, want, strlen(want)) && buffer[n] == 0, "the definition");
        }
    } else if (strcmp(which, "cut") == 0) {
        /* The buffer's text is shorter than the definition: it is cut to that length. */
        ToU16("Matr = [mB];2;2;1;2;3;4", buffer, 256);
        const size_t room = Len16(buffer);
        const int32_t n = run(buffer);
        CHECK(n == (int32_t)room, "cut to the room given");
        CHECK(EqualsAscii(buffer, "Matr = [mB]; 2; 2; 1; 2; 3; 4", room) && buffer[room] == 0,
              "the start of the definition");
        char16_t empty[4] = {0, u'k', u'k', 0};
        CHECK(run(empty) == 0 && empty[1] == u'k', "a buffer of length 0 gets nothing");
    } else if (strcmp(which, "exit") == 0) {
        /* VEX_GRIDENTRY_ANSWERS="no exit": File > Exit hands back nothing. */
        ToU16("Matr = [mB]; 1; 1; 5      ", buffer, 256);
        CHECK(run(buffer) == 0, "exit: 0");
        CHECK(buffer[0] == 0, "nothing handed back");
    } else if (strcmp(which, "two-threads") == 0) {
        g_run = run;
        char* said = CaptureStderr(TwoAtOnce);
        CHECK(HandedBack(&g_calls[0]) + HandedBack(&g_calls[1]) == 1,
              "one call opens the window, the other is refused");
        CHECK(said && strstr(said, "GridEntry: the matrix window is already open"),
              "the refused call says why");
        free(said);
    } else if (strcmp(which, "other-thread") == 0) {
        g_run = run;
        char* said = CaptureStderr(ThenAnotherThread);
        CHECK(HandedBack(&g_calls[0]), "the first call opens the window");
        CHECK(!HandedBack(&g_calls[1]), "a call from another thread is refused");
        CHECK(said && strstr(said, "GridEntry: called from a thread other than"),
              "the refused call says why");
        free(said);
    } else {
        fprintf(stderr, "unknown case %s\n", which);
        return 2;
    }
    dlclose(lib);
    return failures == 0 ? 0 : 1;
}
