// Zuzo Variru: the game's title card, set-up and one update of play.
#include "game/myapp.h"

int c_MyApp::p_GameTitle_Rising() {
    return p_GameTitle(String("Dead"), String("Rising"), String("Waggle your joystick"), String("to build up speed."), String("Avoid the dead,"), String("as they rise."));
}

// Placeholder until the game's own rules land: runs the template game.
int c_MyApp::p_LoadGame_Rising() { return p_LoadGame_Skel(); }
int c_MyApp::p_Game_Rising() { return p_Game_Skel(); }
