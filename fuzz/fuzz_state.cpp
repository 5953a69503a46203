// The state store and the save-text loader: the input becomes the state file
// and the game loads it as it does at start (bounded reading, decoding,
// splitting, checksums, option limits, a damaged file kept aside).
#include <cstdio>

#include "fuzz/fuzz_support.h"
#include "game/myapp.h"
#include "host/game.h"
#include "host/paths.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    c_MyApp* app = BootGame();
    FILE* f = fopen(bbStateFilePath().c_str(), "wb");
    if (!f) return 0;
    fwrite(data, 1, size, f);
    fclose(f);
    app->p_Load();
    BBGame::Game()->gc_collect();
    return 0;
}
