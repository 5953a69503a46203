// Dedu Dezu: the game's title card, set-up and one update of play.
#include "game/myapp.h"

int c_MyApp::p_GameTitle_DeduDezu() {
    return p_GameTitle(String("Kill"), String("Zone"), String("Destroy all"), String("of the enemy"), String("snakes before"), String("they kill you."));
}

// Placeholder until the game's own rules land: runs the template game.
int c_MyApp::p_LoadGame_DeduDezu() { return p_LoadGame_Skel(); }
int c_MyApp::p_Game_DeduDezu() { return p_Game_Skel(); }
