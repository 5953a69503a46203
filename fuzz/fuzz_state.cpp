// The state store and the save-text loader: the input becomes the state file
// and the game loads it as it does at start (decoding, splitting, checksums,
// option limits).
#include <cstdio>

#include "fuzz/fuzz_support.h"
#include "game/myapp.h"
#include "host/game.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    c_MyApp* app = BootGame();
    FILE* f = BBGame::Game()->OpenFile(String(BB_STATE_FILE), String("wb"));
    if (!f) return 0;
    fwrite(data, 1, size, f);
    fclose(f);
    app->p_Load();
    BBGame::Game()->gc_collect();
    return 0;
}
