// Module globals of the game: the virtual screen, variant switches, the
// credits text and the message for a data file that did not load.
#pragma once
#include "runtime/runtime.h"

extern float bb_Game_rawscrw;
extern float bb_Game_rawscrh;
extern float bb_Game_jscrw;
extern float bb_Game_jscrh;
extern float bb_Game_overscan;
extern int bb_Game_iCadeControls;
extern int bb_Game_OnScreenControls;
extern int bb_Game_AccelerometerControls;
extern int bb_Game_HasMusic;
extern int bb_Game_HasMusicStream;
extern int bb_Game_DebugMode;
extern int bb_Game_isOuya;
extern Array<String> bb_Game_CreditText;

// The credit lines shown by the credits box.
Array<String> bb_Game_MakeCreditText();

// One line on stderr, once per file and run, for a data file that did not
// load: which file, whether it is missing or damaged, and what follows.
void bb_Game_ReportAsset(String path, const char* consequence);
