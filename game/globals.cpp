// The game's module globals and the credit lines of the credits box.
#include "game/globals.h"

float bb_Game_rawscrw = 480.0f;
float bb_Game_rawscrh = 270.0f;
float bb_Game_jscrw = 480.0f;
float bb_Game_jscrh = 270.0f;
float bb_Game_overscan = 0;
int bb_Game_iCadeControls = 0;
int bb_Game_OnScreenControls = 0;
int bb_Game_AccelerometerControls = 0;
int bb_Game_HasMusic = 0;
int bb_Game_HasMusicStream = 0;
int bb_Game_DebugMode = 0;
int bb_Game_isOuya = 0;
Array<String> bb_Game_CreditText;

Array<String> bb_Game_MakeCreditText() {
    static const char* const lines[48] = {
        "",
        "A Game by",
        "Mossbyte",
        "mossbyte.example.com",
        "",
        "-=-=-",
        "",
        "Developed using",
        "Zorbel",
        "zorbel.example.org",
        "",
        "-=-=-",
        "",
        "Graphics",
        "",
        "Most graphics by",
        "Mossbyte",
        "",
        "Font : CPC",
        "Our own design, 8-bit style",
        "",
        "",
        "-=-=-",
        "",
        "Audio",
        "",
        "Sound and Music by",
        "Mossbyte",
        "using a homebrew synth,",
        "sound recipes,",
        "a pattern sequencer,",
        "a text editor",
        "or whatever else",
        "is handy!",
        "",
        "-=-=-",
        "",
        "Thanks to",
        "Pixelwren",
        "Bytegull",
        "Loopfinch",
        "Chipplover",
        "Tapelark",
        "and everyone else",
        "at forum.example.net",
        "",
        "-=-=-",
        "End",
    };
    Array<String> text(48);
    for (int i = 0; i < 48; ++i) text[i] = String(lines[i]);
    return text;
}
