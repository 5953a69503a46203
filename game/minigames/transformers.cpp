// Zizarevizovu: the game's title card, set-up and one update of play.
#include "game/myapp.h"

int c_MyApp::p_GameTitle_Transformers() {
    return p_GameTitle(String("Trans"), String("formers"), String("Set up the"), String("transformers"), String("to power"), String("the devices"));
}

// Placeholder until the game's own rules land: runs the template game.
int c_MyApp::p_LoadGame_Transformers() { return p_LoadGame_Skel(); }
int c_MyApp::p_Game_Transformers() { return p_Game_Skel(); }
