// The program's start-up that the host runs before the app exists: every
// module global gets its start-up value, the framework's first, and the
// collector learns its roots.
#include "framework/globals.h"
#include "game/globals.h"
#include "host/glfw_game.h"

static void bb_mark_roots() {
    bbMarkFrameworkRoots();
    gc_mark(bb_Game_CreditText);
}

int bbInit() {
    gc_mark_roots = bb_mark_roots;
    bbInitFramework();
    bb_Game_isOuya = 0;
    bb_Game_overscan = 0;
    bb_Game_HasMusic = 0;
    bb_Game_DebugMode = 0;
    bb_Game_rawscrw = 480.0f;
    bb_Game_rawscrh = 270.0f;
    bb_Game_jscrw = 480.0f;
    bb_Game_jscrh = 270.0f;
    bb_Game_iCadeControls = 0;
    bb_Game_HasMusicStream = 0;
    bb_Game_CreditText = bb_Game_MakeCreditText();
    bb_Game_OnScreenControls = 0;
    bb_Game_AccelerometerControls = 0;
    return 0;
}
