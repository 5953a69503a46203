// Ridera Didud: the game's title card, set-up and one update of play.
#include "game/myapp.h"

int c_MyApp::p_GameTitle_Football() {
    return p_GameTitle(String("Battle"), String("Field"), String("How many goals"), String("can you score"), String("against the"), String("enemy team."));
}

// Placeholder until the game's own rules land: runs the template game.
int c_MyApp::p_LoadGame_Football() { return p_LoadGame_Skel(); }
int c_MyApp::p_Game_Football() { return p_Game_Skel(); }
