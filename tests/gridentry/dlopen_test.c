/* libgridentry.so seen as a plain C program sees it: loaded with dlopen, its exports
 * resolved by name, and Run_MtxMaker called without a Qt application of its own. */
#include <dlfcn.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <uchar.h>

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
    } else {
        fprintf(stderr, "unknown case %s\n", which);
        return 2;
    }
    dlclose(lib);
    return failures == 0 ? 0 : 1;
}
