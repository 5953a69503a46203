// The template game: its title card, a set-up that clears the object table,
// and a play screen imitating the emulated machine's start-up banner.
#include "game/myapp.h"

int c_MyApp::p_GameTitle_Skel() {
    return p_GameTitle(String("Game"), String("Name"), String("This is the"), String("game's description"),
                       String("over four lines"), String("of text"));
}

int c_MyApp::p_LoadGame_Skel() {
    p_CommonSetup(1);
    p_ClearObjects();
    return 0;
}

int c_MyApp::p_Game_Skel() {
    p_CLS2D(0, 0, 128, 1);
    p_CameraEase();
    p_CPC_Locate(0, 4);
    p_SetCol(255, 255, 255);
    p_SetSize(1);
    p_CPC_Print(String(" Amstrad 128K Microcomputer  (v3)"));
    p_CPC_Print(String(""));
    p_CPC_Print(String(" (c)1986 Kestrel Microworks"));
    p_CPC_Print(String(" 42K of memory at your service"));
    p_CPC_Print(String(""));
    p_CPC_Print(String(" Basic 1.1"));
    p_CPC_Print(String(""));
    p_CPC_Print(String("Ready"));
    p_ScoreBar();
    return 0;
}
