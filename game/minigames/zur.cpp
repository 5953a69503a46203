// Duze zuz Izora: the game's title card, set-up and one update of play.
#include "game/myapp.h"

int c_MyApp::p_GameTitle_ZUR() {
    return p_GameTitle(String("Need for"), String("Speed"), String("Do you have"), String("what it takes"), String("to get far"), String("in the race?"));
}

// Placeholder until the game's own rules land: runs the template game.
int c_MyApp::p_LoadGame_ZUR() { return p_LoadGame_Skel(); }
int c_MyApp::p_Game_ZUR() { return p_Game_Skel(); }
int c_MyApp::p_ZUR_Lay() { return 0; }
