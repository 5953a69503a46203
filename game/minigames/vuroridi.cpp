// Vuror Idi: the game's title card, set-up and one update of play.
#include "game/myapp.h"

int c_MyApp::p_GameTitle_Vuroridi() {
    return p_GameTitle(String("Watch"), String("Dog"), String("Help Rared"), String("to leap his"), String("way over"), String("the watches."));
}

// Placeholder until the game's own rules land: runs the template game.
int c_MyApp::p_LoadGame_Vuroridi() { return p_LoadGame_Skel(); }
int c_MyApp::p_Game_Vuroridi() { return p_Game_Skel(); }
