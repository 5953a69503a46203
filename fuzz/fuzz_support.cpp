// Stream and runtime set-up for the fuzz targets.
#include "fuzz/fuzz_support.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "game/myapp.h"
#include "host/game.h"

FILE* OpenBytes(const unsigned char* data, size_t size) {
    if (size == 0) return fopen("/dev/null", "rb");
    return fmemopen(const_cast<unsigned char*>(data), size, "rb");
}

namespace {

// In memory where the system has a memory file system: rewriting a file on
// a disk costs a discard of its blocks every time.
char g_scratch[] = "/dev/shm/kq-fuzz-XXXXXX";

void RemoveScratch() {
    std::error_code ec;
    std::filesystem::remove_all(g_scratch, ec);
}

}  // namespace

c_MyApp* BootGame() {
    static c_MyApp* app = nullptr;
    if (app) return app;
    if (!mkdtemp(g_scratch)) {
        memcpy(g_scratch, "/tmp/kq-fuzz-XXXXXX", sizeof "/tmp/kq-fuzz-XXXXXX");
        if (!mkdtemp(g_scratch)) {
            fprintf(stderr, "fuzz: cannot make a scratch folder in /dev/shm or /tmp\n");
            exit(1);
        }
    }
    atexit(RemoveScratch);
    if (!freopen("/dev/null", "w", stdout)) exit(1);
    setenv("KESTREL_QUILLONS_HOME", g_scratch, 1);
    new BBGame();
    gc_init1();
    bbInit();
    gc_init2();
    bbMain();
    app = static_cast<c_MyApp*>(bb_app__app);
    return app;
}
