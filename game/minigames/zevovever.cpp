// Rev Urezov: the game's title card, set-up and one update of play.
#include "game/myapp.h"

int c_MyApp::p_GameTitle_Zevovever() {
    return p_GameTitle(String("Sky"), String("Lander"), String("Use your bombs"), String("to flatten the"), String("building work to"), String("allow you to land."));
}

// Placeholder until the game's own rules land: runs the template game.
int c_MyApp::p_LoadGame_Zevovever() { return p_LoadGame_Skel(); }
int c_MyApp::p_Game_Zevovever() { return p_Game_Skel(); }
int c_MyApp::p_NextLander() { return 0; }
